// The task-view frame of the additional functions driven by keys: Enter and
// button 1040 start one worker, the marquee runs only while it does, the
// results and the writers' codes show their texts, Esc leaves a running view
// for its panel and joins the worker, employees marked in the help of field
// 1103 are the only ones of the run they start; main panel 4 in the frame.
#include "shell/UiTestSupport.h"
#include "support/ScreenText.h"

#include "exchange/ui/CExchangeTaskView.h"
#include "exchange/ui/ExchangeScreens.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/FieldHelp.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolBox>

#include <atomic>
#include <map>
#include <mutex>
#include <stdexcept>

using kalvor::exchange::ExchangeCodeFamily;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;
using kalvor::platform::TaskThread;
using kalvor::platform::TaskThreadParams;
namespace kp = kalvor::platform;

namespace {

// How the test's worker runs and what it saw; outlives every worker.
struct WorkerScript {
    std::atomic<bool> hold{false}; // the worker waits while set, until stopped
    std::atomic<int> runs{0};
    std::atomic<bool> sawStop{false};
    std::atomic<bool> ended{false};
    std::mutex mutex;
    TaskOutcome outcome{kp::TASK_DONE};
    std::vector<TaskThreadParams> params;
    std::vector<std::vector<int>> marked; // personnel numbers marked in the list, per run
    std::vector<int> markedCounts; // CountMarkedEmployees of each run

