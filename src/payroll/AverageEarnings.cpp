#include "payroll/AverageEarnings.h"
#include "infobase/PayKindCodes.h"
#include "payroll/CalendarMath.h"

#include "payroll/Criteria.h"
#include "payroll/MonthRate.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <algorithm>
#include <cmath>

namespace kalvor {

using infobase::AccrualRow;
using infobase::PayKind;
using infobase::VacationNote;
using infobase::WariaEntry;
using infobase::WorkSchedule;

namespace {

// One entry (archive entry or month row) seen by the month sums.
struct Entry {
    int code;
    double sum;
    int month; // month counter
    int days;
    int minutes;
};

template <class F>
void forEachEntry(const PayrollDoc& doc, const AccrualRow* rows, int rowCount, F f)
{
    const auto& rec = doc.infoBase.current;
    const int n = std::min<int>(rec.warKv, int(rec.waria.size()));
    for (int i = 0; i < n; ++i) {
        const WariaEntry& e = rec.waria[std::size_t(i)];
        if (e.kod == 0 || e.god == 0 || e.mes == 0)
            continue;
        f(Entry{e.kod, e.sum, MonthIndex(e.god, e.mes), int(e.dn), int(e.hr) * 60 + int(e.min)});
    }
    for (int i = 0; i < rowCount; ++i) {
        const AccrualRow& r = rows[i];
        if (r.kod == 0)
            continue;
        f(Entry{r.kod, r.sum, RowMonthForAverage(r, doc), int(r.dn), int(r.hr) * 60 + int(r.min)});
    }
}

// Sick leave over two calendar years counts an accrual kind with a per-kind
// amount at most that amount a month.
bool limitedKind(const MonthEarningsQuery& q, const PayKind& k)
{
    return q.purpose == 3 && q.twoYear && k.sumSkidSoc > 0;
}

void addToKind(std::vector<std::pair<int, double>>& sums, int code, double sum)
{
    for (auto& [c, s] : sums)
        if (c == code) {
            s += sum;
            return;
        }
    sums.emplace_back(code, sum);
}

double round2(double v) { return RoundWhole(v * 100.0) / 100.0; }

// Bonus sums shared by the vacation and the sick-leave average.
double sumBonuses(const PayrollDoc& doc, const AccrualRow* rows, int rowCount, int periodEnd, int bonusMonths,
                  bool sickLeave, int selector, int& outError)
{
    outError = 0;
    const bool strict = bonusMonths == 15;
    const int months = (bonusMonths == 0 || strict) ? 12 : bonusMonths;
    const int windowStart = periodEnd - months + 1;
    const int periodYear = YearOfMonthIndex(periodEnd);
    const int previousYear = YearOfMonthIndex(periodEnd + 1) - 1;
    double yearly = 0, full = 0;
    std::array<double, 4> quarters{};
    std::vector<double> aside;
    forEachEntry(doc, rows, rowCount, [&](const Entry& e) {
        if (outError != 0 || !IsAccrualCode(e.code))
            return;
        const PayKind* k = PayKindOf(doc, e.code);
        if (!k) {
            if (strict)
                outError = kCalcUnknownArchiveCode;
            return;
        }
        if (sickLeave ? (selector >= 0 && k->budgBln != selector) : (k->koefOtp != selector))
            return;
        const int m = MonthOfMonthIndex(e.month), y = YearOfMonthIndex(e.month);
        const bool yearlyCode = IsFixedSickLeaveCode(e.code);
        if (yearlyCode) {
            const bool enters = sickLeave ? (k->enSrPremBln || k->enBln() != 0) : k->enOtp != 0;
            if (!enters || e.month > periodEnd || e.month < periodEnd - 11)
                return;
            if ((e.code == kCodeLastYearReward && m < 7) || (e.code == kCodeYearBonus && m > 6) ||
                (e.code == kCodeYearBonusForBenefits && y != periodYear && y != periodYear - 1))
                return;
            yearly = e.sum;
            return;
        }
        if (strict ? y != previousYear : (e.month < windowStart || e.month > periodEnd))
            return;
        bool quarterly = false, inFull = false;
        if (sickLeave) {
            if (k->enBlnFull)
                return;
            quarterly = (k->enSrPremBln && e.code == kCodeQuarterBonus) || k->enBlnProp;
            inFull = !quarterly && k->enSrPremBln && e.code != kCodeQuarterBonus && k->enBln() == 0;
        } else {
            quarterly = e.code == kCodeQuarterBonus && k->enOtp != 0;
            inFull = !quarterly && k->enOtp == 3;
        }
        if (inFull) {
            full += e.sum;
        } else if (quarterly) {
            double& q = quarters[std::size_t((m - 1) / 3)];
            double pushed = e.sum;
            if (q == 0 || e.sum > q) {
                pushed = q;
                q = e.sum;
            }
            if (pushed != 0 && aside.size() < 4)
                aside.push_back(pushed);
        }
    });
    if (outError != 0)
        return 0;
    std::sort(aside.begin(), aside.end(), [](double a, double b) { return a > b; });
    std::size_t next = 0;
    for (double& q : quarters)
        if (q == 0 && next < aside.size())
            q = aside[next++];
    return RoundWhole(yearly + full + quarters[0] + quarters[1] + quarters[2] + quarters[3]);
}

int employmentYear(std::uint16_t date) { return EmployeeDateYear(date); }

} // namespace

int RowMonthForAverage(const AccrualRow& row, const PayrollDoc& doc)
{
    const int rm = doc.infoBase.config.reportingMonth();
    const int ry = doc.infoBase.config.reportingYear();
    const int m = row.mes;
    if (m == 0 || m == rm)
        return MonthIndex(ry, rm);
    if (m > rm)
        return IsPaidAheadCode(row.kod) || IsBySourceCode(row.kod) ? MonthIndex(ry, m) : MonthIndex(ry - 1, m);
    return IsPaidAheadCode(row.kod) ? MonthIndex(ry + 1, m) : MonthIndex(ry, m);
}

int MonthEarningsForAverage(const PayrollDoc& doc, int month, const MonthEarningsQuery& q, const AccrualRow* rows,
                            int rowCount, MonthEarnings& out)
{
    out = MonthEarnings{};
    int error = 0;
    const bool sick = q.purpose == 3;
    std::vector<std::pair<int, double>> limited; // month sums of the kinds with a per-kind amount
    forEachEntry(doc, rows, rowCount, [&](const Entry& e) {
        if (error != 0 || e.month != month)
            return;
        const PayKind* k = PayKindOf(doc, e.code);
        if (!k) {
            if (sick)
                error = kCalcUnknownArchiveCode;
            return;
        }
        const bool enters = sick ? k->enBln() != 0 : k->enOtp != 0;
        const bool selected = sick ? (k->enBln() != 0 && (q.budget < 0 || k->budgBln == q.budget))
                                   : (k->enOtp == q.kindClass && e.code != kCodeQuarterBonus &&
                                      k->koefOtp == q.indexed && k->budgOtp == q.budget);
        if (!IsAccrualCode(e.code)) {
            // Deductions of a selected kind reduce the month (holds and reversals).
            if (selected && IsMonthDeductionCode(e.code))
                out.sum -= e.sum;
            return;
        }
        if (selected) {
            if (e.code != kCodeUnpaid) {
                out.sum += e.sum;
                if (limitedKind(q, *k))
                    addToKind(limited, e.code, e.sum);
            }
            if (!IsTimeExcludedCode(e.code)) {
                const int sign = e.sum < 0 ? -1 : 1;
                out.days += sign * e.days;
                out.minutes += sign * e.minutes;
            }
            return;
        }
        if (!enters && !IsNeverTimeOffCode(e.code) && (e.days != 0 || e.minutes != 0) && e.sum >= 0) {
            if (e.code == kCodeForcedIdlePay)
                out.excludedMinutes += e.minutes;
            else
                out.excludedDays += e.days;
        }
    });
    for (const auto& [code, sum] : limited) out.split += std::max(0.0, sum - PayKindOf(doc, code)->sumSkidSoc);
    return error;
}

double SumBonusesForAverage(const PayrollDoc& doc, const AccrualRow* rows, int rowCount, int periodEnd, int bonusMonths,
                            int indexed, int& outError)
{
    return sumBonuses(doc, rows, rowCount, periodEnd, bonusMonths, false, indexed, outError);
}

double SumBonusesForSickLeave(const PayrollDoc& doc, const AccrualRow* rows, int rowCount, int periodEnd,
                              int bonusMonths, int budget, int& outError)
{
    return sumBonuses(doc, rows, rowCount, periodEnd, bonusMonths, true, budget, outError);
}

int DaysEmployedInMonth(const PayrollDoc& doc, int month)
{
    const auto& h = doc.infoBase.current.head;
    const std::uint16_t hire = h.datPr2 ? h.datPr2 : h.datPr1;
    const std::uint16_t dismissal = h.datPr2 ? h.datUv2 : h.datUv1;
    const int y = YearOfMonthIndex(month), m = MonthOfMonthIndex(month);
    int first = 1, last = DaysInMonth(y, m);
    if (hire) {
        const PackedDate d(hire);
        const int hm = MonthIndex(employmentYear(hire), d.month());
        if (month < hm)
            return 0;
        if (month == hm)
            first = std::max(1, d.day());
    }
    if (dismissal) {
        const PackedDate d(dismissal);
        const int dm = MonthIndex(employmentYear(dismissal), d.month());
        if (month > dm)
            return 0;
        if (month == dm)
            last = std::min(last, d.day() - 1);
    }
    return std::max(0, last - first + 1);
}

double NorthernAllowancePercent(const PayrollDoc& doc, int month)
{
    const auto& f = doc.infoBase.firm;
    const std::uint16_t start = doc.infoBase.current.head.datSevStag;
    if (f.procSev == 0 || start == 0)
        return 0;
    int steps = 1;
    if (f.periodSevNad != 0) {
        const int months = month - MonthIndex(EmployeeDateYear(start), PackedDate(start).month());
        if (months < 0)
            return 0;
        steps = months / f.periodSevNad + 1;
    }
    if (f.maxKvSevNad != 0)
        steps = std::min<int>(steps, f.maxKvSevNad);
    return f.procSev * steps / 100.0;
}

int ComparePeriodEntries(const VacationNote& a, const VacationNote& b)
{
    const long ka = long(MonthKey(a.gBegin, a.mBegin).value()) * 32 + a.dBegin;
    const long kb = long(MonthKey(b.gBegin, b.mBegin).value()) * 32 + b.dBegin;
    if (ka != kb)
        return ka < kb ? -1 : 1;
    if (a.budg != b.budg)
        return a.budg < b.budg ? -1 : 1;
    return 0;
}

int SplitVacationDays(const PayrollDoc& doc, const VacationNote& line, int scheduleNumber, int firstMonth,
                      VacationSplit& out)
{
    out = VacationSplit{};
    WorkSchedule calendar = doc.infoBase.nearestSchedule(scheduleNumber);
    const int rc = ReportingMonthIndex(doc);
    const int firstRow = WorkSchedule::ReportingMonth + (firstMonth - rc);
    const int kalend = line.kalend == 0 ? 1 : line.kalend;
    // Codes 3 and 4 count the working days of the employee's own schedule.
    if (kalend != 3 && kalend != 4) {
        calendar.rabDnNed = kalend == 2 ? 0x3F : 0x7F;
        calendar.pVyh = 0;
        calendar.pRab = 0;
        calendar.begD = calendar.begM = calendar.begG = 0;
        calendar.ruchn = 0;
        // The rows of the vacation's months are computed anew on the calendar.
        for (int k = 0; k < 4; ++k) {
            const int r = firstRow + k;
            if (r >= 0 && r < int(calendar.months.size()))
                calendar.months[std::size_t(r)] = infobase::ScheduleMonth{};
        }
    }
    int remaining = line.dlin;
    int lastDay = 0;
    int k = 0;
    while (remaining > 0) {
        if (k >= 4)
            return kCalcBadVacationLength;
        const int row = firstRow + k;
        if (row < 0 || row >= int(calendar.months.size()))
            return kCalcBadVacationStart;
        int days = 0, minutes = 0;
        const int r = ScheduleNormDayByDay(row, calendar, 1, 31, days, minutes, doc);
        if (r < 0 && r != NormNoWorkingTime)
            return r - 10;
        const int from = k == 0 ? std::max<int>(1, line.dBegin) : 1;
        const int length = DaysInMonth(YearOfMonthIndex(firstMonth + k), MonthOfMonthIndex(firstMonth + k));
        int count = 0;
        for (int day = from; day <= length && remaining > 0; ++day) {
            if (calendar.months[std::size_t(row)].d[std::size_t(day - 1)] != 0) {
                ++count;
                --remaining;
                lastDay = day;
            }
        }
        out.counts.push_back(count);
        ++k;
    }
    if (out.counts.size() > 3)
        return kCalcBadVacationLength;
    out.endMarker = lastDay < 16 ? 1 : 2;
    return 0;
}

namespace {

// What the steps of one vacation line's average share. Month counters are
// month indexes ((year - 1900) x 12 + month).
struct VacationCalc {
    PayrollDoc& doc;
    const VacationNote& line;
    const CalcOptions& caller;
    AccrualRow* rows;
    int rowCount;
    int rowCapacity;
    CalcWorkBuffer* detail;
    int rateVariant;
    int slot = 0; // the current employee's record slot
    int reportingMonth = 0; // month counter of the reporting month
    WorkSchedule* schedule = nullptr;
    int dayLength = 0;

