// Task bodies on a long-lived worker: the protocol holds as on a thread of
// their own, every run uses the one thread and its one base connection, a
// query left half read by one run holds nothing of the base for the next, and
// paced reports stay within their rate.
#include "platform/WorkerThread.h"
#include "platform/Db.h"
#include "platform/DbSchema.h"
#include "platform/DbTransaction.h"
#include "platform/RawStatement.h"
#include "platform/TaskThread.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

using namespace kalvor;
using namespace kalvor::platform;
using namespace std::chrono_literals;

namespace {

// An owner that writes down its reports and the results of its runs.
struct Owner {
    Owner()
    {
        QObject::connect(&task, &TaskThread::progress, &context, [this](int position, int count) {
            events << QStringLiteral("bar %1/%2").arg(position).arg(count);
        });
        QObject::connect(&task, &TaskThread::calcProgress, &context, [this](int index, int errors) {
            events << QStringLiteral("calc %1 %2").arg(index).arg(errors);
        });
        QObject::connect(&task, &TaskThread::done, &context, [this](int result, int, const QString& failure) {
            results.push_back(result);
            failures << failure;
            runningInDone = task.isRunning();
            if (onDone)
                onDone();
        });
    }
    ~Owner() { task.shutdown(); }
    bool waitDone(std::size_t count)
    {
        return QTest::qWaitFor([&] { return results.size() >= count; }, 10000);
    }

    QObject context;
    TaskThread task;
    QStringList events;
    std::vector<int> results;
    QStringList failures;
    bool runningInDone = true;
    std::function<void()> onDone;
};

} // namespace

TEST(WorkerThread, RunsTheBodiesOfEveryOwnerOnOneThreadUnderTheSameProtocol)
{
    WorkerThread worker;
    EXPECT_FALSE(worker.started());
    Owner first, second;
    std::vector<std::thread::id> threads;
    std::atomic<bool> release{false};

    // The first body waits; the second owner's body queues behind it.
    ASSERT_TRUE(first.task.startOn(worker, [&](TaskContext& ctx) -> TaskOutcome {
        threads.push_back(std::this_thread::get_id());
        while (!release) std::this_thread::sleep_for(1ms);
        ctx.calcProgress(4, 1, 5, 9); // the bar, then the employee, in one report
        return {TASK_DONE, 0};
    }));
    EXPECT_TRUE(worker.started());
    EXPECT_FALSE(first.task.startOn(worker, [](TaskContext&) { return TaskOutcome(); })) << "one run per owner";
    ASSERT_TRUE(second.task.startOn(worker, [&](TaskContext&) -> TaskOutcome {
        threads.push_back(std::this_thread::get_id());
        return {TASK_NO_DATA, 0};
    }));
    EXPECT_TRUE(second.task.isRunning());
    release = true;
    ASSERT_TRUE(first.waitDone(1));
    ASSERT_TRUE(second.waitDone(1));
    EXPECT_EQ(first.events, (QStringList{QStringLiteral("bar 5/9"), QStringLiteral("calc 4 1")}));
    EXPECT_FALSE(first.runningInDone) << "done comes after the body has ended";
    EXPECT_EQ(second.results, std::vector<int>{TASK_NO_DATA});

    // done() may start the next run at once; it runs on the same thread.
    first.onDone = [&] {
        if (first.results.size() != 2)
            return;
        EXPECT_TRUE(first.task.startOn(worker, [&](TaskContext&) -> TaskOutcome {
            threads.push_back(std::this_thread::get_id());
            throw std::runtime_error("сбой");
        }));
    };
    ASSERT_TRUE(first.task.startOn(worker, [&](TaskContext&) -> TaskOutcome {
        threads.push_back(std::this_thread::get_id());
        return {TASK_DONE, 0};
    }));
    ASSERT_TRUE(first.waitDone(3));
    EXPECT_EQ(first.results, (std::vector<int>{TASK_DONE, TASK_DONE, TASK_FAILED}));
    EXPECT_EQ(first.failures.last(), QStringLiteral("сбой"));
    ASSERT_EQ(threads.size(), 4u);
    for (const std::thread::id& id : threads) EXPECT_EQ(id, threads[0]);
    EXPECT_NE(threads[0], std::this_thread::get_id());

    // "Stop" on a body that runs until stopped: it ends, and done() follows.
    ASSERT_TRUE(first.task.startOn(worker, [](TaskContext& ctx) -> TaskOutcome {
        while (!ctx.stopRequested()) std::this_thread::sleep_for(1ms);
        return {TASK_STOPPED, 0};
    }));
    first.task.stopAndWait();
    EXPECT_FALSE(first.task.isRunning());
    ASSERT_TRUE(first.waitDone(4));
    EXPECT_EQ(first.results.back(), TASK_STOPPED);

    // A job run and waited for from here, and one run by a job itself.
    int ranOn = 0;
    worker.run([&] { worker.run([&] { ranOn = worker.isCurrentThread() ? 1 : 2; }); });
    EXPECT_EQ(ranOn, 1);
    EXPECT_THROW(worker.run([] { throw std::runtime_error("x"); }), std::runtime_error);
}

