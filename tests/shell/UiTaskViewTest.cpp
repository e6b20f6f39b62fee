// A task view running its worker through the task-thread protocol: progress
// in order, the Stop button, a worker that throws, and closing the view while
// its worker waits on the user-interface thread.
#include "shell/UiTestSupport.h"

#include "platform/GuiBridge.h"
#include "platform/TaskThread.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/TaskView.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;
using kalvor::platform::TaskThread;
namespace kp = kalvor::platform;

namespace {

// A task view as the report and exchange views are made: start and stop
// buttons (1040, 1041), the progress bar 1316, its worker.
class TaskTestView : public CCommonFormView {
public:
    explicit TaskTestView(CKalvorDoc* doc) : CCommonFormView(999, doc)
    {
        auto* layout = new QVBoxLayout(this);
        start = new QPushButton(QStringLiteral("Печать"), this);
        stop = new QPushButton(QStringLiteral("Стоп"), this);
        progress = new QProgressBar(this);
        SetControl(1040, start);
        SetControl(1041, stop);
        SetControl(1316, progress);
        layout->addWidget(start);
        layout->addWidget(stop);
        layout->addWidget(progress);
        thread = new TaskThread(this);
        connect(start, &QPushButton::clicked, this, [this] {
            if (thread->start(body))
                start->setEnabled(false);
        });
        connect(stop, &QPushButton::clicked, this, [this] { thread->stopAndWait(); });
        connect(thread, &TaskThread::progress, this, [this](int position, int) {
            positions.push_back(position);
            progress->setValue(position);
        });
        connect(thread, &TaskThread::done, this, [this](int result, int detail, const QString& failure) {
            results.push_back(result);
            lastDetail = detail;
            // The position count at the moment done() arrives: nothing may follow it.
            positionsAtDone = int(positions.size());
            start->setEnabled(true);
            ShowTaskFailure(failure, this);
        });
    }
    ~TaskTestView() override { OnTaskViewDestroy(*thread); }

    TaskThread::Body body;
    TaskThread* thread = nullptr;
    QPushButton* start = nullptr;
    QPushButton* stop = nullptr;
    QProgressBar* progress = nullptr;
    std::vector<int> positions;
    std::vector<int> results;
    int lastDetail = -1;
    int positionsAtDone = -1;
};

} // namespace

TEST(UiTaskView, ProgressArrivesInOrderAndTheResultComesLast)
{
    CKalvorDoc doc;
    TaskTestView view(&doc);
    view.body = [](TaskContext& ctx) -> TaskOutcome {
        for (int i = 1; i <= 200; ++i) ctx.progress(i);
        return TaskOutcome(kp::TASK_DONE, 7);
    };
    view.progress->setRange(0, 200);
    QTest::mouseClick(view.start, Qt::LeftButton);
    EXPECT_FALSE(view.start->isEnabled()); // one worker at a time
    ASSERT_TRUE(WaitFor([&] { return !view.results.empty(); }));
    ASSERT_EQ(view.positions.size(), 200u);
    for (int i = 0; i < 200; ++i) ASSERT_EQ(view.positions[size_t(i)], i + 1);
    EXPECT_EQ(view.positionsAtDone, 200);
    EXPECT_EQ(view.results, std::vector<int>{kp::TASK_DONE});
    EXPECT_EQ(view.lastDetail, 7);
    EXPECT_EQ(view.progress->value(), 200);
    EXPECT_TRUE(view.start->isEnabled());
}

TEST(UiTaskView, StopEndsTheWorkerWithResultThree)
{
    MessageRecorder rec;
    CKalvorDoc doc;
    TaskTestView view(&doc);
    std::atomic<int> records{0};
    view.body = [&](TaskContext& ctx) -> TaskOutcome {
        for (;;) {
            if (ctx.stopRequested())
                return TaskOutcome(kp::TASK_STOPPED);
            ctx.progress(++records);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    QTest::mouseClick(view.start, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return records.load() >= 5; }));
    QTest::mouseClick(view.stop, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !view.results.empty(); }));
    EXPECT_EQ(view.results, std::vector<int>{kp::TASK_STOPPED});
    EXPECT_EQ(int(view.positions.size()), records.load());
    EXPECT_TRUE(rec.boxes.empty());
    // The view can start again after a stop.
    view.body = [](TaskContext& ctx) -> TaskOutcome {
        ctx.progress(1);
        return TaskOutcome(kp::TASK_DONE);
    };
    QTest::mouseClick(view.start, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return view.results.size() == 2; }));
    EXPECT_EQ(view.results.back(), kp::TASK_DONE);
}

