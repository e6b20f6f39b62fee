// The copy of the base before the reporting month changes: a modal dialog
// whose worker, started on the dialog's first timer tick, makes the dated
// archive of the base file and the reference files (MakeBaseArchive). Made for
// the document, the worker first stores the configuration in the base, so that
// the copy holds it as the program has it; the user-interface thread writes
// nothing.
#pragma once

#include "shell/ui/MonthChange.h"

#include <QDialog>

#include <memory>

class CKalvorDoc;
class QProgressBar;
class QTimer;

namespace kalvor::platform {
class TaskThread;
}

class CArchProcDlg : public QDialog {
    Q_OBJECT
public:
    // The archive of the document's base in the working folder, its
    // configuration saved first.
    explicit CArchProcDlg(CKalvorDoc* doc, QWidget* parent = nullptr);
    // An explicit job (tests, other callers).
    explicit CArchProcDlg(const ArchiveJob& job, QWidget* parent = nullptr);
    ~CArchProcDlg() override;

    // Runs the dialog: 0 when the copy is made, a negative value when it failed.
    int DoModal() { return exec(); }

    const ArchiveJob& Job() const { return m_job; }
    // Why the copy failed (empty after success).
    QString ErrorText() const { return m_error; }

public slots:
    // The copy cannot be interrupted: Esc and the window's close do nothing
    // while it runs.
    void reject() override;

private:
    void Build();
    void OnTimer();
    void OnDone(int result, int detail, const QString& failure);

    ArchiveJob m_job;
    CKalvorDoc* m_doc = nullptr;
    QString m_error;
    std::shared_ptr<QString> m_workerError = std::make_shared<QString>();
    QProgressBar* m_progress = nullptr;
    QTimer* m_timer = nullptr;
    kalvor::platform::TaskThread* m_thread = nullptr;
    bool m_started = false;
};
