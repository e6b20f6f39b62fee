// The one way the program writes a file: a temporary file beside the target,
// 0600, renamed over the name; a link at the name is replaced, never written
// through; a refused or cancelled write leaves the old file and no temporary.
#include "platform/SavedFile.h"
#include "platform/TaskThread.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

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
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    error.clear();
    EXPECT_FALSE(WriteWholeFile(dir.filePath(QStringLiteral("no/such.txt")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
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
    EXPECT_EQ(Names(dir.path()), (QStringList{QStringLiteral("folder"), QStringLiteral("kept.txt")}));
}
