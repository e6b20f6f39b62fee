// Painting of the grid, the mapping between cells and client coordinates,
// the scroll bars and scrolling.
#include "grid/GridCtrl.h"
#include "grid/MemDC.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <limits>

using namespace GridCtrl;

// ---------------------------------------------------------------------------
// Painting

void CGridCtrl::paintEvent(QPaintEvent* e)
{
    QPainter p(viewport());
    const QRect clip = e->rect();
    if (m_bDoubleBuffer) {
        CMemDC mem(&p, clip, ToQColor(m_crWindowColour));
        mem.painter()->setFont(font());
        OnDraw(mem.painter(), clip);
    } else {
        OnDraw(&p, clip);
    }
}

// What one paint of the grid needs to know: where it draws, which part
// must be drawn, and where the fixed rows and columns end.
struct CGridCtrl::DrawArea {
    QPainter* dc;
    QRect clipBox;
    int fixedRowHeight;
    int fixedColWidth;
    CCellID topLeft; // first visible non-fixed cell
    CCellRange visible; // visible non-fixed cells
};

// Fills the four fixed and non-fixed regions with their cells' background
// colours and the rest of the window with the window colour.
void CGridCtrl::FillDrawBackgrounds(const DrawArea& area, const QRect& visibleRect)
{
    const QRect client = ClientRect();
    const int visRight = visibleRect.right() + 1; // first pixel right of the cells
    const int visBottom = visibleRect.bottom() + 1; // first pixel below the cells
    const int rowsHeight = visBottom - area.fixedRowHeight, colsWidth = visRight - area.fixedColWidth;
    auto fill = [&](const QRect& r, COLORREF c) {
        QRect part = r.intersected(area.clipBox);
        if (!part.isEmpty())
            area.dc->fillRect(part, ToQColor(c));
    };
    fill(QRect(0, 0, area.fixedColWidth, area.fixedRowHeight), m_cellFixedRowColDef.GetBackColour());
    fill(QRect(0, area.fixedRowHeight, area.fixedColWidth, rowsHeight), m_cellFixedColDef.GetBackColour());
    fill(QRect(area.fixedColWidth, 0, colsWidth, area.fixedRowHeight), m_cellFixedRowDef.GetBackColour());
    fill(QRect(area.fixedColWidth, area.fixedRowHeight, colsWidth, rowsHeight), m_cellDefault.GetBackColour());
    fill(QRect(visRight, 0, client.right() + 1 - visRight, client.height()), m_crWindowColour);
    fill(QRect(0, visBottom, visRight, client.bottom() + 1 - visBottom), m_crWindowColour);
}

// A cell's rectangle extended over the covered cells that follow it.
QRect CGridCtrl::SpannedRect(CGridCellBase* cell, int row, int col, QRect rect)
{
    if (cell->GetHorzSpan() == SpanStart) {
        for (int c = col + 1; c < m_nCols; ++c) {
            CGridCellBase* next = GetCell(row, c);
            if (!next || next->GetHorzSpan() != SpanCovered)
                break;
            rect.setRight(rect.right() + GetColumnWidth(c));
        }
    }
    if (cell->GetVertSpan() == SpanStart) {
        for (int r = row + 1; r < m_nRows; ++r) {
            CGridCellBase* next = GetCell(r, col);
            if (!next || next->GetVertSpan() != SpanCovered)
                break;
            rect.setBottom(rect.bottom() + GetRowHeight(r));
        }
    }
    return rect;
}

void CGridCtrl::DrawCellAt(QPainter* dc, int row, int col, const QRect& rect, bool span)
{
    CGridCellBase* cell = GetCell(row, col);
    if (!cell)
        return;
    cell->SetCoords(row, col);
    cell->Draw(dc, row, col, span ? SpannedRect(cell, row, col, rect) : rect, false);
}

