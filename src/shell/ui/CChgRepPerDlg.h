// The progress dialog of the change of the reporting month: on its first
// timer tick it starts the worker that moves every employee to the new month
// (the mover it is given) and steps its progress bar once per employee;
// it closes with the worker's negative result or 0 when the worker ends, and
// with 1 when the worker cannot be started.
#pragma once

#include "shell/ui/MonthChange.h"

#include <QDialog>

#include <exception>
#include <memory>

class CKalvorDoc;
class QProgressBar;
class QTimer;

namespace kalvor::platform {
class TaskThread;
}

class CChgRepPerDlg : public QDialog {
    Q_OBJECT
public:
    CChgRepPerDlg(int newMonthKey, CKalvorDoc* doc, MonthMover mover, QWidget* parent = nullptr);
    ~CChgRepPerDlg() override;

    // Runs the dialog and returns its result. A database error or allocation
    // failure of the move is thrown again here, on the caller's thread, once
    // the dialog has closed.
    int DoModal();

    QProgressBar* Progress() const { return m_progress; }

public slots:
    // The move cannot be interrupted: Esc and the window's close do nothing
    // while it runs.
    void reject() override;

private:
    void OnTimer();
    void OnDone(int result, int detail, const QString& failure);

    int m_newMonthKey;
    CKalvorDoc* m_doc;
    MonthMover m_mover;
    QProgressBar* m_progress = nullptr;
    QTimer* m_timer = nullptr;
    kalvor::platform::TaskThread* m_thread = nullptr;
    bool m_started = false;
    std::shared_ptr<std::exception_ptr> m_error = std::make_shared<std::exception_ptr>();
};
