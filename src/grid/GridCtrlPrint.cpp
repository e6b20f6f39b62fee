// Sorting of the grid's rows by one column, and printing of the grid: pages
// broken by rows (and, when the grid keeps its screen scale, by columns), each
// with a header (the window's title and the program's name) and a footer
// ("Page %d of %d" and the date and time).
#include "grid/GridCtrl.h"

#include <QApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <algorithm>

using namespace GridCtrl;

CGridCtrl* CGridCtrl::s_sortingGrid = nullptr;

namespace {

// The printer's sample text; its first 52 characters give the mean width.
const char kWidthSample[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";

// What the printed forms call "Arial" is the metric twin Debian ships.
const char kPrintFontFamily[] = "Liberation Sans";

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    return int(std::llround(double(number) * numerator / denominator));
}

} // namespace

// ---------------------------------------------------------------------------
// Sorting

int CGridCtrl::CompareCellText(const CGridCellBase* first, const CGridCellBase* second, qintptr)
{
    if (!first || !second)
        return 0;
    // Code unit by code unit, case-sensitive: "A" < "a" < "b".
    const int result = first->GetText().compare(second->GetText(), Qt::CaseSensitive);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

bool CGridCtrl::SortTextItems(int col, bool ascending)
{
    return SortItems(m_pfnCompare ? m_pfnCompare : &CGridCtrl::CompareCellText, col, ascending, 0);
}

bool CGridCtrl::SortItems(CompareFunc compare, int col, bool ascending, qintptr data)
{
    const int oldSortColumn = m_nSortColumn;
    m_nSortColumn = col;
    if (oldSortColumn >= 0)
        RedrawCell(0, oldSortColumn);
    RedrawCell(0, col);
    m_bAscending = ascending;
    ResetSelectedRange();
    return QuickSortRows(compare, col, ascending, data, m_nFixedRows, -1);
}

bool CGridCtrl::QuickSortRows(CompareFunc compare, int col, bool ascending, qintptr data, int low, int high)
{
    if (col >= m_nCols)
        return false;
    if (high == -1)
        high = m_nRows - 1;
    if (low >= high)
        return false;

    if (m_bVirtualMode) {
        // The owner's predicate orders its own rows; the cells are never touched.
        if (!m_pfnVirtualCompare)
            return false;
        m_CurCol = CellOrderColumn(col);
        s_sortingGrid = this;
        const VirtualCompareFunc before = m_pfnVirtualCompare;
        const auto first = m_arRowOrder.begin() + std::min<size_t>(size_t(m_nFixedRows), m_arRowOrder.size());
        if (ascending)
            std::sort(first, m_arRowOrder.end(), [before](int a, int b) { return before(a, b); });
        else
            std::sort(first, m_arRowOrder.end(), [before](int a, int b) { return before(b, a); });
        return true;
    }

    auto cellAt = [this, col](int row) { return GetCell(row, col); };
    auto below = [&](int row, const CGridCellBase* pivot) {
        const int c = compare(cellAt(row), pivot, data);
        return ascending ? c < 0 : c > 0;
    };
    auto above = [&](int row, const CGridCellBase* pivot) {
        const int c = compare(cellAt(row), pivot, data);
        return ascending ? c > 0 : c < 0;
    };

    const CGridCellBase* pivot = cellAt((low + high) / 2);
    int lo = low, hi = high;
    while (lo <= hi) {
        while (lo < high && below(lo, pivot)) ++lo;
        while (hi > low && above(hi, pivot)) --hi;
        if (lo <= hi) {
            if (compare(cellAt(lo), cellAt(hi), data) != 0) {
                // A swap exchanges the rows' cells and their heights. The pivot
                // is a cell pointer, so it follows its row.
                std::swap(m_RowData[size_t(lo)], m_RowData[size_t(hi)]);
                std::swap(m_arRowHeights[size_t(lo)], m_arRowHeights[size_t(hi)]);
            }
            ++lo;
            --hi;
        }
    }
    if (low < hi)
        QuickSortRows(compare, col, ascending, data, low, hi);
    if (lo < high)
        QuickSortRows(compare, col, ascending, data, lo, high);
    return true;
}

// ---------------------------------------------------------------------------
// Printing

void CGridCtrl::OnBeginPrinting(QPainter* dc, GridPrintInfo* info)
{
    if (!dc || !info || !dc->device())
        return;
    QPaintDevice* printer = dc->device();
    const int printerDpiX = printer->logicalDpiX(), printerDpiY = printer->logicalDpiY();
    const int screenDpiX = logicalDpiX(), screenDpiY = logicalDpiY();

    delete m_pPrinterFont;
    m_pPrinterFont = new QFont(QString::fromLatin1(kPrintFontFamily));
    m_pPrinterFont->setPixelSize(10);
    m_pPrinterFont->setWeight(QFont::Normal);
    const QFontMetrics metrics(*m_pPrinterFont);
    m_CharHeight = metrics.height();
    m_CharWidth = metrics.horizontalAdvance(QString::fromLatin1(kWidthSample, 52)) / 52;

    m_nPrinterHorzRes = printer->width();
    m_nPrinterVertRes = printer->height();
    if (m_bPrintScaleToScreen) {
        m_nPageWidth = m_nPrinterHorzRes * screenDpiX / std::max(1, printerDpiX) * 3 / 4;
        m_nPageHeight = m_nPrinterVertRes * screenDpiY / std::max(1, printerDpiY) * 3 / 4;
    } else {
        // The whole grid fits across one page.
        m_nPageWidth = int(GetVirtualWidth()) + (m_nLeftMargin + m_nRightMargin) * m_CharWidth;
        m_nPageHeight = MulDiv(m_nPageWidth, m_nPrinterVertRes, m_nPrinterHorzRes);
    }
    m_nBodyHeight =
        m_nPageHeight - (m_nHeaderHeight + m_nFooterHeight + 2 * m_nGap) * m_CharHeight - GetFixedRowHeight();

    int pagesDown = 1, usedHeight = 0;
    for (int row = m_nFixedRows; row < m_nRows; ++row) {
        usedHeight += GetRowHeight(row);
        if (usedHeight > m_nBodyHeight) {
            ++pagesDown;
            usedHeight = GetRowHeight(row);
        }
    }
    m_nPrintableWidth = m_nPageWidth - GetFixedColumnWidth() - (m_nLeftMargin + m_nRightMargin) * m_CharWidth;
    m_nPageMultiplier = 1;
    if (m_bPrintScaleToScreen) {
        int usedWidth = 0;
        for (int col = m_nFixedCols; col < m_nCols; ++col) {
            usedWidth += GetColumnWidth(col);
            if (usedWidth > m_nPrintableWidth) {
                ++m_nPageMultiplier;
                usedWidth = GetColumnWidth(col);
            }
        }
    }
    m_nPageCount = m_nPageMultiplier * pagesDown;
    info->maxPage = m_nPageCount;
    info->curPage = 1;
}

// First row and column of a page: the rows and columns are walked with the
// same break rule that counted the pages.
bool CGridCtrl::PagePrintStart(int page, int& firstRow, int& firstCol) const
{
    const int across = std::max(1, m_nPageMultiplier);
    const int pageDown = (page + across - 1) / across;
    const int pageAcross = (page - 1) % across + 1;

    firstRow = m_nFixedRows;
    int usedHeight = 0, currentPage = 1;
    for (int row = m_nFixedRows; row < m_nRows && currentPage < pageDown; ++row) {
        usedHeight += GetRowHeight(row);
        if (usedHeight > m_nBodyHeight) {
            ++currentPage;
            usedHeight = GetRowHeight(row);
            firstRow = row;
        }
    }
    firstCol = m_nFixedCols;
    int usedWidth = 0, currentAcross = 1;
    for (int col = m_nFixedCols; col < m_nCols && currentAcross < pageAcross; ++col) {
        usedWidth += GetColumnWidth(col);
        if (usedWidth > m_nPrintableWidth) {
            ++currentAcross;
            usedWidth = GetColumnWidth(col);
            firstCol = col;
        }
    }
    return currentPage == pageDown;
}

void CGridCtrl::OnPrint(QPainter* dc, GridPrintInfo* info)
{
    if (!dc || !info || !m_pPrinterFont)
        return;
    dc->save();
    dc->setFont(*m_pPrinterFont);
    dc->setWindow(QRect(-m_nLeftMargin * m_CharWidth, 0, m_nPageWidth, m_nPageHeight));
    dc->setViewport(QRect(0, 0, m_nPrinterHorzRes, m_nPrinterVertRes));

    PrintHeader(dc, info);

    int firstRow = m_nFixedRows, firstCol = m_nFixedCols;
    PagePrintStart(info->curPage, firstRow, firstCol);
    m_nCurrPrintRow = firstRow;
    m_nPrintColumn = firstCol;

    dc->save();
    dc->translate(0, (m_nHeaderHeight + m_nGap) * m_CharHeight);
    PrintColumnHeadings(dc, info);
    dc->translate(0, GetFixedRowHeight());
    PrintRowButtons(dc, info);
    const int bodyLeft = GetFixedColumnWidth();
    int top = 0;
    bool firstRowLine = true;
    for (int row = firstRow; row < m_nRows && top + GetRowHeight(row) <= m_nBodyHeight; ++row) {
        const int height = GetRowHeight(row);
        if (height > 0) {
            QRect rect(bodyLeft, top, 0, height);
            bool firstColumnLine = true;
            PrintRowCells(firstCol, m_nCols, row, rect, dc, firstColumnLine);
            if (firstRowLine && (m_nGridLines == 1 || m_nGridLines == 3))
                dc->drawLine(bodyLeft, top, bodyLeft + m_nPrintableWidth, top);
            firstRowLine = false;
        }
        top += height;
    }
    dc->restore();

    dc->save();
    dc->translate(0, m_nPageHeight - m_nFooterHeight * m_CharHeight);
    PrintFooter(dc, info);
    dc->restore();
    dc->restore();
}

void CGridCtrl::OnEndPrinting(QPainter*, GridPrintInfo*)
{
    delete m_pPrinterFont;
    m_pPrinterFont = nullptr;
}

void CGridCtrl::PrintGridLines(QPainter* dc, QRect rect, bool topLine, bool leftLine)
{
    dc->save();
    dc->setPen(QPen(Qt::black, 0));
    const bool horizontal = m_nGridLines == 1 || m_nGridLines == 3;
    const bool vertical = m_nGridLines == 2 || m_nGridLines == 3;
    if (horizontal) {
        dc->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
        if (topLine)
            dc->drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    }
    if (vertical) {
        dc->drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        if (leftLine)
            dc->drawLine(rect.left(), rect.top(), rect.left(), rect.bottom());
    }
    dc->restore();
}

void CGridCtrl::PrintRowCells(int firstCol, int endCol, int row, QRect rect, QPainter* dc, bool& firstLine)
{
    int left = rect.left();
    for (int col = firstCol; col < endCol; ++col) {
        const int width = GetColumnWidth(col);
        if (width <= 0)
            continue;
        if (left - rect.left() + width > m_nPrintableWidth && col > firstCol)
            break;
        const QRect cellRect(left, rect.top(), width, rect.height());
        if (CGridCellBase* cell = GetCell(row, col)) {
            cell->SetCoords(row, col);
            cell->PrintCell(dc, row, col, cellRect.adjusted(0, 0, -1, -1));
        }
        PrintGridLines(dc, cellRect.adjusted(0, 0, -1, -1), false, firstLine);
        firstLine = false;
        left += width;
    }
}

void CGridCtrl::PrintColumnHeadings(QPainter* dc, GridPrintInfo*)
{
    dc->setFont(*m_pPrinterFont);
    int top = 0;
    for (int row = 0; row < m_nFixedRows; ++row) {
        const int height = GetRowHeight(row);
        bool firstLine = true;
        // The fixed columns' corner, then the page's own columns.
        PrintRowCells(0, m_nFixedCols, row, QRect(0, top, 0, height), dc, firstLine);
        PrintRowCells(m_nPrintColumn, m_nCols, row, QRect(GetFixedColumnWidth(), top, 0, height), dc, firstLine);
        top += height;
    }
}

void CGridCtrl::PrintRowButtons(QPainter* dc, GridPrintInfo*)
{
    dc->setFont(*m_pPrinterFont);
    int top = 0;
    for (int row = m_nCurrPrintRow; row < m_nRows && top + GetRowHeight(row) <= m_nBodyHeight; ++row) {
        const int height = GetRowHeight(row);
        int left = 0;
        for (int col = 0; col < m_nFixedCols; ++col) {
            const QRect cellRect(left, top, GetColumnWidth(col), height);
            if (CGridCellBase* cell = GetCell(row, col)) {
                cell->SetCoords(row, col);
                cell->PrintCell(dc, row, col, cellRect.adjusted(0, 0, -1, -1));
            }
            PrintGridLines(dc, cellRect.adjusted(0, 0, -1, -1), false, col == 0);
            left += GetColumnWidth(col);
        }
        top += height;
    }
}

void CGridCtrl::PrintHeader(QPainter* dc, GridPrintInfo*)
{
    const QRect rect(0, 0, m_nPageWidth - (m_nLeftMargin + m_nRightMargin) * m_CharWidth,
                     m_nHeaderHeight * m_CharHeight);
    QString title;
    for (QWidget* w = parentWidget(); w && title.isEmpty(); w = w->parentWidget()) title = w->windowTitle();
    dc->save();
    QFont bold = *m_pPrinterFont;
    bold.setWeight(QFont::Bold);
    dc->setFont(bold);
    dc->setPen(Qt::black);
    dc->setBackgroundMode(Qt::TransparentMode);
    if (!title.isEmpty())
        dc->drawText(rect, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, title);
    dc->drawText(rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, QStringLiteral("Kalvor"));
    dc->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    dc->restore();
}

void CGridCtrl::PrintFooter(QPainter* dc, GridPrintInfo* info)
{
    const QRect rect(0, 0, m_nPageWidth - (m_nLeftMargin + m_nRightMargin) * m_CharWidth,
                     m_nFooterHeight * m_CharHeight);
    const QString pageText = QString::asprintf("Page %d of %d", info->curPage, info->maxPage);
    const QString dateText = QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    dc->save();
    dc->setPen(Qt::black);
    dc->drawLine(rect.left(), rect.top(), rect.right(), rect.top());
    QFont bold = *m_pPrinterFont;
    bold.setWeight(QFont::Bold);
    dc->setFont(bold);
    dc->setBackgroundMode(Qt::TransparentMode);
    dc->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, pageText);
    if (!dateText.isEmpty())
        dc->drawText(rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, dateText);
    dc->restore();
}

QPixmap CGridCtrl::CreateDragImage(QPoint* hotSpot)
{
    QRect rect;
    if (!IsValid(m_idCurrentCell) || !GetCellRect(m_idCurrentCell.row, m_idCurrentCell.col, rect))
        return QPixmap();
    QPixmap image(rect.size());
    image.fill(ToQColor(m_cellDefault.GetBackColour()));
    QPainter painter(&image);
    if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
        cell->Draw(&painter, m_idCurrentCell.row, m_idCurrentCell.col, QRect(QPoint(0, 0), rect.size()), true);
    if (hotSpot)
        *hotSpot = QPoint(rect.width(), rect.height());
    return image;
}

bool CGridCtrl::PrintGrid(QPrinter* printer)
{
    QPainter painter;
    if (!printer || !painter.begin(printer))
        return false;
    GridPrintInfo info;
    OnBeginPrinting(&painter, &info);
    for (int page = 1; page <= info.maxPage; ++page) {
        if (page > 1)
            printer->newPage();
        info.curPage = page;
        OnPrint(&painter, &info);
    }
    OnEndPrinting(&painter, &info);
    return painter.end();
}
