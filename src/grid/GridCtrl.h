// The editable grid window of every entry, reference-book and result screen:
// a table of cell objects in rows and columns, the first of which may be fixed
// (headers that do not scroll). The grid paints itself, scrolls, keeps a focus
// cell and a selection, edits cells in place and tells its owner of every
// change through the gridNotify signal, whose result word can veto.
#pragma once

#include "grid/GridCell.h"
#include "grid/GridColumn.h"
#include "grid/GridHost.h"
#include "grid/GridTypes.h"
#include "grid/InPlaceEdit.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QPixmap>
#include <QPoint>
#include <QVector>
#include <functional>
#include <map>
#include <vector>

class QMimeData;
class QPainter;
class QPrinter;

// Page numbers of a print run (the framework's print information): the pages
// the run may print and the one being printed now.
struct GridPrintInfo {
    int minPage = 1;
    int maxPage = 1;
    int curPage = 1;
};

class CGridCtrl : public QAbstractScrollArea, public CGridHost {
    Q_OBJECT
public:
    // Factory of the grid's ordinary cells (CGridCell unless changed).
    using CellFactory = CGridCellBase* (*)();

    explicit CGridCtrl(QWidget* parent = nullptr);
    ~CGridCtrl() override;

    // Places the grid in its parent at rect with a control id and sizes the
    // row and column arrays from the normal default cell.
    bool Create(const QRect& rect, QWidget* parent, int id, quint32 style = 0);
    int GetDlgCtrlID() const { return m_nId; }
    void SetDlgCtrlID(int id) { m_nId = id; }

    // ---- size and structure
    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    bool SetRowCount(int nRows = 10);
    bool SetColumnCount(int nCols = 10);
    bool SetFixedRowCount(int nFixedRows = 1);
    bool SetFixedColumnCount(int nFixedCols = 1);
    int InsertRow(const QString& heading, int row = -1);
    bool DeleteRow(int row);
    bool DeleteNonFixedRows();
    bool DeleteAllItems();

    // ---- cells
    CGridCellBase* GetCell(int row, int col) const;
    // Puts a ready cell at (row, col), which the grid then owns (the cell it
    // replaces is deleted); false in virtual mode or out of range.
    bool SetCell(int row, int col, CGridCellBase* cell);
    void SetCellFactory(CellFactory factory) { m_pfnCellFactory = factory; }
    QString GetItemText(int row, int col) const;
    bool SetItemText(int row, int col, const QString& text);
    bool SetItemState(int row, int col, quint32 state);
    quint32 GetItemState(int row, int col) const;
    bool SetItemData(int row, int col, quint32 data);
    quint32 GetItemData(int row, int col) const;
    bool SetItemFormat(int row, int col, quint32 format);
    bool SetItemBkColour(int row, int col, GridCtrl::COLORREF c = GridCtrl::DefaultColour);
    bool SetItemFgColour(int row, int col, GridCtrl::COLORREF c = GridCtrl::DefaultColour);
    void SetModified(int row = -1, int col = -1);
    bool GetModified() const { return m_bModified; }
    bool IsCellEditable(int row, int col) const;
    bool IsCellEditable(const CCellID& cell) const { return IsCellEditable(cell.row, cell.col); }
    bool IsValid(int row, int col) const { return row >= 0 && row < m_nRows && col >= 0 && col < m_nCols; }
    bool IsValid(const CCellID& cell) const override { return IsValid(cell.row, cell.col); }
    bool IsValid(const CCellRange& range) const;

    CGridDefaultCell* GetDefaultCell(bool fixedRow, bool fixedCol) const override;

    // ---- virtual mode
    void SetVirtualMode(bool on);
    void SetCallbackFunc(GRIDCALLBACK cb, qintptr param)
    {
        m_pfnCallback = cb;
        m_lParam = param;
    }

