// What the grid paints: rendered into an image and checked pixel by pixel.
#include "GridTestUtil.h"

#include <QImage>
#include <QPainter>

using namespace GridCtrl;

namespace {

constexpr COLORREF kFixedBack = 0xFFD79B; // light blue
constexpr COLORREF kFixedText = 0x800040; // purple
constexpr COLORREF kCellBack = 0xE0FFE0; // pale green
constexpr COLORREF kCellText = 0x0000C0; // dark red
constexpr COLORREF kGridBack = 0x404040; // dark grey
constexpr COLORREF kCornerBack = 0x00FFFF; // yellow
constexpr COLORREF kRowHeadBack = 0xFF00FF; // magenta

struct DrawFixture : ::testing::Test {
    GridWindow<> w{400, 300};
    CGridCtrl* grid = w.grid;
    void SetUp() override
    {
        FillGrid(grid, 6, 4, 1, 1);
        grid->SetTrackFocusCell(false);
        grid->GetDefaultCell(true, false)->SetBackColour(kFixedBack);
        grid->GetDefaultCell(true, false)->SetTextColour(kFixedText);
        grid->GetDefaultCell(true, true)->SetBackColour(kCornerBack);
        grid->GetDefaultCell(false, true)->SetBackColour(kRowHeadBack);
        grid->GetDefaultCell(false, false)->SetBackColour(kCellBack);
        grid->GetDefaultCell(false, false)->SetTextColour(kCellText);
        grid->SetGridBkColor(kGridBack);
        grid->SetGridLineColor(0xC0C0C0);
    }
    QImage render()
    {
        QImage img(grid->viewport()->size(), QImage::Format_RGB32);
        img.fill(Qt::black);
        QPainter p(&img);
        grid->OnDraw(&p, img.rect());
        return img;
    }
    static QColor at(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }
    QRect cell(int row, int col)
    {
        QRect r;
        EXPECT_TRUE(grid->GetCellRect(row, col, r));
        return r;
    }
};

} // namespace

