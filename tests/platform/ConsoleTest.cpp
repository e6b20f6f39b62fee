#include "platform/Console.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <atomic>
#include <ctime>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace kalvor::platform;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Runs the command line through the shell as a program the program runs,
// with its console log in the folder: its exit code, -1 when it did not
// start, was stopped or ended abnormally.
int runShell(const QString& command, const QString& folder)
{
    const ConsoleRun run = RunConsoleProgram({"/bin/sh", "-c", command}, folder);
    return run.started && !run.stopped ? run.exitCode : -1;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Whether the process is gone (or left only as a zombie nobody reaped).
bool processGone(const QByteArray& pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid.trimmed())));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end > 0 && line.mid(end + 2, 1) == "Z";
}

} // namespace

TEST(Console, OutputIsAppendedToConsoleLogAndNoConsoleTmpStays)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tmp = dir.filePath("console.tmp");
    const QString log = dir.filePath("console.log");
    // One left by a program before this one goes.
    ASSERT_TRUE(writeFile(tmp, QByteArray(1000, 'x')));

    // Standard output and standard error both, in the order written; the exit code comes back.
    EXPECT_EQ(runShell("printf 'Печать\\n'; echo 'нет файла' >&2; echo done; exit 3", dir.path()), 3);
    const QByteArray first = QStringLiteral("Печать\nнет файла\ndone\n").toUtf8();
    EXPECT_FALSE(QFile::exists(tmp));
    EXPECT_EQ(readAll(log), first);

    // The second run adds to console.log.
    EXPECT_EQ(runShell("echo second", dir.path() + "/"), 0);
    EXPECT_FALSE(QFile::exists(tmp));
    EXPECT_EQ(readAll(log), first + "second\n");

    // A command that reads its input does not wait for a keyboard; one that is not found is the shell's 127.
    EXPECT_EQ(runShell("cat; echo after-cat", dir.path()), 0);
    EXPECT_EQ(runShell("no-such-command-kalvor", dir.path()), 127);
    EXPECT_TRUE(readAll(log).startsWith(first + "second\nafter-cat\n"));
    EXPECT_TRUE(readAll(log).contains("no-such-command-kalvor"));
}

TEST(Console, FailuresGiveMinusOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The console files cannot be opened: nothing runs.
    const QString missing = dir.filePath("no/such/folder");
    const ConsoleRun notRun = RunConsoleProgram({"touch", dir.filePath("ran")}, missing);
    EXPECT_FALSE(notRun.started);
    EXPECT_EQ(notRun.exitCode, -1);
    EXPECT_FALSE(QFile::exists(dir.filePath("ran")));
    // The interpreter killed by a signal has no exit code of its own.
    const ConsoleRun killed = RunConsoleProgram({"/bin/sh", "-c", "kill -9 $$"}, dir.path());
    EXPECT_TRUE(killed.started);
    EXPECT_FALSE(killed.stopped);
    EXPECT_EQ(killed.exitCode, -1);
}

// A command that closes its output and goes on is waited for, not polled:
// the waiting thread sleeps through the command's second (a wait that spun
// on the closed output would spend the whole second on the processor).
TEST(Console, ACommandThatClosesItsOutputIsWaitedForWithoutSpinning)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    timespec before{}, after{};
    ASSERT_EQ(clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before), 0);
    QElapsedTimer wall;
    wall.start();
    EXPECT_EQ(runShell("exec >/dev/null 2>&1; sleep 1; exit 3", dir.path()), 3);
    EXPECT_GE(wall.elapsed(), 900);
    ASSERT_EQ(clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after), 0);
    const double spent = double(after.tv_sec - before.tv_sec) + double(after.tv_nsec - before.tv_nsec) / 1e9;
    EXPECT_LT(spent, 0.3);
}

