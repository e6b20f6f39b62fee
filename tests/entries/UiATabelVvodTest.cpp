// The alternative time sheet on the demo base, driven by keys: opened by its
// quick button on the employee shown last, a line inserted with F8 and
// filled, one deleted with Alt+F10, F7 on an empty grid, a group deletion by
// code on three marked employees, the lines found in the base after
// reopening; an hourly second-job line paid by the month's calculation; a
// screenshot of the grid.
#include "DemoEntryWorld.h"
#include "entries/AltTabelLines.h"
#include "entries/ui/CATabelVvodDlg.h"
#include "entries/ui/CATabelVvodView.h"
#include "payroll/CalcThread.h"
#include "platform/TaskThread.h"
#include "support/ScreenText.h"

#ifdef KALVOR_DATA_DIR

using namespace entrytest;
namespace en = kalvor::entries;

namespace {

constexpr int kSecondJob = 113; // 40 hours at 120.500 an hour
constexpr int kHarmfulWork = 115; // 4,000 a month for the main sheet's days
constexpr int kEveningReversal = 121; // six evening hours taken back

class ATabelScreen : public DemoEntryWorld {
protected:
    void OpenByQuickButton(int tabN)
    {
        CommandInfo quick;
        quick.id = 10012;
        quick.caption = QStringLiteral("Ввод альтерн. табеля");
        quick.panel = -1;
        quick.quickButton = true;
        quick.quickOpen = 1;
        quick.needsBase = false; // the test opens the base without the program's base service
        quick.makeView = [](CKalvorDoc* d) -> CCommonFormView* { return new CATabelVvodView(d); };
        registry.AddCommand(quick);
        doc->LastPersonnelNumber = unsigned(tabN);
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1240, 900);
        ASSERT_TRUE(ShowActive(frame.get()));
        ASSERT_TRUE(frame->RunCommand(10012));
        Settle();
        view = qobject_cast<CATabelVvodView*>(frame->findChild<CATabelVvodView*>());
        ASSERT_NE(view, nullptr);
        grid = view->Dlg()->Grid();
    }
    QStringList Cells(int row) const { return view->Dlg()->RowCells(row); }
    int DataRows() const { return grid->GetRowCount() - grid->GetFixedRowCount(); }
    std::vector<ib::AltTabelEntry> Lines(int tabN) const { return en::AltTabelLines(doc->infoBase, Slot(tabN)); }
    static ib::AltTabelEntry Line(const QStringList& cells)
    {
        ib::AltTabelEntry line;
        en::ReadAltTabelEntry(cells, line);
        return line;
    }
    void SelectRow(int row)
    {
        grid->setFocus();
        grid->SetFocusCell(row, 0);
        grid->SetSelectedRange(row, 0, row, grid->GetColumnCount() - 1);
        QApplication::processEvents();
    }

    CATabelVvodView* view = nullptr;
    CFldHlpGridCtrl* grid = nullptr;
};

} // namespace

TEST_F(ATabelScreen, LinesInsertedFilledAndDeletedByKeysAreInTheBaseAfterReopening)
{
    MessageRecorder boxes;
    OpenByQuickButton(kSecondJob);
    EXPECT_EQ(doc->LastEntryScreen, 7u);
    EXPECT_EQ(view->m_tabN, unsigned(kSecondJob));
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Альтернативный табель  [%1]").arg(ShortName(kSecondJob)));
    ASSERT_EQ(DataRows(), 1);
    EXPECT_EQ(Cells(1), QStringList({"3", "", "40,0", "", "120.500", "", "", "", "4", ""}));

    // F8 after the line: a new empty second line, filled by keys.
    SelectRow(1);
    PressKey(Qt::Key_F8);
    ASSERT_EQ(DataRows(), 2);
    EXPECT_EQ(grid->GetFocusCell().row, 2);
    TypeCell(grid, 2, 0, QStringLiteral("9"));
    TypeCell(grid, 2, 1, QStringLiteral("*"));
    TypeCell(grid, 2, 3, QStringLiteral("2000"));
    // F7 before the first, then deleted by Alt+F10.
    SelectRow(1);
    PressKey(Qt::Key_F7);
    ASSERT_EQ(DataRows(), 3);
    TypeCell(grid, 1, 0, QStringLiteral("5"));
    SelectRow(1);
    PressKey(Qt::Key_F10, Qt::AltModifier);
    ASSERT_EQ(DataRows(), 2);
    EXPECT_EQ(Cells(1)[0], QStringLiteral("3"));

    // F4 saves; "*" comes back as "**".
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kSecondJob + 1));
    PressKey(Qt::Key_F3);
    ASSERT_EQ(DataRows(), 2);
    EXPECT_EQ(Cells(2), QStringList({"9", "**", "", "2000.00", "", "", "", "", "", ""}));

    // F7 on an employee without lines makes the first one; left empty, it
    // stays a line until deleted.
    Apply(view->Strip(), 102);
    ASSERT_EQ(DataRows(), 0);
    grid->setFocus();
    PressKey(Qt::Key_F7);
    ASSERT_EQ(DataRows(), 1);

    // A number not in the list keeps the employee.
    Apply(view->Strip(), 999);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("В поле \"Табельный номер\" указан номер, которого нет в справочнике \"Список сотрудников\": %1").arg(999)));
    EXPECT_EQ(view->m_tabN, 102u);
    EXPECT_EQ(DataRows(), 1);

    // Edits made just before the view closes are kept.
    Apply(view->Strip(), 102);
    TypeCell(grid, 1, 0, QStringLiteral("18"));
    EXPECT_EQ(Cells(1)[0], QStringLiteral("18"));
    Close();
    Restart();
    ib::AltTabelEntry hourly = Line({"3", "", "40,0", "", "120.5", "", "", "", "4"});
    EXPECT_EQ(Lines(kSecondJob), std::vector<ib::AltTabelEntry>({hourly, Line({"9", "**", "", "2000"})}));
    EXPECT_EQ(Lines(102), std::vector<ib::AltTabelEntry>({Line({"18"})}));
    // The later employees' lines are where their index says.
    EXPECT_EQ(Lines(kHarmfulWork)[0].kod, 9);
    EXPECT_EQ(Lines(kEveningReversal)[0].storno, 1);
}

