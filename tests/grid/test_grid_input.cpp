// The grid driven by the keyboard and the mouse: the key table, selection
// with Shift and the mouse, list mode, border resizing, notifications and
// scrolling.
#include "GridTestUtil.h"
#include "grid/FldHlpGridCtrl.h"

#include <QScrollBar>
#include <QWheelEvent>

using namespace GridCtrl;

namespace {

struct InputFixture : ::testing::Test {
    GridWindow<> w{400, 300};
    CGridCtrl* grid = w.grid;
    std::unique_ptr<OwnerRecorder> owner;
    void SetUp() override
    {
        FillGrid(grid, 30, 10, 1, 1);
        grid->SetEditable(false);
        owner = std::make_unique<OwnerRecorder>(grid);
        grid->SetFocusCell(1, 1);
        grid->setFocus();
        QApplication::processEvents();
    }
    CCellID focus() const { return grid->GetFocusCell(); }
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(grid, key, mods);
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(InputFixture, ArrowsMoveOverVisibleCellsAndStopAtTheEdges)
{
    press(Qt::Key_Down);
    EXPECT_EQ(focus(), CCellID(2, 1));
    press(Qt::Key_Right);
    EXPECT_EQ(focus(), CCellID(2, 2));
    press(Qt::Key_Left);
    press(Qt::Key_Left);
    EXPECT_EQ(focus(), CCellID(2, 1)); // never into the fixed column
    press(Qt::Key_Up);
    press(Qt::Key_Up);
    EXPECT_EQ(focus(), CCellID(1, 1)); // never into the fixed row

    // Hidden rows and columns are passed over.
    grid->SetRowHeight(2, 0);
    grid->SetColumnWidth(2, 0);
    press(Qt::Key_Down);
    EXPECT_EQ(focus(), CCellID(3, 1));
    press(Qt::Key_Right);
    EXPECT_EQ(focus(), CCellID(3, 3));
    press(Qt::Key_Up);
    EXPECT_EQ(focus(), CCellID(1, 3));

    // Down on the last row keeps the focus and tells the owner nothing.
    grid->SetFocusCell(29, 3);
    owner->notes.clear();
    press(Qt::Key_Down);
    EXPECT_EQ(focus(), CCellID(29, 3));
    EXPECT_TRUE(owner->notes.empty());
}

TEST_F(InputFixture, AMoveSelectsTheNewCellAndNotifiesBeforeAndAfter)
{
    press(Qt::Key_Down);
    ASSERT_EQ(owner->notes.size(), 2u);
    EXPECT_EQ(owner->notes[0].code, NotifySelChanging);
    EXPECT_EQ(owner->notes[0].row, 1);
    EXPECT_EQ(owner->notes[1].code, NotifySelChanged);
    EXPECT_EQ(owner->notes[1].row, 2);
    EXPECT_EQ(owner->notes[1].col, 1);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(2, 1, 2, 1));
    EXPECT_TRUE(grid->GetCell(2, 1)->IsFocused());
    EXPECT_FALSE(grid->GetCell(1, 1)->IsFocused());
}

TEST_F(InputFixture, ShiftExtendsFromTheSelectionStartCell)
{
    press(Qt::Key_Right); // (1,2) selected, start cell
    press(Qt::Key_Down, Qt::ShiftModifier);
    press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(focus(), CCellID(3, 2));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 2, 3, 2));
    press(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 2, 3, 3));
    EXPECT_EQ(grid->GetSelectedCount(), 6);
    press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 2, 2, 3));
    // A plain move starts again from the new cell.
    press(Qt::Key_Down);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(3, 3, 3, 3));
}

TEST_F(InputFixture, ListModeSelectsWholeRows)
{
    grid->SetListMode(true);
    grid->SetFocusCell(2, 3);
    press(Qt::Key_Down);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(3, 1, 3, 9));
    press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(3, 1, 4, 9));
    grid->SetSingleRowSelection(true);
    press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(5, 1, 5, 9));

    // A click selects the row too; a click on a row header does not select
    // in list mode (the list switches header-click selection off).
    Click(grid, CellCentre(grid, 2, 4));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(2, 1, 2, 9));
    EXPECT_EQ(focus(), CCellID(2, 4));
    Click(grid, CellCentre(grid, 6, 0));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(2, 1, 2, 9));
    EXPECT_EQ(focus(), CCellID());
}

