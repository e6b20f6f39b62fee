#include "platform/Console.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace kalvor::platform;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(Console, OutputIsCollectedInConsoleTmpAndAppendedToConsoleLog)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tmp = dir.filePath("console.tmp");
    const QString log = dir.filePath("console.log");

    // Standard output and standard error both, in the order written; the exit code comes back.
    EXPECT_EQ(RunConsoleCommand("printf 'Печать\\n'; echo 'нет файла' >&2; echo done; exit 3", dir.path()), 3);
    const QByteArray first = QStringLiteral("Печать\nнет файла\ndone\n").toUtf8();
    EXPECT_EQ(readAll(tmp), first);
    EXPECT_EQ(readAll(log), first);

    // The second run replaces console.tmp and adds to console.log.
    EXPECT_EQ(RunConsoleCommand("echo second", dir.path() + "/"), 0);
    EXPECT_EQ(readAll(tmp), QByteArray("second\n"));
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
