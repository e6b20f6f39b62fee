#include "infobase/BaseBuilding.h"

#include <algorithm>

namespace kalvor::infobase {

void NameShops(CInfoBase& base, std::span<const char16_t* const> names)
{
    std::size_t i = 0;
    for (const char16_t* name : names) {
        if (i >= base.shops.size())
            break;
        base.shops[i].number = u8(i + 1);
        base.shops[i].name = QString::fromUtf16(name);
        ++i;
    }
}

void AddToList(CInfoBase& base, int tabN, int slot)
{
    EmployeeListEntry e;
    e.setTabN(u16(tabN));
    e.slot = u16(slot);
    base.list.push_back(e);
}

} // namespace kalvor::infobase
