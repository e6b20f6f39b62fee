#include "entries/ui/CBulletVvodDlg.h"

#include "entries/ui/ResultGrids.h"
#include "entries/ui/TabelDlgShared.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcErrors.h"
#include "payroll/SickLeave.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

namespace {

// The dialog fits the view at 1024x768 beside the panels: the check boxes
// stand in two rows under the middle fields, the buttons in a row under all
// the fields, the grids one under another below them, each wide enough for
// its headings.
const QSize kDialogSize(590, 828);
constexpr int kMiddleColumn = 262;
const QRect kCheckRects[] = {{262, 124, 160, 24}, {428, 124, 160, 24}, {262, 152, 160, 24}, {428, 152, 160, 24}};
const QRect kButtonRects[] = {{0, 186, 190, 28}, {196, 186, 196, 28}, {398, 186, 192, 28}};
// Where the three grids stand in the dialog.
const QRect kAverageRect(0, 222, 590, 56);
const QRect kPeriodRect(0, 286, 590, 160);
const QRect kEarningsRect(0, 454, 590, 374);

// Where the hint of a year without earnings goes beside the focused field.
constexpr int kHintCorner = 3;
constexpr int kHintWidth = 420;

struct CheckInfo {
    int id;
    const char16_t* text;
};
const CheckInfo kChecks[] = {{CBulletVvodDlg::IdPayEarly, u"Выплатить в м/р"},
                             {CBulletVvodDlg::IdContinues, u"Продолжение"},
                             {CBulletVvodDlg::IdFromMinimum, u"Из МРОТ"},
                             {CBulletVvodDlg::IdFrom12Months, u"из 12 месяцев"}};

} // namespace

CBulletVvodDlg::CBulletVvodDlg(CCommonFormView* view, RateCorrectionRunner rateCorrection)
    : CLineBufferDlg(IDD, kDialogSize, view, std::move(rateCorrection),
                     {QStringLiteral("Больничный лист"), en::TakeSickLeaveSheets, en::StoreSickLeaveSheets,
                      ib::LineKind::Bln, en::AppendSickLeaveFieldsToGroup})
{
    setObjectName(QStringLiteral("CBulletVvodDlg"));
    BuildForm();
}

void CBulletVvodDlg::BuildForm()
{
    auto addLabel = [this](const QString& text, QWidget* buddy, int x, int y, int width) {
        auto* label = new QLabel(text, this);
        label->setGeometry(x, y, width - 6, 24);
        label->setBuddy(buddy);
    };
    for (auto [id, label, y] : {std::tuple{int(IdStart), u"Начало", 0}, std::tuple{int(IdEnd), u"Окончание", 30}}) {
        auto* picker = new NullableDateEdit(this);
        picker->KeepFullYears();
        picker->setGeometry(130, y, 120, 24);
        EraseDatePickerBackground(picker, kTabelDialogBack);
        addLabel(QString::fromUtf16(label), picker, 0, y, 130);
        SetControl(id, picker);
    }
    struct FieldInfo {
        int id;
        const char16_t* label;
        int x, y, labelWidth;
        kalvor::FigureRule rule;
    };
    // The codes, month and percent within what the sheet keeps; the time as
    // days or hours,minutes (by the algorithm); a year of the earnings the
    // sheet counts: from the first accounting year to the reporting year.
    using Number = en::SickLeaveNumber;
    const kalvor::FigureRule year = en::SickLeaveNumberRule(Number::Year);
    const auto countedYear = [this](const QString& name) {
        return [this, name](const QString& text) {
            return en::SickLeaveYearRefusal(name, text, View()->Document()->infoBase.config.reportingYear());
        };
    };
    const FieldInfo fields[] = {
        {IdKind, u"Вид", 0, 60, 130, en::SickLeaveNumberRule(Number::Kind)},
        {IdAlgorithm, u"Алгоритм", 0, 90, 130, en::SickLeaveNumberRule(Number::Algorithm)},
        {IdBudget, u"Бюджет", 0, 120, 130, en::SickLeaveNumberRule(Number::Budget)},
        {IdFirstMonth, u"1-й месяц", 0, 150, 130, en::SickLeaveNumberRule(Number::FirstMonth)},
        {IdPercent, u"Оплата больничного", kMiddleColumn, 0, 150, en::SickLeaveNumberRule(Number::Percent)},
        {IdTime, u"%  Дней/часов", kMiddleColumn, 30, 150, kalvor::HoursFigure(-1)},
        {IdFirstYear, u"1-й год", kMiddleColumn, 60, 150, year},
        {IdSecondYear, u"2-й год", kMiddleColumn, 90, 150, year}};
    for (const FieldInfo& info : fields) {
        const QString name = QString::fromUtf16(info.label);
        InputKind kind{name, info.rule};
        if (info.id == IdFirstYear || info.id == IdSecondYear)
            kind.also = countedYear(name);
        auto* edit = new CTypedEdit(std::move(kind), this);
        edit->setGeometry(info.x + info.labelWidth, info.y, 90, 24);
        edit->setMaxLength(12);
        addLabel(QString::fromUtf16(info.label), edit, info.x, info.y, info.labelWidth);
        SetControl(info.id, edit);
    }
    for (std::size_t i = 0; i < std::size(kChecks); ++i) {
        auto* box = new QCheckBox(QString::fromUtf16(kChecks[i].text), this);
        box->setGeometry(kCheckRects[i]);
        SetControl(kChecks[i].id, box);
    }
    struct ButtonInfo {
        int id;
        const char16_t* text;
        void (CBulletVvodDlg::*handler)();
    };
    const ButtonInfo buttons[] = {{IdCompute, u"Расчет больничного", &CBulletVvodDlg::OnOK},
                                  {IdKeepChildCare, u"Сохранение до 1.5 лет", &CBulletVvodDlg::OnKeepChildCare},
                                  {IdCorrectRates, u"Корректировка ставок", &CLineEntryDlg::OnCorrectRates}};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        const ButtonInfo& info = buttons[i];
        auto* button = new QPushButton(QString::fromUtf16(info.text), this);
        button->setGeometry(kButtonRects[i]);
        button->setAutoDefault(false);
        button->setPalette(QPalette());
        SetControl(info.id, button);
        connect(button, &QPushButton::clicked, this, info.handler);
    }
    const int order[] = {IdStart,       IdEnd,          IdKind,      IdAlgorithm,     IdBudget,      IdFirstMonth,
                         IdPercent,     IdTime,         IdFirstYear, IdSecondYear,    IdPayEarly,    IdContinues,
                         IdFromMinimum, IdFrom12Months, IdCompute,   IdKeepChildCare, IdCorrectRates};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(control(order[i - 1]), control(order[i]));
}

