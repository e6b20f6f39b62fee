// Loaders and savers of the configuration, the firm record, the reference
// tables, the per-slot tables, the line tables and the employee lists.
#include "infobase/BaseCheck.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/PayKindCodes.h"
#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbTransaction.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <algorithm>
#include <optional>

namespace kalvor::infobase {

using namespace detail;

namespace {

// Adds to the batch the statements that empty the table (or the rows whose
// first key is `firstKey`) and insert the rows that `insertAll` binds: run
// as one batch (on a server one round trip), on any failure the table keeps
// its previous rows. On a server a table with a primary key gets its rows as
// column arrays in one statement that writes only the rows that changed
// (ReplaceRowsOnServerSql).
void addTableReplace(db::Batch& batch, bool server, const TableDef& table,
                     const std::function<void(BatchRows&)>& insertAll, const QVariant& firstKey = QVariant())
{
    if (server) {
        if (const QString& replace = TableReplaceOnServerSql(table, firstKey.isValid()); !replace.isEmpty()) {
            db::ColumnArrays columns;
            BatchRows rows{batch, TableInsertSql(table), &columns};
            insertAll(rows);
            batch.add(replace, 1 + columns.rows()); // the delete and the rows on a base file
            for (int c = 0; c < int(table.columns.size()); ++c)
                batch.bind(c, columns.rows() > 0 ? columns.literal(c) : QStringLiteral("{}"));
            if (firstKey.isValid())
                batch.bind(int(table.columns.size()), firstKey);
            return;
        }
    }
    if (!firstKey.isValid()) {
        batch.add(DeleteRowsSql(table));
    } else {
        batch.add(DeleteRowsSql(table, ColumnEqualsSql(table, 0)));
        batch.bind(0, firstKey);
    }
    BatchRows rows{batch, TableInsertSql(table)};
    insertAll(rows);
}

// The same as a batch of its own.
void replaceTable(const QSqlDatabase& db, const TableDef& table, const std::function<void(BatchRows&)>& insertAll,
                  const QVariant& firstKey = QVariant())
{
    db::Batch batch(db);
    addTableReplace(batch, db::IsServer(db), table, insertAll, firstKey);
    batch.run();
}

// The id of the firm record's one row (in both of its tables).
constexpr int kFirmRowId = 1;

// A read of a table's rows: the SELECT of its columns with the tail (a
// WHERE or nothing), the value of the tail's one "?", if any, and the places
// of the columns its rows come in the order of (none: the engine's order).
struct TableRead {
    TableRead(const TableDef& t, const QString& tl = QString(), const QVariant& a = QVariant(), std::vector<int> o = {})
        : table(&t), tail(tl), arg(a), order(std::move(o))
    {
    }
    const TableDef* table;
    QString tail;
    QVariant arg;
    std::vector<int> order;
    QString sql() const { return SelectSql(*table, tail); }
    bool sameAs(const TableRead& other) const
    {
        return sql() == other.sql() && order == other.order && arg.isValid() == other.arg.isValid() &&
               (!arg.isValid() || arg == other.arg);
    }
};

// The reads of several loaders sent to a server together in one round trip
// before the loaders run, on this thread while the set lasts: each loader's
// read takes the rows of the one sent with its text and value; a read not
// among them runs alone. On a base file nothing is sent ahead: each loader
// reads its table as it runs, which costs no wait there.
class ReadsSentTogether {
public:
    ReadsSentTogether(const QSqlDatabase& db, const std::vector<TableRead>& reads) : outer_(current_)
    {
        current_ = this;
        if (!db::IsServer(db))
            return;
        std::vector<db::RawStatement*> queries;
        for (const TableRead& read : reads) {
            auto q = std::make_unique<db::RawStatement>(db, read.sql(), read.order);
            if (read.arg.isValid())
                q->bind(0, read.arg);
            queries.push_back(q.get());
            sent_.push_back({read, std::move(q)});
        }
        try {
            db::RawStatement::startTogether(queries);
        } catch (...) {
            current_ = outer_;
            throw;
        }
    }
    ~ReadsSentTogether() { current_ = outer_; }
    ReadsSentTogether(const ReadsSentTogether&) = delete;
    ReadsSentTogether& operator=(const ReadsSentTogether&) = delete;

