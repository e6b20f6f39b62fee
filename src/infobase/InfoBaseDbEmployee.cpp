// The employee's record in the base: dbo.konst with dbo.pasport and the
// detail tables, loaded block by block and saved in one transaction.
#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/MonthResultSaver.h"
#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbTransaction.h"

#include "values/Values.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <type_traits>

namespace kalvor::infobase {

namespace detail {

QVariant DateValue(u16 packed)
{
    if (packed == 0)
        return QVariant(QMetaType(QMetaType::QString));
    const PackedDate d(packed);
    const int year = WidenTwoDigitYear(d.yearField());
    if (year < 0 || year > 9999)
        return QString::asprintf("%04d-%02d-%02d", year, d.month(), d.day());
    // The same text put digit by digit: a save binds one for every date of
    // every employee. Month (0 .. 15) and day (0 .. 31) have two digits.
    const char16_t text[] = {char16_t(u'0' + year / 1000),
                             char16_t(u'0' + year / 100 % 10),
                             char16_t(u'0' + year / 10 % 10),
                             char16_t(u'0' + year % 10),
                             u'-',
                             char16_t(u'0' + d.month() / 10),
                             char16_t(u'0' + d.month() % 10),
                             u'-',
                             char16_t(u'0' + d.day() / 10),
                             char16_t(u'0' + d.day() % 10)};
    return QString(reinterpret_cast<const QChar*>(text), qsizetype(std::size(text)));
}

namespace {

// The digits of text[from, from + count) as a number; -1 when one is no digit.
int DigitsAt(const QString& text, int from, int count)
{
    int v = 0;
    for (int i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        v = v * 10 + (c - u'0');
    }
    return v;
}

// A date in the form that the base keeps, YYYY-MM-DD, read without the
// expressions below (which read it the same).
bool KeptDate(const QString& text, int& day, int& month, int& year)
{
    if (text.size() < 10 || text[4] != u'-' || text[7] != u'-')
        return false;
    const int y = DigitsAt(text, 0, 4), m = DigitsAt(text, 5, 2), d = DigitsAt(text, 8, 2);
    if (y < 0 || m < 0 || d < 0)
        return false;
    year = y;
    month = m;
    day = d;
    return true;
}

// The attributes of the slot; blank for a slot that is not the base's.
EmployeeAttributes slotAttributes(const CInfoBase& base, int slot)
{
    return base.holdsSlot(slot) ? base.attributesOf(slot) : EmployeeAttributes{};
}

} // namespace

u16 PackedFromDateValue(const QVariant& value)
{
    if (value.isNull())
        return 0;
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return 0;
    int day = 0, month = 0, year = 0;
    static const QRegularExpression iso(QStringLiteral("^(\\d{1,4})-(\\d{1,2})-(\\d{1,2})"));
    static const QRegularExpression dmy(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{1,4})$"));
    if (KeptDate(text, day, month, year)) {
        // the form the base keeps
    } else if (const auto m = iso.match(text); m.hasMatch()) {
        year = m.captured(1).toInt();
        month = m.captured(2).toInt();
        day = m.captured(3).toInt();
    } else if (const auto m2 = dmy.match(text); m2.hasMatch()) {
        day = m2.captured(1).toInt();
        month = m2.captured(2).toInt();
        year = m2.captured(3).toInt();
    } else {
        return 0;
    }
    if (year == 1900 && month == 1 && day == 1)
        return 0; // the old base's empty date
    return PackedDate::pack(day, month, year).value;
}

QString TextDateLoaded(const QString& text)
{
    const QString t = text.trimmed();
    if (t == QLatin1String("1.1.1900") || t == QLatin1String("01.01.1900"))
        return QString();
    return text;
}

u16 ArchiveCount(int stored) { return u16(std::clamp(stored, 0, EmployeeRecord::ArchiveCapacity)); }

namespace {

// Copies the passport fields of the head (those of dbo.pasport).
void copyPasport(const EmployeeHead& from, EmployeeHead& to)
{
    for (auto m :
         {&EmployeeHead::strahPolis, &EmployeeHead::INN,        &EmployeeHead::gitPhone,  &EmployeeHead::pol,
          &EmployeeHead::dolgName,   &EmployeeHead::dolgDat,    &EmployeeHead::pspKod,    &EmployeeHead::pspStr,
          &EmployeeHead::pspSer,     &EmployeeHead::pspNom,     &EmployeeHead::pspDat,    &EmployeeHead::pspKem,
          &EmployeeHead::bdStr,      &EmployeeHead::bdReg,      &EmployeeHead::bdRaj,     &EmployeeHead::bdGorod,
          &EmployeeHead::propKodStr, &EmployeeHead::propKodReg, &EmployeeHead::propReg,   &EmployeeHead::propRaj,
          &EmployeeHead::propGorod,  &EmployeeHead::propPunkt,  &EmployeeHead::propUl,    &EmployeeHead::propDom,
          &EmployeeHead::propKorp,   &EmployeeHead::propKv,     &EmployeeHead::propInd,   &EmployeeHead::GNI,
          &EmployeeHead::gitKodStr,  &EmployeeHead::gitInd,     &EmployeeHead::gitAdr,    &EmployeeHead::kuplAdr,
          &EmployeeHead::dogNom,     &EmployeeHead::invSprSer,  &EmployeeHead::invSprNom, &EmployeeHead::invSprDat})
        to.*m = from.*m;
    to.married = from.married;
    to.children = from.children;
}

// A month row's fields (proizv has zarp's columns).
void bindRow(Binder& b, const AccrualRow& a) { ZarpTable().bind(a, b); }

// The employee's rows of the table deleted (none to delete under a new master row).
void deleteRows(const QSqlDatabase& db, const TableDef& table, const MasterRow& owner)
{
    if (owner.fresh)
        return;
    db::RawStatementFor(db, TableDeleteByEmployeeSql(table)).bind(0, owner.id).exec();
}

db::RawStatement& inserter(const QSqlDatabase& db, const TableDef& table)
{
    return db::RawStatementFor(db, TableInsertSql(table));
}

} // namespace

qint64 KonstId(const QSqlDatabase& db, int slot)
{
    return db::RawStatementFor(db, KonstIdOfSlotSql()).bind(0, slot).selectInt64();
}

MasterRow WriteKonst(RecordRows& rows, int slot, int tabN, const EmployeeRecord& rec)
{
    const QSqlDatabase& db = rows.db();
    const qint64 id = KonstId(db, slot);
    // The statements' texts, built once.
    static const QString update = [] {
        const TableDef& t = KonstTable().def();
        return UpdateColumnsSql(t, t.columns.mid(2), ColumnEqualsSql(t, 0));
    }();
    static const QString insert = InsertSql(KonstTable().def(), 1);
    if (id != 0) {
        // On a server the stored row's update goes with the record's other
        // rows, in their round trip: nothing of its answer is needed.
        auto bindUpdate = [&](Binder b) {
            b << tabN;
            KonstTable().bind(rec, b);
            b << id;
        };
        if (db::Batch* batch = rows.batch()) {
            bindUpdate(Binder(batch->add(update)));
        } else {
            db::RawStatement& up = db::RawStatementFor(db, update);
            bindUpdate(Binder(up));
            up.exec();
        }
        return {id, false};
    }
    db::RawStatement& ins = db::RawStatementFor(db, insert);
    Binder b(ins);
    b << slot << tabN;
    KonstTable().bind(rec, b);
    ins.exec();
    return {ins.lastInsertId(), true};
}

MasterRow WriteKonst(const QSqlDatabase& db, int slot, int tabN, const EmployeeRecord& rec)
{
    RecordRows rows(db);
    const MasterRow owner = WriteKonst(rows, slot, tabN, rec);
    rows.run();
    return owner;
}

RecordRows::RecordRows(const QSqlDatabase& db) : db_(db)
{
    if (db::IsServer(db))
        batch_.emplace(db);
}

void RecordRows::run()
{
    if (batch_)
        batch_->run();
}

namespace {

// The employee's rows of a table in place of his stored ones: each element
// of `items` that `skip` does not take out, bound by `bindItem` after the
// master row's id.
template <class Items, class Skip, class BindItem>
void replaceRows(RecordRows& rows, const MasterRow& owner, const TableDef& table, const Items& items, Skip skip,
                 BindItem bindItem)
{
    db::Batch* batch = rows.batch();
    if (batch && !owner.fresh)
        batch->add(TableDeleteByEmployeeSql(table)).bind(0, owner.id);
    if (!batch)
        deleteRows(rows.db(), table, owner);
    const QString& insert = TableInsertSql(table);
    db::RawStatement* ins = batch ? nullptr : &inserter(rows.db(), table);
    for (std::size_t i = 0; i < std::size(items); ++i) {
        if (skip(items[i]))
            continue;
        Binder b = batch ? Binder(batch->add(insert)) : Binder(*ins);
        b << owner.id;
        bindItem(b, i, items[i]);
        if (ins)
            ins->exec();
    }
}

// The employee's rows of a detail table in place of his stored ones: every
// element of `items` that is not empty, numbered from 1 by its place.
template <class Row, class Items, class IsEmpty>
void writeDetailRows(RecordRows& rows, const MasterRow& owner, const StoredTable<Row>& declared, const Items& items,
                     IsEmpty isEmpty)
{
    replaceRows(rows, owner, declared.def(), items, isEmpty, [&](Binder& b, std::size_t i, const Row& item) {
        b << int(i + 1);
        declared.bind(item, b);
    });
}

} // namespace

void WritePasport(RecordRows& rows, const MasterRow& owner, const EmployeeHead& h)
{
    const std::array<const EmployeeHead*, 1> heads{&h};
    replaceRows(
        rows, owner, PasportTable().def(), heads, [](const EmployeeHead*) { return false; },
        [](Binder& b, std::size_t, const EmployeeHead* head) { PasportTable().bind(*head, b); });
}

namespace {

// An element equal to the empty one. The archives hold 1,200 entries each,
// nearly all of them empty since they were made (their bytes all zero): a
// plain element whose bytes equal the empty one's has its fields, so those
// are told without comparing field by field; any other goes by its fields.
constexpr auto kBlank = [](const auto& e) {
    using Element = std::remove_cvref_t<decltype(e)>;
    static const Element blank{};
    if constexpr (std::is_trivially_copyable_v<Element>)
        if (std::memcmp(&e, &blank, sizeof(Element)) == 0)
            return true;
    return e == blank;
};
constexpr auto kIsEmpty = [](const auto& e) { return e.isEmpty(); };

} // namespace

void WriteNalvich(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec)
{
    writeDetailRows(rows, owner, NalvichTable(), rec.nalvich, kIsEmpty);
}

void WritePostDopl(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec)
{
    writeDetailRows(rows, owner, PostDoplTable(), rec.postDopl, kBlank);
}

void WriteSber(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec)
{
    writeDetailRows(rows, owner, SberTable(), rec.sber, kIsEmpty); // empty rows are not stored
}

void WriteIspol(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec)
{
    writeDetailRows(rows, owner, IspolTable(), rec.ispol.writs, kBlank);
}

void WriteSsud(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec)
{
    writeDetailRows(rows, owner, SsudTable(), rec.ssud.loans, kBlank);
}

void WriteWaria(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec)
{
    writeDetailRows(rows, owner, WariaTable(), rec.waria, kBlank);
}

void WriteWarDat(RecordRows& rows, const MasterRow& owner, const WarDatBlock& block)
{
    writeDetailRows(rows, owner, WarDatTable(), block.entries, kBlank);
}

namespace {

// Calls use(num, row) for each month row from..to - 1 of the record that is
// stored: all-zero rows are not; num keeps the others' places.
template <class Use>
void forStoredRows(const EmployeeRecord& rec, int from, int to, Use use)
{
    for (int i = from; i < std::min(to, int(EmployeeRecord::RowCount)); ++i)
        if (const AccrualRow& a = rec.rows[std::size_t(i)]; !(a == AccrualRow{}))
            use(i, a);
}

// The month rows from..to - 1 of the record as rows of `insert`, each bound
// as the employee's key, its number and its fields.
void addRowInserts(db::Batch& batch, const QString& insert, qint64 key, const EmployeeRecord& rec, int from, int to)
{
    forStoredRows(rec, from, to, [&](int num, const AccrualRow& a) {
        Binder b(batch.add(insert));
        b << key << num;
        bindRow(b, a);
    });
}

// Calls use(table, from, to) for the tables of the month rows named:
// proizv with rows 0 .. kvProizv - 1, zarp with the others.
template <class Use>
void forRowTables(int kvProizv, RowTables tables, Use use)
{
    if (tables != RowTables::Results)
        use(ProizvTable().def(), 0, kvProizv);
    if (tables != RowTables::Input)
        use(ZarpTable().def(), kvProizv, int(EmployeeRecord::RowCount));
}

} // namespace

void WriteRows(db::Batch& batch, const MasterRow& owner, const EmployeeRecord& rec, int kvProizv, RowTables tables)
{
    forRowTables(kvProizv, tables, [&](const TableDef& def, int from, int to) {
        if (!owner.fresh)
            batch.add(TableDeleteByEmployeeSql(def)).bind(0, owner.id);
        addRowInserts(batch, TableInsertSql(def), owner.id, rec, from, to);
    });
}

void WriteRows(RecordRows& rows, const MasterRow& owner, const EmployeeRecord& rec, int kvProizv, RowTables tables)
{
    if (db::Batch* batch = rows.batch()) {
        WriteRows(*batch, owner, rec, kvProizv, tables);
        return;
    }
    // On a base file the rows go straight into the caller's transaction, as
    // the other tables' rows do, each statement looked up once.
    const QSqlDatabase& db = rows.db();
    forRowTables(kvProizv, tables, [&](const TableDef& def, int from, int to) {
        deleteRows(db, def, owner);
        db::RawStatement& ins = inserter(db, def);
        forStoredRows(rec, from, to, [&](int num, const AccrualRow& a) {
            Binder b(ins);
            b << owner.id << num;
            bindRow(b, a);
            ins.exec();
        });
    });
}

bool Selected(const CInfoBase& base, const EmployeeListEntry& e, const Selection& s, bool markedOnly)
{
    if (!base.holdsSlot(e.slot))
        return false;
    if (markedOnly && !e.marked())
        return false;
    if (s.tabN != 0 && e.tabN() != s.tabN)
        return false;
    return base.EmployeeInGroup(e.slot, s.shop, s.brigade, s.profession);
}

// ---------------------------------------------------------------- loaders

namespace {

// What the reading of one record's detail rows carries from row to row: the
// archive's period (on: entries of that period packed from the first place,
// `packed` of them so far) and, when given, the list of the computed rows as
// stored.
struct DetailReading {
    int from = 0, to = 0;
    bool on = false;
    int packed = 0;
    NumberedRows* results = nullptr;
};

// Readers of one row of a detail table, the reader standing after id_konst.
void readPasportRow(Reader& r, EmployeeRecord& rec, DetailReading&) { PasportTable().read(rec.head, r); }

// The entry of a block that the row's num (1 ..) names; rows beyond the block are skipped.
template <class Entry, std::size_t N>
void readNumbered(Reader& r, std::array<Entry, N>& block, const StoredTable<Entry>& table)
{
    const int num = r.n();
    if (num >= 1 && num <= int(N))
        table.read(block[std::size_t(PlaceOfNumber(num))], r);
}

void readNalvichRow(Reader& r, EmployeeRecord& rec, DetailReading&) { readNumbered(r, rec.nalvich, NalvichTable()); }
void readPostDoplRow(Reader& r, EmployeeRecord& rec, DetailReading&) { readNumbered(r, rec.postDopl, PostDoplTable()); }
void readSberRow(Reader& r, EmployeeRecord& rec, DetailReading&) { readNumbered(r, rec.sber, SberTable()); }
void readIspolRow(Reader& r, EmployeeRecord& rec, DetailReading&) { readNumbered(r, rec.ispol.writs, IspolTable()); }
void readSsudRow(Reader& r, EmployeeRecord& rec, DetailReading&) { readNumbered(r, rec.ssud.loans, SsudTable()); }

void readWariaRow(Reader& r, EmployeeRecord& rec, DetailReading& f)
{
    const int num = r.n();
    WariaEntry e;
    WariaTable().read(e, r);
    if (f.on) {
        // An entry belongs to the period by its accrual month or by its
        // payment month: which one dates it is the reader's rule (the firm's
        // by-accrual-month flag), so both kinds come along.
        const int accrued = MonthIndex(e.god, e.mes);
        const int paid = e.godVyd != 0 ? MonthIndex(e.godVyd, e.mesVyd) : 0;
        const bool inPeriod = (accrued >= f.from && accrued <= f.to) || (paid != 0 && paid >= f.from && paid <= f.to);
        if (e.god == 0 || !inPeriod)
            return;
        if (f.packed < int(rec.waria.size()))
            rec.waria[std::size_t(f.packed++)] = e;
    } else if (num >= 1 && num <= int(rec.waria.size())) {
        rec.waria[std::size_t(PlaceOfNumber(num))] = e;
    }
}

// A month row, numbered from 0, of proizv or zarp.
template <const StoredTable<AccrualRow>& (*table)()>
void readRowsRow(Reader& r, EmployeeRecord& rec, DetailReading&)
{
    const int num = r.n();
    if (num < 0 || num >= EmployeeRecord::RowCount)
        return;
    table().read(rec.rows[std::size_t(num)], r);
}

// A computed row (dbo.zarp) into its place, and into the list of those read
// as it is stored when the list is kept.
void readResultRow(Reader& r, EmployeeRecord& rec, DetailReading& f)
{
    if (!f.results) {
        readRowsRow<ZarpTable>(r, rec, f);
        return;
    }
    const int num = r.n();
    AccrualRow row;
    ZarpTable().read(row, r);
    f.results->emplace_back(num, row);
    if (num >= 0 && num < EmployeeRecord::RowCount)
        rec.rows[std::size_t(num)] = row;
}

// The table of a declaration, for a list of tables of several row types.
template <auto declaration>
const TableDef& defOf()
{
    return declaration().def();
}

struct DetailTable {
    unsigned block;
    const TableDef& (*table)();
    void (*read)(Reader&, EmployeeRecord&, DetailReading&);
    // The rows of a block are numbered; dbo.pasport holds one row.
    bool numbered() const { return block != BPasport; }
};

const DetailTable kDetails[] = {
    {BPasport, defOf<PasportTable>, readPasportRow},
    {BNalvich, defOf<NalvichTable>, readNalvichRow},
    {BPostDopl, defOf<PostDoplTable>, readPostDoplRow},
    {BSber, defOf<SberTable>, readSberRow},
    {BIspol, defOf<IspolTable>, readIspolRow},
    {BSsud, defOf<SsudTable>, readSsudRow},
    {BWaria, defOf<WariaTable>, readWariaRow},
    {BInputRows, defOf<ProizvTable>, readRowsRow<ProizvTable>}, // the month's input rows, before kvProizv
    {BResultRows, defOf<ZarpTable>, readResultRow}, // the computed rows, from kvProizv on
};
constexpr int kDetailCount = int(std::size(kDetails));

// Clears the chosen blocks of the record (the head's passport and master
// fields apart).
void clearBlocks(unsigned blocks, EmployeeRecord& rec)
{
    if (blocks & BKonst) {
        // The passport's fields are kept only when they are not read again.
        if (blocks & BPasport) {
            rec.head = EmployeeHead{};
        } else {
            const EmployeeHead keep = rec.head;
            rec.head = EmployeeHead{};
            copyPasport(keep, rec.head);
        }
        rec.rates = {};
    } else if (blocks & BPasport) {
        copyPasport(EmployeeHead{}, rec.head);
    }
    if (blocks & BNalvich)
        rec.nalvich = {};
    if (blocks & BPostDopl)
        rec.postDopl = {};
    if (blocks & BSber)
        rec.sber = {};
    if (blocks & BIspol)
        rec.ispol = {};
    if (blocks & BSsud)
        rec.ssud = {};
    if (blocks & BWaria) {
        // All zero bytes are the blank entry: cleared as one block of memory.
        static_assert(std::is_trivially_copyable_v<WariaEntry>);
        std::memset(static_cast<void*>(rec.waria.data()), 0, rec.waria.size() * sizeof(WariaEntry));
    }
    if (blocks & BRows)
        rec.rows = {};
}

// The master row's part of the record; k stands on a dbo.konst row whose
// first columns are id and rec.
template <class Row>
void applyKonst(unsigned blocks, const Row& k, EmployeeRecord& rec)
{
    static const int warKvColumn = ColumnIndex(KonstTable().def(), QStringLiteral("warKv"));
    if (blocks & BKonst) {
        Reader r(k, KonstTable().keyCount());
        const u16 warKv = rec.warKv;
        KonstTable().read(rec, r);
        if (!(blocks & BWaria))
            rec.warKv = warKv;
    } else if (blocks & BWaria) {
        rec.warKv = ArchiveCount(k.toInt(warKvColumn));
    }
}

// The employee's rows of the table (by the master row's id); the texts made once.
const QString& detailSql(int i)
{
    static const auto texts = [] {
        std::array<QString, kDetailCount> sql;
        for (int n = 0; n < kDetailCount; ++n)
            sql[std::size_t(n)] = SelectSql(kDetails[n].table(), WhereColumnSql(kDetails[n].table(), 0));
        return sql;
    }();
    return texts[std::size_t(i)];
}

// The order of one employee's rows of the table: by their place where the
// table holds several.
const std::vector<int>& detailOrder(int i)
{
    static const auto orders = [] {
        std::array<std::vector<int>, kDetailCount> order;
        for (int n = 0; n < kDetailCount; ++n) {
            const TableDef& t = kDetails[n].table();
            if (kDetails[n].numbered())
                order[std::size_t(n)] = SortPlaces(t.columns, {t.columns[1]});
        }
        return order;
    }();
    return orders[std::size_t(i)];
}

// The same rows of every employee (read without a look-up of the master
// row for each employee); of the master rows of slots first..last (its two
// values) when `ranged`. They come in the order of bulkOrder.
QString bulkSql(int i, bool ranged)
{
    const TableDef& t = kDetails[i].table();
    const TableDef& konst = KonstTable().def();
    if (!ranged)
        return SelectSql(t);
    const QString owners =
        SelectColumnsSql(konst, {konst.columns[0]}, QStringLiteral("WHERE ") + ColumnBetweenSql(konst, 1));
    return SelectSql(t, QStringLiteral("WHERE %1 IN (%2)").arg(t.columns[0], owners));
}

// The order of bulkSql's rows: by their master rows' ids, the table's own
// key, then by their place where the table holds several.
std::vector<int> bulkOrder(int i)
{
    const DetailTable& d = kDetails[i];
    const TableDef& t = d.table();
    return SortPlaces(t.columns, d.numbered() ? QStringList{t.columns[0], t.columns[1]} : QStringList{t.columns[0]});
}

// The places of a longest run of rising ids (each id greater than the one
// before it in the run, the run keeping the ids' order).
std::vector<bool> longestRisingRun(const std::vector<qint64>& ids)
{
    std::vector<std::size_t> ends; // ends[k]: where the smallest end of a run of k + 1 ids found so far is
    std::vector<std::ptrdiff_t> before(ids.size(), -1); // the place before each in its run
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const auto at = std::lower_bound(ends.begin(), ends.end(), ids[i],
                                         [&](std::size_t end, qint64 id) { return ids[end] < id; });
        if (at != ends.begin())
            before[i] = std::ptrdiff_t(*(at - 1));
        if (at == ends.end())
            ends.push_back(i);
        else
            *at = i;
    }
    std::vector<bool> inRun(ids.size(), false);
    for (std::ptrdiff_t i = ends.empty() ? -1 : std::ptrdiff_t(ends.back()); i >= 0; i = before[std::size_t(i)])
        inRun[std::size_t(i)] = true;
    return inRun;
}

// The slots, ascending, of the master rows that `owners` gives (slot and id,
// in slot order) whose ids make the longest rising run: those whose rows the
// streams in id order can give as the slots come.
std::vector<int> streamedSlots(db::RawStatement& owners)
{
    std::vector<int> ownerSlots;
    std::vector<qint64> ids;
    while (owners.next()) {
        ownerSlots.push_back(owners.toInt(0));
        ids.push_back(owners.toInt64(1));
    }
    const std::vector<bool> inRun = longestRisingRun(ids);
    std::vector<int> slotsInRun;
    for (std::size_t i = 0; i < ownerSlots.size(); ++i)
        if (inRun[i])
            slotsInRun.push_back(ownerSlots[i]);
    return slotsInRun;
}

// One employee's rows of detail table i, by his master row's id, into the record.
void readRowsAlone(const QSqlDatabase& db, int i, qint64 id, EmployeeRecord& rec, DetailReading& filter)
{
    db::RawStatement& alone = db::RawStatementFor(db, detailSql(i), detailOrder(i));
    alone.reset();
    alone.bind(0, id);
    while (alone.next()) {
        Reader r(alone, 1);
        kDetails[i].read(r, rec, filter);
    }
}

} // namespace

struct EmployeeLoader::Impl {
    explicit Impl(const QSqlDatabase& d) : db(d) {}
    QSqlDatabase db;
    unsigned blocks = 0;
    db::RawStatement* konst = nullptr;
    db::RawStatement* details[kDetailCount] = {};
};

namespace {

// The rows of detail table i of the slot's employee (found by the slot, so
// that they are read together with his master row), in the order of
// detailOrder; the texts made once.
const QString& detailOfSlotSql(int i)
{
    static const auto texts = [] {
        std::array<QString, kDetailCount> sql;
        for (int n = 0; n < kDetailCount; ++n) {
            const TableDef& t = kDetails[n].table();
            sql[std::size_t(n)] = SelectSql(t, QStringLiteral("WHERE ") + RowsOfSlotSql(t));
        }
        return sql;
    }();
    return texts[std::size_t(i)];
}

} // namespace

EmployeeLoader::EmployeeLoader(const QSqlDatabase& db, unsigned blocks) : d(std::make_unique<Impl>(db))
{
    d->blocks = blocks;
    // The statements are kept with the connection: loaders of one employee
    // after another prepare them once.
    static const QString konstSql = SelectSql(KonstTable().def(), WhereColumnSql(KonstTable().def(), 1));
    d->konst = &db::RawStatementFor(db, konstSql);
    for (int i = 0; i < kDetailCount; ++i)
        if (blocks & kDetails[i].block)
            d->details[i] = &db::RawStatementFor(db, detailOfSlotSql(i), detailOrder(i));
}

EmployeeLoader::~EmployeeLoader() = default;

bool EmployeeLoader::load(int slot, EmployeeRecord& rec, int wariaFrom, int wariaTo)
{
    const unsigned blocks = d->blocks;
    clearBlocks(blocks, rec);
    // One read transaction for all the statements of the record, which go
    // to a server together in one round trip.
    db::Transaction reading(d->db, db::Transaction::Read);
    std::vector<db::RawStatement*> queries{d->konst};
    for (db::RawStatement* rs : d->details)
        if (rs)
            queries.push_back(rs);
    for (db::RawStatement* rs : queries) {
        rs->reset();
        rs->bind(0, slot);
    }
    db::RawStatement::startTogether(queries);
    db::RawStatement& k = *d->konst;
    if (!k.next()) {
        for (db::RawStatement* rs : queries) rs->reset();
        lastId_ = 0;
        reading.commit();
        return false;
    }
    lastId_ = k.toInt64(0);
    applyKonst(blocks, k, rec);
    k.reset();

    DetailReading filter{wariaFrom, wariaTo, wariaFrom != 0 || wariaTo != 0, 0};
    for (int i = 0; i < kDetailCount; ++i) {
        db::RawStatement* rs = d->details[i];
        if (!rs)
            continue;
        while (rs->next()) {
            Reader r(*rs, 1);
            kDetails[i].read(r, rec, filter);
        }
    }
    if (filter.on && (blocks & BWaria))
        rec.warKv = u16(filter.packed);
    reading.commit();
    return true;
}

struct BulkEmployeeLoader::Impl {
    // A table's rows in the order of their master rows' ids; `id` is that of
    // the row it stands on (read once per row: each loaded record asks for it
    // several times).
    struct Stream {
        db::RawStatement* rs = nullptr;
        bool has = false;
        qint64 id = 0;
        void advance()
        {
            has = rs->next();
            id = has ? rs->toInt64(0) : 0;
        }
    };
    Impl(const QSqlDatabase& d, View view) : db(d)
    {
        if (view == View::Own)
            reading.emplace(d, db::Transaction::Read);
    }
    // A stream that a stopped run left unread is ended, so that the kept
    // statement starts from its first row next time. Only what was made is
    // touched: a read that failed while the loader was being made leaves
    // the statements after it unset.
    ~Impl()
    {
        if (konst)
            konst->reset();
        for (Stream& s : details)
            if (s.rs)
                s.rs->reset();
    }
    QSqlDatabase db;
    std::optional<db::Transaction> reading; // one view of the base for the whole run
    unsigned blocks = 0;
    db::RawStatement* konst = nullptr;
    bool konstHas = false;
    Stream details[kDetailCount];
    // The slots whose rows the streams give, ascending: those of the longest
    // run of rising ids in slot order. An employee given a slot freed before
    // him has an id above those of the slots after it; his rows, out of the
    // streams' order, are read on their own.
    std::vector<int> streamed;
    std::size_t nextStreamed = 0;
    NumberedRows resultsRead; // of the last record loaded