    void SetOutcome(TaskOutcome o)
    {
        std::lock_guard lock(mutex);
        outcome = o;
    }
};

// A view of form 444 with the common strip, as the total-sums view has it.
class TestExchangeView : public CExchangeTaskView {
public:
    TestExchangeView(CKalvorDoc* doc, WorkerScript& script, LeaveTo leaveTo = LeaveToMainPanel,
                     ExchangeCodeFamily family = ExchangeCodeFamily::WholeTable)
        : CExchangeTaskView(444, leaveTo, doc), m_script(script), m_family(family)
    {
        BeginForm(QStringLiteral("Итоговые суммы"));
        AddSelectionField(1252, QStringLiteral("Номер цеха (по умолчанию  вся организация)"));
        AddSelectionField(1253, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
        AddSelectionField(1254, QStringLiteral("Код профессии (по умолчанию все профессии)"));
        AddSelectionField(1103, QStringLiteral("Табельный номер  (по умолчанию  все работники)"));
        AddStartButton(QStringLiteral("Вывод"));
        AddProgressPlace();
    }

    QLineEdit* Field(int id) const { return controlAs<QLineEdit>(id); }
    QPushButton* StartButton() const { return controlAs<QPushButton>(1040); }

    bool failLaunch = false;
    bool dbfFamilyDone = false;
    int launches = 0; // workers the view asked for
    std::vector<int> progressSeen; // WM_TASK_PROGRESS positions, on the view's thread

protected:
    TaskThread::Body MakeTaskBody() override
    {
        const TaskThreadParams params = StripParams();
        const kalvor::infobase::CInfoBase* base = &Document()->infoBase;
        WorkerScript* script = &m_script;
        // The writer runs under the exchange reporter, as the program's workers do.
        kalvor::exchange::ExchangeWriter writer = [params, base, script](TaskContext& context) -> TaskOutcome {
            {
                std::lock_guard lock(script->mutex);
                script->params.push_back(params);
                std::vector<int> marked;
                if (params.markedOnly)
                    for (const auto& entry : base->list)
                        if (entry.marked())
                            marked.push_back(entry.tabN());
                script->marked.push_back(marked);
                script->markedCounts.push_back(kalvor::exchange::CountMarkedEmployees(*base, params));
            }
            ++script->runs;
            while (script->hold && !context.stopRequested()) {
                context.progress(script->runs); // a steady stream of queued progress
                QThread::msleep(1);
            }
            script->sawStop = context.stopRequested();
            script->ended = true;
            std::lock_guard lock(script->mutex);
            return script->outcome;
        };
        return [family = m_family, writer = std::move(writer)](TaskContext& context) {
            return kalvor::exchange::RunExchangeWorker(context, WorkerBoxes(), family, writer);
        };
    }
    bool LaunchWorker(TaskThread::Body body) override
    {
        ++launches;
        return !failLaunch && CExchangeTaskView::LaunchWorker(std::move(body));
    }
    void OnWorkerProgress(int position, int /*count*/) override
    {
        EXPECT_EQ(QThread::currentThread(), thread());
        progressSeen.push_back(position);
    }
    void OnWorkerDone(int result, int detail, const QString& failure) override
    {
        if (dbfFamilyDone)
            OnTaskDoneDbf(*this, m_marquee, result, detail);
        else
            CExchangeTaskView::OnWorkerDone(result, detail, failure);
    }

private:
    WorkerScript& m_script;
    ExchangeCodeFamily m_family;
};

// Clicks the start button and waits until the run has ended and the button
// is enabled again.
bool RunOnce(TestExchangeView& view, WorkerScript& script)
{
    const int before = script.runs;
    QTest::mouseClick(view.StartButton(), Qt::LeftButton);
    return WaitFor([&] { return script.runs == before + 1 && !view.Running() && view.StartButton()->isEnabled(); });
}

} // namespace

TEST(UiExchangeTaskView, EnterAndTheButtonStartOneWorkerAndTheMarqueeRunsOnlyWhileItDoes)
{
    MessageRecorder recorder;
    CKalvorDoc doc;
    kalvor::infobase::BuildFixtureBase(doc.infoBase, 12);
    const int shopNumber = doc.infoBase.shopAt(1).number;
    WorkerScript script;
    script.hold = true;
    TestExchangeView view(&doc, script);
    view.OnInitialUpdate();
    ASSERT_TRUE(ShowActive(&view));
    EXPECT_EQ(view.Marquee().Bar(), nullptr);

    QLineEdit* shop = view.Field(1252);
    shop->setFocus();
    TypeText(shop, QString::number(shopNumber));
    TypeText(view.Field(1253), QStringLiteral("12"));
    QTest::keyClick(shop, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return script.runs == 1; }));
    EXPECT_TRUE(view.Running());
    EXPECT_FALSE(view.StartButton()->isEnabled());

    // The marquee fills the progress place while the worker runs.
    QProgressBar* bar = view.Marquee().Bar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 0);
    EXPECT_EQ(bar->parentWidget(), view.control(1316));

    // Progress comes queued, with the value the worker gave.
    ASSERT_TRUE(WaitFor([&] { return !view.progressSeen.empty(); }));
    EXPECT_EQ(view.progressSeen.front(), 1);

    // Enter and the button while it runs do nothing.
    QTest::keyClick(shop, Qt::Key_Return);
    QTest::keyClick(view.Field(1103), Qt::Key_Enter);
    QTest::mouseClick(view.StartButton(), Qt::LeftButton);
    Settle(); // a start posted by any of them would have asked for its worker by now
    EXPECT_EQ(view.launches, 1);
    EXPECT_EQ(script.runs, 1);

    script.hold = false;
    ASSERT_TRUE(WaitFor([&] { return !view.Running() && view.StartButton()->isEnabled(); }));
    Settle();
    EXPECT_EQ(view.Marquee().Bar(), nullptr);
    EXPECT_TRUE(view.findChildren<QProgressBar*>().isEmpty());
    EXPECT_TRUE(recorder.boxes.empty()); // result 0 shows nothing

    ASSERT_TRUE(RunOnce(view, script));
    ASSERT_EQ(script.params.size(), 2u);
    EXPECT_EQ(script.params[0].shop, shopNumber);
    EXPECT_EQ(script.params[0].brigade, 12);
    EXPECT_EQ(script.params[0].profession, 0);
    EXPECT_EQ(script.params[0].personnelNumber, 0);
    EXPECT_EQ(script.params[0].markedOnly, 0);

    // The form's colours.
    EXPECT_EQ(shop->palette().color(QPalette::Base), QColor(245, 235, 235));
    const auto labels = view.findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.front()->palette().color(QPalette::WindowText), QColor(170, 80, 80));
}

