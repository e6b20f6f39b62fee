// Focus cell and selection, in-place editing hooks, and the grid's handling
// of the keyboard and the mouse.
#include "grid/GridCtrl.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

using namespace GridCtrl;

namespace {

quint32 CellKey(int row, int col) { return (quint32(row) & 0xFFFF) | (quint32(col) << 16); }

} // namespace

// ---------------------------------------------------------------------------
// Focus and selection

CCellID CGridCtrl::SetFocusCell(int row, int col)
{
    const CCellID prev = m_idCurrentCell;
    if (CCellID(row, col) == prev)
        return prev;
    if (row != -1 && row < m_nFixedRows)
        row = m_nFixedRows;
    if (col != -1 && col < m_nFixedCols)
        col = m_nFixedCols;
    if (CCellID(row, col) == prev)
        return prev;

    if (IsValid(prev)) {
        SetItemState(prev.row, prev.col, GetItemState(prev.row, prev.col) & ~CellFocused);
        RedrawCell(prev);
        if (m_bTrackFocusCell) {
            if (prev.col != col)
                for (int r = 0; r < m_nFixedRows; ++r) RedrawCell(r, prev.col);
            if (prev.row != row)
                for (int c = 0; c < m_nFixedCols; ++c) RedrawCell(prev.row, c);
        }
    }
    m_idCurrentCell = CCellID(row, col);
    if (IsValid(m_idCurrentCell)) {
        SetItemState(row, col, GetItemState(row, col) | CellFocused);
        RedrawCell(m_idCurrentCell);
        if (m_bTrackFocusCell) {
            if (prev.col != col)
                for (int r = 0; r < m_nFixedRows; ++r) RedrawCell(r, col);
            if (prev.row != row)
                for (int c = 0; c < m_nFixedCols; ++c) RedrawCell(row, c);
        }
    }
    return prev;
}

bool CGridCtrl::IsCellSelected(int row, int col) const
{
    if (!m_bEnableSelection)
        return false;
    if (m_bVirtualMode)
        return m_SelectedCellMap.contains(CellKey(row, col));
    CGridCellBase* cell = GetCell(row, col);
    return cell && cell->IsSelected();
}

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint, bool selectCells)
{
    if (!m_bEnableSelection)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);

    if (minRow >= 0 && minRow < m_nFixedRows)
        minRow = m_nFixedRows;
    if (maxRow >= 0 && maxRow < m_nFixedRows)
        maxRow = m_nFixedRows;
    if (!m_bAllowFixedColSelection) {
        if (minCol >= 0 && minCol < m_nFixedCols)
            minCol = m_nFixedCols;
        if (maxCol >= 0 && maxCol < m_nFixedCols)
            maxCol = m_nFixedCols;
    }
    const CCellRange range(minRow, minCol, maxRow, maxCol);

    if (selectCells) {
        const CCellRange visible = GetVisibleNonFixedCellRange();
        const CCellRange unobstructed = GetUnobstructedNonFixedCellRange();
        const QList<CCellID> old = m_SelectedCellMap.values();
        for (const CCellID& cell : old) {
            if (IsValid(cell)) {
                SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) & ~CellSelected);
                m_SelectedCellMap.remove(CellKey(cell.row, cell.col));
                if (!range.InRange(cell) && (visible.InRange(cell) || unobstructed.InRange(cell)))
                    RedrawCell(cell);
            } else {
                m_SelectedCellMap.remove(CellKey(cell.row, cell.col));
            }
        }
        if (!(m_bListMode && m_bSingleRowSelection)) {
            for (const CCellID& cell : std::as_const(m_PrevSelectedCellMap)) {
                if (!IsValid(cell))
                    continue;
                SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | CellSelected);
                if (IsCellVisible(cell))
                    RedrawCell(cell);
            }
        }
    }

    if (IsValid(range)) {
        for (int row = minRow; row <= maxRow; ++row)
            for (int col = minCol; col <= maxCol; ++col) {
                const bool selected = IsCellSelected(row, col);
                if (selectCells == selected)
                    continue;
                const quint32 state = GetItemState(row, col);
                SetItemState(row, col, selectCells ? (state | CellSelected) : (state & ~CellSelected));
                if (forceRepaint)
                    RedrawCell(row, col);
            }
        if (!forceRepaint)
            Refresh();
    }
    QGuiApplication::restoreOverrideCursor();
}

void CGridCtrl::ResetSelectedRange()
{
    m_PrevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1, false, true);
    SetFocusCell(-1, -1);
}

CCellRange CGridCtrl::GetSelectedCellRange() const
{
    CCellRange r(m_nRows, m_nCols, -1, -1);
    for (const CCellID& cell : m_SelectedCellMap) {
        r.minRow = std::min(r.minRow, cell.row);
        r.minCol = std::min(r.minCol, cell.col);
        r.maxRow = std::max(r.maxRow, cell.row);
        r.maxCol = std::max(r.maxCol, cell.col);
    }
    return r;
}

