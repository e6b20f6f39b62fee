// The archive screen by keys over a fixture base: 1,200 rows, deduction rows
// coloured, a new month typed into an empty row and saved by F4 (with the
// archive count), stepping without a change writes nothing, a row cleared
// whole frees its entry, and the group operations (append to a full archive,
// delete an equal row, mark then correct) in dbo.waria.
#include "EmployeeScreensWorld.h"
#include "support/ScreenText.h"

#include "grid/GridCell.h"
#include "masterdata/ui/CWorkerArchiveDlg.h"
#include "masterdata/ui/CWorkerArchiveView.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

using namespace employeetest;

namespace {

ib::WariaEntry Entry(int code, double sum, int year, int month)
{
    ib::WariaEntry e;
    e.kod = ib::u16(code);
    e.sum = sum;
    e.god = ib::u16(year);
    e.mes = ib::u16(month);
    return e;
}

class UiArchive : public World {
protected:
    void Prepare() override
    {
        ib::EmployeeRecord& a = record(1);
        a.waria.assign(ib::EmployeeRecord::ArchiveCapacity, ib::WariaEntry{});
        a.waria[0] = Entry(4, 2'000'000, 2026, 1);
        a.waria[0].dn = 15;
        a.waria[0].hr = 120;
        a.waria[1] = Entry(902, 260'000, 2026, 1);
        a.warKv = 2;
        // The third employee's archive is full.
        ib::EmployeeRecord& full = record(2);
        for (int i = 0; i < ib::EmployeeRecord::ArchiveCapacity; ++i)
            full.waria[std::size_t(i)] = Entry(4, 100 + i, 2025, 1 + i % 12);
        full.warKv = ib::EmployeeRecord::ArchiveCapacity;
    }

    void OpenFrame()
    {
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1200, 760);
        ASSERT_TRUE(ShowActive(frame.get()));
        view = frame->SwitchView<CWorkerArchiveView>();
        ASSERT_NE(view, nullptr);
        grid = view->DetailDlg()->Grid();
    }
    void Group(std::initializer_list<int> indexes, int button, const QStringList& row)
    {
        QStringList numbers;
        for (int i : indexes) numbers << QString::number(tabN(i));
        view->TakeHelpValues(numbers);
        ASSERT_EQ(grid->GetRowCount(), 2);
        for (int col = 0; col < row.size(); ++col)
            if (!row[col].isEmpty())
                TypeCell(grid, 1, col, row[col]);
        grid->setFocus();
        AnswerGroupDialog(button);
        PressKey(Qt::Key_Return);
        Settle();
        ASSERT_TRUE(ShowActive(frame.get()));
    }

    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    CWorkerArchiveView* view = nullptr;
    CFldHlpGridCtrl* grid = nullptr;
};

} // namespace

