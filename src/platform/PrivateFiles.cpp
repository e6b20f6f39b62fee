#include "platform/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor::platform {

bool MakePrivate(const QString& path)
{
    // The name itself, never what a symbolic link of that name points to:
    // a link is left as it is and is no private file.
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return false;
    const mode_t mode = st.st_mode & 07777;
    if ((mode & 077) == 0)
        return true;
    return ::fchmodat(AT_FDCWD, name.constData(), mode & ~mode_t(077), AT_SYMLINK_NOFOLLOW) == 0;
}

bool RemoveOwnFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT;
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return ::unlink(name.constData()) == 0;
}

bool RemoveOwnTree(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT;
    if (S_ISLNK(st.st_mode))
        return ::unlink(name.constData()) == 0; // the link goes, never its target
    if (st.st_uid != ::geteuid())
        return false;
    return S_ISDIR(st.st_mode) ? QDir(path).removeRecursively() : ::unlink(name.constData()) == 0;
}

bool MakeNewPrivateFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return MakePrivateFolder(QFileInfo(clean).path()) && ::mkdir(QFile::encodeName(clean).constData(), 0700) == 0;
}

bool CreatePrivateFile(const QString& path, QString* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    ::close(fd);
    return true;
}

bool MakePrivateFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(clean).isDir())
        return true;
    const QString parent = QFileInfo(clean).path();
    if (parent != clean && !MakePrivateFolder(parent))
        return false;
    if (::mkdir(QFile::encodeName(clean).constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return QFileInfo(clean).isDir();
}

FileHold::~FileHold() { release(); }

bool FileHold::take(const QString& path)
{
    release();
    // Never waits on what the name may be instead of a file (a FIFO, a
    // device), never follows a link, and holds only a regular file of the
    // user the program runs as.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    int rc = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() ? 0 : -1;
    while (rc == 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        rc = errno == EINTR ? 0 : -1;
    if (rc != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void FileHold::release()
{
    if (m_fd < 0)
        return;
    ::close(m_fd); // closing drops the lock
    m_fd = -1;
}

} // namespace kalvor::platform
