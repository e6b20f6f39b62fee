#include "exchange/ui/CEFuncAmaPRSvodView.h"

#include "exchange/SummaryWorkers.h"
#include "exchange/ui/CExchangeTaskView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/TaskView.h"

#include <QKeyEvent>
#include <QPushButton>

using kalvor::platform::TaskContext;

namespace {

// The exchange workers' message boxes (owned by the main window).
struct WorkerBoxesOf : CExchangeTaskView {
    using CExchangeTaskView::WorkerBoxes;
};

} // namespace

CEFuncAmaPRSvodView::CEFuncAmaPRSvodView(CKalvorDoc* doc, QWidget* parent) : CAmaSvodView(doc, parent), m_prompt(this)
{}

CEFuncAmaPRSvodView::~CEFuncAmaPRSvodView() { StopMergeWorker(); }

void CEFuncAmaPRSvodView::StartMerge()
{
    CAmaSvodView::StartMerge();
    const auto* start = controlAs<QPushButton>(IdStart);
    if (!start || !start->isEnabled())
        return;
    QStringList files;
    for (const QString& name : FileNames()) files << name;
    CKalvorDoc* doc = Document();
    kalvor::print::PrintCommandPrompt* prompt = &m_prompt;
    StartMergeWorker([files, doc, prompt](TaskContext& context) {
        return kalvor::exchange::MergePRSvodThreadProc(context, files, *doc, WorkerBoxesOf::WorkerBoxes(), prompt);
    });
}

void CEFuncAmaPRSvodView::OnMergeDone(int result, int detail, const QString& failure)
{
    CAmaSvodView::OnMergeDone(result, detail, failure);
    ShowTaskResult(this, result, detail, QStringLiteral("Нет данных для печати"));
}

void CEFuncAmaPRSvodView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        CAmaSvodView::keyPressEvent(event);
        return;
    }
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (!frame)
        return;
    StopMergeWorker();
    frame->SwitchView<CEmptyView>();
    frame->ShowWorkPanel(CExchangeTaskView::PanelArbitrarySummaries);
}