void CGridCtrl::SelectAllCells()
{
    if (!m_bEnableSelection)
        return;
    SetSelectedRange(m_nFixedRows, m_bAllowFixedColSelection ? 0 : m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

void CGridCtrl::SelectColumns(CCellID current, bool forceRedraw, bool selectCells)
{
    if (!m_bEnableSelection || current.col < m_nFixedCols)
        return;
    if (m_bSingleColSelection)
        SetSelectedRange(m_nFixedRows, current.col, m_nRows - 1, current.col, forceRedraw, selectCells);
    else
        SetSelectedRange(m_nFixedRows, std::min(m_SelectionStartCell.col, current.col), m_nRows - 1,
                         std::max(m_SelectionStartCell.col, current.col), forceRedraw, selectCells);
}

void CGridCtrl::SelectRows(CCellID current, bool forceRedraw, bool selectCells)
{
    if (!m_bEnableSelection || current.row < m_nFixedRows)
        return;
    const int firstCol = m_bAllowFixedColSelection ? 0 : m_nFixedCols;
    if (m_bListMode && m_bSingleRowSelection)
        SetSelectedRange(current.row, firstCol, current.row, m_nCols - 1, forceRedraw, selectCells);
    else {
        const int start = m_SelectionStartCell.row >= 0 ? m_SelectionStartCell.row : current.row;
        SetSelectedRange(std::min(start, current.row), firstCol, std::max(start, current.row), m_nCols - 1, forceRedraw,
                         selectCells);
    }
}

void CGridCtrl::SelectCells(CCellID current, bool forceRedraw, bool selectCells)
{
    if (!m_bEnableSelection)
        return;
    if (current.row < m_nFixedRows || (!m_bAllowFixedColSelection && current.col < m_nFixedCols))
        return;
    const CCellID start = IsValid(m_SelectionStartCell) ? m_SelectionStartCell : current;
    SetSelectedRange(std::min(start.row, current.row), std::min(start.col, current.col),
                     std::max(start.row, current.row), std::max(start.col, current.col), forceRedraw, selectCells);
}

void CGridCtrl::OnSelecting(const CCellID& current)
{
    if (!m_bEnableSelection)
        return;
    switch (m_MouseMode) {
    case MOUSE_SELECT_ALL: SelectAllCells(); break;
    case MOUSE_SELECT_COL: SelectColumns(current, false); break;
    case MOUSE_SELECT_ROW: SelectRows(current, false); break;
    case MOUSE_SELECT_CELLS: SelectCells(current, false); break;
    default: break;
    }
}

void CGridCtrl::OnEditSelectAll()
{
    NotifyParent(m_LeftClickDownCell, NotifySelChanging);
    if (m_bEnableSelection)
        SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1, false, true);
    NotifyParent(m_idCurrentCell, NotifySelChanged);
}

void CGridCtrl::CutSelectedText()
{
    if (!m_bEditable)
        return;
    const QList<CCellID> cells = m_SelectedCellMap.values();
    for (const CCellID& cell : cells) SetItemTextEdited(cell.row, cell.col, QString());
}

// ---------------------------------------------------------------------------
// Editing

// ---------------------------------------------------------------------------
// The columns' kinds

void CGridCtrl::DeclareColumns(const std::vector<GridColumn>& columns)
{
    SetColumnCount(int(columns.size()));
    m_columnKinds.clear();
    for (int col = 0; col < int(columns.size()); ++col) m_columnKinds[col] = columns[std::size_t(col)];
}

void CGridCtrl::DeclareColumn(int col, GridColumn column) { m_columnKinds[col] = std::move(column); }

const GridColumn* CGridCtrl::DeclaredColumn(int col) const
{
    const auto found = m_columnKinds.find(col);
    return found == m_columnKinds.end() ? nullptr : &found->second;
}

namespace {

CGridCtrl::RefusalSayer& Sayer()
{
    static CGridCtrl::RefusalSayer say = [](QWidget* owner, const QString& message) {
        QMessageBox::critical(owner, QStringLiteral("Kalvor"), message);
    };
    return say;
}

CGridCtrl::RefusalHolder& Holder()
{
    static CGridCtrl::RefusalHolder hold;
    return hold;
}

} // namespace

void CGridCtrl::SetRefusalSayer(RefusalSayer say) { Sayer() = std::move(say); }

void CGridCtrl::SetRefusalHolder(RefusalHolder hold) { Holder() = std::move(hold); }

void CGridCtrl::RefuseCell(int row, int col, const QString& text, const QString& message)
{
    m_refusalPending = true;
    m_refusal = message;
    SetFocusCell(row, col);
    if (Holder())
        Holder()(
            this, [this] { return m_refusalPending && isVisible(); }, [this] { SayRefusalAgain(); },
            [this] { GiveUpRefusedEdit(); });
    const unsigned fill = m_fill;
    EndPress();
    Sayer()(window(), message);
    QTimer::singleShot(0, this, [this, row, col, fill, text] { ReopenRefusedCell(row, col, fill, text); });
}

void CGridCtrl::SayRefusalAgain()
{
    EndPress();
    Sayer()(window(), m_refusal);
    if (CInPlaceEdit* editor = GetEditor()) {
        window()->activateWindow();
        editor->setFocus(Qt::OtherFocusReason);
        editor->selectAll();
    }
}

void CGridCtrl::EndPress()
{
    if (m_nTimerID) {
        killTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    if (m_bLMouseButtonDown)
        m_pressEnded = true;
    m_bLMouseButtonDown = false;
    if (m_MouseMode == MOUSE_SIZING_COL || m_MouseMode == MOUSE_SIZING_ROW)
        DrawTrackingLine(false);
    m_MouseMode = MOUSE_NOTHING;
    if (QWidget* grabber = QWidget::mouseGrabber(); grabber && (grabber == this || isAncestorOf(grabber)))
        grabber->releaseMouse();
}

void CGridCtrl::GiveUpRefusedEdit()
{
    const bool focused = GetEditor() && GetEditor()->hasFocus();
    DropRefusedEdit();
    if (focused)
        setFocus(Qt::OtherFocusReason);
}

void CGridCtrl::DropRefusedEdit()
{
    ++m_fill;
    if (!m_refusalPending)
        return;
    m_refusalPending = false;
    if (CInPlaceEdit* editor = GetEditor()) {
        editor->Detach();
        editor->hide();
        editor->deleteLater();
    }
}

void CGridCtrl::ReopenRefusedCell(int row, int col, unsigned fill, const QString& text)
{
    // Not when the grid went, the refusal ended or the grid was filled anew
    // meanwhile (another employee's rows may show the same text).
    if (!m_refusalPending || fill != m_fill || !isVisible() || !IsValid(row, col) || GetEditor()) {
        m_refusalPending = false;
        return;
    }
    // A screen that greys its entry while the focus is elsewhere (the
    // selection strip) is made editable again.
    for (QWidget* w = this; w && !w->isWindow(); w = w->parentWidget())
        if (!w->isEnabled())
            w->setEnabled(true);
    window()->activateWindow();
    setFocus(Qt::OtherFocusReason);
    SetFocusCell(row, col);
    OnEditCell(row, col, QPoint(-1, -1), VK_LBUTTON | CInPlaceEdit::ClickedChar);
    if (CInPlaceEdit* editor = GetEditor()) {
        editor->setText(text);
        editor->selectAll();
        editor->setFocus(Qt::OtherFocusReason);
    }
}

void CGridCtrl::OnEditCell(int row, int col, QPoint point, unsigned ch)
{
    m_TitleTip.Hide();
    if (!IsValid(row, col) || !IsCellEditable(row, col))
        return;
    if (!DeclaredColumn(col)) {
#ifndef QT_NO_DEBUG
        qFatal("A grid cell was edited in a column without a kind: grid %s (%d) of %s, column %d \"%s\"",
               qPrintable(objectName()), m_nId, window()->metaObject()->className(), col,
               qPrintable(m_nFixedRows > 0 ? GetItemText(0, col) : QString()));
#endif
        return;
    }
    EnsureVisible(row, col);
    QRect rect;
    if (!IsCellVisible(row, col) || !GetCellRect(row, col, rect))
        return;
    if (NotifyParent(row, col, NotifyBeginLabelEdit) < 0)
        return;
    if (CGridCellBase* cell = GetCell(row, col))
        cell->Edit(row, col, rect, point, InPlaceEditId, ch);
}

bool CGridCtrl::OnEndEditCell(int row, int col, const QString& typed)
{
    CGridCellBase* cell = GetCell(row, col);
    const QString oldText = cell ? cell->GetText() : QString();
    QString text = typed;
    if (const GridColumn* column = DeclaredColumn(col); column && typed != oldText) {
        const GridCellReading reading = ReadGridCell(*column, row, typed);
        if (!reading.read) {
            if (cell)
                cell->OnEndEdit();
            RefuseCell(row, col, typed, reading.refusal);
            return false;
        }
        text = reading.text;
    }
    m_refusalPending = false;
    if (text != oldText) {
        if (!m_bVirtualMode && cell)
            cell->SetText(text);
        SetModified(row, col);
    }
    if (ValidateEdit(row, col, text) && NotifyParent(row, col, NotifyEndLabelEdit) >= 0) {
        if (text != oldText) {
            SetModified(row, col);
            RedrawCell(row, col);
        }
    } else if (text != oldText) {
        if (!m_bVirtualMode && cell)
            cell->SetText(oldText);
        SetModified(row, col);
        RedrawCell(row, col);
    }
    if (cell)
        cell->OnEndEdit();
    return true;
}

bool CGridCtrl::ValidateEdit(int row, int col, const QString& text)
{
    CGridCellBase* cell = GetCell(row, col);
    return cell ? cell->ValidateEdit(text) : true;
}

void CGridCtrl::EndEditing()
{
    if (IsValid(m_idCurrentCell))
        if (CGridCellBase* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
            cell->EndEdit();
    if (CInPlaceEdit* editor = GetEditor())
        editor->EndEdit();
}

CInPlaceEdit* CGridCtrl::GetEditor() const
{
    const auto editors = viewport()->findChildren<CInPlaceEdit*>(Qt::FindDirectChildrenOnly);
    for (CInPlaceEdit* e : editors)
        if (e->isVisible())
            return e;
    return nullptr;
}

void CGridCtrl::SetItemTextEdited(int row, int col, const QString& typed)
{
    if (!m_bEditable || !IsCellEditable(row, col) || !DeclaredColumn(col))
        return;
    // A pasted text that does not read by the column leaves the cell as it was.
    const GridCellReading reading = ReadGridCell(*DeclaredColumn(col), row, typed);
    if (!reading.read && typed != GetItemText(row, col))
        return;
    const QString text = reading.read ? reading.text : typed;
    if (NotifyParent(row, col, NotifyBeginLabelEdit) < 0)
        return;
    const QString oldText = GetItemText(row, col);
    if (text == oldText)
        return;
    SetItemText(row, col, text);
    if (ValidateEdit(row, col, text) && NotifyParent(row, col, NotifyEndLabelEdit) >= 0) {
        SetModified(row, col);
        RedrawCell(row, col);
    } else {
        SetItemText(row, col, oldText);
    }
}

void CGridCtrl::OnEditorNotify(GridCellDispInfo* info)
{
    if (!info || info->hdr.code != NotifyEndLabelEdit || info->hdr.id != InPlaceEditId)
        return;
    if (!OnEndEditCell(info->row, info->col, info->text))
        return; // the refused cell keeps the focus
    const unsigned key = info->data;
    if (key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN)) {
        OnKeyDown(key, m_keyMods);
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), key);
    }
}

