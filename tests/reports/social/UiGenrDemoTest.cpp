// On the demo base every report of the generator runs from its command: the
// view opens, "Печать" runs the report on its worker, a choice dialog is
// answered with "Сформировать отчет", the RTF form is made beside the work
// file and handed to the document opener, and the pension-fund and 4-FSS
// XML files land in the folder typed into field 1106. The pension view also
// carries a department code above 65535 into its data file.
#include "reports/social/ui/CGenrTaskViews.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "reports/social/GenrDataFile.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/CTaskFormView.h"
#include "shell/ui/CommandRegistry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <map>

#ifdef KALVOR_DATA_DIR
#include "DemoFirm.h"
#include "support/DemoDocument.h"

using namespace kalvor;

namespace {

class UiGenrDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + u'/';
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
        ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("xml")));
        platform::SetWorkingFolder(QStringLiteral(KALVOR_DATA_DIR));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        RegisterReportGeneratorScreens(registry);
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        ASSERT_TRUE(ShowActive(frame.get()));
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (auto* choice = qobject_cast<CRepEdit1Dlg*>(QApplication::activeModalWidget()))
                QTest::mouseClick(choice->controlAs<QPushButton>(1040), Qt::LeftButton);
        });
        answer.start(5);
    }
    void TearDown() override
    {
        answer.stop();
        frame.reset();
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
        infobase::CloseBase(doc.infoBase);
    }
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

    QTemporaryDir dir;
    QString folder;
    MessageRecorder recorder;
    CKalvorDoc doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    QTimer answer;
};

TEST_F(UiGenrDemo, EveryReportRunsFromItsCommand)
{
    // The pension-fund and 4-FSS forms are named after the form and the
    // period's last month, the others after the base.
    const std::map<int, QString> forms = {{32883, Rtf(QStringLiteral("-RSV1-2011-04"))},
                                          {32881, Rtf(QStringLiteral("-4FSS-2011-04"))}};
    for (int command : {32883, 32881, 32879, 32877, 32875, 32885}) {
        const QString rtf = forms.count(command) ? forms.at(command) : Rtf();
        QFile::remove(rtf);
        if (command == 32885)
            doc.infoBase.config.r_g = 109; // the certificate's three years end with the base's, 2011
        CCommonFormView* view = Open(command);
        if (auto* path = view->controlAs<QLineEdit>(IdFileNameField))
            path->setText(folder + QStringLiteral("xml"));
        ASSERT_TRUE(Run(view)) << command;
        Settle();
        EXPECT_TRUE(QFile::exists(rtf)) << command;
        EXPECT_TRUE(recorder.boxes.empty()) << command << ": " << recorder.Texts().join(u'\n').toStdString();
        // The reports with an XML file (the pension fund's, 4-FSS) name
        // their period, the XML file and their form in the view's line.
        if (view->controlAs<QLineEdit>(IdFileNameField)) {
            const QStringList said = static_cast<CTaskFormView*>(view)->OutcomeText().split(u'\n');
            ASSERT_EQ(said.size(), 3) << command << ": " << said.join(u'|').toStdString();
            EXPECT_EQ(said[0], QStringLiteral("Отчетный период: январь - апрель 2011 г.")) << command;
            EXPECT_TRUE(said[1].startsWith(QStringLiteral("Записан файл %1xml/").arg(folder)))
                << command << ": " << said[1].toStdString();
            EXPECT_TRUE(said[1].endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
                << command << ": " << said[1].toStdString();
            EXPECT_EQ(said[2], QStringLiteral("Записан файл %1, открыт в программе просмотра").arg(rtf)) << command;
        }
    }
    // The pension-fund and the 4-FSS XML files.
    const QStringList xml = QDir(folder + QStringLiteral("xml")).entryList(QDir::Files);
    EXPECT_EQ(xml.size(), 2) << xml.join(u' ').toStdString();
    EXPECT_EQ(xml.filter(QStringLiteral("PFR-700-Y-")).size(), 1) << xml.join(u' ').toStdString();
}

// The parameters held the first quarter from an earlier run; the base's
// month is April. Both views show the period they will compute, January to
// April, and compute it; a month that is no month is refused aloud and
// nothing runs.
TEST_F(UiGenrDemo, TheReportScreensShowThePeriodTheyCompute)
{
    doc.infoBase.config.r_g = 111;
    doc.infoBase.config.r_m1 = 1;
    doc.infoBase.config.r_m2 = 3;
    auto* pension = Open(CGenrOtchStVzPFView::CommandId);
    EXPECT_EQ(pension->controlAs<QLineEdit>(IdPeriodFirstMonth), nullptr); // always from January
    EXPECT_EQ(pension->controlAs<QLineEdit>(IdPeriodLastMonth)->text(), QStringLiteral("4"));
    EXPECT_EQ(pension->controlAs<QLineEdit>(IdPeriodYear)->text(), QStringLiteral("2011"));
    pension->controlAs<QLineEdit>(IdFileNameField)->setText(folder + QStringLiteral("xml"));
    ASSERT_TRUE(Run(pension));
    Settle();
    EXPECT_EQ(doc.infoBase.config.r_m2, 4);
    EXPECT_TRUE(static_cast<CTaskFormView*>(pension)->OutcomeText().startsWith(
        QStringLiteral("Отчетный период: январь - апрель 2011 г.\n")));
    EXPECT_TRUE(QFile::exists(Rtf(QStringLiteral("-RSV1-2011-04"))));

    auto* fss = Open(CGenrRVedFSSView::CommandId);
    EXPECT_EQ(fss->controlAs<QLineEdit>(IdPeriodFirstMonth)->text(), QStringLiteral("1"));
    EXPECT_EQ(fss->controlAs<QLineEdit>(IdPeriodLastMonth)->text(), QStringLiteral("4"));
    fss->controlAs<QLineEdit>(IdPeriodLastMonth)->setText(QStringLiteral("13"));
    QTest::mouseClick(fss->controlAs<QPushButton>(IdStartButton), Qt::LeftButton);
    Settle();
    EXPECT_EQ(recorder.Texts(),
              QStringList{QStringLiteral("Некорректное число в поле \"Последний месяц отчетного периода\": 13")});
    EXPECT_EQ(static_cast<CTaskFormView*>(fss)->OutcomeText(), QString());
    EXPECT_EQ(doc.infoBase.config.r_m2, 4);
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
