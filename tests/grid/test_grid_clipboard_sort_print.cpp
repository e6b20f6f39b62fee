// The grid's clipboard (copy layout, paste splitting, cut), drag and drop of
// columns and rows, sorting by a column, and printing into a PDF file.
#include "GridTestUtil.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>

using namespace GridCtrl;

namespace {

struct ClipboardFixture : ::testing::Test {
    GridWindow<> w{400, 300};
    CGridCtrl* grid = w.grid;
    std::unique_ptr<OwnerRecorder> owner;
    void SetUp() override
    {
        FillGrid(grid, 6, 5, 1, 1);
        owner = std::make_unique<OwnerRecorder>(grid);
        QApplication::clipboard()->clear();
    }
    void select(int r1, int c1, int r2, int c2) { grid->SetSelectedRange(r1, c1, r2, c2, false, true); }
    std::unique_ptr<QMimeData> text(const QString& t)
    {
        auto data = std::make_unique<QMimeData>();
        data->setText(t);
        return data;
    }
};

} // namespace

TEST_F(ClipboardFixture, CopiedBlockKeepsATabForAnUnselectedCellAndCrLfBetweenRows)
{
    grid->SetItemText(1, 1, "a");
    grid->SetItemText(1, 3, "c");
    grid->SetItemText(2, 1, "d");
    grid->SetItemText(2, 2, "e");
    grid->SetItemText(2, 3, "f");
    // a, (gap), c / d, e, f: Ctrl+clicks add single cells to the selection.
    Click(grid, CellCentre(grid, 1, 1));
    for (auto [row, col] : {std::pair{1, 3}, {2, 1}, {2, 2}, {2, 3}})
        Click(grid, CellCentre(grid, row, col), Qt::ControlModifier);
    ASSERT_EQ(grid->GetSelectedCount(), 5);
    EXPECT_EQ(grid->SelectedBlockText(), QStringLiteral("a\t\tc\r\nd\te\tf"));

    grid->OnEditCopy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("a\t\tc\r\nd\te\tf"));
}

TEST_F(ClipboardFixture, HiddenRowsAndColumnsAreLeftOutOfACopy)
{
    grid->SetRowHeight(2, 0);
    grid->SetColumnWidth(2, 0);
    select(1, 1, 3, 3);
    EXPECT_EQ(grid->SelectedBlockText(), QStringLiteral("r1c1\tr1c3\r\nr3c1\tr3c3"));
}

TEST_F(ClipboardFixture, PasteSplitsAtTabsAndCommasTrimsFieldsAndSkipsHiddenRows)
{
    grid->SetRowHeight(2, 0);
    ASSERT_TRUE(grid->PasteTextToGrid(1, 1, text("1,5\t7\r\n 8 , 9\r\n").get(), true));
    EXPECT_EQ(grid->GetItemText(1, 1), "1");
    EXPECT_EQ(grid->GetItemText(1, 2), "5");
    EXPECT_EQ(grid->GetItemText(1, 3), "7");
    // The second line goes past the hidden row 2; its CR is trimmed away.
    EXPECT_EQ(grid->GetItemText(2, 1), "r2c1");
    EXPECT_EQ(grid->GetItemText(3, 1), "8");
    EXPECT_EQ(grid->GetItemText(3, 2), "9");
    // The selection covers the block pasted into.
    const CCellRange sel = grid->GetSelectedCellRange();
    EXPECT_EQ(sel.minRow, 1);
    EXPECT_EQ(sel.maxRow, 4);
    EXPECT_EQ(sel.maxCol, 3);
}

