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
#include "platform/DbServerWork.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CChgRepPerDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "support/HangingServer.h"
#include "support/SlotArrays.h"
#include "support/Slowness.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <map>
#include <thread>

using namespace kalvor;
using namespace kalvor::infobase;
using servertest::HangingServer;
using servertest::WaitUntil;

namespace {

using servertest::kStopLimitMs;
constexpr int kEmployees = 30;
// When a hung server resumes whatever happened: past the stop's bound
// stretched by any load a test machine sees.
constexpr int kResumeAnywayMs = 120'000;
constexpr const char* kWaitedForTheServer =
    "; the work ended only once the server resumed: the program waited on the server, not on the machine";

class ServerStop : public servertest::ClusterTest {
protected:
    void Prepare() override { BuildFixture(doc, QStringLiteral("hung")); }

    void BuildFixture(CKalvorDoc& d, const QString& name)
    {
        payrolltest::BuildMonthReadyBase(d, dir.path(), name, kEmployees);
    }

    // The server holds every COMMIT of a session that asks for a synchronous
    // one (a standby that does not exist must confirm it); the sessions open
    // so far and the system's default commit locally.
    void HoldSynchronousCommits(bool hold)
    {
        ASSERT_TRUE(hold ? servertest::HoldAskedCommitsOnceHeld(Db(base()), BaseFile(base()))
                         : servertest::HoldSynchronousCommits(Db(base()), false, false));
    }
    qint64 HeldCommits() { return servertest::HeldCommits(Db(base())); }
    // The number of sessions by which the program asks the server what became
    // of a cut COMMIT.
    qint64 CommitQuestionsAsked()
    {
        return Count(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE query LIKE 'SELECT pg_xact_status%'"));
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
    const auto attributes = EveryAttributes(base());
    const auto tabel = EveryTabel(base());
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
    servertest::Slowness slowness;
    bool escaped = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* progress = qobject_cast<CChgRepPerDlg*>(QApplication::activeModalWidget());
        if (escaped || !progress || !hanging.hung())
            return;
        escaped = true;
        slowness.restart();
        QTest::keyClick(progress, Qt::Key_Escape);
        sinceStop.start();
    });
    // The server resumes after a while whatever happened, so that a change
    // that cannot be stopped ends at last (and the test fails on its time),
    // long after any bound a loaded machine stretches the stop's to.
    bool resumedAnyway = false;
    QTimer::singleShot(kResumeAnywayMs, &poll, [&] {
        resumedAnyway = true;
        hanging.resume();
    });
    poll.start(20);
    const int result = ChangeReportingMonth(doc, nullptr, mover);
    const qint64 stopMs = sinceStop.isValid() ? sinceStop.elapsed() : -1;
    poll.stop();
    hanging.resume();
    ASSERT_TRUE(escaped) << "the server never hung";
    EXPECT_GE(stopMs, 0);
    EXPECT_TRUE(slowness.within("the stop", stopMs, kStopLimitMs)) << (resumedAnyway ? kWaitedForTheServer : "");
    EXPECT_EQ(result, -1);
    const QStringList texts = boxes.Texts();
    EXPECT_TRUE(texts.contains(CChgRepPerDlg::StopQuestion())) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(texts.value(texts.size() - 1), QString::fromUtf8(kMonthChangeCancelledText));
    EXPECT_EQ(base().config.tekMes, month);
    EXPECT_EQ(EveryAttributes(base()), attributes);

    ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(base())));
    PayrollDoc after;
    payrolltest::ReloadStored(after, base());
    EXPECT_EQ(after.infoBase.config.tekMes, month);
    EXPECT_EQ(EveryAttributes(after.infoBase), attributes);
    EXPECT_EQ(EveryTabel(after.infoBase), tabel);
    EXPECT_EQ(StoredRecords(after.infoBase), records);
    CloseBase(after.infoBase);
}

