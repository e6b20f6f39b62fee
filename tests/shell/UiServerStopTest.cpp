// The server's copy, restore and a worker's reads stopped while the server
// hangs (its processes stopped with SIGSTOP, run by tools/test.sh against a
// throw-away cluster; skipped without one): the month change's copy dialog
// ends on Esc, and the restore's and any worker's run on its stop, each
// within 5 s, leaving no copy, no base and nothing the run wrote, and not
// waiting on the server to drop the restore's temporary database, which a
// later opening drops once the server answers. And the temporary database
// of a restore is never dropped by another workstation's opening while it
// is being built. A stop shuts only its own scope's sessions, and those it
// shut are opened anew by the thread's next work.
#include "shell/UiTestSupport.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/DbServerLock.h"
#include "platform/DbServerWork.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"
#include "platform/TaskThread.h"
#include "shell/ui/CArchProcDlg.h"
#include "shell/ui/InfoBaseService.h"
#include "shell/ui/MonthChange.h"
#include "support/EmptyServerBase.h"
#include "support/HangingServer.h"
#include "support/Slowness.h"
#include "support/TestBaseName.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <QtTest/QTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <stop_token>
#include <thread>

namespace db = kalvor::db;
namespace ib = kalvor::infobase;
using servertest::HangingServer;
using servertest::WaitUntil;

namespace {

using servertest::kStopLimitMs;
// How long a screen's save or the base's close may keep the window waiting
// on a server that holds or stopped their session: the stop's bound and a
// second to say so.
constexpr qint64 kWindowLimitMs = 6000;

// Waits, the event loop turning, until the condition holds, or at most twice
// a bound of the program's (`boundMs` on an idle machine) stretched by the
// slowness measured since `since` started, so that a program that waits on
// is not waited for without end: how long since `since` it took, -1 when it
// did not hold.
qint64 MsUntil(const std::function<bool()>& condition, const servertest::Slowness& slowness,
               const QElapsedTimer& since, qint64 boundMs = kStopLimitMs)
{
    bool held = false;
    WaitUntil(
        [&] {
            held = condition();
            return held || since.elapsed() > 2 * slowness.scaled(boundMs);
        },
        servertest::kHelperReadyMs);
    return held ? since.elapsed() : -1;
}

class ServerStop : public servertest::ClusterTest {
protected:
    void Prepare() override
    {
        stopperBase = kalvor::testsupport::TestBaseName(folder, QStringLiteral("stopper"));
        restoredBase = kalvor::testsupport::TestBaseName(folder, QStringLiteral("restored"));
        secondBase = kalvor::testsupport::TestBaseName(folder, QStringLiteral("second"));
        for (const QString& name : {stopperBase, restoredBase, secondBase}) db::DropServerBase(name);
        kalvor::testsupport::MakeEmptyServerBase(stopperBase);
    }
    void TearDown() override
    {
        if (server.isEmpty())
            return;
        db::Connection::closeAllForThread();
        for (const QString& name : {stopperBase, restoredBase, secondBase}) db::DropServerBase(name);
    }
    // The temporary databases that a making or restoring of a base builds in.
    QStringList TemporaryBases() const
    {
        QStringList names;
        db::Recordset q(db::Connection::forThread(db::ServerBaseLocator(stopperBase)),
                        QStringLiteral("SELECT datname FROM pg_database WHERE datname LIKE '~%' ORDER BY datname"));
        q.exec();
        while (q.next()) names << q.toString(0);
        return names;
    }

