#include "platform/SavedFile.h"

#include "platform/Console.h"
#include "platform/FileDescriptor.h"
#include "platform/FileFailure.h"
#include "platform/PrivateFiles.h"
#include "platform/TaskThread.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor::platform {

namespace {

// What marks a temporary file as the writer's: "<target>.kalvor-" and the six
// characters that mkostemp makes unique.
constexpr char kTemporaryMark[] = ".kalvor-";
const QRegularExpression kTemporaryName(QStringLiteral("\\.kalvor-[A-Za-z0-9]{6}$"));
// How much the writer gathers before a block goes to the file.
constexpr qsizetype kWriteBlock = 64 * 1024;
// How often a temporary file that the start-up's removal took from under the
// writer (between its making and its lock) is made again. Each try costs a
// few system calls; programs starting one after another may sweep the folder
// many times while one writer makes its file.
constexpr int kMakeTries = 64;

QByteArray TemporaryPattern(const QString& target)
{
    const QFileInfo info(target);
    return QFile::encodeName(info.path() + QLatin1Char('/') + info.fileName() + QLatin1String(kTemporaryMark) +
                             QStringLiteral("XXXXXX"));
}

// Whether the descriptor is still the file of that name (the removal of
// leftovers may have taken the name between its making and its lock).
bool StillNamed(int fd, const QByteArray& name)
{
    struct stat held {}, named {};
    return ::fstat(fd, &held) == 0 && ::lstat(name.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

// A new temporary file beside the target, locked; -1 with errno set.
int MakeHeldTemporary(const QString& target, QByteArray& name)
{
    for (int attempt = 0; attempt < kMakeTries; ++attempt) {
        name = TemporaryPattern(target);
        // mkostemp makes the file new (O_EXCL, never through a link) and 0600.
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        int locked = ::flock(fd, LOCK_EX);
        while (locked != 0 && errno == EINTR) locked = ::flock(fd, LOCK_EX);
        if (locked == 0 && StillNamed(fd, name))
            return fd;
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}

} // namespace

int RemoveUnheldTemporaries(const QString& folder)
{
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    int removed = 0;
    for (const QString& name :
         dir.entryList({QStringLiteral("*") + QLatin1String(kTemporaryMark) + QStringLiteral("??????")},
                       QDir::Files | QDir::Hidden | QDir::System)) {
        if (!kTemporaryName.match(name).hasMatch())
            continue;
        const QString path = dir.filePath(name);
        // The lock is taken only of the user's own regular file that no
        // writer holds; it is kept while the file goes, so that no writer
        // takes it meanwhile.
        FileHold hold;
        if (hold.take(path) && RemoveOwnFile(path))
            ++removed;
    }
    return removed;
}

SavedFile::SavedFile(const QString& target) : QFile(target), m_target(target) {}

SavedFile::~SavedFile()
{
    if (isOpen())
        close();
    dropTemporary();
}

bool SavedFile::open(OpenMode mode)
{
    if (isOpen() || (mode & ReadOnly) || (mode & Append))
        return fail(QStringLiteral("Файл открывается только для записи"));
    if (QFileInfo(m_target).fileName().isEmpty())
        return fail(QStringLiteral("Не указано имя файла"));
    // A folder at the name is said at once, before anything is written.
    struct stat st {};
    if (::lstat(QFile::encodeName(m_target).constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return fail(WriteFailureText(EISDIR));
    }
    QByteArray name;
    const int fd = MakeHeldTemporary(m_target, name);
    if (fd < 0)
        return fail(FolderFailureText(errno, QFileInfo(m_target).path()));
    m_temporary = QFile::decodeName(name);
    m_opened = true;
    m_cancelled = false;
    m_writeErrno = 0;
    m_buffer.clear();
    // The writer buffers itself (writeData); the lock goes with the handle.
    if (!QFile::open(fd, mode | WriteOnly | Unbuffered, AutoCloseHandle)) {
        ::close(fd);
        dropTemporary();
        return false;
    }
    return true;
}

qint64 SavedFile::writeData(const char* data, qint64 length)
{
    if (m_writeErrno != 0)
        return -1;
    m_buffer.append(data, qsizetype(length));
    if (m_buffer.size() >= kWriteBlock && !drainBuffer())
        return -1;
    return length;
}

bool SavedFile::drainBuffer()
{
    const char* next = m_buffer.constData();
    qsizetype left = m_buffer.size();
    while (left > 0) {
        const ssize_t written = ::write(handle(), next, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return failWith(written < 0 ? errno : ENOSPC);
        next += written;
        left -= written;
    }
    m_buffer.clear();
    return true;
}

bool SavedFile::failWith(int error)
{
    m_writeErrno = error;
    m_buffer.clear();
    setErrorString(WriteFailureText(error));
    return false;
}

bool SavedFile::commit()
{
    if (!isOpen() || m_temporary.isEmpty())
        return fail(QStringLiteral("Файл не открыт"));
    m_warning.clear();
    bool written = !m_cancelled && m_writeErrno == 0 && drainBuffer();
    if (written && ::fsync(handle()) != 0)
        written = failWith(errno);
    if (!written) {
        const QString reason = m_cancelled ? QStringLiteral("Запись отменена") : errorString();
        close();
        dropTemporary();
        return fail(reason);
    }
    // The file takes the name while its lock is held, so that the start-up's
    // removal of unheld temporaries never takes it between the two steps.
    // rename() replaces the name itself: a link there goes, its target stays.
    if (std::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0) {
        const QString renameError = WriteFailureText(errno);
        dropTemporary();
        close();
        return fail(renameError);
    }
    m_temporary.clear();
    close();
    // The new name reaches the disk with the folder's entries. The file is in
    // place whatever comes of it: a folder that cannot be synced is a warning.
    m_warning = FolderSyncWarning(m_target);
    if (!m_warning.isEmpty())
        AppendToConsoleLog(m_warning);
    return true;
}

void SavedFile::cancelWriting() { m_cancelled = true; }

int SavedFile::failureKind() const
{
    if (m_writeErrno == ENOSPC || m_writeErrno == EDQUOT)
        return FILE_ERROR_DISK_FULL;
    return m_opened ? FILE_ERROR_WRITE : FILE_ERROR_OPEN;
}

QString SavedFile::failureText() const
{
    return FileFailureText(FileErrorKindText(FILE_ERROR_WRITE), m_target, errorString());
}

bool SavedFile::fail(const QString& reason)
{
    setErrorString(reason);
    return false;
}

void SavedFile::dropTemporary()
{
    if (m_temporary.isEmpty())
        return;
    ::unlink(QFile::encodeName(m_temporary).constData());
    m_temporary.clear();
}

QString WriteFailureOf(const QIODevice& device)
{
    if (const auto* saved = dynamic_cast<const SavedFile*>(&device))
        return saved->failureText();
    const QString heading = FileErrorKindText(FILE_ERROR_WRITE);
    if (const auto* file = dynamic_cast<const QFile*>(&device))
        return FileFailureText(heading, file->fileName(), file->errorString());
    return device.errorString().isEmpty() ? heading : heading + QLatin1Char('\n') + device.errorString();
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    return WriteWholeFileKind(path, bytes, error) == 0;
}

int WriteWholeFileKind(const QString& path, const QByteArray& bytes, QString* error)
{
    SavedFile file(path);
    int kind = 0;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        kind = file.failureKind();
    if (kind != 0 && error)
        *error = file.failureText();
    return kind;
}

} // namespace kalvor::platform
