// The frame's Edit and print commands act on the focused grid and are enabled
// by its rules when their menu opens.
#include "grid/GridCtrl.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/GridCommands.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A screen holding one grid of 3 x 3 cells.
class GridScreen : public CCommonFormView {
public:
    explicit GridScreen(CKalvorDoc* doc) : CCommonFormView(1, doc)
    {
        auto* layout = new QVBoxLayout(this);
        grid = new CGridCtrl(this);
        layout->addWidget(grid);
        grid->SetRowCount(3);
        grid->SetColumnCount(3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) grid->SetItemText(r, c, QStringLiteral("%1%2").arg(r).arg(c));
    }
    CGridCtrl* grid;
};

QAction* Command(CMainFrame& frame, int id) { return frame.findChild<QAction*>(QStringLiteral("command%1").arg(id)); }

} // namespace

TEST(GridCommands, EditCommandsFollowTheFocusedGridAndPrintMakesAPdf)
{
    CKalvorDoc doc;
    CommandRegistry registry;
    RegisterGridCommands(registry);
    CMainFrame frame(&doc, &registry);
    ASSERT_TRUE(ShowActive(&frame));
    auto* screen = frame.SwitchView([](CKalvorDoc* d) -> CCommonFormView* { return new GridScreen(d); });
    CGridCtrl* grid = static_cast<GridScreen*>(screen)->grid;

    // The screen opens with the focus on its first widget, the grid; taken
    // from it, the commands are off.
    EXPECT_EQ(FocusedGrid(), grid);
    screen->setFocus();
    QApplication::processEvents();
    frame.UpdateCommands();
    EXPECT_FALSE(Command(frame, 0xE122)->isEnabled());
    EXPECT_EQ(FocusedGrid(), nullptr);

    grid->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(FocusedGrid(), grid);
    grid->SetSelectedRange(1, 1, 2, 2, false, true);
    frame.UpdateCommands();
    EXPECT_TRUE(Command(frame, 0xE122)->isEnabled());
    Command(frame, 0xE122)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("11\t12\r\n21\t22"));

    grid->SetEditable(false);
    frame.UpdateCommands();
    EXPECT_FALSE(Command(frame, 0xE123)->isEnabled()); // cut needs an editable grid
    EXPECT_TRUE(Command(frame, 0xE122)->isEnabled());

    const QString pdf = QDir::current().absoluteFilePath("focused-grid.pdf");
    QFile::remove(pdf);
    EXPECT_TRUE(PrintGridToPdf(grid, pdf));
    EXPECT_TRUE(QFile::exists(pdf));
}
