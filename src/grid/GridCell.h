// Cells of the grid control: the abstract base, the ordinary text cell and
// the default cell from which every attribute left at "take the default" is
// read.
#pragma once

#include "grid/GridTypes.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

class QPainter;
class QWidget;
class CGridHost;
class CGridDefaultCell;
class CInPlaceEdit;

class CGridCellBase {
public:
    CGridCellBase() = default;
    virtual ~CGridCellBase() = default;
    CGridCellBase(const CGridCellBase&) = delete;
    CGridCellBase& operator=(const CGridCellBase&) = delete;

    virtual void SetText(const QString& text) = 0;
    virtual void SetImage(int image) = 0;
    virtual void SetData(quint32 data) = 0;
    virtual void SetState(quint32 state) { m_nState = state; }
    virtual void SetFormat(quint32 format) = 0;
    virtual void SetTextColour(GridCtrl::COLORREF c) = 0;
    virtual void SetBackColour(GridCtrl::COLORREF c) = 0;
    virtual void SetFont(const QFont* font) = 0;
    virtual void SetMargin(quint32 margin) = 0;
    virtual void SetGrid(CGridHost* grid) = 0;
    virtual void SetCoords(int row, int col) = 0;
    virtual void SetHorzSpan(CellSpan span) { m_HorzSpan = span; }
    virtual void SetVertSpan(CellSpan span) { m_VertSpan = span; }

    virtual QString GetText() const = 0;
    virtual QString GetTipText() const { return GetText(); }
    virtual int GetImage() const = 0;
    virtual quint32 GetData() const = 0;
    virtual quint32 GetState() const { return m_nState; }
    virtual quint32 GetFormat() const = 0;
    virtual GridCtrl::COLORREF GetTextColour() const = 0;
    virtual GridCtrl::COLORREF GetBackColour() const = 0;
    virtual const QFont* GetFont() const = 0;
    virtual const QFont* GetFontObject() const = 0;
    virtual CGridHost* GetGrid() const = 0;
    virtual QWidget* GetEditWnd() const = 0;
    virtual quint32 GetMargin() const = 0;
    virtual CellSpan GetHorzSpan() const { return m_HorzSpan; }
    virtual CellSpan GetVertSpan() const { return m_VertSpan; }
    virtual CGridDefaultCell* GetDefaultCell() const;

    virtual bool IsDefaultFont() const = 0;
    virtual bool IsEditing() const = 0;
    bool IsFocused() const { return GetState() & GridCtrl::CellFocused; }
    bool IsFixed() const { return GetState() & GridCtrl::CellFixed; }
    bool IsFixedColumn() const { return GetState() & GridCtrl::CellFixedColumn; }
    bool IsFixedRow() const { return GetState() & GridCtrl::CellFixedRow; }
    bool IsSelected() const { return GetState() & GridCtrl::CellSelected; }
    bool IsReadOnly() const { return GetState() & GridCtrl::CellReadOnly; }
    bool IsModified() const { return GetState() & GridCtrl::CellModified; }
    bool IsDropHighlighted() const { return GetState() & GridCtrl::CellDropHighlighted; }

    // Merge markers of the later screens: the same as the span states
    // (1 first cell of a merged run, 2 continues the cell left of / above it).
    void SetMergeAcross(int marker) { SetHorzSpan(CellSpan(marker)); }
    void SetMergeDown(int marker) { SetVertSpan(CellSpan(marker)); }
    int GetMergeAcross() const { return int(GetHorzSpan()); }
    int GetMergeDown() const { return int(GetVertSpan()); }

    virtual void CopyFrom(const CGridCellBase* other);
    virtual void Reset();

    // rect is the cell's rectangle, right and bottom edges inclusive.
    virtual bool Draw(QPainter* dc, int row, int col, QRect rect, bool eraseBkgnd = true);
    virtual bool GetTextRect(QRect& rect);
    virtual bool GetTipTextRect(QRect& rect) { return GetTextRect(rect); }
    // text == nullptr gives the default cell's width and height.
    virtual QSize GetTextExtent(const QString* text, QPainter* dc = nullptr);
    QSize GetTextExtent(const QString& text, QPainter* dc = nullptr) { return GetTextExtent(&text, dc); }
    virtual QSize GetCellExtent(QPainter* dc);
    // The width a column needs to show the cell's text whole within its
    // margins: its widest line, or, where the text wraps, its widest word.
    int WholeTextWidth() const;

