#include "shell/ui/TaskView.h"

#include "platform/TaskThread.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <atomic>
#include <memory>

void OnTaskViewDestroy(kalvor::platform::TaskThread& thread)
{
    if (!thread.isRunning()) {
        thread.shutdown();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    thread.shutdown();
    QApplication::restoreOverrideCursor();
}

void ShowTaskFailure(const QString& failure, QWidget* owner)
{
    if (failure.isEmpty())
        return;
    KalvorMessageBox(failure, MB_OK | MB_ICONERROR, QString::fromUtf8(kMessageCaption), owner);
}

namespace {

// The wait window of RunWithWaitWindow: Esc and the close button do nothing.
class WaitWindow : public QDialog {
public:
    WaitWindow(const QString& text, QWidget* owner) : QDialog(owner)
    {
        setWindowTitle(QString::fromUtf8(kMessageCaption));
        setModal(true);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(text, this));
        auto* bar = new QProgressBar(this);
        bar->setRange(0, 0); // busy while the work runs
        bar->setTextVisible(false);
        bar->setMinimumWidth(320);
        layout->addWidget(bar);
    }
    void reject() override {}
};

} // namespace

bool RunWithWaitWindow(const QString& text, const std::function<bool()>& work, QWidget* owner)
{
    WaitWindow window(text, owner);
    kalvor::platform::TaskThread thread;
    auto succeeded = std::make_shared<std::atomic<bool>>(false);
    QObject::connect(&thread, &kalvor::platform::TaskThread::done, &window, [&window](int, int, const QString&) {
        window.done(QDialog::Accepted);
    });
    const bool started = thread.start([work, succeeded](kalvor::platform::TaskContext&) {
        *succeeded = work();
        return kalvor::platform::TaskOutcome(0, 0);
    });
    if (!started)
        return false;
    window.exec();
    thread.shutdown();
    return *succeeded;
}
