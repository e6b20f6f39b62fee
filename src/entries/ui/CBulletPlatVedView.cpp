#include "entries/ui/CBulletPlatVedView.h"

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CBulletPlatVedView::CBulletPlatVedView(CKalvorDoc* doc, QWidget* parent)
    : CAvancePrintVedView(kFormId, kEntryStatementFields, doc, parent)
{}

// The worker reads the print command's dialog of this view: it ends first.
CBulletPlatVedView::~CBulletPlatVedView() { StopWorker(); }

TaskThread::Body CBulletPlatVedView::MakeTaskBody()
{
    return
        [params = StatementParams()](TaskContext& context) { return kalvor::SickPayStatementWorker(context, params); };
}
