// The month's calculation of a 1,000-employee base, end to end, next to the
// floor of the same work in the same run.
//
// BM_CalcMonth, per iteration:
//   calculation: the calculation screen's worker (CalculationThreadProc on a
//     TaskThread): the selection run writes every employee into the swap work
//     file, the engine computes and stores each one (the master row and the
//     month's rows, each employee atomic), the status words are saved;
//   floor: the same swap slots written and read back, and the same result
//     rows inserted with one plain prepared statement in one transaction.
// Counters: ms per employee of both (and of the selection run alone), their
// ratio, and ui_gap_ms: the longest time the main thread's event loop (a 5 ms
// timer) went without turning while the worker ran, which is what the user
// would feel (5 is the timer's own period).
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcThread.h"
#include "payroll/PayKinds.h"
#include "platform/Db.h"
#include "platform/TaskThread.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 1000;

PayKind Kind(int code)
{
    PayKind k;
    k.kod = u16(code);
    if (code < 700) {
        k.oblPodoh = 1;
        k.fond = 1;
        k.kodDoh = 2000;
    } else {
        k.vedShap = 1;
    }
    return k;
}

// A base file made from the fixture, with the kinds and tables the engine needs.
struct Setup {
    QTemporaryDir dir{QDir::currentPath() + QStringLiteral("/calc-bench-XXXXXX")};
    PayrollDoc doc;

    Setup()
    {
        CInfoBase& base = doc.infoBase;
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base.baseName = QStringLiteral("bench");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        const FixtureBase fx = BuildFixtureBase(base, kEmployees, 42);
        BuildFixtureRefFiles(doc.refFiles);
        for (int code : {18,  19,  21,  22,  40,  41,  53,  61,  64,  85,  86,  87,  111, 112, 116, 153,
                         155, 156, 157, 158, 600, 901, 903, 904, 911, 912, 913, 914, 919, 921, 922, 923})
            if (FindPayKind(doc, code) < 0)
                base.payKinds.push_back(Kind(code));
        std::sort(base.payKinds.begin(), base.payKinds.end(),
                  [](const PayKind& a, const PayKind& b) { return a.kod < b.kod; });
        base.config.nEnt = u16(base.payKinds.size());
        for (int t = 2; t < 10; ++t) {
            auto& v = doc.refFiles.nalog[std::size_t(t)].variants[0];
            v.first = u16(MonthIndex(FixtureBase::Year, 1));
            v.cumulative = 1;
            v.scale[0] = TaxScaleBand{0, 0, u8(t), 20, 0};
        }
        doc.refFiles.sbor[3].code = 995;
        doc.refFiles.sborCount = 4;

        SaveAll(base, fx.records);
        LoadAll(base);
        db::Execute(
            Db(base),
            QStringLiteral(
                "CREATE TABLE dbo.floorRows (id_konst INTEGER, num INTEGER, kod INTEGER, sum REAL, min INTEGER, "
                "dn INTEGER, mes INTEGER, hr INTEGER, otd INTEGER, spzCh INTEGER, spzSc INTEGER, spzAu INTEGER)"));
    }
};

Setup& setup()
{
    static Setup s;
    return s;
}

struct CalcRun {
    double ms = 0; // the whole run
    double selectMs = 0; // until the employees to compute were known (after the selection run)
    double uiGapMs = 0; // the longest time the main thread's event loop went without turning
    int result = -1, errors = 0;
};

// The calculation as the screen runs it: CalculationThreadProc on a worker
// (selection into the work file, the engine, the stored rows), while this
// thread turns an event loop with a 5 ms timer.
CalcRun RunCalculation(PayrollDoc& doc)
{
    CalcRun run;
    platform::TaskThread thread;
    QEventLoop loop;
    QElapsedTimer t, gap;
    QObject::connect(&thread, &platform::TaskThread::progress, [&] { run.selectMs = double(t.nsecsElapsed()) / 1e6; });
    QObject::connect(&thread, &platform::TaskThread::done, [&](int result, int errors, const QString&) {
        run.ms = double(t.nsecsElapsed()) / 1e6;
        run.result = result;
        run.errors = errors;
        loop.quit();
    });
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        run.uiGapMs = std::max(run.uiGapMs, double(gap.nsecsElapsed()) / 1e6);
        gap.restart();
    });
    CalcThreadParams p;
    p.document = &doc;
    t.start();
    gap.start();
    tick.start();
    thread.start(p, &CalculationThreadProc);
    loop.exec();
    return run;
}

