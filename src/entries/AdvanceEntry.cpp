#include "entries/AdvanceEntry.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/MonthEarnings.h"
#include "payroll/PayKinds.h"
#include "platform/Db.h"
#include "values/Values.h"

#include <memory>

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

QString AdvanceAboveMonthPayQuestion(PayrollDoc& doc, int slot, double kopecks)
{
    infobase::CInfoBase& base = doc.infoBase;
    if (!base.holdsSlot(slot))
        return QString();
    const infobase::EmployeeAttributes& attributes = base.attributesOf(slot);
    if (slot == int(base.currentSlot))
        return AdvanceAboveEarningsQuestion(kopecks, MonthEarningsOf(doc, CardPayOf(base.current.head, attributes)));
    // The card as the base holds it: the work file holds a record only once
    // a run has read it.
    auto record = std::make_unique<infobase::EmployeeRecord>();
    try {
        infobase::LoadKonstInto(base, slot, *record);
    } catch (const db::DbError&) {
        return QString();
    }
    return AdvanceAboveEarningsQuestion(kopecks, MonthEarningsOf(doc, CardPayOf(record->head, attributes)));
}

} // namespace kalvor
