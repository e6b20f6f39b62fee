#pragma once
// The one road by which a worker thread has the user-interface thread do
// something for it: show a message box, run a modal dialog, ask a question.
// Widgets live only on the user-interface thread, so a worker hands a function
// over and waits for its int result (the dialog's or message box's answer).
//
// The wait ends early with Cancel once the worker's stop event is set: a view
// that closes while its worker waits here is never held up by it, and a
// function that has not started yet is then not run at all.
//
// This header needs only QtCore; the functions handed over may use widgets
// (they are written in the ui layers).
#include <functional>
#include <stop_token>

namespace kalvor::platform {

class GuiBridge {
public:
    // The answer of a cancelled call; the same value as the dialogs' IDCANCEL.
    static constexpr int Cancel = 2;

    // Runs fn on the user-interface thread and returns its result. Called on
    // that thread itself, fn runs at once. Called on a worker of a TaskThread,
    // the worker's stop event cancels the wait; elsewhere the wait has no limit.
    // An exception thrown by fn is thrown again here, on the calling thread.
    static int runBlocking(const std::function<int()>& fn);
    // The same with an explicit stop event.
    static int runBlocking(const std::function<int()>& fn, std::stop_token stop);

    // Makes stop the stop event of the calling thread for runBlocking(fn) for
    // the lifetime of the scope object (TaskThread sets it on its workers).
    class WorkerScope {
    public:
        explicit WorkerScope(std::stop_token stop);
        ~WorkerScope();
        WorkerScope(const WorkerScope&) = delete;
        WorkerScope& operator=(const WorkerScope&) = delete;

    private:
        std::stop_token m_previous;
    };

    // The stop event of the calling thread (one that is never set outside a
    // worker scope).
    static std::stop_token currentStopToken();

    // How many workers wait here now for the user-interface thread (their
    // call handed over and neither answered nor cancelled yet): the tests
    // learn by it that a worker has reached its wait.
    static int waitingCalls();
};

} // namespace kalvor::platform