// Employee 115's line "9 | ** | | 4000.00" pays 4,000 on the main sheet's
// days. Texts a cell does not take are refused at once naming the column
// (days 40, 12,5 and 2O with a letter O, a code past 995, month 13, 300 hours,
// 8,75 hours:minutes, a percent of 300 or -5, shop 251 and one not in the
// book): the cell keeps what it stored, the editor stays on it with the text,
// and the line is stored as it was.
TEST_F(ATabelScreen, TheMainSheetDaysLineSurvivesTextsItsCellsRefuse)
{
    MessageRecorder boxes;
    OpenByQuickButton(kHarmfulWork);
    ASSERT_EQ(DataRows(), 1);
    const QStringList shown = Cells(1);
    ASSERT_EQ(shown.mid(0, 4), QStringList({"9", "**", "", "4000.00"}));
    const ib::AltTabelEntry stored = Lines(kHarmfulWork).at(0);
    const struct {
        int column;
        const char* text;
        const char* named;
    } refused[] = {{1, "2O", "Дни"},       {1, "40", "Дни"},        {1, "12,5", "Дни"},
                   {0, "999", "Код"},      {8, "13", "Месяц"},      {2, "300", "Часы"},
                   {2, "8,75", "Часы"},    {5, "300", "% оплаты"},  {5, "-5", "% оплаты"},
                   {6, "251", "Цех"},      {6, "249", "Цех/Отдел"}, {0, "500", "Оплаты/Удержания"}};
    for (const auto& cell : refused) {
        const std::size_t said = boxes.boxes.size();
        TypeCell(grid, 1, cell.column, QString::fromUtf8(cell.text));
        Settle();
        ASSERT_EQ(boxes.boxes.size(), said + 1) << cell.text;
        EXPECT_TRUE(boxes.boxes.back().text.contains(QString::fromUtf8(cell.named))) << boxes.boxes.back().text.toStdString();
        EXPECT_EQ(Cells(1), shown) << cell.text;
        ASSERT_NE(grid->GetEditor(), nullptr) << cell.text;
        EXPECT_EQ(grid->GetEditor()->text(), QString::fromUtf8(cell.text));
        EXPECT_EQ(QApplication::focusWidget(), grid->GetEditor());
        PressKey(Qt::Key_Escape);
    }
    // "7,30" is taken; the line is stored as it shows once the employee is left.
    TypeCell(grid, 1, 2, QStringLiteral("7,30"));
    PressKey(Qt::Key_F4);
    PressKey(Qt::Key_F3);
    ASSERT_EQ(view->m_tabN, unsigned(kHarmfulWork));
    const std::vector<ib::AltTabelEntry> lines = Lines(kHarmfulWork);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].kod, 9);
    EXPECT_EQ(lines[0].dn, en::kMainSheetDays);
    EXPECT_DOUBLE_EQ(lines[0].sumOklad, 400000);
    EXPECT_EQ(lines[0].hr, 7);
    EXPECT_EQ(lines[0].min, 30);
    ib::AltTabelEntry others = lines[0];
    others.hr = stored.hr;
    others.min = stored.min;
    EXPECT_TRUE(others == stored);
    EXPECT_EQ(boxes.boxes.size(), std::size(refused));
}