    // ---- row heights and column widths
    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    bool SetRowHeight(int row, int height);
    bool SetColumnWidth(int col, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    long GetVirtualHeight() const;
    long GetVirtualWidth() const;
    bool AutoSizeColumn(int col, int style = 0, bool resetScroll = true);
    bool AutoSizeRow(int row, bool resetScroll = true);
    void AutoSizeColumns(int style = 0);
    void ExpandColumnsToFit();
    // The spare height shared among the rows (the fixed ones too when
    // expandFixed), as ExpandColumnsToFit shares the width.
    void ExpandRowsToFit(bool expandFixed = true);
    void ExpandLastColumn();

    // ---- modes and flags (plain members: setters only store)
    void SetListMode(bool on = true);
    void SetSingleRowSelection(bool on = true) { m_bSingleRowSelection = on; }
    void SetEditable(bool on = true) { m_bEditable = on; }
    bool GetEditable() const { return m_bEditable; }
    void EnableSelection(bool on = true)
    {
        ResetSelectedRange();
        m_bEnableSelection = on;
        ResetSelectedRange();
    }
    void SetFixedRowSelection(bool on) { m_bFixedRowSelection = on; }
    void SetFixedColumnSelection(bool on) { m_bFixedColumnSelection = on; }
    void SetHeaderSort(bool on = true) { m_bSortOnClick = on; }
    void SetTabLeavesGrid(bool on) { m_bTabLeavesGrid = on; }
    void EnableTitleTips(bool on = true) { m_bTitleTips = on; }
    int GetGridLines() const override { return m_nGridLines; }
    void SetRowResize(bool on = true) { m_bAllowRowResize = on; }
    void SetColumnResize(bool on = true) { m_bAllowColumnResize = on; }
    bool GetColumnResize() const { return m_bAllowColumnResize; }
    void SetTrackFocusCell(bool on) { m_bTrackFocusCell = on; }
    bool GetTrackFocusCell() const override { return m_bTrackFocusCell; }
    void SetFrameFocusCell(bool on) { m_bFrameFocus = on; }
    bool GetFrameFocusCell() const override { return m_bFrameFocus; }
    void EnableDragAndDrop(bool on = true) { m_bAllowDragAndDrop = on; }
    bool GetPrintColour() const override { return m_bPrintColour; }
    void SetRedraw(bool allow, bool resetScrollBars = false);

    // ---- colours, font, images
    void SetGridBkColor(GridCtrl::COLORREF c) { m_crWindowColour = c; }
    void SetGridLineColor(GridCtrl::COLORREF c) { m_crGridLineColour = c; }
    // The grid's font: given to all four default cells.
    void SetFont(const QFont& font);
    QFont GetNormalFont() const override;
    void OnSysColorChange();
    QSize GetImageSize(int image) const override;
    QPixmap GetImage(int image) const override;

    // ---- sorting
    // Compares two cells: negative, 0 or positive; data is the caller's word.
    using CompareFunc = int (*)(const CGridCellBase* first, const CGridCellBase* second, qintptr data);
    int GetSortColumn() const override { return m_nSortColumn; }
    void SetSortColumn(int col) { m_nSortColumn = col; }
    bool GetSortAscending() const override { return m_bAscending; }
    void SetCompareFunction(CompareFunc f) { m_pfnCompare = f; }
    // Virtual mode: true when owner row a belongs before owner row b ascending.
    using VirtualCompareFunc = bool (*)(int a, int b);
    void SetVirtualCompare(VirtualCompareFunc f) { m_pfnVirtualCompare = f; }
    // During a virtual-mode sort: the grid being sorted, whose drag column
    // (GetDragColumn) is the stored column, for the owner's compare function.
    static CGridCtrl* SortingGrid() { return s_sortingGrid; }
    int GetDragColumn() const { return m_CurCol; }
    static int CompareCellText(const CGridCellBase* first, const CGridCellBase* second, qintptr data);
    bool SortTextItems(int col, bool ascending);
    bool SortItems(CompareFunc compare, int col, bool ascending, qintptr data = 0);
    bool QuickSortRows(CompareFunc compare, int col, bool ascending, qintptr data, int low, int high);

    // ---- printing: a view's print steps forward to these three. The painter
    // is open on the printer; info carries the page numbers.
    virtual void OnBeginPrinting(QPainter* dc, GridPrintInfo* info);
    virtual void OnPrint(QPainter* dc, GridPrintInfo* info);
    virtual void OnEndPrinting(QPainter* dc, GridPrintInfo* info);
    // Runs the three steps over every page onto the printer; false when the
    // printer cannot be painted on.
    bool PrintGrid(QPrinter* printer);
    int GetPrintPageCount() const { return m_nPageCount; }
    int GetPrintBodyHeight() const { return m_nBodyHeight; }

    // ---- drawing and geometry
    bool RedrawCellDC(int row, int col, QPainter* dc = nullptr);
    bool RedrawCell(int row, int col) { return RedrawCellDC(row, col, nullptr); }
    bool RedrawCell(const CCellID& c) { return RedrawCellDC(c.row, c.col, nullptr); }
    bool RedrawRow(int row);
    bool InvalidateCellRect(int row, int col);
    void Refresh();
    bool GetCellOrigin(int row, int col, QPoint& p);
    bool GetCellRect(int row, int col, QRect& rect);
    bool GetTextRect(int row, int col, QRect& rect);
    CCellID GetTopleftNonFixedCell(bool forceRecalculation = false);
    CCellRange GetVisibleNonFixedCellRange(QRect* rect = nullptr, bool forceRecalculation = false);
    CCellRange GetUnobstructedNonFixedCellRange(bool forceRecalculation = false);
    bool IsCellVisible(int row, int col);
    bool IsCellVisible(const CCellID& c) { return IsCellVisible(c.row, c.col); }
    CCellID GetCellFromPt(QPoint point, bool allowFixedCellCheck = true);
    void EnsureVisible(int row, int col);
    // A row just added to a list: the whole row selected, its first cell the
    // focus cell and in view, the row redrawn, the focus in the grid.
    void SelectNewRow(int row);
    void EnsureVisible(const CCellID& c) { EnsureVisible(c.row, c.col); }
    void ResetScrollBars();
    // Widens every column narrower than its texts (WholeTextWidth; a cell
    // spanning columns apart), then widens or narrows the last column to end
    // at the view's right edge, never below its own texts: a grid then wider
    // than its view scrolls.
    void FitLastColumnToView();
    // The width the column's texts need to show whole.
    int ColumnTextsWidth(int col) const;
    // Widens each of the first `columns` columns that is narrower than its
    // texts (a hidden column, of width 0, stays hidden).
    void WidenColumnsToTexts(int columns);
    int GetScrollPos32(Qt::Orientation bar) const;
    bool SetScrollPos32(Qt::Orientation bar, int pos);
    int GetVertScrollMax() const { return m_nVScrollMax; }
    int GetHorzScrollMax() const { return m_nHScrollMax; }
    int GetScrollBarState() const { return m_nBarState; }
    // Paints the visible cells (the paint handler calls it with the window's
    // painter and the part to be painted).
    virtual void OnDraw(QPainter* dc, const QRect& clipBox);

    // Scroll commands of the bars, keys and wheel.
    enum ScrollCode {
        SB_LINEUP = 0,
        SB_LINEDOWN = 1,
        SB_PAGEUP = 2,
        SB_PAGEDOWN = 3,
        SB_THUMBPOSITION = 4,
        SB_THUMBTRACK = 5,
        SB_TOP = 6,
        SB_BOTTOM = 7,
        SB_ENDSCROLL = 8
    };
    void OnHScroll(int code, int thumbPos = 0);
    void OnVScroll(int code, int thumbPos = 0);
    void OnScroll(Qt::Orientation bar, int code, int thumbPos);

    // ---- focus and selection
    CCellID GetFocusCell() const override { return m_idCurrentCell; }
    CCellID SetFocusCell(int row, int col);
    CCellID SetFocusCell(const CCellID& c) { return SetFocusCell(c.row, c.col); }
    void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool forceRepaint = false,
                          bool selectCells = true);
    void SetSelectedRange(const CCellRange& r, bool forceRepaint = false, bool selectCells = true)
    {
        SetSelectedRange(r.minRow, r.minCol, r.maxRow, r.maxCol, forceRepaint, selectCells);
    }
    void ResetSelectedRange();
    CCellRange GetSelectedCellRange() const;
    int GetSelectedCount() const { return m_SelectedCellMap.size(); }
    bool IsCellSelected(int row, int col) const;
    bool IsCellSelected(const CCellID& c) const { return IsCellSelected(c.row, c.col); }
    void SelectAllCells();
    void SelectRows(CCellID current, bool forceRedraw = false, bool selectCells = true);
    void SelectColumns(CCellID current, bool forceRedraw = false, bool selectCells = true);
    void SelectCells(CCellID current, bool forceRedraw = false, bool selectCells = true);
    void OnSelecting(const CCellID& current);
    int GetMouseMode() const { return m_MouseMode; }