NullableDateEdit* CBulletVvodDlg::Picker(int id) const { return controlAs<NullableDateEdit>(id); }

int CBulletVvodDlg::ReportingYear() const { return Base().config.reportingYear(); }

void CBulletVvodDlg::ShowSheet(const ib::SickLeaveSheet& sheet)
{
    const en::SickLeaveSheetForm form = en::ShowSickLeaveSheet(sheet);
    Picker(IdStart)->SetDate(form.start);
    Picker(IdEnd)->SetDate(form.end);
    const std::pair<int, QString> texts[] = {{IdKind, form.vid},
                                             {IdAlgorithm, form.alg},
                                             {IdBudget, form.budg},
                                             {IdFirstMonth, form.firstMes},
                                             {IdPercent, form.procent},
                                             {IdTime, form.dn},
                                             {IdFirstYear, form.firstYear},
                                             {IdSecondYear, form.secondYear}};
    for (const auto& [id, text] : texts) Field(id)->setText(text);
    controlAs<QCheckBox>(IdPayEarly)->setChecked(form.mrp);
    controlAs<QCheckBox>(IdContinues)->setChecked(form.contin);
    controlAs<QCheckBox>(IdFromMinimum)->setChecked(form.fromMinimum);
    controlAs<QCheckBox>(IdFrom12Months)->setChecked(form.from12Months);
}

en::SickLeaveSheetForm CBulletVvodDlg::FormTexts() const
{
    en::SickLeaveSheetForm form;
    form.start = Picker(IdStart)->Date();
    form.end = Picker(IdEnd)->Date();
    form.vid = Field(IdKind)->text();
    form.alg = Field(IdAlgorithm)->text();
    form.budg = Field(IdBudget)->text();
    form.firstMes = Field(IdFirstMonth)->text();
    form.procent = Field(IdPercent)->text();
    form.dn = Field(IdTime)->text();
    form.firstYear = Field(IdFirstYear)->text();
    form.secondYear = Field(IdSecondYear)->text();
    form.mrp = controlAs<QCheckBox>(IdPayEarly)->isChecked();
    form.contin = controlAs<QCheckBox>(IdContinues)->isChecked();
    form.fromMinimum = controlAs<QCheckBox>(IdFromMinimum)->isChecked();
    form.from12Months = controlAs<QCheckBox>(IdFrom12Months)->isChecked();
    return form;
}

void CBulletVvodDlg::ReadLine()
{
    if (en::ReadSickLeaveSheet(FormTexts(), m_lines.line(), ReportingYear()))
        m_modified = true;
}