// A run reads its employees' records on the base's record readers, each of
// which opens its session on the server the first time it reads. A server
// that takes no new session then (its postmaster stalled, the run's own
// session answering) holds such an opening, and nothing cuts an opening in
// progress. The run's stop ends its wait for those readers at once: it is
// said as stopped, not as the server out of reach once the openings give up,
// and the run does not wait for them; they end on their own once the server
// answers.
TEST_F(ServerStop, ARunsStopEndsItsWaitForRecordReadersStillOpeningTheirSessions)
{
    PayrollDoc fresh; // its record readers have opened no session yet
    payrolltest::ReloadStored(fresh, base());
    std::vector<int> employees;
    for (int i = 0; i < fresh.infoBase.employeeCount(); ++i)
        employees.push_back(fresh.infoBase.list[std::size_t(i)].slot);
    ASSERT_EQ(employees.size(), std::size_t(kEmployees));

    HangingServer hanging(server);
    std::stop_source stop;
    std::atomic<bool> waiting{false};
    std::uint32_t code = 0;
    std::thread run([&] {
        const db::ServerStopScope scope(stop.get_token());
        try {
            const QSqlDatabase db = Db(fresh.infoBase);
            db::Transaction reading(db, db::Transaction::Read);
            // The postmaster stalls as the run's view is exported, before
            // the readers are asked for the records.
            db::CallBeforeStatement(QStringLiteral("pg_export_snapshot"), 1, [&] { hanging.hangNewSessions(); });
            EmployeeRecordFeed feed(fresh.infoBase, employees);
            waiting = true;
            feed.makeCurrent(employees.front());
        } catch (const db::DbError& e) {
            code = e.code();
        }
        db::Connection::closeForThread(BaseFile(fresh.infoBase));
    });
    const bool asked = WaitUntil([&] { return waiting.load(); }, servertest::kHelperReadyMs);
    stop.request_stop();
    run.join();
    const bool stalled = hanging.hung();
    hanging.resume();
    ASSERT_TRUE(asked);
    EXPECT_TRUE(stalled) << "the run ended only once the server took new sessions again";
    EXPECT_EQ(code, db::E_DB_STOPPED);
    CloseBase(fresh.infoBase);
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
    const auto attributesBefore = EveryAttributes(base());
    const auto toPayBefore = EveryPayout(base());
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
    servertest::Slowness slowness;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (stopMs >= 0 || !hanging.hung())
            return;
        poll.stop();
        QElapsedTimer sinceStop;
        slowness.restart();
        sinceStop.start();
        QTest::keyClick(view.CalcDlg(), Qt::Key_Escape); // waits for the worker to end
        stopMs = sinceStop.elapsed();
    });
    bool resumedAnyway = false;
    QTimer::singleShot(kResumeAnywayMs, &poll, [&] {
        resumedAnyway = true;
        hanging.resume();
    });
    poll.start(20);
    view.CalcDlg()->SetSelection(0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 2 * kResumeAnywayMs));
    hanging.resume();
    ASSERT_GE(stopMs, 0) << "the server never hung";
    EXPECT_TRUE(slowness.within("the stop", stopMs, kStopLimitMs)) << (resumedAnyway ? kWaitedForTheServer : "");
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].first, platform::TASK_FAILED);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Расчет зарплаты не выполнен.\nРасчет остановлен. Результаты расчета и признаки ошибок "
                             "работников остались такими, какими были до расчета."));
    EXPECT_EQ(EveryAttributes(base()), attributesBefore);
    EXPECT_EQ(EveryPayout(base()), toPayBefore);

    ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(base())));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.zarp")), rowsBefore);
    EXPECT_EQ(Count(QStringLiteral("SELECT CAST(SUM(sum) * 100 AS BIGINT) FROM dbo.zarp")), sumBefore);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM dbo.comp WHERE err <> 0")), marksBefore);
}

