#include "exchange/ui/CSymvFormatViews.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CommandRegistry.h"

#include <QLineEdit>

#include <algorithm>

using kalvor::exchange::TransferTaskParams;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr int kHintCorner = 3; // right of the field
constexpr int kHintWidth = 300;

} // namespace

CSymvFormatView::CSymvFormatView(int formId, const QString& title, const QString& button, ThreadProc worker,
                                 CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(formId, PanelTransferFile, doc, parent), m_threadProc(worker)
{
    BeginForm(title);
    AddTextField(IdTransferFileField, QStringLiteral("Имя промежуточного файла"), kFilePathLength, 260);
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха (по умолчанию вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умочанию все бригады)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер (по умолчанию все работники)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию все профессии)"));
    AddStartButton(button);
    AddProgressPlace();
}

CSymvFormatView::~CSymvFormatView() { StopWorker(); }

void CSymvFormatView::ShowFormHelp()
{
    if (m_focusedId == IdTransferFileField)
        ShowFieldHint(FilePathFieldHint(), kHintCorner, kHintWidth);
    else
        CExchangeTaskView::ShowFormHelp();
}

bool CSymvFormatView::ReadFormValues()
{
    CExchangeTaskView::ReadFormValues();
    const auto* file = controlAs<QLineEdit>(IdTransferFileField);
    m_fileName = file ? file->text().trimmed() : QString();
    if (Document())
        Document()->LastPersonnelNumber = quint32(std::max(0, m_values.personnelNumber));
    return true;
}

TaskThread::Body CSymvFormatView::MakeTaskBody()
{
    TransferTaskParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.fileName = m_fileName;
    kalvor::PayrollDoc* doc = Document();
    const ThreadProc proc = m_threadProc;
    return [params, doc, proc](TaskContext& context) { return proc(context, params, *doc, WorkerBoxes()); };
}

void CSymvFormatView::OnWorkerDone(int result, int /*detail*/, const QString& failure)
{
    OnCopyBaseWorkerDone(*this, m_marquee, result);
    ShowTaskFailure(failure, this);
}

CSymvFormatUploadView::CSymvFormatUploadView(CKalvorDoc* doc, QWidget* parent)
    : CSymvFormatView(461, QStringLiteral("Выгрузка информации о сотрудниках"), QStringLiteral("Выгрузка"),
                      &kalvor::exchange::SymvFormatUploadThreadProc, doc, parent)
{}

CSymvFormatDownloadView::CSymvFormatDownloadView(CKalvorDoc* doc, QWidget* parent)
    : CSymvFormatView(466, QStringLiteral("Загрузка информации о сотрудниках"), QStringLiteral("Загрузка"),
                      &kalvor::exchange::SymvFormatDownloadThreadProc, doc, parent)
{}

void RegisterTransferScreens(CommandRegistry& registry)
{
    struct TransferCommand {
        int id;
        const char* caption;
        ViewFactory makeView;
    };
    const TransferCommand commands[] = {
        {1518, "Выгрузка информации о сотрудниках",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CSymvFormatUploadView(doc); }},
        {1519, "Загрузка информации о сотрудниках",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CSymvFormatDownloadView(doc); }},
    };
    for (const TransferCommand& transfer : commands) {
        CommandInfo command;
        command.id = transfer.id;
        command.caption = QString::fromUtf8(transfer.caption);
        command.panel = CExchangeTaskView::PanelTransferFile;
        command.makeView = transfer.makeView;
        registry.AddCommand(command);
    }
}
