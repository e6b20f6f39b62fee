#include "platform/ConsoleLog.h"

#include "platform/FileDescriptor.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvor::platform {

namespace {

// Held only while a text goes into a console log, never while a command runs.
std::mutex g_logMutex;

QString ErrnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

int OpenWithoutFollowing(const QByteArray& name)
{
    return ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY,
                  0600);
}

// Opens the log for appending: a link at its name goes first (never its
// target); only a regular file of the user is kept open, made 0600. -1 when
// the log cannot be written.
int OpenLog(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd = OpenWithoutFollowing(name);
    struct stat st {};
    if (fd < 0 && errno == ELOOP && ::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode) &&
        ::unlink(name.constData()) == 0)
        fd = OpenWithoutFollowing(name);
    if (fd < 0)
        return -1;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        ::fchmod(fd, st.st_mode & 0700) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Why what stands at the kept log's name may not be replaced; empty when it
// may (nothing there, a link, or the user's own regular file).
QString WhyNotReplaced(const QString& kept)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(kept).constData(), &st) != 0)
        return errno == ENOENT ? QString() : ErrnoText();
    if (S_ISLNK(st.st_mode))
        return QString();
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("на этом месте папка");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("это файл другого пользователя");
    return S_ISREG(st.st_mode) ? QString() : QStringLiteral("это не обычный файл");
}

// Keeps a full log as "console.log.1" (rename replaces a link there, never
// its target); empty on success, else why it could not be kept.
QString KeepFullLog(const QString& log)
{
    const QString kept = log + QStringLiteral(".1");
    QString reason = WhyNotReplaced(kept);
    if (reason.isEmpty() && std::rename(QFile::encodeName(log).constData(), QFile::encodeName(kept).constData()) != 0)
        reason = ErrnoText();
    return reason.isEmpty() ? QString() : QStringLiteral("%1: %2").arg(kept, reason);
}

// The open log, begun anew when it reached kConsoleLogLimit: the full one is
// kept as "console.log.1", or, when that cannot be, emptied with a line
// saying why.
int RotatedLog(const QString& log, std::unique_ptr<FileDescriptor>& handle)
{
    struct stat st {};
    if (::fstat(handle->get(), &st) != 0 || st.st_size < kConsoleLogLimit)
        return handle->get();
    const QString reason = KeepFullLog(log);
    if (reason.isEmpty()) {
        handle = std::make_unique<FileDescriptor>(OpenLog(log));
        return handle->get();
    }
    if (::ftruncate(handle->get(), 0) != 0)
        return -1;
    const QByteArray line = DatedLogLine(QStringLiteral("Журнал начат заново, прежний не сохранён (%1)").arg(reason));
    return ::write(handle->get(), line.constData(), std::size_t(line.size())) == line.size() ? handle->get() : -1;
}

} // namespace

QByteArray DatedLogLine(const QString& text)
{
    return (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss ")) + text + QLatin1Char('\n'))
        .toUtf8();
}

bool AppendToFolderLog(const QString& folder, const QByteArray& bytes)
{
    std::lock_guard lock(g_logMutex);
    const QString log = QDir(folder).filePath(QStringLiteral("console.log"));
    auto handle = std::make_unique<FileDescriptor>(OpenLog(log));
    const int fd = handle->get() < 0 ? -1 : RotatedLog(log, handle);
    if (fd < 0)
        return false;
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, std::size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

} // namespace kalvor::platform
