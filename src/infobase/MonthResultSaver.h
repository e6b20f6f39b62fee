#pragma once
// The saver of one employee's computed month (the calculation's store step).
#include "infobase/InfoBase.h"

namespace kalvor::infobase {

// What the month's calculation stores for the slot, together or not at all:
// the master row from the current record when withMaster, then the computed
// rows into dbo.zarp (as SaveKonst and SaveProizvZarpByRec with selector 1,
// in one transaction: one savepoint inside a caller's batch).
void SaveCalculatedMonth(CInfoBase& base, int slot, bool withMaster);

} // namespace kalvor::infobase
