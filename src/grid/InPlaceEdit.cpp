#include "grid/InPlaceEdit.h"
#include "grid/GridHost.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

using namespace GridCtrl;

bool CInPlaceEdit::s_bEndEditing = false;

CInPlaceEdit::CInPlaceEdit(CGridHost* grid, const QRect& rect, Qt::Alignment align, int id, int row, int col,
                           const QString& initText, unsigned firstChar)
    : QLineEdit(grid ? grid->CellSurface() : nullptr)
    , m_pGrid(grid)
    , m_nId(id)
    , m_nRow(row)
    , m_nColumn(col)
    , m_sInitText(initText)
    , m_bExitOnArrows((firstChar & ~(TypedChar | ClickedChar)) != VK_LBUTTON)
    , m_Rect(rect)
{
    setObjectName(QStringLiteral("CInPlaceEdit"));
    setAlignment(align | Qt::AlignVCenter);
    setFrame(true);
    if (grid)
        setFont(grid->GetNormalFont());
    setGeometry(rect);
    setText(initText);
    show();
    setFocus(Qt::OtherFocusReason);

    const bool typed = (firstChar & TypedChar) != 0;
    const unsigned ch = firstChar & ~(TypedChar | ClickedChar);
    if ((firstChar & ClickedChar) != 0) {
        selectAll();
    } else if (ch == VK_LBUTTON || ch == VK_RETURN) {
        deselect();
        setCursorPosition(text().size());
    } else if (ch == VK_BACK) {
        deselect();
        setCursorPosition(text().size());
        PostChar(VK_BACK);
    } else if (ch == VK_TAB || ch == VK_SPACE || (!typed && ch >= VK_PRIOR && ch <= VK_DOWN)) {
        selectAll();
    } else {
        selectAll();
        PostChar(ch);
    }
}

CInPlaceEdit::~CInPlaceEdit() = default;

void CInPlaceEdit::Detach()
{
    m_bEnded = true;
    m_pGrid = nullptr;
}

void CInPlaceEdit::PostChar(unsigned ch)
{
    QKeyEvent* ev;
    if (ch == VK_BACK)
        ev = new QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    else
        ev = new QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(char16_t(ch))));
    QCoreApplication::postEvent(this, ev);
}

void CInPlaceEdit::SendChar(unsigned ch)
{
    ch &= ~(TypedChar | ClickedChar);
    if (ch == VK_BACK) {
        QKeyEvent ev(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
        keyPressEvent(&ev);
        return;
    }
    QKeyEvent ev(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(char16_t(ch))));
    keyPressEvent(&ev);
}

bool CInPlaceEdit::event(QEvent* e)
{
    // The editor wants every key, Tab included.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab) {
            keyPressEvent(ke);
            return true;
        }
    }
    // Every shortcut is the editor's but the function keys from F2 on, with
    // or without a modifier: those are the window's (the frame's keys), which
    // end the edit, reading its text, before they act.
    if (e->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key >= Qt::Key_F2 && key <= Qt::Key_F35)
            return QLineEdit::event(e);
        e->accept();
        return true;
    }
    return QLineEdit::event(e);
}

void CInPlaceEdit::LeaveToGrid(unsigned key, Qt::KeyboardModifiers mods)
{
    m_nLastChar = key;
    if (m_pGrid) {
        m_pGrid->SetKeyModifiers(mods);
        m_pGrid->TakeFocusFromEditor();
    }
    // When the grid cannot take the focus (hidden window), the edit still ends.
    if (!m_bEnded && m_pGrid)
        EndEdit();
}

void CInPlaceEdit::keyPressEvent(QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers();
    const unsigned vk = VirtualKeyFromQt(e->key(), mods);
    switch (vk) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (m_bExitOnArrows || (mods & Qt::ControlModifier)) {
            LeaveToGrid(vk, mods);
            return;
        }
        QLineEdit::keyPressEvent(e);
        return;
    case VK_TAB:
    case VK_RETURN: LeaveToGrid(vk, mods); return;
    case VK_ESCAPE:
        setText(m_sInitText);
        LeaveToGrid(VK_ESCAPE, mods);
        return;
    default: break;
    }
    if ((mods & Qt::AltModifier) && !e->text().isEmpty())
        return; // system characters are swallowed
    QLineEdit::keyPressEvent(e);
    if (!e->text().isEmpty())
        WidenToText();
}

