// What each operation of the screens and the workers sends to a PostgreSQL
// server: the round trips it waits for, the statements (and preparations) it
// sends, and the sessions it opens, at 50 and at 200 employees. A base over a
// network pays one round trip's delay for each exchange, whatever is in it, so
// the counts say what an operation costs at a delay: 100 ms a round trip and
// 10 round trips are a second.
//
// Counted on the wire, below the program and QtSql alike
// (support/WireCounts.h). The lease watcher renews the lease just before
// each operation and is held while it runs, so what is counted is the
// operation's own, as a workstation whose watcher keeps its lease meets it.
// Each operation's time is printed beside its counts (milliseconds).
//
//   sh tools/pgtest.sh start   (prints the cluster's folder)
//   KALVOR_BENCH_SERVER=<folder> PGUSER=kalvor build/bench/server_round_trips
//
// Through a delaying proxy (python3 tools/netdelay.py 50 <folder>/.s.PGSQL.5432
// prints its port), KALVOR_BENCH_THROUGH=127.0.0.1:<port> besides: the bases
// are made on the server directly and the operations go through the proxy.
//
// The bases are the test fixture's (payroll/FixtureBaseFile.h), made on the
// server in a temporary working folder and dropped afterwards; the last
// row is a base file of the fixture restored onto the server (the restore
// of an archive copy), and, when KALVOR_BENCH_COPY names a base file (the
// demo's archive copy, say), that copy restored the same way.
#include "RunBenchmarks.h"
#include "support/WireCounts.h"
#include "infobase/FirmParameters.h"
#include "infobase/InfoBaseDb.h"
#include "masterdata/GridBooks.h"
#include "masterdata/PayKindBook.h"
#include "payroll/CalcThread.h"
#include "payroll/FixtureBaseFile.h"
#include "payroll/MonthChange.h"
#include "payroll/ui/PersonalAccount.h"
#include "platform/Db.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"
#include "platform/TaskThread.h"
#include "values/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>


namespace {

using namespace kalvor;
using namespace kalvor::infobase;

// The calculation of the whole base on its worker, as the screen starts it.
void Calculate(PayrollDoc& doc)
{
    platform::TaskThread thread;
    QEventLoop loop;
    QObject::connect(&thread, &platform::TaskThread::done, [&](int, int, const QString&) { loop.quit(); });
    CalcThreadParams p;
    p.document = &doc;
    thread.startOn(doc.infoBase.worker, p, &CalculationThreadProc);
    loop.exec();
}

using wirecount::Counts;

// An operation's counts and its time.
struct Measured {
    Counts counts;
    long milliseconds = 0;
};

struct Operation {
    const char* name;
    std::function<void(PayrollDoc&)> run;
};

// The operations in the order they run on one base: each leaves the base as
// the next one needs it (the close last).
std::vector<Operation> Operations()
{
    return {
        {"opening (OpenBase, LoadAll)",
         [](PayrollDoc& d) {
             OpenBase(d.infoBase);
             LoadAll(d.infoBase);
         }},
        {"the card's load",
         [](PayrollDoc& d) {
             const int slot = d.infoBase.list[d.infoBase.list.size() / 2].slot;
             LoadEmployee(d.infoBase, slot);
             LoadWarDat(d.infoBase, slot, 0, 0, 0);
         }},
        {"the card's save (record, name, list row)",
         [](PayrollDoc& d) {
             CInfoBase& b = d.infoBase;
             b.current.head.oklad += 100;
             db::WriteTogether(Db(b), [&] {
                 SaveEmployeeFull(b, b.currentSlot);
                 SaveFio(b);
                 SaveComp(b);
             });
         }},
        {"the rate correction", [](PayrollDoc& d) { SaveEmployee(d.infoBase, d.infoBase.currentSlot); }},
        {"the firm's data", [](PayrollDoc& d) { StoreFirmParameters(d.infoBase); }},
        {"a grid (the shops)",
         [](PayrollDoc& d) {
             masterdata::WriteGridBook(masterdata::GridBook::Shops,
                                       masterdata::GridBookRows(masterdata::GridBook::Shops, d), d);
         }},
        {"a book (the pay kinds)", [](PayrollDoc& d) { masterdata::SavePayKindBook(d.infoBase); }},
        {"the time sheet", [](PayrollDoc& d) { SaveTabel(d.infoBase); }},
        {"a report's settings", [](PayrollDoc& d) { SaveConfig(d.infoBase); }},
        {"the personal account",
         [](PayrollDoc& d) { RecomputeEmployee(d, d.infoBase.list[d.infoBase.list.size() / 2].tabN()); }},
        {"the calculation", [](PayrollDoc& d) { Calculate(d); }},
        {"the month change",
         [](PayrollDoc& d) { MoveEmployeesToNextMonth(d.infoBase.config.reportingKey().next().value(), [] {}, d); }},
        {"the close", [](PayrollDoc& d) { CloseBase(d.infoBase); }},
    };
}

// A round of the lease watcher now, then its renewals held.
void RenewLeaseThenHold()
{
    db::HoldServerLeaseRenewals(false);
    db::AwaitServerLeaseRound();
    db::HoldServerLeaseRenewals(true);
}

// The counts and times of every operation on a base of that many employees.
std::vector<Measured> MeasureOperations(const QString& folder, int employees, const db::ServerAddress& through)
{
    PayrollDoc doc;
    const QString name = QStringLiteral("trips%1").arg(employees);
    payrolltest::BuildMonthReadyBase(doc, folder, name, employees);
    CloseBase(doc.infoBase);
    const db::ServerAddress direct = db::Server();
    db::UseServer(through);
    std::vector<Measured> measured;
    for (const Operation& op : Operations()) {
        RenewLeaseThenHold();
        const Counts before = Counts::now();
        const auto start = std::chrono::steady_clock::now();
        try {
            op.run(doc);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s failed: %s\n", op.name, e.what());
        }
        const auto took = std::chrono::steady_clock::now() - start;
        measured.push_back(
            {Counts::now() - before, long(std::chrono::duration_cast<std::chrono::milliseconds>(took).count())});
    }
    db::HoldServerLeaseRenewals(false);
    db::UseServer(direct);
    DeleteBase(folder, name);
    return measured;
}

// The counts and time of a base file's copy restored onto the server as the
// base `name`, dropped again afterwards.
Measured MeasureRestoreOf(const QString& folder, const QString& copy, const QString& name,
                          const db::ServerAddress& through)
{
    const db::ServerAddress direct = db::Server();
    DeleteBase(folder, name);
    db::UseServer(through);
    db::HoldServerLeaseRenewals(true);
    const Counts before = Counts::now();
    const auto start = std::chrono::steady_clock::now();
    try {
        RestoreBaseFile(folder, name, copy);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "the restore failed: %s\n", e.what());
    }
    const auto took = std::chrono::steady_clock::now() - start;
    const Measured m{Counts::now() - before, long(std::chrono::duration_cast<std::chrono::milliseconds>(took).count())};
    db::HoldServerLeaseRenewals(false);
    db::UseServer(direct);
    DeleteBase(folder, name);
    return m;
}

