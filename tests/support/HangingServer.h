#pragma once
// A throw-away PostgreSQL cluster (tools/pgtest.sh) made to hang for the
// tests of the stops: its processes stopped with SIGSTOP, as when the
// server's machine stalls, and continued again; and stand-ins of the
// server's tools on the path that do something first (stop the server, wait)
// and then run the real tool.
#include "platform/Db.h"
#include "platform/DbServerWork.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <signal.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace servertest {

// How soon a stop must have ended the work, also on a server that hangs.
inline constexpr qint64 kStopLimitMs = 5000;
// The longest a helper of the tests (the server's own processes taking a
// setting, a commit held, the sessions a stop shut ended) is waited for: a
// machine loaded many times over its cores takes seconds where an idle one
// takes milliseconds, and a wait polls its condition, so an idle machine
// never waits it out.
inline constexpr int kHelperReadyMs = 120'000;

// The tests that hang the throw-away cluster they run against
// (KALVOR_TEST_SERVER, as tools/test.sh sets it), each with a working folder
// of its own: skipped without a cluster; a test's own set-up is Prepare().
class ClusterTest : public ::testing::Test {
protected:
    void SetUp() final
    {
        server = kalvor::db::ServerInUse() ? qEnvironmentVariable("KALVOR_TEST_SERVER") : QString();
        if (server.isEmpty())
            GTEST_SKIP() << "no PostgreSQL server for the tests";
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        Prepare();
    }
    virtual void Prepare() {}

    QString server; // the cluster's folder
    QTemporaryDir dir;
    QString folder; // the working folder, with the separator
};

