#pragma once
// A thread that lives as long as its owner (the information base of a
// document) and runs the jobs handed to it one after another, in the order
// they came. What a job leaves in the thread's own storage stays for the next
// one: above all the thread's connection to the base (db::Connection::
// forThread), opened by the first run and used by every later run instead of
// a new connection per run.
//
// - Between jobs the thread's connections are idle: every statement that
//   they keep is ended (db::Connection::idleForThread), so that a kept
//   connection holds no snapshot and no lock of the base while it waits.
// - The thread starts with the first job. The destructor runs the jobs still
//   queued, then ends the thread; its connections close with it.
// - TaskThread::startOn runs a task body here under the task-thread protocol.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace kalvor::platform {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Queues the job (which must not throw); false when the thread cannot be
    // created.
    bool post(std::function<void()> job);
    // Runs the job on the thread and waits for it, after the jobs queued
    // before it; called by a job of this thread, runs it at once. An exception
    // of the job is thrown again here.
    void run(const std::function<void()>& job);
    // Queues the job (which must not throw) and waits for it at most
    // `bound`: whether it ran within it. A job not run by then still runs in
    // its turn, after the job that holds the thread.
    bool runWithin(std::function<void()> job, std::chrono::milliseconds bound);

    // Whether the thread has been started (by a first job).
    bool started() const;
    // Whether the calling thread is this one.
    bool isCurrentThread() const;

private:
    void main();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_jobs;
    bool m_ending = false;
    std::thread m_thread;
};

} // namespace kalvor::platform