    // ---- the columns' kinds: what a cell edited in place takes (GridColumn.h)
    // The columns as the grid is made: their count and each one's kind.
    void DeclareColumns(const std::vector<GridColumn>& columns);
    void DeclareColumn(int col, GridColumn column);
    // The column's declaration; null for a column declared by nobody.
    const GridColumn* DeclaredColumn(int col) const;
    // How a refused cell is said (a message box of the program's; a plain
    // one until the program sets it).
    using RefusalSayer = std::function<void(QWidget* owner, const QString& message)>;
    static void SetRefusalSayer(RefusalSayer say);
    // How a refused cell holds the focus until it is corrected or abandoned
    // (the program's hold of a refused input; nothing until the program sets
    // it): `holds` tells whether the refusal is still open, `sayAgain` says it
    // again and gives the focus back to the cell, `giveUp` gives the refused
    // text up (the cell keeps what it stored).
    using RefusalHolder = std::function<void(QWidget* held, std::function<bool()> holds,
                                             std::function<void()> sayAgain, std::function<void()> giveUp)>;
    static void SetRefusalHolder(RefusalHolder hold);
    // A refused cell is being corrected: from its refusal until its editor
    // is left with a text that reads or abandoned with Esc, or the grid is
    // filled anew. A screen does not store or close meanwhile (the refusal
    // was said).
    bool RefusalPending() const { return m_refusalPending; }

