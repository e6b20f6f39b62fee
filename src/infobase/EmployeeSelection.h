#pragma once
// Which employees a selection concerns: an employee against the document's
// SelectionKeys (the dialog "Ключи выбора работников"). The shell's employee
// filter calls it for every employee; it reads only the information base.
#include "infobase/KalvorDocData.h"

namespace kalvor::infobase {

// 1 when the employee of record slot `slot` meets every set key of the
// document's selection keys, else 0 (0 too for a slot outside the base).
// With no key set every employee passes.
int MatchEmployeeCriteria(int slot, const KalvorDocData& doc);

} // namespace kalvor::infobase
