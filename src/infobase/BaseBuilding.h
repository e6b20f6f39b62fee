#pragma once
// Steps shared by the code that builds a whole base in memory (the demo firm
// of tools/, the fixture bases of the tests and benchmarks) before it is
// stored with SaveAll.
#include "infobase/InfoBase.h"

#include <span>

namespace kalvor::infobase {

// Shops 1, 2 ... with the given names.
void NameShops(CInfoBase& base, std::span<const char16_t* const> names);
// Appends the employee of the slot to the list by personnel number.
void AddToList(CInfoBase& base, int tabN, int slot);

} // namespace kalvor::infobase
