// The copy of the base before the reporting month changes: a modal dialog
// whose worker, started on the dialog's first timer tick, makes the dated
// archive of the base file and the reference files (MakeBaseArchive). Made for
// the document, the worker first stores the configuration in the base, so that
// the copy holds it as the program has it; the user-interface thread writes
// nothing. The button "Остановить", Esc and the window's close stop the copy
// (also a server's pg_dump whose server does not answer): the dialog ends as
// a failed copy once the worker has ended, and no copy is left.
#pragma once

#include "shell/ui/MonthChange.h"

#include <QDialog>

#include <memory>

class CKalvorDoc;
class QLabel;
class QProgressBar;
class QPushButton;
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

    // The error text of a stopped copy.
    static QString StoppedText();

public slots:
    // Esc, the window's close and the stop button: the copy is asked to stop
    // (the dialog ends when its worker has); before it began, it never does.
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
    QLabel* m_label = nullptr;
    QPushButton* m_stop = nullptr;
    bool m_stopAsked = false;
    QTimer* m_timer = nullptr;
    kalvor::platform::TaskThread* m_thread = nullptr;
    bool m_started = false;
};
