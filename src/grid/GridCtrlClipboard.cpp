// Clipboard and drag and drop of the grid. A copied block is plain text: the
// rows of the selection's bounding range, top to bottom, without hidden rows;
// in each row the selected cells' texts left to right, without hidden columns,
// a tab after every column but the last and CR LF after every row but the last.
// Every cell written by a paste, a cut or a drop goes through the edit
// notifications, so the owner can refuse it as it refuses typed text.
#include "grid/GridCtrl.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

using namespace GridCtrl;

namespace {

// Moves index forward past every hidden (zero-size) row or column.
template <typename SizeOf>
int SkipHidden(int index, int count, SizeOf sizeOf)
{
    while (index < count && sizeOf(index) == 0) ++index;
    return index;
}

// Cuts a pasted line into fields: a tab and a comma separate alike.
QStringList SplitFields(const QString& line)
{
    QStringList fields;
    QString field;
    for (QChar c : line) {
        if (c == QLatin1Char('\t') || c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

Qt::DropAction EffectFor(Qt::KeyboardModifiers mods)
{
    return (mods & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
}

} // namespace

QString CGridCtrl::SelectedBlockText()
{
    const CCellRange range = GetSelectedCellRange();
    if (!IsValid(range))
        return QString();
    QString text;
    for (int row = range.minRow; row <= range.maxRow; ++row) {
        if (GetRowHeight(row) <= 0)
            continue;
        for (int col = range.minCol; col <= range.maxCol; ++col) {
            if (GetColumnWidth(col) <= 0)
                continue;
            if (IsCellSelected(row, col))
                text += GetItemText(row, col);
            if (col != range.maxCol)
                text += QLatin1Char('\t');
        }
        if (row != range.maxRow)
            text += QStringLiteral("\r\n");
    }
    return text;
}

QMimeData* CGridCtrl::CopyTextFromGrid()
{
    const CCellRange range = GetSelectedCellRange();
    if (!IsValid(range))
        return nullptr;
    if (m_bVirtualMode)
        SendCacheHint(range);
    const QString text = SelectedBlockText();
    if (m_bVirtualMode)
        SendCacheHint(CCellRange(-1, -1, -1, -1));
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

bool CGridCtrl::PasteTextToGrid(int row, int col, const QMimeData* data, bool selectPasted)
{
    if (!IsValid(row, col) || !m_bEditable || !IsCellEditable(row, col) || !data || !data->hasText())
        return false;
    const QStringList lines = data->text().split(QLatin1Char('\n'));
    auto rowHeight = [this](int r) { return GetRowHeight(r); };
    auto colWidth = [this](int c) { return GetColumnWidth(c); };
    int maxRow = row, maxCol = col;
    int targetRow = row;
    for (const QString& line : lines) {
        targetRow = SkipHidden(targetRow, m_nRows, rowHeight);
        if (targetRow >= m_nRows)
            break;
        int targetCol = col;
        for (const QString& field : SplitFields(line)) {
            targetCol = SkipHidden(targetCol, m_nCols, colWidth);
            if (targetCol >= m_nCols)
                break;
            SetItemTextEdited(targetRow, targetCol, field.trimmed());
            SetItemState(targetRow, targetCol, GetItemState(targetRow, targetCol) & ~CellSelected);
            maxRow = std::max(maxRow, targetRow);
            maxCol = std::max(maxCol, targetCol);
            ++targetCol;
        }
        ++targetRow;
    }
    if (selectPasted) {
        SetSelectedRange(row, col, maxRow, maxCol, true, true);
    } else {
        ResetSelectedRange();
        Refresh();
    }
    return true;
}

void CGridCtrl::OnEditCut()
{
    if (!m_bEditable)
        return;
    if (QMimeData* data = CopyTextFromGrid())
        QApplication::clipboard()->setMimeData(data);
    CutSelectedText();
}

void CGridCtrl::OnEditCopy()
{
    if (QMimeData* data = CopyTextFromGrid())
        QApplication::clipboard()->setMimeData(data);
}

void CGridCtrl::OnEditPaste()
{
    if (!m_bEditable)
        return;
    CCellID target = GetSelectedCellRange().GetTopLeft();
    if (!IsValid(target))
        target = m_idCurrentCell;
    if (!IsValid(target))
        target = GetTopleftNonFixedCell();
    if (!IsValid(target))
        return;
    CGridCellBase* cell = GetCell(target.row, target.col);
    if (cell && cell->IsEditing()) {
        if (CInPlaceEdit* editor = GetEditor()) {
            editor->paste();
            return;
        }
    }
    PasteTextToGrid(target.row, target.col, QApplication::clipboard()->mimeData(), true);
}

bool CGridCtrl::CanEditCut() const { return m_bEditable && GetSelectedCount() > 0; }

bool CGridCtrl::CanEditCopy() const { return GetSelectedCount() > 0; }

bool CGridCtrl::CanEditPaste() const
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return IsValid(m_idCurrentCell) && m_bEditable && IsCellEditable(m_idCurrentCell) && data && data->hasText();
}

// ---------------------------------------------------------------------------
// Drag and drop

void CGridCtrl::OnBeginDrag()
{
    if (!m_bAllowDragAndDrop && m_CurCol == -1)
        return;
    QMimeData* data = m_CurCol >= 0 ? new QMimeData : CopyTextFromGrid();
    if (!data)
        return;
    NotifyParent(GetSelectedCellRange().GetTopLeft(), NotifyBeginDrag);
    m_MouseMode = MOUSE_DRAGGING;
    m_bLMouseButtonDown = false;
    m_nDragRow = m_LeftClickDownCell.row;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (result == Qt::MoveAction && m_CurCol == -1)
        CutSelectedText();
}

bool CGridCtrl::CellDragAcceptable(const QMimeData* data, const CCellID& cell) const
{
    return m_bAllowDragAndDrop && data && data->hasText() && IsValid(cell) && IsCellEditable(cell);
}

void CGridCtrl::SetDropHighlight(const CCellID& cell, bool on)
{
    if (!IsValid(cell))
        return;
    const quint32 state = GetItemState(cell.row, cell.col);
    SetItemState(cell.row, cell.col, on ? (state | CellDropHighlighted) : (state & ~CellDropHighlighted));
    RedrawCell(cell.row, cell.col);
}

Qt::DropAction CGridCtrl::OnDragEnter(const QMimeData* data, Qt::KeyboardModifiers mods, QPoint point)
{
    m_idDropCell = GetCellFromPt(point, m_CurCol >= 0);
    bool accepted;
    if (m_CurCol >= 0)
        accepted = m_idDropCell.row >= 0 && m_idDropCell.row < m_nFixedRows && m_idDropCell.col >= m_nFixedCols;
    else
        accepted = CellDragAcceptable(data, m_idDropCell);
    if (!accepted)
        return Qt::IgnoreAction;
    if (m_CurCol == -1)
        SetDropHighlight(m_idDropCell, true);
    return EffectFor(mods);
}

Qt::DropAction CGridCtrl::OnDragOver(const QMimeData* data, Qt::KeyboardModifiers mods, QPoint point)
{
    // Over the fixed rows or columns the cell is -1 in that direction.
    CCellID cell = GetCellFromPt(point, true);
    const bool overHeader = cell.row >= 0 && cell.row < m_nFixedRows;
    if (cell.row < m_nFixedRows)
        cell.row = -1;
    if (cell.col < m_nFixedCols)
        cell.col = -1;
    bool accepted;
    if (m_CurCol >= 0)
        accepted = overHeader && cell.col >= m_nFixedCols;
    else if (m_bDragRowMode && m_bAllowDragAndDrop)
        accepted = IsValid(cell);
    else
        accepted = m_bEditable && CellDragAcceptable(data, cell);
    if (!accepted) {
        OnDragLeave();
        m_idDropCell = CCellID(-1, -1);
        return Qt::IgnoreAction;
    }
    if (m_CurCol >= 0) {
        m_idDropCell = GetCellFromPt(point, true);
    } else if (cell != m_idDropCell) {
        SetDropHighlight(m_idDropCell, false);
        m_idDropCell = cell;
        SetDropHighlight(m_idDropCell, true);
    }
    return EffectFor(mods);
}

void CGridCtrl::OnDragLeave() { SetDropHighlight(m_idDropCell, false); }

bool CGridCtrl::OnDrop(const QMimeData* data, Qt::DropAction action, QPoint point)
{
    m_MouseMode = MOUSE_NOTHING;
    if (m_CurCol >= 0) {
        const CCellID cell = GetCellFromPt(point, true);
        const bool moved = cell.row >= 0 && cell.row < m_nFixedRows && MoveDraggedColumn(cell.col);
        m_CurCol = -1;
        if (moved)
            viewport()->update();
        return moved;
    }
    if (!m_bAllowDragAndDrop || !(IsCellEditable(m_idDropCell) || m_bDragRowMode))
        return false;
    OnDragLeave();
    if (!m_bDragRowMode)
        return PasteTextToGrid(m_idDropCell.row, m_idDropCell.col, data, false);
    // Rows are reordered only where the grid keeps a row order (virtual
    // mode); an ordinary grid refuses a row move.
    if (!m_bVirtualMode || !IsValid(m_idDropCell))
        return false;
    MoveDraggedRow(m_idDropCell.row);
    viewport()->update();
    return true;
}

void CGridCtrl::MoveDraggedRow(int dropRow)
{
    if (m_nDragRow < 0 || m_nDragRow >= int(m_arRowOrder.size()) || dropRow == m_nDragRow)
        return;
    const int entry = m_arRowOrder[size_t(m_nDragRow)];
    m_arRowOrder.erase(m_arRowOrder.begin() + m_nDragRow);
    // Taken out below the drop row, the entry goes before it; above, after it.
    const int at = std::min<int>(dropRow, int(m_arRowOrder.size()));
    m_arRowOrder.insert(m_arRowOrder.begin() + at, entry);
}

bool CGridCtrl::MoveDraggedColumn(int dropCol)
{
    if (dropCol < m_nFixedCols || dropCol >= m_nCols || dropCol == m_CurCol || m_CurCol < 0)
        return false;
    if (m_arColOrder.size() != size_t(m_nCols)) {
        m_arColOrder.resize(size_t(m_nCols));
        for (int i = 0; i < m_nCols; ++i) m_arColOrder[size_t(i)] = i;
    }
    // Widths and cells are kept by stored column, so they travel with the entry.
    const int entry = m_arColOrder[size_t(m_CurCol)];
    m_arColOrder.erase(m_arColOrder.begin() + m_CurCol);
    m_arColOrder.insert(m_arColOrder.begin() + dropCol, entry);
    return true;
}

void CGridCtrl::dragEnterEvent(QDragEnterEvent* e)
{
    const Qt::DropAction action = OnDragEnter(e->mimeData(), e->modifiers(), e->position().toPoint());
    if (action == Qt::IgnoreAction) {
        e->ignore();
        return;
    }
    e->setDropAction(action);
    e->accept();
}

void CGridCtrl::dragMoveEvent(QDragMoveEvent* e)
{
    const Qt::DropAction action = OnDragOver(e->mimeData(), e->modifiers(), e->position().toPoint());
    if (action == Qt::IgnoreAction) {
        e->ignore();
        return;
    }
    e->setDropAction(action);
    e->accept();
}

void CGridCtrl::dragLeaveEvent(QDragLeaveEvent*) { OnDragLeave(); }

void CGridCtrl::dropEvent(QDropEvent* e)
{
    if (OnDrop(e->mimeData(), e->dropAction(), e->position().toPoint()))
        e->acceptProposedAction();
    else
        e->ignore();
}
