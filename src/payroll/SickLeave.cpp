#include "payroll/SickLeave.h"

#include "payroll/AverageEarnings.h"
#include "payroll/CalendarMath.h"
#include "payroll/Criteria.h"
#include "payroll/MonthRate.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace kalvor {

using infobase::AccrualRow;
using infobase::SickLeaveSheet;
using infobase::WorkSchedule;

namespace {

// The minimum wage of a month from 2009 (kopecks): the base's monthly table
// of the reporting year or the year before, where it holds that month; the
// firm's single figure otherwise.
double minimumWageByMonth(const PayrollDoc& doc, int year, int month)
{
    const auto& c = doc.infoBase.config;
    const int reporting = c.reportingYear();
    const auto* table = year == reporting ? &c.mrot : year == reporting - 1 ? &c.mrotPrev : nullptr;
    const double roubles = table && month >= 1 && month <= 12 ? (*table)[std::size_t(month - 1)] : 0;
    return roubles > 0 ? roubles * 100 : doc.infoBase.firm.blnMaxOgrBegRab;
}

// The minimum wage W of a start date (kopecks).
double minimumWage(const PayrollDoc& doc, int year, int month)
{
    const int c = MonthIndex(year, month);
    if (year < 2005)
        return 60'000;
    if (c <= MonthIndex(2005, 8))
        return 72'000;
    if (c <= MonthIndex(2006, 4))
        return 80'000;
    if (year <= 2008)
        return 230'000;
    return minimumWageByMonth(doc, year, month);
}

// The maximum M of a kind and start date (before the raises).
double maximumFor(const PayrollDoc& doc, int vid, int year, int month)
{
    const auto& f = doc.infoBase.firm;
    if (vid == 1)
        return f.travmaMaxOgr;
    if ((vid == 5 || vid == 7) && year >= 2007 && year <= 2009) {
        if (year == 2007)
            return 600'000;
        if (year == 2008)
            return 651'000;
        return vid == 5 ? f.blnMaxOgrDet1 : f.blnMaxOgrDet2;
    }
    if (vid == 2 && year >= 2007 && year <= 2009) {
        if (year == 2007 && month <= 8)
            return 1'612'500;
        if (year <= 2008)
            return 2'340'000;
        return f.dekrMaxOgr;
    }
    if (year < 2005)
        return 1'170'000;
    if (year <= 2006)
        return 1'500'000;
    if (year == 2007)
        return 1'612'500;
    if (year == 2008)
        return 1'725'000;
    if (year == 2009)
        return 1'872'000;
    return f.blnMaxOgr;
}

double minimumFor(const PayrollDoc& doc, int vid, int year)
{
    const auto& f = doc.infoBase.firm;
    if (year < 2007)
        return 0;
    if (vid == 5)
        return year == 2007 ? 150'000 : year == 2008 ? 162'750 : f.blnMinOgrDet1;
    if (vid == 7)
        return year == 2007 ? 300'000 : year == 2008 ? 322'500 : f.blnMinOgrDet2;
    return 0;
}

// Whole kopecks through the rouble text (the amount's roubles and kopecks).
double wholeKopecks(double amount)
{
    const double roubles = SplitRoublesKopecks(0, amount);
    const double kopecks = SplitRoublesKopecks(1, amount);
    return roubles * 100 + (amount < 0 ? -kopecks : kopecks);
}

// The calendar days from `from` to `to` of a month on which the employee was
// employed.
int employedDays(const PayrollDoc& doc, int counter, int from, int to)
{
    const int employed = DaysEmployedInMonth(doc, counter);
    const int length = DaysInMonth(YearOfMonthIndex(counter), MonthOfMonthIndex(counter));
    if (employed == 0 || from > to)
        return 0;
    // The employed days are one run within the month: find it.
    int first = 1, last = length;
    if (employed < length) {
        const auto& h = doc.infoBase.current.head;
        const std::uint16_t hire = h.datPr2 ? h.datPr2 : h.datPr1;
        const std::uint16_t dismissal = h.datPr2 ? h.datUv2 : h.datUv1;
        if (hire && MonthIndex(EmployeeDateYear(hire), PackedDate(hire).month()) == counter)
            first = PackedDate(hire).day();
        if (dismissal && MonthIndex(EmployeeDateYear(dismissal), PackedDate(dismissal).month()) == counter)
            last = PackedDate(dismissal).day() - 1;
    }
    return std::max(0, std::min(to, last) - std::max(from, first) + 1);
}

struct Period {
    int months = 12;
    int counters[24] = {};
};

struct PassResult {
    std::array<BenefitYearRow, SickLeaveTables::YearRows> rows{};
    double earnings = 0;
    double average = 0;
    int error = 0;
};

} // namespace

