// The archive with dates by keys over a fixture base: the dated entries of an
// employee in the grid, F7/F8 inserting before and after the selected row (and
// appending without a single selected row), Alt+F10 deleting, typed rows saved
// by Esc into dbo.warDat with the rows without a valid code dropped, leaving
// the screen saving first, and typed personnel numbers that are refused.
#include "EmployeeScreensWorld.h"
#include "support/ScreenText.h"

#include "grid/GridCell.h"

#include "masterdata/ui/CWorkerDatArchiveView.h"
#include "masterdata/ui/CWorkerDatarchiveDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

using namespace employeetest;

namespace {

ib::WarDatEntry Dated(int startDay, int endDay, int month, int code, double sum, bool continues = false)
{
    ib::WarDatEntry e;
    e.start = kalvor::PackedDate::make(startDay, month, 26).value;
    e.end = kalvor::PackedDate::make(endDay, month, 26).value;
    e.mes = ib::u16(month);
    e.god = 26;
    e.kod = ib::u16(code);
    e.sum = sum;
    e.contin = continues ? 1 : 0;
    return e;
}

class UiDatedArchive : public World {
protected:
    void SetUp() override
    {
        World::SetUp();
        // The second employee has three dated entries.
        ib::LoadEmployee(base(), slotOf(1));
        base().warDat.entries[0] = Dated(2, 6, 2, 156, 500'000);
        base().warDat.entries[1] = Dated(9, 13, 2, 155, 250'000, true);
        base().warDat.entries[2] = Dated(16, 20, 2, 600, 0);
        base().warDat.warDatKv = 3;
        ib::SaveEmployeeFull(base(), slotOf(1));
        base().ClearCurrentRecord();

        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1200, 760);
        ASSERT_TRUE(ShowActive(frame.get()));
        view = frame->SwitchView<CWorkerDatArchiveView>();
        ASSERT_NE(view, nullptr);
        Settle();
        grid = view->Dlg()->Grid();
    }

    int slotOf(int listIndex) { return base().list[std::size_t(listIndex)].slot; }
    QStringList Codes()
    {
        QStringList codes;
        for (int row = 1; row < grid->GetRowCount(); ++row) codes << grid->GetItemText(row, 3);
        return codes;
    }
    // Selects a data row by keys: the first row, then Down.
    void SelectRow(int row)
    {
        grid->setFocus();
        grid->SetFocusCell(1, 1);
        PressKey(Qt::Key_Home, Qt::ControlModifier);
        for (int i = 1; i < row; ++i) PressKey(Qt::Key_Down);
        ASSERT_EQ(grid->GetSelectedCellRange().minRow, row);
        ASSERT_EQ(grid->GetSelectedCellRange().maxRow, row);
    }

    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    CWorkerDatArchiveView* view = nullptr;
    CFldHlpGridCtrl* grid = nullptr;
};

} // namespace

TEST_F(UiDatedArchive, InsertDeleteAndEscSaveTheGridIntoTheDatedArchive)
{
    MessageRecorder boxes;
    ApplyNumber(view->Strip(), tabN(1));
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Архив с датами [%1]").arg(base().shortNameOf(slotOf(1))));
    ASSERT_EQ(grid->GetRowCount(), 4);
    EXPECT_EQ(view->Dlg()->RowCells(2), (QStringList{"09.02.26", "13.02.26", "02.26", "155", "2500.00", "1"}));
    EXPECT_EQ(grid->GetCell(1, 4)->GetFormat() & GridCtrl::DT_RIGHT, unsigned(GridCtrl::DT_RIGHT));

    // F7 with row 2 selected: a new row 2; F8 with the last row selected: appended.
    SelectRow(2);
    PressKey(Qt::Key_F7);
    EXPECT_EQ(Codes(), (QStringList{"156", "", "155", "600"}));
    EXPECT_EQ(grid->GetFocusCell().row, 2);
    EXPECT_EQ(grid->GetRowHeight(2), grid->GetRowHeight(0));
    TypeCell(grid, 2, 0, QStringLiteral("7.2.2026"));
    TypeCell(grid, 2, 1, QStringLiteral("8.2.26"));
    TypeCell(grid, 2, 2, QStringLiteral("02.26"));
    TypeCell(grid, 2, 3, QStringLiteral("16"));
    TypeCell(grid, 2, 4, QStringLiteral("-150.5"));
    SelectRow(4);
    PressKey(Qt::Key_F8);
    EXPECT_EQ(Codes(), (QStringList{"156", "16", "155", "600", ""}));
    // Out of range: refused at once, the row stays empty (dropped on saving).
    TypeCell(grid, 5, 3, QStringLiteral("996"));
    Settle();
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("Значение поля \"Код\" должно быть от 0 до 995: 996")));
    PressKey(Qt::Key_Escape);
    boxes.boxes.clear();
    // F8 with row 1 selected inserts after it; the row stays empty (dropped).
    SelectRow(1);
    PressKey(Qt::Key_F8);
    EXPECT_EQ(Codes(), (QStringList{"156", "", "16", "155", "600", ""}));
    // Alt+F10 deletes the selected row: the 600 entry goes.
    SelectRow(5);
    PressKey(Qt::Key_F10, Qt::AltModifier);
    EXPECT_EQ(Codes(), (QStringList{"156", "", "16", "155", ""}));

    // Esc saves: three entries, closed up, in grid order.
    grid->setFocus();
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(grid->GetRowCount(), 1);
    EXPECT_TRUE(view->Strip()->Field(CTabelFilterDlg::IdTabN)->hasFocus());
    EXPECT_EQ(Column("warDat", "kod", 1), (QStringList{"156", "16", "155"}));
    EXPECT_EQ(Column("warDat", "num", 1), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(Column("warDat", "sum", 1).value(1), QStringLiteral("-15050.00"));
    EXPECT_EQ(Column("warDat", "g1", 1).value(1), QStringLiteral("2026"));
    EXPECT_EQ(Column("warDat", "d2", 1).value(1), QStringLiteral("8"));
    EXPECT_EQ(Column("warDat", "contin", 1), (QStringList{"0", "0", "1"}));
    EXPECT_EQ(base().warDat.warDatKv, 3);
    // After Esc the emptied grid is nobody's: F4 saves nothing over him.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(Column("warDat", "kod", 1), (QStringList{"156", "16", "155"}));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

// A row inserted before the first, "Код" 4 typed and left by Tab (the
// editor goes on to "Сумма"), then Esc, Esc: the editor's Esc puts its cell
// back, the next gives the row up, no entry yet, and the employee stays with
// the rows the base holds, nothing stored; the Esc after it saves what the
// grid shows and leaves, and the employee shown again has no row of code 4.
TEST_F(UiDatedArchive, ARowTypedAnewAndGivenUpByEscIsNotStored)
{
    MessageRecorder boxes;
    ApplyNumber(view->Strip(), tabN(1));
    const QStringList stored{"156", "155", "600"};
    SelectRow(1);
    QTest::mouseClick(view->Dlg()->control(CWorkerDatarchiveDlg::IdInsertBefore), Qt::LeftButton);
    ASSERT_EQ(Codes(), (QStringList{"", "156", "155", "600"}));
    ASSERT_EQ(grid->GetFocusCell(), CCellID(1, 0));
    for (int step = 0; step < 3; ++step) PressKey(Qt::Key_Right);
    TypeKeys(QStringLiteral("4"));
    PressKey(Qt::Key_Tab);
    ASSERT_NE(grid->GetEditor(), nullptr);
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(Codes(), (QStringList{"4", "156", "155", "600"}));
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(Codes(), stored);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_EQ(Column("warDat", "kod", 1), stored);
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(grid->GetRowCount(), 1);
    EXPECT_EQ(Column("warDat", "kod", 1), stored);
    ApplyNumber(view->Strip(), tabN(1));
    EXPECT_EQ(Codes(), stored);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(UiDatedArchive, ImpossibleDatesAndReversedPeriodsAreRefusedAndNothingIsStored)
{
    MessageRecorder boxes;
    ApplyNumber(view->Strip(), tabN(1));
    SelectRow(3);
    PressKey(Qt::Key_F8);
    ASSERT_EQ(grid->GetRowCount(), 5);
    const QStringList stored{"156", "155", "600"};
    // February 2011 has no 31st day, and there is no month 13: refused as
    // they are typed, the cells keep what they held.
    TypeCell(grid, 4, 0, QStringLiteral("31.02.11"));
    Settle();
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Некорректная дата в поле \"Дата начала\": 31.02.11")});
    EXPECT_EQ(grid->GetItemText(4, 0), QString());
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 0));
    PressKey(Qt::Key_Escape);
    TypeCell(grid, 4, 2, QStringLiteral("13.11"));
    Settle();
    EXPECT_EQ(boxes.Texts().value(1), QStringLiteral("Некорректный месяц в поле \"Месяц (из архива)\": 13.11\n"
                                                     "Месяц вводится как ММ.ГГГГ или ММ.ГГ"));
    EXPECT_EQ(grid->GetItemText(4, 2), QString());
    PressKey(Qt::Key_Escape);
    // The month keeps two digits of its year, as the dates do: 1930 would
    // come back as 2030, and the cell refuses it as the save does.
    TypeCell(grid, 4, 2, QStringLiteral("03.1930"));
    Settle();
    EXPECT_TRUE(
        boxes.Texts().value(2).startsWith(QStringLiteral("Некорректный месяц в поле \"Месяц (из архива)\": 03.1930\n")))
        << boxes.Texts().value(2).toStdString();
    EXPECT_EQ(grid->GetItemText(4, 2), QString());
    PressKey(Qt::Key_Escape);
    TypeCell(grid, 4, 1, QStringLiteral("14.03.11"));
    TypeCell(grid, 4, 3, QStringLiteral("87"));
    TypeCell(grid, 4, 4, QStringLiteral("1000,50"));
    // Nor is a start after the end taken.
    TypeCell(grid, 4, 0, QStringLiteral("15.03.11"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(boxes.Texts().value(3), QStringLiteral("Дата начала позже даты окончания: 15.03.11 - 14.03.11"));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_EQ(Column("warDat", "kod", 1), stored);
    TypeCell(grid, 4, 0, QStringLiteral("1.03.11"));

    TypeCell(grid, 4, 2, QStringLiteral("03.11"));
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(boxes.boxes.size(), 4u);
    EXPECT_EQ(Column("warDat", "kod", 1), (QStringList{"156", "155", "600", "87"}));
    EXPECT_EQ(Column("warDat", "sum", 1).value(3), QStringLiteral("100050.00"));
    EXPECT_EQ(Column("warDat", "d1", 1).value(3), QStringLiteral("1"));
}

TEST_F(UiDatedArchive, WithoutASingleSelectedRowBothInsertsAppend)
{
    MessageRecorder boxes;
    ApplyNumber(view->Strip(), tabN(1));
    grid->SetSelectedRange(1, 0, 2, 5); // two rows
    QTest::mouseClick(view->Dlg()->control(CWorkerDatarchiveDlg::IdInsertBefore), Qt::LeftButton);
    EXPECT_EQ(Codes(), (QStringList{"156", "155", "600", ""}));
    grid->SetSelectedRange(1, 0, 2, 5);
    QTest::mouseClick(view->Dlg()->control(CWorkerDatarchiveDlg::IdInsertAfter), Qt::LeftButton);
    EXPECT_EQ(Codes(), (QStringList{"156", "155", "600", "", ""}));
    // Delete needs one selected row.
    grid->SetSelectedRange(1, 0, 2, 5);
    QTest::mouseClick(view->Dlg()->control(CWorkerDatarchiveDlg::IdDeleteRow), Qt::LeftButton);
    EXPECT_EQ(grid->GetRowCount(), 6);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UiDatedArchive, LeavingAndSteppingSaveFirstAndUnknownNumbersLoadNothing)
{
    MessageRecorder boxes;
    ApplyNumber(view->Strip(), tabN(1));
    // Typed numbers that are no number, 0, or not in the list.
    const std::pair<const char*, QString> refusals[] = {
        {"xyz", QStringLiteral("Некорректное число в поле \"Табельный номер\": xyz")},
        {"0", QStringLiteral("Некорректный табельный номер")},
        {"4000", QStringLiteral("В поле \"Табельный номер\" указан номер, которого нет в справочнике "
                                "\"Список сотрудников\": 4000")}};
    for (const auto& [typed, said] : refusals) {
        boxes.boxes.clear();
        QLineEdit* field = view->Strip()->Field(CTabelFilterDlg::IdTabN);
        field->setFocus();
        field->selectAll();
        TypeKeys(QString::fromLatin1(typed));
        PressKey(Qt::Key_Return);
        ASSERT_EQ(boxes.Texts(), QStringList{said}) << typed;
        EXPECT_EQ(field->selectedText(), QString::fromLatin1(typed));
        EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
        EXPECT_EQ(grid->GetRowCount(), 4);
    }
    boxes.boxes.clear();
    ApplyNumber(view->Strip(), tabN(1)); // the strip took the focus: the entry is enabled again

    // The code of the first row cleared: F4 saves the two others and steps on.
    TypeCell(grid, 1, 3, QStringLiteral("0"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(2)));
    EXPECT_EQ(Column("warDat", "kod", 1), (QStringList{"155", "600"}));
    PressKey(Qt::Key_F3);
    EXPECT_EQ(Codes(), (QStringList{"155", "600"}));

    // A save the base refuses is shown and keeps the employee on the screen.
    QSqlQuery trigger(ib::Db(base()));
    ASSERT_TRUE(trigger.exec(QStringLiteral("CREATE TRIGGER dbo.no_dated BEFORE INSERT ON warDat "
                                            "BEGIN SELECT RAISE(ABORT, 'dated archive refused'); END")));
    PressKey(Qt::Key_F4);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_EQ(Column("warDat", "kod", 1), (QStringList{"155", "600"}));
    ASSERT_TRUE(trigger.exec(QStringLiteral("DROP TRIGGER dbo.no_dated")));
    boxes.boxes.clear();

    // Leaving for another screen saves what was typed.
    TypeCell(grid, 2, 4, QStringLiteral("12.34"));
    ASSERT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    Settle();
    EXPECT_EQ(Column("warDat", "sum", 1), (QStringList{"250000.00", "1234.00"}));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}