TEST_F(ClipboardFixture, FieldsBeyondTheGridAreDroppedAndRefusedCellsKeepTheirText)
{
    grid->SetItemState(1, 3, grid->GetItemState(1, 3) | CellReadOnly);
    ASSERT_TRUE(grid->PasteTextToGrid(1, 2, text("x\ty\tz\tw").get(), false));
    EXPECT_EQ(grid->GetItemText(1, 2), "x");
    EXPECT_EQ(grid->GetItemText(1, 3), "r1c3"); // read-only: kept, the rest goes on
    EXPECT_EQ(grid->GetItemText(1, 4), "z"); // the last column; "w" has no column
    // The target cell itself read-only: nothing is pasted.
    EXPECT_FALSE(grid->PasteTextToGrid(1, 3, text("v").get(), false));
    EXPECT_FALSE(grid->IsValid(grid->GetFocusCell()));

    // A field that does not read by its figure column: the cell keeps its
    // text and the owner hears of no edit.
    grid->DeclareColumn(1, FigureColumn(QStringLiteral("c1"), kalvor::WholeFigure(0, 99)));
    grid->SetItemText(3, 1, "7");
    const int edits = owner->count(NotifyEndLabelEdit);
    ASSERT_TRUE(grid->PasteTextToGrid(3, 1, text("12x\t5").get(), false));
    EXPECT_EQ(grid->GetItemText(3, 1), "7");
    EXPECT_EQ(grid->GetItemText(3, 2), "5");
    EXPECT_EQ(owner->count(NotifyEndLabelEdit), edits + 1); // the 5 alone

    owner->results[NotifyEndLabelEdit] = -1; // the owner refuses every edit
    ASSERT_TRUE(grid->PasteTextToGrid(2, 1, text("q").get(), false));
    EXPECT_EQ(grid->GetItemText(2, 1), "r2c1");
}

TEST_F(ClipboardFixture, PasteIsRefusedWithoutTextOrOnAReadOnlyGrid)
{
    QMimeData empty;
    EXPECT_FALSE(grid->PasteTextToGrid(1, 1, &empty, true));
    grid->SetEditable(false);
    EXPECT_FALSE(grid->PasteTextToGrid(1, 1, text("x").get(), true));
    EXPECT_EQ(grid->GetItemText(1, 1), "r1c1");
}

TEST_F(ClipboardFixture, CutClearsOnlyEditableCellsAndKeysReachTheSameCommands)
{
    grid->SetItemState(1, 2, grid->GetItemState(1, 2) | CellReadOnly);
    grid->SetFocusCell(1, 1);
    select(1, 1, 1, 3);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_X, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("r1c1\tr1c2\tr1c3"));
    EXPECT_EQ(grid->GetItemText(1, 1), "");
    EXPECT_EQ(grid->GetItemText(1, 2), "r1c2");
    EXPECT_EQ(grid->GetItemText(1, 3), "");

    // Ctrl+V pastes at the selection's top-left cell.
    QApplication::clipboard()->setText("p\tq");
    grid->SetFocusCell(3, 1);
    select(3, 1, 3, 1);
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(grid->GetItemText(3, 1), "p");
    EXPECT_EQ(grid->GetItemText(3, 2), "q");
}

TEST_F(ClipboardFixture, EditCommandsAreEnabledByTheRules)
{
    grid->ResetSelectedRange();
    EXPECT_FALSE(grid->CanEditCopy());
    EXPECT_FALSE(grid->CanEditCut());
    select(1, 1, 1, 1);
    EXPECT_TRUE(grid->CanEditCopy());
    EXPECT_TRUE(grid->CanEditCut());
    grid->SetFocusCell(1, 1);
    QApplication::clipboard()->setText("x");
    EXPECT_TRUE(grid->CanEditPaste());
    grid->SetItemState(1, 1, grid->GetItemState(1, 1) | CellReadOnly);
    EXPECT_FALSE(grid->CanEditPaste());
    grid->SetEditable(false);
    EXPECT_FALSE(grid->CanEditCut());
    EXPECT_TRUE(grid->CanEditCopy());
    EXPECT_TRUE(grid->CanEditSelectAll());
    grid->EnableSelection(false);
    EXPECT_FALSE(grid->CanEditSelectAll());
}

TEST_F(ClipboardFixture, DroppedTextPastesWhenRowMovesAreOffAndARowMoveIsRefusedOutsideVirtualMode)
{
    grid->EnableDragAndDrop(true);
    grid->SetDragRowMode(false);
    const QPoint at = CellCentre(grid, 2, 2);
    auto data = text("dropped");
    EXPECT_NE(grid->OnDragEnter(data.get(), Qt::NoModifier, at), Qt::IgnoreAction);
    EXPECT_TRUE(grid->GetItemState(2, 2) & CellDropHighlighted);
    EXPECT_EQ(grid->OnDragOver(data.get(), Qt::ControlModifier, at), Qt::CopyAction);
    EXPECT_TRUE(grid->OnDrop(data.get(), Qt::CopyAction, at));
    EXPECT_EQ(grid->GetItemText(2, 2), "dropped");
    EXPECT_FALSE(grid->GetItemState(2, 2) & CellDropHighlighted);

    grid->SetDragRowMode(true);
    grid->OnDragEnter(data.get(), Qt::NoModifier, CellCentre(grid, 3, 1));
    EXPECT_FALSE(grid->OnDrop(data.get(), Qt::MoveAction, CellCentre(grid, 3, 1)));
    EXPECT_EQ(grid->GetItemText(3, 1), "r3c1");

    grid->EnableDragAndDrop(false);
    EXPECT_EQ(grid->OnDragEnter(data.get(), Qt::NoModifier, at), Qt::IgnoreAction);
}