// ---------------------------------------------------------------------------
// Keyboard

bool CGridCtrl::focusNextPrevChild(bool next)
{
    // Tab moves between cells while the grid handles it.
    if (m_bHandleTabKey && !(QGuiApplication::keyboardModifiers() & Qt::ControlModifier))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

bool CGridCtrl::event(QEvent* e)
{
    if (e->type() == QEvent::ApplicationPaletteChange)
        OnSysColorChange();
    if (e->type() == QEvent::ShortcutOverride && IsValid(m_idCurrentCell)) {
        // The keys of the grid's own table are the grid's, not the window's
        // shortcuts.
        auto* ke = static_cast<QKeyEvent*>(e);
        const bool ctrl = ke->modifiers() & Qt::ControlModifier;
        switch (VirtualKeyFromQt(ke->key(), ke->modifiers())) {
        case 'C':
        case 'X':
        case 'V':
        case 'A':
        case VK_ADD:
            if (!ctrl)
                break;
            [[fallthrough]];
        case VK_DOWN:
        case VK_UP:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
        case VK_DELETE:
        case VK_INSERT:
            if (!(ke->modifiers() & Qt::AltModifier)) {
                e->accept();
                return true;
            }
            break;
        default: break;
        }
    }
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if ((ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) && m_bHandleTabKey &&
            !(ke->modifiers() & Qt::ControlModifier)) {
            keyPressEvent(ke);
            return true;
        }
    }
    return QAbstractScrollArea::event(e);
}

