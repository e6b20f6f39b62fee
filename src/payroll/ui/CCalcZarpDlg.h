#pragma once
// The progress part of the calculation screen: "Стоп", the error counter, the
// progress bar (employees computed of those selected) and the line that says
// how the last run ended, and the worker that computes the selected employees.
#include "payroll/CalcThread.h"
#include "shell/ui/CFormChildDlg.h"

#include <QString>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kalvor::platform {
class TaskThread;
}

class CCalcZarpDlg : public CFormChildDlg {
    Q_OBJECT
public:
    enum { IdStop = 2, IdProgress = 1309, IdErrors = 1310 };

    explicit CCalcZarpDlg(CCommonFormView* view);
    ~CCalcZarpDlg() override;

    // One employee (record slot); a slot that is not in the list computes nobody.
    void LoadRecord(quint32 slot) override;
    // Every employee of the shop, brigade and profession (0 = any).
    void SetSelection(int shop, int brigade, int profession) override;

    // Stops a calculation that runs, then starts one for the parameters.
    void StartCalculation(const kalvor::CalcThreadParams& params);
    // "Стоп": stops the running calculation and waits for it; nothing without one.
    void OnCancel();

    bool IsRunning() const;
    QProgressBar* Progress() const { return m_progress; }
    const kalvor::RunOutcome& Report() const { return m_report; }
    kalvor::platform::TaskThread* Thread() const { return m_thread; }

    // Handlers of the worker's messages.
    void OnCalcStage();
    // The progress bar: position among count employees (0 of count at the start).
    void OnCalcRange(int position, int count);
    void OnCalcProgress(int index, int errors);
    void OnCalcDone(int result, int errors, const QString& failure);

signals:
    // The run has ended (after the screen has shown its outcome).
    void calculationDone(int result, int errors);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The bar still and without text, as before any run.
    void ClearProgress();
    // The error count, line and notes of the last run gone.
    void ClearOutcome();

    kalvor::platform::TaskThread* m_thread = nullptr;
    QPushButton* m_stop = nullptr;
    QLabel* m_errors = nullptr;
    QProgressBar* m_progress = nullptr;
    // How the last run ended: the employees computed and the errors; empty
    // while a run goes.
    QLabel* m_outcome = nullptr;
    // The last run's notes by employee (skipped, warned, failed), one a line;
    // empty while a run goes.
    QPlainTextEdit* m_notes = nullptr;
    kalvor::RunOutcome m_report; // filled by the worker, read once it has ended
    int m_listed = 0; // the employees of the list that the selection names
    int m_computed = 0; // the employees computed so far by the run, failed or not
    int m_selected = -1; // the employees it computes; -1 while they are loaded
    bool m_restarting = false;
};
