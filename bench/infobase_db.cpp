// The information base on SQLite: saving and loading a base of 1,000
// employees with the month's rows, against the floor of the same rows
// inserted (and read) with plain prepared statements in one transaction.
//
//   SaveBase   SaveAll (every table saver and SaveEmployeeFull per employee)
//              inside one transaction around the whole save (as the month
//              change runs); each saver's own transaction becomes a savepoint
//              of it. In the same iteration the floor: the rows SaveAll
//              stored, inserted table by table into another new base with one
//              plain sqlite3 prepared INSERT each, all in one transaction.
//              Counters: ms of both and ratio_to_floor (SaveAll / floor),
//              medians over the rounds, its worst round and the load.
//   SaveBaseEachCommit  the same with every saver and employee committed on
//              its own, as single screens save (for comparison)
//   LoadBase   OpenBase, LoadAll, and every employee's whole record read into
//              memory by the loader of the selection runs; in the same round
//              its floor: a connection of its own opened on the base file and
//              every row of every table read, every value, with plain sqlite3
//              statements. Counters: ms of both and ratio_to_floor (load /
//              floor), medians over the rounds, its worst round and the load.
//   SelectAllToSwap  the same records read and written into the swap file
//              (the way the calculation and the reports load employees). In
//              the same round its floor: the same rows read in the same order
//              (the master rows by slot, each detail table joined to them by
//              slot) with plain sqlite3 statements, every value read, on a
//              connection opened before the timer starts; and, for
//              comparison, every row of the same tables read as stored
//              (table_scan: no joining, no order). Counters: ms of each,
//              ratio_to_raw_read and ratio_to_table_scan, medians over the
//              rounds, their worst rounds and the load.
//   LoadTables / LoadEmployees  OpenBase + LoadAll alone; LoadEmployee and
//              LoadWarDat called for one employee after another (for comparison)
#include "OpenedBase.h"
#include "RawSqlite.h"
#include "RunBenchmarks.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/DbTransaction.h"
#include "support/TestFixture.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>
#include <variant>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 1000;

struct Bench {
    QTemporaryDir dir;
    CInfoBase base;
    FixtureBase fx;
    int serial = 0;

    Bench()
    {
        fx = BuildFixtureBase(base, kEmployees, 3);
        base.workFolder = dir.path() + QLatin1Char('/');
    }

    // A new empty base file; returns its name.
    QString fresh()
    {
        const QString name = QStringLiteral("b%1").arg(++serial);
        CreateSchemaBase(dir.path(), name);
        return name;
    }

    void saveAll(CInfoBase& b) { SaveAll(b, fx.records); }
};

Bench& bench()
{
    static Bench b;
    return b;
}

// Every row of every table of a base, as stored.
struct TableRows {
    QString table;
    QString insert;
    std::vector<QVariantList> rows;
};

std::vector<TableRows> dumpRows(const QSqlDatabase& db)
{
    std::vector<TableRows> all;
    for (const TableDef& t : SchemaTables()) {
        TableRows tr;
        tr.table = t.name;
        tr.insert = InsertSql(t);
        QSqlQuery q(db);
        q.setForwardOnly(true);
        q.exec(SelectSql(t));
        const int n = int(t.columns.size());
        while (q.next()) {
            QVariantList row;
            row.reserve(n);
            for (int i = 0; i < n; ++i) row << q.value(i);
            tr.rows.push_back(std::move(row));
        }
        all.push_back(std::move(tr));
    }
    return all;
}

// A stored value as the floor binds it: null, integer, floating point or text.
using RawValue = std::variant<std::monostate, qint64, double, QString>;

RawValue ToRaw(const QVariant& v)
{
    if (v.isNull())
        return std::monostate{};
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong: return v.toLongLong();
    case QMetaType::Double: return v.toDouble();
    default: {
        const QString text = v.toString();
        if (text.isNull())
            return std::monostate{};
        return text;
    }
    }
}

void BindRaw(sqlite3_stmt* s, int index, const RawValue& value)
{
    if (const auto* i = std::get_if<qint64>(&value))
        sqlite3_bind_int64(s, index, *i);
    else if (const auto* d = std::get_if<double>(&value))
        sqlite3_bind_double(s, index, *d);
    else if (const auto* t = std::get_if<QString>(&value))
        sqlite3_bind_text16(s, index, t->utf16(), int(t->size() * 2), SQLITE_STATIC);
    else
        sqlite3_bind_null(s, index);
}

