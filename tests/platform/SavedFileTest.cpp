// The one way the program writes a file: a temporary file beside the target,
// 0600, renamed over the name; a link at the name is replaced, never written
// through; a refused or cancelled write leaves the old file and no temporary;
// what a killed write left goes at the next start, also while writers run,
// and a full disk is said.
#include "platform/SavedFile.h"
#include "platform/FileCopy.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "support/SmallDisk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <array>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

using namespace kalvor::platform;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The rights of the name itself (a link's own when it is one).
mode_t ModeOf(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

// A file of the given bytes and rights, made whatever the umask.
void PlantFile(const QString& path, const QByteArray& bytes, mode_t mode)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
    f.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

QStringList Names(const QString& folder) { return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }

// A case that must run in a process of its own (a writer to be killed, a
// user who may not read a folder) runs this test program again for that case
// alone, with KALVOR_SAVED_FILE_CHILD telling it what to do there.
const char* const kChildVariable = "KALVOR_SAVED_FILE_CHILD";
QString ChildRole() { return qEnvironmentVariable(kChildVariable); }

void StartChild(QProcess& child, const QString& role, const QString& folder, const QStringList& wrapper = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildVariable), role);
    environment.insert(QStringLiteral("KALVOR_SAVED_FILE_FOLDER"), folder);
    child.setProcessEnvironment(environment);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QStringList self = {QCoreApplication::applicationFilePath(),
                              QStringLiteral("--gtest_filter=%1.%2").arg(QString::fromLatin1(test->test_suite_name()),
                                                                          QString::fromLatin1(test->name()))};
    const QStringList command = wrapper + self;
    child.start(command.front(), command.mid(1));
}

// Runs `writeThere` on the folder after giving it `mode` (and gives it 0700
// back after): as this user, or under root, whom no mode binds, in a child of
// the case as user 65534, who is given the folder and the files `owned` in it.
void WriteUnderFolderMode(const QString& role, const QString& folder, mode_t mode,
                          const std::function<void(const QString&)>& writeThere, const QStringList& owned = {})
{
    const QByteArray name = QFile::encodeName(folder);
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(name.constData(), mode), 0);
        writeThere(folder);
    } else {
        ASSERT_EQ(::chown(name.constData(), 65534, 65534), 0);
        for (const QString& file : owned) ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 65534, 65534), 0);
        ASSERT_EQ(::chmod(name.constData(), mode), 0);
        // The other user passes through the folder above.
        ASSERT_EQ(::chmod(QFile::encodeName(QFileInfo(folder).path()).constData(), 0711), 0);
        QProcess child;
        StartChild(child, role, folder,
                   {QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                    QStringLiteral("--clear-groups")});
        ASSERT_TRUE(child.waitForFinished(60'000));
        const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    }
    ASSERT_EQ(::chmod(name.constData(), 0700), 0);
}

} // namespace

TEST(SavedFile, ANewFileAndAReplacedOneAreTheOwnersAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ведомость.rtf"));
    const mode_t umask = ::umask(0);
    EXPECT_TRUE(WriteWholeFile(path, "first"));
    EXPECT_EQ(ModeOf(path), mode_t(S_IFREG | 0600));
    PlantFile(path, "old", 0666);
    EXPECT_TRUE(WriteWholeFile(path, "second"));
    ::umask(umask);
    EXPECT_EQ(ReadAll(path), QByteArray("second"));
    EXPECT_EQ(ModeOf(path), mode_t(S_IFREG | 0600));
    EXPECT_EQ(Names(dir.path()), QStringList{QStringLiteral("ведомость.rtf")});
}

// A link planted at the name (in a folder others can write to) is replaced by
// the file; what it points to, a file of another user 0666 or a folder, is
// left as it was.
TEST(SavedFile, ALinkAtTheNameIsReplacedAndItsTargetLeftAlone)
{
    QTemporaryDir shared, other;
    ASSERT_TRUE(shared.isValid() && other.isValid());
    const QString victim = other.filePath(QStringLiteral("victim.txt"));
    PlantFile(victim, "not yours", 0666);
    ASSERT_EQ(::chown(QFile::encodeName(victim).constData(), 65534, 65534), 0);
    const QString form = shared.filePath(QStringLiteral("form.rtf"));
    const QString toFolder = shared.filePath(QStringLiteral("list.txt"));
    ASSERT_TRUE(QFile::link(victim, form));
    ASSERT_TRUE(QFile::link(other.path(), toFolder));

    EXPECT_TRUE(WriteWholeFile(form, "payroll"));
    EXPECT_TRUE(WriteWholeFile(toFolder, "payroll"));
    for (const QString& name : {form, toFolder}) {
        EXPECT_EQ(ModeOf(name), mode_t(S_IFREG | 0600)) << name.toStdString();
        EXPECT_EQ(ReadAll(name), QByteArray("payroll"));
    }
    EXPECT_EQ(ReadAll(victim), QByteArray("not yours"));
    EXPECT_EQ(ModeOf(victim), mode_t(S_IFREG | 0666));
    EXPECT_EQ(Names(other.path()), QStringList{QStringLiteral("victim.txt")});
}

