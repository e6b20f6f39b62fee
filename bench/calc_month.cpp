// The month's calculation of a 1,000-employee base, end to end, next to the
// floor of the same reads and writes in the same run.
//
// BM_CalcMonthPlain, BM_CalcMonthDemoWeight, BM_CalcMonthOneBrigadeOf800:
// the fixture's employees with their own archives (24 entries each), with a
// demo-firm employee's archive (about 90 entries), and the latter with 800 of
// them in one brigade sharing its bonus. Each round:
//   calculation: the calculation screen's worker (CalculationThreadProc on
//     the base's long-lived worker, as the screen runs it): the brigades'
//     members written into the swap work file, the engine computing and
//     storing each employee read from the base (the master row and the
//     month's rows, each employee atomic), the status words saved;
//   floor: with plain sqlite3 prepared statements on a connection of its own
//     (opened, with the base's schema read, before the timer starts, as the
//     calculation's connection is open before it runs), in one transaction: every value of the employee tables that the
//     calculation reads, then per employee the row id found, the old rows of
//     dbo.zarp deleted and the computed rows inserted into dbo.zarp.
// Both start from a base whose journal is written back (untimed), so that
// neither pays for the other's writes.
// Counters, each the median over the rounds: ms per employee of both, of the
// loading stage alone and of the engine alone (every employee computed in
// display mode from the swap work file), the ratio to the floor
// (ratio_to_floor, its worst round ratio_to_floor_worst, every round's
// roundN_ratio), the machine's load (load) and ui_gap_ms: the longest time the
// main thread's event loop (a 5 ms timer) went without turning while the
// worker ran, which is what the user would feel (5 is the timer's own period).
// BM_CalcMonthBesideOtherBases: the calculation in rounds with another
// base made, saved, loaded and closed between them; counters: ms per employee
// of each round. BM_DemoFirm: the demo firm's whole run, and its ratio to
// the same floor of the demo base (median, worst round, load).
// BM_CalcMonthServerPlain, BM_CalcMonthServerDemoWeight (with
// KALVOR_BENCH_SERVER=<host or socket folder>, the user and password as libpq
// finds them): the same 1,000-employee run on a base of that PostgreSQL
// server, next to the run on the file in the same program, on the plain and
// on the demo-weight base; counters, medians over the rounds: ms per employee
// on both (the whole run, and the selection run alone) and the ratio server /
// file (server_to_file, its worst round server_to_file_worst, load). A month
// computed again with the same results leaves the server's stored rows as
// they are (the file's store writes each row over itself);
// BM_CalcMonthServerPlainRewritten changes every stored computed row of both
// before each round (untimed), so that each run writes all its rows, as the
// month's first run does.
#include "DemoFirm.h"
#include "RawSqlite.h"
#include "RunBenchmarks.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/BrigadeShare.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcThread.h"
#include "payroll/MonthRunBase.h"
#include "platform/Db.h"
#include "platform/TaskThread.h"
#include "values/Values.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 1000;
constexpr int kBrigadeMembers = 800;

// The bases of the benchmarks.
enum class Shape { Plain, DemoWeight, OneBrigade };

// A base file made from the fixture, with the kinds and tables the engine needs.
struct Setup {
    QTemporaryDir dir{QDir::currentPath() + QStringLiteral("/calc-bench-XXXXXX")};
    PayrollDoc doc;

    explicit Setup(Shape shape)
    {
        // A server keeps the base of an earlier run; each shape has a base of its own there.
        const QString name = shape == Shape::Plain ? QStringLiteral("benchplain") : QStringLiteral("bench");
        if (db::ServerInUse())
            DeleteBase(dir.path(), name);
        payrolltest::BuildMonthRunBase(
            doc, dir.path(), name,
            payrolltest::MonthRunShape{.employees = kEmployees,
                                       .demoWeightArchive = shape != Shape::Plain,
                                       .brigadeMembers = shape == Shape::OneBrigade ? kBrigadeMembers : 0,
                                       .brigades = 1});
    }
};

// Made on first use, released at the end of main (their bases' workers end
// while the program's database layer is still there).
std::unique_ptr<Setup> plainSetup, demoWeightSetup, brigadeSetup, serverPlainSetup, serverDemoWeightSetup;

