#include "grid/GridCell.h"
#include "grid/GridHost.h"
#include "grid/InPlaceEdit.h"
#include "grid/MemDC.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QStringList>

using namespace GridCtrl;

namespace {

void FillBox(QPainter* dc, const QRect& r, const QColor& c)
{
    if (r.width() > 0 && r.height() > 0)
        dc->fillRect(r, c);
}

// One-pixel frame along the inside of the box.
void FrameBox(QPainter* dc, const QRect& r, const QColor& c)
{
    int w = r.width(), h = r.height();
    if (w < 1 || h < 1)
        return;
    dc->fillRect(QRect(r.left(), r.top(), w, 1), c);
    dc->fillRect(QRect(r.left(), r.top() + h - 1, w, 1), c);
    dc->fillRect(QRect(r.left(), r.top(), 1, h), c);
    dc->fillRect(QRect(r.left() + w - 1, r.top(), 1, h), c);
}

} // namespace

namespace GridCtrl {

// Writes a text into a box following the cell's format flags.
void DrawCellText(QPainter* dc, const QRect& box, const QString& text, quint32 format)
{
    if (box.width() <= 0 || box.height() <= 0)
        return;
    int flags = 0;
    if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else
        flags |= Qt::AlignLeft;
    const bool single = (format & DT_SINGLELINE) != 0;
    if (single) {
        if (format & DT_VCENTER)
            flags |= Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            flags |= Qt::AlignBottom;
        else
            flags |= Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
        if (format & DT_WORDBREAK)
            flags |= Qt::TextWordWrap;
    }
    QString shown = text;
    if (single) {
        shown.replace(QLatin1Char('\r'), QString()).replace(QLatin1Char('\n'), QString());
        const QFontMetrics fm = dc->fontMetrics();
        // Short texts surely fit without measuring them.
        const int width = qsizetype(fm.maxWidth()) * shown.size() <= box.width() ? 0 : fm.horizontalAdvance(shown);
        if (width > box.width() && (format & DT_END_ELLIPSIS))
            shown = fm.elidedText(shown, Qt::ElideRight, box.width());
        else if (width <= box.width() && fm.height() <= box.height()) {
            // fits: no clipping needed
            dc->drawText(box, flags, shown);
            return;
        }
    }
    dc->save();
    dc->setClipRect(box, Qt::IntersectClip);
    dc->drawText(box, flags, shown);
    dc->restore();
}

} // namespace GridCtrl

// ---------------------------------------------------------------------------
// CGridCellBase

CGridDefaultCell* CGridCellBase::GetDefaultCell() const
{
    CGridHost* grid = GetGrid();
    if (!grid)
        return nullptr;
    return grid->GetDefaultCell(IsFixedRow(), IsFixedColumn());
}

void CGridCellBase::CopyFrom(const CGridCellBase* other)
{
    if (!other || other == this)
        return;
    SetGrid(other->GetGrid());
    SetText(other->GetText());
    SetImage(other->GetImage());
    SetData(other->GetData());
    SetState(other->GetState());
    SetFormat(other->GetFormat());
    SetTextColour(other->GetTextColour());
    SetBackColour(other->GetBackColour());
    SetFont(other->IsDefaultFont() ? nullptr : other->GetFont());
    SetMargin(other->GetMargin());
}

void CGridCellBase::Reset()
{
    m_nState = 0;
    m_HorzSpan = SpanNone;
    m_VertSpan = SpanNone;
}

bool CGridCellBase::OnSetCursor()
{
    if (CGridHost* grid = GetGrid())
        grid->CellSurface()->setCursor(Qt::ArrowCursor);
    return true;
}

bool CGridCellBase::GetTextRect(QRect& rect)
{
    CGridHost* grid = GetGrid();
    int image = GetImage();
    if (grid && image >= 0) {
        QSize sz = grid->GetImageSize(image);
        if (sz.isValid())
            rect.setLeft(rect.left() + int(GetMargin()) + sz.width() + 1);
    }
    return true;
}

