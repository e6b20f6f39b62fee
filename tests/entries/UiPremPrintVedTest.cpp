// The bonus statement's view on the demo base: Enter prints the statement
// with the assembly brigade's shares through the print command's dialog
// (accepted here as the user would), the cash orders the same way; a bonus
// line of a pay kind the book does not know shows its message, and a number
// without bonuses "Нет данных для печати", each with the information icon.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "entries/ui/CPremPrintVedView.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CPrnEditDlg.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTimer>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

class UiPremPrintVed : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(*doc, folder));
        platform::SetWorkingFolder(folder);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        // The print command's dialog is accepted as soon as it shows; the
        // command itself does nothing.
        doc->infoBase.config.dosStr = QStringLiteral("true");
        QObject::connect(&acceptor, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<CPrnEditDlg*>(QApplication::activeModalWidget())) {
                ++dialogs;
                dialog->accept();
            }
        });
        acceptor.start(20);
        view = std::make_unique<CPremPrintVedView>(doc.get());
        view->resize(900, 620);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    void TearDown() override
    {
        acceptor.stop();
        view.reset();
        ib::CloseBase(doc->infoBase);
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }
    void SetField(int id, const QString& text) { view->controlAs<QLineEdit>(id)->setText(text); }
    bool PrintWithEnter()
    {
        auto* field = view->controlAs<QLineEdit>(IdShopField);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_FALSE(view->control(IdStartButton)->isEnabled());
        return WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 60'000);
    }
    // The report as the print command got it: turned to cp866 in place.
    QString Report() const
    {
        QFile file(doc->TypWorkFile());
        return file.open(QIODevice::ReadOnly) ? codepage::fromCp866(file.readAll()) : QString();
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CPremPrintVedView> view;
    MessageRecorder recorder;
    ScopedToday today{QDate(2011, 4, 29)};
    QTimer acceptor;
    int dialogs = 0;
};

} // namespace

TEST_F(UiPremPrintVed, StatementAndOrdersWithTheBrigadesSharesGoThroughThePrintCommand)
{
    EXPECT_EQ(view->FormId(), 395);
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(Report().contains(QStringLiteral("|   110 | Тихонов В. А.       |      5250.00|")));
    EXPECT_TRUE(Report().contains(QStringLiteral("|   130 |")));

    SetField(IdOutputModeField, QStringLiteral("1"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(Report().count(QStringLiteral("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР")), 7);
}

TEST_F(UiPremPrintVed, AnUnknownPayKindAndAnEmptySelectionShowTheirMessages)
{
    ib::BonusLine unknown;
    unknown.kod = 555;
    unknown.mrp = 2;
    unknown.sum = 100'000;
    ib::CInfoBase& base = doc->infoBase;
    ASSERT_TRUE(base.prem.insertLine(base.list[std::size_t(base.FindEmployee(102))].slot, 0, unknown));
    ASSERT_TRUE(PrintWithEnter());
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, QStringLiteral("В данных отчетного месяца обнаружен неизв. код"));
    EXPECT_TRUE(recorder.boxes[0].flags & MB_ICONINFORMATION);
    EXPECT_EQ(dialogs, 0);

    recorder.boxes.clear();
    SetField(IdPersonnelNumberField, QStringLiteral("103"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(recorder.Texts(), QStringList(QStringLiteral("Нет данных для печати")));
    EXPECT_EQ(dialogs, 0);
}

#endif
