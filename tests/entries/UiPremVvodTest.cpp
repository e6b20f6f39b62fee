// The bonus entry screen on the demo base, driven by keys: the lines of the
// whole firm with their total, a value corrected, a line inserted with F8 and
// filled, one deleted with Alt+F10, F7 without a selected row, the empty row
// of an employee without lines filled, everything found in the base after
// leaving and reopening; the ninth line refused; the help of a column; a
// screenshot of the grid.
#include "DemoEntryWorld.h"
#include "entries/BonusEntry.h"
#include "entries/ui/CPremVvodDlg.h"
#include "entries/ui/CPremVvodView.h"
#include "grid/InPlaceEdit.h"
#include "support/ScreenText.h"

#include <QTableWidget>

#ifdef KALVOR_DATA_DIR

using namespace entrytest;
using namespace kalvor;

namespace {

constexpr int kTwoLines = 127; // a fixed bonus and 10 % of the month's pay
constexpr int kOneLine = 141; // a fixed bonus of 3,500
constexpr int kNoLines = 102;
constexpr int kBrigadeMember = 130; // coefficient 1.20 of the assembly brigade

class BonusScreen : public DemoEntryWorld {
protected:
    void OpenScreen()
    {
        view = Open<CPremVvodView>();
        ASSERT_NE(view, nullptr);
        grid = view->Dlg()->Grid();
    }
    void ApplyAllShops()
    {
        QLineEdit* shop = view->Strip()->Field(CWorkersFilterDlg::IdShop);
        shop->setFocus();
        shop->clear();
        PressKey(Qt::Key_Return);
        Settle();
    }
    // The grid row of the employee's line (his first row + line).
    int RowOf(int tabN, int line = 0) const
    {
        for (int row = 1; row < grid->GetRowCount(); ++row)
            if (grid->GetItemText(row, BonusNumberColumn) == QString::number(tabN))
                return row + line;
        return -1;
    }
    int RowsOf(int tabN) const
    {
        int rows = 0;
        for (int row = 1; row < grid->GetRowCount(); ++row)
            rows += grid->GetItemText(row, BonusNumberColumn) == QString::number(tabN) ? 1 : 0;
        return rows;
    }
    QStringList Fields(int row) const
    {
        QStringList cells;
        for (int column = BonusCodeColumn; column < kBonusColumnCount; ++column)
            cells << grid->GetItemText(row, column);
        return cells;
    }
    void SelectRow(int row)
    {
        grid->setFocus();
        grid->SetFocusCell(row, BonusCodeColumn);
        grid->SetSelectedRange(row, BonusCodeColumn, row, BonusCodeColumn);
        QApplication::processEvents();
    }
    std::vector<ib::BonusLine> Lines(int tabN) const { return doc->infoBase.prem.run(Slot(tabN)); }
    static ib::BonusLine Line(const QStringList& fields)
    {
        ib::BonusLine line;
        ReadBonusLine(fields, line);
        return line;
    }

    CPremVvodView* view = nullptr;
    CFldHlpGridCtrl* grid = nullptr;
};

} // namespace