// A run of rows (Qt::Vertical) or columns (Qt::Horizontal) as a paint walks
// it: the numbers first to last, the first beginning at start. Those that
// end before clipFrom are passed, and the walk stops at the first that
// begins after clipTo; a run without those edges is walked whole.
struct CGridCtrl::DrawRun {
    Qt::Orientation axis;
    int first, last, start;
    int clipFrom = std::numeric_limits<int>::min(), clipTo = std::numeric_limits<int>::max();
    DrawRun whole() const { return {axis, first, last, start}; }
};

// Calls step(number, begin, size) for each row or column of the run that is
// not hidden (its size above 0), in order.
template <class Step>
void CGridCtrl::WalkRun(const DrawRun& run, Step step) const
{
    int next = run.start;
    for (int i = run.first; i >= 0 && i <= run.last; ++i) {
        const int size = run.axis == Qt::Vertical ? GetRowHeight(i) : GetColumnWidth(i);
        if (size <= 0)
            continue;
        const int begin = next;
        next += size;
        if (begin + size - 1 < run.clipFrom)
            continue;
        if (begin > run.clipTo)
            break;
        step(i, begin, size);
    }
}

// Draws the cells where the rows meet the columns, row by row; span: the
// fixed cells, drawn over the covered cells that follow them.
void CGridCtrl::DrawCells(QPainter* dc, const DrawRun& rows, const DrawRun& cols, bool span)
{
    WalkRun(rows, [&](int row, int top, int h) {
        WalkRun(cols, [&](int col, int left, int w) { DrawCellAt(dc, row, col, QRect(left, top, w, h), span); });
    });
}

// Grid lines between the non-fixed cells: vertical for 2 and 3, horizontal
// for 1 and 3, at the last pixel of each visible column or row.
void CGridCtrl::DrawGridLines(const DrawArea& area, const DrawRun& rows, const DrawRun& cols)
{
    const QColor lineColour = ToQColor(m_crGridLineColour);
    const QRect& clip = area.clipBox;
    if ((m_nGridLines == 2 || m_nGridLines == 3) && clip.bottom() >= area.fixedRowHeight)
        WalkRun(cols.whole(), [&](int, int left, int w) {
            area.dc->fillRect(QRect(left + w - 1, area.fixedRowHeight, 1, clip.bottom() + 1 - area.fixedRowHeight),
                              lineColour);
        });
    if ((m_nGridLines == 1 || m_nGridLines == 3) && clip.right() >= area.fixedColWidth)
        WalkRun(rows.whole(), [&](int, int top, int h) {
            area.dc->fillRect(QRect(area.fixedColWidth, top + h - 1, clip.right() + 1 - area.fixedColWidth, 1),
                              lineColour);
        });
}

void CGridCtrl::OnDraw(QPainter* dc, const QRect& clipBox)
{
    if (!m_bAllowDraw || !dc || clipBox.isEmpty())
        return;
    QRect visibleRect;
    const CCellRange visible = GetVisibleNonFixedCellRange(&visibleRect);
    const DrawArea area{dc, clipBox, GetFixedRowHeight(), GetFixedColumnWidth(), GetTopleftNonFixedCell(), visible};
    FillDrawBackgrounds(area, visibleRect);
    if (m_bVirtualMode)
        SendCacheHint(visible);
    const DrawRun fixedRows{Qt::Vertical, 0, m_nFixedRows - 1, 0};
    const DrawRun fixedCols{Qt::Horizontal, 0, m_nFixedCols - 1, 0};
    const DrawRun rows{Qt::Vertical,        area.topLeft.row, visible.maxRow,
                       area.fixedRowHeight, clipBox.top(),    clipBox.bottom()};
    const DrawRun cols{Qt::Horizontal,     area.topLeft.col, visible.maxCol,
                       area.fixedColWidth, clipBox.left(),   clipBox.right()};
    DrawCells(dc, fixedRows, fixedCols, true); // the fixed corner
    DrawCells(dc, rows, fixedCols, true); // the row headings
    DrawCells(dc, fixedRows, cols, true); // the column headings
    DrawCells(dc, rows, cols, false);
    DrawGridLines(area, rows, cols);
    if (m_bVirtualMode)
        SendCacheHint(CCellRange());
}

