// The advance screen keeps the entry dialogs' default group operations: its
// strip names shops, brigades and professions, never employees, so its help
// lists mark nothing and no group can be formed. Driven by keys in the main
// frame on the demo base: F1 in the shop field, Space on a line, Enter; the
// grid of the chosen shop; F1 in the grid; marked numbers handed to the view
// anyway; Esc back to the strip.
#include "DemoEntryWorld.h"
#include "entries/ui/CAvanceVvodDlg.h"
#include "entries/ui/CAvanceVvodView.h"

#include <QTableWidget>

#ifdef KALVOR_DATA_DIR

using namespace entrytest;

namespace {
class AdvanceScreen : public DemoEntryWorld {};
} // namespace

TEST_F(AdvanceScreen, FormsNoGroup)
{
    MessageRecorder boxes;
    auto* view = Open<CAvanceVvodView>();
    ASSERT_NE(view, nullptr);
    QLineEdit* shop = view->Strip()->Field(CWorkersFilterDlg::IdShop);
    shop->setFocus();
    ASSERT_TRUE(WaitFor([&] { return view->m_focusedWnd == shop; }));

    // The shops' list: Space moves on without marking, Enter types the shop.
    PressKey(Qt::Key_F1);
    ASSERT_TRUE(view->HelpList());
    QTableWidget* table = view->HelpList()->table();
    ASSERT_EQ(table->rowCount(), 4);
    table->setCurrentCell(0, 1);
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_EQ(table->item(0, 0)->text(), QString());
    QTest::keyClick(table, Qt::Key_Return);
    Settle();
    EXPECT_EQ(shop->text(), QStringLiteral("2"));
    EXPECT_EQ(view->GroupPanel(), nullptr);

    PressKey(Qt::Key_Return);
    Settle();
    CAvanceVvodDlg* dlg = view->Dlg();
    CFldHlpGridCtrl* grid = dlg->Grid();
    const int rows = grid->GetRowCount();
    ASSERT_GT(rows, 10);
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("111"));

    // F1 in the grid offers no list of employees.
    grid->setFocus();
    grid->SetFocusCell(1, 2);
    QApplication::processEvents();
    PressKey(Qt::Key_F1);
    Settle();
    EXPECT_TRUE(!view->HelpList() || !view->HelpList()->isVisible());

    // Numbers marked elsewhere start nothing here: no marks, no group panel,
    // the grid as it was.
    view->TakeHelpValues({QStringLiteral("111"), QStringLiteral("112")});
    Settle();
    EXPECT_FALSE(dlg->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    for (const ib::EmployeeListEntry& entry : doc->infoBase.list) EXPECT_FALSE(entry.marked()) << entry.tabN();
    EXPECT_EQ(grid->GetRowCount(), rows);

    // Esc in the grid goes back to the strip.
    grid->setFocus();
    QApplication::processEvents();
    PressKey(Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(shop->hasFocus());
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

#endif