// A folder at the name, a missing folder, a cancelled or failed writing: the
// reason is given, the old file stays and no temporary file is left.
TEST(SavedFile, ARefusedOrCancelledWriteLeavesTheOldFileAndNoTemporary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("folder"));
    ASSERT_TRUE(QDir().mkdir(folder));
    QString error;
    EXPECT_FALSE(WriteWholeFile(folder, "x", &error));
    EXPECT_EQ(error, QStringLiteral("Ошибка записи в файл %1\nНа месте файла находится папка").arg(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    error.clear();
    EXPECT_FALSE(WriteWholeFile(dir.filePath(QStringLiteral("no/such.txt")), "x", &error));
    EXPECT_EQ(error, QStringLiteral("Ошибка записи в файл %1/no/such.txt\nПапка %1/no не найдена").arg(dir.path()));
    // The writers that tell the failure as a FileErrorKind: neither file can be made.
    EXPECT_EQ(WriteWholeFileKind(folder, "x"), FILE_ERROR_OPEN);
    EXPECT_EQ(WriteWholeFileKind(dir.filePath(QStringLiteral("no/such.txt")), "x"), FILE_ERROR_OPEN);
    EXPECT_EQ(WriteWholeFileKind(dir.filePath(QStringLiteral("made.txt")), "made"), 0);
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("made.txt"))), QByteArray("made"));
    ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("made.txt"))));

    const QString path = dir.filePath(QStringLiteral("kept.txt"));
    PlantFile(path, "old", 0600);
    {
        SavedFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.fileName(), path);
        file.write("new");
        file.cancelWriting();
        EXPECT_FALSE(file.commit());
    }
    {
        SavedFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("dropped"); // never committed: a stopped run
    }
    EXPECT_FALSE(SavedFile(path).open(QIODevice::ReadWrite));
    EXPECT_EQ(ReadAll(path), QByteArray("old"));
    // The rename fails (a folder was put at the name after the open): said, and no temporary stays.
    const QString taken = dir.filePath(QStringLiteral("taken"));
    {
        SavedFile file(taken);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("new");
        ASSERT_TRUE(QDir().mkdir(taken));
        EXPECT_FALSE(file.commit());
        EXPECT_FALSE(file.errorString().isEmpty());
        EXPECT_EQ(Names(dir.path()),
                  (QStringList{QStringLiteral("folder"), QStringLiteral("kept.txt"), QStringLiteral("taken")}));
    }
    EXPECT_TRUE(QFileInfo(taken).isDir());
    EXPECT_EQ(Names(dir.path()),
              (QStringList{QStringLiteral("folder"), QStringLiteral("kept.txt"), QStringLiteral("taken")}));
}