namespace {

// A grid whose row drag starts at a given row, as a press there starts it.
struct RowDragGrid : CGridCtrl {
    using CGridCtrl::CGridCtrl;
    void PickRow(int row) { m_nDragRow = row; }
};

} // namespace

TEST(VirtualGridClipboard, ACopyIsBracketedByCacheHintsAndARowMoveReordersTheOwnersRows)
{
    GridWindow<RowDragGrid> w(400, 300);
    RowDragGrid* grid = w.grid;
    grid->SetVirtualMode(true);
    std::vector<CCellRange> hints;
    QObject::connect(grid, &CGridCtrl::cacheHint, grid, [&](GridCacheHint* h) { hints.push_back(h->range); });
    QObject::connect(grid, &CGridCtrl::dispInfoRequest, grid, [&](GridCellDispInfo* info, long*) {
        info->text = QStringLiteral("o%1c%2").arg(info->row).arg(info->col);
    });
    grid->SetRowCount(6);
    grid->SetColumnCount(3);
    grid->SetFixedRowCount(1);

    grid->SetSelectedRange(2, 1, 3, 2, false, true);
    hints.clear();
    std::unique_ptr<QMimeData> copied(grid->CopyTextFromGrid());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), QStringLiteral("o2c1\to2c2\r\no3c1\to3c2"));
    ASSERT_EQ(hints.size(), 2u);
    EXPECT_EQ(hints[0], CCellRange(2, 1, 3, 2));
    EXPECT_FALSE(hints[1].IsValid());

    // Row 1 dropped on row 3 (below it) goes after it; row 4 dropped on row 2
    // (above it) goes before it.
    grid->EnableDragAndDrop(true);
    grid->SetDragRowMode(true);
    const auto column0 = [grid] {
        QStringList texts;
        for (int row = 1; row < grid->GetRowCount(); ++row) texts << grid->GetItemText(row, 0);
        return texts.join(QLatin1Char(' '));
    };
    grid->PickRow(1);
    grid->OnDragEnter(nullptr, Qt::NoModifier, CellCentre(grid, 3, 1));
    EXPECT_TRUE(grid->OnDrop(nullptr, Qt::MoveAction, CellCentre(grid, 3, 1)));
    EXPECT_EQ(column0(), QStringLiteral("o2c0 o3c0 o1c0 o4c0 o5c0"));
    grid->PickRow(4);
    grid->OnDragEnter(nullptr, Qt::NoModifier, CellCentre(grid, 2, 1));
    EXPECT_TRUE(grid->OnDrop(nullptr, Qt::MoveAction, CellCentre(grid, 2, 1)));
    EXPECT_EQ(column0(), QStringLiteral("o2c0 o4c0 o3c0 o1c0 o5c0"));
}

TEST_F(ClipboardFixture, AColumnDraggedByItsHeaderMovesWithItsCellsAndWidth)
{
    grid->SetColumnWidth(1, 90);
    grid->SetColumnReorder(true);
    SendMouse(grid, QEvent::MouseButtonPress, CellCentre(grid, 0, 1), Qt::LeftButton);
    ASSERT_EQ(grid->GetDragColumn(), 1);
    EXPECT_TRUE(grid->OnDrop(nullptr, Qt::MoveAction, CellCentre(grid, 0, 3)));
    EXPECT_EQ(grid->GetItemText(2, 3), "r2c1");
    EXPECT_EQ(grid->GetItemText(2, 1), "r2c2");
    EXPECT_EQ(grid->GetColumnWidth(3), 90);
    EXPECT_EQ(grid->GetDragColumn(), -1);
}

// ---------------------------------------------------------------------------
// Sorting

