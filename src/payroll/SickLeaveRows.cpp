#include "payroll/SickLeaveRows.h"

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
    if (employerDays) {
        if (vid == 10)
            return 115 + when;
        return sheetSubKind != 0 ? 570 + sheetSubKind : 110 + when;
    }
    if (vid == 1)
        return 195 + when;
    if (vid == 2) {
        if (sheetSubKind != 0)
            return (when == 2 ? 650 : 640) + sheetSubKind;
        return when == 2 ? 159 : 158;
    }
    return 155 + when;
}

int SickLeaveBenefitParts(CalcPass& p, SickLeaveSheet& sheet, const AccrualRow* rows, int count, SickLeavePart* parts)
{
    SickLeaveTables tables;
    const int r = CalcSickLeaveBenefit(p.doc, sheet, tables, rows, count);
    if (r < 0)
        return r;
    int n = 0;
    for (int i = 0; i < tables.monthRows && n < 8; ++i) {
        const BenefitMonthRow& m = tables.months[std::size_t(i)];
        if (m.from == 0 && m.amount == 0)
            continue;
        SickLeavePart& part = parts[n++];
        const int ym = m.from / 32;
        part.year = ym / 16 + 1900;
        part.month = ym % 16;
        part.firstDay = m.from % 32;
        part.lastDay = m.to % 32;
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
        CalcScheduleNorm(WorkSchedule::ReportingMonth, p.base().schedules[std::size_t(p.schedule)], s.dBegin,
                         std::min<int>(s.dBegin + 1, p.days()) + kNormDayByDay, d, m, p.doc);
        return d;
    }
    return 2;
}

int AppendPart(CalcPass& p, const SickLeaveSheet& s, const SickLeavePart& part, int code, double amount, int days)
{
    const int r = AppendRow(p, code, amount, part.month, days, 0);
    if (r < 0)
        return r;
    if ((p.base().config.okrugVypWord & 0x8000) && part.percent > 0 && part.percent < 100) {
        const int r2 = AppendRow(p, 153, (100.0 - part.percent) * amount / part.percent, part.month);
        if (r2 < 0)
            return r2;
    }
    (void)s;
    return 0;
}

} // namespace

int SickLeaveRows(CalcPass& p, int& outDays, int& outMinutes, bool& hasSickLeave)
{
    auto& bln = p.base().bln;
    const int n = bln.count(p.slot);
    const int first = bln.first(p.slot);
    const int reportingKey = MonthKey(p.year, p.month);
    for (int i = 0; i < n; ++i) {
        SickLeaveSheet& s = bln.lines[std::size_t(first + i)];
        hasSickLeave = true;
        if (s.mrp != 0 && s.sum != 0) {
            AccrualRow row;
            row.kod = kCodePayout;
            row.sum = RoundPayout(RoundByPayKind(s.sum, kCodePayout, p.doc), p.doc);
            row.mes = u16(p.month);
            if (const int r = AppendRowRaw(p, row); r < 0)
                return r;
        }

        // The sheet's days in the reporting month.
        if (s.gBegin != 0 && s.mBegin != 0 && s.dBegin != 0) {
            const int beginKey = MonthKey(s.gBegin, s.mBegin);
            const int endKey = s.gEnd != 0 && s.mEnd != 0 ? MonthKey(s.gEnd, s.mEnd) : beginKey;
            if (beginKey <= reportingKey && endKey >= reportingKey) {
                const int from = beginKey == reportingKey ? int(s.dBegin) : 1;
                const int to = endKey == reportingKey && s.dEnd != 0 ? std::min<int>(s.dEnd, p.days()) : p.days();
                if (to >= from) {
                    int d = 0, m = 0;
                    CalcScheduleNorm(WorkSchedule::ReportingMonth, p.base().schedules[std::size_t(p.schedule)], from,
                                     to + kNormDayByDay, d, m, p.doc);
                    outDays += d;
                    outMinutes += m;
                }
            }
        }

        SickLeavePart parts[8];
        const int count = SickLeaveBenefitParts(p, s, p.rows, p.count, parts);
        if (count < 0)
            return count;
        // Consecutive parts of one month are joined.
        int k = 0;
        for (int j = 0; j < count && j < 8; ++j) {
            if (k > 0 && parts[k - 1].year == parts[j].year && parts[k - 1].month == parts[j].month) {
                parts[k - 1].amount += parts[j].amount;
                parts[k - 1].days += parts[j].days;
                parts[k - 1].minutes += parts[j].minutes;
                parts[k - 1].lastDay = parts[j].lastDay;
            } else {
                parts[k++] = parts[j];
            }
        }
        if (k == 0)
            continue;
        if (s.vid == 6) {
            double sum = 0;
            int days = 0, minutes = 0;
            for (int j = 0; j < k; ++j) {
                sum += parts[j].amount;
                days += parts[j].days;
                minutes += parts[j].minutes;
            }
            const int r = count == 2 ? AppendRow(p, 154, sum, p.month, 0, minutes) : AppendRow(p, 154, sum, p.month, days);
            if (r < 0)
                return r;
            continue;
        }
        int employerLeft = (s.vid == 0 || s.vid == 10) && s.gBegin > 2004 ? EmployerDays(p, s) : 0;
        for (int j = 0; j < k; ++j) {
            const SickLeavePart& part = parts[j];
            const int key = MonthKey(part.year, part.month);
            const int own = std::min(employerLeft, part.days);
            employerLeft -= own;
            const double ownAmount = part.days > 0 ? part.amount * own / part.days : 0;
            if (own > 0)
                if (const int r = AppendPart(p, s, part, SickLeavePartCode(s.vid, 0, key, reportingKey, true), ownAmount, own);
                    r < 0)
                    return r;
            if (part.days - own > 0 || own == 0)
                if (const int r = AppendPart(p, s, part, SickLeavePartCode(s.vid, 0, key, reportingKey, false),
                                             part.amount - ownAmount, part.days - own);
                    r < 0)
                    return r;
        }
    }
    return 0;
}

} // namespace kalvor