namespace {

// A rectangle from its edges: a fill or frame of (l, t, r, b) covers the
// pixels l..r-1 and t..b-1.
QRect EdgeBox(int l, int t, int r, int b) { return QRect(l, t, r - l, b - t); }

} // namespace

// The background, or the selection's, of the cell; the focus cell (or the
// drop target) also gets its frame. textClr becomes the selection's text
// colour for a selected cell.
void CGridCellBase::DrawBackground(QPainter* dc, const CGridHost& grid, const CellEdges& e, COLORREF& textClr,
                                   COLORREF backClr, bool eraseBkgnd)
{
    // The cell's last pixel column and row (where the grid lines go) are
    // reached by extending one pixel.
    if (!IsFocused() && !IsDropHighlighted()) {
        if (IsSelected()) {
            FillBox(dc, EdgeBox(e.l, e.t, e.r + 1, e.b + 1), ToQColor(GetSysColour(ColourHighlight)));
            textClr = GetSysColour(ColourHighlightText);
        } else if (eraseBkgnd) {
            FillBox(dc, EdgeBox(e.l, e.t, e.r + 1, e.b + 1), ToQColor(backClr));
        }
        return;
    }
    if (IsSelected()) {
        backClr = GetSysColour(ColourHighlight);
        textClr = GetSysColour(ColourHighlightText);
        eraseBkgnd = true;
    }
    if (eraseBkgnd)
        FillBox(dc, EdgeBox(e.l, e.t, e.r + 1, e.b + 1), ToQColor(backClr));
    const bool lines = grid.GetGridLines() != 0;
    if (grid.GetFrameFocusCell())
        FrameBox(dc, lines ? EdgeBox(e.l, e.t, e.r, e.b) : EdgeBox(e.l, e.t, e.r + 1, e.b + 1), ToQColor(textClr));
}

// The 3-D edges of a fixed cell: sunken when it heads the focus cell's row or
// column (with focus tracking), raised otherwise.
void CGridCellBase::DrawFixedEdges(QPainter* dc, const CGridHost& grid, int row, int col, const CellEdges& e)
{
    const CCellID focus = grid.GetFocusCell();
    const QColor light = ToQColor(GetSysColour(Colour3DHighlight));
    if (grid.GetTrackFocusCell() && grid.IsValid(focus) && (focus.row == row || focus.col == col)) {
        const QColor dark = ToQColor(GetSysColour(Colour3DShadow));
        dc->fillRect(QRect(e.l, e.t, e.r + 1 - e.l, 1), dark);
        dc->fillRect(QRect(e.l, e.t, 1, e.b + 1 - e.t), dark);
        dc->fillRect(QRect(e.l, e.b, e.r + 1 - e.l, 1), light);
        dc->fillRect(QRect(e.r, e.t, 1, e.b + 1 - e.t), light);
    } else {
        const QColor dark = ToQColor(GetSysColour(Colour3DDarkShadow));
        dc->fillRect(QRect(e.l, e.t, e.r - e.l + 1, 1), light);
        dc->fillRect(QRect(e.l, e.t, 1, e.b - e.t), light);
        dc->fillRect(QRect(e.r, e.t, 1, e.b - e.t + 1), dark);
        dc->fillRect(QRect(e.l, e.b, e.r - e.l + 1, 1), dark);
    }
}