void CBulletVvodDlg::LoadRecord(quint32 slot)
{
    const ib::CInfoBase& base = Base();
    TakeLines(int(slot) > base.bln.slotCount() || int(slot) != base.currentSlot ? 0 : slot);
    m_rows = {};
    m_keptAmount = 0;
    if (m_slot == 0) {
        ShowSheet(m_lines.line());
        ShowGrids(en::SickLeaveGridTexts(-1, m_lines.line(), kalvor::SickLeaveTables{}));
        return;
    }
    m_rows = en::EmployeeComputedRows(base.current, base.attributesOf(m_slot));
    ShowTitle();
    ComputeLine(false);
}

void CBulletVvodDlg::ComputeLine(bool messages)
{
    ib::SickLeaveSheet& sheet = m_lines.line();
    ShowSheet(sheet);
    if (m_slot == 0)
        return;
    auto tables = std::make_unique<kalvor::SickLeaveTables>();
    m_lastResult = en::ComputeSickLeaveSheet(*View()->Document(), sheet, m_rows, *tables);
    if (m_lastResult > 0)
        m_keptAmount = en::ChildCareMonthlyAmount(*tables);
    ShowGrids(en::SickLeaveGridTexts(m_lastResult, sheet, *tables));
    if (m_lastResult < 0 && messages)
        KalvorMessageBox(kalvor::CalcErrorText(m_lastResult), MB_OK | MB_ICONWARNING, QString(), this);
    ShowSheet(sheet);
    // A year of the two-year period without earnings lowers the average: the
    // previous employer's certificate belongs in the archive. A hint beside
    // the field, not a stop: the sheet is computed all the same.
    if (const QString hint = en::NoEarningsWarning(en::YearsWithoutEarnings(m_lastResult, sheet, *tables), *tables);
        messages && !hint.isEmpty())
        View()->ShowFieldHint(hint, kHintCorner, kHintWidth);
}

void CBulletVvodDlg::ShowGrids(const en::SickLeaveGrids& grids)
{
    const std::vector<double> earningsShares{0.14, 0.14, 0.24, 0.24, 0};
    CFldHlpGridCtrl* earnings = ShowResultGrid(this, IdEarningsGrid, kEarningsRect, grids.earnings.headings,
                                               earningsShares, grids.earnings.rows);
    for (int row : grids.earnings.summaryRows)
        for (int col = 0; col < earnings->GetColumnCount(); ++col)
            earnings->SetItemBkColour(row + 1, col, GridCtrl::MakeColour(200, 253, 254));
    const double averageShare = 1.0 / double(std::max<qsizetype>(1, grids.average.headings.size()));
    ShowResultGrid(this, IdAverageGrid, kAverageRect, grids.average.headings,
                   std::vector<double>(std::size_t(grids.average.headings.size()), averageShare), grids.average.rows);
    ShowResultGrid(this, IdPeriodGrid, kPeriodRect, grids.period.headings, {0.17, 0.17, 0.12, 0.1, 0.2, 0},
                   grids.period.rows);
}

void CBulletVvodDlg::BeginGroup()
{
    m_groupMode = true;
    ShowSheet(ib::SickLeaveSheet{});
    Picker(IdStart)->setFocus();
}

void CBulletVvodDlg::OnKeepChildCare()
{
    if (m_slot == 0 || m_groupMode)
        return;
    ib::CInfoBase& base = Base();
    try {
        WaitCursor wait;
        ib::LoadEmployee(base, int(m_slot));
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return;
    }
    ReadLine();
    if (en::KeepChildCareAllowance(base.current, m_lines.line(), m_keptAmount) < 0)
        return;
    try {
        WaitCursor wait;
        ib::SaveEmployeePostDopl(base, int(m_slot));
    } catch (const kalvor::db::DbError& error) {
        ShowEmployeeNotSaved(error, base, int(m_slot));
    }
}

int CBulletVvodDlg::SaveRecord()
{
    if (m_slot != 0 && !m_groupMode) {
        ReadLine();
        for (const ib::SickLeaveSheet& sheet : m_lines.all())
            if (en::IsKeptSickLeaveSheet(sheet) && !kalvor::SickLeaveSheetDatesValid(sheet)) {
                KalvorMessageBox(kalvor::CalcErrorText(kalvor::kCalcSickLeaveDates) +
                                     QStringLiteral(".\nБольничный лист не сохранен: исправьте даты."),
                                 MB_OK | MB_ICONERROR, QString(), this);
                return 0;
            }
    }
    return CLineEntryDlg::SaveRecord();
}
