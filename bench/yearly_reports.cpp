// The yearly reports of a 1,000-employee base next to the month's
// calculation of the same base, in the same run.
//
// The base is the month calculation's (bench/calc_month): fixture employees
// with a demo-firm employee's archive, the base standing in March 2026. Its
// archive is made to hold the whole of 2025 (January and February are added
// as copies of March), every contribution kind of the fixture is in use (the
// insurance and funded parts of the pension and the accident insurance too),
// their tables valid from January 2025; the reports are made for 2025.
//
// BM_YearlyReports, per round, each on the base's long-lived worker as the
// screens run them:
//   calculation: the calculation screen's worker (CalculationThreadProc);
//   RSV-1: the pension-fund contributions report for the year (CalcOVPF);
//   4-FSS: the social-insurance settlement for the year (CalcRVedFSS2011).
// Counters, over nine rounds: the median ms per employee of each, and each
// report's ratio to the calculation of its round (the median and the dearest
// round, with the machine's load): the reports are no dearer per employee than the month's
// calculation when the ratios are at most 1.
#include "RunBenchmarks.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "payroll/MonthRunBase.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "reports/social/PensionContributions.h"
#include "reports/social/SocialInsurance2011.h"
#include "values/Values.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

constexpr int kEmployees = 1000;
constexpr int kReportYear = 2025;

// January and February of the report year, copied from its March, so that
// the archive holds the whole year.
void AddJanuaryAndFebruary(EmployeeRecord& rec)
{
    const int count = rec.warKv;
    for (int i = 0; i < count && rec.warKv + 2 <= EmployeeRecord::ArchiveCapacity; ++i) {
        const WariaEntry march = rec.waria[std::size_t(i)];
        if (march.god != kReportYear || march.mes != 3)
            continue;
        for (int month : {1, 2}) {
            WariaEntry& e = rec.waria[std::size_t(rec.warKv++)];
            e = march;
            e.mes = std::uint16_t(month);
            if (march.mesVyd != 0)
                e.mesVyd = std::uint16_t(month + 1);
        }
    }
}

struct Setup {
    QTemporaryDir dir{QDir::currentPath() + QStringLiteral("/reports-bench-XXXXXX")};
    PayrollDoc doc;

    Setup()
    {
        payrolltest::BuildMonthRunBase(doc, dir.path(), QStringLiteral("bench"),
                                       payrolltest::MonthRunShape{.employees = kEmployees, .demoWeightArchive = true});
        platform::SetWorkingFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        for (const EmployeeListEntry& entry : base.list) {
            LoadEmployee(base, entry.slot);
            AddJanuaryAndFebruary(base.current);
            SaveEmployee(base, entry.slot);
        }
        base.ClearCurrentRecord();
        // Every contribution kind of the fixture (the calculation's base uses
        // the first four), the tables valid from January of the report year.
        doc.refFiles.sborCount = 7;
        for (int t = 2; t < 10; ++t)
            doc.refFiles.nalog[std::size_t(t)].variants[0].first = std::uint16_t(MonthIndex(kReportYear, 1));
        base.config.r_g = std::int8_t(kReportYear - 1900);
        base.config.r_m1 = 1;
        base.config.r_m2 = 12;
    }
    ~Setup() { platform::SetWorkingFolder(QString()); }
};

std::unique_ptr<Setup> setup;

struct Run {
    double ms = 0;
    int result = -1;
    int detail = 0;
};

// A body on the base's worker, while this thread turns an event loop.
Run RunOnWorker(PayrollDoc& doc, platform::TaskThread::Body body)
{
    Run run;
    platform::TaskThread thread;
    QEventLoop loop;
    QElapsedTimer t;
    QObject::connect(&thread, &platform::TaskThread::done, [&](int result, int detail, const QString&) {
        run.ms = double(t.nsecsElapsed()) / 1e6;
        run.result = result;
        run.detail = detail;
        loop.quit();
    });
    t.start();
    thread.startOn(doc.infoBase.worker, std::move(body));
    loop.exec();
    return run;
}

Run RunCalculation(PayrollDoc& doc)
{
    CalcThreadParams p;
    p.document = &doc;
    return RunOnWorker(doc, [p](platform::TaskContext& context) { return CalculationThreadProc(context, p); });
}

// A report's builder on the worker; its result travels as the detail.
Run RunReport(PayrollDoc& doc, int (*build)(const reports::ReportSelection&, PayrollDoc&, const QString&, int,
                                            std::stop_token, reports::GenrRunDetail*))
{
    return RunOnWorker(doc, [&doc, build](platform::TaskContext& context) {
        return platform::TaskOutcome(
            platform::TASK_DONE, build(reports::ReportSelection{}, doc, QString(), 0, context.stopToken(), nullptr));
    });
}

void BM_YearlyReports(benchmark::State& state)
{
    if (!setup)
        setup = std::make_unique<Setup>();
    PayrollDoc& doc = setup->doc;
    Rounds calcMs, rsvMs, fssMs, rsvRatio, fssRatio;
    for (auto _ : state) {
        const Run calc = RunCalculation(doc);
        const Run rsv = RunReport(doc, &reports::CalcOVPF);
        const Run fss = RunReport(doc, &reports::CalcRVedFSS2011);
        if (calc.result != platform::TASK_DONE || calc.detail != 0)
            state.SkipWithError("the calculation did not finish without errors");
        if (rsv.result != platform::TASK_DONE || rsv.detail != reports::GenrDone)
            state.SkipWithError("RSV-1 was not made");
        if (fss.result != platform::TASK_DONE || fss.detail != reports::GenrDone)
            state.SkipWithError("4-FSS was not made");
        calcMs.add(calc.ms);
        rsvMs.add(rsv.ms);
        fssMs.add(fss.ms);
        rsvRatio.add(rsv.ms / calc.ms);
        fssRatio.add(fss.ms / calc.ms);
        state.SetIterationTime((calc.ms + rsv.ms + fss.ms) / 1000);
    }
    state.counters["calc_ms_per_employee"] = calcMs.median() / kEmployees;
    state.counters["rsv1_ms_per_employee"] = rsvMs.median() / kEmployees;
    state.counters["fss4_ms_per_employee"] = fssMs.median() / kEmployees;
    rsvRatio.report(state, "rsv1_to_calc");
    fssRatio.report(state, "fss4_to_calc");
}
BENCHMARK(BM_YearlyReports)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, [] { setup.reset(); });
}
