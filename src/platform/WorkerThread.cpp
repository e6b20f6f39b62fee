#include "platform/WorkerThread.h"

#include "platform/Db.h"

#include <exception>
#include <memory>
#include <system_error>

namespace kalvor::platform {

WorkerThread::~WorkerThread()
{
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

bool WorkerThread::post(std::function<void()> job)
{
    std::lock_guard lock(m_mutex);
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread(&WorkerThread::main, this);
        } catch (const std::system_error&) {
            return false;
        }
    }
    m_jobs.push_back(std::move(job));
    m_wake.notify_one();
    return true;
}

void WorkerThread::run(const std::function<void()>& job)
{
    if (isCurrentThread()) {
        job();
        return;
    }
    std::mutex doneMutex;
    std::condition_variable doneCv;
    bool done = false;
    std::exception_ptr error;
    const bool posted = post([&] {
        try {
            job();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(doneMutex);
        done = true;
        doneCv.notify_all();
    });
    if (!posted)
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    std::unique_lock lock(doneMutex);
    doneCv.wait(lock, [&] { return done; });
    if (error)
        std::rethrow_exception(error);
}

bool WorkerThread::runWithin(std::function<void()> job, std::chrono::milliseconds bound)
{
    if (isCurrentThread()) {
        job();
        return true;
    }
    // What the job tells of its end outlives this wait, should the job run later.
    struct Done {
        std::mutex mutex;
        std::condition_variable cv;
        bool done = false;
    };
    const auto state = std::make_shared<Done>();
    const bool posted = post([state, job = std::move(job)] {
        job();
        const std::lock_guard lock(state->mutex);
        state->done = true;
        state->cv.notify_all();
    });
    if (!posted)
        return false;
    std::unique_lock lock(state->mutex);
    return state->cv.wait_for(lock, bound, [&] { return state->done; });
}

bool WorkerThread::started() const
{
    std::lock_guard lock(m_mutex);
    return m_thread.joinable();
}

bool WorkerThread::isCurrentThread() const
{
    std::lock_guard lock(m_mutex);
    return m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id();
}

void WorkerThread::main()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_ending || !m_jobs.empty(); });
        if (m_jobs.empty())
            return; // ending, and nothing left to run
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        lock.unlock();
        job();
        job = nullptr; // what the job captured goes before the next one starts
        db::Connection::idleForThread();
        lock.lock();
    }
}

} // namespace kalvor::platform