TEST(UiExchangeTaskView, ResultsAndWriterCodesShowTheirTextsOnce)
{
    MessageRecorder recorder;
    CKalvorDoc doc;
    WorkerScript script;
    TestExchangeView whole(&doc, script);
    whole.OnInitialUpdate();
    struct Case {
        TaskOutcome outcome;
        const char* text; // nullptr: no box
        int flags;
    };
    const Case cases[] = {
        {TaskOutcome(kp::TASK_BAD_CONDITION), "Некорректное условие поиска", MB_ICONINFORMATION},
        {TaskOutcome(kp::TASK_NO_DATA), "Нет данных для печати", MB_ICONINFORMATION},
        {TaskOutcome(kp::TASK_FILE_ERROR, kp::FILE_ERROR_OPEN), "Ошибка при открытии файла", MB_ICONERROR},
        {TaskOutcome(kp::TASK_FILE_ERROR, kp::FILE_ERROR_WRITE), "Ошибка записи в файл", MB_ICONERROR},
        {TaskOutcome(kp::TASK_FILE_ERROR, 9), "Прочая ошибка", MB_ICONERROR},
        {TaskOutcome(-3), "В начислениях пред. месяцев отсутствуют нужные данные", MB_ICONERROR},
        {TaskOutcome(kp::TASK_DONE), nullptr, 0},
        {TaskOutcome(kp::TASK_STOPPED), nullptr, 0},
        {TaskOutcome(kp::TASK_FAILED), nullptr, 0},
    };
    for (const Case& c : cases) {
        recorder.boxes.clear();
        script.SetOutcome(c.outcome);
        ASSERT_TRUE(RunOnce(whole, script)) << c.outcome.result;
        if (!c.text) {
            EXPECT_TRUE(recorder.boxes.empty()) << c.outcome.result;
            continue;
        }
        ASSERT_EQ(recorder.boxes.size(), 1u) << c.text;
        EXPECT_EQ(recorder.boxes[0].text, QString::fromUtf8(c.text));
        EXPECT_EQ(recorder.boxes[0].flags, c.flags) << c.text;
    }

    // The dBASE and output-file family: the same code, message 42 + k; and
    // its own text for no data.
    TestExchangeView files(&doc, script, CExchangeTaskView::PanelDbf, ExchangeCodeFamily::FilePart);
    files.dbfFamilyDone = true;
    files.OnInitialUpdate();
    recorder.boxes.clear();
    script.SetOutcome(TaskOutcome(-3));
    ASSERT_TRUE(RunOnce(files, script));
    script.SetOutcome(TaskOutcome(kp::TASK_NO_DATA));
    ASSERT_TRUE(RunOnce(files, script));
    EXPECT_EQ(recorder.Texts(), (QStringList{QStringLiteral("файл не является массивом сдельных сумм"),
                                             QStringLiteral("Нет данных для выполнения операции")}));
}

TEST(UiExchangeTaskView, AWorkerThatCannotBeStartedIsReportedAndTheViewStaysIdle)
{
    MessageRecorder recorder;
    CKalvorDoc doc;
    WorkerScript script;
    TestExchangeView view(&doc, script);
    view.OnInitialUpdate();
    view.failLaunch = true;
    QTest::mouseClick(view.StartButton(), Qt::LeftButton);
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Ошибка при создании потока")});
    EXPECT_TRUE(view.StartButton()->isEnabled());
    EXPECT_EQ(view.Marquee().Bar(), nullptr);
    EXPECT_FALSE(view.Running());

    // The next start works.
    view.failLaunch = false;
    ASSERT_TRUE(RunOnce(view, script));
}

