// Vacation notes as the entry screen shows them: a note's fields as texts and
// back (only changed fields are written), the display defaults, which notes
// count as empty, storing one employee's notes into the base's vacation
// array, the group append of the filled fields, and computing a note on the
// spot through the monthly calculation in display mode, with the texts of the
// four result grids.
#pragma once

#include "entries/EmployeeLines.h"
#include "infobase/InfoBase.h"
#include "payroll/AverageEarnings.h"
#include "payroll/CalcOptions.h"
#include "payroll/PayrollDocument.h"
#include "values/TypedFigure.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <span>
#include <vector>

namespace kalvor::entries {

// The notes that the entry dialog holds for one employee.
inline constexpr int kVacationNotesShown = 5;
// "Рабочий фонд" is taken only below 31 days (hundredths).
inline constexpr int kVacationFundLimit = 3100;
// The first year that the note's start word holds.
inline constexpr int kVacationFirstYear = 1992;

using VacationNotes = std::vector<infobase::VacationNote>;

// What the note's coded fields take: the rules the form's inputs declare and
// ReadVacationNote reads their texts by.
inline constexpr FigureRule kVacationKindRule = WholeFigure(0, 3);
inline constexpr FigureRule kVacationAlgorithmRule = WholeFigure(0, 2);
inline constexpr FigureRule kVacationCountedRule = WholeFigure(0, 3);
inline constexpr FigureRule kVacationBudgetRule = WholeFigure(0, 2);
inline constexpr FigureRule kVacationMonthRule = WholeFigure(0, 12);
// Days with hundredths as the note keeps them (seven bits of days): the
// length and the days of the period.
inline constexpr FigureRule kVacationDaysRule = DecimalFigure(2, 0, 127.99);
// "Рабочий фонд": days with hundredths below kVacationFundLimit.
inline constexpr FigureRule kVacationFundRule = DecimalFigure(2, 0, (kVacationFundLimit - 1) / 100.0);

// What the form shows of a note.
struct VacationNoteForm {
    QDate start; // invalid: no date
    QString dlin, vid, alg, kalend, budg, mes, fond, dn;
    bool tolkOtp = false, mrp = false;
};

// A note is shown and computed with "Исчисляется" and "Алгоритм" at least 1.
void ApplyVacationDisplayDefaults(infobase::VacationNote& note);
VacationNoteForm ShowVacationNote(const infobase::VacationNote& note);

// Days with hundredths read by their inputs' rule (kVacationDaysRule): the
// digits after the comma (or a point) a decimal fraction ("10,5" = 10 days 50
// hundredths, "10,05" = 10 and 5); false for a text the rule refuses (a third
// digit after the comma, trailing characters, more than 127,99 days).
// *fractionTyped: the comma had digits.
bool ReadDaysAndHundredths(const QString& text, int& days, int& hundredths, bool* fractionTyped = nullptr);

// Reads the form into the note by the fields' rules; only a value that
// differs is written. With filledOnly (the group append) an empty text, an
// unticked box or a picker without a date leaves the note's value alone.
// True when the note changed.
bool ReadVacationNote(const VacationNoteForm& form, infobase::VacationNote& note, bool filledOnly = false);

// A note without length and without a start date is empty: saving drops it,
// whatever the display made of its "Исчисляется".
bool IsEmptyVacationNote(const infobase::VacationNote& note);

// The employee's notes split at the dialog's five.
EmployeeLines<infobase::VacationNote> TakeVacationNotes(const infobase::CInfoBase& base, int slot);
// The non-empty shown notes, then the kept ones, as the slot's run of the
// vacation array. False, with nothing changed, when they do not fit.
bool StoreVacationNotes(infobase::CInfoBase& base, int slot, const VacationNotes& shown, const VacationNotes& beyond);

// The group append: every employee of the current list with any of the three
// selection flags gets the filled fields of the form in his first note (a
// new one when he has none). The members whose notes no longer fit are left
// as they were and named in `refused`. `changed` counts the members whose
// notes changed.
using VacationGroupOutcome = LineGroupOutcome;
VacationGroupOutcome AppendVacationFieldsToGroup(infobase::CInfoBase& base, const VacationNoteForm& form);

// Writes the employee alone into the swap work file for the engine: the file
// made anew, then the master row with passport, tax deductions, permanent
// payments, bank transfers, writs, loans, the monthly archive from January of
// the reporting year - 10 and the month's rows, each selecting only his
// personnel number. Throws InfoBaseError or db::DbError.
void WriteEmployeeToSwap(infobase::CInfoBase& base, int tabN);

// The vacation request of a note computed on the screen.
CalcOptions VacationRequest(std::span<infobase::VacationNote> notes, int currentNote);

// Computes note `current` of the employee's notes in display mode over the
// swap work file: the engine's result (a row count, or -k for message k of
// CalcErrorTexts), the average-earnings detail and the rows. The note's sum
// takes the amount to pay when the engine gives one ("Выплатить в м/р"
// clear). Throws InfoBaseError when the swap file does not open.
int ComputeVacationNote(PayrollDoc& doc, int tabN, std::span<infobase::VacationNote> notes, int current,
                        CalcWorkBuffer& detail, CalcResultBuffer& rows);

// The texts of the four result grids.
struct VacationAccrualLine {
    QString name, month, days, amount;
    bool deduction = false; // a kind of code 700 or more
};
struct VacationGrids {
    std::array<std::array<QString, 3>, 12> period; // "Мес", "Заработок", "Коэфф."
    int monthsWithEarnings = 0;
    std::array<QString, 4> averageHeadings;
    std::array<QString, 4> averages;
    std::vector<VacationAccrualLine> accruals; // sorted by kind code
    QString amount; // "К выдаче"
};
// From the engine's result count, the note, the detail and the rows; a
// negative count leaves every value cell empty.
VacationGrids VacationGridTexts(const PayrollDoc& doc, int resultCount, const infobase::VacationNote& note,
                                const CalcWorkBuffer& detail, const infobase::AccrualRow* rows);

// The pick lists of the form's fields ("code|text", code 0 shown as a blank).
QStringList VacationKindLines();
QStringList VacationAlgorithmLines();
QStringList VacationDayBasisLines();
QStringList VacationBudgetLines();
QStringList VacationMonthLines();

} // namespace kalvor::entries