// The month change stopped while the server holds its COMMIT (a synchronous
// standby that does not exist must confirm it): the stop cuts the session and
// the program asks the server what became of the change. While the server
// still holds it, the program says that it is not known; once the COMMIT has
// gone through, a second change reads the base and refuses to move it again.
// When the hold ends while the program asks, it says the month changed, its
// memory in the new month. Either way the base opened anew equals a base
// changed once, table by table.
TEST_F(ServerStop, AMonthChangeStoppedWhileTheServerHoldsItsCommitIsNeverMadeTwice)
{
    CKalvorDoc twin;
    BuildFixture(twin, QStringLiteral("twin"));
    const int oldKey = base().config.tekMes, newKey = MonthKey::of(oldKey).next().value();
    ASSERT_GE(MoveEmployeesToNextMonth(
                  newKey, [] {}, twin),
              0);
    const std::map<std::string, std::string> changedOnce = servertest::StoredTables(Db(twin.infoBase));
    CloseBase(twin.infoBase);

    struct Row {
        const char* base;
        bool releasedWhileAsked;
        int result;
        QString said;
    };
    const Row rows[] = {
        {"hung", false, -1,
         QStringLiteral("Переход на следующий месяц прерван, когда запись уже была отправлена серверу базы данных. "
                        "Изменен ли отчетный месяц, пока не известно: сервер базы данных ждет ответа резервного "
                        "сервера, который не отвечает, и не подтверждает запись. Перед следующим переходом и "
                        "расчетом отчетный месяц будет прочитан из базы заново.")},
        {"released", true, 0,
         QStringLiteral("Отчетный месяц изменен на апрель 2026 года: переход был записан в базу данных до того, "
                        "как его остановили.\nОшибочных  ситуаций:  0")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.base);
        CKalvorDoc other;
        if (row.releasedWhileAsked)
            BuildFixture(other, QString::fromLatin1(row.base));
        CKalvorDoc& d = row.releasedWhileAsked ? other : doc;
        HoldSynchronousCommits(true);
        // The change's own session asks for a synchronous COMMIT.
        const MonthMover mover = [&](int key, const std::function<void()>& stepIt, KalvorDocData& data) {
            bool asked = false;
            return PayrollMonthMover()(
                key,
                [&] {
                    stepIt();
                    if (!std::exchange(asked, true))
                        db::Execute(Db(data.infoBase), QStringLiteral("SET synchronous_commit = on"));
                },
                data);
        };
        MessageRecorder boxes; // Yes to every question: the change, the copy, the stop
        bool escaped = false, released = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* progress = qobject_cast<CChgRepPerDlg*>(QApplication::activeModalWidget());
            if (!escaped && progress && HeldCommits() > 0) {
                escaped = true;
                QTest::keyClick(progress, Qt::Key_Escape);
            } else if (escaped && !released && row.releasedWhileAsked && CommitQuestionsAsked() > 0) {
                released = true;
                servertest::LetHeldCommitsGo(Db(base()));
                HoldSynchronousCommits(false);
            }
        });
        poll.start(20);
        const int result = ChangeReportingMonth(d, nullptr, mover);
        poll.stop();
        HoldSynchronousCommits(false);
        ASSERT_TRUE(escaped) << "the server never held the change's COMMIT";
        EXPECT_EQ(released, row.releasedWhileAsked);
        EXPECT_EQ(result, row.result);
        QStringList texts = boxes.Texts();
        EXPECT_TRUE(texts.contains(CChgRepPerDlg::StopQuestion())) << texts.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(texts.value(texts.size() - 1).startsWith(row.said)) << texts.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(d.infoBase.config.tekMes, row.releasedWhileAsked ? newKey : oldKey);

        // The COMMIT has gone through; the user changes the month again, and
        // the program reads the base first and moves nothing twice.
        ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(d.infoBase)));
        if (!row.releasedWhileAsked) {
            EXPECT_EQ(ChangeReportingMonth(d, nullptr), -1);
            texts = boxes.Texts();
            const QString monthMoved = QStringLiteral("Отчетный месяц базы данных (апрель 2026 года) не тот, что в "
                                                      "программе (март 2026 года): база изменена после того, как была "
                                                      "прочитана. Закройте базу и откройте ее снова.");
            EXPECT_TRUE(texts.value(texts.size() - 1).startsWith(monthMoved))
                << texts.join(QLatin1Char('|')).toStdString();
            // A calculation started now is refused alike, the base as the
            // change left it.
            CCalcZarpView view(&d);
            view.OnInitialUpdate();
            std::vector<int> done;
            QObject::connect(view.CalcDlg(), &CCalcZarpDlg::calculationDone, &view,
                             [&](int result, int) { done.push_back(result); });
            view.CalcDlg()->SetSelection(0, 0, 0);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 60000));
            EXPECT_EQ(done, std::vector<int>{platform::TASK_FAILED});
            EXPECT_EQ(boxes.Texts().value(boxes.Texts().size() - 1),
                      QStringLiteral("Расчет зарплаты не выполнен.\n") + monthMoved);
            EXPECT_EQ(servertest::StoredTables(Db(d.infoBase)), changedOnce);
            EXPECT_EQ(d.infoBase.config.tekMes, oldKey);
        }
        PayrollDoc after;
        payrolltest::ReloadStored(after, d.infoBase);
        EXPECT_EQ(after.infoBase.config.tekMes, newKey);
        EXPECT_EQ(servertest::StoredTables(Db(after.infoBase)), changedOnce);
        if (row.releasedWhileAsked) {
            EXPECT_EQ(EveryAttributes(d.infoBase), EveryAttributes(after.infoBase));
            EXPECT_EQ(EveryTabel(d.infoBase), EveryTabel(after.infoBase));
        }
        CloseBase(after.infoBase);
        if (row.releasedWhileAsked)
            CloseBase(other.infoBase);
    }
}