    bool takesStreamed(int slot)
    {
        while (nextStreamed < streamed.size() && streamed[nextStreamed] < slot) ++nextStreamed;
        return nextStreamed < streamed.size() && streamed[nextStreamed] == slot;
    }
};

BulkEmployeeLoader::BulkEmployeeLoader(const QSqlDatabase& db, unsigned blocks, View view, SlotsFromTo range)
    : d(std::make_unique<Impl>(db, view))
{
    d->blocks = blocks;
    // The streams read straight from SQLite (QtSql would make a QVariant of
    // every value of every row), through statements kept with the connection:
    // a worker that keeps its connection prepares them once, not every run.
    // The master rows and their slots with their ids come by slot.
    const TableDef& t = KonstTable().def();
    static const std::array<QString, 2> konstSql = {SelectSql(t),
                                                    SelectSql(t, QStringLiteral("WHERE ") + ColumnBetweenSql(t, 1))};
    static const std::vector<int> konstOrder = SortPlaces(t.columns, {t.columns[1]});
    static const std::array<std::array<QString, kDetailCount>, 2> detailSql = [] {
        std::array<std::array<QString, kDetailCount>, 2> sql;
        for (int i = 0; i < kDetailCount; ++i) {
            sql[0][std::size_t(i)] = bulkSql(i, false);
            sql[1][std::size_t(i)] = bulkSql(i, true);
        }
        return sql;
    }();
    static const std::array<std::vector<int>, kDetailCount> detailOrders = [] {
        std::array<std::vector<int>, kDetailCount> order;
        for (int i = 0; i < kDetailCount; ++i) order[std::size_t(i)] = bulkOrder(i);
        return order;
    }();
    const std::size_t ranged = range.last > 0 ? 1 : 0;
    auto start = [&](db::RawStatement& rs) {
        rs.reset();
        if (ranged)
            rs.bind(0, range.first).bind(1, range.last);
    };
    static const QStringList slotAndId = {t.columns[1], t.columns[0]};
    static const std::array<QString, 2> idsSql = {
        SelectColumnsSql(t, slotAndId),
        SelectColumnsSql(t, slotAndId, QStringLiteral("WHERE ") + ColumnBetweenSql(t, 1))};
    static const std::vector<int> idsOrder = SortPlaces(slotAndId, {t.columns[1]});
    db::RawStatement& owners = db::RawStatementFor(db, idsSql[ranged], idsOrder);
    start(owners);
    d->konst = &db::RawStatementFor(db, konstSql[ranged], konstOrder);
    start(*d->konst);
    std::vector<db::RawStatement*> queries{&owners, d->konst};
    for (int i = 0; i < kDetailCount; ++i) {
        if (!(blocks & kDetails[i].block))
            continue;
        Impl::Stream& s = d->details[i];
        s.rs = &db::RawStatementFor(db, detailSql[ranged][std::size_t(i)], detailOrders[std::size_t(i)]);
        start(*s.rs);
        queries.push_back(s.rs);
    }
    // On a server the reads go in one round trip, not one a table.
    db::RawStatement::startTogether(queries);
    d->streamed = streamedSlots(owners);
    d->konstHas = d->konst->next();
    for (Impl::Stream& s : d->details)
        if (s.rs)
            s.advance();
}

BulkEmployeeLoader::~BulkEmployeeLoader() = default;

const NumberedRows& BulkEmployeeLoader::resultRowsRead() const { return d->resultsRead; }

bool BulkEmployeeLoader::load(int slot, EmployeeRecord& rec, int wariaFrom, int wariaTo)
{
    const unsigned blocks = d->blocks;
    clearBlocks(blocks, rec);
    d->resultsRead.clear();
    db::RawStatement& k = *d->konst;
    while (d->konstHas && k.toInt(1) < slot) d->konstHas = k.next();
    if (!d->konstHas || k.toInt(1) != slot)
        return false;
    applyKonst(blocks, k, rec);
    const qint64 id = k.toInt64(0);
    const bool streamed = d->takesStreamed(slot);
    DetailReading filter{wariaFrom, wariaTo, wariaFrom != 0 || wariaTo != 0, 0, &d->resultsRead};
    for (int i = 0; i < kDetailCount; ++i) {
        Impl::Stream& s = d->details[i];
        if (!s.rs)
            continue;
        if (!streamed) {
            readRowsAlone(d->db, i, id, rec, filter);
            continue;
        }
        while (s.has && s.id < id) s.advance();
        while (s.has && s.id == id) {
            Reader r(*s.rs, 1);
            kDetails[i].read(r, rec, filter);
            s.advance();
        }
    }
    if (filter.on && (blocks & BWaria))
        rec.warKv = u16(filter.packed);
    return true;
}

void DeleteEmployeeRows(const QSqlDatabase& db, qint64 id)
{
    // One batch: on a server every table's delete in one round trip.
    db::Batch deletes(db);
    for (const TableDef* t : EmployeeDetailTables()) deletes.add(TableDeleteByEmployeeSql(*t)).bind(0, id);
    static const QString konst = DeleteRowsSql(KonstTable().def(), ColumnEqualsSql(KonstTable().def(), 0));
    deletes.add(konst).bind(0, id);
    deletes.run();
}

} // namespace detail