// The sort column's arrow at the right of its header cell (text edges r and
// b exclusive); returns the width it takes, 0 when it does not fit.
int CGridCellBase::DrawSortArrow(QPainter* dc, const CGridHost& grid, const CellEdges& e)
{
    int size = dc->fontMetrics().boundingRect(QStringLiteral("M")).height() - 4;
    if (size >= e.b - e.t)
        size = e.b - e.t - 4;
    if (e.l + size >= e.r || size <= 0)
        return 0;
    const int x = e.r - size;
    const int y = e.b - size - 2;
    // The triangle's three corners, pointing up (ascending) or down.
    const bool up = grid.GetSortAscending();
    const QPoint tip(x + size / 2, up ? y : y + size);
    const QPoint left(x, up ? y + size : y), right(x + size, up ? y + size : y);
    const QPen old = dc->pen();
    const QPoint shift(1, 1);
    dc->setPen(QPen(ToQColor(GetSysColour(Colour3DHighlight)), 0));
    dc->drawLine(left + shift, tip + shift);
    dc->drawLine(tip + shift, right + shift);
    dc->drawLine(right + shift, left + shift);
    dc->setPen(QPen(ToQColor(GetSysColour(Colour3DShadow)), 0));
    dc->drawLine(left, tip);
    dc->drawLine(tip, right);
    dc->drawLine(right, left);
    dc->setPen(old);
    return size;
}

bool CGridCellBase::Draw(QPainter* dc, int row, int col, QRect rect, bool eraseBkgnd)
{
    CGridHost* grid = GetGrid();
    if (!grid || !dc || rect.width() < 1 || rect.height() < 1)
        return false;
    if (GetHorzSpan() == SpanCovered || GetVertSpan() == SpanCovered)
        return false;
    CGridDefaultCell* def = GetDefaultCell();
    if (!def)
        return false;

    dc->save();
    COLORREF textClr = GetTextColour() == DefaultColour ? def->GetTextColour() : GetTextColour();
    COLORREF backClr = GetBackColour();
    if (backClr == DefaultColour)
        backClr = def->GetBackColour();
    else
        eraseBkgnd = true;

    CellEdges e{rect.left(), rect.top(), rect.right(), rect.bottom()};
    DrawBackground(dc, *grid, e, textClr, backClr, eraseBkgnd);
    if (IsFixed() && grid->GetGridLines() != 0) {
        DrawFixedEdges(dc, *grid, row, col, e);
        e = {e.l + 1, e.t + 1, e.r - 1, e.b - 1};
    }

    if (!IsPrinting(dc)) {
        if (const QFont* f = GetFontObject())
            dc->setFont(*f);
    }
    dc->setPen(ToQColor(textClr));

    // Inside the margin; from here r and b are exclusive.
    const int m = int(GetMargin());
    e = {e.l + m, e.t + m, e.r - m + 1, e.b - m + 1};

    const int image = GetImage();
    if (image >= 0) {
        const QSize sz = grid->GetImageSize(image);
        if (sz.isValid() && e.l + sz.width() <= e.r && e.t + sz.height() <= e.b)
            dc->drawPixmap(QPoint(e.l, e.t), grid->GetImage(image));
    }
    if (grid->GetSortColumn() == col && row == 0)
        e.r -= DrawSortArrow(dc, *grid, e);

    QRect textBox = EdgeBox(e.l, e.t, e.r, e.b);
    GetTextRect(textBox);
    textBox.adjust(0, 0, 1, 1);
    DrawCellText(dc, textBox, GetText(), GetFormat() | DT_NOPREFIX);

    dc->restore();
    return true;
}