namespace {

class UiExchangeFrame : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.infoBase.baseName = QStringLiteral("demo");
        kalvor::infobase::BuildFixtureBase(doc.infoBase, 12);
        kalvor::infobase::BuildFixtureRefFiles(doc.refFiles);
        RegisterExchangeScreens(registry);
    }

    TestExchangeView* Open(CMainFrame& frame, CExchangeTaskView::LeaveTo leaveTo)
    {
        return static_cast<TestExchangeView*>(frame.SwitchView(
            [this, leaveTo](CKalvorDoc* d) -> CCommonFormView* { return new TestExchangeView(d, script, leaveTo); }));
    }

    MessageRecorder recorder;
    CKalvorDoc doc;
    CommandRegistry registry;
    WorkerScript script;
};

} // namespace

TEST_F(UiExchangeFrame, MainPanelFourShowsItsWorkingPanelsAndTheDbfCommands)
{
    CMainFrame frame(&doc, &registry);
    ASSERT_TRUE(ShowActive(&frame));
    auto* main = frame.findChild<QPushButton*>(QStringLiteral("mainPanelButton%1").arg(MainPanelAddFunctions));
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->text(), QStringLiteral("Дополнительные функции"));

    QTest::mouseClick(main, Qt::LeftButton);
    EXPECT_EQ(frame.CurrentMainPanel(), MainPanelAddFunctions);
    auto* box = frame.findChild<QToolBox*>(QStringLiteral("mainPanel4"));
    ASSERT_NE(box, nullptr);
    QStringList captions;
    for (int i = 0; i < box->count(); ++i) captions << box->itemText(i);
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Генератор сводов в произвольном разрезе"),
                                     QStringLiteral("Экспорт/импорт информации в формат DBF/dBASE"),
                                     QStringLiteral("Информация о выработке"),
                                     QStringLiteral("Информация о работнике в символьном формате"),
                                     QStringLiteral("Дополнительные функции")}));
    // The dBASE panel, the transfer-file panel and the panel of the main
    // panel's own functions have their commands.
    QStringList buttons;
    for (const QPushButton* button : box->findChildren<QPushButton*>()) buttons << button->text();
    EXPECT_EQ(
        buttons,
        (QStringList{QStringLiteral("Формирование свода"),
                     QStringLiteral("Объединение сводов"),
                     QStringLiteral("dBASE:  постоянная информация"), QStringLiteral("dBASE:  начисленная зарплата"),
                     QStringLiteral("dBASE:  архивные данные"), QStringLiteral("dBASE:  начисления и удержания"),
                     QStringLiteral("Запись информации в файл"),
                     QStringLiteral("Просмотр файла выработки"),
                     QStringLiteral("Чтение сумм выработки"),
                     QStringLiteral("Выгрузка информации о сотрудниках"),
                     QStringLiteral("Загрузка информации о сотрудниках"), QStringLiteral("Форма Т-54"),
                     QStringLiteral("Справка о заработной плате"),
                     QStringLiteral("Экспорт сведений о застрахованных лицах"),
                     QStringLiteral("Параметры работы генератора"),
                     QStringLiteral("Информация об итоговых суммах"),
                     QStringLiteral("Экспорт проводок в бухгалтерские программы")}));
    std::vector<int> ids;
    for (const CommandInfo& command : registry.Commands()) ids.push_back(command.id);
    EXPECT_EQ(ids, (std::vector<int>{1441, 1442, 1443, 1444, 32894, 32895, 32888, 1518, 1519, 1404, 1405, 1446, 1447,
                                     1448, 1403, 32892, 32889}));

    frame.ShowWorkPanel(13);
    EXPECT_EQ(box->currentIndex(), 2);
    EXPECT_EQ(frame.CurrentWorkPanel(), 13);
}

