// The arbitrary-breakdown summary and its merge driven by keys and buttons:
// the up and down buttons move the focused row and the worker gets the new
// order; a screenshot of form 429; on the demo base after the April 2011
// calculation "Печать" by shop and pay kind writes the report and offers the
// print command, and the output file gets the piece-workers' sums; leaving a
// running view joins its worker; the merge view reports a missing file.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"
#include "support/FileList.h"
#include "support/ScreenText.h"

#include "exchange/ArbitrarySummary.h"
#include "exchange/OutputFile.h"
#include "exchange/ui/CEFuncAmaPRSvodView.h"
#include "exchange/ui/CEFuncPRSvodView.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "shell/ui/CKalvorDoc.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor::exchange;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;
using kalvor::platform::TaskThread;

namespace {

// Answers the print command's question and remembers the reports offered.
class DecliningPrompt : public kalvor::print::PrintCommandPrompt {
public:
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString&) override
    {
        offered << reportPath;
        return std::nullopt;
    }
    QStringList offered;
};

// The summary view whose worker records what it got; with `runReal` it runs
// the real worker with a prompt that declines to print.
class RecordingSummaryView : public CEFuncPRSvodView {
public:
    using CEFuncPRSvodView::CEFuncPRSvodView;
    ~RecordingSummaryView() override { StopWorker(); }

    bool runReal = false;
    QString chosenFile;
    std::vector<PRSvodParams> starts;
    DecliningPrompt prompt;

protected:
    TaskThread::Body MakeTaskBody() override
    {
        starts.push_back(LastParams());
        if (!runReal)
            return [](TaskContext&) { return TaskOutcome(kalvor::platform::TASK_DONE); };
        const PRSvodParams params = LastParams();
        CKalvorDoc* doc = Document();
        return [this, params, doc](TaskContext& context) {
            return PRSvodThreadProc(context, params, *doc, WorkerBoxes(), &prompt);
        };
    }
    QString ChooseTotalsFile() override { return chosenFile; }
};

class UiPRSvodView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        kalvor::platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::OpenDemoDocument(*doc, folder));
        view = std::make_unique<RecordingSummaryView>(doc.get());
        view->resize(760, 820);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
    }

    QLineEdit* Field(int id) const { return view->controlAs<QLineEdit>(id); }
    void Click(int id) { QTest::mouseClick(view->controlAs<QPushButton>(id), Qt::LeftButton); }
    bool Idle()
    {
        return WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 60'000);
    }
    std::vector<int> Order() const
    {
        const auto order = view->LevelOrder();
        return std::vector<int>(order.begin(), order.end());
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<RecordingSummaryView> view;
    MessageRecorder recorder;
};

TEST_F(UiPRSvodView, ArrowButtonsMoveTheFocusedRowAndTheWorkerGetsTheOrder)
{
    // No focused value field: nothing moves.
    view->control(IdStartButton)->setFocus();
    Click(CEFuncPRSvodView::IdUpButton);
    EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));

    Field(IdShopField)->setFocus();
    Click(CEFuncPRSvodView::IdUpButton);
    Click(CEFuncPRSvodView::IdUpButton);
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_TRUE(WaitFor([&] { return Field(IdShopField)->hasFocus(); }, 2000));
    // The shop row is now right under the account: its field stands higher than the cost item's.
    EXPECT_TRUE(WaitFor([&] { return Field(IdShopField)->y() < Field(1411)->y(); }, 2000));
    EXPECT_GT(Field(IdShopField)->y(), Field(1410)->y());

    // The month row moves with its year field; at the bottom "down" does nothing.
    view->controlAs<QLineEdit>(CEFuncPRSvodView::IdMonthYearField)->setFocus();
    Click(CEFuncPRSvodView::IdDownButton);
    Click(CEFuncPRSvodView::IdDownButton);
    EXPECT_EQ(Order(), (std::vector<int>{0, 3, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 15}));
    EXPECT_EQ(Field(CEFuncPRSvodView::IdMonthYearField)->y(), Field(CEFuncPRSvodView::IdMonthField)->y());
    // At the top "up" does nothing.
    Field(1410)->setFocus();
    Click(CEFuncPRSvodView::IdUpButton);
    EXPECT_EQ(Order().front(), 0);

    Field(IdShopField)->setText("*");
    Field(CEFuncPRSvodView::IdPayKindField)->setText("*");
    Field(CEFuncPRSvodView::IdMonthField)->setText("4");
    Field(CEFuncPRSvodView::IdMonthYearField)->setText("11");
    Field(IdBrigadeField)->setText("2");
    QTest::keyClick(Field(IdBrigadeField), Qt::Key_Return);
    ASSERT_TRUE(Idle());
    ASSERT_EQ(view->starts.size(), 1u);
    const PRSvodParams& params = view->starts[0];
    EXPECT_EQ(std::vector<int>(params.block.order.begin(), params.block.order.end()), Order());
    EXPECT_EQ(params.block.GroupingLevels(), (std::vector<int>{LevelShop, LevelCode}));
    EXPECT_EQ(params.block.levels[LevelMonth], 4 + 12 * 111);
    EXPECT_EQ(params.brigade, 2);
    EXPECT_EQ(params.shop, 0);
    EXPECT_TRUE(params.block.outputPath.isEmpty());

    // "Файл итогов" hands the chosen path over; a cancelled dialog starts nothing.
    Click(IdSecondStartButton);
    EXPECT_EQ(view->starts.size(), 1u);
    view->chosenFile = folder + QStringLiteral("april.itg");
    Click(IdSecondStartButton);
    ASSERT_TRUE(Idle());
    ASSERT_EQ(view->starts.size(), 2u);
    EXPECT_EQ(view->starts[1].block.outputPath, view->chosenFile);
}

