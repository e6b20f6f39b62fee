#include "print/ui/CPrintPlatVedView.h"

#include "print/PayrollPrintRuns.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/Values.h"

#include <QCheckBox>
#include <QLineEdit>

#include <climits>

using kalvor::infobase::FirmInfo;
using kalvor::platform::TaskThread;

namespace {

constexpr int kHintCorner = 3;
constexpr int kHintWidth = 300;
constexpr int kMaxShop = 250;
constexpr int kMaxBrigade = 99;
constexpr int kMaxProfession = 127;
constexpr int kMaxFirstSheet = 999;
constexpr int kMaxPayKind = 999;
constexpr int kMaxSubAccount = 9;
constexpr int kSettingWidth = 119;
constexpr int kSubAccountShift = 8;
constexpr std::uint16_t kSubAccountBits = 0x0F00;

QString PurposeHint() { return QStringLiteral("Введите данные в соответствии с назначением этого поля."); }

int FieldNumber(const ControlMap& form, int id, int min, int max)
{
    const auto* field = form.controlAs<QLineEdit>(id);
    std::int32_t value = 0;
    if (field)
        kalvor::ParseIntField(field->text(), value, min, max);
    return value;
}

// An option: a check box, or a number field read in its range.
int OptionValue(const ControlMap& form, int id, int max)
{
    if (const auto* box = form.controlAs<QCheckBox>(id))
        return box->isChecked() ? 1 : 0;
    return FieldNumber(form, id, 0, max);
}

QString FieldText(const ControlMap& form, int id)
{
    const auto* field = form.controlAs<QLineEdit>(id);
    return field ? field->text().left(kSettingWidth) : QString();
}

void SetFieldText(ControlMap& form, int id, const QString& text)
{
    if (auto* field = form.controlAs<QLineEdit>(id))
        field->setText(text);
}

} // namespace

QStringList PaymentKindLines()
{
    QStringList lines;
    for (int mode = 0; mode < kalvor::print::kPrintOutputModeCount; ++mode)
        lines << QStringLiteral("%1|%2").arg(mode == 0 ? QString() : QString::number(mode),
                                             kalvor::print::PrintOutputModeName(mode));
    return lines;
}

CPrintPlatVedView::CPrintPlatVedView(CKalvorDoc* doc, QWidget* parent)
    : CPrintPlatVedView(kFormId, PaymentFormAll, QStringLiteral("Печать платежной ведомости"), doc, parent)
{}

CPrintPlatVedView::CPrintPlatVedView(int formId, unsigned fields, const QString& caption, CKalvorDoc* doc,
                                     QWidget* parent)
    : CPrintTaskView(formId, doc, parent), m_prompt(this), m_fields(fields)
{
    BuildForm(caption);
}

void CPrintPlatVedView::BuildForm(const QString& caption)
{
    BeginForm(caption);
    AddField(IdOutputModeField, QStringLiteral("Вид платежного документа (по умолчанию ведомость)"));
    AddSelectionFields();
    AddField(IdFirstSheetField, QStringLiteral("С какого листа начать (по умолчанию с первого)"));
    AddField(IdLastSheetField, QStringLiteral("Каким листом закончить (по умолчанию последним)"));
    if ((m_fields & PaymentFormOptionBoxes) && (m_fields & PaymentFormOptionNumbers)) {
        AddField(IdWithoutPauseBox, QStringLiteral("Печать без прерываний? (по умолчанию постранично)"));
        AddField(IdNewEmployeesBox, QStringLiteral("Печатать только новых сотрудников (нет лицевых счетов)"));
    } else if (m_fields & PaymentFormOptionBoxes) {
        AddCheckBox(IdWithoutPauseBox, QStringLiteral("Печать без прерываний? (по умолчанию постранично)"));
        AddCheckBox(IdNewEmployeesBox, QStringLiteral("Печатать только новых сотрудников (нет лицевых счетов)"));
    }
    if (m_fields & PaymentFormPayKind)
        AddField(IdPayKindField, QStringLiteral("Код начисления (по умолчанию все виды оплат)"));
    if (m_fields & PaymentFormTransfer) {
        AddField(IdSubAccountField, QStringLiteral("Субсчет 70го счета для платежных ордеров 1С"));
        AddField(IdTransferFileField, QStringLiteral("Имя файла для передачи ордеров в 1С"), 300);
    }
    if (m_fields & PaymentFormSignatures) {
        AddField(IdCashierPositionField, QStringLiteral("Должность кассира"), 300);
        AddField(IdCashierNameField, QStringLiteral("Фамилия кассира"), 300);
        if (!(m_fields & PaymentFormCashierOnly))
            AddField(IdAccountantField, QStringLiteral("Фамилия бухгалтера"), 300);
    }
    if (m_fields & PaymentFormCostCode)
        AddField(IdCostCodeField, QStringLiteral("ШПЗ (по умолчанию все суммы)"), 120);
    EndForm();
}

