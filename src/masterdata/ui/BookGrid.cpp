#include "masterdata/ui/BookGrid.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Values.h"

#include <QApplication>

#include <QFont>
#include <QFontMetrics>

#include <algorithm>
#include <cmath>

using namespace GridCtrl;

namespace {

constexpr COLORREF kHeadingText = MakeColour(64, 0, 128);
constexpr COLORREF kHeadingBack = MakeColour(155, 215, 255);

void RecordFocus(CCommonFormView* view, CGridCtrl* grid, int row, int col)
{
    view->m_focusedId = grid->GetDlgCtrlID();
    view->m_focusedWnd = grid;
    view->m_focusedGrid = grid;
    view->m_gridRow = row;
    view->m_gridCol = col;
}

int DataRowHeight()
{
    const QFontMetrics metrics(EntryScreenFont(false));
    return metrics.height() + 8;
}

} // namespace

CFldHlpGridCtrl* CreateBookGrid(CCommonFormView* view, int id, int fixedRows)
{
    auto* grid = new CFldHlpGridCtrl(view);
    grid->Create(QRect(0, 0, 600, 300), view, id);
    view->SetControl(id, grid);
    static const QFont bold = EntryScreenFont(true);
    static const QFont normal = EntryScreenFont(false);
    for (int fixedCol = 0; fixedCol < 2; ++fixedCol) {
        CGridDefaultCell* heading = grid->GetDefaultCell(true, fixedCol != 0);
        heading->SetFont(&bold);
        heading->SetTextColour(kHeadingText);
        heading->SetBackColour(kHeadingBack);
        heading->SetFormat(DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        heading->SetMargin(5);
        CGridDefaultCell* data = grid->GetDefaultCell(false, fixedCol != 0);
        data->SetFont(&normal);
        data->SetFormat(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        data->SetMargin(5);
    }
    grid->SetEditable(true);
    grid->SetListMode(true);
    grid->SetSingleRowSelection(true);
    grid->SetHeaderSort(false);
    grid->SetFixedRowSelection(false);
    grid->SetFixedColumnSelection(false);
    grid->SetRowResize(false);
    grid->EnableTitleTips(true);
    grid->SetRowCount(fixedRows);
    grid->SetFixedRowCount(fixedRows);
    grid->SetFixedColumnCount(0);
    return grid;
}

std::vector<GridColumn> BookColumns(const QStringList& titles, const std::vector<kalvor::FigureRule>& rules)
{
    std::vector<GridColumn> columns;
    for (int col = 0; col < int(titles.size()) && col < int(rules.size()); ++col)
        columns.push_back(FigureColumn(titles[col], rules[std::size_t(col)]));
    return columns;
}

void SetBookGridColumns(CGridCtrl* grid, const std::vector<GridColumn>& columns, const std::vector<double>& shares)
{
    const QStringList titles = GridColumnTitles(columns);
    grid->DeclareColumns(columns);
    const QFontMetrics metrics(EntryScreenFont(true));
    const bool twoLines = std::any_of(titles.begin(), titles.end(), [](const QString& t) { return t.contains('\n'); });
    grid->SetRowHeight(0, (twoLines ? 2 : 1) * (metrics.height() + 4) + 8);
    const int width = grid->width();
    for (int col = 0; col < int(shares.size()) && col < int(titles.size()); ++col)
        grid->SetColumnWidth(col, int(std::lround(width * shares[std::size_t(col)])));
    for (int col = 0; col < int(titles.size()); ++col) grid->SetItemText(0, col, titles[col]);
    FitBookGridColumns(grid);
}

void FitBookGridColumns(CGridCtrl* grid) { grid->FitLastColumnToView(); }

int AppendBookRow(CGridCtrl* grid, const QStringList& texts)
{
    const int row = grid->InsertRow(QString());
    grid->SetRowHeight(row, DataRowHeight());
    for (int col = 0; col < texts.size() && col < grid->GetColumnCount(); ++col)
        grid->SetItemText(row, col, texts[col]);
    return row;
}

void FillBookGrid(CGridCtrl* grid, const std::vector<QStringList>& rows)
{
    grid->DeleteNonFixedRows();
    for (const QStringList& texts : rows) AppendBookRow(grid, texts);
    FitBookGridColumns(grid);
}

std::function<QString(int row, const QString& read)> NumberUniqueInColumn(const CGridCtrl* grid, int col,
                                                                          const QString& name, const QString& book)
{
    return [grid, col, name, book](int row, const QString& read) {
        const long long number = read.trimmed().toLongLong();
        if (number == 0)
            return QString();
        for (int other = grid->GetFixedRowCount(); other < grid->GetRowCount(); ++other)
            if (other != row && grid->GetItemText(other, col).trimmed().toLongLong() == number)
                return QStringLiteral("В поле \"%1\" указан номер, который уже есть в справочнике \"%2\": %3")
                    .arg(name, book)
                    .arg(number);
        return QString();
    };
}

std::vector<QStringList> BookGridRows(const CGridCtrl* grid)
{
    std::vector<QStringList> rows;
    for (int row = grid->GetFixedRowCount(); row < grid->GetRowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid->GetColumnCount(); ++col) cells << grid->GetItemText(row, col);
        rows.push_back(cells);
    }
    return rows;
}

bool AddBookRow(CCommonFormView* view, CGridCtrl* grid, int capacity)
{
    if (grid->GetRowCount() - grid->GetFixedRowCount() >= capacity)
        return false;
    const int row = AppendBookRow(grid, QStringList());
    grid->SelectNewRow(row);
    FitBookGridColumns(grid);
    RecordFocus(view, grid, row, 0);
    return true;
}

void DeleteSelectedBookRow(CGridCtrl* grid)
{
    const CCellRange selected = grid->GetSelectedCellRange();
    int row = selected.IsValid() ? selected.minRow : grid->GetFocusCell().row;
    if (row < grid->GetFixedRowCount() || row >= grid->GetRowCount())
        return;
    grid->DeleteRow(row);
    grid->SetFocusCell(-1, -1);
    grid->ResetSelectedRange();
    FitBookGridColumns(grid);
}

void ConnectBookGridFocus(CCommonFormView* view, CGridCtrl* grid)
{
    QObject::connect(grid, &CGridCtrl::gridNotify, view, [view, grid](GridNotifyInfo* info, long* result) {
        *result = 0;
        if (info->hdr.code == NotifySelChanged)
            RecordFocus(view, grid, info->iRow, info->iColumn);
    });
}

BookWaitCursor::BookWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

BookWaitCursor::~BookWaitCursor() { QApplication::restoreOverrideCursor(); }

bool SaveFirmRecord(kalvor::infobase::CInfoBase& base)
{
    BookWaitCursor wait;
    try {
        kalvor::infobase::SaveFirm(base);
        return true;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return false;
    }
}
