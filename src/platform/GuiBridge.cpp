#include "platform/GuiBridge.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

namespace kalvor::platform {

namespace {

thread_local std::stop_token t_currentStop;
std::atomic<int> g_waitingCalls{0};

// Counts a worker among the waiting ones while it waits.
class WaitingCall {
public:
    WaitingCall() { ++g_waitingCalls; }
    ~WaitingCall() { --g_waitingCalls; }
    WaitingCall(const WaitingCall&) = delete;
    WaitingCall& operator=(const WaitingCall&) = delete;
};

// One hand-over. It is shared by the waiting thread and the queued call, so
// either side may go away first: a call abandoned by a stopped worker simply
// finds nobody waiting when (and if) it runs.
struct Call {
    std::function<int()> fn;
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    bool abandoned = false;
    int result = GuiBridge::Cancel;
    std::exception_ptr error;
};

} // namespace

GuiBridge::WorkerScope::WorkerScope(std::stop_token stop) : m_previous(std::move(t_currentStop))
{
    t_currentStop = std::move(stop);
}

GuiBridge::WorkerScope::~WorkerScope() { t_currentStop = std::move(m_previous); }

std::stop_token GuiBridge::currentStopToken() { return t_currentStop; }

int GuiBridge::waitingCalls() { return g_waitingCalls; }

int GuiBridge::runBlocking(const std::function<int()>& fn) { return runBlocking(fn, t_currentStop); }

int GuiBridge::runBlocking(const std::function<int()>& fn, std::stop_token stop)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread())
        return fn();
    if (stop.stop_requested())
        return Cancel;

    auto call = std::make_shared<Call>();
    call->fn = fn;
    const bool posted = QMetaObject::invokeMethod(
        app,
        [call, stop] {
            {
                std::lock_guard lock(call->mutex);
                if (call->abandoned || stop.stop_requested())
                    return;
            }
            int result = Cancel;
            std::exception_ptr error;
            try {
                result = call->fn();
            } catch (...) {
                // Never let an exception into the event loop: it goes back
                // to the worker that asked for the call.
                error = std::current_exception();
            }
            {
                std::lock_guard lock(call->mutex);
                call->result = result;
                call->error = error;
                call->done = true;
            }
            call->cv.notify_all();
        },
        Qt::QueuedConnection);
    if (!posted)
        return Cancel;

    // Setting the stop event wakes the wait below.
    std::stop_callback wake(stop, [call] {
        std::lock_guard lock(call->mutex);
        call->cv.notify_all();
    });
    const WaitingCall counted;
    std::unique_lock lock(call->mutex);
    call->cv.wait(lock, [&] { return call->done || stop.stop_requested(); });
    if (stop.stop_requested()) {
        // Once stop is set the answer is Cancel, even when the function has
        // just given another one: the worker is on its way out.
        call->abandoned = true;
        return Cancel;
    }
    if (call->error)
        std::rethrow_exception(call->error);
    return call->result;
}

} // namespace kalvor::platform
