#pragma once
// A base's per-slot arrays and books taken whole, slot 1 or record 1 first,
// read through their accessors: for a test that keeps an array to compare
// with it later.
#include "infobase/InfoBase.h"

#include <array>
#include <type_traits>
#include <vector>

namespace kalvor::infobase {

// Every slot's value as `of` reads it from the base, slot 1 first.
template <class Of>
auto EverySlot(const CInfoBase& base, Of of)
{
    std::vector<std::decay_t<decltype(of(base, 1))>> values;
    values.reserve(std::size_t(base.slotCount()));
    for (int slot = 1; slot <= base.slotCount(); ++slot) values.push_back(of(base, slot));
    return values;
}

inline std::vector<QString> EveryShortName(const CInfoBase& base)
{
    return EverySlot(base, [](const CInfoBase& b, int slot) { return b.shortNameOf(slot); });
}
inline std::vector<EmployeeAttributes> EveryAttributes(const CInfoBase& base)
{
    return EverySlot(base, [](const CInfoBase& b, int slot) { return b.attributesOf(slot); });
}
inline std::vector<u8> EveryShopByte(const CInfoBase& base)
{
    return EverySlot(base, [](const CInfoBase& b, int slot) { return b.shopOf(slot); });
}
inline std::vector<TabelRecord> EveryTabel(const CInfoBase& base)
{
    return EverySlot(base, [](const CInfoBase& b, int slot) { return b.tabelOf(slot); });
}
inline std::vector<double> EveryAdvance(const CInfoBase& base)
{
    return EverySlot(base, [](const CInfoBase& b, int slot) { return b.avOf(slot); });
}
inline std::vector<double> EveryPayout(const CInfoBase& base)
{
    return EverySlot(base, [](const CInfoBase& b, int slot) { return b.zar1Of(slot); });
}

// The shop book and the work schedules whole, in number order.
inline std::array<ShopRecord, CInfoBase::ShopCount> EveryShop(const CInfoBase& base)
{
    std::array<ShopRecord, CInfoBase::ShopCount> shops;
    for (int number = 1; number <= CInfoBase::ShopCount; ++number)
        shops[SlotPlace(number, shops.size())] = base.shopAt(number);
    return shops;
}
inline std::array<WorkSchedule, CInfoBase::ScheduleCount> EverySchedule(const CInfoBase& base)
{
    std::array<WorkSchedule, CInfoBase::ScheduleCount> schedules;
    for (int number = 1; number <= CInfoBase::ScheduleCount; ++number)
        schedules[SlotPlace(number, schedules.size())] = base.scheduleAt(number);
    return schedules;
}

// Gives every slot of one array its value from `values` (slot 1 first, as
// long as the base's arrays), through `of`, the array's accessor.
template <class T, class Of>
void SetEverySlot(CInfoBase& base, const std::vector<T>& values, Of of)
{
    for (int slot = 1; slot <= base.slotCount(); ++slot) of(base, slot) = values[SlotPlace(slot, values.size())];
}

} // namespace kalvor::infobase
