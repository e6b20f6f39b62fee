#include "platform/TaskThread.h"
#include "platform/Db.h"
#include "platform/GuiBridge.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace kalvor::platform;
using namespace std::chrono_literals;

namespace {

// A task view reduced to what the protocol needs: it owns the worker, writes
// down every message it receives and stops its worker when destroyed.
class FakeTaskView : public QObject {
public:
    FakeTaskView()
    {
        connect(&task, &TaskThread::progress, this,
                [this](int position, int count) { note(QStringLiteral("progress %1/%2").arg(position).arg(count)); });
        connect(&task, &TaskThread::stage, this,
                [this](int w, int l) { note(QStringLiteral("stage %1 %2").arg(w).arg(l)); });
        connect(&task, &TaskThread::calcProgress, this,
                [this](int index, int errors) { note(QStringLiteral("calc %1 %2").arg(index).arg(errors)); });
        connect(&task, &TaskThread::done, this, [this](int result, int detail, const QString& failure) {
            note(QStringLiteral("done %1 %2").arg(result).arg(detail));
            lastResult = result;
            lastDetail = detail;
            lastFailure = failure;
            runningInDone = task.isRunning();
            ++doneCount;
        });
    }
    ~FakeTaskView() override { task.shutdown(); }

    bool waitDone(int count = 1)
    {
        return QTest::qWaitFor([&] { return doneCount >= count; }, 10000);
    }

    TaskThread task{this};
    QStringList events;
    bool offOwnerThread = false;
    int doneCount = 0;
    int lastResult = -1;
    int lastDetail = -1;
    QString lastFailure;
    bool runningInDone = true;

private:
    void note(const QString& event)
    {
        if (QThread::currentThread() != thread())
            offOwnerThread = true;
        events << event;
    }
};

struct ReportParams : TaskThreadParams {
    int rows = 0;
    QString title;
};

template <class Pred>
bool spinUntil(Pred pred, std::chrono::milliseconds limit = 5s)
{
    // Waits WITHOUT turning the event loop, as a blocked user-interface thread would.
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

} // namespace

TEST(TaskThread, ReportsArriveInOrderOnTheOwnersThreadAndDoneComesLast)
{
    FakeTaskView view;
    ReportParams params;
    params.shop = 4;
    params.rows = 50;
    params.title = QStringLiteral("Ведомость");
    std::atomic<int> seenShop{0}, seenRows{0};
    std::atomic<bool> blockChanged{false};
    QString seenTitle;
    ASSERT_TRUE(view.task.start(params, [&](TaskContext& ctx, const ReportParams& p) -> TaskOutcome {
        spinUntil([&] { return blockChanged.load(); }); // the block below is changed meanwhile
        seenShop = p.shop;
        seenRows = p.rows;
        seenTitle = p.title;
        ctx.stage();
        for (int i = 0; i < p.rows; ++i) ctx.calcProgress(i, i / 10, i, p.rows);
        ctx.progress(p.rows, p.rows);
        return {TASK_DONE, 7};
    }));
    // The worker took its own copy: changing or dropping the block does not reach it.
    params.shop = 99;
    params.rows = 1;
    params.title.clear();
    EXPECT_TRUE(view.task.isRunning());
    EXPECT_FALSE(view.task.start([](TaskContext&) { return TaskOutcome(); })) << "one worker at a time";
    blockChanged = true;

    ASSERT_TRUE(view.waitDone());
    EXPECT_EQ(seenShop, 4);
    EXPECT_EQ(seenRows, 50);
    EXPECT_EQ(seenTitle, QStringLiteral("Ведомость"));

    QStringList expected{QStringLiteral("stage 0 0")};
    for (int i = 0; i < 50; ++i)
        expected << QStringLiteral("progress %1/50").arg(i) << QStringLiteral("calc %1 %2").arg(i).arg(i / 10);
    expected << QStringLiteral("progress 50/50");
    expected << QStringLiteral("done 0 7");
    EXPECT_EQ(view.events, expected);
    EXPECT_FALSE(view.offOwnerThread);
    EXPECT_FALSE(view.runningInDone) << "done arrives after the worker has ended";
    EXPECT_TRUE(view.lastFailure.isEmpty());

    // The next run starts with a fresh stop event and reports as before.
    view.task.requestStop(); // on an ended run: no effect on the next one
    ASSERT_TRUE(view.task.start(
        [](TaskContext& ctx) -> TaskOutcome { return ctx.stopRequested() ? TASK_STOPPED : TASK_NO_DATA; }));
    ASSERT_TRUE(view.waitDone(2));
    EXPECT_EQ(view.lastResult, TASK_NO_DATA);
}

// A body run on the calling thread ends before runHere returns, is never
// stopped, and its reports reach nobody (an owner that exists hears nothing).
TEST(TaskThread, ABodyRunHereEndsOnTheCallingThreadAndReportsToNobody)
{
    FakeTaskView view;
    std::thread::id ranOn;
    const TaskOutcome outcome = TaskThread::runHere([&](TaskContext& ctx) -> TaskOutcome {
        ranOn = std::this_thread::get_id();
        ctx.stage();
        ctx.progress(1, 2);
        ctx.calcProgress(1, 1, 2, 2);
        return {ctx.stopRequested() ? TASK_STOPPED : TASK_DONE, 3, QStringLiteral("готово")};
    });
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(outcome.result, TASK_DONE);
    EXPECT_EQ(outcome.detail, 3);
    EXPECT_EQ(outcome.message, QStringLiteral("готово"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(view.events.isEmpty());
}

TEST(TaskThread, StopEndsTheRunWithStoppedAndDoneStillArrives)
{
    FakeTaskView view;
    std::atomic<int> records{0};
    ASSERT_TRUE(view.task.start([&](TaskContext& ctx) -> TaskOutcome {
        for (int i = 0;; ++i) {
            if (ctx.stopRequested())
                return {TASK_STOPPED, 0};
            ctx.progress(i);
            ++records;
            std::this_thread::sleep_for(1ms);
        }
    }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.events.isEmpty(); }, 5000));
    view.task.stopAndWait(); // the "Stop" button
    EXPECT_FALSE(view.task.isRunning());
    ASSERT_TRUE(view.waitDone());
    EXPECT_EQ(view.lastResult, TASK_STOPPED);
    EXPECT_EQ(view.doneCount, 1);
    // Every record the worker reported arrived, in order, before done.
    ASSERT_EQ(view.events.size(), records + 1);
    for (int i = 0; i < records; ++i) EXPECT_EQ(view.events[i], QStringLiteral("progress %1/0").arg(i));
}

TEST(TaskThread, RestartForgetsTheDoneOfTheRunBefore)
{
    FakeTaskView view;
    ASSERT_TRUE(view.task.start([](TaskContext& ctx) -> TaskOutcome {
        while (!ctx.stopRequested()) std::this_thread::sleep_for(1ms);
        return TASK_STOPPED;
    }));
    view.task.requestStop();
    // The first body ends; its done is still queued when the next run starts.
    ASSERT_TRUE(spinUntil([&] { return !view.task.isRunning(); }));
    ASSERT_TRUE(view.task.start([](TaskContext&) { return TaskOutcome(TASK_DONE, 42); }));
    ASSERT_TRUE(view.waitDone());
    QCoreApplication::processEvents(); // the runs posted everything before their done
    EXPECT_EQ(view.events, QStringList{QStringLiteral("done 0 42")});
}

TEST(TaskThread, DestroyingTheOwnerStopsAndJoinsTheWorkerWithoutFurtherMessages)
{
    std::atomic<bool> sawStop{false};
    auto guard = std::make_shared<int>(0);
    std::weak_ptr<int> watch = guard;
    auto view = std::make_unique<FakeTaskView>();
    ASSERT_TRUE(view->task.start([&, guard](TaskContext& ctx) -> TaskOutcome {
        while (!ctx.stopRequested()) {
            ctx.progress(0);
            std::this_thread::sleep_for(1ms);
        }
        sawStop = true;
        ctx.progress(1); // after the owner decided to go: never delivered
        return TASK_STOPPED;
    }));
    guard.reset();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->events.isEmpty(); }, 5000));
    view.reset();
    EXPECT_TRUE(sawStop);
    EXPECT_TRUE(watch.expired()) << "the worker and what it holds are gone";
    QCoreApplication::processEvents(); // nothing queued may reach the destroyed owner
}