    // The query sent ahead for that read, taken from the set of this
    // thread; null when none was.
    static std::unique_ptr<db::RawStatement> take(const TableRead& read)
    {
        for (ReadsSentTogether* set = current_; set; set = set->outer_)
            for (Sent& s : set->sent_)
                if (s.query && s.read.sameAs(read))
                    return std::move(s.query);
        return nullptr;
    }

private:
    struct Sent {
        TableRead read;
        std::unique_ptr<db::RawStatement> query; // null once taken
    };
    std::vector<Sent> sent_;
    ReadsSentTogether* outer_;
    static thread_local ReadsSentTogether* current_;
};

thread_local ReadsSentTogether* ReadsSentTogether::current_ = nullptr;

// Runs `fn` on every row of a SELECT of the whole table, read straight from
// the engine as the employee tables' loader reads them (no QtSql result
// cached value by value); the rows of the same read sent ahead, if it was.
void eachRow(const QSqlDatabase& db, const TableRead& read, const std::function<void(Reader&)>& fn)
{
    std::unique_ptr<db::RawStatement> q = ReadsSentTogether::take(read);
    if (!q) {
        q = std::make_unique<db::RawStatement>(db, read.sql(), read.order);
        if (read.arg.isValid())
            q->bind(0, read.arg);
    }
    while (q->next()) {
        Reader r(*q);
        fn(r);
    }
}

// A fault of a table's rows: "Таблица dbo.<name>" and what follows.
QString tableSays(const TableDef& table, const char* what)
{
    return QStringLiteral("Таблица ") + Qualified(table.name) + QString::fromUtf8(what);
}

// The count of employees in the list, kept in the configuration's row.
void saveEmployeeCount(const QSqlDatabase& db, const InfoBaseConfig& config, std::size_t count)
{
    static const ColumnUpdate<InfoBaseConfig> kolRab = ConfigTable().update({QStringLiteral("kolRab")});
    InfoBaseConfig c = config;
    c.kolRab = i16(count);
    kolRab.run(db, c, kConfigRowId);
}

// "«Иванов И. И.» (запись 5)", or "запись 5" while the slot has no name.
QString employeeOfSlot(const CInfoBase& base, int slot)
{
    const QString name = base.holdsSlot(slot) ? base.shortNameOf(slot).trimmed() : QString();
    return name.isEmpty() ? QStringLiteral("запись %1").arg(slot)
                          : QStringLiteral("«%1» (запись %2)").arg(name).arg(slot);
}

// The short names of the slots, the first slot's first.
void writeShortNames(const QSqlDatabase& db, const std::vector<QString>& names)
{
    replaceTable(db, FioTable().def(), [&](BatchRows& ins) {
        for (int slot = 1; slot <= int(names.size()); ++slot) {
            Binder b(ins);
            b << slot;
            FioTable().bind(names[SlotPlace(slot, names.size())], b);
        }
    });
}

} // namespace

// ---------------------------------------------------------------- configuration

void LoadConfig(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    db::RawStatement& q = db::RawStatementFor(db, SelectSql(ConfigTable().def(), WhereColumnSql(ConfigTable().def())));
    q.bind(0, kConfigRowId);
    InfoBaseConfig c;
    if (!q.next())
        ThrowNoConfigRow();
    Reader r(q, 1);
    ConfigTable().read(c, r);
    q.reset();
    const int kolRab = c.kolRab;
    base.config = c;
    base.AllocateTables(c.kolMax);
    base.config.kolRab = i16(kolRab);
    // Two-digit years are read around this base's reporting year from now on.
    Clock::setReferenceYear(&base, base.config.reportingYear());
}

namespace {

// The configuration's one row written in place, its generation kept (no
// memory holds it, and the generation is not among the row's declared
// columns); a base without it (one being built) gets it anew. On a server
// that is one statement, which writes the row only when it changed, in a
// batch that goes with the save's others without waiting for its answer.
// dbo.color is kept as it stands: the program holds nothing of it in memory.
void writeConfigRow(const QSqlDatabase& db, const InfoBaseConfig& c)
{
    const TableDef& t = ConfigTable().def();
    if (db::IsServer(db) && !TableReplaceOnServerSql(t, false).isEmpty()) {
        replaceTable(db, t, [&](BatchRows& ins) {
            Binder b(ins);
            b << kConfigRowId;
            ConfigTable().bind(c, b);
        });
        return;
    }
    db::Transaction tr(db);
    db::Batch others(db);
    others.add(DeleteRowsSql(t, QStringLiteral("%1 <> ?").arg(t.columns[0]))).bind(0, kConfigRowId);
    others.run();
    static const QString update = UpdateColumnsSql(t, t.columns.mid(1), ColumnEqualsSql(t, 0));
    db::Recordset up(db, update);
    Binder b(up);
    ConfigTable().bind(c, b);
    b << kConfigRowId;
    up.exec();
    if (up.numRowsAffected() == 0) {
        db::Recordset ins(db, InsertSql(t));
        Binder row(ins);
        row << kConfigRowId;
        ConfigTable().bind(c, row);
        ins.exec();
    }
    tr.commit();
}

} // namespace

void SaveConfig(CInfoBase& base)
{
    writeConfigRow(Db(base), base.config);
    Clock::setReferenceYear(&base, base.config.reportingYear());
}

void SaveConfigCounters(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    static const ColumnUpdate<InfoBaseConfig> counters =
        ConfigTable().update({QStringLiteral("kolMax"), QStringLiteral("kolRab"), QStringLiteral("sort")});
    counters.run(db, base.config, kConfigRowId);
}

void SaveConfigNEnt(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    static const ColumnUpdate<InfoBaseConfig> nEnt = ConfigTable().update({QStringLiteral("nEnt")});
    nEnt.run(db, base.config, kConfigRowId);
}

// ---------------------------------------------------------------- firm

void LoadFirm(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    const ReadsSentTogether reads(db, {{InfFirmTable().def(), WhereColumnSql(InfFirmTable().def()), kFirmRowId},
                                       {InfParTable().def(), WhereColumnSql(InfParTable().def()), kFirmRowId},
                                       {MaskTable().def()},
                                       {KtuTable().def()},
                                       {StagTable().def()}});
    FirmInfo f;
    for (const auto* table : {&InfFirmTable(), &InfParTable()})
        eachRow(db, {table->def(), WhereColumnSql(table->def()), kFirmRowId}, [&](Reader& r) {
            r.n();
            table->read(f, r);
        });
    eachRow(db, {MaskTable().def()}, [&](Reader& r) {
        const int kod = r.n();
        MaskRow m;
        MaskTable().read(m, r);
        if (IsCodeInRange(kod))
            for (std::size_t i = 0; i < f.masks.size(); ++i) f.masks[i][std::size_t(kod)] = m.mas[i];
    });
    eachRow(db, {KtuTable().def()}, [&](Reader& r) {
        const int num = r.n();
        if (num < 1 || num > 12)
            return;
        const int place = PlaceOfNumber(num), rule = place % 4;
        KtuRow k;
        k.formulaRule = rule == 1;
        KtuTable().read(k, r);
        f.ktu[std::size_t(place / 4)][std::size_t(rule)] = k.word;
    });
    eachRow(db, {StagTable().def()}, [&](Reader& r) {
        const int num = r.n();
        if (num >= 1 && num <= 15)
            StagTable().read(f.stag[std::size_t(PlaceOfNumber(num))], r);
    });
    base.firm = f;
}

void SaveFirm(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    const FirmInfo& f = base.firm;
    // Every table of the record in one batch (on a server one round trip).
    db::Batch batch(db);
    const bool server = db::IsServer(db);
    for (const auto* table : {&InfFirmTable(), &InfParTable()})
        addTableReplace(batch, server, table->def(), [&](BatchRows& ins) {
            Binder b(ins);
            b << kFirmRowId;
            table->bind(f, b);
        });
    addTableReplace(batch, server, MaskTable().def(), [&](BatchRows& ins) {
        for (int kod = 0; kod < kPayKindCodeCount; ++kod) {
            MaskRow m;
            for (std::size_t i = 0; i < f.masks.size(); ++i) m.mas[i] = f.masks[i][std::size_t(kod)];
            if (m.mas == MaskRow{}.mas)
                continue;
            Binder b(ins);
            b << kod;
            MaskTable().bind(m, b);
        }
    });
    addTableReplace(batch, server, KtuTable().def(), [&](BatchRows& ins) {
        for (int v = 0; v < 3; ++v)
            for (int rule = 0; rule < 4; ++rule) {
                Binder b(ins);
                b << v * 4 + rule + 1;
                KtuTable().bind(KtuRow{f.ktu[std::size_t(v)][std::size_t(rule)], rule == 1}, b);
            }
    });
    addTableReplace(batch, server, StagTable().def(), [&](BatchRows& ins) {
        for (int i = 0; i < 15; ++i) {
            Binder b(ins);
            b << i + 1;
            StagTable().bind(f.stag[std::size_t(i)], b);
        }
    });
    batch.run();
}

// ---------------------------------------------------------------- pay kinds, shops, schedules

namespace {

// The pay kinds in the order of their codes.
TableRead payKindsRead()
{
    const TableDef& t = EntreeTable().def();
    return TableRead(t, QString(), QVariant(), SortPlaces(t.columns, {DeclaredColumn(t, QStringLiteral("kod"))}));
}

} // namespace

void LoadEntree(CInfoBase& base)
{
    std::vector<PayKind> kinds;
    eachRow(Db(base), payKindsRead(), [&](Reader& r) {
        if (int(kinds.size()) >= CInfoBase::MaxPayKinds)
            return;
        PayKind p;
        EntreeTable().read(p, r);
        kinds.push_back(p);
    });
    base.setPayKinds(std::move(kinds));
}

void SaveEntree(CInfoBase& base)
{
    std::vector<PayKind> kinds = base.payKinds();
    std::stable_sort(kinds.begin(), kinds.end(), CInfoBase::PayKindBefore);
    replaceTable(Db(base), EntreeTable().def(), [&](BatchRows& ins) {
        for (const PayKind& p : kinds) {
            Binder b(ins);
            EntreeTable().bind(p, b);
        }
    });
}

void LoadCeh(CInfoBase& base)
{
    for (int number = 1; number <= CInfoBase::ShopCount; ++number) base.shopAt(number) = ShopRecord{};
    eachRow(Db(base), {CehTable().def()}, [&](Reader& r) {
        const int num = r.n();
        if (CInfoBase::holdsShop(num))
            CehTable().read(base.shopAt(num), r);
    });
}

void SaveCeh(CInfoBase& base)
{
    replaceTable(Db(base), CehTable().def(), [&](BatchRows& ins) {
        for (int number = 1; number <= CInfoBase::ShopCount; ++number) {
            const ShopRecord& s = base.shopAt(number);
            if (s.number == 0 && s.name.isEmpty())
                continue;
            Binder b(ins);
            b << number;
            CehTable().bind(s, b);
        }
    });
}

void LoadGraph(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    for (int number = 1; number <= CInfoBase::ScheduleCount; ++number) base.scheduleAt(number) = WorkSchedule{};
    eachRow(db, {GraphTable().def()}, [&](Reader& r) {
        const int num = r.n();
        if (CInfoBase::holdsSchedule(num))
            GraphTable().read(base.scheduleAt(num), r);
    });
    eachRow(db, {GraMesTable().def()}, [&](Reader& r) {
        const int g = r.n(), k = r.n();
        if (CInfoBase::holdsSchedule(g) && k >= 0 && k < 22)
            GraMesTable().read(base.scheduleAt(g).months[std::size_t(k)], r);
    });
}

void SaveGraph(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    db::Transaction tr(db);
    replaceTable(db, GraphTable().def(), [&](BatchRows& ins) {
        for (int number = 1; number <= CInfoBase::ScheduleCount; ++number) {
            Binder b(ins);
            b << number;
            GraphTable().bind(base.scheduleAt(number), b);
        }
    });
    replaceTable(db, GraMesTable().def(), [&](BatchRows& ins) {
        for (int number = 1; number <= CInfoBase::ScheduleCount; ++number)
            for (int k = 0; k < 22; ++k) {
                const ScheduleMonth& m = base.scheduleAt(number).months[std::size_t(k)];
                if (m == ScheduleMonth{})
                    continue;
                Binder b(ins);
                b << number << k;
                GraMesTable().bind(m, b);
            }
    });
    tr.commit();
}

// ---------------------------------------------------------------- per-slot tables

void LoadTabel(CInfoBase& base)
{
    for (int slot = 1; slot <= base.slotCount(); ++slot) base.tabelOf(slot) = TabelRecord{};
    eachRow(Db(base), {TabelTable().def()}, [&](Reader& r) {
        const int num = r.n();
        if (base.holdsSlot(num))
            TabelTable().read(base.tabelOf(num), r);
    });
}

void SaveTabel(CInfoBase& base)
{
    replaceTable(Db(base), TabelTable().def(), [&](BatchRows& ins) {
        for (int slot = 1; slot <= base.slotCount(); ++slot) {
            Binder b(ins);
            b << slot;
            TabelTable().bind(base.tabelOf(slot), b);
        }
    });
}

namespace {

constexpr LineKind kLineKinds[] = {LineKind::AltTabel, LineKind::Prem, LineKind::Bln, LineKind::Otp};

// The letter that names the kind in the index rows (vid).
QChar letterOf(LineKind kind) { return QChar::fromLatin1(char(kind)); }

// The kind that a stored index row's letter (its first) names; none for a letter of no kind.
std::optional<LineKind> lineKindOf(const QString& vid)
{
    for (const LineKind kind : kLineKinds)
        if (!vid.isEmpty() && vid[0] == letterOf(kind))
            return kind;
    return std::nullopt;
}

// The line array that an index word of that kind points into.
int lineCapacityOf(const CInfoBase& base, LineKind kind)
{
    switch (kind) {
    case LineKind::AltTabel: return base.altTabel.lineCapacity();
    case LineKind::Prem: return base.prem.lineCapacity();
    case LineKind::Bln: return base.bln.lineCapacity();
    case LineKind::Otp: return base.otp.lineCapacity();
    }
    return 0;
}

// An index word's run must lie inside its line array: the screens and the
// calculation index the lines by it.
void checkLineRun(const CInfoBase& base, LineKind kind, int slot, int first, int count)
{
    const int lines = lineCapacityOf(base, kind);
    if (first >= 0 && count >= 0 && count <= LineIndexEntry::MaxCount && first <= LineIndexEntry::MaxFirst &&
        first + count <= lines)
        return;
    ThrowDamaged(tableSays(IndexesTable().def(), ", вид «%1», работник %2: строки с %3 по %4 "
                                                 "вне массива из %5 строк.")
                     .arg(letterOf(kind))
                     .arg(employeeOfSlot(base, slot))
                     .arg(first)
                     .arg(qint64(first) + count - 1)
                     .arg(lines));
}

// The runs of one kind must follow the slots' order without overlapping:
// every splice of the entry screens moves the later runs by that order.
void checkRunOrder(const CInfoBase& base, LineKind kind)
{
    int end = 0;
    for (int slot = 1; slot <= base.slotCount(); ++slot) {
        const u16 w = base.indexWord(kind, slot);
        const int first = LineIndexEntry::first(w), count = LineIndexEntry::count(w);
        if (count == 0)
            continue;
        if (first < end)
            ThrowDamaged(tableSays(IndexesTable().def(), ", вид «%1», работник %2: строки с %3 по %4 "
                                                         "заходят на строки работника с меньшим номером записи.")
                             .arg(letterOf(kind))
                             .arg(employeeOfSlot(base, slot))
                             .arg(first)
                             .arg(first + count - 1));
        end = first + count;
    }
}

} // namespace

void LoadIndexes(CInfoBase& base)
{
    for (auto* idx : {&base.altTabel.index, &base.prem.index, &base.bln.index, &base.otp.index})
        std::fill(idx->begin(), idx->end(), u16(0));
    eachRow(Db(base), {IndexesTable().def()}, [&](Reader& r) {
        const std::optional<LineKind> kind = lineKindOf(r.s());
        const int slot = r.n();
        LineRun run;
        IndexesTable().read(run, r);
        if (!kind || !base.holdsSlot(slot))
            return;
        if (run.count != 0)
            checkLineRun(base, *kind, slot, run.first, run.count);
        base.setIndexWord(*kind, slot, run.count != 0 ? LineIndexEntry::make(run.first, run.count) : u16(0));
    });
    for (const LineKind kind : kLineKinds) checkRunOrder(base, kind);
}

void SaveIndexes(CInfoBase& base, LineKind kind)
{
    const QString vid(letterOf(kind));
    replaceTable(
        Db(base), IndexesTable().def(),
        [&](BatchRows& ins) {
            for (int slot = 1; slot <= base.slotCount(); ++slot) {
                Binder b(ins);
                const u16 w = base.indexWord(kind, slot);
                b << vid << slot;
                IndexesTable().bind(LineRun{LineIndexEntry::first(w), LineIndexEntry::count(w)}, b);
            }
        },
        vid);
}

namespace {

// The place of line `num` (1 .. cap) of third `mass` (1 .. 3) of the
// alternative time-sheet lines, which are stored by third and line.
std::size_t altTabelPlace(int mass, int num, int cap)
{
    return std::size_t(PlaceOfNumber(mass) * cap + PlaceOfNumber(num));
}

} // namespace

void LoadAltTabel(CInfoBase& base)
{
    std::fill(base.altTabel.lines.begin(), base.altTabel.lines.end(), AltTabelEntry{});
    const int cap = base.slotCount();
    eachRow(Db(base), {AltTabelTable().def()}, [&](Reader& r) {
        const int mass = r.n(), num = r.n();
        if (mass >= 1 && mass <= 3 && num >= 1 && num <= cap)
            AltTabelTable().read(base.altTabel.lines[altTabelPlace(mass, num, cap)], r);
    });
}

void SaveAltTabel(CInfoBase& base, int mass)
{
    if (mass < 1 || mass > 3)
        return;
    const int cap = base.slotCount();
    replaceTable(
        Db(base), AltTabelTable().def(),
        [&](BatchRows& ins) {
            for (int num = 1; num <= cap; ++num) {
                const AltTabelEntry& e = base.altTabel.lines[altTabelPlace(mass, num, cap)];
                if (e == AltTabelEntry{})
                    continue;
                Binder b(ins);
                b << mass << num;
                AltTabelTable().bind(e, b);
            }
        },
        mass);
}

void LoadFio(CInfoBase& base)
{
    for (int slot = 1; slot <= base.slotCount(); ++slot) base.shortNameOf(slot) = QString();
    eachRow(Db(base), {FioTable().def()}, [&](Reader& r) {
        const int num = r.n();
        if (base.holdsSlot(num))
            FioTable().read(base.shortNameOf(num), r);
    });
}

void SaveFio(CInfoBase& base)
{
    std::vector<QString> names;
    names.reserve(std::size_t(base.slotCount()));
    for (int slot = 1; slot <= base.slotCount(); ++slot) names.push_back(base.shortNameOf(slot));
    writeShortNames(Db(base), names);
}

void LoadComp(CInfoBase& base)
{
    for (int slot = 1; slot <= base.slotCount(); ++slot) {
        base.attributesOf(slot) = EmployeeAttributes{};
        base.shopOf(slot) = 0;
    }
    eachRow(Db(base), {CompTable().def()}, [&](Reader& r) {
        const int num = r.n();
        if (!base.holdsSlot(num))
            return;
        base.shopOf(num) = u8(r.n());
        CompTable().read(base.attributesOf(num), r);
    });
}

void SaveComp(CInfoBase& base)
{
    replaceTable(Db(base), CompTable().def(), [&](BatchRows& ins) {
        for (int slot = 1; slot <= base.slotCount(); ++slot) {
            Binder b(ins);
            b << slot << int(base.shopOf(slot));
            CompTable().bind(base.attributesOf(slot), b);
        }
    });
}

namespace {

// The lines of a line array at their places (num = place + 1); the empty ones
// are not stored.
template <class Line>
void loadLines(CInfoBase& base, const StoredTable<Line>& decl, std::vector<Line>& lines)
{
    std::fill(lines.begin(), lines.end(), Line{});
    eachRow(Db(base), {decl.def()}, [&](Reader& r) {
        const int num = r.n();
        if (num >= 1 && num <= int(lines.size()))
            decl.read(lines[std::size_t(PlaceOfNumber(num))], r);
    });
}

template <class Line>
void saveLines(CInfoBase& base, const StoredTable<Line>& decl, const std::vector<Line>& lines)
{
    replaceTable(Db(base), decl.def(), [&](BatchRows& ins) {
        for (std::size_t place = 0; place < lines.size(); ++place) {
            if (lines[place] == Line{})
                continue;
            Binder b(ins);
            b << NumberOfPlace(int(place));
            decl.bind(lines[place], b);
        }
    });
}

} // namespace

void LoadPrem(CInfoBase& base) { loadLines(base, PremTable(), base.prem.lines); }
void SavePrem(CInfoBase& base) { saveLines(base, PremTable(), base.prem.lines); }
void LoadBln(CInfoBase& base) { loadLines(base, BlnTable(), base.bln.lines); }
void SaveBln(CInfoBase& base) { saveLines(base, BlnTable(), base.bln.lines); }
void LoadOtp(CInfoBase& base) { loadLines(base, OtpTable(), base.otp.lines); }
void SaveOtp(CInfoBase& base) { saveLines(base, OtpTable(), base.otp.lines); }

void SaveLines(CInfoBase& base, LineKind kind)
{
    // The index words name places in the lines: both go into the base
    // together or not at all.
    db::WriteTogether(Db(base), [&] {
        SaveIndexes(base, kind);
        switch (kind) {
        case LineKind::AltTabel:
            for (int mass = 1; mass <= 3; ++mass) SaveAltTabel(base, mass);
            break;
        case LineKind::Prem: SavePrem(base); break;
        case LineKind::Bln: SaveBln(base); break;
        case LineKind::Otp: SaveOtp(base); break;
        }
    });
}

void LoadAvZar1(CInfoBase& base)
{
    for (int slot = 1; slot <= base.slotCount(); ++slot) {
        base.avOf(slot) = 0.0;
        base.zar1Of(slot) = 0.0;
    }
    eachRow(Db(base), {AvZar1Table().def()}, [&](Reader& r) {
        const int num = r.n();
        if (!base.holdsSlot(num))
            return;
        AvZarRow a;
        AvZar1Table().read(a, r);
        base.avOf(num) = a.av;
        base.zar1Of(num) = a.zar1;
    });
}

void SaveAvZar1(CInfoBase& base)
{
    replaceTable(Db(base), AvZar1Table().def(), [&](BatchRows& ins) {
        for (int slot = 1; slot <= base.slotCount(); ++slot) {
            Binder b(ins);
            b << slot;
            AvZar1Table().bind(AvZarRow{base.avOf(slot), base.zar1Of(slot)}, b);
        }
    });
}

// ---------------------------------------------------------------- employee lists

namespace {

// "WHERE mass = ?" of the list, by num: one list's entries in their order.
TableRead listRead(int mass)
{
    const TableDef& t = SimpTable().def();
    return TableRead(t, WhereColumnSql(t), mass, SortPlaces(t.columns, {t.columns[1]}));
}

// One of the two stored employee lists. Every entry must name a record slot
// of the base (1..slotCount()) and the list must fit the capacity: the month
// change and the calculation index the per-slot tables by them.
std::vector<EmployeeListEntry> readList(const CInfoBase& base, const QSqlDatabase& db, int mass)
{
    std::vector<EmployeeListEntry> l;
    eachRow(
        db, listRead(mass), [&](Reader& r) {
            r.n();
            r.n();
            ListRow row;
            SimpTable().read(row, r);
            bool isNumber = false;
            const qint64 slotNumber = row.rec.toLongLong(&isNumber);
            if (!isNumber || slotNumber < 1 || slotNumber > base.slotCount())
                ThrowDamaged(tableSays(SimpTable().def(), " (список %1): у работника с табельным номером %2 "
                                                          "номер записи «%3» вне пределов 1-%4.")
                                 .arg(mass)
                                 .arg(row.entry.tabN())
                                 .arg(row.rec.toString())
                                 .arg(base.slotCount()));
            if (int(l.size()) >= base.capacity())
                ThrowDamaged(tableSays(SimpTable().def(), " (список %1): работников больше, чем вместимость базы %2.")
                                 .arg(mass)
                                 .arg(base.capacity()));
            row.entry.slot = u16(slotNumber);
            l.push_back(row.entry);
        });
    return l;
}

void writeList(const QSqlDatabase& db, int mass, const std::vector<EmployeeListEntry>& l)
{
    replaceTable(
        db, SimpTable().def(),
        [&](BatchRows& ins) {
            for (std::size_t i = 0; i < l.size(); ++i) {
                Binder b(ins);
                b << mass << int(i + 1);
                SimpTable().bind(ListRow{l[i], QVariant()}, b);
            }
        },
        mass);
}

} // namespace

void LoadSimp(CInfoBase& base, int mass)
{
    base.list = readList(base, Db(base), mass);
    base.config.kolRab = i16(base.list.size());
}

void SaveSimp(CInfoBase& base, int mass) { writeList(Db(base), mass, base.list); }

void SaveBothLists(CInfoBase& base)
{
    const QSqlDatabase db = Db(base);
    const int currentMass = base.nameOrder() ? 2 : 1;
    db::Transaction tr(db);
    writeList(db, currentMass, base.list);
    writeList(db, 3 - currentMass, base.otherList);
    saveEmployeeCount(db, base.config, base.list.size());
    tr.commit();
}

bool StoredListHolds(CInfoBase& base, int tabN)
{
    const TableDef& t = SimpTable().def();
    db::Recordset q(Db(base), SelectColumnsSql(t, {t.columns[0]}, WhereColumnSql(t, 2) + QStringLiteral(" LIMIT 1")));
    q.run(tabN);
    return q.next();
}

void SaveSlotRows(CInfoBase& base, int slot)
{
    const QSqlDatabase db = Db(base);
    db::Batch batch(db);
    // The slot's row of a per-slot table: deleted, then written anew.
    const auto rowOf = [&](const TableDef& t, int key, const std::function<void(Binder&)>& bindRest) {
        batch.add(DeleteRowsSql(t, ColumnEqualsSql(t, 0))).bind(0, key);
        BatchRows rows{batch, TableInsertSql(t)};
        Binder b(rows);
        b << key;
        bindRest(b);
    };
    rowOf(CompTable().def(), slot, [&](Binder& b) {
        b << int(base.shopOf(slot));
        CompTable().bind(base.attributesOf(slot), b);
    });
    rowOf(AvZar1Table().def(), slot, [&](Binder& b) { AvZar1Table().bind(AvZarRow{base.avOf(slot), base.zar1Of(slot)}, b); });
    rowOf(FioTable().def(), slot, [&](Binder& b) { FioTable().bind(base.shortNameOf(slot), b); });
    rowOf(TabelTable().def(), slot, [&](Binder& b) { TabelTable().bind(base.tabelOf(slot), b); });
    if (base.prem.count(slot) > 0) {
        const int place = base.prem.first(slot);
        const BonusLine& line = base.prem.lines[std::size_t(place)];
        const TableDef& t = PremTable().def();
        batch.add(DeleteRowsSql(t, ColumnEqualsSql(t, 0))).bind(0, NumberOfPlace(place));
        if (!(line == BonusLine{})) {
            BatchRows rows{batch, TableInsertSql(t)};
            Binder b(rows);
            b << NumberOfPlace(place);
            PremTable().bind(line, b);
        }
    }
    batch.run();
}

QString ShortNameOf(const QString& fio)
{
    const QStringList parts = fio.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return QString();
    QString s = parts[0];
    if (parts.size() > 1)
        s += QLatin1Char(' ') + parts[1].left(1) + QLatin1Char('.');
    if (parts.size() > 2)
        s += QLatin1Char(' ') + parts[2].left(1) + QLatin1Char('.');
    return s;
}

namespace {

// The master rows with a name ("fio IS NOT NULL AND fio <> ''") or, when not
// `given`, without one.
QString nameGivenSql(const TableDef& konst, bool given)
{
    return (given ? QStringLiteral("%1 IS NOT NULL AND %1 <> ''") : QStringLiteral("%1 IS NULL OR %1 = ''"))
        .arg(DeclaredColumn(konst, QStringLiteral("fio")));
}

} // namespace

bool RebuildLists(CInfoBase& base, bool force)
{
    const QSqlDatabase db = Db(base);
    const TableDef& konst = KonstTable().def();
    const QString& slotColumn = konst.columns[1];
    const QString& numberColumn = konst.columns[2];
    if (!force) {
        db::Recordset q(db, QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT %1) FROM %2 WHERE %3")
                                .arg(numberColumn, Qualified(konst.name), nameGivenSql(konst, true)));
        q.exec();
        if (q.next() && q.toInt(0) == q.toInt(1))
            return false;
    }
    db::Transaction tr(db);
    // Master rows without a name go, with every row of theirs.
    {
        db::Recordset q(
            db, SelectColumnsSql(konst, {konst.columns[0]}, QStringLiteral("WHERE ") + nameGivenSql(konst, false)));
        q.exec();
        std::vector<qint64> ids;
        while (q.next()) ids.push_back(q.toInt64(0));
        for (qint64 id : ids) DeleteEmployeeRows(db, id);
    }
    std::vector<EmployeeListEntry> byNumber;
    std::vector<QString> names(std::size_t(base.slotCount()));
    {
        db::Recordset q(db, SelectColumnsSql(konst, {slotColumn, numberColumn, QStringLiteral("fio")},
                                             OrderBySql(konst, {numberColumn, slotColumn})));
        q.exec();
        int lastTabN = -1;
        while (q.next()) {
            const int rec = q.toInt(0), tabN = q.toInt(1);
            if (!base.holdsSlot(rec) || tabN == lastTabN)
                continue; // a repeated number keeps the first
            lastTabN = tabN;
            EmployeeListEntry e;
            e.setTabN(u16(tabN));
            e.slot = u16(rec);
            byNumber.push_back(e);
            names[SlotPlace(rec, names.size())] = ShortNameOf(q.toString(2));
        }
    }
    for (int slot = 1; slot <= base.slotCount(); ++slot) base.shortNameOf(slot) = names[SlotPlace(slot, names.size())];
    std::vector<EmployeeListEntry> byName = byNumber;
    base.SortList(byName, true);
    writeList(db, 1, byNumber);
    writeList(db, 2, byName);
    writeShortNames(db, names);
    saveEmployeeCount(db, base.config, byNumber.size());
    tr.commit();

