#include "print/BonusCalculation.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "payroll/Bases.h"
#include "payroll/BrigadeShare.h"
#include "payroll/CalcErrors.h"
#include "payroll/CalcTypes.h"
#include "payroll/PayKinds.h"
#include "payroll/Rounding.h"
#include "print/PrintSelection.h"
#include "values/Messages.h"

namespace kalvor::print {

using infobase::BonusLine;
using infobase::CInfoBase;

namespace {

// The lines of a bonus line's percent are hundredths of a percent.
double PercentFraction(const BonusLine& line) { return line.sum / 10'000.0; }

// A base of the current record: the reporting month with its rows
// (monthsBefore 0), or the months before the reporting month.
int MaskBase(const PayrollDoc& doc, int monthsBefore, int selector, double& base)
{
    int count = 0;
    double time = 0;
    const auto& rows = doc.infoBase.current.rows;
    base = monthsBefore == 0 ? CalcBaseBySelector(0, 0, selector, count, time, rows.data(), int(rows.size()), doc)
                             : CalcBaseBySelector(0, monthsBefore, selector, count, time, nullptr, 0, doc);
    return count < 0 ? count : 0;
}

// The base of a percent line (type 1) of the current record.
int PercentLineBase(const PayrollDoc& doc, const BonusLine& line, double& base)
{
    const int selector = 20 + line.mask;
    const int month = doc.infoBase.config.reportingMonth();
    if (line.kod == kCodeQuarterBonus) {
        // The previous quarter: the months from (month within the quarter)
        // to (month within the quarter + 2) before the reporting month.
        const int inQuarter = (month - 1) % 3 + 1;
        double upTo = 0, nearer = 0;
        if (const int r = MaskBase(doc, inQuarter + 2, selector, upTo); r < 0)
            return r;
        if (inQuarter > 1)
            if (const int r = MaskBase(doc, inQuarter - 1, selector, nearer); r < 0)
                return r;
        base = upTo - nearer;
        return 0;
    }
    if (line.kod == kCodeYearBonus) {
        base = YearlyBonusBase(doc.infoBase.current, doc.infoBase.firm, doc.infoBase.config.reportingYear(), month,
                               selector);
        return 0;
    }
    if (line.mes == 0)
        return MaskBase(doc, 0, selector, base);
    // The k-th month before the reporting month alone: k months back less
    // the k - 1 nearer ones.
    double upTo = 0, nearer = 0;
    if (const int r = MaskBase(doc, line.mes, selector, upTo); r < 0)
        return r;
    if (line.mes > 1)
        if (const int r = MaskBase(doc, line.mes - 1, selector, nearer); r < 0)
            return r;
    base = upTo - nearer;
    return 0;
}

// Stops the run on an employee of the selection with more bonus lines than
// the cursor can address.
void RefuseLongBonusLists(const StatementPrintParams& params, const PayrollDoc& doc)
{
    const CInfoBase& base = doc.infoBase;
    for (int employee = NextEmployeeInSelection(-1, doc, params.shop, params.brigade, params.profession); employee >= 0;
         employee = NextEmployeeInSelection(employee, doc, params.shop, params.brigade, params.profession)) {
        const infobase::EmployeeListEntry& entry = base.list[std::size_t(employee)];
        if (base.prem.count(entry.slot) <= kBonusCursorStride)
            continue;
        throw TextError(QStringLiteral("У работника %1 (табельный номер %2) больше %3 строк премий")
                            .arg(base.shortNameOf(entry.slot).trimmed())
                            .arg(entry.tabN())
                            .arg(kBonusCursorStride));
    }
}

} // namespace

int BonusLineAmount(PayrollDoc& doc, int slot, const BonusLine& line, double& amount)
{
    amount = 0;
    if (line.procent != 0 || line.nalog)
        infobase::LoadEmployee(doc.infoBase, slot);
    switch (line.procent) {
    case 0: amount = line.sum; return 0;
    case 1: {
        double base = 0;
        if (const int r = PercentLineBase(doc, line, base); r < 0)
            return r;
        amount = RoundWhole(PercentFraction(line) * base);
        return 0;
    }
    case 2: amount = RoundWhole(PercentFraction(line) * doc.infoBase.current.head.oklad); return 0;
    case 3:
    case 4:
    case 5: return BrigadeBonusShare(doc, slot, line, amount);
    default: return 0;
    }
}

int CalcBonusAmounts(const StatementPrintParams& params, PayrollDoc& doc, int selector,
                     infobase::BySlot<double>& amounts)
{
    CInfoBase& base = doc.infoBase;
    amounts = infobase::BySlot<double>(base.slotCount());
    RefuseLongBonusLists(params, doc);
    const bool everyMarkedKind = selector < 0;
    const int markedOnly = everyMarkedKind ? 0 : selector;
    for (int cursor = NextBonusLineInSelection(-1, doc, params.shop, params.brigade, params.profession); cursor >= 0;
         cursor = NextBonusLineInSelection(cursor, doc, params.shop, params.brigade, params.profession)) {
        const int employee = cursor / kBonusCursorStride;
        if (!EmployeeInStatement(base, employee, params, markedOnly))
            continue;
        const int slot = base.list[std::size_t(employee)].slot;
        const BonusLine line = base.prem.lines[std::size_t(base.prem.first(slot) + cursor % kBonusCursorStride)];
        if (line.sum == 0 || line.mrp == 0)
            continue;
        if (!everyMarkedKind && params.payKind != 0 && line.kod != params.payKind)
            continue;
        const infobase::PayKind* kind = PayKindOf(doc, line.kod);
        if (kind == nullptr)
            return kCalcUnknownCode;
        if (everyMarkedKind && !kind->mark())
            continue;
        double amount = 0;
        if (const int r = BonusLineAmount(doc, slot, line, amount); r < 0)
            return r;
        amounts[slot] += RoundPayout(RoundByPayKind(amount, kCodePayout, doc), doc);
    }
    return 0;
}

} // namespace kalvor::print
