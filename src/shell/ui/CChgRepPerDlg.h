// The progress dialog of the change of the reporting month: on its first
// timer tick it starts the worker that moves every employee to the new month
// (the mover it is given) and steps its progress bar once per employee;
// it closes with the worker's negative result or 0 when the worker ends, and
// with 1 when the worker cannot be started. The button "Остановить", Esc and
// the window's close ask whether to stop; a stop the user confirms ends the
// move (also one waiting on a server that does not answer, within 5 s), which
// then throws db::E_DB_STOPPED with the month as it was.
#pragma once

#include "shell/ui/MonthChange.h"

#include <QDialog>

#include <exception>
#include <memory>

class CKalvorDoc;
class QLabel;
class QProgressBar;
class QPushButton;
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

    // The question before a stop.
    static QString StopQuestion();
    // Whether the user answered the question with a stop (the move may have
    // been written all the same, its COMMIT already on its way).
    bool StopAnswered() const { return m_stopAnswered; }

public slots:
    // Esc, the window's close and the stop button: while the move runs, asks
    // whether to stop it and, when so answered, asks the worker to stop (the
    // dialog ends when it has). Before the move began and once it is being
    // stopped, nothing.
    void reject() override;

private:
    void OnTimer();
    void OnDone(int result, int detail, const QString& failure);

    int m_newMonthKey;
    CKalvorDoc* m_doc;
    MonthMover m_mover;
    QProgressBar* m_progress = nullptr;
    QLabel* m_label = nullptr;
    QPushButton* m_stop = nullptr;
    bool m_stopAsked = false;
    bool m_stopAnswered = false;
    QTimer* m_timer = nullptr;
    kalvor::platform::TaskThread* m_thread = nullptr;
    bool m_started = false;
    std::shared_ptr<std::exception_ptr> m_error = std::make_shared<std::exception_ptr>();
};