TEST_F(ATabelScreen, AGroupDeletionByCodeRemovesTheFirstMatchOfEachMember)
{
    MessageRecorder boxes;
    OpenByQuickButton(kHarmfulWork);
    // 113 and 115 have a line of code 9 after this append; 121 does not.
    MarkGroup(view, view->Strip(), {QString::number(kSecondJob), QString::number(kHarmfulWork)});
    ASSERT_TRUE(view->Dlg()->m_groupMode);
    TypeCell(grid, 1, 0, QStringLiteral("9"));
    TypeCell(grid, 1, 2, QStringLiteral("8"));
    grid->setFocus();
    AnswerGroupDialog(1571);
    PressKey(Qt::Key_Return);
    Settle();
    ASSERT_TRUE(ShowActive(frame.get()));
    EXPECT_FALSE(view->Dlg()->m_groupMode);
    ASSERT_EQ(Lines(kHarmfulWork).size(), 2u);

    MarkGroup(view, view->Strip(),
              {QString::number(kSecondJob), QString::number(kHarmfulWork), QString::number(kEveningReversal)});
    TypeCell(grid, 1, 0, QStringLiteral("9"));
    grid->setFocus();
    AnswerGroupDialog(1061);
    PressKey(Qt::Key_Return);
    Settle();
    ASSERT_TRUE(ShowActive(frame.get()));
    EXPECT_FALSE(view->Dlg()->m_groupMode);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    Close();
    Restart();
    EXPECT_EQ(Lines(kSecondJob), std::vector<ib::AltTabelEntry>({Line({"3", "", "40", "", "120.5", "", "", "", "4"})}));
    EXPECT_EQ(Lines(kHarmfulWork), std::vector<ib::AltTabelEntry>({Line({"9", "", "8"})}));
    EXPECT_EQ(Lines(kEveningReversal).size(), 1u);
}

TEST_F(ATabelScreen, TheSixteenthLineIsRefusedAndAGroupAppendNamesTheFullMember)
{
    MessageRecorder boxes;
    ib::CInfoBase& base = doc->infoBase;
    base.altTabel.replaceRun(Slot(103), std::vector<ib::AltTabelEntry>(15, Line({"18", "1"})));
    en::StoreAltTabel(base);
    OpenByQuickButton(103);
    ASSERT_EQ(DataRows(), 15);
    SelectRow(15);
    PressKey(Qt::Key_F8);
    EXPECT_EQ(DataRows(), 15);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена.")));

    boxes.boxes.clear();
    MarkGroup(view, view->Strip(), {"103", "104"});
    TypeCell(grid, 1, 0, QStringLiteral("19"));
    grid->setFocus();
    AnswerGroupDialog(1571);
    PressKey(Qt::Key_Return);
    Settle();
    ASSERT_TRUE(ShowActive(frame.get()));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена.\n"
                                                  "Запись не добавлена:\n") +
                                       ShortName(103));
    Close();
    Restart();
    EXPECT_EQ(Lines(103).size(), 15u);
    EXPECT_EQ(Lines(104), std::vector<ib::AltTabelEntry>({Line({"19"})}));
}

TEST_F(ATabelScreen, AnHourlySecondJobLineIsPaidByTheMonthsCalculation)
{
    MessageRecorder boxes;
    OpenByQuickButton(104);
    grid->setFocus();
    PressKey(Qt::Key_F7);
    TypeCell(grid, 1, 0, QStringLiteral("3"));
    TypeCell(grid, 1, 2, QStringLiteral("20"));
    TypeCell(grid, 1, 4, QStringLiteral("150.25"));
    Close();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    kalvor::platform::TaskThread thread;
    kalvor::CalcThreadParams params;
    params.document = doc.get();
    ASSERT_TRUE(thread.start(params, &kalvor::CalculationThreadProc));
    ASSERT_TRUE(WaitFor([&] { return !thread.isRunning(); }, 60'000));
    Settle();
    Restart();
    auto paid = [&](int tabN, int kod) {
        const auto& rows = Stored(tabN).rows;
        double sum = 0;
        for (std::size_t i = 0; i < 60; ++i)
            if (rows[i].kod == kod && rows[i].mes == 4)
                sum += rows[i].sum;
        return sum;
    };
    EXPECT_DOUBLE_EQ(paid(104, 3), 300500); // 20 hours at 150.25
    EXPECT_DOUBLE_EQ(paid(kSecondJob, 3), 482000); // 40 hours at 120.50
    EXPECT_GT(paid(kHarmfulWork, 9), 0);
    EXPECT_LT(paid(kEveningReversal, 21), 0);
}

TEST_F(ATabelScreen, FieldHelpByColumnAndAScreenshotOfTheGrid)
{
    MessageRecorder boxes;
    OpenByQuickButton(kSecondJob);
    SelectRow(1);
    PressKey(Qt::Key_F8);
    TypeCell(grid, 2, 0, QStringLiteral("9"));
    TypeCell(grid, 2, 1, QStringLiteral("**"));
    TypeCell(grid, 2, 3, QStringLiteral("4000"));
    TypeCell(grid, 2, 7, QStringLiteral("200100030015"));
    TypeCell(grid, 2, 9, QStringLiteral("1"));
    grid->setFocus();
    grid->SetFocusCell(2, 1);
    view->m_focusedId = CATabelVvodDlg::IdGrid;
    view->m_focusedGrid = grid;
    view->m_gridRow = 2;
    view->m_gridCol = 1;
    view->ShowFormHelp();
    auto* hint = view->findChild<CHintWnd*>();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->text().contains(QStringLiteral("Если вы укажете звездочку(*)")));
    QTest::keyClick(grid, Qt::Key_Shift);
    Settle();
    EXPECT_EQ(CATabelVvodView::MinusLines().size(), 2);
    Screenshot(frame.get(), QStringLiteral("alternative-time-sheet.png"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

#endif
