#include "entries/ui/COtpuskVvodDlg.h"

#include "entries/ui/ResultGrids.h"
#include "entries/ui/TabelDlgShared.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/SwapFile.h"
#include "payroll/CalcErrors.h"
#include "shell/ui/CKalvorDoc.h"
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

// The dialog fits the view at 1024x768 beside the panels: the buttons stand
// under the right column of fields, the grids one under another below them,
// each wide enough for its headings.
const QSize kDialogSize(590, 794);
constexpr int kLeftLabelWidth = 140;
constexpr int kRightColumn = 262;
constexpr int kRightLabelWidth = 174;
const QRect kComputeRect(kRightColumn, 152, 150, 28);
const QRect kCorrectRatesRect(kRightColumn + 156, 152, 172, 28);
// Where the four grids stand in the dialog.
const QRect kAverageRect(0, 184, 590, 56);
const QRect kAccrualRect(0, 248, 590, 196);
const QRect kAmountRect(0, 452, 590, 32);
const QRect kPeriodRect(0, 492, 590, 302);

} // namespace

COtpuskVvodDlg::COtpuskVvodDlg(CCommonFormView* view, RateCorrectionRunner rateCorrection)
    : CLineBufferDlg(IDD, kDialogSize, view, std::move(rateCorrection),
                     {QStringLiteral("Отпускная записка"), en::TakeVacationNotes, en::StoreVacationNotes,
                      ib::LineKind::Otp, en::AppendVacationFieldsToGroup})
{
    setObjectName(QStringLiteral("COtpuskVvodDlg"));
    BuildForm();
}

void COtpuskVvodDlg::BuildForm()
{
    auto addLabel = [this](const QString& text, int x, int y, int width) {
        auto* label = new QLabel(text, this);
        label->setGeometry(x, y, width, 24);
        return label;
    };
    auto addField = [this, &addLabel](int id, const QString& label, kalvor::FigureRule rule, int x, int y,
                                      int labelWidth) {
        auto* edit = new CTypedEdit({label, rule}, this);
        edit->setGeometry(x + labelWidth, y, 100, 24);
        edit->setMaxLength(12);
        addLabel(label, x, y, labelWidth - 6)->setBuddy(edit);
        SetControl(id, edit);
        return edit;
    };
    m_start = new NullableDateEdit(this);
    m_start->KeepFullYears();
    m_start->setGeometry(kLeftLabelWidth, 0, 116, 24);
    EraseDatePickerBackground(m_start, kTabelDialogBack);
    addLabel(QStringLiteral("Начало"), 0, 0, kLeftLabelWidth - 6)->setBuddy(m_start);
    SetControl(IdStart, m_start);
    const int ids[] = {IdLength, IdKind, IdAlgorithm, IdDayBasis, IdBudget};
    const QString labels[] = {QStringLiteral("Длительность"), QStringLiteral("Вид отпуска"), QStringLiteral("Алгоритм"),
                              QStringLiteral("Исчисляется"), QStringLiteral("Бюджет")};
    // Days with hundredths as the note keeps them, the codes whole within
    // their ranges.
    const kalvor::FigureRule rules[] = {en::kVacationDaysRule, en::kVacationKindRule, en::kVacationAlgorithmRule,
                                        en::kVacationCountedRule, en::kVacationBudgetRule};
    for (int i = 0; i < 5; ++i) addField(ids[i], labels[i], rules[i], 0, 30 * (i + 1), kLeftLabelWidth);
    addField(IdMonth, QStringLiteral("Месяц начала расчета"), en::kVacationMonthRule, kRightColumn, 0,
             kRightLabelWidth);
    addField(IdFund, QStringLiteral("Рабочий фонд"), en::kVacationFundRule, kRightColumn, 30, kRightLabelWidth);
    addField(IdPeriodDays, QStringLiteral("Дней в расч. периоде"), en::kVacationDaysRule, kRightColumn, 60,
             kRightLabelWidth);
    m_noteOnly = new QCheckBox(QStringLiteral("Только отпускные"), this);
    m_noteOnly->setGeometry(kRightColumn, 92, 290, 24);
    SetControl(IdNoteOnly, m_noteOnly);
    m_payEarly = new QCheckBox(QStringLiteral("Выплатить в м/р"), this);
    m_payEarly->setGeometry(kRightColumn, 122, 290, 24);
    SetControl(IdPayEarly, m_payEarly);

    auto* compute = new QPushButton(QStringLiteral("Расчет отпуска"), this);
    compute->setGeometry(kComputeRect);
    SetControl(IdCompute, compute);
    auto* correctRates = new QPushButton(QStringLiteral("Корректировка ставок"), this);
    correctRates->setGeometry(kCorrectRatesRect);
    SetControl(IdCorrectRates, correctRates);
    for (QPushButton* button : {compute, correctRates}) {
        button->setAutoDefault(false);
        button->setPalette(QPalette());
    }
    connect(compute, &QPushButton::clicked, this, &COtpuskVvodDlg::OnOK);
    connect(correctRates, &QPushButton::clicked, this, &CLineEntryDlg::OnCorrectRates);

    // The tab order follows the form: the left column, then the right one.
    const int order[] = {IdStart, IdLength,     IdKind,     IdAlgorithm, IdDayBasis, IdBudget,      IdMonth,
                         IdFund,  IdPeriodDays, IdNoteOnly, IdPayEarly,  IdCompute,  IdCorrectRates};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(control(order[i - 1]), control(order[i]));
}

