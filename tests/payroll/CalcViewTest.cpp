// The calculation screen over a fixture base stored in a base file: the
// selection strip driven by keys, the title lines, the progress bar and the
// error counter while the worker computes, "Стоп" halfway through a second
// run, and the rows in the base against what the engine computes for each
// employee.
#include "payroll/CalcThread.h"
#include "payroll/MonthChange.h"
#include "payroll/ui/CCalcZarpDlg.h"
#include "payroll/ui/CCalcZarpView.h"
#include "payroll/ui/RunMonthChange.h"
#include "support/ScreenText.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/FixtureBaseFile.h"
#include "payroll/PayKinds.h"
#include "payroll/PayrollWorld.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/TaskThread.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/InfoBaseService.h"
#include "support/DemoDocument.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <memory>
#include <utility>

using namespace kalvor;
using namespace kalvor::infobase;
using kalvor::platform::TaskThread;

namespace {

// Holds the base's worker behind a job of the test until the returned promise
// is kept: a run started meanwhile surely still goes when the test acts,
// however loaded the machine is.
std::promise<void> HoldWorker(CInfoBase& base)
{
    std::promise<void> release;
    base.worker.post([held = release.get_future().share()] { held.wait_for(std::chrono::minutes(1)); });
    return release;
}

constexpr int kEmployees = 240;

// What the engine gives for one employee: its result and the row block.
struct Expected {
    int result = 0;
    std::array<AccrualRow, EmployeeRecord::RowCount> rows{};
};

class CalcViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = QStringLiteral("calc");
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = BuildFixtureBase(base(), kEmployees, 11);
        BuildFixtureRefFiles(doc.refFiles);
        payrolltest::AddFixtureContributionTables(doc);
        // Two employees without a payment system: the engine refuses them (-1).
        for (int i : {7, 150}) base().attributesOf(base().list[std::size_t(i)].slot).sistOpl = 0;
        payrolltest::SaveFixtureToBase(base(), fx);
        LoadAll(base()); // the screen works on what the base holds
    }
    void TearDown() override { CloseBase(base()); }

    CInfoBase& base() { return doc.infoBase; }

    // The engine over a copy of the stored base in a document of its own, so
    // that the base the screen computes stays as it was.
    std::map<int, Expected> ComputeExpected()
    {
        PayrollDoc e;
        e.setWorkFolder(base().workFolder);
        e.infoBase.baseName = base().baseName + QStringLiteral("_expected");
        kalvor::db::BackupFileTo(BaseFile(base()), BaseFilePath(base().workFolder, e.infoBase.baseName));
        OpenBase(e.infoBase);
        LoadAll(e.infoBase);
        e.refFiles = doc.refFiles;
        EXPECT_TRUE(SelectAllToSwap(e.infoBase, Selection{}));
        e.infoBase.OpenSwapFile();
        CalcWorkBuffer work;
        std::map<int, Expected> out;
        for (int i = 0; i < e.infoBase.employeeCount(); ++i) {
            const int slot = e.infoBase.list[std::size_t(i)].slot;
            Expected& x = out[slot];
            CalcResultBuffer rows{};
            x.result = CalcEmployeeMonth(e, rows.data(), i, &work, CalcStore);
            x.rows = e.infoBase.current.rows;
        }
        e.infoBase.CloseSwapFile();
        CloseBase(e.infoBase);
        return out;
    }

    QTemporaryDir dir;
    CKalvorDoc doc;
    FixtureBase fx;
};

// A run's report of one employee as the screen showed it.
struct Seen {
    int index, errors, position;
    QString title, counter;
};

