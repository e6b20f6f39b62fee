// The T-54 editor driven by keys: what it shows of the work block, pickers
// without a date, "Закрыть" storing nothing, Enter storing what was typed, the
// column 5 texts kept for the next employee; a screenshot of the dialog.
#include "exchange/ui/CEFuncT54FormEditDlg.h"

#include "payroll/PayrollDocument.h"
#include "shell/ui/NullableDateEdit.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kalvor;
using kalvor::exchange::T54WorkBlock;

namespace {

double packed(int day, int month, int year) { return PackedDate::make(day, month, year).value; }

class T54Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        T54WorkBlock block(doc);
        block.cell(0, 2) = 4;
        block.cell(0, 4) = 30'000;
        block.cell(0, 12) = packed(10, 2, 2026);
        block.cell(1, 15) = 919;
        block.cell(1, 21) = 700.5;
        doc.formBlock[exchange::T54EmployeeText] = QStringLiteral("Соколов Андрей Петрович");
        doc.formBlock[exchange::T54Line1Column4] = QStringLiteral("Инженер-технолог");
    }
    static void Type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        // Key events carry ASCII only; other letters come as typed text.
        for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    PayrollDoc doc;
};

TEST_F(T54Editor, ShowsTheBlockAndCloseStoresNothing)
{
    CEFuncT54FormEditDlg dialog(doc);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Редактирование отчета"));
    EXPECT_EQ(dialog.Edit(1552)->text(), QStringLiteral("Соколов Андрей Петрович"));
    EXPECT_EQ(dialog.Edit(1558)->text(), "4");
    EXPECT_EQ(dialog.Edit(1559)->text(), "");
    EXPECT_EQ(dialog.Edit(1514)->text(), "30000.00");
    EXPECT_EQ(dialog.Edit(1555)->text(), QStringLiteral("Инженер-технолог"));
    EXPECT_EQ(dialog.Edit(1539)->text(), "919");
    EXPECT_EQ(dialog.Edit(1551)->text(), "700.50");
    EXPECT_EQ(dialog.Picker(1532)->Date(), QDate(2026, 2, 10));
    for (int id : CEFuncT54FormEditDlg::PickerIds)
        if (id != 1532) {
            EXPECT_TRUE(dialog.Picker(id)->IsNull()) << id;
        }
    EXPECT_EQ(qobject_cast<QPushButton*>(dialog.control(2))->text(), QStringLiteral("Закрыть"));

    Type(dialog.Edit(1553), "77");
    Type(dialog.Edit(1556), QStringLiteral("5 разряд"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(T54WorkBlock(doc).cell(0, 1), 0);
    EXPECT_TRUE(doc.formBlock[exchange::T54Line1Column5].isEmpty());

    const QString shot = QCoreApplication::applicationDirPath() + QStringLiteral("/kalvor-t54-editor.png");
    QFile::remove(shot);
    EXPECT_TRUE(dialog.grab().save(shot));
}

TEST_F(T54Editor, EnterStoresAndColumnFiveStaysForTheNextEmployee)
{
    {
        CEFuncT54FormEditDlg dialog(doc);
        dialog.show();
        Type(dialog.Edit(1553), "17");
        Type(dialog.Edit(1516), "1250.75");
        Type(dialog.Edit(1556), QStringLiteral("5 разряд"));
        Type(dialog.Edit(1539), "");
        dialog.Picker(1521)->SetDate(QDate(2009, 10, 5));
        dialog.Picker(1532)->SetNull();
        QTest::keyClick(dialog.Edit(1553), Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    const T54WorkBlock block(doc);
    EXPECT_EQ(block.cell(0, 1), 17);
    EXPECT_EQ(block.cell(1, 4), 1250.75);
    EXPECT_EQ(block.cell(1, 15), 0);
    EXPECT_EQ(block.cell(0, 0), packed(5, 10, 2009));
    EXPECT_EQ(block.cell(0, 12), 0);
    EXPECT_EQ(doc.formBlock[exchange::T54Line1Column5], QStringLiteral("5 разряд"));

    // The next employee: the block starts empty, column 5 keeps its text.
    doc.GenrValues.fill(0);
    CEFuncT54FormEditDlg next(doc);
    EXPECT_EQ(next.Edit(1556)->text(), QStringLiteral("5 разряд"));
    EXPECT_EQ(next.Edit(1553)->text(), "");
}

} // namespace