bool CGridCtrl::RedrawCellDC(int row, int col, QPainter*)
{
    if (!m_bAllowDraw || !IsValid(row, col) || !IsCellVisible(row, col))
        return false;
    QRect rect;
    if (!GetCellRect(row, col, rect))
        return false;
    // Qt paints only from the paint handler: the cell is repainted there.
    viewport()->update(rect.adjusted(0, 0, 1, 1));
    return true;
}

bool CGridCtrl::RedrawRow(int row)
{
    bool all = true;
    for (int col = 0; col < m_nCols; ++col) all = RedrawCellDC(row, col) && all;
    return all;
}

bool CGridCtrl::InvalidateCellRect(int row, int col)
{
    if (!m_bAllowDraw || !IsValid(row, col) || !IsCellVisible(row, col))
        return false;
    QRect rect;
    if (!GetCellRect(row, col, rect))
        return false;
    viewport()->update(rect.adjusted(0, 0, 1, 1));
    return true;
}

void CGridCtrl::Refresh()
{
    if (m_bAllowDraw)
        viewport()->update();
}

// ---------------------------------------------------------------------------
// Geometry

bool CGridCtrl::GetCellOrigin(int row, int col, QPoint& p)
{
    if (!IsValid(row, col))
        return false;
    CCellID topLeft;
    if (col >= m_nFixedCols || row >= m_nFixedRows)
        topLeft = GetTopleftNonFixedCell();
    if ((row >= m_nFixedRows && row < topLeft.row) || (col >= m_nFixedCols && col < topLeft.col))
        return false;
    int x = 0;
    if (col < m_nFixedCols) {
        for (int i = 0; i < col; ++i) x += GetColumnWidth(i);
    } else {
        for (int i = 0; i < m_nFixedCols; ++i) x += GetColumnWidth(i);
        for (int i = topLeft.col; i < col; ++i) x += GetColumnWidth(i);
    }
    int y = 0;
    if (row < m_nFixedRows) {
        for (int i = 0; i < row; ++i) y += GetRowHeight(i);
    } else {
        for (int i = 0; i < m_nFixedRows; ++i) y += GetRowHeight(i);
        for (int i = topLeft.row; i < row; ++i) y += GetRowHeight(i);
    }
    p = QPoint(x, y);
    return true;
}

bool CGridCtrl::GetCellRect(int row, int col, QRect& rect)
{
    QPoint origin;
    if (!GetCellOrigin(row, col, origin))
        return false;
    // right = left + width - 1, bottom = top + height - 1
    rect = QRect(origin.x(), origin.y(), GetColumnWidth(col), GetRowHeight(row));
    if (CGridCellBase* cell = GetCell(row, col)) {
        rect = SpannedRect(cell, row, col, rect);
        if (cell->GetHorzSpan() == SpanCovered)
            rect.setWidth(1);
        if (cell->GetVertSpan() == SpanCovered)
            rect.setHeight(1);
    }
    return true;
}

bool CGridCtrl::GetTextRect(int row, int col, QRect& rect)
{
    CGridCellBase* cell = GetCell(row, col);
    if (!cell || !GetCellRect(row, col, rect))
        return false;
    return cell->GetTextRect(rect);
}

CCellID CGridCtrl::GetTopleftNonFixedCell(bool forceRecalculation)
{
    if (m_idTopLeftCell.IsValid() && !forceRecalculation)
        return m_idTopLeftCell;
    const int hpos = GetScrollPos32(Qt::Horizontal);
    const int vpos = GetScrollPos32(Qt::Vertical);
    int col = m_nFixedCols, right = 0;
    while (right < hpos && col < m_nCols - 1) right += GetColumnWidth(col++);
    int row = m_nFixedRows, bottom = 0;
    while (bottom < vpos && row < m_nRows - 1) bottom += GetRowHeight(row++);
    m_idTopLeftCell = CCellID(row, col);
    return m_idTopLeftCell;
}

