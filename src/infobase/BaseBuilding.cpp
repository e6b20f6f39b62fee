#include "infobase/BaseBuilding.h"

#include <algorithm>

namespace kalvor::infobase {

void NameShops(CInfoBase& base, std::span<const char16_t* const> names)
{
    int number = 1;
    for (const char16_t* name : names) {
        if (!CInfoBase::holdsShop(number))
            break;
        base.shopAt(number).number = u8(number);
        base.shopAt(number).name = QString::fromUtf16(name);
        ++number;
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
