// The grid's object, its storage of rows, columns and cells, the sizing
// operations and the notifications to the owner.
#include "grid/GridCtrl.h"
#include "grid/MemDC.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScrollBar>
#include <algorithm>
#include <new>

using namespace GridCtrl;

namespace {

CGridCellBase* MakeGridCell() { return new CGridCell; }

void ReportOutOfMemory(QWidget* parent)
{
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), QStringLiteral("Out of memory."));
}

quint32 CellKey(int row, int col) { return (quint32(row) & 0xFFFF) | (quint32(col) << 16); }

} // namespace

CGridCtrl::CGridCtrl(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_crWindowColour(GetSysColour(Colour3DShadow))
    , m_crWindowText(GetSysColour(ColourWindowText))
    , m_crWindow(GetSysColour(ColourWindow))
    , m_cr3DFace(GetSysColour(ColourButtonFace))
    , m_crShadow(GetSysColour(ColourButtonShadow))
    , m_pfnCellFactory(&MakeGridCell)
    , m_nRowsPerWheelNotch(int(GetMouseScrollLines()))
{
    setObjectName(QStringLiteral("KvGridCtrl"));
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    // The grid is its own drop target; whether a drop is taken is decided per
    // drag (drag and drop allowed, a column header being dragged).
    viewport()->setAcceptDrops(true);

    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { ScrollBarAction(Qt::Horizontal, action); });
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { ScrollBarAction(Qt::Vertical, action); });

    CGridDefaultCell* defs[4] = {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef};
    for (CGridDefaultCell* d : defs) d->SetGrid(this);
    m_cellDefault.SetTextColour(m_crWindowText);
    m_cellDefault.SetBackColour(m_crWindow);
    for (CGridDefaultCell* d : {&m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
        d->SetTextColour(m_crWindowText);
        d->SetBackColour(m_cr3DFace);
    }

    SetRowCount(0);
    SetColumnCount(0);
    SetFixedRowCount(0);
    SetFixedColumnCount(0);
    m_crTTipBackClr = DefaultColour;
    m_crTTipTextClr = DefaultColour;
    m_bModified = false;
    m_TitleTip.Create(viewport());
}

CGridCtrl::~CGridCtrl()
{
    m_bDestroying = true;
    for (CInPlaceEdit* e : viewport()->findChildren<CInPlaceEdit*>()) {
        e->Detach();
        delete e;
    }
    m_bAllowDraw = false;
    DeleteAllItems();
    if (m_bTitleTips && m_TitleTip.IsCreated())
        m_TitleTip.DestroyWindow();
}

bool CGridCtrl::Create(const QRect& rect, QWidget* parent, int id, quint32)
{
    if (parent)
        setParent(parent);
    setGeometry(rect);
    m_nId = id;
    try {
        m_arRowHeights.resize(size_t(m_nRows));
        m_arColWidths.resize(size_t(m_nCols));
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory(this);
        return false;
    }
    for (int& h : m_arRowHeights) h = m_cellDefault.GetHeight();
    for (int& w : m_arColWidths) w = m_cellDefault.GetWidth();
    show();
    return true;
}

CGridDefaultCell* CGridCtrl::GetDefaultCell(bool fixedRow, bool fixedCol) const
{
    auto* self = const_cast<CGridCtrl*>(this);
    if (fixedRow && fixedCol)
        return &self->m_cellFixedRowColDef;
    if (fixedRow)
        return &self->m_cellFixedRowDef;
    if (fixedCol)
        return &self->m_cellFixedColDef;
    return &self->m_cellDefault;
}

// ---------------------------------------------------------------------------
// Size and structure

