// The tax-deductions screen in the frame, driven by keys over a fixture base:
// a typed number and Enter, rows added, typed and deleted, F4 and F3 at both
// ends of the list (each step saves), Esc, a refused row that keeps the
// employee, a failing base that keeps him too, and leaving the screen saving
// first. Then the group operations on marked employees, checked in dbo.nalvich.
#include "EmployeeScreensWorld.h"
#include "support/ScreenText.h"

#include "masterdata/ui/CWorkerNalvichDlg.h"
#include "masterdata/ui/CWorkerNalvichView.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldHelp.h"

#include <QLabel>
#include <QTableWidget>

using namespace employeetest;

namespace {

class UiNalvich : public World {
protected:
    void Prepare() override
    {
        // The second employee has one deduction, the fourth ten.
        record(1).nalvich[0] = Deduction(103, 40000);
        for (int i = 0; i < 10; ++i)
            record(3).nalvich[std::size_t(i)] = Deduction(kalvor::infobase::u16(108 + i), 100000 + i);
        record(4).nalvich[0] = Deduction(114, 100000);
        record(5).nalvich[0] = Deduction(114, 100001); // one kopeck more
    }
    static ib::NalvichEntry Deduction(kalvor::infobase::u16 code, double sum)
    {
        ib::NalvichEntry e;
        e.kod = code;
        e.start = kalvor::MonthKey(2026, 1).value();
        e.end = kalvor::MonthKey(2026, 12).value();
        e.sum = sum;
        e.krat = 1;
        return e;
    }

    void OpenFrame()
    {
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1200, 760);
        ASSERT_TRUE(ShowActive(frame.get()));
        view = frame->SwitchView<CWorkerNalvichView>();
        ASSERT_NE(view, nullptr);
        dlg = view->Dlg();
        grid = dlg->Grid();
        Settle();
    }
    // Enter on the grid with the group question answered by that button.
    void RunGroupOperation(int button)
    {
        grid->setFocus();
        AnswerGroupDialog(button);
        PressKey(Qt::Key_Return);
        Settle();
        ASSERT_TRUE(ShowActive(frame.get())); // the closed question gives the activation back
    }
    int DataRows() const { return grid->GetRowCount() - grid->GetFixedRowCount(); }

    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    CWorkerNalvichView* view = nullptr;
    CWorkerNalvichDlg* dlg = nullptr;
    CFldHlpGridCtrl* grid = nullptr;
};

} // namespace