// A write killed midway leaves its temporary file "<target>.kalvor-XXXXXX"
// beside the target; the removal at the next start takes it, but not while a
// running writer holds it, and never another user's file, a file of another
// naming or a link.
TEST(SavedFile, AKilledWritesTemporaryGoesAtTheNextStartAndNoOtherFile)
{
    if (ChildRole() == QLatin1String("writer")) {
        // The writer: a file begun and never finished, its name told.
        static SavedFile file(qEnvironmentVariable("KALVOR_SAVED_FILE_FOLDER") + QStringLiteral("/f-LS-2026-03.typ"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(200'000, 'x'));
        std::printf("temporary: %s\n", QFile::encodeName(file.temporaryName()).constData());
        std::fflush(stdout);
        ::sleep(120);
        return;
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess writer;
    StartChild(writer, QStringLiteral("writer"), dir.path());
    QString temporary;
    while (temporary.isEmpty() && writer.waitForReadyRead(30'000))
        while (writer.canReadLine())
            if (const QByteArray line = writer.readLine().trimmed(); line.startsWith("temporary: "))
                temporary = QString::fromLocal8Bit(line.mid(11));
    EXPECT_TRUE(QFileInfo(temporary).fileName().startsWith(QStringLiteral("f-LS-2026-03.typ.kalvor-")))
        << temporary.toStdString();
    ASSERT_TRUE(QFileInfo::exists(temporary));
    // While the writer runs its file is held.
    EXPECT_EQ(RemoveUnheldTemporaries(dir.path()), 0);
    EXPECT_TRUE(QFileInfo::exists(temporary));

    // Files that are not the program's own temporaries, and one of this
    // program held by a writer here.
    const QString otherUsers = dir.filePath(QStringLiteral("g.rtf.kalvor-Zz9Yy8"));
    PlantFile(otherUsers, "another user's", 0600);
    const bool chowned = ::chown(QFile::encodeName(otherUsers).constData(), 65534, 65534) == 0;
    PlantFile(dir.filePath(QStringLiteral("notes.typ.kalvor-abc")), "short", 0600);
    PlantFile(dir.filePath(QStringLiteral("report.typ.Ab12Cd")), "another program's", 0600);
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("report.typ.Ab12Cd")),
                            dir.filePath(QStringLiteral("link.rtf.kalvor-Qq1Ww2"))));
    SavedFile held(dir.filePath(QStringLiteral("held.rtf")));
    ASSERT_TRUE(held.open(QIODevice::WriteOnly));

    ::kill(pid_t(writer.processId()), SIGKILL);
    ASSERT_TRUE(writer.waitForFinished(30'000));
    EXPECT_TRUE(QFileInfo::exists(temporary));
    EXPECT_EQ(RemoveUnheldTemporaries(dir.path()), chowned ? 1 : 2);
    EXPECT_FALSE(QFileInfo::exists(temporary));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("f-LS-2026-03.typ"))));
    QStringList kept = {QStringLiteral("held.rtf.") + QFileInfo(held.temporaryName()).suffix(),
                        QStringLiteral("link.rtf.kalvor-Qq1Ww2"), QStringLiteral("notes.typ.kalvor-abc"),
                        QStringLiteral("report.typ.Ab12Cd")};
    if (chowned)
        kept << QStringLiteral("g.rtf.kalvor-Zz9Yy8");
    kept.sort();
    EXPECT_EQ(Names(dir.path()), kept);
    EXPECT_TRUE(held.commit());
}

// A folder the user may not write: the file is refused with the folder's
// name, the old file in it stays and no temporary is left. Root writes every
// folder, so as root the case runs as another user.
TEST(SavedFile, AFolderThatCannotBeWrittenIsSaidByItsName)
{
    const auto writeThere = [](const QString& folder) {
        const QString path = folder + QStringLiteral("/form.rtf");
        QString error;
        EXPECT_EQ(WriteWholeFileKind(path, "new", &error), FILE_ERROR_OPEN);
        EXPECT_EQ(error, QStringLiteral("Ошибка записи в файл %1\nНет прав на запись в папку %2").arg(path, folder));
        SavedFile file(path);
        EXPECT_FALSE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.errorString(), QStringLiteral("Нет прав на запись в папку %1").arg(folder));
    };
    if (ChildRole() == QLatin1String("unwritable-folder")) {
        writeThere(qEnvironmentVariable("KALVOR_SAVED_FILE_FOLDER"));
        return;
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("unwritable"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString old = folder + QStringLiteral("/form.rtf");
    PlantFile(old, "old", 0644);
    WriteUnderFolderMode(QStringLiteral("unwritable-folder"), folder, 0500, writeThere, {old});
    EXPECT_EQ(ReadAll(old), QByteArray("old"));
    EXPECT_EQ(Names(folder), QStringList{QStringLiteral("form.rtf")});
}

// A folder the user may write but not read: the file takes its name, and the
// folder's sync that cannot be made is a warning, not a failed write. Root
// reads every folder, so as root the case runs as another user.
TEST(SavedFile, AFolderThatCannotBeReadTakesTheFileWithAWarning)
{
    const auto writeThere = [](const QString& folder) {
        // The warning's line of the console log goes beside the folder, not into the tests' own.
        const QString workingFolder = WorkingFolder();
        SetWorkingFolder(QFileInfo(folder).path());
        const QString path = folder + QStringLiteral("/form.rtf");
        SavedFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << file.errorString().toStdString();
        file.write("payroll");
        EXPECT_TRUE(file.commit()) << file.errorString().toStdString();
        const QString warning =
            QStringLiteral("Файл %1 записан, но папка %2 не сброшена на диск: нет прав на чтение папки").arg(path, folder);
        EXPECT_EQ(file.warning(), warning);
        // The run's line that says the file is written says the warning too.
        EXPECT_EQ(WrittenFileLine(path), QStringLiteral("Записан файл %1\n%2").arg(path, warning));
        SetWorkingFolder(workingFolder);
    };
    if (ChildRole() == QLatin1String("unreadable-folder")) {
        writeThere(qEnvironmentVariable("KALVOR_SAVED_FILE_FOLDER"));
        return;
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("unreadable"));
    ASSERT_TRUE(QDir().mkdir(folder));
    WriteUnderFolderMode(QStringLiteral("unreadable-folder"), folder, 0300, writeThere);
    EXPECT_EQ(ReadAll(folder + QStringLiteral("/form.rtf")), QByteArray("payroll"));
    EXPECT_EQ(Names(folder), QStringList{QStringLiteral("form.rtf")});
}

// A disk that fills while a file is written: the failure says so, the old
// file stays whole and no temporary is left. The case runs on a tmpfs of
// 64 KiB of its own.
TEST(SavedFile, AFullDiskIsSaidAsAFullDisk)
{
    const QString folder = kalvor::test::SmallDiskFolder();
    if (folder.isEmpty()) {
        const QString skipped = kalvor::test::RunOnSmallDisk(QStringLiteral("64k"));
        if (!skipped.isEmpty())
            GTEST_SKIP() << skipped.toStdString();
        return;
    }
    const QString path = folder + QStringLiteral("/ведомость.rtf");
    ASSERT_TRUE(WriteWholeFile(path, "old"));
    QString error;
    EXPECT_EQ(WriteWholeFileKind(path, QByteArray(200'000, 'x'), &error), FILE_ERROR_DISK_FULL);
    EXPECT_EQ(error, QStringLiteral("Ошибка записи в файл %1\nНедостаточно места на диске").arg(path));
    EXPECT_EQ(FileErrorKindText(FILE_ERROR_DISK_FULL), QStringLiteral("Недостаточно места на диске"));
    // Written line by line, as the forms are.
    SavedFile lines(path);
    ASSERT_TRUE(lines.open(QIODevice::WriteOnly));
    for (int line = 0; line < 10'000; ++line) lines.write("строка ведомости\r\n");
    EXPECT_FALSE(lines.commit());
    EXPECT_EQ(lines.errorString(), QStringLiteral("Недостаточно места на диске"));
    EXPECT_EQ(lines.failureKind(), FILE_ERROR_DISK_FULL);
    EXPECT_EQ(lines.failureText(), error);
    EXPECT_EQ(ReadAll(path), QByteArray("old"));
    EXPECT_EQ(Names(folder), QStringList{QStringLiteral("ведомость.rtf")});
    // A copy that does not fit names its target.
    const QString copy = folder + QStringLiteral("/копия.rtf");
    ASSERT_TRUE(WriteWholeFile(path, QByteArray(40'000, 'x')));
    EXPECT_FALSE(CopyFileReplacing(path, copy, &error));
    EXPECT_EQ(error, QStringLiteral("Ошибка записи в файл %1\nНедостаточно места на диске").arg(copy));
}

// Writers that finish their files while other programs start and sweep the
// folder for what killed writers left: a file is held until it has its name,
// so no write fails and every file holds what was last written. The sweep
// runs a fixed count of times and the writers write until it is done (and at
// least a fixed count each), so that the two race over the whole run.
TEST(SavedFile, WritersRacingTheStartUpSweepNeverFail)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    constexpr int kWriters = 3, kWritesEach = 300, kSweeps = 3000;
    std::atomic<bool> sweeping{true};
    std::atomic<int> writes{0}, sweeps{0}, failed{0}, started{0};
    std::array<QString, kWriters> failures;
    std::vector<std::thread> threads;
    for (int w = 0; w < kWriters; ++w)
        threads.emplace_back([&, w] {
            const QString path = dir.filePath(QStringLiteral("form-%1.rtf").arg(w));
            ++started;
            for (int n = 0; (sweeping || n < kWritesEach) && failures[std::size_t(w)].isEmpty(); ++n, ++writes) {
                const QByteArray bytes = QByteArray::number(n).repeated(500);
                QString error;
                if (!WriteWholeFile(path, bytes, &error))
                    failures[std::size_t(w)] = QStringLiteral("write %1: %2").arg(n).arg(error);
                else if (ReadAll(path) != bytes)
                    failures[std::size_t(w)] = QStringLiteral("write %1: other bytes").arg(n);
                if (!failures[std::size_t(w)].isEmpty())
                    ++failed;
            }
        });
    threads.emplace_back([&] {
        // The sweep starts with the writers, and stops early only at a failed write.
        while (started < kWriters) std::this_thread::yield();
        for (; sweeps < kSweeps && failed == 0; ++sweeps) RemoveUnheldTemporaries(dir.path());
        sweeping = false;
    });
    for (std::thread& thread : threads) thread.join();
    for (const QString& failure : failures) EXPECT_EQ(failure, QString()) << failure.toStdString();
    EXPECT_GE(writes, kWriters * kWritesEach);
    EXPECT_EQ(sweeps, kSweeps);
    EXPECT_EQ(Names(dir.path()),
              (QStringList{QStringLiteral("form-0.rtf"), QStringLiteral("form-1.rtf"), QStringLiteral("form-2.rtf")}));
}
