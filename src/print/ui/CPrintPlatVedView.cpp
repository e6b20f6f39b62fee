#include "print/ui/CPrintPlatVedView.h"

#include "print/PayrollPrintRuns.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/TypedInput.h"
#include "values/Values.h"

#include <QCheckBox>
#include <QLineEdit>

#include <climits>

using kalvor::infobase::FirmInfo;
using kalvor::platform::TaskThread;

namespace {

constexpr int kHintCorner = 3;
constexpr int kHintWidth = 300;
constexpr int kMaxFirstSheet = 999;
constexpr int kMaxLastSheet = 999999;
constexpr int kMaxPayKind = 999;
constexpr int kMaxSubAccount = 9;
constexpr int kSettingWidth = 119;
constexpr double kMaxCostCode = 999999999999; // twelve digits
constexpr int kSubAccountShift = 8;
constexpr std::uint16_t kSubAccountBits = 0x0F00;

QString PurposeHint() { return QStringLiteral("Введите данные в соответствии с назначением этого поля."); }

// An option: a check box, or a number field (0 or 1).
int OptionValue(const ControlMap& form, int id)
{
    if (const auto* box = form.controlAs<QCheckBox>(id))
        return box->isChecked() ? 1 : 0;
    return TypedValue(form, id);
}

InputKind Numbered(const QString& name, double min, double max) { return {name, kalvor::WholeFigure(min, max)}; }

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
    AddField(IdOutputModeField, QStringLiteral("Вид платежного документа (по умолчанию ведомость)"),
             Numbered(QStringLiteral("Вид платежного документа"), 0, kalvor::print::kPrintOutputModeCount - 1));
    AddSelectionFields();
    AddField(IdFirstSheetField, QStringLiteral("С какого листа начать (по умолчанию с первого)"),
             Numbered(QStringLiteral("С какого листа начать"), 0, kMaxFirstSheet));
    AddField(IdLastSheetField, QStringLiteral("Каким листом закончить (по умолчанию последним)"),
             Numbered(QStringLiteral("Каким листом закончить"), 0, kMaxLastSheet));
    if ((m_fields & PaymentFormOptionBoxes) && (m_fields & PaymentFormOptionNumbers)) {
        AddField(IdWithoutPauseBox, QStringLiteral("Печать без прерываний? (по умолчанию постранично)"),
                 Numbered(QStringLiteral("Печать без прерываний?"), 0, 1));
        AddField(IdNewEmployeesBox, QStringLiteral("Печатать только новых сотрудников (нет лицевых счетов)"),
                 Numbered(QStringLiteral("Печатать только новых сотрудников"), 0, 1));
    } else if (m_fields & PaymentFormOptionBoxes) {
        AddCheckBox(IdWithoutPauseBox, QStringLiteral("Печать без прерываний? (по умолчанию постранично)"));
        AddCheckBox(IdNewEmployeesBox, QStringLiteral("Печатать только новых сотрудников (нет лицевых счетов)"));
    }
    if (m_fields & PaymentFormPayKind)
        AddField(IdPayKindField, QStringLiteral("Код начисления (по умолчанию все виды оплат)"), PayKindFieldKind());
    if (m_fields & PaymentFormTransfer) {
        AddField(IdSubAccountField, QStringLiteral("Субсчет 70го счета для платежных ордеров 1С"),
                 Numbered(QStringLiteral("Субсчет 70го счета"), 0, kMaxSubAccount));
        AddTextField(IdTransferFileField, QStringLiteral("Имя файла для передачи ордеров в 1С"), kSettingWidth, 300);
    }
    if (m_fields & PaymentFormSignatures) {
        AddTextField(IdCashierPositionField, QStringLiteral("Должность кассира"), kSettingWidth, 300);
        AddTextField(IdCashierNameField, QStringLiteral("Фамилия кассира"), kSettingWidth, 300);
        if (!(m_fields & PaymentFormCashierOnly))
            AddTextField(IdAccountantField, QStringLiteral("Фамилия бухгалтера"), kSettingWidth, 300);
    }
    if (m_fields & PaymentFormCostCode)
        AddField(IdCostCodeField, QStringLiteral("ШПЗ (по умолчанию все суммы)"), Numbered(QStringLiteral("ШПЗ"), 0, kMaxCostCode),
                 120);
    EndForm();
}

InputKind CPrintPlatVedView::PayKindFieldKind() const
{
    return {QStringLiteral("Код начисления"), kalvor::WholeFigure(0, kMaxPayKind), PayKindBook(Document()->infoBase)};
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
        const int subAccount = TypedValue(*this, IdSubAccountField);
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
    m_form.outputMode = TypedValue(*this, IdOutputModeField);
    m_form.firstSheet = TypedValue(*this, IdFirstSheetField);
    m_form.lastSheet = TypedValue(*this, IdLastSheetField);
    m_form.withoutPause = OptionValue(*this, IdWithoutPauseBox);
    m_form.newEmployeesOnly = OptionValue(*this, IdNewEmployeesBox);
    // Empty: every pay kind.
    m_form.payKind = TypedValue(*this, IdPayKindField);
    const auto* costCode = controlAs<CTypedEdit>(IdCostCodeField);
    m_form.costCode = costCode ? std::uint64_t(costCode->UnitsOr(0)) : 0;
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
