// The advance statement's view on the demo base: Enter prints the statement
// through the print command's dialog (accepted here as the user would), the
// 1C kind appends one record per employee to the transfer file, the check
// boxes' help list types "1", and the form is saved as a picture.
#include "StatementViewWorld.h"

#include "entries/ui/CAvancePrintVedView.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CPrnEditDlg.h"
#include "shell/ui/TypedInput.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QTableWidget>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

class UiAvancePrintVed : public entrytest::StatementViewWorld<CAvancePrintVedView> {
protected:
    // The 1C transfer file the 1C kind appends to.
    void PrepareFolder() override
    {
        QFile transfer(folder + QStringLiteral("kassa1c.txt"));
        ASSERT_TRUE(transfer.open(QIODevice::WriteOnly));
        transfer.close();
    }
    int AdvanceCount() const
    {
        int count = 0;
        for (const ib::EmployeeListEntry& entry : doc->infoBase.list)
            count += doc->infoBase.avOf(entry.slot) != 0 ? 1 : 0;
        return count;
    }
};

} // namespace

TEST_F(UiAvancePrintVed, StatementGoesThroughThePrintCommand)
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/advance-statement-398.png");
    EXPECT_TRUE(view->grab().save(path));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(QFile::exists(doc->FormWorkFile(QStringLiteral("Avans-Ved"), doc->infoBase.config.reportingKey())));
}

// A refused number in the statement's form is held on every way out: Tab, a
// click on another field and on the start button each say one box naming
// the field, the field keeping the text with the focus and nothing printed;
// Esc gives the text up without a box.
TEST_F(UiAvancePrintVed, ARefusedFieldIsHeldOnEveryWayOutAndNothingIsPrinted)
{
    auto* field = view->controlAs<CTypedEdit>(IdFirstSheetField);
    ASSERT_NE(field, nullptr);
    const QString stored = field->text();
    const QStringList faults = HeldOnEveryWayOut(
        recorder, [field]() -> QLineEdit* { return field; }, field->Kind().name, QStringLiteral("12x"),
        {{QStringLiteral("a click on another field"), ClickOn(view->control(IdShopField))},
         {QStringLiteral("a click on the start button"), ClickOn(view->control(IdStartButton))}});
    EXPECT_FALSE(field->Kind().name.isEmpty());
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    EXPECT_FALSE(view->Running());
    EXPECT_EQ(dialogs, 0);
    const std::size_t said = recorder.boxes.size();
    QTest::keyClick(field, Qt::Key_Escape);
    Settle();
    EXPECT_EQ(recorder.boxes.size(), said);
    EXPECT_EQ(field->text(), stored);
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
    QFile orders(doc->FormWorkFile(QStringLiteral("Avans-KO"), doc->infoBase.config.reportingKey()));
    ASSERT_TRUE(orders.open(QIODevice::ReadOnly));
    // The text went to the print command in the OEM code page: one KO-2 order
    // per employee of shop 4 with an advance.
    const QString text = codepage::fromCp866(orders.readAll());
    int shopAdvances = 0;
    for (const ib::EmployeeListEntry& entry : doc->infoBase.list)
        if (doc->infoBase.shopOf(entry.slot) == 4 && doc->infoBase.avOf(entry.slot) != 0)
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