    // The line.
    bool compensation = false; // compensation for vacation not taken (no start month)
    int kalend = 1;
    int startYear = 0, startMonthNumber = 0, startDay = 0;
    int start = 0; // month counter that places the period
    VacationSplit split{};
    int periodLast = 0; // the period's last month

    // The period.
    double bonusPlain = 0, bonusIndexed = 0; // monthly shares of the bonuses
    double currentRate = 0;
    double history[13] = {};
    bool early2006 = false;
    double defaultMonthDays = 29.4;
    int fixedRise = 0;
    double periodTotal = 0, units = 0;
    int hoursMinutes = 0;

    // The average.
    double divisor = 0, average = 0, daily = 0, vacationPay = 0, length = 0;

    // The rows appended.
    int appended = 0;
    bool overflow = false;

    double rateOf(int counter) const
    {
        const int back = reportingMonth - counter;
        return back <= 0 ? history[0] : history[std::min(back, 12)];
    }
    // A computed row whose amount rounds to 0 is not kept.
    void append(int code, double amount, int counter, int days, int minutes)
    {
        if (amount == 0)
            return;
        if (rowCount + appended >= rowCapacity) {
            overflow = true;
            return;
        }
        AccrualRow r;
        r.kod = std::uint16_t(code);
        r.sum = amount;
        r.mes = std::uint16_t(MonthOfMonthIndex(counter));
        r.dn = std::uint16_t(std::clamp(days, 0, 63));
        r.hr = std::uint16_t(std::clamp(minutes / 60, 0, 511));
        r.min = std::uint16_t(minutes % 60);
        rows[rowCount + appended++] = r;
    }
};

// The month that places the period: the start month, or for a compensation
// the dismissal month (the reporting month without one).
void PlaceVacation(VacationCalc& c)
{
    const auto& config = c.doc.infoBase.config;
    const auto& head = c.doc.infoBase.current.head;
    c.compensation = c.line.mBegin == 0;
    c.kalend = c.line.kalend == 0 ? 1 : c.line.kalend;
    c.startYear = c.line.gBegin;
    c.startMonthNumber = c.line.mBegin;
    c.startDay = c.line.dBegin;
    if (c.compensation) {
        c.startYear = config.reportingYear();
        c.startMonthNumber = config.reportingMonth();
        c.startDay = 1;
        const std::uint16_t dismissal = head.datUv2 ? head.datUv2 : head.datUv1;
        c.start = dismissal ? MonthIndex(EmployeeDateYear(dismissal), PackedDate(dismissal).month()) : c.reportingMonth;
    } else {
        c.start = MonthIndex(c.startYear, c.startMonthNumber);
    }
}

// The period's last month: the month before the start, or the line's month.
void PeriodLastMonth(VacationCalc& c)
{
    c.periodLast = c.start - 1;
    if (c.line.mes != 0) {
        c.periodLast = MonthIndex(YearOfMonthIndex(c.start), c.line.mes);
        if (c.line.mes >= MonthOfMonthIndex(c.start))
            c.periodLast -= 12;
    }
}

// The bonus shares, the monthly rates and the period's constants.
int PeriodInputs(VacationCalc& c)
{
    const auto& base = c.doc.infoBase;
    const int bonusMonths = base.firm.blnSrPremMes & 15;
    int plainError = 0, indexedError = 0;
    c.bonusPlain = SumBonusesForAverage(c.doc, c.rows, c.rowCount, c.periodLast, bonusMonths, 0, plainError) / 12.0;
    c.bonusIndexed = SumBonusesForAverage(c.doc, c.rows, c.rowCount, c.periodLast, bonusMonths, 1, indexedError) / 12.0;
    if (plainError < 0)
        return plainError;
    if (indexedError < 0)
        return indexedError;

    double fullRate = 0;
    if (const int r = CalcMonthRate(c.currentRate, fullRate, c.doc, c.slot); r < 0)
        return r;
    FilledRateHistory(c.doc, c.currentRate, c.history);

    c.early2006 = MonthIndex(c.startYear, c.startMonthNumber) < MonthIndex(2006, 10) ||
                  (!c.compensation && c.startYear == 2006 && c.startMonthNumber == 10 && c.startDay <= 5);
    c.defaultMonthDays = c.kalend == 2 ? 25.25 : (c.early2006 ? 29.6 : 29.4);
    c.fixedRise = (c.rateVariant == 1 && base.holdsSlot(c.slot)) ? base.tabelOf(c.slot).koeffHundredths() : 0;
    return 0;
}

// The rise coefficient of an earlier month: the ratios of the rates at each
// general pay rise up to the start.
double RiseCoefficient(const VacationCalc& c, int counter)
{
    double coef = 1;
    for (int j = counter + 1; j <= c.start; ++j) {
        if (!c.doc.infoBase.config.korr(MonthOfMonthIndex(j)))
            continue;
        const double later = c.rateOf(j), earlier = c.rateOf(j - 1);
        if (later == 0 || earlier == 0)
            continue;
        const double ratio = later / earlier;
        if (ratio >= 0.01 && ratio <= 10 && ratio != 1)
            coef *= ratio;
    }
    coef = round2(coef);
    if (c.fixedRise != 0)
        coef = c.fixedRise / 100.0;
    return coef;
}

// The units a month adds to the divisor: a month (rule 0), hours (rule 2) or
// days by the share of the month worked.
double MonthUnits(const VacationCalc& c, double share, double countedDays, int calendarDays, int daysWorked,
                  int minutesWorked)
{
    const int alg = c.line.alg;
    if (alg == 0)
        return (daysWorked != 0 || minutesWorked != 0) ? 1 : 0;
    if (alg == 2)
        return minutesWorked / 60.0;
    if (share >= 1)
        return c.line.fond != 0 ? c.line.fond / 100.0 : c.defaultMonthDays;
    if (c.kalend == 1 && c.startYear < 2008)
        return countedDays * 1.4;
    if (c.kalend == 1)
        return round2(countedDays * 29.4 / calendarDays);
    return countedDays * 1.2;
}

// One month of the period (i months before its last): its earnings, raised
// by the coefficient, and its units.
int PeriodMonth(VacationCalc& c, int i)
{
    const VacationNote& line = c.line;
    const int alg = line.alg;
    const int counter = c.periodLast - i;
    const int year = YearOfMonthIndex(counter), month = MonthOfMonthIndex(counter);
    const int calendarDays = DaysInMonth(year, month);

    MonthEarnings indexed2, plain2, plain1, indexed1;
    auto query = [&](int kindClass, int indexed, int budget, MonthEarnings& out) {
        return MonthEarningsForAverage(c.doc, counter, MonthEarningsQuery{4, kindClass, indexed, budget}, c.rows,
                                       c.rowCount, out);
    };
    if (query(2, 1, line.budg, indexed2) < 0 || query(2, 0, line.budg, plain2) < 0 ||
        query(1, 0, line.budg, plain1) < 0 || query(1, 1, line.budg, indexed1) < 0)
        return kCalcBadVacationStart;
    int daysWorked = plain1.days + indexed1.days;
    int minutesWorked = plain1.minutes + indexed1.minutes;
    if (line.budg != 0 && (daysWorked == 0 || minutesWorked == 0)) {
        // The time of a budget's line comes from every budget.
        MonthEarnings anyPlain, anyIndexed;
        query(1, 0, 0, anyPlain);
        query(1, 1, 0, anyIndexed);
        if (daysWorked == 0)
            daysWorked = anyPlain.days + anyIndexed.days;
        if (minutesWorked == 0)
            minutesWorked = anyPlain.minutes + anyIndexed.minutes;
    }
    daysWorked = std::max(0, daysWorked);
    minutesWorked = std::max(0, minutesWorked);

    // The month's norm (for the shares that need it).
    int normDays = 0, normMinutes = 0;
    if (alg == 2 || (alg == 1 && c.startYear < 2008) || indexed1.excludedMinutes > 0) {
        const int r = CalcScheduleNorm(WorkSchedule::ReportingMonth + (counter - c.reportingMonth), *c.schedule, 1, 31,
                                       normDays, normMinutes, c.doc);
        if (r < 0 && r != NormNoWorkingTime)
            return kCalcBadVacationStart;
    }

    // Share of the month worked and the days it counts.
    double share = 1;
    double countedDays = 0;
    if (alg == 1 && c.startYear >= 2008) {
        int excluded = indexed1.excludedDays;
        if (indexed1.excludedMinutes > 0 && normMinutes > 0)
            excluded += int(RoundWhole(double(calendarDays) * indexed1.excludedMinutes / normMinutes));
        countedDays = std::max(0, DaysEmployedInMonth(c.doc, counter) - excluded);
        share = countedDays / calendarDays;
    } else if (alg == 1) {
        countedDays = daysWorked;
        share = normDays > 0 ? double(daysWorked) / normDays : 0;
    } else if (alg == 2) {
        share = normMinutes > 0 ? double(minutesWorked) / normMinutes : 0;
    }

    const double fixedPart = plain2.sum + c.bonusPlain + plain1.sum;
    const double indexablePart = (indexed2.sum + c.bonusIndexed) * (share == 0 ? 1 : share) + indexed1.sum;
    c.units += MonthUnits(c, share, countedDays, calendarDays, daysWorked, minutesWorked);
    if (alg == 2)
        c.hoursMinutes += minutesWorked;

    const bool raised = counter < c.reportingMonth;
    const double coef = raised ? RiseCoefficient(c, counter) : 1;
    c.periodTotal += coef * indexablePart + fixedPart;
    if (c.detail) {
        auto& record = c.detail->months[std::size_t(i)];
        record.earnings = indexablePart + fixedPart;
        record.coefficient = raised ? coef * 100.0 : 100.0;
        record.month = month * 100.0 + year % 100;
    }
    return 0;
}

// The average of the period and the daily (weekly) pay it gives; the detail's
// totals.
void PeriodAverage(VacationCalc& c)
{
    const VacationNote& line = c.line;
    const int alg = line.alg;
    const double total = RoundWhole(c.periodTotal);
    c.divisor = c.units;
    if (alg == 1 && (line.dn != 0 || line.dnHundredths != 0))
        c.divisor = line.dn + line.dnHundredths / 100.0;
    c.average = c.divisor > 0 ? RoundWhole(total / c.divisor) : 0;
    c.length = line.dlin + line.dlinHundredths / 100.0;

    c.daily = c.average;
    double weekly = 0, weeks = 0;
    if (alg == 2) {
        const double hoursWeek = (line.dn != 0 || line.dnHundredths != 0) ? line.dn + line.dnHundredths / 100.0 : 40;
        weekly = RoundWhole(c.average * hoursWeek);
        weeks = RoundWhole(c.length * 100.0 / 7.0) / 100.0;
        c.vacationPay = RoundWhole(weeks * weekly);
    } else if (alg == 0) {
        const double divX100 = line.fond != 0 ? line.fond : (c.kalend == 2 ? 2525 : (c.early2006 ? 2960 : 2940));
        c.daily = RoundWhole(c.average * 100.0 / divX100);
    }
    if (c.detail) {
        auto& months = c.detail->months;
        months[0].total = alg == 2 ? weeks : c.divisor;
        months[1].total = alg == 0 ? c.daily : c.average;
        months[2].total = alg == 2 ? weekly : c.length * 40.0 / (c.kalend == 2 ? 5.0 : 7.0);
        months[3].total = alg == 0 ? c.units : 0;
        months[4].total = total;
        months[5].total = alg == 2 ? c.hoursMinutes / 60.0 : 0;
    }
}

// Pay for the days worked before a vacation of the next month, with its
// regional and northern supplements (a note computed with the month's
// inputs, when no other line of the month starts earlier).
void PayBeforeVacation(VacationCalc& c)
{
    const VacationNote& line = c.line;
    const auto& head = c.doc.infoBase.current.head;
    if (!(c.start == c.reportingMonth + 1 && c.caller.vacationNoteOnly && c.caller.vacationCalcKind && c.startDay > 1 &&
          line.mrp))
        return;
    for (const VacationNote& other : c.caller.vacationNotes)
        if (other.mBegin != 0 && &other != &line && MonthIndex(other.gBegin, other.mBegin) == c.start &&
            other.dBegin < c.startDay)
            return;
    int days = 0, minutes = 0, normDays = 0, normMinutes = 0;
    if (ScheduleNormDayByDay(WorkSchedule::ReportingMonth + 1, *c.schedule, 1, c.startDay - 1, days, minutes, c.doc) <
            0 ||
        days <= 0)
        return;
    double amount = 0;
    int code = 4;
    if (c.rateVariant < 2) {
        amount = head.tarifSdel.kopecks() * days * c.dayLength / 60.0;
        code = 1;
    } else if (c.rateVariant == 2) {
        amount = head.tarifVrem.kopecks() * days * c.dayLength / 60.0;
        code = 3;
    } else {
        CalcScheduleNorm(WorkSchedule::ReportingMonth + 1, *c.schedule, 1, 31, normDays, normMinutes, c.doc);
        amount = normDays > 0 ? (head.oklad + head.nadbav) / normDays * days : 0;
    }
    const int workMinutes = days * c.dayLength;
    const double pay = RoundByPayKind(RoundWhole(amount), code, c.doc);
    if (pay != 0)
        c.append(code, pay, c.start, days, workMinutes);
    const double regional =
        RoundByPayKind(RoundWhole(pay * c.doc.infoBase.firm.procRaj / 100.0), kCodeRegionalCoefficient, c.doc);
    if (regional != 0)
        c.append(kCodeRegionalCoefficient, regional, c.start, days, workMinutes);
    const double northern =
        RoundByPayKind(RoundWhole(pay * NorthernAllowancePercent(c.doc, c.start)), kCodeNorthernSupplement, c.doc);
    if (northern != 0)
        c.append(kCodeNorthernSupplement, northern, c.start, days, workMinutes);
}

} // namespace

int VacationCompensationCode(const VacationNote& line)
{
    const int code = line.vid == 1 ? kCodeKind1VacationCompensation : kCodeVacationCompensation;
    return line.budg != 0 ? code + 501 + line.budg : code;
}

// The code of the vacation pay of a month placed 0-3 months from the
// reporting month.
int VacationPayCode(const VacationNote& line, int place)
{
    switch (line.vid) {
    case 0: {
        static const int plain[4] = {85, 87, 97, 98};
        return line.budg != 0 ? 600 + place * 10 + line.budg : plain[place];
    }
    case 1: return place == 0 ? 86 : 88;
    case 2: return place == 0 ? 95 : 96;
    default: return place == 0 ? 90 : 91;
    }
}

namespace {

// The vacation pay of each month of the vacation.
void VacationPayByMonth(VacationCalc& c)
{
    const int wholeDays = c.line.dlin;
    for (std::size_t k = 0; k < c.split.counts.size() && k < 6; ++k) {
        const int days = c.split.counts[k];
        if (k > 0 && days < 1)
            break;
        const int counter = c.start + int(k);
        const int code = VacationPayCode(c.line, std::clamp(counter - c.reportingMonth, 0, 3));
        const double amount = c.line.alg == 2 ? (wholeDays > 0 ? days * c.vacationPay / wholeDays : 0) : days * c.daily;
        c.append(code, RoundByPayKind(RoundWhole(amount), code, c.doc), counter, days, 0);
    }
}

// The end marker of the split that the caller reports.
int EndMarker(const VacationCalc& c)
{
    const int lastMonth = c.start + int(c.split.counts.size()) - 1;
    const bool nalog = (c.doc.infoBase.firm.parWord & 8) != 0;
    const bool callerNote = c.caller.vacationCalcKind != 0;
    if ((nalog && (lastMonth > c.reportingMonth || callerNote)) ||
        (!nalog && lastMonth == c.reportingMonth && callerNote))
        return c.split.endMarker;
    return 0;
}

} // namespace

int CalcAverageEarnings(PayrollDoc& doc, const VacationNote& line, int scheduleNumber, int rateVariant,
                        AccrualRow* rows, int rowCount, CalcWorkBuffer* detail, int rowCapacity,
                        const CalcOptions& caller)
{
    if (detail)
        *detail = CalcWorkBuffer{};
    auto& base = doc.infoBase;
    VacationCalc c{doc, line, caller, rows, rowCount, rowCapacity, detail, rateVariant};
    c.slot = base.currentSlot;
    c.reportingMonth = ReportingMonthIndex(doc);
    c.schedule = &base.nearestSchedule(scheduleNumber);

    PlaceVacation(c);
    c.dayLength = WorkingDayLength(*c.schedule, doc);
    if (c.dayLength == 0)
        return kCalcNoDayLength;
    if (c.start - c.reportingMonth < -7 || c.start - c.reportingMonth > 3)
        return kCalcBadVacationStart;
    if (!c.compensation)
        if (const int r = SplitVacationDays(doc, line, scheduleNumber, c.start, c.split); r < 0)
            return r;
    PeriodLastMonth(c);
    if (const int r = PeriodInputs(c); r < 0)
        return r;
    for (int i = 0; i < 12; ++i)
        if (const int r = PeriodMonth(c, i); r < 0)
            return r;
    PeriodAverage(c);

    if (c.compensation) {
        const int code = VacationCompensationCode(line);
        const double amount = line.alg == 2 ? c.vacationPay : RoundWhole(c.daily * c.length);
        c.append(code, RoundByPayKind(RoundWhole(amount), code, doc), c.reportingMonth, 0, 0);
        return c.overflow ? kCalcTooManyRows : c.appended;
    }
    PayBeforeVacation(c);
    VacationPayByMonth(c);
    if (c.overflow)
        return kCalcTooManyRows;
    return c.appended | (EndMarker(c) << 8);
}

} // namespace kalvor
