#include "entries/ui/ResultGrids.h"

#include "grid/FldHlpGridCtrl.h"
#include "shell/ui/EntryGrid.h"

#include <QStyle>

#include <algorithm>
#include <cmath>

CFldHlpGridCtrl* ShowResultGrid(CFormChildDlg* dialog, int id, const QRect& rect, const QStringList& headings,
                                const std::vector<double>& shares, const std::vector<QStringList>& rows)
{
    CFldHlpGridCtrl* grid = SetupEntryGrid(dialog, id, rect);
    const int columns = int(headings.size());
    grid->SetColumnCount(columns);
    grid->SetRowCount(1 + int(rows.size()));
    grid->SetFixedRowCount(1);
    // The shares are of the client area, inside the grid's frame.
    const int width = rect.width() - 2 * grid->frameWidth();
    int used = 0;
    for (int col = 0; col < columns; ++col) {
        const double share = col < int(shares.size()) ? shares[std::size_t(col)] : 0;
        const int columnWidth = share > 0 ? int(std::ceil(width * share - 0.5)) : std::max(10, width - used);
        grid->SetColumnWidth(col, columnWidth);
        used += columnWidth;
        grid->SetItemText(0, col, headings[col]);
    }
    // Rows beyond the grid's height bring the vertical scroll bar: the last
    // column gives way to it.
    if (columns > 0 && grid->GetVirtualHeight() > rect.height() - 2 * grid->frameWidth()) {
        const int bar = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int last = columns - 1;
        grid->SetColumnWidth(last, std::max(10, grid->GetColumnWidth(last) - bar));
    }
    for (int row = 0; row < int(rows.size()); ++row)
        for (int col = 0; col < columns && col < int(rows[std::size_t(row)].size()); ++col)
            grid->SetItemText(row + 1, col, rows[std::size_t(row)][col]);
    grid->show();
    grid->update();
    return grid;
}
