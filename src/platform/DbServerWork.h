#pragma once
// The database layer's work on servers as it is stopped and ended: the stop
// of a worker's server work (ServerStopScope, WorkStopped, ThrowWhenStopped)
// and the bound on the server's silence to work that no stop governs
// (ServerWaitBound); the outcome of a COMMIT whose answer was cut, asked of
// the server (AskCommitOutcome, of a CommitInDoubt that a DbError of
// platform/Db.h carries); and the end of the program's server work as it
// exits (EndServerWork).
#include <memory>
#include <stop_token>

namespace kalvor::db {

struct CommitInDoubt;

// ------------------------------------------------------------------ the stop of a worker's server work

// How long a worker's work on a server may go on after its stop before the
// thread's sessions are shut: enough for a server that answers to let the
// work end on its own (commit what it keeps, roll back the rest), and well
// within the 5 s in which a stop must have ended the work.
inline constexpr int kServerStopCutMilliseconds = 2000;

// While it lives on a thread, the stop event governs the thread's work on
// servers (every task worker's body runs in one, and the helper threads of
// such work take their worker's stop):
// - once the stop is set, no new connection to a server is opened from the
//   thread: E_DB_STOPPED at once, so that no wait for a server that does
//   not answer begins;
// - when the scope still lives kServerStopCutMilliseconds after the stop, the
//   sockets of the thread's server sessions are shut (its connections to
//   bases, the base lock's session while the thread checks it, the session of
//   a temporary base it builds): a statement waiting on a server that does
//   not answer ends at once, and every failure of those sessions is thrown as
//   E_DB_STOPPED (kServerWorkStoppedText). The server rolls back the open
//   transaction of a session it finds shut; the thread's connections are
//   opened anew by its next work.
// Outside a scope nothing is ever stopped.
class ServerStopScope {
public:
    explicit ServerStopScope(std::stop_token stop);
    ~ServerStopScope();
    ServerStopScope(const ServerStopScope&) = delete;
    ServerStopScope& operator=(const ServerStopScope&) = delete;
    // The stop of the calling thread's scope, for helper threads of its work.
    static std::stop_token current();

private:
    friend class ServerWaitBound;
    // `saidAsLost`: what the cut ends is thrown as a lost connection
    // (E_DB_CONNECTION_LOST, kConnectionLostText), as nobody stopped it.
    ServerStopScope(std::stop_token stop, bool saidAsLost);
    struct Armed;
    std::unique_ptr<Armed> d;
};

// How long a server may say nothing to work that no worker's stop governs
// (a screen's load or save on the user-interface thread) before that work's
// sessions are shut: a stop's bound. Work the server answers, however long
// it takes, is never cut.
inline constexpr int kServerSilenceMilliseconds = 5000;

// A bound on the waits of server work that no worker's stop governs (a
// screen's save on the user-interface thread) by the server's silence: while
// it lives, the thread's server sessions are shut, as a worker's stop shuts
// them (ServerStopScope), once the server has said nothing to the thread for
// kServerSilenceMilliseconds, or kServerStopCutMilliseconds after stopNow()
// (a COMMIT sent); what the cut ends is said as a lost connection
// (kConnectionLostText). The server's last word is the latest of: the
// bound's start; each statement the thread sends (it sends one only once
// the one before was answered); and, on a TCP connection, the last bytes
// the server's answers brought to a session's socket (the kernel's time of
// the last data received), so that a long answer that keeps coming is not
// cut either. A server on a Unix socket has only the first two.
class ServerWaitBound {
public:
    ServerWaitBound();
    ~ServerWaitBound();
    ServerWaitBound(const ServerWaitBound&) = delete;
    ServerWaitBound& operator=(const ServerWaitBound&) = delete;
    void stopNow() { stop_.request_stop(); }

    struct Silence; // what the watcher's checks of the silence share with it

private:
    std::stop_source stop_;
    ServerStopScope scope_;
    std::shared_ptr<Silence> silence_;
};

// Whether the stop of the calling thread's scope is set.
bool WorkStopped();
// Throws E_DB_STOPPED when it is: for long work between its steps, so that a
// stop ends it (and rolls back its transaction) at once on a server that answers.
void ThrowWhenStopped();

// What the server made of a transaction whose COMMIT was cut: made, undone,
// not known because the server said nothing, or not known because the
// server answers that the COMMIT waits for a synchronous standby to confirm
// it (Held: the outcome comes once the standby answers or the wait is
// cancelled on the server).
enum class CommitOutcome { Committed, RolledBack, NotKnown, Held };
// Whether the outcome is still to be learnt (NotKnown or Held).
inline bool NotKnownYet(CommitOutcome outcome)
{
    return outcome == CommitOutcome::NotKnown || outcome == CommitOutcome::Held;
}
// How long AskCommitOutcome waits for the server: short, as it follows a
// stop that must end the work within a few seconds.
inline constexpr int kCommitQuestionMilliseconds = 1500;
inline constexpr const char* kCommitNotKnownText =
    "Связь с сервером базы данных прервана, когда запись уже была отправлена. Сохранены ли изменения, пока не "
    "известно: сервер не ответил.";
inline constexpr const char* kCommitHeldText =
    "Сервер базы данных получил запись, но не подтверждает ее: он ждет ответа резервного сервера, который не "
    "отвечает. Сохранены ли изменения, пока не известно.";

// Asks the server on a session of its own, within kCommitQuestionMilliseconds
// and also after the calling worker's stop: NotKnown while the server does
// not answer, or while the transaction has not ended yet; Held while its
// session waits for a synchronous standby to confirm its COMMIT (asked again
// until the time is up).
CommitOutcome AskCommitOutcome(const CommitInDoubt& doubt);

// Ends the program's server work as it exits, in this order: the lease
// watcher (its round cut and its thread ended; the sessions of the locks
// still held finished, their leases left to run out, as is a release left to
// it), then the thread that shuts stopped sessions, then every connection of
// the calling thread. Called once the bases are closed.
void EndServerWork();

} // namespace kalvor::db
