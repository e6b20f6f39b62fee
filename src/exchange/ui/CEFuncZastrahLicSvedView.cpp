#include "exchange/ui/CEFuncZastrahLicSvedView.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/FieldHelp.h"
#include "values/Values.h"

#include <QLineEdit>

using kalvor::exchange::ZastrahLicSvedParams;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr int kMaxPackNumber = 99;

InputKind Numbered(const QString& name, int largest) { return {name, kalvor::WholeFigure(0, largest)}; }

} // namespace

CEFuncZastrahLicSvedView::CEFuncZastrahLicSvedView(CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(430, LeaveToMainPanel, doc, parent)
{
    BeginForm(QStringLiteral("Экспорт сведений"));
    AddField(IdPfrKindField, QStringLiteral("Категория экспортируемых данных (по умолчанию анкеты)"),
             Numbered(QStringLiteral("Категория экспортируемых данных"), kalvor::exchange::PfrLastKind));
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха/отдела (по умолчанию  вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию все профессии)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер"));
    AddField(IdPfrPackField, QStringLiteral("Номер пачки (по умолчанию первая)"),
             Numbered(QStringLiteral("Номер пачки"), kMaxPackNumber));
    AddField(IdPfrFormatField, QStringLiteral("Формат (по умолчанию XML с одним периодом стажа)"),
             Numbered(QStringLiteral("Формат"), kalvor::exchange::PfrLastFormat));
    AddStartButton(QStringLiteral("Экспорт"));
    AddProgressPlace();
}

CEFuncZastrahLicSvedView::~CEFuncZastrahLicSvedView() { StopWorker(); }

int CEFuncZastrahLicSvedView::LargestKind(int format)
{
    return kalvor::exchange::PfrRecordWriterFor(format) ? int(kalvor::exchange::PfrLastKind) : 0;
}

void CEFuncZastrahLicSvedView::ShowFormHelp()
{
    switch (m_focusedId) {
    case IdPfrKindField: ShowHelpList(kalvor::exchange::PfrExportKindHelpLines(), {3, false, 300, 200}); return;
    case IdPfrFormatField: ShowHelpList(kalvor::exchange::PfrFormatHelpLines(), {3, false, 320, 200}); return;
    case IdBrigadeField:
        ShowFieldHint(QStringLiteral("Укажите номер бригады\nЭто должно быть число в пределах от 1 до 99"), 3, 300);
        return;
    case IdPfrPackField:
        ShowFieldHint(QStringLiteral("Введите любое целое число\nв соответствии с назначением поля"), 3, 300);
        return;
    default: CExchangeTaskView::ShowFormHelp();
    }
}

bool CEFuncZastrahLicSvedView::ReadFormValues()
{
    CExchangeTaskView::ReadFormValues();
    m_params = {};
    m_params.format = TypedValue(*this, IdPfrFormatField);
    // A format without a writer of its own exports the forms (kind 0).
    const int kind = TypedValue(*this, IdPfrKindField);
    m_params.kind = kind <= LargestKind(m_params.format) ? kind : 0;
    m_params.packNumber = TypedValue(*this, IdPfrPackField);
    return true;
}

TaskThread::Body CEFuncZastrahLicSvedView::MakeTaskBody()
{
    ZastrahLicSvedParams params = m_params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    kalvor::PayrollDoc* doc = Document();
    return [params, doc](TaskContext& context) {
        return kalvor::exchange::ZastrahLicSvedThreadProc(context, params, *doc, WorkerBoxes());
    };
}