TEST_F(UiPRSvodView, ScreenshotOfTheForm)
{
    Field(IdShopField)->setText("*");
    Field(CEFuncPRSvodView::IdPayKindField)->setText("*");
    Settle();
    const QString shot = QCoreApplication::applicationDirPath() + QStringLiteral("/kalvor-svod-form-429.png");
    QFile::remove(shot);
    EXPECT_TRUE(view->grab().save(shot));
}

TEST_F(UiPRSvodView, DemoAprilReportByShopAndPayKind)
{
    kalvor::platform::TaskThread calc;
    kalvor::CalcThreadParams calcParams;
    calcParams.document = doc.get();
    ASSERT_TRUE(calc.start(calcParams, &kalvor::CalculationThreadProc));
    ASSERT_TRUE(WaitFor([&] { return !calc.isRunning(); }, 60'000));
    Settle();

    view->runReal = true;
    Field(IdShopField)->setText("*");
    Field(CEFuncPRSvodView::IdPayKindField)->setText("*");
    Click(IdStartButton);
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join('|').toStdString();
    EXPECT_EQ(view->prompt.offered, QStringList{kalvor::exchange::SummaryReportPath(*doc)});
    QFile report(kalvor::exchange::SummaryReportPath(*doc));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QString text = kalvor::codepage::fromCp1251(report.readAll());
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 6);
    EXPECT_EQ(lines[1], QStringLiteral("     наименование__цеха        код_начисления/удержания         сумма"));
    // Each shop's line carries its name and the sum of its codes' lines.
    int shopLines = 0;
    for (const QString& line : lines)
        if (!line.isEmpty() && !line.startsWith(' '))
            ++shopLines;
    EXPECT_GE(shopLines, 2);
    EXPECT_TRUE(text.contains(QStringLiteral(" 902.Налог на доходы физи"))) << text.toStdString();
    EXPECT_TRUE(lines[lines.size() - 2].startsWith(QStringLiteral(" Итого:")));
}

TEST_F(UiPRSvodView, WrongFormAndMarkedPayKinds)
{
    // A condition that is no number of its level is refused naming the level,
    // and nothing starts ("12x" once read as 12, an unknown shop as every shop).
    Field(IdShopField)->setText("*");
    view->runReal = true;
    int unknownShop = 1;
    while (doc->infoBase.shopNumbered(unknownShop)) ++unknownShop;
    const std::pair<int, QString> conditions[] = {
        {CEFuncPRSvodView::IdEmployeeLevelField,
         QStringLiteral("Значение поля \"Табельный номер\" должно быть от 1 до 8191: 0")},
        {IdBrigadeField, QStringLiteral("Некорректное число в поле \"Бригада / Группа\": 12x")},
        {CEFuncPRSvodView::IdMonthField, QStringLiteral("Некорректное число в поле \"Месяц\": 12x")},
        {IdShopField, QStringLiteral("В поле \"Цех / Отдел\" указан номер, которого нет в справочнике \"Цех/Отдел\": %1")
                          .arg(unknownShop)}};
    for (const auto& [id, said] : conditions) {
        recorder.boxes.clear();
        Field(id)->setText(id == CEFuncPRSvodView::IdEmployeeLevelField ? QStringLiteral("0")
                           : id == IdShopField                          ? QString::number(unknownShop)
                                                                        : QStringLiteral("12x"));
        Click(IdStartButton);
        ASSERT_TRUE(Idle());
        EXPECT_EQ(recorder.Texts(), QStringList{said});
        EXPECT_TRUE(view->starts.empty());
        EXPECT_TRUE(Field(id)->hasFocus());
        Field(id)->setText(id == IdShopField ? QStringLiteral("*") : QString());
    }
    // A period begun and not ended: the run says the form is wrong.
    recorder.boxes.clear();
    Field(CEFuncPRSvodView::IdFirstMonth)->setText("1");
    Field(CEFuncPRSvodView::IdFirstYear)->setText("11");
    Click(IdStartButton);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Вы ошиблись при заполнении формы")});
    Field(CEFuncPRSvodView::IdFirstMonth)->clear();
    Field(CEFuncPRSvodView::IdFirstYear)->clear();

    // Pay kinds marked in the help of 1263 start at once for those kinds only.
    recorder.boxes.clear();
    view->runReal = false;
    Field(CEFuncPRSvodView::IdPayKindField)->setFocus();
    view->m_focusedId = CEFuncPRSvodView::IdPayKindField;
    view->TakeHelpValues({QStringLiteral("1"), QStringLiteral("902")});
    ASSERT_TRUE(Idle());
    ASSERT_EQ(view->starts.size(), 2u);
    EXPECT_EQ(view->starts[1].markedPayKindsOnly, 1);
    int marked = 0;
    for (const auto& kind : doc->infoBase.payKinds()) marked += kind.mark() ? 1 : 0;
    EXPECT_EQ(marked, 2);
    Click(IdStartButton);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(view->starts[2].markedPayKindsOnly, 0);
}

TEST_F(UiPRSvodView, LeavingTheViewStopsAndJoinsItsWorker)
{
    view->runReal = true;
    Field(IdShopField)->setText("*");
    Field(CEFuncPRSvodView::IdPayKindField)->setText("*");
    Click(IdStartButton);
    ASSERT_TRUE(view->Running() || !view->control(IdStartButton)->isEnabled() || !view->starts.empty());
    view.reset(); // no worker outlives its view
    Settle();
    SUCCEED();
}

TEST_F(UiPRSvodView, DemoPieceWorkersGetOutputFileSlots)
{
    kalvor::platform::TaskThread calc;
    kalvor::CalcThreadParams calcParams;
    calcParams.document = doc.get();
    ASSERT_TRUE(calc.start(calcParams, &kalvor::CalculationThreadProc));
    ASSERT_TRUE(WaitFor([&] { return !calc.isRunning(); }, 60'000));
    Settle();
    ASSERT_TRUE(WriteOutputTemplate(folder));
    const QString path = folder + QStringLiteral("april.dbf");
    OutputFileOutcome outcome;
    ASSERT_EQ(ExchangeOutputFile({}, {}, OutputFileWrite, path, 0, {}, *doc, outcome), OUTPUT_FILE_DONE);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const int header = qFromLittleEndian<qint16>(bytes.constData() + 8);
    const int count = int(qFromLittleEndian<quint32>(bytes.constData() + 4));
    EXPECT_EQ(count, doc->infoBase.employeeCount());
    int withSlots = 0;
    for (int i = 0; i < count; ++i) {
        const VirabRecordView record = ParseVirabRecord(bytes.constData() + header + i * kVirabRecordSize);
        for (const VirabSlot& sum : record.sums) {
            EXPECT_TRUE(sum.code == 1 || sum.code == 2) << sum.code;
            EXPECT_GT(sum.sum, 0);
        }
        withSlots += record.sums.empty() ? 0 : 1;
    }
    EXPECT_GT(withSlots, 0);
}

TEST_F(UiPRSvodView, MergeViewPrintsTwoTotalsFilesAsOne)
{
    view->runReal = true;
    Field(IdShopField)->setText("*");
    view->chosenFile = folder + QStringLiteral("one.itg");
    Click(IdSecondStartButton);
    ASSERT_TRUE(Idle());
    ASSERT_TRUE(QFile::exists(view->chosenFile));
    ASSERT_TRUE(QFile::copy(view->chosenFile, folder + QStringLiteral("two.itg")));
    view.reset();

    CEFuncAmaPRSvodView merge(doc.get());
    merge.resize(600, 400);
    merge.OnInitialUpdate();
    ASSERT_TRUE(ShowActive(&merge));
    SetFileList(merge, {folder + QStringLiteral("one.itg"), folder + QStringLiteral("missing.itg")});
    QTest::mouseClick(merge.controlAs<QPushButton>(CAmaSvodView::IdStart), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return merge.controlAs<QPushButton>(CAmaSvodView::IdStart)->isEnabled(); }, 30'000));
    Settle();
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Ошибка при открытии файла")});

    // Both files: the merged report is written under the summary's own name
    // and the view's line says so, where the line came up as an error box.
    recorder.boxes.clear();
    QTimer decline; // the print command's prompt is declined
    QObject::connect(&decline, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    decline.start(5);
    SetFileList(merge, {folder + QStringLiteral("one.itg"), folder + QStringLiteral("two.itg")});
    QTest::mouseClick(merge.controlAs<QPushButton>(CAmaSvodView::IdStart), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return merge.controlAs<QPushButton>(CAmaSvodView::IdStart)->isEnabled(); }, 30'000));
    Settle();
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join('|').toStdString();
    EXPECT_EQ(ScreenText(&merge, QStringLiteral("outcome")),
              QStringLiteral("Записан файл %1, печать отменена")
                  .arg(QFileInfo(kalvor::exchange::SummaryReportPath(*doc)).absoluteFilePath()));
}

} // namespace

#endif