bool CGridCtrl::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::Paint && (m_MouseMode == MOUSE_SIZING_COL || m_MouseMode == MOUSE_SIZING_ROW)) {
        const bool result = QAbstractScrollArea::viewportEvent(e);
        if (!m_trackLine.isNull()) {
            QPainter p(viewport());
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(m_trackLine, Qt::white);
        }
        return result;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

void CGridCtrl::keyPressEvent(QKeyEvent* e)
{
    Qt::KeyboardModifiers mods = e->modifiers();
    if (e->key() == Qt::Key_Backtab)
        mods |= Qt::ShiftModifier;
    m_keyMods = mods;
    m_TitleTip.Hide();
    if (mods & Qt::AltModifier) {
        // System keys (menus, the frame's Alt combinations) are not the grid's.
        e->ignore();
        return;
    }
    const unsigned vk = VirtualKeyFromQt(e->key(), mods);
    const bool ctrl = mods & Qt::ControlModifier;

    bool handled = false;
    switch (vk) {
    case VK_DOWN:
    case VK_UP:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_F2:
    case VK_DELETE: handled = true; break;
    case 'C':
    case 'X':
    case 'V':
    case 'A':
    case VK_ADD:
    case VK_INSERT: handled = ctrl || (vk == VK_INSERT && (mods & Qt::ShiftModifier)); break;
    default: break;
    }
    OnKeyDown(vk, mods);

    unsigned ch = 0;
    if (vk == VK_RETURN)
        ch = VK_RETURN;
    else if (vk == VK_TAB)
        ch = VK_TAB;
    else if (vk == VK_BACK)
        ch = VK_BACK;
    else if (vk == VK_ESCAPE)
        ch = VK_ESCAPE;
    else if (!e->text().isEmpty() && !ctrl && !(mods & Qt::AltModifier)) {
        const char16_t c = e->text().at(0).unicode();
        if (c >= 32 && c != 127)
            ch = c;
    }
    if (ch && ch != VK_ESCAPE && !ctrl) {
        OnChar(ch, mods);
        // Enter that opened no editor goes on to the window around the grid
        // (a dialog's default button, the screen's own Enter).
        handled = handled || ch != VK_RETURN || GetEditor() != nullptr;
    }
    if (handled)
        e->accept();
    else
        e->ignore();
}

int CGridCtrl::NextVisible(Qt::Orientation axis, int from, int step) const
{
    const bool rows = axis == Qt::Vertical;
    const int first = rows ? m_nFixedRows : m_nFixedCols;
    const int count = rows ? m_nRows : m_nCols;
    for (int i = from; i >= first && i < count; i += step)
        if ((rows ? GetRowHeight(i) : GetColumnWidth(i)) > 0)
            return i;
    return -1;
}

// Ctrl+C/Insert, Ctrl+X, Ctrl+V, Ctrl+A and Ctrl+Plus act on the clipboard,
// selection and column widths; Shift+Insert pastes. True when the key was
// Shift+Insert, which ends the key's handling.
bool CGridCtrl::HandleEditKey(unsigned key, bool ctrl, bool shift)
{
    if (ctrl) {
        switch (key) {
        case 'C':
        case VK_INSERT: OnEditCopy(); break;
        case 'X': OnEditCut(); break;
        case 'V': OnEditPaste(); break;
        case 'A': OnEditSelectAll(); break;
        case VK_ADD:
            AutoSizeColumns();
            Refresh();
            break;
        default: break;
        }
    }
    if (shift && !ctrl && key == VK_INSERT) {
        OnEditPaste();
        return true;
    }
    return false;
}

// Where Tab (Shift: backwards) goes from `cell`: the next visible column of
// the row, else the first (Shift: the last) column of the next visible row.
// False when there is no such cell and the focus leaves the grid.
bool CGridCtrl::TabTarget(CCellID& cell, bool shift, bool& wrapped) const
{
    const int step = shift ? -1 : 1;
    const int col = NextVisible(Qt::Horizontal, cell.col + step, step);
    if (col >= 0) {
        cell.col = col;
        return true;
    }
    const int row = NextVisible(Qt::Vertical, cell.row + step, step);
    if (row < 0)
        return false;
    cell.row = row;
    cell.col = shift ? m_nCols - 1 : m_nFixedCols;
    wrapped = true;
    return true;
}

// Scrolls a page down (`pageDown`) or up and returns the row the focus moves
// to: as many rows on as the top row moved, or the last (first) row when the
// view could not scroll.
int CGridCtrl::PageTargetRow(int row, bool pageDown)
{
    const CCellID oldTopLeft = GetTopleftNonFixedCell();
    OnVScroll(pageDown ? SB_PAGEDOWN : SB_PAGEUP);
    const int increment = GetTopleftNonFixedCell().row - oldTopLeft.row;
    if (pageDown)
        return increment ? std::min(m_nRows - 1, row + increment) : m_nRows - 1;
    return increment ? std::max(m_nFixedRows, row + increment) : m_nFixedRows;
}

// The cell a navigation key moves the focus to. `handled` is false for keys
// that move nothing (they end the key's handling, after any action they take).
CCellID CGridCtrl::KeyTargetCell(unsigned key, bool ctrl, bool shift, bool& tabWrapped, bool& handled)
{
    CCellID next = m_idCurrentCell;
    handled = true;
    // A search that finds nothing leaves the coordinate where it is.
    const auto moveTo = [](int& coordinate, int found) {
        if (found >= 0)
            coordinate = found;
    };
    switch (key) {
    case VK_DOWN: moveTo(next.row, NextVisible(Qt::Vertical, next.row + 1, 1)); break;
    case VK_UP: moveTo(next.row, NextVisible(Qt::Vertical, next.row - 1, -1)); break;
    case VK_RIGHT: moveTo(next.col, NextVisible(Qt::Horizontal, next.col + 1, 1)); break;
    case VK_LEFT: moveTo(next.col, NextVisible(Qt::Horizontal, next.col - 1, -1)); break;
    case VK_TAB:
        if ((m_bTabLeavesGrid && !shift) || !TabTarget(next, shift, tabWrapped)) {
            QAbstractScrollArea::focusNextPrevChild(!shift);
            handled = false;
        }
        break;
    case VK_NEXT: next.row = PageTargetRow(next.row, true); break;
    case VK_PRIOR: next.row = PageTargetRow(next.row, false); break;
    case VK_HOME:
        if (ctrl) {
            OnVScroll(SB_TOP);
            moveTo(next.row, NextVisible(Qt::Vertical, m_nFixedRows, 1));
        }
        OnHScroll(SB_TOP);
        moveTo(next.col, NextVisible(Qt::Horizontal, m_nFixedCols, 1));
        break;
    case VK_END:
        if (ctrl) {
            OnVScroll(SB_BOTTOM);
            moveTo(next.row, NextVisible(Qt::Vertical, m_nRows - 1, -1));
        }
        OnHScroll(SB_BOTTOM);
        moveTo(next.col, NextVisible(Qt::Horizontal, m_nCols - 1, -1));
        break;
    case VK_DELETE:
        // A grid in list mode selects whole rows: Delete empties the focus
        // cell alone, as a text typed there would replace it.
        if (m_bListMode && IsValid(m_idCurrentCell))
            SetItemTextEdited(m_idCurrentCell.row, m_idCurrentCell.col, QString());
        else
            CutSelectedText();
        handled = false;
        break;
    case VK_F2:
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), VK_LBUTTON);
        handled = false;
        break;
    default: handled = false; break;
    }
    return next;
}