TEST_F(UiArchive, EntriesAreEditedInPlaceAndSavedOnlyWhenChanged)
{
    MessageRecorder boxes;
    OpenFrame();
    ApplyNumber(view->Strip(), tabN(1));
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Архив [%1]").arg(base().shortNameOf(base().list[1].slot)));
    ASSERT_EQ(grid->GetRowCount(), 1 + 1200);
    EXPECT_EQ(view->DetailDlg()->RowCells(1), (QStringList{"01.26", "4", "20000.00", "15", "120,0", ""}));
    EXPECT_EQ(grid->GetCell(2, 0)->GetTextColour(), CWorkerArchiveDlg::kDeductionColour);
    EXPECT_EQ(grid->GetCell(1, 0)->GetTextColour(), GridCtrl::DefaultColour);

    // A new month in an empty row: March 2009, a reversal of 1.50, 7 h 75 min.
    TypeCell(grid, 5, 0, QStringLiteral("03.09"));
    TypeCell(grid, 5, 1, QStringLiteral("7"));
    TypeCell(grid, 5, 2, QStringLiteral("-1.5"));
    TypeCell(grid, 5, 4, QStringLiteral("7,75"));
    TypeCell(grid, 5, 5, QStringLiteral("04.2009"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(Column("waria", "num", 1), (QStringList{"1", "2", "5"}));
    EXPECT_EQ(Column("waria", "god", 1).value(2), QStringLiteral("2009"));
    EXPECT_EQ(Column("waria", "sum", 1).value(2), QStringLiteral("-150.00"));
    EXPECT_EQ(Column("waria", "hr", 1).value(2), QStringLiteral("8"));
    EXPECT_EQ(Column("waria", "min", 1).value(2), QStringLiteral("15"));
    EXPECT_EQ(Column("waria", "godVyd", 1).value(2), QStringLiteral("2009"));
    EXPECT_EQ(Column("konst", "warKv", 1), QStringList{"5"});

    // Back on him: the row reads as typed; stepping on without a change writes nothing.
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->DetailDlg()->RowCells(5), (QStringList{"03.09", "7", "-1.50", "", "8,15", "04.09"}));
    QSqlQuery trigger(ib::Db(base()));
    ASSERT_TRUE(trigger.exec(QStringLiteral("CREATE TRIGGER dbo.no_archive_write BEFORE DELETE ON waria "
                                            "BEGIN SELECT RAISE(ABORT, 'archive written'); END")));
    PressKey(Qt::Key_F4);
    PressKey(Qt::Key_F3);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(trigger.exec(QStringLiteral("DROP TRIGGER dbo.no_archive_write")));

    // A row cleared whole is free again.
    for (int col = 0; col < 6; ++col) grid->SetItemText(5, col, QString());
    PressKey(Qt::Key_F4);
    EXPECT_EQ(Column("waria", "num", 1), (QStringList{"1", "2"}));
    EXPECT_EQ(Column("konst", "warKv", 1), QStringList{"2"});
}

TEST_F(UiArchive, GroupOperationsWorkOnTheFirstFreeOrEqualEntry)
{
    MessageRecorder boxes;
    OpenFrame();
    // Append to a full archive changes nothing there; the other gets the first free entry.
    Group({1, 2}, 1571, {"02.26", "5", "100"});
    EXPECT_EQ(Column("waria", "num", 1), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(Column("waria", "kod", 1).value(2), QStringLiteral("5"));
    EXPECT_EQ(Column("waria", "num", 2).size(), 1200);
    EXPECT_EQ(Column("waria", "kod", 2).value(0), QStringLiteral("4"));

    // Delete: the equal entry is zeroed where it stands; one kopeck off matches nothing.
    Group({1, 2}, 1061, {"01.26", "4", "20000.01", "15", "120,0"});
    EXPECT_EQ(Column("waria", "num", 1), (QStringList{"1", "2", "3"}));
    Group({1, 2}, 1061, {"01.26", "4", "20000", "15", "120"});
    EXPECT_EQ(Column("waria", "num", 1), (QStringList{"2", "3"}));
    EXPECT_EQ(Column("waria", "num", 2).size(), 1200);

    // Mark then correct: 902 of January becomes 902 of February.
    Group({1}, 1383, {"01.26", "902", "2600"});
    EXPECT_TRUE(view->DetailDlg()->m_groupMode);
    TypeCell(grid, 1, 0, QStringLiteral("02.26"));
    TypeCell(grid, 1, 1, QStringLiteral("902"));
    TypeCell(grid, 1, 2, QStringLiteral("2600"));
    grid->setFocus();
    PressKey(Qt::Key_Return);
    Settle();
    EXPECT_EQ(Column("waria", "mes", 1), (QStringList{"2", "2"}));
    EXPECT_EQ(Column("waria", "kod", 1), (QStringList{"902", "5"}));

    // Esc in group mode cancels the group and empties the screen.
    view->TakeHelpValues({QString::number(tabN(1))});
    ASSERT_TRUE(view->DetailDlg()->m_groupMode);
    grid->setFocus();
    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(view->DetailDlg()->m_groupMode);
    EXPECT_EQ(view->DetailDlg()->m_slot, 0u);
    EXPECT_FALSE(base().list[1].marked());
}