TEST_F(UiExchangeFrame, EscLeavesARunningViewForItsPanelAndJoinsTheWorker)
{
    CMainFrame frame(&doc, &registry);
    ASSERT_TRUE(ShowActive(&frame));
    frame.ShowMainPanel(MainPanelPayroll);

    // A view of the main panel goes back to main panel 4.
    script.hold = true;
    QPointer<TestExchangeView> view = Open(frame, CExchangeTaskView::LeaveToMainPanel);
    QTest::mouseClick(view->StartButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return script.runs == 1; }));
    QTest::keyClick(view->Field(1253), Qt::Key_Escape);
    EXPECT_TRUE(script.ended); // joined before the next view is shown
    EXPECT_TRUE(script.sawStop);
    EXPECT_NE(qobject_cast<CEmptyView*>(frame.CurrentView()), nullptr);
    EXPECT_EQ(frame.CurrentMainPanel(), MainPanelAddFunctions);
    Settle();
    EXPECT_TRUE(view.isNull());

    // A view of a working panel goes back to that panel.
    script.ended = false;
    view = Open(frame, CExchangeTaskView::PanelTransferFile);
    QTest::mouseClick(view->StartButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return script.runs == 2; }));
    QTest::keyClick(view->Field(1252), Qt::Key_Escape);
    EXPECT_TRUE(script.ended);
    EXPECT_NE(qobject_cast<CEmptyView*>(frame.CurrentView()), nullptr);
    EXPECT_EQ(frame.CurrentMainPanel(), MainPanelAddFunctions);
    EXPECT_EQ(frame.CurrentWorkPanel(), int(CExchangeTaskView::PanelTransferFile));
    Settle();
    EXPECT_TRUE(view.isNull());
    EXPECT_TRUE(script.ended);
    EXPECT_TRUE(recorder.boxes.empty());
}

TEST_F(UiExchangeFrame, EmployeesMarkedInTheHelpAreTheOnlyOnesOfTheRunTheyStart)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1000, 700);
    ASSERT_TRUE(ShowActive(&frame));
    TestExchangeView* view = Open(frame, CExchangeTaskView::LeaveToMainPanel);
    auto& list = doc.infoBase.list;
    list[7].setFlag(0, true); // a mark left from before goes

    // The list is filtered by the strip as it reads: a profession that does
    // not read is refused before any list, never taken as every profession.
    QLineEdit* number = view->Field(1103);
    view->Field(1254)->setText(QStringLiteral("12x"));
    number->setFocus();
    QTest::keyClick(number, Qt::Key_F1);
    EXPECT_EQ(view->HelpList(), nullptr);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_TRUE(recorder.boxes[0].text.endsWith(QStringLiteral(": 12x"))) << recorder.boxes[0].text.toStdString();
    EXPECT_EQ(QApplication::focusWidget(), view->Field(1254));
    view->Field(1254)->clear();
    recorder.boxes.clear();

    number->setFocus();
    QTest::keyClick(number, Qt::Key_F1);
    CFieldHelpList* help = view->HelpList();
    ASSERT_NE(help, nullptr);
    QTableWidget* table = help->table();
    ASSERT_EQ(table->rowCount(), doc.infoBase.employeeCount());
    for (int i = 0; i < 3; ++i) QTest::keyClick(table, Qt::Key_Space);
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return script.runs == 1 && !view->Running(); }));
    ASSERT_TRUE(WaitFor([&] { return view->StartButton()->isEnabled(); }));
    EXPECT_EQ(script.params[0].markedOnly, 1);
    EXPECT_EQ(script.markedCounts[0], 3);
    EXPECT_EQ(script.marked[0], (std::vector<int>{list[0].tabN(), list[1].tabN(), list[2].tabN()}));
    EXPECT_EQ(view->SelectedOnly(), 0);
    EXPECT_FALSE(list[7].marked());

    // A later start runs for the strip again.
    TypeText(view->Field(1252), QStringLiteral("2"));
    ASSERT_TRUE(RunOnce(*view, script));
    EXPECT_EQ(script.params[1].markedOnly, 0);
    EXPECT_EQ(script.params[1].shop, 2);
    EXPECT_TRUE(script.marked[1].empty());
    EXPECT_EQ(script.markedCounts[1], 0); // the marks stay, but this run does not ask for them
}