// Restarts the throw-away cluster of tools/pgtest.sh (which runs it as the
// user kalvorpg under root), as an administrator restarts the server.
inline void RestartServer()
{
    const QString folder = qEnvironmentVariable("KALVOR_TEST_SERVER");
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_FALSE(versions.isEmpty());
    const QString pgCtl = QStringLiteral("/usr/lib/postgresql/%1/bin/pg_ctl").arg(versions.last());
    QStringList arguments = {QStringLiteral("-D"),
                             folder + QStringLiteral("/data"),
                             QStringLiteral("-l"),
                             folder + QStringLiteral("/server.log"),
                             QStringLiteral("-m"),
                             QStringLiteral("fast"),
                             QStringLiteral("-w"),
                             QStringLiteral("-t"),
                             QString::number(kHelperReadyMs / 1000),
                             QStringLiteral("restart")};
    QString program = pgCtl;
    if (::geteuid() == 0) {
        arguments =
            QStringList{QStringLiteral("-u"), QStringLiteral("kalvorpg"), QStringLiteral("--"), pgCtl} + arguments;
        program = QStringLiteral("runuser");
    }
    QProcess restart;
    restart.start(program, arguments);
    ASSERT_TRUE(restart.waitForFinished(kHelperReadyMs + 30'000));
    ASSERT_EQ(restart.exitCode(), 0) << restart.readAllStandardError().constData();
}

// The processes of the cluster in that folder: its postmaster and the
// children it has forked (the sessions among them), read from /proc.
inline QList<pid_t> ServerProcesses(const QString& server)
{
    QFile pidFile(server + QStringLiteral("/data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return {};
    const pid_t postmaster = pid_t(pidFile.readLine().trimmed().toInt());
    QList<pid_t> found{postmaster};
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // "pid (name) state ppid ...": the name may hold blanks.
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == postmaster)
            found << pid_t(entry.toInt());
    }
    return found;
}

inline bool Stopped(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "T";
}

// Waits (the event loop turning) until the condition holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // Asked once per round and its answer kept: a condition that acts
        // (opens a base) must not be asked again after it said yes.
        if (condition())
            return true;
        if (clock.elapsed() >= ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Once the server answers again: the sessions on the connection's base that
// a stop shut have ended, the server having rolled their transactions back
// (idle sessions, such as the base lock's, may stay).
inline bool OnlyIdleSessionsAreLeft(const QSqlDatabase& db)
{
    return WaitUntil(
        [&] {
            kalvor::db::Recordset q(db, QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE datname = "
                                                       "current_database() AND pid <> pg_backend_pid() AND "
                                                       "state <> 'idle'"));
            q.exec();
            return q.next() && q.toInt(0) == 0;
        },
        kHelperReadyMs);
}

// Makes the server hold COMMITs, as a synchronous standby that does not exist
// must confirm them, or lets them go again: every session's, or (not
// everySession) only those of sessions that ask for a synchronous COMMIT
// themselves. True once the connection's session sees it.
inline bool HoldSynchronousCommits(const QSqlDatabase& db, bool hold, bool everySession)
{
    kalvor::db::Execute(db, hold ? QStringLiteral("ALTER SYSTEM SET synchronous_standby_names = 'nobody'")
                                 : QStringLiteral("ALTER SYSTEM RESET synchronous_standby_names"));
    kalvor::db::Execute(db, hold && !everySession ? QStringLiteral("ALTER SYSTEM SET synchronous_commit = 'local'")
                                                  : QStringLiteral("ALTER SYSTEM RESET synchronous_commit"));
    kalvor::db::Execute(db, QStringLiteral("SELECT pg_reload_conf()"));
    const QString standby = hold ? QStringLiteral("nobody") : QString();
    return WaitUntil(
        [&] {
            kalvor::db::Recordset q(db, QStringLiteral("SELECT current_setting('synchronous_standby_names')"));
            q.exec();
            return q.next() && q.toString(0) == standby;
        },
        kHelperReadyMs);
}

// Lets every COMMIT the server holds go at once, as a standby's answer
// would: each held session's wait is cancelled, and its transaction, already
// made on the server, stays made. COMMITs that come later are held until
// HoldSynchronousCommits lets them go.
inline void LetHeldCommitsGo(const QSqlDatabase& db)
{
    kalvor::db::Recordset q(db, QStringLiteral("SELECT pg_cancel_backend(pid) FROM pg_stat_activity "
                                               "WHERE wait_event = 'SyncRep'"));
    q.exec();
}

// The number of the server's sessions whose COMMIT it holds; only those
// that also meet `also` (a condition on pg_stat_activity) when given.
inline qint64 HeldCommits(const QSqlDatabase& db, const QString& also = QString())
{
    kalvor::db::Recordset q(db, QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE wait_event = 'SyncRep'") +
                                    (also.isEmpty() ? QString() : QStringLiteral(" AND ") + also));
    q.exec();
    return q.next() ? q.toInt64(0) : -1;
}

// Every table of the base by name: its row count and a digest of its rows
// (the base's generation aside: it counts transactions, not content).
inline std::map<std::string, std::string> StoredTables(const QSqlDatabase& db)
{
    std::map<std::string, std::string> tables;
    kalvor::db::Recordset names(db, QStringLiteral("SELECT table_name FROM information_schema.tables WHERE "
                                                   "table_schema = 'dbo' AND table_name <> 'lock_holder'"));
    names.exec();
    QStringList list;
    while (names.next()) list << names.toString(0);
    for (const QString& name : list) {
        kalvor::db::Recordset q(db, QStringLiteral("SELECT COUNT(*) || ' ' || md5(COALESCE(string_agg((to_jsonb(t) - "
                                                   "'generation')::text, '|' ORDER BY (to_jsonb(t) - "
                                                   "'generation')::text), '')) FROM dbo.\"%1\" t")
                                        .arg(name));
        q.exec();
        tables[name.toStdString()] = q.next() ? q.toString(0).toStdString() : std::string();
    }
    return tables;
}

// Commits of the test's own, one after another on a session of their own,
// until stop(): the server holds COMMITs some time after it is told to, and
// these go on until one is held (HeldCommits), before the work under test
// commits. The loop's last COMMIT ends once the hold is let go; join() waits
// for it.
class OwnCommits {
public:
    // `askSynchronous`: the session asks for a synchronous COMMIT itself
    // (HoldSynchronousCommits without everySession holds only those).
    OwnCommits(const QString& locator, bool askSynchronous)
        : thread_([this, locator, askSynchronous] {
            {
                // A stop that is never set: the held COMMIT waits as long
                // as the server holds it, unbounded.
                std::stop_source never;
                const kalvor::db::ServerStopScope unbounded(never.get_token());
                const QSqlDatabase own = kalvor::db::Connection::forThread(locator);
                if (askSynchronous)
                    kalvor::db::Execute(own, QStringLiteral("SET synchronous_commit = on"));
                while (running_) kalvor::db::Execute(own, QStringLiteral("INSERT INTO public.marks VALUES (1)"));
            }
            kalvor::db::Connection::closeAllForThread();
            ended_ = true;
        })
    {}
    ~OwnCommits()
    {
        stop();
        join();
    }
    OwnCommits(const OwnCommits&) = delete;
    OwnCommits& operator=(const OwnCommits&) = delete;
    void stop() { running_ = false; }
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }
    bool ended() const { return ended_; }

private:
    std::atomic<bool> running_{true};
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

// Holds the COMMITs of the sessions that ask for a synchronous one
// (HoldSynchronousCommits without everySession) and returns once the server
// truly holds them: its processes take the setting some time after the
// reload, so commits of the test's own on the base at `locator` go on until
// one is held, and that one is let go, made. True once one was held.
inline bool HoldAskedCommitsOnceHeld(const QSqlDatabase& db, const QString& locator)
{
    kalvor::db::Execute(db, QStringLiteral("CREATE TABLE IF NOT EXISTS public.marks (n integer)"));
    if (!HoldSynchronousCommits(db, true, false))
        return false;
    OwnCommits own(locator, true);
    const bool held = WaitUntil([&] { return HeldCommits(db) > 0; }, kHelperReadyMs);
    own.stop();
    WaitUntil(
        [&] {
            LetHeldCommitsGo(db);
            return own.ended();
        },
        kHelperReadyMs);
    own.join();
    return held;
}

// Stand-ins of the server's tools put before the real ones on the path while
// the object lives: each runs a shell text first, then the real tool with its
// arguments.
class ToolStandIns {
public:
    ~ToolStandIns()
    {
        if (!path_.isEmpty())
            qputenv("PATH", path_);
    }
    bool install(const QStringList& tools, const QString& first)
    {
        for (const QString& tool : tools) {
            const QString real = QStandardPaths::findExecutable(tool);
            QFile script(folder_.filePath(tool));
            if (real.isEmpty() || !script.open(QIODevice::WriteOnly))
                return false;
            script.write(QStringLiteral("#!/bin/sh\n%1\nexec \"%2\" \"$@\"\n").arg(first, real).toUtf8());
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        path_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(folder_.path()) + ':' + path_);
        return true;
    }

private:
    QTemporaryDir folder_;
    QByteArray path_;
};

// The cluster of that folder, hung on demand and always continued again when
// the object goes.
class HangingServer {
public:
    explicit HangingServer(const QString& server) : server_(server), processes_(ServerProcesses(server)) {}
    ~HangingServer() { resume(); }
    // Stops the server and every session it has now (from any thread).
    void hang()
    {
        std::lock_guard guard(mutex_);
        processes_ = ServerProcesses(server_);
        for (const pid_t pid : processes_) ::kill(pid, SIGSTOP);
    }
    // Stops the server's postmaster alone: the sessions it has go on
    // answering, a new one waits for the server's first answer.
    void hangNewSessions()
    {
        std::lock_guard guard(mutex_);
        processes_ = ServerProcesses(server_).mid(0, 1);
        for (const pid_t pid : processes_) ::kill(pid, SIGSTOP);
    }
    // Puts stand-ins of pg_dump and pg_restore on the path that stop the
    // whole server first and then run the real tool, which waits on it
    // without a time limit: the server hangs while the tool runs, as when
    // its machine stalls in the middle of a copy.
    bool installHangingTools()
    {
        std::lock_guard guard(mutex_);
        QStringList pids;
        for (const pid_t pid : processes_) pids << QString::number(pid);
        return !processes_.isEmpty() &&
               tools_.install(
                   {QStringLiteral("pg_dump"), QStringLiteral("pg_restore")},
                   QStringLiteral("kill -STOP %1\nunset PGCONNECT_TIMEOUT").arg(pids.join(QLatin1Char(' '))));
    }
    bool hung() const
    {
        std::lock_guard guard(mutex_);
        return !processes_.isEmpty() && Stopped(processes_.value(0));
    }
    void resume() const
    {
        std::lock_guard guard(mutex_);
        for (const pid_t pid : processes_) ::kill(pid, SIGCONT);
    }

private:
    mutable std::mutex mutex_;
    QString server_;
    QList<pid_t> processes_;
    ToolStandIns tools_;
};

} // namespace servertest