bool CGridCtrl::SetRowCount(int nRows)
{
    if (nRows < 0 || nRows == m_nRows)
        return nRows == m_nRows;
    bool result = true;
    if (nRows < m_nRows)
        DropRefusedEdit();
    m_idTopLeftCell = CCellID();
    if (nRows < m_nFixedRows)
        m_nFixedRows = nRows;
    if (m_idCurrentCell.row >= nRows)
        SetFocusCell(-1, -1);

    const int addedRows = nRows - m_nRows;
    if (addedRows < 0 && !m_bVirtualMode) {
        for (int row = nRows; row < m_nRows; ++row) {
            for (int col = 0; col < m_nCols; ++col) DestroyCell(row, col);
        }
        m_RowData.resize(size_t(nRows));
    }
    try {
        m_arRowHeights.resize(size_t(nRows));
        if (m_bVirtualMode) {
            m_nRows = nRows;
            for (int row = nRows - addedRows; addedRows > 0 && row < nRows; ++row)
                m_arRowHeights[size_t(row)] = m_cellDefault.GetHeight();
            m_arRowOrder.resize(size_t(nRows));
            for (int i = 0; i < nRows; ++i) m_arRowOrder[size_t(i)] = i;
        } else {
            if (addedRows < 0)
                m_nRows = nRows;
            const int start = m_nRows;
            for (int row = start; row < nRows; ++row) {
                m_arRowHeights[size_t(row)] = m_cellDefault.GetHeight();
                m_RowData.emplace_back(size_t(m_nCols), nullptr);
                ++m_nRows;
                for (int col = 0; col < m_nCols; ++col) m_RowData[size_t(row)][size_t(col)] = CreateCell(row, col);
            }
        }
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory(this);
        result = false;
    }
    SetModified(-1, -1);
    ResetScrollBars();
    Refresh();
    return result;
}

bool CGridCtrl::SetColumnCount(int nCols)
{
    if (nCols < 0 || nCols == m_nCols)
        return nCols == m_nCols;
    bool result = true;
    m_idTopLeftCell = CCellID();
    if (nCols < m_nFixedCols)
        m_nFixedCols = nCols;
    if (m_idCurrentCell.col >= nCols)
        SetFocusCell(-1, -1);

    const int addedCols = nCols - m_nCols;
    if (addedCols < 0 && !m_bVirtualMode) {
        for (int row = 0; row < m_nRows; ++row)
            for (int col = nCols; col < m_nCols; ++col) DestroyCell(row, col);
    }
    try {
        m_arColWidths.resize(size_t(nCols));
        if (!m_bVirtualMode) {
            for (auto& rowData : m_RowData) rowData.resize(size_t(nCols), nullptr);
        }
        const int start = addedCols > 0 ? m_nCols : nCols;
        for (int col = start; col < nCols; ++col) {
            m_arColWidths[size_t(col)] = m_cellFixedColDef.GetWidth();
            if (!m_bVirtualMode) {
                for (int row = 0; row < m_nRows; ++row) m_RowData[size_t(row)][size_t(col)] = CreateCell(row, col);
            }
        }
        m_nCols = nCols;
        m_arColOrder.resize(size_t(nCols));
        for (int i = 0; i < nCols; ++i) m_arColOrder[size_t(i)] = i;
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory(this);
        result = false;
    }
    SetModified(-1, -1);
    ResetScrollBars();
    Refresh();
    return result;
}

bool CGridCtrl::SetFixedRowCount(int nFixedRows) { return SetFixedCount(Qt::Vertical, nFixedRows); }

bool CGridCtrl::SetFixedColumnCount(int nFixedCols) { return SetFixedCount(Qt::Horizontal, nFixedCols); }

