// The server's copy and restore stopped while the server hangs (its
// processes stopped with SIGSTOP, run by tools/test.sh against a throw-away
// cluster; skipped without one): the month change's copy dialog ends on Esc
// and the restore's worker on its stop, each within 5 s, leaving no copy and
// not waiting on the server to drop the restore's temporary database, which
// a later opening drops once the server answers.
#include "shell/UiTestSupport.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "platform/TaskThread.h"
#include "shell/ui/CArchProcDlg.h"
#include "shell/ui/InfoBaseService.h"
#include "shell/ui/MonthChange.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include <chrono>
#include <signal.h>
#include <thread>

namespace db = kalvor::db;
namespace ib = kalvor::infobase;

namespace {

constexpr qint64 kStopLimitMs = 5000;

// The processes of the throw-away cluster: its postmaster and the children
// it has forked, read from /proc.
QList<pid_t> ServerProcesses(const QString& server)
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

bool Stopped(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) == "T";
}

// A server's tool that stops the whole server first and then runs the real
// tool, which waits on it without a time limit: the server hangs while the
// tool runs, as when its machine stalls in the middle of a copy.
class HangingServer {
public:
    explicit HangingServer(const QString& server) : processes_(ServerProcesses(server)) {}
    ~HangingServer()
    {
        resume();
        if (!path_.isEmpty())
            qputenv("PATH", path_);
    }
    // Puts the hanging stand-ins of pg_dump and pg_restore before the real
    // ones on the path.
    bool install()
    {
        QStringList pids;
        for (const pid_t pid : processes_) pids << QString::number(pid);
        for (const char* tool : {"pg_dump", "pg_restore"}) {
            const QString real = QStandardPaths::findExecutable(QString::fromLatin1(tool));
            QFile script(tools_.filePath(QString::fromLatin1(tool)));
            if (real.isEmpty() || processes_.isEmpty() || !script.open(QIODevice::WriteOnly))
                return false;
            script.write(QStringLiteral("#!/bin/sh\nkill -STOP %1\nunset PGCONNECT_TIMEOUT\nexec \"%2\" \"$@\"\n")
                             .arg(pids.join(QLatin1Char(' ')), real)
                             .toUtf8());
            script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        path_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(tools_.path()) + ':' + path_);
        return true;
    }
    bool hung() const { return Stopped(processes_.value(0)); }
    void resume() const
    {
        for (const pid_t pid : processes_) ::kill(pid, SIGCONT);
    }

private:
    QList<pid_t> processes_;
    QTemporaryDir tools_;
    QByteArray path_;
};

// Waits (the event loop turning) until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

// The temporary databases that a making or restoring of a base builds in.
QStringList TemporaryBases()
{
    QStringList names;
    db::Recordset q(db::Connection::forThread(db::ServerBaseLocator(QStringLiteral("stopper"))),
                    QStringLiteral("SELECT datname FROM pg_database WHERE datname LIKE '~%' ORDER BY datname"));
    q.exec();
    while (q.next()) names << q.toString(0);
    return names;
}

class ServerStop : public ::testing::Test {
protected:
    void SetUp() override
    {
        server = qEnvironmentVariable("KALVOR_TEST_SERVER");
        if (server.isEmpty() || !db::ServerInUse())
            GTEST_SKIP() << "no PostgreSQL server for the tests";
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        for (const char* name : {"stopper", "restored"}) db::DropServerBase(QString::fromLatin1(name));
        db::CreateServerBase(QStringLiteral("stopper"));
    }
    void TearDown() override
    {
        if (server.isEmpty() || !db::ServerInUse())
            return;
        db::Connection::closeAllForThread();
        for (const char* name : {"stopper", "restored"}) db::DropServerBase(QString::fromLatin1(name));
    }

    QString server;
    QTemporaryDir dir;
    QString folder;
};

} // namespace

// The copy before the month change: Esc while pg_dump waits on the hung
// server ends the dialog at once as a stopped copy, and no copy is left.
TEST_F(ServerStop, EscStopsTheMonthChangesCopyWhileTheServerHangs)
{
    HangingServer hanging(server);
    ASSERT_TRUE(hanging.install());
    ArchiveJob job;
    job.baseFile = db::ServerBaseLocator(QStringLiteral("stopper"));
    job.workFolder = folder;
    job.archiveFolder = folder + QStringLiteral("archive/stopper_2011_04");
    CArchProcDlg dlg(job);
    QElapsedTimer sinceStop;
    bool escaped = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &dlg, [&] {
        if (escaped || !hanging.hung())
            return;
        escaped = true;
        sinceStop.start();
        QTest::keyClick(&dlg, Qt::Key_Escape);
    });
    // The server resumes after a while whatever happened, so that a copy
    // that cannot be stopped ends at last (and the test fails on its time).
    QTimer::singleShot(30000, &dlg, [&] { hanging.resume(); });
    poll.start(20);
    const int result = dlg.DoModal();
    const qint64 stopMs = sinceStop.elapsed();
    hanging.resume();
    ASSERT_TRUE(escaped) << "the server never hung";
    EXPECT_LT(stopMs, kStopLimitMs);
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
    db::DumpServerBase(QStringLiteral("stopper"), archive);
    const QStringList before = TemporaryBases();
    db::Connection::closeAllForThread();

    HangingServer hanging(server);
    ASSERT_TRUE(hanging.install());
    ib::CInfoBase infoBase;
    InfoBaseService service(infoBase, folder);
    BaseFailure restored;
    kalvor::platform::TaskThread worker;
    ASSERT_TRUE(worker.start([&](kalvor::platform::TaskContext&) {
        restored = service.Restore(QStringLiteral("restored"), archive);
        db::Connection::closeAllForThread();
        return kalvor::platform::TaskOutcome();
    }));
    ASSERT_TRUE(WaitUntil([&] { return hanging.hung() || !worker.isRunning(); }, 20000)) << "the server never hung";
    QElapsedTimer sinceStop;
    sinceStop.start();
    worker.requestStop();
    const bool ended = WaitUntil([&] { return !worker.isRunning(); }, int(kStopLimitMs));
    const qint64 stopMs = sinceStop.elapsed();
    hanging.resume();
    worker.stopAndWait();
    EXPECT_TRUE(ended) << "the restore went on " << stopMs << " ms after its stop";
    EXPECT_TRUE(restored.failed);
    EXPECT_FALSE(db::ServerBaseExists(QStringLiteral("restored")));

    // The temporary database stayed on the server; the next cleanup drops it
    // once the stopped tool's session has gone.
    EXPECT_EQ(TemporaryBases().size(), before.size() + 1);
    EXPECT_TRUE(WaitUntil(
        [&] {
            db::DropLeftoverServerBases();
            return TemporaryBases().isEmpty();
        },
        10000));
}
