// Cells, default cells and the grid's structure: counts, fixed rows and
// columns, inserts and deletes, spans, sizing.
#include "GridTestUtil.h"
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

using namespace GridCtrl;

TEST(GridCellRange, ValidityAndContainment)
{
    EXPECT_FALSE(CCellRange(-1, 0, 3, 3).IsValid());
    EXPECT_FALSE(CCellRange(0, 0, 3, -1).IsValid());
    EXPECT_FALSE(CCellRange(4, 0, 3, 3).IsValid());
    CCellRange one(2, 3, 2, 3);
    EXPECT_TRUE(one.IsValid());
    EXPECT_TRUE(one.InRange(2, 3));
    EXPECT_FALSE(one.InRange(2, 4));
    EXPECT_FALSE(one.InRange(CCellID(1, 3)));
    EXPECT_TRUE(CCellRange(0, 0, 5, 5).InRange(CCellID(5, 0)));
    EXPECT_TRUE(CCellID(1, 2) != CCellID(1, 3));
    EXPECT_FALSE(CCellID(1, 2) != CCellID(1, 2));
    EXPECT_FALSE(CCellID().IsValid());
}

TEST(GridCells, DefaultCellIsReadOnlyAndIgnoresStateAndData)
{
    CGridDefaultCell def;
    EXPECT_EQ(def.GetState(), CellReadOnly);
    def.SetState(CellSelected | CellFocused);
    def.SetData(77);
    EXPECT_EQ(def.GetState(), CellReadOnly);
    EXPECT_EQ(def.GetData(), 0u);
    EXPECT_EQ(def.GetFormat(), 0x8824u);
    EXPECT_EQ(def.GetTextColour(), DefaultColour);

    QFont f(QStringLiteral("DejaVu Sans"), 12);
    def.SetFont(&f);
    QFontMetrics fm(f);
    EXPECT_EQ(int(def.GetMargin()), fm.horizontalAdvance(QStringLiteral(" ")));
    EXPECT_EQ(def.GetWidth(), fm.horizontalAdvance(QStringLiteral(" XXXXXXXXXXXX ")));
    EXPECT_EQ(def.GetHeight(), fm.height() * 3 / 2);
}

TEST(GridCells, EveryAttributeFallsThroughToItsDefaultCell)
{
    CGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);

    CGridDefaultCell* normal = grid.GetDefaultCell(false, false);
    CGridDefaultCell* fixedRow = grid.GetDefaultCell(true, false);
    CGridDefaultCell* fixedCol = grid.GetDefaultCell(false, true);
    CGridDefaultCell* corner = grid.GetDefaultCell(true, true);
    QFont big(QStringLiteral("DejaVu Sans"), 20, QFont::Bold);
    QFont small(QStringLiteral("DejaVu Sans"), 7);
    normal->SetFont(&small);
    normal->SetMargin(4);
    normal->SetFormat(DT_RIGHT | DT_SINGLELINE);
    fixedRow->SetFont(&big);
    fixedRow->SetMargin(9);
    fixedRow->SetFormat(DT_CENTER | DT_SINGLELINE);
    fixedCol->SetMargin(2);
    corner->SetMargin(6);

    CGridCellBase* cell = grid.GetCell(2, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->GetDefaultCell(), normal);
    EXPECT_EQ(cell->GetMargin(), 4u);
    EXPECT_EQ(*cell->GetFont(), small);
    EXPECT_TRUE(cell->IsDefaultFont());
    // The format was copied from the default cell when the cell was made;
    // a cell set back to "default" reads the default cell's current format.
    cell->SetFormat(quint32(-1));
    EXPECT_EQ(cell->GetFormat(), DT_RIGHT | DT_SINGLELINE);
    EXPECT_EQ(cell->GetTextColour(), DefaultColour);

    EXPECT_EQ(grid.GetCell(0, 2)->GetDefaultCell(), fixedRow);
    EXPECT_EQ(grid.GetCell(0, 2)->GetMargin(), 9u);
    EXPECT_EQ(*grid.GetCell(0, 2)->GetFont(), big);
    EXPECT_EQ(grid.GetCell(2, 0)->GetMargin(), 2u);
    EXPECT_EQ(grid.GetCell(0, 0)->GetMargin(), 6u);

    // Own values win; clearing them falls back again.
    cell->SetMargin(11);
    cell->SetFont(&big);
    EXPECT_EQ(cell->GetMargin(), 11u);
    EXPECT_FALSE(cell->IsDefaultFont());
    EXPECT_EQ(*cell->GetFont(), big);
    cell->SetFont(nullptr);
    cell->SetMargin(quint32(-1));
    EXPECT_EQ(*cell->GetFont(), small);
    EXPECT_EQ(cell->GetMargin(), 4u);

    // The default cells' sizes answer a measurement of no text.
    normal->SetWidth(55);
    normal->SetHeight(21);
    EXPECT_EQ(cell->GetTextExtent(nullptr), QSize(55, 21));
    EXPECT_TRUE(cell->GetText().isEmpty());
}