TEST_F(UiExchangeFrame, FieldHelpOfTheStripGivesTheBrigadeHintAndTheShopList)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1000, 700);
    ASSERT_TRUE(ShowActive(&frame));
    TestExchangeView* view = Open(frame, CExchangeTaskView::LeaveToMainPanel);

    view->Field(1253)->setFocus();
    QTest::keyClick(view->Field(1253), Qt::Key_F1);
    EXPECT_TRUE(view->HintShown());
    auto* hint = view->findChild<CHintWnd*>();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->text(), QStringLiteral("Укажите номер бригады\nЭто должно быть число в пределах от 1 до 99"));
    hint->close();

    view->Field(1252)->setFocus();
    QTest::keyClick(view->Field(1252), Qt::Key_F1);
    CFieldHelpList* help = view->HelpList();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->table()->rowCount(), CCommonFormView::ShopLines(doc).size());
    QTest::keyClick(help->table(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(view->Field(1252)->text(), CCommonFormView::ShopLines(doc).front().section(QLatin1Char('|'), 0, 0));
}

// Every exchange screen with a strip, opened from its command: an unreadable
// text or a number its field's range or book does not hold is refused naming
// the field before anything runs (no worker, no file asked for), the field
// keeps the focus and stays editable; none of them is taken as the whole firm.
TEST_F(UiExchangeFrame, EveryStripOfTheExchangeScreensRefusesAnUnreadableOrUnknownNumberBeforeRunning)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1024, 768);
    ASSERT_TRUE(ShowActive(&frame));
    // A file dialog would mean a run went ahead: it is closed, and the run fails below.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    closer.start(50);
    const auto& base = doc.infoBase;
    int shop = 1, tabN = 1, profession = 1;
    while (base.shopNumbered(shop)) ++shop;
    while (base.FindEmployee(tabN) >= 0) ++tabN;
    const auto inBook = [this](int code) {
        for (int i = 0; i < int(doc.refFiles.profiCount); ++i)
            if (doc.refFiles.profi[std::size_t(i)].code == code)
                return true;
        return false;
    };
    while (inBook(profession)) ++profession;
    const std::map<int, QStringList> texts{
        {IdShopField, {QStringLiteral("12x"), QStringLiteral("300"), QString::number(shop)}},
        {IdBrigadeField, {QStringLiteral("12x"), QStringLiteral("100")}},
        {IdProfessionField, {QStringLiteral("12x"), QStringLiteral("300"), QString::number(profession)}},
        {IdPersonnelNumberField, {QStringLiteral("12x"), QStringLiteral("9000"), QString::number(tabN)}}};
    int screens = 0;
    for (const CommandInfo& command : registry.Commands()) {
        if (!command.makeView)
            continue;
        frame.SwitchView(command.makeView);
        Settle();
        auto* view = qobject_cast<CExchangeTaskView*>(frame.CurrentView());
        if (!view || !view->control(IdShopField))
            continue;
        ++screens;
        for (const auto& [id, bad] : texts) {
            auto* field = view->controlAs<QLineEdit>(id);
            if (!field)
                continue;
            for (const QString& text : bad) {
                SCOPED_TRACE(QStringLiteral("%1, field %2: %3").arg(command.caption).arg(id).arg(text).toStdString());
                recorder.boxes.clear();
                field->setFocus();
                field->setText(text);
                QTest::keyClick(field, Qt::Key_Return);
                Settle();
                ASSERT_EQ(recorder.boxes.size(), 1u) << recorder.Texts().join(QLatin1Char('|')).toStdString();
                const auto* typed = qobject_cast<CTypedEdit*>(field);
                ASSERT_NE(typed, nullptr);
                EXPECT_TRUE(recorder.boxes[0].text.contains(QStringLiteral("\"%1\"").arg(typed->Kind().name)))
                    << recorder.boxes[0].text.toStdString();
                EXPECT_FALSE(view->Running());
                EXPECT_TRUE(ScreenText(view, QStringLiteral("outcome")).isEmpty());
                EXPECT_TRUE(field->isEnabled());
                EXPECT_EQ(QApplication::focusWidget(), field);
                field->clear();
            }
        }
    }
    EXPECT_EQ(screens, 13);
    frame.SwitchView<CEmptyView>();
}
