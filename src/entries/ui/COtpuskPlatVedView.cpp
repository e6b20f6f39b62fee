#include "entries/ui/COtpuskPlatVedView.h"

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

COtpuskPlatVedView::COtpuskPlatVedView(CKalvorDoc* doc, QWidget* parent)
    : CAvancePrintVedView(kFormId, kEntryStatementFields, doc, parent)
{}

// The worker reads the print command's dialog of this view: it ends first.
COtpuskPlatVedView::~COtpuskPlatVedView() { StopWorker(); }

TaskThread::Body COtpuskPlatVedView::MakeTaskBody()
{
    return
        [params = StatementParams()](TaskContext& context) { return kalvor::VacationStatementWorker(context, params); };
}
