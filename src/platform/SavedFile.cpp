#include "platform/SavedFile.h"

#include "platform/TaskThread.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor::platform {

namespace {

QString ErrnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// The name of the temporary file beside the target: its own name with a
// suffix that mkostemp makes unique.
QByteArray TemporaryPattern(const QString& target)
{
    const QFileInfo info(target);
    return QFile::encodeName(info.path() + QLatin1Char('/') + info.fileName() + QStringLiteral(".XXXXXX"));
}

} // namespace

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
        errno = EISDIR;
        return fail(ErrnoText());
    }
    QByteArray pattern = TemporaryPattern(m_target);
    // mkostemp makes the file new (O_EXCL, never through a link) and 0600.
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(ErrnoText());
    m_temporary = QFile::decodeName(pattern);
    m_cancelled = false;
    if (!QFile::open(fd, mode | WriteOnly, AutoCloseHandle)) {
        ::close(fd);
        dropTemporary();
        return false;
    }
    return true;
}

bool SavedFile::commit()
{
    if (!isOpen() || m_temporary.isEmpty())
        return fail(QStringLiteral("Файл не открыт"));
    const bool written = !m_cancelled && flush() && error() == NoError && ::fsync(handle()) == 0;
    const QString writeError = error() != NoError ? errorString() : ErrnoText();
    close();
    if (!written) {
        dropTemporary();
        return fail(m_cancelled ? QStringLiteral("Запись отменена") : writeError);
    }
    // rename() replaces the name itself: a link there goes, its target stays.
    if (std::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData()) != 0) {
        const QString reason = ErrnoText();
        dropTemporary();
        return fail(reason);
    }
    m_temporary.clear();
    return true;
}

void SavedFile::cancelWriting() { m_cancelled = true; }

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

bool WriteWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    return WriteWholeFileKind(path, bytes, error) == 0;
}

int WriteWholeFileKind(const QString& path, const QByteArray& bytes, QString* error)
{
    SavedFile file(path);
    int kind = 0;
    if (!file.open(QIODevice::WriteOnly))
        kind = FILE_ERROR_OPEN;
    else if (file.write(bytes) != bytes.size() || !file.commit())
        kind = FILE_ERROR_WRITE;
    if (kind != 0 && error)
        *error = file.errorString();
    return kind;
}

} // namespace kalvor::platform