TEST_F(UiNalvich, TypedNumberRowsAndStepsSaveEachEmployee)
{
    MessageRecorder boxes;
    OpenFrame();
    EXPECT_EQ(doc.LastEntryScreen, 1u);
    EXPECT_FALSE(dlg->isEnabled());

    ApplyNumber(view->Strip(), tabN(1));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_EQ(doc.LastPersonnelNumber, unsigned(tabN(1)));
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Налоговые вычеты [%1]").arg(base().shortNameOf(base().list[1].slot)));
    ASSERT_EQ(DataRows(), 1);
    EXPECT_EQ(grid->GetItemText(1, 0), QStringLiteral("103"));
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("01.26"));
    EXPECT_EQ(grid->GetItemText(1, 4), QStringLiteral("400.00"));
    // Under the grid, what an empty start month means; shown whole at 1024 pixels.
    auto* note = dlg->findChild<QLabel*>(QStringLiteral("note"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(),
              QStringLiteral("Пустой месяц начала: с месяца приема, если принят в налоговом году, иначе с января"));
    EXPECT_LE(note->fontMetrics().horizontalAdvance(note->text()), note->width());
    EXPECT_LE(note->geometry().bottom(), dlg->height());

    // A new row: the code brings its name; the sum typed in roubles.
    QTest::mouseClick(dlg->control(CWorkerNalvichDlg::IdAdd), Qt::LeftButton);
    ASSERT_EQ(DataRows(), 2);
    TypeCell(grid, 2, 0, QStringLiteral("126"));
    EXPECT_EQ(grid->GetItemText(2, 1), QStringLiteral("На первого ребёнка"));
    // The empty amount shows, greyed, what the calculation takes: the book's
    // 1,400.00 a month; a code not in the book has none.
    EXPECT_EQ(grid->GetItemText(2, 4), QStringLiteral("1400.00"));
    EXPECT_TRUE(dlg->CellShowsDefault(2, 4));
    TypeCell(grid, 2, 0, QStringLiteral("114"));
    EXPECT_EQ(grid->GetItemText(2, 1), QStringLiteral("Нет в справочнике"));
    EXPECT_EQ(grid->GetItemText(2, 4), QString());
    TypeCell(grid, 2, 2, QStringLiteral("3.26"));
    TypeCell(grid, 2, 4, QStringLiteral("1000"));

    // F4 saves and shows the next employee.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(2)));
    EXPECT_EQ(Column("nalvich", "kod", 1), (QStringList{"103", "114"}));
    EXPECT_EQ(Column("nalvich", "sum", 1), (QStringList{"40000.00", "100000.00"}));
    EXPECT_EQ(Column("nalvich", "mBeg", 1).value(1), QString::number(kalvor::MonthKey(2026, 3).value()));

    // F3 twice: the first employee; a third F3 stays there.
    PressKey(Qt::Key_F3);
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(0)));
    // At the end of the list F4 saves and stays.
    const int last = base().employeeCount() - 1;
    ApplyNumber(view->Strip(), tabN(last));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(last)));

    // A row deleted on the second employee is gone after the next step.
    ApplyNumber(view->Strip(), tabN(1));
    ASSERT_EQ(DataRows(), 2);
    grid->SetFocusCell(1, 0);
    QTest::mouseClick(dlg->control(CWorkerNalvichDlg::IdDelete), Qt::LeftButton);
    EXPECT_EQ(DataRows(), 1);
    PressKey(Qt::Key_F4);
    EXPECT_EQ(Column("nalvich", "kod", 1), QStringList{"114"});

    // Esc in the dialog gives the focus to the strip.
    grid->setFocus();
    PressKey(Qt::Key_Escape);
    EXPECT_TRUE(view->Strip()->isAncestorOf(QApplication::focusWidget()));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(UiNalvich, RefusedRowsAndFailingSavesKeepTheEmployee)
{
    MessageRecorder boxes;
    OpenFrame();
    ApplyNumber(view->Strip(), tabN(1));
    // A start month after the end month: refused with a message, the employee stays.
    TypeCell(grid, 1, 2, QStringLiteral("12.26"));
    TypeCell(grid, 1, 3, QStringLiteral("11.26"));
    PressKey(Qt::Key_F4);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Месяц начала позже месяца окончания: 12.26 - 11.26"));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_EQ(Column("nalvich", "kod", 1), QStringList{"103"});
    // Leaving the screen is refused as well.
    EXPECT_EQ(frame->SwitchView<CEmptyView>(), nullptr);
    EXPECT_EQ(frame->CurrentView(), view);
    // Closing the program asks whether to leave without the refused row.
    boxes.answer = IDNO;
    EXPECT_FALSE(frame->close());
    boxes.answer = IDYES;
    ASSERT_EQ(boxes.boxes.size(), 4u);
    EXPECT_EQ(boxes.boxes[3].text,
              QStringLiteral("Введенное на экране не сохранено.\nВыйти из программы без сохранения?"));

    // Corrected, the base fails: the error is shown and the employee stays.
    TypeCell(grid, 1, 2, QStringLiteral("01.26"));
    TypeCell(grid, 1, 0, QStringLiteral("104"));
    QSqlQuery(ib::Db(base())).exec(QStringLiteral("ALTER TABLE dbo.nalvich RENAME TO nalvich_gone"));
    boxes.boxes.clear();
    PressKey(Qt::Key_F4);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    QSqlQuery(ib::Db(base())).exec(QStringLiteral("ALTER TABLE dbo.nalvich_gone RENAME TO nalvich"));

    // Leaving the screen saves what was typed.
    CCommonFormView* empty = frame->SwitchView<CEmptyView>();
    ASSERT_NE(empty, nullptr);
    Settle();
    EXPECT_EQ(Column("nalvich", "kod", 1), QStringList{"104"});

    // A record that fails to load is not shown, so it can never be saved back half-loaded.
    view = frame->SwitchView<CWorkerNalvichView>();
    dlg = view->Dlg();
    Settle();
    QSqlQuery(ib::Db(base())).exec(QStringLiteral("ALTER TABLE dbo.waria RENAME TO waria_gone"));
    boxes.boxes.clear();
    ApplyNumber(view->Strip(), tabN(1));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes[0].text.startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")));
    EXPECT_EQ(dlg->m_slot, 0u);
    EXPECT_EQ(dlg->Grid()->GetRowCount(), 1);
    QSqlQuery(ib::Db(base())).exec(QStringLiteral("ALTER TABLE dbo.waria_gone RENAME TO waria"));
    EXPECT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    EXPECT_EQ(Column("nalvich", "kod", 1), QStringList{"104"});
}

