#include "exchange/ui/CEFuncZastrahLicSvedView.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/FieldHelp.h"
#include "values/Values.h"

#include <QLineEdit>

using kalvor::exchange::ZastrahLicSvedParams;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr int kMaxShop = 250;
constexpr int kMaxBrigade = 99;
constexpr int kMaxProfession = 127;
constexpr int kMaxPersonnelNumber = 9999;
constexpr int kMaxPackNumber = 99;

// ParseIntField into a fresh value: 0 when out of range or not a number.
int RangedField(const ControlMap& form, int id, int largest)
{
    const auto* field = form.controlAs<QLineEdit>(id);
    std::int32_t value = 0;
    kalvor::ParseIntField(field ? field->text() : QString(), value, 0, largest);
    return value;
}

} // namespace

CEFuncZastrahLicSvedView::CEFuncZastrahLicSvedView(CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(430, LeaveToMainPanel, doc, parent)
{
    BeginForm(QStringLiteral("Экспорт сведений"));
    AddField(IdPfrKindField, QStringLiteral("Категория экспортируемых данных (по умолчанию анкеты)"));
    AddField(IdShopField, QStringLiteral("Номер цеха/отдела (по умолчанию  вся организация)"));
    AddField(IdBrigadeField, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
    AddField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию все профессии)"));
    AddField(IdPersonnelNumberField, QStringLiteral("Табельный номер"));
    AddField(IdPfrPackField, QStringLiteral("Номер пачки (по умолчанию первая)"));
    AddField(IdPfrFormatField, QStringLiteral("Формат (по умолчанию XML с одним периодом стажа)"));
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
    m_values = {};
    m_values.shop = RangedField(*this, IdShopField, kMaxShop);
    m_values.brigade = RangedField(*this, IdBrigadeField, kMaxBrigade);
    m_values.profession = RangedField(*this, IdProfessionField, kMaxProfession);
    m_values.personnelNumber = RangedField(*this, IdPersonnelNumberField, kMaxPersonnelNumber);
    m_params = {};
    m_params.format = RangedField(*this, IdPfrFormatField, kalvor::exchange::PfrLastFormat);
    m_params.kind = RangedField(*this, IdPfrKindField, LargestKind(m_params.format));
    m_params.packNumber = RangedField(*this, IdPfrPackField, kMaxPackNumber);
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
