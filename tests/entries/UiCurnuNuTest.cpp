// The current accruals and deductions on the demo base, driven by keys: rows
// added, edited and deleted, F4/F3 over the employees with rows, the view
// closed; a bonus appended to a marked group at once, the month computed and
// the bonus found among the results; marked rows corrected and deleted; the
// 28- and 60-row refusals; a screenshot of the filled grid.
#include "DemoFirm.h"
#include "entries/CurnuNuEntry.h"
#include "entries/ui/CCurnuNuDlg.h"
#include "entries/ui/CCurnuNuView.h"
#include "masterdata/DemoScreenWorld.h"
#include "payroll/CalcThread.h"
#include "payroll/FixtureBaseFile.h"
#include "platform/TaskThread.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldHelp.h"
#include "support/RefusingTrigger.h"
#include "support/ScreenText.h"
#include "support/SlotArrays.h"

#include <QDir>

#include <algorithm>

#ifdef KALVOR_DATA_DIR

using namespace employeetest;
namespace en = kalvor::entries;

namespace {

class CurnuNuScreen : public DemoScreenWorld {
protected:
    void Open()
    {
        view = DemoScreenWorld::Open<CCurnuNuView>();
        ASSERT_NE(view, nullptr);
        grid = view->Dlg()->Grid();
    }
    void Apply(int tabN) { DemoScreenWorld::Apply(view->Strip(), tabN); }
    // The group of these employees, the template row typed, Enter, and the
    // question answered by that button (0: no question is asked).
    void Group(const QStringList& tabNs, const QStringList& row, int button)
    {
        MarkGroup(view, view->Strip(), tabNs);
        ASSERT_TRUE(view->Dlg()->m_groupMode);
        TypeRow(1, row);
        grid->setFocus();
        if (button != 0)
            AnswerGroupDialog(button);
        PressKey(Qt::Key_Return);
        Settle();
        ASSERT_TRUE(ShowActive(frame.get()));
    }
    void TypeRow(int row, const QStringList& cells)
    {
        for (int col = 0; col < cells.size(); ++col)
            if (!cells[col].isEmpty())
                TypeCell(grid, row, col, cells[col]);
    }
    QStringList Cells(int row) const { return view->Dlg()->RowCells(row); }
    int DataRows() const { return grid->GetRowCount() - grid->GetFixedRowCount(); }
    // The stored current rows of an employee (loads him).
    en::ProizvRows Rows(int tabN)
    {
        ib::LoadEmployee(doc->infoBase, Slot(tabN));
        return en::CurrentRows(doc->infoBase.current, doc->infoBase.attributesOf(Slot(tabN)));
    }
    static ib::ProizvRow Row(int kod, double sum, int shop = 0)
    {
        ib::ProizvRow r;
        r.mes = 4;
        r.kod = ib::u16(kod);
        r.sum = sum;
        r.otd = ib::u8(shop);
        return r;
    }
    CCurnuNuView* view = nullptr;
    CFldHlpGridCtrl* grid = nullptr;
};

} // namespace

