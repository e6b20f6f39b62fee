// What each operation of the screens and the workers sends to a PostgreSQL
// server: the round trips it waits for, the statements (and preparations) it
// sends, and the sessions it opens, at 50 and at 200 employees. A base over a
// network pays one round trip's delay for each exchange, whatever is in it, so
// the counts say what an operation costs at a delay: 100 ms a round trip and
// 10 round trips are a second.
//
// Counted on the wire, below the program and QtSql alike: this program
// defines libpq's calls that send (PQexec, PQsendQuery ... PQpipelineSync)
// and passes each to libpq, counting it first; its symbols are exported
// (ENABLE_EXPORTS), so the server driver of QtSql, loaded later, calls them
// too. A call that waits for its answer (PQexec, PQprepare, a query sent
// outside a pipeline) is one round trip; a pipeline is one at its sync,
// however many statements it carries. A call made inside another counted
// call (libpq's own PQexec sending its query) is not counted again. The lease
// watcher's renewals are held while counting, so what is counted is the
// operation's own (the check of the base lock before a write is counted).
//
//   sh tools/pgtest.sh start   (prints the cluster's folder)
//   KALVOR_BENCH_SERVER=<folder> PGUSER=kalvor build/bench/server_round_trips
//
// The bases are the test fixture's (payroll/FixtureBaseFile.h), made on the
// server in a temporary working folder and dropped afterwards.
#include "RunBenchmarks.h"
#include "infobase/FirmParameters.h"
#include "infobase/InfoBaseDb.h"
#include "masterdata/GridBooks.h"
#include "masterdata/PayKindBook.h"
#include "payroll/CalcThread.h"
#include "payroll/FixtureBaseFile.h"
#include "payroll/MonthChange.h"
#include "payroll/ui/PersonalAccount.h"
#include "platform/Db.h"
#include "platform/TaskThread.h"
#include "values/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <libpq-fe.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

std::atomic<long> roundTrips{0}, statements{0}, sessions{0};
thread_local int insideCall = 0; // a counted call is running on the thread

// The counts at one moment.
struct Counts {
    long trips = 0, sent = 0, opened = 0;
    static Counts now() { return {roundTrips.load(), statements.load(), sessions.load()}; }
    Counts operator-(const Counts& o) const { return {trips - o.trips, sent - o.sent, opened - o.opened}; }
};

// Counts one call (unless inside another counted call) and makes it.
template <class F, class... A>
auto counted(const char* name, bool trip, bool statement, A... args)
{
    static thread_local std::vector<std::pair<const char*, void*>> cache;
    void* fn = nullptr;
    for (const auto& [n, f] : cache)
        if (n == name)
            fn = f;
    if (!fn) {
        fn = dlsym(RTLD_NEXT, name);
        cache.emplace_back(name, fn);
    }
    if (insideCall == 0) {
        roundTrips += trip ? 1 : 0;
        statements += statement ? 1 : 0;
    }
    ++insideCall;
    auto result = reinterpret_cast<F>(fn)(args...);
    --insideCall;
    return result;
}

// Whether a call on the session waits for its answer now (no pipeline).
bool waits(PGconn* conn) { return PQpipelineStatus(conn) == PQ_PIPELINE_OFF; }

} // namespace

extern "C" {

PGresult* PQexec(PGconn* conn, const char* query)
{
    return counted<PGresult* (*)(PGconn*, const char*)>("PQexec", true, true, conn, query);
}

PGresult* PQexecParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                       const char* const* paramValues, const int* paramLengths, const int* paramFormats,
                       int resultFormat)
{
    return counted<PGresult* (*)(PGconn*, const char*, int, const Oid*, const char* const*, const int*, const int*,
                                 int)>("PQexecParams", true, true, conn, command, nParams, paramTypes, paramValues,
                                       paramLengths, paramFormats, resultFormat);
}

PGresult* PQexecPrepared(PGconn* conn, const char* stmtName, int nParams, const char* const* paramValues,
                         const int* paramLengths, const int* paramFormats, int resultFormat)
{
    return counted<PGresult* (*)(PGconn*, const char*, int, const char* const*, const int*, const int*, int)>(
        "PQexecPrepared", true, true, conn, stmtName, nParams, paramValues, paramLengths, paramFormats, resultFormat);
}

PGresult* PQprepare(PGconn* conn, const char* stmtName, const char* query, int nParams, const Oid* paramTypes)
{
    return counted<PGresult* (*)(PGconn*, const char*, const char*, int, const Oid*)>(
        "PQprepare", true, true, conn, stmtName, query, nParams, paramTypes);
}

PGresult* PQdescribePrepared(PGconn* conn, const char* stmt)
{
    return counted<PGresult* (*)(PGconn*, const char*)>("PQdescribePrepared", true, false, conn, stmt);
}

int PQsendQuery(PGconn* conn, const char* query)
{
    return counted<int (*)(PGconn*, const char*)>("PQsendQuery", waits(conn), true, conn, query);
}