// Keys that select nobody start nothing: a brigade without employees, an
// unknown number.
void ExpectKeysThatSelectNobodyStartNothing(CCalcZarpView& view, MessageRecorder& boxes)
{
    CCalcZarpDlg* dlg = view.CalcDlg();
    CTabelFilterDlg* strip = view.Strip();
    QLineEdit* shop = strip->Field(CWorkersFilterDlg::IdShop);
    QLineEdit* brigade = strip->Field(CWorkersFilterDlg::IdBrigade);
    QLineEdit* number = strip->Field(CTabelFilterDlg::IdTabN);
    brigade->setFocus();
    TypeText(brigade, QStringLiteral("99"));
    QTest::keyClick(brigade, Qt::Key_Return);
    ASSERT_EQ(boxes.Texts(), QStringList{QStringLiteral("Сотрудников не обнаружено")});
    EXPECT_EQ(boxes.boxes[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_FALSE(dlg->IsRunning());
    EXPECT_TRUE(shop->hasFocus());
    brigade->clear();
    number->setFocus();
    TypeText(number, QStringLiteral("8000"));
    QTest::keyClick(number, Qt::Key_Return);
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("В поле \"Табельный номер\" указан номер, которого нет в справочнике \"Список сотрудников\": %1").arg(8000));
    EXPECT_FALSE(dlg->IsRunning());
    number->clear();
}

// Every report comes in list order with its own error count, counter, bar
// position and title.
void ExpectEveryReportInListOrder(const CInfoBase& base, const std::vector<Seen>& seen,
                                  const std::map<int, Expected>& expected)
{
    std::vector<int> errorsAfter; // errors so far after each employee
    for (const EmployeeListEntry& e : base.list)
        errorsAfter.push_back((errorsAfter.empty() ? 0 : errorsAfter.back()) +
                              (expected.at(e.slot).result < 0 ? 1 : 0));
    int previous = -1;
    for (const Seen& s : seen) {
        ASSERT_GT(s.index, previous);
        previous = s.index;
        const EmployeeListEntry& e = base.list[std::size_t(s.index)];
        EXPECT_EQ(s.errors, errorsAfter[std::size_t(s.index)]) << s.index;
        EXPECT_EQ(s.counter, QString::number(s.errors)) << s.index;
        EXPECT_EQ(s.position, s.index + 1); // every employee is computed, in list order
        EXPECT_EQ(s.title, QStringLiteral("Расчет зарплаты  [Этап 2 - Расчет: %1 , Таб.N %2]")
                               .arg(base.shortNameOf(e.slot))
                               .arg(e.tabN()));
    }
}

// The base holds what the engine computes; failed employees carry their code.
void ExpectTheBaseHoldsWhatTheEngineComputed(const CInfoBase& base, const std::map<int, Expected>& expected)
{
    PayrollDoc after;
    after.setWorkFolder(base.workFolder);
    after.infoBase.baseName = base.baseName;
    OpenStoredBase(after.infoBase);
    LoadAll(after.infoBase);
    for (const EmployeeListEntry& e : after.infoBase.list) {
        const Expected& x = expected.at(e.slot);
        const EmployeeAttributes& a = after.infoBase.attributesOf(e.slot);
        LoadEmployee(after.infoBase, e.slot);
        if (x.result < 0) {
            EXPECT_EQ(a.err, -x.result) << e.slot;
            continue;
        }
        for (int r = 0; r < 60; ++r)
            ASSERT_EQ(after.infoBase.current.rows[std::size_t(r)], x.rows[std::size_t(r)])
                << "slot " << e.slot << " row " << r;
    }
}

// Starts the run again, after removing the first employee's stored rows (the
// stopped run must store them again), holds it after its first employee,
// presses "Стоп" and lets it go on: the stop is set before the worker looks
// at it, however loaded the machine is.
void StopARunAfterItsFirstEmployee(CInfoBase& base, CCalcZarpDlg* dlg, std::vector<std::pair<int, int>>& done)
{
    db::Recordset(Db(base), QStringLiteral("DELETE FROM dbo.zarp WHERE id_konst = "
                                           "(SELECT id FROM dbo.konst WHERE rec = ?)"))
        .run(int(base.list[0].slot));
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    bool let = false;
    const auto letGo = [&] {
        if (!std::exchange(let, true))
            release.set_value();
    };
    const auto unhold = qScopeGuard(letGo); // a failed wait does not leave the worker held
    std::atomic<int> held{-1};
    CalcThreadParams p;
    p.afterEmployee = [&held, released](int index) {
        held = index;
        released.wait_for(std::chrono::minutes(1));
    };
    const std::size_t runs = done.size();
    dlg->StartCalculation(p);
    ASSERT_TRUE(QTest::qWaitFor([&] { return held.load() >= 0; }, 60000));
    EXPECT_EQ(held.load(), 0);
    // "Стоп" sets the stop, then waits for the worker with the event loop
    // turning: the release comes from that loop, after the stop.
    QObject timer; // the release is not left pending past this function
    QTimer::singleShot(0, &timer, letGo);
    QTest::mouseClick(dlg->findChild<QPushButton*>(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.size() == runs + 1; }, 60000));
}

