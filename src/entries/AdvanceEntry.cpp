#include "entries/AdvanceEntry.h"

#include "payroll/PayKinds.h"

namespace kalvor {

namespace {

double AdvanceOf(const PayrollDoc& doc, int index)
{
    const infobase::CInfoBase& base = doc.infoBase;
    const std::size_t slot = base.list[std::size_t(index)].slot;
    return base.holdsSlot(slot) ? base.avOf(slot) : 0.0;
}

} // namespace

bool AdvanceShown(const PayrollDoc& doc, int index)
{
    const infobase::CInfoBase& base = doc.infoBase;
    if (index < 0 || index >= base.employeeCount())
        return false;
    const std::size_t slot = base.list[std::size_t(index)].slot;
    if (!base.holdsSlot(slot))
        return false;
    return AdvanceOf(doc, index) != 0 || base.attributesOf(slot).priznUv != kShownOnlyWithAdvance;
}

double AdvanceTotal(const PayrollDoc& doc, const std::vector<double>& advances)
{
    double total = 0;
    for (const double advance : advances) total += RoundByPayKind(advance, kAdvanceRoundingKind, doc);
    return total;
}

} // namespace kalvor
