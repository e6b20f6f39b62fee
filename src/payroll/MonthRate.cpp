#include "payroll/MonthRate.h"

#include "infobase/PayKindCodes.h"
#include "payroll/CalendarMath.h"
#include "payroll/Criteria.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <array>
#include <vector>

namespace kalvor {

using infobase::PayKind;
using infobase::PostDoplEntry;
using infobase::SeniorityRule;

namespace {

struct Component {
    double amount = 0;
    int code = 0;
    bool inRate = false;
};

bool sickLeaveBase(const PayKind& k) { return (PayKindFlagByte1(k) >> 3) & 1; }

// Whether a component of the given kind is taken by a permanent payment's
// base selector (0-7 mask columns, 8-21 kind flags, above 21 every kind).
bool selectorTakes(const PayrollDoc& doc, int selector, int code)
{
    if (selector > 21)
        return true;
    if (selector < 8)
        return IsCodeInRange(code) && doc.infoBase.firm.masks[std::size_t(selector)][std::size_t(code)] != 0;
    const PayKind* k = PayKindOf(doc, code);
    if (!k)
        return false;
    switch (selector) {
    case 8: return IsAccrualCode(code);
    case 9: return k->fond == 1;
    case 10: return k->oblPodoh;
    case 11: return sickLeaveBase(*k);
    case 12: return k->enOtp != 0;
    case 13: return k->oblProf;
    case 14: return k->enAlim;
    case 15: return k->enKoefRS;
    case 16: return k->hr1;
    case 17: return k->hr2;
    case 18: return k->enSrPremBln;
    case 19: return k->g11;
    case 20: return k->enSrZar;
    case 21: return k->hr3;
    }
    return false;
}

struct RateContext {
    PayrollDoc& doc;
    infobase::WorkSchedule& schedule;
    int slot;
    int year, month, days;
    int plannedDays, plannedMinutes;
    int system = 0; // payment system 1-4
    double salary = 0, pieceRate = 0, hourlyRate = 0;
    std::array<int, 13> monthLengths{};
    std::vector<Component> components{}; // what the rate is made of, at most 30

    void add(double amount, int code, bool inRate)
    {
        if (amount != 0 && components.size() < 30)
            components.push_back({amount, code, inRate});
    }

    // Planned days and minutes of days s to e of the reporting month.
    void planned(int s, int e, int& d, int& m) const
    {
        ScheduleNormDayByDay(infobase::WorkSchedule::ReportingMonth, schedule, s, e, d, m, doc);
    }