TEST_F(CalcViewTest, ComputesTheBaseShowsProgressAndStopsHalfway)
{
    const std::map<int, Expected> expected = ComputeExpected();
    int failing = 0;
    for (const auto& [slot, x] : expected) failing += x.result < 0 ? 1 : 0;
    ASSERT_GE(failing, 2);
    ASSERT_LT(failing, kEmployees / 2); // most employees compute
    EXPECT_EQ(expected.at(base().list[7].slot).result, -1);

    MessageRecorder boxes;
    CCalcZarpView view(&doc);
    view.resize(800, 400);
    view.OnInitialUpdate();
    ASSERT_TRUE(ShowActive(&view));
    CCalcZarpDlg* dlg = view.CalcDlg();
    CTabelFilterDlg* strip = view.Strip();
    EXPECT_EQ(doc.LastEntryScreen, 8u);
    EXPECT_EQ(ScreenTitle(&view), QStringLiteral("Расчет заработной платы"));

    ASSERT_NO_FATAL_FAILURE(ExpectKeysThatSelectNobodyStartNothing(view, boxes));
    QLineEdit* shop = strip->Field(CWorkersFilterDlg::IdShop);

    // The whole base. Progress comes paced (a fast run reports only some of
    // its employees), so what holds is: the first employee and the last one
    // are reported, in list order, each with its own title, bar position and
    // error count.
    std::vector<Seen> seen;
    QStringList stageTitles;
    QObject::connect(dlg->Thread(), &TaskThread::stage, &view, [&] { stageTitles << ScreenTitle(&view); });
    QObject::connect(dlg->Thread(), &TaskThread::calcProgress, &view, [&](int index, int errors) {
        seen.push_back(
            {index, errors, dlg->Progress()->value(), ScreenTitle(&view), ScreenText(dlg, QStringLiteral("Ошибок"))});
    });
    std::vector<std::pair<int, int>> done;
    QObject::connect(dlg, &CCalcZarpDlg::calculationDone, &view,
                     [&](int result, int errors) { done.emplace_back(result, errors); });

    shop->setFocus();
    QTest::keyClick(shop, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 60000));
    EXPECT_EQ(done[0], std::make_pair(0, failing));
    EXPECT_EQ(stageTitles, QStringList{QStringLiteral("Расчет зарплаты  [Этап 1 - Загрузка данных]")});
    ASSERT_FALSE(seen.empty());
    ASSERT_LE(int(seen.size()), kEmployees);
    EXPECT_EQ(seen.front().index, 0);
    EXPECT_EQ(seen.back().index, kEmployees - 1);
    EXPECT_EQ(seen.back().errors, failing);
    ASSERT_NO_FATAL_FAILURE(ExpectEveryReportInListOrder(base(), seen, expected));
    // The bar stays full with the count; the screen says how the run ended.
    EXPECT_EQ(dlg->Progress()->maximum(), kEmployees);
    EXPECT_EQ(dlg->Progress()->value(), kEmployees);
    EXPECT_EQ(dlg->Progress()->text(), QStringLiteral("240 из 240"));
    // Computed are those whose calculation succeeded.
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("outcome")),
              QStringLiteral("Расчет выполнен. Работников: 240, рассчитано: %1, ошибок: %2")
                  .arg(kEmployees - failing)
                  .arg(failing));
    EXPECT_EQ(ScreenTitle(&view), QStringLiteral("Расчет зарплаты"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Ошибок")), QString::number(failing));
    EXPECT_EQ(boxes.boxes.size(), 2u); // a finished run shows no box

    // Again, held after its first employee and stopped with "Стоп" there:
    // the first employee is computed and stored, nobody after him.
    seen.clear();
    ASSERT_NO_FATAL_FAILURE(StopARunAfterItsFirstEmployee(base(), dlg, done));
    EXPECT_EQ(done.back(), std::make_pair(int(platform::TASK_STOPPED), 0));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].index, 0);
    EXPECT_EQ(seen[0].position, 1);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[2].text, QStringLiteral("Операция прервана"));
    EXPECT_FALSE(dlg->IsRunning());
    EXPECT_EQ(dlg->Progress()->value(), 1);
    EXPECT_EQ(dlg->Progress()->text(), QStringLiteral("1 из 240"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Ошибок")), QStringLiteral("0"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("outcome")),
              QStringLiteral("Расчет прерван. Работников: 240, рассчитано: 1 из 240, ошибок: 0"));
    EXPECT_EQ(ScreenTitle(&view), QStringLiteral("Расчет зарплаты"));

    ExpectTheBaseHoldsWhatTheEngineComputed(base(), expected);
}

