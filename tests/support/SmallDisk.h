#pragma once
// A case that needs a folder on a small file system of its own (a disk that
// fills) runs the test program again for that case alone, in a mount
// namespace of its own with a tmpfs of the given size mounted on a new
// folder. The case itself asks OnSmallDisk() whether it runs there; the
// parent runs it by RunOnSmallDisk() and skips the case where no tmpfs can
// be mounted.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/statvfs.h>

#include <gtest/gtest.h>

namespace kalvor::test {

inline const char* const kSmallDiskVariable = "KALVOR_SMALL_DISK_FOLDER";

// The folder on the small disk in the run of the case there; empty in the
// parent's run.
inline QString SmallDiskFolder() { return qEnvironmentVariable(kSmallDiskVariable); }

// Free bytes left on the disk of the folder.
inline qint64 FreeBytes(const QString& folder)
{
    struct statvfs st {};
    return ::statvfs(QFile::encodeName(folder).constData(), &st) == 0 ? qint64(st.f_bavail) * qint64(st.f_frsize) : -1;
}

// Fills the folder's disk with a file of its own ("filler") until at most
// `left` bytes stay free; false when it cannot.
inline bool FillDisk(const QString& folder, qint64 left)
{
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const qint64 room = FreeBytes(folder) - left;
    return room <= 0 || (filler.write(QByteArray(room, '\0')) == room && filler.flush());
}

// Runs the current test again with a tmpfs of `size` ("64k") mounted on a new
// folder; its failures are this run's failures. Returns why the case could
// not run there (no tmpfs can be mounted), or an empty text when it ran.
inline QString RunOnSmallDisk(const QString& size)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return QStringLiteral("no temporary folder");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kSmallDiskVariable), dir.path());
    QProcess child;
    child.setProcessEnvironment(environment);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // 77: the file system could not be mounted here (no namespaces).
    child.start(QStringLiteral("unshare"),
                {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                 QStringLiteral("mount -t tmpfs -o size=%1 tmpfs \"$%2\" || exit 77; exec \"$@\"")
                     .arg(size, QString::fromLatin1(kSmallDiskVariable)),
                 QStringLiteral("sh"), QCoreApplication::applicationFilePath(),
                 QStringLiteral("--gtest_filter=%1.%2")
                     .arg(QString::fromLatin1(test->test_suite_name()), QString::fromLatin1(test->name()))});
    if (!child.waitForFinished(120'000)) {
        child.kill();
        child.waitForFinished();
        ADD_FAILURE() << "the run on a small disk did not end";
        return QString();
    }
    const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
    if (child.exitStatus() == QProcess::NormalExit && (child.exitCode() == 77 || output.contains("unshare:")))
        return QStringLiteral("no tmpfs can be mounted here: ") + QString::fromLocal8Bit(output);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    return QString();
}

} // namespace kalvor::test