bool CGridCtrl::SetFixedCount(Qt::Orientation axis, int count)
{
    const bool rows = axis == Qt::Vertical;
    int& fixed = rows ? m_nFixedRows : m_nFixedCols;
    if (count == fixed)
        return true;
    if (count < 0)
        return false;
    SetSelectedRange(-1, -1, -1, -1);
    SetFocusCell(-1, -1);
    m_idTopLeftCell = CCellID();
    if (count > (rows ? m_nRows : m_nCols) && !(rows ? SetRowCount(count) : SetColumnCount(count)))
        return false;
    if ((rows ? m_idCurrentCell.row : m_idCurrentCell.col) < count)
        SetFocusCell(-1, -1);

    if (!m_bVirtualMode) {
        // Line i along the axis, place j across it: the cell (i, j) of a row
        // or (j, i) of a column. Its state takes set and loses clear; a cell
        // that joins or leaves the fixed ones takes the default colours.
        const quint32 fixedLine = rows ? CellFixedRow : CellFixedColumn;
        const int crossFixed = rows ? m_nFixedCols : m_nFixedRows, crossCount = rows ? m_nCols : m_nRows;
        const auto restate = [&](int i, int j, quint32 set, quint32 clear) {
            const int row = rows ? i : j, col = rows ? j : i;
            SetItemState(row, col, (GetItemState(row, col) | set) & ~clear);
            if (((set | clear) & CellFixed) != 0) {
                SetItemBkColour(row, col, DefaultColour);
                SetItemFgColour(row, col, DefaultColour);
            }
        };
        for (int i = fixed; i < count; ++i)
            for (int j = 0; j < crossCount; ++j) restate(i, j, CellFixed | fixedLine, 0);
        for (int i = count; i < fixed; ++i)
            for (int j = 0; j < crossCount; ++j) restate(i, j, 0, j < crossFixed ? fixedLine : CellFixed | fixedLine);
    }
    fixed = count;
    Refresh();
    return true;
}

int CGridCtrl::InsertRow(const QString& heading, int row)
{
    if (row != -1 && (row < m_nFixedRows || row >= m_nRows))
        return -1;
    m_idTopLeftCell = CCellID();
    ResetSelectedRange();
    if (m_nCols < 1)
        SetColumnCount(1);

    try {
        if (row < 0) {
            row = m_nRows;
            m_arRowHeights.push_back(0);
            if (!m_bVirtualMode)
                m_RowData.emplace_back();
            else
                m_arRowOrder.push_back(m_nRows);
        } else {
            m_arRowHeights.insert(m_arRowHeights.begin() + row, 0);
            if (!m_bVirtualMode)
                m_RowData.insert(m_RowData.begin() + row, std::vector<CGridCellBase*>());
            else
                AdjustRowOrder(row, 1);
        }
        if (!m_bVirtualMode)
            m_RowData[size_t(row)].resize(size_t(m_nCols), nullptr);
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory(this);
        return -1;
    }
    ++m_nRows;

    if (!m_bVirtualMode) {
        for (int col = 0; col < m_nCols; ++col) m_RowData[size_t(row)][size_t(col)] = CreateCell(row, col);
        SetItemText(row, 0, heading);
        SetModified(row, 0);
    }
    if (heading.isEmpty()) {
        m_arRowHeights[size_t(row)] = m_cellFixedRowDef.GetHeight();
    } else {
        CGridCellBase* cell = GetCell(row, 0);
        m_arRowHeights[size_t(row)] = cell ? cell->GetTextExtent(heading).height() : m_cellFixedRowDef.GetHeight();
    }
    ResetScrollBars();
    SetModified(-1, -1);
    return row;
}

bool CGridCtrl::DeleteRow(int row)
{
    if (row < 0 || row >= m_nRows)
        return false;
    ResetSelectedRange();
    if (!m_bVirtualMode) {
        for (int col = 0; col < m_nCols; ++col) DestroyCell(row, col);
        m_RowData.erase(m_RowData.begin() + row);
        m_arRowHeights.erase(m_arRowHeights.begin() + row);
    } else {
        AdjustRowOrder(row, -1);
        m_arRowHeights.erase(m_arRowHeights.begin() + row);
    }
    if (row < m_nFixedRows)
        --m_nFixedRows;
    --m_nRows;
    m_idTopLeftCell = CCellID();
    ResetScrollBars();
    if (m_nSortColumn >= 0) {
        int sortCol = m_nSortColumn;
        m_nSortColumn = -1;
        RedrawCell(0, sortCol);
    }
    m_bModified = true;
    return true;
}

