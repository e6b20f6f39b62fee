#pragma once
// How a task view runs its long operation on a worker thread and learns how it
// ended (the task-thread protocol, TaskThreadProtocol: the class TaskThread
// with TaskContext, TaskThreadParams and the codes below).
//
// - The view starts the worker with its parameter block; the block is copied
//   into the worker's own storage before start() returns, so it may be a local
//   of the start handler.
// - Two events: "parameters taken" is implied by that copy; "stop" is a
//   std::stop_token that the worker polls between records
//   (TaskContext::stopRequested()) and hands to the domain functions it calls.
// - The worker reports through TaskContext: progress (WM_TASK_PROGRESS), the
//   calculation's stage and per-employee progress (WM_CALC_STAGE,
//   WM_CALC_PROGRESS). The reports reach the owner as signals on the owner's
//   own thread, queued, in the order they were made.
// - Its body returns a TaskOutcome; the owner receives done() (WM_TASK_DONE)
//   with the TaskResult and its detail after the thread has ended. A body that
//   throws ends with TASK_FAILED and the exception's text.
// - stopAndWait() is the "Stop" button: set stop, wait for the thread while the
//   event loop keeps turning; done() still follows. shutdown() is for the
//   view's destruction: the same without any further signal. The destructor
//   calls shutdown(), but a view whose worker uses the view's own members
//   must call shutdown() first thing in its own destructor, before those
//   members go (that is the view's OnTaskViewDestroy; the wait cursor around
//   it is the view's business).
//
// A worker that needs the user-interface thread (a message box, a modal
// dialog) goes through GuiBridge (TaskContext::runOnGui); the stop event
// cancels such a wait, so closing a view never hangs on it. The body runs in
// a db::ServerStopScope of its stop: a wait on a server that does not answer
// ends within db::kServerStopCutMilliseconds of the stop, its transaction
// rolled back.
//
// A body runs on a thread of its own (start), or on a long-lived
// WorkerThread (startOn) that keeps its base connection from run to run; the
// protocol is the same, "the thread has ended" meaning there that the body
// has returned.
//
// A worker that reports after every record of a fast run paces its reports
// with ProgressPacer, so that the owner's event queue is not flooded.
#include "platform/GuiBridge.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