using namespace detail;

namespace {

void loadBlocks(CInfoBase& base, int slot, unsigned blocks)
{
    EmployeeLoader loader(Db(base), blocks);
    loader.load(slot, base.current);
}

} // namespace

void LoadEmployee(CInfoBase& base, int slot)
{
    base.ClearCurrentRecord();
    loadBlocks(base, slot, BAll);
    base.currentSlot = slot;
}

void LoadSber(CInfoBase& base, int slot) { loadBlocks(base, slot, BSber); }
void LoadProizvZarp(CInfoBase& base, int slot) { loadBlocks(base, slot, BRows); }
void LoadProizvZarpByMass(CInfoBase& base, int slot, int /*mass*/, int selector)
{
    loadBlocks(base, slot, selector == 0 ? BInputRows : BResultRows);
}

void LoadKonstAttributes(CInfoBase& base, int slot)
{
    const QString pol = base.current.head.pol;
    loadBlocks(base, slot, BKonst);
    base.current.head.pol = pol;
}

void LoadKonstInto(CInfoBase& base, int slot, EmployeeRecord& record)
{
    EmployeeLoader loader(Db(base), BKonst);
    loader.load(slot, record);
}

void LoadKonstAttributesWithSex(CInfoBase& base, int slot)
{
    loadBlocks(base, slot, BKonst);
    const QSqlDatabase db = Db(base);
    const TableDef& pasport = PasportTable().def();
    db::Recordset q(
        db, SelectColumnsSql(pasport, {QStringLiteral("pol")}, QStringLiteral("WHERE ") + RowsOfSlotSql(pasport)));
    q.bind(0, slot);
    q.exec();
    base.current.head.pol = q.next() ? q.toString(0) : QString();
}