TEST(GridCells, CopyFromTakesAttributesButNotSpansAndResetClearsAll)
{
    CGridCtrl grid;
    grid.SetRowCount(2);
    grid.SetColumnCount(2);
    CGridCellBase* a = grid.GetCell(0, 0);
    CGridCellBase* b = grid.GetCell(1, 1);
    QFont f(QStringLiteral("DejaVu Sans"), 15);
    a->SetText(QStringLiteral("Оклад"));
    a->SetData(42);
    a->SetImage(3);
    a->SetTextColour(0x800040);
    a->SetBackColour(0xFFD79B);
    a->SetFont(&f);
    a->SetMargin(7);
    a->SetFormat(DT_RIGHT);
    a->SetState(CellReadOnly);
    a->SetHorzSpan(SpanStart);
    b->CopyFrom(a);
    EXPECT_EQ(b->GetText(), QStringLiteral("Оклад"));
    EXPECT_EQ(b->GetData(), 42u);
    EXPECT_EQ(b->GetImage(), 3);
    EXPECT_EQ(b->GetTextColour(), 0x800040u);
    EXPECT_EQ(b->GetBackColour(), 0xFFD79Bu);
    EXPECT_EQ(*b->GetFont(), f);
    EXPECT_EQ(b->GetMargin(), 7u);
    EXPECT_EQ(b->GetFormat(), DT_RIGHT);
    EXPECT_EQ(b->GetState(), CellReadOnly);
    EXPECT_EQ(b->GetHorzSpan(), SpanNone);

    a->Reset();
    EXPECT_TRUE(a->GetText().isEmpty());
    EXPECT_EQ(a->GetImage(), -1);
    EXPECT_EQ(a->GetState(), 0u);
    EXPECT_EQ(a->GetHorzSpan(), SpanNone);
    EXPECT_EQ(a->GetTextColour(), DefaultColour);
    EXPECT_TRUE(a->IsDefaultFont());
    EXPECT_EQ(a->GetGrid(), nullptr);
    // Without a grid there is no default cell to fall back to.
    EXPECT_EQ(a->GetMargin(), 0u);
    EXPECT_EQ(a->GetFormat(), 0u);
}

