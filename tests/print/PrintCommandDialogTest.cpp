// The print-command dialog asked from a statement thread: it opens on the
// user-interface thread while the worker waits, and the keys decide.
#include "platform/CodePage.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "print/ui/CPrnEditPrompt.h"
#include "shell/ui/CPrnEditDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kalvor;
using namespace kalvor::print;

namespace {

bool WaitFor(const std::function<bool()>& condition, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class PrintCommandDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        platform::SetWorkingFolder(folder);
        report = folder + QStringLiteral("zavod.typ");
        QFile file(report);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(codepage::toCp1251(QStringLiteral("Итого\r\n")));
        QObject::connect(&thread, &platform::TaskThread::done, [this] { finished = true; });
    }
    void TearDown() override
    {
        thread.shutdown();
        platform::SetWorkingFolder(QString());
    }

    // Starts PrintTextFile on a worker; when its dialog shows (inside the
    // dialog's own event loop) `answer` acts on it. True when the worker ended.
    bool printAnswering(const std::function<void(CPrnEditDlg*)>& answer)
    {
        QTimer poll;
        poll.setInterval(20);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<CPrnEditDlg*>(QApplication::activeModalWidget())) {
                poll.stop();
                EXPECT_FALSE(finished) << "the worker waits for the answer";
                answer(dialog);
            }
        });
        poll.start();
        thread.start([this](platform::TaskContext&) {
            PrintTextFile(doc, report, prompt);
            return platform::TaskOutcome();
        });
        return WaitFor([this] { return finished; });
    }

    QTemporaryDir dir;
    QString folder, report;
    PayrollDoc doc;
    CPrnEditPrompt prompt;
    platform::TaskThread thread;
    bool finished = false;
};

} // namespace

TEST_F(PrintCommandDialog, EnterRunsTheEditedCommand)
{
    const QString command = QStringLiteral("cp %s %1copy.txt").arg(folder);
    ASSERT_TRUE(printAnswering([&](CPrnEditDlg* dialog) {
        EXPECT_EQ(dialog->ReportPath(), report);
        EXPECT_EQ(dialog->CommandEdit()->text(), folder + QStringLiteral("e.sh %s"));
        dialog->CommandEdit()->selectAll();
        QTest::keyClicks(dialog->CommandEdit(), command);
        QTest::keyClick(dialog->CommandEdit(), Qt::Key_Return);
    }));
    EXPECT_EQ(doc.infoBase.config.dosStr, command);
    QFile copy(folder + QStringLiteral("copy.txt"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), codepage::toCp866(QStringLiteral("Итого\r\n")));
}

TEST_F(PrintCommandDialog, EscapeRunsNothing)
{
    doc.infoBase.config.dosStr = QStringLiteral("echo stored");
    ASSERT_TRUE(printAnswering([&](CPrnEditDlg* dialog) {
        EXPECT_EQ(dialog->CommandEdit()->text(), QStringLiteral("echo stored"));
        QTest::keyClick(dialog->CommandEdit(), Qt::Key_Escape);
    }));
    EXPECT_EQ(doc.infoBase.config.dosStr, QStringLiteral("echo stored"));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("console.log")));
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), codepage::toCp1251(QStringLiteral("Итого\r\n")));
}