CCellRange CGridCtrl::GetVisibleNonFixedCellRange(QRect* rect, bool forceRecalculation)
{
    const QRect client = ClientRect();
    const CCellID topLeft = GetTopleftNonFixedCell(forceRecalculation);
    // The last row or column from first on that shows in the client area,
    // even in part, and where those shown end (at most at the area's edge).
    const auto lastShown = [this](Qt::Orientation axis, int first, int begin, int edge, int& end) {
        const bool rows = axis == Qt::Vertical;
        const int count = rows ? m_nRows : m_nCols;
        int i = first;
        end = begin;
        for (; i < count; ++i) {
            end += rows ? GetRowHeight(i) : GetColumnWidth(i);
            if (end >= edge) {
                end = edge;
                break;
            }
        }
        return std::min(i, count - 1);
    };
    int bottom = 0, right = 0;
    const int maxRow = lastShown(Qt::Vertical, topLeft.row, GetFixedRowHeight(), client.bottom() + 1, bottom);
    const int maxCol = lastShown(Qt::Horizontal, topLeft.col, GetFixedColumnWidth(), client.right() + 1, right);
    if (rect)
        *rect = QRect(0, 0, right, bottom);
    return CCellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

CCellRange CGridCtrl::GetUnobstructedNonFixedCellRange(bool forceRecalculation)
{
    const QRect client = ClientRect();
    const CCellID topLeft = GetTopleftNonFixedCell(forceRecalculation);
    int bottom = GetFixedRowHeight();
    int row = topLeft.row;
    for (; row < m_nRows; ++row) {
        bottom += GetRowHeight(row);
        if (bottom >= client.bottom() + 1)
            break;
    }
    const int maxRow = std::min(row, m_nRows) - 1;
    int right = GetFixedColumnWidth();
    int col = topLeft.col;
    for (; col < m_nCols; ++col) {
        right += GetColumnWidth(col);
        if (right >= client.right() + 1)
            break;
    }
    const int maxCol = std::min(col, m_nCols) - 1;
    return CCellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

bool CGridCtrl::IsCellVisible(int row, int col)
{
    if (!IsValid(row, col))
        return false;
    const CCellID topLeft = GetTopleftNonFixedCell();
    if ((row >= m_nFixedRows && row < topLeft.row) || (col >= m_nFixedCols && col < topLeft.col))
        return false;
    QPoint origin;
    if (!GetCellOrigin(row, col, origin))
        return false;
    const QRect client = ClientRect();
    return origin.x() >= client.left() && origin.x() <= client.right() && origin.y() >= client.top() &&
           origin.y() <= client.bottom();
}

CCellID CGridCtrl::GetCellFromPt(QPoint point, bool allowFixedCellCheck)
{
    CCellID topLeft = GetTopleftNonFixedCell();
    CCellID cell;
    if (!allowFixedCellCheck && !IsValid(topLeft))
        return cell;

    // The same search along each axis: in the fixed cells from 0, else in the
    // scrolled cells from the top-left non-fixed one; -1 past the last.
    auto locate = [&](int p, int fixedExtent, int nFixed, int n, int first, auto extent) {
        if (p < 0 || (!allowFixedCellCheck && p < fixedExtent))
            return -1;
        const bool inFixed = p < fixedExtent;
        int pos = inFixed ? 0 : fixedExtent;
        const int end = inFixed ? nFixed : n;
        int i = inFixed ? 0 : first;
        for (; i < end; ++i) {
            pos += extent(i);
            if (pos > p)
                break;
        }
        return i < end ? i : -1;
    };
    cell.col = locate(point.x(), GetFixedColumnWidth(), m_nFixedCols, m_nCols, topLeft.col,
                      [this](int c) { return GetColumnWidth(c); });
    cell.row = locate(point.y(), GetFixedRowHeight(), m_nFixedRows, m_nRows, topLeft.row,
                      [this](int r) { return GetRowHeight(r); });
    if (cell.row < 0 || cell.col < 0)
        return CCellID();
    return cell;
}

void CGridCtrl::EnsureVisible(int row, int col)
{
    if (!m_bAllowDraw)
        return;
    QPointer<QWidget> focusWnd = QApplication::focusWidget();
    const CCellRange vis = GetVisibleNonFixedCellRange();

    int right = col - vis.maxCol;
    int left = vis.minCol - col;
    int down = row - vis.maxRow;
    int up = vis.minRow - row;

    for (int c = vis.maxCol + 1; right > 0; --right, ++c)
        if (GetColumnWidth(c) > 0)
            OnHScroll(SB_LINEDOWN);
    for (int c = vis.minCol - 1; left > 0; --left, --c)
        if (GetColumnWidth(c) > 0)
            OnHScroll(SB_LINEUP);
    for (int r = vis.maxRow + 1; down > 0; --down, ++r)
        if (GetRowHeight(r) > 0)
            OnVScroll(SB_LINEDOWN);
    for (int r = vis.minRow - 1; up > 0; --up, --r)
        if (GetRowHeight(r) > 0)
            OnVScroll(SB_LINEUP);

    const QRect client = ClientRect();
    QRect rect;
    while (GetCellRect(row, col, rect) && rect.right() > client.right() && rect.left() > GetFixedColumnWidth() &&
           (m_nBarState & 0x01)) {
        const int before = GetScrollPos32(Qt::Horizontal);
        OnHScroll(SB_LINEDOWN);
        if (GetScrollPos32(Qt::Horizontal) == before)
            break;
    }
    while (GetCellRect(row, col, rect) && rect.bottom() > client.bottom() && rect.top() > GetFixedRowHeight() &&
           (m_nBarState & 0x02)) {
        const int before = GetScrollPos32(Qt::Vertical);
        OnVScroll(SB_LINEDOWN);
        if (GetScrollPos32(Qt::Vertical) == before)
            break;
    }
    if (focusWnd && QApplication::focusWidget() != focusWnd)
        focusWnd->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------------------
// Scroll bars

void CGridCtrl::ShowScrollBar(Qt::Orientation bar, bool show)
{
    const int bit = bar == Qt::Horizontal ? 0x01 : 0x02;
    if (show)
        m_nBarState |= bit;
    else
        m_nBarState &= ~bit;
    const Qt::ScrollBarPolicy policy = show ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (bar == Qt::Horizontal) {
        if (horizontalScrollBarPolicy() != policy)
            setHorizontalScrollBarPolicy(policy);
    } else if (verticalScrollBarPolicy() != policy) {
        setVerticalScrollBarPolicy(policy);
    }
}

void CGridCtrl::SetScrollRange(Qt::Orientation bar, int max, int page)
{
    QScrollBar* sb = bar == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    // The bar's maximum is inclusive of the page: the last position shows
    // the last page.
    const int last = max > 0 ? std::max(0, max - page + 1) : 0;
    sb->setPageStep(std::max(page, 1));
    sb->setSingleStep(1);
    sb->setRange(0, last);
}

int CGridCtrl::ColumnTextsWidth(int col) const
{
    int widest = 0;
    for (int row = 0; row < GetRowCount(); ++row)
        if (const CGridCellBase* cell = GetCell(row, col); cell && cell->GetHorzSpan() == SpanNone)
            widest = std::max(widest, cell->WholeTextWidth());
    return widest;
}

void CGridCtrl::WidenColumnsToTexts(int columns)
{
    for (int col = 0; col < columns && col < GetColumnCount(); ++col)
        if (const int needed = ColumnTextsWidth(col); needed > GetColumnWidth(col) && GetColumnWidth(col) > 0)
            SetColumnWidth(col, needed);
}

void CGridCtrl::FitLastColumnToView()
{
    const int last = GetColumnCount() - 1;
    if (last <= 0)
        return;
    WidenColumnsToTexts(last);
    const int lastNeeds = std::max(10, ColumnTextsWidth(last));
    // Twice: the first pass may show or hide the vertical scroll bar.
    for (int pass = 0; pass < 2; ++pass) {
        ResetScrollBars();
        const int client = isVisible() ? viewport()->width() : width() - 2 * frameWidth();
        const long others = GetVirtualWidth() - GetColumnWidth(last);
        SetColumnWidth(last, std::max(lastNeeds, int(client - others)));
    }
    ResetScrollBars();
    Refresh();
}

void CGridCtrl::ResetScrollBars()
{
    m_idTopLeftCell = CCellID();
    if (!m_bAllowDraw || m_bInResize)
        return;
    QRect rect = ClientRect();
    if (rect.isEmpty())
        return;
    m_bInResize = true;
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    if (m_nBarState & 0x02)
        rect.setWidth(rect.width() + extent);
    if (m_nBarState & 0x01)
        rect.setHeight(rect.height() + extent);

    const int fixedColWidth = GetFixedColumnWidth();
    const int fixedRowHeight = GetFixedRowHeight();
    if (rect.width() <= fixedColWidth || rect.height() <= fixedRowHeight) {
        ShowScrollBar(Qt::Horizontal, false);
        ShowScrollBar(Qt::Vertical, false);
        m_nVScrollMax = m_nHScrollMax = 0;
        SetScrollRange(Qt::Horizontal, 0, 0);
        SetScrollRange(Qt::Vertical, 0, 0);
        m_bInResize = false;
        m_idTopLeftCell = CCellID();
        return;
    }

    const long v = GetVirtualHeight() - fixedRowHeight;
    const long h = GetVirtualWidth() - fixedColWidth;
    int availWidth = rect.width() - fixedColWidth;
    if (v > rect.height() - fixedRowHeight)
        availWidth -= extent;
    int availHeight = rect.height() - fixedRowHeight;
    if (h > availWidth)
        availHeight -= extent;

    if (v > availHeight) {
        ShowScrollBar(Qt::Vertical, true);
        m_nVScrollMax = int(v - 1);
    } else {
        ShowScrollBar(Qt::Vertical, false);
        m_nVScrollMax = 0;
    }
    if (h > availWidth) {
        ShowScrollBar(Qt::Horizontal, true);
        m_nHScrollMax = int(h - 1);
    } else {
        ShowScrollBar(Qt::Horizontal, false);
        m_nHScrollMax = 0;
    }
    SetScrollRange(Qt::Horizontal, m_nHScrollMax, m_nHScrollMax ? availWidth : 0);
    SetScrollRange(Qt::Vertical, m_nVScrollMax, m_nVScrollMax ? availHeight : 0);
    m_bInResize = false;
    m_idTopLeftCell = CCellID();
}

int CGridCtrl::GetScrollPos32(Qt::Orientation bar) const
{
    return bar == Qt::Horizontal ? horizontalScrollBar()->value() : verticalScrollBar()->value();
}

bool CGridCtrl::SetScrollPos32(Qt::Orientation bar, int pos)
{
    m_idTopLeftCell = CCellID();
    QScrollBar* sb = bar == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    sb->setValue(pos);
    m_idTopLeftCell = CCellID();
    return true;
}

void CGridCtrl::scrollContentsBy(int, int)
{
    m_idTopLeftCell = CCellID();
    if (m_bAllowDraw)
        viewport()->update();
}

void CGridCtrl::InvalidateNonFixed(bool horizontal)
{
    QRect r = ClientRect();
    if (horizontal)
        r.setLeft(GetFixedColumnWidth());
    else
        r.setTop(GetFixedRowHeight());
    if (m_bAllowDraw)
        viewport()->update(r);
}

void CGridCtrl::ScrollBarAction(Qt::Orientation bar, int action)
{
    int code;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
    default: {
        // Dragging the thumb: the bar follows the mouse.
        EndEditing();
        m_TitleTip.Hide();
        return;
    }
    }
    QScrollBar* sb = bar == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    sb->setSliderPosition(sb->value());
    if (bar == Qt::Horizontal)
        OnHScroll(code);
    else
        OnVScroll(code);
}

void CGridCtrl::OnHScroll(int code, int thumbPos) { OnScroll(Qt::Horizontal, code, thumbPos); }

void CGridCtrl::OnVScroll(int code, int thumbPos) { OnScroll(Qt::Vertical, code, thumbPos); }

// Both bars scroll alike: by the next visible column (row) for a line, by the
// non-fixed part of the window for a page, to the thumb, or to either end.
void CGridCtrl::OnScroll(Qt::Orientation bar, int code, int thumbPos)
{
    const bool horz = bar == Qt::Horizontal;
    EndEditing();
    m_TitleTip.Hide();
    const int pos = GetScrollPos32(bar);
    const int max = (horz ? horizontalScrollBar() : verticalScrollBar())->maximum();
    const CCellID topLeft = GetTopleftNonFixedCell();
    const QRect client = ClientRect();
    const int fixed = horz ? m_nFixedCols : m_nFixedRows;
    const int count = horz ? m_nCols : m_nRows;
    const int first = horz ? topLeft.col : topLeft.row;
    auto extent = [&](int i) { return horz ? GetColumnWidth(i) : GetRowHeight(i); };
    switch (code) {
    case SB_LINEUP:
        if (pos > 0 && first > fixed) {
            int i = first - 1;
            while (i > fixed && extent(i) <= 0) --i;
            SetScrollPos32(bar, std::max(0, pos - extent(i)));
            InvalidateNonFixed(horz);
        }
        break;
    case SB_LINEDOWN:
        if (pos < max) {
            int i = first;
            while (i < count - 1 && extent(i) <= 0) ++i;
            SetScrollPos32(bar, pos + std::max(0, extent(i)));
            if (GetScrollPos32(bar) != pos)
                InvalidateNonFixed(horz);
        }
        break;
    case SB_PAGEUP:
    case SB_PAGEDOWN: {
        const int page = horz ? client.width() - GetFixedColumnWidth() : client.height() - GetFixedRowHeight();
        int newPos = code == SB_PAGEUP ? pos - page : pos + page;
        SetScrollPos32(bar, std::clamp(newPos, 0, max));
        InvalidateNonFixed(horz);
        break;
    }
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetScrollPos32(bar, thumbPos);
        if (GetTopleftNonFixedCell() != topLeft)
            InvalidateNonFixed(horz);
        break;
    case SB_TOP:
        if (pos > 0) {
            SetScrollPos32(bar, 0);
            Refresh();
        }
        break;
    case SB_BOTTOM:
        if (pos < max) {
            SetScrollPos32(bar, max);
            Refresh();
        }
        break;
    default: break;
    }
}

void CGridCtrl::resizeEvent(QResizeEvent* e)
{
    static bool s_bInSize = false;
    if (s_bInSize)
        return;
    s_bInSize = true;
    EndEditing();
    QAbstractScrollArea::resizeEvent(e);
    ResetScrollBars();
    s_bInSize = false;
}

void CGridCtrl::OnMouseWheel(int delta)
{
    EndEditing();
    m_TitleTip.Hide();
    if (m_nRowsPerWheelNotch == -1) {
        int pages = delta / 120;
        for (int i = 0; i < std::abs(pages); ++i) OnVScroll(pages > 0 ? SB_PAGEUP : SB_PAGEDOWN);
    } else {
        int lines = delta * m_nRowsPerWheelNotch / 120;
        for (int i = 0; i < std::abs(lines); ++i) OnVScroll(lines > 0 ? SB_LINEUP : SB_LINEDOWN);
    }
}

void CGridCtrl::wheelEvent(QWheelEvent* e)
{
    OnMouseWheel(e->angleDelta().y());
    e->accept();
}