// Every row that SaveAll stores, as the floor binds it: per table its INSERT
// and rows.
using StoredRows = std::vector<std::pair<std::string, std::vector<std::vector<RawValue>>>>;

StoredRows storedRows(Bench& b)
{
    b.base.baseName = b.fresh();
    b.saveAll(b.base);
    StoredRows stored;
    for (const TableRows& t : dumpRows(Db(b.base))) {
        std::vector<std::vector<RawValue>> rows;
        for (const QVariantList& row : t.rows) {
            std::vector<RawValue> values;
            for (const QVariant& v : row) values.push_back(ToRaw(v));
            rows.push_back(std::move(values));
        }
        stored.emplace_back(t.insert.toStdString(), std::move(rows));
    }
    CloseBase(b.base);
    return stored;
}

// The floor: the stored rows inserted into the new base `name` with plain
// prepared statements in one transaction; returns its milliseconds.
double saveFloor(Bench& b, const StoredRows& stored, const QString& name)
{
    CInfoBase target;
    target.workFolder = b.base.workFolder;
    target.baseName = name;
    rawsqlite::Connection raw(BaseFile(target));
    QElapsedTimer t;
    t.start();
    raw.exec("BEGIN IMMEDIATE");
    for (const auto& [insert, rows] : stored) {
        const std::string table = insert.substr(12, insert.find(' ', 12) - 12);
        raw.exec("DELETE FROM " + table);
        rawsqlite::Statement ins(raw.get(), insert);
        for (const std::vector<RawValue>& row : rows) {
            for (std::size_t i = 0; i < row.size(); ++i) BindRaw(ins.get(), int(i) + 1, row[i]);
            ins.run();
        }
    }
    raw.exec("COMMIT");
    return double(t.nsecsElapsed()) / 1e6;
}

void saveBase(benchmark::State& state, bool oneTransaction)
{
    Bench& b = bench();
    const StoredRows stored = storedRows(b);
    qint64 rows = 0;
    Rounds saveMs, floorMs, ratio;
    for (auto _ : state) {
        state.PauseTiming();
        b.base.baseName = b.fresh();
        const QString floorBase = b.fresh();
        state.ResumeTiming();
        QElapsedTimer t;
        t.start();
        if (oneTransaction) {
            db::Transaction tr(Db(b.base));
            b.saveAll(b.base);
            tr.commit();
        } else {
            b.saveAll(b.base);
        }
        saveMs.add(double(t.nsecsElapsed()) / 1e6);
        state.PauseTiming();
        {
            const std::vector<TableRows> stored = dumpRows(Db(b.base));
            for (const TableRows& t : stored) rows += qint64(t.rows.size());
        }
        CloseBase(b.base);
        floorMs.add(saveFloor(b, stored, floorBase));
        ratio.add(floorMs.values().back() > 0 ? saveMs.values().back() / floorMs.values().back() : 0);
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows) / double(state.iterations());
    state.counters["save_ms"] = saveMs.median();
    state.counters["floor_ms"] = floorMs.median();
    ratio.report(state, "ratio_to_floor");
}

void BM_SaveBase(benchmark::State& state) { saveBase(state, true); }
void BM_SaveBaseEachCommit(benchmark::State& state) { saveBase(state, false); }

// The floor of LoadBase: a connection of its own opened on the base file and
// every value of every table read, with plain statements; returns its
// milliseconds.
double loadFloor(const QString& file)
{
    QElapsedTimer t;
    t.start();
    rawsqlite::Connection raw(file);
    raw.exec("BEGIN");
    std::int64_t values = 0;
    for (const TableDef& table : SchemaTables()) {
        rawsqlite::Statement select(raw.get(), SelectSql(table).toStdString());
        values += rawsqlite::ReadEveryValue(select);
    }
    raw.exec("COMMIT");
    benchmark::DoNotOptimize(values);
    return double(t.nsecsElapsed()) / 1e6;
}

// OpenBase, LoadAll and every employee's whole record read; returns its
// milliseconds.
double loadBase(const Bench& b)
{
    QElapsedTimer t;
    t.start();
    CInfoBase loaded;
    OpenAndReadWhole(loaded, b.base.workFolder, b.base.baseName);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    CloseBase(loaded);
    return ms;
}

