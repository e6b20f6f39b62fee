#include "entries/ui/CEntryRegisterView.h"

#include "shell/ui/TaskView.h"

CEntryRegisterView::CEntryRegisterView(int formId, CKalvorDoc* doc, QWidget* parent)
    : CPrintTaskView(formId, doc, parent), m_prompt(this)
{}

CEntryRegisterView::~CEntryRegisterView() { StopWorker(); }

void CEntryRegisterView::OnWorkerDone(int result, int detail, const QString& message)
{
    // A bad condition's message is the writer's own text; a failure's is
    // the text of what ended the worker.
    OnCopyBaseWorkerDone(*this, m_marquee, result, detail, message);
    if (result == kalvor::platform::TASK_FAILED)
        ShowTaskFailure(message, this);
    else if (result == kalvor::platform::TASK_DONE)
        ShowRunMessage(detail, message);
}