TEST_F(CalcViewTest, OneEmployeeByNumberAndAStopDuringLoading)
{
    MessageRecorder boxes;
    CCalcZarpView view(&doc);
    view.OnInitialUpdate();
    ASSERT_TRUE(ShowActive(&view));
    CCalcZarpDlg* dlg = view.CalcDlg();
    std::vector<int> progress;
    QObject::connect(dlg->Thread(), &TaskThread::calcProgress, &view,
                     [&](int index, int) { progress.push_back(index); });
    std::vector<int> results;
    QObject::connect(dlg, &CCalcZarpDlg::calculationDone, &view, [&](int result, int) { results.push_back(result); });

    const EmployeeListEntry third = base().list[2];
    QLineEdit* number = view.Strip()->Field(CTabelFilterDlg::IdTabN);
    number->setFocus();
    TypeText(number, QString::number(third.tabN()));
    QTest::keyClick(number, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !results.empty(); }, 30000));
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(progress, std::vector<int>{2});
    EXPECT_EQ(doc.LastPersonnelNumber, third.tabN());
    EXPECT_EQ(dlg->m_slot, third.slot);
    EXPECT_EQ(dlg->Progress()->maximum(), 1);

    // Stop set before the loading stage ends: nothing is computed. The run
    // waits on the base's worker behind a job of the test until the stop is
    // set, however loaded the machine is.
    progress.clear();
    std::promise<void> release = HoldWorker(base());
    number->clear();
    dlg->SetSelection(0, 0, 0);
    dlg->Thread()->requestStop();
    release.set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 2; }, 30000));
    EXPECT_EQ(results[1], platform::TASK_STOPPED);
    EXPECT_TRUE(progress.empty());
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Операция прервана")});
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("outcome")),
              QStringLiteral("Расчет прерван. Работников: 240, рассчитано: 0 из 0, ошибок: 0"));

    // A work file that cannot be made: the loading stage fails, and the screen says so.
    const QString missing = base().swapPath();
    ASSERT_TRUE(QFile::remove(missing));
    ASSERT_TRUE(QDir().mkdir(missing)); // a folder where the file should be
    dlg->SetSelection(0, 0, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 3; }, 30000));
    EXPECT_EQ(results[2], platform::TASK_FAILED);
    EXPECT_TRUE(progress.empty());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(
        boxes.boxes[1].text,
        QStringLiteral("Расчет зарплаты не выполнен.\nОшибка при открытии файла %1\nНа месте файла находится папка")
            .arg(missing));
    EXPECT_EQ(boxes.boxes[1].flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(ScreenTitle(&view), QStringLiteral("Расчет зарплаты"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("outcome")), QStringLiteral("Расчет не выполнен."));
}

