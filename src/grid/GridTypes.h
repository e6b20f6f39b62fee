// Small value types, constants and records shared by the grid control, its
// cells and its owners: cell addresses and ranges, colour words, text-format
// flags, cell state bits, notification codes and the notification records.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

class QWidget;
class CGridCtrl;

namespace GridCtrl {

// A colour as the screens give it: 0x00BBGGRR. DefaultColour means "take the
// colour of the default cell".
using COLORREF = quint32;
inline constexpr COLORREF DefaultColour = 0xFF000000u;

constexpr COLORREF MakeColour(int r, int g, int b)
{
    return COLORREF(r & 0xFF) | (COLORREF(g & 0xFF) << 8) | (COLORREF(b & 0xFF) << 16);
}
inline QColor ToQColor(COLORREF c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
inline COLORREF FromQColor(const QColor& c) { return MakeColour(c.red(), c.green(), c.blue()); }

// System colours the grid paints with, taken from the application palette.
enum SysColour {
    ColourWindow,
    ColourWindowText,
    ColourButtonFace,
    ColourButtonShadow,
    ColourHighlight,
    ColourHighlightText,
    Colour3DHighlight,
    Colour3DDarkShadow,
    Colour3DShadow,
    ColourInfoBack
};
COLORREF GetSysColour(SysColour which);

// The screens' faces, in the order asked for: Liberation Sans (the metrics
// the screens are laid out by), else DejaVu Sans; both carry Cyrillic.
QStringList ScreenFontFamilies();

// Text format flags of a cell (the same bit values the screens store).
inline constexpr unsigned DT_LEFT = 0x0000;
inline constexpr unsigned DT_CENTER = 0x0001;
inline constexpr unsigned DT_RIGHT = 0x0002;
inline constexpr unsigned DT_VCENTER = 0x0004;
inline constexpr unsigned DT_BOTTOM = 0x0008;
inline constexpr unsigned DT_WORDBREAK = 0x0010;
inline constexpr unsigned DT_SINGLELINE = 0x0020;
inline constexpr unsigned DT_CALCRECT = 0x0400;
inline constexpr unsigned DT_NOPREFIX = 0x0800;
inline constexpr unsigned DT_END_ELLIPSIS = 0x8000;

// Cell state bits.
inline constexpr unsigned CellFocused = 0x01;
inline constexpr unsigned CellSelected = 0x02;
inline constexpr unsigned CellDropHighlighted = 0x04;
inline constexpr unsigned CellReadOnly = 0x08;
inline constexpr unsigned CellFixed = 0x10;
inline constexpr unsigned CellFixedRow = 0x20;
inline constexpr unsigned CellFixedColumn = 0x40;
inline constexpr unsigned CellModified = 0x80;

// Notification codes sent to the grid's owner.
inline constexpr int NotifySelChanging = -100;
inline constexpr int NotifySelChanged = -101;
inline constexpr int NotifyBeginDrag = -109;
inline constexpr int NotifyCacheHint = -113;
inline constexpr int NotifyBeginLabelEdit = -175;
inline constexpr int NotifyEndLabelEdit = -176;
inline constexpr int NotifyGetDispInfo = -177;
inline constexpr int NotifyClick = -2;
inline constexpr int NotifyDblClick = -3;
inline constexpr int NotifyRClick = -5;

// Key codes of the grid's keyboard handling (the virtual-key numbers the
// first-character rules of the in-place editor are written in).
inline constexpr unsigned VK_LBUTTON = 0x01;
inline constexpr unsigned VK_BACK = 0x08;
inline constexpr unsigned VK_TAB = 0x09;
inline constexpr unsigned VK_RETURN = 0x0D;
inline constexpr unsigned VK_ESCAPE = 0x1B;
inline constexpr unsigned VK_SPACE = 0x20;
inline constexpr unsigned VK_PRIOR = 0x21;
inline constexpr unsigned VK_NEXT = 0x22;
inline constexpr unsigned VK_END = 0x23;
inline constexpr unsigned VK_HOME = 0x24;
inline constexpr unsigned VK_LEFT = 0x25;
inline constexpr unsigned VK_UP = 0x26;
inline constexpr unsigned VK_RIGHT = 0x27;
inline constexpr unsigned VK_DOWN = 0x28;
inline constexpr unsigned VK_INSERT = 0x2D;
inline constexpr unsigned VK_DELETE = 0x2E;
inline constexpr unsigned VK_ADD = 0x6B;
inline constexpr unsigned VK_F2 = 0x71;

// Virtual-key number of a Qt key (0 for keys the grid does not know); letters
// map to their capital, digits to themselves.
unsigned VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers mods);

// Control id of the in-place editor.
inline constexpr int InPlaceEditId = 8;

} // namespace GridCtrl