Setup& setup(Shape shape)
{
    std::unique_ptr<Setup>& s = shape == Shape::Plain        ? plainSetup
                                : shape == Shape::DemoWeight ? demoWeightSetup
                                                             : brigadeSetup;
    if (!s)
        s = std::make_unique<Setup>(shape);
    return *s;
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
    QObject::connect(&thread, &platform::TaskThread::progress, [&] {
        if (run.selectMs == 0) // the first report: the range, after the selection run
            run.selectMs = double(t.nsecsElapsed()) / 1e6;
    });
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
    thread.startOn(doc.infoBase.worker, p, &CalculationThreadProc);
    loop.exec();
    return run;
}

// Writes the base's journal back into the base file, so that the run timed
// next starts from an empty journal and pays for the journal's write-back
// only when its own writes fill it (not for the writes of the run before it).
void SettleJournal(PayrollDoc& doc)
{
    rawsqlite::Connection raw(BaseFile(doc.infoBase));
    raw.exec("PRAGMA dbo.wal_checkpoint(TRUNCATE)");
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

// The tables of an employee's record that the calculation reads.
const char* const kEmployeeTables[] = {"konst", "pasport", "nalvich", "postDopl", "sber", "ispol",
                                       "ssud",  "waria",   "warDat",  "proizv",   "zarp"};

// The floor: every value the calculation reads, then per employee the row id,
// the old computed rows deleted and the new ones inserted, in one transaction.
double RunFloor(PayrollDoc& doc, const std::vector<EmployeeRecord>& records)
{
    CInfoBase& base = doc.infoBase;
    rawsqlite::Connection raw(BaseFile(base));
    raw.exec("SELECT count(*) FROM dbo.sqlite_schema"); // the schema read, as on an open connection
    QElapsedTimer t;
    t.start();
    raw.exec("BEGIN IMMEDIATE");
    std::int64_t values = 0;
    for (const char* table : kEmployeeTables) {
        rawsqlite::Statement select(raw.get(), std::string("SELECT * FROM dbo.") + table);
        values += rawsqlite::ReadEveryValue(select);
    }
    benchmark::DoNotOptimize(values);
    rawsqlite::Statement findId(raw.get(), "SELECT id FROM dbo.konst WHERE rec = ?");
    rawsqlite::Statement remove(raw.get(), "DELETE FROM dbo.zarp WHERE id_konst = ?");
    rawsqlite::Statement insert(raw.get(),
                                "INSERT INTO dbo.zarp (id_konst, num, kod, sum, min, dn, mes, hr, hrRest, otd, spzCh, "
                                "spzChHi, spzSc, spzScHi, spzAu, spzAuHi) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                                "?, ?, ?, ?)");
    for (int i = 0; i < base.employeeCount(); ++i) {
        const int slot = base.list[std::size_t(i)].slot;
        findId.bind(0, std::int64_t(slot));
        const std::int64_t id = findId.step() ? sqlite3_column_int64(findId.get(), 0) : 0;
        findId.reset();
        remove.bind(0, id).run();
        const EmployeeRecord& r = records[std::size_t(i)];
        for (int n = base.attributesOf(slot).kvProizv; n < EmployeeRecord::RowCount; ++n) {
            const AccrualRow& a = r.rows[std::size_t(n)];
            if (a == AccrualRow{})
                continue;
            const std::int64_t columns[] = {id,    n,       a.kod,     a.min,   a.dn,      a.mes,   a.hr,     a.hrRest,
                                            a.otd, a.spzCh, a.spzChHi, a.spzSc, a.spzScHi, a.spzAu, a.spzAuHi};
            for (int c = 0; c < 3; ++c) insert.bind(c, columns[c]);
            insert.bind(3, a.sum);
            for (int c = 3; c < 15; ++c) insert.bind(c + 1, columns[c]);
            insert.run();
        }
    }
    raw.exec("COMMIT");
    return double(t.nsecsElapsed()) / 1e6;
}

// The engine alone: every employee computed in display mode from the swap
// work file that the run left.
double RunEngine(PayrollDoc& doc)
{
    CInfoBase& base = doc.infoBase;
    SelectAllToSwap(base, Selection{});
    base.OpenSwapFile();
    CalcWorkBuffer work;
    CalcResultBuffer rows{};
    BrigadeMeasures brigades; // as a run keeps them
    CalcOptions options;
    options.brigades = &brigades;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < base.employeeCount(); ++i) CalcEmployeeMonth(doc, rows.data(), i, &work, CalcDisplay, options);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    base.CloseSwapFile();
    return ms;
}