TEST(UiTaskView, AWorkerThatThrowsEndsWithTheFailureCodeAndAMessage)
{
    MessageRecorder rec;
    CKalvorDoc doc;
    TaskTestView view(&doc);
    view.body = [](TaskContext& ctx) -> TaskOutcome {
        ctx.progress(1);
        throw kalvor::TextErrorWithPath(kalvor::kMsgReadFailed, QStringLiteral("/w/swap"));
    };
    QTest::mouseClick(view.start, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !view.results.empty(); }));
    EXPECT_EQ(view.results, std::vector<int>{kp::TASK_FAILED});
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(rec.boxes[0].text, QStringLiteral("Ошибка чтения файла /w/swap"));
    EXPECT_EQ(rec.boxes[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_TRUE(view.start->isEnabled());

    // An allocation failure reads as the program's own message.
    view.body = [](TaskContext&) -> TaskOutcome { throw std::bad_alloc(); };
    QTest::mouseClick(view.start, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return view.results.size() == 2; }));
    ASSERT_EQ(rec.boxes.size(), 2u);
    EXPECT_EQ(rec.boxes[1].text, QStringLiteral("Ошибка при выделении памяти"));
}

TEST(UiTaskView, ClosingTheViewWhileTheWorkerWaitsOnTheBridgeReturnsAtOnce)
{
    MessageRecorder rec;
    CKalvorDoc doc;
    auto* view = new TaskTestView(&doc);
    std::atomic<bool> asking{false};
    std::atomic<int> answer{-1};
    std::atomic<bool> ended{false};
    view->body = [&](TaskContext&) -> TaskOutcome {
        asking = true;
        // A worker's message box goes through the bridge and waits for the
        // user-interface thread, which is busy here in the test.
        answer = KalvorMessageBox(QStringLiteral("Продолжить ?"), MB_YESNO | MB_ICONQUESTION);
        ended = true;
        return TaskOutcome(answer == IDYES ? kp::TASK_DONE : kp::TASK_STOPPED);
    };
    QTest::mouseClick(view->start, Qt::LeftButton);
    QElapsedTimer asked;
    asked.start();
    while ((!asking || kp::GuiBridge::waitingCalls() == 0) && asked.elapsed() < 10000)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_EQ(kp::GuiBridge::waitingCalls(), 1);
    ASSERT_FALSE(ended);

    // The interface thread deletes the view itself: a close that waited for it
    // to show the box would never return; returning, the worker has ended.
    delete view;
    EXPECT_TRUE(ended);
    EXPECT_EQ(answer.load(), IDCANCEL);
    EXPECT_TRUE(rec.boxes.empty()); // the box was never shown
    Settle();
}

// The wait window shows the work's latest report, and the last one made
// though it came right after another: the work reports twice at once and
// waits until the window shows the second, its bar at 2 of 2; then a report
// without a count, which makes the bar busy again.
TEST(UiTaskView, AWaitWindowShowsTheLastReportMadeThoughItCameRightAfterAnother)
{
    // What the window shows: its line and its bar, read on the interface thread.
    struct Shown {
        QString line;
        int value = -1;
        int maximum = -1;
    };
    std::mutex mutex;
    Shown shown;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        auto* bar = window ? window->findChild<QProgressBar*>() : nullptr;
        if (!bar)
            return;
        const QList<QLabel*> labels = window->findChildren<QLabel*>();
        const std::lock_guard lock(mutex);
        shown = {labels.size() == 2 ? labels[1]->text() : QString(), bar->value(), bar->maximum()};
    });
    look.start(5);
    const auto showing = [&](const QString& line, int value, int maximum) {
        for (int waited = 0; waited < 60000; waited += 5) {
            {
                const std::lock_guard lock(mutex);
                if (shown.line == line && shown.value == value && shown.maximum == maximum)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    };
    const bool done = RunWithWaitWindow(QStringLiteral("Работа..."), [&](const WaitProgress& progress) {
        progress(QStringLiteral("первая"), 1, 2);
        progress(QStringLiteral("вторая"), 2, 2);
        if (!showing(QStringLiteral("вторая"), 2, 2))
            return false;
        progress(QStringLiteral("проверка"), 0, 0);
        return showing(QStringLiteral("проверка"), 0, 0);
    });
    EXPECT_TRUE(done);
}