    // ---- editing
    virtual void OnEditCell(int row, int col, QPoint point, unsigned ch);
    // Reads the text by the cell's column and stores what it reads as; a text
    // that does not read is refused (RefuseCell) and false returned.
    virtual bool OnEndEditCell(int row, int col, const QString& text);
    virtual bool ValidateEdit(int row, int col, const QString& text);
    virtual void EndEditing();
    void SetItemTextEdited(int row, int col, const QString& text);
    // The in-place editor reports the end of editing here.
    void OnEditorNotify(GridCellDispInfo* info) override;
    // Modifier keys held at the last key press the grid or its editor saw.
    void SetKeyModifiers(Qt::KeyboardModifiers mods) override { m_keyMods = mods; }
    CInPlaceEdit* GetEditor() const;
    // The viewport, on which the cells are drawn.
    QWidget* CellSurface() const override { return viewport(); }
    void TakeFocusFromEditor() override { setFocus(Qt::OtherFocusReason); }
    CTitleTip& GetTitleTip() { return m_TitleTip; }

    // ---- clipboard and drag and drop. Text blocks travel as plain text:
    // a tab between columns, CR LF between rows.
    virtual void CutSelectedText();
    // The selected block as mime data (the caller owns it), or null when the
    // selection is not a valid range.
    virtual QMimeData* CopyTextFromGrid();
    virtual bool PasteTextToGrid(int row, int col, const QMimeData* data, bool selectPasted);
    // The text layout of a copied block.
    QString SelectedBlockText();
    virtual void OnEditCut();
    virtual void OnEditCopy();
    virtual void OnEditPaste();
    virtual void OnEditSelectAll();
    // When the Edit menu's commands are enabled.
    bool CanEditCut() const;
    bool CanEditCopy() const;
    bool CanEditPaste() const;
    bool CanEditSelectAll() const { return m_bEnableSelection; }
    virtual void OnBeginDrag();
    virtual Qt::DropAction OnDragEnter(const QMimeData* data, Qt::KeyboardModifiers mods, QPoint point);
    virtual Qt::DropAction OnDragOver(const QMimeData* data, Qt::KeyboardModifiers mods, QPoint point);
    virtual void OnDragLeave();
    virtual bool OnDrop(const QMimeData* data, Qt::DropAction action, QPoint point);
    void SetDragRowMode(bool on) { m_bDragRowMode = on; }
    void SetColumnReorder(bool on) { m_bAllowColumnReorder = on; }

