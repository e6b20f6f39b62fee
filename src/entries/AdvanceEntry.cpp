#include "entries/AdvanceEntry.h"

#include "infobase/InfoBaseDb.h"
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

double MonthPayOfCard(PayrollDoc& doc, int slot)
{
    infobase::CInfoBase& base = doc.infoBase;
    if (!base.holdsSlot(slot))
        return 0;
    if (slot == int(base.currentSlot))
        return base.current.head.oklad + base.current.head.nadbav;
    // The card as the base holds it: the work file holds a record only once
    // a run has read it.
    // A card the base cannot give asks nothing: the save that follows says
    // what is wrong with the base.
    auto record = std::make_unique<infobase::EmployeeRecord>();
    try {
        infobase::LoadKonstInto(base, slot, *record);
    } catch (const db::DbError&) {
        return 0;
    }
    return record->head.oklad + record->head.nadbav;
}

QString AdvanceAboveMonthPayQuestion(PayrollDoc& doc, int slot, double kopecks)
{
    const double pay = MonthPayOfCard(doc, slot);
    if (pay <= 0 || kopecks <= pay)
        return QString();
    return QStringLiteral("Величина аванса %1 больше оклада с надбавкой по карточке работника (%2).\n"
                          "Непокрытая часть аванса останется долгом работника. Принять аванс?")
        .arg(FormatMoney(kopecks), FormatMoney(pay));
}

} // namespace kalvor
