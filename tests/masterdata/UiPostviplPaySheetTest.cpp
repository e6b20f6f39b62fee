// The permanent-payments screen by keys (a new payment with a four-digit
// year, a refused month 13, the 22nd row that cannot be added, the code-table
// pick list typed into its cell) and the pay sheet of one shop with its total.
#include "EmployeeScreensWorld.h"
#include "support/ScreenText.h"

#include "masterdata/ui/CWorkerPostviplDlg.h"
#include "masterdata/ui/CWorkerPostviplView.h"
#include "payroll/ui/CCalcPlatVedDlg.h"
#include "payroll/ui/CCalcPlatVedView.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldHelp.h"

#include <QTableWidget>

using namespace employeetest;

namespace {

class UiPostvipl : public World {
protected:
    void Prepare() override
    {
        for (auto& rec : fx.records) rec.postDopl = {};
        for (int i = 0; i < 21; ++i) record(3).postDopl[std::size_t(i)].kod = ib::u16(10 + i);
    }
    void Open()
    {
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1200, 760);
        ASSERT_TRUE(ShowActive(frame.get()));
        view = frame->SwitchView<CWorkerPostviplView>();
        ASSERT_NE(view, nullptr);
        grid = view->DetailDlg()->Grid();
    }
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    CWorkerPostviplView* view = nullptr;
    CFldHlpGridCtrl* grid = nullptr;
};

} // namespace

TEST_F(UiPostvipl, PaymentsAreTypedCheckedAndSaved)
{
    MessageRecorder boxes;
    Open();
    ApplyNumber(view->Strip(), tabN(1));
    EXPECT_EQ(ScreenTitle(view),
              QStringLiteral("Постоянные выплаты [%1]").arg(base().shortNameOf(base().list[1].slot)));
    EXPECT_EQ(grid->GetRowCount(), 1);
    QTest::mouseClick(view->DetailDlg()->control(CWorkerPostviplDlg::IdAdd), Qt::LeftButton);
    ASSERT_EQ(grid->GetRowCount(), 2);

    // The kind from its code table: F1 on column 1 lists the eight kinds; Enter types the chosen code.
    grid->SetFocusCell(1, 1);
    grid->setFocus();
    PressKey(Qt::Key_F1);
    CFieldHelpList* list = view->HelpList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->table()->rowCount(), 8);
    list->table()->setCurrentCell(5, 0);
    QTest::keyClick(list->table(), Qt::Key_Return);
    Settle();
    ASSERT_TRUE(ShowActive(frame.get()));
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("5"));

    // A code the pay kinds do not hold, a percent of more places than it
    // keeps, an amount with letters and a date of no month 13 are refused as
    // they are typed; the cells keep what they held.
    const struct {
        int column;
        const char* text;
        const char* said;
    } refused[] = {{0, "8", "В поле \"Код\" указан номер, которого нет в справочнике \"Оплаты/Удержания\": 8"},
                   {4, "12.345", "Некорректное число в поле \"%\": 12.345"},
                   {2, "-40x", "Некорректное число в поле \"Величина\": -40x"},
                   {10, "01.13.2009", "Некорректная дата в поле \"Дата начала\": 01.13.2009"}};
    for (const auto& cell : refused) {
        boxes.boxes.clear();
        TypeCell(grid, 1, cell.column, QString::fromUtf8(cell.text));
        Settle();
        ASSERT_EQ(boxes.Texts(), QStringList(QString::fromUtf8(cell.said)));
        EXPECT_EQ(grid->GetItemText(1, cell.column), QString());
        EXPECT_EQ(grid->GetFocusCell(), CCellID(1, cell.column));
        ASSERT_NE(grid->GetEditor(), nullptr);
        PressKey(Qt::Key_Escape);
    }
    boxes.boxes.clear();
    TypeCell(grid, 1, 0, QStringLiteral("16"));
    TypeCell(grid, 1, 3, QStringLiteral("8"));
    TypeCell(grid, 1, 4, QStringLiteral("12.3"));
    TypeCell(grid, 1, 6, QStringLiteral("1"));
    EXPECT_EQ(view->m_tabN, unsigned(tabN(1)));

    TypeCell(grid, 1, 10, QStringLiteral("01.03.2009"));
    TypeCell(grid, 1, 12, QStringLiteral("1"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(tabN(2)));
    EXPECT_EQ(Column("postDopl", "kod", 1), QStringList{"16"});
    EXPECT_EQ(Column("postDopl", "procent", 1), QStringList{"123"});
    EXPECT_EQ(Column("postDopl", "gBegin", 1), QStringList{"2009"});
    EXPECT_EQ(Column("postDopl", "mask", 1), QStringList{"8"});
    EXPECT_EQ(Column("postDopl", "mrp", 1), QStringList{"1"});
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->DetailDlg()->RowCells(1),
              (QStringList{"16", "5", "", "8", "12.3", "", "1", "", "", "", "01.03.09", "", "1"}));

    // 21 payments: a 22nd row cannot be added.
    ApplyNumber(view->Strip(), tabN(3));
    EXPECT_EQ(grid->GetRowCount(), 22);
    QTest::mouseClick(view->DetailDlg()->control(CWorkerPostviplDlg::IdAdd), Qt::LeftButton);
    EXPECT_EQ(grid->GetRowCount(), 22);
    EXPECT_EQ(CWorkerPostviplView::CodeTableLines(12),
              (QStringList{QStringLiteral(" |Выплата будет произведена в расчет зарплаты"),
                           QStringLiteral("1|Выплата производится в межрасчетный период по отдельной ведомости")}));
}