TEST(CalcThreadSelection, KeysNumbersAndTheRestrictedStatus)
{
    PayrollDoc doc;
    BuildFixtureBase(doc.infoBase, 30, 3);
    CInfoBase& b = doc.infoBase;
    const int slot0 = b.list[0].slot, slot1 = b.list[1].slot;
    CalcThreadParams p;
    std::vector<int> list;
    SelectEmployeesForCalculation(p, doc, list);
    EXPECT_EQ(int(list.size()), 30);

    // The shop of the first employee.
    p.shop = b.shopOf(slot0);
    SelectEmployeesForCalculation(p, doc, list);
    ASSERT_FALSE(list.empty());
    for (int i : list) EXPECT_EQ(b.shopOf(b.list[std::size_t(i)].slot), p.shop);

    // Dismissed with status 4: only with bonus lines this month.
    p = CalcThreadParams{};
    b.attributesOf(slot1).priznUv = 4;
    const bool hasBonus = b.prem.count(slot1) != 0;
    SelectEmployeesForCalculation(p, doc, list);
    EXPECT_EQ(std::count(list.begin(), list.end(), 1), hasBonus ? 1 : 0);
    b.prem.removeRun(slot1);
    SelectEmployeesForCalculation(p, doc, list);
    EXPECT_EQ(std::count(list.begin(), list.end(), 1), 0);

    // A personnel number: that employee alone; one that is not in the list, or
    // negative, nobody; the reserved selector, nobody.
    p.personnelNumber = b.list[5].tabN();
    SelectEmployeesForCalculation(p, doc, list);
    EXPECT_EQ(list, std::vector<int>{5});
    p.personnelNumber = 8000;
    SelectEmployeesForCalculation(p, doc, list);
    EXPECT_TRUE(list.empty());
    p.personnelNumber = -1;
    SelectEmployeesForCalculation(p, doc, list);
    EXPECT_TRUE(list.empty());
    p = CalcThreadParams{};
    p.reservedSelector = 1;
    SelectEmployeesForCalculation(p, doc, list);
    EXPECT_TRUE(list.empty());
}

} // namespace

namespace {

// The frame with the calculation screen and the month change, as the
// program registers them, over the fixture's open base.
struct CalcFrame {
    explicit CalcFrame(CKalvorDoc& doc) : doc(doc), service(doc.infoBase, doc.infoBase.workFolder)
    {
        doc.SetBase(&service);
        EXPECT_FALSE(service.Open(doc.infoBase.baseName).failed);
        registry.AddPanel({8, QStringLiteral("Расчет зарплаты"), MainPanelPayroll});
        CommandInfo monthChange;
        monthChange.id = 32773;
        monthChange.caption = QStringLiteral("Изменение отчетного месяца");
        monthChange.panel = 8;
        monthChange.run = [](CMainFrame& f) { ChangeReportingMonth(*f.Document(), &f); };
        registry.AddCommand(monthChange);
        CommandInfo calc;
        calc.id = 32837;
        calc.caption = QStringLiteral("Расчет заработной платы");
        calc.panel = 8;
        calc.makeView = [](CKalvorDoc* d) -> CCommonFormView* { return new CCalcZarpView(d); };
        registry.AddCommand(calc);
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1100, 700);
    }
    ~CalcFrame()
    {
        frame.reset();
        doc.SetBase(nullptr);
    }

    // Opens the calculation screen and starts a run over the whole base.
    CCalcZarpView* StartWholeBase()
    {
        frame->RunCommand(32837);
        auto* view = qobject_cast<CCalcZarpView*>(frame->CurrentView());
        if (!view)
            return nullptr;
        QLineEdit* shop = view->Strip()->Field(CWorkersFilterDlg::IdShop);
        shop->setFocus();
        QTest::keyClick(shop, Qt::Key_Return);
        return view;
    }

    CKalvorDoc& doc;
    InfoBaseService service;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
};

// Answers the stop question and the month question as told; every other
// question "Нет", every box recorded.
struct Answers {
    int stop = IDNO;
    std::vector<MessageRecorder::Entry> boxes;
    MessageBoxHandler previous;
    Answers()
    {
        previous = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes.push_back({r.text, r.buttons | r.icon, r.secondIsDefault});
            if (r.buttons == MB_OK)
                return IDOK;
            return r.text == QString::fromUtf8(kStopWorkQuestion) ? stop : IDNO;
        });
    }
    ~Answers() { SetMessageBoxHandler(previous); }
    QStringList Texts() const
    {
        QStringList t;
        for (const auto& b : boxes) t << b.text;
        return t;
    }
};

} // namespace