void CalcMonth(benchmark::State& state, Shape shape)
{
    Setup& s = setup(shape);
    std::vector<EmployeeRecord> records(std::size_t(s.doc.infoBase.employeeCount()));
    Rounds calcMs, floorMs, selectMs, engineMs, ratio;
    double uiGapMs = 0;
    int errors = 0, round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SettleJournal(s.doc);
        state.ResumeTiming();
        const CalcRun run = RunCalculation(s.doc);
        if (run.result != platform::TASK_DONE)
            state.SkipWithError("the calculation did not finish");
        state.PauseTiming();
        LoadStoredRows(s.doc, records);
        SettleJournal(s.doc);
        state.ResumeTiming();
        const double f = RunFloor(s.doc, records);
        state.PauseTiming();
        engineMs.add(RunEngine(s.doc) / kEmployees);
        state.ResumeTiming();
        calcMs.add(run.ms / kEmployees);
        selectMs.add(run.selectMs / kEmployees);
        uiGapMs = std::max(uiGapMs, run.uiGapMs);
        errors = run.errors;
        floorMs.add(f / kEmployees);
        ratio.add(f > 0 ? run.ms / f : 0);
        state.counters["round" + std::to_string(++round) + "_ratio"] = ratio.values().back();
        state.SetIterationTime(run.ms / 1000);
    }
    state.counters["calc_ms_per_employee"] = calcMs.median();
    state.counters["select_ms_per_employee"] = selectMs.median();
    state.counters["engine_ms_per_employee"] = engineMs.median();
    state.counters["floor_ms_per_employee"] = floorMs.median();
    ratio.report(state, "ratio_to_floor");
    state.counters["ui_gap_ms"] = uiGapMs;
    state.counters["failed_employees"] = errors;
}

void BM_CalcMonthPlain(benchmark::State& state) { CalcMonth(state, Shape::Plain); }
void BM_CalcMonthDemoWeight(benchmark::State& state) { CalcMonth(state, Shape::DemoWeight); }
void BM_CalcMonthOneBrigadeOf800(benchmark::State& state) { CalcMonth(state, Shape::OneBrigade); }
BENCHMARK(BM_CalcMonthPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CalcMonthDemoWeight)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CalcMonthOneBrigadeOf800)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Another base made, saved, loaded and closed, as tools and merges over
// several bases do beside the open one.
void UseAnotherBase(const QString& folder)
{
    const QString name = QStringLiteral("other");
    CreateSchemaBase(folder, name);
    {
        CInfoBase other;
        other.workFolder = folder + QLatin1Char('/');
        other.baseName = name;
        OpenBase(other);
        SaveConfig(other);
        SaveFirm(other);
        LoadAll(other);
        CloseBase(other);
    }
    DeleteBase(folder, name);
}

// The calculation in rounds, another base made, saved, loaded and closed
// after each: closing it must leave the open base's reading of two-digit
// years as it was, so every round takes the first one's time per employee
// (round1 ran before any other base was closed).
void BM_CalcMonthBesideOtherBases(benchmark::State& state)
{
    Setup& s = setup(Shape::DemoWeight);
    Rounds ms;
    int round = 0;
    for (auto _ : state) {
        const CalcRun run = RunCalculation(s.doc);
        if (run.result != platform::TASK_DONE)
            state.SkipWithError("the calculation did not finish");
        state.SetIterationTime(run.ms / 1000);
        ms.add(run.ms / kEmployees);
        state.counters["round" + std::to_string(++round) + "_ms_per_employee"] = run.ms / kEmployees;
        state.PauseTiming();
        UseAnotherBase(s.dir.path());
        state.ResumeTiming();
    }
    ms.report(state, "ms_per_employee");
}
BENCHMARK(BM_CalcMonthBesideOtherBases)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(4);

// Every stored computed row of the base made unlike the run's, so that the
// run writes each of them again (as the first run of a month does).
void ChangeStoredResults(PayrollDoc& doc)
{
    db::Execute(Db(doc.infoBase), QStringLiteral("UPDATE dbo.zarp SET sum = sum + 1"));
}

