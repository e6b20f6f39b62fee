#include "exchange/ui/CEFuncProvodExportView.h"

#include "exchange/PostingsExport.h"
#include "exchange/ui/CEFuncPrExpPerehDlg.h"
#include "exchange/ui/CEFuncPrExpPlanDlg.h"
#include "exchange/ui/CEFuncPrExpSetDlg.h"
#include "shell/ui/CKalvorApp.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/FieldHelp.h"
#include "values/Values.h"

#include <QLineEdit>
#include <QPushButton>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr PickPair kAccountingPrograms[] = {
    {"BEST", " "}, {"1С-бухгалтерия", "1"}, {"ИНФИН", "2"}, {"Турбо-бухгалтер", "3"}, {nullptr, nullptr}};

// The highest program code with a writer of its own.
constexpr int kHighestProgram = 3;

} // namespace

QStringList AccountingProgramList() { return BuildPickListFromPairs(kAccountingPrograms); }

CEFuncProvodExportView::CEFuncProvodExportView(CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(FormId, LeaveToMainPanel, doc, parent), m_prompt(this)
{
    BeginForm(QStringLiteral("Печать платежных поручений"));
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха/отдела (по умолчанию  вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию все профессии)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер  (по умолчанию  все работники)"));
    AddField(IdProgramField, QStringLiteral("Выбор бухгалтерской программы"),
             {QStringLiteral("Выбор бухгалтерской программы"), kalvor::WholeFigure(0, kHighestProgram)}, 40);
    AddButton(QStringLiteral("Настройка"), IdSettingsButton, &CEFuncProvodExportView::OnSettings);
    AddButton(QStringLiteral("План счетов"), IdChartButton, &CEFuncProvodExportView::OnChartOfAccounts);
    AddButton(QStringLiteral("Таблицы перехода"), IdTransitionButton, &CEFuncProvodExportView::OnTransitionTables);
    AddStartButton(QStringLiteral("Экспорт"));
    AddProgressPlace();
}

CEFuncProvodExportView::~CEFuncProvodExportView() { StopWorker(); }

QPushButton* CEFuncProvodExportView::AddButton(const QString& caption, int id,
                                               void (CEFuncProvodExportView::*handler)())
{
    QPushButton* button = AddStartButton(caption, id);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

void CEFuncProvodExportView::ShowFormHelp()
{
    if (m_focusedId == IdProgramField) {
        HelpListStyle style;
        style.width = 180;
        style.height = 158;
        ShowHelpList(AccountingProgramList(), style);
        return;
    }
    CExchangeTaskView::ShowFormHelp();
}

bool CEFuncProvodExportView::ReadFormValues()
{
    CExchangeTaskView::ReadFormValues();
    m_program = TypedValue(*this, IdProgramField);
    return true;
}

TaskThread::Body CEFuncProvodExportView::MakeTaskBody()
{
    kalvor::exchange::PostingsTaskParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.program = m_program;
    if (CKalvorApp* app = KalvorApp())
        params.infinLoader = app->Config().infinLoader;
    CKalvorDoc* doc = Document();
    kalvor::print::PrintCommandPrompt* prompt = m_printPrompt;
    return [params, doc, prompt](TaskContext& context) {
        return kalvor::exchange::ProvodExportThreadProc(context, params, *doc, WorkerBoxes(), *prompt);
    };
}

void CEFuncProvodExportView::OnSettings()
{
    CEFuncPrExpSetDlg dialog(Document()->infoBase, this);
    dialog.DoModal();
}

void CEFuncProvodExportView::OnChartOfAccounts()
{
    CEFuncPrExpPlanDlg dialog(this);
    dialog.exec();
}

void CEFuncProvodExportView::OnTransitionTables()
{
    CEFuncPrExpPerehDlg dialog(this);
    dialog.exec();
}
