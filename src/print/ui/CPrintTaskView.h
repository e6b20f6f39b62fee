// The frame of the payroll print views: the form captioned with the view's
// document, with the selection strip (shop 1252, brigade 1253, profession
// 1254, personnel number 1103), the view's own fields, the button "Печать"
// (1040) and the marquee place (1316); the shell's task-form frame runs one
// worker per run, Enter starting it as the button does; Esc goes back to the
// empty view and working panel 8, and a run ends with the print messages.
#pragma once

#include "shell/ui/CTaskFormView.h"

class CPrintTaskView : public CTaskFormView {
    Q_OBJECT
public:
    // The working panel "Расчет зарплаты" that Esc returns to.
    static constexpr int kPayrollPanel = 8;
    static constexpr int kFormGroupBox = 1225;

    CPrintTaskView(int formId, CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CPrintTaskView() override;

    // The field help of the selection strip; the brigade gets the hint of
    // the print forms.
    void ShowFormHelp() override;
    bool IsWorking() const override { return Running(); }
    void StopWork() override { StopWorker(); }
    // Esc: the empty view and the working panel of LeavePanel.
    void LeaveFunction() override;

protected:
    // The base reads the selection strip (its fields have read by their
    // kinds before: CTaskFormView::ReadForm), whose personnel number becomes
    // the document's selection key.
    bool ReadFormValues() override;
    // The working panel Esc shows after the empty view; -1 none.
    virtual int LeavePanel() const { return kPayrollPanel; }
    // The end of a run with the print messages (OnPrintTaskDone).
    void OnWorkerDone(int result, int detail, const QString& message) override;

    // Building the form: the group box (1225), the four fields of the
    // selection strip in the form's order, and the button "Печать" with the
    // marquee place that end every form.
    // The caption names the view's own document ("Печать лицевых счетов" ...).
    void BeginForm(const QString& caption);
    void AddSelectionFields();
    void EndForm();
};

// WM_TASK_DONE of the payroll print views: the marquee goes and the button
// comes back; 4 shows "Нет данных для печати", 5 "Некорректное условие
// поиска" or, with a writer's negative code, that code's text and reason; a
// file error its kind's text; a failure its text; 0 and 3 nothing (the view
// puts a finished run's message into its outcome line).
void OnPrintTaskDone(CCommonFormView& view, TaskMarquee& marquee, int result, int detail, const QString& message);
