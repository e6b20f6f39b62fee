// The rows of the bonuses: fixed, a percent of a base, of the rate, or a
// share of a brigade's fund by the labour-participation rules.
#include "infobase/PayKindCodes.h"
#include "payroll/MonthInputParts.h"
#include "payroll/MonthInputRows.h"

#include "payroll/Bases.h"
#include "payroll/BrigadeShare.h"
#include "payroll/Criteria.h"
#include "payroll/IncomeTax.h"
#include "payroll/MonthRate.h"
#include "payroll/PayKinds.h"
#include "payroll/Rounding.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <algorithm>
#include <vector>

namespace kalvor {

using namespace infobase;
using namespace monthinput;

namespace {

// A bonus paid out at once: the bonus less the employee's pension
// contribution, the income tax at the employee's marginal rate and the
// writs' percents.
int BonusPayout(CalcPass& p, const BonusLine& b, const PayKind& kind, double bonus)
{
    if (b.mrp == 0 || !IsAccrualCode(b.kod) || b.kod == kCodeUnpaid)
        return 0;
    double net = bonus;
    // The employee's pension contribution on the whole roubles of the bonus,
    // as the month's contribution takes it of the kinds that carry it (the
    // tax tables from 19 on pay none).
    if (kind.g11 && p.rec().head.tabPodoh < 19)
        net -= SplitRoublesKopecks(0, bonus) * p.base().firm.procPens / 100.0;
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
}

// A percent of the base of the line's mask: for code 7 in the second and
// third month of a quarter the quarter's earlier months are taken off; code
// 172 takes a twelfth of the year.
int PercentOfBase(CalcPass& p, const BonusLine& b, double& amount)
{
    int count = 0;
    double time = 0;
    double base = PassBase(p, 0, 0, 20 + b.mask, count, time);
    if (count < 0)
        return count;
    if (b.kod == kCodeQuarterBonus && (p.month - 1) % 3 != 0) {
        int earlierCount = 0;
        double earlierTime = 0;
        const double earlier = PassBase(p, 0, (p.month - 1) % 3, 20 + b.mask, earlierCount, earlierTime);
        if (earlierCount < 0)
            return earlierCount;
        base -= earlier;
    } else if (b.kod == kCodeYearBonus) {
        base = YearlyBonusBase(p.rec(), p.base().firm, p.year, p.month, 20 + b.mask);
    }
    amount = base * b.sum / 10000.0;
    return 0;
}

// A brigade bonus: the employee's share of the fund, carrying the time
// sheet's time when no time row of the month carries it; a holiday
// surcharge on the share for the planned holiday time; the payout.
int BrigadeBonusRows(CalcPass& p, const BonusLine& b, const PayKind& kind)
{
    double amount = 0;
    if (const int r = BrigadeBonusShare(p.doc, p.slot, b, amount, p.options.brigades); r < 0)
        return r;
    if (amount <= 0)
        return 0;
    const TabelRecord& t = p.tabel();
    bool timeCarried = false;
    for (int j = 0; j < p.count; ++j)
        timeCarried = timeCarried || (IsPieceWorkCode(p.rows[j].kod) && p.rows[j].mes == p.month &&
                                      (p.rows[j].dn != 0 || RowMinutes(p.rows[j]) != 0));
    const bool carry = p.paymentSystem <= 2 && !timeCarried;
    const int kept = AppendRow(p, b.kod, amount, p.month, carry ? t.rabDn : 0, carry ? t.rabHr : 0);
    if (kept < 0)
        return kept;
    const double bonus = kept ? p.rows[p.count - 1].sum : 0;
    const int planned = t.prPlanHr != 0 ? t.prPlanHr : t.prPlanDn * p.dayLength;
    const int worked = t.rabHr != 0 ? t.rabHr : t.rabDn * p.dayLength;
    if (planned != 0 && worked != 0)
        if (const int r = AppendRow(p, kCodeHolidayTimeBonus, amount / worked * planned, p.month, 0, 0, b.ceh); r < 0)
            return r;
    return kept ? BonusPayout(p, b, kind, bonus) : 0;
}

// One bonus line: fixed (0), a percent of a base (1), of the rate (2), or a
// brigade share (3 and above).
int BonusLineRows(CalcPass& p, const BonusLine& b)
{
    const PayKind* kind = PayKindOf(p.doc, b.kod);
    if (!kind)
        return kCalcUnknownCode;
    double amount = 0;
    switch (b.procent) {
    case 0: amount = b.sum; break;
    case 1:
        if (const int r = PercentOfBase(p, b, amount); r < 0)
            return r;
        break;
    case 2: amount = p.rec().rates[0].rate * b.sum / 10000.0; break;
    default: return BrigadeBonusRows(p, b, *kind);
    }
    const int kept = AppendRow(p, b.kod, amount, p.month);
    if (kept <= 0)
        return kept;
    return BonusPayout(p, b, *kind, p.rows[p.count - 1].sum);
}

} // namespace

int BonusRows(CalcPass& p)
{
    const auto& prem = p.base().prem;
    const int count = prem.count(p.slot);
    const int first = prem.first(p.slot);
    for (int i = 0; i < count; ++i) {
        const BonusLine b = prem.lines[std::size_t(first + i)];
        if (b.kod == 0 || b.sum == 0 || b.mrp == 2)
            continue;
        if (const int r = BonusLineRows(p, b); r < 0)
            return r;
    }
    return 0;
}

} // namespace kalvor
