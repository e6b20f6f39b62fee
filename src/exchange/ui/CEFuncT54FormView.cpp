#include "exchange/ui/CEFuncT54FormView.h"

#include "exchange/T54Form.h"
#include "exchange/ui/CEFuncT54FormEditDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/FieldHelp.h"
#include "values/Values.h"

#include <QApplication>
#include <QLineEdit>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr PickPair kNoYesList[] = {{"Нет", " "}, {"Да", "1"}, {nullptr, nullptr}};

} // namespace

CEFuncT54FormView::CEFuncT54FormView(CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(FormId, LeaveToMainPanel, doc, parent)
{
    BeginForm(QStringLiteral("Форма Т-54"));
    AddField(IdShowEditorField, QStringLiteral("Показывать окно для редактирования данных"),
             {QStringLiteral("Показывать окно для редактирования данных"), kalvor::WholeFigure(0, 1)}, 40);
    AddSelectionField(IdShopField, QStringLiteral("Номер отдела (по умолчанию  вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию  все профессии)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер (по умолчанию  все работники)"));
    AddPeriodLine([this] { return kalvor::exchange::T54PeriodText(Document()->infoBase.config); });
    AddStartButton(QStringLiteral("Печать"));
    AddProgressPlace();
}

CEFuncT54FormView::~CEFuncT54FormView() { StopWorker(); }

void CEFuncT54FormView::ShowFormHelp()
{
    if (m_focusedId == IdShowEditorField) {
        ShowHelpList(BuildPickListFromPairs(kNoYesList), HelpListStyle{});
        return;
    }
    CExchangeTaskView::ShowFormHelp();
}

bool CEFuncT54FormView::ReadFormValues()
{
    if (!CExchangeTaskView::ReadFormValues())
        return false;
    m_showEditor = TypedValue(*this, IdShowEditorField);
    return true;
}

TaskThread::Body CEFuncT54FormView::MakeTaskBody()
{
    kalvor::exchange::T54TaskParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.showEditor = m_showEditor;
    CKalvorDoc* doc = Document();
    return [params, doc](TaskContext& context) {
        // The editor opens on the user-interface thread; the worker waits for it.
        const kalvor::exchange::T54Editor editor = [&context](kalvor::infobase::KalvorDocData& data) {
            context.runOnGui(
                [&data] { return CEFuncT54FormEditDlg::EditWorkBlock(data, QApplication::activeWindow()); });
        };
        return kalvor::exchange::T54FormThreadProc(context, params, *doc, WorkerBoxes(), editor);
    };
}
