// The information base on SQLite: saving and loading a base of 1,000
// employees with the month's rows, against the floor of the same rows
// inserted (and read) with plain prepared statements in one transaction.
//
//   SaveBase   every table saver and SaveEmployeeFull per employee inside one
//              transaction around the whole save (as the month change runs);
//              each saver's own transaction becomes a savepoint of it
//   SaveBaseEachCommit  the same with every saver and employee committed on
//              its own, as single screens save (for comparison)
//   SaveFloor  the rows the savers stored, inserted table by table with one
//              prepared INSERT each, all in one transaction
//   LoadBase   OpenBase, LoadAll, and every employee's whole record read into
//              memory by the loader of the selection runs
//   SelectAllToSwap  the same records read and written into the swap file
//              (the way the calculation and the reports load employees)
//   LoadTables / LoadEmployees  OpenBase + LoadAll alone; LoadEmployee and
//              LoadWarDat called for one employee after another (for comparison)
//   LoadFloor  SELECT of every row of every table, every value read
#include "infobase/InfoBaseDb.h"
#include "infobase/InfoBaseDbDetail.h"
#include "infobase/Schema.h"
#include "platform/Db.h"
#include "support/TestFixture.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <algorithm>

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

void saveBase(benchmark::State& state, bool oneTransaction)
{
    Bench& b = bench();
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        b.base.baseName = b.fresh();
        state.ResumeTiming();
        if (oneTransaction) {
            db::Transaction tr(Db(b.base));
            b.saveAll(b.base);
            tr.commit();
        } else {
            b.saveAll(b.base);
        }
        state.PauseTiming();
        {
            const std::vector<TableRows> stored = dumpRows(Db(b.base));
            for (const TableRows& t : stored) rows += qint64(t.rows.size());
        }
        CloseBase(b.base);
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows) / double(state.iterations());
}

void BM_SaveBase(benchmark::State& state) { saveBase(state, true); }
void BM_SaveBaseEachCommit(benchmark::State& state) { saveBase(state, false); }

void BM_SaveFloor(benchmark::State& state)
{
    Bench& b = bench();
    b.base.baseName = b.fresh();
    b.saveAll(b.base);
    const std::vector<TableRows> stored = dumpRows(Db(b.base));
    CloseBase(b.base);
    for (auto _ : state) {
        state.PauseTiming();
        CInfoBase target;
        target.workFolder = b.base.workFolder;
        target.baseName = b.fresh();
        {
            const QSqlDatabase db = Db(target);
            state.ResumeTiming();
            QSqlQuery(db).exec(QStringLiteral("BEGIN"));
            for (const TableRows& t : stored) {
                QSqlQuery(db).exec(QStringLiteral("DELETE FROM dbo.") + t.table);
                QSqlQuery ins(db);
                ins.prepare(t.insert);
                for (const QVariantList& row : t.rows) {
                    for (int i = 0; i < row.size(); ++i) ins.bindValue(i, row[i]);
                    ins.exec();
                }
            }
            QSqlQuery(db).exec(QStringLiteral("COMMIT"));
            state.PauseTiming();
        }
        CloseBase(target);
        state.ResumeTiming();
    }
}

void BM_LoadBase(benchmark::State& state)
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
        {
            detail::BulkEmployeeLoader loader(Db(loaded), detail::BAll);
            std::vector<EmployeeListEntry> bySlot = loaded.list;
            std::sort(bySlot.begin(), bySlot.end(), [](auto& x, auto& y) { return x.slot < y.slot; });
            for (const EmployeeListEntry& e : bySlot) {
                loader.load(e.slot, loaded.current);
                benchmark::DoNotOptimize(loaded.current);
            }
        }
        state.PauseTiming();
        CloseBase(loaded);
        state.ResumeTiming();
    }
}

void BM_SelectAllToSwap(benchmark::State& state)
{
    Bench& b = bench();
    b.base.baseName = b.fresh();
    b.saveAll(b.base);
    for (auto _ : state) {
        SelectAllToSwap(b.base, Selection{});
        b.base.CloseSwapFile();
    }
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

void BM_LoadFloor(benchmark::State& state)
{
    Bench& b = bench();
    b.base.baseName = b.fresh();
    b.saveAll(b.base);
    CloseBase(b.base);
    for (auto _ : state) {
        {
            std::vector<TableRows> rows = dumpRows(Db(b.base));
            benchmark::DoNotOptimize(rows);
        }
        state.PauseTiming();
        CloseBase(b.base);
        state.ResumeTiming();
    }
}

BENCHMARK(BM_SaveBase)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveBaseEachCommit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SaveFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadBase)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SelectAllToSwap)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadTables)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadEmployees)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LoadFloor)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