// Scrolls a line towards a focus cell that a key moved out of view. Returns
// which bars scrolled, so that the caller can end their scrolling.
void CGridCtrl::ScrollTowardsKeyTarget(unsigned key, bool shift, bool tabWrapped, bool& horzScroll, bool& vertScroll)
{
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
        OnHScroll(key == VK_LEFT ? SB_LINEUP : SB_LINEDOWN);
        horzScroll = true;
        break;
    case VK_UP:
    case VK_DOWN:
        OnVScroll(key == VK_UP ? SB_LINEUP : SB_LINEDOWN);
        vertScroll = true;
        break;
    case VK_TAB:
        if (tabWrapped) {
            OnVScroll(shift ? SB_LINEUP : SB_LINEDOWN);
            SetScrollPos32(Qt::Horizontal, shift ? horizontalScrollBar()->maximum() : 0);
            vertScroll = true;
        } else {
            OnHScroll(shift ? SB_LINEUP : SB_LINEDOWN);
            horzScroll = true;
        }
        break;
    default: break;
    }
}

void CGridCtrl::OnKeyDown(unsigned key, Qt::KeyboardModifiers mods)
{
    if (!IsValid(m_idCurrentCell))
        return;
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    if (HandleEditKey(key, ctrl, shift))
        return;

    bool tabWrapped = false, handled = false;
    const CCellID next = KeyTargetCell(key, ctrl, shift, tabWrapped, handled);
    if (!handled || next == m_idCurrentCell)
        return;

    if (m_MouseMode == MOUSE_NOTHING) {
        m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        if (!shift || key == VK_TAB)
            m_SelectionStartCell = next;
        NotifyParent(m_idCurrentCell, NotifySelChanging);
        OnSelecting(next);
        NotifyParent(next, NotifySelChanged);
        m_MouseMode = MOUSE_NOTHING;
    }
    SetFocusCell(next);

    bool horzScroll = false, vertScroll = false;
    if (!IsCellVisible(next)) {
        ScrollTowardsKeyTarget(key, shift, tabWrapped, horzScroll, vertScroll);
        EnsureVisible(next);
        Refresh();
    }
    EnsureVisible(next);
    if (horzScroll)
        OnHScroll(SB_ENDSCROLL);
    if (vertScroll)
        OnVScroll(SB_ENDSCROLL);
}

void CGridCtrl::OnChar(unsigned ch, Qt::KeyboardModifiers mods)
{
    if ((mods & Qt::ControlModifier) || m_MouseMode != MOUSE_NOTHING || ch == VK_ESCAPE)
        return;
    if (ch == VK_TAB && m_bHandleTabKey)
        return;
    // Typed characters that share their numbers with the navigation keys
    // are marked so that the editor types them.
    unsigned c = ch;
    if (c >= VK_PRIOR && c <= VK_DOWN)
        c |= CInPlaceEdit::TypedChar;
    OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, QPoint(-1, -1), c);
}

// ---------------------------------------------------------------------------
// Mouse

bool CGridCtrl::MouseOverColumnResizeArea(QPoint point)
{
    if (point.y() >= GetFixedRowHeight())
        return false;
    const CCellID cell = GetCellFromPt(point);
    QPoint start;
    if (!GetCellOrigin(cell.row, cell.col, start))
        return false;
    const int endx = start.x() + GetColumnWidth(cell.col);
    return (point.x() - start.x() < m_nResizeCaptureRange && cell.col != 0) || endx - point.x() < m_nResizeCaptureRange;
}

bool CGridCtrl::MouseOverRowResizeArea(QPoint point)
{
    if (point.x() >= GetFixedColumnWidth())
        return false;
    const CCellID cell = GetCellFromPt(point);
    QPoint start;
    if (!GetCellOrigin(cell.row, cell.col, start))
        return false;
    const int endy = start.y() + GetRowHeight(cell.row);
    return (point.y() - start.y() < m_nResizeCaptureRange && cell.row != 0) || endy - point.y() < m_nResizeCaptureRange;
}

void CGridCtrl::DrawTrackingLine(bool show)
{
    if (!m_trackLine.isNull())
        viewport()->update(m_trackLine);
    if (!show) {
        m_trackLine = QRect();
        return;
    }
    viewport()->update(m_trackLine);
}

void CGridCtrl::focusOutEvent(QFocusEvent* e)
{
    QAbstractScrollArea::focusOutEvent(e);
    if (e->reason() == Qt::ActiveWindowFocusReason)
        m_TitleTip.Hide();
}

void CGridCtrl::mousePressEvent(QMouseEvent* e)
{
    m_keyMods = e->modifiers();
    m_TitleTip.Hide();
    const QPoint p = e->position().toPoint();
    if (e->button() == Qt::LeftButton)
        OnLButtonDown(e->modifiers(), p);
    else if (e->button() == Qt::RightButton)
        OnRButtonDown(e->modifiers(), p);
    e->accept();
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent* e)
{
    m_keyMods = e->modifiers();
    if (e->button() == Qt::LeftButton)
        OnLButtonUp(e->modifiers(), e->position().toPoint());
    e->accept();
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    m_TitleTip.Hide();
    if (e->button() == Qt::LeftButton)
        OnLButtonDblClk(e->modifiers(), e->position().toPoint());
    e->accept();
}

void CGridCtrl::mouseMoveEvent(QMouseEvent* e)
{
    OnMouseMove(e->buttons(), e->modifiers(), e->position().toPoint());
    e->accept();
}

