#include "payroll/AverageEarnings.h"
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

bool inList(int code, std::initializer_list<std::pair<int, int>> ranges)
{
    for (auto [lo, hi] : ranges)
        if (code >= lo && code <= hi)
            return true;
    return false;
}

// Payments of later months made in the reporting month (vacation pay of the
// next months and the like).
bool paymentAhead(int code)
{
    return inList(code, {{87, 88}, {91, 91}, {96, 98}, {112, 112}, {114, 114}, {117, 117}, {157, 157}, {159, 159}});
}

bool timeNotCounted(int code)
{
    return code == 17 || code == 19 || code == 21 || code == 22 || code == 41 || code == 45;
}

bool neverTimeOff(int code)
{
    return inList(code, {{561, 590}, {601, 644}, {651, 656}, {661, 690}});
}

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
        if (outError != 0 || e.code >= 700)
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
        const bool yearlyCode = e.code == 171 || e.code == 172 || e.code == 163;
        if (yearlyCode) {
            const bool enters = sickLeave ? (k->enSrPremBln || k->enBln() != 0) : k->enOtp != 0;
            if (!enters || e.month > periodEnd || e.month < periodEnd - 11)
                return;
            if ((e.code == 171 && m < 7) || (e.code == 172 && m > 6) ||
                (e.code == 163 && y != periodYear && y != periodYear - 1))
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
            quarterly = (k->enSrPremBln && e.code == 7) || k->enBlnProp;
            inFull = !quarterly && k->enSrPremBln && e.code != 7 && k->enBln() == 0;
        } else {
            quarterly = e.code == 7 && k->enOtp != 0;
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
        return paymentAhead(row.kod) || inList(row.kod, {{561, 590}, {601, 640}, {661, 690}}) ? MonthIndex(ry, m)
                                                                                              : MonthIndex(ry - 1, m);
    return paymentAhead(row.kod) ? MonthIndex(ry + 1, m) : MonthIndex(ry, m);
}

int MonthEarningsForAverage(const PayrollDoc& doc, int month, const MonthEarningsQuery& q, const AccrualRow* rows,
                            int rowCount, MonthEarnings& out)
{
    out = MonthEarnings{};
    int error = 0;
    const bool sick = q.purpose == 3;
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
                                   : (k->enOtp == q.kindClass && e.code != 7 && k->koefOtp == q.indexed &&
                                      k->budgOtp == q.budget);
        if (e.code >= 700) {
            // Deductions of a selected kind reduce the month (holds and reversals).
            if (selected && e.code <= 939 && !(e.code >= 865 && e.code <= 890))
                out.sum -= e.sum;
            return;
        }
        if (selected) {
            if (e.code != 600)
                out.sum += e.sum;
            if (!timeNotCounted(e.code)) {
                const int sign = e.sum < 0 ? -1 : 1;
                out.days += sign * e.days;
                out.minutes += sign * e.minutes;
            }
            return;
        }
        if (!enters && !neverTimeOff(e.code) && (e.days != 0 || e.minutes != 0) && e.sum >= 0) {
            if (e.code == 62)
                out.excludedMinutes += e.minutes;
            else
                out.excludedDays += e.days;
        }
    });
    return error;
}

double SumBonusesForAverage(const PayrollDoc& doc, const AccrualRow* rows, int rowCount, int periodEnd,
                            int bonusMonths, int indexed, int& outError)
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
    const long ka = (long(a.gBegin) * 16 + a.mBegin) * 32 + a.dBegin;
    const long kb = (long(b.gBegin) * 16 + b.mBegin) * 32 + b.dBegin;
    if (ka != kb)
        return ka < kb ? -1 : 1;
    if (a.budg != b.budg)
        return a.budg < b.budg ? -1 : 1;
    return 0;
}

