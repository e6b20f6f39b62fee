// Advances typed after a write whose COMMIT the server held (a synchronous
// standby that does not exist must confirm it; run by tools/test.sh against
// a throw-away cluster, skipped without one), for each write that puts
// memory back and brings it to the write once the server made it: the
// calculation stopped, a card made, a card removed, the personal account's
// recompute. While the server holds the COMMIT no screen opens to take
// anything typed; once it lets go, the advance screen opens with memory
// brought to the write (or a calculation's worker meets the write first and
// leaves it to the interface thread to settle), what is typed there is
// stored, memory equals the base, and the next write goes through. And a screen's own save held in
// doubt and then made, followed by the save of the screen that opened
// meanwhile: both are stored.
#include "shell/UiTestSupport.h"

#include "entries/ui/CAvanceVvodDlg.h"
#include "entries/ui/CAvanceVvodView.h"
#include "entries/ui/CTabelVvodDlg.h"
#include "entries/ui/CTabelVvodView.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/BaseEmployees.h"
#include "infobase/BaseWrites.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/FixtureBaseFile.h"
#include "payroll/ui/CCalcZarpDlg.h"
#include "payroll/ui/CCalcZarpView.h"
#include "payroll/ui/PersonalAccount.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"
#include "platform/GuiBridge.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "support/HangingServer.h"
#include "support/SlotArrays.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;
using servertest::WaitUntil;

namespace {

constexpr int kEmployees = 12;

class ServerDoubt : public servertest::ClusterTest {
public:
    void TearDown() override
    {
        if (server.isEmpty())
            return;
        HoldCommits(false);
        frame.reset();
        if (doc)
            CloseBase(base());
    }

    CInfoBase& base() { return doc->infoBase; }