int DaysInMonthOrYear(const PayrollDoc& doc, int month)
{
    if (month == 0) {
        const int y = doc.infoBase.config.reportingYear();
        return y % 4 == 0 ? 366 : 365;
    }
    return DaysInMonth(YearOfMonthIndex(month), MonthOfMonthIndex(month));
}

void YearScheduleNorm(const PayrollDoc& doc, int scheduleNumber, int firstMonth, int& outDays, int& outMinutes)
{
    outDays = outMinutes = 0;
    WorkSchedule schedule = doc.infoBase.nearestSchedule(scheduleNumber);
    const int R = ReportingMonthIndex(doc);
    for (int k = 0; k < 12; ++k) {
        const int place = std::clamp(firstMonth + k - R, -15, 21);
        int d = 0, m = 0;
        CalcScheduleNorm(WorkSchedule::ReportingMonth + place, schedule, 1, 31, d, m, doc);
        outDays += d;
        outMinutes += m;
    }
}

namespace {

// What the steps of one sheet's benefit share. Month counters are month
// indexes ((year - 1900) x 12 + month).
struct BenefitCalc {
    PayrollDoc& doc;
    SickLeaveSheet& line;
    SickLeaveTables& tables;
    const AccrualRow* rows;
    int rowCount;
    const infobase::FirmInfo& firm;
    const infobase::EmployeeHead& head;
    int slot = 0; // the current employee's record slot
    int reportingMonth = 0; // month counter of the reporting month

    // The sheet.
    QDate startDate{};
    int startYear = 0;
    int startMonth = 0, endMonth = 0; // month counters of the first and last day
    bool from2007 = false, from2010 = false;
    int kind = 0; // the sheet's vid
    int variant = 1; // 1 by days, 2 by hours, 3 from the minimum wage, 4 the minimum by hours
    bool byHours = false, childCare = false, twoYear = false;
    int excludedDays = 0;

    // Limits, with the regional and northern raises.
    double minimumWage = 0;
    double maximum = 0, minimum = 0;
    bool raise83 = false;
    double raise = 1;
    int firstPaidMonth = 0; // month counter that places the accounting period

    // The employee.
    int paymentSystem = 0;
    int scheduleNumber = 1;
    WorkSchedule* schedule = nullptr;
    ScheduleMonthsRun* scheduleMonths = nullptr; // the run's rows beyond the stored ones, if it keeps them
    int dayLength = 0;
    double currentRate = 0;
    double history[13] = {};

    Period period{};
    int periodEnd = 0;
    double average = 0;

    // The split by month.
    double yearDays = 0;
    int percent = 100, reducedPercent = 50;
    double benefit = 0;

    int norm(int counter, int first, int lastDay, int& days, int& minutes, bool dayByDay = false) const
    {
        const int row = WorkSchedule::ReportingMonth + (counter - reportingMonth);
        return dayByDay ? ScheduleNormDayByDay(row, *schedule, first, lastDay, days, minutes, doc, scheduleMonths)
                        : CalcScheduleNorm(row, *schedule, first, lastDay, days, minutes, doc, scheduleMonths);
    }
};

} // namespace

bool SickLeaveSheetDatesValid(const SickLeaveSheet& line)
{
    const QDate start(line.gBegin, line.mBegin, line.dBegin), end(line.gEnd, line.mEnd, line.dEnd);
    return line.dBegin != 0 && line.dEnd != 0 && start.isValid() && end.isValid() && !(end < start);
}