bool CGridCtrl::DeleteNonFixedRows()
{
    DropRefusedEdit();
    EndEditing();
    ResetSelectedRange();
    if (!m_bVirtualMode) {
        for (int row = m_nRows - 1; row >= m_nFixedRows; --row) DeleteRow(row);
    } else {
        SetRowCount(m_nFixedRows);
        m_arRowOrder.resize(size_t(m_nFixedRows));
        m_arRowHeights.resize(size_t(m_nFixedRows));
        SetFocusCell(-1, -1);
        ResetScrollBars();
        if (m_nSortColumn >= 0) {
            int sortCol = m_nSortColumn;
            m_nSortColumn = -1;
            RedrawCell(0, sortCol);
        }
        m_bModified = true;
    }
    return true;
}

bool CGridCtrl::DeleteAllItems()
{
    DropRefusedEdit();
    ResetSelectedRange();
    m_arColWidths.clear();
    m_arRowHeights.clear();
    if (!m_bVirtualMode) {
        for (int row = 0; row < m_nRows; ++row)
            for (int col = 0; col < m_nCols; ++col) DestroyCell(row, col);
        m_RowData.clear();
    } else {
        m_arRowOrder.clear();
    }
    m_arColOrder.clear();
    m_nCols = m_nRows = m_nFixedCols = m_nFixedRows = 0;
    m_idTopLeftCell = CCellID();
    ResetScrollBars();
    if (m_nSortColumn >= 0) {
        m_nSortColumn = -1;
        Refresh();
    }
    m_bModified = true;
    return true;
}

CGridCellBase* CGridCtrl::CreateCell(int row, int col)
{
    CGridCellBase* cell = m_pfnCellFactory ? m_pfnCellFactory() : nullptr;
    if (!cell)
        return nullptr;
    cell->SetGrid(this);
    cell->SetCoords(row, col);
    quint32 state = cell->GetState();
    if (col < m_nFixedCols)
        state |= CellFixed | CellFixedColumn;
    if (row < m_nFixedRows)
        state |= CellFixed | CellFixedRow;
    cell->SetState(state);
    if (CGridDefaultCell* def = cell->GetDefaultCell())
        cell->SetFormat(def->GetFormat());
    return cell;
}

void CGridCtrl::DestroyCell(int row, int col)
{
    if (row < 0 || row >= int(m_RowData.size()))
        return;
    auto& rowData = m_RowData[size_t(row)];
    if (col < 0 || col >= int(rowData.size()))
        return;
    // Forget the cell in the selection before deleting it.
    CGridCellBase*& cell = rowData[size_t(col)];
    if (!cell)
        return;
    if (cell->IsSelected())
        m_SelectedCellMap.remove(CellKey(row, col));
    delete cell;
    cell = nullptr;
}

void CGridCtrl::SetVirtualMode(bool on)
{
    // Stored cells and owner-supplied cells do not mix: switching empties
    // the grid first.
    if (on != m_bVirtualMode)
        DeleteAllItems();
    m_bVirtualMode = on;
}

void CGridCtrl::AdjustRowOrder(int row, int delta)
{
    if (!m_bVirtualMode)
        return;
    // The order stays one entry for each of the owner's rows: an inserted
    // row is the owner's row of that number, the owner's rows from it on
    // move down; a deleted display row takes its owner's row out, and those
    // after it move up.
    if (delta > 0) {
        for (int& v : m_arRowOrder)
            if (v >= row)
                v += delta;
        m_arRowOrder.insert(m_arRowOrder.begin() + std::min<size_t>(size_t(row), m_arRowOrder.size()), row);
    } else if (row >= 0 && row < int(m_arRowOrder.size())) {
        const int gone = m_arRowOrder[size_t(row)];
        m_arRowOrder.erase(m_arRowOrder.begin() + row);
        for (int& v : m_arRowOrder)
            if (v > gone)
                v += delta;
    }
}

// ---------------------------------------------------------------------------
// Cells

