// The total sums over the report generator's period on the demo firm: the
// worked figures of one employee, the whole firm as the sum of its
// employees, an employee hired after the period, the reversed period; and the
// text of section 14 of "forms" with the values ending before their offsets.
#include "exchange/TotalSums.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/Db.h"
#include "platform/WorkingFolder.h"
#include "print/FormsFile.h"
#include "support/DemoDocument.h"
#include "values/Clock.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::exchange;
using namespace kalvor::infobase;

#ifdef KALVOR_DATA_DIR

namespace {

class TotalSums : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_SOURCE_DIR "/data/forms"), folder + QStringLiteral("forms")));
        platform::SetWorkingFolder(folder);
        // January to March 2011.
        base().config.r_g = 111;
        base().config.r_m1 = 1;
        base().config.r_m2 = 3;
    }
    void TearDown() override
    {
        CloseBase(base());
        platform::SetWorkingFolder(QString());
    }
    CInfoBase& base() { return doc.infoBase; }
    ItogSumTotals totalsOf(int personnelNumber)
    {
        Selection selection;
        selection.tabN = personnelNumber;
        ItogSumTotals totals;
        EXPECT_EQ(CollectTotals(selection, doc, 0, totals), 0);
        return totals;
    }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
    ScopedToday today{QDate(2011, 4, 20)};
};

TEST_F(TotalSums, OneEmployeesQuarter)
{
    // Сазонов: a salary of 25,000 roubles. January: 7 days of additional
    // vacation from 10 January, 11 of the month's 15 working days paid,
    // 18,333.33, and the vacation at the average of 2010: 11 months of
    // 25,000, July's 12 of 22 days, 13,636.36, and the four quarterly
    // bonuses of 3,750: 303,636.36 over 11 x 29.4 + 29.4 x 17 / 31 = 339.52
    // days, 894.31 a day, 6,260.17. February: 25,000. March: 135 of 175
    // hours (vacation 21-25 March), 19,285.71, the quarterly bonus of 15 %,
    // 2,893, and 5 days at the average of March 2010 - February 2011:
    // 296,969.69 (without January's vacation) over 332.88 days, 892.12 a
    // day, 4,460.60. The quarter: 24,593.50 + 25,000 + 26,639.31 = 76,232.81.
    const ItogSumTotals totals = totalsOf(112);
    EXPECT_EQ(totals.EmployeesWithIncome, 1);
    EXPECT_DOUBLE_EQ(totals.IncomeTotal, 7'623'281.0);
    EXPECT_EQ(totals.EmployeesWithColumn3, 0);
    EXPECT_EQ(totals.EmployeesWithColumn4, 0);
    EXPECT_GT(totals.Column60Total, 0);
    // From February on: 25,000 + 26,639.31.
    base().config.r_m1 = 2;
    EXPECT_DOUBLE_EQ(totalsOf(112).IncomeTotal, 5'163'931.0);
}

TEST_F(TotalSums, TheFirmIsTheSumOfItsEmployees)
{
    Selection everybody;
    ItogSumTotals firm;
    ASSERT_EQ(CollectTotals(everybody, doc, 0, firm), 0);
    ItogSumTotals summed;
    for (const EmployeeListEntry& entry : std::vector<EmployeeListEntry>(base().list)) {
        const ItogSumTotals one = totalsOf(entry.tabN());
        summed.EmployeesWithIncome += one.EmployeesWithIncome;
        summed.FlaggedWithIncome += one.FlaggedWithIncome;
        summed.IncomeTotal += one.IncomeTotal;
        summed.IncreaseTotal += one.IncreaseTotal;
        summed.DeductionBaseTotal += one.DeductionBaseTotal;
        summed.Columns5To14Total += one.Columns5To14Total;
        summed.Column60Total += one.Column60Total;
    }
    EXPECT_GT(firm.EmployeesWithIncome, 10);
    EXPECT_EQ(firm.EmployeesWithIncome, summed.EmployeesWithIncome);
    EXPECT_EQ(firm.FlaggedWithIncome, summed.FlaggedWithIncome);
    EXPECT_NEAR(firm.IncomeTotal, summed.IncomeTotal, 0.5);
    EXPECT_NEAR(firm.IncreaseTotal, summed.IncreaseTotal, 0.5);
    EXPECT_NEAR(firm.DeductionBaseTotal, summed.DeductionBaseTotal, 0.5);
    EXPECT_NEAR(firm.Columns5To14Total, summed.Columns5To14Total, 0.5);
    EXPECT_NEAR(firm.Column60Total, summed.Column60Total, 0.5);
    EXPECT_LE(firm.FlaggedIncomeTotal, firm.IncomeTotal);
    EXPECT_LE(firm.DeductionValueTotal, firm.DeductionBaseTotal);
}

