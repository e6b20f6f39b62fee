#pragma once
// What the two forms of the 4-FSS settlement (2010 and from 2011) share: the
// tests of an employee in a month, the section I charge within the yearly
// cap, the benefit lines of table 3 by pay-kind code, the closing sums of the
// report values, and the common lines of the fund's XML files.
#include "infobase/EmployeeRecord.h"
#include "payroll/IncomeTax.h"
#include "payroll/PayrollDocument.h"
#include "reports/social/Fss4Values.h"
#include "reports/social/PensionContributions.h"
#include "reports/social/PeriodTotals.h"
#include "reports/social/ReportRun.h"

#include <QDate>

#include <QByteArray>

#include <algorithm>
#include <array>
#include <vector>

namespace kalvor::reports::fss4 {

// Places of the "sbor" records that the settlement reads: the social
// insurance contribution, the insurance part of the pension contribution and
// the insurance against accidents.
constexpr int kSocialKind = 1;
constexpr int kPensionKind = 4;
constexpr int kInjuryKind = 6;

// Injury contributions of disabled employees are charged at 60 % of the tariff.
constexpr double kDisabledInjuryShare = 0.6;

// The three-month groups whose slots roll when the period is longer.
constexpr int kRollingGroups[][2] = {{kBaseMonth1, 5},     {kAccruedMonth1, 1},          {kExpensesMonth1, 1},
                                     {kInjuryBase + 1, 1}, {kInjuryDisabledBase + 1, 1}, {kInjuryBefore + 1, 1}};

// Disabled in the month (year * 16 + month): a disability period has begun
// and not yet ended. An open period no longer counts for an employee whose
// both dismissals lie at or before the first month of the report.
bool DisabledInMonth(const infobase::EmployeeHead& head, int month, int periodBegin);

// A foreign citizen staying temporarily: no residence permit and no status of
// a highly qualified specialist. No social insurance is charged on his pay.
bool TemporaryForeigner(const infobase::EmployeeHead& head);

// The sex letter is the capital or small Cyrillic Zhe.
bool IsWoman(const infobase::EmployeeHead& head);

// The month's charge (kopecks) on a cumulative base from January: the charge
// on the base through the month, less the part above the yearly cap, minus
// the charge on the base before it; each charge in whole kopecks. Amounts in
// kopecks.
double ChargeWithinCap(const TaxScale& scale, double before, double month, double aboveCap);

// The part of a month's payments that lies above the yearly cap, given the
// payments from January before the month (kopecks): all of the month when the
// cap was passed before it.
double AboveCap(double before, double month, double cap);

// Which form's code lists a benefit is classed by.
enum class BenefitForm { Form2010, Form2011 };

// A sheet paid by the benefit codes 155-157 as table 2 counts its cases: the
// month of the period's year it was paid in, its start date, whether it
// continues an earlier sheet of the same illness, and whether it is a sheet
// of sick leave (the others paid by those codes, a child's care among them,
// are no case of sick leave).
struct SickLeaveSheetCase {
    int month = 0; // the month of the period's year; last year's are 0 (December) and below
    std::uint16_t start = 0; // PackedDate
    bool continues = false;
    bool sickLeave = true;
};
// The employee's sheets paid by codes 155-157 in the year: the entries of his
// dated archive (the first `count` entries) of the year and of the year
// before that keep them (last year's first, as seen before the year: a sheet
// paid in December and again in January is December's case), and the
// reporting month's sheets of those kinds when the reporting month lies in
// the year.
std::vector<SickLeaveSheetCase> SickLeaveSheetCases(const infobase::WarDatBlock& archive, int count,
                                                    const std::vector<infobase::SickLeaveSheet>& current, int year,
                                                    MonthKey reporting);

// Collects the benefits of table 3 (and the injury benefits) of one employee
// into the report values, in kopecks and hundredths: `block` is 64 for the
// second block of the 2010 form under simplified taxation, else 0.
class BenefitLines {
public:
    BenefitLines(GenrValueArray& values, const ReportPeriod& period, BenefitForm form, int block = 0)
        : values_(values), period_(period), form_(form), block_(block)
    {}
    // Adds one archive entry or month row of the employee; entries outside
    // the period's months are left out. countsCase false: a sick-leave row
    // whose case its sheet counts.
    void add(int code, int month, double days, double amount, bool partTime, bool countsCase = true);
    // Adds the employee's archive entries of the period's year and, when the
    // base stands in that year, the current month's rows from firstRow on.
    // Sick leave counts one case a sheet: a sheet that continues another, or
    // one seen in an earlier month (its part paid in the next month), is no
    // new case, and the rows of codes 155-157 of the months from a sheet's
    // start to the month it was paid in count none; in a month that no known
    // sheet covers (one entered into the archive only) each such row counts
    // one.
    void addEmployee(const infobase::EmployeeRecord& record, int firstRow, int reportingYear, bool partTime,
                     const std::vector<SickLeaveSheetCase>& sheets = {});

private:
    void add(int index, double amount) { values_[std::size_t(index)] += amount; }
    void once(int person, int index);
    void addSheetCases(const std::vector<SickLeaveSheetCase>& sheets, bool partTime);

