#include "exchange/ui/CEFuncSpravZarpMonthView.h"

#include "exchange/MonthlyEarningsCertificate.h"
#include "reports/social/ReportRun.h"
#include "shell/ui/CKalvorDoc.h"

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CEFuncSpravZarpMonthView::CEFuncSpravZarpMonthView(CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(FormId, LeaveToMainPanel, doc, parent)
{
    BeginForm(QStringLiteral("Справка о заработной плате"));
    AddSelectionField(IdShopField, QStringLiteral("Номер отдела (по умолчанию  вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию  все профессии)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер (по умолчанию  все работники)"));
    AddPeriodLine([this] {
        return kalvor::reports::ReportPeriodLine(Document()->infoBase.config, kalvor::reports::kMonthlyCertificate);
    });
    AddStartButton(QStringLiteral("Печать"));
    AddProgressPlace();
}

CEFuncSpravZarpMonthView::~CEFuncSpravZarpMonthView() { StopWorker(); }

TaskThread::Body CEFuncSpravZarpMonthView::MakeTaskBody()
{
    const kalvor::platform::TaskThreadParams params = StripParams();
    CKalvorDoc* doc = Document();
    return [params, doc](TaskContext& context) {
        return kalvor::exchange::SpravZarpMonthThreadProc(context, params, *doc, WorkerBoxes());
    };
}
