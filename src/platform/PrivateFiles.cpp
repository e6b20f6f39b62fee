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
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return errno == ENOENT;
    const mode_t mode = st.st_mode & 07777;
    if ((mode & 077) == 0)
        return true;
    return ::chmod(name.constData(), mode & ~mode_t(077)) == 0;
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
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
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
