// On the demo base every report of the generator runs from its command: the
// view opens, "Печать" runs the report on its worker, a choice dialog is
// answered with "Сформировать отчет", the RTF form is made beside the work
// file and handed to the document opener, and the pension-fund and 4-FSS
// XML files land in the folder typed into field 1106. The pension view also
// carries a department code above 65535 into its data file.
#include "reports/social/ui/CGenrTaskViews.h"
#include "support/ScreenText.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "reports/social/GenrDataFile.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/CTaskFormView.h"
#include "shell/ui/CommandRegistry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <array>
#include <map>

#ifdef KALVOR_DATA_DIR
#include "DemoFirm.h"
#include "shell/DemoScreensTest.h"
#include "support/DemoDocument.h"
#include "support/DemoJanuary2012.h"
#include "support/GenrDataFileReader.h"

using namespace kalvor;

namespace {

class UiGenrDemo : public DemoScreensTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DemoScreensTest::SetUp());
        ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("xml")));
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (auto* choice = qobject_cast<CRepEdit1Dlg*>(QApplication::activeModalWidget()))
                QTest::mouseClick(choice->controlAs<QPushButton>(1040), Qt::LeftButton);
        });
        answer.start(5);
    }
    void Register(CommandRegistry& screens) override { RegisterReportGeneratorScreens(screens); }
    CCommonFormView* Open(int command)
    {
        const CommandInfo* info = registry.Find(command);
        EXPECT_NE(info, nullptr) << command;
        CCommonFormView* view = frame->SwitchView(info->makeView);
        Settle();
        return view;
    }
    // Presses "Печать" (or "Файл итогов" with a path) and waits for the end.
    static bool Run(CCommonFormView* view)
    {
        QTest::mouseClick(view->controlAs<QPushButton>(IdStartButton), Qt::LeftButton);
        return WaitFor([&] { return view->controlAs<QPushButton>(IdStartButton)->isEnabled(); }, 60'000);
    }
    QString Rtf(const QString& form = QString()) const
    {
        return folder + tools::DemoBaseName() + form + QStringLiteral(".rtf");
    }
    // The generator's stored period: year byte, first and last month.
    std::array<int, 3> StoredPeriod() const
    {
        const auto& config = doc.infoBase.config;
        return {config.r_g, config.r_m1, config.r_m2};
    }
    // Types the period into a report screen (the first month where one is
    // given) and presses "Печать": a refused period is said in one box and
    // nothing runs, no form and no XML file is written.
    void RunRefused(CCommonFormView* view, int lastMonth, int year, const QString& said, int firstMonth = 0)
    {
        if (firstMonth != 0)
            view->controlAs<QLineEdit>(IdPeriodFirstMonth)->setText(QString::number(firstMonth));
        view->controlAs<QLineEdit>(IdPeriodLastMonth)->setText(QString::number(lastMonth));
        view->controlAs<QLineEdit>(IdPeriodYear)->setText(QString::number(year));
        if (auto* path = view->controlAs<QLineEdit>(IdFileNameField))
            path->setText(folder + QStringLiteral("xml"));
        recorder.boxes.clear();
        QTest::mouseClick(view->controlAs<QPushButton>(IdStartButton), Qt::LeftButton);
        Settle();
        EXPECT_EQ(recorder.Texts(), QStringList{said}) << firstMonth << "-" << lastMonth << "." << year;
        EXPECT_EQ(ScreenText(view, QStringLiteral("outcome")), QString());
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.rtf")}, QDir::Files), QStringList());
        EXPECT_EQ(QDir(folder + QStringLiteral("xml")).entryList(QDir::Files), QStringList());
        if (firstMonth != 0)
            view->controlAs<QLineEdit>(IdPeriodFirstMonth)->setText(QStringLiteral("1"));
    }
};

