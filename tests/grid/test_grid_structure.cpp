// Cells, default cells and the grid's structure: counts, fixed rows and
// columns, inserts and deletes, spans, virtual mode, sizing.
#include "GridTestUtil.h"
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>

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

namespace {
int g_callbacks = 0;
bool FillVirtualCell(GridCellDispInfo* info, qintptr param)
{
    ++g_callbacks;
    info->text = QStringLiteral("%1:%2:%3").arg(param).arg(info->row).arg(info->col);
    return true;
}
} // namespace

TEST(GridStructure, VirtualModeAsksTheOwnerForEveryCell)
{
    CGridCtrl grid;
    grid.SetVirtualMode(true);
    grid.SetCallbackFunc(&FillVirtualCell, 9);
    grid.SetRowCount(5);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    EXPECT_EQ(grid.GetItemText(3, 2), QStringLiteral("9:3:2"));
    EXPECT_FALSE(grid.SetItemText(3, 2, QStringLiteral("no")));
    EXPECT_EQ(grid.GetItemText(3, 2), QStringLiteral("9:3:2"));
    EXPECT_EQ(grid.GetCell(0, 1)->GetState() & 0x70, 0x30u);
    grid.SetFocusCell(2, 1);
    EXPECT_TRUE(grid.GetCell(2, 1)->IsFocused());
    grid.SetSelectedRange(3, 0, 3, 2);
    EXPECT_TRUE(grid.GetCell(3, 1)->IsSelected());
    EXPECT_TRUE(grid.IsCellSelected(3, 2));

    // Deleting a display row shifts the owner's rows below it.
    grid.DeleteRow(2);
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(grid.GetItemText(2, 0), QStringLiteral("9:2:0"));

    // Without a callback the owner is asked through the signal.
    grid.SetCallbackFunc(nullptr, 0);
    QObject owner;
    QObject::connect(&grid, &CGridCtrl::dispInfoRequest, &owner, [](GridCellDispInfo* info, long*) {
        EXPECT_EQ(info->hdr.code, NotifyGetDispInfo);
        info->text = QStringLiteral("owner %1").arg(info->row);
    });
    EXPECT_EQ(grid.GetItemText(1, 1), QStringLiteral("owner 1"));

    // The owner keeps the cells: none is put in place of one it supplies.
    auto* cell = new CGridCell;
    EXPECT_FALSE(grid.SetCell(1, 1, cell));
    delete cell;
}

TEST(GridStructure, SetCellPutsAReadyCellInPlaceOfTheOneItMade)
{
    CGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    auto* cell = new CGridCell;
    cell->SetGrid(&grid);
    cell->SetText(QStringLiteral("готовая"));
    ASSERT_TRUE(grid.SetCell(2, 1, cell));
    EXPECT_EQ(grid.GetCell(2, 1), cell);
    EXPECT_EQ(grid.GetItemText(2, 1), QStringLiteral("готовая"));
    // Out of the table: refused, and the caller keeps its cell.
    auto* stray = new CGridCell;
    EXPECT_FALSE(grid.SetCell(3, 0, stray));
    EXPECT_FALSE(grid.SetCell(0, 3, stray));
    delete stray;
    // A read-only bit and the default cell's reserved word as they are set.
    grid.SetItemState(2, 1, grid.GetItemState(2, 1) | CellReadOnly);
    EXPECT_TRUE(grid.GetCell(2, 1)->IsReadOnly());
    EXPECT_FALSE(grid.GetCell(1, 1)->IsReadOnly());
    EXPECT_TRUE(grid.GetDefaultCell(false, false)->IsReadOnly());
    grid.GetDefaultCell(true, false)->SetReservedWord(0x1234);
    EXPECT_EQ(grid.GetDefaultCell(true, false)->GetReservedWord(), 0x1234u);
    EXPECT_EQ(grid.GetDefaultCell(false, false)->GetReservedWord(), 0u);
}