int COtpuskVvodDlg::ShownPersonnelNumber() const
{
    for (const ib::EmployeeListEntry& entry : Base().list)
        if (entry.slot == m_slot)
            return int(entry.tabN());
    return 0;
}

void COtpuskVvodDlg::ShowNote(const ib::VacationNote& note)
{
    const en::VacationNoteForm form = en::ShowVacationNote(note);
    m_start->SetDate(form.start);
    Field(IdLength)->setText(form.dlin);
    Field(IdKind)->setText(form.vid);
    Field(IdAlgorithm)->setText(form.alg);
    Field(IdDayBasis)->setText(form.kalend);
    Field(IdBudget)->setText(form.budg);
    Field(IdMonth)->setText(form.mes);
    Field(IdFund)->setText(form.fond);
    Field(IdPeriodDays)->setText(form.dn);
    m_noteOnly->setChecked(form.tolkOtp);
    m_payEarly->setChecked(form.mrp);
}

en::VacationNoteForm COtpuskVvodDlg::FormTexts() const
{
    en::VacationNoteForm form;
    form.start = m_start->Date();
    form.dlin = Field(IdLength)->text();
    form.vid = Field(IdKind)->text();
    form.alg = Field(IdAlgorithm)->text();
    form.kalend = Field(IdDayBasis)->text();
    form.budg = Field(IdBudget)->text();
    form.mes = Field(IdMonth)->text();
    form.fond = Field(IdFund)->text();
    form.dn = Field(IdPeriodDays)->text();
    form.tolkOtp = m_noteOnly->isChecked();
    form.mrp = m_payEarly->isChecked();
    return form;
}

void COtpuskVvodDlg::ReadLine()
{
    if (en::ReadVacationNote(FormTexts(), m_lines.line()))
        m_modified = true;
}

void COtpuskVvodDlg::LoadRecord(quint32 slot)
{
    TakeLines(int(slot) > Base().otp.slotCount() ? 0 : slot);
    if (m_slot == 0) {
        ShowNote(m_lines.line());
        ShowGrids(en::VacationGrids{});
        return;
    }
    try {
        WaitCursor wait;
        en::WriteEmployeeToSwap(Base(), ShownPersonnelNumber());
    } catch (const std::exception& error) {
        ShowException(error, this);
    }
    ShowTitle();
    ComputeLine(false);
}

void COtpuskVvodDlg::ComputeLine(bool messages)
{
    ib::VacationNote& note = m_lines.line();
    en::ApplyVacationDisplayDefaults(note);
    ShowNote(note);
    if (m_slot == 0)
        return;
    auto detail = std::make_unique<kalvor::CalcWorkBuffer>();
    auto rows = std::make_unique<kalvor::CalcResultBuffer>();
    try {
        m_lastResult = en::ComputeVacationNote(*View()->Document(), ShownPersonnelNumber(), m_lines.lines,
                                               m_lines.current, *detail, *rows);
    } catch (const std::exception& error) {
        ShowException(error, this);
        return;
    }
    ShowGrids(en::VacationGridTexts(*View()->Document(), m_lastResult, note, *detail, rows->data()));
    if (m_lastResult < 0 && messages)
        KalvorMessageBox(kalvor::CalcErrorText(m_lastResult), MB_OK | MB_ICONWARNING, QString(), this);
    ShowNote(note);
}

void COtpuskVvodDlg::ShowGrids(const en::VacationGrids& grids)
{
    std::vector<QStringList> period;
    for (const auto& cells : grids.period) period.push_back({cells[0], cells[1], cells[2]});
    ShowResultGrid(this, IdPeriodGrid, kPeriodRect,
                   {QStringLiteral("Мес"), QStringLiteral("Заработок"), QStringLiteral("Коэфф.")}, {0.2, 0.4, 0.2},
                   period);
    ShowResultGrid(
        this, IdAverageGrid, kAverageRect,
        {grids.averageHeadings[0], grids.averageHeadings[1], grids.averageHeadings[2], grids.averageHeadings[3]},
        {0.25, 0.25, 0.25, 0.25}, {{grids.averages[0], grids.averages[1], grids.averages[2], grids.averages[3]}});
    std::vector<QStringList> accruals;
    for (const en::VacationAccrualLine& line : grids.accruals)
        accruals.push_back({line.name, line.month, line.days, line.amount});
    CFldHlpGridCtrl* accrualGrid = ShowResultGrid(this, IdAccrualGrid, kAccrualRect,
                                                  {QStringLiteral("Начисление / Удержание"), QStringLiteral("Месяц"),
                                                   QStringLiteral("Дней"), QStringLiteral("Сумма")},
                                                  {0.45, 0.15, 0.15, 0}, accruals);
    for (std::size_t i = 0; i < grids.accruals.size(); ++i)
        if (grids.accruals[i].deduction)
            for (int col = 0; col < 4; ++col)
                accrualGrid->SetItemBkColour(int(i) + 1, col, GridCtrl::MakeColour(255, 128, 0));
    CFldHlpGridCtrl* amountGrid =
        ShowResultGrid(this, IdAmountGrid, kAmountRect, {QStringLiteral("К выдаче"), grids.amount}, {0.5, 0.5}, {});
    amountGrid->SetItemFgColour(0, 1, GridCtrl::MakeColour(0, 0, 255));
    amountGrid->SetItemBkColour(0, 1, GridCtrl::MakeColour(200, 253, 254));
}

void COtpuskVvodDlg::BeginGroup()
{
    m_groupMode = true;
    ib::VacationNote blank;
    en::ApplyVacationDisplayDefaults(blank);
    ShowNote(blank);
    Field(IdLength)->setFocus();
}
