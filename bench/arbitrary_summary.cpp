// The summary in an arbitrary breakdown over a year of archive of 1,000
// employees, grouped by shop, month and pay kind: the walk over the swap
// work file into the tree, and the text report of the filled tree.
#include "RunBenchmarks.h"
#include "exchange/ArbitrarySummary.h"
#include "support/TestFixture.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

using namespace kalvor::exchange;
using namespace kalvor::infobase;

namespace {

constexpr int Employees = 1000;

struct Setup {
    QTemporaryDir dir{QDir::currentPath() + QStringLiteral("/svod-bench-XXXXXX")};
    KalvorDocData doc;
    SummaryRun run;
    Setup()
    {
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        doc.infoBase.baseName = QStringLiteral("bench");
        const FixtureBase fixture = BuildFixtureBase(doc.infoBase, Employees, 42);
        WriteFixtureToSwap(doc.infoBase, fixture);
        SummaryFormTexts form;
        form.values[LevelShop] = QStringLiteral("*");
        form.values[LevelMonth] = QStringLiteral("*");
        form.values[LevelCode] = QStringLiteral("*");
        const QString year = QString::number(FixtureBase::Year - 1);
        form.firstMonth = QStringLiteral("1");
        form.firstYear = year;
        form.lastMonth = QStringLiteral("12");
        form.lastYear = year;
        run.block = ReadSummaryForm(form, false, false);
        run.currentMonth = kalvor::MonthIndex(FixtureBase::Year, FixtureBase::Month);
    }
};

Setup& setup()
{
    static Setup s;
    return s;
}

void BM_YearByShopMonthAndCode(benchmark::State& state)
{
    Setup& s = setup();
    SummaryTree tree;
    for (auto _ : state) {
        const int result = BuildArbitrarySummary(s.run, tree, s.doc, nullptr);
        if (result != SUMMARY_DONE)
            state.SkipWithError("summary failed");
    }
    state.SetItemsProcessed(state.iterations() * Employees);
}
BENCHMARK(BM_YearByShopMonthAndCode)->Unit(benchmark::kMillisecond)->Apply(InRounds);

} // namespace

int main(int argc, char** argv) { return RunBenchmarks(argc, argv); }