    // ---- notifications
    long NotifyParent(int row, int col, int code);
    long NotifyParent(const CCellID& c, int code) { return NotifyParent(c.row, c.col, code); }
    long RequestDispInfo(GridCellDispInfo* info);
    void SendCacheHint(const CCellRange& range);

    // ---- handlers of keys and the mouse (the Qt events call these)
    virtual void OnKeyDown(unsigned key, Qt::KeyboardModifiers mods);
    virtual void OnChar(unsigned ch, Qt::KeyboardModifiers mods);
    virtual void OnLButtonDown(Qt::KeyboardModifiers mods, QPoint point);
    virtual void OnLButtonUp(Qt::KeyboardModifiers mods, QPoint point);
    virtual void OnLButtonDblClk(Qt::KeyboardModifiers mods, QPoint point);
    virtual void OnRButtonDown(Qt::KeyboardModifiers mods, QPoint point);
    virtual void OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPoint point);
    virtual void OnMouseWheel(int delta);
    virtual void OnFixedRowClick(CCellID& cell);
    virtual void OnFixedColumnClick(CCellID& cell);
    void OnTimer();

    enum MouseModes {
        MOUSE_NOTHING = 0,
        MOUSE_SELECT_ALL = 1,
        MOUSE_SELECT_COL = 2,
        MOUSE_SELECT_ROW = 3,
        MOUSE_SELECT_CELLS = 4,
        MOUSE_OVER_ROW_DIVIDE = 6,
        MOUSE_SIZING_ROW = 7,
        MOUSE_OVER_COL_DIVIDE = 8,
        MOUSE_SIZING_COL = 9,
        MOUSE_PREPARE_EDIT = 10,
        MOUSE_PREPARE_DRAG = 11,
        MOUSE_DRAGGING = 12
    };

    // Virtual mode: the row order (display row to owner row) after a row is
    // inserted (delta 1) or deleted (delta -1) at display row `row`.
    virtual void AdjustRowOrder(int row, int delta);

signals:
    // Every notification to the owner; a slot sets *result (0 by default),
    // a negative result vetoes the begin-edit and end-edit codes.
    void gridNotify(GridNotifyInfo* info, long* result);
    // Virtual mode without a callback: the owner fills the record.
    void dispInfoRequest(GridCellDispInfo* info, long* result);
    // Virtual mode: the run of cells about to be read; (-1,-1,-1,-1) after.
    void cacheHint(GridCacheHint* hint);
    // Posted after a left-button release on a cell: the grid's command.
    void gridCommand(int id);

