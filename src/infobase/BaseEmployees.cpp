#include "infobase/BaseEmployees.h"

#include "infobase/BaseChange.h"
#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"

#include <algorithm>

namespace kalvor::infobase {

namespace {

// Runs the operation in one transaction; a failure puts memory back as it
// was and passes on (a COMMIT in doubt too: memory is brought to the
// operation once the server says it made it).
template <class Change>
auto InOneTransaction(CInfoBase& base, Change change)
{
    using T = BaseTable;
    BaseChange guard(base,
                     T::Lists | T::Config | T::ShortNames | T::Attributes | T::ShopBytes | T::Tabel | T::Advances |
                         T::Lines | T::CurrentEmployee,
                     BaseChange::InDoubt::Follow);
    auto result = change();
    guard.commit();
    return result;
}

// The new entry in both orderings: by number at its sorted place, by name
// first.
void EnterInBothLists(CInfoBase& base, int tabN, int slot)
{
    EmployeeListEntry entry;
    entry.setTabN(u16(tabN));
    entry.slot = u16(slot);
    std::vector<EmployeeListEntry>& other = base.otherList;
    if (!base.nameOrder()) {
        other.insert(other.begin(), entry);
    } else {
        const auto place = std::lower_bound(other.begin(), other.end(), entry, CInfoBase::CompareEmployeesByTabN);
        other.insert(place, entry);
    }
    base.InsertEmployeeEntry(tabN, slot);
}

// The slot's own values cleared for a new employee.
void ClearSlotForNewEmployee(CInfoBase& base, int slot)
{
    base.attributesOf(slot) = EmployeeAttributes{};
    base.shopOf(slot) = 0;
    base.zar1Of(slot) = 0;
    if (base.prem.count(slot) > 0)
        base.prem.lines[std::size_t(base.prem.first(slot))] = BonusLine{};
    base.ClearCurrentRecord();
    base.currentSlot = slot;
}

// The slot's own values cleared for a removed employee.
void ClearSlotOfRemovedEmployee(CInfoBase& base, int slot)
{
    base.shortNameOf(slot).clear();
    base.tabelOf(slot) = TabelRecord{};
    base.shopOf(slot) = 0;
    base.attributesOf(slot) = EmployeeAttributes{};
    base.avOf(slot) = 0;
    base.zar1Of(slot) = 0;
}

// The slot's lines of every kind removed (bonus lines down to one empty
// line): the line tables of the kinds he had lines of are stored again, as
// later slots' lines move up.
void RemoveSlotLines(CInfoBase& base, int slot)
{
    if (base.prem.count(slot) > 0) {
        base.prem.replaceRun(slot, std::vector<BonusLine>{BonusLine{}});
        SaveLines(base, LineKind::Prem);
    }
    if (base.altTabel.count(slot) > 0) {
        base.altTabel.removeRun(slot);
        SaveLines(base, LineKind::AltTabel);
    }
    if (base.bln.count(slot) > 0) {
        base.bln.removeRun(slot);
        SaveLines(base, LineKind::Bln);
    }
    if (base.otp.count(slot) > 0) {
        base.otp.removeRun(slot);
        SaveLines(base, LineKind::Otp);
    }
}

} // namespace

int AddEmployeeToBase(CInfoBase& base, int tabN)
{
    return InOneTransaction(base, [&] {
        // A number the base holds is never entered again, whatever memory holds.
        if (StoredListHolds(base, tabN))
            throw db::DbError(db::E_DB_FAIL, NumberInBaseRefusal(tabN), QString(), QStringLiteral("Kalvor.Card"));
        const int slot = base.CheckIndexFreeSlot();
        if (slot < 0)
            return slot;
        EnterInBothLists(base, tabN, slot);
        ClearSlotForNewEmployee(base, slot);
        SaveBothLists(base);
        SaveSlotRows(base, slot);
        SaveEmployee(base, slot, base.attributesOf(slot));
        return slot;
    });
}

QString NumberInBaseRefusal(int tabN)
{
    return QStringLiteral("Работник с Таб.N %1 уже есть в базе данных. Закройте базу и откройте ее снова.").arg(tabN);
}

bool RemoveEmployeeFromBase(CInfoBase& base, int tabN)
{
    return InOneTransaction(base, [&] {
        // Found once the transaction has begun: an earlier write in doubt,
        // settled as it begins, may have brought the lists to the base.
        const int listIndex = base.FindEmployee(tabN);
        if (listIndex < 0)
            return false;
        const int slot = base.list[std::size_t(listIndex)].slot;
        DeleteEmployee(base, slot);
        base.otherList.erase(std::remove_if(base.otherList.begin(), base.otherList.end(),
                                            [slot](const EmployeeListEntry& e) { return e.slot == slot; }),
                             base.otherList.end());
        base.EraseEmployeeEntry(listIndex);
        SaveBothLists(base);
        ClearSlotOfRemovedEmployee(base, slot);
        SaveSlotRows(base, slot);
        RemoveSlotLines(base, slot);
        base.ClearCurrentRecord();
        base.currentSlot = 0;
        return true;
    });
}

} // namespace kalvor::infobase
