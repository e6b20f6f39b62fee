#pragma once
// The individual cards of accrued payments and insurance contributions
// ("Индивидуальные карточки по социальному налогу"): one page of the form
// "indv-2010" for every selected employee with contribution-liable pay in the
// generator's period, with the firm's and the employee's identification, the
// rates that apply to the employee, and 32 lines of twelve monthly amounts.
//
// The card's lines (numbered from 0, January first in each; every odd line is
// the running total of the line before it, from the first month computed):
//    0  payments: the contribution base of the month and the amounts not
//       subject to contributions (line 4)
//    2  (not used: payments under copyright contracts)
//    4  amounts not subject to contributions
//    6  (not used: expenses taken as a deduction)
//    8  payments in the months of a disability period
//   10  the part of the base above the yearly cap of the contribution base
//   12  the contribution base (line 0 before line 4 is added, less line 10)
//   14, 16, 18, 20  the base of contribution records 0-3 of "sbor" (pension
//       fund, social insurance, federal and territorial medical funds)
//   22  (not used)
//   24, 26, 28, 30  the contributions charged on them
// Amounts are kept in kopecks while computed; the page shows roubles.
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <stop_token>

namespace kalvor::print {
class CTree;
}

namespace kalvor::reports {

inline constexpr char kSocialTaxCardTemplate[] = "indv-2010";

namespace card {
inline constexpr int kLineCount = 32;
inline constexpr int kValueCount = kLineCount * 12; // 384 amounts
inline constexpr int kPageValueCount = 408;
enum Line : int {
    LinePayments = 0,
    LineNotSubject = 4,
    LineDisabilityPayments = 8,
    LineAboveCap = 10,
    LineBase = 12,
    LineFundBase = 14, // 14, 16, 18, 20 for records 0-3
    LineFundContribution = 24, // 24, 26, 28, 30 for records 0-3
};
inline constexpr int kFundCount = 4;
// Index of a line's month (1-12) among the report values.
constexpr int ValueIndex(int line, int month) { return line * 12 + month - 1; }
} // namespace card

// The tax table number of contribution record k for the current employee:
// the record's own table for the oldest group, the next ones for the younger
// groups. From 2005 two groups: born after 1966 or not; before 2005 three:
// born after 1966; men born 1953-1966 and women born 1957-1966; the rest.
int AgeGroupTable(int recordIndex, const PayrollDoc& doc);

// Where the card's period starts for the current employee (year * 16 +
// month): the period's first month, or a later hire month. 0 when the
// employee gets no card: hired after the period, or dismissed before it.
int CardStartMonth(const infobase::EmployeeHead& head, const ReportPeriod& period);

// Fills the 384 amounts of the current employee's card (kopecks) from start
// to the period's last month into values, which must be zero. Returns 0, -32
// for a contribution record without a usable tax table, or the code of the
// contribution arithmetic. firstRow is the employee's first month row.
int ComputeCardLines(const PayrollDoc& doc, const ReportPeriod& period, int start, int firstRow,
                     std::array<double, card::kValueCount>& values);

// The disability of the current employee over start..end (year * 16 + month).
struct CardDisability {
    bool disabled = false;
    bool changed = false; // the status changed within the period
};
CardDisability CardDisabilityStatus(const infobase::EmployeeHead& head, int start, int end);

// The 408 values of the current employee's page; amounts are the report
// values in roubles.
QList<QByteArray> IndKartPageValues(const PayrollDoc& doc, const ReportPeriod& period, int start);

// Appends one page of the card for the current employee.
int PrintIndKartPage(print::CTree& tree, const PayrollDoc& doc, const ReportPeriod& period, int start);

// Prints the cards of the selected employees (with a marked count above 0:
// the employees marked in the list) beside the work file and opens them.
// Returns GenrDone, GenrStopped (nothing printed), GenrPrintFailed, -2 for a
// bad period (a first month after the last, or a year after the base's), -32,
// or the code of the contribution arithmetic. A short read of the swap file
// throws TextError "Ошибка чтения файла". doc.GenrValues is the cards' work
// area: cleared before each employee, his card in roubles while it is printed.
int GenrIndKartSochNal(std::stop_token stop, const ReportSelection& selection, const QString& workFilePath,
                       int markedCount, PayrollDoc& doc, GenrRunDetail* detail = nullptr);

} // namespace kalvor::reports
