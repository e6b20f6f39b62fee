#include "shell/ui/TaskView.h"

#include "platform/TaskThread.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QApplication>

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
