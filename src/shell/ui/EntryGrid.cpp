#include "shell/ui/EntryGrid.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "grid/GridTypes.h"
#include "shell/ui/CFormChildDlg.h"

#include <QFont>
#include <QFontMetrics>

QFont EntryScreenFont(bool bold)
{
    QFont font;
    font.setFamilies(GridCtrl::ScreenFontFamilies());
    font.setPointSize(10);
    font.setBold(bold);
    return font;
}

CFldHlpGridCtrl* SetupEntryGrid(CFormChildDlg* dialog, int id, const QRect& rect)
{
    auto* grid = qobject_cast<CFldHlpGridCtrl*>(dialog->control(id));
    if (grid) {
        grid->DeleteAllItems();
    } else {
        grid = new CFldHlpGridCtrl(dialog);
        grid->Create(rect, dialog, id);
        dialog->SetControl(id, grid);
    }
    grid->SetGridBkColor(GridCtrl::GetSysColour(GridCtrl::ColourButtonFace));
    grid->SetEditable(false);
    grid->SetColumnResize(false);
    grid->SetTrackFocusCell(false);
    grid->SetFixedRowSelection(false);
    grid->SetFixedColumnSelection(false);
    grid->SetHeaderSort(false);
    grid->SetSingleRowSelection(true);
    grid->EnableTitleTips(true);
    grid->SetListMode(true);

    static const QFont font = EntryScreenFont(false);
    static const QFont bold = EntryScreenFont(true);
    for (int fixedRow = 0; fixedRow < 2; ++fixedRow)
        for (int fixedCol = 0; fixedCol < 2; ++fixedCol) {
            CGridDefaultCell* cell = grid->GetDefaultCell(fixedRow != 0, fixedCol != 0);
            if (!cell)
                continue;
            cell->SetMargin(5);
            cell->SetFont(&font);
            if (fixedRow || fixedCol) {
                cell->SetFont(&bold);
                cell->SetTextColour(GridCtrl::MakeColour(64, 0, 128));
                cell->SetBackColour(GridCtrl::MakeColour(155, 215, 255));
            }
        }
    return grid;
}

void SetupResultListGrid(CGridCtrl* grid, int columns)
{
    grid->SetGridBkColor(GridCtrl::GetSysColour(GridCtrl::ColourButtonFace));
    SetGridDefaultMargins(grid);
    grid->SetListMode(true);
    grid->SetEditable(false);
    grid->SetSingleRowSelection(true);
    grid->SetHeaderSort(false);
    grid->EnableTitleTips(false);
    grid->SetTrackFocusCell(false);
    static const QFont bold = EntryScreenFont(true);
    static const QFont normal = EntryScreenFont(false);
    for (int fixedCol = 0; fixedCol < 2; ++fixedCol) {
        CGridDefaultCell* heading = grid->GetDefaultCell(true, fixedCol != 0);
        heading->SetFont(&bold);
        heading->SetTextColour(0x800040);
        heading->SetBackColour(0xFFD79B);
        heading->SetFormat(GridCtrl::DT_CENTER | GridCtrl::DT_VCENTER);
        CGridDefaultCell* data = grid->GetDefaultCell(false, fixedCol != 0);
        data->SetFont(&normal);
        data->SetFormat(GridCtrl::DT_CENTER | GridCtrl::DT_VCENTER | GridCtrl::DT_SINGLELINE);
    }
    grid->SetFixedRowCount(1);
    grid->SetFixedColumnCount(0);
    grid->SetColumnCount(columns);
    grid->SetRowCount(1);
    grid->SetRowHeight(0, QFontMetrics(bold).height() + 2 * 5 + 1);
}

void SetGridDefaultMargins(CGridCtrl* grid)
{
    for (int fixedRow = 0; fixedRow < 2; ++fixedRow)
        for (int fixedCol = 0; fixedCol < 2; ++fixedCol)
            if (CGridDefaultCell* cell = grid->GetDefaultCell(fixedRow != 0, fixedCol != 0))
                cell->SetMargin(5);
}