namespace {

// " AND god = ? AND mes >= ? AND mes <= ?": the dated entries of a year's
// months from..to.
QString monthsOfYearSql(const TableDef& t)
{
    return QStringLiteral(" AND %1 = ? AND %2 >= ? AND %2 <= ?")
        .arg(DeclaredColumn(t, QStringLiteral("god")), DeclaredColumn(t, QStringLiteral("mes")));
}

// "ORDER BY g1, m1, d1, god, mes, kod, num": the dated entries by the date
// they take effect, then by the month they belong to.
QString datedOrderSql(const TableDef& t)
{
    QStringList columns;
    for (const char* name : {"g1", "m1", "d1", "god", "mes", "kod", "num"}) columns << QLatin1String(name);
    return OrderBySql(t, columns);
}

} // namespace

int LoadWarDat(CInfoBase& base, int slot, int monthFrom, int monthTo, int year)
{
    base.warDat.clear();
    const QSqlDatabase db = Db(base);
    static const QString where = QStringLiteral("WHERE ") + RowsOfSlotSql(WarDatTable().def());
    const bool period = monthFrom != 0 || monthTo != 0 || year != 0;
    static const QString order = QLatin1Char(' ') + datedOrderSql(WarDatTable().def());
    static const QString some = SelectSql(WarDatTable().def(), where + monthsOfYearSql(WarDatTable().def()) + order);
    static const QString all = SelectSql(WarDatTable().def(), where + order);
    db::Recordset& q = db::Statement(db, period ? some : all);
    q.bind(0, slot);
    if (period) {
        q.bind(1, year % 100);
        q.bind(2, monthFrom);
        q.bind(3, monthTo == 0 ? 12 : monthTo);
    }
    q.exec();
    int n = 0;
    while (q.next() && n < WarDatBlock::Capacity) {
        Reader r(q, WarDatTable().keyCount());
        WarDatTable().read(base.warDat.entries[std::size_t(n++)], r);
    }
    q.finish();
    base.warDat.warDatKv = u16(n);
    return n;
}

