// The postings export driven by keys: the settings dialog shows 70 for an
// account of 0 and saves nothing without a change, keeps the other bits of
// its flags word and cuts values out of range to 0; on the demo base after
// the April 2011 calculation "Экспорт" writes the BEST postings and offers a
// copy of them to the print command; the program help lists the four
// programs; closing the view while a run holds stops it and joins it.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"
#include "support/StoredBase.h"

#include "exchange/PostingsExport.h"
#include "exchange/ui/CEFuncPrExpSetDlg.h"
#include "exchange/ui/CEFuncProvodExportView.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "platform/DocumentOpener.h"
#include "shell/ui/CKalvorDoc.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;
using kalvor::platform::TaskThread;

namespace {

// Declines the print command and remembers the files offered.
class DecliningPrompt : public kalvor::print::PrintCommandPrompt {
public:
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString&) override
    {
        offered << reportPath;
        return std::nullopt;
    }
    QStringList offered;
};

// With `hold` its worker waits for the stop event instead of exporting.
class HoldingExportView : public CEFuncProvodExportView {
public:
    using CEFuncProvodExportView::CEFuncProvodExportView;
    ~HoldingExportView() override { StopWorker(); }

    bool hold = false;
    std::atomic<bool>* started = nullptr;
    std::atomic<bool>* sawStop = nullptr;

protected:
    TaskThread::Body MakeTaskBody() override
    {
        if (!hold)
            return CEFuncProvodExportView::MakeTaskBody();
        return [started = started, sawStop = sawStop](TaskContext& context) {
            *started = true;
            while (!context.stopToken().stop_requested()) QThread::msleep(5);
            *sawStop = true;
            return TaskOutcome(kalvor::platform::TASK_DONE);
        };
    }
};

class UiProvodExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        kalvor::platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::OpenDemoDocument(*doc, folder));
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
    }
    void OpenView()
    {
        view = std::make_unique<HoldingExportView>(doc.get());
        view->SetPrintPrompt(&prompt);
        view->resize(760, 600);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    // The firm record as stored in the base.
    ib::FirmInfo StoredFirm()
    {
        ib::CInfoBase stored;
        stored.workFolder = doc->infoBase.workFolder;
        stored.baseName = doc->infoBase.baseName;
        ib::OpenStoredBase(stored);
        ib::LoadFirm(stored);
        const ib::FirmInfo firm = stored.firm;
        ib::CloseBase(stored);
        return firm;
    }
    QLineEdit* Field(int id) const { return view->controlAs<QLineEdit>(id); }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<HoldingExportView> view;
    DecliningPrompt prompt;
    MessageRecorder recorder;
};

