#include "payroll/MonthInputRows.h"

#include "payroll/Bases.h"
#include "payroll/CalendarMath.h"
#include "payroll/Criteria.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthRate.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <algorithm>
#include <vector>
#include <cmath>

namespace kalvor {

using namespace infobase;

namespace {

// Month numbers of the pass placed around the reporting month: -6 .. +5.
int MonthOffset(const CalcPass& p, int m)
{
    int d = m - p.month;
    if (d >= 6)
        d -= 12;
    else if (d < -6)
        d += 12;
    return d;
}

// Planned days and minutes of days first..last of month m (0 = the reporting
// month) by the given schedule; returns CalcScheduleNorm's result.
int PlannedOf(CalcPass& p, int scheduleIndex, int m, int first, int last, int& days, int& minutes)
{
    const int row = WorkSchedule::ReportingMonth + (m == 0 ? 0 : MonthOffset(p, m));
    WorkSchedule& s = p.base().schedules[std::size_t(std::clamp(scheduleIndex, 0, CInfoBase::ScheduleCount - 1))];
    const bool whole = first <= 1 && last >= (m == 0 ? p.days() : p.monthLengths[std::size_t(m)]);
    return CalcScheduleNorm(row, s, first, whole ? 31 : last + kNormDayByDay, days, minutes, p.doc);
}

double Rate1(const CalcPass& p) { return p.rec().head.tarifSdel.kopecks(); }
double Rate2(const CalcPass& p) { return p.rec().head.tarifVrem.kopecks(); }

// The salary, replaced for payment systems 3-7 by the position's salary when
// the positions book gives one.
double Salary(const CalcPass& p)
{
    double oklad = p.rec().head.oklad;
    if (p.paymentSystem >= 3) {
        const auto& ref = p.doc.refFiles;
        for (int i = 0; i < ref.postCount && i < int(ref.post.size()); ++i) {
            const PositionRecord& pos = ref.post[std::size_t(i)];
            if (pos.code != 0 && pos.code == p.rec().head.dolgKod && pos.salary != 0 && pos.salary != oklad) {
                oklad = pos.salary;
                break;
            }
        }
    }
    return oklad;
}

// Minutes that the salary of systems 3-7 is divided by: the schedule's hours
// norm (tenths of an hour) when it has one, else the planned minutes.
double SalaryDivisor(const CalcPass& p)
{
    const WorkSchedule& s = p.base().schedules[std::size_t(p.schedule)];
    return s.mesFond != 0 ? s.mesFond * 6.0 : double(p.plannedMinutes);
}

int Check(int r) { return r < 0 ? r : 0; }

} // namespace

// ----------------------------------------------------------------------------- salary and time sheet

int SalaryAndTimeSheetRows(CalcPass& p)
{
    const TabelRecord& t = p.tabel();
    const auto& head = p.rec().head;
    const int sys = p.paymentSystem;
    const int dl = p.dayLength;
    const double oklad = Salary(p);
    const double full = oklad + head.nadbav;
    const double rate1 = Rate1(p), rate2 = Rate2(p);
    const double prop = t.rabHr != 0 ? double(t.rabHr) / p.plannedMinutes : double(t.rabDn) / p.plannedDays;
    const int m = p.month;
    int r = 0;

    // 25: profession allowance from the ranks book (27-byte entries with a rate).
    if (head.profNadb && head.profKod) {
        const auto& ref = p.doc.refFiles;
        for (int i = 0; i < ref.titleCount && i < int(ref.title.size()); ++i)
            if (ref.title[std::size_t(i)].code == head.profKod) {
                if ((r = Check(AppendRow(p, 25, ref.title[std::size_t(i)].salary * prop, m))) < 0)
                    return r;
                break;
            }
    }
    if (sys == 2 && t.rabHr != 0)
        if ((r = Check(AppendRow(p, 3, rate2 * t.rabHr / 60.0, m, t.rabDn, t.rabHr))) < 0)
            return r;
    if (sys >= 3 && t.rabDn != 0 && oklad != 0)
        if ((r = Check(AppendRow(p, 4, oklad * prop, m, t.rabDn, t.rabHr))) < 0)
            return r;

    // 22 night, 21 evening hours.
    auto surcharge = [&](int code, int minutes, int recordPercent, int firmPercent) {
        if (minutes == 0)
            return 0;
        const double pct = recordPercent != 0 ? recordPercent : firmPercent;
        double amount;
        if (sys == 1)
            amount = minutes / 60.0 * rate1 * pct / 100.0;
        else if (sys == 2 || (sys == 3 && rate2 != 0))
            amount = minutes / 60.0 * rate2 * pct / 100.0;
        else
            amount = oklad / SalaryDivisor(p) * minutes * pct / 100.0;
        return Check(AppendRow(p, code, amount, m, 0, minutes));
    };
    if ((r = surcharge(22, t.nHr, head.procNoch, p.base().firm.procNgt)) < 0)
        return r;
    if ((r = surcharge(21, t.vHr, head.procVech, p.base().firm.procEvn)) < 0)
        return r;

    // 16, 17: work on holidays.
    const int holMin = t.prHr != 0 ? t.prHr : t.prDn * dl;
    const int planMin = t.prPlanHr != 0 ? t.prPlanHr : t.prPlanDn * dl;
    const bool holByDays = t.prHr == 0 && t.prPlanHr == 0;
    auto holidayAmount = [&](int minutes, int days) {
        if (sys == 2)
            return rate2 * minutes / 60.0;
        if (sys >= 3)
            return holByDays ? full / p.plannedDays * days : full / p.plannedMinutes * minutes;
        return 0.0;
    };
    if (sys >= 2 && holMin - planMin != 0)
        if ((r = Check(AppendRow(p, 16, holidayAmount(holMin - planMin, t.prDn - t.prPlanDn), m,
                                 std::max(0, t.prDn - t.prPlanDn), holMin - planMin))) < 0)
            return r;
    if (sys >= 2 && holMin != 0)
        if ((r = Check(AppendRow(p, 17, holidayAmount(holMin, t.prDn), m))) < 0)
            return r;

    // 18, 19: weekend work, two rows of the same amount.
    if (sys >= 2 && (t.vyhDn != 0 || t.vyhHr != 0) && dl > 0) {
        const int wMin = t.vyhHr != 0 ? t.vyhHr : t.vyhDn * dl;
        const int wDays = t.vyhDn != 0 ? t.vyhDn : (t.vyhHr + dl - 1) / dl;
        double amount;
        if (sys == 2)
            amount = rate2 * wMin / 60.0;
        else
            amount = t.vyhHr == 0 ? full / p.plannedDays * wDays : full / p.plannedMinutes * wMin;
        if ((r = Check(AppendRow(p, 18, amount, m, wDays, wMin))) < 0)
            return r;
        if ((r = Check(AppendRow(p, 19, amount, m))) < 0)
            return r;
    }

    // 61: study leave hours.
    if (t.uchHr != 0) {
        const double amount = sys <= 2 ? t.uchHr / 60.0 * rate2 : full / p.plannedMinutes * t.uchHr;
        if ((r = Check(AppendRow(p, 61, amount, m, 0, t.uchHr))) < 0)
            return r;
    }

    // 40, 41: overtime.
    const WorkSchedule& sched = p.base().schedules[std::size_t(p.schedule)];
    const double hourly = sys <= 2 ? rate2
                                   : (sched.mesFond != 0 ? oklad / (sched.mesFond / 10.0)
                                                         : oklad / (p.plannedMinutes / 60.0));
    if (sys >= 2 && t.sverhHr != 0)
        if ((r = Check(AppendRow(p, 40, hourly * t.sverhHr / 60.0, m, 0, t.sverhHr))) < 0)
            return r;
    if (t.sverhHr != 0 || t.sverhDvaHr != 0) {
        const double amount = (int(t.sverhHr) - int(t.sverhDvaHr)) / 60.0 * hourly * 0.5 + t.sverhDvaHr / 60.0 * hourly;
        if ((r = Check(AppendRow(p, 41, amount, m))) < 0)
            return r;
    }

    // 64: study days at half the daily earnings, never below the minimum wage.
    if (t.uchDn != 0) {
        double daily;
        if (sys <= 2) {
            int cnt = 0;
            double time = 0;
            const int prev = p.month == 1 ? 12 : p.month - 1;
            const double b = PassBase(p, prev, 0, 12, cnt, time);
            if (cnt < 0)
                return cnt;
            daily = cnt != 0 ? b / (2.0 * cnt) : rate2 * dl / 60.0;
        } else {
            daily = full / (2.0 * p.plannedDays);
        }
        const double minimum = p.base().config.mrot[std::size_t(p.month - 1)] * 100.0 / p.plannedDays;
        daily = std::max(daily, minimum);
        if ((r = Check(AppendRow(p, 64, daily * t.uchDn, m, t.uchDn, t.uchDn * dl))) < 0)
            return r;
    }

    // 53: second salary part.
    if (head.nadbav != 0)
        if ((r = Check(AppendRow(p, 53, head.nadbav * prop, m))) < 0)
            return r;
    return 0;
}

// ----------------------------------------------------------------------------- alternative time sheet

namespace {

// The rate of an earlier month from the rate history: the latest non-zero one
// at or before that month.
double HistoryRate(const CalcPass& p, int monthsBack, double current)
{
    for (int k = monthsBack; k <= 12; ++k) {
        const double r = RateMonthsBack(p.doc, k, current);
        if (r != 0)
            return r;
    }
    return 0;
}

// Days of the rows with codes 1-4 of month m: the base over a temporary mask
// that holds only those codes.
int WorkedDaysOfMonth(CalcPass& p, int m, int& days)
{
    auto& masks = p.base().firm.masks;
    const auto savedMasks = masks;
    masks[0].fill(0);
    for (int c = 1; c <= 4; ++c)
        masks[0][std::size_t(c)] = 1;
    BaseOptions options;
    options.vacationWindow = true;
    options.fundFilter = p.fundFilter;
    int cnt = 0;
    double time = 0;
    CalcBaseBySelectorWith(options, m, 0, 20, cnt, time, p.rows, p.count, p.doc);
    masks = savedMasks;
    if (cnt < 0)
        return cnt;
    days = cnt;
    return 0;
}

} // namespace

int AltTimeSheetRows(CalcPass& p)
{
    const auto& alt = p.base().altTabel;
    const int n = alt.count(p.slot);
    const int first = alt.first(p.slot);
    const TabelRecord& t = p.tabel();
    for (int i = 0; i < n; ++i) {
        const AltTabelEntry e = alt.lines[std::size_t(first + i)];
        if (e.kod == 0)
            continue;
        if (FindPayKind(p.doc, e.kod) < 0)
            return kCalcUnknownCode;
        const double tariffGiven = e.tarif.kopecks();
        if (e.sumOklad != 0 && tariffGiven != 0)
            return kCalcMeaningMismatch;
        if (e.mes > 12)
            return kCalcRowWithoutMonth;
        const int em = e.mes == 0 ? p.month : int(e.mes);
        const int offset = MonthOffset(p, em);
        const bool reporting = offset == 0;

        double tariff = tariffGiven, amount = e.sumOklad;
        if (tariff == 0 && amount == 0) {
            if (offset < 0) {
                const double r = HistoryRate(p, -offset, 0);
                (p.paymentSystem <= 2 ? tariff : amount) = r;
            } else if (p.paymentSystem == 2) {
                tariff = Rate2(p);
            } else if (p.paymentSystem == 1) {
                tariff = Rate1(p);
            } else {
                amount = Salary(p);
            }
            if (tariff == 0 && amount == 0)
                continue;
        }

        int days = e.dn, minutes = e.hr * 60 + e.min;
        if (e.dn == 32) {
            if (reporting) {
                days = t.rabDn;
                if (days == 0)
                    continue;
            } else {
                const int r = WorkedDaysOfMonth(p, em, days);
                if (r < 0)
                    return r;
            }
        }
        if (reporting && days == 0 && minutes == 0) {
            if (t.rabHr != 0)
                minutes = t.rabHr;
            else
                days = t.rabDn;
        }

        int pd = p.plannedDays, pm = p.plannedMinutes;
        if (!reporting && amount != 0) {
            const int r = PlannedOf(p, p.schedule, em, 1, 31, pd, pm);
            if (r < 0)
                return r - 10;
        }
        double value;
        if (tariff != 0)
            value = minutes != 0 ? tariff * minutes / 60.0 : tariff * days * p.dayLength / 60.0;
        else
            value = minutes != 0 ? (pm ? amount * minutes / pm : 0.0) : (pd ? amount * days / pd : 0.0);
        value = value * (e.procOpl == 0 ? 100 : e.procOpl) / 100.0;
        value = RoundByPayKind(RoundWhole(value), e.kod, p.doc);
        if (e.storno)
            value = -value;

        AccrualRow row;
        row.kod = e.kod;
        row.sum = value;
        row.mes = u16(em);
        row.otd = e.otd;
        if (e.otd != 0 && e.kod != 45)
            SetRowTime(row, days, minutes);
        if (e.spzCh || e.spzSc || e.spzAu) {
            row.spzCh = e.spzCh & 0x3FFF;
            row.spzSc = e.spzSc & 0x3FFF;
            row.spzAu = e.spzAu & 0x3FFF;
        }
        if (const int r = AppendRowRaw(p, row); r < 0)
            return r;
    }
    return 0;
}

// ----------------------------------------------------------------------------- permanent payments

namespace {

double PaymentPercent(const PostDoplEntry& e) { return e.procent == 0 ? 100.0 : e.procent / 10.0; }

// The selector of CalcBaseBySelector for a permanent payment's base selector s
// (0-7 mask columns, 8-21 pay-kind flags), as the rate and the payment screen
// number them.
int BaseSelectorOfPayment(int s) { return s < 8 ? s + 20 : s - 8; }

// Quantity q of a time basis: days and minutes.
void TimeBasisQuantity(const CalcPass& p, const PostDoplEntry& e, int& qDays, int& qMin)
{
    const TabelRecord& t = p.tabel();
    qDays = qMin = 0;
    switch (e.zavisOt) {
    case 0: qDays = p.days(); break;
    case 1: qDays = t.rabDn; qMin = t.rabHr; break;
    case 2: qMin = t.vHr; break;
    case 3: qMin = t.nHr; break;
    case 4: qDays = t.prDn; qMin = t.prHr; break;
    case 5: qDays = t.vyhDn; qMin = t.vyhHr; break;
    case 6: qMin = t.sverhHr; break;
    case 7: qMin = t.sverhDvaHr; break;
    case 8: qDays = t.kvalDn; qMin = t.kvalHr; break;
    case 9: qDays = t.prostDn; qMin = t.prostHr; break;
    case 10: qDays = t.uchDn; break;
    case 11: qDays = t.drRabDn; break;
    case 12: qDays = t.komDn; break;
    case 13: qDays = t.vyhPosobDn; break;
    case 14: {
        const auto& alt = p.base().altTabel;
        const int f = alt.first(p.slot);
        for (int i = 0; i < alt.count(p.slot); ++i) {
            const AltTabelEntry& a = alt.lines[std::size_t(f + i)];
            if (a.kod == e.kod) {
                qDays += a.dn == 32 ? t.rabDn : a.dn;
                qMin += a.hr * 60 + a.min;
            }
        }
        break;
    }
    default: break;
    }
}

// The part [s, e] of the reporting month that the payment's period covers:
// 0 = outside the month (skip), 1 = covered, -26 = an end day before the start.
int PaymentPeriod(const CalcPass& p, const PostDoplEntry& e, int& s, int& last)
{
    const int key = MonthKey(p.year, p.month);
    const int startKey = e.gBegin && e.mBegin ? MonthKey(e.gBegin, e.mBegin) : 0;
    const int endKey = e.gEnd && e.mEnd ? MonthKey(e.gEnd, e.mEnd) : 0;
    if ((endKey && endKey < key) || (startKey && startKey > key))
        return 0;
    s = (startKey == key && e.dBegin) ? int(e.dBegin) : 1;
    last = (endKey == key && e.dEnd) ? std::min<int>(e.dEnd, p.days()) : p.days();
    if (last < s)
        return kCalcBadPermanentPayment;
    return 1;
}

// The share of the month for a period that covers part of it.
int PeriodShare(CalcPass& p, const PostDoplEntry& e, int s, int last, double& share)
{
    share = 1;
    if (s == 1 && last == p.days())
        return 0;
    if (e.zavisOt == 0) {
        share = double(last - s + 1) / p.days();
        return 0;
    }
    const TabelRecord& t = p.tabel();
    const int whole = CountDayBits(31, 1, p.doc, p.idx);
    if (t.rabDn != whole)
        return kCalcDayMaskMismatch;
    // No worked days and an empty mask: nothing of the period is paid
    // (instead of dividing 0 by 0).
    share = t.rabDn == 0 ? 0.0 : double(CountDayBits(last, s, p.doc, p.idx)) / t.rabDn;
    return 0;
}

// Removes the rows of the code in the reporting month; gives their time.
void RemoveRowsOfCode(CalcPass& p, int code, int& days, int& minutes)
{
    days = minutes = 0;
    for (int i = 0; i < p.count;) {
        const AccrualRow& r = p.rows[i];
        if (r.kod == code && r.mes == p.month) {
            days += r.dn;
            minutes += RowMinutes(r);
            RemoveRow(p, i);
        } else {
            ++i;
        }
    }
}

// Sum of the base of selector sel over the months of a payment's period.
int PeriodBase(CalcPass& p, const PostDoplEntry& e, int sel, double& out, double currentRate)
{
    out = 0;
    std::vector<int> months; // 0 = the reporting month, else a month number
    const int m = p.month;
    auto back = [m](int k) { return WrapMonth(m - k); };
    switch (e.period) {
    case 0:
        if (e.zavisOt == 15 && e.mBegin && e.mEnd && e.gBegin && e.gEnd) {
            const int from = MonthKey(e.gBegin, e.mBegin);
            const int to = std::min(MonthKey(e.gEnd, e.mEnd), MonthKey(p.year, m));
            for (int k = from; k <= to && months.size() < 12; k = MonthKeyAdd(k, 1))
                months.push_back(k == MonthKey(p.year, m) ? 0 : (k & 15));
        } else {
            months.push_back(0);
        }
        break;
    case 1: months = {back(1)}; break;
    case 2: months = {back(2), back(1)}; break;
    case 3: months = {back(3), back(2), back(1)}; break;
    case 4: {
        const int q = (m - 1) / 3; // quarter of the reporting month, 0-3
        const int firstOfPrev = ((q + 3) % 4) * 3 + 1;
        months = {firstOfPrev, firstOfPrev + 1, firstOfPrev + 2};
        break;
    }
    case 5:
        for (int k = 1; k < m; ++k)
            months.push_back(k);
        months.push_back(0);
        break;
    default: months.push_back(0); break;
    }
    p.fundFilter = e.mask == 9 ? 1 : 0;
    for (int mm : months) {
        int cnt = sel == 4 ? 1 : 0; // selector 4 takes the kinds that enter the vacation average
        double time = 0;
        double b = PassBase(p, mm, 0, sel, cnt, time);
        if (cnt < 0) {
            p.fundFilter = 0;
            return cnt;
        }
        if (e.perer == 1 || (e.perer == 3 && mm != 0)) {
            int c2 = 0;
            double t2 = 0;
            b -= PassBase(p, mm, 0, -int(e.kod), c2, t2);
            if (c2 < 0) {
                p.fundFilter = 0;
                return c2;
            }
        }
        if (e.vid == 6 && mm != 0) {
            // A general rise since then: the month's base at today's rate.
            const int k = (m - mm + 12) % 12;
            const double then = RateMonthsBack(p.doc, k, currentRate);
            if (then != 0) {
                const double ratio = currentRate / then;
                if (ratio >= 0.01 && ratio <= 10 && ratio != 1)
                    b *= ratio;
            }
        }
        out += b;
    }
    p.fundFilter = 0;
    return 0;
}

} // namespace

double ServiceYearsPercentScale(int months)
{
    // Months of service from which each percent applies.
    static const int from[] = {12, 36, 60, 120, 180, 240, 300};
    static const double percent[] = {10, 20, 30, 40, 50, 65, 70};
    double result = 0;
    for (int i = 0; i < 7; ++i)
        if (months >= from[i])
            result = percent[i];
    return result;
}

int PermanentPaymentRows(CalcPass& p, bool highKinds)
{
    auto& rec = p.rec();
    const TabelRecord& t = p.tabel();
    double currentRate = 0;
    bool haveRate = false;
    for (const PostDoplEntry& e : rec.postDopl) {
        if (e.kod == 0)
            continue;
        if (FindPayKind(p.doc, e.kod) < 0)
            return kCalcUnknownCode;
        if ((e.vid >= 5) != highKinds)
            continue;
        int kind = e.vid;
        double base = 0;
        if (!highKinds) {
            if (kind == 1 && e.zavisOt == 0)
                continue;
            if (kind == 2 && (e.zavisOt == 2 || e.zavisOt == 3 || e.zavisOt == 6 || e.zavisOt == 7))
                continue;
            base = e.sum;
            if (base == 0) {
                if (e.kod == kCodeUnpaid) base = 100;
                else if (kind == 0) base = Salary(p);
                else if (kind == 1) base = p.paymentSystem == 1 ? Rate1(p) : Rate2(p);
                else if (kind == 3) { base = p.base().config.mrot[std::size_t(p.month - 1)] * 100.0; kind = 0; }
                else if (kind == 4) base = Salary(p) != 0 ? Salary(p) : Rate2(p) * p.plannedMinutes / 60.0;
            } else if (kind == 3) {
                kind = 0;
            }
            if (base == 0)
                continue;
        }

        int s = 1, last = p.days();
        const int period = PaymentPeriod(p, e, s, last);
        if (period < 0)
            return period;
        if (period == 0)
            continue;

        double percent = PaymentPercent(e);
        if (highKinds) {
            if (e.vid == 6 && !haveRate) {
                double full = 0;
                const int r = CalcMonthRate(currentRate, full, p.doc, p.idx);
                if (r < 0)
                    return r;
                haveRate = true;
            }
            const int r = PeriodBase(p, e, BaseSelectorOfPayment(e.mask), base, currentRate);
            if (r < 0)
                return r;
            if (e.zavisOt == 15 && e.period == 3)
                percent = percent * 100.0 / 300.0;
            if (e.vid >= 7) {
                const int months = p.rec().head.officerDatStag == 0
                                       ? 0
                                       : ServiceLengthToToday(1, p.doc) * 12 + ServiceLengthToToday(2, p.doc);
                percent = ServiceYearsPercentScale(months);
            }
            kind = 0;
        }
        double amount = base * percent / 100.0;

        int qDays = 0, qMin = 0;
        TimeBasisQuantity(p, e, qDays, qMin);
        if ((kind == 0 || kind == 4) && e.zavisOt != 0 && e.zavisOt != 15) {
            int pd = p.plannedDays, pm = p.plannedMinutes;
            if (e.dnOtGraph != 0) {
                const int r = PlannedOf(p, e.dnOtGraph - 1, 0, 1, 31, pd, pm);
                if (r < 0 || pd == 0 || pm == 0)
                    return kCalcNoWorkingTime;
            }
            amount *= qMin != 0 ? double(qMin) / pm : double(qDays) / pd;
        } else if (kind == 1) {
            amount *= qMin != 0 ? qMin / 60.0 : qDays * double(p.dayLength) / 60.0;
        } else if (kind == 2) {
            amount *= qDays;
        }

        double share = 1;
        if (const int r = PeriodShare(p, e, s, last, share); r < 0)
            return r;
        amount *= share;

        int rowDays = 0, rowMin = 0;
        if (e.perer == 1) {
            int cnt = 0;
            double time = 0;
            amount -= PassBase(p, 0, 0, -int(e.kod), cnt, time);
            if (cnt < 0)
                return cnt;
        } else if (e.perer >= 2) {
            int d = 0, mi = 0;
            RemoveRowsOfCode(p, e.kod, d, mi);
            if (e.zavisOt != 0) {
                rowDays = d;
                rowMin = mi;
            }
        }
        if (e.kod == 169 || e.kod == 170 || e.kod == 669 || e.kod == kCodeUnpaid)
            rowDays = last - s + 1;
        (void)t;

        const int kept = AppendRow(p, e.kod, amount, p.month, rowDays, rowMin, e.ceh);
        if (kept < 0)
            return kept;
        if (kept && e.mrp) {
            const double payout = RoundPayout(RoundByPayKind(RoundWhole(p.rows[p.count - 1].sum), kCodePayout, p.doc), p.doc);
            AccrualRow row;
            row.kod = kCodePayout;
            row.sum = payout;
            row.mes = u16(p.month);
            if (const int r = AppendRowRaw(p, row); r < 0)
                return r;
        }
    }
    return 0;
}

// ----------------------------------------------------------------------------- rule rows

int RuleRows(CalcPass& p)
{
    for (const SeniorityRule& rule : p.base().firm.stag) {
        if (rule.kod == 0)
            continue;
        if (FindPayKind(p.doc, rule.kod) < 0)
            return kCalcUnknownCode;
        if (rule.kak || rule.sum == 0)
            continue;
        int covered[2] = {0, 0};
        if (!RuleAppliesToEmployee(rule, 0, p.idx, covered, p.monthLengths.data(), p.doc))
            continue;
        const double amount = rule.sum * (covered[1] - covered[0] + 1) / p.days();
        if (const int r = AppendRow(p, rule.kod, amount, p.month); r < 0)
            return r;
    }
    return 0;
}

int RuleRowCorrections(CalcPass& p)
{
    const TabelRecord& t = p.tabel();
    for (int i = 0; i < p.count;) {
        AccrualRow& row = p.rows[i];
        if (row.mes > 12) {
            ++i;
            continue;
        }
        const int rm = row.mes == 0 ? p.month : int(row.mes);
        double shares = 0, weighted = 0;
        bool any = false;
        for (const SeniorityRule& rule : p.base().firm.stag) {
            if (!rule.kak || rule.kod == 0 || rule.kod != row.kod)
                continue;
            int covered[2] = {0, 0};
            if (!RuleAppliesToEmployee(rule, rm == p.month ? 0 : rm, p.idx, covered, p.monthLengths.data(), p.doc))
                continue;
            const int len = p.monthLengths[std::size_t(rm)];
            double share = 1;
            if (covered[0] != 1 || covered[1] != len) {
                if (rm == p.month) {
                    if (t.rabDn != CountDayBits(31, 1, p.doc, p.idx))
                        return kCalcDayMaskMismatch;
                    share = t.rabDn == 0 ? 0.0 : double(CountDayBits(covered[1], covered[0], p.doc, p.idx)) / t.rabDn;
                } else {
                    int d = 0, m = 0, D = 0, M = 0;
                    int r = PlannedOf(p, p.schedule, rm, covered[0], covered[1], d, m);
                    if (r < 0)
                        return r - 10;
                    r = PlannedOf(p, p.schedule, rm, 1, 31, D, M);
                    if (r < 0)
                        return r - 10;
                    share = D == 0 ? 0.0 : double(d) / D;
                }
            }
            if (share != 0) {
                any = true;
                shares += share;
                weighted += share * rule.sum / 10000.0;
            }
        }
        if (any) {
            row.sum = RoundByPayKind(RoundWhole(row.sum * (1 - shares + weighted)), row.kod, p.doc);
            if (row.sum == 0) {
                RemoveRow(p, i);
                continue;
            }
        }
        ++i;
    }
    return 0;
}

// ----------------------------------------------------------------------------- bonuses

namespace {

// What one brigade member brings to the sharing of a brigade's fund.
struct BrigadeMember {
    int slot = 0;
    double rate = 0;    // kopecks per hour
    double minutes = 0; // time worked
    double coef1 = 0;   // the line's 12-digit coefficient
    double coef2 = 0;   // the line's 7-bit count
};

bool SameBrigadeLine(const BonusLine& a, const BonusLine& b)
{
    return a.procent == b.procent && a.kod == b.kod && a.sum == b.sum && a.mask == b.mask;
}

// The member's hourly rate and time worked, from his record in the swap file
// (the current employee's from the current record).
int MeasureMember(CalcPass& p, int slot, const BonusLine& line, BrigadeMember& m)
{
    auto& base = p.base();
    EmployeeRecord other;
    const EmployeeRecord* rec = &p.rec();
    if (slot != p.slot) {
        if (!base.swap.readSlot(slot, other))
            return kCalcRecordUnreadable;
        rec = &other;
    }
    const EmployeeAttributes& a = base.attributes[std::size_t(slot - 1)];
    if (a.sistOpl == 0)
        return kCalcNoPaymentSystem;
    const int sched = EmployeeScheduleIndex(p.doc, slot - 1);
    WorkSchedule& s = base.schedules[std::size_t(sched)];
    const int dayLength = WorkingDayLength(s, p.doc);
    if (dayLength == 0)
        return kCalcNoDayLength;
    int pd = 0, pm = 0;
    if (CalcScheduleNorm(WorkSchedule::ReportingMonth, s, 1, 31, pd, pm, p.doc) < 0 || pm == 0)
        return kCalcNoWorkingTime;

    // Time: the member's rows of codes 1-4, else his time sheet.
    double minutes = 0;
    for (int i = 0; i < int(a.kvProizv) && i < EmployeeRecord::RowCount; ++i) {
        const AccrualRow& r = rec->rows[std::size_t(i)];
        if (r.kod >= 1 && r.kod <= 4)
            minutes += r.sum < 0 ? -RowMinutes(r) : RowMinutes(r);
    }
    if (minutes == 0) {
        const TabelRecord& t = base.tabel[std::size_t(slot - 1)];
        minutes = t.rabHr != 0 ? t.rabHr : t.rabDn * dayLength;
    }
    double rate = rec->rates[0].rate;
    if (rate != 0 && a.sistOpl == 4)
        rate = rate / pm * 60;
    if (rate == 0) {
        if (a.sistOpl == 1) rate = rec->head.tarifSdel.kopecks();
        else if (a.sistOpl <= 3) rate = rec->head.tarifVrem.kopecks();
        else rate = rec->head.oklad / pm * 60;
    }
    m.slot = slot;
    m.rate = rate;
    m.minutes = minutes;
    m.coef1 = double(Packed12DigitsValue(line.spzCh, line.spzSc, line.spzAu));
    m.coef2 = line.ceh;
    return 0;
}

// The employee's share of a brigade's fund by labour-participation variant
// `variant` (0-2): the fund (less the brigade's tariff earnings under formula
// 1) is split by the four rules' percents, each part in proportion to the
// members' measures that the rule names.
int BrigadeShare(CalcPass& p, const BonusLine& line, int variant, double& share)
{
    share = 0;
    auto& base = p.base();
    std::vector<BrigadeMember> members;
    int own = -1;
    for (const EmployeeListEntry& e : base.list) {
        if (e.slot < 1 || e.slot > int(base.attributes.size()))
            continue;
        const int n = base.prem.count(e.slot), f = base.prem.first(e.slot);
        for (int i = 0; i < n; ++i) {
            const BonusLine& b = base.prem.lines[std::size_t(f + i)];
            if (!SameBrigadeLine(b, line))
                continue;
            BrigadeMember m;
            if (const int r = MeasureMember(p, e.slot, b, m); r < 0)
                return r;
            if (e.slot == p.slot)
                own = int(members.size());
            members.push_back(m);
            break;
        }
    }
    if (own < 0)
        return 0;
    const auto& words = base.firm.ktu[std::size_t(variant)];
    double fund = line.sum;
    if (((words[1] >> 13) & 7) == 1)
        for (const BrigadeMember& m : members)
            fund -= m.rate * m.minutes / 60;
    bool anyPercent = false;
    for (u16 w : words)
        anyPercent = anyPercent || (w & 127) != 0;
    for (int k = 0; k < 4; ++k) {
        const u16 w = words[std::size_t(k)];
        const double pct = anyPercent ? (w & 127) : (k == 0 ? 100 : 0);
        if (pct == 0)
            continue;
        auto measure = [w](const BrigadeMember& m) {
            double v = 1;
            if (w & 0x80) v *= m.rate;
            if (w & 0x100) v *= m.minutes;
            const int c1 = (w >> 9) & 3, c2 = (w >> 11) & 3;
            if (c1 == 1) v *= m.coef1;
            else if (c1 == 2) v = m.coef1 != 0 ? v / m.coef1 : 0;
            if (c2 == 1) v *= m.coef2;
            else if (c2 == 2) v = m.coef2 != 0 ? v / m.coef2 : 0;
            return v;
        };
        double total = 0;
        for (const BrigadeMember& m : members)
            total += measure(m);
        if (total > 0)
            share += fund * pct / 100.0 * measure(members[std::size_t(own)]) / total;
    }
    static const double scale[] = {1, 100, 1000, 10000};
    share *= scale[(words[0] >> 13) & 3];
    return 0;
}

// One twelfth of the archive's entries of last year (reporting months 1-6)
// or of this year (7-12) of the kinds that the base's selector takes, code
// 600 left out; less the code 171 entries when that leaves it not negative.
double TwelfthOfYear(const CalcPass& p, int selector)
{
    const int year = p.month <= 6 ? p.year - 1 : p.year;
    const auto& rec = p.rec();
    const auto& mask = p.base().firm.masks[std::size_t(std::clamp(selector - 20, 0, 7))];
    double sum = 0, paid171 = 0;
    for (int i = 0; i < rec.warKv && i < int(rec.waria.size()); ++i) {
        const WariaEntry& e = rec.waria[std::size_t(i)];
        if (!e.inUse() || e.god != year || e.kod == kCodeUnpaid || e.kod >= 1000)
            continue;
        if (e.kod == 171)
            paid171 += e.sum;
        else if (mask[e.kod] != 0)
            sum += e.sum;
    }
    sum /= 12;
    if (sum - paid171 >= 0)
        sum -= paid171;
    return sum;
}

} // namespace

int BonusRows(CalcPass& p)
{
    const auto& prem = p.base().prem;
    const int n = prem.count(p.slot);
    const int first = prem.first(p.slot);
    // A bonus paid out at once: the bonus less the income tax at the
    // employee's marginal rate and the writs' percents.
    auto payout = [&p](const BonusLine& b, const PayKind& kind, double bonus) {
        if (b.mrp == 0 || b.kod >= 700 || b.kod == kCodeUnpaid)
            return 0;
        double net = bonus;
        if (kind.oblPodoh)
            net -= CalcContribution(0, bonus / 100.0, p.doc);
        for (const auto& w : p.rec().ispol.writs)
            if (w.vid != 0 && w.priznUd)
                net -= bonus * w.sum / 10000.0;
        AccrualRow row;
        row.kod = kCodePayout;
        row.sum = RoundPayout(RoundByPayKind(RoundWhole(net), kCodePayout, p.doc), p.doc);
        row.mes = u16(p.month);
        return std::min(0, AppendRowRaw(p, row));
    };
    for (int i = 0; i < n; ++i) {
        const BonusLine b = prem.lines[std::size_t(first + i)];
        if (b.kod == 0 || b.sum == 0 || b.mrp == 2)
            continue;
        const PayKind* kind = PayKindOf(p.doc, b.kod);
        if (!kind)
            return kCalcUnknownCode;
        double amount = 0;
        switch (b.procent) {
        case 0:
            amount = b.sum;
            break;
        case 1: {
            int cnt = 0;
            double time = 0;
            double base = PassBase(p, 0, 0, 20 + b.mask, cnt, time);
            if (cnt < 0)
                return cnt;
            if (b.kod == 7 && (p.month - 1) % 3 != 0) {
                // The second and third month of a quarter: the earlier months
                // of the quarter are taken off.
                int c2 = 0;
                double t2 = 0;
                const double earlier =
                    PassBase(p, 0, (p.month - 1) % 3, 20 + b.mask, c2, t2);
                if (c2 < 0)
                    return c2;
                base -= earlier;
            } else if (b.kod == 172) {
                base = TwelfthOfYear(p, 20 + b.mask);
            }
            amount = base * b.sum / 10000.0;
            break;
        }
        case 2:
            amount = p.rec().rates[0].rate * b.sum / 10000.0;
            break;
        default: {
            if (const int r = BrigadeShare(p, b, std::min(2, b.procent - 3), amount); r < 0)
                return r;
            if (amount <= 0)
                continue;
            const TabelRecord& t = p.tabel();
            bool timeCarried = false;
            for (int j = 0; j < p.count; ++j)
                timeCarried = timeCarried || (p.rows[j].kod != 0 && p.rows[j].kod < 3 && p.rows[j].mes == p.month &&
                                              (p.rows[j].dn != 0 || RowMinutes(p.rows[j]) != 0));
            const bool carry = p.paymentSystem <= 2 && !timeCarried;
            const int kept = AppendRow(p, b.kod, amount, p.month, carry ? t.rabDn : 0, carry ? t.rabHr : 0);
            if (kept < 0)
                return kept;
            const double bonus = kept ? p.rows[p.count - 1].sum : 0;
            const int planned = t.prPlanHr != 0 ? t.prPlanHr : t.prPlanDn * p.dayLength;
            const int worked = t.rabHr != 0 ? t.rabHr : t.rabDn * p.dayLength;
            if (planned != 0 && worked != 0)
                if (const int r = AppendRow(p, 17, amount / worked * planned, p.month, 0, 0, b.ceh); r < 0)
                    return r;
            if (kept)
                if (const int r = payout(b, *kind, bonus); r < 0)
                    return r;
            continue;
        }
        }
        const int kept = AppendRow(p, b.kod, amount, p.month);
        if (kept < 0)
            return kept;
        if (kept)
            if (const int r = payout(b, *kind, p.rows[p.count - 1].sum); r < 0)
                return r;
    }
    return 0;
}

} // namespace kalvor
