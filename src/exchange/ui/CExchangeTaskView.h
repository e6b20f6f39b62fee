// The frame that every task view of the additional functions shares: the
// task form of the shell (CTaskFormView), Esc back to the panel the function
// belongs to, the exchange workers' message boxes and the dBASE views'
// progress.
#pragma once

#include "exchange/ExchangeWorker.h"
#include "platform/TaskThread.h"
#include "shell/ui/CTaskFormView.h"

#include <QPointer>

#include <functional>

class CExchangeTaskView : public CTaskFormView {
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

    // Esc: the empty view and the panel the function belongs to.
    void LeaveFunction() override;

protected:
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

private:
    LeaveTo m_leaveTo;
};

// WM_TASK_DONE of the dBASE and output-file views: as OnTaskDone, but no data
// (4) shows "Нет данных для выполнения операции".
void OnTaskDoneDbf(CCommonFormView& view, TaskMarquee& marquee, int result, int detail);
