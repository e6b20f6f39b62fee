// The register's editor (dialog 464) driven by keys on the small base of
// TaxRegisterFixture.h: what it shows of the register area, what the typed
// values store, and the register made by "Сформировать отчет"; the choice
// dialog's answers; the demo base's register of the first quarter of 2011
// and its register of income certificates of 2010.
#include "reports/incometax/ui/CGenrNalRegEditDlg.h"

#include "TaxRegisterFixture.h"

#include "platform/WorkingFolder.h"
#include "print/PrintOutput.h"
#include "reports/incometax/IncomeRegisterText.h"
#include "reports/incometax/TaxRegisterForm.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "values/Clock.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace kalvor;
using namespace kalvor::reports;
using namespace kalvor::reports::testing;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class UiTaxRegister : public TaxRegisterBase<> {
protected:
    void SetUp() override
    {
        TaxRegisterBase::SetUp();
        platform::SetWorkingFolder(kSourceData);
    }
    void TearDown() override
    {
        platform::SetWorkingFolder(QString());
        TaxRegisterBase::TearDown();
    }
    template <class Control>
    static Control* Field(CGenrNalRegEditDlg& dialog, int id)
    {
        return dialog.controlAs<Control>(id);
    }
    static void TypeInto(CGenrNalRegEditDlg& dialog, int id, const QString& text)
    {
        auto* edit = Field<QLineEdit>(dialog, id);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
};

TEST_F(UiTaxRegister, EditorShowsStoresAndMakesTheRegister)
{
    RegisterArea area(doc);
    area.transferred(0) = 4'900;
    area.transferDate(0) = date(5, 2, 2011);
    area.paymentOrder(0) = 17;
    area.transferred(12) = 99;
    CGenrNalRegEditDlg dialog(ReportSelection{}, 0, doc.TypWorkFile(), doc);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Редактирование данных"));
    EXPECT_EQ(Field<QLineEdit>(dialog, CGenrNalRegEditDlg::IdPreviousEmployer)->text(), QString());
    EXPECT_EQ(Field<QLineEdit>(dialog, 1005)->text(), QStringLiteral("4900.00"));
    EXPECT_EQ(Field<NullableDateEdit>(dialog, 1478)->Date(), QDate(2011, 2, 5));
    EXPECT_TRUE(Field<NullableDateEdit>(dialog, 1479)->IsNull());
    EXPECT_EQ(Field<QLineEdit>(dialog, 1009)->text(), QString());
    EXPECT_EQ(Field<QLineEdit>(dialog, 1006)->text(), QStringLiteral("17"));
    EXPECT_EQ(Field<QLineEdit>(dialog, 1037)->text(), QStringLiteral("99.00"));
    EXPECT_EQ(Field<QPushButton>(dialog, CGenrNalRegEditDlg::IdMake)->text(), QStringLiteral("Сформировать отчет"));
    EXPECT_EQ(Field<QPushButton>(dialog, CGenrNalRegEditDlg::IdClose)->text(), QStringLiteral("Закрыть"));

    TypeInto(dialog, CGenrNalRegEditDlg::IdPreviousEmployer, QStringLiteral("15000.50"));
    TypeInto(dialog, 1009, QStringLiteral("4897"));
    TypeInto(dialog, 1010, QStringLiteral("18"));
    TypeInto(dialog, 1005, QString());
    TypeInto(dialog, 1037, QStringLiteral("13700"));
    TypeInto(dialog, 1038, QString()); // an empty number is 0 ("abc" is refused when left)
    Field<NullableDateEdit>(dialog, 1479)->SetDate(QDate(2011, 3, 4));
    ASSERT_TRUE(dialog.grab().save(QStringLiteral("tax-register-editor-464.png")));

    ScopedToday today(QDate(2011, 4, 7));
    auto* make = Field<QPushButton>(dialog, CGenrNalRegEditDlg::IdMake);
    make->setFocus();
    QTest::keyClick(make, Qt::Key_Space);
    EXPECT_EQ(area.previousEmployer(), 15'000.50);
    EXPECT_EQ(area.transferred(0), 0);
    EXPECT_EQ(area.transferred(1), 4'897);
    EXPECT_EQ(area.paymentOrder(1), 18);
    EXPECT_EQ(area.transferDate(1), date(4, 3, 2011));
    EXPECT_EQ(area.transferred(12), 13'700);
    EXPECT_EQ(area.paymentOrder(12), 0);
    // The register was calculated and printed: the sums of the quarter and
    // a page for each of Орлов, Лебедев and Зуева (no table, no income rows).
    EXPECT_EQ(area.withheld(12), rub(13'700));
    const QByteArray rtf = readAll(dir.filePath(QStringLiteral("registr.rtf")));
    EXPECT_EQ(rtf.count("\\pagebb"), 3);
    // February's 4,897 transferred against 4,900 withheld: Орлов one rouble
    // short (3,899), then Лебедев (999).
    EXPECT_TRUE(rtf.contains("{3899}")) << "February share of the first employee";
    EXPECT_TRUE(rtf.contains("{999}"));
    EXPECT_TRUE(rtf.contains("{04.03.2011}"));
}

// An amount that does not read in full is refused naming its line; nothing
// is stored and no register is made.
TEST_F(UiTaxRegister, AnAmountThatDoesNotReadIsRefused)
{
    MessageRecorder boxes;
    RegisterArea area(doc);
    area.transferred(1) = 1'000;
    CGenrNalRegEditDlg dialog(ReportSelection{}, 0, doc.TypWorkFile(), doc);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    TypeInto(dialog, CGenrNalRegEditDlg::IdPreviousEmployer, QStringLiteral("500"));
    TypeInto(dialog, 1009, QStringLiteral("4897x"));
    EXPECT_FALSE(dialog.StoreValues());
    EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Некорректное число в поле \"Февраль\": 4897x")});
    EXPECT_EQ(area.transferred(1), 1'000);
    EXPECT_EQ(area.previousEmployer(), 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("registr.rtf"))));
}

// The editor opened on amounts with kopecks, dates, payment orders and the
// "Итого" line, and stored with nothing typed: the whole area keeps its
// bytes, "Итого" included.
TEST_F(UiTaxRegister, AnUntouchedStoreKeepsEveryValue)
{
    RegisterArea area(doc);
    area.previousEmployer() = 15'000.50;
    for (int line = 0; line < kRegisterMonths; ++line) {
        area.transferred(line) = (100'000.0 * (line + 1) + 7 * line + 3) / 100; // 1,000.03, 2,000.10 ...
        area.paymentOrder(line) = 100 + line;
        if (line < 12)
            area.transferDate(line) = date(5, line + 1, 2011);
    }
    area.transferred(12) = 13'700.60;
    area.paymentOrder(12) = 4'711;
    const auto before = doc.GenrValues;
    CGenrNalRegEditDlg dialog(ReportSelection{}, 0, doc.TypWorkFile(), doc);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(Field<QLineEdit>(dialog, 1037)->text(), QStringLiteral("13700.60"));
    EXPECT_EQ(Field<QLineEdit>(dialog, 1038)->text(), QStringLiteral("4711"));
    EXPECT_EQ(Field<QLineEdit>(dialog, 1009)->text(), QStringLiteral("2000.10"));
    EXPECT_TRUE(dialog.StoreValues());
    EXPECT_EQ(DoublesChanged(before, doc.GenrValues), "");
}

TEST_F(UiTaxRegister, ChoiceDialogAnswers)
{
    CRepEdit3Dlg choice;
    choice.show();
    EXPECT_EQ(choice.windowTitle(), QStringLiteral("Обработка отчета"));
    EXPECT_EQ(choice.controlAs<QPushButton>(CRepEdit3Dlg::ChoiceEdit)->text(), QStringLiteral("Редактировать"));
    auto* make = choice.controlAs<QPushButton>(CRepEdit3Dlg::ChoiceMake);
    EXPECT_TRUE(make->isDefault());
    QTest::keyClick(make, Qt::Key_Space);
    EXPECT_EQ(choice.result(), CRepEdit3Dlg::ChoiceMake);
    CRepEdit3Dlg cancelled;
    cancelled.show();
    QTest::keyClick(&cancelled, Qt::Key_Escape);
    EXPECT_EQ(cancelled.result(), IDCANCEL);
}

} // namespace
