#include "entries/ui/CPremPrintVedView.h"

#include "entries/BonusStatement.h"
#include "payroll/CalcErrors.h"
#include "shell/ui/KalvorMessageBox.h"

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CPremPrintVedView::CPremPrintVedView(CKalvorDoc* doc, QWidget* parent) : CAvancePrintVedView(kFormId, kFields, doc, parent)
{
    setObjectName(QStringLiteral("CPremPrintVedView"));
}

TaskThread::Body CPremPrintVedView::MakeTaskBody()
{
    kalvor::BonusStatementParams params;
    static_cast<kalvor::AdvanceStatementParams&>(params) = StatementParams();
    params.payKindsMarked = PayKindsMarked() ? 1 : 0;
    return [params](TaskContext& context) { return kalvor::BonusStatementWorker(context, params); };
}

void CPremPrintVedView::OnWorkerDone(int result, int detail, const QString& message)
{
    using namespace kalvor::platform;
    if (result == TASK_BAD_CONDITION && detail < 0) {
        EndTaskRun(*this, m_marquee);
        KalvorMessageBox(kalvor::CalcErrorText(detail), MB_OK | MB_ICONINFORMATION, QString::fromUtf8(kMessageCaption),
                         this);
        return;
    }
    // The rest as every print run ends: a done run's last line names the file.
    CAvancePrintVedView::OnWorkerDone(result, detail, message);
}