// The month change asked for while the calculation writes: "Нет" to the stop
// question leaves the run alone and changes nothing; "Да" stops the run (and
// says so) before the month change even looks at the month.
TEST_F(CalcViewTest, TheMonthChangeDuringARunAsksToStopItFirst)
{
    CalcFrame calc(doc);
    ASSERT_TRUE(ShowActive(calc.frame.get()));
    Answers answers;
    std::vector<int> results;
    auto run = [&](int answer) {
        answers.stop = answer;
        auto release = std::make_shared<std::promise<void>>(HoldWorker(base()));
        CCalcZarpView* view = calc.StartWholeBase();
        ASSERT_NE(view, nullptr);
        CCalcZarpDlg* dlg = view->CalcDlg();
        QObject::connect(dlg, &CCalcZarpDlg::calculationDone, dlg, [&](int result, int) { results.push_back(result); });
        EXPECT_TRUE(dlg->IsRunning());
        // "Да" waits for the run with the event loop turning: there the run
        // is let go, after the stop was asked for; after "Нет" it goes on.
        QTimer::singleShot(0, [release] { release->set_value(); });
        calc.frame->RunCommand(32773);
    };
    run(IDNO);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !results.empty(); }, 60000));
    EXPECT_EQ(results[0], platform::TASK_DONE); // the run went on to its end
    EXPECT_EQ(answers.Texts(), QStringList{QString::fromUtf8(kStopWorkQuestion)});
    EXPECT_TRUE(answers.boxes[0].secondIsDefault);
    EXPECT_EQ(base().config.tekMes, MonthKey(FixtureBase::Year, FixtureBase::Month).value());

    answers.boxes.clear();
    run(IDYES);
    ASSERT_TRUE(QTest::qWaitFor([&] { return results.size() == 2; }, 60000));
    EXPECT_EQ(results[1], platform::TASK_STOPPED);
    const QStringList texts = answers.Texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[0], QString::fromUtf8(kStopWorkQuestion));
    EXPECT_EQ(texts[1], QStringLiteral("Операция прервана"));
    // Then the change itself: two employees of the fixture have no pay
    // system, their calculation failed, and the change names them instead
    // of asking its question.
    EXPECT_TRUE(texts[2].startsWith(QStringLiteral("Переход на следующий месяц не выполнен")))
        << texts[2].toStdString();
    EXPECT_EQ(texts[2].count(QStringLiteral("ошибка: Не указана система оплаты")), 2) << texts[2].toStdString();
    EXPECT_EQ(base().config.tekMes, MonthKey(FixtureBase::Year, FixtureBase::Month).value());
}

// Closing the main window during a run asks; "Нет" keeps the window and the
// run, "Да" stops the run, says so, and closes.
TEST_F(CalcViewTest, ClosingTheWindowDuringARunAsksStopsAndWaits)
{
    CalcFrame calc(doc);
    ASSERT_TRUE(ShowActive(calc.frame.get()));
    Answers answers;
    std::promise<void> release = HoldWorker(base());
    CCalcZarpView* view = calc.StartWholeBase();
    ASSERT_NE(view, nullptr);
    CCalcZarpDlg* dlg = view->CalcDlg();
    std::vector<int> results;
    QObject::connect(dlg, &CCalcZarpDlg::calculationDone, dlg, [&](int result, int) { results.push_back(result); });
    // Both closings while the run waits behind the test's job on the worker.
    EXPECT_FALSE(calc.frame->close());
    EXPECT_TRUE(calc.frame->isVisible());
    EXPECT_TRUE(dlg->IsRunning());
    answers.stop = IDYES;
    const bool closedWhileRunning = dlg->IsRunning();
    // The stop waits for the run with the event loop turning: there the run
    // is let go, after the stop was asked for.
    QTimer::singleShot(0, [&release] { release.set_value(); });
    EXPECT_TRUE(calc.frame->close());
    EXPECT_FALSE(dlg->IsRunning()); // stopped and joined before the window went
    ASSERT_TRUE(QTest::qWaitFor([&] { return !results.empty(); }, 60000));
    EXPECT_TRUE(closedWhileRunning);
    EXPECT_EQ(results[0], platform::TASK_STOPPED);
    EXPECT_FALSE(calc.frame->isVisible());
    EXPECT_EQ(answers.Texts(), (QStringList{QString::fromUtf8(kStopWorkQuestion), QString::fromUtf8(kStopWorkQuestion),
                                            QStringLiteral("Операция прервана")}));
}

