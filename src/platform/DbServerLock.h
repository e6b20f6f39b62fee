#pragma once
// The database layer's base lock on a server: the lock taken, watched and
// released, the lease that records its holder in the base and the clock
// that the lease is timed by, and the table of the holder.
#include <QSqlDatabase>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace kalvor::db {

// The base lock on the server: a session-level advisory lock taken in the
// base's own database (so that a login needs no right to any other one) and
// held by a connection of its own (libpq, usable from any thread). The server
// drops it when that session ends, a restart included; so the holder is also
// recorded in the base (dbo.lock_holder: the opening's token and a lease of
// 45 s by the server's clock), and an opening refuses a live lease that is not
// its own. While a lock is held a watcher thread renews its lease every
// fifteenth of the lease and, when the server dropped the lock's session,
// takes the lock again as soon as the server answers. Every write transaction
// into the base also first makes sure the lock's session lives, takes it
// again when it does not, and is refused when it cannot. A clean release
// removes the holder's row; a crashed holder's lease runs out.
// CommitsHeld: the lock is held by an earlier session of this opening whose
// COMMIT the server holds (a synchronous standby that does not answer), so
// that its lease can be neither renewed nor taken again until the server
// lets it go (errorText kCommitsHeldText).
enum class ServerLockResult { Taken, HeldElsewhere, Failed, CommitsHeld };
// The clock that a lock's lease is written and read by: the server's own
// clock, set ahead by what it was moved on. The program moves none; a test
// moves the clock of its workstations past a lease instead of waiting for it
// to run out.
class LeaseClock {
public:
    void moveOn(std::chrono::milliseconds by) { m_ahead += by.count(); }
    qint64 aheadMilliseconds() const { return m_ahead.load(); }

private:
    std::atomic<qint64> m_ahead{0};
};
// Takes the lock without waiting, its lease timed by clock (null: the
// server's own); on Taken, id names it for the release. The lease's write
// waits as a COMMIT does (kServerStopCutMilliseconds at most for its
// answer), as do its renewals and its removal at the release; a row of an
// ended opening of this program's own is taken over.
ServerLockResult TakeServerLock(const QString& database, std::shared_ptr<const LeaseClock> clock, int& id,
                                QString& errorText);
// notify is called (on the watcher's thread, once) when the lock of that id
// was lost and another opening holds the base: writes into it are refused
// from then on.
void OnServerLockHeldElsewhere(int id, std::function<void(const QString& database)> notify);
// Lets the lock go and removes the holder's row, within about twice
// kServerStopCutMilliseconds also while the server does not answer (the
// watcher's renewal and the removal are cut short then). Empty when done;
// kReleaseNotKnownText of the base when the removal's answer did not come:
// the watcher then removes the row once the server answers and every
// session of this opening has ended (so that a renewal in flight, made when
// the server lets it go, does not keep the base), until the lease such a
// renewal gives has run out. A row left naming an opening of this program
// that has ended never refuses this program's next opening.
QString ReleaseServerLock(int id);
inline constexpr const char* kReleaseNotKnownText =
    "Связь с сервером базы данных прервана, когда база данных %1 закрывалась: сервер не ответил. Сохраненные "
    "изменения остаются в базе данных. Отметку о том, что база данных открыта, программа снимет, когда сервер "
    "ответит, а иначе срок отметки истечет не позже чем через минуту.";
// The table of the base lock's holder, made by the schema's step on a server
// (nothing on a base file).
void MakeServerHolderTable(const QSqlDatabase& db);

} // namespace kalvor::db