bool CGridCellBase::PrintCell(QPainter* dc, int row, int col, QRect rect)
{
    CGridHost* grid = GetGrid();
    if (!grid || !dc || rect.isEmpty())
        return false;
    CGridDefaultCell* def = GetDefaultCell();
    if (!def && grid->GetPrintColour())
        return false;

    dc->save();
    QRect r(rect.left(), rect.top(), rect.width(), rect.height());
    COLORREF textClr = 0;
    bool hasBack = false;
    COLORREF backClr = 0;
    if (grid->GetPrintColour()) {
        if (IsFixed()) {
            backClr = GetBackColour() == DefaultColour ? def->GetBackColour() : GetBackColour();
            hasBack = true;
        } else if (GetBackColour() != DefaultColour && GetBackColour() != def->GetBackColour()) {
            backClr = GetBackColour();
            hasBack = true;
        }
        textClr = GetTextColour() == DefaultColour ? def->GetTextColour() : GetTextColour();
        if (!hasBack && dc->device() && dc->device()->colorCount() == 2) {
            int red = qRound((textClr & 0xFF) * 0.3), green = qRound(((textClr >> 8) & 0xFF) * 0.59),
                blue = qRound(((textClr >> 16) & 0xFF) * 0.11);
            textClr = MakeColour(red, green, blue);
        } else if (hasBack) {
            dc->fillRect(r, ToQColor(backClr));
        }
    }
    dc->setPen(ToQColor(textClr));
    if (const QFont* f = GetFontObject())
        dc->setFont(*f);

    if (IsFixed() && grid->GetGridLines() != 0) {
        QColor light = ToQColor(GetSysColour(Colour3DHighlight));
        QColor dark = ToQColor(GetSysColour(Colour3DDarkShadow));
        dc->fillRect(QRect(r.left(), r.top(), r.width(), 1), light);
        dc->fillRect(QRect(r.left(), r.top(), 1, r.height()), light);
        dc->fillRect(QRect(r.right(), r.top(), 1, r.height()), dark);
        dc->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), dark);
        r.adjust(1, 1, -1, -1);
    }
    int m = int(GetMargin());
    r.adjust(m, 0, -m, 0);
    int image = GetImage();
    if (image >= 0) {
        QSize sz = grid->GetImageSize(image);
        if (sz.isValid()) {
            dc->drawPixmap(r.topLeft(), grid->GetImage(image));
            r.setLeft(r.left() + m + sz.width());
        }
    }
    DrawCellText(dc, r, GetText(), GetFormat() | DT_NOPREFIX);
    dc->restore();
    return true;
}

QSize CGridCellBase::GetTextExtent(const QString* text, QPainter* dc)
{
    CGridDefaultCell* def = GetDefaultCell();
    if (!text) {
        if (def)
            return QSize(def->GetWidth(), def->GetHeight());
        return QSize(0, 0);
    }
    QFont font = QApplication::font();
    if (const QFont* f = GetFontObject())
        font = *f;
    else if (dc)
        font = dc->font();
    QFontMetrics fm(font);
    quint32 format = GetFormat();
    QSize size;
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) {
        size = QSize(fm.horizontalAdvance(*text), fm.height());
    } else {
        const QStringList lines = text->split(QLatin1Char('\n'));
        int w = 0;
        for (const QString& line : lines) w = qMax(w, fm.horizontalAdvance(QString(line).remove(QLatin1Char('\r'))));
        QRect calc =
            fm.boundingRect(QRect(0, 0, w + 1, 0x7FFF), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, *text);
        size = calc.size();
    }
    int m = int(GetMargin());
    size += QSize(2 * m, 2 * m);
    return size;
}