TEST_F(World, PaySheetListsTheShopWithItsTotal)
{
    MessageRecorder boxes;
    // Amounts to pay of every slot: 1,000.00 + slot kopecks; the third employee's is 0.
    for (int slot = 1; slot <= base().capacity(); ++slot) base().zar1Of(slot) = 100'000 + slot;
    base().zar1Of(base().list[2].slot) = 0;
    const int shop = base().shopOf(base().list[2].slot);
    QStringList names, numbers, amounts;
    double total = 0;
    for (int i = 0; i < base().employeeCount(); ++i) {
        const int slot = base().list[std::size_t(i)].slot;
        if (base().shopOf(slot) != shop)
            continue;
        names << base().shortNameOf(slot);
        numbers << QString::number(tabN(i));
        amounts << (base().zar1Of(slot) == 0
                        ? QString()
                        : QString::number(base().zar1Of(slot) / 100, 'f', 2));
        total += base().zar1Of(slot);
    }

    CCalcPlatVedView view(&doc);
    view.resize(900, 700);
    view.OnInitialUpdate();
    ASSERT_TRUE(ShowActive(&view));
    EXPECT_EQ(doc.LastEntryScreen, 8u);
    CFldHlpGridCtrl* grid = view.Dlg()->Grid();
    EXPECT_EQ(grid->GetItemText(0, 0), QStringLiteral("Фамилия И.О."));
    EXPECT_EQ(grid->GetItemText(0, 2), QStringLiteral("Сумма к выдаче"));
    TypeKeys(QString::number(shop));
    PressKey(Qt::Key_Return);
    ASSERT_EQ(grid->GetRowCount() - 1, names.size());
    for (int r = 0; r < names.size(); ++r) {
        EXPECT_EQ(grid->GetItemText(r + 1, 0), names[r]);
        EXPECT_EQ(grid->GetItemText(r + 1, 1), numbers[r]);
        EXPECT_EQ(grid->GetItemText(r + 1, 2), amounts[r]);
    }
    EXPECT_EQ(ScreenText(view.Dlg(), QStringLiteral("К выдаче")), QString::number(total / 100, 'f', 2));

    // A shop the book lacks is refused naming the book, and the sheet stays.
    QLineEdit* shopField = view.Strip()->Field(CWorkersFilterDlg::IdShop);
    shopField->setFocus();
    shopField->selectAll();
    TypeKeys(QStringLiteral("249"));
    PressKey(Qt::Key_Return);
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("В поле \"Цех\" указан номер, которого нет в справочнике "
                                                        "\"Цех/Отдел\": 249")});
    EXPECT_EQ(grid->GetRowCount() - 1, names.size());
    EXPECT_TRUE(shopField->hasFocus());

    // The month changes with the sheet open: it shows the new month's
    // amounts to pay of the same shop (none computed yet), not the old ones.
    for (int slot = 1; slot <= base().capacity(); ++slot) base().zar1Of(slot) = 0;
    doc.NotifyMonthChanged();
    ASSERT_EQ(grid->GetRowCount() - 1, names.size());
    for (int r = 0; r < names.size(); ++r) {
        EXPECT_EQ(grid->GetItemText(r + 1, 1), numbers[r]);
        EXPECT_EQ(grid->GetItemText(r + 1, 2), QString());
    }
    EXPECT_EQ(ScreenText(view.Dlg(), QStringLiteral("К выдаче")), QStringLiteral("0.00"));

    // Esc in the sheet empties it and gives the focus back to the strip (the
    // shop refused above is corrected first: a refused field keeps the focus).
    shopField->selectAll();
    TypeKeys(QString::number(shop));
    PressKey(Qt::Key_Return);
    ASSERT_EQ(grid->GetRowCount() - 1, names.size());
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_EQ(grid->GetRowCount(), 1);
    EXPECT_TRUE(view.Strip()->isAncestorOf(QApplication::focusWidget()));
}
