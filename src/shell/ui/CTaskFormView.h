// The frame of a task view that runs one worker from a small form: the
// form's selection values, the marked-employees start, the worker with its
// marquee, the start handler of button 1040 and Enter, the end of a run with
// its messages, Esc to leave the function, and the form's colours. The
// report generator's views and the additional functions build on it.
#pragma once

#include "platform/TaskThread.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/TaskView.h"
#include "shell/ui/FormSelection.h"

#include <QStringList>

#include <functional>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

class CTaskFormView : public CCommonFormView {
    Q_OBJECT
public:
    CTaskFormView(int formId, CKalvorDoc* doc, QWidget* parent = nullptr);
    // Stops a running worker and waits for it (OnTaskViewDestroy). A derived
    // view whose worker uses the view's own members calls StopWorker() first
    // thing in its own destructor.
    ~CTaskFormView() override;

    // The marquee goes over control 1316; the form takes its colours.
    void OnInitialUpdate() override;
    // The field help of the common strip (TaskViewShowFormHelp).
    void ShowFormHelp() override;
    // Employees marked in the help of field 1103: they alone are taken into a
    // run that starts at once. Lines chosen for another field are dropped.
    void TakeHelpValues(const QStringList& values) override;

    // The form's commands: IDOK (Enter) starts as button 1040 does, IDCANCEL
    // (Esc) leaves the function. False for any other command.
    virtual bool OnCommand(int id);
    // Button 1040: nothing while a worker runs; otherwise reads the form and
    // starts the worker, the marquee runs and the start buttons are disabled
    // until the worker ends.
    virtual void OnStartButton();
    // Esc: the screen the function belongs to.
    virtual void LeaveFunction() = 0;

    bool Running() const { return m_worker->isRunning(); }
    int SelectedOnly() const { return m_selectedOnly; }
    const TaskMarquee& Marquee() const { return m_marquee; }

protected:
    // Reads the form for a start: every field by its kind first, the first
    // that does not read said and focused (nothing runs then), then
    // ReadFormValues. False stops the start.
    bool ReadForm();
    // Reads the form's values for a start, once every field has read by its
    // kind; false stops the start without a message of its own. The base
    // reads the common strip (TypedValue): shop 1252, brigade 1253,
    // profession 1254 and personnel number 1103, 0 for an empty field.
    virtual bool ReadFormValues();
    // The worker of one start, made from the values just read.
    virtual kalvor::platform::TaskThread::Body MakeTaskBody() = 0;
    // Starts the worker; false when no thread could be made.
    virtual bool LaunchWorker(kalvor::platform::TaskThread::Body body);
    // WM_TASK_DONE: the shared OnTaskDone, then the text of an exception that
    // left the worker, if any; a finished run's message (TASK_DONE) goes to
    // the outcome line instead (ShowRunMessage).
    virtual void OnWorkerDone(int result, int detail, const QString& failure);
    // Puts the text into the outcome line.
    void ShowOutcome(const QString& text);
    // A finished run's message: into the outcome line; a document the viewer
    // could not show (detail kDocumentNotShown) is also said in a box.
    void ShowRunMessage(int detail, const QString& message);
    // WM_TASK_PROGRESS, queued with the values the view shows.
    virtual void OnWorkerProgress(int position, int count);

    void StopWorker();
    // False while a worker runs (or its start button is disabled).
    bool CanStart() const;
    // Starts the worker of the values just read (MakeTaskBody); the marquee
    // runs and the start buttons are disabled until it ends.
    void StartTask();

    // The block every worker begins with: the strip's values and SelectedOnly.
    kalvor::platform::TaskThreadParams StripParams() const;

    // Building the form: a group box with rows of labelled fields, the start
    // button and the progress place under them. Button 1040 runs
    // OnStartButton; a view connects a second start button itself.
    QGroupBox* BeginForm(const QString& title);
    // A labelled field of the kind given (shell/ui/TypedInput.h); its
    // refusals name it by its label.
    CTypedEdit* AddField(int id, const QString& label, InputKind kind, int width = 80);
    // A field of a text of at most `length` characters (a file's name, a signature).
    CTypedEdit* AddTextField(int id, const QString& label, int length, int width);
    // A field of the common strip (shop 1252, brigade 1253, profession 1254,
    // personnel number 1103) with its kind (SelectionKind).
    CTypedEdit* AddSelectionField(int id, const QString& label);
    QCheckBox* AddCheckBox(int id, const QString& label);
    QPushButton* AddStartButton(const QString& caption, int id = IdStartButton);
    QWidget* AddProgressPlace();
    // A widget of its own over the whole width of the next row of the form.
    void AddRow(QWidget* widget);
    // The line (control 1386) that says which period the run computes, in
    // the words the function gives from the parameters as they stand; said
    // again each time the view is shown, so that it follows the parameters.
    void AddPeriodLine(std::function<QString()> text);

    void keyPressEvent(QKeyEvent* event) override;

    kalvor::platform::TaskThreadParams m_values; // the strip as the last start read it
    TaskMarquee m_marquee;

private:
    void MarkChosenEmployees(const QStringList& numbers);
    void SetStartButtonsEnabled(bool enabled);

    int m_selectedOnly = 0;
    kalvor::platform::TaskThread* m_worker = nullptr;
    QGroupBox* m_form = nullptr;
    QGridLayout* m_formLayout = nullptr;
    // The line under the progress place that says how the last run ended
    // (what was written and where); empty while a run goes.
    QLabel* m_outcome = nullptr;
    std::function<QString()> m_periodText;
};