TEST(Console, WorkingFolderSettingAndAWorkerThread)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString before = WorkingFolder();
    EXPECT_EQ(before, QDir::currentPath());
    SetWorkingFolder(dir.path());

    TaskThread task;
    int result = -1, code = -2;
    QObject::connect(&task, &TaskThread::done, [&](int r, int detail, const QString&) {
        result = r;
        code = detail;
    });
    ASSERT_TRUE(task.start(
        [](TaskContext&) { return TaskOutcome(TASK_DONE, runShell("echo from-worker; exit 5", WorkingFolder())); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return result >= 0; }, 10000));
    SetWorkingFolder(QString());

    EXPECT_EQ(result, TASK_DONE);
    EXPECT_EQ(code, 5);
    EXPECT_EQ(readAll(dir.filePath("console.log")), QByteArray("from-worker\n"));
    EXPECT_EQ(WorkingFolder(), before);
}

// A command that never ends (a viewer kept in the foreground, a print
// spooler that is gone) holds nothing: another command and the log's lines
// go on meanwhile, and the worker's stop (what the view's and the program's
// closing set) ends it and what it started within a slice, and the log says
// so.
TEST(Console, ACommandThatNeverEndsIsStoppedWithWhatItStartedAndSaidSo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pidFile = dir.filePath("child.pid");
    ConsoleRun run;
    std::atomic<bool> ended{false};
    auto task = std::make_unique<TaskThread>();
    ASSERT_TRUE(task->start([&](TaskContext&) {
        run = RunConsoleProgram({"/bin/sh", "-c", "sleep 60 & echo $! > '" + pidFile + "'; echo begun; wait"},
                                dir.path());
        ended = true;
        return TaskOutcome();
    }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(pidFile) && !readAll(pidFile).isEmpty(); }, 10000));
    QElapsedTimer other;
    other.start();
    EXPECT_EQ(runShell("echo other", dir.path()), 0);
    SetWorkingFolder(dir.path());
    AppendToConsoleLog(QStringLiteral("строка журнала"));
    SetWorkingFolder(QString());
    EXPECT_LT(other.elapsed(), 10000);
    EXPECT_FALSE(ended);

    QElapsedTimer closing;
    closing.start();
    task.reset(); // the owner's closing: shutdown() sets the stop and waits
    EXPECT_LT(closing.elapsed(), 10000);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(run.started);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_EQ(run.output, QByteArray("begun\n"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return processGone(readAll(pidFile)); }, 5000));
    const QByteArray log = readAll(dir.filePath("console.log"));
    EXPECT_TRUE(log.startsWith("other\n")) << log.constData();
    EXPECT_TRUE(log.contains(QStringLiteral(" строка журнала\n").toUtf8())) << log.constData();
    EXPECT_TRUE(log.endsWith(QStringLiteral("begun\n/bin/sh: остановлена\n").toUtf8())) << log.constData();
}

// The log keeps the first 64 KiB of a command's output and says how much
// there was; a log that reached 4 MiB is kept as "console.log.1" and a new
// one begins.
TEST(Console, TheLogKeepsTheStartOfAnOutputAndBeginsAnewWhenFull)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString log = dir.filePath("console.log");
    // 300,000 bytes: 30,000 lines of "123456789\n".
    EXPECT_EQ(runShell("i=0; while [ $i -lt 30000 ]; do echo 123456789; i=$((i+1)); done", dir.path()), 0);
    QByteArray expected;
    for (int i = 0; i < 6554; ++i) expected += "123456789\n";
    expected.truncate(65536);
    expected += QStringLiteral("\n... вывод сокращён: записаны первые 65536 байт из 300000\n").toUtf8();
    EXPECT_EQ(readAll(log), expected);

    const QByteArray full(4 * 1024 * 1024, 'x');
    ASSERT_TRUE(writeFile(log, full));
    EXPECT_EQ(runShell("echo next", dir.path()), 0);
    EXPECT_EQ(readAll(log), QByteArray("next\n"));
    EXPECT_EQ(readAll(log + ".1"), full);
    // The next time the full one replaces the older one.
    ASSERT_TRUE(writeFile(log, QByteArray(4 * 1024 * 1024, 'y')));
    EXPECT_EQ(runShell("echo again", dir.path()), 0);
    EXPECT_EQ(readAll(log), QByteArray("again\n"));
    EXPECT_EQ(readAll(log + ".1"), QByteArray(4 * 1024 * 1024, 'y'));
}

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

} // namespace

