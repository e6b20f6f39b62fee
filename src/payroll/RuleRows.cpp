// The firm's rule rows and their corrections of the month's rows.
#include "payroll/MonthInputParts.h"
#include "payroll/MonthInputRows.h"

#include "payroll/Criteria.h"
#include "payroll/PayKinds.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

namespace kalvor {

using namespace infobase;
using namespace monthinput;

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
        if (!RuleAppliesToEmployee(rule, 0, p.slot, covered, p.monthLengths.data(), p.doc))
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
            if (!RuleAppliesToEmployee(rule, rm == p.month ? 0 : rm, p.slot, covered, p.monthLengths.data(), p.doc))
                continue;
            const int len = p.monthLengths[std::size_t(rm)];
            double share = 1;
            if (covered[0] != 1 || covered[1] != len) {
                if (rm == p.month) {
                    if (t.rabDn != CountDayBits(31, 1, p.doc, p.slot))
                        return kCalcDayMaskMismatch;
                    share = t.rabDn == 0 ? 0.0 : double(CountDayBits(covered[1], covered[0], p.doc, p.slot)) / t.rabDn;
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

} // namespace kalvor