namespace {

// An owner that supplies the cells on demand from its own rows, counting the
// requests and recording the cache hints.
struct VirtualOwner {
    std::vector<QString> names{QStringLiteral("Шапка"), QStringLiteral("Петров"), QStringLiteral("Андреев"),
                               QStringLiteral("Яковлев"), QStringLiteral("Борисов")};
    int asked = 0;
    std::vector<CCellRange> hints;
    explicit VirtualOwner(CGridCtrl& grid)
    {
        QObject::connect(&grid, &CGridCtrl::dispInfoRequest, &grid, [this](GridCellDispInfo* info, long*) {
            ++asked;
            info->text = info->col == 0 ? QString::number(info->row) : names[size_t(info->row)];
        });
        QObject::connect(&grid, &CGridCtrl::cacheHint, &grid, [this](GridCacheHint* h) {
            EXPECT_EQ(h->hdr.code, NotifyCacheHint);
            hints.push_back(h->range);
        });
    }
};

const std::vector<QString>* g_sortedNames = nullptr;
int g_sortColumn = -1;
bool NameBefore(int a, int b)
{
    g_sortColumn = CGridCtrl::SortingGrid()->GetDragColumn();
    return (*g_sortedNames)[size_t(a)] < (*g_sortedNames)[size_t(b)];
}

QString Column(CGridCtrl& grid, int col)
{
    QStringList texts;
    for (int row = 1; row < grid.GetRowCount(); ++row) texts << grid.GetItemText(row, col);
    return texts.join(QLatin1Char(' '));
}

} // namespace

TEST(GridStructure, AVirtualGridSortsThroughItsRowOrder)
{
    CGridCtrl grid;
    grid.SetVirtualMode(true);
    VirtualOwner owner(grid);
    grid.SetRowCount(5);
    grid.SetColumnCount(2);
    grid.SetFixedRowCount(1);
    EXPECT_EQ(Column(grid, 1), QStringLiteral("Петров Андреев Яковлев Борисов"));

    // Without the owner's predicate a virtual grid has nothing to sort by.
    EXPECT_FALSE(grid.SortTextItems(1, true));
    EXPECT_EQ(Column(grid, 1), QStringLiteral("Петров Андреев Яковлев Борисов"));

    g_sortedNames = &owner.names;
    grid.SetVirtualCompare(&NameBefore);
    ASSERT_TRUE(grid.SortTextItems(1, true));
    EXPECT_EQ(g_sortColumn, 1);
    // The owner's rows stay where they are; the display rows ask for them in
    // the sorted order, the header row keeps its place.
    EXPECT_EQ(Column(grid, 1), QStringLiteral("Андреев Борисов Петров Яковлев"));
    EXPECT_EQ(Column(grid, 0), QStringLiteral("2 4 1 3"));
    EXPECT_EQ(grid.GetItemText(0, 1), QStringLiteral("Шапка"));
    ASSERT_TRUE(grid.SortTextItems(1, false));
    EXPECT_EQ(Column(grid, 1), QStringLiteral("Яковлев Петров Борисов Андреев"));

    // A row inserted at display row 2 is the owner's row 2, those after it
    // move down by one; deleting it takes them back.
    ASSERT_EQ(grid.InsertRow(QString(), 2), 2);
    EXPECT_EQ(Column(grid, 0), QStringLiteral("4 2 1 5 3"));
    ASSERT_TRUE(grid.DeleteRow(2));
    EXPECT_EQ(Column(grid, 0), QStringLiteral("3 1 4 2"));
}

