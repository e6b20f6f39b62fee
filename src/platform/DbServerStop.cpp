// The stop of a worker's work on a server: the scope that ties a thread's
// server sessions to its stop, and the watcher that shuts them when the work
// has not ended in time after the stop, so that no wait on a server that does
// not answer outlives it.
#include "platform/Db.h"

#include "platform/Console.h"
#include "platform/DbInternal.h"
#include "platform/DbServerWork.h"

#include <libpq-fe.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace kalvor::db {

using namespace detail;

namespace {

std::atomic<std::uint64_t> scopeSerial{0};

// Shuts the sockets of the thread's sessions for the stop of that scope, if
// it is still in force and was not shut yet; `why` goes to the console log.
void cutSessions(StopCut& cut, std::uint64_t scope, const QString& why)
{
    std::lock_guard guard(cut.mutex);
    if (cut.scope != scope || cut.cut)
        return;
    cut.cut = true;
    for (const auto& [key, session] : cut.sessions)
        if (const int socket = PQsocket(session); socket >= 0)
            ::shutdown(socket, SHUT_RDWR);
    if (!cut.sessions.empty())
        platform::AppendToConsoleLog(QStringLiteral("%1: %2, соединения с сервером закрыты").arg(serverName(), why));
}

using SteadyTime = std::chrono::steady_clock::time_point;

SteadyTime steadyAt(std::int64_t count) { return SteadyTime(SteadyTime::duration(count)); }

// The last time the server was heard on the thread's sessions: the last
// statement sent, and on a TCP connection the last bytes received on its
// socket (the kernel keeps that time; a Unix socket keeps none).
SteadyTime lastHeard(StopCut& cut)
{
    const SteadyTime now = std::chrono::steady_clock::now();
    SteadyTime heard = steadyAt(cut.lastSent.load());
    std::lock_guard guard(cut.mutex);
    for (const auto& [key, session] : cut.sessions) {
        tcp_info info{};
        socklen_t size = sizeof info;
        const int socket = PQsocket(session);
        if (socket >= 0 && ::getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) == 0)
            heard = std::max(heard, now - std::chrono::milliseconds(info.tcpi_last_data_recv));
    }
    return heard;
}

// The watcher: shuts a stopped scope's sessions once its time is up, and
// sets a wait bound's stop once its time is up. One thread for the program,
// started with the first stop or bound and ended with it.
class CutWatcher {
public:
    ~CutWatcher() { end(); }

    // Ends the thread; what was scheduled is dropped. A later schedule
    // starts it again.
    void end()
    {
        {
            std::lock_guard guard(m_mutex);
            m_ending = true;
        }
        m_wake.notify_all();
        if (m_thread.joinable())
            m_thread.join();
        std::lock_guard guard(m_mutex);
        m_due.clear();
        m_ending = false;
    }

    // Runs `act` on the watcher's thread `milliseconds` from now, unless
    // cancelled first by the number returned.
    std::uint64_t schedule(int milliseconds, std::function<void()> act)
    {
        std::uint64_t id = 0;
        {
            std::lock_guard guard(m_mutex);
            const auto at = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
            const auto place = std::upper_bound(m_due.begin(), m_due.end(), at,
                                                [](const auto& time, const Due& due) { return time < due.at; });
            id = ++m_serial;
            m_due.insert(place, Due{at, id, std::move(act)});
            if (!m_thread.joinable())
                m_thread = std::thread([this] { run(); });
        }
        m_wake.notify_all();
        return id;
    }

    // Drops what was scheduled under the number, if it has not run yet.
    void cancel(std::uint64_t id)
    {
        std::lock_guard guard(m_mutex);
        std::erase_if(m_due, [id](const Due& due) { return due.id == id; });
    }

private:
    struct Due {
        std::chrono::steady_clock::time_point at;
        std::uint64_t id = 0;
        std::function<void()> act;
    };

