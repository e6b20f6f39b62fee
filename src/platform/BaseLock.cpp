#include "platform/BaseLock.h"

#include "platform/Db.h"
#include "platform/DbServerLock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kalvor::platform {

BaseLock::~BaseLock() { release(); }

BaseLock& BaseLock::operator=(BaseLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_serverLock = other.m_serverLock;
        other.m_serverLock = 0;
        m_clock = std::move(other.m_clock);
        m_baseFile = std::move(other.m_baseFile);
        m_error = std::move(other.m_error);
        other.m_fd = -1;
    }
    return *this;
}

QString BaseLock::lockFileOf(const QString& baseFile) { return baseFile + QStringLiteral(".lock"); }

BaseLock::Result BaseLock::acquire(const QString& baseFile)
{
    release();
    m_error.clear();
    if (db::IsServerLocator(baseFile))
        return acquireOnServer(baseFile);
    const QByteArray path = QFile::encodeName(lockFileOf(baseFile));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return Result::Failed;
    }
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int why = errno;
        ::close(fd);
        if (why == EWOULDBLOCK)
            return Result::HeldElsewhere;
        m_error = QString::fromLocal8Bit(std::strerror(why));
        return Result::Failed;
    }
    m_fd = fd;
    m_baseFile = baseFile;
    return Result::Taken;
}

BaseLock::Result BaseLock::acquireOnServer(const QString& locator)
{
    switch (db::TakeServerLock(db::ServerDatabaseOf(locator), m_clock, m_serverLock, m_error)) {
    case db::ServerLockResult::Taken: m_baseFile = locator; return Result::Taken;
    case db::ServerLockResult::HeldElsewhere: return Result::HeldElsewhere;
    case db::ServerLockResult::Failed:
    case db::ServerLockResult::CommitsHeld: break;
    }
    return Result::Failed;
}

void BaseLock::onHeldElsewhere(std::function<void(const QString& database)> notify)
{
    if (m_serverLock > 0)
        db::OnServerLockHeldElsewhere(m_serverLock, std::move(notify));
}

QString BaseLock::release()
{
    QString notKnown;
    if (m_serverLock > 0) {
        notKnown = db::ReleaseServerLock(m_serverLock);
        m_serverLock = 0;
        m_baseFile.clear();
    }
    if (m_fd < 0)
        return notKnown;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
    m_baseFile.clear();
    return notKnown;
}

} // namespace kalvor::platform