int PQsendQueryParams(PGconn* conn, const char* command, int nParams, const Oid* paramTypes,
                      const char* const* paramValues, const int* paramLengths, const int* paramFormats,
                      int resultFormat)
{
    return counted<int (*)(PGconn*, const char*, int, const Oid*, const char* const*, const int*, const int*, int)>(
        "PQsendQueryParams", waits(conn), true, conn, command, nParams, paramTypes, paramValues, paramLengths,
        paramFormats, resultFormat);
}

int PQsendPrepare(PGconn* conn, const char* stmtName, const char* query, int nParams, const Oid* paramTypes)
{
    return counted<int (*)(PGconn*, const char*, const char*, int, const Oid*)>(
        "PQsendPrepare", waits(conn), true, conn, stmtName, query, nParams, paramTypes);
}

int PQsendQueryPrepared(PGconn* conn, const char* stmtName, int nParams, const char* const* paramValues,
                        const int* paramLengths, const int* paramFormats, int resultFormat)
{
    return counted<int (*)(PGconn*, const char*, int, const char* const*, const int*, const int*, int)>(
        "PQsendQueryPrepared", waits(conn), true, conn, stmtName, nParams, paramValues, paramLengths, paramFormats,
        resultFormat);
}

int PQsendDescribePrepared(PGconn* conn, const char* stmt)
{
    return counted<int (*)(PGconn*, const char*)>("PQsendDescribePrepared", waits(conn), false, conn, stmt);
}

int PQpipelineSync(PGconn* conn) { return counted<int (*)(PGconn*)>("PQpipelineSync", true, false, conn); }

PGconn* PQconnectdb(const char* conninfo)
{
    ++sessions;
    return counted<PGconn* (*)(const char*)>("PQconnectdb", false, false, conninfo);
}

PGconn* PQconnectdbParams(const char* const* keywords, const char* const* values, int expand_dbname)
{
    ++sessions;
    return counted<PGconn* (*)(const char* const*, const char* const*, int)>("PQconnectdbParams", false, false,
                                                                           keywords, values, expand_dbname);
}

PGconn* PQconnectStartParams(const char* const* keywords, const char* const* values, int expand_dbname)
{
    ++sessions;
    return counted<PGconn* (*)(const char* const*, const char* const*, int)>("PQconnectStartParams", false, false,
                                                                           keywords, values, expand_dbname);
}

} // extern "C"

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
             db::Transaction transaction(Db(b));
             SaveEmployeeFull(b, b.currentSlot);
             SaveFio(b);
             SaveComp(b);
             transaction.commit();
         }},
        {"the rate correction", [](PayrollDoc& d) { SaveEmployee(d.infoBase, d.infoBase.currentSlot); }},
        {"the firm's data", [](PayrollDoc& d) { StoreFirmParameters(d.infoBase); }},
        {"a grid (the shops)", [](PayrollDoc& d) { masterdata::WriteGridBook(masterdata::GridBook::Shops, d); }},
        {"a book (the pay kinds)", [](PayrollDoc& d) { masterdata::SavePayKindBook(d.infoBase); }},
        {"the time sheet", [](PayrollDoc& d) { SaveTabel(d.infoBase); }},
        {"a report's settings", [](PayrollDoc& d) { SaveConfig(d.infoBase); }},
        {"the personal account",
         [](PayrollDoc& d) { RecomputeEmployee(d, d.infoBase.list[d.infoBase.list.size() / 2].tabN()); }},
        {"the calculation", [](PayrollDoc& d) { Calculate(d); }},
        {"the month change",
         [](PayrollDoc& d) { MoveEmployeesToNextMonth(d.infoBase.config.reportingKey().next(), [] {}, d); }},
        {"the close", [](PayrollDoc& d) { CloseBase(d.infoBase); }},
    };
}

// The counts of every operation on a base of that many employees.
std::vector<Counts> CountOperations(const QString& folder, int employees)
{
    PayrollDoc doc;
    const QString name = QStringLiteral("trips%1").arg(employees);
    payrolltest::BuildMonthReadyBase(doc, folder, name, employees);
    CloseBase(doc.infoBase);
    db::HoldServerLeaseRenewals(true);
    std::vector<Counts> counts;
    for (const Operation& op : Operations()) {
        const Counts before = Counts::now();
        try {
            op.run(doc);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s failed: %s\n", op.name, e.what());
        }
        counts.push_back(Counts::now() - before);
    }
    db::HoldServerLeaseRenewals(false);
    DeleteBase(folder, name);
    return counts;
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
    db::UseServer({host, 0, QString()});
    const ScopedToday today(QDate(2026, 3, 15));
    QTemporaryDir folder;
    const std::vector<int> sizes{50, 200};
    std::vector<std::vector<Counts>> bySize;
    for (const int employees : sizes) bySize.push_back(CountOperations(folder.path(), employees));
    std::printf("%-42s %23s %23s\n", "round trips / statements / sessions", "50 employees", "200 employees");
    const std::vector<Operation> ops = Operations();
    for (std::size_t i = 0; i < ops.size(); ++i) {
        std::printf("%-42s", ops[i].name);
        for (const auto& counts : bySize)
            std::printf(" %9ld %7ld %5ld", counts[i].trips, counts[i].sent, counts[i].opened);
        std::printf("\n");
    }
    return 0;
}
