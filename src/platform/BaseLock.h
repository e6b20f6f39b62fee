#pragma once
// One base, one writer: the program holds an exclusive lock on a base for as
// long as it has the base open, so that a second program (or a second
// opening in this one) cannot write into it meanwhile.
//
// The lock is an advisory lock (flock) on the file "<base file>.lock" beside
// the base. The operating system drops it when the process ends, also when it
// crashes, so a lock is never left behind; the lock file itself stays and
// means nothing without the lock. Each BaseLock opens the file anew, so two
// BaseLock objects exclude each other also inside one process. The handle is
// not inherited by the commands the program starts.
//
// A base on a PostgreSQL server is locked by a session-level advisory lock of
// the server in the base's own database, held by a connection of the lock's
// own (db::TakeServerLock): the server drops it when the connection ends, so a
// crashed workstation leaves no lock behind either. The holder is recorded in
// the base with a lease too, which outlives a server restart: the lock whose
// session the server dropped is taken again by a watcher thread as soon as
// the server answers (and before the next write into the base), and no other
// workstation opens the base meanwhile. Such a lock can be taken only on a
// base that exists (Failed with "База данных не найдена." otherwise).
#include <QString>

#include <functional>
#include <memory>

namespace kalvor::db {
class LeaseClock;
}

namespace kalvor::platform {

class BaseLock {
public:
    BaseLock() = default;
    // A lock whose lease on a server is timed by that clock instead of the
    // server's own (see db::LeaseClock); kept through acquire and release.
    explicit BaseLock(std::shared_ptr<const db::LeaseClock> clock) : m_clock(std::move(clock)) {}
    ~BaseLock();
    BaseLock& operator=(BaseLock&& other) noexcept;
    BaseLock(const BaseLock&) = delete;
    BaseLock& operator=(const BaseLock&) = delete;

    enum class Result { Taken, HeldElsewhere, Failed };
    // Takes the lock of the base file without waiting (a lock held before by
    // this object is released first). HeldElsewhere: another opening holds
    // it. Failed: the lock file cannot be made (the reason in errorText()).
    Result acquire(const QString& baseFile);
    // Lets the lock go. Empty, or on a server what is not known of the
    // release (db::ReleaseServerLock), for the user to be told.
    QString release();
    // On a server: notify is called, on a thread of the lock's own, once the
    // lock was lost and could not be taken again because another opening
    // holds the base (it names the server's database). Nothing on a file.
    void onHeldElsewhere(std::function<void(const QString& database)> notify);
    bool held() const { return m_fd >= 0 || m_serverLock > 0; }
    // The base file whose lock is held (empty when none).
    const QString& baseFile() const { return m_baseFile; }
    const QString& errorText() const { return m_error; }

    // The lock file of a base file.
    static QString lockFileOf(const QString& baseFile);

private:
    Result acquireOnServer(const QString& locator);

    int m_fd = -1;
    int m_serverLock = 0; // the server's lock held (db::TakeServerLock)
    std::shared_ptr<const db::LeaseClock> m_clock;
    QString m_baseFile;
    QString m_error;
};

} // namespace kalvor::platform
