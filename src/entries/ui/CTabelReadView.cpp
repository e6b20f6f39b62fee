#include "entries/ui/CTabelReadView.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

#include <QLineEdit>

#include <algorithm>

using kalvor::entries::TabelReadParams;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr int kHintCorner = 3; // right of the field
constexpr int kHintWidth = 310;

} // namespace

CTabelReadView::CTabelReadView(CKalvorDoc* doc, QWidget* parent)
    : CTaskFormView(kFormId, doc, parent)
{
    BeginForm(QStringLiteral("Чтение файла табельного учета"));
    AddTextField(IdTabelFileField, QStringLiteral("Имя промежуточного файла"), kFileNameLength, 260);
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха (по умолчанию вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умочанию все бригады)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию все профессии)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер (по умолчанию все работники)"));
    AddStartButton(QStringLiteral("Читать"));
    AddProgressPlace();
}

CTabelReadView::~CTabelReadView() { StopWorker(); }

void CTabelReadView::ShowFormHelp()
{
    switch (m_focusedId) {
    case IdTabelFileField: ShowFieldHint(FilePathFieldHint(), kHintCorner, kHintWidth); break;
    case IdBrigadeField:
        ShowFieldHint(QStringLiteral("Укажите номер бригады.\nЭто должно быть число в пределах от 1 до 99."),
                      kHintCorner, kHintWidth);
        break;
    default: CTaskFormView::ShowFormHelp(); break;
    }
}

void CTabelReadView::LeaveFunction()
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (!frame)
        return;
    StopWorker();
    frame->SwitchView<CEmptyView>();
    frame->ShowWorkPanel(kPanel);
}

bool CTabelReadView::ReadFormValues()
{
    CTaskFormView::ReadFormValues();
    const auto* file = controlAs<QLineEdit>(IdTabelFileField);
    m_fileName = file ? file->text().trimmed() : QString();
    if (Document())
        Document()->LastPersonnelNumber = quint32(std::max(0, m_values.personnelNumber));
    return true;
}

TaskThread::Body CTabelReadView::MakeTaskBody()
{
    TabelReadParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.fileName = m_fileName;
    kalvor::PayrollDoc* doc = Document();
    return [params, doc](TaskContext& context) { return kalvor::entries::ReadTabelFileWorker(context, params, *doc); };
}

void CTabelReadView::OnWorkerDone(int result, int detail, const QString& failure)
{
    // A bad condition's message is the reader's own text; any other is the
    // text of an exception that ended the worker.
    OnCopyBaseWorkerDone(*this, m_marquee, result, detail, failure);
    if (result != kalvor::platform::TASK_BAD_CONDITION)
        ShowTaskFailure(failure, this);
}

void RegisterTabelReadScreen(CommandRegistry& registry)
{
    CommandInfo command;
    command.id = CTabelReadView::kCommandId;
    command.caption = QStringLiteral("Чтение файла табел. учета");
    command.panel = CTabelReadView::kPanel;
    command.makeView = [](CKalvorDoc* doc) -> CCommonFormView* { return new CTabelReadView(doc); };
    registry.AddCommand(command);
}