// Letters in a field of the strip are refused with the field's message and
// calculate nobody (they once calculated the whole firm).
TEST_F(CalcViewTest, UnreadableStripFieldsStartNothing)
{
    MessageRecorder boxes;
    CCalcZarpView view(&doc);
    view.OnInitialUpdate();
    ASSERT_TRUE(ShowActive(&view));
    struct Case {
        int field;
        const char* text;
        const char* message;
    };
    for (const Case c : {Case{CWorkersFilterDlg::IdShop, "abc", "Некорректное число в поле \"Цех\": abc"},
                         Case{CWorkersFilterDlg::IdBrigade, "1o", "Некорректное число в поле \"Бригада\": 1o"},
                         Case{CWorkersFilterDlg::IdProfession, "-3",
                              "Значение поля \"Профессия\" должно быть от 0 до 127: -3"},
                         Case{CTabelFilterDlg::IdTabN, "106x", "Некорректное число в поле \"Табельный номер\": 106x"}}) {
        SCOPED_TRACE(c.text);
        boxes.boxes.clear();
        QLineEdit* field = view.Strip()->Field(c.field);
        field->setFocus();
        TypeText(field, QString::fromUtf8(c.text));
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(boxes.Texts(), QStringList{QString::fromUtf8(c.message)});
        EXPECT_FALSE(view.CalcDlg()->IsRunning());
        EXPECT_TRUE(field->hasFocus());
        EXPECT_EQ(field->selectedText(), QString::fromUtf8(c.text));
        field->clear();
    }
    // An idle progress bar is still (a range of 0 to 0 would be the busy bar).
    EXPECT_GT(view.CalcDlg()->Progress()->maximum(), 0);
}

// At the window's smallest size no label, button or title of the screen is
// cut, and each label of the strip stands just left of its own field.
TEST_F(CalcViewTest, TheScreenFitsTheSmallestWindow)
{
    CalcFrame calc(doc);
    calc.frame->resize(100, 100);
    ASSERT_TRUE(ShowActive(calc.frame.get()));
    EXPECT_EQ(calc.frame->size(), QSize(CMainFrame::kMinimumWidth, CMainFrame::kMinimumHeight));
    ASSERT_TRUE(calc.frame->RunCommand(32837));
    Settle();
    calc.frame->grab().save(QStringLiteral("calc-screen-smallest.png"));
    for (QWidget* w : calc.frame->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(calc.frame.get()))
            continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w))
            text = label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            text = button->text();
        else if (auto* box = qobject_cast<QGroupBox*>(w))
            text = box->title();
        if (text.isEmpty())
            continue;
        const int needed = w->fontMetrics().horizontalAdvance(text);
        EXPECT_GE(w->contentsRect().width(), needed) << text.toStdString();
    }
    auto* view = qobject_cast<CCalcZarpView*>(calc.frame->CurrentView());
    ASSERT_NE(view, nullptr);
    for (int id : {1252, 1253, 1254, 1103}) {
        QLineEdit* field = view->Strip()->Field(id);
        QLabel* label = nullptr;
        for (QLabel* l : view->Strip()->findChildren<QLabel*>())
            if (l->buddy() == field)
                label = l;
        ASSERT_NE(label, nullptr) << id;
        const int gap = field->geometry().left() - label->geometry().right();
        EXPECT_GE(gap, 0) << id;
        EXPECT_LE(gap, 12) << id;
    }
}

