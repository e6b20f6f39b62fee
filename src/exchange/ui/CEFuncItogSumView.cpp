#include "exchange/ui/CEFuncItogSumView.h"

#include "exchange/TotalSums.h"
#include "shell/ui/CKalvorDoc.h"

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CEFuncItogSumView::CEFuncItogSumView(CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(FormId, LeaveToMainPanel, doc, parent), m_prompt(this)
{
    BeginForm(QStringLiteral("Итоговые суммы"));
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха (по умолчанию  вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию все профессии)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер  (по умолчанию  все работники)"));
    AddStartButton(QStringLiteral("Вывод"));
    AddProgressPlace();
}

CEFuncItogSumView::~CEFuncItogSumView() { StopWorker(); }

TaskThread::Body CEFuncItogSumView::MakeTaskBody()
{
    const kalvor::platform::TaskThreadParams params = StripParams();
    CKalvorDoc* doc = Document();
    kalvor::print::PrintCommandPrompt* prompt = &m_prompt;
    return [params, doc, prompt](TaskContext& context) {
        return kalvor::exchange::ItogSumThreadProc(context, params, *doc, WorkerBoxes(), *prompt);
    };
}