namespace kalvor::platform {

// Message numbers of the protocol (WM_APP = 0x8000). The owner receives them
// as the signals named beside them; the numbers identify them in logs and in
// code that still dispatches by number.
inline constexpr int WM_APP_BASE = 0x8000;
inline constexpr int WM_TASK_DONE = WM_APP_BASE + 1; // done()
inline constexpr int WM_TASK_PROGRESS = WM_APP_BASE + 2; // progress()
inline constexpr int WM_CALC_STAGE = WM_APP_BASE + 2; // stage(), calculation thread only
inline constexpr int WM_CALC_PROGRESS = WM_APP_BASE + 3; // calcProgress(), calculation thread only

// Outcome of a worker, the first parameter of WM_TASK_DONE.
enum TaskResult : int {
    TASK_DONE = 0, // done
    TASK_FILE_ERROR = 1, // a file failed; the detail is a FileErrorKind
    TASK_FAILED = 2, // failure the view does not show (or already shown)
    TASK_STOPPED = 3, // stopped by the user
    TASK_NO_DATA = 4, // no data ("Нет данных для печати")
    TASK_BAD_CONDITION = 5, // bad selection condition; the detail may carry an error-table code
};

// The detail of a TASK_DONE whose message says that the document written
// could not be shown (the viewer did not start) and where it lies.
inline constexpr int kDocumentNotShown = 1;

// The detail of TASK_FILE_ERROR.
enum FileErrorKind : int {
    FILE_ERROR_OPEN = 1,
    FILE_ERROR_LOCK = 2,
    FILE_ERROR_WRITE = 3,
    FILE_ERROR_READ = 4,
    FILE_ERROR_DISK_FULL = 5, // a write failed on a full disk (or quota)
};

// "Ошибка при открытии файла", "Ошибка захвата файла", "Ошибка записи в файл",
// "Ошибка чтения файла", "Недостаточно места на диске"; any other kind
// "Прочая ошибка".
QString FileErrorKindText(int kind);

// The fields that every task view's parameter block begins with; a view's own
// block derives from it and appends its fields. The stop event and the owner
// are not in it: the TaskThread holds them.
struct TaskThreadParams {
    int shop = 0; // 0 = any
    int brigade = 0; // 0 = any
    int profession = 0; // 0 = any
    int personnelNumber = 0; // 0 = select by shop, brigade and profession
    int markedOnly = 0; // 1: only the employees marked in the list (SelectedOnly of the view)
};

// What a worker body returns: the result and the second parameter of
// WM_TASK_DONE (a FileErrorKind for TASK_FILE_ERROR, the error count of the
// calculation, a message-table code for TASK_BAD_CONDITION).
// A body may add a message that its owner shows with the result; it reaches
// done() as the failure text (an exception's text takes its place).
struct TaskOutcome {
    TaskOutcome(int result = TASK_DONE, int detail = 0, QString message = QString())
        : result(result), detail(detail), message(std::move(message))
    {}
    int result;
    int detail;
    QString message;
};

// A finished run: with the text of a viewer that could not show the
// document written (kDocumentNotShown), or plainly done when it is empty.
inline TaskOutcome DoneOutcome(const QString& viewerText)
{
    return viewerText.isEmpty() ? TaskOutcome(TASK_DONE, 0) : TaskOutcome(TASK_DONE, kDocumentNotShown, viewerText);
}

// The line that ends a run which wrote a file (a document, a text report, an
// XML file): "Записан файл <absolute path>", followed, when it is said, by
// how the file was handed on ("открыт в программе просмотра" ...). The
// folder is opened once more (not synced: no wait on the disk); when it cannot be,
// the folder's warning (FolderOpenWarning) follows on a line of its own.
QString WrittenFileLine(const QString& path, const QString& handedOn = QString());

// A finished run that wrote the document and handed it to its viewer: the
// written file's line saying the viewer started when viewerText is empty;
// otherwise the viewer's text of why it did not start (which names the file
// too) as kDocumentNotShown, which the view says in a box as well.
TaskOutcome ViewedDocumentOutcome(const QString& path, const QString& viewerText);

class TaskThread;
class WorkerThread;

// Lets a worker's reports through at most once an interval (about sixty a
// second by default): the first one at once, then the first one that comes an
// interval or more after the last that went. A worker that held reports back
// sends the last of them itself when it ends.
class ProgressPacer {
public:
    static constexpr std::chrono::milliseconds kDefaultInterval{16};
    explicit ProgressPacer(std::chrono::steady_clock::duration interval = kDefaultInterval) : m_interval(interval) {}
    // Whether a report made now may go (and, when it may, that it went now).
    bool due();

private:
    std::chrono::steady_clock::duration m_interval;
    std::chrono::steady_clock::time_point m_last{};
    bool m_first = true;
};

// The worker's side of the protocol, handed to the body. Usable only on the
// worker thread while the body runs.
class TaskContext {
public:
    // The stop event, polled with a zero wait.
    bool stopRequested() const { return m_stop.stop_requested(); }
    // The stop event itself, for the domain functions that poll it.
    std::stop_token stopToken() const { return m_stop; }

    // WM_TASK_PROGRESS: position (and a second number, such as the selected count).
    void progress(int position, int count = 0);
    // WM_CALC_STAGE.
    void stage(int wParam = 0, int lParam = 0);
    // WM_TASK_PROGRESS with the progress bar's position among count, then
    // WM_CALC_PROGRESS with the index in the employee list and the errors so
    // far, both in one event.
    void calcProgress(int index, int errors, int position, int count);