TEST_F(BonusScreen, LinesCorrectedInsertedAndDeletedByKeysAreInTheBaseAfterReopening)
{
    MessageRecorder boxes;
    OpenScreen();
    EXPECT_EQ(doc->LastEntryScreen, 3u);
    ApplyAllShops();
    ASSERT_EQ(RowsOf(kTwoLines), 2);
    EXPECT_EQ(Fields(RowOf(kTwoLines)), QStringList({"8", "", "3500.00", "", "", "", "", "", ""}));
    EXPECT_EQ(Fields(RowOf(kTwoLines, 1)), QStringList({"8", "1", "10.00", "", "1", "", "", "", ""}));
    EXPECT_EQ(grid->GetItemText(RowOf(kTwoLines), BonusNameColumn), ShortName(kTwoLines));
    EXPECT_FALSE(grid->IsCellEditable(RowOf(kTwoLines), BonusNameColumn));
    EXPECT_FALSE(grid->IsCellEditable(RowOf(kTwoLines), BonusNumberColumn));
    EXPECT_TRUE(grid->IsCellEditable(RowOf(kTwoLines), BonusValueColumn));
    EXPECT_EQ(Fields(RowOf(kBrigadeMember)),
              QStringList({"8", "3", "60000.00", "", "", "2", "", "000000000120", "21"}));
    ASSERT_EQ(RowsOf(kNoLines), 1);
    EXPECT_EQ(Fields(RowOf(kNoLines)), QStringList(9, QString()));
    // The fixed bonuses alone: 5,000 and three of 3,500.
    EXPECT_EQ(ScreenText(view->Dlg(), QStringLiteral("Сумма премий, выраженных в рублях")), QStringLiteral("15500.00"));
    EXPECT_TRUE(view->grab().save(QCoreApplication::applicationDirPath() + QStringLiteral("/bonus-entry-371.png")));

    TypeCell(grid, RowOf(kTwoLines), BonusValueColumn, QStringLiteral("4000"));
    // F8 after the percent line: a third line, typed into at once.
    SelectRow(RowOf(kTwoLines, 1));
    PressKey(Qt::Key_F8);
    ASSERT_EQ(RowsOf(kTwoLines), 3);
    EXPECT_EQ(grid->GetFocusCell().row, RowOf(kTwoLines, 2));
    EXPECT_EQ(grid->GetFocusCell().col, int(BonusCodeColumn));
    TypeCell(grid, RowOf(kTwoLines, 2), BonusCodeColumn, QStringLiteral("7"));
    TypeCell(grid, RowOf(kTwoLines, 2), BonusValueColumn, QStringLiteral("1500"));
    TypeCell(grid, RowOf(kTwoLines, 2), BonusPeriodColumn, QStringLiteral("1"));
    // "Цех КТУ2" of a line that shares no fund is a shop of the book (1-4);
    // a line of the КТУ keeps its second rate there.
    TypeCell(grid, RowOf(kTwoLines, 2), BonusShopColumn, QStringLiteral("99"));
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral(
                                 "В поле \"Цех КТУ2\" указан номер, которого нет в справочнике \"Цех/Отдел\": 99\n"
                                 "при значении поля \"%\": 0")));
    boxes.boxes.clear();
    ASSERT_TRUE(grid->GetEditor());
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    EXPECT_EQ(grid->GetItemText(RowOf(kTwoLines, 2), BonusShopColumn), QString());
    TypeCell(grid, RowOf(kBrigadeMember), BonusShopColumn, QStringLiteral("99"));
    // Alt+F10 on the only line of an employee further down.
    SelectRow(RowOf(kOneLine));
    PressKey(Qt::Key_F10, Qt::AltModifier);
    EXPECT_EQ(RowsOf(kOneLine), 0);
    // F7 without a selected row does nothing.
    const int rows = grid->GetRowCount();
    grid->ResetSelectedRange();
    grid->SetFocusCell(-1, -1);
    PressKey(Qt::Key_F7);
    EXPECT_EQ(grid->GetRowCount(), rows);
    // The empty row of an employee without lines becomes his first line.
    TypeCell(grid, RowOf(kNoLines), BonusCodeColumn, QStringLiteral("8"));
    TypeCell(grid, RowOf(kNoLines), BonusValueColumn, QStringLiteral("700"));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();

    Close();
    Restart();
    ib::BonusLine extra = Line({"7", "", "1500", "", "", "1"});
    EXPECT_EQ(Lines(kTwoLines),
              std::vector<ib::BonusLine>({Line({"8", "", "4000"}), Line({"8", "1", "10", "", "1"}), extra}));
    EXPECT_TRUE(Lines(kOneLine).empty());
    EXPECT_EQ(Lines(kNoLines), std::vector<ib::BonusLine>({Line({"8", "", "700"})}));
    // The brigade's lines after the moved ones are where their index says.
    ASSERT_EQ(Lines(kBrigadeMember).size(), 1u);
    EXPECT_EQ(Lines(kBrigadeMember)[0].spzAu, 120);
    EXPECT_EQ(Lines(kBrigadeMember)[0].ceh, 99);

    // Without lines, the employee keeps one empty row; the total has the
    // corrected, the new and the first lines: 5,000, 4,000, 3,500, 1,500, 700.
    OpenScreen();
    ApplyAllShops();
    EXPECT_EQ(RowsOf(kOneLine), 1);
    EXPECT_EQ(ScreenText(view->Dlg(), QStringLiteral("Сумма премий, выраженных в рублях")), QStringLiteral("14700.00"));
}

TEST_F(BonusScreen, TheNinthLineIsRefusedAndTheKindColumnHasItsList)
{
    MessageRecorder boxes;
    doc->infoBase.prem.replaceRun(Slot(kOneLine), std::vector<ib::BonusLine>(8, Line({"8", "", "100"})));
    OpenScreen();
    ApplyAllShops();
    ASSERT_EQ(RowsOf(kOneLine), 8);
    SelectRow(RowOf(kOneLine, 7));
    PressKey(Qt::Key_F8);
    EXPECT_EQ(RowsOf(kOneLine), 8);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral(
                                 "Невозможно создать новую запись.\nУ работника может быть не более 8 премий.")));
    EXPECT_EQ(doc->infoBase.prem.count(Slot(kOneLine)), 8);

    // F1 on the kind column: the six kinds; the third is typed as "3".
    grid->setFocus();
    grid->SetFocusCell(RowOf(kNoLines), BonusKindColumn);
    grid->SetSelectedRange(RowOf(kNoLines), BonusKindColumn, RowOf(kNoLines), BonusKindColumn);
    QApplication::processEvents();
    view->ShowFormHelp();
    ASSERT_TRUE(view->HelpList());
    QTableWidget* table = view->HelpList()->table();
    ASSERT_EQ(table->rowCount(), 6);
    table->setCurrentCell(0, 1);
    for (int i = 0; i < 3; ++i) QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->GetItemText(RowOf(kNoLines), BonusKindColumn), QStringLiteral("3"));
}

