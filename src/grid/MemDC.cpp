#include "grid/MemDC.h"
#include "grid/GridTypes.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPalette>
#include <QStyleHints>

namespace GridCtrl {

bool IsPrinting(const QPainter* p) { return p && p->device() && p->device()->devType() == QInternal::Printer; }

CMemDC::CMemDC(QPainter* target, const QRect& rect, const QColor& back)
    : m_pTarget(target), m_rect(rect), m_bMemDC(!IsPrinting(target))
{
    if (!m_bMemDC)
        return;
    qreal dpr = target->device() ? target->device()->devicePixelRatioF() : 1.0;
    m_bitmap = QPixmap(rect.size() * dpr);
    m_bitmap.setDevicePixelRatio(dpr);
    m_bitmap.fill(back);
    m_pPainter = std::make_unique<QPainter>(&m_bitmap);
    m_pPainter->translate(-rect.topLeft());
    m_pPainter->setFont(target->font());
}

CMemDC::~CMemDC()
{
    if (!m_bMemDC)
        return;
    m_pPainter->end();
    m_pPainter.reset();
    m_pTarget->drawPixmap(m_rect.topLeft(), m_bitmap);
}

COLORREF GetSysColour(SysColour which)
{
    const QPalette pal = QApplication::palette();
    switch (which) {
    case ColourWindow: return FromQColor(pal.color(QPalette::Active, QPalette::Base));
    case ColourWindowText: return FromQColor(pal.color(QPalette::Active, QPalette::Text));
    case ColourButtonFace: return FromQColor(pal.color(QPalette::Active, QPalette::Button));
    case ColourButtonShadow: return FromQColor(pal.color(QPalette::Active, QPalette::Dark));
    case ColourHighlight: return FromQColor(pal.color(QPalette::Active, QPalette::Highlight));
    case ColourHighlightText: return FromQColor(pal.color(QPalette::Active, QPalette::HighlightedText));
    case Colour3DHighlight: return FromQColor(pal.color(QPalette::Active, QPalette::Light));
    case Colour3DDarkShadow: return FromQColor(pal.color(QPalette::Active, QPalette::Shadow));
    case Colour3DShadow: return FromQColor(pal.color(QPalette::Active, QPalette::Dark));
    case ColourInfoBack: return FromQColor(pal.color(QPalette::Active, QPalette::ToolTipBase));
    }
    return 0;
}

QStringList ScreenFontFamilies() { return {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}; }

unsigned VirtualKeyFromQt(int key, Qt::KeyboardModifiers mods)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return unsigned(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (mods & Qt::KeypadModifier) ? unsigned(0x60 + key - Qt::Key_0) : unsigned(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return unsigned(0x70 + key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Plus: return (mods & Qt::KeypadModifier) ? VK_ADD : 0xBB;
    default: return 0;
    }
}

} // namespace GridCtrl

unsigned GetMouseScrollLines()
{
    // The desktop's wheel setting; 3 lines when the application has none.
    int lines = QApplication::wheelScrollLines();
    return lines > 0 ? unsigned(lines) : 3u;
}
