#include "reports/social/ui/CGenrOVPFEditDlg.h"

#include "reports/social/PensionContributions.h"
#include "reports/social/ui/SocialReportOutputs.h"

#include <QGridLayout>
#include <QLabel>


namespace kalvor::reports {

using namespace ovpf;
using enum EditFieldFormat;

namespace {

QLabel* Label(const char* text, QWidget* parent) { return new QLabel(QString::fromUtf8(text), parent); }

// Section 1 of editor 416: the lines, their four controls and first value.
// Line 100 is a balance (a debt, or an overpayment below 0); the others are
// amounts accrued or paid, never below 0.
struct Section1Line {
    const char* text;
    int controls[4];
    int first;
    bool balance = false;
};
constexpr Section1Line kSection1Lines[] = {
    {"100 Остаток", {1005, 1006, 1007, 1008}, kLine100, true},
    {"120 Доначислено", {1009, 1010, 1011, 1012}, kLine120},
    {"140 Уплачено с начала периода", {1013, 1014, 1015, 1016}, kLine140},
    {"141 - 1 месяц", {1017, 1018, 1019, 1020}, kLine140 + 4},
    {"142 - 2 месяц", {1021, 1029, 1027, 1028}, kLine140 + 8},
    {"143 - 3 месяц", {1031, 1032, 1033, 1034}, kLine140 + 12},
};

// Section 5 of editor 416: insurance part and funded part; debts and
// payments, never below 0.
struct Section5Line {
    const char* text;
    int controls[2];
    int first;
};
constexpr Section5Line kSection5Lines[] = {
    {"510 Остаток задолженности на начало периода", {1030, 1024}, kSection5},
    {"520 Уплачено в отчетном периоде", {1022, 1025}, kSection5 + 2},
    {"530 Остаток задолженности на конец периода", {1023, 1026}, kSection5 + 4},
};

} // namespace

// ---------------------------------------------------------------- both editors

OVPFEditDlgBase::OVPFEditDlgBase(const ReportSelection& selection, const QString& printPath,
                                 const QString& reportFolder, PayrollDoc& doc, QWidget* parent)
    : ReportEditDlg(doc, parent), m_selection(selection), m_printPath(printPath), m_reportFolder(reportFolder)
{
}

void OVPFEditDlgBase::WriteOutputs() { WriteOVPFOutputs(m_printPath, m_selection, m_reportFolder, m_doc); }

std::vector<FigureRelation> OVPFEditDlgBase::Relations(const GenrValueArray& values) const
{
    return PensionFigureRelations(values, ResolveReportPeriod(m_doc.infoBase.config, kPensionReport.period));
}

// ---------------------------------------------------------------- 416

CGenrOVPFEditDlg::CGenrOVPFEditDlg(const ReportSelection& selection, const QString& printPath,
                                   const QString& reportFolder, PayrollDoc& doc, QWidget* parent)
    : OVPFEditDlgBase(selection, printPath, reportFolder, doc, parent)
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(Label("Номер корректировки", this), 0, 0);
    AddField(grid, CountField(1001, kCorrectionNumber, kMostCorrectionNumber), 0, 1);
    grid->addWidget(Label("Раздел 1", this), 1, 0);
    const char* kinds[] = {"Страховая часть", "Накопительная часть", "ФФОМС", "ТФОМС"};
    for (int column = 0; column < 4; ++column) grid->addWidget(Label(kinds[column], this), 1, column + 1);
    int row = 2;
    for (const Section1Line& line : kSection1Lines) {
        grid->addWidget(Label(line.text, this), row, 0);
        for (int column = 0; column < 4; ++column)
            AddField(grid,
                     line.balance ? BalanceField(line.controls[column], line.first + column)
                                  : AmountField(line.controls[column], line.first + column),
                     row, column + 1);
        ++row;
    }
    grid->addWidget(Label("Раздел 5", this), row, 0);
    grid->addWidget(Label("страховая часть", this), row, 1);
    grid->addWidget(Label("накопительная", this), row, 2);
    ++row;
    for (const Section5Line& line : kSection5Lines) {
        grid->addWidget(Label(line.text, this), row, 0);
        AddField(grid, AmountField(line.controls[0], line.first), row, 1);
        AddField(grid, AmountField(line.controls[1], line.first + 1), row, 2);
        ++row;
    }
    Finish(grid, row);
}

void CGenrOVPFEditDlg::SaveValues(GenrValueArray& v)
{
    OVPFEditDlgBase::SaveValues(v);
    if (!AnyFieldChanged())
        return;
    for (std::size_t c = 0; c < 4; ++c) {
        v[kLine130 + c] = SumByKopecks({v[kLine100 + c], v[kLine110 + c], v[kLine120 + c]});
        v[kLine140 + kQuarterSum + c] = SumByKopecks({v[kLine140 + 4 + c], v[kLine140 + 8 + c], v[kLine140 + 12 + c]});
        v[kLine150 + c] = SumByKopecks({v[kLine130 + c], -v[kLine140 + c]});
    }
}

// ---------------------------------------------------------------- 456

CGenrOVPFEditDlg2::CGenrOVPFEditDlg2(const ReportSelection& selection, const QString& printPath,
                                     const QString& reportFolder, PayrollDoc& doc, QWidget* parent)
    : OVPFEditDlgBase(selection, printPath, reportFolder, doc, parent)
{
    auto* grid = new QGridLayout(this);
    const struct {
        const char* text;
        ReportEditField field;
    } lines[] = {
        {"430 Сумма дохода по статье 248", IncomeField(1001, kIncome248)},
        {"431 Из них по статье 57", IncomeField(1005, kIncome57)},
        {"433 Сред/среднеспис численность сотрудников", CountField(1009, kHeadcount433, kMostHeadcount)},
    };
    int row = 0;
    for (const auto& line : lines) {
        grid->addWidget(Label(line.text, this), row, 0);
        AddField(grid, line.field, row++, 1);
    }
    grid->addWidget(Label("434 Дата записи", this), row, 0);
    AddField(grid, {IdRegisterDate, kRegisterDate, Date}, row++, 1);
    grid->addWidget(Label("434 Номер записи", this), row, 0);
    AddField(grid, CountField(1014, kRegisterNumber, kAnyWhole), row++, 1);
    grid->addWidget(Label("435 Сумма доходов по статье 346.15", this), row, 0);
    AddField(grid, IncomeField(1017, kIncome34615), row++, 1);
    grid->addWidget(Label("436 Из них по статье 58", this), row, 0);
    AddField(grid, IncomeField(1021, kIncome58), row++, 1);
    Finish(grid, row);
}

} // namespace kalvor::reports