namespace {

int ReadSheetDates(BenefitCalc& c)
{
    const SickLeaveSheet& line = c.line;
    if (!SickLeaveSheetDatesValid(line))
        return kCalcSickLeaveDates;
    c.startDate = QDate(line.gBegin, line.mBegin, line.dBegin);
    c.startYear = line.gBegin;
    c.startMonth = MonthIndex(line.gBegin, line.mBegin);
    c.endMonth = MonthIndex(line.gEnd, line.mEnd);
    c.from2007 = c.startYear >= 2007;
    c.from2010 = c.startYear >= 2010;
    return 0;
}

// The averaging variant of the sheet's kind and start year.
void ChooseVariant(BenefitCalc& c)
{
    SickLeaveSheet& line = c.line;
    c.kind = line.vid;
    c.variant = line.alg + 1;
    if (c.kind == 6)
        c.variant = 1;
    else if (c.from2007 && c.kind != 1)
        c.variant = c.variant < 3 ? 1 : 3;
    if (c.variant > 4)
        c.variant = 1;
    if (c.variant == 3 && c.kind == 8) {
        c.kind = 0;
        line.vid = 0;
    }
    c.byHours = c.variant == 2 || c.variant == 4;
    c.childCare = (c.kind == 5 || c.kind == 7) && c.from2007;
    c.twoYear = c.startYear >= 2011 && !(line.from12Months & 1);
    c.excludedDays = (!c.from2007 && c.variant == 2) ? line.dn : line.dn / 60;
}

// The maximum and minimum of the benefit with the regional and northern raises.
void BenefitLimits(BenefitCalc& c)
{
    c.minimumWage = minimumWage(c.doc, c.startYear, c.line.mBegin);
    c.maximum = (c.variant >= 3) ? c.minimumWage : maximumFor(c.doc, c.kind, c.startYear, c.line.mBegin);
    const auto* k83 = PayKindOf(c.doc, kCodeRegionalCoefficient);
    const auto* k82 = PayKindOf(c.doc, kCodeNorthernSupplement);
    c.raise83 = k83 && k83->enBlnFull;
    const bool raise82 = k82 && k82->enBlnFull;
    c.raise =
        1 + (c.raise83 ? c.firm.procRaj / 100.0 : 0) + (raise82 ? NorthernAllowancePercent(c.doc, c.startMonth) : 0);
    c.maximum *= c.raise;
    c.minimum = minimumFor(c.doc, c.kind, c.startYear) * c.raise;
    if (c.twoYear) {
        const double share = c.head.stavka > 0 ? c.head.stavka / 100.0 : 1.0; // no rate share entered: a full position
        c.minimum = c.minimumWage * 24 * share / 730 * c.raise;
    }
}

// The sheet's months against the reporting month, the employee's payment
// system and working day.
int CheckPeriodAndEmployee(BenefitCalc& c)
{
    const SickLeaveSheet& line = c.line;
    c.firstPaidMonth = c.startMonth;
    if (line.firstMes != 0 && line.firstMes != line.mBegin) {
        c.firstPaidMonth = MonthIndex(c.startYear, line.firstMes);
        if (c.firstPaidMonth < c.startMonth)
            c.firstPaidMonth += 12;
    }
    const int sinceFirst = c.reportingMonth - c.firstPaidMonth, months = c.endMonth - c.startMonth;
    if (sinceFirst < -1 || sinceFirst > 6 || months > 7 || months - sinceFirst > 8)
        return kCalcSickLeaveMonth;
    if (!c.from2007 && line.dn != 0 && c.endMonth != c.startMonth)
        return kCalcHireDateForRule;
    auto& base = c.doc.infoBase;
    if (!base.holdsSlot(c.slot) || base.attributesOf(c.slot).sistOpl == 0)
        return kCalcNoPaymentSystem;
    c.paymentSystem = base.attributesOf(c.slot).sistOpl;
    c.scheduleNumber = EmployeeScheduleNumber(c.doc, c.slot);
    c.schedule = &base.scheduleAt(c.scheduleNumber);
    c.dayLength = WorkingDayLength(*c.schedule, c.doc);
    if (c.dayLength == 0)
        return kCalcNoDayLength;
    return 0;
}

int MonthlyRates(BenefitCalc& c)
{
    double fullRate = 0;
    if (const int r = CalcMonthRate(c.currentRate, fullRate, c.doc, c.slot); r < 0)
        return r;
    FilledRateHistory(c.doc, c.currentRate, c.history);
    return 0;
}

// The accounting period, the latest month last: the two calendar years
// before the sheet, or the twelve months before its first paid month.
void AccountingPeriod(BenefitCalc& c)
{
    Period& period = c.period;
    if (c.twoYear) {
        period.months = 24;
        const int firstYear = c.line.firstYear ? c.line.firstYear : c.startYear - 2;
        const int secondYear = c.line.secondYear ? c.line.secondYear : c.startYear - 1;
        for (int i = 0; i < 12; ++i) {
            period.counters[i] = MonthIndex(firstYear, i + 1);
            period.counters[12 + i] = MonthIndex(secondYear, i + 1);
        }
    } else {
        int last = c.variant >= 3 ? c.firstPaidMonth : c.firstPaidMonth - 1;
        if (last > c.reportingMonth)
            last -= 12;
        for (int i = 0; i < 12; ++i) period.counters[i] = last - 11 + i;
    }
    c.periodEnd = period.counters[period.months - 1];
}

// The earnings and days of each month of the period for a budget (negative:
// all); gives the months that have days and the time worked. Over two
// calendar years a month counts each kind at most its per-kind amount.
void PeriodMonthRows(const BenefitCalc& c, int budget, PassResult& out, int& monthsWithDays, int& workedDays,
                     long& workedMinutes)
{
    for (int i = c.period.months - 1; i >= 0; --i) {
        const int counter = c.period.counters[i];
        BenefitYearRow& row = out.rows[std::size_t(i)];
        row.month = MonthOfMonthIndex(counter);
        row.year = YearOfMonthIndex(counter);
        int normDays = 0, normMinutes = 0;
        const int nr = c.norm(counter, 1, 31, normDays, normMinutes);
        if (nr < 0 && nr != NormNoWorkingTime) {
            out.error = nr - 10;
            return;
        }
        MonthEarnings earned;
        if (const int r = MonthEarningsForAverage(c.doc, counter, MonthEarningsQuery{3, 0, 0, budget, c.twoYear},
                                                  c.rows, c.rowCount, earned);
            r < 0) {
            out.error = r;
            return;
        }
        row.earnings = earned.sum - earned.split;
        if (!c.from2007 || c.variant == 2) {
            row.days = c.byHours ? std::max(0, earned.minutes) / 60 : std::max(0, earned.days - earned.excludedDays);
            workedDays += std::max(0, earned.days - earned.excludedDays);
            workedMinutes += std::max(0, earned.minutes);
        } else {
            row.days = DaysEmployedInMonth(c.doc, counter);
        }
        if (c.variant >= 3)
            row.earnings = c.minimumWage * (c.raise83 ? 1 + c.firm.procRaj / 100.0 : 1.0);
        if (c.twoYear)
            row.days = DaysInMonth(row.year, row.month);
        if (row.days > 0)
            ++monthsWithDays;
    }
}

// The bonuses of the period: into the last month (two-year rule) or shared
// among the months with days; before 2007 and by hours in proportion to the
// time worked.
void AddPeriodBonuses(const BenefitCalc& c, int budget, PassResult& out, int monthsWithDays, int workedDays,
                      long workedMinutes)
{
    if (c.variant > 2)
        return;
    int error = 0;
    double bonus =
        SumBonusesForSickLeave(c.doc, c.rows, c.rowCount, c.periodEnd, c.firm.blnSrPremMes & 15, budget, error);
    if (error < 0) {
        out.error = error;
        return;
    }
    if (!c.from2007 || c.variant == 2) {
        int yearDays = 0, yearMinutes = 0;
        YearScheduleNorm(c.doc, c.scheduleNumber, c.period.counters[c.period.months - 12], yearDays, yearMinutes);
        const double worked = c.variant == 2 ? double(workedMinutes) : double(workedDays);
        const double planned = c.variant == 2 ? double(yearMinutes) : double(yearDays);
        bonus = planned > 0 ? bonus * std::min(1.0, worked / planned) : 0;
    }
    bonus = RoundWhole(bonus);
    if (bonus == 0)
        return;
    auto& rows = out.rows;
    if (c.twoYear) {
        rows[std::size_t(c.period.months - 1)].earnings += bonus;
    } else if (monthsWithDays > 0) {
        const double share = RoundWhole(bonus / monthsWithDays);
        for (int i = 0; i < c.period.months; ++i)
            if (rows[std::size_t(i)].days > 0)
                rows[std::size_t(i)].earnings += share;
    }
}

// The total row and the average daily (hourly) earnings; a period without
// earnings takes the start month's earnings, else the salary or the tariff.
void PeriodTotalAndAverage(const BenefitCalc& c, int budget, PassResult& out)
{
    auto& rows = out.rows;
    BenefitYearRow& total = rows[std::size_t(c.period.months)];
    double firstYear = 0, secondYear = 0;
    for (int i = 0; i < c.period.months; ++i) {
        total.days += rows[std::size_t(i)].days;
        total.earnings += rows[std::size_t(i)].earnings;
        (i < 12 ? firstYear : secondYear) += rows[std::size_t(i)].earnings;
    }
    if (c.from2007)
        total.days -= c.excludedDays;
    if (c.twoYear) {
        rows[11].yearTotal = firstYear;
        total.yearTotal = secondYear;
    } else if (total.earnings == 0) {
        int normDays = 0, normMinutes = 0;
        c.norm(c.startMonth, 1, 31, normDays, normMinutes);
        MonthEarnings earned;
        MonthEarningsForAverage(c.doc, c.startMonth, MonthEarningsQuery{3, 0, 0, budget}, c.rows, c.rowCount, earned);
        double earnings = earned.sum;
        int days = c.from2007 ? DaysEmployedInMonth(c.doc, c.startMonth) : normDays;
        if (earnings == 0) {
            earnings = c.head.oklad != 0 ? c.head.oklad : c.head.tarifVrem.kopecks() * normMinutes / 60.0;
            days = normDays;
        }
        for (int i = 0; i < c.period.months; ++i) rows[std::size_t(i)] = BenefitYearRow{};
        total.days = c.byHours ? normMinutes / 60 : days;
        total.earnings = earnings;
    }
    out.earnings = total.earnings;

    // A divisor that is not positive gives 0.
    if (c.twoYear)
        out.average =
            total.days > 0
                ? RoundWhole((std::min(firstYear, kTwoYearEarningsCap) + std::min(secondYear, kTwoYearEarningsCap)) /
                             total.days)
                : 0;
    else
        out.average = total.days > 0 ? RoundWhole(total.earnings / total.days) : 0;
    total.average = out.average;
}

// One pass over the period for a budget (negative: all).
PassResult PeriodPass(const BenefitCalc& c, int budget)
{
    PassResult out;
    int monthsWithDays = 0, workedDays = 0;
    long workedMinutes = 0;
    PeriodMonthRows(c, budget, out, monthsWithDays, workedDays, workedMinutes);
    if (out.error < 0)
        return out;
    AddPeriodBonuses(c, budget, out, monthsWithDays, workedDays, workedMinutes);
    if (out.error < 0)
        return out;
    PeriodTotalAndAverage(c, budget, out);
    return out;
}

// The average over the whole period; a sheet of a budget takes its own
// budget's average and scales the limits by its share of the earnings.
int PeriodAverage(BenefitCalc& c)
{
    PassResult result = PeriodPass(c, -1);
    if (result.error < 0)
        return result.error;
    const bool budgetPass = c.line.budg != 0 && (c.kind == 0 || c.kind == 2 || c.kind == 4);
    if (budgetPass) {
        const double all = result.earnings;
        PassResult own = PeriodPass(c, c.line.budg);
        if (own.error < 0)
            return own.error;
        if (own.earnings != all && all != 0) {
            c.maximum = RoundWhole(c.maximum * own.earnings / all);
            c.minimum = RoundWhole(c.minimum * own.earnings / all);
        }
        result = own;
    }
    c.tables.years = result.rows;
    c.tables.periodMonths = c.period.months;
    c.tables.maximum = c.maximum;
    c.tables.minimum = c.minimum;
    c.average = result.average;
    return 0;
}

// Over two calendar years the average is at least the minimum wage's
// average of the start month (the minimum m, scaled to the budget's share
// where a budget pass scaled it): a period without earnings or with less
// takes it.
void MinimumWageFloor(BenefitCalc& c)
{
    if (!c.twoYear)
        return;
    const double floor = RoundWhole(c.minimum);
    if (c.average >= floor)
        return;
    c.average = floor;
    c.tables.minimumWageAverage = floor;
}

// The daily (hourly) pay at the employee's tariff in the start month, kept
// negative in the tables; the two-year rule's first outputs.
void TariffDaily(BenefitCalc& c)
{
    const bool near = c.startMonth == c.reportingMonth || c.startMonth == c.reportingMonth + 1;
    const double rate = near ? c.currentRate : c.history[std::clamp(c.reportingMonth - c.startMonth, 0, 12)];
    double pay = 0;
    if (c.paymentSystem == 4) {
        int normDays = 0, normMinutes = 0;
        c.norm(c.startMonth, 1, 31, normDays, normMinutes);
        pay = c.variant == 2 ? (normMinutes > 0 ? rate / normMinutes * 60 : 0) : (normDays > 0 ? rate / normDays : 0);
    } else {
        pay = c.variant == 2 ? rate : rate * c.dayLength / 60.0;
    }
    c.tables.tariffDaily = -pay;
    if (c.twoYear && c.tables.firstOut == 0 && c.tables.secondOut == 0) {
        c.tables.firstOut = c.average;
        c.tables.secondOut = RoundWhole(c.minimum);
    }
}

// The daily benefit at a percentage in a month of the given length.
double DailyBenefit(const BenefitCalc& c, int percent, int length, double dailyMax, double dailyMin)
{
    double daily = c.variant == 3 ? c.maximum / length : c.average;
    if (c.childCare) {
        daily *= 30.4;
        if (c.from2010 && c.firm.blnMaxOgr != 0)
            daily = std::min(daily, c.maximum / 12);
    }
    if (!c.from2010)
        daily = daily * percent / 100.0;
    if (c.childCare)
        daily /= length;
    if (c.firm.blnMaxOgr != 0)
        daily = std::min(daily, dailyMax);
    if (c.twoYear) {
        if (c.line.fromMinimumMonthlyEarnings & 1)
            daily = RoundWhole(std::max(daily, dailyMin));
    } else {
        daily = std::max(daily, dailyMin);
    }
    if (c.from2010)
        daily = daily * percent / 100.0;
    if (c.childCare)
        return daily;
    if (c.variant == 3 || c.twoYear)
        return RoundWhole(daily);
    return wholeKopecks(daily);
}

void AddMonthRow(BenefitCalc& c, int year, int month, int from, int to, int days, int percent, double daily)
{
    SickLeaveTables& tables = c.tables;
    if (tables.monthRows >= SickLeaveTables::MonthRows)
        return;
    BenefitMonthRow& row = tables.months[std::size_t(tables.monthRows++)];
    row.from = BenefitDateKey(year, month, from);
    row.to = BenefitDateKey(year, month, to);
    row.days = days;
    row.percent = percent;
    row.daily = daily;
    row.amount = RoundWhole(daily * days);
    if (c.maximum > 0)
        row.amount = std::min(row.amount, c.maximum);
    row.contin = c.line.contin;
    c.benefit += row.amount;
}

// One part of a month at a percentage, split at the simplified ceiling for
// the kinds 8 and 9.
void AddMonthPart(BenefitCalc& c, int year, int month, int from, int to, int days, int percent, double daily,
                  int length)
{
    if (days <= 0)
        return;
    const double ceiling = c.firm.blnUprosh / length;
    if ((c.kind == 8 || c.kind == 9) && c.firm.blnUprosh != 0 && daily > ceiling) {
        AddMonthRow(c, year, month, from, to, days, percent, RoundWhole(ceiling));
        AddMonthRow(c, year, month, from, to, days, percent, daily - RoundWhole(ceiling));
    } else {
        AddMonthRow(c, year, month, from, to, days, percent, daily);
    }
}

// Days paid from day a to day b of the month counter.
int PaidDays(const BenefitCalc& c, int counter, int a, int b)
{
    if (a > b)
        return 0;
    if (!c.from2007 || c.variant == 2) {
        int days = 0, minutes = 0;
        c.norm(counter, a, b, days, minutes, true);
        return c.byHours ? minutes / 60 : days;
    }
    return employedDays(c.doc, counter, a, b);
}

// The benefit of one calendar month of the sheet: the days at the full
// percentage and, for the kinds counted apart, the days from the eleventh on
// at the reduced one.
void BenefitOfMonth(BenefitCalc& c, int counter)
{
    const int year = YearOfMonthIndex(counter), month = MonthOfMonthIndex(counter);
    const int length = DaysInMonth(year, month);
    const int from = counter == c.startMonth ? c.line.dBegin : 1;
    const int to = counter == c.endMonth ? std::min<int>(c.line.dEnd, length) : length;

    double dailyMax = c.maximum / length;
    if (c.from2010 && c.kind != 1 && c.variant != 3)
        dailyMax = c.maximum / c.yearDays;
    if (c.childCare && c.from2010)
        dailyMax = c.maximum / 12;
    if (!(c.childCare && c.variant == 1))
        dailyMax = RoundWhole(dailyMax);
    const double dailyMin = c.twoYear ? RoundWhole(c.minimum) : c.minimum / length;

    if (!c.from2007 && c.line.dn != 0) {
        AddMonthPart(c, year, month, from, to, c.excludedDays, c.percent,
                     DailyBenefit(c, c.percent, length, dailyMax, dailyMin), length);
        return;
    }
    int splitDay = to + 1; // first day counted apart
    const QDate eleventh = c.startDate.addDays(10);
    if ((c.kind == 4 || c.kind == 9) && eleventh.isValid()) {
        const int eleventhMonth = MonthIndex(eleventh.year(), eleventh.month());
        if (eleventhMonth < counter)
            splitDay = from;
        else if (eleventhMonth == counter)
            splitDay = std::max(from, eleventh.day());
    }
    const int fullDays = PaidDays(c, counter, from, std::min(to, splitDay - 1));
    const int apartDays = PaidDays(c, counter, std::max(from, splitDay), to);
    if (fullDays > 0)
        AddMonthPart(c, year, month, from, std::min(to, splitDay - 1), fullDays, c.percent,
                     DailyBenefit(c, c.percent, length, dailyMax, dailyMin), length);
    if (apartDays > 0)
        AddMonthPart(c, year, month, std::max(from, splitDay), to, apartDays, c.reducedPercent,
                     DailyBenefit(c, c.reducedPercent, length, dailyMax, dailyMin), length);
}

// The benefit split by calendar month into the tables' month rows.
int SplitByMonth(BenefitCalc& c)
{
    if (c.startMonth < c.reportingMonth - 7 || c.startMonth > c.reportingMonth + 6)
        return kCalcNoPreviousSchedule;
    c.yearDays = DaysInMonthOrYear(c.doc, 0);
    c.tables.years[std::size_t(c.period.months)].dailyMax = c.from2010 ? RoundWhole(c.maximum / c.yearDays) : 0;
    c.percent = c.line.procent == 0 ? 100 : c.line.procent;
    if (c.kind == 2 && c.from2010)
        c.percent = 100;
    if (c.childCare)
        c.percent = 40;
    c.reducedPercent = std::min(c.percent, c.firm.blnMinProc == 0 ? 50 : int(c.firm.blnMinProc));
    for (int counter = c.startMonth; counter <= c.endMonth; ++counter) BenefitOfMonth(c, counter);
    return 0;
}

} // namespace