void LoadWariaList(CInfoBase& base, const Selection& /*selection*/, int slot, int year, int runningIndex,
                   WariaListHolder& holder, int /*markedCount*/)
{
    if (runningIndex == 0 || !holder.open || holder.year != year) {
        holder.release();
        const QSqlDatabase db = Db(base);
        static const QString sql =
            SlotRowsSql(WariaTable().def(), {.from = WariaTable().keyCount(), .equalColumn = QStringLiteral("god")});
        db::Recordset q(db, sql);
        q.bind(0, year);
        q.exec();
        while (q.next()) {
            Reader r(q);
            const int rec = r.n();
            WariaEntry e;
            WariaTable().read(e, r);
            holder.bySlot[rec].push_back(e);
        }
        holder.open = true;
        holder.year = year;
    }
    std::fill(base.current.waria.begin(), base.current.waria.end(), WariaEntry{});
    const auto it = holder.bySlot.find(slot);
    int n = 0;
    if (it != holder.bySlot.end())
        for (const WariaEntry& e : it->second)
            if (n < EmployeeRecord::ArchiveCapacity)
                base.current.waria[std::size_t(n++)] = e;
    base.current.warKv = u16(n);
}

qint64 SaveKonst(CInfoBase& base, int slot, qint64* id)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    const qint64 rowId = WriteKonst(db, slot, base.tabNOfSlot(slot), base.current).id;
    tr.commit();
    if (id)
        *id = rowId;
    return rowId;
}

void SaveKonstInostrDays(CInfoBase& base, int slot)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    // The master row of the slot: its key rec, the second.
    static const ColumnUpdate<EmployeeRecord> days = KonstTable().update({QStringLiteral("inostrDnPrRF")}, 1);
    days.run(db, base.current, slot);
    tr.commit();
}

namespace {

enum SaveSet : unsigned {
    SavePas = 1,
    SaveNal = 2,
    SavePost = 4,
    SaveSb = 8,
    SaveIsp = 16,
    SaveSs = 32,
    SaveWar = 64,
    SaveRows = 128,
    SaveWd = 256
};

// Writes the chosen parts of one employee's record in one transaction.
void writeEmployee(const QSqlDatabase& db, int slot, int tabN, const EmployeeAttributes& attr,
                   const EmployeeRecord& rec, const WarDatBlock& warDat, unsigned set)
{
    db::Transaction tr(db);
    RecordRows rows(db);
    const MasterRow owner = WriteKonst(rows, slot, tabN, rec);
    if (set & SavePas)
        WritePasport(rows, owner, rec.head);
    if (set & SaveNal)
        WriteNalvich(rows, owner, rec);
    if (set & SavePost)
        WritePostDopl(rows, owner, rec);
    if (set & SaveSb)
        WriteSber(rows, owner, rec);
    if (set & SaveIsp)
        WriteIspol(rows, owner, rec);
    if (set & SaveSs)
        WriteSsud(rows, owner, rec);
    if (set & SaveWar)
        WriteWaria(rows, owner, rec);
    if (set & SaveRows)
        WriteRows(rows, owner, rec, attr.kvProizv, RowTables::Both);
    if (set & SaveWd)
        WriteWarDat(rows, owner, warDat);
    rows.run();
    tr.commit();
}

void saveEmployee(CInfoBase& base, int slot, const EmployeeAttributes& attr, unsigned set)
{
    writeEmployee(Db(base), slot, base.tabNOfSlot(slot), attr, base.current, base.warDat, set);
}

constexpr unsigned kSaveFull = SavePas | SaveNal | SavePost | SaveSb | SaveIsp | SaveSs | SaveWar | SaveRows | SaveWd;

} // namespace