// The calculation stopped while the server holds its COMMIT: the program
// cannot learn yet whether the results were kept and says so, its memory as
// before the run. Once the COMMIT has gone through, the base holds the whole
// run, every employee as a complete run stores him: a run made again changes
// nothing.
TEST_F(ServerStop, ACalculationStoppedWhileTheServerHoldsItsCommitSaysTheOutcomeIsNotKnown)
{
    db::Execute(Db(base()), QStringLiteral("UPDATE dbo.zarp SET sum = sum + 1")); // results unlike the run's
    const std::map<std::string, std::string> before = servertest::StoredTables(Db(base()));
    const auto attributesBefore = EveryAttributes(base());
    const auto toPayBefore = EveryPayout(base());
    HoldSynchronousCommits(true);
    // The run's session, new, asks for a synchronous COMMIT.
    db::Execute(Db(base()),
                QStringLiteral("ALTER DATABASE \"%1\" SET synchronous_commit = on").arg(Db(base()).databaseName()));
    CCalcZarpView view(&doc);
    view.OnInitialUpdate();
    std::vector<std::pair<int, int>> done;
    QObject::connect(view.CalcDlg(), &CCalcZarpDlg::calculationDone, &view,
                     [&](int result, int errors) { done.emplace_back(result, errors); });
    MessageRecorder boxes;
    bool escaped = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (escaped || HeldCommits() == 0)
            return;
        escaped = true;
        QTest::keyClick(view.CalcDlg(), Qt::Key_Escape); // waits for the worker to end
    });
    poll.start(20);
    view.CalcDlg()->SetSelection(0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 60000));
    poll.stop();
    db::Execute(Db(base()),
                QStringLiteral("ALTER DATABASE \"%1\" RESET synchronous_commit").arg(Db(base()).databaseName()));
    HoldSynchronousCommits(false);
    ASSERT_TRUE(escaped) << "the server never held the run's COMMIT";
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0].first, platform::TASK_FAILED);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Расчет зарплаты не выполнен.\nРасчет остановлен. Запись результатов уже была "
                             "отправлена серверу базы данных; сохранены ли они, пока не известно: сервер базы "
                             "данных ждет ответа резервного сервера, который не отвечает, и не подтверждает запись. "
                             "Рассчитайте месяц снова, когда сервер ответит."));
    EXPECT_EQ(EveryAttributes(base()), attributesBefore);
    EXPECT_EQ(EveryPayout(base()), toPayBefore);

    ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(base())));
    const std::map<std::string, std::string> stored = servertest::StoredTables(Db(base()));
    EXPECT_NE(stored, before);
    view.CalcDlg()->SetSelection(0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.size() == 2; }, 60000));
    EXPECT_EQ(done.back().first, platform::TASK_DONE);
    EXPECT_EQ(servertest::StoredTables(Db(base())), stored);
}