int SplitVacationDays(const PayrollDoc& doc, const VacationNote& line, int scheduleIndex, int firstMonth,
                      VacationSplit& out)
{
    out = VacationSplit{};
    WorkSchedule calendar = doc.infoBase.schedules[std::size_t(std::clamp(scheduleIndex, 0, 19))];
    const int rc = ReportingMonthIndex(doc);
    const int firstRow = WorkSchedule::ReportingMonth + (firstMonth - rc);
    const int kalend = line.kalend == 0 ? 1 : line.kalend;
    if (kalend != 4) {
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
        const int r = CalcScheduleNorm(row, calendar, 1, 31 + kNormDayByDay, days, minutes, doc);
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

int CalcAverageEarnings(PayrollDoc& doc, const VacationNote& line, int scheduleIndex, int rateVariant,
                        AccrualRow* rows, int rowCount, CalcWorkBuffer* detail, int rowCapacity,
                        const CalcOptions& caller)
{
    if (detail)
        *detail = CalcWorkBuffer{};
    const std::uint8_t callerKind = caller.vacationCalcKind;
    auto& base = doc.infoBase;
    const auto& head = base.current.head;
    const int slot = base.currentSlot - 1;
    const int R = ReportingMonthIndex(doc);
    scheduleIndex = std::clamp(scheduleIndex, 0, int(base.schedules.size()) - 1);
    WorkSchedule& schedule = base.schedules[std::size_t(scheduleIndex)];

    // The line.
    const bool compensation = line.mBegin == 0;
    const int alg = line.alg;
    const int kalend = line.kalend == 0 ? 1 : line.kalend;
    int startYear = line.gBegin, startMonth = line.mBegin, startDay = line.dBegin;
    int start = 0; // the month that places the period
    if (compensation) {
        startYear = base.config.reportingYear();
        startMonth = base.config.reportingMonth();
        startDay = 1;
        const std::uint16_t dismissal = head.datUv2 ? head.datUv2 : head.datUv1;
        start = dismissal ? MonthIndex(EmployeeDateYear(dismissal), PackedDate(dismissal).month()) : R;
    } else {
        start = MonthIndex(startYear, startMonth);
    }

    // Working-day length.
    const int dayLength = WorkingDayLength(schedule, doc);
    if (dayLength == 0)
        return kCalcNoDayLength;

    if (start - R < -7 || start - R > 3)
        return kCalcBadVacationStart;

    VacationSplit split;
    if (!compensation) {
        const int r = SplitVacationDays(doc, line, scheduleIndex, start, split);
        if (r < 0)
            return r;
    }

    // The period's last month.
    int last = start - 1;
    if (line.mes != 0) {
        const int sy = YearOfMonthIndex(start);
        last = MonthIndex(sy, line.mes);
        if (line.mes >= MonthOfMonthIndex(start))
            last -= 12;
    }

    // Bonus shares.
    const int bonusMonths = base.firm.blnSrPremMes & 15;
    int err1 = 0, err2 = 0;
    const double bonusPlain = SumBonusesForAverage(doc, rows, rowCount, last, bonusMonths, 0, err1) / 12.0;
    const double bonusIndexed = SumBonusesForAverage(doc, rows, rowCount, last, bonusMonths, 1, err2) / 12.0;
    if (err1 < 0)
        return err1;
    if (err2 < 0)
        return err2;

    // Monthly rates of the period.
    double currentRate = 0, fullRate = 0;
    const int rateResult = CalcMonthRate(currentRate, fullRate, doc, slot);
    if (rateResult < 0)
        return rateResult;
    double history[13];
    FilledRateHistory(doc, currentRate, history);
    auto rateOf = [&](int counter) {
        const int back = R - counter;
        return back <= 0 ? history[0] : history[std::min(back, 12)];
    };

    const bool early2006 = MonthIndex(startYear, startMonth) < MonthIndex(2006, 10) ||
                           (!compensation && startYear == 2006 && startMonth == 10 && startDay <= 5);
    const double defaultMonthDays = kalend == 2 ? 25.25 : (early2006 ? 29.6 : 29.4);
    const int fixedRise = (rateVariant == 1 && slot >= 0 && std::size_t(slot) < base.tabel.size())
                              ? base.tabel[std::size_t(slot)].koeffHundredths()
                              : 0;

    double periodTotal = 0, units = 0;
    int hoursMinutes = 0;
    for (int i = 0; i < 12; ++i) {
        const int mc = last - i;
        const int y = YearOfMonthIndex(mc), m = MonthOfMonthIndex(mc);
        const int calendarDays = DaysInMonth(y, m);

        MonthEarnings c2i, c2n, c1n, c1i;
        auto query = [&](int cls, int indexed, int budget, MonthEarnings& out) {
            return MonthEarningsForAverage(doc, mc, MonthEarningsQuery{4, cls, indexed, budget}, rows, rowCount, out);
        };
        if (query(2, 1, line.budg, c2i) < 0 || query(2, 0, line.budg, c2n) < 0 || query(1, 0, line.budg, c1n) < 0 ||
            query(1, 1, line.budg, c1i) < 0)
            return kCalcBadVacationStart;
        int daysWorked = c1n.days + c1i.days;
        int minutesWorked = c1n.minutes + c1i.minutes;
        int excludedDays = c1i.excludedDays, excludedMinutes = c1i.excludedMinutes;
        if (line.budg != 0 && (daysWorked == 0 || minutesWorked == 0)) {
            MonthEarnings a, b;
            query(1, 0, 0, a);
            query(1, 1, 0, b);
            if (daysWorked == 0)
                daysWorked = a.days + b.days;
            if (minutesWorked == 0)
                minutesWorked = a.minutes + b.minutes;
        }
        daysWorked = std::max(0, daysWorked);
        minutesWorked = std::max(0, minutesWorked);

        // The month's norm (for the shares that need it).
        int normDays = 0, normMinutes = 0;
        if (alg == 2 || (alg == 1 && startYear < 2008) || excludedMinutes > 0) {
            const int r = CalcScheduleNorm(WorkSchedule::ReportingMonth + (mc - R), schedule, 1, 31, normDays,
                                           normMinutes, doc);
            if (r < 0 && r != NormNoWorkingTime)
                return kCalcBadVacationStart;
        }

        // Share of the month worked and the days it counts.
        double share = 1;
        double countedDays = 0;
        if (alg == 1 && startYear >= 2008) {
            int excluded = excludedDays;
            if (excludedMinutes > 0 && normMinutes > 0)
                excluded += int(RoundWhole(double(calendarDays) * excludedMinutes / normMinutes));
            countedDays = std::max(0, DaysEmployedInMonth(doc, mc) - excluded);
            share = countedDays / calendarDays;
        } else if (alg == 1) {
            countedDays = daysWorked;
            share = normDays > 0 ? double(daysWorked) / normDays : 0;
        } else if (alg == 2) {
            share = normMinutes > 0 ? double(minutesWorked) / normMinutes : 0;
        }

        const double fixedPart = c2n.sum + bonusPlain + c1n.sum;
        const double indexablePart = (c2i.sum + bonusIndexed) * (share == 0 ? 1 : share) + c1i.sum;

        // Units.
        if (alg == 0) {
            if (daysWorked != 0 || minutesWorked != 0)
                units += 1;
        } else if (alg == 2) {
            units += minutesWorked / 60.0;
            hoursMinutes += minutesWorked;
        } else if (share >= 1) {
            units += line.fond != 0 ? line.fond / 100.0 : defaultMonthDays;
        } else if (kalend == 1 && startYear < 2008) {
            units += countedDays * 1.4;
        } else if (kalend == 1) {
            units += round2(countedDays * 29.4 / calendarDays);
        } else {
            units += countedDays * 1.2;
        }

        // Rise coefficient.
        double coef = 1;
        bool computed = false;
        if (mc < R) {
            computed = true;
            for (int j = mc + 1; j <= start; ++j) {
                if (!base.config.korr(MonthOfMonthIndex(j)))
                    continue;
                const double later = rateOf(j), earlier = rateOf(j - 1);
                if (later == 0 || earlier == 0)
                    continue;
                const double ratio = later / earlier;
                if (ratio >= 0.01 && ratio <= 10 && ratio != 1)
                    coef *= ratio;
            }
            coef = round2(coef);
            if (fixedRise != 0)
                coef = fixedRise / 100.0;
        }
        periodTotal += coef * indexablePart + fixedPart;
        if (detail) {
            auto& rec = detail->months[std::size_t(i)];
            rec.earnings = indexablePart + fixedPart;
            rec.coefficient = computed ? coef * 100.0 : 100.0;
            rec.month = m * 100.0 + y % 100;
        }
    }

    const double total = RoundWhole(periodTotal);
    double divisor = units;
    if (alg == 1 && (line.dn != 0 || line.dnHundredths != 0))
        divisor = line.dn + line.dnHundredths / 100.0;
    const double average = divisor > 0 ? RoundWhole(total / divisor) : 0;
    const double dlin = line.dlin + line.dlinHundredths / 100.0;

    double daily = average, vacationPay = 0, weekly = 0, weeks = 0;
    if (alg == 2) {
        const double hoursWeek = (line.dn != 0 || line.dnHundredths != 0) ? line.dn + line.dnHundredths / 100.0 : 40;
        weekly = RoundWhole(average * hoursWeek);
        weeks = RoundWhole(dlin * 100.0 / 7.0) / 100.0;
        vacationPay = RoundWhole(weeks * weekly);
    } else if (alg == 0) {
        const double divX100 = line.fond != 0 ? line.fond : (kalend == 2 ? 2525 : (early2006 ? 2960 : 2940));
        daily = RoundWhole(average * 100.0 / divX100);
    }
    if (detail) {
        detail->months[0].total = alg == 2 ? weeks : divisor;
        detail->months[1].total = alg == 0 ? daily : average;
        detail->months[2].total = alg == 2 ? weekly : dlin * 40.0 / (kalend == 2 ? 5.0 : 7.0);
        detail->months[3].total = alg == 0 ? units : 0;
        detail->months[4].total = total;
        detail->months[5].total = alg == 2 ? hoursMinutes / 60.0 : 0;
    }

    int appended = 0;
    bool overflow = false;
    auto append = [&](int code, double amount, int counter, int days, int minutes) {
        // A computed row whose amount rounds to 0 is not kept.
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
    };

    if (compensation) {
        int code = line.vid == 1 ? 689 : 89;
        if (line.budg != 0)
            code += 501 + line.budg;
        const double amount = alg == 2 ? vacationPay : RoundWhole(daily * dlin);
        append(code, RoundByPayKind(RoundWhole(amount), code, doc), R, 0, 0);
        return overflow ? kCalcTooManyRows : appended;
    }

    // Pay for the days worked before a vacation of the next month.
    if (start == R + 1 && caller.vacationNoteOnly && callerKind && startDay > 1 && line.mrp) {
        bool earlierLine = false;
        for (const VacationNote& other : caller.vacationNotes)
            if (other.mBegin != 0 && &other != &line && MonthIndex(other.gBegin, other.mBegin) == start &&
                other.dBegin < startDay)
                earlierLine = true;
        int days = 0, minutes = 0, normDays = 0, normMinutes = 0;
        if (!earlierLine &&
            CalcScheduleNorm(WorkSchedule::ReportingMonth + 1, schedule, 1, startDay - 1 + kNormDayByDay, days,
                             minutes, doc) >= 0 &&
            days > 0) {
            double amount = 0;
            int code = 4;
            if (rateVariant < 2) {
                amount = head.tarifSdel.kopecks() * days * dayLength / 60.0;
                code = 1;
            } else if (rateVariant == 2) {
                amount = head.tarifVrem.kopecks() * days * dayLength / 60.0;
                code = 3;
            } else {
                CalcScheduleNorm(WorkSchedule::ReportingMonth + 1, schedule, 1, 31, normDays, normMinutes, doc);
                amount = normDays > 0 ? (head.oklad + head.nadbav) / normDays * days : 0;
            }
            const double pay = RoundByPayKind(RoundWhole(amount), code, doc);
            if (pay != 0)
                append(code, pay, start, days, days * dayLength);
            const double regional = RoundByPayKind(RoundWhole(pay * base.firm.procRaj / 100.0), 83, doc);
            if (regional != 0)
                append(83, regional, start, days, days * dayLength);
            const double northern = RoundByPayKind(RoundWhole(pay * NorthernAllowancePercent(doc, start)), 82, doc);
            if (northern != 0)
                append(82, northern, start, days, days * dayLength);
        }
    }

    // Vacation pay by month.
    const int wholeDays = line.dlin;
    for (std::size_t k = 0; k < split.counts.size() && k < 6; ++k) {
        const int days = split.counts[k];
        if (k > 0 && days < 1)
            break;
        const int counter = start + int(k);
        const int place = std::clamp(counter - R, 0, 3);
        int code = 0;
        switch (line.vid) {
        case 0: {
            static const int plain[4] = {85, 87, 97, 98};
            code = line.budg != 0 ? 600 + place * 10 + line.budg : plain[place];
            break;
        }
        case 1: code = place == 0 ? 86 : 88; break;
        case 2: code = place == 0 ? 95 : 96; break;
        default: code = place == 0 ? 90 : 91; break;
        }
        const double amount = alg == 2 ? (wholeDays > 0 ? days * vacationPay / wholeDays : 0) : days * daily;
        const double pay = RoundByPayKind(RoundWhole(amount), code, doc);
        append(code, pay, counter, days, 0);
    }

    if (overflow)
        return kCalcTooManyRows;
    const int lastMonth = start + int(split.counts.size()) - 1;
    const bool nalog = (base.firm.parWord & 8) != 0;
    int marker = 0;
    if ((nalog && (lastMonth > R || callerKind != 0)) || (!nalog && lastMonth == R && callerKind != 0))
        marker = split.endMarker;
    return appended | (marker << 8);
}

} // namespace kalvor