namespace {

struct SortFixture : ::testing::Test {
    GridWindow<> w{400, 300};
    CGridCtrl* grid = w.grid;
    void SetUp() override
    {
        FillGrid(grid, 4, 3, 1, 1);
        const char* texts[] = {"b", "A", "a"};
        for (int r = 1; r <= 3; ++r) {
            grid->SetItemText(r, 1, texts[r - 1]);
            grid->SetItemText(r, 2, QString::number(r));
            grid->SetRowHeight(r, 20 + r);
        }
        grid->SetHeaderSort(true);
    }
    QString column(int col) const
    {
        QString s;
        for (int r = 1; r < grid->GetRowCount(); ++r) s += grid->GetItemText(r, col);
        return s;
    }
};

} // namespace

TEST_F(SortFixture, OrdinalOrderAscendingThenDescendingOnTheSameHeader)
{
    Click(grid, CellCentre(grid, 0, 1));
    EXPECT_EQ(column(1), "Aab");
    EXPECT_EQ(column(2), "231"); // whole rows travel
    EXPECT_EQ(grid->GetRowHeight(1), 22);
    EXPECT_EQ(grid->GetSortColumn(), 1);
    EXPECT_TRUE(grid->GetSortAscending());

    Click(grid, CellCentre(grid, 0, 1));
    EXPECT_EQ(column(1), "baA");
    EXPECT_FALSE(grid->GetSortAscending());

    Click(grid, CellCentre(grid, 0, 2));
    EXPECT_EQ(column(2), "123");
    EXPECT_TRUE(grid->GetSortAscending());
}

TEST_F(SortFixture, AnEditInTheSortedColumnForgetsTheSortAndAnotherColumnKeepsIt)
{
    grid->SortTextItems(1, true);
    grid->SetItemTextEdited(2, 2, "x");
    EXPECT_EQ(grid->GetSortColumn(), 1);
    grid->SetItemTextEdited(2, 1, "z");
    EXPECT_EQ(grid->GetSortColumn(), -1);
}

TEST_F(SortFixture, NoSortOnHeaderClickUnlessAskedAndACustomCompareIsUsed)
{
    grid->SetHeaderSort(false);
    Click(grid, CellCentre(grid, 0, 1));
    EXPECT_EQ(column(1), "bAa");

    grid->SetCompareFunction([](const CGridCellBase* a, const CGridCellBase* b, qintptr) {
        return QString::compare(a->GetText(), b->GetText(), Qt::CaseInsensitive);
    });
    grid->SortTextItems(1, false);
    EXPECT_EQ(column(1).left(1), "b");
}

// ---------------------------------------------------------------------------
// Printing

TEST(GridPrint, RowsBreakIntoPagesByTheBodyHeightAndEveryPageShowsAllColumns)
{
    GridWindow<> w{400, 300};
    CGridCtrl* grid = w.grid;
    FillGrid(grid, 101, 3, 1, 1);
    for (int r = 0; r < 101; ++r) grid->SetRowHeight(r, 20);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = QDir::current().absoluteFilePath("grid-print-test.pdf");
    QFile::remove(path);
    printer.setOutputFileName(path);
    QPainter painter(&printer);
    GridPrintInfo info;
    grid->OnBeginPrinting(&painter, &info);
    // Work out the body height as the grid did and count the pages by hand:
    // rows of 20 fill a page until their sum would pass the body height.
    ASSERT_GT(info.maxPage, 1);
    EXPECT_EQ(info.maxPage, grid->GetPrintPageCount());
    for (int page = 1; page <= info.maxPage; ++page) {
        if (page > 1)
            printer.newPage();
        info.curPage = page;
        grid->OnPrint(&painter, &info);
    }
    grid->OnEndPrinting(&painter, &info);
    painter.end();
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), info.maxPage);
}

TEST(GridPrint, PageCountFollowsTheBreakRuleOverTheBodyHeight)
{
    GridWindow<> w{400, 300};
    CGridCtrl* grid = w.grid;
    FillGrid(grid, 101, 2, 1, 0);
    for (int r = 0; r < 101; ++r) grid->SetRowHeight(r, 20);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir::current().absoluteFilePath("grid-print-count.pdf"));
    QPainter painter(&printer);
    GridPrintInfo info;
    grid->OnBeginPrinting(&painter, &info);
    // A page takes rows while their sum stays within the body: with a body of
    // 500 that is 25 rows of 20 and 4 pages for 100 rows.
    const int rowsPerPage = grid->GetPrintBodyHeight() / 20;
    ASSERT_GT(rowsPerPage, 0);
    EXPECT_EQ(info.maxPage, (100 + rowsPerPage - 1) / rowsPerPage);
    grid->OnEndPrinting(&painter, &info);
    painter.end();
}
