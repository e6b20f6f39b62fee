// What the per-employee work on a server base sends, counted from the
// server's own log (log_statement = all, set on the test's database for the
// sessions opened after it): opening a base, the month's calculation and the
// month change, on bases of 50 and of 200 fixture employees. Each sends its
// employees' rows by groups, so that 150 more employees cost at most one
// statement a 20 of them; opening stays within 40 statements and, its
// tables' reads sent together, within 21 round trips (counted on the wire:
// support/WireCounts.h) at both sizes.
#include "payroll/CalcThread.h"
#include "payroll/MonthChange.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/StoredTables.h"
#include "payroll/FixtureBaseFile.h"
#include "platform/Db.h"
#include "platform/DbTestHooks.h"
#include "support/MonthRun.h"
#include "support/TestBaseName.h"
#include "support/WireCounts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <iostream>
#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;

namespace {

// The statements that the server's log records from its current end on:
// each line "... LOG:  statement: ..." (a simple query, several statements
// of one message counted as one) or "... LOG:  execute ...: ..." (a prepared
// statement run, one of a pipeline's each).
class ServerStatementLog {
public:
    explicit ServerStatementLog(const QString& server) : file_(server + QStringLiteral("/server.log"))
    {
        file_.open(QIODevice::ReadOnly);
        file_.seek(file_.size());
    }
    // The statements logged since the last count (or the start).
    int count()
    {
        int statements = 0;
        while (!file_.atEnd()) {
            const QByteArray line = file_.readLine();
            if (line.contains("LOG:  statement: ") || line.contains("LOG:  execute "))
                ++statements;
        }
        return statements;
    }

private:
    QFile file_;
};

// What one base's operations sent.
struct Sent {
    int opening = 0, calculation = 0, monthChange = 0;
    long openingTrips = 0; // round trips on the wire
};

// Makes a base of `employees` fixture employees, has its database log every
// statement, and counts what opening it, computing its month and moving it
// to the next month send.
Sent CountOnBase(const QString& server, int employees)
{
    QTemporaryDir dir;
    PayrollDoc doc;
    CInfoBase& base = doc.infoBase;
    payrolltest::BuildMonthReadyBase(doc, dir.path(), QStringLiteral("trips"), employees);
    const QString database = db::ServerDatabaseOf(BaseFile(base));
    db::Execute(Db(base), QStringLiteral("ALTER DATABASE \"%1\" SET log_statement = 'all'").arg(database));
    CloseBase(base);

    ServerStatementLog log(server);
    Sent sent;
    db::HoldServerLeaseRenewals(true); // no renewal among the counted statements
    const wirecount::Counts before = wirecount::Counts::now();
    OpenBase(base);
    LoadAll(base);
    sent.openingTrips = (wirecount::Counts::now() - before).trips;
    sent.opening = log.count();
    testsupport::ComputeAndStoreMonth(doc);
    sent.calculation = log.count();
    EXPECT_EQ(MoveEmployeesToNextMonth(MonthKey::of(base.config.tekMes).next().value(), {}, doc), 1);
    sent.monthChange = log.count();
    db::HoldServerLeaseRenewals(false);
    db::Execute(Db(base), QStringLiteral("ALTER DATABASE \"%1\" RESET log_statement").arg(database));
    CloseBase(base);
    std::cout << employees << " employees: opening " << sent.opening << " in " << sent.openingTrips
              << " round trips, calculation " << sent.calculation
              << ", month change " << sent.monthChange << " statements\n";
    return sent;
}

} // namespace

TEST(ServerStatements, TheOpeningTheCalculationAndTheMonthChangeGrowByGroupsOfEmployees)
{
    const QString server = qEnvironmentVariable("KALVOR_TEST_SERVER");
    if (!db::ServerInUse() || server.isEmpty())
        GTEST_SKIP() << "a base on a server only";
    if (!QFile::exists(server + QStringLiteral("/server.log")))
        GTEST_SKIP() << "a server whose log is read here (tools/pgtest.sh)";
    const Sent small = CountOnBase(server, 50);
    ASSERT_FALSE(::testing::Test::HasFailure());
    const Sent large = CountOnBase(server, 200);
    // 150 employees more: at most one statement more for each 20 of them.
    constexpr int kMoreAtMost = 150 / 20;
    EXPECT_LE(small.opening, 40);
    EXPECT_LE(large.opening, 40);
    EXPECT_LE(large.opening - small.opening, kMoreAtMost);
    EXPECT_LE(small.openingTrips, 21);
    EXPECT_EQ(large.openingTrips, small.openingTrips);
    EXPECT_LE(large.calculation - small.calculation, kMoreAtMost);
    EXPECT_LE(large.monthChange - small.monthChange, kMoreAtMost);
}

