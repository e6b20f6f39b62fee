// The month change and the calculation stopped while their server hangs
// (its processes stopped with SIGSTOP in the middle of the work; run by
// tools/test.sh against a throw-away cluster, skipped without one): each
// window's stop ends the work within 5 s, and once the server answers again
// the base is as it was before the work began.
#include "payroll/CalcThread.h"
#include "payroll/MonthChange.h"
#include "payroll/ui/CCalcZarpDlg.h"
#include "payroll/ui/CCalcZarpView.h"
#include "payroll/ui/RunMonthChange.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/FixtureBaseFile.h"
#include "platform/Db.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CChgRepPerDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "support/HangingServer.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

using namespace kalvor;
using namespace kalvor::infobase;
using servertest::HangingServer;
using servertest::WaitUntil;

namespace {

using servertest::kStopLimitMs;
constexpr int kEmployees = 30;

class ServerStop : public servertest::ClusterTest {
protected:
    void Prepare() override
    {
        doc.setWorkFolder(folder);
        base().baseName = QStringLiteral("hung");
        DeleteBase(dir.path(), base().baseName); // a server keeps the base of an earlier test
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        FixtureBase fx = BuildFixtureBase(base(), kEmployees, 5);
        BuildFixtureRefFiles(doc.refFiles);
        payrolltest::AddFixtureContributionTables(doc);
        for (auto& a : base().attributes) a.err = 0; // no failed calculation stands in the month change's way
        for (auto& r : fx.records) r.head.flags &= ~0x604u; // no foreign-worker flags
        payrolltest::SaveFixtureToBase(base(), fx);
        LoadAll(base());
    }
    void TearDown() override
    {
        db::CallBeforeStatement(QString(), 0, {});
        if (!server.isEmpty())
            CloseBase(base());
    }

    CInfoBase& base() { return doc.infoBase; }

    qint64 Count(const QString& sql)
    {
        db::Recordset q(Db(base()), sql);
        q.exec();
        return q.next() ? q.toInt64(0) : -1;
    }

    std::vector<EmployeeRecord> StoredRecords(CInfoBase& b)
    {
        std::vector<EmployeeRecord> records;
        for (const EmployeeListEntry& e : b.list) {
            LoadEmployee(b, e.slot);
            LoadWarDat(b, e.slot, 0, 0, 0);
            records.push_back(b.current);
        }
        return records;
    }

    CKalvorDoc doc;
};

} // namespace

// The month change's main phase, the server hung after the copy and a few
// employees: Esc asks whether to stop, and the stop ends the change within
// 5 s as a stopped change; the base and the program stay in the old month,
// every row as it was.
TEST_F(ServerStop, TheMonthChangeOnAHungServerStopsWithinFiveSecondsAndLeavesTheMonth)
{
    const int month = base().config.tekMes;
    const auto attributes = base().attributes;
    const auto tabel = base().tabel;
    const std::vector<EmployeeRecord> records = StoredRecords(base());

    HangingServer hanging(server);
    const MonthMover mover = [&](int key, const std::function<void()>& stepIt, KalvorDocData& d) {
        int steps = 0;
        return PayrollMonthMover()(
            key,
            [&] {
                stepIt();
                if (++steps == 3)
                    hanging.hang();
            },
            d);
    };
    MessageRecorder boxes; // Yes to every question: the change, the copy, the stop
    QElapsedTimer sinceStop;
    bool escaped = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<CChgRepPerDlg*>(QApplication::activeModalWidget());
        if (escaped || !progress || !hanging.hung())
            return;
        escaped = true;
        QTest::keyClick(progress, Qt::Key_Escape);
        sinceStop.start();
    });
    // The server resumes after a while whatever happened, so that a change
    // that cannot be stopped ends at last (and the test fails on its time).
    QTimer::singleShot(30000, &poll, [&] { hanging.resume(); });
    poll.start(20);
    const int result = ChangeReportingMonth(doc, nullptr, mover);
    const qint64 stopMs = sinceStop.isValid() ? sinceStop.elapsed() : -1;
    poll.stop();
    hanging.resume();
    ASSERT_TRUE(escaped) << "the server never hung";
    EXPECT_GE(stopMs, 0);
    EXPECT_LT(stopMs, kStopLimitMs);
    EXPECT_EQ(result, -1);
    const QStringList texts = boxes.Texts();
    EXPECT_TRUE(texts.contains(CChgRepPerDlg::StopQuestion())) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(texts.value(texts.size() - 1), QString::fromUtf8(kMonthChangeCancelledText));
    EXPECT_EQ(base().config.tekMes, month);
    EXPECT_EQ(base().attributes, attributes);

    ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(base())));
    PayrollDoc after;
    payrolltest::ReloadStored(after, base());
    EXPECT_EQ(after.infoBase.config.tekMes, month);
    EXPECT_EQ(after.infoBase.attributes, attributes);
    EXPECT_EQ(after.infoBase.tabel, tabel);
    EXPECT_EQ(StoredRecords(after.infoBase), records);
    CloseBase(after.infoBase);
}

// The calculation's store, the server hung as the fifth employee's rows are
// sent: the screen's stop (Esc) ends the run within 5 s, saying that nothing
// of it was kept, and the month's stored results, status words and amounts
// to pay are those of before the run.
TEST_F(ServerStop, TheCalculationsStoreOnAHungServerStopsWithinFiveSecondsAndKeepsTheResultsOfBefore)
{
    db::Execute(Db(base()), QStringLiteral("UPDATE dbo.zarp SET sum = sum + 1")); // results unlike the run's
    const qint64 rowsBefore = Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp"));
    const qint64 sumBefore = Count(QStringLiteral("SELECT CAST(SUM(sum) * 100 AS BIGINT) FROM dbo.zarp"));
    const qint64 marksBefore = Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0"));
    const auto attributesBefore = base().attributes;
    const auto toPayBefore = base().zar1;
    ASSERT_GT(rowsBefore, 0);

    HangingServer hanging(server);
    db::CallBeforeStatement(QStringLiteral("unnest("), 5, [&] { hanging.hang(); });
    CCalcZarpView view(&doc);
    view.OnInitialUpdate();
    std::vector<std::pair<int, int>> done;
    QObject::connect(view.CalcDlg(), &CCalcZarpDlg::calculationDone, &view,
                     [&](int result, int errors) { done.emplace_back(result, errors); });
    MessageRecorder boxes;
    qint64 stopMs = -1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (stopMs >= 0 || !hanging.hung())
            return;
        poll.stop();
        QElapsedTimer sinceStop;
        sinceStop.start();
        QTest::keyClick(view.CalcDlg(), Qt::Key_Escape); // waits for the worker to end
        stopMs = sinceStop.elapsed();
    });
    QTimer::singleShot(30000, &poll, [&] { hanging.resume(); });
    poll.start(20);
    view.CalcDlg()->SetSelection(0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 60000));
    hanging.resume();
    ASSERT_GE(stopMs, 0) << "the server never hung";
    EXPECT_LT(stopMs, kStopLimitMs);
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].first, platform::TASK_FAILED);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Расчет зарплаты не выполнен.\nРасчет остановлен. Результаты расчета и признаки ошибок "
                             "работников остались такими, какими были до расчета."));
    EXPECT_EQ(base().attributes, attributesBefore);
    EXPECT_EQ(base().zar1, toPayBefore);

    ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(base())));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp")), rowsBefore);
    EXPECT_EQ(Count(QStringLiteral("SELECT CAST(SUM(sum) * 100 AS BIGINT) FROM dbo.zarp")), sumBefore);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0")), marksBefore);
}