void CInPlaceEdit::WidenToText()
{
    QFontMetrics fm(font());
    int width = fm.horizontalAdvance(text() + QStringLiteral("  "));
    if (width <= m_Rect.width())
        return;
    QRect r = m_Rect;
    int right = r.left() + width - 1;
    if (parentWidget())
        right = qMin(right, parentWidget()->rect().right());
    r.setRight(right);
    setGeometry(r);
}

void CInPlaceEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    // Another window taking the activation (a message box over the grid)
    // leaves the editor open: the focus comes back to it with the window.
    if (e->reason() != Qt::ActiveWindowFocusReason)
        EndEdit();
}

void CInPlaceEdit::EndEdit()
{
    if (s_bEndEditing || m_bEnded)
        return;
    s_bEndEditing = true;
    m_bEnded = true;

    GridCellDispInfo info;
    info.hdr.from = this;
    info.hdr.id = m_nId;
    info.hdr.code = NotifyEndLabelEdit;
    info.row = m_nRow;
    info.col = m_nColumn;
    info.mask = 5;
    info.data = m_nLastChar;
    info.text = text();
    if (m_pGrid)
        m_pGrid->OnEditorNotify(&info);

    hide();
    deleteLater();
    s_bEndEditing = false;
}

// ---------------------------------------------------------------------------
// CTitleTip

CTitleTip::CTitleTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput)
{
    setObjectName(QStringLiteral("ZTitleTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

CTitleTip::~CTitleTip() = default;

bool CTitleTip::Create(QWidget* parent)
{
    if (m_bCreated)
        return true;
    m_pParentWnd = parent;
    m_bCreated = true;
    return true;
}

void CTitleTip::DestroyWindow()
{
    m_bCreated = false;
    hide();
}

void CTitleTip::Show(const QRect& rect, const QString& text, const QFont* font, COLORREF textClr, COLORREF backClr,
                     const QRect* hover)
{
    if (!m_bCreated)
        Create(m_pParentWnd);
    if (!m_pParentWnd || rect.isEmpty() || isVisible())
        return;
    if (!QApplication::focusWidget())
        return;

    QRect h = hover ? *hover : rect;
    h.adjust(0, 0, 1, 1);
    const QPoint origin = m_pParentWnd->mapToGlobal(rect.topLeft());
    m_rectHover = h.translated(-rect.topLeft());
    m_rectTitle = QRect(-1, -1, rect.width() + 1, rect.height() + 2);

    m_sText = QStringLiteral(" ") + text + QStringLiteral(" ");
    m_font = font ? *font : m_pParentWnd->font();
    QFontMetrics fm(m_font);
    const int width = fm.horizontalAdvance(m_sText);
    if (rect.left() + width <= rect.right())
        return;
    m_crText = textClr;
    m_crBack = backClr;
    setGeometry(origin.x(), origin.y(), width, rect.height());
    show();
}

void CTitleTip::Hide()
{
    if (isVisible())
        hide();
}

void CTitleTip::OnMouseMove(const QPoint& globalPos)
{
    if (!isVisible())
        return;
    if (!m_rectHover.contains(globalPos - pos()))
        Hide();
}

void CTitleTip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QColor back = m_crBack != DefaultColour ? ToQColor(m_crBack) : palette().color(QPalette::ToolTipBase);
    p.fillRect(rect(), back);
    p.setFont(m_font);
    p.setPen(m_crText != DefaultColour ? ToQColor(m_crText) : palette().color(QPalette::ToolTipText));
    p.drawText(QRect(0, 0, width(), height()), Qt::AlignLeft | Qt::AlignVCenter, m_sText);
}