// A press on a column divider starts resizing the column left of it (past
// hidden ones unless they may be unhidden) and shows the tracking line.
void CGridCtrl::BeginColumnSizing(QPoint point)
{
    m_MouseMode = MOUSE_SIZING_COL;
    int col = m_LeftClickDownCell.col;
    QPoint start;
    GetCellOrigin(m_LeftClickDownCell.row, col, start);
    if (point.x() - start.x() < m_nResizeCaptureRange && col > 0) {
        --col;
        if (!m_bHiddenColUnhide)
            while (col > 0 && GetColumnWidth(col) == 0) --col;
    }
    m_nSizingIndex = col;
    QPoint colStart;
    GetCellOrigin(m_LeftClickDownCell.row, col, colStart);
    m_cursorClip = QRect(QPoint(colStart.x() + 1, 0), ClientRect().bottomRight());
    m_trackLine = QRect(point.x(), 0, 2, ClientRect().height());
    DrawTrackingLine(true);
}

// The same for a row divider: resizing the row above it.
void CGridCtrl::BeginRowSizing(QPoint point)
{
    m_MouseMode = MOUSE_SIZING_ROW;
    int row = m_LeftClickDownCell.row;
    QPoint start;
    GetCellOrigin(row, m_LeftClickDownCell.col, start);
    if (point.y() - start.y() < m_nResizeCaptureRange && row > 0) {
        --row;
        if (!m_bHiddenRowUnhide)
            while (row > 0 && GetRowHeight(row) == 0) --row;
    }
    m_nSizingIndex = row;
    QPoint rowStart;
    GetCellOrigin(row, m_LeftClickDownCell.col, rowStart);
    m_cursorClip = QRect(QPoint(0, rowStart.y() + 1), ClientRect().bottomRight());
    m_trackLine = QRect(0, point.y(), ClientRect().width(), 2);
    DrawTrackingLine(true);
}

// A press on a cell: a fixed row's cell sorts or starts a column drag, a
// fixed column's cell selects its row, any other cell starts a selection that
// the timer extends while the button is held. Ctrl keeps what was selected.
void CGridCtrl::BeginClickSelection(bool ctrl)
{
    NotifyParent(m_LeftClickDownCell, NotifySelChanging);
    m_PrevSelectedCellMap.clear();
    if (ctrl)
        m_PrevSelectedCellMap = m_SelectedCellMap;
    if (m_LeftClickDownCell.row < m_nFixedRows) {
        OnFixedRowClick(m_LeftClickDownCell);
        if (m_bAllowColumnReorder && m_LeftClickDownCell.col >= m_nFixedCols) {
            ResetSelectedRange();
            m_MouseMode = MOUSE_PREPARE_DRAG;
            m_CurCol = m_LeftClickDownCell.col;
        }
    } else if (m_LeftClickDownCell.col < m_nFixedCols) {
        OnFixedColumnClick(m_LeftClickDownCell);
    } else {
        m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
        OnSelecting(m_LeftClickDownCell);
        if (m_nTimerID)
            killTimer(m_nTimerID);
        m_nTimerID = startTimer(m_nTimerInterval);
    }
}

void CGridCtrl::OnLButtonDown(Qt::KeyboardModifiers mods, QPoint point)
{
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    m_pressEnded = false;
    m_bLMouseButtonDown = true;
    setFocus(Qt::MouseFocusReason);
    m_LeftClickDownPoint = point;
    m_CurCol = -1;
    // The open editor ends with the press: a text it refuses ends the press
    // too (the refusal holds the cell; the press selects nothing).
    EndEditing();
    if (m_pressEnded || m_refusalPending)
        return;

    m_LeftClickDownCell = GetCellFromPt(point);
    if (!IsValid(m_LeftClickDownCell))
        return;

    if (!shift)
        m_SelectionStartCell = m_LeftClickDownCell;
    else if (!IsValid(m_SelectionStartCell))
        m_SelectionStartCell = m_idCurrentCell;

    QPoint origin;
    GetCellOrigin(m_LeftClickDownCell.row, m_LeftClickDownCell.col, origin);
    if (CGridCellBase* cell = GetCell(m_LeftClickDownCell.row, m_LeftClickDownCell.col))
        cell->OnClickDown(point - origin);

    if (m_LeftClickDownCell == m_idCurrentCell && !ctrl) {
        QRect textRect;
        if (GetTextRect(m_LeftClickDownCell.row, m_LeftClickDownCell.col, textRect) && textRect.contains(point) &&
            IsCellEditable(m_LeftClickDownCell)) {
            m_MouseMode = MOUSE_PREPARE_EDIT;
            return;
        }
    }

    const bool onFixed = m_LeftClickDownCell.row < m_nFixedRows || m_LeftClickDownCell.col < m_nFixedCols;
    if (!IsCellSelected(m_LeftClickDownCell)) {
        if (m_MouseMode != MOUSE_OVER_ROW_DIVIDE && m_MouseMode != MOUSE_OVER_COL_DIVIDE) {
            if (onFixed)
                SetFocusCell(-1, -1);
            else
                SetFocusCell(m_LeftClickDownCell);
        }
    } else {
        if (ctrl) {
            const int row = m_LeftClickDownCell.row;
            if (m_bListMode)
                SetSelectedRange(row, m_bAllowFixedColSelection ? 0 : m_nFixedCols, row, m_nCols - 1, false, false);
            else
                SetSelectedRange(row, m_LeftClickDownCell.col, row, m_LeftClickDownCell.col, false, false);
            return;
        }
        SetFocusCell(m_LeftClickDownCell);
        if (m_bAllowDragAndDrop)
            m_MouseMode = MOUSE_PREPARE_DRAG;
    }

    if (m_MouseMode == MOUSE_NOTHING) {
        if (m_bAllowColumnResize && MouseOverColumnResizeArea(point)) {
            viewport()->setCursor(Qt::SizeHorCursor);
            m_MouseMode = MOUSE_OVER_COL_DIVIDE;
        } else if (m_bAllowRowResize && MouseOverRowResizeArea(point)) {
            viewport()->setCursor(Qt::SizeVerCursor);
            m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
        }
    }

    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE)
        BeginColumnSizing(point);
    else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE)
        BeginRowSizing(point);
    else if (m_MouseMode != MOUSE_PREPARE_DRAG)
        BeginClickSelection(ctrl);
    m_LastMousePoint = point;
}