// The same for a base file's copy of that many fixture employees, as the
// restore of an archive copy takes it.
Measured MeasureRestore(const QString& folder, int employees, const db::ServerAddress& through)
{
    const QString copy = payrolltest::BuildFixtureBaseFile(folder, QStringLiteral("copy%1").arg(employees), employees);
    return MeasureRestoreOf(folder, copy, QStringLiteral("restored%1").arg(employees), through);
}

// The server of KALVOR_BENCH_SERVER: a socket folder, a host, or host:port.
db::ServerAddress ServerOf(const QString& text)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return {text, 0, QString()};
    return {text.left(colon), text.mid(colon + 1).toInt(), QString()};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString host = qEnvironmentVariable("KALVOR_BENCH_SERVER");
    if (host.isEmpty()) {
        std::fprintf(stderr, "KALVOR_BENCH_SERVER names no server (sh tools/pgtest.sh start)\n");
        return 1;
    }
    db::UseServer(ServerOf(host));
    const QString through = qEnvironmentVariable("KALVOR_BENCH_THROUGH");
    const db::ServerAddress operations = through.isEmpty() ? db::Server() : ServerOf(through);
    const ScopedToday today(QDate(2026, 3, 15));
    QTemporaryDir folder;
    const std::vector<int> sizes{50, 200};
    std::vector<std::vector<Measured>> bySize;
    for (const int employees : sizes) {
        bySize.push_back(MeasureOperations(folder.path(), employees, operations));
        bySize.back().push_back(MeasureRestore(folder.path(), employees, operations));
    }
    std::printf("%-42s %30s %30s\n", "round trips / statements / sessions / ms", "50 employees", "200 employees");
    std::vector<const char*> names;
    for (const Operation& op : Operations()) names.push_back(op.name);
    names.push_back("the restore of a base file's copy");
    for (std::size_t i = 0; i < names.size(); ++i) {
        std::printf("%-42s", names[i]);
        for (const auto& measured : bySize) {
            const Measured& m = measured[i];
            std::printf(" %9ld %7ld %5ld %6ld", m.counts.trips, m.counts.sent, m.counts.opened, m.milliseconds);
        }
        std::printf("\n");
    }
    // A copy of the caller's (the demo's archive copy, say), restored the same way.
    if (const QString copy = qEnvironmentVariable("KALVOR_BENCH_COPY"); !copy.isEmpty()) {
        const Measured m = MeasureRestoreOf(folder.path(), copy, QStringLiteral("restoredcopy"), operations);
        std::printf("%-42s %9ld %7ld %5ld %6ld\n", "the restore of KALVOR_BENCH_COPY", m.counts.trips, m.counts.sent,
                    m.counts.opened, m.milliseconds);
    }
    return 0;
}
