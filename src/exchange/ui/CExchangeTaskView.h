// The frame that every task view of the additional functions shares: the
// form's selection values, the marked-employees start, one worker with its
// marquee, the start handler of button 1040 and Enter, the end of a run with
// its messages, Esc back to the panel the function belongs to, and the
// form's colours.
#pragma once

#include "exchange/ExchangeWorker.h"
#include "platform/TaskThread.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/TaskView.h"

#include <QPointer>
#include <QStringList>

#include <functional>

class QGridLayout;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QPushButton;

class CExchangeTaskView : public CCommonFormView {
    Q_OBJECT
public:
    // Where Esc leaves the function for: the main panel of the additional
    // functions, or one of its working panels.
    enum LeaveTo : int {
        LeaveToMainPanel = -1,
        PanelArbitrarySummaries = 11, // "Генератор сводов в произвольном разрезе"
        PanelDbf = 12, // "Экспорт/импорт информации в формат DBF/dBASE"
        PanelOutputFile = 13, // "Информация о выработке"
        PanelTransferFile = 14, // "Информация о работнике в символьном формате"
        PanelAddFunctions = 15, // "Дополнительные функции": the functions of the main panel itself
    };

    CExchangeTaskView(int formId, LeaveTo leaveTo, CKalvorDoc* doc, QWidget* parent = nullptr);
    // Stops a running worker and waits for it (OnTaskViewDestroy). A derived
    // view whose worker uses the view's own members calls StopWorker() first
    // thing in its own destructor.
    ~CExchangeTaskView() override;

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
    // until the worker ends. The dBASE views ask for the file in between.
    virtual void OnStartButton();
    // Esc: the empty view and the panel the function belongs to.
    void LeaveFunction();

    bool Running() const { return m_worker->isRunning(); }
    int SelectedOnly() const { return m_selectedOnly; }
    const TaskMarquee& Marquee() const { return m_marquee; }

protected:
    // Reads the form's values for a start; false stops the start without a
    // message of its own. The base reads the common strip with "%d" (0 when
    // empty or not a number): shop 1252, brigade 1253, profession 1254 and
    // personnel number 1103.
    virtual bool ReadFormValues();
    // The worker of one start, made from the values just read. Exchange
    // workers are made with ExchangeBody.
    virtual kalvor::platform::TaskThread::Body MakeTaskBody() = 0;
    // Starts the worker; false when no thread could be made.
    virtual bool LaunchWorker(kalvor::platform::TaskThread::Body body);
    // WM_TASK_DONE: the shared OnTaskDone, then the text of an exception that
    // left the worker, if any. The dBASE and output-file views use OnTaskDoneDbf.
    virtual void OnWorkerDone(int result, int detail, const QString& failure);
    // WM_TASK_PROGRESS, queued with the values the view shows.
    virtual void OnWorkerProgress(int position, int count);

    void StopWorker();
    // False while a worker runs (or its start button is disabled).
    bool CanStart() const;
    // Starts the worker of the values just read (MakeTaskBody); the marquee
    // runs and the start buttons are disabled until it ends.
    void StartTask();

    // WM_TASK_PROGRESS of the dBASE and file views (OnDbfProgress): for a
    // list position of 0 or more the entry's personnel number goes into field
    // 1103 and, when no employees are marked (count 0), the employee's shop and
    // brigade into 1252 and 1253 ("%d", empty for 0); a negative position (the
    // end) empties the three. It reads the employee list, so it is called only
    // while the worker waits for it (DbfProgressSender).
    void OnDbfProgress(int position, int count);
    // A worker's progress function that has the view show each report through
    // OnDbfProgress and waits until it is shown; the wait ends with the stop
    // event, and a view that is gone is skipped.
    static std::function<void(int, int)> DbfProgressSender(QPointer<CExchangeTaskView> view,
                                                           kalvor::platform::TaskContext& context);
    // The message boxes of the exchange workers (owned by the main window).
    static const kalvor::exchange::ExchangeMessenger& WorkerBoxes();

    // The block every worker begins with: the strip's values and SelectedOnly.
    kalvor::platform::TaskThreadParams StripParams() const;
    // A worker that runs the writer under the exchange reporter (its failures
    // shown in boxes owned by the main window).
    static kalvor::platform::TaskThread::Body ExchangeBody(kalvor::exchange::ExchangeCodeFamily family,
                                                           kalvor::exchange::ExchangeWriter writer);

    // Building the form: a group box with rows of labelled fields, the start
    // button and the progress place under them. Button 1040 runs
    // OnStartButton; a view connects a second start button itself.
    QGroupBox* BeginForm(const QString& title);
    QLineEdit* AddField(int id, const QString& label, int width = 80);
    QPushButton* AddStartButton(const QString& caption, int id = IdStartButton);
    QWidget* AddProgressPlace();
    // A widget of its own over the whole width of the next row of the form.
    void AddRow(QWidget* widget);

    void keyPressEvent(QKeyEvent* event) override;

    kalvor::platform::TaskThreadParams m_values; // the strip as the last start read it
    TaskMarquee m_marquee;

private:
    void MarkChosenEmployees(const QStringList& numbers);
    void SetStartButtonsEnabled(bool enabled);

    LeaveTo m_leaveTo;
    int m_selectedOnly = 0;
    kalvor::platform::TaskThread* m_worker = nullptr;
    QGroupBox* m_form = nullptr;
    QGridLayout* m_formLayout = nullptr;
};

// WM_TASK_DONE of the dBASE and output-file views: as OnTaskDone, but no data
// (4) shows "Нет данных для выполнения операции".
void OnTaskDoneDbf(CCommonFormView& view, TaskMarquee& marquee, int result, int detail);
