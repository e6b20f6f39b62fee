// The four screens on the demo base, with a screenshot of each in the build
// folder (screenshots/): the pay sheet after a calculation and a restart, the
// tax deductions of employee 106 (children's deductions, F4 to the next
// employee, a changed sum that survives a restart), the archive with its
// reversed entry and the permanent payments.
#include "DemoFirm.h"
#include "DemoScreenWorld.h"
#include "EmployeeScreensWorld.h"
#include "support/ScreenText.h"

#include "masterdata/ui/CWorkerArchiveDlg.h"
#include "masterdata/ui/CWorkerArchiveView.h"
#include "masterdata/ui/CWorkerNalvichDlg.h"
#include "masterdata/ui/CWorkerNalvichView.h"
#include "masterdata/ui/CWorkerPostviplDlg.h"
#include "masterdata/ui/CWorkerPostviplView.h"
#include "payroll/CalcThread.h"
#include "payroll/ui/CCalcPlatVedDlg.h"
#include "payroll/ui/CCalcPlatVedView.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "support/SlotArrays.h"

#include <QDir>
#include <QFile>

using namespace employeetest;

#ifdef KALVOR_DATA_DIR

namespace {

using DemoScreens = DemoScreenWorld;

} // namespace

TEST_F(DemoScreens, PaySheetShowsTheStoredAmountsAfterARestart)
{
    MessageRecorder boxes;
    kalvor::platform::TaskThread thread;
    kalvor::CalcThreadParams params;
    params.document = doc.get();
    ASSERT_TRUE(thread.start(params, &kalvor::CalculationThreadProc));
    ASSERT_TRUE(WaitFor([&] { return !thread.isRunning(); }, 60'000));
    Settle();
    const std::vector<double> computed = EveryPayout(doc->infoBase);
    EXPECT_DOUBLE_EQ(computed[std::size_t(Slot(110) - 1)], 987'000); // worked out in the payroll tests

    Restart();
    EXPECT_EQ(EveryPayout(doc->infoBase), computed);
    auto* view = Open<CCalcPlatVedView>();
    ASSERT_NE(view, nullptr);
    view->Strip()->Field(CWorkersFilterDlg::IdShop)->setFocus();
    TypeKeys(QStringLiteral("1"));
    PressKey(Qt::Key_Return);
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    double total = 0;
    int rows = 0;
    for (int i = 0; i < doc->infoBase.employeeCount(); ++i) {
        const int slot = doc->infoBase.list[std::size_t(i)].slot;
        if (doc->infoBase.shopOf(slot) == 1) {
            total += computed[std::size_t(slot - 1)];
            ++rows;
        }
    }
    ASSERT_EQ(grid->GetRowCount() - 1, rows);
    EXPECT_EQ(grid->GetItemText(10, 1), QStringLiteral("110"));
    EXPECT_EQ(grid->GetItemText(10, 2), QStringLiteral("9870.00"));
    EXPECT_EQ(ScreenText(view->Dlg(), QStringLiteral("К выдаче")), QString::number(total / 100, 'f', 2));
    // The standing payments of the demo firm reached the month's rows.
    auto monthRow = [&](int tabN, int code) {
        QSqlQuery q(ib::Db(doc->infoBase));
        q.prepare(QStringLiteral("SELECT count(*) FROM dbo.zarp z JOIN dbo.konst k ON k.id = z.id_konst "
                                 "WHERE k.rec = ? AND z.kod = ?"));
        q.addBindValue(Slot(tabN));
        q.addBindValue(code);
        return q.exec() && q.next() ? q.value(0).toInt() : -1;
    };
    EXPECT_EQ(monthRow(102, 53), 1);
    EXPECT_EQ(monthRow(119, 9), 1);
    EXPECT_EQ(monthRow(111, 8), 1);
    EXPECT_EQ(monthRow(113, 6), 1);
    Screenshot(frame.get(), QStringLiteral("pay-sheet.png"));
}

TEST_F(DemoScreens, DeductionsOf106StepAndSurviveARestart)
{
    MessageRecorder boxes;
    auto* view = Open<CWorkerNalvichView>();
    ASSERT_NE(view, nullptr);
    Apply(view->Strip(), 106);
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    QStringList codes, names;
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        codes << grid->GetItemText(row, 0);
        names << grid->GetItemText(row, 1);
    }
    EXPECT_EQ(codes, (QStringList{"103", "108", "114", "115", "117"}));
    EXPECT_EQ(names[2], QStringLiteral("1-й ребенок 1000 р."));
    EXPECT_EQ(view->Dlg()->RowCells(5), (QStringList{"117", "Реб.-инвалид 3000 р.", "01.11", "12.11", "", "1"}));
    Screenshot(frame.get(), QStringLiteral("tax-deductions.png"));

    TypeCell(grid, 3, 4, QStringLiteral("1400"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 107u);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Налоговые вычеты [Гусева А. С.]"));
    EXPECT_TRUE(boxes.boxes.empty());

    Restart();
    ib::LoadEmployee(doc->infoBase, Slot(106));
    EXPECT_EQ(doc->infoBase.current.nalvich[2].kod, 114);
    EXPECT_DOUBLE_EQ(doc->infoBase.current.nalvich[2].sum, 140'000);
    EXPECT_EQ(doc->infoBase.current.nalvich[3].kod, 115);
}

TEST_F(DemoScreens, ArchiveAndPermanentPaymentsOfTheDemoFirm)
{
    MessageRecorder boxes;
    // The quick button's way in: the screen opens on the employee shown last.
    doc->LastPersonnelNumber = 108;
    doc->OpenWithLastEmployee = 1;
    auto* archive = Open<CWorkerArchiveView>();
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(archive->m_tabN, 108u);
    EXPECT_EQ(doc->OpenWithLastEmployee, 0);
    const int count = doc->infoBase.current.warKv;
    ASSERT_GE(count, 2);
    // The reversal filed in February against January's salary paid twice.
    QStringList reversal;
    for (int row = 1; row <= count; ++row)
        if (archive->DetailDlg()->RowCells(row).value(2) == QStringLiteral("-1800.00"))
            reversal = archive->DetailDlg()->RowCells(row);
    EXPECT_EQ(reversal, (QStringList{"01.11", "4", "-1800.00", "", "", "02.11"}));
    Screenshot(frame.get(), QStringLiteral("archive.png"));

    auto* payments = frame->SwitchView<CWorkerPostviplView>();
    ASSERT_NE(payments, nullptr);
    Settle();
    Apply(payments->Strip(), 113);
    EXPECT_EQ(payments->DetailDlg()->RowCells(1),
              (QStringList{"6", "", "1500.00", "", "", "", "", "", "", "", "01.01.11", "", "1"}));
    Apply(payments->Strip(), 111);
    EXPECT_EQ(payments->DetailDlg()->RowCells(1),
              (QStringList{"8", "5", "", "8", "20.0", "", "1", "", "", "", "", "", ""}));
    Screenshot(frame.get(), QStringLiteral("permanent-payments.png"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

#endif
