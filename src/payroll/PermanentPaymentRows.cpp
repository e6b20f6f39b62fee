// The rows of the permanent payments.
#include "infobase/PayKindCodes.h"
#include "payroll/MonthInputParts.h"
#include "payroll/MonthInputRows.h"

#include "payroll/Bases.h"
#include "payroll/CalendarMath.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthRate.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "payroll/Settlement.h"
#include "values/Values.h"

#include <algorithm>
#include <vector>

namespace kalvor {

using namespace infobase;
using namespace monthinput;

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
    case 1:
        qDays = t.rabDn;
        qMin = t.rabHr;
        break;
    case 2: qMin = t.vHr; break;
    case 3: qMin = t.nHr; break;
    case 4:
        qDays = t.prDn;
        qMin = t.prHr;
        break;
    case 5:
        qDays = t.vyhDn;
        qMin = t.vyhHr;
        break;
    case 6: qMin = t.sverhHr; break;
    case 7: qMin = t.sverhDvaHr; break;
    case 8:
        qDays = t.kvalDn;
        qMin = t.kvalHr;
        break;
    case 9:
        qDays = t.prostDn;
        qMin = t.prostHr;
        break;
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
    const int key = MonthKey(p.year, p.month).value();
    const int startKey = e.gBegin && e.mBegin ? MonthKey(e.gBegin, e.mBegin).value() : 0;
    const int endKey = e.gEnd && e.mEnd ? MonthKey(e.gEnd, e.mEnd).value() : 0;
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
    const int whole = CountDayBits(31, 1, p.doc, p.slot);
    if (t.rabDn != whole)
        return kCalcDayMaskMismatch;
    // No worked days and an empty mask: nothing of the period is paid
    // (instead of dividing 0 by 0).
    share = t.rabDn == 0 ? 0.0 : double(CountDayBits(last, s, p.doc, p.slot)) / t.rabDn;
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
            const int from = MonthKey(e.gBegin, e.mBegin).value();
            const int to = std::min(MonthKey(e.gEnd, e.mEnd).value(), MonthKey(p.year, m).value());
            for (int k = from; k <= to && months.size() < 12; k = MonthKeyAdd(k, 1))
                months.push_back(k == MonthKey(p.year, m).value() ? 0 : MonthKey::of(k).month());
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
        for (int k = 1; k < m; ++k) months.push_back(k);
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
            const int k = MonthsAhead(mm, m);
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

namespace {

// The employee's monthly rate, computed once per call when a payment of
// kind 6 needs it.
struct RateOnce {
    double current = 0;
    bool known = false;
};

// The base of a payment of kinds 0-4: its own amount, else the salary, the
// tariff, the minimum wage or the salary for the month; kind 3 is then paid
// as kind 0. 0 when the payment is not paid by its time basis or has no base.
// An amount stored below zero (an older base may hold one; the screen
// refuses it) pays nothing: a payment cannot take money off the pay, which
// a deduction of the month's entries does.
double LowKindBase(const CalcPass& p, const PostDoplEntry& e, int& kind)
{
    if (kind == 1 && e.zavisOt == 0)
        return 0;
    if (e.sum < 0)
        return 0;
    if (kind == 2 && (e.zavisOt == 2 || e.zavisOt == 3 || e.zavisOt == 6 || e.zavisOt == 7))
        return 0;
    double base = e.sum;
    if (base == 0) {
        if (e.kod == kCodeUnpaid)
            base = 100;
        else if (kind == 0)
            base = Salary(p);
        else if (kind == 1)
            base = p.paymentSystem == 1 ? Rate1(p) : Rate2(p);
        else if (kind == 3) {
            base = p.base().config.mrot[std::size_t(p.month - 1)] * 100.0;
            kind = 0;
        } else if (kind == 4)
            base = Salary(p) != 0 ? Salary(p) : Rate2(p) * p.plannedMinutes / 60.0;
    } else if (kind == 3) {
        kind = 0;
    }
    return base;
}

// The base and percent of a payment of kinds 5 and above: the base of its
// selector over its period; a quarter's percent shared over three months;
// kinds 7 and above by the service-years scale.
int HighKindBase(CalcPass& p, const PostDoplEntry& e, RateOnce& rate, double& base, double& percent)
{
    if (e.vid == 6 && !rate.known) {
        double full = 0;
        if (const int r = CalcMonthRate(rate.current, full, p.doc, p.slot); r < 0)
            return r;
        rate.known = true;
    }
    if (const int r = PeriodBase(p, e, BaseSelectorOfPayment(e.mask), base, rate.current); r < 0)
        return r;
    if (e.zavisOt == 15 && e.period == 3)
        percent = percent * 100.0 / 300.0;
    if (e.vid >= 7) {
        const int months =
            p.rec().head.officerDatStag == 0 ? 0 : ServiceLengthToToday(1, p.doc) * 12 + ServiceLengthToToday(2, p.doc);
        percent = ServiceYearsPercentScale(months);
    }
    return 0;
}

// The amount by the payment's time basis: kinds 0 and 4 in proportion to the
// planned time (of its own schedule when it names one), kind 1 per hour,
// kind 2 per day.
int ByTimeBasis(CalcPass& p, const PostDoplEntry& e, int kind, double& amount)
{
    int quantityDays = 0, quantityMinutes = 0;
    TimeBasisQuantity(p, e, quantityDays, quantityMinutes);
    if ((kind == 0 || kind == 4) && e.zavisOt != 0 && e.zavisOt != 15) {
        int plannedDays = p.plannedDays, plannedMinutes = p.plannedMinutes;
        if (e.dnOtGraph != 0) {
            const int r = PlannedOf(p, e.dnOtGraph, 0, 1, 31, plannedDays, plannedMinutes);
            if (r < 0 || plannedDays == 0 || plannedMinutes == 0)
                return kCalcNoWorkingTime;
        }
        amount *= quantityMinutes != 0 ? double(quantityMinutes) / plannedMinutes : double(quantityDays) / plannedDays;
    } else if (kind == 1) {
        amount *= quantityMinutes != 0 ? quantityMinutes / 60.0 : quantityDays * double(p.dayLength) / 60.0;
    } else if (kind == 2) {
        amount *= quantityDays;
    }
    return 0;
}

// Recalculation: the month's rows of the code already paid are taken off the
// amount (1), or removed and their time carried over (2 and above).
int Recalculation(CalcPass& p, const PostDoplEntry& e, double& amount, int& rowDays, int& rowMinutes)
{
    if (e.perer == 1) {
        int count = 0;
        double time = 0;
        amount -= PassBase(p, 0, 0, -int(e.kod), count, time);
        return count < 0 ? count : 0;
    }
    if (e.perer >= 2) {
        int days = 0, minutes = 0;
        RemoveRowsOfCode(p, e.kod, days, minutes);
        if (e.zavisOt != 0) {
            rowDays = days;
            rowMinutes = minutes;
        }
    }
    return 0;
}

// The payment's row, of the standing entry at `place`, and, when it is paid
// out at once, the payout row.
int AppendPayment(CalcPass& p, const PostDoplEntry& e, int place, double amount, int rowDays, int rowMinutes)
{
    const int kept = AppendRow(p, e.kod, amount, p.month, rowDays, rowMinutes, e.ceh);
    if (kept > 0)
        p.rows[p.count - 1].hrRest = u16(OriginTag(RowOrigin::Permanent, place));
    if (kept <= 0 || !e.mrp)
        return std::min(kept, 0);
    AccrualRow row;
    row.kod = kCodePayout;
    row.sum = RoundPayout(RoundByPayKind(RoundWhole(p.rows[p.count - 1].sum), kCodePayout, p.doc), p.doc);
    row.mes = u16(p.month);
    return std::min(AppendRowRaw(p, row), 0);
}

// One permanent payment of the group asked for, the entry at `place`.
int PermanentPayment(CalcPass& p, const PostDoplEntry& e, int place, bool highKinds, RateOnce& rate)
{
    int kind = e.vid;
    double base = 0;
    if (!highKinds) {
        base = LowKindBase(p, e, kind);
        if (base == 0)
            return 0;
    }
    int first = 1, last = p.days();
    const int period = PaymentPeriod(p, e, first, last);
    if (period <= 0)
        return period;

    double percent = PaymentPercent(e);
    if (highKinds) {
        if (const int r = HighKindBase(p, e, rate, base, percent); r < 0)
            return r;
        kind = 0;
    }
    double amount = base * percent / 100.0;
    if (const int r = ByTimeBasis(p, e, kind, amount); r < 0)
        return r;
    double share = 1;
    if (const int r = PeriodShare(p, e, first, last, share); r < 0)
        return r;
    amount *= share;

    int rowDays = 0, rowMinutes = 0;
    if (const int r = Recalculation(p, e, amount, rowDays, rowMinutes); r < 0)
        return r;
    if (IsStandingTimeOffCode(e.kod))
        rowDays = last - first + 1;
    return AppendPayment(p, e, place, amount, rowDays, rowMinutes);
}

} // namespace

int PermanentPaymentRows(CalcPass& p, bool highKinds)
{
    RateOnce rate;
    const auto& entries = p.rec().postDopl;
    for (int place = 0; place < int(entries.size()); ++place) {
        const PostDoplEntry& e = entries[std::size_t(place)];
        if (e.kod == 0)
            continue;
        if (FindPayKind(p.doc, e.kod) < 0)
            return kCalcUnknownCode;
        if ((e.vid >= 5) != highKinds)
            continue;
        if (const int r = PermanentPayment(p, e, place, highKinds, rate); r < 0)
            return r;
    }
    return 0;
}

} // namespace kalvor