TEST_F(InputFixture, AltKeysAndShortcutsAreLeftToTheWindow)
{
    press(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(focus(), CCellID(1, 1));
    QKeyEvent over(QEvent::ShortcutOverride, Qt::Key_Down, Qt::NoModifier);
    over.ignore();
    QApplication::sendEvent(grid, &over);
    EXPECT_TRUE(over.isAccepted());
    QKeyEvent f5(QEvent::ShortcutOverride, Qt::Key_F5, Qt::NoModifier);
    f5.ignore();
    QApplication::sendEvent(grid, &f5);
    EXPECT_FALSE(f5.isAccepted());
}

TEST_F(InputFixture, TabWrapsBetweenRowsAndLeavesFromTheLastCell)
{
    grid->SetFocusCell(1, 8);
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), CCellID(1, 9));
    press(Qt::Key_Tab);
    EXPECT_EQ(focus(), CCellID(2, 1));
    EXPECT_EQ(grid->GetScrollPos32(Qt::Horizontal), 0);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focus(), CCellID(1, 9));
    EXPECT_TRUE(grid->IsCellVisible(1, 9));
    EXPECT_TRUE(grid->hasFocus());

    grid->SetFocusCell(29, 9);
    QTest::keyClick(grid, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(focus(), CCellID(29, 9));
    EXPECT_FALSE(grid->hasFocus()); // the window moved the focus on
    EXPECT_TRUE(w.other->hasFocus());

    // With Tab leaving the grid, Tab goes to the next control at once.
    grid->setFocus();
    grid->SetFocusCell(3, 3);
    grid->SetTabLeavesGrid(true);
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_EQ(focus(), CCellID(3, 3));
    EXPECT_TRUE(w.other->hasFocus());
}

TEST_F(InputFixture, TabHomeAndEndPassOverHiddenRowsAndColumns)
{
    grid->SetRowHeight(2, 0);
    grid->SetRowHeight(29, 0);
    grid->SetColumnWidth(9, 0);
    grid->SetFocusCell(1, 8);
    press(Qt::Key_Tab); // no visible column left: the next visible row
    EXPECT_EQ(focus(), CCellID(3, 1));
    press(Qt::Key_End);
    EXPECT_EQ(focus(), CCellID(3, 8));
    press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(focus(), CCellID(28, 8));
    grid->SetColumnWidth(1, 0);
    press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(focus(), CCellID(1, 2));
    press(Qt::Key_Left); // nothing visible to the left: the focus stays
    EXPECT_EQ(focus(), CCellID(1, 2));
}

TEST_F(InputFixture, PageHomeAndEndKeys)
{
    const int page = grid->viewport()->height() - 20;
    press(Qt::Key_PageDown);
    const CCellID topLeft = grid->GetTopleftNonFixedCell();
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), page);
    EXPECT_EQ(focus().row, 1 + (topLeft.row - 1));
    press(Qt::Key_PageUp);
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), 0);
    EXPECT_EQ(focus(), CCellID(1, 1));
    press(Qt::Key_PageUp); // cannot scroll: to the first non-fixed row
    EXPECT_EQ(focus(), CCellID(1, 1));

    press(Qt::Key_End);
    EXPECT_EQ(focus(), CCellID(1, 9));
    EXPECT_EQ(grid->GetScrollPos32(Qt::Horizontal), grid->horizontalScrollBar()->maximum());
    EXPECT_TRUE(grid->IsCellVisible(1, 9));
    press(Qt::Key_Home);
    EXPECT_EQ(focus(), CCellID(1, 1));
    EXPECT_EQ(grid->GetScrollPos32(Qt::Horizontal), 0);

    press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(focus(), CCellID(29, 9));
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), grid->verticalScrollBar()->maximum());
    QRect r;
    ASSERT_TRUE(grid->GetCellRect(29, 9, r));
    EXPECT_LE(r.bottom(), grid->viewport()->rect().bottom());
    press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(focus(), CCellID(1, 1));
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), 0);
    EXPECT_EQ(grid->GetTopleftNonFixedCell(), CCellID(1, 1));

    // Page Down at the bottom cannot scroll: to the last row.
    grid->SetFocusCell(25, 2);
    press(Qt::Key_End, Qt::ControlModifier);
    grid->SetFocusCell(27, 2);
    press(Qt::Key_PageDown);
    EXPECT_EQ(focus(), CCellID(29, 2));
}