    // Runs fn on the user-interface thread and waits for its result;
    // GuiBridge::Cancel once the stop event is set.
    int runOnGui(const std::function<int()>& fn);

private:
    friend class TaskThread;
    // Posts emitter to the owner's thread, for this run only.
    void report(std::function<void(TaskThread*)> emitter);
    TaskContext(TaskThread* owner, quint64 generation, std::stop_token stop)
        : m_owner(owner), m_generation(generation), m_stop(std::move(stop))
    {}
    TaskThread* m_owner;
    quint64 m_generation;
    std::stop_token m_stop;
};

class TaskThread : public QObject {
    Q_OBJECT
public:
    using Body = std::function<TaskOutcome(TaskContext&)>;

    explicit TaskThread(QObject* parent = nullptr);
    ~TaskThread() override; // shutdown()

    // Starts body on a new thread with a fresh stop event. Refused (false)
    // while a worker still runs, and when no thread can be created. A previous
    // run whose done() has not been delivered yet is forgotten: its signals
    // no longer arrive.
    bool start(Body body);

    // Starts fn(context, params) with params copied before the thread runs.
    template <class Params, class Fn>
    bool start(Params params, Fn fn)
    {
        return start(bind(std::move(params), std::move(fn)));
    }

    // Runs body on the long-lived worker (after the jobs it runs already)
    // instead of a thread of its own; the same protocol otherwise. Refused
    // while this owner's previous body still runs, and when the worker's
    // thread cannot be created.
    bool startOn(WorkerThread& worker, Body body);
    template <class Params, class Fn>
    bool startOn(WorkerThread& worker, Params params, Fn fn)
    {
        return startOn(worker, bind(std::move(params), std::move(fn)));
    }

    // Runs body on the calling thread, to its end, with a context that reports
    // to nobody and is never stopped: for work that must end before the caller
    // goes on and has no screen to show (building a base, tests).
    static TaskOutcome runHere(const Body& body);

    // True from start() until the worker's body has returned.
    bool isRunning() const;

    // Sets the stop event and returns at once.
    void requestStop();
    // Sets the stop event and waits for the worker without limit, keeping the
    // event loop turning (user input excepted) so that nothing the worker waits
    // for on this thread can block it. done() follows as for any end.
    void stopAndWait();
    // For the owner's destruction: after this no signal reaches the owner;
    // then stopAndWait().
    void shutdown();

    // Text of an exception that ended a worker: a string exception's text,
    // what() of a std::exception (the program's text and database errors
    // derive from it and carry their whole message there), "Ошибка при
    // выделении памяти" for an allocation failure, the FileErrorKind text for
    // an integer exception; else "Прочая ошибка".
    static QString describeException(std::exception_ptr error);

signals:
    void progress(int position, int count); // WM_TASK_PROGRESS
    void stage(int wParam, int lParam); // WM_CALC_STAGE
    void calcProgress(int index, int errors); // WM_CALC_PROGRESS
    void done(int result, int detail,
              QString failure); // WM_TASK_DONE; failure: text of an exception or the body's message

private:
    friend class TaskContext;
    struct Run;
    template <class Params, class Fn>
    static Body bind(Params params, Fn fn)
    {
        return Body([p = std::move(params), f = std::move(fn)](TaskContext& ctx) -> TaskOutcome { return f(ctx, p); });
    }
    // A new run of the next generation; false while the previous one runs.
    std::shared_ptr<Run> beginRun();
    void waitForEnd(const std::shared_ptr<Run>& run, bool keepEventsTurning);
    void post(quint64 generation, std::function<void()> emitter);
    void finish(quint64 generation, TaskOutcome outcome, const QString& failure);
    static void workerMain(TaskThread* self, std::shared_ptr<Run> run, Body body);

    std::thread m_thread;
    std::shared_ptr<Run> m_run;
    quint64 m_generation = 0;
    bool m_detached = false;
};

} // namespace kalvor::platform
