// The employee transfer file for 1,000 employees.
//
//   ExportAll   every employee loaded from the base and written into a new file
//   ImportAll   the file read into a second base with other employees (each
//               employee saved as he is taken), then every table saved
#include "RunBenchmarks.h"
#include "exchange/TransferFile.h"
#include "infobase/InfoBaseDb.h"
#include "support/TestFixture.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 1000;

// A base of `employees` employees with room for `room` of them.
void OpenFixture(PayrollDoc& doc, const QString& folder, const QString& name, int employees, int room, unsigned seed)
{
    CInfoBase& base = doc.infoBase;
    base.workFolder = folder + QLatin1Char('/');
    base.baseName = name;
    CreateSchemaBase(folder, name);
    OpenBase(base);
    const FixtureBase fx = BuildFixtureBase(base, room, seed);
    base.list.resize(std::size_t(employees));
    base.config.kolRab = i16(employees);
    SaveAll(base, fx.records);
}

struct Bench {
    QTemporaryDir dir;
    PayrollDoc from, to;

    Bench()
    {
        OpenFixture(from, dir.path(), QStringLiteral("from"), kEmployees, kEmployees, 5);
        OpenFixture(to, dir.path(), QStringLiteral("to"), 200, kEmployees + 200, 9);
        // The second base's employees get numbers the first one does not have.
        for (EmployeeListEntry& e : to.infoBase.list) e.setTabN(u16(e.tabN() + 4000));
        SaveSimp(to.infoBase, 1);
    }
    QString file() const { return dir.filePath(QStringLiteral("all.trf")); }
};

Bench& bench()
{
    static Bench b;
    return b;
}

void BM_ExportAll(benchmark::State& state)
{
    Bench& b = bench();
    for (auto _ : state) {
        const int result = exchange::TransferFileRun(b.from, exchange::TransferExport, b.file(), {}, 0);
        benchmark::DoNotOptimize(result);
    }
    state.counters["employees"] = kEmployees;
}

void BM_ImportAll(benchmark::State& state)
{
    Bench& b = bench();
    exchange::TransferFileRun(b.from, exchange::TransferExport, b.file(), {}, 0);
    for (auto _ : state) {
        const int result = exchange::TransferFileRun(b.to, exchange::TransferImport, b.file(), {}, 0);
        exchange::SaveTransferImport(b.to.infoBase);
        benchmark::DoNotOptimize(result);
    }
    state.counters["employees"] = double(b.to.infoBase.list.size());
}

} // namespace

BENCHMARK(BM_ExportAll)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Apply(InRounds);
BENCHMARK(BM_ImportAll)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Apply(InRounds);

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