CGridCellBase* CGridCtrl::GetCell(int row, int col) const
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols)
        return nullptr;
    if (!m_bVirtualMode) {
        if (size_t(row) >= m_RowData.size())
            return nullptr;
        const auto& rowData = m_RowData[size_t(row)];
        const int stored = CellOrderColumn(col);
        if (stored < 0 || size_t(stored) >= rowData.size())
            return nullptr;
        return rowData[size_t(stored)];
    }

    static CGridCell s_cell;
    auto* self = const_cast<CGridCtrl*>(this);
    GridCellDispInfo info;
    info.hdr.from = self;
    info.hdr.id = m_nId;
    info.hdr.code = NotifyGetDispInfo;
    info.row = row;
    info.col = col;
    info.mask = 0xFFFFFFFFu;
    info.state = 0;
    CGridDefaultCell* def = GetDefaultCell(row < m_nFixedRows, col < m_nFixedCols);
    info.format = def->GetFormat();
    info.image = def->GetImage();
    info.backColour = def->GetBackColour();
    info.textColour = def->GetTextColour();
    info.data = def->GetData();
    if (const QFont* f = def->GetFont())
        info.font = *f;
    info.margin = def->GetMargin();
    if (m_SelectedCellMap.contains(CellKey(row, col)))
        info.state |= CellSelected;
    if (row < m_nFixedRows)
        info.state |= CellFixed | CellFixedRow;
    if (col < m_nFixedCols)
        info.state |= CellFixed | CellFixedColumn;
    if (CCellID(row, col) == m_idCurrentCell)
        info.state |= CellFocused;
    if (!m_bDestroying) {
        if (row < int(m_arRowOrder.size()))
            info.row = m_arRowOrder[size_t(row)];
        info.col = CellOrderColumn(col);
        self->RequestDispInfo(&info);
        info.row = row;
        info.col = col;
    }
    s_cell.SetState(info.state);
    s_cell.SetData(info.data);
    s_cell.SetImage(info.image);
    s_cell.SetFormat(info.format);
    s_cell.SetTextColour(info.textColour);
    s_cell.SetBackColour(info.backColour);
    s_cell.SetFont(info.font ? &*info.font : nullptr);
    s_cell.SetMargin(info.margin);
    s_cell.SetText(info.text);
    s_cell.SetGrid(self);
    return &s_cell;
}

bool CGridCtrl::SetCell(int row, int col, CGridCellBase* cell)
{
    if (m_bVirtualMode || row < 0 || row >= m_nRows || col < 0 || col >= m_nCols)
        return false;
    if (size_t(row) >= m_RowData.size())
        return false;
    // The grid owns its cells: the one the new cell takes the place of goes.
    const int stored = CellOrderColumn(col);
    if (m_RowData[size_t(row)][size_t(stored)] != cell)
        DestroyCell(row, stored);
    cell->SetCoords(row, col);
    m_RowData[size_t(row)][size_t(stored)] = cell;
    return true;
}

QString CGridCtrl::GetItemText(int row, int col) const
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols)
        return QString();
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetText() : QString();
}

// Calls change(cell) on the cell at (row, col); false, and nothing done, in
// virtual mode (the owner keeps the cells) or where there is no cell.
template <class Change>
bool CGridCtrl::ChangeCell(int row, int col, Change change)
{
    if (m_bVirtualMode)
        return false;
    CGridCellBase* cell = GetCell(row, col);
    if (!cell)
        return false;
    change(*cell);
    return true;
}

bool CGridCtrl::SetItemText(int row, int col, const QString& text)
{
    return ChangeCell(row, col, [&](CGridCellBase& cell) {
        cell.SetText(text);
        SetModified(row, col);
    });
}

bool CGridCtrl::SetItemState(int row, int col, quint32 state)
{
    const bool wasSelected = IsCellSelected(row, col);
    if (wasSelected && !(state & CellSelected))
        m_SelectedCellMap.remove(CellKey(row, col));
    else if (!wasSelected && (state & CellSelected))
        m_SelectedCellMap.insert(CellKey(row, col), CCellID(row, col));
    return ChangeCell(row, col, [&](CGridCellBase& cell) { cell.SetState(state); });
}

