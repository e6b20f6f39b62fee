#include "platform/TaskThread.h"

#include "platform/Db.h"
#include "platform/DbServerWork.h"
#include "platform/FileFailure.h"
#include "platform/WorkerThread.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMetaObject>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <system_error>

namespace kalvor::platform {

QString FileErrorKindText(int kind)
{
    switch (kind) {
    case FILE_ERROR_OPEN: return QStringLiteral("Ошибка при открытии файла");
    case FILE_ERROR_LOCK: return QStringLiteral("Ошибка захвата файла");
    case FILE_ERROR_WRITE: return QStringLiteral("Ошибка записи в файл");
    case FILE_ERROR_READ: return QStringLiteral("Ошибка чтения файла");
    case FILE_ERROR_DISK_FULL: return QStringLiteral("Недостаточно места на диске");
    default: return QStringLiteral("Прочая ошибка");
    }
}

QString WrittenFileLine(const QString& path, const QString& handedOn)
{
    QString line = QStringLiteral("Записан файл %1").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    if (!handedOn.isEmpty())
        line += QStringLiteral(", ") + handedOn;
    // A folder that cannot be opened to sync its entries is said with the
    // written file's line (without a sync: the line may be made on the
    // user-interface thread).
    if (const QString warning = FolderOpenWarning(QFileInfo(path).absoluteFilePath()); !warning.isEmpty())
        line += QLatin1Char('\n') + warning;
    return line;
}

TaskOutcome ViewedDocumentOutcome(const QString& path, const QString& viewerText)
{
    if (!viewerText.isEmpty())
        return TaskOutcome(TASK_DONE, kDocumentNotShown, viewerText);
    return TaskOutcome(TASK_DONE, 0, WrittenFileLine(path, QStringLiteral("открыт в программе просмотра")));
}

// State of one run, shared by the owner and its worker.
struct TaskThread::Run {
    explicit Run(quint64 generation) : generation(generation) {}
    const quint64 generation;
    std::stop_source stop;
    std::mutex mutex;
    std::condition_variable endedCv;
    bool ended = false; // the body has returned (guarded by mutex)
};

void TaskContext::progress(int position, int count)
{
    report([position, count](TaskThread* owner) { emit owner->progress(position, count); });
}

void TaskContext::stage(int wParam, int lParam)
{
    report([wParam, lParam](TaskThread* owner) { emit owner->stage(wParam, lParam); });
}

void TaskContext::calcProgress(int index, int errors, int position, int count)
{
    report([index, errors, position, count](TaskThread* owner) {
        emit owner->progress(position, count);
        emit owner->calcProgress(index, errors);
    });
}

void TaskContext::report(std::function<void(TaskThread*)> emitter)
{
    if (!m_owner) // a body run on the calling thread reports to nobody
        return;
    TaskThread* owner = m_owner;
    m_owner->post(m_generation, [owner, emitter = std::move(emitter)] { emitter(owner); });
}

bool ProgressPacer::due()
{
    const auto now = std::chrono::steady_clock::now();
    if (!m_first && now - m_last < m_interval)
        return false;
    m_first = false;
    m_last = now;
    return true;
}

int TaskContext::runOnGui(const std::function<int()>& fn) { return GuiBridge::runBlocking(fn, m_stop); }

TaskOutcome TaskThread::runHere(const Body& body)
{
    TaskContext context(nullptr, 0, std::stop_token());
    return body(context);
}

TaskThread::TaskThread(QObject* parent) : QObject(parent) {}

TaskThread::~TaskThread() { shutdown(); }

bool TaskThread::isRunning() const
{
    if (!m_run)
        return false;
    std::lock_guard lock(m_run->mutex);
    return !m_run->ended;
}

std::shared_ptr<TaskThread::Run> TaskThread::beginRun()
{
    if (isRunning())
        return nullptr;
    if (m_thread.joinable())
        m_thread.join(); // the previous body has returned; its thread is ending
    m_run = std::make_shared<Run>(++m_generation);
    m_detached = false;
    return m_run;
}

bool TaskThread::start(Body body)
{
    std::shared_ptr<Run> run = beginRun();
    if (!run)
        return false;
    try {
        m_thread = std::thread(&TaskThread::workerMain, this, run, std::move(body));
    } catch (const std::system_error&) {
        m_run.reset();
        return false;
    }
    return true;
}

bool TaskThread::startOn(WorkerThread& worker, Body body)
{
    std::shared_ptr<Run> run = beginRun();
    if (!run)
        return false;
    if (!worker.post([this, run, body = std::move(body)]() mutable { workerMain(this, run, std::move(body)); })) {
        m_run.reset();
        return false;
    }
    return true;
}

void TaskThread::requestStop()
{
    if (m_run)
        m_run->stop.request_stop();
}

void TaskThread::waitForEnd(const std::shared_ptr<Run>& run, bool keepEventsTurning)
{
    QCoreApplication* app = keepEventsTurning ? QCoreApplication::instance() : nullptr;
    for (;;) {
        {
            std::unique_lock lock(run->mutex);
            if (run->endedCv.wait_for(lock, std::chrono::milliseconds(10), [&] { return run->ended; }))
                return;
        }
        if (app)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void TaskThread::stopAndWait()
{
    if (!m_run)
        return;
    std::shared_ptr<Run> run = m_run;
    run->stop.request_stop();
    waitForEnd(run, true);
    // The events processed above may have delivered done() already, and its
    // handler may even have started a new run; join only our own thread.
    if (m_run == run && m_thread.joinable())
        m_thread.join();
}

void TaskThread::shutdown()
{
    m_detached = true;
    stopAndWait();
}

void TaskThread::post(quint64 generation, std::function<void()> emitter)
{
    QMetaObject::invokeMethod(
        this,
        [this, generation, emitter = std::move(emitter)] {
            if (!m_detached && generation == m_generation)
                emitter();
        },
        Qt::QueuedConnection);
}

void TaskThread::finish(quint64 generation, TaskOutcome outcome, const QString& failure)
{
    if (m_detached || generation != m_generation)
        return;
    if (m_thread.joinable())
        m_thread.join();
    else if (m_run)
        waitForEnd(m_run, false); // a body on a long-lived worker: it marks its end just after posting this
    emit done(outcome.result, outcome.detail, failure);
}

void TaskThread::workerMain(TaskThread* self, std::shared_ptr<Run> run, Body body)
{
    TaskContext context(self, run->generation, run->stop.get_token());
    TaskOutcome outcome;
    QString failure;
    {
        GuiBridge::WorkerScope scope(run->stop.get_token());
        // The stop also ends the body's waits on a server that does not answer.
        db::ServerStopScope serverWork(run->stop.get_token());
        try {
            outcome = body(context);
            failure = outcome.message;
        } catch (...) {
            outcome = TaskOutcome(TASK_FAILED, 0);
            failure = describeException(std::current_exception());
        }
        // The body and whatever it captured go before the owner may go on.
        body = nullptr;
    }
    const quint64 generation = run->generation;
    QMetaObject::invokeMethod(
        self, [self, generation, outcome, failure] { self->finish(generation, outcome, failure); },
        Qt::QueuedConnection);
    {
        std::lock_guard lock(run->mutex);
        run->ended = true;
    }
    run->endedCv.notify_all();
}

QString TaskThread::describeException(std::exception_ptr error)
{
    if (!error)
        return FileErrorKindText(0);
    try {
        std::rethrow_exception(error);
    } catch (const QString& text) {
        return text;
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Ошибка при выделении памяти");
    } catch (const db::DbError& e) {
        // What the program and the engine said of it, never the statement
        // (what() carries that, for the console log).
        const QString words = db::IsRefusal(e) || db::IsBusy(e) ? db::EngineWords(e) : e.description();
        return words.isEmpty() || words == e.message() ? e.message() : e.message() + QLatin1Char('\n') + words;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (const std::string& text) {
        return QString::fromStdString(text);
    } catch (const char* text) {
        return QString::fromUtf8(text);
    } catch (const char16_t* text) {
        return QString::fromUtf16(text);
    } catch (int kind) {
        return FileErrorKindText(kind);
    } catch (...) {
        return FileErrorKindText(0);
    }
}

} // namespace kalvor::platform
