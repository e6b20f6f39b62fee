#include "platform/Console.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <atomic>
#include <memory>

#include <gtest/gtest.h>

using namespace kalvor::platform;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
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
    EXPECT_EQ(RunConsoleCommand("printf 'Печать\\n'; echo 'нет файла' >&2; echo done; exit 3", dir.path()), 3);
    const QByteArray first = QStringLiteral("Печать\nнет файла\ndone\n").toUtf8();
    EXPECT_FALSE(QFile::exists(tmp));
    EXPECT_EQ(readAll(log), first);

    // The second run adds to console.log.
    EXPECT_EQ(RunConsoleCommand("echo second", dir.path() + "/"), 0);
    EXPECT_FALSE(QFile::exists(tmp));
    EXPECT_EQ(readAll(log), first + "second\n");

    // A command that reads its input does not wait for a keyboard; one that is not found is the shell's 127.
    EXPECT_EQ(RunConsoleCommand("cat; echo after-cat", dir.path()), 0);
    EXPECT_EQ(RunConsoleCommand("no-such-command-kalvor", dir.path()), 127);
    EXPECT_TRUE(readAll(log).startsWith(first + "second\nafter-cat\n"));
    EXPECT_TRUE(readAll(log).contains("no-such-command-kalvor"));
}

TEST(Console, FailuresGiveMinusOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // The console files cannot be opened: nothing runs.
    const QString missing = dir.filePath("no/such/folder");
    EXPECT_EQ(RunConsoleCommand("touch " + dir.filePath("ran"), missing), -1);
    EXPECT_FALSE(QFile::exists(dir.filePath("ran")));
    // The interpreter killed by a signal has no exit code of its own.
    EXPECT_EQ(RunConsoleCommand("kill -9 $$", dir.path()), -1);
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
    ASSERT_TRUE(
        task.start([](TaskContext&) { return TaskOutcome(TASK_DONE, RunConsoleCommand("echo from-worker; exit 5")); }));
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
    EXPECT_EQ(RunConsoleCommand("echo other", dir.path()), 0);
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
    EXPECT_EQ(RunConsoleCommand("i=0; while [ $i -lt 30000 ]; do echo 123456789; i=$((i+1)); done", dir.path()), 0);
    QByteArray expected;
    for (int i = 0; i < 6554; ++i) expected += "123456789\n";
    expected.truncate(65536);
    expected += QStringLiteral("\n... вывод сокращён: записаны первые 65536 байт из 300000\n").toUtf8();
    EXPECT_EQ(readAll(log), expected);

    const QByteArray full(4 * 1024 * 1024, 'x');
    ASSERT_TRUE(writeFile(log, full));
    EXPECT_EQ(RunConsoleCommand("echo next", dir.path()), 0);
    EXPECT_EQ(readAll(log), QByteArray("next\n"));
    EXPECT_EQ(readAll(log + ".1"), full);
    // The next time the full one replaces the older one.
    ASSERT_TRUE(writeFile(log, QByteArray(4 * 1024 * 1024, 'y')));
    EXPECT_EQ(RunConsoleCommand("echo again", dir.path()), 0);
    EXPECT_EQ(readAll(log), QByteArray("again\n"));
    EXPECT_EQ(readAll(log + ".1"), QByteArray(4 * 1024 * 1024, 'y'));
}