quint32 CGridCtrl::GetItemState(int row, int col) const
{
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetState() : 0;
}

bool CGridCtrl::SetItemData(int row, int col, quint32 data)
{
    return ChangeCell(row, col, [&](CGridCellBase& cell) {
        cell.SetData(data);
        SetModified(row, col);
    });
}

quint32 CGridCtrl::GetItemData(int row, int col) const
{
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->GetData() : 0;
}

bool CGridCtrl::SetItemFormat(int row, int col, quint32 format)
{
    return ChangeCell(row, col, [&](CGridCellBase& cell) { cell.SetFormat(format); });
}

bool CGridCtrl::SetItemBkColour(int row, int col, COLORREF c)
{
    return ChangeCell(row, col, [&](CGridCellBase& cell) { cell.SetBackColour(c); });
}

bool CGridCtrl::SetItemFgColour(int row, int col, COLORREF c)
{
    return ChangeCell(row, col, [&](CGridCellBase& cell) { cell.SetTextColour(c); });
}

void CGridCtrl::SetModified(int row, int col)
{
    if (col < 0 || col == m_nSortColumn) {
        if (m_nSortColumn >= 0) {
            int sortCol = m_nSortColumn;
            m_nSortColumn = -1;
            RedrawCell(0, sortCol);
        }
        m_nSortColumn = -1;
    }
    if (row >= 0 && col >= 0) {
        if (CGridCellBase* cell = GetCell(row, col)) {
            if (!m_bVirtualMode)
                cell->SetState(cell->GetState() | CellModified);
        }
    }
    m_bModified = true;
}

bool CGridCtrl::IsCellEditable(int row, int col) const
{
    const GridColumn* column = DeclaredColumn(col);
    return m_bEditable && !(GetItemState(row, col) & CellReadOnly) && !(column && !column->edited);
}

bool CGridCtrl::IsValid(const CCellRange& range) const
{
    return range.minRow >= 0 && range.minCol >= 0 && range.maxRow >= 0 && range.maxCol >= 0 && range.maxRow < m_nRows &&
           range.maxCol < m_nCols && range.minRow <= range.maxRow && range.minCol <= range.maxCol;
}

// ---------------------------------------------------------------------------
// Row heights and column widths

int CGridCtrl::GetRowHeight(int row) const
{
    if (row < 0 || row >= int(m_arRowHeights.size()))
        return -1;
    return m_arRowHeights[size_t(row)];
}

int CGridCtrl::GetColumnWidth(int col) const
{
    if (col < 0 || col >= m_nCols)
        return -1;
    int stored = CellOrderColumn(col);
    if (stored < 0 || stored >= int(m_arColWidths.size()))
        return -1;
    return m_arColWidths[size_t(stored)];
}

bool CGridCtrl::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= int(m_arRowHeights.size()) || height < 0)
        return false;
    m_arRowHeights[size_t(row)] = height;
    ResetScrollBars();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width)
{
    if (col < 0 || col >= m_nCols || width < 0)
        return false;
    int stored = CellOrderColumn(col);
    if (stored < 0 || stored >= int(m_arColWidths.size()))
        return false;
    m_arColWidths[size_t(stored)] = width;
    ResetScrollBars();
    return true;
}

int CGridCtrl::GetFixedRowHeight() const
{
    int h = 0;
    for (int i = 0; i < m_nFixedRows; ++i) h += GetRowHeight(i);
    return h;
}

int CGridCtrl::GetFixedColumnWidth() const
{
    int w = 0;
    for (int i = 0; i < m_nFixedCols; ++i) w += GetColumnWidth(i);
    return w;
}

long CGridCtrl::GetVirtualHeight() const
{
    long h = 0;
    for (int v : m_arRowHeights) h += v;
    return h;
}

