// The advance statement's view on the demo base: Enter prints the statement
// through the print command's dialog (accepted here as the user would), the
// 1C kind appends one record per employee to the transfer file, the check
// boxes' help list types "1", and the form is saved as a picture.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "entries/ui/CAvancePrintVedView.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CPrnEditDlg.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

class UiAvancePrintVed : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(*doc, folder));
        QFile transfer(folder + QStringLiteral("kassa1c.txt"));
        ASSERT_TRUE(transfer.open(QIODevice::WriteOnly));
        transfer.close();
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
        view = std::make_unique<CAvancePrintVedView>(doc.get());
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
    int AdvanceCount() const
    {
        int count = 0;
        for (const ib::EmployeeListEntry& entry : doc->infoBase.list)
            count += doc->infoBase.av[std::size_t(entry.slot - 1)] != 0 ? 1 : 0;
        return count;
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CAvancePrintVedView> view;
    MessageRecorder recorder;
    ScopedToday today{QDate(2011, 4, 29)};
    QTimer acceptor;
    int dialogs = 0;
};

} // namespace

TEST_F(UiAvancePrintVed, StatementGoesThroughThePrintCommand)
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/advance-statement-398.png");
    EXPECT_TRUE(view->grab().save(path));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(QFile::exists(doc->TypWorkFile()));
}

TEST_F(UiAvancePrintVed, OrdersFor1CGoToTheTransferFile)
{
    ASSERT_GT(AdvanceCount(), 2);
    SetField(IdOutputModeField, QStringLiteral("4"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs, 0);
    QFile transfer(folder + QStringLiteral("kassa1c.txt"));
    ASSERT_TRUE(transfer.open(QIODevice::ReadOnly));
    const QString records = codepage::fromCp1251(transfer.readAll());
    EXPECT_EQ(records.count(QStringLiteral("\r\n")), AdvanceCount());
    // The first employee's record: account 70, today, his number, name,
    // passport and the advance of 18,000 roubles.
    const QString first = records.section(QStringLiteral("\r\n"), 0, 0);
    EXPECT_TRUE(first.startsWith(QStringLiteral("0,\"70 \",\"")));
    EXPECT_TRUE(first.contains(
        QStringLiteral("\"29.04.11\",101,\"Воронцов Андрей Викторович\",\"Межрасчетные выплаты\",\"21,19 03,512340,")))
        << first.toStdString();
    EXPECT_TRUE(first.endsWith(QStringLiteral(",18000.00"))) << first.toStdString();
    // Федотова, dismissed in March, is paid her April advance too.
    EXPECT_TRUE(records.contains(QStringLiteral(",152,\"Федотова Марина Сергеевна\"")));
    EXPECT_FALSE(records.contains(QStringLiteral(",151,")));
}

TEST_F(UiAvancePrintVed, CashOrdersGoThroughThePrintCommand)
{
    SetField(IdOutputModeField, QStringLiteral("1"));
    SetField(IdShopField, QStringLiteral("4"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs, 1);
    QFile orders(doc->TypWorkFile());
    ASSERT_TRUE(orders.open(QIODevice::ReadOnly));
    // The text went to the print command in the OEM code page: one KO-2 order
    // per employee of shop 4 with an advance.
    const QString text = codepage::fromCp866(orders.readAll());
    int shopAdvances = 0;
    for (const ib::EmployeeListEntry& entry : doc->infoBase.list)
        if (doc->infoBase.shopBytes[entry.slot] == 4 && doc->infoBase.av[std::size_t(entry.slot - 1)] != 0)
            ++shopAdvances;
    ASSERT_GT(shopAdvances, 5);
    EXPECT_EQ(text.count(QStringLiteral("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР")), shopAdvances);
    EXPECT_TRUE(text.contains(QStringLiteral("ФЕДОТОВА МАРИНА СЕРГЕЕВНА (Табельный номер  152)")));
    EXPECT_FALSE(text.contains(QStringLiteral("Табельный номер  151)")));
}

TEST_F(UiAvancePrintVed, HelpListsTypeTheirCodes)
{
    auto* options = view->controlAs<QLineEdit>(IdWithoutPauseBox);
    options->setFocus();
    ASSERT_TRUE(WaitFor([&] { return view->m_focusedId == IdWithoutPauseBox; }));
    view->ShowFormHelp();
    ASSERT_TRUE(view->HelpList());
    QTableWidget* table = view->HelpList()->table();
    ASSERT_EQ(table->rowCount(), 2);
    table->setCurrentCell(0, 1);
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_EQ(options->text(), QStringLiteral("1"));

    auto* kind = view->controlAs<QLineEdit>(IdOutputModeField);
    kind->setFocus();
    ASSERT_TRUE(WaitFor([&] { return view->m_focusedId == IdOutputModeField; }));
    view->ShowFormHelp();
    ASSERT_TRUE(view->HelpList());
    table = view->HelpList()->table();
    ASSERT_EQ(table->rowCount(), 6);
    table->setCurrentCell(0, 1);
    for (int i = 0; i < 3; ++i) QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_EQ(kind->text(), QStringLiteral("3"));
}

#endif