    // The test's own bases: an empty one made for it, one a restore makes,
    // and a second one to change to.
    QString stopperBase, restoredBase, secondBase;
};

// A worker's run from start to end; its result and failure text.
struct WorkerRun {
    kalvor::platform::TaskThread thread;
    int result = -1;
    QString failure;
    WorkerRun()
    {
        QObject::connect(&thread, &kalvor::platform::TaskThread::done, [this](int r, int, const QString& f) {
            result = r;
            failure = f;
        });
    }
    // Asks the worker to stop once the server hangs; how long it then ran
    // on (-1 when the server never hung or the worker did not end in time),
    // the machine's slowness measured meanwhile in `slowness`.
    qint64 stopWhenHung(const HangingServer& hanging)
    {
        if (!WaitUntil([&] { return hanging.hung() || !thread.isRunning(); }, servertest::kHelperReadyMs) ||
            !hanging.hung())
            return -1;
        QElapsedTimer sinceStop;
        slowness.restart();
        sinceStop.start();
        thread.requestStop();
        const qint64 ms = MsUntil([&] { return !thread.isRunning(); }, slowness, sinceStop);
        hanging.resume();
        thread.stopAndWait();
        QCoreApplication::processEvents(); // done() arrives
        return ms;
    }
    servertest::Slowness slowness;
};

// A base file's copy of a few dozen employees, made as on a workstation
// without a server.
QString BaseFileCopy(const QString& folder)
{
    const db::ServerAddress server = db::Server();
    db::UseServer({});
    ib::CInfoBase copy;
    copy.workFolder = folder;
    copy.baseName = QStringLiteral("copied");
    ib::CreateSchemaBase(folder, copy.baseName);
    ib::OpenBase(copy);
    const ib::FixtureBase fx = ib::BuildFixtureBase(copy, 40);
    ib::SaveAll(copy, fx.records);
    ib::CloseBase(copy);
    const QString file = ib::BaseFilePath(folder, copy.baseName);
    db::UseServer(server);
    return file;
}

// The backend process of the calling thread's session on the base.
qint64 SessionPid(const QString& locator)
{
    db::Recordset q(db::Connection::forThread(locator), QStringLiteral("SELECT pg_backend_pid()"));
    q.exec();
    return q.next() ? q.toInt64(0) : 0;
}

// The copy restored as the base `name` and opened, its sessions asking for a
// synchronous COMMIT (the server holds them some time after it is told to:
// commits of the test's own into its table public.marks are made until one
// is held), with a short lease: a lock's row that a cut close leaves behind
// runs out soon.
void OpenRestoredAskingSynchronousCommits(InfoBaseService& service, const QString& name, const QString& copy,
                                          const QSqlDatabase& probe)
{
    db::DropServerBase(name);
    ASSERT_FALSE(service.Restore(name, copy).failed);
    db::Execute(probe, QStringLiteral("ALTER DATABASE \"%1\" SET synchronous_commit = on").arg(name));
    db::SetServerLease(3000);
    ASSERT_FALSE(service.Open(name).failed);
    db::Execute(db::Connection::forThread(db::ServerBaseLocator(name)),
                QStringLiteral("CREATE TABLE public.marks (n integer)"));
}

// Stops the backend process once the server holds its COMMIT (watched on a
// session of the thread's own); `stopped` tells whether it was.
std::thread StopOnceItsCommitIsHeld(const QString& locator, qint64 pid, std::atomic<bool>& stopped)
{
    return std::thread([locator, pid, &stopped] {
        {
            const QSqlDatabase own = db::Connection::forThread(locator);
            WaitUntil([&] { return servertest::HeldCommits(own, QStringLiteral("pid = %1").arg(pid)) == 1; },
                      servertest::kHelperReadyMs);
            stopped = ::kill(pid_t(pid), SIGSTOP) == 0;
        }
        db::Connection::closeAllForThread();
    });
}

// Whether the server still has the backend process (asked on the calling
// thread's session).
bool SessionLives(const QString& locator, qint64 pid)
{
    db::Recordset q(db::Connection::forThread(locator),
                    QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE pid = %1").arg(pid));
    q.exec();
    return q.next() && q.toInt(0) == 1;
}

// A statement on the calling thread's session on the base: empty when it
// ran, else what failed.
QString StatementFailure(const QString& locator)
{
    try {
        db::Execute(db::Connection::forThread(locator), QStringLiteral("SELECT 1"));
        return {};
    } catch (const db::DbError& e) {
        return e.message();
    }
}

} // namespace

// What every worker's run on a server has (a report run, a selection): the
// server hangs while the run waits on it for rows, and its stop ends the
// run within 5 s with the server's work said as stopped; what the run had
// written in its transaction is gone once the server answers again.
TEST_F(ServerStop, AWorkersWaitOnAHungServerEndsWithinFiveSecondsOfItsStopAndItsWritesAreUndone)
{
    const QString locator = db::ServerBaseLocator(stopperBase);
    db::Execute(db::Connection::forThread(locator), QStringLiteral("CREATE TABLE public.marks (n integer)"));
    HangingServer hanging(server);
    WorkerRun run;
    ASSERT_TRUE(run.thread.start([&](kalvor::platform::TaskContext&) {
        const QSqlDatabase base = db::Connection::forThread(locator);
        db::Transaction written(base);
        db::Execute(base, QStringLiteral("INSERT INTO public.marks VALUES (1)"));
        db::CallBeforeStatement(QStringLiteral("FROM public.marks"), 1, [&] { hanging.hang(); });
        db::Recordset rows(base, QStringLiteral("SELECT n FROM public.marks"));
        rows.exec();
        written.commit();
        return kalvor::platform::TaskOutcome();
    }));
    const qint64 stopMs = run.stopWhenHung(hanging);
    db::CallBeforeStatement(QString(), 0, {});
    EXPECT_TRUE(run.slowness.within("the stop", stopMs, kStopLimitMs))
        << "the server never hung, or the run went on after its stop";
    EXPECT_EQ(run.result, kalvor::platform::TASK_FAILED);
    EXPECT_TRUE(run.failure.contains(QString::fromUtf8(db::kServerWorkStoppedText))) << run.failure.toStdString();

    ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(db::Connection::forThread(locator)));
    db::Recordset marks(db::Connection::forThread(locator), QStringLiteral("SELECT COUNT(*) FROM public.marks"));
    marks.exec();
    ASSERT_TRUE(marks.next());
    EXPECT_EQ(marks.toInt(0), 0);
}

