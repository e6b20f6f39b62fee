// The demo firm's month on a server reached over a slow network: a proxy
// that holds every packet 50 ms each way (tools/netdelay.py), as an office
// whose server is in another town reaches it (run by tools/test.sh against a
// throw-away cluster; skipped without one). The month's calculation and the
// month change, each longer than the bound of the server's silence, end
// without a lost connection, and the base holds the new month.
#include "infobase/InfoBaseDb.h"
#include "payroll/MonthChange.h"
#include "platform/Db.h"
#include "support/DelayingProxy.h"
#include "support/DemoDocument.h"
#include "support/MonthRun.h"

#include <gtest/gtest.h>

using namespace kalvor;

#ifdef KALVOR_DATA_DIR

namespace {

constexpr int kMay2011 = 2011 * 16 + 5;

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
        ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
        EXPECT_EQ(MoveEmployeesToNextMonth(kMay2011, {}, doc), 1);
        infobase::CloseBase(base());
    }
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoBase(doc, folder));
    EXPECT_EQ(base().config.tekMes, kMay2011);
}

#endif