protected:
    virtual CGridCellBase* CreateCell(int row, int col);
    virtual void DestroyCell(int row, int col);

    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    bool focusNextPrevChild(bool next) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

    // Printing steps; the page's rows and columns come from the print state.
    virtual void PrintRowCells(int firstCol, int endCol, int row, QRect rect, QPainter* dc, bool& firstLine);
    virtual void PrintColumnHeadings(QPainter* dc, GridPrintInfo* info);
    virtual void PrintHeader(QPainter* dc, GridPrintInfo* info);
    virtual void PrintFooter(QPainter* dc, GridPrintInfo* info);
    virtual void PrintRowButtons(QPainter* dc, GridPrintInfo* info);
    // The focus cell drawn into an image of its size, for a subclass's drag;
    // *hotSpot gets the cell's size. Null when the focus cell has no rectangle.
    virtual QPixmap CreateDragImage(QPoint* hotSpot);

    bool MouseOverRowResizeArea(QPoint point);
    bool MouseOverColumnResizeArea(QPoint point);
    void SetScrollRange(Qt::Orientation bar, int max, int page);
    void ShowScrollBar(Qt::Orientation bar, bool show);
    void InvalidateNonFixed(bool horizontal);
    void ScrollBarAction(Qt::Orientation bar, int action);
    void DrawTrackingLine(bool show);
    // The first row (Qt::Vertical) or column (Qt::Horizontal) from `from` on,
    // going by `step` (1 or -1) through the non-fixed ones, that is not hidden
    // (its height or width above 0); -1 when there is none.
    int NextVisible(Qt::Orientation axis, int from, int step) const;
    // The steps of a left-button press (OnLButtonDown).
    void BeginColumnSizing(QPoint point);
    void BeginRowSizing(QPoint point);
    void BeginClickSelection(bool ctrl);
    template <class Change>
    bool ChangeCell(int row, int col, Change change);
    // The fixed rows (Qt::Vertical) or columns (Qt::Horizontal) made count:
    // the cells of the lines that become fixed take the fixed state and the
    // default colours, those of the lines no longer fixed lose it.
    bool SetFixedCount(Qt::Orientation axis, int count);
    // The steps of a paint (OnDraw).
    struct DrawArea;
    void FillDrawBackgrounds(const DrawArea& area, const QRect& visibleRect);
    QRect SpannedRect(CGridCellBase* cell, int row, int col, QRect rect);
    void DrawCellAt(QPainter* dc, int row, int col, const QRect& rect, bool span);
    struct DrawRun;
    template <class Step>
    void WalkRun(const DrawRun& run, Step step) const;
    void DrawCells(QPainter* dc, const DrawRun& rows, const DrawRun& cols, bool span);
    void DrawGridLines(const DrawArea& area, const DrawRun& rows, const DrawRun& cols);
    // The two kinds of mouse move (OnMouseMove).
    void DragMove(QPoint point);
    void HoverMove(Qt::MouseButtons buttons, QPoint point);
    // The steps of a key press (OnKeyDown).
    bool HandleEditKey(unsigned key, bool ctrl, bool shift);
    bool TabTarget(CCellID& cell, bool shift, bool& wrapped) const;
    int PageTargetRow(int row, bool pageDown);
    CCellID KeyTargetCell(unsigned key, bool ctrl, bool shift, bool& tabWrapped, bool& handled);
    void ScrollTowardsKeyTarget(unsigned key, bool shift, bool tabWrapped, bool& horzScroll, bool& vertScroll);
    int CellOrderColumn(int col) const
    {
        return col >= 0 && col < int(m_arColOrder.size()) ? m_arColOrder[size_t(col)] : col;
    }
    QRect ClientRect() const { return viewport()->rect(); }

    // colours
    GridCtrl::COLORREF m_crWindowColour;
    GridCtrl::COLORREF m_crGridLineColour = 0xC0C0C0;
    GridCtrl::COLORREF m_crWindowText, m_crWindow, m_cr3DFace, m_crShadow;
    GridCtrl::COLORREF m_crTTipBackClr = GridCtrl::DefaultColour;
    GridCtrl::COLORREF m_crTTipTextClr = GridCtrl::DefaultColour;

    bool m_bVirtualMode = false;
    qintptr m_lParam = 0;
    GRIDCALLBACK m_pfnCallback = nullptr;
    int m_nGridLines = 3;
    bool m_bEditable = true;
    bool m_bModified = false;
    bool m_bAllowDragAndDrop = false;
    bool m_bListMode = false;
    bool m_bSingleRowSelection = false;
    bool m_bSingleColSelection = false;
    bool m_bAllowDraw = true;
    bool m_bEnableSelection = true;
    bool m_bFixedColumnSelection = true;
    bool m_bFixedRowSelection = true;
    bool m_bSortOnClick = false;
    bool m_bHandleTabKey = true;
    bool m_bDoubleBuffer = true;
    bool m_bTitleTips = true;
    int m_nBarState = 0;
    bool m_bPrintColour = false;
    bool m_bHiddenColUnhide = true, m_bHiddenRowUnhide = true, m_bAllowColHide = true, m_bAllowRowHide = true;
    bool m_bTrackFocusCell = true;
    bool m_bFrameFocus = true;
    int m_nAutoSizeColumnStyle = 3;

    int m_nRows = 0, m_nFixedRows = 0, m_nCols = 0, m_nFixedCols = 0;
    std::vector<int> m_arRowHeights;
    std::vector<int> m_arColWidths;
    int m_nVScrollMax = 0, m_nHScrollMax = 0;

    CellFactory m_pfnCellFactory;
    CGridDefaultCell m_cellDefault, m_cellFixedColDef, m_cellFixedRowDef, m_cellFixedRowColDef;
    std::vector<std::vector<CGridCellBase*>> m_RowData;

    int m_MouseMode = MOUSE_NOTHING;
    bool m_bLMouseButtonDown = false, m_bRMouseButtonDown = false;
    QPoint m_LeftClickDownPoint, m_LastMousePoint;
    CCellID m_LeftClickDownCell, m_SelectionStartCell, m_idCurrentCell;
    CCellID m_idTopLeftCell;
    int m_nTimerID = 0;
    int m_nTimerInterval = 25;
    int m_nResizeCaptureRange = 3;
    bool m_bAllowRowResize = true, m_bAllowColumnResize = true;
    int m_nRowsPerWheelNotch;
    QHash<quint32, CCellID> m_SelectedCellMap, m_PrevSelectedCellMap;
    CTitleTip m_TitleTip;
    bool m_bAscending = true;
    int m_nSortColumn = -1;
    int m_CurCol = -1;
    std::vector<int> m_arRowOrder, m_arColOrder;
    bool m_bDestroying = false;
    bool m_bAllowColumnReorder = false;
    bool m_bTabLeavesGrid = false;
    bool m_bAllowFixedColSelection = false;

    int m_nId = 0;
    QVector<QPixmap> m_ImageList;
    Qt::KeyboardModifiers m_keyMods;
    QRect m_trackLine; // tracking line while a border is dragged
    QRect m_cursorClip; // where the pointer may go while sizing
    int m_nSizingIndex = -1; // column or row being sized
    bool m_bInResize = false;
    bool m_bInScrollAction = false;

    // drag and drop
    CCellID m_idDropCell;
    bool m_bDragRowMode = true;
    int m_nDragRow = -1;

    // sorting
    CompareFunc m_pfnCompare = nullptr;
    VirtualCompareFunc m_pfnVirtualCompare = nullptr;
    static CGridCtrl* s_sortingGrid;

    // printing: layout words in lines and characters, then the state that
    // OnBeginPrinting computes in logical units
    bool m_bPrintScaleToScreen = false;
    int m_nHeaderHeight = 2, m_nFooterHeight = 2, m_nLeftMargin = 4, m_nRightMargin = 4, m_nGap = 1;
    QFont* m_pPrinterFont = nullptr;
    int m_CharWidth = 0, m_CharHeight = 0;
    int m_nBodyHeight = 0, m_nPageWidth = 0, m_nPageHeight = 0;
    int m_nPrinterHorzRes = 0, m_nPrinterVertRes = 0;
    int m_nPrintableWidth = 0;
    int m_nPrintColumn = 0, m_nCurrPrintRow = 0, m_nPageCount = 0, m_nPageMultiplier = 1;

