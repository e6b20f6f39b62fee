// Helpers shared by the grid tests: a window holding a grid, an owner that
// records notifications and can veto, and direct mouse and key input.
#pragma once

#include "grid/GridCtrl.h"
#include "shell/ui/TypedInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

struct Note {
    int code;
    int row;
    int col;
};

// Records every notification of a grid; a veto table gives results by code.
class OwnerRecorder : public QObject {
public:
    explicit OwnerRecorder(CGridCtrl* grid)
    {
        QObject::connect(grid, &CGridCtrl::gridNotify, this, [this](GridNotifyInfo* info, long* result) {
            notes.push_back({info->hdr.code, info->iRow, info->iColumn});
            auto it = results.find(info->hdr.code);
            if (it != results.end())
                *result = it->second;
            if (onNote)
                onNote(info);
        });
    }
    int count(int code) const
    {
        int n = 0;
        for (const Note& x : notes) n += x.code == code;
        return n;
    }
    const Note* last(int code) const
    {
        for (auto it = notes.rbegin(); it != notes.rend(); ++it)
            if (it->code == code)
                return &*it;
        return nullptr;
    }
    std::vector<Note> notes;
    std::map<int, long> results;
    std::function<void(GridNotifyInfo*)> onNote;
};

// A shown, active top-level window with a grid and a plain line edit (to
// take the focus away from the grid).
template <class Grid = CGridCtrl>
struct GridWindow {
    QWidget window;
    Grid* grid;
    QLineEdit* other;
    GridWindow(int width = 400, int height = 300)
    {
        grid = new Grid(&window);
        grid->setGeometry(0, 0, width, height);
        other = new CTypedEdit({QString(), kalvor::TextFigure(0)}, &window);
        other->setGeometry(0, height + 5, 100, 20);
        window.resize(width + 10, height + 40);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
        QApplication::processEvents();
    }
};

inline void SendMouse(CGridCtrl* grid, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* vp = grid->viewport();
    Qt::MouseButtons buttons =
        (type == QEvent::MouseButtonRelease || type == QEvent::MouseMove) ? Qt::NoButton : Qt::MouseButtons(button);
    if (type == QEvent::MouseMove && button != Qt::NoButton)
        buttons = button;
    QMouseEvent ev(type, QPointF(pos), QPointF(vp->mapToGlobal(pos)), type == QEvent::MouseMove ? Qt::NoButton : button,
                   buttons, mods);
    QApplication::sendEvent(vp, &ev);
}

inline void Click(CGridCtrl* grid, QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    SendMouse(grid, QEvent::MouseButtonPress, pos, Qt::LeftButton, mods);
    SendMouse(grid, QEvent::MouseButtonRelease, pos, Qt::LeftButton, mods);
    QApplication::processEvents();
}

// Centre of a cell in the grid's client coordinates.
inline QPoint CellCentre(CGridCtrl* grid, int row, int col)
{
    QRect r;
    EXPECT_TRUE(grid->GetCellRect(row, col, r));
    return r.center();
}

// A key typed into whatever has the focus.
inline void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr);
    QTest::keyClick(w, key, mods);
    QApplication::processEvents();
}

inline void Type(const QString& text)
{
    for (QChar c : text) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        QTest::keyClick(w, c.toLatin1());
        QApplication::processEvents();
    }
}

// Fills a grid: rows x cols, fixed counts, every cell "r<row>c<col>",
// rows 20 px high and columns 60 px wide.
inline void FillGrid(CGridCtrl* grid, int rows, int cols, int fixedRows, int fixedCols)
{
    grid->SetRowCount(rows);
    grid->SetColumnCount(cols);
    grid->SetFixedRowCount(fixedRows);
    grid->SetFixedColumnCount(fixedCols);
    for (int r = 0; r < rows; ++r) {
        grid->SetRowHeight(r, 20);
        for (int c = 0; c < cols; ++c) grid->SetItemText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    }
    for (int c = 0; c < cols; ++c) {
        grid->SetColumnWidth(c, 60);
        grid->DeclareColumn(c, FigureColumn(QStringLiteral("c%1").arg(c), kalvor::TextFigure(0)));
    }
    grid->ResetScrollBars();
}
