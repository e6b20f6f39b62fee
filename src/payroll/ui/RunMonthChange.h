#pragma once
// The change of the reporting month as the payroll screens run it: the
// command's question, the offer of a copy of the base, the progress dialog
// whose worker moves every employee, and the outcome.
//
// The move is the one owner of the change: it saves every table it touches
// in one transaction on its worker (MoveEmployeesToNextMonth), so nothing is
// saved after it and the user-interface thread writes nothing.
#include "payroll/RunOutcome.h"
#include "shell/ui/MonthChange.h"

#include <QString>

class CKalvorDoc;
class QWidget;

// "Извините, переход на следующий месяц не выполнен. Попробуйте еще раз."
extern const char* const kMonthChangeFailedText;
// Said when the user abandons the change after the copy failed, or stops it
// (the server having said that the change was not made).
extern const char* const kMonthChangeCancelledText;
// Said when a stop or a lost connection cut the change's COMMIT and the
// server could not yet tell whether it made it.
extern const char* const kMonthChangeNotKnownText;

// What RunMonthChange returns when the user abandoned or stopped the change:
// nothing has changed (0 and the negative counts are finished changes).
inline constexpr int kMonthChangeAbandoned = 1;

// The program's mover: MoveEmployeesToNextMonth, its outcome by employee
// into `outcome` when given.
MonthMover PayrollMonthMover(kalvor::RunOutcome* outcome = nullptr);

// The whole change: offers the copy, runs CChgRepPerDlg with the mover.
// Returns 0 when finished without error situations, minus their number, or
// kMonthChangeAbandoned; copyFolder, when given, receives the folder of the
// copy made (empty without one). When the move fails nothing has changed, in
// the base or in memory, and a TextError is thrown: the message above (and
// the reason) when its worker could not start or the base failed; the
// refusal in a few lines (kalvor::RefusalText: the month, the employee whose
// rows were refused, the base's own line) when the base refused a write; a
// change whose COMMIT was cut and not known to be made throws
// kMonthChangeNotKnownText (memory stays in the old month). stopAnswered,
// when given, receives whether the user asked for a stop that came too late.
int RunMonthChange(CKalvorDoc& doc, int newMonthKey, const MonthMover& mover, QWidget* parent,
                   QString* copyFolder = nullptr, bool* stopAnswered = nullptr);

// The command "Изменение отчетного месяца": while an employee's calculation
// failure stands, lists them (number, name, the error) and changes nothing;
// otherwise asks the question ("Нет" the
// default), runs the change (also when the list is empty: the month advances
// all the same) and reports the error situations, the folder of the copy
// when one was made and, with the program's own mover (no mover given), the
// change's notes by employee, one a line, then the notes the move left on the
// firm as a whole (doc.monthChangeNotes, with a warning icon), after the new
// month when the user's stop came too late; a failure or an abandoned change
// is said as such. Returns the number of error situations, -1 when
// nothing was done.
int ChangeReportingMonth(CKalvorDoc& doc, QWidget* parent, const MonthMover& mover = {});