    // The share of the month that a permanent payment covers; -26 for an
    // empty period or one that runs past the month, 0 (skip) outside it.
    int periodFactor(const PostDoplEntry& p, int baseKind, double& factor) const
    {
        const int key = MonthKey(year, month).value();
        // A date with day 0 is no date: the payment is open on that side.
        const int startKey = p.dBegin != 0 ? MonthKey(p.gBegin, p.mBegin).value() : 0;
        const int endKey = p.dEnd != 0 ? MonthKey(p.gEnd, p.mEnd).value() : 0;
        if ((startKey && startKey > key) || (endKey && endKey < key))
            return 0;
        const int s = startKey == key ? int(p.dBegin) : 1;
        const int e = endKey == key ? int(p.dEnd) : days;
        if (s > e || e > days)
            return kCalcBadPermanentPayment;
        if (s == 1 && e == days) {
            factor = 1;
        } else if (p.zavisOt == 0) {
            factor = double(e - s + 1) / days;
        } else {
            int d = 0, m = 0;
            planned(s, e, d, m);
            factor = baseKind == 1 ? double(m) / plannedMinutes : double(d) / plannedDays;
        }
        return 1;
    }
};

double percentOf(const PostDoplEntry& p) { return p.procent == 0 ? 100.0 : p.procent / 10.0; }

} // namespace

int EmployeeScheduleNumber(const PayrollDoc& doc, int slot)
{
    if (!doc.infoBase.holdsSlot(slot))
        return 1;
    return std::clamp(int(doc.infoBase.attributesOf(slot).graph), 1, infobase::CInfoBase::ScheduleCount);
}

namespace {

// Adds each permanent payment that `takes` lets through (and whose pay kind
// exists): its percent of `baseOf` it, times its period's factor. A negative
// factor's code ends the walk and is returned; 0 otherwise.
template <class Takes, class BaseOf>
int PercentComponents(RateContext& ctx, Takes takes, BaseOf baseOf)
{
    for (const PostDoplEntry& p : ctx.doc.infoBase.current.postDopl) {
        if (p.kod == 0 || !takes(p))
            continue;
        const PayKind* kind = PayKindOf(ctx.doc, p.kod);
        if (!kind)
            continue;
        const double base = baseOf(p);
        double factor = 0;
        const int r = ctx.periodFactor(p, p.vid, factor);
        if (r < 0)
            return r;
        if (r > 0)
            ctx.add(base * percentOf(p) / 100.0 * factor, p.kod, sickLeaveBase(*kind));
    }
    return 0;
}

// Permanent payments of base kinds 0-3: a percent of the salary, of the
// tariff for the planned hours, a daily amount, or of the minimum wage.
int LowKindComponents(RateContext& ctx)
{
    const auto takes = [](const PostDoplEntry& p) {
        return p.vid <= 3 && p.zavisOt <= 1 && !(p.vid == 1 && p.zavisOt == 0);
    };
    const auto baseOf = [&ctx](const PostDoplEntry& p) -> double {
        if (p.vid == 2) // a daily amount: for the calendar days or the planned days of the month
            return p.sum * (p.zavisOt == 0 ? ctx.days : ctx.plannedDays);
        if (p.sum != 0)
            return p.sum;
        if (p.vid == 0)
            return ctx.salary;
        if (p.vid == 1)
            return (ctx.system >= 2 ? ctx.hourlyRate : ctx.pieceRate) * ctx.plannedMinutes / 60.0;
        return ctx.doc.infoBase.config.mrot[std::size_t(ctx.month - 1)] * 100.0;
    };
    return PercentComponents(ctx, takes, baseOf);
}

// The employee's own rate: the salary, or the tariff for the planned hours.
void OwnRateComponent(RateContext& ctx)
{
    if (ctx.system == 4)
        ctx.add(ctx.salary, 4, true);
    else if (ctx.system == 1)
        ctx.add(ctx.pieceRate * ctx.plannedMinutes / 60.0, 1, true);
    else
        ctx.add(ctx.hourlyRate * ctx.plannedMinutes / 60.0, 3, true);
}

// The firm's rule rows with an amount, for the days of the month they cover.
void RuleAmountComponents(RateContext& ctx)
{
    for (const SeniorityRule& rule : ctx.doc.infoBase.firm.stag) {
        if (rule.kak || rule.sum == 0)
            continue;
        const PayKind* kind = PayKindOf(ctx.doc, rule.kod);
        if (!kind)
            continue;
        int covered[2] = {0, 0};
        if (!RuleAppliesToEmployee(rule, 0, ctx.slot, covered, ctx.monthLengths.data(), ctx.doc))
            continue;
        ctx.add(rule.sum * (covered[1] - covered[0] + 1) / ctx.days, rule.kod, sickLeaveBase(*kind));
    }
}

// Permanent payments of base kinds 5-7: a percent of the components so far.
int HighKindComponents(RateContext& ctx)
{
    const auto takes = [](const PostDoplEntry& p) { return p.vid >= 5 && p.period <= 1 && p.zavisOt <= 1; };
    const auto baseOf = [&ctx](const PostDoplEntry& p) {
        double base = 0;
        for (const Component& c : ctx.components)
            if (selectorTakes(ctx.doc, p.mask, c.code))
                base += c.amount;
        return base;
    };
    return PercentComponents(ctx, takes, baseOf);
}

// Rule rows with a percent raise the components of their code, for the part
// of the month they cover (by the day mask when it agrees with the days
// worked, else by the planned days).
void RulePercentRaises(RateContext& ctx)
{
    const infobase::CInfoBase& base = ctx.doc.infoBase;
    const int rabDn = base.holdsSlot(ctx.slot) ? base.tabelOf(ctx.slot).rabDn : 0;
    for (Component& c : ctx.components) {
        const double amount = c.amount;
        for (const SeniorityRule& rule : ctx.doc.infoBase.firm.stag) {
            if (!rule.kak || rule.kod != c.code)
                continue;
            int covered[2] = {0, 0};
            if (!RuleAppliesToEmployee(rule, 0, ctx.slot, covered, ctx.monthLengths.data(), ctx.doc))
                continue;
            double share = 1;
            if (covered[0] != 1 || covered[1] != ctx.days) {
                if (rabDn != 0 && rabDn == CountDayBits(ctx.days, 1, ctx.doc, ctx.slot)) {
                    share = double(CountDayBits(covered[1], covered[0], ctx.doc, ctx.slot)) / rabDn;
                } else {
                    int days = 0, minutes = 0;
                    ctx.planned(covered[0], covered[1], days, minutes);
                    share = double(days) / ctx.plannedDays;
                }
            }
            c.amount += share * amount * rule.sum / 10000.0;
        }
    }
}

} // namespace

int CalcMonthRate(double& outBaseRate, double& outFullRate, PayrollDoc& doc, int slot)
{
    auto& base = doc.infoBase;
    if (!base.holdsSlot(slot))
        return 0;
    const int system = base.attributesOf(slot).sistOpl;
    if (system == 0 || system > 4)
        return 0;

    const auto& head = base.current.head;
    RateContext ctx{doc,
                    base.scheduleAt(EmployeeScheduleNumber(doc, slot)),
                    slot,
                    base.config.reportingYear(),
                    base.config.reportingMonth(),
                    0,
                    0,
                    0};
    ctx.system = system;
    ctx.salary = head.oklad;
    ctx.pieceRate = head.tarifSdel.kopecks();
    ctx.hourlyRate = head.tarifVrem.kopecks();
    ctx.days = DaysInMonth(ctx.year, ctx.month);
    ctx.monthLengths = MonthLengthsForYear(ctx.year);
    const int norm = CalcScheduleNorm(infobase::WorkSchedule::ReportingMonth, ctx.schedule, 1, 31, ctx.plannedDays,
                                      ctx.plannedMinutes, doc);
    if (norm < 0)
        return norm - 10;
    if (ctx.plannedDays == 0 || ctx.plannedMinutes == 0)
        return kCalcNoWorkingTime;

    if (const int r = LowKindComponents(ctx); r < 0)
        return r;
    OwnRateComponent(ctx);
    RuleAmountComponents(ctx);
    if (const int r = HighKindComponents(ctx); r < 0)
        return r;
    RulePercentRaises(ctx);

    double full = 0;
    for (const Component& c : ctx.components)
        if (c.inRate)
            full += c.amount;
    if (system == 4) {
        outBaseRate = ctx.salary;
        outFullRate = full;
        return 0;
    }
    if (system == 3)
        outBaseRate = ctx.hourlyRate != 0 ? ctx.hourlyRate : ctx.salary / ctx.plannedMinutes * 60.0;
    else if (system == 2)
        outBaseRate = ctx.hourlyRate;
    else
        outBaseRate = ctx.pieceRate;
    outFullRate = full / ctx.plannedMinutes * 60.0;
    return 0;
}

double RateMonthsBack(const PayrollDoc& doc, int monthsBack, double currentRate)
{
    if (monthsBack == 0)
        return currentRate;
    if (monthsBack < 1 || monthsBack > 12)
        return 0;
    return doc.infoBase.current.rates[std::size_t(monthsBack - 1)].rate;
}

void FilledRateHistory(const PayrollDoc& doc, double currentRate, double out[13])
{
    out[0] = currentRate;
    for (int k = 1; k <= 12; ++k) {
        const double r = RateMonthsBack(doc, k, currentRate);
        out[k] = r != 0 ? r : out[k - 1];
    }
}

} // namespace kalvor