    void run()
    {
        std::unique_lock guard(m_mutex);
        while (!m_ending) {
            if (m_due.empty()) {
                m_wake.wait(guard);
                continue;
            }
            // Kept in the order of their times. The time is copied: the wait
            // lets a schedule grow the list.
            const std::chrono::steady_clock::time_point first = m_due.front().at;
            if (m_wake.wait_until(guard, first) == std::cv_status::no_timeout && !m_ending)
                continue;
            const auto now = std::chrono::steady_clock::now();
            std::vector<Due> ready;
            while (!m_due.empty() && m_due.front().at <= now) {
                ready.push_back(std::move(m_due.front()));
                m_due.erase(m_due.begin());
            }
            guard.unlock();
            for (const Due& due : ready) due.act();
            guard.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Due> m_due;
    std::uint64_t m_serial = 0;
    bool m_ending = false;
    std::thread m_thread;
};

CutWatcher cutWatcher;

StopCut& threadCut() { return *threadConnections().stopCut; }

} // namespace

void detail::endCutWatcher() { cutWatcher.end(); }

// ------------------------------------------------------------------ the scope

struct ServerStopScope::Armed {
    std::shared_ptr<StopCut> cut;
    std::stop_token previousStop;
    std::uint64_t previousScope = 0;
    bool previousSaidAsLost = false;
    std::uint64_t scope = 0;
    std::optional<std::stop_callback<std::function<void()>>> onStop;
};

ServerStopScope::ServerStopScope(std::stop_token stop) : ServerStopScope(std::move(stop), false) {}

ServerStopScope::ServerStopScope(std::stop_token stop, bool saidAsLost) : d(std::make_unique<Armed>())
{
    d->cut = threadConnections().stopCut;
    d->scope = ++scopeSerial;
    {
        std::lock_guard guard(d->cut->mutex);
        d->previousStop = std::exchange(d->cut->stop, stop);
        d->previousScope = std::exchange(d->cut->scope, d->scope);
        d->previousSaidAsLost = std::exchange(d->cut->saidAsLost, saidAsLost);
        d->cut->cut = false;
    }
    if (stop.stop_possible())
        d->onStop.emplace(stop, std::function<void()>([weak = std::weak_ptr<StopCut>(d->cut), scope = d->scope] {
                              cutWatcher.schedule(kServerStopCutMilliseconds, [weak, scope] {
                                  if (const std::shared_ptr<StopCut> cut = weak.lock())
                                      cutSessions(*cut, scope,
                                                  QStringLiteral("работа не закончилась за %1 мс после остановки")
                                                      .arg(kServerStopCutMilliseconds));
                              });
                          }));
}

ServerStopScope::~ServerStopScope()
{
    d->onStop.reset(); // waits for a call running just now
    std::vector<QString> shut;
    {
        std::lock_guard guard(d->cut->mutex);
        if (d->cut->cut)
            for (const auto& [key, session] : d->cut->sessions) shut.push_back(key);
        d->cut->stop = d->previousStop;
        d->cut->scope = d->previousScope;
        d->cut->saidAsLost = d->previousSaidAsLost;
        d->cut->cut = false;
    }
    // The thread's connections that were shut are opened anew by its next work.
    for (const QString& key : shut) markLost(key);
}

// What the checks of a bound's silence share with it: they run on the
// watcher's thread, each scheduling the next one for when the silence would
// reach the bound, and do nothing once the bound has ended.
struct ServerWaitBound::Silence {
    std::weak_ptr<StopCut> cut;
    std::uint64_t scope = 0;
    std::stop_source stop;
    SteadyTime begun;
    std::mutex mutex;
    std::uint64_t due = 0; // the watcher's next check
    bool ended = false;
};

namespace {

// Shuts the bound's sessions once the server has said nothing for the
// bound; else checks again when it would have.
void checkSilence(const std::weak_ptr<ServerWaitBound::Silence>& weak)
{
    const std::shared_ptr<ServerWaitBound::Silence> silence = weak.lock();
    const std::shared_ptr<StopCut> cut = silence ? silence->cut.lock() : nullptr;
    if (!cut)
        return;
    const auto bound = std::chrono::milliseconds(kServerSilenceMilliseconds);
    const SteadyTime heard = std::max(silence->begun, lastHeard(*cut));
    const auto quiet = std::chrono::steady_clock::now() - heard;
    std::lock_guard guard(silence->mutex);
    if (silence->ended)
        return;
    if (quiet >= bound) {
        silence->stop.request_stop();
        cutSessions(*cut, silence->scope, QStringLiteral("сервер не отвечал %1 мс").arg(kServerSilenceMilliseconds));
        return;
    }
    silence->due = cutWatcher.schedule(int(std::chrono::ceil<std::chrono::milliseconds>(bound - quiet).count()),
                                       [weak] { checkSilence(weak); });
}

} // namespace

ServerWaitBound::ServerWaitBound() : scope_(stop_.get_token(), true), silence_(std::make_shared<Silence>())
{
    silence_->cut = threadConnections().stopCut;
    silence_->scope = scope_.d->scope;
    silence_->stop = stop_;
    silence_->begun = std::chrono::steady_clock::now();
    std::lock_guard guard(silence_->mutex);
    silence_->due = cutWatcher.schedule(kServerSilenceMilliseconds,
                                        [weak = std::weak_ptr<Silence>(silence_)] { checkSilence(weak); });
}

// No check runs for the bound once it has ended; the scope ends after this
// body (its stop callback waits for a call running just now).
ServerWaitBound::~ServerWaitBound()
{
    std::lock_guard guard(silence_->mutex);
    silence_->ended = true;
    cutWatcher.cancel(silence_->due);
}

std::stop_token ServerStopScope::current()
{
    StopCut& cut = threadCut();
    std::lock_guard guard(cut.mutex);
    return cut.stop;
}

bool WorkStopped() { return ServerStopScope::current().stop_requested(); }

void ThrowWhenStopped()
{
    if (WorkStopped())
        throw stoppedError();
}

bool EndsTheTransaction(const DbError& e) { return e.code() == E_DB_CONNECTION_LOST || e.code() == E_DB_STOPPED; }

namespace detail {

void watchSession(const QString& key, pg_conn* session)
{
    if (!session)
        return;
    StopCut& cut = threadCut();
    std::lock_guard guard(cut.mutex);
    cut.sessions[key] = session;
    if (cut.cut)
        if (const int socket = PQsocket(session); socket >= 0)
            ::shutdown(socket, SHUT_RDWR);
}

void unwatchSession(const QString& key)
{
    StopCut& cut = threadCut();
    std::lock_guard guard(cut.mutex);
    cut.sessions.erase(key);
}

WatchedSession::WatchedSession(QString key, pg_conn* session) : key_(std::move(key)) { watchSession(key_, session); }

WatchedSession::~WatchedSession() { unwatchSession(key_); }

bool sessionsCut()
{
    StopCut& cut = threadCut();
    std::lock_guard guard(cut.mutex);
    return cut.cut;
}

DbError stoppedError()
{
    StopCut& cut = threadCut();
    std::lock_guard guard(cut.mutex);
    if (cut.saidAsLost)
        return DbError(E_DB_CONNECTION_LOST, QString::fromUtf8(kConnectionLostText), serverName(), kSource);
    return DbError(E_DB_STOPPED, QString::fromUtf8(kServerWorkStoppedText), serverName(), kSource);
}

std::optional<ServerWaitBound> boundOutsideWork(const QSqlDatabase& db)
{
    if (!IsServer(db) || ServerStopScope::current().stop_possible())
        return std::nullopt;
    return std::optional<ServerWaitBound>(std::in_place);
}

void noteStatementSent()
{
    threadCut().lastSent.store(std::chrono::steady_clock::now().time_since_epoch().count());
}

void refuseWhenStopped()
{
    if (WorkStopped())
        throw stoppedError();
}

} // namespace detail

} // namespace kalvor::db
