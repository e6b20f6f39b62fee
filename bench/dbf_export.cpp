// The dBASE export of archive data (kind 2) for 1,000 employees with a year
// of archive each (24,000 rows), and the same table read back.
//
//   ExportArchive   ExportDbf over every employee into a new table: each
//                   employee loaded from the base, one INSERT per entry, the
//                   table written once at the end
//   WriteTableFloor the same rows put into a table directly and written
//   ReadArchive     the table read back by personnel number (mode 2), every
//                   employee's archive merged and saved
#include "RunBenchmarks.h"
#include "exchange/DbfExport.h"
#include "infobase/InfoBaseDb.h"
#include "platform/Dbf.h"
#include "support/TestFixture.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 1000;

struct Bench {
    QTemporaryDir dir;
    PayrollDoc doc;
    FixtureBase fx;

    Bench()
    {
        CInfoBase& base = doc.infoBase;
        base.workFolder = dir.path() + QLatin1Char('/');
        base.baseName = QStringLiteral("bench");
        CreateBase(dir.path(), base.baseName);
        OpenBase(base);
        fx = BuildFixtureBase(base, kEmployees, 5);
        SaveAll(base, fx.records);
    }
    QString table() const { return dir.filePath(QStringLiteral("arxiv.dbf")); }
    qint64 rows() const
    {
        qint64 n = 0;
        for (const EmployeeListEntry& entry : doc.infoBase.list) n += fx.records[std::size_t(entry.slot - 1)].warKv;
        return n;
    }
    int exportArchive(int mode)
    {
        int listChanged = 0;
        return exchange::ExportDbf(doc, Selection{}, exchange::DbfArchive, mode, table(), listChanged, 0);
    }
};

Bench& bench()
{
    static Bench b;
    return b;
}

void BM_ExportArchive(benchmark::State& state)
{
    Bench& b = bench();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(b.table());
        state.ResumeTiming();
        if (b.exportArchive(exchange::DbfWrite) != 0)
            state.SkipWithError("export failed");
    }
    state.SetItemsProcessed(state.iterations() * b.rows());
}

void BM_WriteTableFloor(benchmark::State& state)
{
    Bench& b = bench();
    std::vector<dbf::DbfField> fields;
    for (auto [name, width] : {std::pair{"TABEL", 4},
                               {"GRUP", 2},
                               {"OTDEL", 3},
                               {"FIO", 20},
                               {"MES", 5},
                               {"KOD", 3},
                               {"SUMMA", 13},
                               {"DNI", 2},
                               {"TIME", 6},
                               {"FACT", 5}})
        fields.push_back(dbf::DbfField{name, 'C', width, 0, 0});
    const qint64 rows = b.rows();
    for (auto _ : state) {
        dbf::DbfTable table = dbf::DbfTable::create(fields);
        for (qint64 i = 0; i < rows; ++i) {
            const int record = table.appendBlankRecord();
            table.setValue(record, 0, "1234");
            table.setValue(record, 3, "Иванов И. И.");
            table.setValue(record, 6, "12345.67");
        }
        table.write(b.dir.filePath(QStringLiteral("floor.dbf")), QDate(2026, 3, 20));
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_ReadArchive(benchmark::State& state)
{
    Bench& b = bench();
    QFile::remove(b.table());
    b.exportArchive(exchange::DbfWrite);
    for (auto _ : state)
        if (b.exportArchive(exchange::DbfRead) != kEmployees)
            state.SkipWithError("read-back failed");
    state.SetItemsProcessed(state.iterations() * b.rows());
}

} // namespace

BENCHMARK(BM_ExportArchive)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Apply(InRounds);
BENCHMARK(BM_WriteTableFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(InRounds);
BENCHMARK(BM_ReadArchive)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Apply(InRounds);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