void BM_LoadBase(benchmark::State& state)
{
    Bench& b = bench();
    b.base.baseName = b.fresh();
    b.saveAll(b.base);
    CloseBase(b.base);
    Rounds loadMs, floorMs, ratio;
    for (auto _ : state) {
        loadMs.add(loadBase(b));
        floorMs.add(loadFloor(BaseFile(b.base)));
        ratio.add(loadMs.values().back() / floorMs.values().back());
        state.SetIterationTime(loadMs.values().back() / 1000);
    }
    state.counters["load_ms"] = loadMs.median();
    state.counters["floor_ms"] = floorMs.median();
    ratio.report(state, "ratio_to_floor");
}

// The floor of SelectAllToSwap: the rows it reads with plain statements on
// `raw`, by slot in its order or (not `bySlot`) each table as stored; returns
// its milliseconds.
double selectFloor(rawsqlite::Connection& raw, bool bySlot)
{
    QElapsedTimer t;
    t.start();
    raw.exec("BEGIN");
    std::int64_t values = 0;
    {
        rawsqlite::Statement konst(raw.get(),
                                   bySlot ? "SELECT * FROM dbo.konst ORDER BY rec" : "SELECT * FROM dbo.konst");
        values += rawsqlite::ReadEveryValue(konst);
    }
    for (const char* table : {"pasport", "nalvich", "postDopl", "sber", "ispol", "ssud", "waria", "proizv", "zarp"}) {
        const std::string name(table);
        rawsqlite::Statement select(raw.get(), !bySlot ? "SELECT * FROM dbo." + name
                                                       : "SELECT k.rec, d.* FROM dbo." + name +
                                                             " d JOIN dbo.konst k ON k.id = d.id_konst ORDER BY k.rec" +
                                                             (name == "pasport" ? "" : ", d.num"));
        values += rawsqlite::ReadEveryValue(select);
    }
    raw.exec("COMMIT");
    benchmark::DoNotOptimize(values);
    return double(t.nsecsElapsed()) / 1e6;
}

void BM_SelectAllToSwap(benchmark::State& state)
{
    Bench& b = bench();
    b.base.baseName = b.fresh();
    b.saveAll(b.base);
    rawsqlite::Connection raw(BaseFile(b.base));
    raw.exec("SELECT count(*) FROM dbo.sqlite_schema"); // the schema read, as on the base's open connection
    Rounds selectMs, floorMs, scanMs, ratio, scanRatio;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        SelectAllToSwap(b.base, Selection{});
        b.base.CloseSwapFile();
        selectMs.add(double(t.nsecsElapsed()) / 1e6);
        state.PauseTiming();
        floorMs.add(selectFloor(raw, true));
        scanMs.add(selectFloor(raw, false));
        ratio.add(selectMs.values().back() / floorMs.values().back());
        scanRatio.add(selectMs.values().back() / scanMs.values().back());
        state.ResumeTiming();
    }
    state.counters["select_ms"] = selectMs.median();
    state.counters["raw_read_ms"] = floorMs.median();
    state.counters["table_scan_ms"] = scanMs.median();
    ratio.report(state, "ratio_to_raw_read");
    scanRatio.report(state, "ratio_to_table_scan");
    CloseBase(b.base);
}

// The two halves of LoadBase: the tables alone, the employees alone.
void BM_LoadTables(benchmark::State& state)
{
    Bench& b = bench();
    b.base.baseName = b.fresh();
    b.saveAll(b.base);
    CloseBase(b.base);
    for (auto _ : state) {
        CInfoBase loaded;
        loaded.workFolder = b.base.workFolder;
        loaded.baseName = b.base.baseName;
        OpenBase(loaded);
        LoadAll(loaded);
        state.PauseTiming();
        CloseBase(loaded);
        state.ResumeTiming();
    }
}

void BM_LoadEmployees(benchmark::State& state)
{
    Bench& b = bench();
    b.base.baseName = b.fresh();
    b.saveAll(b.base);
    for (auto _ : state) {
        for (const EmployeeListEntry& e : b.base.list) {
            LoadEmployee(b.base, e.slot);
            LoadWarDat(b.base, e.slot, 0, 0, 0);
        }
    }
    CloseBase(b.base);
}

BENCHMARK(BM_SaveBase)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveBaseEachCommit)->Unit(benchmark::kMillisecond)->Iterations(3)->Apply(InRounds);
BENCHMARK(BM_LoadBase)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);
BENCHMARK(BM_SelectAllToSwap)->Unit(benchmark::kMillisecond)->Iterations(7);
BENCHMARK(BM_LoadTables)->Unit(benchmark::kMillisecond)->Iterations(3)->Apply(InRounds);
BENCHMARK(BM_LoadEmployees)->Unit(benchmark::kMillisecond)->Iterations(3)->Apply(InRounds);

} // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
