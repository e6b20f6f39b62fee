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

// ---------------------------------------------------------------- employee tables
// The master row: keys id, rec (the slot) and tabN (the list keeps it).
const StoredTable<EmployeeRecord>& KonstTable();
// The detail tables, key id_konst (the master row's id), then num (the
// entry's place in its block) where the table holds several rows.
const StoredTable<EmployeeHead>& PasportTable();
const StoredTable<NalvichEntry>& NalvichTable();
const StoredTable<PostDoplEntry>& PostDoplTable();
const StoredTable<SberRow>& SberTable();
const StoredTable<IspolBlock::Writ>& IspolTable();
const StoredTable<SsudBlock::Loan>& SsudTable();
const StoredTable<WariaEntry>& WariaTable();
const StoredTable<WarDatEntry>& WarDatTable();
const StoredTable<AccrualRow>& ProizvTable(); // the month's input rows
const StoredTable<AccrualRow>& ZarpTable(); // the computed rows, the same columns

} // namespace kalvor::infobase