TEST(GridSizing, AVirtualGridsAutoSizeIsBracketedByCacheHints)
{
    CGridCtrl grid;
    grid.SetVirtualMode(true);
    VirtualOwner owner(grid);
    grid.SetRowCount(5);
    grid.SetColumnCount(2);
    grid.SetFixedRowCount(1);
    QFont f(QStringLiteral("DejaVu Sans"), 10);
    grid.SetFont(f);
    // The rows below the header to the last: the widest of the owner's four
    // names.
    ASSERT_TRUE(grid.AutoSizeColumn(1, 0x02));
    ASSERT_EQ(owner.hints.size(), 2u);
    EXPECT_EQ(owner.hints[0], CCellRange(1, 1, 4, 1));
    EXPECT_FALSE(owner.hints[1].IsValid());
    const int margin = int(grid.GetDefaultCell(false, false)->GetMargin());
    int widest = 0;
    for (size_t row = 1; row <= 4; ++row)
        widest = std::max(widest, QFontMetrics(f).horizontalAdvance(owner.names[row]));
    EXPECT_EQ(grid.GetColumnWidth(1), widest + 2 * margin + 1);

    ASSERT_TRUE(grid.AutoSizeRow(3));
    ASSERT_EQ(owner.hints.size(), 4u);
    EXPECT_EQ(owner.hints[2], CCellRange(3, 0, 3, 1));
    EXPECT_FALSE(owner.hints[3].IsValid());
}

TEST(GridSizing, ExpandColumnsShareTheSpareWidth)
{
    GridWindow<> w(400, 200);
    CGridCtrl* grid = w.grid;
    grid->SetRowCount(3);
    grid->SetColumnCount(4);
    grid->SetFixedColumnCount(1);
    const int client = grid->viewport()->width();
    grid->SetColumnWidth(0, 40);
    grid->SetColumnWidth(1, 100);
    grid->SetColumnWidth(2, 100);
    grid->SetColumnWidth(3, client - 40 - 200 - 7);
    grid->ExpandColumnsToFit();
    EXPECT_EQ(grid->GetColumnWidth(0), 40);
    EXPECT_EQ(grid->GetColumnWidth(1), 103);
    EXPECT_EQ(grid->GetColumnWidth(2), 102);
    EXPECT_EQ(grid->GetColumnWidth(3), client - 40 - 200 - 7 + 2);
    EXPECT_EQ(grid->GetVirtualWidth(), client);

    // Too wide: every column gives back its share, the first ones one more.
    grid->SetColumnWidth(1, 200);
    grid->SetColumnWidth(2, 0); // hidden: keeps its width and uses up its turn
    grid->SetColumnWidth(3, client - 40 - 200 + 5);
    grid->ExpandColumnsToFit();
    EXPECT_EQ(grid->GetColumnWidth(1), 200 - 2 - 1);
    EXPECT_EQ(grid->GetColumnWidth(2), 0);
    EXPECT_EQ(grid->GetColumnWidth(3), client - 40 - 200 + 5 - 2);

    grid->SetColumnWidth(1, 50);
    grid->SetColumnWidth(2, 50);
    grid->SetColumnWidth(3, 50);
    grid->ExpandLastColumn();
    EXPECT_EQ(grid->GetColumnWidth(3), client - 40 - 100);

    // The rows likewise share the spare height, the fixed row too when asked.
    grid->SetFixedRowCount(1);
    const int height = grid->viewport()->height();
    for (int row = 0; row < 3; ++row) grid->SetRowHeight(row, 20);
    grid->ExpandRowsToFit(false);
    const int spare = height - 60;
    EXPECT_EQ(grid->GetRowHeight(0), 20);
    EXPECT_EQ(grid->GetRowHeight(1), 20 + spare / 2 + spare % 2);
    EXPECT_EQ(grid->GetRowHeight(2), 20 + spare / 2);
    for (int row = 0; row < 3; ++row) grid->SetRowHeight(row, 20);
    grid->ExpandRowsToFit();
    EXPECT_EQ(grid->GetRowHeight(0), 20 + spare / 3 + (spare % 3 > 0 ? 1 : 0));
    EXPECT_EQ(grid->GetRowHeight(2), 20 + spare / 3);
    EXPECT_EQ(grid->GetVirtualHeight(), height);
}

TEST(GridSizing, AutoSizeMeasuresTextMarginsAndFixedFrame)
{
    CGridCtrl grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    QFont f(QStringLiteral("DejaVu Sans"), 10);
    grid.SetFont(f);
    // One font for the grid: each of its four default cells takes it.
    for (bool fixedRow : {false, true})
        for (bool fixedCol : {false, true}) EXPECT_EQ(*grid.GetDefaultCell(fixedRow, fixedCol)->GetFont(), f);
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
