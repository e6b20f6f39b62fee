// Sick-leave sheets as the entry screen shows them: a sheet's fields as
// texts and back (only changed fields are written), which sheets are kept,
// storing one employee's sheets into the base's sheet array, the group
// append of the filled fields, the benefit computed on the spot with the
// texts of the three result grids, and the child-care allowance kept as a
// permanent payment.
#pragma once

#include "entries/EmployeeLines.h"
#include "infobase/InfoBase.h"
#include "infobase/PayKindCodes.h"
#include "payroll/PayrollDocument.h"
#include "payroll/SickLeave.h"
#include "values/TypedFigure.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

namespace kalvor::entries {

// The sheets that the entry dialog holds for one employee.
inline constexpr int kSickLeaveSheetsShown = 10;
// The first year that "1-й год" and "2-й год" take.
inline constexpr int kFirstAccountingYear = 1999;

using SickLeaveSheets = std::vector<infobase::SickLeaveSheet>;

// The sheet's typed numbers, each read by one rule, on the form and by the
// sheet's reader alike: the codes, the first month and the percent within
// what the sheet keeps (0 or empty: none); a counted year is four digits, and
// one that is not 0 lies from kFirstAccountingYear to the reporting year.
enum class SickLeaveNumber { Kind, Algorithm, Budget, FirstMonth, Percent, Year };
FigureRule SickLeaveNumberRule(SickLeaveNumber number);
// The refusal of a counted year typed into the named field: empty when it
// reads by its rule and is 0 or within the years the sheet counts.
QString SickLeaveYearRefusal(const QString& field, const QString& text, int reportingYear);

// What the form shows of a sheet.
struct SickLeaveSheetForm {
    QDate start, end; // invalid: no date
    QString vid, alg, budg, firstMes, procent, dn, firstYear, secondYear;
    bool mrp = false, contin = false, fromMinimum = false, from12Months = false;
};

SickLeaveSheetForm ShowSickLeaveSheet(const infobase::SickLeaveSheet& sheet);

// Reads the form into the sheet by the fields' rules; only a value that
// differs is written ("%  Дней/часов" is shown only). The dates keep their
// full years; a date whose year the stored three-bit code cannot bring back
// (outside reportingYear - 6 .. reportingYear + 1) is refused and the old
// one stays. A number its rule refuses keeps the stored one.
// With filledOnly (the group append) an empty text, an unticked box or a
// picker without a date leaves the sheet's value alone. True when changed.
bool ReadSickLeaveSheet(const SickLeaveSheetForm& form, infobase::SickLeaveSheet& sheet, int reportingYear,
                        bool filledOnly = false);

// A sheet is kept when both its start day and its end day are set.
bool IsKeptSickLeaveSheet(const infobase::SickLeaveSheet& sheet);

// The employee's sheets split at the dialog's ten.
EmployeeLines<infobase::SickLeaveSheet> TakeSickLeaveSheets(const infobase::CInfoBase& base, int slot);
// The kept shown sheets, then the ones past the ten, as the slot's run of
// the sheet array. False, with nothing changed, when they do not fit.
bool StoreSickLeaveSheets(infobase::CInfoBase& base, int slot, const SickLeaveSheets& shown,
                          const SickLeaveSheets& beyond);

using SickLeaveGroupOutcome = LineGroupOutcome;
// The group append: every employee of the current list with any of the
// three selection flags gets the filled fields of the form in his first
// sheet (a new one when he has none).
SickLeaveGroupOutcome AppendSickLeaveFieldsToGroup(infobase::CInfoBase& base, const SickLeaveSheetForm& form);

// The employee's computed rows: those of the current record that follow its
// kvProizv entered rows, the leading non-empty ones, up to the 60th row.
struct ComputedRows {
    const infobase::AccrualRow* rows = nullptr;
    int count = 0;
};
ComputedRows EmployeeComputedRows(const infobase::EmployeeRecord& rec, const infobase::EmployeeAttributes& attr);

// Whether the sheet is computed over two calendar years: it starts in 2011
// or later and "из 12 месяцев" is clear.
bool TwoYearRule(const infobase::SickLeaveSheet& sheet);
// A child-care sheet (kind 5 or 7) that starts in 2007 or later.
bool ChildCareSheet(const infobase::SickLeaveSheet& sheet);

// Computes the sheet for the base's current employee: `k1`, `k2`, `infl` and
// `vr` cleared, then the benefit. The result is the variant used (1-4) or -k
// for message k of CalcErrorTexts; a failure clears the sheet's sum and oklad.
int ComputeSickLeaveSheet(PayrollDoc& doc, infobase::SickLeaveSheet& sheet, const ComputedRows& rows,
                          SickLeaveTables& tables);
// The monthly child-care allowance of a computed sheet: the daily benefit of
// its first month times that month's days; 0 without month rows.
double ChildCareMonthlyAmount(const SickLeaveTables& tables);

// "Сохранение до 1.5 лет": a child-care sheet puts the allowance into the
// first free of the 21 permanent payments, code 169 for kind 5 and 170 for
// kind 7. The index used, or -1 when nothing was added (another kind, an
// earlier start, no free entry).
int KeepChildCareAllowance(infobase::EmployeeRecord& rec, const infobase::SickLeaveSheet& sheet, double amount);

// The years of a two-year period whose months hold no earnings at all: the
// archive lacks them (the accountant types them from the previous employer's
// certificate into the archive of past months). Empty for a twelve-month
// period or a failed computation.
std::vector<int> YearsWithoutEarnings(int result, const infobase::SickLeaveSheet& sheet, const SickLeaveTables& tables);
// The screen's hint naming those years, and saying when the average was
// taken from the minimum wage for want of them; empty when there are none.
QString NoEarningsWarning(const std::vector<int>& years, const SickLeaveTables& tables);

// The texts of one result grid.
struct ResultGridTexts {
    QStringList headings;
    std::vector<QStringList> rows;
    std::vector<int> summaryRows; // rows shown on the summary background
};
struct SickLeaveGrids {
    ResultGridTexts earnings, average, period;
};
// From the benefit's result and tables; a negative result gives the
// headings alone.
SickLeaveGrids SickLeaveGridTexts(int result, const infobase::SickLeaveSheet& sheet, const SickLeaveTables& tables);

// The pick lists of the form's fields ("code|text").
QStringList SickLeaveKindLines();
QStringList SickLeaveAlgorithmLines();

} // namespace kalvor::entries