int CGridCellBase::WholeTextWidth() const
{
    const QString text = GetText();
    if (text.isEmpty())
        return 0;
    const QFont* own = GetFontObject();
    const QFontMetrics fm(own ? *own : QApplication::font());
    const bool wraps = (GetFormat() & DT_WORDBREAK) && !(GetFormat() & DT_SINGLELINE);
    int widest = 0;
    for (const QString& line : QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n')))
        for (const QString& part : wraps ? line.split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList{line})
            widest = qMax(widest, fm.horizontalAdvance(part));
    return widest + 2 * int(GetMargin()) + 1;
}

QSize CGridCellBase::GetCellExtent(QPainter* dc)
{
    QString text = GetText();
    QSize size = GetTextExtent(&text, dc);
    int m = int(GetMargin());
    QSize imageSize(0, 0);
    CGridHost* grid = GetGrid();
    if (grid && GetImage() >= 0) {
        QSize sz = grid->GetImageSize(GetImage());
        if (sz.isValid()) {
            int w = sz.width();
            if (2 * m < size.width())
                w += m;
            imageSize = QSize(w, sz.height() + 2 * m);
        }
    }
    size.setWidth(size.width() + imageSize.width() + 1);
    size.setHeight(qMax(size.height(), imageSize.height()) + 1);
    if (IsFixed())
        size += QSize(1, 1);
    return size;
}

// ---------------------------------------------------------------------------
// CGridCell

void CGridCell::SetFont(const QFont* font)
{
    if (!font) {
        m_plfFont.reset();
        return;
    }
    if (!m_plfFont)
        m_plfFont = std::make_unique<QFont>(*font);
    else
        *m_plfFont = *font;
}

quint32 CGridCell::GetFormat() const
{
    if (m_nFormat != quint32(-1))
        return m_nFormat;
    CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this)
        return def ? m_nFormat : 0;
    return def->GetFormat();
}

const QFont* CGridCell::GetFont() const
{
    if (m_plfFont)
        return m_plfFont.get();
    CGridDefaultCell* def = GetDefaultCell();
    return def && def != this ? def->GetFont() : nullptr;
}

const QFont* CGridCell::GetFontObject() const
{
    if (m_plfFont)
        return m_plfFont.get();
    CGridDefaultCell* def = GetDefaultCell();
    return def && def != this ? def->GetFontObject() : nullptr;
}

QWidget* CGridCell::GetEditWnd() const { return m_pEditWnd; }

quint32 CGridCell::GetMargin() const
{
    if (m_nMargin != quint32(-1))
        return m_nMargin;
    CGridDefaultCell* def = GetDefaultCell();
    if (!def || def == this)
        return 0;
    return def->GetMargin();
}

void CGridCell::Reset()
{
    CGridCellBase::Reset();
    m_strText.clear();
    m_nImage = -1;
    m_nFormat = quint32(-1);
    m_nMargin = quint32(-1);
    m_lParam = 0;
    m_bEditing = false;
    m_pGrid = nullptr;
    m_pEditWnd = nullptr;
    m_crFgClr = DefaultColour;
    m_crBkClr = DefaultColour;
    m_plfFont.reset();
}

bool CGridCell::Edit(int row, int col, QRect rect, QPoint point, int id, unsigned ch)
{
    if (m_bEditing && m_pEditWnd) {
        m_pEditWnd->SendChar(ch);
        return true;
    }
    Qt::Alignment align = Qt::AlignLeft;
    quint32 format = GetFormat();
    if (format & DT_RIGHT)
        align = Qt::AlignRight;
    else if (format & DT_CENTER)
        align = Qt::AlignHCenter;
    m_bEditing = true;
    m_pEditWnd = new CInPlaceEdit(m_pGrid, rect, align, id, row, col, GetText(), ch);
    return true;
}

void CGridCell::EndEdit()
{
    if (m_pEditWnd)
        m_pEditWnd->EndEdit();
}

void CGridCell::OnEndEdit()
{
    m_bEditing = false;
    m_pEditWnd = nullptr;
}

// ---------------------------------------------------------------------------
// CGridDefaultCell

CGridDefaultCell::CGridDefaultCell()
{
    m_nFormat = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
    m_crFgClr = DefaultColour;
    m_crBkClr = DefaultColour;
    const QFont system = QApplication::font();
    SetFont(&system);
}

void CGridDefaultCell::SetFont(const QFont* font)
{
    if (!font)
        return;
    CGridCell::SetFont(font);
    QFontMetrics fm(*font);
    m_nMargin = quint32(fm.horizontalAdvance(QStringLiteral(" ")));
    m_Size.setWidth(fm.horizontalAdvance(QStringLiteral(" XXXXXXXXXXXX ")));
    m_Size.setHeight(fm.height() * 3 / 2);
}
