#include "exchange/ui/CEFuncPrExpPlanDlg.h"

#include "exchange/ChartOfAccounts1CFile.h"
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/KalvorMessageBox.h"

using namespace kalvor;
using exchange::ChartOfAccounts1CFile;

namespace {

constexpr int kFixedRows = 2;

// Share of the grid's width of each column: account, subaccount and the
// numbers 0.06; kinds and options 0.024 in the first two analytics, 0.025 in
// the last two.
double ColumnShare(int column)
{
    if (column < 2 || (column - 2) % 3 == 2)
        return 0.06;
    return column < 14 ? 0.024 : 0.025;
}

// A column as the messages name it: "Счет", "Субсчет", or the analytics,
// its level and the digit or number ("Субконто 1, уровень 2, номер").
QString ChartColumnName(int column)
{
    if (column < 2)
        return column == 0 ? QStringLiteral("Счет") : QStringLiteral("Субсчет");
    static const char* const kParts[] = {"вид", "вариант", "номер"};
    const int place = (column - 2) % 6;
    return QStringLiteral("Субконто %1, уровень %2, %3")
        .arg((column - 2) / 6 + 1)
        .arg(place / 3 + 1)
        .arg(QString::fromUtf8(kParts[place % 3]));
}

} // namespace

CEFuncPrExpPlanDlg::CEFuncPrExpPlanDlg(QWidget* parent, const QString& folder)
    : COneCGridDlg(QStringLiteral("План счетов"), IdGrid, parent)
    , m_folder(folder.isEmpty() ? platform::WorkingFolder() : folder)
{
    resize(960, 420);
    OnInitDialog();
}

void CEFuncPrExpPlanDlg::OnInitDialog()
{
    SetUpGrid();
    LoadPlanFile();
}

void CEFuncPrExpPlanDlg::SetUpGrid()
{
    SetUpGridLook();
    CGridCtrl* grid = Grid();
    grid->SetFixedRowCount(kFixedRows);
    grid->SetFixedColumnCount(0);
    std::vector<GridColumn> columns;
    for (int column = 0; column < exchange::kChartColumns; ++column)
        columns.push_back(FigureColumn(ChartColumnName(column), exchange::ChartOfAccounts1CFile::ColumnRule(column)));
    grid->DeclareColumns(columns);
    grid->SetRowCount(kFixedRows);
    MergeHeadings();
    const int height = HeadingHeight(QStringLiteral("Суб-\nсчет"));
    grid->SetRowHeight(0, height);
    grid->SetRowHeight(1, height);
    SpreadColumns();

    grid->SetItemText(0, 0, QStringLiteral("Счет"));
    grid->SetItemText(0, 1, QStringLiteral("Суб-\nсчет"));
    for (int analytics = 0; analytics < 4; ++analytics) {
        const int first = 2 + 6 * analytics;
        grid->SetItemText(0, first, QStringLiteral("Субконто %1").arg(analytics + 1));
        grid->SetItemText(1, first, QStringLiteral("Уровень 1"));
        grid->SetItemText(1, first + 3, QStringLiteral("Уровень 2"));
    }
}

// Account and subaccount span both heading rows; in row 0 each analytics
// spans its six columns, in row 1 each level its three.
void CEFuncPrExpPlanDlg::MergeHeadings()
{
    CGridCtrl* grid = Grid();
    for (int column : {0, 1}) {
        grid->GetCell(0, column)->SetMergeDown(1);
        grid->GetCell(1, column)->SetMergeDown(2);
    }
    for (int column = 2; column < exchange::kChartColumns; ++column) {
        grid->GetCell(0, column)->SetMergeAcross((column - 2) % 6 == 0 ? 1 : 2);
        grid->GetCell(1, column)->SetMergeAcross((column - 2) % 3 == 0 ? 1 : 2);
    }
}

void CEFuncPrExpPlanDlg::SpreadColumns()
{
    CGridCtrl* grid = Grid();
    for (int column = 0; column < exchange::kChartColumns; ++column)
        grid->SetColumnWidth(column, ShareOfWidth(ColumnShare(column)));
    grid->ExpandLastColumn();
}

void CEFuncPrExpPlanDlg::LoadPlanFile()
{
    std::vector<exchange::ChartLine> lines;
    try {
        lines = ChartOfAccounts1CFile::Load(m_folder);
    } catch (const TextError& error) {
        KalvorMessageBox(error.message(), MB_OK | MB_ICONERROR, QString(), this);
        return;
    }
    CGridCtrl* grid = Grid();
    for (const exchange::ChartLine& line : lines) {
        const int row = AppendRow();
        const exchange::ChartCells cells = ChartOfAccounts1CFile::Cells(line);
        for (int column = 0; column < exchange::kChartColumns; ++column)
            grid->SetItemText(row, column, cells[size_t(column)]);
    }
}

void CEFuncPrExpPlanDlg::SavePlanFile()
{
    CGridCtrl* grid = Grid();
    grid->EndEditing();
    std::vector<exchange::ChartLine> lines;
    for (int row = kFixedRows; row < grid->GetRowCount() && int(lines.size()) < exchange::kChartMaxLines; ++row) {
        exchange::ChartCells cells;
        for (int column = 0; column < exchange::kChartColumns; ++column)
            cells[size_t(column)] = grid->GetItemText(row, column);
        lines.push_back(ChartOfAccounts1CFile::FromCells(cells));
    }
    try {
        ChartOfAccounts1CFile::Save(m_folder, lines);
    } catch (const TextError& error) {
        KalvorMessageBox(error.message(), MB_OK | MB_ICONERROR, QString(), this);
        return;
    }
    QDialog::accept();
}