TEST_F(UiGenrDemo, EveryReportRunsFromItsCommand)
{
    // Every form is named after the form and the period's last month (the
    // parameters hold 2011, January - March), none after the base alone,
    // and each run's last line names its form.
    const std::map<int, QString> forms = {
        {32883, Rtf(QStringLiteral("-RSV1-2011-03"))},    {32881, Rtf(QStringLiteral("-4FSS-2011-03"))},
        {32879, Rtf(QStringLiteral("-SSCh-2011-03"))},    {32877, Rtf(QStringLiteral("-ProfTravm-2011-03"))},
        {32875, Rtf(QStringLiteral("-KartESN-2011-03"))}, {32885, Rtf(QStringLiteral("-Spravka2-2009-03"))}};
    for (const auto& [command, rtf] : forms) {
        if (command == 32885)
            doc.infoBase.config.r_g = 109; // the certificate's three years end with the base's, 2011
        CCommonFormView* view = Open(command);
        if (auto* path = view->controlAs<QLineEdit>(IdFileNameField))
            path->setText(folder + QStringLiteral("xml"));
        ASSERT_TRUE(Run(view)) << command;
        Settle();
        EXPECT_TRUE(QFile::exists(rtf)) << command;
        EXPECT_TRUE(recorder.boxes.empty()) << command << ": " << recorder.Texts().join(u'\n').toStdString();
        const QStringList said = ScreenText(view, QStringLiteral("outcome")).split(u'\n');
        EXPECT_EQ(said.last(), QStringLiteral("Записан файл %1, открыт в программе просмотра").arg(rtf)) << command;
        // The reports with an XML file (the pension fund's, 4-FSS) name
        // their period and the XML file first.
        if (view->controlAs<QLineEdit>(IdFileNameField)) {
            ASSERT_EQ(said.size(), 3) << command << ": " << said.join(u'|').toStdString();
            EXPECT_EQ(said[0], QStringLiteral("Отчетный период: январь - март 2011 г.")) << command;
            EXPECT_TRUE(said[1].startsWith(QStringLiteral("Записан файл %1xml/").arg(folder)))
                << command << ": " << said[1].toStdString();
            EXPECT_TRUE(said[1].endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
                << command << ": " << said[1].toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(Rtf()));
    EXPECT_EQ(QDir(folder).entryList({QStringLiteral("*.rtf")}, QDir::Files).size(), int(forms.size()));
    // The pension-fund and the 4-FSS XML files.
    const QStringList xml = QDir(folder + QStringLiteral("xml")).entryList(QDir::Files);
    EXPECT_EQ(xml.size(), 2) << xml.join(u' ').toStdString();
    EXPECT_EQ(xml.filter(QStringLiteral("PFR-700-Y-")).size(), 1) << xml.join(u' ').toStdString();
}

// The base's month is April 2011, the parameters hold 2011, January - March.
// Both views offer the last quarter ended, January - March, not January -
// April, and compute it, the parameters as they were; a last month that ends
// no quarter, one before the first quarter's end, one that has not yet come, a month that is no month and a
// 4-FSS that starts after January are refused aloud, nothing runs and the
// parameters stay.
TEST_F(UiGenrDemo, TheReportScreensShowThePeriodTheyCompute)
{
    ASSERT_EQ(StoredPeriod(), (std::array<int, 3>{111, 1, 3}));
    auto* pension = Open(CGenrOtchStVzPFView::CommandId);
    EXPECT_EQ(pension->controlAs<QLineEdit>(IdPeriodFirstMonth), nullptr); // always from January
    EXPECT_EQ(pension->controlAs<QLineEdit>(IdPeriodLastMonth)->text(), QStringLiteral("3"));
    EXPECT_EQ(pension->controlAs<QLineEdit>(IdPeriodYear)->text(), QStringLiteral("2011"));
    RunRefused(pension, 6, 2011,
               QStringLiteral("Отчетный период по июнь 2011 г. еще не наступил: отчетный месяц базы - апрель 2011 г."));
    RunRefused(pension, 3, 2012,
               QStringLiteral("Отчетный период по март 2012 г. еще не наступил: отчетный месяц базы - апрель 2011 г."));
    RunRefused(pension, 4, 2011,
               QStringLiteral("Отчетный период должен заканчиваться последним месяцем квартала (3, 6, 9 или 12), "
                              "а не месяцем 4"));
    // February ends no period of the report, whose least is the first quarter.
    RunRefused(pension, 2, 2011, QStringLiteral("Некорректный отчетный период: месяцы с 1 по 2"));
    EXPECT_EQ(StoredPeriod(), (std::array<int, 3>{111, 1, 3}));

    auto* fss = Open(CGenrRVedFSSView::CommandId);
    EXPECT_EQ(fss->controlAs<QLineEdit>(IdPeriodFirstMonth)->text(), QStringLiteral("1"));
    EXPECT_EQ(fss->controlAs<QLineEdit>(IdPeriodLastMonth)->text(), QStringLiteral("3"));
    EXPECT_EQ(fss->controlAs<QLineEdit>(IdPeriodYear)->text(), QStringLiteral("2011"));
    RunRefused(fss, 5, 2011,
               QStringLiteral("Отчетный период должен заканчиваться последним месяцем квартала (3, 6, 9 или 12), "
                              "а не месяцем 5"));
    // A month past December is refused by the field's kind, naming the field as its label reads.
    RunRefused(fss, 13, 2011,
               QStringLiteral("Значение поля \"%1\" должно быть от 1 до 12: 13")
                   .arg(fss->controlAs<CTypedEdit>(IdPeriodLastMonth)->Kind().name));
    // The 4-FSS runs from January: February - March is no period of it.
    RunRefused(fss, 3, 2011,
               QStringLiteral("Отчетный период должен начинаться с января, а не с месяца 2 (февраль)"), 2);
    EXPECT_EQ(StoredPeriod(), (std::array<int, 3>{111, 1, 3}));

    // Run as offered: the period shown is computed and stored, nothing else.
    fss->controlAs<QLineEdit>(IdPeriodLastMonth)->setText(QStringLiteral("3"));
    fss->controlAs<QLineEdit>(IdFileNameField)->setText(folder + QStringLiteral("xml"));
    recorder.boxes.clear();
    ASSERT_TRUE(Run(fss));
    Settle();
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
    EXPECT_EQ(StoredPeriod(), (std::array<int, 3>{111, 1, 3}));
    EXPECT_TRUE(ScreenText(fss, QStringLiteral("outcome"))
                    .startsWith(QStringLiteral("Отчетный период: январь - март 2011 г.\n")));
    EXPECT_TRUE(QFile::exists(Rtf(QStringLiteral("-4FSS-2011-03"))));
}

// The demo taken by its own months into January 2012, its parameters still
// 2011, January - March. Both views offer the year 2011, which has ended,
// not a quarter of 2012 that has not; run as offered, the pension-fund
// report computes 2011 and keeps the parameters' year; the first quarter of
// 2012 is refused naming its months and the base's, and a 4-FSS from April
// naming its first month.
class UiGenrDemoJanuary2012 : public UiGenrDemo {
protected:
    void OpenDemo() override { testsupport::OpenDemoJanuary2012(doc, folder); }
};

TEST_F(UiGenrDemoJanuary2012, TheReportScreensOfferTheYearEnded)
{
    ASSERT_EQ(doc.infoBase.config.reportingKey(), MonthKey(2012, 1));
    EXPECT_EQ(StoredPeriod(), (std::array<int, 3>{111, 1, 3}));
    auto* fss = Open(CGenrRVedFSSView::CommandId);
    EXPECT_EQ(fss->controlAs<QLineEdit>(IdPeriodFirstMonth)->text(), QStringLiteral("1"));
    EXPECT_EQ(fss->controlAs<QLineEdit>(IdPeriodLastMonth)->text(), QStringLiteral("12"));
    EXPECT_EQ(fss->controlAs<QLineEdit>(IdPeriodYear)->text(), QStringLiteral("2011"));
    // April - December is no period of the 4-FSS: refused, nothing written
    // under the year's names.
    RunRefused(fss, 12, 2011,
               QStringLiteral("Отчетный период должен начинаться с января, а не с месяца 4 (апрель)"), 4);
    EXPECT_EQ(StoredPeriod(), (std::array<int, 3>{111, 1, 3}));

    auto* pension = Open(CGenrOtchStVzPFView::CommandId);
    EXPECT_EQ(pension->controlAs<QLineEdit>(IdPeriodLastMonth)->text(), QStringLiteral("12"));
    EXPECT_EQ(pension->controlAs<QLineEdit>(IdPeriodYear)->text(), QStringLiteral("2011"));
    RunRefused(pension, 3, 2012,
               QStringLiteral("Отчетный период по март 2012 г. еще не наступил: отчетный месяц базы - январь 2012 г."));
    EXPECT_EQ(StoredPeriod(), (std::array<int, 3>{111, 1, 3}));

    pension->controlAs<QLineEdit>(IdPeriodLastMonth)->setText(QStringLiteral("12"));
    pension->controlAs<QLineEdit>(IdPeriodYear)->setText(QStringLiteral("2011"));
    pension->controlAs<QLineEdit>(IdFileNameField)->setText(folder + QStringLiteral("xml"));
    recorder.boxes.clear();
    ASSERT_TRUE(Run(pension));
    Settle();
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
    const QStringList said = ScreenText(pension, QStringLiteral("outcome")).split(u'\n');
    ASSERT_EQ(said.size(), 3) << said.join(u'|').toStdString();
    EXPECT_EQ(said[0], QStringLiteral("Отчетный период: январь - декабрь 2011 г."));
    EXPECT_EQ(
        said[2],
        QStringLiteral("Записан файл %1, открыт в программе просмотра").arg(Rtf(QStringLiteral("-RSV1-2011-12"))));
    // The year stays 2011: only the months shown are stored.
    EXPECT_EQ(StoredPeriod(), (std::array<int, 3>{111, 1, 12}));
}

TEST_F(UiGenrDemo, DepartmentCodeAbove65535ReachesTheDataFile)
{
    auto* view = static_cast<CGenrOtchStVzPFView*>(Open(CGenrOtchStVzPFView::CommandId));
    view->controlAs<QLineEdit>(CGenrOtchStVzPFView::IdDeptCode)->setText(QStringLiteral("654321"));
    view->controlAs<QLineEdit>(CGenrOtchStVzPFView::IdOrgPack)->setText(QString()); // empty: 0
    const QString path = folder + QStringLiteral("pf.dat");
    view->StartWithDataFile(path);
    ASSERT_TRUE(WaitFor([&] { return view->controlAs<QPushButton>(IdStartButton)->isEnabled(); }, 60'000));
    Settle();
    reports::GenrDataFile file;
    ASSERT_EQ(reports::ReadGenrDataFile(path, reports::GENR_TAG_PF, nullptr, file), reports::GenrReadStatus::Done);
    EXPECT_EQ(file.values[276], 654'321);
    EXPECT_EQ(file.values[275], 0);
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
}

} // namespace

#endif