TEST_F(CurnuNuScreen, RowsAddedEditedAndDeletedAreInTheBaseAfterReopening)
{
    MessageRecorder boxes;
    Open();
    EXPECT_EQ(doc->LastEntryScreen, 2u);
    Apply(114);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Начисления / Удержания  [Дьяконов П. Е.]"));
    ASSERT_EQ(DataRows(), 2);
    EXPECT_EQ(Cells(1)[1], QStringLiteral("1")); // the piece work of the month
    EXPECT_EQ(Cells(2), QStringList({"4", "7", "4000.00", "", "", "", "2"}));

    TypeCell(grid, 2, 2, QStringLiteral("4500"));
    auto* add = view->Dlg()->controlAs<QPushButton>(CCurnuNuDlg::IdAdd);
    auto* remove = view->Dlg()->controlAs<QPushButton>(CCurnuNuDlg::IdDelete);
    QTest::mouseClick(add, Qt::LeftButton);
    TypeRow(3, {"4", "907", "300", "", "", "", "2"});
    QTest::mouseClick(add, Qt::LeftButton);
    TypeRow(4, {"4", "8", "100"});
    QTest::mouseClick(add, Qt::LeftButton); // left empty: dropped
    grid->SetFocusCell(4, 0);
    QTest::mouseClick(remove, Qt::LeftButton);
    ASSERT_EQ(DataRows(), 4);

    // F4 passes over the employees without rows, F3 comes back.
    const ib::CInfoBase& base = doc->infoBase;
    int next = base.FindEmployee(114) + 1;
    while (base.attributesOf(base.list[std::size_t(next)].slot).kvProizv == 0) ++next;
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(base.list[std::size_t(next)].tabN()));
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, 114u);
    ASSERT_EQ(DataRows(), 3);
    EXPECT_EQ(Cells(2), QStringList({"4", "7", "4500.00", "", "", "", "2"}));
    EXPECT_EQ(Cells(3), QStringList({"4", "907", "300.00", "", "", "", "2"}));

    // Esc saves (the empty row goes) and gives the focus to the strip.
    TypeCell(grid, 3, 3, QStringLiteral("2"));
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(DataRows(), 4);
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(DataRows(), 3);
    EXPECT_EQ(QApplication::focusWidget(), view->Strip()->Field(CTabelFilterDlg::IdTabN));

    // A number not in the list keeps 114.
    Apply(999);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("В поле \"Табельный номер\" указан номер, которого нет в справочнике \"Список сотрудников\": %1").arg(999)));
    EXPECT_EQ(view->m_tabN, 114u);
    EXPECT_EQ(DataRows(), 3);

    // Edits made just before the view closes are kept.
    Apply(114);
    TypeCell(grid, 2, 4, QStringLiteral("3,30"));
    Close();
    EXPECT_EQ(boxes.boxes.size(), 1u) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    Restart();
    ib::ProizvRow damage = Row(907, 30000, 2);
    damage.dn = 2;
    const en::ProizvRows rows = Rows(114);
    ASSERT_EQ(rows.size(), 3u);
    ib::ProizvRow bonus = Row(7, 450000, 2);
    bonus.hr = 3;
    bonus.min = 30;
    EXPECT_EQ(rows[1], bonus);
    EXPECT_EQ(rows[2], damage);
}

// The base refuses the employee's rows (a trigger on the month's input
// rows): the box names him and gives the trigger's words in a few lines,
// without the statement; the rows typed stay on the screen, the base keeps
// his old ones and memory's lists are the base's. Once the base takes them,
// the rows are stored.
TEST_F(CurnuNuScreen, ARefusedSaveNamesTheEmployeeAndTheBasesOwnLine)
{
    MessageRecorder boxes;
    Open();
    Apply(114);
    const QString words = QStringLiteral("Начисления за апрель закрыты");
    {
        const kalvor::testsupport::RefusingTrigger refusal(ib::Db(doc->infoBase), QStringLiteral("proizv"), words);
        TypeCell(grid, 2, 2, QStringLiteral("4500"));
        PressKey(Qt::Key_Escape);
    }
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nДанные работника Таб.N 114 Дьяконов П. Е. не "
                                                  "сохранены.\nБаза данных отказала в записи: %1")
                                       .arg(words));
    EXPECT_TRUE(kalvor::testsupport::SaysNoStatement(boxes.boxes[0].text));
    EXPECT_EQ(Cells(2)[2], QStringLiteral("4500.00"));
    EXPECT_EQ(Rows(114)[1], Row(7, 400000, 2));
    // Memory's lists are the ones the base holds.
    kalvor::PayrollDoc stored;
    payrolltest::ReloadStored(stored, doc->infoBase);
    EXPECT_EQ(stored.infoBase.list, doc->infoBase.list);
    EXPECT_EQ(EveryAttributes(stored.infoBase), EveryAttributes(doc->infoBase));
    ib::CloseBase(stored.infoBase);
    // Once the base takes it, the same edit is stored.
    Apply(114);
    TypeCell(grid, 2, 2, QStringLiteral("4500"));
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(boxes.boxes.size(), 1u) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Rows(114)[1], Row(7, 450000, 2));
}