namespace {

// What a base file's copy of `employees` fixture employees restored onto the
// server costs: the round trips, and the last report of how far it was.
struct Restored {
    long trips = 0;
    RowsCopied last;
    qint64 fileRows = 0; // the rows of the file's tables but the version's
    std::vector<qint64> taken; // the rows of every report, in order
    std::vector<RowsCopied::Stage> stages; // the stage of every report, in order
};

Restored CountRestore(int employees)
{
    QTemporaryDir dir;
    const QString file = payrolltest::BuildFixtureBaseFile(dir.path(), QStringLiteral("copied"), employees);
    Restored r;
    {
        const QSqlDatabase source = db::Connection::forThread(file);
        for (const TableDef& t : SchemaTables()) {
            if (t.name == VersionTable().def().name)
                continue;
            db::Recordset count(source, QStringLiteral("SELECT COUNT(*) FROM dbo.%1").arg(t.name));
            count.exec();
            r.fileRows += count.next() ? count.toInt64(0) : 0;
        }
    }
    db::Connection::closeForThread(file);
    const QString restored = testsupport::TestBaseName(dir.path(), QStringLiteral("restored"));
    DeleteBase(dir.path(), restored);
    db::HoldServerLeaseRenewals(true);
    const wirecount::Counts before = wirecount::Counts::now();
    RestoreBaseFile(dir.path(), restored, file, [&](const RowsCopied& done) {
        r.last = done;
        r.taken.push_back(done.rows);
        r.stages.push_back(done.stage);
    });
    r.trips = (wirecount::Counts::now() - before).trips;
    db::HoldServerLeaseRenewals(false);
    DeleteBase(dir.path(), restored);
    std::cout << employees << " employees: a base file's copy of " << r.fileRows << " rows restored in " << r.trips
              << " round trips\n";
    return r;
}

} // namespace

// A base file's copy restored onto the server sends its rows by groups, each
// sent without waiting for the answers of those before it: 200 employees
// cost the round trips of 50 within a few. The reports of how far the copy
// is count the rows the server has taken, not those sent: none as the first
// group goes (its answer is read later), never fewer than before, and the
// last names the last table and every row of the file. The first says that
// the base is being made, the last that it is being checked, every other
// that rows are copied.
TEST(ServerStatements, ABaseFilesCopyRestoredOntoTheServerCostsTheSameRoundTripsAtEverySize)
{
    if (!db::ServerInUse())
        GTEST_SKIP() << "a base on a server only";
    const Restored small = CountRestore(50);
    ASSERT_FALSE(::testing::Test::HasFailure());
    const Restored large = CountRestore(200);
    EXPECT_GT(large.fileRows, 3 * small.fileRows);
    EXPECT_LE(large.trips, small.trips + 3);
    for (const Restored& r : {small, large}) {
        EXPECT_EQ(r.last.table, r.last.tables);
        EXPECT_EQ(r.last.tables, int(SchemaTables().size()) - 1);
        EXPECT_EQ(r.last.rows, r.fileRows);
        EXPECT_EQ(r.last.total, r.fileRows);
        ASSERT_GT(r.taken.size(), 1u);
        EXPECT_EQ(r.taken.front(), 0);
        EXPECT_TRUE(std::is_sorted(r.taken.begin(), r.taken.end()));
        ASSERT_GT(r.stages.size(), 2u);
        EXPECT_EQ(r.stages.front(), RowsCopied::Stage::MakingBase);
        EXPECT_EQ(r.stages.back(), RowsCopied::Stage::Checking);
        EXPECT_EQ(std::count(r.stages.begin(), r.stages.end(), RowsCopied::Stage::CopyingRows),
                  std::ptrdiff_t(r.stages.size()) - 2);
    }
}
