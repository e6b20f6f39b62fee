#include "entries/ui/CCurnuSsudKredDlg.h"

#include "infobase/InfoBaseDb.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

CCurnuSsudKredDlg::CCurnuSsudKredDlg(CCommonFormView* view) : CMonthFormDlg(IDD, view)
{
    setObjectName(QStringLiteral("CCurnuSsudKredDlg"));
    auto* layout = new QGridLayout(this);
    layout->setSpacing(8);
    for (int loan = 0; loan < 4; ++loan) BuildBlock(loan);
    setFocusProxy(Field(IdCode[0]));
}

void CCurnuSsudKredDlg::BuildBlock(int loan)
{
    const auto at = std::size_t(loan);
    auto* block = new QFrame(this);
    block->setFrameShape(QFrame::StyledPanel);
    // One loan under the other: two side by side are wider than the room.
    static_cast<QGridLayout*>(layout())->addWidget(block, loan, 0);
    auto* grid = new QGridLayout(block);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    const QString ordinal[] = {QStringLiteral("Первая ссуда"), QStringLiteral("Вторая ссуда"),
                               QStringLiteral("Третья ссуда"), QStringLiteral("Четвертая ссуда")};
    grid->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(ordinal[loan]), block), 0, 0, 1, 4);

    // Each field is named by its loan too, as its heading shows it, and a
    // stage's by its stage, so that a refusal says which of the twelve
    // "Сумма" it is ("Вторая ссуда, третий этап, Сумма").
    const QString loanName = ordinal[loan];
    const auto addField = [&](const QString& where, int row, int column, const QString& label, int id,
                              const kalvor::FigureRule& rule, int width, kalvor::BookCheck book = {}) {
        NameInBlock(AddField(grid, row, column, label, id, rule, width, 1, std::move(book)), where);
    };
    // The deduction's code: one of the loans' codes that the pay kinds hold.
    addField(loanName, 1, 0, QStringLiteral("Код удержания"), IdCode[at], en::kLoanCodeRule, 60,
             LoanKindBook(View()->Document()->infoBase));
    addField(loanName, 1, 2, QStringLiteral("Долг"), IdDebt[at], kalvor::kDeductionAmountRule, 110);
    addField(loanName, 2, 0, QStringLiteral("Количество месяцев"), IdMonths[at], en::kInstalmentMonthsRule, 60);
    auto* tax = new QCheckBox(QStringLiteral("Налог с процентов"), block);
    QPalette palette = tax->palette();
    palette.setColor(QPalette::WindowText, kLabelText);
    tax->setPalette(palette);
    SetControl(IdTax[at], tax);
    grid->addWidget(tax, 2, 2, 1, 2);
    const std::array<QString, en::kLoanStages> stageOrdinal{
        QStringLiteral("первый этап"), QStringLiteral("второй этап"), QStringLiteral("третий этап")};
    for (int stage = 0; stage < en::kLoanStages; ++stage) {
        const QString place = QStringLiteral("%1, %2").arg(loanName, stageOrdinal[std::size_t(stage)]);
        addField(place, 3 + stage, 0, QStringLiteral("Число месяцев"), IdStageMonths[at] + stage, en::kStageMonthsRule,
                 60);
        addField(place, 3 + stage, 2, QStringLiteral("Сумма"), IdStageSums[at] + stage, kalvor::kDeductionAmountRule,
                 110);
    }
}

QCheckBox* CCurnuSsudKredDlg::TaxBox(int loan) const { return controlAs<QCheckBox>(IdTax[std::size_t(loan)]); }

en::LoanForm CCurnuSsudKredDlg::FormValues() const
{
    en::LoanForm form;
    for (std::size_t loan = 0; loan < form.size(); ++loan) {
        en::LoanFields& fields = form[loan];
        fields.code = Field(IdCode[loan])->text();
        fields.debt = Field(IdDebt[loan])->text();
        fields.months = Field(IdMonths[loan])->text();
        fields.tax = TaxBox(int(loan))->isChecked();
        for (int stage = 0; stage < en::kLoanStages; ++stage) {
            fields.stageMonths[std::size_t(stage)] = Field(IdStageMonths[loan] + stage)->text();
            fields.stageSums[std::size_t(stage)] = Field(IdStageSums[loan] + stage)->text();
        }
    }
    return form;
}

void CCurnuSsudKredDlg::ShowBlock(const ib::EmployeeRecord& rec)
{
    const en::LoanForm form = en::ShowLoans(rec.ssud);
    for (std::size_t loan = 0; loan < form.size(); ++loan) {
        const en::LoanFields& fields = form[loan];
        Field(IdCode[loan])->setText(fields.code);
        Field(IdDebt[loan])->setText(fields.debt);
        Field(IdMonths[loan])->setText(fields.months);
        TaxBox(int(loan))->setChecked(fields.tax);
        for (int stage = 0; stage < en::kLoanStages; ++stage) {
            Field(IdStageMonths[loan] + stage)->setText(fields.stageMonths[std::size_t(stage)]);
            Field(IdStageSums[loan] + stage)->setText(fields.stageSums[std::size_t(stage)]);
        }
    }
}

bool CCurnuSsudKredDlg::ReadBlock(ib::EmployeeRecord& rec, bool filledOnly) const
{
    // Only a changed field makes a save write the base, as on the writs screen.
    return en::ReadLoans(FormValues(), rec.ssud, filledOnly);
}

void CCurnuSsudKredDlg::CountBlock(const ib::EmployeeRecord& rec, ib::EmployeeAttributes& attr) const
{
    en::CountLoans(rec.ssud, attr);
}

en::DetailSaver CCurnuSsudKredDlg::Saver() const { return &ib::SaveSsud; }
