#pragma once
// The declarations of the stored tables (see StoredTable.h), each made once.
// The schema lists them in its order of creation; the loaders and savers read
// and bind their rows through them.
#include "infobase/InfoBase.h"
#include "infobase/StoredTable.h"

namespace kalvor::infobase {

// A table whose columns are all keys, read and bound by its one user.
struct KeysOnly {};

// ---------------------------------------------------------------- firm-wide tables
const StoredTable<KeysOnly>& VersionTable();
const StoredTable<TabelRecord>& TabelTable(); // key: num (the slot)

} // namespace kalvor::infobase