    virtual bool Edit(int row, int col, QRect rect, QPoint point, int id, unsigned ch) { return false; }
    virtual bool ValidateEdit(const QString& text) { return true; }
    virtual void EndEdit() {}
    virtual bool PrintCell(QPainter* dc, int row, int col, QRect rect);
    virtual void OnEndEdit() {}

    virtual void OnMouseOver() {}
    virtual void OnClick(QPoint pointCellRelative) {}
    virtual void OnClickDown(QPoint pointCellRelative) {}
    virtual void OnRClick(QPoint pointCellRelative) {}
    virtual void OnDblClick(QPoint pointCellRelative) {}
    virtual bool OnSetCursor();

protected:
    // The steps of Draw, over the cell's edges (left, top, right, bottom).
    struct CellEdges {
        int l, t, r, b;
    };
    void DrawBackground(QPainter* dc, const CGridHost& grid, const CellEdges& e, GridCtrl::COLORREF& textClr,
                        GridCtrl::COLORREF backClr, bool eraseBkgnd);
    void DrawFixedEdges(QPainter* dc, const CGridHost& grid, int row, int col, const CellEdges& e);
    int DrawSortArrow(QPainter* dc, const CGridHost& grid, const CellEdges& e);

    quint32 m_nState = 0;
    CellSpan m_HorzSpan = SpanNone;
    CellSpan m_VertSpan = SpanNone;
};

class CGridCell : public CGridCellBase {
public:
    CGridCell() = default;
    ~CGridCell() override = default;

    void SetText(const QString& text) override { m_strText = text; }
    void SetImage(int image) override { m_nImage = image; }
    void SetData(quint32 data) override { m_lParam = data; }
    void SetFormat(quint32 format) override { m_nFormat = format; }
    void SetTextColour(GridCtrl::COLORREF c) override { m_crFgClr = c; }
    void SetBackColour(GridCtrl::COLORREF c) override { m_crBkClr = c; }
    void SetFont(const QFont* font) override;
    void SetMargin(quint32 margin) override { m_nMargin = margin; }
    void SetGrid(CGridHost* grid) override { m_pGrid = grid; }
    void SetCoords(int row, int col) override {}

    QString GetText() const override { return m_strText; }
    int GetImage() const override { return m_nImage; }
    quint32 GetData() const override { return m_lParam; }
    quint32 GetFormat() const override;
    GridCtrl::COLORREF GetTextColour() const override { return m_crFgClr; }
    GridCtrl::COLORREF GetBackColour() const override { return m_crBkClr; }
    const QFont* GetFont() const override;
    const QFont* GetFontObject() const override;
    CGridHost* GetGrid() const override { return m_pGrid; }
    QWidget* GetEditWnd() const override;
    quint32 GetMargin() const override;

    bool IsDefaultFont() const override { return !m_plfFont; }
    bool IsEditing() const override { return m_bEditing; }

    void Reset() override;

    bool Edit(int row, int col, QRect rect, QPoint point, int id, unsigned ch) override;
    void EndEdit() override;
    void OnEndEdit() override;

protected:
    QString m_strText;
    quint32 m_lParam = 0;
    int m_nImage = -1;
    quint32 m_nFormat = quint32(-1);
    GridCtrl::COLORREF m_crFgClr = GridCtrl::DefaultColour;
    GridCtrl::COLORREF m_crBkClr = GridCtrl::DefaultColour;
    std::unique_ptr<QFont> m_plfFont;
    quint32 m_nMargin = quint32(-1);
    bool m_bEditing = false;
    CGridHost* m_pGrid = nullptr;
    CInPlaceEdit* m_pEditWnd = nullptr;
};

class CGridDefaultCell : public CGridCell {
public:
    CGridDefaultCell();

    void SetData(quint32) override {}
    void SetState(quint32) override {}
    quint32 GetState() const override { return m_nState | GridCtrl::CellReadOnly; }
    void SetFont(const QFont* font) override;
    const QFont* GetFont() const override { return m_plfFont.get(); }
    const QFont* GetFontObject() const override { return m_plfFont.get(); }

    quint32 GetReservedWord() const { return m_nReserved; }
    void SetReservedWord(quint32 w) { m_nReserved = w; }
    int GetWidth() const { return m_Size.width(); }
    int GetHeight() const { return m_Size.height(); }
    void SetWidth(int w) { m_Size.setWidth(w); }
    void SetHeight(int h) { m_Size.setHeight(h); }

protected:
    QSize m_Size{30, 10};
    quint32 m_nReserved = 0;
};