// A month a cell cannot read is refused at once; a row refused when another
// employee is asked for keeps the grid editable with the focus in it; Esc
// there abandons the typed rows after a question and shows the stored ones,
// editable; the screen then moves on and is left.
TEST_F(UiNalvich, ARefusalNeverLocksTheScreen)
{
    MessageRecorder boxes;
    OpenFrame();
    ApplyNumber(view->Strip(), tabN(1));
    TypeCell(grid, 1, 2, QStringLiteral("-40x"));
    Settle();
    ASSERT_EQ(boxes.Texts(), QStringList(QStringLiteral("Некорректный месяц в поле \"Месяц начала\": -40x\n"
                                                        "Месяц вводится как ММ.ГГГГ или ММ.ГГ")));
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("01.26"));
    ASSERT_NE(grid->GetEditor(), nullptr);
    PressKey(Qt::Key_Escape);
    // Left for the strip, which greys the dialog: said once, and the cell
    // is open again with the text, the dialog editable.
    boxes.boxes.clear();
    grid->SetFocusCell(1, 3);
    grid->setFocus();
    TypeKeys(QStringLiteral("13.26"));
    view->Strip()->Field(CTabelFilterDlg::IdTabN)->setFocus(Qt::MouseFocusReason);
    Settle();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(dlg->isEnabled());
    ASSERT_NE(grid->GetEditor(), nullptr);
    EXPECT_EQ(grid->GetEditor()->text(), QStringLiteral("13.26"));
    EXPECT_EQ(QApplication::focusWidget(), grid->GetEditor());
    EXPECT_EQ(grid->GetItemText(1, 3), QStringLiteral("12.26"));
    PressKey(Qt::Key_Escape);

    TypeCell(grid, 1, 2, QStringLiteral("12.26"));
    TypeCell(grid, 1, 3, QStringLiteral("11.26"));
    boxes.boxes.clear();
    ApplyNumber(view->Strip(), tabN(2));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), grid);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(1, 2));
    // The grid takes a corrected value.
    TypeCell(grid, 1, 3, QStringLiteral("12.26"));
    EXPECT_EQ(grid->GetItemText(1, 3), QStringLiteral("12.26"));
    TypeCell(grid, 1, 3, QStringLiteral("11.26"));

    // Esc asks; "Да" shows the stored row, editable.
    boxes.boxes.clear();
    grid->setFocus();
    PressKey(Qt::Key_Escape);
    ASSERT_EQ(boxes.Texts(), QStringList(QStringLiteral("Отменить изменения, внесенные в данные работника?")));
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("01.26"));
    EXPECT_EQ(grid->GetItemText(1, 3), QStringLiteral("12.26"));
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), grid);
    TypeCell(grid, 1, 4, QStringLiteral("500"));
    ApplyNumber(view->Strip(), tabN(2));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(2)));
    EXPECT_EQ(Column("nalvich", "sum", 1), QStringList{"50000.00"});
    EXPECT_EQ(Column("nalvich", "mEnd", 1), QStringList{QString::number(kalvor::MonthKey(2026, 12).value())});
    EXPECT_NE(frame->SwitchView<CEmptyView>(), nullptr);
    EXPECT_EQ(boxes.boxes.size(), 1u) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(UiNalvich, GroupOperationsOnTheMarkedEmployees)
{
    MessageRecorder boxes;
    OpenFrame();
    // Marks from the help list of the personnel-number field: employees 1, 3, 4, 5.
    QLineEdit* number = view->Strip()->Field(CTabelFilterDlg::IdTabN);
    number->setFocus();
    QApplication::processEvents();
    PressKey(Qt::Key_F1);
    CFieldHelpList* list = view->HelpList();
    ASSERT_NE(list, nullptr);
    auto markGroup = [&](std::initializer_list<int> indexes) {
        QTableWidget* table = list->table();
        for (int i : indexes) {
            table->setCurrentCell(i, 0);
            QTest::keyClick(table, Qt::Key_Space);
        }
        QTest::keyClick(table, Qt::Key_Return);
        Settle();
        ASSERT_TRUE(ShowActive(frame.get()));
    };
    markGroup({1, 3, 4, 5});
    ASSERT_TRUE(dlg->m_groupMode);
    ASSERT_NE(view->GroupPanel(), nullptr);
    EXPECT_EQ(DataRows(), 1);
    for (int i : {1, 3, 4, 5}) EXPECT_TRUE(base().list[std::size_t(i)].marked());
    // F3, F4 and the strip's Enter wait for the group.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(boxes.boxes.size(), 1u);

    // Append 108 / 500.00: the full block stays as it was.
    TypeCell(grid, 1, 0, QStringLiteral("108"));
    TypeCell(grid, 1, 4, QStringLiteral("500"));
    RunGroupOperation(1571);
    EXPECT_FALSE(dlg->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    EXPECT_FALSE(base().list[1].marked());
    EXPECT_EQ(Column("nalvich", "kod", 1), (QStringList{"103", "108"}));
    EXPECT_EQ(Column("nalvich", "kod", 3).size(), 10);
    EXPECT_EQ(Column("nalvich", "kod", 3).value(0), QStringLiteral("108"));
    EXPECT_EQ(Column("nalvich", "sum", 4), (QStringList{"100000.00", "50000.00"}));

    // Delete 114 01.26-12.26 1000.00 x1: the fifth employee's one kopeck more is kept.
    number->setFocus();
    PressKey(Qt::Key_F1);
    list = view->HelpList();
    markGroup({4, 5});
    TypeCell(grid, 1, 0, QStringLiteral("114"));
    TypeCell(grid, 1, 2, QStringLiteral("01.26"));
    TypeCell(grid, 1, 3, QStringLiteral("12.26"));
    TypeCell(grid, 1, 4, QStringLiteral("1000"));
    TypeCell(grid, 1, 5, QStringLiteral("1"));
    RunGroupOperation(1061);
    EXPECT_EQ(Column("nalvich", "kod", 4), QStringList{"108"});
    EXPECT_EQ(Column("nalvich", "sum", 5), (QStringList{"100001.00", "50000.00"}));

    // Mark then correct: the rows equal to 108 / 500.00 become 115 / 600.00.
    number->setFocus();
    PressKey(Qt::Key_F1);
    list = view->HelpList();
    markGroup({1, 4, 5});
    TypeCell(grid, 1, 0, QStringLiteral("108"));
    TypeCell(grid, 1, 4, QStringLiteral("500"));
    boxes.boxes.clear();
    RunGroupOperation(1383);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(dlg->PendingOperation(), 503);
    EXPECT_TRUE(dlg->m_groupMode);
    EXPECT_EQ(DataRows(), 1);
    const std::vector<char>& matched = dlg->MatchedFlags();
    ASSERT_EQ(int(matched.size()), base().employeeCount());
    EXPECT_EQ(std::vector<char>(matched.begin(), matched.begin() + 6), (std::vector<char>{0, 1, 0, 0, 1, 1}));
    EXPECT_EQ(dlg->MatchedIndexes()[1], 1);
    TypeCell(grid, 1, 0, QStringLiteral("115"));
    TypeCell(grid, 1, 4, QStringLiteral("600"));
    grid->setFocus();
    PressKey(Qt::Key_Return); // no question: the correction was pending
    Settle();
    EXPECT_EQ(Column("nalvich", "kod", 1), (QStringList{"103", "115"}));
    EXPECT_EQ(Column("nalvich", "sum", 4), QStringList{"60000.00"});
    EXPECT_EQ(Column("nalvich", "kod", 5), (QStringList{"114", "115"}));

    // Cancelling the question ends the group; Esc after 501 corrects nothing.
    number->setFocus();
    PressKey(Qt::Key_F1);
    list = view->HelpList();
    markGroup({1});
    TypeCell(grid, 1, 0, QStringLiteral("103"));
    RunGroupOperation(IDCANCEL);
    EXPECT_FALSE(dlg->m_groupMode);
    EXPECT_EQ(Column("nalvich", "kod", 1), (QStringList{"103", "115"}));
}
