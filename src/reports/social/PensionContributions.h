#pragma once
// The pension-fund contributions report (the quarterly settlement of pension
// and medical insurance contributions, RSV-1): the calculation over the
// employees of one base that fills the report values, the list of disabled
// employees in "inval" and, on request, a report data file of tag 15.
//
// Report values of tag 15 (the document's GenrValues), whole roubles after a
// run. Columns of Section 1 are the four contribution kinds: pension
// insurance part, pension funded part, federal and territorial medical funds.
// Month 1, 2 and 3 are the three months of the period's last quarter.
#include "payroll/PayrollDocument.h"
#include "reports/social/InvalRecord.h"
#include "reports/social/PeriodTotals.h"
#include "reports/social/ReportRun.h"

#include <QString>

#include <array>
#include <stop_token>
#include <vector>

namespace kalvor::reports {

using GenrValueArray = std::array<double, infobase::KalvorDocData::GenrValueCount>;

namespace ovpf {

// Section 1: the first value of each line's four columns.
inline constexpr int kLine100 = 0; // balance at the start (editor)
inline constexpr int kLine110 = 4; // accrued since the start of the period
inline constexpr int kLine120 = 24; // additionally accrued (editor)
inline constexpr int kLine130 = 28; // total to pay
inline constexpr int kLine140 = 32; // paid since the start of the period
inline constexpr int kLine150 = 52; // balance at the end
// A line's month m (1-3) of the quarter lies at line + 4m, their sum at line + 16.
inline constexpr int kQuarterSum = 16;

// Tariff blocks: 19 rows of 4 values (since January, months 1-3).
inline constexpr int kGeneralTariff = 0; // payments at the general tariff
inline constexpr int kDisabledTariff = 1; // payments to disabled employees
inline constexpr int kImputedTariff = 2; // the third section of the file, editor only
inline constexpr int kTariffFirst = 56;
inline constexpr int kTariffBlockSize = 76;
enum TariffRow : int {
    RowPayments = 0, // all; 1 born in 1966 or earlier; 2 born in 1967 or later
    RowNonTaxable = 3, // 4, 5 by birth group
    RowAboveLimit = 9, // 10, 11 by birth group
    RowPensionBaseOld = 12, // row 1 - row 10
    RowPensionBaseYoung = 13,
    RowMedicalBase = 14, // row 0 - row 9
    RowAccrued = 15, // 15-18: the four contribution kinds
};
constexpr int TariffIndex(int block, int row, int column = 0)
{
    return kTariffFirst + kTariffBlockSize * block + 4 * row + column;
}

inline constexpr int kInsuredPersons = 272;
inline constexpr int kAverageHeadcount = 273;
inline constexpr int kOrgPackNumber = 275;
inline constexpr int kDeptCode = 276;
inline constexpr int kDeptPackNumber = 277;
inline constexpr int kIncome248 = 280; // 430
inline constexpr int kIncome57 = 281; // 431
inline constexpr int kHeadcount433 = 282; // 433
inline constexpr int kPensionRate = 283; // a fraction
inline constexpr int kRegisterDate = 285; // 434, a PackedDate
inline constexpr int kRegisterNumber = 286; // 434
inline constexpr int kIncome34615 = 287; // 435
inline constexpr int kIncome58 = 288; // 436
inline constexpr int kCorrectionNumber = 289;
inline constexpr int kSection5 = 290; // 510, 520, 530 as (insurance, funded)

// Differences between a total and its two birth groups below this many
// kopecks (5 roubles) are rounding and are moved into a group.
inline constexpr double kBirthGroupTolerance = 500;

} // namespace ovpf

// Computes the report for the employees that the selection names (with a
// marked count above 0: the employees marked in the list), from January to
// the last month of the generator's period (at least March, December when
// unset). Fills doc.GenrValues, rewrites "inval" in the working folder and,
// with a non-empty dataFilePath, saves both as a report data file of tag 15.
// Returns GenrDone, GenrStopped (values as far as computed, nothing saved),
// GenrFileFailed (the detail's fileError says why), or a negative
// ReportErrorTexts code: -2 a report year after the base's, -32 a
// contribution record without a tax table, -21 no single valid variant, or
// the code of the contribution arithmetic. A short swap-file read throws
// TextError "Ошибка чтения файла".
int CalcOVPF(const ReportSelection& selection, PayrollDoc& doc, const QString& dataFilePath, int markedCount,
             std::stop_token stop, GenrRunDetail* detail = nullptr);

// The months on the staff that the first pass counts for one employee: from
// January, or the hire month of a hire in the report year, up to (not
// including) the period's last month or an earlier dismissal month of the
// report year. Adds 1 to each such month of counters.
void CountMonthsOnStaff(const infobase::EmployeeHead& head, const ReportPeriod& period, MonthCounted& counters);

// The closing steps over the values (kopecks), exposed for their tests:
// a total that differs from its two birth groups by less than 5 roubles
// gives the difference to the younger group (or, when it is 0, the older);
// for a period ending by March the since-January correction also goes into
// the group's first non-zero month.
void CorrectBirthGroups(GenrValueArray& values, int lastMonth);
// The contribution bases (rows 12-14) and the payments with the non-taxable
// amounts added, then the pension bases corrected against the medical base.
void FinishBaseRows(GenrValueArray& values, int lastMonth);
// Moves the "inval" amounts one rouble at a time until their sums equal the
// payments of the disabled-employee block (values in roubles, records in
// kopecks).
void ReconcileInval(const GenrValueArray& values, std::vector<InvalRecord>& records);

} // namespace kalvor::reports