TEST(GridStructure, CountsFixedBitsAndSizesFromTheDefaultCells)
{
    CGridCtrl grid;
    grid.GetDefaultCell(false, true)->SetWidth(80);
    grid.GetDefaultCell(false, false)->SetHeight(17);
    EXPECT_TRUE(grid.SetColumnCount(3));
    EXPECT_TRUE(grid.SetRowCount(4));
    for (int c = 0; c < 3; ++c) EXPECT_EQ(grid.GetColumnWidth(c), 80);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(grid.GetRowHeight(r), 17);
    EXPECT_EQ(grid.GetColumnWidth(3), -1);
    EXPECT_EQ(grid.GetRowHeight(-1), -1);

    // A fixed row count beyond the rows grows the grid first.
    CGridCtrl small;
    small.SetColumnCount(2);
    small.SetRowCount(1);
    EXPECT_TRUE(small.SetFixedRowCount(3));
    EXPECT_EQ(small.GetRowCount(), 3);
    EXPECT_EQ(small.GetFixedRowCount(), 3);

    EXPECT_TRUE(grid.SetFixedRowCount(1));
    EXPECT_TRUE(grid.SetFixedColumnCount(1));
    EXPECT_EQ(grid.GetItemState(0, 0) & 0x70, 0x70u);
    EXPECT_EQ(grid.GetItemState(0, 2) & 0x70, 0x30u);
    EXPECT_EQ(grid.GetItemState(2, 0) & 0x70, 0x50u);
    EXPECT_EQ(grid.GetItemState(2, 2) & 0x70, 0u);
    EXPECT_EQ(grid.GetFixedRowHeight(), 17);
    EXPECT_EQ(grid.GetFixedColumnWidth(), 80);
    EXPECT_EQ(grid.GetVirtualHeight(), 4 * 17);
    EXPECT_EQ(grid.GetVirtualWidth(), 3 * 80);

    // Rows that stop being fixed lose their bits and their own colours.
    grid.SetFixedRowCount(2);
    grid.GetCell(1, 2)->SetBackColour(0x123456);
    grid.SetFixedRowCount(1);
    EXPECT_EQ(grid.GetItemState(1, 2) & 0x70, 0u);
    EXPECT_EQ(grid.GetItemState(1, 0) & 0x70, 0x50u);
    EXPECT_EQ(grid.GetCell(1, 2)->GetBackColour(), DefaultColour);
    // Columns likewise: a column that becomes fixed takes the bits and the
    // default colours; one that stops being fixed keeps the fixed row's bit
    // and its colour in the fixed row, and loses both below it.
    grid.GetCell(2, 1)->SetBackColour(0x111111);
    grid.SetFixedColumnCount(2);
    EXPECT_EQ(grid.GetItemState(2, 1) & 0x70, 0x50u);
    EXPECT_EQ(grid.GetCell(2, 1)->GetBackColour(), DefaultColour);
    grid.GetCell(2, 1)->SetBackColour(0x123456);
    grid.GetCell(0, 1)->SetBackColour(0x654321);
    grid.SetFixedColumnCount(1);
    EXPECT_EQ(grid.GetItemState(2, 1) & 0x70, 0u);
    EXPECT_EQ(grid.GetItemState(0, 1) & 0x70, 0x30u);
    EXPECT_EQ(grid.GetCell(2, 1)->GetBackColour(), DefaultColour);
    EXPECT_EQ(grid.GetCell(0, 1)->GetBackColour(), 0x654321u);

    // The same count again changes nothing, not even the modified flag.
    CGridCtrl fresh;
    fresh.SetRowCount(2);
    EXPECT_TRUE(fresh.GetModified());
    CGridCtrl quiet;
    EXPECT_FALSE(quiet.GetModified());
    EXPECT_TRUE(quiet.SetRowCount(0));
    EXPECT_FALSE(quiet.GetModified());

    // Emptying the rows destroys every cell and the fixed rows with them.
    grid.SetRowCount(0);
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetFixedRowCount(), 0);
    EXPECT_EQ(grid.GetCell(0, 0), nullptr);
    EXPECT_TRUE(grid.GetItemText(0, 0).isEmpty());
}