namespace detail {

void WriteEmployeeFull(const QSqlDatabase& db, int slot, int tabN, const EmployeeAttributes& attr,
                       const EmployeeRecord& rec, const WarDatBlock& warDat)
{
    writeEmployee(db, slot, tabN, attr, rec, warDat, kSaveFull);
}

} // namespace detail

void SaveEmployee(CInfoBase& base, int slot, const EmployeeAttributes& attr)
{
    saveEmployee(base, slot, attr, SavePas | SaveNal | SavePost | SaveSb | SaveIsp | SaveSs | SaveWar | SaveRows);
}

void SaveEmployeeFull(CInfoBase& base, int slot, const EmployeeAttributes& attr)
{
    saveEmployee(base, slot, attr, kSaveFull);
}

void SaveEmployee(CInfoBase& base, int slot) { SaveEmployee(base, slot, slotAttributes(base, slot)); }
void SaveEmployeeFull(CInfoBase& base, int slot) { SaveEmployeeFull(base, slot, slotAttributes(base, slot)); }

namespace {

// The parts of a record that the month change writes.
constexpr unsigned kSaveCalc = SaveNal | SavePost | SaveSs | SaveIsp | SaveWar | SaveRows | SaveWd;

// Binds the elements of `items` that are stored (those that are not empty),
// numbered from 1 by their place, each after its owner's slot.
template <class Row, class Items, class IsEmpty>
void bindOwnedRows(db::ColumnArrays& rows, int slot, const StoredTable<Row>& declared, const Items& items,
                   IsEmpty isEmpty)
{
    for (std::size_t i = 0; i < std::size(items); ++i) {
        if (isEmpty(items[i]))
            continue;
        Binder b(rows);
        b << slot << int(i + 1);
        declared.bind(items[i], b);
    }
}

} // namespace

namespace detail {

void WriteEmployeeCalc(const QSqlDatabase& db, int slot, int tabN, const EmployeeAttributes& attr,
                       const EmployeeRecord& rec, const WarDatBlock& warDat)
{
    writeEmployee(db, slot, tabN, attr, rec, warDat, kSaveCalc);
}

const std::vector<const TableDef*>& MovedDetailTables()
{
    static const std::vector<const TableDef*> tables{
        &NalvichTable().def(), &PostDoplTable().def(), &SsudTable().def(),   &IspolTable().def(),
        &WariaTable().def(),   &WarDatTable().def(),   &ProizvTable().def(), &ZarpTable().def()};
    return tables;
}

void BindMovedRows(std::vector<db::ColumnArrays>& tables, int slot, const EmployeeRecord& rec, int kvProizv,
                   const WarDatBlock& warDat)
{
    tables.resize(MovedDetailTables().size());
    bindOwnedRows(tables[0], slot, NalvichTable(), rec.nalvich, kIsEmpty);
    bindOwnedRows(tables[1], slot, PostDoplTable(), rec.postDopl, kBlank);
    bindOwnedRows(tables[2], slot, SsudTable(), rec.ssud.loans, kBlank);
    bindOwnedRows(tables[3], slot, IspolTable(), rec.ispol.writs, kBlank);
    bindOwnedRows(tables[4], slot, WariaTable(), rec.waria, kBlank);
    bindOwnedRows(tables[5], slot, WarDatTable(), warDat.entries, kBlank);
    forRowTables(kvProizv, RowTables::Both, [&](const TableDef& def, int from, int to) {
        db::ColumnArrays& rows = tables[&def == &ProizvTable().def() ? 6 : 7];
        forStoredRows(rec, from, to, [&](int num, const AccrualRow& a) {
            Binder b(rows);
            b << slot << num;
            bindRow(b, a);
        });
    });
}

} // namespace detail

void SaveEmployeePostDopl(CInfoBase& base, int slot) { saveEmployee(base, slot, EmployeeAttributes{}, SavePost); }

void SaveSber(CInfoBase& base, qint64 id)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    RecordRows rows(db);
    WriteSber(rows, MasterRow{id}, base.current);
    rows.run();
    tr.commit();
}

void SaveIspol(CInfoBase& base, qint64 id)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    RecordRows rows(db);
    WriteIspol(rows, MasterRow{id}, base.current);
    rows.run();
    tr.commit();
}

void SaveSsud(CInfoBase& base, qint64 id)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    RecordRows rows(db);
    WriteSsud(rows, MasterRow{id}, base.current);
    rows.run();
    tr.commit();
}

void SaveProizvZarpByRec(CInfoBase& base, int slot, int selector)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    const qint64 id = KonstId(db, slot);
    if (id == 0) {
        tr.commit();
        return;
    }
    const int kvProizv = slotAttributes(base, slot).kvProizv;
    RecordRows rows(db);
    WriteRows(rows, MasterRow{id}, base.current, kvProizv,
              selector == kInputRowsTable ? RowTables::Input : RowTables::Results);
    rows.run();
    tr.commit();
}

namespace {

// The server's statement that puts an employee's computed rows in place of
// his stored ones: each column's values of all his rows come as one array
// (the text is the same for any number of rows, so it is prepared once a
// session), under the id of the master row found by the slot (a slot
// without one gets no rows and nothing fails). Only the rows unlike the
// stored ones are written: a month computed again with the same results
// leaves its rows in place, the server only compares them.
const QString& ComputedRowsOnServerSql()
{
    static const QString sql = [] {
        const TableDef& t = ZarpTable().def();
        return ReplaceRowsOnServerSql(t, KonstIdOfSlotSql(), QStringLiteral("z.") + RowsOfSlotSql(t));
    }();
    return sql;
}

// The rows of a record that the calculation stores, each with its number.
NumberedRows computedRowsOf(const EmployeeRecord& rec, int kvProizv)
{
    NumberedRows rows;
    forStoredRows(rec, kvProizv, EmployeeRecord::RowCount,
                  [&](int num, const AccrualRow& a) { rows.emplace_back(num, a); });
    return rows;
}

// Binds the numbered rows as the statement's arrays from value `first` on:
// the owner's key before each row's columns when `owner` is given.
int bindRowArrays(db::Batch& batch, int first, const std::vector<std::pair<int, const NumberedRows*>>& owners,
                  bool withOwner)
{
    db::ColumnArrays columns;
    for (const auto& [slot, rows] : owners)
        for (const auto& [num, a] : *rows) {
            Binder b(columns);
            if (withOwner)
                b << slot;
            b << num;
            bindRow(b, a);
        }
    const int width = int(ZarpTable().def().columns.size()) - 1 + (withOwner ? 1 : 0);
    for (int c = 0; c < width; ++c)
        batch.bind(first + c, columns.rows() > 0 ? columns.literal(c) : QStringLiteral("{}"));
    return first + width;
}

// The computed rows of the slot's employee in place of his stored ones on a
// server: one statement of the batch.
void addComputedRowsOnServer(db::Batch& batch, int slot, const NumberedRows& rows)
{
    batch.add(ComputedRowsOnServerSql()).bind(0, slot);
    batch.bind(bindRowArrays(batch, 1, {{slot, &rows}}, false), slot);
}

} // namespace

namespace detail {

const QString& OwnedRowsOnServerSql(const TableDef& detail)
{
    static const auto texts = [] {
        const TableDef& konst = KonstTable().def();
        const QString idOfSlot =
            SelectColumnsSql(konst, {konst.columns[0]}, QStringLiteral("WHERE %1 = %2").arg(konst.columns[1]));
        std::map<const TableDef*, QString> sql;
        for (const TableDef* t : MovedDetailTables()) sql.emplace(t, ReplaceOwnedRowsOnServerSql(*t, idOfSlot));
        return sql;
    }();
    return texts.at(&detail);
}

} // namespace detail