// The sessions a stop shuts are its own scope's: a scope that ended before
// its stop's time is up leaves the next scope on its thread alone; and a
// session the stop did shut is opened anew by the next work of its thread,
// though nothing used it after the shut. Worker A stops its scope and ends it
// at once, then works in a scope of no stop; worker B stops its own later
// and waits until its session is gone from the server, by then A's stop's
// time is up too.
TEST_F(ServerStop, AStopShutsTheSessionsOfItsOwnScopeAndTheNextWorkOpensThemAnew)
{
    const QString locator = db::ServerBaseLocator(stopperBase);
    std::promise<qint64> aWorks, bStopped;
    std::promise<void> aStopped, go;
    std::shared_future<void> goOn = go.get_future().share();
    QString aFailure, bFailure;
    std::thread a([&] {
        {
            std::stop_source stop;
            db::ServerStopScope stopped(stop.get_token());
            SessionPid(locator);
            stop.request_stop();
        }
        aStopped.set_value();
        {
            db::ServerStopScope later{std::stop_token()};
            aWorks.set_value(SessionPid(locator));
            goOn.wait();
            aFailure = StatementFailure(locator);
        }
        db::Connection::closeAllForThread();
    });
    std::thread b([&] {
        aStopped.get_future().wait();
        {
            std::stop_source stop;
            db::ServerStopScope stopped(stop.get_token());
            bStopped.set_value(SessionPid(locator));
            stop.request_stop();
            goOn.wait();
        }
        {
            db::ServerStopScope next{std::stop_token()};
            bFailure = StatementFailure(locator);
        }
        db::Connection::closeAllForThread();
    });
    const qint64 aPid = aWorks.get_future().get(), bPid = bStopped.get_future().get();
    const bool bShut = WaitUntil([&] { return !SessionLives(locator, bPid); }, servertest::kHelperReadyMs);
    go.set_value();
    a.join();
    b.join();
    EXPECT_TRUE(bShut);
    EXPECT_NE(aPid, 0);
    EXPECT_TRUE(aFailure.isEmpty()) << aFailure.toStdString();
    EXPECT_TRUE(bFailure.isEmpty()) << bFailure.toStdString();
}

// A base file's copy restored onto the server, the server hung while the
// copy's rows go in: the stop ends the restore within 5 s and no base of the
// name is made; the temporary database it leaves goes with the next cleanup
// once the server answers.
TEST_F(ServerStop, AStopEndsTheRestoresRowCopyWhileTheServerHangs)
{
    const QString copy = BaseFileCopy(folder);
    const QStringList before = TemporaryBases();
    db::Connection::closeAllForThread();
    HangingServer hanging(server);
    ib::CInfoBase infoBase;
    InfoBaseService service(infoBase, folder);
    BaseFailure restored;
    WorkerRun run;
    db::CallBeforeStatement(QStringLiteral("INSERT INTO dbo.konst"), 10, [&] { hanging.hang(); });
    ASSERT_TRUE(run.thread.start([&](kalvor::platform::TaskContext&) {
        restored = service.Restore(restoredBase, copy);
        db::Connection::closeAllForThread();
        return kalvor::platform::TaskOutcome();
    }));
    const qint64 stopMs = run.stopWhenHung(hanging);
    db::CallBeforeStatement(QString(), 0, {});
    EXPECT_TRUE(run.slowness.within("the stop", stopMs, kStopLimitMs))
        << "the server never hung, or the restore went on after its stop";
    EXPECT_TRUE(restored.failed);
    EXPECT_TRUE(restored.message.startsWith(QString::fromUtf8(db::kServerWorkStoppedText) + QLatin1Char('\n')))
        << restored.message.toStdString();
    EXPECT_FALSE(db::ServerBaseExists(restoredBase));
    EXPECT_TRUE(WaitUntil(
        [&] {
            db::DropLeftoverServerBases();
            return TemporaryBases() == before;
        },
        servertest::kHelperReadyMs));
}