// The log is never written through a link at its name: the link goes, what
// it pointed to stays, and the log is its owner's alone (0600), an older log
// of wider rights included. A log the program may not write (a folder of
// that name) leaves the command's exit code as it is.
TEST(Console, TheLogIsNeverWrittenThroughALinkAndIsTheOwnersAlone)
{
    QTemporaryDir dir, other;
    ASSERT_TRUE(dir.isValid() && other.isValid());
    const QString log = dir.filePath("console.log");
    const QString target = other.filePath("target.txt");
    ASSERT_TRUE(writeFile(target, "not yours\n"));
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0666), 0);
    ASSERT_TRUE(QFile::link(target, log));
    EXPECT_EQ(runShell("echo one", dir.path()), 0);
    EXPECT_EQ(readAll(target), QByteArray("not yours\n"));
    EXPECT_EQ(modeOf(target), mode_t(S_IFREG | 0666));
    EXPECT_EQ(readAll(log), QByteArray("one\n"));
    EXPECT_EQ(modeOf(log), mode_t(S_IFREG | 0600));

    ASSERT_EQ(::chmod(QFile::encodeName(log).constData(), 0644), 0);
    EXPECT_EQ(runShell("echo two", dir.path()), 0);
    EXPECT_EQ(readAll(log), QByteArray("one\ntwo\n"));
    EXPECT_EQ(modeOf(log), mode_t(S_IFREG | 0600));

    ASSERT_TRUE(QFile::remove(log));
    ASSERT_TRUE(QDir().mkdir(log));
    EXPECT_EQ(runShell("echo three; exit 4", dir.path()), 4);
    EXPECT_EQ(runShell("echo four", dir.path()), 0);
    EXPECT_TRUE(QFileInfo(log).isDir());
}

// A full log replaces what stands at "console.log.1" when that is the user's
// own file or a link (the link itself, never its target); a folder or another
// user's file there stays, and the log begins anew with a line saying why, so
// it never grows past its limit.
TEST(Console, AFullLogIsKeptOrBegunAnewWhateverStandsAtTheKeptName)
{
    QTemporaryDir dir, other;
    ASSERT_TRUE(dir.isValid() && other.isValid());
    const QString log = dir.filePath("console.log");
    const QString kept = log + ".1";
    const QByteArray full(kConsoleLogLimit, 'x');

    const QString target = other.filePath("target.txt");
    ASSERT_TRUE(writeFile(target, "not yours\n"));
    ASSERT_TRUE(QFile::link(target, kept));
    ASSERT_TRUE(writeFile(log, full));
    EXPECT_EQ(runShell("echo next", dir.path()), 0);
    EXPECT_EQ(readAll(target), QByteArray("not yours\n"));
    EXPECT_FALSE(QFileInfo(kept).isSymLink());
    EXPECT_EQ(readAll(kept), full);
    EXPECT_EQ(readAll(log), QByteArray("next\n"));

    const QString notKept[] = {QStringLiteral("на этом месте папка"), QStringLiteral("это файл другого пользователя")};
    ASSERT_TRUE(QFile::remove(kept));
    ASSERT_TRUE(QDir().mkdir(kept));
    for (const QString& why : notKept) {
        if (why == notKept[1]) {
            ASSERT_TRUE(QDir().rmdir(kept));
            ASSERT_TRUE(writeFile(kept, "theirs\n"));
            ASSERT_EQ(::chown(QFile::encodeName(kept).constData(), 65534, 65534), 0);
        }
        for (int run = 0; run < 3; ++run) {
            ASSERT_TRUE(writeFile(log, full));
            EXPECT_EQ(runShell("echo after", dir.path()), 0);
            const QByteArray text = readAll(log);
            EXPECT_LT(text.size(), 400);
            EXPECT_TRUE(text.endsWith("after\n"));
            EXPECT_TRUE(text.contains(
                QStringLiteral("Журнал начат заново, прежний не сохранён (%1: %2)\n").arg(kept, why).toUtf8()))
                << text.constData();
        }
    }
    EXPECT_EQ(readAll(kept), QByteArray("theirs\n"));
}