TEST_F(CurnuNuScreen, AnAmountTakesADecimalCommaAndOneThatDoesNotReadIsRefused)
{
    MessageRecorder boxes;
    Open();
    Apply(114);
    ASSERT_EQ(DataRows(), 2);
    TypeCell(grid, 2, 2, QStringLiteral("1500,50"));
    PressKey(Qt::Key_Escape);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Rows(114)[1].sum, 150050); // 1,500.50 roubles

    Apply(114);
    EXPECT_EQ(Cells(2)[2], QStringLiteral("1500.50"));
    // Refused as it is typed: the cell keeps its amount, the editor stays on it.
    TypeCell(grid, 2, 2, QStringLiteral("1500,50,1"));
    Settle();
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Некорректное число в поле \"Сумма\": 1500,50,1")});
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
    EXPECT_EQ(Cells(2)[2], QStringLiteral("1500.50"));
    ASSERT_NE(grid->GetEditor(), nullptr);
    EXPECT_EQ(grid->GetEditor()->text(), QStringLiteral("1500,50,1"));
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(Rows(114)[1].sum, 150050);
    TypeCell(grid, 2, 2, QStringLiteral("1 500,5"));
    Close();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(Rows(114)[1].sum, 150050);
}

TEST_F(CurnuNuScreen, AMarkedGroupGetsABonusAtOnceThatTheCalculationPays)
{
    MessageRecorder boxes;
    Open();
    Apply(101);
    Group({"101", "121", "130"}, {"4", "8", "1000"}, 1571);
    EXPECT_FALSE(view->Dlg()->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    Close();

    // The month computed: the bonus is among each member's results.
    kalvor::platform::TaskThread thread;
    kalvor::CalcThreadParams params;
    params.document = doc.get();
    ASSERT_TRUE(thread.start(params, &kalvor::CalculationThreadProc));
    ASSERT_TRUE(WaitFor([&] { return !thread.isRunning(); }, 60'000));
    Settle();
    Restart();
    for (int tabN : {101, 121, 130}) {
        SCOPED_TRACE(tabN);
        const en::ProizvRows rows = Rows(tabN);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0], Row(8, 100000));
        const auto& all = doc->infoBase.current.rows;
        const auto paid = std::count_if(all.begin() + long(rows.size()), all.begin() + 60,
                                        [](const ib::AccrualRow& r) { return r.kod == 8 && r.sum == 100000; });
        EXPECT_EQ(paid, 1);
        EXPECT_TRUE(std::any_of(all.begin() + long(rows.size()), all.begin() + 60,
                                [](const ib::AccrualRow& r) { return r.kod == 902; }));
    }
    EXPECT_EQ(Rows(130).back(), Row(907, 125000, 3)); // after his piece work
}

TEST_F(CurnuNuScreen, MarkedRowsAreCorrectedAndDeletedOnlyWhereTheyMatch)
{
    MessageRecorder boxes;
    Open();
    Apply(101);
    Group({"101", "121", "130"}, {"4", "8", "1000"}, 1571);

    // Marking: 101 and 121 hold the row, 125 does not; the next Enter corrects.
    Group({"101", "121", "125"}, {"4", "8", "1000"}, 1383);
    EXPECT_TRUE(view->Dlg()->m_groupMode);
    EXPECT_EQ(view->Dlg()->PendingOperation(), 503);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Записи, содержащие введенные данные, будут изменены.Укажите "
                                                  "теперь, как именно Вы хотите их корректировать."));
    EXPECT_EQ(DataRows(), 1);
    TypeRow(1, {"4", "8", "1200", "", "", "", "2"});
    grid->setFocus();
    PressKey(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(view->Dlg()->m_groupMode);

    // Delete: only 121's first match goes; 130's 1,000 does not match.
    Group({"121", "130", "125"}, {"4", "8", "1200", "", "", "", "2"}, 1061);
    Close();
    Restart();
    EXPECT_EQ(Rows(101), en::ProizvRows({Row(8, 120000, 2)}));
    EXPECT_EQ(Rows(121), en::ProizvRows({Row(21, -42050, 2)}));
    const en::ProizvRows chernov = Rows(130);
    ASSERT_EQ(chernov.size(), 3u);
    EXPECT_EQ(chernov.front(), Row(8, 100000));
    EXPECT_EQ(chernov.back(), Row(907, 125000, 3));
    const en::ProizvRows titov = Rows(125);
    ASSERT_EQ(titov.size(), 1u);
    EXPECT_EQ(titov[0].kod, 5);
}