namespace {

// Stands for the database layer's error class, which carries the text of its
// message box in what().
struct FakeDbError : std::exception {
    const char* what() const noexcept override
    {
        return "ОБНАРУЖЕНА ОШИБКА:\nError       : 00000013\nErrorMessage: constraint failed\n";
    }
};

struct UnknownThing {};

} // namespace

TEST(TaskThread, AWorkerThatThrowsEndsWithTheFailureCodeAndItsMessage)
{
    struct Case {
        const char* name;
        std::function<void()> thrower;
        QString message;
    };
    const std::vector<Case> cases{
        {"std::exception", [] { throw std::runtime_error("Сбой записи"); }, QStringLiteral("Сбой записи")},
        {"QString", [] { throw QStringLiteral("Ошибка чтения файла"); }, QStringLiteral("Ошибка чтения файла")},
        {"std::string", [] { throw std::string("Ошибка при открытии файла swap"); },
         QStringLiteral("Ошибка при открытии файла swap")},
        {"const char*", [] { throw "Операция прервана"; }, QStringLiteral("Операция прервана")},
        {"int", [] { throw 2; }, QStringLiteral("Ошибка захвата файла")},
        {"bad_alloc", [] { throw std::bad_alloc(); }, QStringLiteral("Ошибка при выделении памяти")},
        {"database", [] { throw FakeDbError{}; },
         QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nError       : 00000013\nErrorMessage: constraint failed\n")},
        {"database, its statement kept out",
         [] {
             throw kalvor::db::DbError(kalvor::db::E_DB_FAIL, QStringLiteral("Ошибка чтения базы данных"),
                                       QStringLiteral("disk I/O error"), QStringLiteral("Kalvor.Db"),
                                       QStringLiteral("SELECT id, num FROM dbo.konst WHERE id > ?"));
         },
         QStringLiteral("Ошибка чтения базы данных\ndisk I/O error")},
        {"unknown", [] { throw UnknownThing{}; }, QStringLiteral("Прочая ошибка")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTaskView view;
        ASSERT_TRUE(view.task.start([&](TaskContext& ctx) -> TaskOutcome {
            ctx.progress(1);
            c.thrower();
            return TASK_DONE;
        }));
        ASSERT_TRUE(view.waitDone());
        EXPECT_EQ(view.lastResult, TASK_FAILED);
        EXPECT_EQ(view.lastDetail, 0);
        EXPECT_EQ(view.lastFailure, c.message);
        EXPECT_EQ(view.events, (QStringList{QStringLiteral("progress 1/0"), QStringLiteral("done 2 0")}));
    }
}

TEST(GuiBridge, RunsTheFunctionOnTheUserInterfaceThreadAndReturnsItsAnswer)
{
    // On the user-interface thread itself the function runs at once.
    EXPECT_EQ(GuiBridge::runBlocking([] { return 501; }), 501);

    FakeTaskView view;
    std::atomic<bool> ranOnGui{false};
    ASSERT_TRUE(view.task.start([&](TaskContext& ctx) -> TaskOutcome {
        const int answer = ctx.runOnGui([&] {
            ranOnGui = QThread::currentThread() == QCoreApplication::instance()->thread();
            return 502;
        });
        // The plain call finds the worker's stop event by itself.
        const int second = GuiBridge::runBlocking([] { return 500; });
        return {TASK_DONE, answer * 1000 + second};
    }));
    ASSERT_TRUE(view.waitDone());
    EXPECT_TRUE(ranOnGui);
    EXPECT_EQ(view.lastDetail, 502500);

    // An exception of the function goes back to the worker, not into the event loop.
    ASSERT_TRUE(view.task.start([](TaskContext& ctx) -> TaskOutcome {
        ctx.runOnGui([]() -> int { throw QStringLiteral("Ошибка записи в файл"); });
        return TASK_DONE;
    }));
    ASSERT_TRUE(view.waitDone(2));
    EXPECT_EQ(view.lastResult, TASK_FAILED);
    EXPECT_EQ(view.lastFailure, QStringLiteral("Ошибка записи в файл"));
}

TEST(GuiBridge, ClosingTheViewWhileItsWorkerWaitsReturnsAtOnce)
{
    std::atomic<bool> waiting{false};
    std::atomic<bool> functionRan{false};
    std::atomic<int> answer{-1}, laterAnswer{-1};
    auto view = std::make_unique<FakeTaskView>();
    ASSERT_TRUE(view->task.start([&](TaskContext& ctx) -> TaskOutcome {
        waiting = true;
        answer = ctx.runOnGui([&] {
            functionRan = true;
            return 1;
        });
        // Once stopped, a new call is cancelled at once and never runs.
        laterAnswer = GuiBridge::runBlocking([&] {
            functionRan = true;
            return 1;
        });
        return TASK_STOPPED;
    }));
    // The user-interface thread is busy elsewhere: the call stays queued.
    ASSERT_TRUE(spinUntil([&] { return waiting.load() && GuiBridge::waitingCalls() == 1; }));

    // The interface thread closes the view itself: a close that waited for it
    // to take the call would never return. Returning, it has cancelled the
    // call and ended the worker.
    view.reset();
    EXPECT_EQ(answer, GuiBridge::Cancel);
    EXPECT_EQ(laterAnswer, GuiBridge::Cancel);
    QCoreApplication::processEvents();
    EXPECT_FALSE(functionRan) << "a call abandoned before it started never runs";
}

TEST(GuiBridge, ClosingTheViewWhileTheWorkersDialogIsOpenReturnsAtOnce)
{
    // The function runs a nested event loop, as a modal dialog does; the view is
    // closed from inside it.
    std::atomic<int> answer{-1};
    bool dialogClosed = false;
    auto view = std::make_unique<FakeTaskView>();
    bool closeReturned = false;
    ASSERT_TRUE(view->task.start([&](TaskContext& ctx) -> TaskOutcome {
        answer = ctx.runOnGui([&] {
            QEventLoop modal;
            QTimer::singleShot(20, [&] {
                view.reset();
                // The worker has already been answered when the close returns,
                // long before the dialog's loop ends.
                closeReturned = answer == GuiBridge::Cancel && !dialogClosed;
            });
            QTimer::singleShot(200, &modal, &QEventLoop::quit);
            modal.exec();
            dialogClosed = true;
            return 6; // IDYES, too late: the worker has gone
        });
        return TASK_STOPPED;
    }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogClosed; }, 5000));
    EXPECT_FALSE(view);
    EXPECT_TRUE(closeReturned);
    EXPECT_EQ(answer, GuiBridge::Cancel);
}