// The rows the run stored, for the floor to insert again.
void LoadStoredRows(PayrollDoc& doc, std::vector<EmployeeRecord>& records)
{
    CInfoBase& base = doc.infoBase;
    for (int i = 0; i < base.employeeCount(); ++i) {
        LoadEmployee(base, base.list[std::size_t(i)].slot);
        records[std::size_t(i)] = base.current;
    }
    base.ClearCurrentRecord();
}

// The floor: the same slots written and read, the same rows inserted with a
// prepared statement in one transaction.
double RunFloor(PayrollDoc& doc, const std::vector<EmployeeRecord>& records)
{
    CInfoBase& base = doc.infoBase;
    const QSqlDatabase db = Db(base);
    db::Execute(db, QStringLiteral("DELETE FROM dbo.floorRows"));
    QElapsedTimer t;
    t.start();
    base.CreateSwapFile();
    for (int i = 0; i < base.employeeCount(); ++i)
        base.swap.writeSlot(base.list[std::size_t(i)].slot, records[std::size_t(i)]);
    EmployeeRecord rec;
    for (int i = 0; i < base.employeeCount(); ++i) base.swap.readSlot(base.list[std::size_t(i)].slot, rec);
    base.CloseSwapFile();
    {
        db::Transaction tx(db);
        db::Recordset& ins = db::Statement(
            db, QStringLiteral("INSERT INTO dbo.floorRows (id_konst, num, kod, sum, min, dn, mes, hr, otd, spzCh, "
                               "spzSc, spzAu) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < base.employeeCount(); ++i) {
            const EmployeeRecord& r = records[std::size_t(i)];
            for (int n = 0; n < 60; ++n) {
                const AccrualRow& a = r.rows[std::size_t(n)];
                if (a == AccrualRow{})
                    continue;
                ins.run(i, n, int(a.kod), a.sum, int(a.min), int(a.dn), int(a.mes), int(a.hr), int(a.otd), int(a.spzCh),
                        int(a.spzSc), int(a.spzAu));
            }
        }
        tx.commit();
    }
    return double(t.nsecsElapsed()) / 1e6;
}

void BM_CalcMonth(benchmark::State& state)
{
    Setup& s = setup();
    std::vector<EmployeeRecord> records(std::size_t(s.doc.infoBase.employeeCount()));
    double calcMs = 0, floorMs = 0, selectMs = 0, uiGapMs = 0;
    int errors = 0;
    for (auto _ : state) {
        const CalcRun run = RunCalculation(s.doc);
        if (run.result != platform::TASK_DONE)
            state.SkipWithError("the calculation did not finish");
        state.PauseTiming();
        LoadStoredRows(s.doc, records);
        state.ResumeTiming();
        const double f = RunFloor(s.doc, records);
        calcMs += run.ms;
        selectMs += run.selectMs;
        uiGapMs = std::max(uiGapMs, run.uiGapMs);
        errors = run.errors;
        floorMs += f;
        state.SetIterationTime((run.ms + f) / 1000);
    }
    const double n = double(state.iterations()) * kEmployees;
    state.counters["calc_ms_per_employee"] = calcMs / n;
    state.counters["select_ms_per_employee"] = selectMs / n;
    state.counters["floor_ms_per_employee"] = floorMs / n;
    state.counters["ratio_to_floor"] = floorMs > 0 ? calcMs / floorMs : 0;
    state.counters["ui_gap_ms"] = uiGapMs;
    state.counters["failed_employees"] = errors;
}
BENCHMARK(BM_CalcMonth)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