// The copy before the month change: Esc while pg_dump waits on the hung
// server ends the dialog at once as a stopped copy, and no copy is left.
TEST_F(ServerStop, EscStopsTheMonthChangesCopyWhileTheServerHangs)
{
    HangingServer hanging(server);
    ASSERT_TRUE(hanging.installHangingTools());
    ArchiveJob job;
    job.baseFile = db::ServerBaseLocator(stopperBase);
    job.workFolder = folder;
    job.archiveFolder = folder + QStringLiteral("archive/stopper_2011_04");
    CArchProcDlg dlg(job);
    QElapsedTimer sinceStop;
    servertest::Slowness slowness;
    bool escaped = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dlg, [&] {
        if (escaped || !hanging.hung())
            return;
        escaped = true;
        slowness.restart();
        sinceStop.start();
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    // The server resumes after a while whatever happened, so that a copy
    // that cannot be stopped ends at last (and the test fails on its time),
    // long after any bound a loaded machine stretches the stop's to.
    bool resumedAnyway = false;
    QTimer::singleShot(servertest::kHelperReadyMs, &dlg, [&] {
        resumedAnyway = true;
        hanging.resume();
    });
    poll.start(20);
    const int result = dlg.DoModal();
    const qint64 stopMs = sinceStop.elapsed();
    hanging.resume();
    ASSERT_TRUE(escaped) << "the server never hung";
    EXPECT_TRUE(slowness.within("the stop", stopMs, kStopLimitMs))
        << (resumedAnyway ? "; the copy ended only once the server resumed: the program waited on the server" : "");
    EXPECT_LT(result, 0);
    EXPECT_EQ(dlg.ErrorText(), CArchProcDlg::StoppedText());
    EXPECT_FALSE(QFileInfo::exists(job.archiveFolder));
    EXPECT_FALSE(QFileInfo::exists(job.archiveFolder + QStringLiteral(".tmp")));
}

// A restore from the server's archive: the stop ends pg_restore while the
// server hangs, without dropping the temporary database on it; an opening
// after the server answers again drops what was left.
TEST_F(ServerStop, AStopEndsTheRestoreWhileTheServerHangsAndItsLeftoverGoesLater)
{
    const QString archive = folder + QStringLiteral("stopper.dump");
    db::DumpServerBase(stopperBase, archive);
    const QStringList before = TemporaryBases();
    db::Connection::closeAllForThread();

    HangingServer hanging(server);
    ASSERT_TRUE(hanging.installHangingTools());
    ib::CInfoBase infoBase;
    InfoBaseService service(infoBase, folder);
    BaseFailure restored;
    kalvor::platform::TaskThread worker;
    ASSERT_TRUE(worker.start([&](kalvor::platform::TaskContext&) {
        restored = service.Restore(restoredBase, archive);
        db::Connection::closeAllForThread();
        return kalvor::platform::TaskOutcome();
    }));
    ASSERT_TRUE(WaitUntil([&] { return hanging.hung() || !worker.isRunning(); }, servertest::kHelperReadyMs))
        << "the server never hung";
    QElapsedTimer sinceStop;
    servertest::Slowness slowness;
    sinceStop.start();
    worker.requestStop();
    const qint64 stopMs = MsUntil([&] { return !worker.isRunning(); }, slowness, sinceStop);
    hanging.resume();
    worker.stopAndWait();
    EXPECT_TRUE(slowness.within("the restore's end after its stop", stopMs, kStopLimitMs));
    EXPECT_TRUE(restored.failed);
    EXPECT_FALSE(db::ServerBaseExists(restoredBase));

    // The temporary database stayed on the server; the next cleanup drops it
    // once the stopped tool's session has gone.
    EXPECT_EQ(TemporaryBases().size(), before.size() + 1);
    EXPECT_TRUE(WaitUntil(
        [&] {
            db::DropLeftoverServerBases();
            return TemporaryBases().isEmpty();
        },
        servertest::kHelperReadyMs));
}

// A restore stopped at its last step, the rename to the base's name, whose
// COMMIT the server holds (a synchronous standby that does not exist must
// confirm it): the program asks the server what it made of the rename and
// says what it found, the base there when said restored and missing when
// said not restored. A stop asked before the rename leaves no base; one that
// cuts the held rename says the outcome is not known while the server holds
// it (the base is there once it lets go), and restored when the server lets
// go while asked.
TEST_F(ServerStop, ARestoreStoppedAtItsRenameSaysWhatTheServerHolds)
{
    const QString archive = folder + QStringLiteral("stopper.dump");
    db::DumpServerBase(stopperBase, archive);
    const QString stopper = db::ServerBaseLocator(stopperBase);
    const QSqlDatabase probe = db::Connection::forThread(stopper);
    db::Execute(probe, QStringLiteral("CREATE TABLE public.marks (n integer)"));
    // The sessions on the server's own database (the rename's among them)
    // ask for a synchronous COMMIT.
    db::Execute(probe, QStringLiteral("ALTER DATABASE postgres SET synchronous_commit = on"));
    struct Row {
        const char* what;
        bool stopBeforeRename, releasedWhileAsked;
        QString said; // the start of the failure's message; empty when restored
        bool there; // the base, once the server has let the rename go
    };
    const Row rows[] = {
        {"stopped before the rename", true, false, QString::fromUtf8(db::kServerWorkStoppedText), false},
        {"held while asked", false, false, QString::fromUtf8(db::kRenameNotKnownText).arg(restoredBase),
         true},
        {"let go while asked", false, true, QString(), true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        db::DropServerBase(restoredBase);
        ib::CInfoBase infoBase;
        InfoBaseService service(infoBase, folder);
        BaseFailure restored;
        kalvor::platform::TaskThread worker;
        // The server holds COMMITs some time after it is told to: commits of
        // the test's own are made until one is held, and only then the
        // rename is sent.
        std::optional<servertest::OwnCommits> ownCommits;
        db::CallBeforeStatement(QStringLiteral("RENAME TO"), 1, [&] {
            if (row.stopBeforeRename) {
                worker.requestStop();
                return;
            }
            const QSqlDatabase db = db::Connection::forThread(stopper);
            servertest::HoldSynchronousCommits(db, true, false);
            ownCommits.emplace(stopper, true);
            WaitUntil([&] { return servertest::HeldCommits(db) > 0; }, servertest::kHelperReadyMs);
        });
        ASSERT_TRUE(worker.start([&](kalvor::platform::TaskContext&) {
            restored = service.Restore(restoredBase, archive);
            db::Connection::closeAllForThread();
            return kalvor::platform::TaskOutcome();
        }));
        const bool held = WaitUntil([&] { return servertest::HeldCommits(probe) > 1 || !worker.isRunning(); },
                                    servertest::kHelperReadyMs);
        QElapsedTimer sinceStop;
        servertest::Slowness slowness;
        sinceStop.start();
        worker.requestStop();
        if (row.releasedWhileAsked) {
            const qint64 askedMs = MsUntil(
                [&] {
                    db::Recordset q(probe, QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE query LIKE "
                                                          "'SELECT EXISTS (SELECT 1 FROM pg_database%'"));
                    q.exec();
                    return (q.next() && q.toInt(0) > 0) || !worker.isRunning();
                },
                slowness, sinceStop);
            EXPECT_TRUE(slowness.within("the question after the stop", askedMs, kStopLimitMs));
            servertest::LetHeldCommitsGo(probe);
        } else {
            const qint64 endedMs = MsUntil([&] { return !worker.isRunning(); }, slowness, sinceStop);
            EXPECT_TRUE(slowness.within("the restore's end after its stop", endedMs, kStopLimitMs));
        }
        if (ownCommits)
            ownCommits->stop();
        EXPECT_TRUE(servertest::HoldSynchronousCommits(probe, false, false));
        ownCommits.reset();
        EXPECT_TRUE(WaitUntil([&] { return !worker.isRunning(); }, servertest::kHelperReadyMs));
        worker.stopAndWait();
        db::CallBeforeStatement(QString(), 0, {});
        EXPECT_TRUE(held);
        EXPECT_EQ(restored.failed, !row.said.isEmpty()) << restored.message.toStdString();
        EXPECT_TRUE(restored.message.startsWith(row.said)) << restored.message.toStdString();
        EXPECT_TRUE(
            WaitUntil([&] { return db::ServerBaseExists(restoredBase) == row.there; }, servertest::kHelperReadyMs));
        EXPECT_TRUE(WaitUntil(
            [&] {
                db::DropLeftoverServerBases();
                return TemporaryBases().isEmpty();
            },
            servertest::kHelperReadyMs));
    }
    db::Execute(probe, QStringLiteral("ALTER DATABASE postgres RESET synchronous_commit"));
}

// A restore whose last step, the rename to the base's name, loses its
// connection: the program asks the server what it made of the rename and
// says it, agreeing with the base. Lost before the server got it (the
// session ended as the rename is sent): not restored, no base, and the
// user's retry restores it. Lost while the server holds the rename's COMMIT
// (the session ended by the server while it waits for a synchronous standby
// that does not exist; the rename is made by then): restored, the base there.
TEST_F(ServerStop, ARestoreWhoseRenameLosesItsConnectionSaysWhatTheServerMade)
{
    const QString archive = folder + QStringLiteral("stopper.dump");
    db::DumpServerBase(stopperBase, archive);
    const QString stopper = db::ServerBaseLocator(stopperBase);
    const QSqlDatabase probe = db::Connection::forThread(stopper);
    db::Execute(probe, QStringLiteral("CREATE TABLE public.marks (n integer)"));
    db::Execute(probe, QStringLiteral("ALTER DATABASE postgres SET synchronous_commit = on"));
    // Ends the sessions of the temporary base's builder (its last statement
    // made the database, or is the rename).
    auto endBuilder = [&](const char* doing) {
        db::Recordset q(probe, QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                              "WHERE datname = 'postgres' AND query LIKE '%1%'")
                                   .arg(QLatin1String(doing)));
        q.exec();
        return q.next() ? q.toInt(0) : 0;
    };
    struct Row {
        const char* what;
        bool whileHeld;
        bool restored;
    };
    for (const Row row : {Row{"lost before the rename", false, false}, Row{"lost while it is held", true, true}}) {
        SCOPED_TRACE(row.what);
        db::DropServerBase(restoredBase);
        ib::CInfoBase infoBase;
        InfoBaseService service(infoBase, folder);
        int ended = 0;
        std::thread ender;
        std::optional<servertest::OwnCommits> ownCommits;
        db::CallBeforeStatement(QStringLiteral("RENAME TO"), 1, [&] {
            if (!row.whileHeld) {
                ended = endBuilder("CREATE DATABASE %");
                return;
            }
            // The server holds COMMITs some time after it is told to: commits
            // of the test's own are made until one is held.
            servertest::HoldSynchronousCommits(probe, true, false);
            ownCommits.emplace(stopper, true);
            WaitUntil([&] { return servertest::HeldCommits(probe) > 0; }, servertest::kHelperReadyMs);
            ender = std::thread([&] {
                {
                    const QSqlDatabase own = db::Connection::forThread(stopper);
                    WaitUntil(
                        [&] { return servertest::HeldCommits(own, QStringLiteral("query LIKE 'ALTER DATABASE%'")) > 0; },
                        servertest::kHelperReadyMs);
                    db::Recordset q(own, QStringLiteral("SELECT COUNT(pg_terminate_backend(pid)) FROM pg_stat_activity "
                                                        "WHERE wait_event = 'SyncRep' AND query LIKE 'ALTER DATABASE%'"));
                    q.exec();
                    ended = q.next() ? q.toInt(0) : 0;
                }
                db::Connection::closeAllForThread();
            });
        });
        const BaseFailure restored = service.Restore(restoredBase, archive);
        if (ender.joinable())
            ender.join();
        db::CallBeforeStatement(QString(), 0, {});
        if (ownCommits)
            ownCommits->stop();
        EXPECT_TRUE(servertest::HoldSynchronousCommits(probe, false, false));
        ownCommits.reset();
        EXPECT_EQ(ended, 1);
        const QString said = restored.message + QLatin1Char('\n') + restored.description;
        EXPECT_EQ(restored.failed, !row.restored) << said.toStdString();
        EXPECT_FALSE(said.contains(QStringLiteral("Ошибка сервера базы данных"))) << said.toStdString();
        if (!row.restored) {
            EXPECT_TRUE(restored.message.startsWith(QString::fromUtf8(db::kConnectionLostText))) << said.toStdString();
        }
        EXPECT_EQ(db::ServerBaseExists(restoredBase), row.restored);
        if (!row.restored) {
            const BaseFailure retried = service.Restore(restoredBase, archive);
            EXPECT_FALSE(retried.failed) << retried.message.toStdString();
            EXPECT_TRUE(db::ServerBaseExists(restoredBase));
        }
        EXPECT_TRUE(WaitUntil(
            [&] {
                db::DropLeftoverServerBases();
                return TemporaryBases().isEmpty();
            },
            servertest::kHelperReadyMs));
    }
    db::Execute(probe, QStringLiteral("ALTER DATABASE postgres RESET synchronous_commit"));
}

