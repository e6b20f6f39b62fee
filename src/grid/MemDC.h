// Off-screen drawing context: the grid paints a whole screenful into a
// pixmap and copies it to the window once, so that nothing flickers. On a
// printer the drawing goes straight to the printer's painter.
#pragma once

#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <memory>

namespace GridCtrl {

class CMemDC {
public:
    // target: the painter of the window (or printer); rect: the part to be
    // painted, in the target's logical coordinates; back: the fill colour.
    CMemDC(QPainter* target, const QRect& rect, const QColor& back);
    ~CMemDC();
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    QPainter* painter() { return m_bMemDC ? m_pPainter.get() : m_pTarget; }
    const QRect& rect() const { return m_rect; }

private:
    QPixmap m_bitmap;
    std::unique_ptr<QPainter> m_pPainter;
    QPainter* m_pTarget;
    QRect m_rect;
    bool m_bMemDC;
};

// True when the painter draws on a printer.
bool IsPrinting(const QPainter* p);

} // namespace GridCtrl

class QString;
namespace GridCtrl {
// Writes a text into a box following a cell's format flags (alignment,
// single line with ellipsis, or several lines with word breaks).
void DrawCellText(QPainter* dc, const QRect& box, const QString& text, quint32 format);
} // namespace GridCtrl