void CGridCtrl::OnFixedRowClick(CCellID& cell)
{
    if (!IsValid(cell))
        return;
    if (m_bSortOnClick) {
        // The same column again reverses the order; another sorts ascending.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool ascending = cell.col == m_nSortColumn ? !m_bAscending : true;
        SortTextItems(cell.col, ascending);
        viewport()->update();
        QApplication::restoreOverrideCursor();
    }
    if (m_bFixedRowSelection) {
        if (cell.col < m_nFixedCols) {
            m_MouseMode = MOUSE_SELECT_ALL;
            OnSelecting(cell);
        } else {
            m_MouseMode = MOUSE_SELECT_COL;
            OnSelecting(cell);
        }
    }
}

void CGridCtrl::OnFixedColumnClick(CCellID& cell)
{
    if (!IsValid(cell))
        return;
    if (m_bFixedColumnSelection) {
        if (cell.row < m_nFixedRows) {
            m_MouseMode = MOUSE_SELECT_ALL;
            OnSelecting(cell);
        } else {
            m_MouseMode = MOUSE_SELECT_ROW;
            OnSelecting(cell);
        }
    }
}

// The mouse moves with the left button held: it extends the selection,
// moves a divider's tracking line, or starts a drag.
void CGridCtrl::DragMove(QPoint point)
{
    const QRect client = ClientRect();
    switch (m_MouseMode) {
    case MOUSE_SELECT_ALL: break;
    case MOUSE_SELECT_COL:
    case MOUSE_SELECT_ROW:
    case MOUSE_SELECT_CELLS: {
        const CCellID cell = GetCellFromPt(point);
        if (!IsValid(cell))
            break;
        if (cell != m_idCurrentCell) {
            OnSelecting(cell);
            if ((cell.row >= m_nFixedRows && cell.col >= m_nFixedCols) || m_MouseMode == MOUSE_SELECT_COL ||
                m_MouseMode == MOUSE_SELECT_ROW)
                SetFocusCell(cell);
        }
        break;
    }
    case MOUSE_SIZING_COL: {
        DrawTrackingLine(false);
        const int x = std::max(point.x(), m_cursorClip.left());
        m_trackLine = QRect(x, 0, 2, client.height());
        DrawTrackingLine(true);
        break;
    }
    case MOUSE_SIZING_ROW: {
        DrawTrackingLine(false);
        const int y = std::max(point.y(), m_cursorClip.top());
        m_trackLine = QRect(0, y, client.width(), 2);
        DrawTrackingLine(true);
        break;
    }
    case MOUSE_PREPARE_EDIT:
    case MOUSE_PREPARE_DRAG:
        // Without drag and drop a click into the focus cell stays a click
        // that starts editing on release.
        if (m_bAllowDragAndDrop || m_MouseMode == MOUSE_PREPARE_DRAG) {
            m_MouseMode = MOUSE_PREPARE_DRAG;
            OnBeginDrag();
        }
        break;
    default: break;
    }
}

// The mouse moves with no button held: the cursor shows a divider under it,
// and the cell under it gets its cursor and its tip.
void CGridCtrl::HoverMove(Qt::MouseButtons buttons, QPoint point)
{
    if (m_bAllowColumnResize && MouseOverColumnResizeArea(point)) {
        if (m_MouseMode != MOUSE_OVER_COL_DIVIDE) {
            viewport()->setCursor(Qt::SizeHorCursor);
            m_MouseMode = MOUSE_OVER_COL_DIVIDE;
        }
    } else if (m_bAllowRowResize && MouseOverRowResizeArea(point)) {
        if (m_MouseMode != MOUSE_OVER_ROW_DIVIDE) {
            viewport()->setCursor(Qt::SizeVerCursor);
            m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
        }
    } else if (m_MouseMode != MOUSE_NOTHING) {
        viewport()->setCursor(Qt::ArrowCursor);
        m_MouseMode = MOUSE_NOTHING;
    }

    if (m_MouseMode == MOUSE_NOTHING && (m_bTitleTips || !m_bVirtualMode)) {
        const CCellID id = GetCellFromPt(point);
        if (!IsValid(id))
            viewport()->setCursor(Qt::ArrowCursor);
        if (IsValid(id)) {
            if (CGridCellBase* cell = GetCell(id.row, id.col)) {
                cell->OnSetCursor();
                cell->OnMouseOver();
                QRect cellRect;
                if (m_bTitleTips && !(buttons & Qt::RightButton) && !cell->GetTipText().isEmpty() &&
                    !cell->IsEditing() && GetCellRect(id.row, id.col, cellRect)) {
                    QRect textRect = cellRect;
                    cell->GetTipTextRect(textRect);
                    m_TitleTip.Show(textRect, cell->GetTipText(), cell->GetFont(), m_crTTipTextClr, m_crTTipBackClr,
                                    &cellRect);
                }
            }
        }
    }
}

void CGridCtrl::OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPoint point)
{
    const QRect client = ClientRect();
    const bool sizing = m_MouseMode == MOUSE_SIZING_COL || m_MouseMode == MOUSE_SIZING_ROW;
    if (!client.contains(point) && m_MouseMode != MOUSE_DRAGGING && !sizing)
        return;
    if (m_TitleTip.isVisible())
        m_TitleTip.OnMouseMove(viewport()->mapToGlobal(point));

    const bool left = (buttons & Qt::LeftButton) && m_bLMouseButtonDown;
    if (left && m_MouseMode != MOUSE_NOTHING) {
        if (IsValid(m_LeftClickDownCell))
            DragMove(point);
    } else if (!left) {
        HoverMove(buttons, point);
    }
    m_LastMousePoint = point;
}