// The same run on a base of the server, and on the file, alternately; with
// `rewrite`, the stored results of both changed before each round.
void CalcMonthServer(benchmark::State& state, Shape shape, bool rewrite = false)
{
    const QString host = qEnvironmentVariable("KALVOR_BENCH_SERVER");
    if (host.isEmpty()) {
        state.SkipWithError("KALVOR_BENCH_SERVER names no server");
        return;
    }
    std::unique_ptr<Setup>& serverSetup = shape == Shape::Plain ? serverPlainSetup : serverDemoWeightSetup;
    db::UseServer({host, 0, QString()});
    if (!serverSetup)
        serverSetup = std::make_unique<Setup>(shape);
    db::UseServer({});
    Setup& file = setup(shape);
    Rounds serverMs, fileMs, serverSelectMs, fileSelectMs, ratio;
    for (auto _ : state) {
        state.PauseTiming();
        db::UseServer({host, 0, QString()});
        if (rewrite)
            ChangeStoredResults(serverSetup->doc);
        state.ResumeTiming();
        const CalcRun onServer = RunCalculation(serverSetup->doc);
        state.PauseTiming();
        db::UseServer({});
        if (rewrite)
            ChangeStoredResults(file.doc);
        const CalcRun onFile = RunCalculation(file.doc);
        state.ResumeTiming();
        if (onServer.result != platform::TASK_DONE || onFile.result != platform::TASK_DONE)
            state.SkipWithError("the calculation did not finish");
        serverMs.add(onServer.ms / kEmployees);
        fileMs.add(onFile.ms / kEmployees);
        serverSelectMs.add(onServer.selectMs / kEmployees);
        fileSelectMs.add(onFile.selectMs / kEmployees);
        ratio.add(onFile.ms > 0 ? onServer.ms / onFile.ms : 0);
        state.SetIterationTime(onServer.ms / 1000);
    }
    state.counters["server_ms_per_employee"] = serverMs.median();
    state.counters["file_ms_per_employee"] = fileMs.median();
    state.counters["server_select_ms_per_employee"] = serverSelectMs.median();
    state.counters["file_select_ms_per_employee"] = fileSelectMs.median();
    ratio.report(state, "server_to_file");
}
void BM_CalcMonthServerPlain(benchmark::State& state) { CalcMonthServer(state, Shape::Plain); }
void BM_CalcMonthServerDemoWeight(benchmark::State& state) { CalcMonthServer(state, Shape::DemoWeight); }
BENCHMARK(BM_CalcMonthServerPlain)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_CalcMonthServerDemoWeight)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
void BM_CalcMonthServerPlainRewritten(benchmark::State& state) { CalcMonthServer(state, Shape::Plain, true); }
BENCHMARK(BM_CalcMonthServerPlainRewritten)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The demo firm's whole run (50 employees), its base made once in a folder
// of its own from the build's data folder.
void BM_DemoFirm(benchmark::State& state)
{
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/demo-bench-XXXXXX"));
    const QString folder = dir.path() + QLatin1Char('/');
    if (!QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/empty.bak"), folder + QStringLiteral("empty.bak")) ||
        !tools::MakeDemoBase(folder, QStringLiteral(KALVOR_DATA_DIR "/"))) {
        state.SkipWithError("no demo base");
        return;
    }
    PayrollDoc doc;
    doc.setWorkFolder(folder);
    doc.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
    doc.refFiles.OpenAll();
    doc.infoBase.baseName = tools::DemoBaseName();
    OpenBase(doc.infoBase);
    LoadAll(doc.infoBase);
    std::vector<EmployeeRecord> records(std::size_t(doc.infoBase.employeeCount()));
    Rounds ms, floorMs, ratio;
    for (auto _ : state) {
        state.PauseTiming();
        SettleJournal(doc);
        state.ResumeTiming();
        const CalcRun run = RunCalculation(doc);
        if (run.result != platform::TASK_DONE)
            state.SkipWithError("the calculation did not finish");
        state.PauseTiming();
        LoadStoredRows(doc, records);
        SettleJournal(doc);
        const double f = RunFloor(doc, records);
        state.ResumeTiming();
        ms.add(run.ms);
        floorMs.add(f);
        ratio.add(f > 0 ? run.ms / f : 0);
        state.SetIterationTime(run.ms / 1000);
    }
    state.counters["run_ms"] = ms.median();
    state.counters["floor_ms"] = floorMs.median();
    ratio.report(state, "ratio_to_floor");
    CloseBase(doc.infoBase);
}
BENCHMARK(BM_DemoFirm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, [] {
        plainSetup.reset();
        demoWeightSetup.reset();
        brigadeSetup.reset();
        if (serverPlainSetup || serverDemoWeightSetup) {
            db::UseServer({qEnvironmentVariable("KALVOR_BENCH_SERVER"), 0, QString()});
            serverPlainSetup.reset();
            serverDemoWeightSetup.reset();
            db::UseServer({});
        }
    });
}