void CPrintPlatVedView::OnInitialUpdate()
{
    ShowSettings();
    CPrintTaskView::OnInitialUpdate();
}

// The stored settings of the firm record: each number "%d" or empty for 0.
void CPrintPlatVedView::ShowSettings()
{
    const FirmInfo& firm = Document()->infoBase.firm;
    SetFieldText(*this, IdSubAccountField, kalvor::FormatIntField(firm.c1Sub70()));
    SetFieldText(*this, IdTransferFileField, firm.texts[FirmInfo::file1C]);
    SetFieldText(*this, IdCashierPositionField, firm.texts[FirmInfo::kassirDolg]);
    SetFieldText(*this, IdCashierNameField, firm.texts[FirmInfo::kassirFio]);
    SetFieldText(*this, IdAccountantField, firm.texts[FirmInfo::buhFio]);
}

void CPrintPlatVedView::StoreSettings()
{
    FirmInfo& firm = Document()->infoBase.firm;
    if (m_fields & PaymentFormTransfer) {
        const int subAccount = FieldNumber(*this, IdSubAccountField, 0, kMaxSubAccount);
        firm.c1Word = std::uint16_t((firm.c1Word & ~kSubAccountBits) | (subAccount << kSubAccountShift));
        firm.texts[FirmInfo::file1C] = FieldText(*this, IdTransferFileField);
    }
    if (m_fields & PaymentFormSignatures) {
        firm.texts[FirmInfo::kassirDolg] = FieldText(*this, IdCashierPositionField);
        firm.texts[FirmInfo::kassirFio] = FieldText(*this, IdCashierNameField);
        if (!(m_fields & PaymentFormCashierOnly))
            firm.texts[FirmInfo::buhFio] = FieldText(*this, IdAccountantField);
    }
}

bool CPrintPlatVedView::ReadFormValues()
{
    if (!CPrintTaskView::ReadFormValues())
        return false;
    // The twin of the strip's reading: this form keeps its numbers in range.
    kalvor::platform::TaskThreadParams& strip = StripValues();
    strip.shop = FieldNumber(*this, IdShopField, 0, kMaxShop);
    strip.brigade = FieldNumber(*this, IdBrigadeField, 0, kMaxBrigade);
    strip.profession = FieldNumber(*this, IdProfessionField, 0, kMaxProfession);

    m_form.outputMode = FieldNumber(*this, IdOutputModeField, 0, kalvor::print::kPrintOutputModeCount - 1);
    m_form.firstSheet = FieldNumber(*this, IdFirstSheetField, 0, kMaxFirstSheet);
    m_form.lastSheet = FieldNumber(*this, IdLastSheetField, INT_MIN, INT_MAX);
    m_form.withoutPause = OptionValue(*this, IdWithoutPauseBox, 1);
    m_form.newEmployeesOnly = OptionValue(*this, IdNewEmployeesBox, INT_MAX);
    // Empty or "*" does not read as a number: every pay kind.
    m_form.payKind = FieldNumber(*this, IdPayKindField, 0, kMaxPayKind);
    kalvor::Packed12Digits costCode;
    kalvor::ParsePacked12Digits(FieldText(*this, IdCostCodeField), costCode.ch, costCode.sc, costCode.au);
    m_form.costCode = kalvor::Packed12DigitsValue(costCode);
    StoreSettings();
    return true;
}

TaskThread::Body CPrintPlatVedView::MakeTaskBody()
{
    kalvor::print::PrintPlatVedParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.document = Document();
    params.outputMode = m_form.outputMode;
    params.firstSheet = m_form.firstSheet;
    params.lastSheet = m_form.lastSheet;
    params.options = {m_form.withoutPause, m_form.newEmployeesOnly};
    params.payKind = m_form.payKind;
    params.costCode = m_form.costCode;
    params.prompt = &m_prompt;
    return [params](kalvor::platform::TaskContext& context) {
        return kalvor::print::PrintPlatVedThreadProc(context, params);
    };
}

void CPrintPlatVedView::ShowFormHelp()
{
    switch (m_focusedId) {
    case IdOutputModeField: ShowHelpList(PaymentKindLines(), {kHintCorner, false, 300, 160}); break;
    case IdPayKindField: PickPayKind(); break;
    case IdCostCodeField: ShowProductionCostCodeHint(); break;
    case IdFirstSheetField:
    case IdLastSheetField:
    case IdCashierPositionField:
    case IdCashierNameField:
    case IdAccountantField:
    case IdSubAccountField:
    case IdTransferFileField: ShowFieldHint(PurposeHint(), kHintCorner, kHintWidth); break;
    default: CPrintTaskView::ShowFormHelp(); break;
    }
}
