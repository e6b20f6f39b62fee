// The archive with dates and the personal account on the demo base, with a
// screenshot of each in the build folder (screenshots/): Ермаков's two
// sick-leave sheets (the second continuing the first) and Носков's unpaid
// leave; the personal account of 110 Тихонов after the month's calculation
// and a restart, with the rows the calculation stored and the totals worked
// out by hand in the payroll tests.
#include "DemoFirm.h"
#include "EmployeeScreensWorld.h"

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

class DemoDatedArchiveAccount : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/empty.bak"), folder + QStringLiteral("empty.bak")));
        ASSERT_TRUE(kalvor::tools::MakeDemoBase(folder));
        Start();
    }
    void TearDown() override
    {
        frame.reset();
        ib::CloseBase(doc->infoBase);
    }
    // The program's start on the demo base: a new document that opens it.
    void Start()
    {
        doc = std::make_unique<CKalvorDoc>();
        doc->setWorkFolder(folder);
        doc->refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
        ASSERT_TRUE(doc->refFiles.OpenAll());
        doc->infoBase.baseName = kalvor::tools::DemoBaseName();
        ib::OpenBase(doc->infoBase);
        ib::LoadAll(doc->infoBase);
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1240, 800);
        ASSERT_TRUE(ShowActive(frame.get()));
    }
    void Restart()
    {
        frame.reset();
        ib::CloseBase(doc->infoBase);
        doc.reset();
        Start();
    }
    void ApplyNumber(CTabelFilterDlg* strip, int number)
    {
        QLineEdit* field = strip->Field(CTabelFilterDlg::IdTabN);
        field->setFocus();
        field->selectAll();
        TypeKeys(QString::number(number));
        PressKey(Qt::Key_Return);
        Settle();
    }
    static void Screenshot(QWidget* w, const QString& name)
    {
        const QString shots = QStringLiteral(KALVOR_DATA_DIR "/../screenshots");
        QDir().mkpath(shots);
        EXPECT_TRUE(w->grab().save(shots + QLatin1Char('/') + name));
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(DemoDatedArchiveAccount, SickLeaveSheetsAndUnpaidLeaveInTheArchiveWithDates)
{
    MessageRecorder boxes;
    auto* view = frame->SwitchView<CWorkerDatArchiveView>();
    ASSERT_NE(view, nullptr);
    Settle();
    ApplyNumber(view->Strip(), 120);
    ASSERT_EQ(view->Dlg()->Grid()->GetRowCount(), 2);
    EXPECT_EQ(view->Dlg()->RowCells(1), (QStringList{"14.03.11", "18.03.11", "03.11", "600", "", ""}));

    ApplyNumber(view->Strip(), 115);
    EXPECT_EQ(view->Title(), QStringLiteral("Архив с датами [Ермаков В. И.]"));
    ASSERT_EQ(view->Dlg()->Grid()->GetRowCount(), 3);
    EXPECT_EQ(view->Dlg()->RowCells(1), (QStringList{"14.02.11", "25.02.11", "02.11", "156", "5832.00", ""}));
    EXPECT_EQ(view->Dlg()->RowCells(2), (QStringList{"26.02.11", "04.03.11", "03.11", "155", "3402.00", "1"}));
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
    ApplyNumber(view->Strip(), 110);
    CCalcLicSchetDlg* dlg = view->Dlg();
    EXPECT_EQ(view->Title(), QStringLiteral("Лицевой счет [Тихонов В. А.]"));
    // Salary, advance, tax and five contributions (worked out in the payroll tests).
    QStringList codes;
    for (int row = 1; row < dlg->Grid()->GetRowCount(); ++row) codes << dlg->Grid()->GetItemText(row, 1);
    codes.sort();
    EXPECT_EQ(codes, (QStringList{"4", "901", "902", "990", "992", "993", "994", "995"}));
    EXPECT_EQ(dlg->Grid()->GetItemText(1, 0), QStringLiteral("Оплата по окладу"));
    EXPECT_EQ(dlg->Grid()->GetItemText(1, 3), QStringLiteral("21000.00"));
    EXPECT_EQ(dlg->Grid()->GetItemText(1, 4), QStringLiteral("21"));
    EXPECT_EQ(dlg->Grid()->GetItemText(1, 5), QStringLiteral("168,0"));
    EXPECT_EQ(dlg->AccruedText(), QStringLiteral("21000.00"));
    EXPECT_EQ(dlg->DeductedText(), QStringLiteral("11130.00"));
    EXPECT_EQ(dlg->ToPayText(), QStringLiteral("9870.00"));
    Screenshot(frame.get(), QStringLiteral("personal-account.png"));

    // F4: the next employee's stored rows, without computing.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 111u);
    EXPECT_EQ(view->Title(), QStringLiteral("Лицевой счет [Прохоров И. В.]"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

#endif
