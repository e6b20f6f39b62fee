// The employees of the month change read and written by groups on a server.
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbTransaction.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace kalvor::infobase {

using namespace detail;

namespace {

// The master rows of the moved employees written over the stored ones by
// slot, the columns from rec on as arrays.
const QString& movedMasterRowsSql()
{
    static const QString sql = UpdateRowsOnServerSql(KonstTable().def(), 1);
    return sql;
}

// Every employee's dated archive, by slot, each in the order LoadWarDat
// reads it (by g1, m1, d1, god, mes, kod, num, a missing value last, as the
// server orders it), at most a block's capacity. The rows are sorted as
// they are read, not by the server's sort of the whole archive.
std::unordered_map<int, std::vector<WarDatEntry>> everyDatedArchive(const QSqlDatabase& db)
{
    const TableDef& t = WarDatTable().def();
    static const QString sql = SlotRowsSql(t, {.from = 1, .numbered = false, .ordered = false});
    // The rows read hold the slot, then the table's columns from num on:
    // each column has its place among the table's.
    static const std::vector<int> order = [&] {
        QStringList columns;
        for (const char* name : {"g1", "m1", "d1", "god", "mes", "kod", "num"})
            columns << DeclaredColumn(t, QLatin1String(name));
        return SortPlaces(t.columns, columns);
    }();
    std::unordered_map<int, std::vector<WarDatEntry>> bySlot;
    db::RawStatement& q = db::RawStatementFor(db, sql, order);
    while (q.next()) {
        Reader r(q);
        std::vector<WarDatEntry>& entries = bySlot[r.n()];
        if (int(entries.size()) >= WarDatBlock::Capacity)
            continue;
        r.n(); // num, in the order
        WarDatTable().read(entries.emplace_back(), r);
    }
    return bySlot;
}

// The slots that have a master row.
std::unordered_set<int> slotsWithMasterRows(const QSqlDatabase& db)
{
    static const QString sql = [] {
        const TableDef& t = KonstTable().def();
        return SelectColumnsSql(t, {t.columns[1]}, QString());
    }();
    std::unordered_set<int> found;
    db::RawStatement& q = db::RawStatementFor(db, sql);
    while (q.next()) found.insert(q.toInt(0));
    return found;
}

// Whether every statement of a group can be made on a server.
bool groupsCanBeSent()
{
    if (movedMasterRowsSql().isEmpty())
        return false;
    for (const TableDef* t : MovedDetailTables())
        if (OwnedRowsOnServerSql(*t).isEmpty())
            return false;
    return true;
}

// The dated archive without its blank entries at the end (their places
// are kept by the entries before them).
WarDatBlock trimmed(WarDatBlock block)
{
    static const WarDatEntry blank{};
    while (!block.entries.empty() && block.entries.back() == blank) block.entries.pop_back();
    return block;
}

} // namespace

// A moved employee kept for his group: what WriteEmployeeCalc writes of him.
struct MovedMember {
    int slot = 0, tabN = 0;
    EmployeeAttributes attr;
    EmployeeRecord rec; // its blank archive entries at the end left off
    WarDatBlock warDat; // likewise
};

struct MovedEmployees::Impl {
    Impl(CInfoBase& base, std::function<QString(int)> refusalText)
        : base(base), db(Db(base)), refusalText(std::move(refusalText))
    {}

    CInfoBase& base;
    QSqlDatabase db;
    std::function<QString(int)> refusalText;
    bool grouped = false;
    std::optional<EmployeeRecordFeed> feed;
    std::unordered_map<int, std::vector<WarDatEntry>> datedArchives;
    std::unordered_set<int> mastered;
    std::vector<MovedMember> kept;

    // Writes one employee alone, a refusal naming him.
    void writeAlone(int slot, int tabN, const EmployeeAttributes& attr, const EmployeeRecord& rec,
                    const WarDatBlock& warDat) const
    {
        try {
            WriteEmployeeCalc(db, slot, tabN, attr, rec, warDat);
        } catch (const db::DbError& e) {
            if (!db::IsRefusal(e))
                throw;
            throw e.naming(refusalText(slot));
        }
    }
    void writeAlone(const MovedMember& m) const { writeAlone(m.slot, m.tabN, m.attr, m.rec, m.warDat); }

    // The group's statements, one a table, in one batch.
    void send(const std::vector<MovedMember>& members) const
    {
        db::ColumnArrays masters, owners;
        std::vector<db::ColumnArrays> rows;
        for (const MovedMember& m : members) {
            Binder b(masters);
            b << m.slot << m.tabN;
            KonstTable().bind(m.rec, b);
            owners.row();
            owners.bind(0, qint64(m.slot));
            BindMovedRows(rows, m.slot, m.rec, m.attr.kvProizv, m.warDat);
        }
        const int counted = int(members.size());
        db::Batch batch(db);
        batch.add(movedMasterRowsSql(), counted);
        for (int c = 0; c < masters.columns(); ++c) batch.bind(c, masters.literal(c));
        for (std::size_t t = 0; t < MovedDetailTables().size(); ++t) {
            // The owner's slot, then the columns after id_konst.
            const int width = int(MovedDetailTables()[t]->columns.size());
            batch.add(OwnedRowsOnServerSql(*MovedDetailTables()[t]), counted);
            for (int c = 0; c < width; ++c)
                batch.bind(c, rows[t].rows() > 0 ? rows[t].literal(c) : QStringLiteral("{}"));
            batch.bind(width, owners.literal(0));
        }
        batch.run();
    }
};

MovedEmployees::MovedEmployees(CInfoBase& base, const std::vector<int>& wanted,
                               std::function<QString(int slot)> refusalText)
    : d(std::make_unique<Impl>(base, std::move(refusalText)))
{
    d->grouped = db::IsServer(d->db) && groupsCanBeSent();
    if (!d->grouped)
        return;
    d->feed.emplace(base, wanted);
    d->datedArchives = everyDatedArchive(d->db);
    d->mastered = slotsWithMasterRows(d->db);
}

MovedEmployees::~MovedEmployees() = default;

void MovedEmployees::load(int slot)
{
    CInfoBase& base = d->base;
    if (!d->grouped) {
        LoadEmployee(base, slot);
        LoadWarDat(base, slot, 0, 0, 0);
        return;
    }
    base.ClearCurrentRecord();
    d->feed->makeCurrent(slot);
    const auto it = d->datedArchives.find(slot);
    if (it == d->datedArchives.end())
        return;
    std::copy(it->second.begin(), it->second.end(), base.warDat.entries.begin());
    base.warDat.warDatKv = u16(it->second.size());
    d->datedArchives.erase(it);
}

void MovedEmployees::save(int slot, const EmployeeAttributes& attr)
{
    CInfoBase& base = d->base;
    // A slot without a master row gets one made, as WriteEmployeeCalc makes it.
    if (!d->grouped || !d->mastered.contains(slot)) {
        d->writeAlone(slot, base.tabNOfSlot(slot), attr, base.current, base.warDat);
        return;
    }
    MovedMember& m = d->kept.emplace_back(MovedMember{slot, base.tabNOfSlot(slot), attr, base.current, trimmed(base.warDat)});
    m.rec.waria.resize(std::size_t(ArchiveEntriesInUse(m.rec.waria)));
    if (int(d->kept.size()) >= kMovedGroup)
        flush();
}

void MovedEmployees::flush()
{
    const std::vector<MovedMember> members = std::exchange(d->kept, {});
    if (members.empty())
        return;
    try {
        d->send(members);
    } catch (const db::DbError& e) {
        if (!db::IsRefusal(e))
            throw;
        // Nothing of the group stays: its employees are written again one by
        // one, up to the one refused.
        for (const MovedMember& m : members) d->writeAlone(m);
        throw;
    }
}

} // namespace kalvor::infobase
