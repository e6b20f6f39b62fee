#pragma once
// An employee made or removed in the base as one operation: one transaction
// that writes his own rows and his entries in both lists, and never another
// employee's amounts to pay or status words from memory. A failure leaves
// the base and memory as they were. A COMMIT whose outcome is not known puts
// memory back too; should the server have made it, memory is brought to the
// operation when the write is settled (BaseWrites.h: before the next write,
// or where a screen settles it before it reads the lists).
#include "infobase/InfoBase.h"

namespace kalvor::infobase {

// Makes a new employee with personnel number tabN: the first free slot
// (negative: CheckIndexFreeSlot's refusal, already shown, nothing done), the
// entry at its place in the list by number and first in the list by name,
// the counters, the slot's attributes, shop, second average value and first
// bonus line cleared, and an empty record stored under the slot (the current
// record then). A number that a list of the base holds is refused whatever
// memory holds (db::DbError of NumberInBaseRefusal, nothing written); the
// base's key on the lists refuses it too. Returns the slot.
int AddEmployeeToBase(CInfoBase& base, int tabN);

// The refusal of a new employee whose personnel number a list of the base
// holds though memory does not: another program made him meanwhile.
QString NumberInBaseRefusal(int tabN);

// Removes the employee of personnel number tabN: his rows in every
// table, his entries in both lists, the counters, his short name, time sheet,
// attributes, shop and average values, and his lines of every kind (bonus
// lines down to one empty line; alternative time sheet, sick leave and
// vacations wholly), later slots' lines moving up and the freed tails
// cleared. The current record is cleared. False when no list holds the
// number (nothing done).
bool RemoveEmployeeFromBase(CInfoBase& base, int tabN);

} // namespace kalvor::infobase