TEST_F(InputFixture, DownScrollsTheFocusRowIntoView)
{
    const CCellRange vis = grid->GetVisibleNonFixedCellRange();
    grid->SetFocusCell(vis.maxRow, 1);
    press(Qt::Key_Down);
    EXPECT_EQ(focus(), CCellID(vis.maxRow + 1, 1));
    QRect r;
    ASSERT_TRUE(grid->GetCellRect(focus().row, 1, r));
    EXPECT_LE(r.bottom(), grid->viewport()->rect().bottom());
    EXPECT_GT(grid->GetScrollPos32(Qt::Vertical), 0);
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical) % 20, 0);
}

TEST_F(InputFixture, CtrlKeysSelectAllAndDeleteClearsEditableSelectedCells)
{
    press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 1, 29, 9));
    EXPECT_EQ(owner->count(NotifySelChanging), 1);
    EXPECT_EQ(owner->count(NotifySelChanged), 1);

    grid->SetEditable(true);
    grid->SetFocusCell(2, 2);
    press(Qt::Key_Right);
    press(Qt::Key_Down, Qt::ShiftModifier);
    grid->SetItemState(3, 3, grid->GetItemState(3, 3) | CellReadOnly);
    owner->results[NotifyEndLabelEdit] = 0;
    press(Qt::Key_Delete);
    EXPECT_EQ(focus(), CCellID(3, 3));
    EXPECT_TRUE(grid->GetItemText(2, 3).isEmpty());
    EXPECT_EQ(grid->GetItemText(3, 3), QStringLiteral("r3c3"));
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("r2c2"));
    EXPECT_EQ(grid->GetEditor(), nullptr);

    grid->SetItemText(5, 5, QStringLiteral("очень, очень длинный текст"));
    QTest::keyClick(grid, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_GT(grid->GetColumnWidth(5), 100);
}

TEST_F(InputFixture, MouseClicksSelectAndNotify)
{
    Click(grid, CellCentre(grid, 3, 2));
    EXPECT_EQ(focus(), CCellID(3, 2));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(3, 2, 3, 2));
    ASSERT_GE(owner->notes.size(), 3u);
    EXPECT_EQ(owner->notes[0].code, NotifySelChanging);
    EXPECT_EQ(owner->last(NotifySelChanged)->row, 3);
    EXPECT_EQ(owner->last(NotifyClick)->row, 3);
    EXPECT_EQ(owner->last(NotifyClick)->col, 2);

    int commands = 0;
    QObject::connect(grid, &CGridCtrl::gridCommand, grid, [&](int) { ++commands; });
    Click(grid, CellCentre(grid, 5, 4), Qt::ShiftModifier);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(3, 2, 5, 4));
    EXPECT_EQ(focus(), CCellID(5, 4));
    QApplication::processEvents();
    EXPECT_EQ(commands, 1);

    // Ctrl+click on a selected cell deselects it and leaves the focus.
    Click(grid, CellCentre(grid, 4, 3), Qt::ControlModifier);
    EXPECT_FALSE(grid->IsCellSelected(4, 3));
    EXPECT_TRUE(grid->IsCellSelected(4, 2));
    EXPECT_EQ(focus(), CCellID(5, 4));

    // Dragging with the button down selects the block.
    SendMouse(grid, QEvent::MouseButtonPress, CellCentre(grid, 2, 1), Qt::LeftButton);
    SendMouse(grid, QEvent::MouseMove, CellCentre(grid, 3, 3), Qt::LeftButton);
    SendMouse(grid, QEvent::MouseMove, CellCentre(grid, 4, 3), Qt::LeftButton);
    SendMouse(grid, QEvent::MouseButtonRelease, CellCentre(grid, 4, 3), Qt::LeftButton);
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(2, 1, 4, 3));
    EXPECT_EQ(grid->GetSelectedCount(), 9);
    EXPECT_EQ(focus(), CCellID(4, 3));

    // Headers select whole columns and rows.
    Click(grid, CellCentre(grid, 0, 3));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 3, 29, 3));
    Click(grid, CellCentre(grid, 6, 0));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(6, 1, 6, 9));
    Click(grid, CellCentre(grid, 0, 0));
    EXPECT_EQ(grid->GetSelectedCellRange(), CCellRange(1, 1, 29, 9));

    // Right button: focus and NM_RCLICK; double click: NM_DBLCLK.
    SendMouse(grid, QEvent::MouseButtonPress, CellCentre(grid, 7, 2), Qt::RightButton);
    EXPECT_EQ(focus(), CCellID(7, 2));
    EXPECT_EQ(owner->last(NotifyRClick)->row, 7);
    SendMouse(grid, QEvent::MouseButtonDblClick, CellCentre(grid, 8, 2), Qt::LeftButton);
    EXPECT_EQ(owner->last(NotifyDblClick)->row, 8);
}