long CGridCtrl::GetVirtualWidth() const
{
    long w = 0;
    for (int i = 0; i < m_nCols; ++i) w += GetColumnWidth(i);
    return w;
}

bool CGridCtrl::AutoSizeColumn(int col, int style, bool resetScroll)
{
    if (col < 0 || col >= m_nCols || GetColumnWidth(col) <= 0)
        return false;
    if (style == 0)
        style = m_nAutoSizeColumnStyle;
    const int startRow = (style & 0x01) ? 0 : m_nFixedRows;
    const int endRow = (style & 0x02) ? m_nRows - 1 : m_nFixedRows - 1;
    if (m_bVirtualMode)
        SendCacheHint(CCellRange(startRow, col, endRow, col));
    int width = 0;
    for (int row = startRow; row <= endRow; ++row) {
        if (CGridCellBase* cell = GetCell(row, col))
            width = std::max(width, cell->GetCellExtent(nullptr).width());
    }
    if (m_bVirtualMode)
        SendCacheHint(CCellRange());
    m_arColWidths[size_t(CellOrderColumn(col))] = width;
    if (resetScroll) {
        ResetScrollBars();
        Refresh();
    }
    return true;
}

bool CGridCtrl::AutoSizeRow(int row, bool resetScroll)
{
    if (row < 0 || row >= m_nRows || GetRowHeight(row) <= 0)
        return false;
    if (m_bVirtualMode)
        SendCacheHint(CCellRange(row, 0, row, m_nCols - 1));
    int height = 0;
    for (int col = 0; col < m_nCols; ++col) {
        if (CGridCellBase* cell = GetCell(row, col))
            height = std::max(height, cell->GetCellExtent(nullptr).height());
    }
    if (m_bVirtualMode)
        SendCacheHint(CCellRange());
    m_arRowHeights[size_t(row)] = height;
    if (resetScroll) {
        ResetScrollBars();
        Refresh();
    }
    return true;
}

void CGridCtrl::AutoSizeColumns(int style)
{
    for (int col = 0; col < m_nCols; ++col)
        if (GetColumnWidth(col) > 0)
            AutoSizeColumn(col, style, false);
    m_idTopLeftCell = CCellID();
    ResetScrollBars();
    Refresh();
}

namespace {

// Shares `difference` pixels over the shown sizes (those above 0) of the
// places from..to-1: each takes the whole share, then the first places one
// pixel more (or less) each until the rest is spent.
void ShareSpare(int difference, int count, int from, int to, const std::function<int&(int)>& size)
{
    const int share = difference / count;
    for (int i = from; i < to; ++i)
        if (size(i) > 0)
            size(i) += share;
    int rest = std::abs(difference) % count;
    for (int i = from; rest > 0 && i < to; ++i, --rest)
        if (size(i) > 0)
            size(i) += difference > 0 ? 1 : -1;
}

} // namespace

void CGridCtrl::ExpandColumnsToFit()
{
    if (m_nCols <= m_nFixedCols)
        return;
    int count = 0;
    for (int col = m_nFixedCols; col < m_nCols; ++col)
        if (GetColumnWidth(col) > 0)
            ++count;
    if (count <= 0)
        return;
    if (m_nBarState & 0x01)
        ShowScrollBar(Qt::Horizontal, false);
    const long total = GetVirtualWidth();
    const int difference = int(ClientRect().width() - total);
    ShareSpare(difference, count, m_nFixedCols, m_nCols,
               [this](int col) -> int& { return m_arColWidths[size_t(CellOrderColumn(col))]; });
    Refresh();
    ResetScrollBars();
}

void CGridCtrl::ExpandRowsToFit(bool expandFixed)
{
    const int first = expandFixed ? 0 : m_nFixedRows;
    if (m_nRows <= first)
        return;
    int count = 0;
    for (int row = first; row < m_nRows; ++row)
        if (GetRowHeight(row) > 0)
            ++count;
    if (count <= 0)
        return;
    if (m_nBarState & 0x02)
        ShowScrollBar(Qt::Vertical, false);
    const long total = GetVirtualHeight();
    const int difference = int(ClientRect().height() - total);
    ShareSpare(difference, count, first, m_nRows, [this](int row) -> int& { return m_arRowHeights[size_t(row)]; });
    Refresh();
    ResetScrollBars();
}