// Esc in the strip during a run does not drop the run silently: it asks;
// "Нет" stays on the screen with the run going, "Да" stops it, says so and
// leaves.
TEST_F(CalcViewTest, EscInTheStripDuringARunAsksBeforeLeaving)
{
    CalcFrame calc(doc);
    ASSERT_TRUE(ShowActive(calc.frame.get()));
    Answers answers;
    // The run waits on the base's worker behind a job of the test until the
    // second answer has asked it to stop, so that it surely still goes when
    // the keys come, however loaded the machine is.
    std::promise<void> release = HoldWorker(base());
    CCalcZarpView* view = calc.StartWholeBase();
    ASSERT_NE(view, nullptr);
    CCalcZarpDlg* dlg = view->CalcDlg();
    QLineEdit* shop = view->Strip()->Field(CWorkersFilterDlg::IdShop);
    std::vector<int> results;
    QObject::connect(dlg, &CCalcZarpDlg::calculationDone, dlg, [&](int result, int) { results.push_back(result); });
    ASSERT_TRUE(dlg->IsRunning());
    QTest::keyClick(shop, Qt::Key_Escape);
    const bool stayed = calc.frame->CurrentView() == view && dlg->IsRunning();
    answers.stop = IDYES;
    // The stop waits for the run with the event loop turning: there the run
    // is let go, after the stop was asked for.
    QTimer::singleShot(0, [&release] { release.set_value(); });
    QTest::keyClick(shop, Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !results.empty(); }, 60000));
    Settle();
    EXPECT_TRUE(stayed);
    EXPECT_EQ(results[0], platform::TASK_STOPPED);
    EXPECT_EQ(answers.Texts(), (QStringList{QString::fromUtf8(kStopWorkQuestion), QString::fromUtf8(kStopWorkQuestion),
                                            QStringLiteral("Операция прервана")}));
    EXPECT_EQ(calc.frame->CurrentView()->objectName(), QStringLiteral("CEmptyView"));
}

#ifdef KALVOR_DATA_DIR

// The demo firm computed from the screen by keys: of its 52 employees the
// two dismissed before the month without a bonus are not computed, so the bar
// ends full at 50, and the screen says that the run is done, without errors,
// and names the two it left out.
TEST(CalcViewDemo, TheScreenShowsTheCountAndTheEndOfTheRun)
{
    QTemporaryDir dir;
    CKalvorDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    MessageRecorder boxes;
    CCalcZarpView view(&doc);
    view.resize(800, 400);
    view.OnInitialUpdate();
    ASSERT_TRUE(ShowActive(&view));
    CCalcZarpDlg* dlg = view.CalcDlg();
    std::vector<std::pair<int, int>> done;
    QObject::connect(dlg, &CCalcZarpDlg::calculationDone, &view,
                     [&](int result, int errors) { done.emplace_back(result, errors); });
    QLineEdit* shop = view.Strip()->Field(CWorkersFilterDlg::IdShop);
    shop->setFocus();
    QTest::keyClick(shop, Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 60000));
    EXPECT_EQ(done[0], std::make_pair(0, 0));
    EXPECT_EQ(doc.infoBase.employeeCount(), 52);
    EXPECT_EQ(dlg->Progress()->maximum(), 50);
    EXPECT_EQ(dlg->Progress()->value(), 50);
    EXPECT_EQ(dlg->Progress()->text(), QStringLiteral("50 из 50"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("outcome")),
              QStringLiteral("Расчет выполнен. Работников: 52, рассчитано: 50, ошибок: 0"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Ошибок")), QStringLiteral("0"));
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("notes")),
              QStringLiteral("Таб.N 151 Кузнецов П. А. - не рассчитан: Уволен и уже не работает\n"
                             "Таб.N 152 Федотова М. С. - не рассчитан: Уволен и уже не работает"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    // The month changed under the open screen: April's bar, line and notes go.
    ASSERT_EQ(MoveEmployeesToNextMonth(MonthKey(2011, 5).value(), {}, doc), 1);
    doc.NotifyMonthChanged();
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("outcome")), QString());
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("notes")), QString());
    EXPECT_EQ(dlg->Progress()->text(), QString());
    EXPECT_EQ(dlg->Progress()->value(), 0);
    EXPECT_EQ(ScreenText(dlg, QStringLiteral("Ошибок")), QStringLiteral("0"));
    view.close();
    CloseBase(doc.infoBase);
}

#endif