int CalcSickLeaveBenefit(PayrollDoc& doc, SickLeaveSheet& line, SickLeaveTables& tables, const AccrualRow* rows,
                         int rowCount, ScheduleMonthsRun* scheduleMonths)
{
    // The tables start empty but for the two-year rule's outputs given in.
    const double firstIn = tables.firstOut, secondIn = tables.secondOut;
    tables = SickLeaveTables{};
    tables.firstOut = firstIn;
    tables.secondOut = secondIn;

    auto& base = doc.infoBase;
    BenefitCalc c{doc, line, tables, rows, rowCount, base.firm, base.current.head};
    c.slot = base.currentSlot;
    c.reportingMonth = ReportingMonthIndex(doc);
    c.scheduleMonths = scheduleMonths;

    if (const int r = ReadSheetDates(c); r < 0)
        return r;
    ChooseVariant(c);
    BenefitLimits(c);
    if (const int r = CheckPeriodAndEmployee(c); r < 0)
        return r;
    if (const int r = MonthlyRates(c); r < 0)
        return r;
    AccountingPeriod(c);
    if (const int r = PeriodAverage(c); r < 0)
        return r;
    MinimumWageFloor(c);
    TariffDaily(c);
    if (const int r = SplitByMonth(c); r < 0)
        return r;

    line.sum = c.benefit;
    line.oklad = tables.tariffDaily;
    return c.variant;
}

} // namespace kalvor
