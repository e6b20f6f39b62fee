// The advance statement's view on the demo base: Enter prints the statement
// through the print command's dialog (accepted here as the user would), the
// 1C kind appends one record per employee to the transfer file, the check
// boxes' help list types "1", and the form is saved as a picture.
#include "DemoFirm.h"
#include "shell/UiTestSupport.h"

#include "entries/ui/CAvancePrintVedView.h"
#include "infobase/InfoBaseDb.h"
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
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/empty.bak"), folder + QStringLiteral("empty.bak")));
        ASSERT_TRUE(tools::MakeDemoBase(folder));
        QFile transfer(folder + QStringLiteral("kassa1c.txt"));
        ASSERT_TRUE(transfer.open(QIODevice::WriteOnly));
        transfer.close();
        platform::SetWorkingFolder(folder);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc = std::make_unique<CKalvorDoc>();
        doc->setWorkFolder(folder);
        doc->refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
        ASSERT_TRUE(doc->refFiles.OpenAll());
        doc->infoBase.baseName = tools::DemoBaseName();
        ib::OpenBase(doc->infoBase);
        ib::LoadAll(doc->infoBase);
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
    EXPECT_EQ(transfer.readAll().count("\r\n"), AdvanceCount());
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