void CGridCtrl::ExpandLastColumn()
{
    int last = m_nCols - 1;
    while (last >= 0 && GetColumnWidth(last) <= 0) --last;
    if (last <= 0)
        return;
    if (m_nBarState & 0x01)
        ShowScrollBar(Qt::Horizontal, false);
    const int client = ClientRect().width();
    const long total = GetVirtualWidth();
    if (client > total) {
        m_arColWidths[size_t(CellOrderColumn(last))] += int(client - total);
        Refresh();
    }
    ResetScrollBars();
}

// ---------------------------------------------------------------------------
// Modes, font, colours

void CGridCtrl::SetListMode(bool on)
{
    ResetSelectedRange();
    if (m_nSortColumn >= 0) {
        int sortCol = m_nSortColumn;
        m_nSortColumn = -1;
        RedrawCell(0, sortCol);
    }
    m_bListMode = on;
    m_bFixedColumnSelection = false;
    Refresh();
}

void CGridCtrl::SetRedraw(bool allow, bool resetScrollBars)
{
    m_bAllowDraw = allow;
    if (allow && resetScrollBars)
        ResetScrollBars();
    if (allow)
        Refresh();
}

void CGridCtrl::SetFont(const QFont& font)
{
    QAbstractScrollArea::setFont(font);
    m_cellDefault.SetFont(&font);
    m_cellFixedColDef.SetFont(&font);
    m_cellFixedRowDef.SetFont(&font);
    m_cellFixedRowColDef.SetFont(&font);
    Refresh();
}

QFont CGridCtrl::GetNormalFont() const
{
    const QFont* f = m_cellDefault.GetFontObject();
    return f ? *f : font();
}

void CGridCtrl::OnSysColorChange()
{
    const COLORREF text = GetSysColour(ColourWindowText), window = GetSysColour(ColourWindow),
                   shadow = GetSysColour(ColourButtonShadow);
    for (CGridDefaultCell* d : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
        if (d->GetTextColour() == m_crWindowText)
            d->SetTextColour(text);
        if (d->GetBackColour() == m_crWindow)
            d->SetBackColour(window);
    }
    if (m_crWindowColour == m_crShadow)
        m_crWindowColour = shadow;
    m_crWindowText = text;
    m_crWindow = window;
    m_cr3DFace = GetSysColour(ColourButtonFace);
    m_crShadow = shadow;
}

QSize CGridCtrl::GetImageSize(int image) const
{
    if (image < 0 || image >= m_ImageList.size() || m_ImageList[image].isNull())
        return QSize();
    return m_ImageList[image].size();
}

QPixmap CGridCtrl::GetImage(int image) const
{
    return image >= 0 && image < m_ImageList.size() ? m_ImageList[image] : QPixmap();
}

// ---------------------------------------------------------------------------
// Notifications

long CGridCtrl::NotifyParent(int row, int col, int code)
{
    GridNotifyInfo info;
    info.hdr.from = this;
    info.hdr.id = m_nId;
    info.hdr.code = code;
    info.iRow = row;
    info.iColumn = col;
    long result = 0;
    emit gridNotify(&info, &result);
    return result;
}

long CGridCtrl::RequestDispInfo(GridCellDispInfo* info)
{
    if (m_pfnCallback)
        return m_pfnCallback(info, m_lParam) ? 1 : 0;
    long result = 0;
    emit dispInfoRequest(info, &result);
    return result;
}

void CGridCtrl::SendCacheHint(const CCellRange& range)
{
    GridCacheHint hint;
    hint.hdr.from = this;
    hint.hdr.id = m_nId;
    hint.hdr.code = NotifyCacheHint;
    hint.range = range;
    emit cacheHint(&hint);
}