private:
    // A refused cell keeps what it stored: the refusal is said at once, and
    // once the focus change is over the editor opens again on the cell with
    // the refused text selected, unless the grid was filled anew meanwhile.
    void RefuseCell(int row, int col, const QString& text, const QString& message);
    void ReopenRefusedCell(int row, int col, unsigned fill, const QString& text);
    void SayRefusalAgain();
    // A refusal said from within a press or a timer tick ends what the press
    // began first (the drag-select timer, the button held, a grab): its
    // release goes to the box, and nothing else moves the current cell.
    void EndPress();
    // The refused text is given up: the editor closes, the cell keeps what it
    // stored, and the grid keeps the focus the editor had.
    void GiveUpRefusedEdit();
    // Rows are going: a refused text being corrected goes with them (its
    // editor closes without a word and no reopening follows).
    void DropRefusedEdit();
    std::map<int, GridColumn> m_columnKinds;
    bool m_refusalPending = false;
    bool m_pressEnded = false; // the press was ended by a refusal: its release does nothing
    QString m_refusal; // what the pending refusal says
    unsigned m_fill = 0; // counts the times the rows went (a fill anew)
    bool PagePrintStart(int page, int& firstRow, int& firstCol) const;
    bool CellDragAcceptable(const QMimeData* data, const CCellID& cell) const;
    void MoveDraggedRow(int dropRow);
    bool MoveDraggedColumn(int dropCol);
    void SetDropHighlight(const CCellID& cell, bool on);
    void PrintGridLines(QPainter* dc, QRect rect, bool topLine, bool leftLine);
};