// "Велич." is read by its line's kind as it is typed, and a kind typed over
// a line's kind by the value the line holds: a percent of the pay (kind 1)
// up to 1000 %, a share of the planned salary (kind 2) up to 100 %, roubles
// otherwise. A refusal names both columns; the editor keeps the refused text
// with the focus, and the next keys reach it; Esc gives the typed kind up.
// What was taken is in the base after leaving and reopening.
TEST_F(BonusScreen, TheValueIsReadByItsLinesKindAndAKindByTheValueOfItsLine)
{
    MessageRecorder boxes;
    OpenScreen();
    ApplyAllShops();
    const int fixed = RowOf(kTwoLines), percent = RowOf(kTwoLines, 1);
    ASSERT_EQ(Fields(percent)[1], QStringLiteral("1"));
    const auto refused = [&](int row, int column, const QString& typed, const char* refusal) {
        SCOPED_TRACE(typed.toStdString());
        boxes.boxes.clear();
        TypeCell(grid, row, column, typed);
        EXPECT_EQ(boxes.Texts(), QStringList{QString::fromUtf8(refusal)});
        CInPlaceEdit* editor = grid->GetEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), typed);
        EXPECT_EQ(QApplication::focusWidget(), editor);
        EXPECT_EQ(grid->GetFocusCell(), CCellID(row, column));
    };
    // 99,999,999 % of the pay: refused, naming the kind.
    refused(percent, BonusValueColumn, QStringLiteral("99999999"),
            "Значение поля \"Велич. нач-ия\" должно быть от 0.00 до 1000.00: 99999999.00\n"
            "при значении поля \"%\": 1");
    // The next keys reach the editor: 150 % taken.
    QTest::keyClick(grid->GetEditor(), Qt::Key_A, Qt::ControlModifier);
    TypeKeys(QStringLiteral("150"));
    PressKey(Qt::Key_Return);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(grid->GetItemText(percent, BonusValueColumn), QStringLiteral("150.00"));
    // A kind 2 over 150 %: the advance's share of the salary is 100 % at most.
    refused(percent, BonusKindColumn, QStringLiteral("2"),
            "Значение поля \"Велич. нач-ия\" должно быть от 0.00 до 100.00: 150.00\n"
            "при значении поля \"%\": 2");
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(grid->GetItemText(percent, BonusValueColumn), QStringLiteral("150.00"));
    EXPECT_EQ(grid->GetItemText(percent, BonusKindColumn), QStringLiteral("1"));
    // A fixed bonus of 3,500 roubles becomes no percent of either kind.
    refused(fixed, BonusKindColumn, QStringLiteral("1"),
            "Значение поля \"Велич. нач-ия\" должно быть от 0.00 до 1000.00: 3500.00\n"
            "при значении поля \"%\": 1");
    PressKey(Qt::Key_Escape);
    // A brigade's fund is roubles: 3,500 stays a fund under kind 3.
    boxes.boxes.clear();
    TypeCell(grid, fixed, BonusShopColumn, QStringLiteral("2"));
    TypeCell(grid, fixed, BonusKindColumn, QStringLiteral("3"));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    // Back from a brigade kind, "Цех КТУ2" must name a shop of the book again.
    TypeCell(grid, fixed, BonusShopColumn, QStringLiteral("99"));
    refused(fixed, BonusKindColumn, QStringLiteral("0"),
            "В поле \"Цех КТУ2\" указан номер, которого нет в справочнике \"Цех/Отдел\": 99\n"
            "при значении поля \"%\": 0");
    PressKey(Qt::Key_Escape);
    TypeCell(grid, fixed, BonusShopColumn, QStringLiteral("2"));
    TypeCell(grid, fixed, BonusKindColumn, QStringLiteral("0"));
    EXPECT_EQ(boxes.boxes.size(), 1u) << boxes.Texts().join(QLatin1Char('|')).toStdString();

    Close();
    Restart();
    ASSERT_EQ(Lines(kTwoLines).size(), 2u);
    EXPECT_EQ(Lines(kTwoLines)[0], Line({"8", "", "3500", "", "", "", "", "", "2"}));
    EXPECT_EQ(Lines(kTwoLines)[1], Line({"8", "1", "150", "", "1"}));
    EXPECT_EQ(Lines(kTwoLines)[1].sum, 15'000.0); // hundredths of a percent
}

#endif