// Span state of a cell in one direction.
enum CellSpan : quint32 { SpanNone = 0, SpanStart = 1, SpanCovered = 2 };

// Cell address; (-1, -1) is no cell.
struct CCellID {
    int row = -1;
    int col = -1;
    CCellID() = default;
    CCellID(int r, int c) : row(r), col(c) {}
    bool IsValid() const { return row >= 0 && col >= 0; }
    bool operator==(const CCellID& o) const { return row == o.row && col == o.col; }
    bool operator!=(const CCellID& o) const { return row != o.row || col != o.col; }
};

// Block of cells, bounds included.
struct CCellRange {
    int minRow = -1, minCol = -1, maxRow = -1, maxCol = -1;
    CCellRange() = default;
    CCellRange(int r1, int c1, int r2, int c2) : minRow(r1), minCol(c1), maxRow(r2), maxCol(c2) {}
    bool IsValid() const
    {
        return minRow >= 0 && minCol >= 0 && maxRow >= 0 && maxCol >= 0 && minRow <= maxRow && minCol <= maxCol;
    }
    bool InRange(int row, int col) const { return minRow <= row && row <= maxRow && minCol <= col && col <= maxCol; }
    bool InRange(const CCellID& c) const { return InRange(c.row, c.col); }
    CCellID GetTopLeft() const { return CCellID(minRow, minCol); }
    int Count() const { return IsValid() ? (maxRow - minRow + 1) * (maxCol - minCol + 1) : 0; }
    bool operator==(const CCellRange& o) const
    {
        return minRow == o.minRow && minCol == o.minCol && maxRow == o.maxRow && maxCol == o.maxCol;
    }
};

// Header of every notification: the grid, its control id and the code.
struct GridNotifyHeader {
    QWidget* from = nullptr;
    int id = 0;
    int code = 0;
};

// Record of the grid's ordinary notifications.
struct GridNotifyInfo {
    GridNotifyHeader hdr;
    int iRow = -1;
    int iColumn = -1;
};

// Cache hint of virtual mode: the run of cells about to be read.
struct GridCacheHint {
    GridNotifyHeader hdr;
    CCellRange range;
};

// Cell contents exchanged with the owner (virtual mode, end of editing).
struct GridCellDispInfo {
    GridNotifyHeader hdr;
    int row = -1;
    int col = -1;
    quint32 mask = 0;
    quint32 state = 0;
    quint32 format = 0;
    int image = -1;
    GridCtrl::COLORREF backColour = GridCtrl::DefaultColour;
    GridCtrl::COLORREF textColour = GridCtrl::DefaultColour;
    quint32 data = 0;
    std::optional<QFont> font;
    quint32 margin = 0;
    QString text;
};

// Virtual-mode callback: fills the record, returns true when it did.
using GRIDCALLBACK = bool (*)(GridCellDispInfo* info, qintptr param);

// Lines scrolled by one mouse-wheel step (the desktop's setting, 3 when it
// cannot be read).
unsigned GetMouseScrollLines();
