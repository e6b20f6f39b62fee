// The report generator's task views on the small base of Fss4Fixture.h
// (2010), driven offscreen in the main frame: a run disables the start
// buttons under the marquee; "Файл итогов" with a path writes the data file
// and opens no choice; the year before 2010 is refused and a year of 0 shows
// as the base's; the base's own month ends a period; employees marked in the
// help of 1103 are the only ones of the run they start; a data file that
// cannot be made is reported; run for one employee, a card is named with his
// number and the firm's headcount is not; the views open from the generator's
// panel, and Esc goes back to it.
#include "reports/social/ui/CGenrTaskViews.h"
#include "support/ScreenText.h"

#include "Fss4Fixture.h"

#include "platform/DocumentOpener.h"
#include "reports/social/GenrDataFile.h"
#include "reports/social/SocialInsurance2010.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldHelp.h"
#include "support/GenrDataFileReader.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>

using namespace kalvor;
using namespace kalvor::reports;
using namespace kalvor::reports::fss4;
using namespace kalvor::reports::testing;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

class UiGenrViews : public Fss4Fixture<CKalvorDoc> {
protected:
    UiGenrViews() : Fss4Fixture(2010) {}

    void SetUp() override
    {
        Fss4Fixture::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
        for (const char* name : {"avans-fss4-2010", "sr-chisl1-2008", "indv-2010"}) {
            const QString file = QStringLiteral("Shablon/") + QString::fromLatin1(name) + QStringLiteral(".rtf");
            ASSERT_TRUE(QFile::copy(kSourceData + u'/' + file, dir.filePath(file)));
        }
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        RegisterReportGeneratorScreens(registry);
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1000, 700);
        ASSERT_TRUE(ShowActive(frame.get()));
        // Any choice dialog that comes up is cancelled and counted.
        QObject::connect(&answer, &QTimer::timeout, [this] {
            if (auto* choice = qobject_cast<CRepEdit1Dlg*>(QApplication::activeModalWidget())) {
                ++choices;
                choice->reject();
            }
        });
        answer.start(5);
    }
    void TearDown() override
    {
        answer.stop();
        frame.reset();
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        Fss4Fixture::TearDown();
    }
    // The view, with the first quarter typed into its period fields where it
    // has them (the base's month is July).
    template <class View>
    View* Open()
    {
        auto* view = frame->SwitchView<View>();
        Settle();
        if (QLineEdit* first = Field(view, IdPeriodFirstMonth))
            first->setText(QStringLiteral("1"));
        if (QLineEdit* last = Field(view, IdPeriodLastMonth))
            last->setText(QStringLiteral("3"));
        return view;
    }
    static QPushButton* Button(CCommonFormView* view, int id) { return view->controlAs<QPushButton>(id); }
    static QLineEdit* Field(CCommonFormView* view, int id) { return view->controlAs<QLineEdit>(id); }
    static bool Idle(CCommonFormView* view) { return Button(view, IdStartButton)->isEnabled(); }

    MessageRecorder recorder;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    QTimer answer;
    int choices = 0;
};

