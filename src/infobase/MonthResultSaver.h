#pragma once
// The saver of one employee's computed month (the calculation's store step).
#include "infobase/InfoBase.h"

namespace kalvor::infobase {

// What the month's calculation stores for the slot, together or not at all:
// the master row from the current record when withMaster, then the computed
// rows into dbo.zarp (as SaveKonst and SaveProizvZarpByRec with selector 1,
// in one transaction: one savepoint inside a caller's batch).
void SaveCalculatedMonth(CInfoBase& base, int slot, bool withMaster);

// The slot's employee keeps no results of the month: his computed rows go
// from the base (the rows of later months stay) and from the current record
// when it is his, and his amount to pay is 0. One batch, so that on a server
// it is sent with the run's other stores.
void ClearCalculatedMonth(CInfoBase& base, int slot);

} // namespace kalvor::infobase
