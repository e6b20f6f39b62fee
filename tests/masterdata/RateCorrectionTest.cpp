// The rate correction dialog: month names counted back from the reporting
// month, the gaps filled on opening, the rates read back, and the dialog
// driven by keys over a fixture base stored in a base file.
#include "masterdata/RateCorrection.h"
#include "masterdata/ui/CStavkaCorrect.h"

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "platform/DbTestHooks.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"
#include "values/Values.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::infobase;
using kalvor::masterdata::FillRateGaps;
using kalvor::masterdata::RateMonthName;
using kalvor::masterdata::ReadRates;

TEST(RateCorrection, MonthNamesRunBackFromTheReportingMonthForEveryMonth)
{
    // March: Февраль, Январь, Декабрь ... Март.
    const char* const march[12] = {"Февраль", "Январь", "Декабрь", "Ноябрь", "Октябрь", "Сентябрь",
                                   "Август",  "Июль",   "Июнь",    "Май",    "Апрель",  "Март"};
    for (int k = 1; k <= 12; ++k) EXPECT_EQ(RateMonthName(3, k), QString::fromUtf8(march[k - 1])) << k;
    // For every reporting month the first row is the month before it and the
    // twelfth row the reporting month itself.
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(RateMonthName(m, 1), MonthName(m == 1 ? 12 : m - 1)) << m;
        EXPECT_EQ(RateMonthName(m, 12), MonthName(m)) << m;
    }
}

TEST(RateCorrection, GapsTakeTheComputedRateThenTheMonthAboveUpToTheSeventh)
{
    std::array<RateHistoryEntry, 12> rates{};
    rates[2].rate = 1500000; // month 3 has its own rate
    rates[0].second = 77;
    FillRateGaps(rates, 1, true, 2000000);
    EXPECT_EQ(rates[0].rate, 2000000);
    EXPECT_EQ(rates[0].second, 77); // the second value is never touched
    EXPECT_EQ(rates[1].rate, 2000000);
    EXPECT_EQ(rates[2].rate, 1500000);
    for (int k = 3; k < 7; ++k) EXPECT_EQ(rates[size_t(k)].rate, 1500000) << k;
    for (int k = 7; k < 12; ++k) EXPECT_EQ(rates[size_t(k)].rate, 0) << k; // months 8-12 stay empty

    // Pay system 0: only month 1 is filled; a failed rate fills nothing.
    std::array<RateHistoryEntry, 12> none{};
    FillRateGaps(none, 0, true, 300);
    EXPECT_EQ(none[0].rate, 300);
    EXPECT_EQ(none[1].rate, 0);
    std::array<RateHistoryEntry, 12> failed{};
    FillRateGaps(failed, 4, false, 300);
    EXPECT_EQ(failed[0].rate, 0);
    // Month 1 with a rate of its own keeps it.
    std::array<RateHistoryEntry, 12> own{};
    own[0].rate = 100;
    FillRateGaps(own, 4, true, 300);
    EXPECT_EQ(own[0].rate, 100);
    EXPECT_EQ(own[6].rate, 100);
}

TEST(RateCorrection, ReadBackStoresKopecksAndTellsWhetherAnythingChanged)
{
    std::array<RateHistoryEntry, 12> rates{};
    rates[0].rate = 1234500;
    std::array<QString, 12> texts;
    texts[0] = "12345.00";
    EXPECT_FALSE(ReadRates(rates, texts));
    texts[1] = "100.005"; // a third decimal is no amount: refused, the rate kept
    texts[2] = "24000,5"; // a decimal comma
    EXPECT_EQ(masterdata::FirstUnreadRate(texts), 1);
    EXPECT_TRUE(ReadRates(rates, texts));
    EXPECT_EQ(rates[1].rate, 0);
    EXPECT_EQ(rates[2].rate, 2400050);
    // Typed after the old text, 26000 makes a number of seven decimals:
    // refused, never rounded back to the old rate.
    texts[1] = "100.00";
    texts[3] = "24000.0026000";
    EXPECT_EQ(masterdata::FirstUnreadRate(texts), 3);
    EXPECT_TRUE(ReadRates(rates, texts));
    EXPECT_EQ(rates[1].rate, 10000);
    EXPECT_EQ(rates[3].rate, 0);
    texts[3] = "26 000,00";
    texts[4] = "abc";
    rates[4].rate = 500;
    EXPECT_EQ(masterdata::FirstUnreadRate(texts), 4);
    EXPECT_TRUE(ReadRates(rates, texts));
    EXPECT_EQ(rates[3].rate, 2600000);
    EXPECT_EQ(rates[4].rate, 500); // a rate that does not read keeps its own
    texts[0].clear();
    EXPECT_TRUE(ReadRates(rates, texts));
    EXPECT_EQ(rates[0].rate, 0);
}

namespace {

class RateDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = QStringLiteral("rates");
        CreateSchemaBase(dir.path(), base().baseName);
        OpenBase(base());
        fx = BuildFixtureBase(base(), 6, 3);
        SaveAll(base(), fx.records);
        LoadAll(base());
        slot = base().list[0].slot;
        LoadEmployee(base(), slot);
    }
    void TearDown() override { CloseBase(base()); }
    CInfoBase& base() { return doc.infoBase; }
    double storedRate(int k)
    {
        CInfoBase other;
        other.workFolder = base().workFolder;
        other.baseName = base().baseName;
        OpenStoredBase(other);
        LoadAll(other);
        LoadEmployee(other, slot);
        const double rate = other.current.rates[size_t(k - 1)].rate;
        CloseBase(other);
        return rate;
    }
    QTemporaryDir dir;
    CKalvorDoc doc;
    FixtureBase fx;
    int slot = 0;
};

} // namespace

