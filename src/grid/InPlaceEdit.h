// The two small windows the grid places over a cell: the in-place editor and
// the title tip that shows a cut-off text whole.
#pragma once

#include "grid/GridTypes.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPointer>
#include <QRect>
#include <QWidget>

class CGridHost;

// Editor over a cell. It ends editing by itself on Enter, Tab, Escape, the
// arrow and page keys, or when the focus goes to another widget (not when its
// window only gives the activation away, to a message box), and reports the
// result to the grid with one end-edit record (the key that ended it in the
// data word).
class CInPlaceEdit : public QLineEdit {
    Q_OBJECT
public:
    // Typed characters reach the editor with this bit, so that a typed
    // character is never mistaken for the navigation key of the same number.
    static constexpr unsigned TypedChar = 0x80000000u;
    // A click opens the editor with this bit beside VK_LBUTTON: the whole text
    // is selected, so that what is typed replaces it, as after a typed
    // character; F2 opens it with the caret after the text.
    static constexpr unsigned ClickedChar = 0x40000000u;

    CInPlaceEdit(CGridHost* grid, const QRect& rect, Qt::Alignment align, int id, int row, int col,
                 const QString& initText, unsigned firstChar);
    ~CInPlaceEdit() override;

    void EndEdit();
    // Hands the editor a further character while it is open.
    void SendChar(unsigned ch);
    // Forgets the grid (the grid is going away); no notification follows.
    void Detach();

    int GetRow() const { return m_nRow; }
    bool GetExitOnArrows() const { return m_bExitOnArrows; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void PostChar(unsigned ch);
    void WidenToText();
    void LeaveToGrid(unsigned key, Qt::KeyboardModifiers mods);

    CGridHost* m_pGrid;
    int m_nId;
    int m_nRow;
    int m_nColumn;
    QString m_sInitText;
    unsigned m_nLastChar = 0;
    bool m_bExitOnArrows;
    QRect m_Rect;
    bool m_bEnded = false;
    static bool s_bEndEditing;
};

// Borderless tip window showing the whole text of a cell exactly over the
// cell. It takes no input: clicks and keys go to the grid below it, which
// hides the tip first.
class CTitleTip : public QWidget {
    Q_OBJECT
public:
    CTitleTip();
    ~CTitleTip() override;

    bool Create(QWidget* parent);
    // rect and hover: in the parent's client coordinates.
    void Show(const QRect& rect, const QString& text, const QFont* font, GridCtrl::COLORREF textClr,
              GridCtrl::COLORREF backClr, const QRect* hover = nullptr);
    void Hide();
    void DestroyWindow();
    // A mouse move over the parent: hides the tip when it leaves the hover
    // rectangle.
    void OnMouseMove(const QPoint& globalPos);

    bool IsCreated() const { return m_bCreated; }
    QString GetShownText() const { return m_sText; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPointer<QWidget> m_pParentWnd;
    QRect m_rectTitle;
    QRect m_rectHover;
    bool m_bCreated = false;
    QString m_sText;
    QFont m_font;
    GridCtrl::COLORREF m_crText = GridCtrl::DefaultColour;
    GridCtrl::COLORREF m_crBack = GridCtrl::DefaultColour;
};
