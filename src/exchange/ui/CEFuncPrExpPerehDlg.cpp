#include "exchange/ui/CEFuncPrExpPerehDlg.h"

#include "grid/GridCell.h"
#include "grid/GridCtrl.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/CScan.h"

using namespace kalvor;
using namespace kalvor::exchange;

CEFuncPrExpPerehDlg::CEFuncPrExpPerehDlg(QWidget* parent, const QString& folder)
    : COneCGridDlg(QStringLiteral("Таблицы перехода"), IdGrid, parent)
    , m_folder(folder.isEmpty() ? platform::WorkingFolder() : folder)
{
    resize(480, 420);
    OnInitDialog();
}

void CEFuncPrExpPerehDlg::OnInitDialog()
{
    SetUpGridLook();
    try {
        m_lines = TransitionTables1CFile::Load(m_folder);
    } catch (const TextError& error) {
        KalvorMessageBox(error.message(), MB_OK | MB_ICONERROR, QString(), this);
        m_failed = true;
        return;
    }
    FillTableGrid(true, BuildTransitionTables(m_lines, BuildShopTable, m_table));
}

int CEFuncPrExpPerehDlg::exec()
{
    if (m_failed)
        return QDialog::Rejected;
    return QDialog::exec();
}

void CEFuncPrExpPerehDlg::FillTableGrid(bool shopStep, int count)
{
    CGridCtrl* grid = Grid();
    grid->DeleteAllItems();
    grid->SetFixedRowCount(1);
    grid->SetFixedColumnCount(0);
    const QString numberHeading = shopStep ? QStringLiteral("Номер цеха") : QStringLiteral("Номер бриг.");
    grid->DeclareColumns({FigureColumn(numberHeading, kTransitionNumberRule),
                          FigureColumn(QStringLiteral("Поле 1"), kTransitionFieldRule),
                          FigureColumn(QStringLiteral("Поле 2"), kTransitionFieldRule)});
    grid->SetRowCount(1);
    grid->SetRowHeight(0, HeadingHeight(numberHeading));
    SpreadColumns();
    grid->SetItemText(0, 0, numberHeading);
    grid->SetItemText(0, 1, QStringLiteral("Поле 1"));
    grid->SetItemText(0, 2, QStringLiteral("Поле 2"));
    for (int k = 0; k < count; ++k) {
        const TransitionEntry& entry = m_table[size_t(k)];
        const int row = AppendRow();
        grid->SetItemText(row, 0, QString::fromLatin1(entry.text.left(2)));
        grid->SetItemText(row, 1, TransitionEntryField(entry, 1));
        grid->SetItemText(row, 2, TransitionEntryField(entry, 2));
    }
    grid->Refresh();
}

void CEFuncPrExpPerehDlg::SpreadColumns()
{
    CGridCtrl* grid = Grid();
    if (grid->GetColumnCount() < 3)
        return;
    grid->SetColumnWidth(0, ShareOfWidth(0.3));
    grid->SetColumnWidth(1, ShareOfWidth(0.35));
    grid->ExpandLastColumn();
}

int CEFuncPrExpPerehDlg::OnDeleteRow()
{
    CGridCtrl* grid = Grid();
    const CCellRange range = grid->GetSelectedCellRange();
    int number = 0;
    const bool numbered = grid->IsValid(range) && ScanInt(grid->GetItemText(range.minRow, 0), number);
    const int row = COneCGridDlg::OnDeleteRow();
    if (row >= 0 && numbered && number > 0 && number <= 99)
        m_deletedNumbers.push_back(number);
    return row;
}

void CEFuncPrExpPerehDlg::CopyGridToTable()
{
    CGridCtrl* grid = Grid();
    grid->EndEditing();
    m_table.fill(TransitionEntry{});
    for (int row = 1; row < grid->GetRowCount() && row <= kMaxDataRows; ++row)
        m_table[size_t(row - 1)] =
            TransitionEntryFromCells(grid->GetItemText(row, 0), grid->GetItemText(row, 1), grid->GetItemText(row, 2));
}

void CEFuncPrExpPerehDlg::OnOK()
{
    CopyGridToTable();
    // The step's changes go into a copy of the lines, which replaces them
    // only once merged (and, in the brigade step, written).
    TransitionLines merged = m_lines;
    try {
        ClearTransitionNumbers(merged, m_shopStep, m_deletedNumbers);
        BuildTransitionTables(merged, m_shopStep ? MergeShopTable : MergeBrigadeTable, m_table);
        if (!m_shopStep)
            TransitionTables1CFile::Save(m_folder, merged);
    } catch (const TextError& error) {
        KalvorMessageBox(error.message(), MB_OK | MB_ICONERROR, QString(), this);
        return;
    }
    m_lines = merged;
    m_deletedNumbers.clear();
    if (!m_shopStep) {
        QDialog::accept();
        return;
    }
    m_shopStep = false;
    FillTableGrid(false, BuildTransitionTables(m_lines, BuildBrigadeTable, m_table));
}