TEST_F(InputFixture, DoubleClickStartsEditingOnEditableGrids)
{
    grid->SetEditable(true);
    Click(grid, CellCentre(grid, 4, 4));
    SendMouse(grid, QEvent::MouseButtonDblClick, CellCentre(grid, 4, 4), Qt::LeftButton);
    ASSERT_NE(grid->GetEditor(), nullptr);
    EXPECT_EQ(grid->GetEditor()->GetRow(), 4);
}

TEST_F(InputFixture, DraggingAColumnBorderResizesTheColumn)
{
    QRect head;
    ASSERT_TRUE(grid->GetCellRect(0, 2, head));
    const QPoint border(head.right(), head.center().y());
    SendMouse(grid, QEvent::MouseMove, border, Qt::NoButton);
    EXPECT_EQ(grid->GetMouseMode(), CGridCtrl::MOUSE_OVER_COL_DIVIDE);
    SendMouse(grid, QEvent::MouseButtonPress, border, Qt::LeftButton);
    EXPECT_EQ(grid->GetMouseMode(), CGridCtrl::MOUSE_SIZING_COL);
    SendMouse(grid, QEvent::MouseMove, border + QPoint(30, 0), Qt::LeftButton);
    SendMouse(grid, QEvent::MouseButtonRelease, border + QPoint(31, 0), Qt::LeftButton);
    EXPECT_EQ(grid->GetColumnWidth(2), 60 + 31 - 1);
    EXPECT_EQ(grid->GetMouseMode(), CGridCtrl::MOUSE_NOTHING);
    EXPECT_EQ(focus(), CCellID(1, 1)); // a border click moves no focus

    // Near the left edge of a header the border is the previous column's;
    // it cannot be dragged left of that column's left edge.
    ASSERT_TRUE(grid->GetCellRect(0, 4, head));
    const QPoint left(head.left() + 1, head.center().y());
    SendMouse(grid, QEvent::MouseMove, left, Qt::NoButton);
    SendMouse(grid, QEvent::MouseButtonPress, left, Qt::LeftButton);
    SendMouse(grid, QEvent::MouseButtonRelease, QPoint(5, head.center().y()), Qt::LeftButton);
    EXPECT_EQ(grid->GetColumnWidth(3), 1);
    EXPECT_EQ(grid->GetColumnWidth(4), 60);

    // Rows resize at their borders inside the row headers.
    QRect rowHead;
    ASSERT_TRUE(grid->GetCellRect(3, 0, rowHead));
    const QPoint rowBorder(rowHead.center().x(), rowHead.bottom());
    SendMouse(grid, QEvent::MouseMove, rowBorder, Qt::NoButton);
    SendMouse(grid, QEvent::MouseButtonPress, rowBorder, Qt::LeftButton);
    SendMouse(grid, QEvent::MouseButtonRelease, rowBorder + QPoint(0, 15), Qt::LeftButton);
    EXPECT_EQ(grid->GetRowHeight(3), 20 + 15 - 1);

    // No resizing when it is switched off.
    grid->SetColumnResize(false);
    ASSERT_TRUE(grid->GetCellRect(0, 5, head));
    SendMouse(grid, QEvent::MouseMove, QPoint(head.right(), head.center().y()), Qt::NoButton);
    EXPECT_EQ(grid->GetMouseMode(), CGridCtrl::MOUSE_NOTHING);
}

TEST_F(InputFixture, DoubleClickOnABorderAutoSizesTheColumnLeftOfIt)
{
    grid->SetItemText(7, 3, QStringLiteral("Длинный текст в третьей колонке"));
    QRect head;
    ASSERT_TRUE(grid->GetCellRect(0, 4, head));
    const QPoint border(head.left() + 1, head.center().y());
    SendMouse(grid, QEvent::MouseMove, border, Qt::NoButton);
    SendMouse(grid, QEvent::MouseButtonDblClick, border, Qt::LeftButton);
    const int expected = grid->GetCell(7, 3)->GetCellExtent(nullptr).width();
    EXPECT_EQ(grid->GetColumnWidth(3), expected);
    EXPECT_GT(expected, 60);
}