TEST(GridStructure, InsertAndDeleteRowsKeepCellsInPlace)
{
    CGridCtrl grid;
    // No column yet: the first insert makes one.
    EXPECT_EQ(grid.InsertRow(QStringLiteral("Шапка")), 0);
    EXPECT_EQ(grid.GetColumnCount(), 1);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    EXPECT_EQ(grid.InsertRow(QString()), 1);
    EXPECT_EQ(grid.GetRowHeight(1), grid.GetDefaultCell(true, false)->GetHeight());
    EXPECT_EQ(grid.InsertRow(QStringLiteral("второй")), 2);
    EXPECT_EQ(grid.GetRowHeight(2), grid.GetCell(2, 0)->GetTextExtent(QStringLiteral("второй")).height());
    grid.SetItemText(1, 2, QStringLiteral("x1"));
    grid.SetItemText(2, 2, QStringLiteral("x2"));

    // Inserting at a fixed row or past the end is refused.
    EXPECT_EQ(grid.InsertRow(QStringLiteral("no"), 0), -1);
    EXPECT_EQ(grid.InsertRow(QStringLiteral("no"), 3), -1);

    EXPECT_EQ(grid.InsertRow(QStringLiteral("middle"), 2), 2);
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(grid.GetItemText(1, 2), QStringLiteral("x1"));
    EXPECT_EQ(grid.GetItemText(2, 0), QStringLiteral("middle"));
    EXPECT_EQ(grid.GetItemText(3, 0), QStringLiteral("второй"));
    EXPECT_EQ(grid.GetItemText(3, 2), QStringLiteral("x2"));
    EXPECT_TRUE(grid.GetCell(2, 0)->IsModified());
    EXPECT_EQ(grid.GetItemState(2, 1) & CellFixed, 0u);

    EXPECT_FALSE(grid.DeleteRow(4));
    EXPECT_FALSE(grid.DeleteRow(-1));
    EXPECT_TRUE(grid.DeleteRow(1));
    EXPECT_EQ(grid.GetRowCount(), 3);
    EXPECT_EQ(grid.GetItemText(1, 0), QStringLiteral("middle"));
    EXPECT_EQ(grid.GetItemText(2, 2), QStringLiteral("x2"));

    // Deleting a fixed row lowers the fixed count.
    EXPECT_TRUE(grid.DeleteRow(0));
    EXPECT_EQ(grid.GetFixedRowCount(), 0);
    EXPECT_EQ(grid.GetItemText(0, 0), QStringLiteral("middle"));

    grid.SetFixedRowCount(1);
    grid.InsertRow(QStringLiteral("a"));
    grid.InsertRow(QStringLiteral("b"));
    EXPECT_TRUE(grid.DeleteNonFixedRows());
    EXPECT_EQ(grid.GetRowCount(), 1);
    EXPECT_EQ(grid.GetItemText(0, 0), QStringLiteral("middle"));

    EXPECT_TRUE(grid.DeleteAllItems());
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetColumnCount(), 0);
    EXPECT_EQ(grid.GetFixedColumnCount(), 0);
}

TEST(GridStructure, SelectionForgetsDeletedCells)
{
    CGridCtrl grid;
    FillGrid(&grid, 5, 3, 1, 0);
    grid.SetSelectedRange(2, 0, 3, 2);
    EXPECT_EQ(grid.GetSelectedCount(), 6);
    grid.SetRowCount(3);
    EXPECT_EQ(grid.GetSelectedCount(), 3);
    CCellRange r = grid.GetSelectedCellRange();
    EXPECT_EQ(r, CCellRange(2, 0, 2, 2));
    grid.SetSelectedRange(-1, -1, -1, -1);
    EXPECT_FALSE(grid.GetSelectedCellRange().IsValid());
}

TEST(GridStructure, SpansWidenTheStartCellAndCoverTheOthers)
{
    CGridCtrl grid;
    grid.SetRowCount(4);
    grid.SetColumnCount(4);
    grid.SetFixedRowCount(2);
    for (int c = 0; c < 4; ++c) grid.SetColumnWidth(c, 50 + c);
    for (int r = 0; r < 4; ++r) grid.SetRowHeight(r, 20);
    grid.GetCell(0, 1)->SetHorzSpan(SpanStart);
    grid.GetCell(0, 2)->SetHorzSpan(SpanCovered);
    grid.GetCell(0, 3)->SetHorzSpan(SpanCovered);
    grid.GetCell(0, 0)->SetMergeDown(1);
    grid.GetCell(1, 0)->SetMergeDown(2);

    QRect r;
    ASSERT_TRUE(grid.GetCellRect(0, 1, r));
    EXPECT_EQ(r.left(), 50);
    EXPECT_EQ(r.right(), 50 + 51 + 52 + 53 - 1);
    ASSERT_TRUE(grid.GetCellRect(0, 0, r));
    EXPECT_EQ(r.top(), 0);
    EXPECT_EQ(r.bottom(), 39);
    EXPECT_EQ(grid.GetCell(1, 0)->GetMergeDown(), 2);

    // A covered cell draws nothing.
    QImage img(300, 100, QImage::Format_RGB32);
    QPainter p(&img);
    EXPECT_FALSE(grid.GetCell(0, 2)->Draw(&p, 0, 2, QRect(0, 0, 50, 20), true));
    EXPECT_TRUE(grid.GetCell(0, 1)->Draw(&p, 0, 1, QRect(0, 0, 50, 20), true));
    // Nor does a cell without a grid or with an empty rectangle.
    CGridCell loose;
    EXPECT_FALSE(loose.Draw(&p, 0, 0, QRect(0, 0, 50, 20), true));
    EXPECT_FALSE(grid.GetCell(2, 2)->Draw(&p, 2, 2, QRect(0, 0, 0, 20), true));
}