    base.list = base.nameOrder() ? byName : byNumber;
    base.otherList = base.nameOrder() ? byNumber : byName;
    base.config.kolRab = i16(base.list.size());
    return true;
}

void LoadAll(CInfoBase& base)
{
    const int current = base.nameOrder() ? 2 : 1;
    // Every table's read goes to a server in one round trip, before the
    // loaders below take their rows in their order.
    const ReadsSentTogether reads(Db(base), {payKindsRead(),
                                             {CehTable().def()},
                                             {GraphTable().def()},
                                             {GraMesTable().def()},
                                             {FioTable().def()},
                                             {CompTable().def()},
                                             {TabelTable().def()},
                                             {AvZar1Table().def()},
                                             {IndexesTable().def()},
                                             {AltTabelTable().def()},
                                             {PremTable().def()},
                                             {BlnTable().def()},
                                             {OtpTable().def()},
                                             listRead(3 - current),
                                             listRead(current)});
    LoadEntree(base);
    LoadCeh(base);
    LoadGraph(base);
    LoadFio(base);
    LoadComp(base);
    LoadTabel(base);
    LoadAvZar1(base);
    LoadIndexes(base);
    LoadAltTabel(base);
    LoadPrem(base);
    LoadBln(base);
    LoadOtp(base);
    LoadSimp(base, 3 - current);
    base.otherList = base.list;
    LoadSimp(base, current);
}

} // namespace kalvor::infobase