TEST(GridScrolling, ScrollRangesFollowTheClientSize)
{
    GridWindow<> w(300, 100);
    CGridCtrl* grid = w.grid;
    const int frame = grid->frameWidth();
    grid->setGeometry(0, 0, 300, 100 + 2 * frame);
    QApplication::processEvents();
    FillGrid(grid, 10, 2, 1, 0);
    ASSERT_EQ(grid->viewport()->height(), 100);
    EXPECT_EQ(grid->GetVertScrollMax(), 179);
    EXPECT_EQ(grid->GetScrollBarState(), 0x02);
    EXPECT_EQ(grid->verticalScrollBar()->maximum(), 100);
    EXPECT_EQ(grid->verticalScrollBar()->pageStep(), 80);

    // Columns wider than the client bring the horizontal bar.
    grid->SetColumnWidth(1, 400);
    EXPECT_EQ(grid->GetScrollBarState(), 0x03);
    EXPECT_EQ(grid->GetHorzScrollMax(), 460 - 1);

    // A client no larger than the fixed part shows no bars at all.
    grid->SetFixedRowCount(6);
    grid->SetRowHeight(0, 200);
    EXPECT_EQ(grid->GetScrollBarState(), 0);
}

TEST(GridScrolling, LinesSkipHiddenRowsAndTheWheelScrollsLines)
{
    GridWindow<> w(300, 200);
    CGridCtrl* grid = w.grid;
    FillGrid(grid, 40, 3, 1, 1);
    grid->SetRowHeight(1, 0);
    grid->SetRowHeight(2, 0);
    grid->SetRowHeight(3, 35);
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), 35);
    EXPECT_EQ(grid->GetTopleftNonFixedCell(), CCellID(4, 1));
    grid->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), 0);

    // One notch down scrolls three rows of 20 after the 35-pixel one.
    QWheelEvent down(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &down);
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), 35 + 20 + 20);
    QWheelEvent up(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid->viewport(), &up);
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), 0);

    // EnsureVisible of a visible cell scrolls nothing; of the last row, to it.
    grid->EnsureVisible(4, 1);
    EXPECT_EQ(grid->GetScrollPos32(Qt::Vertical), 0);
    grid->EnsureVisible(39, 2);
    EXPECT_TRUE(grid->IsCellVisible(39, 2));
    QRect r;
    ASSERT_TRUE(grid->GetCellRect(39, 2, r));
    EXPECT_LE(r.bottom(), grid->viewport()->rect().bottom());
    EXPECT_TRUE(grid->hasFocus());
}

TEST(FldHlpGrid, TheParentHearsCharsAndClicksFirst)
{
    GridWindow<CFldHlpGridCtrl> w(300, 200);
    CFldHlpGridCtrl* grid = w.grid;
    FillGrid(grid, 5, 3, 1, 0);
    grid->SetFocusCell(2, 1);
    EXPECT_EQ(grid->objectName(), QStringLiteral("KvGridCtrl"));

    std::vector<QString> order;
    QObject::connect(grid, &CFldHlpGridCtrl::parentChar, grid, [&](unsigned ch, Qt::KeyboardModifiers) {
        order.push_back(
            QStringLiteral("parent %1 editing=%2").arg(QChar(char16_t(ch))).arg(grid->GetEditor() != nullptr));
    });
    QObject::connect(grid, &CFldHlpGridCtrl::parentLButtonUp, grid, [&](Qt::KeyboardModifiers, QPoint) {
        order.push_back(QStringLiteral("up focus=%1").arg(grid->GetFocusCell().row));
    });
    QTest::keyClick(grid, 'k');
    QApplication::processEvents();
    ASSERT_EQ(order.size(), 1u);
    EXPECT_EQ(order[0], QStringLiteral("parent k editing=0"));
    ASSERT_NE(grid->GetEditor(), nullptr);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetItemText(2, 1), QStringLiteral("k"));

    // Control characters do not reach the parent.
    QTest::keyClick(grid, Qt::Key_Backspace);
    EXPECT_EQ(order.size(), 1u);
    Key(Qt::Key_Escape);

    Click(grid, CellCentre(grid, 3, 2));
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[1], QStringLiteral("up focus=3"));
}
