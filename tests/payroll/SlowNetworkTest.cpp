// The demo firm's month on a server reached over a slow network: a proxy
// that holds every packet 50 ms each way (tools/netdelay.py), as an office
// whose server is in another town reaches it (run by tools/test.sh against a
// throw-away cluster; skipped without one). The opening, the month's
// calculation and the month change, each on its thread as the program runs
// it, end without a lost connection, and the base holds the new month.
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "payroll/MonthChange.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"
#include "platform/DbTestHooks.h"
#include "support/DelayingProxy.h"
#include "support/DemoDocument.h"
#include "support/TableRows.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <functional>
#include <stop_token>
#include <thread>

using namespace kalvor;

#ifdef KALVOR_DATA_DIR

namespace {

constexpr int kMay2011 = 2011 * 16 + 5;

// Runs the work as the screens' workers run the calculation and the month
// change: on a thread of its own, its server work under a stop (never set
// here), the event loop turning meanwhile.
void OnAWorker(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        {
            std::stop_source never;
            const db::ServerStopScope stop(never.get_token());
            work();
        }
        db::Connection::closeAllForThread();
        done = true;
    });
    while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    worker.join();
}

class SlowNetwork : public testsupport::DemoBaseTest {
protected:
    void SetUp() override
    {
        if (!db::ServerInUse())
            GTEST_SKIP() << "no PostgreSQL server for the tests";
        testsupport::DemoBaseTest::SetUp();
    }
};

} // namespace

TEST_F(SlowNetwork, TheDemoMonthIsComputedAndChangedThroughADelayingProxy)
{
    const QString folder = base().workFolder;
    {
        servertest::DelayingProxy proxy(qEnvironmentVariable("KALVOR_TEST_SERVER"), 50);
        ASSERT_NE(proxy.port(), 0) << "the delaying proxy did not start";
        // The base opened on the cluster's socket; its work from now on
        // connects through the proxy.
        infobase::CloseBase(base());
        proxy.use();
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoBase(doc, folder));
        CalcInPlaceRun run;
        OnAWorker([&] { run = CalcWholeMonthInPlace(doc); });
        ASSERT_EQ(run.outcome.result, platform::TASK_DONE) << run.outcome.message.toStdString();
        ASSERT_EQ(run.outcome.detail, 0) << "employee " << run.failedTabN << ", error " << run.failedCode;
        int moved = 0;
        OnAWorker([&] { moved = MoveEmployeesToNextMonth(kMay2011, {}, doc); });
        EXPECT_EQ(moved, 1); // no error situation
        infobase::CloseBase(base());
    }
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoBase(doc, folder));
    EXPECT_EQ(base().config.tekMes, kMay2011);
}

// The line cut (the proxy killed, every connection through it ended) while
// the calculation sends its first employees' rows: that run fails and the
// base keeps what it held, every row of every table (read on a new session
// once the line is back). Once the line is back, the next run opens new
// sessions in place of those the cut ended (the run's, its record readers')
// and goes through, as does the month change after it.
TEST_F(SlowNetwork, OnceACutLineIsBackTheNextCalculationAndMonthChangeGoThrough)
{
    const QString folder = base().workFolder;
    servertest::DelayingProxy proxy(qEnvironmentVariable("KALVOR_TEST_SERVER"), 25);
    ASSERT_NE(proxy.port(), 0) << "the delaying proxy did not start";
    infobase::CloseBase(base());
    proxy.use();
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoBase(doc, folder));
    const QString locator = infobase::BaseFile(base());
    std::map<QString, QStringList> before, after;
    OnAWorker([&] { before = testsupport::TableRows(db::Connection::forThread(locator)); });
    ASSERT_FALSE(before[QStringLiteral("konst")].isEmpty());
    db::CallBeforeStatement(QStringLiteral("unnest("), 1, [&] { proxy.cut(); });
    CalcInPlaceRun cut;
    OnAWorker([&] { cut = CalcWholeMonthInPlace(doc); });
    db::CallBeforeStatement(QString(), 0, {});
    EXPECT_NE(cut.outcome.result, platform::TASK_DONE);
    ASSERT_TRUE(proxy.back());
    OnAWorker([&] { after = testsupport::TableRows(db::Connection::forThread(locator)); });
    for (const auto& [table, rows] : before) EXPECT_EQ(after[table], rows) << table.toStdString();
    CalcInPlaceRun again;
    OnAWorker([&] { again = CalcWholeMonthInPlace(doc); });
    ASSERT_EQ(again.outcome.result, platform::TASK_DONE) << again.outcome.message.toStdString();
    ASSERT_EQ(again.outcome.detail, 0) << "employee " << again.failedTabN << ", error " << again.failedCode;
    int moved = 0;
    OnAWorker([&] { moved = MoveEmployeesToNextMonth(kMay2011, {}, doc); });
    EXPECT_EQ(moved, 1);
    infobase::CloseBase(base());
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoBase(doc, folder));
    EXPECT_EQ(base().config.tekMes, kMay2011);
}

#endif