TEST(GridSizing, ExpandLastColumnTakesTheSpareWidth)
{
    GridWindow<> w(400, 200);
    CGridCtrl* grid = w.grid;
    grid->SetRowCount(3);
    grid->SetColumnCount(4);
    grid->SetFixedColumnCount(1);
    const int client = grid->viewport()->width();
    grid->SetColumnWidth(0, 40);
    grid->SetColumnWidth(1, 50);
    grid->SetColumnWidth(2, 50);
    grid->SetColumnWidth(3, 50);
    grid->ExpandLastColumn();
    EXPECT_EQ(grid->GetColumnWidth(3), client - 40 - 100);
}

TEST(GridSizing, AutoSizeMeasuresTextMarginsAndFixedFrame)
{
    CGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    QFont f(QStringLiteral("DejaVu Sans"), 10);
    for (bool fixedRow : {false, true})
        for (bool fixedCol : {false, true}) grid.GetDefaultCell(fixedRow, fixedCol)->SetFont(&f);
    QFontMetrics fm(f);
    const int margin = int(grid.GetDefaultCell(false, false)->GetMargin());
    grid.SetItemText(0, 1, QStringLiteral("Сумма"));
    grid.SetItemText(1, 1, QStringLiteral("12345.67"));
    grid.SetItemText(2, 1, QStringLiteral("Очень длинный текст"));
    ASSERT_TRUE(grid.AutoSizeColumn(1));
    EXPECT_EQ(grid.GetColumnWidth(1), fm.horizontalAdvance(QStringLiteral("Очень длинный текст")) + 2 * margin + 1);

    // Only the fixed rows: the heading decides, with the fixed cell's extra pixel.
    ASSERT_TRUE(grid.AutoSizeColumn(1, 0x01));
    EXPECT_EQ(grid.GetColumnWidth(1), fm.horizontalAdvance(QStringLiteral("Сумма")) + 2 * margin + 2);

    ASSERT_TRUE(grid.AutoSizeRow(2));
    EXPECT_EQ(grid.GetRowHeight(2), fm.height() + 2 * margin + 1);

    // Hidden columns stay hidden; out of range is refused.
    grid.SetColumnWidth(2, 0);
    EXPECT_FALSE(grid.AutoSizeColumn(2));
    EXPECT_EQ(grid.GetColumnWidth(2), 0);
    EXPECT_FALSE(grid.AutoSizeColumn(5));
}

TEST(GridStructure, ModifiedFlagAndSortColumn)
{
    CGridCtrl grid;
    FillGrid(&grid, 4, 3, 1, 0);
    grid.SetSortColumn(1);
    grid.SetModified(2, 2);
    EXPECT_EQ(grid.GetSortColumn(), 1);
    EXPECT_TRUE(grid.GetCell(2, 2)->IsModified());
    grid.SetModified(2, 1);
    EXPECT_EQ(grid.GetSortColumn(), -1);
    grid.SetSortColumn(1);
    grid.SetModified(-1, -1);
    EXPECT_EQ(grid.GetSortColumn(), -1);
    EXPECT_TRUE(grid.GetModified());

    EXPECT_TRUE(grid.IsCellEditable(2, 2));
    grid.SetItemState(2, 2, grid.GetItemState(2, 2) | CellReadOnly);
    EXPECT_FALSE(grid.IsCellEditable(2, 2));
    grid.SetEditable(false);
    EXPECT_FALSE(grid.IsCellEditable(1, 1));
}