// The server holds every COMMIT (a synchronous standby lost) for longer than
// the base lock's lease may go unrenewed: the watcher's renewal is held, its
// session shut at its bound, and the lock cannot be taken again while that
// session waits on the server. The calculation then started is refused at
// once, saying in Russian alone that the server does not confirm writes,
// never that the connection was lost; the base keeps its results. Once the
// server confirms COMMITs again, the next calculation goes through.
TEST_F(ServerStop, ACalculationWhileTheServerHoldsCommitsPastTheLeaseIsRefusedSayingWhyAndTheNextGoesThrough)
{
    db::Execute(Db(base()), QStringLiteral("UPDATE dbo.zarp SET sum = sum + 1")); // results unlike the run's
    const std::map<std::string, std::string> before = servertest::StoredTables(Db(base()));
    db::SetServerLease(3000);
    // The base's new sessions ask for a synchronous COMMIT; the lock's own
    // is ended, and the watcher takes the lock again on a new one.
    const QString database = Db(base()).databaseName();
    db::Execute(Db(base()), QStringLiteral("ALTER DATABASE \"%1\" SET synchronous_commit = on").arg(database));
    db::Recordset(Db(base()), QStringLiteral("SELECT pg_terminate_backend(l.pid) FROM pg_locks l JOIN pg_database d "
                                             "ON d.oid = l.database WHERE l.locktype = 'advisory' AND l.objid = 1 "
                                             "AND d.datname = current_database()"))
        .exec();
    const auto leaseRenewed = [&] {
        db::AwaitServerLeaseRound();
        return Count(QStringLiteral("SELECT COUNT(*) FROM dbo.lock_holder WHERE until > clock_timestamp() + "
                                    "interval '2 seconds'")) == 1;
    };
    ASSERT_TRUE(WaitUntil(leaseRenewed, servertest::kHelperReadyMs));
    HoldSynchronousCommits(true);
    // The watcher's renewal held, then cut at its bound: the lease ages
    // past a fifth of its length while the earlier session waits.
    EXPECT_TRUE(WaitUntil([&] { return HeldCommits() >= 1; }, servertest::kHelperReadyMs));
    db::AwaitServerLeaseRound();
    db::AwaitServerLeaseRound();

    CCalcZarpView view(&doc);
    view.OnInitialUpdate();
    std::vector<int> done;
    QObject::connect(view.CalcDlg(), &CCalcZarpDlg::calculationDone, &view,
                     [&](int result, int) { done.push_back(result); });
    MessageRecorder boxes;
    QElapsedTimer clock;
    servertest::Slowness slowness;
    clock.start();
    view.CalcDlg()->SetSelection(0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 60000));
    const qint64 refusedIn = clock.elapsed();
    ASSERT_EQ(done.size(), 1u);
    EXPECT_EQ(done[0], platform::TASK_FAILED);
    EXPECT_TRUE(slowness.within("the refusal", refusedIn, kStopLimitMs));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Расчет зарплаты не выполнен.\n") +
                                       QString::fromUtf8(db::kCommitsHeldText).arg(db::Server().host));
    EXPECT_EQ(servertest::StoredTables(Db(base())), before);

    db::Execute(Db(base()), QStringLiteral("ALTER DATABASE \"%1\" RESET synchronous_commit").arg(database));
    HoldSynchronousCommits(false);
    servertest::LetHeldCommitsGo(Db(base()));
    // The held session ends, and the watcher takes the lock again and
    // renews its lease.
    EXPECT_TRUE(WaitUntil(leaseRenewed, servertest::kHelperReadyMs));
    boxes.boxes.clear();
    view.CalcDlg()->SetSelection(0, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.size() == 2; }, 60000));
    EXPECT_EQ(done.back(), platform::TASK_DONE);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_NE(servertest::StoredTables(Db(base())), before);
    db::SetServerLease(0);
}