TEST_F(TotalSums, HiredAfterThePeriodOrAReversedPeriod)
{
    // The employee who came in April has nothing in January to March.
    int hired = 0;
    for (const EmployeeListEntry& entry : base().list) {
        LoadEmployee(base(), entry.slot);
        const PackedDate date(base().current.head.datPr1);
        if (date.month() == 4 && date.fullYear() == 2011)
            hired = entry.tabN();
    }
    ASSERT_NE(hired, 0);
    const ItogSumTotals none = totalsOf(hired);
    EXPECT_EQ(none.EmployeesWithIncome, 0);
    EXPECT_EQ(none.IncomeTotal, 0);

    base().config.r_m1 = 5;
    ItogSumTotals totals;
    totals.IncomeTotal = 1;
    EXPECT_EQ(CollectTotals(Selection{}, doc, 0, totals), -2);
    EXPECT_EQ(totals.IncomeTotal, 0);
}

// The value that ends before the offset, and the blank before it.
QByteArray EndingAt(const QByteArray& text, int offset, qsizetype length)
{
    return text.mid(offset - length - 1, length + 1);
}

TEST_F(TotalSums, TheTextPutsEachValueBeforeItsOffset)
{
    ItogSumTotals totals;
    QByteArray text = TotalsText(totals);
    for (int offset : kTotalsOffsets) EXPECT_EQ(text[offset - 1], '0') << offset;
    EXPECT_EQ(EndingAt(text, 795, 4), QByteArray(" 0.00"));
    EXPECT_TRUE(codepage::fromCp1251(text).startsWith(QStringLiteral("Итоговые суммы. Работников с доходом")));

    totals.EmployeesWithIncome = 48;
    totals.EmployeesWithColumn4 = 3;
    totals.IncomeTotal = 123'456'789.5; // 1,234,567.895 roubles
    totals.Column60Total = 99.5;
    text = TotalsText(totals);
    EXPECT_EQ(EndingAt(text, 54, 2), QByteArray(" 48"));
    EXPECT_EQ(EndingAt(text, 169, 1), QByteArray(" 3"));
    EXPECT_EQ(EndingAt(text, 225, 1), QByteArray(" 0"));
    EXPECT_EQ(EndingAt(text, 339, 10), QByteArray(" 1234567.90"));
    EXPECT_EQ(EndingAt(text, 795, 4), QByteArray(" 1.00"));
    EXPECT_EQ(text.mid(54, 2), QByteArray("\r\n"));

    // A section shorter than the last offset is padded; nothing is written
    // outside the text.
    QFile forms(print::FormsFilePath());
    ASSERT_TRUE(forms.open(QIODevice::WriteOnly));
    forms.write("#14\nshort\n#15\n");
    forms.close();
    text = TotalsText(totals);
    EXPECT_EQ(text.size(), 795);
    EXPECT_EQ(text.left(7), QByteArray("short\r\n"));
    EXPECT_EQ(EndingAt(text, 795, 4), QByteArray(" 1.00"));

    // The file is written whole; a folder that is not there is refused.
    WriteTotalsText(totals, folder + QStringLiteral("totals.typ"));
    QFile written(folder + QStringLiteral("totals.typ"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), text);
    EXPECT_THROW(WriteTotalsText(totals, folder + QStringLiteral("no/such/totals.typ")), TextError);
}

// The messages of the worker, and the print command it offers (declined, so
// the report stays as written).
class RecordingMessenger : public ExchangeMessenger {
public:
    void ShowError(const QString& text) const override { shown << text; }
    void ShowInformation(const QString& text) const override { shown << text; }
    void ShowDbError(const db::DbError&) const override { shown << QStringLiteral("db"); }
    void ShowMessage(const QString& text) const override { shown << text; }
    bool AskYesNo(const QString& text) const override
    {
        shown << text;
        return false;
    }
    mutable QStringList shown;
};
struct DecliningPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString&) override
    {
        offered = reportPath;
        return std::nullopt;
    }
    QString offered;
};

TEST_F(TotalSums, TheWorkerShowsTheYearsTotalsThroughThePrintCommand)
{
    auto run = [&](RecordingMessenger& messenger, DecliningPrompt& prompt) {
        platform::TaskThread thread;
        thread.start([&](platform::TaskContext& context) {
            return ItogSumThreadProc(context, platform::TaskThreadParams{}, doc, messenger, prompt);
        });
        QElapsedTimer timer;
        timer.start();
        while (thread.isRunning() && timer.elapsed() < 60'000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    // The whole of 2011.
    base().config.r_m1 = 0;
    base().config.r_m2 = 0;
    RecordingMessenger messenger;
    DecliningPrompt prompt;
    run(messenger, prompt);
    EXPECT_TRUE(messenger.shown.isEmpty()) << messenger.shown.join(QLatin1Char('|')).toStdString();
    const QString totalsFile = doc.FormWorkFile(QStringLiteral("Itogi"), base().config.reportingKey());
    EXPECT_EQ(prompt.offered, totalsFile);
    ItogSumTotals totals;
    ASSERT_EQ(CollectTotals(Selection{}, doc, 0, totals), 0);
    QFile report(totalsFile);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_EQ(report.readAll(), TotalsText(totals));
    EXPECT_GT(totals.EmployeesWithIncome, 10);

    base().config.r_m1 = 5;
    base().config.r_m2 = 3;
    RecordingMessenger refused;
    DecliningPrompt notOffered;
    run(refused, notOffered);
    EXPECT_EQ(refused.shown, QStringList{QStringLiteral("ошибка в датах отчетного периода")});
    EXPECT_TRUE(notOffered.offered.isEmpty());
}

} // namespace

#endif
