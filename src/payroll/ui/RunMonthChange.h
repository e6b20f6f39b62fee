#pragma once
// The change of the reporting month as the payroll screens run it: the offer
// of a copy of the base, the progress dialog whose worker moves every
// employee, and the outcome.
#include <QString>

class CKalvorDoc;
class QWidget;

// "Извините, переход на следующий месяц не выполнен. Поробуйте еще раз."
extern const char* const kMonthChangeFailedText;

// The whole change: 0 when finished or abandoned by the user, else the
// negative result of the move (minus the number of error situations). When
// the move fails (its worker could not start, or the base refused a write)
// nothing has changed, in the base or in memory, and a TextError with the
// message above (and the reason) is thrown, so that the command neither saves
// nor reports a finished change.
int RunMonthChange(CKalvorDoc& doc, int newMonthKey, QWidget* parent);

// Installs the change into the shell's month-change command.
void InstallMonthChange();