// A run opens the base once; later runs find the connection open. A query
// that a run left half read is ended between runs: the next run sees what
// another connection wrote meanwhile and may write itself (a kept snapshot
// would refuse the write as "busy").
TEST(WorkerThread, KeepsTheBaseConnectionAndLeavesItIdleBetweenRuns)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("kept.sqlite"));
    {
        const QSqlDatabase db = db::Connection::forThread(file);
        db::UseWriteAheadJournal(db);
        db::Execute(db, QStringLiteral("CREATE TABLE dbo.t (id INTEGER PRIMARY KEY, v INTEGER)"));
        db::Execute(db, QStringLiteral("INSERT INTO dbo.t (id, v) VALUES (1, 1), (2, 2), (3, 3)"));
    }
    WorkerThread worker;
    bool openBefore = true;
    int firstValue = 0;
    worker.run([&] {
        openBefore = db::Connection::isOpenForThread(file);
        const QSqlDatabase db = db::Connection::forThread(file);
        db::RawStatement& rows = db::RawStatementFor(db, QStringLiteral("SELECT v FROM dbo.t ORDER BY id"));
        ASSERT_TRUE(rows.next());
        firstValue = rows.toInt(0); // the other two rows are never read
        db::Recordset& kept = db::Statement(db, QStringLiteral("SELECT id FROM dbo.t ORDER BY id"));
        kept.exec();
        ASSERT_TRUE(kept.next());
    });
    EXPECT_FALSE(openBefore);
    EXPECT_EQ(firstValue, 1);

    // Another connection writes meanwhile.
    db::Execute(db::Connection::forThread(file), QStringLiteral("INSERT INTO dbo.t (id, v) VALUES (4, 4)"));

    bool openAgain = false;
    int count = 0;
    QString error;
    worker.run([&] {
        openAgain = db::Connection::isOpenForThread(file);
        const QSqlDatabase db = db::Connection::forThread(file);
        try {
            db::Transaction tr(db);
            count = int(db::RawStatementFor(db, QStringLiteral("SELECT COUNT(*) FROM dbo.t")).selectInt64());
            db::Execute(db, QStringLiteral("INSERT INTO dbo.t (id, v) VALUES (5, 5)"));
            tr.commit();
        } catch (const db::DbError& e) {
            error = e.message();
        }
    });
    EXPECT_TRUE(openAgain);
    EXPECT_EQ(count, 4);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    {
        db::Recordset total(db::Connection::forThread(file), QStringLiteral("SELECT COUNT(*) FROM dbo.t"));
        total.exec();
        ASSERT_TRUE(total.next());
        EXPECT_EQ(total.toInt(0), 5);
    }

    worker.run([] { db::Connection::closeAllForThread(); });
    worker.run([&] { openAgain = db::Connection::isOpenForThread(file); });
    EXPECT_FALSE(openAgain);
    db::Connection::closeForThread(file);
}

// A fast worker that reports after every one of many records: the reports
// that reach the owner stay within about sixty a second, the first and the
// last among them.
TEST(WorkerThread, PacedReportsStayWithinTheirRate)
{
    WorkerThread worker;
    Owner owner;
    constexpr int kRecords = 400000;
    double elapsedMs = 0;
    ASSERT_TRUE(owner.task.startOn(worker, [&](TaskContext& ctx) -> TaskOutcome {
        QElapsedTimer timer;
        timer.start();
        ProgressPacer pacer;
        for (int i = 0; i < kRecords; ++i)
            if (pacer.due() || i == kRecords - 1)
                ctx.calcProgress(i, 0, i, kRecords);
        elapsedMs = double(timer.nsecsElapsed()) / 1e6;
        return {TASK_DONE, 0};
    }));
    ASSERT_TRUE(owner.waitDone(1));
    // Each report is the bar's and the employee's event together.
    ASSERT_GE(owner.events.size(), 4);
    EXPECT_EQ(owner.events.mid(0, 2),
              QStringList({QStringLiteral("bar 0/%1").arg(kRecords), QStringLiteral("calc 0 0")}));
    EXPECT_EQ(owner.events.last(), QStringLiteral("calc %1 0").arg(kRecords - 1));
    EXPECT_LE(double(owner.events.size()) / 2, 2 + elapsedMs / double(ProgressPacer::kDefaultInterval.count()));
}

// A wait for a job bounded by its time: a job behind one that holds the
// thread is not waited for past the bound and runs in its turn once the
// thread is free; on a free thread the job runs within it.
TEST(WorkerThread, AJobWaitedForWithinABoundRunsInItsTurnWhenTheBoundPasses)
{
    WorkerThread thread;
    std::atomic<bool> release{false}, later{false}, atOnce{false};
    ASSERT_TRUE(thread.post([&] {
        while (!release) std::this_thread::yield();
    }));
    EXPECT_FALSE(thread.runWithin([&] { later = true; }, std::chrono::milliseconds(50)));
    EXPECT_FALSE(later.load());
    release = true;
    EXPECT_TRUE(QTest::qWaitFor([&] { return later.load(); }, 60000));
    EXPECT_TRUE(thread.runWithin([&] { atOnce = true; }, std::chrono::minutes(1)));
    EXPECT_TRUE(atOnce.load());
}