TEST_F(CurnuNuScreen, TwentyEightRowsAndTheSixtiethRowAreNeverExceeded)
{
    MessageRecorder boxes;
    ib::CInfoBase& base = doc->infoBase;
    // 140 has 28 rows already; 141's calculated rows reach the 60th row.
    ib::LoadEmployee(base, Slot(140));
    ASSERT_TRUE(en::StoreCurrentRows(base, Slot(140), en::ProizvRows(28, Row(8, 100))).written);
    ib::LoadEmployee(base, Slot(141));
    base.current.rows[59] = Row(902, 5000);
    ib::SaveEmployee(base, Slot(141));

    Open();
    Apply(141);
    auto* add = view->Dlg()->controlAs<QPushButton>(CCurnuNuDlg::IdAdd);
    for (int i = 0; i < 30; ++i) QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(DataRows(), en::kCurnuMaxRows);
    TypeRow(1, {"4", "8", "500"});
    PressKey(Qt::Key_F4);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("Количество оплат и удержаний в з/п больше 28")));
    EXPECT_EQ(view->m_tabN, 141u);
    EXPECT_EQ(Cells(1)[2], QStringLiteral("500.00")); // the edits stay as read
    EXPECT_EQ(base.attributesOf(Slot(141)).kvProizv, 0);

    // A group append skips 140 and names him; 139 gets the row.
    boxes.boxes.clear();
    grid->DeleteNonFixedRows();
    Group({"139", "140"}, {"4", "8", "700"}, 1571);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("Количество оплат и удержаний в з/п больше 28")));
    EXPECT_TRUE(boxes.boxes[0].text.endsWith(base.shortNameOf(Slot(140))));
    Close();
    Restart();
    EXPECT_EQ(Rows(139)[0], Row(8, 70000));
    EXPECT_EQ(Rows(140), en::ProizvRows(28, Row(8, 100)));
}

TEST_F(CurnuNuScreen, FieldHelpByColumnAndAScreenshotOfTheFilledGrid)
{
    MessageRecorder boxes;
    Open();
    Apply(125);
    EXPECT_EQ(Cells(1), QStringList({"4", "5", "1500.00", "2", "16,0", "200100030015", "3"}));
    EXPECT_EQ(CCurnuNuView::MonthLines().first(), QStringLiteral("1|Январь"));
    EXPECT_EQ(CCurnuNuView::MonthLines().last(), QStringLiteral("12|Декабрь"));
    grid->setFocus();
    grid->SetFocusCell(1, 2);
    view->m_focusedId = CCurnuNuDlg::IdGrid;
    view->m_focusedGrid = grid;
    view->m_gridRow = 1;
    view->m_gridCol = 2;
    view->ShowFormHelp();
    auto* hint = view->findChild<CHintWnd*>();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->text().startsWith(QStringLiteral("Введите число в формате: РРРРРРР.КК")));
    QTest::keyClick(grid, Qt::Key_Shift);
    Settle();
    // Kinds marked in the code column's list (110 and 150 are personnel
    // numbers too) make no group.
    view->m_focusedWnd = grid;
    view->TakeHelpValues({QStringLiteral("110"), QStringLiteral("150")});
    EXPECT_FALSE(view->Dlg()->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    Screenshot(frame.get(), QStringLiteral("current-accruals.png"));
    EXPECT_TRUE(boxes.boxes.empty());
}

#endif
