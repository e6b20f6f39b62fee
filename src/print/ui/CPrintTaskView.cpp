#include "print/ui/CPrintTaskView.h"

#include "payroll/CalcErrors.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QGroupBox>
#include <QLineEdit>

namespace {

constexpr int kHintCorner = 3; // right of the field
constexpr int kHintWidth = 300;

} // namespace

CPrintTaskView::CPrintTaskView(int formId, CKalvorDoc* doc, QWidget* parent) : CTaskFormView(formId, doc, parent) {}

CPrintTaskView::~CPrintTaskView() { StopWorker(); }

void CPrintTaskView::ShowFormHelp()
{
    if (m_focusedId == IdBrigadeField) {
        ShowFieldHint(QStringLiteral("Укажите номер бригады.\nЭто должно быть число в пределах от 1 до 99."),
                      kHintCorner, kHintWidth);
        return;
    }
    CTaskFormView::ShowFormHelp();
}

void CPrintTaskView::LeaveFunction()
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (!frame)
        return;
    StopWorker();
    const int panel = LeavePanel();
    frame->SwitchView<CEmptyView>();
    if (panel >= 0)
        frame->ShowWorkPanel(panel);
}

bool CPrintTaskView::ReadFormValues()
{
    CTaskFormView::ReadFormValues();
    // The personnel number is the document's selection key for the next screens.
    Document()->PrintPersonnelKey = quint32(m_values.personnelNumber);
    return true;
}

void CPrintTaskView::OnWorkerDone(int result, int detail, const QString& message)
{
    OnPrintTaskDone(*this, m_marquee, result, detail, message);
    if (result == kalvor::platform::TASK_DONE)
        ShowRunMessage(detail, message);
}

void OnPrintTaskDone(CCommonFormView& view, TaskMarquee& marquee, int result, int detail, const QString& message)
{
    using namespace kalvor::platform;
    EndTaskRun(view, marquee);
    if (result == TASK_BAD_CONDITION && detail < 0) {
        QString text = kalvor::CalcErrorText(detail);
        if (!message.isEmpty())
            text += QLatin1Char('\n') + message;
        KalvorMessageBox(text, MB_OK | MB_ICONERROR, QString::fromUtf8(kMessageCaption), &view);
        return;
    }
    if (result == TASK_FAILED) {
        ShowTaskFailure(message, &view);
        return;
    }
    ShowTaskResult(&view, result, detail, QStringLiteral("Нет данных для печати"));
}

// ------------------------------------------------------- the form

void CPrintTaskView::BeginForm(const QString& caption) { SetControl(kFormGroupBox, CTaskFormView::BeginForm(caption)); }

void CPrintTaskView::AddSelectionFields()
{
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха  (по умолчанию  вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады  (по умолчанию  все бригады)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии  (по умолчанию  все профессии)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер  (по умолчанию  все работники)"));
}

void CPrintTaskView::EndForm()
{
    AddStartButton(QStringLiteral("Печать"));
    AddProgressPlace();
}
