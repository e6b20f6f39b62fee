// The frame of the payroll print views: the form "Печать расчетной
// ведомости" with the selection strip (shop 1252, brigade 1253, profession
// 1254, personnel number 1103), the view's own fields, the button "Печать"
// (1040) and the marquee place (1316); one worker per run, Enter starting it
// as the button does, Esc back to the empty view and working panel 8, and
// the end of a run with its messages.
#pragma once

#include "platform/TaskThread.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/TaskView.h"

#include <QStringList>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

class CPrintTaskView : public CCommonFormView {
    Q_OBJECT
public:
    // The working panel "Расчет зарплаты" that Esc returns to.
    static constexpr int kPayrollPanel = 8;
    static constexpr int kFormGroupBox = 1225;

    CPrintTaskView(int formId, CKalvorDoc* doc, QWidget* parent = nullptr);
    // Stops a running worker and waits for it.
    ~CPrintTaskView() override;

    // The marquee goes over control 1316; the form takes its colours.
    void OnInitialUpdate() override;
    // The field help of the selection strip; the brigade gets the hint of
    // the print forms.
    void ShowFormHelp() override;
    // Employees marked in the help of field 1103 are printed at once, they alone.
    void TakeHelpValues(const QStringList& values) override;
    bool IsWorking() const override { return Running(); }
    void StopWork() override;

    // IDOK (Enter) starts as button 1040 does, IDCANCEL (Esc) leaves.
    bool OnCommand(int id);
    // Button 1040: nothing while a worker runs; otherwise reads the form,
    // starts the worker, runs the marquee and disables the button.
    void OnStartButton();
    bool Running() const { return m_worker->isRunning(); }

protected:
    // The worker of one start, made from the form just read.
    virtual kalvor::platform::TaskThread::Body MakeTaskBody() = 0;
    // Reads the form for a start: the base reads the selection strip.
    virtual void ReadFormValues();
    // The selection strip as the last start read it, with the marked-only flag.
    kalvor::platform::TaskThreadParams StripParams() const;
    kalvor::platform::TaskThreadParams& StripValues() { return m_values; }
    // The working panel Esc shows after the empty view; -1 none.
    virtual int LeavePanel() const { return kPayrollPanel; }
    // Starts a run of the marked employees alone (marks mode).
    void StartMarkedRun();

    // Building the form: the group box, rows of labelled fields, the button
    // and the marquee place under them.
    void BeginForm(const QString& caption = QStringLiteral("Печать расчетной ведомости"));
    QLineEdit* AddField(int id, const QString& label, int width = 80);
    QCheckBox* AddCheckBox(int id, const QString& label);
    // The four fields of the selection strip, in the form's order.
    void AddSelectionFields();
    // The button "Печать" and the marquee place: the end of every form.
    void EndForm();

    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnWorkerDone(int result, int detail, const QString& message);
    void MarkChosenEmployees(const QStringList& numbers);

    kalvor::platform::TaskThreadParams m_values;
    int m_selectedOnly = 0;
    TaskMarquee m_marquee;
    kalvor::platform::TaskThread* m_worker = nullptr;
    QGroupBox* m_form = nullptr;
    QGridLayout* m_formLayout = nullptr;
};

// WM_TASK_DONE of the payroll print views: the marquee goes and the button
// comes back; 4 shows "Нет данных для печати", 5 "Некорректное условие
// поиска" or, with a writer's negative code, that code's text and reason; a
// file error its kind's text; a failure its text; 0 and 3 nothing.
void OnPrintTaskDone(CCommonFormView& view, TaskMarquee& marquee, int result, int detail, const QString& message);
