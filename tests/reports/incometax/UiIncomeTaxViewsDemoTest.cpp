// The income-tax register and the register of income certificates run from
// their screens on the demo base (April 2011, the generator holding 2011,
// January - March): each screen says which months it computes, each run
// writes a file named after its form and period, never the base's own work
// file, and its line names it.
#include "reports/incometax/ui/CIncomeTaxViews.h"
#include "support/ScreenText.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "reports/incometax/ui/CGenrNalRegEditDlg.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#ifdef KALVOR_DATA_DIR
#include "DemoFirm.h"
#include "shell/DemoScreensTest.h"
#include "support/DemoDocument.h"

using namespace kalvor;

namespace {

class UiIncomeTaxViewsDemo : public DemoScreensTest {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DemoScreensTest::SetUp());
        // The register's choice is answered "Сформировать отчет"; the print
        // command's prompt is declined.
        QObject::connect(&answer, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* choice = qobject_cast<reports::CRepEdit3Dlg*>(modal))
                choice->done(reports::CRepEdit3Dlg::ChoiceMake);
            else if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        });
        answer.start(5);
    }
    void Register(CommandRegistry& screens) override { RegisterIncomeTaxScreens(screens); }
    // Opens the command's screen and presses "Печать"; what the run said.
    QString Run(int command, QString* periodShown)
    {
        CCommonFormView* view = frame->SwitchView(registry.Find(command)->makeView);
        Settle();
        auto* period = view->controlAs<QLabel>(IdComputedPeriod);
        *periodShown = period != nullptr ? period->text() : QString();
        QTest::mouseClick(view->controlAs<QPushButton>(IdStartButton), Qt::LeftButton);
        EXPECT_TRUE(WaitFor([&] { return view->controlAs<QPushButton>(IdStartButton)->isEnabled(); }, 60'000));
        Settle();
        return ScreenText(view, QStringLiteral("outcome"));
    }
    QString File(const QString& name) const { return folder + tools::DemoBaseName() + name; }

    ScopedToday today{QDate(2011, 4, 29)};
};

TEST_F(UiIncomeTaxViewsDemo, EachRegisterShowsItsPeriodAndNamesItsOwnFile)
{
    QString period;
    EXPECT_EQ(Run(CGenrNalRegistrView::CommandId, &period),
              QStringLiteral("Записан файл %1, открыт в программе просмотра")
                  .arg(File(QStringLiteral("-NalReg-2011-03.rtf"))));
    EXPECT_EQ(period, QStringLiteral("Отчетный период: январь - март 2011 г."));
    EXPECT_TRUE(QFile::exists(File(QStringLiteral("-NalReg-2011-03.rtf"))));

    doc.infoBase.config.r_m2 = 2;
    EXPECT_EQ(Run(CGenrRegisterTextView::CommandId, &period),
              QStringLiteral("Записан файл %1, печать отменена").arg(File(QStringLiteral("-ReestrNDFL-2011-02.typ"))));
    EXPECT_EQ(period, QStringLiteral("Отчетный период: январь - февраль 2011 г."));
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
    EXPECT_FALSE(QFile::exists(File(QStringLiteral(".rtf"))));
    EXPECT_FALSE(QFile::exists(File(QStringLiteral(".typ"))));
}

} // namespace

#endif