    GenrValueArray& values_;
    const ReportPeriod& period_;
    BenefitForm form_;
    int block_;
    // Persons are counted once per employee: injury, line 2, kinds 169, 170.
    std::array<bool, 4> counted_{};
};

// The closing sums over the scaled values (roubles):
// the three month rows into the quarter row, then C5 = C1 - C4 and
// C1 = C1 + C2 (+ C3 in the 2010 form) in each of the five rows of the base
// table;
void SumColumns(GenrValueArray& values, bool withDisabledColumn);
// the accrued contributions summed and brought down to 2.9 % of the base
// when they exceed it by less than one rouble, for the period and for the
// last three months;
void CheckAgainstRate(GenrValueArray& values);
// the expenses of the last three months and of the period;
void SumExpenses(GenrValueArray& values);
// the benefit lines of table 3 with their part-time lines, in both blocks,
// and the injury benefits.
void SumBenefits(GenrValueArray& values);

// 3, 6 or 9 for a period ending in the first three quarters, else 0.
int QuarterMark(int lastMonth);

// A payment order held in the values: packed date, number, sum.
struct PaymentOrderValues {
    PackedDate date;
    double number = 0;
    double sum = 0;
};
PaymentOrderValues PaymentOrderAt(const GenrValueArray& values, int first, int order);
// The sums of the first `orders` orders from `first` on.
double OrdersTotal(const GenrValueArray& values, int first, int orders);
// The sums of those of the first `orders` orders whose date lies in the month.
double OrdersOfMonth(const GenrValueArray& values, int first, int orders, int month);
// Table 1 of the form from 2011 at the end of the period: what the insurer
// owes (above 0) or the fund owes (below 0, its line 9): the insurer's debt
// at the start, the contributions and what the fund paid back (lines 1, 2
// and 6), less the expenses, the insurer's payments (the sum at the start
// and the five orders) and the fund's debt at the start (line 12).
double SettlementBalance2011(const GenrValueArray& values);

// One element's line of the fund's XML files: its attributes in the order
// added, each after one blank.
class XmlLine {
public:
    XmlLine(int depth, const char* name) : line_(QByteArray(depth, '\t') + '<' + name) {}

    XmlLine& attribute(const char* name, const QByteArray& value);
    XmlLine& money(const char* name, double value); // "%.2f"
    XmlLine& count(const char* name, double value); // "%.0f"
    // The line closed as an empty element or as an opening one.
    QByteArray empty() const { return line_ + "/>\r\n"; }
    QByteArray open() const { return line_ + ">\r\n"; }

private:
    QByteArray line_;
};

// The PAYM_ORDER children of the orders whose sum is not 0, two TABs deep.
QByteArray PaymentOrderLines(const GenrValueArray& values, int first, int orders);

// "CRE_DATE": year-mm-dd.
QByteArray CreationDate(const QDate& today);

// A firm text as the 8-bit record holds it, its first `width` characters;
// squeezed: leading blanks dropped, runs of blanks made one, one trailing
// blank dropped.
QByteArray FirmField(const infobase::FirmInfo& firm, infobase::FirmInfo::Text which, int width);
QByteArray SqueezedFirmField(const infobase::FirmInfo& firm, infobase::FirmInfo::Text which, int width);

// The folder of an XML file with its separator; the working folder when the
// folder is empty.
QString XmlFolderPrefix(const QString& folder);

} // namespace kalvor::reports::fss4

namespace kalvor::reports {

// The months of the period that the first pass counts for one employee: from
// the period's first month, or a later hire month of the report year, up to
// (not including) the period's last month or an earlier dismissal month of
// the report year. An employee dismissed before the report year counts in no
// month.
void CountFssMonths(const infobase::EmployeeHead& head, const ReportPeriod& period, MonthCounted& counters);

} // namespace kalvor::reports
