#include "payroll/SickLeaveRows.h"

#include "infobase/PayKindCodes.h"
#include "payroll/CalcErrors.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "payroll/SickLeave.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor {

using namespace infobase;

int SickLeavePartCode(int vid, int sheetSubKind, int partKey, int reportingKey, bool employerDays)
{
    const int when = partKey < reportingKey ? 0 : partKey == reportingKey ? 1 : 2;
    // Sheets of sub-kinds 1-4 (the financing source) of kinds 0, 2 and 4
    // have codes of their own; any other sub-kind keeps the standard codes.
    const int k = sheetSubKind >= 1 && sheetSubKind <= 4 && (vid == 0 || vid == 2 || vid == 4) ? sheetSubKind : 0;
    if (employerDays) {
        if (vid == 10)
            return 115 + when;
        return k != 0 && vid == 0 ? 560 + 10 * when + k : 110 + when;
    }
    // The child-care allowance (kinds 5 and 7, first child and later ones)
    // has one code whatever month its part falls in, as the archive keeps it.
    if (vid == 5)
        return kCodeChildCareFirst;
    if (vid == 7)
        return kCodeChildCareSecond;
    if (vid == 1)
        return 195 + when;
    if (vid == 2) {
        if (k != 0)
            return (when == 2 ? 650 : 640) + k;
        return when == 2 ? 159 : 158;
    }
    if (vid == 10)
        return 695 + when;
    if (k != 0)
        return 660 + 10 * when + k;
    return 155 + when;
}

int SickLeaveBenefitParts(CalcPass& p, SickLeaveSheet& sheet, const AccrualRow* rows, int count, SickLeavePart* parts)
{
    SickLeaveTables tables;
    const int r = CalcSickLeaveBenefit(p.doc, sheet, tables, rows, count, p.options.scheduleMonths);
    if (r < 0)
        return r;
    int n = 0;
    for (int i = 0; i < tables.monthRows && n < 8; ++i) {
        const BenefitMonthRow& m = tables.months[std::size_t(i)];
        if (m.from == 0 && m.amount == 0)
            continue;
        SickLeavePart& part = parts[n++];
        part.year = BenefitKeyMonth(m.from).year();
        part.month = BenefitKeyMonth(m.from).month();
        part.firstDay = BenefitKeyDay(m.from);
        part.lastDay = BenefitKeyDay(m.to);
        part.amount = m.amount;
        part.days = m.days;
        part.percent = m.percent == 0 ? 100 : m.percent;
    }
    return n;
}