TEST_F(DrawFixture, FixedRowsColumnsCellsGridLinesAndBackground)
{
    const QImage img = render();
    // A header cell: its colour inside, the raised frame at its edges.
    const QRect head = cell(0, 2);
    EXPECT_EQ(at(img, head.right() - 3, head.top() + 3), ToQColor(kFixedBack));
    EXPECT_EQ(at(img, head.left(), head.center().y()), ToQColor(GetSysColour(Colour3DHighlight)));
    EXPECT_EQ(at(img, head.right(), head.center().y()), ToQColor(GetSysColour(Colour3DDarkShadow)));
    EXPECT_EQ(at(img, cell(0, 0).right() - 3, cell(0, 0).top() + 3), ToQColor(kCornerBack));
    EXPECT_EQ(at(img, cell(3, 0).right() - 3, cell(3, 0).top() + 3), ToQColor(kRowHeadBack));

    // A data cell: its colour, and the grid lines on its right and bottom.
    const QRect data = cell(3, 2);
    EXPECT_EQ(at(img, data.right() - 3, data.top() + 3), ToQColor(kCellBack));
    EXPECT_EQ(at(img, data.right(), data.center().y()), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(at(img, data.center().x(), data.bottom()), QColor(0xC0, 0xC0, 0xC0));

    // Some text pixel of the heading is in the heading's text colour.
    bool purple = false;
    for (int x = head.left() + 2; x < head.right() - 2 && !purple; ++x)
        for (int y = head.top() + 2; y < head.bottom() - 2 && !purple; ++y)
            purple = at(img, x, y) == ToQColor(kFixedText);
    EXPECT_TRUE(purple);

    // Right of and below the cells: the grid's background.
    const QRect last = cell(5, 3);
    EXPECT_EQ(at(img, last.right() + 5, 5), ToQColor(kGridBack));
    EXPECT_EQ(at(img, 5, last.bottom() + 5), ToQColor(kGridBack));
    EXPECT_EQ(at(img, img.width() - 1, img.height() - 1), ToQColor(kGridBack));
}

TEST_F(DrawFixture, FocusFrameAndSelection)
{
    grid->SetFocusCell(2, 2);
    grid->SetSelectedRange(4, 1, 4, 3);
    const QImage img = render();
    const QRect focus = cell(2, 2);
    // The focus cell keeps its colour inside a frame of its text colour.
    EXPECT_EQ(at(img, focus.left(), focus.top()), ToQColor(kCellText));
    EXPECT_EQ(at(img, focus.right() - 1, focus.center().y()), ToQColor(kCellText));
    EXPECT_EQ(at(img, focus.right() - 3, focus.top() + 3), ToQColor(kCellBack));
    // Selected cells take the highlight colour.
    const QRect sel = cell(4, 3);
    EXPECT_EQ(at(img, sel.right() - 3, sel.top() + 3), ToQColor(GetSysColour(ColourHighlight)));
    // A cell with its own background is filled with it.
    grid->GetCell(3, 3)->SetBackColour(0x00FF00);
    const QImage img2 = render();
    EXPECT_EQ(at(img2, cell(3, 3).right() - 3, cell(3, 3).top() + 3), QColor(0, 0xFF, 0));

    // Without framing, the focus cell shows no frame.
    grid->SetFrameFocusCell(false);
    const QImage img3 = render();
    EXPECT_EQ(at(img3, focus.left() + 1, focus.top() + 1), ToQColor(kCellBack));
}

TEST_F(DrawFixture, ASpanningHeaderIsDrawnOnceOverItsCells)
{
    grid->GetCell(0, 1)->SetHorzSpan(SpanStart);
    grid->GetCell(0, 2)->SetHorzSpan(SpanCovered);
    grid->SetItemText(0, 2, QStringLiteral("XXXXXXXX"));
    const QImage img = render();
    const QRect first = cell(0, 1);
    // No dark edge where column 1 ends: the heading goes on over column 2.
    EXPECT_EQ(first.right(), 60 + 60 + 60 - 1);
    const int plainRight = 60 + 60 - 1;
    EXPECT_EQ(at(img, plainRight, first.center().y()), ToQColor(kFixedBack));
    EXPECT_EQ(at(img, first.right(), first.center().y()), ToQColor(GetSysColour(Colour3DDarkShadow)));
    // The covered cell's own text is not drawn.
    for (int x = plainRight + 2; x < first.right() - 2; ++x)
        for (int y = 2; y < 18; ++y) ASSERT_NE(at(img, x, y), ToQColor(kFixedText)) << x << "," << y;
}

// A paint of part of the grid draws the cells its clip meets, even by one
// pixel, and no others; a hidden column takes no room. Columns of 60 and rows
// of 20 pixels: with column 2 hidden, column 3 runs from x 120 to 179; the
// clip's y 59 to 80 meets row 2 (40 to 59) by its last pixel and row 4 (80
// to 99) by its first. The cells of column 3 have a colour of their own,
// which fills each drawn cell wholly.
TEST_F(DrawFixture, APartPaintDrawsTheCellsItMeetsAndPassesHiddenOnes)
{
    grid->SetColumnWidth(2, 0);
    for (int row = 1; row < 6; ++row) grid->SetItemBkColour(row, 3, 0x0000FF);
    QImage img(grid->viewport()->size(), QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    grid->OnDraw(&p, QRect(0, 59, 400, 22));
    p.end();
    for (const QPoint& red : {QPoint(170, 45), QPoint(170, 70), QPoint(170, 95), QPoint(125, 63)})
        EXPECT_EQ(at(img, red.x(), red.y()), QColor(0xFF, 0, 0)) << red.x() << "," << red.y();
    for (const QPoint& none : {QPoint(170, 30), QPoint(170, 110), QPoint(30, 30), QPoint(30, 110)})
        EXPECT_EQ(at(img, none.x(), none.y()), QColor(Qt::black)) << none.x() << "," << none.y();
    EXPECT_EQ(at(img, 179, 70), QColor(0xC0, 0xC0, 0xC0)); // the grid line ending column 3
    EXPECT_EQ(at(img, 90, 63), ToQColor(kCellBack));
    EXPECT_EQ(at(img, 30, 63), ToQColor(kRowHeadBack));
}

TEST_F(DrawFixture, ScrolledGridDrawsTheRowsBelowTheHeaders)
{
    FillGrid(grid, 200, 4, 1, 1);
    grid->SetItemBkColour(150, 2, 0x0000FF);
    grid->EnsureVisible(150, 2);
    ASSERT_TRUE(grid->IsCellVisible(150, 2));
    const QImage img = render();
    const QRect r = cell(150, 2);
    EXPECT_EQ(at(img, r.right() - 3, r.top() + 3), QColor(0xFF, 0, 0));
    // The fixed row stays on top.
    EXPECT_EQ(at(img, cell(0, 2).right() - 3, 3), ToQColor(kFixedBack));
    EXPECT_EQ(grid->GetCellFromPt(QPoint(r.center())), CCellID(150, 2));
    EXPECT_EQ(grid->GetCellFromPt(QPoint(cell(0, 2).center())), CCellID(0, 2));
    EXPECT_EQ(grid->GetCellFromPt(QPoint(cell(0, 2).center()), false), CCellID());

    // The paint handler draws the same through its off-screen buffer.
    QImage shot(grid->viewport()->size(), QImage::Format_RGB32);
    grid->viewport()->render(&shot);
    EXPECT_EQ(QColor(shot.pixel(r.right() - 3, r.top() + 3)), QColor(0xFF, 0, 0));
}

TEST_F(DrawFixture, VirtualModePaintIsBracketedByCacheHints)
{
    grid->SetVirtualMode(true);
    grid->SetRowCount(50);
    grid->SetColumnCount(3);
    grid->SetFixedRowCount(1);
    std::vector<CCellRange> hints;
    QObject::connect(grid, &CGridCtrl::cacheHint, grid, [&](GridCacheHint* h) { hints.push_back(h->range); });
    int asked = 0;
    QObject::connect(grid, &CGridCtrl::dispInfoRequest, grid, [&](GridCellDispInfo* info, long*) {
        ++asked;
        info->text = QString::number(info->row);
    });
    render();
    ASSERT_EQ(hints.size(), 2u);
    EXPECT_EQ(hints[0].minRow, 1);
    EXPECT_EQ(hints[0].minCol, 0);
    EXPECT_EQ(hints[0].maxCol, 2);
    EXPECT_EQ(hints[0], grid->GetVisibleNonFixedCellRange());
    EXPECT_FALSE(hints[1].IsValid());
    EXPECT_GT(asked, 3 * (hints[0].maxRow - hints[0].minRow));
}

namespace {

// A grid whose drag image a subclass asks for.
struct ImageGrid : CGridCtrl {
    using CGridCtrl::CGridCtrl;
    using CGridCtrl::CreateDragImage;
};

} // namespace

TEST(GridDraw, ACellsRectangleIsInvalidatedOnlyWhereItIsSeenAndItsDragImageIsTheCell)
{
    GridWindow<ImageGrid> w(400, 300);
    ImageGrid* grid = w.grid;
    FillGrid(grid, 40, 4, 1, 1);
    grid->GetDefaultCell(false, false)->SetBackColour(kCellBack);
    EXPECT_TRUE(grid->InvalidateCellRect(2, 1));
    EXPECT_FALSE(grid->InvalidateCellRect(39, 1)); // below the window
    EXPECT_FALSE(grid->InvalidateCellRect(2, 4)); // no such column
    grid->SetRedraw(false);
    EXPECT_FALSE(grid->InvalidateCellRect(2, 1));
    grid->SetRedraw(true);

    grid->SetFocusCell(-1, -1);
    QPoint hot;
    EXPECT_TRUE(grid->CreateDragImage(&hot).isNull());
    grid->SetColumnWidth(2, 70);
    grid->SetRowHeight(3, 24);
    grid->SetFocusCell(3, 2);
    const QImage image = grid->CreateDragImage(&hot).toImage();
    EXPECT_EQ(image.size(), QSize(70, 24));
    EXPECT_EQ(hot, QPoint(70, 24));
    // The focus cell as drawn: its own background inside the frame.
    EXPECT_EQ(QColor(image.pixel(62, 12)).rgb() & 0xFFFFFF, ToQColor(kCellBack).rgb() & 0xFFFFFF);
}
