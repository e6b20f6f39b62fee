// The archive with dates and the personal account on the demo base, with a
// screenshot of each in the build folder (screenshots/): Ермаков's two
// sick-leave sheets (the second continuing the first) and Носков's unpaid
// leave; the personal account of 110 Тихонов after the month's calculation
// and a restart, with the rows the calculation stored and the totals worked
// out by hand in the payroll tests.
#include "DemoFirm.h"
#include "DemoScreenWorld.h"
#include "support/ScreenText.h"

#include "grid/GridCell.h"
#include "masterdata/ui/CWorkerDatArchiveView.h"
#include "masterdata/ui/CWorkerDatarchiveDlg.h"
#include "payroll/CalcThread.h"
#include "payroll/ui/CCalcLicSchetDlg.h"
#include "payroll/ui/CCalcLicSchetView.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

#include <QDir>
#include <QFile>

using namespace employeetest;

#ifdef KALVOR_DATA_DIR

namespace {

// The program started on the demo base with its main frame shown.
class DemoDatedArchiveAccount : public DemoScreenWorld {
protected:
    void SetUp() override
    {
        DemoScreenWorld::SetUp();
        ShowFrame();
    }
    void Restart()
    {
        DemoScreenWorld::Restart();
        ShowFrame();
    }
    void ShowFrame()
    {
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1240, 800);
        ASSERT_TRUE(ShowActive(frame.get()));
    }
};

} // namespace

TEST_F(DemoDatedArchiveAccount, SickLeaveSheetsAndUnpaidLeaveInTheArchiveWithDates)
{
    MessageRecorder boxes;
    auto* view = frame->SwitchView<CWorkerDatArchiveView>();
    ASSERT_NE(view, nullptr);
    Settle();
    Apply(view->Strip(), 120);
    ASSERT_EQ(view->Dlg()->Grid()->GetRowCount(), 2);
    EXPECT_EQ(view->Dlg()->RowCells(1), (QStringList{"14.03.11", "18.03.11", "03.11", "600", "", ""}));

    Apply(view->Strip(), 115);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Архив с датами [Ермаков В. И.]"));
    ASSERT_EQ(view->Dlg()->Grid()->GetRowCount(), 3);
    // His sheets of February and of its continuation into March, at the
    // average of 2009 and 2010 (no pay in 2009 in this base; 236,716.08 in
    // 2010) over 730 days, 324.27 a day: 12 days 3,891.24, 7 days 2,269.89.
    EXPECT_EQ(view->Dlg()->RowCells(1), (QStringList{"14.02.11", "25.02.11", "02.11", "156", "3891.24", ""}));
    EXPECT_EQ(view->Dlg()->RowCells(2), (QStringList{"26.02.11", "04.03.11", "03.11", "155", "2269.89", "1"}));
    Screenshot(frame.get(), QStringLiteral("archive-with-dates.png"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(DemoDatedArchiveAccount, PersonalAccountOf110ShowsWhatTheCalculationStored)
{
    MessageRecorder boxes;
    kalvor::platform::TaskThread thread;
    kalvor::CalcThreadParams params;
    params.document = doc.get();
    ASSERT_TRUE(thread.start(params, &kalvor::CalculationThreadProc));
    ASSERT_TRUE(WaitFor([&] { return !thread.isRunning(); }, 60'000));
    Settle();

    Restart();
    auto* view = frame->SwitchView<CCalcLicSchetView>();
    ASSERT_NE(view, nullptr);
    Settle();
    Apply(view->Strip(), 110);
    CCalcLicSchetDlg* dlg = view->Dlg();
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Лицевой счет [Тихонов В. А.]"));
    // Salary, advance, tax and five contributions (worked out in the payroll tests).
    QStringList codes;
    for (int row = 1; row < dlg->Grid()->GetRowCount(); ++row) codes << dlg->Grid()->GetItemText(row, 1);
    codes.sort();
    EXPECT_EQ(codes, (QStringList{"4", "901", "902", "990", "992", "993", "994", "995"}));
    EXPECT_EQ(dlg->Grid()->GetItemText(1, 0), QStringLiteral("Оплата по окладу"));
    EXPECT_EQ(dlg->Grid()->GetItemText(1, 3), QStringLiteral("21000.00"));
    EXPECT_EQ(dlg->Grid()->GetItemText(1, 4), QStringLiteral("21"));
    EXPECT_EQ(dlg->Grid()->GetItemText(1, 5), QStringLiteral("168,0"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Начислено")), QStringLiteral("21000.00"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Удержано")), QStringLiteral("11130.00"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("К выдаче")), QStringLiteral("9870.00"));
    Screenshot(frame.get(), QStringLiteral("personal-account.png"));

    // F4: the next employee's stored rows, without computing.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 111u);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Лицевой счет [Прохоров И. В.]"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

#endif
