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
    return doc.infoBase.firm.blnMaxOgrBegRab;
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

void YearScheduleNorm(const PayrollDoc& doc, int scheduleIndex, int firstMonth, int& outDays, int& outMinutes)
{
    outDays = outMinutes = 0;
    WorkSchedule schedule = doc.infoBase.schedules[std::size_t(std::clamp(scheduleIndex, 0, 19))];
    const int R = ReportingMonthIndex(doc);
    for (int k = 0; k < 12; ++k) {
        const int place = std::clamp(firstMonth + k - R, -15, 21);
        int d = 0, m = 0;
        CalcScheduleNorm(WorkSchedule::ReportingMonth + place, schedule, 1, 31, d, m, doc);
        outDays += d;
        outMinutes += m;
    }
}

int CalcSickLeaveBenefit(PayrollDoc& doc, SickLeaveSheet& line, SickLeaveTables& tables, const AccrualRow* rows,
                         int rowCount)
{
    const double firstIn = tables.firstOut, secondIn = tables.secondOut;
    tables = SickLeaveTables{};
    tables.firstOut = firstIn;
    tables.secondOut = secondIn;
    auto& base = doc.infoBase;
    const auto& firm = base.firm;
    const auto& head = base.current.head;
    const int slot = base.currentSlot - 1;
    const int R = ReportingMonthIndex(doc);

    // 1. Dates.
    const QDate startDate(line.gBegin, line.mBegin, line.dBegin);
    const QDate endDate(line.gEnd, line.mEnd, line.dEnd);
    if (line.dBegin == 0 || line.dEnd == 0 || !startDate.isValid() || !endDate.isValid() || endDate < startDate)
        return kCalcSickLeaveDates;
    const int sy = line.gBegin;
    const int startC = MonthIndex(line.gBegin, line.mBegin);
    const int endC = MonthIndex(line.gEnd, line.mEnd);
    const bool from2007 = sy >= 2007, from2010 = sy >= 2010;

    // 2. Variant and kind.
    int vid = line.vid;
    int variant = line.alg + 1;
    if (vid == 6)
        variant = 1;
    else if (from2007 && vid != 1)
        variant = variant < 3 ? 1 : 3;
    if (variant > 4)
        variant = 1;
    if (variant == 3 && vid == 8) {
        vid = 0;
        line.vid = 0;
    }
    const bool byHours = variant == 2 || variant == 4;
    const bool childCare = (vid == 5 || vid == 7) && from2007;
    const bool twoYear = sy >= 2011 && !(line.from12Months & 1);
    const int excludedDays = (!from2007 && variant == 2) ? line.dn : line.dn / 60;

    // 3-4. Maximum and minimum with the regional and northern raises.
    const double W = minimumWage(doc, sy, line.mBegin);
    double M = (variant >= 3) ? W : maximumFor(doc, vid, sy, line.mBegin);
    const auto* k83 = PayKindOf(doc, 83);
    const auto* k82 = PayKindOf(doc, 82);
    const bool raise83 = k83 && k83->enBlnFull;
    const bool raise82 = k82 && k82->enBlnFull;
    const double raise = 1 + (raise83 ? firm.procRaj / 100.0 : 0) +
                         (raise82 ? NorthernAllowancePercent(doc, startC) : 0);
    M *= raise;
    double m = minimumFor(doc, vid, sy) * raise;
    if (twoYear) {
        const double r = head.stavka > 0 ? head.stavka / 100.0 : 1.0; // no rate share entered: a full position
        m = firm.blnMaxOgrBegRab * 24 * r / 730 * raise;
    }

    // 5. Period checks.
    int F = startC;
    if (line.firstMes != 0 && line.firstMes != line.mBegin) {
        F = MonthIndex(sy, line.firstMes);
        if (F < startC)
            F += 12;
    }
    const int s = R - F, e = endC - startC;
    if (s < -1 || s > 6 || e > 7 || e - s > 8)
        return kCalcSickLeaveMonth;
    if (!from2007 && line.dn != 0 && endC != startC)
        return kCalcHireDateForRule;
    if (slot < 0 || slot >= int(base.attributes.size()) || base.attributes[std::size_t(slot)].sistOpl == 0)
        return kCalcNoPaymentSystem;
    const int system = base.attributes[std::size_t(slot)].sistOpl;
    const int scheduleIndex = EmployeeScheduleIndex(doc, slot);
    WorkSchedule& schedule = base.schedules[std::size_t(scheduleIndex)];
    const int dayLength = WorkingDayLength(schedule, doc);
    if (dayLength == 0)
        return kCalcNoDayLength;

    // 6. Monthly rates.
    double currentRate = 0, fullRate = 0;
    if (const int r = CalcMonthRate(currentRate, fullRate, doc, slot); r < 0)
        return r;
    double history[13];
    FilledRateHistory(doc, currentRate, history);

    // 7.1 Accounting period, the latest month last.
    Period period;
    if (twoYear) {
        period.months = 24;
        const int y1 = line.firstYear ? line.firstYear : sy - 2;
        const int y2 = line.secondYear ? line.secondYear : sy - 1;
        for (int i = 0; i < 12; ++i) {
            period.counters[i] = MonthIndex(y1, i + 1);
            period.counters[12 + i] = MonthIndex(y2, i + 1);
        }
    } else {
        int last = variant >= 3 ? F : F - 1;
        if (last > R)
            last -= 12;
        for (int i = 0; i < 12; ++i)
            period.counters[i] = last - 11 + i;
    }
    const int periodEnd = period.counters[period.months - 1];

    auto norm = [&](int counter, int first, int lastDay, int& d, int& mins) {
        return CalcScheduleNorm(WorkSchedule::ReportingMonth + (counter - R), schedule, first, lastDay, d, mins, doc);
    };

    // 7.2-7.6 One pass over the period for a budget (negative: all).
    auto runPass = [&](int budget) {
        PassResult out;
        auto& yr = out.rows;
        int monthsWithDays = 0;
        long workedMinutes = 0;
        int workedDays = 0;
        for (int i = period.months - 1; i >= 0; --i) {
            const int c = period.counters[i];
            BenefitYearRow& row = yr[std::size_t(i)];
            row.month = MonthOfMonthIndex(c);
            row.year = YearOfMonthIndex(c);
            int nd = 0, nm = 0;
            const int nr = norm(c, 1, 31, nd, nm);
            if (nr < 0 && nr != NormNoWorkingTime) {
                out.error = nr - 10;
                return out;
            }
            MonthEarnings me;
            if (const int r = MonthEarningsForAverage(doc, c, MonthEarningsQuery{3, 0, 0, budget}, rows, rowCount, me);
                r < 0) {
                out.error = r;
                return out;
            }
            row.earnings = me.sum;
            if (!from2007 || variant == 2) {
                row.days = byHours ? std::max(0, me.minutes) / 60 : std::max(0, me.days - me.excludedDays);
                workedDays += std::max(0, me.days - me.excludedDays);
                workedMinutes += std::max(0, me.minutes);
            } else {
                row.days = DaysEmployedInMonth(doc, c);
            }
            if (variant >= 3)
                row.earnings = W * (raise83 ? 1 + firm.procRaj / 100.0 : 1.0);
            if (twoYear)
                row.days = DaysInMonth(row.year, row.month);
            if (row.days > 0)
                ++monthsWithDays;
        }

        // Bonuses.
        if (variant <= 2) {
            int err = 0;
            double bonus = SumBonusesForSickLeave(doc, rows, rowCount, periodEnd, firm.blnSrPremMes & 15, budget, err);
            if (err < 0) {
                out.error = err;
                return out;
            }
            if (!from2007 || variant == 2) {
                int yd = 0, ym = 0;
                YearScheduleNorm(doc, scheduleIndex, period.counters[period.months - 12], yd, ym);
                const double worked = variant == 2 ? double(workedMinutes) : double(workedDays);
                const double planned = variant == 2 ? double(ym) : double(yd);
                bonus = planned > 0 ? bonus * std::min(1.0, worked / planned) : 0;
            }
            bonus = RoundWhole(bonus);
            if (bonus != 0) {
                if (twoYear) {
                    yr[std::size_t(period.months - 1)].earnings += bonus;
                } else if (monthsWithDays > 0) {
                    const double share = RoundWhole(bonus / monthsWithDays);
                    for (int i = 0; i < period.months; ++i)
                        if (yr[std::size_t(i)].days > 0)
                            yr[std::size_t(i)].earnings += share;
                }
            }
        }

        // Total row.
        BenefitYearRow& total = yr[std::size_t(period.months)];
        double y1 = 0, y2 = 0;
        for (int i = 0; i < period.months; ++i) {
            total.days += yr[std::size_t(i)].days;
            total.earnings += yr[std::size_t(i)].earnings;
            (i < 12 ? y1 : y2) += yr[std::size_t(i)].earnings;
        }
        if (from2007)
            total.days -= excludedDays;
        if (twoYear) {
            yr[11].yearTotal = y1;
            total.yearTotal = y2;
        } else if (total.earnings == 0) {
            int nd = 0, nm = 0;
            norm(startC, 1, 31, nd, nm);
            MonthEarnings me;
            MonthEarningsForAverage(doc, startC, MonthEarningsQuery{3, 0, 0, budget}, rows, rowCount, me);
            double earnings = me.sum;
            int days = from2007 ? DaysEmployedInMonth(doc, startC) : nd;
            if (earnings == 0) {
                earnings = head.oklad != 0 ? head.oklad : head.tarifVrem.kopecks() * nm / 60.0;
                days = nd;
            }
            for (int i = 0; i < period.months; ++i)
                yr[std::size_t(i)] = BenefitYearRow{};
            total.days = byHours ? nm / 60 : days;
            total.earnings = earnings;
        }
        out.earnings = total.earnings;

        // Average daily (hourly) earnings; a divisor that is not positive gives 0.
        if (twoYear)
            out.average = total.days > 0 ? RoundWhole((std::min(y1, kTwoYearEarningsCap) +
                                                        std::min(y2, kTwoYearEarningsCap)) / total.days)
                                         : 0;
        else
            out.average = total.days > 0 ? RoundWhole(total.earnings / total.days) : 0;
        total.average = out.average;
        return out;
    };

    PassResult result = runPass(-1);
    if (result.error < 0)
        return result.error;
    const bool budgetPass = line.budg != 0 && (vid == 0 || vid == 2 || vid == 4);
    if (budgetPass) {
        const double all = result.earnings;
        PassResult own = runPass(line.budg);
        if (own.error < 0)
            return own.error;
        if (own.earnings != all && all != 0) {
            M = RoundWhole(M * own.earnings / all);
            m = RoundWhole(m * own.earnings / all);
        }
        result = own;
    }
    tables.years = result.rows;
    tables.periodMonths = period.months;
    tables.maximum = M;
    tables.minimum = m;
    const double average = result.average;

    // 7.5 Tariff daily pay.
    {
        const bool near = startC == R || startC == R + 1;
        const double rate = near ? currentRate : history[std::clamp(R - startC, 0, 12)];
        double pay = 0;
        if (system == 4) {
            int nd = 0, nm = 0;
            norm(startC, 1, 31, nd, nm);
            pay = variant == 2 ? (nm > 0 ? rate / nm * 60 : 0) : (nd > 0 ? rate / nd : 0);
        } else {
            pay = variant == 2 ? rate : rate * dayLength / 60.0;
        }
        tables.tariffDaily = -pay;
    }
    if (twoYear && tables.firstOut == 0 && tables.secondOut == 0) {
        tables.firstOut = average;
        tables.secondOut = RoundWhole(m);
    }

    // 8. Split by calendar month.
    if (startC < R - 7 || startC > R + 6)
        return kCalcNoPreviousSchedule;
    const double yearDays = DaysInMonthOrYear(doc, 0);
    tables.years[std::size_t(period.months)].dailyMax = from2010 ? RoundWhole(M / yearDays) : 0;
    int percent = line.procent == 0 ? 100 : line.procent;
    if (vid == 2 && from2010)
        percent = 100;
    if (childCare)
        percent = 40;
    const int reducedPercent = std::min(percent, firm.blnMinProc == 0 ? 50 : int(firm.blnMinProc));
    const QDate eleventh = startDate.addDays(10);
    const bool countApart = vid == 4 || vid == 9;

    double benefit = 0;
    auto dailyBenefit = [&](int p, int length, double dailyMax, double dailyMin) {
        double d = variant == 3 ? M / length : average;
        if (childCare) {
            d *= 30.4;
            if (from2010 && firm.blnMaxOgr != 0)
                d = std::min(d, M / 12);
        }
        if (!from2010)
            d = d * p / 100.0;
        if (childCare)
            d /= length;
        if (firm.blnMaxOgr != 0)
            d = std::min(d, dailyMax);
        if (twoYear) {
            if (line.fromMinimumMonthlyEarnings & 1)
                d = RoundWhole(std::max(d, dailyMin));
        } else {
            d = std::max(d, dailyMin);
        }
        if (from2010)
            d = d * p / 100.0;
        if (childCare)
            return d;
        if (variant == 3 || twoYear)
            return RoundWhole(d);
        return wholeKopecks(d);
    };
    auto addRow = [&](int y, int mo, int from, int to, int days, int p, double daily) {
        if (tables.monthRows >= SickLeaveTables::MonthRows)
            return;
        BenefitMonthRow& row = tables.months[std::size_t(tables.monthRows++)];
        row.from = BenefitDateKey(y, mo, from);
        row.to = BenefitDateKey(y, mo, to);
        row.days = days;
        row.percent = p;
        row.daily = daily;
        row.amount = RoundWhole(daily * days);
        if (M > 0)
            row.amount = std::min(row.amount, M);
        row.contin = line.contin;
        benefit += row.amount;
    };
    // One part of a month at a percentage, split at the simplified ceiling
    // for the kinds 8 and 9.
    auto addPart = [&](int y, int mo, int from, int to, int days, int p, double daily, int length) {
        if (days <= 0)
            return;
        const double ceiling = firm.blnUprosh / length;
        if ((vid == 8 || vid == 9) && firm.blnUprosh != 0 && daily > ceiling) {
            addRow(y, mo, from, to, days, p, RoundWhole(ceiling));
            addRow(y, mo, from, to, days, p, daily - RoundWhole(ceiling));
        } else {
            addRow(y, mo, from, to, days, p, daily);
        }
    };

    for (int c = startC; c <= endC; ++c) {
        const int y = YearOfMonthIndex(c), mo = MonthOfMonthIndex(c);
        const int length = DaysInMonth(y, mo);
        const int from = c == startC ? line.dBegin : 1;
        const int to = c == endC ? std::min<int>(line.dEnd, length) : length;

        // Days paid in [a, b].
        auto paid = [&](int a, int b) {
            if (a > b)
                return 0;
            if (!from2007 || variant == 2) {
                int d = 0, mins = 0;
                norm(c, a, b + kNormDayByDay, d, mins);
                return byHours ? mins / 60 : d;
            }
            return employedDays(doc, c, a, b);
        };

        double dailyMax = M / length;
        if (from2010 && vid != 1 && variant != 3)
            dailyMax = M / yearDays;
        if (childCare && from2010)
            dailyMax = M / 12;
        if (!(childCare && variant == 1))
            dailyMax = RoundWhole(dailyMax);
        const double dailyMin = twoYear ? RoundWhole(m) : m / length;

        if (!from2007 && line.dn != 0) {
            addPart(y, mo, from, to, excludedDays, percent, dailyBenefit(percent, length, dailyMax, dailyMin), length);
            continue;
        }
        int splitDay = to + 1; // first day counted apart
        if (countApart && eleventh.isValid()) {
            const int ek = MonthIndex(eleventh.year(), eleventh.month());
            if (ek < c)
                splitDay = from;
            else if (ek == c)
                splitDay = std::max(from, eleventh.day());
        }
        const int fullDays = paid(from, std::min(to, splitDay - 1));
        const int apartDays = paid(std::max(from, splitDay), to);
        if (fullDays > 0)
            addPart(y, mo, from, std::min(to, splitDay - 1), fullDays, percent,
                    dailyBenefit(percent, length, dailyMax, dailyMin), length);
        if (apartDays > 0)
            addPart(y, mo, std::max(from, splitDay), to, apartDays, reducedPercent,
                    dailyBenefit(reducedPercent, length, dailyMax, dailyMin), length);
    }

    line.sum = benefit;
    line.oklad = tables.tariffDaily;
    return variant;
}

} // namespace kalvor