TEST_F(RateDialogTest, TitlesFollowThePaySystemAndTheRowsTheReportingMonth)
{
    base().attributesOf(slot).sistOpl = 4;
    CStavkaCorrect salaried(&doc, unsigned(slot));
    CFldHlpGridCtrl* grid = salaried.Grid();
    ASSERT_EQ(grid->GetRowCount(), 13);
    EXPECT_EQ(grid->GetItemText(0, 0), "Месяц");
    EXPECT_EQ(grid->GetItemText(0, 1), "Оклад");
    EXPECT_EQ(grid->GetItemText(1, 0), RateMonthName(FixtureBase::Month, 1));
    EXPECT_EQ(grid->GetItemText(12, 0), MonthName(FixtureBase::Month));

    base().attributesOf(slot).sistOpl = 2;
    CStavkaCorrect hourly(&doc, unsigned(slot));
    EXPECT_EQ(hourly.Grid()->GetItemText(0, 1), "Тариф");
}

TEST_F(RateDialogTest, ATypedRateIsStoredOnOkAndOkWithoutAChangeWritesNothing)
{
    base().current.rates[0].rate = 2500000;
    base().current.rates[1].rate = 2400000;
    {
        CStavkaCorrect dialog(&doc, unsigned(slot));
        ASSERT_TRUE(ShowActive(&dialog));
        EXPECT_EQ(dialog.Grid()->GetItemText(1, 1), "25000.00");
        // Any write would fail: OK without a change must not try one.
        db::InjectFailureAfter(1);
        MessageRecorder boxes;
        dialog.accept();
        db::InjectFailureAfter(0);
        EXPECT_FALSE(dialog.Changed());
        EXPECT_TRUE(boxes.boxes.empty());
    }
    {
        CStavkaCorrect dialog(&doc, unsigned(slot));
        ASSERT_TRUE(ShowActive(&dialog));
        CFldHlpGridCtrl* grid = dialog.Grid();
        grid->setFocus();
        grid->SetFocusCell(2, 1);
        for (QChar c : QStringLiteral("31000.5")) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
            QApplication::processEvents(); // the first character reaches the editor posted
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(grid->GetItemText(2, 1), "31000.50");
        dialog.accept();
        EXPECT_TRUE(dialog.Changed());
    }
    EXPECT_EQ(base().current.rates[1].rate, 3100050);
    EXPECT_EQ(storedRate(2), 3100050);
    EXPECT_EQ(storedRate(1), 2500000);
}

TEST_F(RateDialogTest, AClickedCellTakesWhatIsTypedAndAnUnreadRateKeepsTheDialogOpen)
{
    // Reporting month April: the first row is March, with 24,000.00.
    base().config.tekMes = u16(MonthKey(2011, 4).value());
    base().attributesOf(slot).sistOpl = 4;
    base().current.rates[0].rate = 2400000;
    auto typeIntoMarch = [](CStavkaCorrect& dialog, const QString& text) {
        CFldHlpGridCtrl* grid = dialog.Grid();
        ASSERT_EQ(grid->GetItemText(1, 0), QStringLiteral("Март"));
        QRect cell;
        ASSERT_TRUE(grid->GetCellRect(1, 1, cell));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QApplication::processEvents();
        ASSERT_NE(grid->GetEditor(), nullptr);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QApplication::processEvents();
    };
    auto clickOk = [](CStavkaCorrect& dialog) {
        QTest::mouseClick(dialog.controlAs<QPushButton>(1), Qt::LeftButton);
        QApplication::processEvents();
    };
    MessageRecorder boxes;
    {
        CStavkaCorrect dialog(&doc, unsigned(slot));
        ASSERT_TRUE(ShowActive(&dialog));
        EXPECT_EQ(dialog.Grid()->GetItemText(1, 1), QStringLiteral("24000.00"));
        typeIntoMarch(dialog, QStringLiteral("26000"));
        clickOk(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(storedRate(1), 2600000);
    {
        CStavkaCorrect dialog(&doc, unsigned(slot));
        ASSERT_TRUE(ShowActive(&dialog));
        EXPECT_EQ(dialog.Grid()->GetItemText(1, 1), QStringLiteral("26000.00"));
        // A rate that does not read is named; the dialog stays and stores nothing.
        typeIntoMarch(dialog, QStringLiteral("25000,00,5"));
        clickOk(dialog);
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Некорректное число в поле \"Оклад\": 25000,00,5")});
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.Grid()->GetFocusCell(), CCellID(1, 1));
        dialog.reject();
    }
    EXPECT_EQ(storedRate(1), 2600000);
    EXPECT_EQ(base().current.rates[0].rate, 2600000);
    {
        // A salary is never negative: "-1" is refused naming the column, the
        // dialog stays and stores nothing.
        boxes.boxes.clear();
        CStavkaCorrect dialog(&doc, unsigned(slot));
        ASSERT_TRUE(ShowActive(&dialog));
        typeIntoMarch(dialog, QStringLiteral("-1"));
        clickOk(dialog);
        EXPECT_EQ(boxes.Texts(),
                  QStringList{QStringLiteral("Значение поля \"Оклад\" должно быть от 0.00 до 999999999999.99: -1")});
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    }
    EXPECT_EQ(storedRate(1), 2600000);
    EXPECT_EQ(base().current.rates[0].rate, 2600000);
}