namespace {

// The rows that one statement of addComputedRowsInPlace writes at most.
constexpr int kRowsPerUpsert = 32;

// The statement that writes `rows` computed rows over the stored rows of
// their numbers (1 to kRowsPerUpsert), its texts made once.
const QString& computedRowsUpsertSql(int rows)
{
    static const auto texts = [] {
        std::array<QString, kRowsPerUpsert + 1> sql;
        for (int n = 1; n <= kRowsPerUpsert; ++n)
            sql[std::size_t(n)] = InsertOrUpdateSql(ZarpTable().def(), ZarpTable().keyCount(), n);
        return sql;
    }();
    return texts[std::size_t(rows)];
}

// On a base file the computed rows of the employee of master row `id` take
// the places of his stored ones in one batch: each row is written over the
// stored row of its number (or added), and the stored rows of the numbers
// not written are deleted. The rows end as a delete of all and an insert of
// each would leave them, but a month computed again rewrites its rows in
// place instead of taking every row and its key out and putting them back.
// Rows that follow one another with no delete between them go by one
// statement (up to kRowsPerUpsert), written in the same order as one by one.
void addComputedRowsInPlace(db::Batch& batch, const MasterRow& owner, const EmployeeRecord& rec, int kvProizv)
{
    const qint64 id = owner.id;
    const TableDef& t = ZarpTable().def();
    static const QString removeNumbers =
        DeleteRowsSql(t, QStringLiteral("%1 AND %2").arg(ColumnEqualsSql(t, 0), ColumnBetweenSql(t, 1)));
    std::vector<std::pair<int, const AccrualRow*>> pending; // rows not yet added to the batch
    const auto addPending = [&] {
        if (pending.empty())
            return;
        Binder b(batch.add(computedRowsUpsertSql(int(pending.size()))));
        for (const auto& [num, a] : pending) {
            b << id << num;
            bindRow(b, *a);
        }
        pending.clear();
    };
    // The numbers from `next` to `last` are written by no row.
    qint64 next = std::numeric_limits<qint64>::min();
    const auto removeThrough = [&](qint64 last) {
        if (owner.fresh || next > last)
            return;
        addPending();
        batch.add(removeNumbers).bind(0, id).bind(1, next).bind(2, last);
    };
    forStoredRows(rec, kvProizv, EmployeeRecord::RowCount, [&](int num, const AccrualRow& a) {
        removeThrough(qint64(num) - 1);
        if (int(pending.size()) == kRowsPerUpsert)
            addPending();
        pending.emplace_back(num, &a);
        next = qint64(num) + 1;
    });
    removeThrough(std::numeric_limits<qint64>::max());
    addPending();
}

// The computed rows of the slot's employee in place of his stored ones, added
// to the batch: on a server found by the slot, on a base file under the
// master row `owner` (none when it has no id).
void addComputedRows(db::Batch& batch, bool server, int slot, const MasterRow& owner, int kvProizv,
                     const EmployeeRecord& rec)
{
    if (server)
        addComputedRowsOnServer(batch, slot, computedRowsOf(rec, kvProizv));
    else if (owner.id != 0)
        addComputedRowsInPlace(batch, owner, rec, kvProizv);
}

// What an employee's stored month holds besides his rows: his status word
// (his dbo.comp row, with his shop byte) and his amounts to pay (dbo.avzar1),
// as memory holds them when his month is stored.
struct EmployeeStatus {
    int slot = 0;
    u8 shop = 0;
    EmployeeAttributes attributes;
    AvZarRow pay;
    friend bool operator==(const EmployeeStatus&, const EmployeeStatus&) = default;
};

EmployeeStatus statusOf(const CInfoBase& base, int slot)
{
    return {slot, base.shopOf(slot), base.attributesOf(slot), AvZarRow{base.avOf(slot), base.zar1Of(slot)}};
}

// The statement that writes the status rows of a table (dbo.comp or
// dbo.avzar1, keyed by the slot) in place of the stored rows of their slots:
// on a server the rows come as column arrays, the slots' array last; on a
// base file one row.
const QString& statusRowsSql(const TableDef& t, bool server)
{
    static const auto texts = [] {
        std::array<std::array<QString, 2>, 2> sql;
        for (const TableDef* def : {&CompTable().def(), &AvZar1Table().def()}) {
            auto& of = sql[def == &CompTable().def() ? 0 : 1];
            of[0] = InsertOrUpdateSql(*def, 1);
            of[1] = ReplaceRowsOnServerSql(*def, QString(),
                                           QStringLiteral("z.%1 = ANY (CAST(? AS BIGINT[]))").arg(def->columns[0]));
        }
        return sql;
    }();
    return texts[&t == &CompTable().def() ? 0 : 1][server ? 1 : 0];
}

// Binds the status row of the slot's table: the slot, then its columns.
template <class Rows>
void bindStatusRow(Rows& rows, const TableDef& t, const EmployeeStatus& status)
{
    Binder b(rows);
    b << status.slot;
    if (&t == &CompTable().def()) {
        b << int(status.shop);
        CompTable().bind(status.attributes, b);
    } else {
        AvZar1Table().bind(status.pay, b);
    }
}

// The status rows of the employees (their status words and amounts to pay)
// in place of the stored rows of their slots, added to the batch: on a server
// one statement a table for all of them, on a base file one a row.
void addStatusRows(db::Batch& batch, bool server, const std::vector<EmployeeStatus>& statuses)
{
    if (statuses.empty())
        return;
    for (const TableDef* t : {&CompTable().def(), &AvZar1Table().def()}) {
        const QString& sql = statusRowsSql(*t, server);
        if (!server) {
            for (const EmployeeStatus& status : statuses) {
                batch.add(sql);
                bindStatusRow(batch, *t, status);
            }
            continue;
        }
        db::ColumnArrays columns, scope;
        for (const EmployeeStatus& status : statuses) {
            bindStatusRow(columns, *t, status);
            scope.row();
            scope.bind(0, qint64(status.slot));
        }
        batch.add(sql, int(statuses.size()));
        for (int c = 0; c < columns.columns(); ++c) batch.bind(c, columns.literal(c));
        batch.bind(columns.columns(), scope.literal(0));
    }
}

} // namespace

namespace {

// A computed amount that is no finite number is never stored: the file
// engine would keep NULL (read back as 0) and the server NaN. The employee
// and the row are named, and nothing of his is written.
void requireFiniteRows(const CInfoBase& base, int slot, int kvProizv)
{
    const auto& rows = base.current.rows;
    for (int i = std::max(kvProizv, 0); i < EmployeeRecord::RowCount; ++i) {
        const double sum = rows[std::size_t(i)].sum;
        if (std::isfinite(sum))
            continue;
        throw db::DbError(db::E_DB_FAIL,
                          QStringLiteral("Недопустимая сумма (%1) у сотрудника таб. № %2, строка %3, код %4. "
                                         "Результаты расчета не сохранены.")
                              .arg(std::isnan(sum) ? QStringLiteral("не число") : QStringLiteral("бесконечность"))
                              .arg(base.tabNOfSlot(slot))
                              .arg(i + 1)
                              .arg(rows[std::size_t(i)].kod),
                          base.current.head.fio.trimmed(), QStringLiteral("Kalvor.Base"));
    }
}

} // namespace

void SaveCalculatedMonth(CInfoBase& base, int slot, bool withMaster, ComputedRowsGroup* group)
{
    const int kvProizv = slotAttributes(base, slot).kvProizv;
    requireFiniteRows(base, slot, kvProizv);
    if (!withMaster && group) {
        group->store(base, slot, kvProizv);
        return;
    }
    const QSqlDatabase db = Db(base);
    const bool server = db::IsServer(db);
    std::optional<db::Transaction> tr;
    MasterRow owner;
    if (withMaster) {
        tr.emplace(db);
        owner = WriteKonst(db, slot, base.tabNOfSlot(slot), base.current);
    } else if (!server) {
        owner.id = KonstId(db, slot);
    }
    db::Batch batch(db);
    addComputedRows(batch, server, slot, owner, kvProizv, base.current);
    addStatusRows(batch, server, {statusOf(base, slot)});
    batch.run();
    if (tr)
        tr->commit();
}

// Which parts of an employee's store the base holds already.
struct ComputedRowsGroup::Stored {
    bool rows = false, status = false;
};

struct ComputedRowsGroup::Kept {
    int slot = 0;
    NumberedRows rows;
    EmployeeStatus status;
    Stored stored; // the parts not to be written
};

// The status rows that the base holds (dbo.comp with the shop byte,
// dbo.AvZar1), by slot; a slot of other than one row in either table has
// none here, his status row is not known.
struct ComputedRowsGroup::Statuses {
    std::unordered_map<int, EmployeeStatus> bySlot;
    static std::unique_ptr<Statuses> read(const QSqlDatabase& db);
};

