#pragma once
// The declarations of the stored tables (see StoredTable.h), each made once.
// The schema lists them in its order of creation; the loaders and savers read
// and bind their rows through them.
#include "infobase/InfoBase.h"
#include "infobase/StoredTable.h"

#include <QVariant>

#include <array>
#include <vector>

namespace kalvor::infobase {

// A table whose columns are all keys, read and bound by its one user.
struct KeysOnly {};

// ---------------------------------------------------------------- firm-wide tables

// Rows kept in memory apart from one struct, gathered for their table.
struct MaskRow { // the masks' bytes of one code
    std::array<u8, 8> mas{};
};
struct KtuRow { // one labour participation rule; the second of each four keeps its top bits as a formula
    u16 word = 0;
    bool formulaRule = false;
};
struct ListRow { // an entry of an employee list, its record slot as stored (checked by the loader)
    EmployeeListEntry entry;
    QVariant rec;
};
struct AvZarRow { // the two averages of a slot
    double av = 0, zar1 = 0;
    friend bool operator==(const AvZarRow&, const AvZarRow&) = default;
};
struct LineRun { // an index word's run of lines, as stored (checked by the loader)
    int first = 0, count = 0;
};

const StoredTable<KeysOnly>& VersionTable();
const StoredTable<InfoBaseConfig>& ConfigTable(); // key: id
inline constexpr int kConfigRowId = 1; // the id of the configuration's one row
// The base's generation in the configuration's row (see BaseWrites.h): a
// column of its own declaration, so that no save of the configuration from
// memory writes it; added to bases made before it by a schema step.
const TableDef& GenerationColumn(); // columns: id, generation
const StoredTable<KeysOnly>& ColorTable(); // no loader or saver: the rows stay as they stand
const StoredTable<FirmInfo>& InfFirmTable(); // key: id
const StoredTable<FirmInfo>& InfParTable(); // key: id
const StoredTable<MaskRow>& MaskTable(); // key: kod
const StoredTable<KtuRow>& KtuTable(); // key: num
const StoredTable<SeniorityRule>& StagTable(); // key: num
const StoredTable<PayKind>& EntreeTable();
const StoredTable<ShopRecord>& CehTable(); // key: num
const StoredTable<WorkSchedule>& GraphTable(); // key: num
const StoredTable<ScheduleMonth>& GraMesTable(); // keys: graph, k
const StoredTable<ListRow>& SimpTable(); // keys: mass, num
// The one entry of a personnel number in a list: the unique key (mass, tabN)
// of dbo.simp, made on opening where no number stands twice (ListNumberKey).
const TableDef& ListNumberKey(); // name: the key's; columns: mass, tabN
const StoredTable<QString>& FioTable(); // key: num (the slot)
const StoredTable<EmployeeAttributes>& CompTable(); // keys: num (the slot), otd (its shop byte)
const StoredTable<TabelRecord>& TabelTable(); // key: num (the slot)
const StoredTable<AvZarRow>& AvZar1Table(); // key: num (the slot)
const StoredTable<LineRun>& IndexesTable(); // keys: vid, nom (the slot)
const StoredTable<AltTabelEntry>& AltTabelTable(); // keys: mass, num
const StoredTable<BonusLine>& PremTable(); // key: num
const StoredTable<SickLeaveSheet>& BlnTable(); // key: num
const StoredTable<VacationNote>& OtpTable(); // key: num

// ---------------------------------------------------------------- employee tables
// The master row: keys id, rec (the slot) and tabN (the list keeps it).
const StoredTable<EmployeeRecord>& KonstTable();
// "SELECT id FROM dbo.konst WHERE rec = ?": the master row's id of the slot bound.
const QString& KonstIdOfSlotSql();
// "<first key> = (SELECT id FROM dbo.konst WHERE rec = ?)": the rows of a
// detail table that belong to the slot bound.
QString RowsOfSlotSql(const TableDef& detail);
// Every employee's rows of a detail table, each after its slot, in slot
// order (then the entry's place when `numbered`; in no order unless
// `ordered`): "SELECT k.rec, d.<columns from place `from` on> FROM
// dbo.<detail> d JOIN dbo.konst k ON k.id = d.id_konst [WHERE ...] [ORDER BY
// k.rec[, d.num]]", the filter binding the slots first..last when
// `slotRange` and then a value of the detail's column `equalColumn` when one
// is named.
struct SlotRowsQuery {
    int from = 0;
    bool numbered = true;
    bool ordered = true;
    bool slotRange = false;
    QString equalColumn = {};
};
QString SlotRowsSql(const TableDef& detail, const SlotRowsQuery& query);
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
// The tables above that hold an employee's rows by id_konst, dbo.pasport first.
const std::vector<const TableDef*>& EmployeeDetailTables();

// Every table of the base, in the schema's order of creation: the version
// table first, the employee's master row before its detail tables.
const std::vector<TableDef>& SchemaTables();
// What the table holds, in the user's words ("справочник цехов"); the
// table's own name for a table that is none of the base's.
QString TableContentText(const QString& table);

} // namespace kalvor::infobase
