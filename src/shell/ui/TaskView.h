// What task views that run workers share: the marquee over the progress
// place, the first update, the field help of the common selection strip, the
// end of a run with its messages, the colours of the form, the end of a view
// with a running worker (OnTaskViewDestroy) and the message for a worker that
// failed with an exception. The report and exchange views build on these.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QRect>
#include <QString>

#include <functional>

class CCommonFormView;
class QWidget;

namespace kalvor::platform {
class TaskThread;
}

// Control numbers shared by the task forms.
enum TaskViewControl : int {
    IdStartButton = 1040, // the start button ("Печать", "Выполнить" ...)
    IdSecondStartButton = 1041, // the second start button of the views that have one
    IdProgressPlace = 1316, // where the progress bar goes while a worker runs
    IdComputedPeriod = 1386, // the line that says which period a run computes
    IdPersonnelNumberField = 1103,
    IdFileNameField = 1106,
    IdShopField = 1252,
    IdBrigadeField = 1253,
    IdProfessionField = 1254,
};

// The longest file path a form's file-name field takes.
inline constexpr int kFilePathLength = 259;

// The marquee of a running worker: a progress bar of range 0-0 that fills
// the progress place (control 1316) from the start of a run to its end, and
// does not exist otherwise.
class TaskMarquee {
public:
    void SetPlace(QWidget* place);
    void Start();
    void Stop();
    QProgressBar* Bar() const { return m_bar; }

private:
    QPointer<QWidget> m_place;
    QPointer<QProgressBar> m_bar;
};

// The first update of a task view with a worker: the marquee goes over the
// view's control 1316 (a plain placeholder that keeps its room in the form).
void TaskViewOnInitialUpdate(CCommonFormView& view, TaskMarquee& marquee);

// Field help of the views that have only the common selection strip, for the
// focused field: 1103 the employees of the strip's shop, brigade and
// profession, several of which can be marked; 1106 the path hint; 1252 the
// shops; 1253 the brigade hint; 1254 the professions; other fields nothing.
void TaskViewShowFormHelp(CCommonFormView& view);

// The help of field 1103 that lists every employee of the current list
// ("%d|%s", personnel number and name) without the strip's filter.
void PickAllEmployees(CCommonFormView& view);

// Hints of the task forms.
QString BrigadeFieldHint();
QString FilePathFieldHint();
QString AnyIntegerFieldHint();

// The end of a run, common to every done handler: the marquee goes and the
// start buttons (1040 and, where the form has it, 1041) are enabled again.
void EndTaskRun(CCommonFormView& view, TaskMarquee& marquee);

// The message of a worker's result: 5 "Некорректное условие поиска" and 4 the
// no-data text, with the information icon; 1 the text of the file error kind
// (the detail) with the error icon; other results nothing.
void ShowTaskResult(QWidget* owner, int result, int detail, const QString& noDataText);

// WM_TASK_DONE of the report and exchange views: EndTaskRun, then the result's
// message with "Нет данных для печати" for no data.
void OnTaskDone(CCommonFormView& view, TaskMarquee& marquee, int result, int detail);

// WM_TASK_DONE of the time-sheet reading and transfer-file views: EndTaskRun;
// result 4 shows "Нет работников для заданных параметров", a file error (1)
// the text of its kind (the detail), a bad condition (5) the worker's message
// when it gave one; others nothing.
void OnCopyBaseWorkerDone(CCommonFormView& view, TaskMarquee& marquee, int result, int detail = 0,
                          const QString& message = QString());

// The colours of a task form: edit fields over RGB(245, 235, 235), labels in
// RGB(170, 80, 80). Applied to the form's fields and labels as they stand.
void OnTaskViewCtlColor(QWidget& view);

// The view's destruction: sets the stop event of a running worker and waits
// for it under the wait cursor, keeping the event loop turning, so that a
// worker waiting on the user-interface thread gets Cancel and ends. No signal
// of the worker reaches the view afterwards.
void OnTaskViewDestroy(kalvor::platform::TaskThread& thread);

// Shows the text of an exception that ended a worker (TASK_FAILED with a
// message): an error box with the program's caption. Nothing for an empty text.
void ShowTaskFailure(const QString& failure, QWidget* owner = nullptr);

// Whether the wait window's Esc and close button stop the work: set the
// worker's stop event (a server's tool the work runs then ends at once) and
// the window waits for the work to end.
enum class WaitWindowStop { Never, AskedByEscape };

// What work under a wait window tells of how far it is, from its worker:
// a line shown under the window's text and the bar at position of count
// (the bar is busy until the first report, and while a report's count is 0).
// The window shows the latest report a few times a second, and the last one
// made before the work ends.
using WaitProgress = std::function<void(const QString& line, int position, int count)>;

// Runs work on a worker thread while a modal wait window with the text is
// shown (it cannot be closed meanwhile); the user-interface thread keeps
// turning. Returns what the work returned (false when no worker could start).
bool RunWithWaitWindow(const QString& text, const std::function<bool(const WaitProgress&)>& work,
                       QWidget* owner = nullptr, WaitWindowStop stop = WaitWindowStop::Never);
