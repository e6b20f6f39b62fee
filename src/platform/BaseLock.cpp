#include "platform/BaseLock.h"

#include "platform/Db.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kalvor::platform {

BaseLock::~BaseLock() { release(); }

BaseLock::BaseLock(BaseLock&& other) noexcept
    : m_fd(other.m_fd)
    , m_session(std::move(other.m_session))
    , m_baseFile(std::move(other.m_baseFile))
    , m_error(std::move(other.m_error))
{
    other.m_fd = -1;
    other.m_session.clear();
}

BaseLock& BaseLock::operator=(BaseLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_session = std::move(other.m_session);
        other.m_session.clear();
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
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
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
    // Held in the maintenance database, so that a base being made or restored
    // is locked before it exists; the key is the base's name hashed by the server.
    const QString session = db::OpenServerSession(QStringLiteral("postgres"), m_error);
    if (session.isEmpty())
        return Result::Failed;
    bool taken = false;
    {
        QSqlQuery q(QSqlDatabase::database(session, false));
        q.prepare(QStringLiteral("SELECT pg_try_advisory_lock(1263294034, hashtext(?))"));
        q.addBindValue(db::ServerDatabaseOf(locator));
        if (!q.exec() || !q.next())
            m_error = q.lastError().databaseText().trimmed();
        else
            taken = q.value(0).toBool();
    }
    if (!taken) {
        db::CloseServerSession(session);
        return m_error.isEmpty() ? Result::HeldElsewhere : Result::Failed;
    }
    m_session = session;
    m_baseFile = locator;
    return Result::Taken;
}

void BaseLock::release()
{
    if (!m_session.isEmpty()) {
        // Ending the session ends its lock.
        db::CloseServerSession(m_session);
        m_session.clear();
        m_baseFile.clear();
    }
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
    m_baseFile.clear();
}

} // namespace kalvor::platform