// A temporary base is held by its builder until it takes its name, so that
// another workstation's opening, which drops what killed or stopped buildings
// left, never drops one still being built: a restore whose tool starts 3 s
// late (a loaded machine) while another workstation opens again and again
// succeeds every time. A leftover that nobody builds still goes.
TEST_F(ServerStop, ARestoreWhoseToolStartsLateIsNotDroppedByAnotherWorkstationsOpening)
{
    const QString archive = folder + QStringLiteral("stopper.dump");
    db::DumpServerBase(stopperBase, archive);
    servertest::ToolStandIns late;
    ASSERT_TRUE(late.install({QStringLiteral("pg_restore")}, QStringLiteral("sleep 3")));
    std::atomic<bool> restoring{true};
    std::thread otherWorkstation([&] {
        while (restoring) {
            db::DropLeftoverServerBases(); // what each opening does
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    ib::CInfoBase infoBase;
    InfoBaseService service(infoBase, folder);
    int restoredTimes = 0;
    for (int i = 0; i < 5; ++i) {
        const BaseFailure restored = service.Restore(restoredBase, archive);
        EXPECT_FALSE(restored.failed) << (restored.message + QLatin1Char(' ') + restored.description).toStdString();
        if (!restored.failed && db::ServerBaseExists(restoredBase))
            ++restoredTimes;
        db::DropServerBase(restoredBase);
    }
    restoring = false;
    otherWorkstation.join();
    EXPECT_EQ(restoredTimes, 5);
}

TEST_F(ServerStop, ALeftoverThatNobodyBuildsIsDroppedAndOneBeingBuiltStays)
{
    const QString leftover = QStringLiteral("~0123abcd~left");
    kalvor::testsupport::MakeEmptyServerBase(leftover);
    {
        db::TemporaryServerBase building(QStringLiteral("built"));
        db::DropLeftoverServerBases();
        const QStringList left = TemporaryBases();
        EXPECT_FALSE(left.contains(leftover));
        EXPECT_TRUE(left.contains(building.name()));
        building.drop();
    }
    EXPECT_FALSE(TemporaryBases().contains(leftover));
}

// No wait on the window without a bound: a screen's save (the record of an
// employee, written on the user-interface thread) and the base's close (what
// the exit and a change of base run) while the server holds their COMMIT,
// as a synchronous standby that does not exist must confirm it, or as the
// save's session is stopped while it waits. Each returns within 6 s: the
// save with the in-doubt message, the close with what is not known of the
// lock's release. Once the server lets go, the base opens again and holds
// the save.
TEST_F(ServerStop, AScreensSaveAndTheBasesCloseWhoseCommitTheServerHoldsEndWithinTheStopsBound)
{
    const QString copy = BaseFileCopy(folder);
    const QString stopper = db::ServerBaseLocator(stopperBase);
    // The session is asked for anew each time: a cut COMMIT of this thread
    // shuts every session of the thread.
    auto probe = [&] { return db::Connection::forThread(stopper); };
    struct Row {
        const char* what;
        bool stopTheSession;
    };
    for (const Row row : {Row{"a standby that does not answer", false}, Row{"the session stopped", true}}) {
        SCOPED_TRACE(row.what);
        ib::CInfoBase infoBase;
        InfoBaseService service(infoBase, folder);
        ASSERT_NO_FATAL_FAILURE(OpenRestoredAskingSynchronousCommits(service, restoredBase, copy, probe()));
        const QString restored = db::ServerBaseLocator(restoredBase);
        const qint64 savePid = SessionPid(ib::BaseFile(infoBase));
        ASSERT_NE(savePid, 0);
        ASSERT_TRUE(servertest::HoldSynchronousCommits(probe(), true, false));
        servertest::OwnCommits ownCommits(restored, false);
        ASSERT_TRUE(WaitUntil([&] { return servertest::HeldCommits(probe()) > 0; }, servertest::kHelperReadyMs));
        std::atomic<bool> stopped{false};
        std::thread stopper_ = row.stopTheSession ? StopOnceItsCommitIsHeld(restored, savePid, stopped) : std::thread();

        const int slot = infoBase.list[4].slot;
        ib::LoadEmployee(infoBase, slot);
        infoBase.current.head.fio = QStringLiteral("Сохраненный Работник");
        QElapsedTimer clock;
        servertest::Slowness slowness;
        clock.start();
        QString said;
        bool inDoubt = false;
        try {
            ib::SaveEmployee(infoBase, slot);
        } catch (const db::DbError& e) {
            said = e.message();
            inDoubt = e.commitInDoubt() != nullptr;
        }
        const qint64 saveMs = clock.elapsed();
        if (stopper_.joinable())
            stopper_.join();
        EXPECT_TRUE(slowness.within("the save", saveMs, kWindowLimitMs));
        EXPECT_TRUE(inDoubt);
        EXPECT_EQ(said, QString::fromUtf8(db::kCommitHeldText));
        EXPECT_EQ(stopped.load(), row.stopTheSession);

        // The close, while the watcher's renewal of the lease waits too.
        std::thread round([] { db::AwaitServerLeaseRound(); });
        EXPECT_TRUE(WaitUntil(
            [&] {
                return servertest::HeldCommits(probe(), QStringLiteral("query LIKE 'INSERT INTO dbo.lock_holder%'")) > 0;
            },
            servertest::kHelperReadyMs));
        MessageRecorder boxes;
        slowness.restart();
        clock.restart();
        service.Close();
        const qint64 closeMs = clock.elapsed();
        round.join();
        EXPECT_TRUE(slowness.within("the close", closeMs, kWindowLimitMs));
        EXPECT_EQ(boxes.Texts(),
                  QStringList{QString::fromUtf8(db::kReleaseNotKnownText).arg(restoredBase)});

        // The server lets go: the save was made, and the base opens again
        // once the held sessions have ended (the lock's row removed by its
        // close, or taken over once its lease has run out).
        if (stopped)
            ::kill(pid_t(savePid), SIGCONT);
        ownCommits.stop();
        EXPECT_TRUE(servertest::HoldSynchronousCommits(probe(), false, false));
        servertest::LetHeldCommitsGo(probe());
        ownCommits.join();
        db::Execute(probe(), QStringLiteral("ALTER DATABASE \"%1\" RESET synchronous_commit").arg(restoredBase));
        EXPECT_TRUE(WaitUntil([&] { return !service.Open(restoredBase).failed; }, servertest::kHelperReadyMs));
        ASSERT_TRUE(service.IsOpen());
        EXPECT_EQ(infoBase.list[4].slot, slot);
        ib::LoadEmployee(infoBase, slot);
        EXPECT_EQ(infoBase.current.head.fio, QStringLiteral("Сохраненный Работник"));
        service.Close();
        db::SetServerLease(0);
    }
}

// A screen's read and save whose session the server stopped before they
// began (the server's machine stalls): the window waits no longer than the
// stop's bound; each is said as a lost connection, nothing of the save
// stored, and the next read and save, on a session opened anew, are whole.
TEST_F(ServerStop, AScreensReadAndSaveOnASessionStoppedBeforeThemEndWithinTheStopsBound)
{
    const QString copy = BaseFileCopy(folder);
    db::DropServerBase(restoredBase);
    ib::CInfoBase infoBase;
    InfoBaseService service(infoBase, folder);
    ASSERT_FALSE(service.Restore(restoredBase, copy).failed);
    ASSERT_FALSE(service.Open(restoredBase).failed);
    const int slot = infoBase.list[4].slot;
    ib::LoadEmployee(infoBase, slot);
    const QString before = infoBase.current.head.fio;
    struct Row {
        const char* what;
        std::function<void()> action;
    };
    const Row rows[] = {
        {"the card's load", [&] { ib::LoadEmployee(infoBase, slot); }},
        {"the card's save",
         [&] {
             infoBase.current.head.fio = QStringLiteral("Несохраненный Работник");
             ib::SaveEmployee(infoBase, slot);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const qint64 pid = SessionPid(ib::BaseFile(infoBase));
        ASSERT_NE(pid, 0);
        ASSERT_EQ(::kill(pid_t(pid), SIGSTOP), 0);
        QElapsedTimer clock;
        servertest::Slowness slowness;
        clock.start();
        std::optional<db::DbError> said;
        try {
            row.action();
        } catch (const db::DbError& e) {
            said = e;
        }
        const qint64 waitedMs = clock.elapsed();
        ::kill(pid_t(pid), SIGCONT);
        EXPECT_TRUE(slowness.within("the window's wait", waitedMs, kWindowLimitMs));
        ASSERT_TRUE(said);
        EXPECT_EQ(said->code(), db::E_DB_CONNECTION_LOST);
        EXPECT_EQ(said->message(), QString::fromUtf8(db::kConnectionLostText));
        EXPECT_EQ(said->commitInDoubt(), nullptr);
    }

    ib::LoadEmployee(infoBase, slot);
    EXPECT_EQ(infoBase.current.head.fio, before);
    infoBase.current.head.fio = QStringLiteral("Сохраненный Работник");
    ib::SaveEmployee(infoBase, slot);
    ib::LoadEmployee(infoBase, slot);
    EXPECT_EQ(infoBase.current.head.fio, QStringLiteral("Сохраненный Работник"));
    service.Close();
}

// A change of base while the server holds every COMMIT (a synchronous
// standby that does not exist must confirm them), the watcher's renewal of
// the open base's lease among them: the second base's opening, whose lease
// the server holds, and the first base's close end within 10 s, each said
// in a sentence, the second base not opened. Once the server lets go, the
// renewal that was in flight is made, and the release follows it: the first
// base's row is gone after the watcher's rounds, and both bases open again
// at once, neither refused as another user's.
TEST_F(ServerStop, AChangeOfBaseWhileTheServerHoldsCommitsEndsInTimeAndLeavesNeitherBaseHeld)
{
    const QString copy = BaseFileCopy(folder);
    const QString stopper = db::ServerBaseLocator(stopperBase);
    auto probe = [&] { return db::Connection::forThread(stopper); };
    const QString restored = db::ServerBaseLocator(restoredBase);
    auto holders = [&] {
        db::Recordset q(db::Connection::forThread(restored), QStringLiteral("SELECT COUNT(*) FROM dbo.lock_holder"));
        q.exec();
        return q.next() ? q.toInt(0) : -1;
    };
    db::DropServerBase(secondBase);
    ib::CInfoBase infoBase;
    InfoBaseService service(infoBase, folder);
    ASSERT_FALSE(service.Restore(restoredBase, copy).failed);
    ASSERT_FALSE(service.Restore(secondBase, copy).failed);
    // Their sessions ask for a synchronous COMMIT (the test cluster's own
    // setting is off).
    for (const QString& name : {restoredBase, secondBase})
        db::Execute(probe(), QStringLiteral("ALTER DATABASE \"%1\" SET synchronous_commit = on").arg(name));
    ASSERT_FALSE(service.Open(restoredBase).failed);
    ASSERT_TRUE(servertest::HoldSynchronousCommits(probe(), true, false));
    std::thread round([] { db::AwaitServerLeaseRound(); });
    EXPECT_TRUE(WaitUntil(
        [&] { return servertest::HeldCommits(probe(), QStringLiteral("query LIKE 'INSERT INTO dbo.lock_holder%'")) > 0; },
        servertest::kHelperReadyMs));

    MessageRecorder boxes;
    QElapsedTimer clock;
    servertest::Slowness slowness;
    clock.start();
    const BaseFailure second = service.Reach(secondBase);
    service.Close();
    const qint64 changeMs = clock.elapsed();
    round.join();
    EXPECT_TRUE(slowness.within("the change of base", changeMs, 2 * kStopLimitMs));
    EXPECT_TRUE(second.failed);
    EXPECT_TRUE(second.message.startsWith(QStringLiteral("Сервер базы данных"))) << second.message.toStdString();
    EXPECT_LT(second.message.size(), 400);
    EXPECT_EQ(boxes.Texts(), QStringList{QString::fromUtf8(db::kReleaseNotKnownText).arg(restoredBase)});
    EXPECT_LT(boxes.Texts().value(0).size(), 400);

    EXPECT_TRUE(servertest::HoldSynchronousCommits(probe(), false, false));
    servertest::LetHeldCommitsGo(probe());
    EXPECT_TRUE(WaitUntil(
        [&] {
            db::AwaitServerLeaseRound();
            return holders() == 0;
        },
        servertest::kHelperReadyMs));
    for (const QString& name : {restoredBase, secondBase}) {
        SCOPED_TRACE(name.toStdString());
        const BaseFailure reached = service.Reach(name);
        EXPECT_FALSE(reached.failed) << reached.message.toStdString();
        const BaseFailure opened = service.Open(name);
        EXPECT_FALSE(opened.failed) << opened.message.toStdString();
        EXPECT_TRUE(service.IsOpen());
        service.Close();
    }
    db::Connection::closeAllForThread();
    db::DropServerBase(secondBase);
}

// The program's end after a close whose release the server held (every
// COMMIT held: a synchronous standby that does not exist must confirm it):
// the release is left to the lease watcher, and the end of the server work
// ends the watcher first, then the thread that shuts stopped sessions, then
// the sessions, within the bound of a release's cut; the test program then
// exits with no thread of the server work left (the sanitizers' builds see
// it end).
TEST_F(ServerStop, TheEndOfServerWorkAfterACloseWhoseReleaseTheServerHeldEndsInTime)
{
    const QString copy = BaseFileCopy(folder);
    const QString stopper = db::ServerBaseLocator(stopperBase);
    auto probe = [&] { return db::Connection::forThread(stopper); };
    ib::CInfoBase infoBase;
    InfoBaseService service(infoBase, folder);
    ASSERT_FALSE(service.Restore(restoredBase, copy).failed);
    db::Execute(probe(), QStringLiteral("ALTER DATABASE \"%1\" SET synchronous_commit = on").arg(restoredBase));
    ASSERT_FALSE(service.Open(restoredBase).failed);
    ASSERT_TRUE(servertest::HoldSynchronousCommits(probe(), true, false));
    MessageRecorder boxes;
    service.Close();
    EXPECT_EQ(boxes.Texts(), QStringList{QString::fromUtf8(db::kReleaseNotKnownText).arg(restoredBase)});

    QElapsedTimer clock;
    servertest::Slowness slowness;
    clock.start();
    db::EndServerWork();
    EXPECT_TRUE(slowness.within("the end of the server work", clock.elapsed(), 2 * db::kServerStopCutMilliseconds + 1000));
    EXPECT_FALSE(db::Connection::isOpenForThread(stopper));
    // Nothing of the watcher is left to ask for a round.
    slowness.restart();
    clock.restart();
    db::AwaitServerLeaseRound();
    EXPECT_TRUE(slowness.within("a round asked of no watcher", clock.elapsed(), 1000));

    EXPECT_TRUE(servertest::HoldSynchronousCommits(probe(), false, false));
    servertest::LetHeldCommitsGo(probe());
}