    // The server holds the COMMITs of the sessions that ask for a
    // synchronous one: the base's sessions opened from now on (the
    // calculation's worker) and the screens' own.
    void HoldCommits(bool hold)
    {
        if (!doc)
            return;
        const QString database = Db(base()).databaseName();
        if (hold)
            ASSERT_TRUE(servertest::HoldAskedCommitsOnceHeld(Db(base()), BaseFile(base())));
        else
            ASSERT_TRUE(servertest::HoldSynchronousCommits(Db(base()), false, false));
        db::Execute(Db(base()), hold ? QStringLiteral("ALTER DATABASE \"%1\" SET synchronous_commit = on").arg(database)
                                     : QStringLiteral("ALTER DATABASE \"%1\" RESET synchronous_commit").arg(database));
        db::Execute(Db(base()), hold ? QStringLiteral("SET synchronous_commit = on")
                                     : QStringLiteral("SET synchronous_commit = local"));
        if (!hold) {
            ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(base())));
        }
    }

    void ShowFrame(const QString& name)
    {
        doc = std::make_unique<CKalvorDoc>();
        payrolltest::BuildMonthReadyBase(*doc, dir.path(), name, kEmployees);
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1024, 768);
        ASSERT_TRUE(ShowActive(frame.get()));
    }

    // The calculation run from its screen and stopped while the server
    // holds its COMMIT.
    void CalculationStoppedInDoubt()
    {
        auto* view = frame->SwitchView<CCalcZarpView>();
        ASSERT_NE(view, nullptr);
        bool done = false, escaped = false;
        QObject::connect(view->CalcDlg(), &CCalcZarpDlg::calculationDone, view, [&](int, int) { done = true; });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!escaped && servertest::HeldCommits(Db(base())) > 0) {
                escaped = true;
                QTest::keyClick(view->CalcDlg(), Qt::Key_Escape);
            }
        });
        poll.start(20);
        view->CalcDlg()->SetSelection(0, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return done; }, 60000));
        poll.stop();
        ASSERT_TRUE(escaped) << "the server never held the run's COMMIT";
    }

    // The calculation run on a screen of its own (no screen of the frame,
    // which would settle the write as it opens): its worker meets the write
    // in doubt and leaves it, waiting for the interface thread, while that
    // thread turns no events; once it turns them, it settles the write and
    // the run computes everyone.
    void CalculationMeetsTheWriteInDoubt()
    {
        CCalcZarpView calc(doc.get());
        calc.OnInitialUpdate();
        std::vector<int> done;
        QObject::connect(calc.CalcDlg(), &CCalcZarpDlg::calculationDone, &calc,
                         [&](int result, int) { done.push_back(result); });
        calc.CalcDlg()->SetSelection(0, 0, 0);
        for (int waited = 0; platform::GuiBridge::waitingCalls() == 0 && waited < 10000; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(platform::GuiBridge::waitingCalls(), 1);
        EXPECT_FALSE(WriteInDoubt(base()).isEmpty());
        EXPECT_TRUE(WaitUntil([&] { return !done.empty(); }, 60000));
        EXPECT_EQ(done, std::vector<int>{platform::TASK_DONE});
        EXPECT_TRUE(WriteInDoubt(base()).isEmpty());
    }

    // The advance screen, the whole list shown.
    CAvanceVvodView* ShowAdvances()
    {
        auto* view = frame->SwitchView<CAvanceVvodView>();
        if (!view)
            return nullptr;
        QLineEdit* shop = view->Strip()->Field(CWorkersFilterDlg::IdShop);
        shop->setFocus();
        shop->clear();
        QTest::keyClick(shop, Qt::Key_Return);
        return view;
    }
    // The main time sheet, the employee's record shown.
    CTabelVvodView* ShowTimeSheet(int tabN)
    {
        auto* view = static_cast<CTabelVvodView*>(
            frame->SwitchView([](CKalvorDoc* d) -> CCommonFormView* { return new CTabelVvodView(d, {}); }));
        if (!view)
            return nullptr;
        QLineEdit* number = view->Strip()->Field(CTabelFilterDlg::IdTabN);
        number->setFocus();
        number->selectAll();
        QTest::keyClicks(number, QString::number(tabN));
        QTest::keyClick(number, Qt::Key_Return);
        return view;
    }
    void LeaveScreen()
    {
        frame->SwitchView<CEmptyView>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Memory equals a fresh reading of the base.
    void ExpectMemoryAsStored()
    {
        PayrollDoc after;
        payrolltest::ReloadStored(after, base());
        EXPECT_EQ(after.infoBase.list, base().list);
        EXPECT_EQ(EveryShortName(after.infoBase), EveryShortName(base()));
        EXPECT_EQ(EveryAttributes(after.infoBase), EveryAttributes(base()));
        EXPECT_EQ(EveryAdvance(after.infoBase), EveryAdvance(base()));
        EXPECT_EQ(EveryPayout(after.infoBase), EveryPayout(base()));
        EXPECT_EQ(EveryTabel(after.infoBase), EveryTabel(base()));
        EXPECT_EQ(after.infoBase.config.kolRab, base().config.kolRab);
        CloseBase(after.infoBase);
    }
    double StoredAdvance(int slot)
    {
        db::Recordset q(Db(base()), QStringLiteral("SELECT av FROM dbo.AvZar1 WHERE num = ?"));
        q.run(slot);
        return q.next() ? q.toDouble(0) : -1;
    }

    std::unique_ptr<CKalvorDoc> doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

TEST_F(ServerDoubt, AdvancesTypedAfterAWriteInDoubtThatWasMadeAreStoredAndTheNextWriteGoesThrough)
{
    struct Row {
        const char* write;
        std::function<void(ServerDoubt&)> inDoubt; // the write, cut with its outcome not known
        // Once the server lets go, what meets the write before the advance
        // screen does; none: that screen.
        std::function<void(ServerDoubt&)> metFirst;
    };
    const auto onTheScreensThread = [](const std::function<void(CInfoBase&)>& write) {
        return [write](ServerDoubt& t) {
            try {
                write(t.base());
                ADD_FAILURE() << "the COMMIT was not held";
            } catch (const db::DbError& e) {
                EXPECT_NE(e.commitInDoubt(), nullptr) << e.what();
            }
        };
    };
    const auto cardMade = onTheScreensThread([](CInfoBase& b) {
        int highest = 0;
        for (const EmployeeListEntry& e : b.list) highest = std::max(highest, int(e.tabN()));
        AddEmployeeToBase(b, highest + 5);
    });
    const Row rows[] = {
        {"the calculation", [](ServerDoubt& t) { t.CalculationStoppedInDoubt(); }, nullptr},
        {"a card made", cardMade, nullptr},
        {"a card removed", onTheScreensThread([](CInfoBase& b) { RemoveEmployeeFromBase(b, b.list[4].tabN()); }),
         nullptr},
        {"the personal account's recompute",
         [onTheScreensThread](ServerDoubt& t) {
             onTheScreensThread([&t](CInfoBase& b) { RecomputeEmployee(*t.doc, b.list[2].tabN()); })(t);
         },
         nullptr},
        {"a card made, met by the calculation's worker", cardMade,
         [](ServerDoubt& t) { t.CalculationMeetsTheWriteInDoubt(); }},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.write);
        ShowFrame(QStringLiteral("doubt%1").arg(++n));
        MessageRecorder boxes;
        HoldCommits(true);
        row.inDoubt(*this);
        ASSERT_FALSE(WriteInDoubt(base()).isEmpty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();

        // Still held: no screen opens to take what is typed.
        EXPECT_EQ(ShowAdvances(), nullptr);
        EXPECT_TRUE(boxes.Texts().last().contains(
            QString::fromUtf8(kEarlierWriteNotKnownText).arg(QString::fromUtf8(db::kCommitHeldReason))))
            << boxes.Texts().join(QLatin1Char('|')).toStdString();

        HoldCommits(false);
        if (row.metFirst)
            row.metFirst(*this);
        boxes.boxes.clear();
        CAvanceVvodView* view = ShowAdvances();
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(WriteInDoubt(base()).isEmpty());
        CFldHlpGridCtrl* grid = view->Dlg()->Grid();
        ASSERT_GT(grid->GetRowCount(), 3);
        const int typed = base().list[std::size_t(base().FindEmployee(grid->GetItemText(2, 1).toInt()))].slot;
        grid->SetItemText(2, 2, QStringLiteral("4321.09"));
        LeaveScreen();
        EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_DOUBLE_EQ(base().avOf(typed), 432'109.0);
        EXPECT_DOUBLE_EQ(StoredAdvance(typed), 432'109.0);
        ExpectMemoryAsStored();

        // The next write goes through.
        base().avOf(typed) = 100.0;
        EXPECT_NO_THROW(SaveAvZar1(base()));
        EXPECT_DOUBLE_EQ(StoredAdvance(typed), 100.0);
        frame.reset();
        CloseBase(base());
        doc.reset();
    }
}

// The calculation's COMMIT held by the server and the server restarted under
// it (the session that sent it killed): every session of the program ended
// with the restart. The advance screen, opened once the server is back,
// meets new sessions: what is typed there is saved at the first try, without
// a box, nothing typed dropped, and memory equals the base.
TEST_F(ServerDoubt, AdvancesTypedAfterACommitKilledByAServerRestartAreSavedAtTheFirstTry)
{
    ShowFrame(QStringLiteral("restarted"));
    MessageRecorder boxes;
    HoldCommits(true);
    CalculationStoppedInDoubt();
    ASSERT_FALSE(WriteInDoubt(base()).isEmpty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    ASSERT_NO_FATAL_FAILURE(servertest::RestartServer());
    // The hold lifted on a session of the test's own, the screens' left as
    // the restart left them.
    const QString locator = BaseFile(base());
    std::thread([&] {
        const QSqlDatabase db = db::Connection::forThread(locator);
        EXPECT_TRUE(servertest::HoldSynchronousCommits(db, false, false));
        db::Execute(db, QStringLiteral("ALTER DATABASE \"%1\" RESET synchronous_commit").arg(db.databaseName()));
        db::Connection::closeAllForThread();
    }).join();
    boxes.boxes.clear();

    CAvanceVvodView* view = ShowAdvances();
    ASSERT_NE(view, nullptr) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    ASSERT_GT(grid->GetRowCount(), 3);
    const int typed = base().list[std::size_t(base().FindEmployee(grid->GetItemText(2, 1).toInt()))].slot;
    grid->SetItemText(2, 2, QStringLiteral("4321.09"));
    LeaveScreen();
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_DOUBLE_EQ(base().avOf(typed), 432'109.0);
    EXPECT_DOUBLE_EQ(StoredAdvance(typed), 432'109.0);
    EXPECT_TRUE(WriteInDoubt(base()).isEmpty());
    ExpectMemoryAsStored();
}

// A screen's save whose COMMIT the server held (the advances, stored as their
// screen closes, the time sheet already open) and then made: what is typed
// on the time sheet is saved without a box, the earlier save taken as made
// first; the base and memory hold what was typed on both screens, and no
// write is in doubt.
TEST_F(ServerDoubt, AScreensSaveAfterAnEarlierSaveInDoubtThatWasMadeTakesItAndIsStored)
{
    ShowFrame(QStringLiteral("doubtsave"));
    MessageRecorder boxes;
    CAvanceVvodView* advances = ShowAdvances();
    ASSERT_NE(advances, nullptr);
    CFldHlpGridCtrl* grid = advances->Dlg()->Grid();
    ASSERT_GT(grid->GetRowCount(), 3);
    const int advanced = base().list[std::size_t(base().FindEmployee(grid->GetItemText(2, 1).toInt()))].slot;
    grid->SetItemText(2, 2, QStringLiteral("4321.09"));
    const EmployeeListEntry worker = base().list[3];

    HoldCommits(true);
    CTabelVvodView* sheet = ShowTimeSheet(int(worker.tabN()));
    ASSERT_NE(sheet, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the advance screen goes, storing
    ASSERT_FALSE(WriteInDoubt(base()).isEmpty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.Texts()[0].contains(QString::fromUtf8(db::kCommitHeldText))) << boxes.Texts()[0].toStdString();

    // The server lets go: the advances were saved.
    HoldCommits(false);
    boxes.boxes.clear();
    QLineEdit* evening = sheet->TabelDlg()->Field(1079);
    ASSERT_TRUE(evening->isEnabled());
    evening->setFocus();
    evening->selectAll();
    QTest::keyClicks(evening, QStringLiteral("12,30"));
    LeaveScreen();
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(WriteInDoubt(base()).isEmpty());
    EXPECT_DOUBLE_EQ(base().avOf(advanced), 432'109.0);
    EXPECT_DOUBLE_EQ(StoredAdvance(advanced), 432'109.0);
    EXPECT_EQ(base().tabelOf(worker.slot).vHr, 12 * 60 + 30);
    ExpectMemoryAsStored();
    frame.reset();
    CloseBase(base());
    doc.reset();
}