TEST_F(UiProvodExport, SettingsShowSeventyForNoAccountAndSaveOnlyAChange)
{
    ib::FirmInfo& firm = doc->infoBase.firm;
    firm.c1Ch70 = 0;
    firm.c1Word = 0x0001; // a bit of another setting
    ib::SaveFirm(doc->infoBase);

    {
        CEFuncPrExpSetDlg dialog(doc->infoBase);
        ASSERT_TRUE(ShowActive(&dialog));
        auto* account = dialog.controlAs<QLineEdit>(CEFuncPrExpSetDlg::IdAccount);
        EXPECT_EQ(account->text(), QStringLiteral("70"));
        EXPECT_EQ(dialog.controlAs<QLineEdit>(CEFuncPrExpSetDlg::IdSubaccount)->text(), QString());
        QTest::keyClick(account, Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_FALSE(dialog.Saved());
    }
    EXPECT_EQ(firm.c1Ch70, 70); // in memory only
    EXPECT_EQ(StoredFirm().c1Ch70, 0);

    {
        CEFuncPrExpSetDlg dialog(doc->infoBase);
        ASSERT_TRUE(ShowActive(&dialog));
        auto* account = dialog.controlAs<QLineEdit>(CEFuncPrExpSetDlg::IdAccount);
        account->selectAll();
        TypeText(account, QStringLiteral("68"));
        QTest::keyClick(account, Qt::Key_Tab);
        TypeText(dialog.controlAs<QLineEdit>(CEFuncPrExpSetDlg::IdSubaccount), QStringLiteral("7"));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
        auto* join = dialog.controlAs<QCheckBox>(CEFuncPrExpSetDlg::IdJoinAccruals);
        ASSERT_EQ(dialog.focusWidget(), join);
        QTest::keyClick(join, Qt::Key_Space);
        QTest::keyClick(dialog.controlAs<QLineEdit>(CEFuncPrExpSetDlg::IdSubaccount), Qt::Key_Return);
        EXPECT_TRUE(dialog.Saved());
    }
    ib::FirmInfo stored = StoredFirm();
    EXPECT_EQ(stored.c1Ch70, 68);
    EXPECT_EQ(stored.c1Sub70(), 7);
    EXPECT_TRUE(stored.c1TypProv());
    EXPECT_EQ(stored.c1Word & 0x0001, 0x0001);

    {
        // Out of range: an account above 9999 and a sub-account above 9 are
        // refused by name, never stored as 0; "Отмена" after typing changes
        // nothing.
        CEFuncPrExpSetDlg dialog(doc->infoBase);
        ASSERT_TRUE(ShowActive(&dialog));
        auto* account = dialog.controlAs<QLineEdit>(CEFuncPrExpSetDlg::IdAccount);
        account->selectAll();
        TypeText(account, QStringLiteral("10000"));
        QTest::keyClick(account, Qt::Key_Escape);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(StoredFirm().c1Ch70, 68);
    {
        CEFuncPrExpSetDlg dialog(doc->infoBase);
        ASSERT_TRUE(ShowActive(&dialog));
        auto* account = dialog.controlAs<QLineEdit>(CEFuncPrExpSetDlg::IdAccount);
        account->selectAll();
        TypeText(account, QStringLiteral("10000"));
        auto* subaccount = dialog.controlAs<QLineEdit>(CEFuncPrExpSetDlg::IdSubaccount);
        subaccount->selectAll();
        TypeText(subaccount, QStringLiteral("12"));
        QTest::keyClick(subaccount, Qt::Key_Return);
        EXPECT_FALSE(dialog.Saved());
        EXPECT_EQ(recorder.Texts(), QStringList(QStringLiteral("Значение поля \"Субсчет\" должно быть от 0 до 9: 12")));
        EXPECT_EQ(QApplication::focusWidget(), subaccount);
    }
    stored = StoredFirm();
    EXPECT_EQ(stored.c1Ch70, 68);
    EXPECT_EQ(stored.c1Sub70(), 7);
    EXPECT_TRUE(stored.c1TypProv());
}

TEST_F(UiProvodExport, DemoAprilBestPostingsAreOfferedAsACopy)
{
    kalvor::platform::TaskThread calc;
    kalvor::CalcThreadParams calcParams;
    calcParams.document = doc.get();
    ASSERT_TRUE(calc.start(calcParams, &kalvor::CalculationThreadProc));
    ASSERT_TRUE(WaitFor([&] { return !calc.isRunning(); }, 60'000));
    Settle();
    OpenView();

    // The program help lists the four programs.
    EXPECT_EQ(AccountingProgramList(), (QStringList{QStringLiteral(" |BEST"), QStringLiteral("1|1С-бухгалтерия"),
                                                    QStringLiteral("2|ИНФИН"), QStringLiteral("3|Турбо-бухгалтер")}));

    // A program without a writer yet, or a brigade out of range, is refused
    // naming its field, and nothing runs; empty fields run BEST for everyone.
    TypeText(Field(CEFuncProvodExportView::IdProgramField), QStringLiteral("4"));
    QTest::keyClick(Field(CEFuncProvodExportView::IdProgramField), Qt::Key_Return);
    EXPECT_EQ(recorder.Texts(),
              QStringList{QStringLiteral("Значение поля \"Выбор бухгалтерской программы\" должно быть от 0 до 3: 4")});
    Field(CEFuncProvodExportView::IdProgramField)->clear();
    TypeText(Field(IdBrigadeField), QStringLiteral("100"));
    QTest::keyClick(Field(IdBrigadeField), Qt::Key_Return);
    EXPECT_EQ(recorder.Texts().size(), 2);
    EXPECT_FALSE(view->Running());
    EXPECT_TRUE(prompt.offered.isEmpty());
    recorder.boxes.clear();
    Field(IdBrigadeField)->clear();
    QTest::keyClick(Field(CEFuncProvodExportView::IdProgramField), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 60'000));
    EXPECT_EQ(view->Program(), 0);
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join('|').toStdString();

    const QString copy = kalvor::exchange::PostingsPrintCopy(*doc);
    EXPECT_EQ(prompt.offered, QStringList{copy});
    QFile work(doc->TypWorkFile());
    ASSERT_TRUE(work.open(QIODevice::ReadOnly));
    const QByteArray postings = work.readAll();
    QFile offered(copy);
    ASSERT_TRUE(offered.open(QIODevice::ReadOnly));
    EXPECT_EQ(offered.readAll(), postings);
    ASSERT_FALSE(postings.isEmpty());
    EXPECT_EQ(postings.size() % kalvor::exchange::kBestLineLength, 0);
    // Every line is dated the last day of April 2011.
    for (const QByteArray& line : postings.split('\n'))
        if (!line.isEmpty()) {
            EXPECT_EQ(line.mid(19, 8), QByteArray("20110430"));
        }
}

TEST_F(UiProvodExport, ClosingTheViewWhileRunningStopsAndJoins)
{
    std::atomic<bool> started{false}, sawStop{false};
    OpenView();
    view->hold = true;
    view->started = &started;
    view->sawStop = &sawStop;
    QTest::mouseClick(view->controlAs<QPushButton>(CEFuncProvodExportView::IdExportButton), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return started.load(); }));
    EXPECT_FALSE(view->control(CEFuncProvodExportView::IdExportButton)->isEnabled());
    view.reset(); // the run is joined before the view goes
    EXPECT_TRUE(sawStop.load());
    Settle();
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_TRUE(prompt.offered.isEmpty());
}

} // namespace

#endif