std::unique_ptr<ComputedRowsGroup::Statuses> ComputedRowsGroup::Statuses::read(const QSqlDatabase& db)
{
    static const std::array<QString, 2> sql{SelectSql(CompTable().def(), QString()),
                                            SelectSql(AvZar1Table().def(), QString())};
    std::unordered_map<int, EmployeeStatus> found;
    std::unordered_map<int, int> rows; // by slot: comp rows + 100 x AvZar1 rows
    for (std::size_t t = 0; t < sql.size(); ++t) {
        db::RawStatement& q = db::RawStatementFor(db, sql[t]);
        while (q.next()) {
            Reader r(q);
            EmployeeStatus& status = found[r.n()];
            rows[q.toInt(0)] += t == 0 ? 1 : 100;
            if (t == 0) {
                status.shop = u8(r.n());
                CompTable().read(status.attributes, r);
            } else {
                AvZar1Table().read(status.pay, r);
            }
        }
    }
    auto statuses = std::make_unique<Statuses>();
    for (auto& [slot, status] : found) {
        if (rows[slot] != 101)
            continue;
        status.slot = slot;
        statuses->bySlot.emplace(slot, status);
    }
    return statuses;
}

struct ComputedRowsGroup::Sent {
    int batch = 0; // its number among the batches sent in the scope of answers read later
    std::vector<Kept> members;
};

ComputedRowsGroup::ComputedRowsGroup(CInfoBase& base)
    : m_db(Db(base)), m_later(Db(base)), m_statuses(Statuses::read(m_db))
{}

// The rows still kept are dropped: the scope's end must not send them.
ComputedRowsGroup::~ComputedRowsGroup()
{
    if (!m_kept.empty())
        m_later.holdBack({});
}

bool ComputedRowsGroup::keeps() const { return db::IsServer(m_db); }

void ComputedRowsGroup::store(const CInfoBase& base, int slot, int kvProizv)
{
    NumberedRows rows = computedRowsOf(base.current, kvProizv);
    const Stored stored = storedAlready(base, slot, rows);
    if (stored.rows && stored.status)
        return;
    if (keeps()) {
        keep({slot, std::move(rows), statusOf(base, slot), stored});
        return;
    }
    db::Batch batch(m_db);
    if (!stored.rows)
        addComputedRows(batch, false, slot, MasterRow{masterId(slot)}, kvProizv, base.current);
    if (!stored.status)
        addStatusRows(batch, false, {statusOf(base, slot)});
    batch.run();
}

void ComputedRowsGroup::storedRowsAre(int slot, std::optional<NumberedRows> rows)
{
    m_storedSlot = slot;
    m_stored = std::move(rows);
}

// The parts of the slot's store that the base holds as they are now: his
// rows (what was known of them is used once) and his status row.
ComputedRowsGroup::Stored ComputedRowsGroup::storedAlready(const CInfoBase& base, int slot, const NumberedRows& rows)
{
    const bool sameRows = m_stored && m_storedSlot == slot && *m_stored == rows;
    m_stored.reset();
    const auto it = m_statuses->bySlot.find(slot);
    return {sameRows, it != m_statuses->bySlot.end() && it->second == statusOf(base, slot)};
}

// The ids of the master rows are read once, at the first store; a slot
// without one then (its master row made since) is looked up by itself.
qint64 ComputedRowsGroup::masterId(int slot)
{
    if (!m_idsRead) {
        m_idsRead = true;
        static const QString sql = [] {
            const TableDef& t = KonstTable().def();
            return SelectColumnsSql(t, {t.columns[1], t.columns[0]}, QString());
        }();
        db::RawStatement& ids = db::RawStatementFor(m_db, sql);
        while (ids.next()) m_ids.emplace(ids.toInt(0), ids.toInt64(1));
    }
    const auto it = m_ids.find(slot);
    return it != m_ids.end() ? it->second : KonstId(m_db, slot);
}

void ComputedRowsGroup::keep(Kept member)
{
    // Refused while another owner holds back a batch on the connection.
    if (m_kept.empty())
        m_later.holdBack([this] { send(); });
    m_kept.push_back(std::move(member));
    if (int(m_kept.size()) >= m_groupSize) {
        send();
        m_groupSize = std::min(2 * m_groupSize, kGroupSize);
    }
}

int ComputedRowsGroup::storedByBatch() const { return m_later.sent() + (m_kept.empty() ? 0 : 1); }

void ComputedRowsGroup::send()
{
    m_later.holdBack({});
    std::vector<Kept> members = std::exchange(m_kept, {});
    while (!m_sent.empty() && m_sent.front().batch <= m_later.answered()) m_sent.pop_front();
    std::vector<std::pair<int, const NumberedRows*>> owners;
    std::vector<EmployeeStatus> statuses;
    db::ColumnArrays owned; // the slot of every member whose rows go, also of one without rows
    for (const Kept& k : members) {
        if (!k.stored.status)
            statuses.push_back(k.status);
        if (k.stored.rows)
            continue;
        owners.emplace_back(k.slot, &k.rows);
        owned.row();
        owned.bind(0, qint64(k.slot));
    }
    db::Batch batch(m_db);
    if (!owners.empty()) {
        batch.add(OwnedRowsOnServerSql(ZarpTable().def()));
        batch.bind(bindRowArrays(batch, 0, owners, true), owned.literal(0));
    }
    addStatusRows(batch, true, statuses);
    batch.run();
    m_sent.push_back({m_later.sent(), std::move(members)});
}

std::vector<int> ComputedRowsGroup::storeRefusedOneByOne()
{
    m_kept.clear();
    m_later.holdBack({});
    std::vector<int> stored;
    const int refused = m_later.answered() + 1;
    const auto group = std::find_if(m_sent.begin(), m_sent.end(), [&](const Sent& s) { return s.batch == refused; });
    if (group == m_sent.end())
        return stored;
    for (const Kept& k : group->members) {
        try {
            db::Batch batch(m_db);
            if (!k.stored.rows)
                addComputedRowsOnServer(batch, k.slot, k.rows);
            if (!k.stored.status)
                addStatusRows(batch, true, {k.status});
            batch.run();
            m_later.collect();
        } catch (const db::DbError& e) {
            if (db::EndsTheTransaction(e))
                throw;
            break;
        }
        stored.push_back(k.slot);
    }
    m_sent.clear();
    return stored;
}

// Rows 0-59 of a record are the month's, 60-65 those of later months.
constexpr int kMonthRowCount = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

void ClearCalculatedMonth(CInfoBase& base, int slot, RunRecordedRow recorded)
{
    // The rows of the slot whose number (the second key) is the month's, and
    // the one of later months of the code and origin the run recorded.
    static const QString remove = [] {
        const TableDef& t = ZarpTable().def();
        return DeleteRowsSql(
            t, QStringLiteral("%1 AND (%2 < %3 OR (%4 = ? AND %5 = ?))")
                   .arg(RowsOfSlotSql(t), t.columns[1])
                   .arg(kMonthRowCount)
                   .arg(DeclaredColumn(t, QStringLiteral("kod")), DeclaredColumn(t, QStringLiteral("hrRest"))));
    }();
    const QSqlDatabase db = Db(base);
    db::Batch batch(db);
    batch.add(remove).bind(0, slot).bind(1, recorded.code).bind(2, recorded.origin);
    if (!base.holdsSlot(slot)) {
        batch.run();
        return;
    }
    EmployeeStatus status = statusOf(base, slot);
    status.pay.zar1 = 0;
    addStatusRows(batch, db::IsServer(db), {status});
    batch.run();
    base.zar1Of(slot) = 0;
    if (base.currentSlot == slot) {
        auto& rows = base.current.rows;
        std::fill(rows.begin() + std::min<int>(base.attributesOf(slot).kvProizv, kMonthRowCount),
                  rows.begin() + kMonthRowCount, AccrualRow{});
        for (auto row = rows.begin() + kMonthRowCount; row != rows.end(); ++row)
            if (row->kod == recorded.code && row->hrRest == recorded.origin)
                *row = AccrualRow{};
    }
}

void DeleteEmployee(CInfoBase& base, int slot)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    const qint64 id = KonstId(db, slot);
    if (id != 0)
        DeleteEmployeeRows(db, id);
    tr.commit();
}

} // namespace kalvor::infobase