void CGridCtrl::OnLButtonUp(Qt::KeyboardModifiers mods, QPoint point)
{
    if (m_pressEnded) {
        m_pressEnded = false;
        return;
    }
    m_bLMouseButtonDown = false;
    if (m_nTimerID) {
        killTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    const CCellID focus = m_idCurrentCell;
    QPoint focusOrigin;
    GetCellOrigin(focus.row, focus.col, focusOrigin);

    switch (m_MouseMode) {
    case MOUSE_PREPARE_EDIT:
        OnEditCell(focus.row, focus.col, point - focusOrigin, VK_LBUTTON | CInPlaceEdit::ClickedChar);
        break;
    case MOUSE_PREPARE_DRAG: {
        if (CGridCellBase* cell = GetCell(focus.row, focus.col))
            cell->OnClick(point - focusOrigin);
        NotifyParent(m_LeftClickDownCell, NotifyClick);
        NotifyParent(m_LeftClickDownCell, NotifySelChanging);
        ResetSelectedRange();
        NotifyParent(m_idCurrentCell, NotifySelChanged);
        break;
    }
    case MOUSE_SIZING_COL: {
        DrawTrackingLine(false);
        if (point != m_LeftClickDownPoint && point != QPoint(0, 0)) {
            QPoint start;
            if (GetCellOrigin(m_LeftClickDownCell.row, m_nSizingIndex, start)) {
                const int x = std::max(point.x(), m_cursorClip.left());
                const int width = std::max(x - start.x(), m_bAllowColHide ? 0 : 1);
                SetColumnWidth(m_nSizingIndex, width);
                ResetScrollBars();
                Refresh();
            }
        }
        break;
    }
    case MOUSE_SIZING_ROW: {
        DrawTrackingLine(false);
        if (point != m_LeftClickDownPoint && point != QPoint(0, 0)) {
            QPoint start;
            if (GetCellOrigin(m_nSizingIndex, m_LeftClickDownCell.col, start)) {
                const int y = std::max(point.y(), m_cursorClip.top());
                const int height = std::max(y - start.y(), m_bAllowRowHide ? 0 : 1);
                SetRowHeight(m_nSizingIndex, height);
                ResetScrollBars();
                Refresh();
            }
        }
        break;
    }
    default:
        NotifyParent(focus, NotifySelChanged);
        if (CGridCellBase* cell = GetCell(focus.row, focus.col))
            cell->OnClick(point - focusOrigin);
        NotifyParent(m_LeftClickDownCell, NotifyClick);
        break;
    }
    m_MouseMode = MOUSE_NOTHING;
    m_trackLine = QRect();
    viewport()->setCursor(Qt::ArrowCursor);
    if (IsValid(m_LeftClickDownCell)) {
        const int id = m_nId;
        QTimer::singleShot(0, this, [this, id] { emit gridCommand(id); });
    }
}

void CGridCtrl::OnLButtonDblClk(Qt::KeyboardModifiers mods, QPoint point)
{
    // The refused cell holds: no other cell is edited, and the release that
    // ends the double click does nothing either.
    if (m_refusalPending) {
        m_pressEnded = true;
        return;
    }
    const CCellID cell = GetCellFromPt(point);
    if (!IsValid(cell))
        return;
    QPoint start;
    GetCellOrigin(cell.row, cell.col, start);
    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
        int col = cell.col;
        if (point.x() - start.x() < m_nResizeCaptureRange) {
            --col;
            while (col > 0 && GetColumnWidth(col) == 0) --col;
        }
        AutoSizeColumn(col);
        Refresh();
    } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
        int row = cell.row;
        if (point.y() - start.y() < m_nResizeCaptureRange) {
            --row;
            while (row > 0 && GetRowHeight(row) == 0) --row;
        }
        AutoSizeRow(row);
        Refresh();
    } else if (m_MouseMode == MOUSE_NOTHING) {
        if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols) {
            QRect textRect;
            if (GetTextRect(cell.row, cell.col, textRect) && textRect.contains(point))
                OnEditCell(cell.row, cell.col, point - start, VK_LBUTTON | CInPlaceEdit::ClickedChar);
        }
        if (CGridCellBase* c = GetCell(cell.row, cell.col))
            c->OnDblClick(point - start);
        NotifyParent(cell, NotifyDblClick);
    }
}

void CGridCtrl::OnRButtonDown(Qt::KeyboardModifiers mods, QPoint point)
{
    m_bRMouseButtonDown = false;
    EndEditing();
    const CCellID cell = GetCellFromPt(point);
    if (IsValid(cell)) {
        SetFocusCell(-1, -1);
        SetFocusCell(std::max(cell.row, m_nFixedRows), std::max(cell.col, m_nFixedCols));
        QPoint start;
        GetCellOrigin(cell.row, cell.col, start);
        if (CGridCellBase* c = GetCell(cell.row, cell.col))
            c->OnRClick(point - start);
        NotifyParent(cell, NotifyRClick);
    } else {
        NotifyParent(-1, -1, NotifyRClick);
    }
}

void CGridCtrl::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_nTimerID)
        OnTimer();
    else
        QAbstractScrollArea::timerEvent(e);
}

void CGridCtrl::OnTimer()
{
    // A refused cell holds the current cell: no tick moves it.
    if (m_refusalPending || !m_bLMouseButtonDown) {
        EndPress();
        return;
    }
    QPoint pt = viewport()->mapFromGlobal(QCursor::pos());
    const QRect client = ClientRect();
    const Qt::KeyboardModifiers mods = QGuiApplication::keyboardModifiers();
    if (pt.y() > client.bottom()) {
        OnKeyDown(VK_DOWN, mods);
        if (pt.x() < client.left())
            pt.setX(client.left());
        if (pt.x() > client.right())
            pt.setX(client.right());
        pt.setY(client.bottom());
        OnSelecting(GetCellFromPt(pt));
    } else if (pt.y() < GetFixedRowHeight()) {
        OnKeyDown(VK_UP, mods);
        pt.setY(GetFixedRowHeight() + 1);
        OnSelecting(GetCellFromPt(pt));
    } else if (pt.x() > client.right()) {
        OnKeyDown(VK_RIGHT, mods);
        pt.setX(client.right());
        OnSelecting(GetCellFromPt(pt));
    } else if (pt.x() < GetFixedColumnWidth()) {
        OnKeyDown(VK_LEFT, mods);
        pt.setX(GetFixedColumnWidth() + 1);
        OnSelecting(GetCellFromPt(pt));
    }
}

void CGridCtrl::SelectNewRow(int row)
{
    SetSelectedRange(row, 0, row, GetColumnCount() - 1);
    SetFocusCell(row, 0);
    EnsureVisible(row, 0);
    RedrawRow(row);
    setFocus();
}