namespace {

// Calendar days of the sheet that the employer pays: from 2011 the first
// three, from 2007 the first two; before 2007 the planned days among the
// first two.
int EmployerDays(CalcPass& p, const SickLeaveSheet& s)
{
    if (s.gBegin >= 2011)
        return 3;
    if (s.gBegin >= 2007)
        return 2;
    if (s.gBegin == p.year && s.mBegin == p.month) {
        int d = 0, m = 0;
        ScheduleNormDayByDay(WorkSchedule::ReportingMonth, p.workSchedule(), s.dBegin,
                             std::min<int>(s.dBegin + 1, p.days()), d, m, p.doc);
        return d;
    }
    return 2;
}

// A part's row and, when the benefit is split at the percent (bit 15 of the
// payout rounding), the row of code 153 with the rest up to the earnings.
int AppendPart(CalcPass& p, const SickLeavePart& part, int code, double amount, int days)
{
    const int r = AppendRow(p, code, amount, part.month, days, 0);
    if (r < 0)
        return r;
    if ((p.base().config.okrugVypWord & 0x8000) && part.percent > 0 && part.percent < 100) {
        const int r2 = AppendRow(p, kCodeSickLeaveTopUp, (100.0 - part.percent) * amount / part.percent, part.month);
        if (r2 < 0)
            return r2;
    }
    return 0;
}

// The sheet's planned days and minutes that fall in the reporting month.
void SheetTimeInMonth(const CalcPass& p, const SickLeaveSheet& s, int& outDays, int& outMinutes)
{
    if (s.gBegin == 0 || s.mBegin == 0 || s.dBegin == 0)
        return;
    const int reportingKey = MonthKey(p.year, p.month).value();
    const int beginKey = MonthKey(s.gBegin, s.mBegin).value();
    const int endKey = s.gEnd != 0 && s.mEnd != 0 ? MonthKey(s.gEnd, s.mEnd).value() : beginKey;
    if (beginKey > reportingKey || endKey < reportingKey)
        return;
    const int from = beginKey == reportingKey ? int(s.dBegin) : 1;
    const int to = endKey == reportingKey && s.dEnd != 0 ? std::min<int>(s.dEnd, p.days()) : p.days();
    if (to < from)
        return;
    int days = 0, minutes = 0;
    ScheduleNormDayByDay(WorkSchedule::ReportingMonth, p.workSchedule(), from, to, days, minutes, p.doc);
    outDays += days;
    outMinutes += minutes;
}

// Joins consecutive parts of one month; gives the number of parts left.
int JoinMonthParts(SickLeavePart* parts, int count)
{
    int joined = 0;
    for (int j = 0; j < count && j < 8; ++j) {
        SickLeavePart* last = joined > 0 ? &parts[joined - 1] : nullptr;
        if (last && last->year == parts[j].year && last->month == parts[j].month) {
            last->amount += parts[j].amount;
            last->days += parts[j].days;
            last->minutes += parts[j].minutes;
            last->lastDay = parts[j].lastDay;
        } else {
            parts[joined++] = parts[j];
        }
    }
    return joined;
}

// A sheet of type 6: one row of code 154 with the sum of the parts, its
// hours when the benefit came in exactly two parts, else its days.
int SpecialAllowanceRow(CalcPass& p, const SickLeavePart* parts, int joined, int count)
{
    double sum = 0;
    int days = 0, minutes = 0;
    for (int j = 0; j < joined; ++j) {
        sum += parts[j].amount;
        days += parts[j].days;
        minutes += parts[j].minutes;
    }
    const int r = count == 2 ? AppendRow(p, kCodeAbsenceAtAverage, sum, p.month, 0, minutes)
                             : AppendRow(p, kCodeAbsenceAtAverage, sum, p.month, days);
    return std::min(r, 0);
}

// The parts coded by their month against the reporting month: the first
// days at the employer's cost, the rest as the benefit. The employer pays the
// first days once for a case of illness: a sheet that continues an earlier
// one is the benefit alone.
int CodedPartRows(CalcPass& p, const SickLeaveSheet& s, const SickLeavePart* parts, int joined)
{
    const int reportingKey = MonthKey(p.year, p.month).value();
    const bool employerPays = (s.vid == 0 || s.vid == 10) && s.gBegin > 2004 && s.contin == 0;
    int employerLeft = employerPays ? EmployerDays(p, s) : 0;
    for (int j = 0; j < joined; ++j) {
        const SickLeavePart& part = parts[j];
        const int key = MonthKey(part.year, part.month).value();
        const int own = std::min(employerLeft, part.days);
        employerLeft -= own;
        const double ownAmount = part.days > 0 ? part.amount * own / part.days : 0;
        if (own > 0)
            if (const int r =
                    AppendPart(p, part, SickLeavePartCode(s.vid, s.budg, key, reportingKey, true), ownAmount, own);
                r < 0)
                return r;
        if (part.days - own > 0 || own == 0)
            if (const int r = AppendPart(p, part, SickLeavePartCode(s.vid, s.budg, key, reportingKey, false),
                                         part.amount - ownAmount, part.days - own);
                r < 0)
                return r;
    }
    return 0;
}

// One sheet: its payout, its time in the month, its benefit's rows.
int SheetRows(CalcPass& p, SickLeaveSheet& s, int& outDays, int& outMinutes)
{
    if (s.mrp != 0 && s.sum != 0) {
        AccrualRow row;
        row.kod = kCodePayout;
        row.sum = RoundPayout(RoundByPayKind(s.sum, kCodePayout, p.doc), p.doc);
        row.mes = u16(p.month);
        if (const int r = AppendRowRaw(p, row); r < 0)
            return r;
    }
    SheetTimeInMonth(p, s, outDays, outMinutes);

    SickLeavePart parts[8];
    const int count = SickLeaveBenefitParts(p, s, p.rows, p.count, parts);
    if (count == kCalcSickLeaveDates)
        s.infl = 0; // the benefit computation's mark does not stand for wrong dates
    if (count < 0)
        return count;
    const int joined = JoinMonthParts(parts, count);
    if (joined == 0)
        return 0;
    if (s.vid == 6)
        return SpecialAllowanceRow(p, parts, joined, count);
    return CodedPartRows(p, s, parts, joined);
}

} // namespace

int SickLeaveRows(CalcPass& p, int& outDays, int& outMinutes, bool& hasSickLeave)
{
    auto& bln = p.base().bln;
    const int count = bln.count(p.slot);
    const int first = bln.first(p.slot);
    for (int i = 0; i < count; ++i) {
        hasSickLeave = true;
        if (const int r = SheetRows(p, bln.lines[std::size_t(first + i)], outDays, outMinutes); r < 0)
            return r;
    }
    return 0;
}

} // namespace kalvor
