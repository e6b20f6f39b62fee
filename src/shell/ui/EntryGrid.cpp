#include "shell/ui/EntryGrid.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "shell/ui/CFormChildDlg.h"

#include <QFont>

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

    // "Microsoft Sans Serif" is not on Linux; the same metrics come from
    // Liberation Sans, or DejaVu Sans where that is missing.
    static QFont font = [] {
        QFont f;
        f.setFamilies(
            {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
        f.setPointSize(10);
        return f;
    }();
    static QFont bold = [] {
        QFont f = font;
        f.setBold(true);
        return f;
    }();
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

void SetGridDefaultMargins(CGridCtrl* grid)
{
    for (int fixedRow = 0; fixedRow < 2; ++fixedRow)
        for (int fixedCol = 0; fixedCol < 2; ++fixedCol)
            if (CGridDefaultCell* cell = grid->GetDefaultCell(fixedRow != 0, fixedCol != 0))
                cell->SetMargin(5);
}

void EnableGridSelection(CGridCtrl* grid, bool enable)
{
    grid->ResetSelectedRange();
    grid->SetFocusCell(-1, -1);
    grid->EnableSelection(enable);
}