TEST_F(UiGenrViews, DataFileButtonWritesTheFileAndOpensNoChoice)
{
    auto* view = Open<CGenrRVedFSSView>();
    const QString path = dir.filePath(QStringLiteral("fss-2010.dat"));
    view->StartWithDataFile(path);
    // The run is under way: both buttons disabled, the marquee shown.
    EXPECT_FALSE(Button(view, IdStartButton)->isEnabled());
    EXPECT_FALSE(Button(view, IdSecondStartButton)->isEnabled());
    ASSERT_NE(view->Marquee().Bar(), nullptr);
    EXPECT_EQ(view->Marquee().Bar()->maximum(), 0);
    ASSERT_TRUE(WaitFor([&] { return Idle(view); }, 20'000));
    Settle();
    EXPECT_EQ(view->Marquee().Bar(), nullptr);
    EXPECT_TRUE(Button(view, IdSecondStartButton)->isEnabled());

    GenrDataFile file;
    ASSERT_EQ(ReadGenrDataFile(path, GENR_TAG_FSS4, nullptr, file), GenrReadStatus::Done);
    EXPECT_EQ(file.header, (GenrDataHeader{17, 1, 3, 110}));
    EXPECT_EQ(file.values[kAccrued], 18'850);
    EXPECT_EQ(choices, 0);
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();

    // A data file in a folder that does not exist: the open error.
    view->StartWithDataFile(dir.filePath(QStringLiteral("missing/fss.dat")));
    ASSERT_TRUE(WaitFor([&] { return Idle(view); }, 20'000));
    Settle();
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Ошибка при открытии файла")});
}

TEST_F(UiGenrViews, PrintRunsTheChoiceLoopAndEscGoesBackToThePanel)
{
    auto* view = Open<CGenrRVedFSSView>();
    Field(view, IdPersonnelNumberField)->setFocus();
    QTest::keyClick(Field(view, IdPersonnelNumberField), Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return Idle(view); }, 20'000));
    EXPECT_EQ(choices, 1);
    EXPECT_EQ(doc.GenrValues[kAccrued], 18'850);
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();

    QPointer<CCommonFormView> gone = view;
    QTest::keyClick(Field(view, IdShopField), Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(frame->CurrentMainPanel(), MainPanelTaxReports);
}

// Leaving the view while its worker waits in the choice loop stops the run:
// the view goes at once, the worker ends with it, nothing is written.
TEST_F(UiGenrViews, LeavingTheViewStopsItsRun)
{
    answer.stop();
    auto* view = Open<CGenrRVedFSSView>();
    QPointer<CCommonFormView> gone = view;
    bool left = false;
    QTimer leave;
    QObject::connect(&leave, &QTimer::timeout, [&] {
        auto* choice = qobject_cast<CRepEdit1Dlg*>(QApplication::activeModalWidget());
        if (choice == nullptr)
            return;
        if (!left) {
            left = true;
            // Esc of the view: its worker has ended when the switch returns.
            view->LeaveFunction();
            EXPECT_FALSE(view->Running());
        }
        choice->reject();
    });
    leave.start(5);
    QTest::mouseClick(Button(view, IdStartButton), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return left && QApplication::activeModalWidget() == nullptr; }, 20'000));
    leave.stop();
    Settle();
    EXPECT_TRUE(gone.isNull());
    EXPECT_EQ(frame->CurrentMainPanel(), MainPanelTaxReports);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("fss4-4FSS-2010-03.rtf"))));
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
}

TEST_F(UiGenrViews, YearBefore2010IsRefusedAndYearZeroIsTheBasesYear)
{
    auto* pension = Open<CGenrOtchStVzPFView>();
    Field(pension, IdPeriodYear)->setText(QStringLiteral("2009"));
    QTest::mouseClick(Button(pension, IdStartButton), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return Idle(pension); }, 20'000));
    Settle();
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Генерация отчета за года до 2010 г. не реализована")});
    EXPECT_EQ(choices, 0);

    // A year of 0 is the base's 2010, which the view shows: the 4-FSS of
    // 2010 is made.
    recorder.boxes.clear();
    doc.infoBase.config.r_g = 0;
    auto* fss = Open<CGenrRVedFSSView>();
    EXPECT_EQ(Field(fss, IdPeriodYear)->text(), QStringLiteral("2010"));
    const QString path = dir.filePath(QStringLiteral("fss.dat"));
    fss->StartWithDataFile(path);
    ASSERT_TRUE(WaitFor([&] { return Idle(fss); }, 20'000));
    Settle();
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
    EXPECT_EQ(QFile(path).size(), 3'404);
}

// A base in March reports January - March: the month it is in ends a period
// that has come. Both views offer the quarter and write their data files,
// nothing refused.
TEST_F(UiGenrViews, TheBasesOwnMonthEndsAPeriod)
{
    doc.infoBase.config.tekMes = u16(MonthKey(2010, 3).value());
    doc.infoBase.config.r_m2 = 12;
    const auto run = [this](CGenrTaskView* view, int tag) {
        Settle();
        EXPECT_EQ(Field(view, IdPeriodLastMonth)->text(), QStringLiteral("3")) << tag;
        EXPECT_EQ(Field(view, IdPeriodYear)->text(), QStringLiteral("2010")) << tag;
        const QString path = dir.filePath(QStringLiteral("period-%1.dat").arg(tag));
        view->StartWithDataFile(path);
        ASSERT_TRUE(WaitFor([&] { return Idle(view); }, 20'000));
        Settle();
        EXPECT_TRUE(recorder.boxes.empty()) << tag << ": " << recorder.Texts().join(u'\n').toStdString();
        GenrDataFile file;
        ASSERT_EQ(ReadGenrDataFile(path, tag, nullptr, file), GenrReadStatus::Done) << tag;
        EXPECT_EQ(file.header, (GenrDataHeader{u8(tag), 1, 3, 110}));
    };
    run(frame->SwitchView<CGenrOtchStVzPFView>(), GENR_TAG_PF);
    run(frame->SwitchView<CGenrRVedFSSView>(), GENR_TAG_FSS4);
}

TEST_F(UiGenrViews, EmployeesMarkedInTheHelpAreTheRunsOnlyOnes)
{
    auto* view = Open<CGenrRVedFSSView>();
    QLineEdit* number = Field(view, IdPersonnelNumberField);
    number->setFocus();
    QTest::keyClick(number, Qt::Key_F1);
    CFieldHelpList* help = view->HelpList();
    ASSERT_NE(help, nullptr);
    QTableWidget* table = help->table();
    ASSERT_EQ(table->rowCount(), doc.infoBase.employeeCount());
    // Жуков, the fourth of the list, alone.
    for (int row = 0; row < 3; ++row) QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Space);
    QTest::keyClick(table, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return choices == 1 && Idle(view); }, 20'000));
    EXPECT_EQ(Values(doc.GenrValues, kBasePeriod, 5), (std::vector<double>{600'000, 0, 0, 185'000, 415'000}));
    EXPECT_EQ(doc.GenrValues[kHeadcount], 1);
    EXPECT_TRUE(doc.infoBase.list[3].marked());
    EXPECT_EQ(view->SelectedOnly(), 0);
}

// The certificate's screen names its three years: in the base's year (July
// 2010) the two years before it and 2010 itself, as it opens. A year after the
// base's month is refused with a box and the view's line, nothing printed,
// where it was printed as zero without a word.
TEST_F(UiGenrViews, CertificateSaysItsYearsAndRefusesYearsAfterTheBasesMonth)
{
    auto* years = Open<CGenrSpravZarp2GodaView>()->controlAs<QLabel>(CGenrSpravZarp2GodaView::IdYearsText);
    ASSERT_NE(years, nullptr);
    EXPECT_EQ(years->text(), QStringLiteral("Справка за 2008 и 2009 годы и текущий 2010 год (год справки - отчетный "
                                            "год в параметрах генератора)"));

    doc.infoBase.config.r_g = 111;
    auto* view = Open<CGenrSpravZarp2GodaView>();
    years = view->controlAs<QLabel>(CGenrSpravZarp2GodaView::IdYearsText);
    ASSERT_NE(years, nullptr);
    const QString after = QStringLiteral("2011 год позже отчетного месяца базы (июль 2010 года)");
    const QString advice = QStringLiteral("Укажите отчетным годом в параметрах генератора 2010 год или более ранний.");
    const QString yearsNamed = QStringLiteral("Справка за 2009 и 2010 годы и текущий 2011 год");
    EXPECT_EQ(years->text(), yearsNamed + QStringLiteral(" (год справки - отчетный год в параметрах генератора).\n") +
                                 after + QStringLiteral(": справка не будет напечатана. ") + advice);
    QTest::mouseClick(Button(view, IdStartButton), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return Idle(view); }, 20'000));
    Settle();
    const QString refusal = yearsNamed + QStringLiteral(" не напечатана: ") + after + QStringLiteral(". ") + advice;
    EXPECT_EQ(recorder.Texts(), QStringList{refusal});
    EXPECT_EQ(ScreenText(view, QStringLiteral("outcome")), refusal);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.rtf")}, QDir::Files), QStringList());
}

TEST_F(UiGenrViews, HeadcountFormIsPrintedAndTheFormsLookRight)
{
    auto* view = Open<CGenrSSChislRabsView>();
    EXPECT_EQ(view->findChildren<QLabel*>().first()->text(),
              QStringLiteral("Номер отдела (по умолчанию  вся организация)"));
    QTest::mouseClick(Button(view, IdStartButton), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return Idle(view); }, 20'000));
    Settle();
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
    // The form under its own name, which the run's line gives.
    const QRegularExpressionMatch said =
        QRegularExpression(
            QStringLiteral("^Записан файл (.*/fss4-SSCh-\\d{4}-\\d\\d\\.rtf), открыт в программе просмотра$"))
            .match(ScreenText(view, QStringLiteral("outcome")));
    ASSERT_TRUE(said.hasMatch()) << ScreenText(view, QStringLiteral("outcome")).toStdString();
    EXPECT_TRUE(QFile::exists(said.captured(1)));

    // Run for one employee, the firm's headcount keeps the firm's name; a
    // form of one employee each, his social tax card, carries his number.
    const int tabN = doc.infoBase.list[3].tabN();
    const auto runFor = [&](CGenrTaskView* form) {
        Field(form, IdPersonnelNumberField)->setText(QString::number(tabN));
        QTest::mouseClick(Button(form, IdStartButton), Qt::LeftButton);
        EXPECT_TRUE(WaitFor([&] { return Idle(form); }, 20'000));
        Settle();
        EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
        return ScreenText(form, QStringLiteral("outcome"));
    };
    EXPECT_EQ(runFor(view).toStdString(), said.captured(0).toStdString());
    const QString card = dir.filePath(QStringLiteral("fss4-KartESN-2010-03-%1.rtf").arg(tabN));
    EXPECT_EQ(runFor(Open<CGenrIndKartSochNalView>()).toStdString(),
              QStringLiteral("Записан файл %1, открыт в программе просмотра").arg(card).toStdString());

    // The forms without "Файл итогов", and the pension-fund form.
    EXPECT_EQ(Button(Open<CGenrIndKartSochNalView>(), IdSecondStartButton), nullptr);
    EXPECT_EQ(Button(Open<CGenrSpravZarp2GodaView>(), IdSecondStartButton), nullptr);
    auto* pension = Open<CGenrOtchStVzPFView>();
    for (int id : {1104, 1105, 1106, 1107}) EXPECT_NE(Field(pension, id), nullptr) << id;
    ASSERT_TRUE(frame->grab().save(QStringLiteral("genr-pension-view.png")));

    // The generator's panel holds the six commands.
    std::vector<int> ids;
    for (const CommandInfo& command : registry.Commands()) ids.push_back(command.id);
    EXPECT_EQ(ids, (std::vector<int>{32883, 32881, 32879, 32877, 32875, 32885, 32884, 32882, 32880, 32878, 32876}));
}

} // namespace
