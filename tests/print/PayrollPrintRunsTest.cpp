// The workers of the payroll print views on a small base: the amounts to
// pay against hand-worked rows, the sheet counting of statements and orders,
// the results of empty and bad selections, a filtered run that leaves the
// document's amounts and the base alone, and writer failures as results.
#include "StatementTestDoc.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/MonthMoney.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/PayrollPrintRuns.h"
#include "support/SlotArrays.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;
using platform::TaskOutcome;

namespace {

struct RunEnd {
    int result = -1;
    int detail = 0;
    QString message;
};

// Runs a worker body on a task thread and waits for its end.
template <class Params, class Proc>
RunEnd RunWorker(const Params& params, Proc proc)
{
    platform::TaskThread thread;
    RunEnd end;
    QEventLoop loop;
    QObject::connect(&thread, &platform::TaskThread::done, &loop, [&](int result, int detail, const QString& text) {
        end = {result, detail, text};
        loop.quit();
    });
    EXPECT_TRUE(thread.start(params, proc));
    loop.exec();
    return end;
}

AccrualRow Row(int code, double kopecks)
{
    AccrualRow row;
    row.kod = u16(code);
    row.sum = kopecks;
    return row;
}

constexpr std::uint64_t kWorkshopCostCode = 200100000001ULL;

// Three employees (101-103) of shops 1, 1 and 2 with a salary of 30,000.00
// (cost code kWorkshopCostCode), income tax, an other deduction and an other
// accrual; payout rounded to whole roubles.
class PayrollPrintRuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(dir.path() + QLatin1Char('/'));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        printtest::BuildStatementDoc(doc, {{101, 1, 0, 0}, {102, 1, 0, 0}, {103, 2, 0, 0}});
        std::vector<PayKind> kinds = base().payKinds();
        for (int code : {10, 600, 720, 904, 936, 950, 995}) {
            PayKind kind;
            kind.kod = u16(code);
            kind.name = QStringLiteral("Вид %1").arg(code);
            kinds.push_back(kind);
        }
        base().setPayKinds(std::move(kinds));
        base().config.okrugVypWord = 2; // whole roubles
        base().firm.texts[FirmInfo::file1C] = dir.path() + QStringLiteral("/kassa1c.txt");
        std::vector<EmployeeRecord> records = printtest::StatementRecords(doc);
        for (EmployeeRecord& record : records) record.rows = MonthRows();
        // The third employee's deductions exceed his accruals.
        records[2].rows = {};
        records[2].rows[0] = Row(10, 100'000);
        records[2].rows[1] = Row(720, 150'000);
        printtest::StoreInNewBase(doc, dir.path(), records);
        for (int slot = 1; slot <= base().slotCount(); ++slot) base().zar1Of(slot) = 777.0;
        SaveAvZar1(base());
    }
    void TearDown() override
    {
        CloseBase(base());
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }

    static std::array<AccrualRow, EmployeeRecord::RowCount> MonthRows()
    {
        std::array<AccrualRow, EmployeeRecord::RowCount> rows{};
        rows[0] = Row(10, 3'000'000.4);
        Packed12Digits code;
        SetPacked12Digits(kWorkshopCostCode, code.ch, code.sc, code.au);
        rows[0].spzCh = code.ch;
        rows[0].spzSc = code.sc;
        rows[0].spzAu = code.au;
        rows[1] = Row(600, 999'999);
        rows[2] = Row(720, 390'000);
        rows[3] = Row(936, 10'000.6);
        rows[4] = Row(950, 20'000);
        rows[5] = Row(995, 5'000);
        rows[6] = Row(555, 7'777); // a code the pay-kind book lacks still counts
        return rows;
    }

    PrintPlatVedParams PayParams(int mode)
    {
        PrintPlatVedParams params;
        params.document = &doc;
        params.outputMode = mode;
        params.timing = {100, 0};
        return params;
    }
    QByteArray TransferFile() const
    {
        QFile file(dir.path() + QStringLiteral("/kassa1c.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void MakeTransferFile() const
    {
        QFile file(dir.path() + QStringLiteral("/kassa1c.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    std::vector<double> StoredAmounts()
    {
        CInfoBase stored;
        stored.workFolder = base().workFolder;
        stored.baseName = base().baseName;
        stored.config = base().config;
        stored.AllocateTables(base().capacity());
        LoadAvZar1(stored);
        return EveryPayout(stored);
    }
    CInfoBase& base() { return doc.infoBase; }
    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The document of a form of the reporting month: "orders-T53-2026-03.rtf".
    QString FormFile(const char* form)
    {
        const MonthKey month = base().config.reportingKey();
        return dir.path() + QStringLiteral("/orders-%1-%2-%3.rtf")
                                .arg(QString::fromLatin1(form))
                                .arg(month.year())
                                .arg(month.month(), 2, 10, QLatin1Char('0'));
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

} // namespace

TEST_F(PayrollPrintRuns, AmountToPayCountsTheEmployeesAccrualsAndDeductionsOnly)
{
    const auto rows = MonthRows();
    const auto pay = [&](int payKind, std::uint64_t costCode) {
        return AmountToPay(MonthMoneyOf(rows.data(), EmployeeRecord::RowCount, {payKind, costCode}), doc);
    };
    // 30,000.00 + 77.77 (555) - 3,900.00 (720) - 100.01 (936) = 26,077.76, cut
    // to whole roubles; 600 counts nothing, nor do the employer's 950 and 995.
    EXPECT_DOUBLE_EQ(pay(0, 0), 2'607'700.0);
    base().config.okrugVypWord = 0;
    EXPECT_DOUBLE_EQ(pay(0, 0), 2'607'776.0);
    // One pay kind, one cost code; a deduction alone is nothing to pay.
    EXPECT_DOUBLE_EQ(pay(10, 0), 3'000'000.0);
    EXPECT_DOUBLE_EQ(pay(0, kWorkshopCostCode), 3'000'000.0);
    EXPECT_DOUBLE_EQ(pay(936, 0), 0.0);
    EXPECT_DOUBLE_EQ(pay(995, 0), 0.0);
}

TEST_F(PayrollPrintRuns, SheetsHold25StatementLinesOrTwoOrders)
{
    std::vector<double> amounts(62, 100.0);
    amounts[5] = 0; // not numbered
    amounts[9] = 0;
    EXPECT_EQ(SheetOfPayee(0, PaymentStatement), 2);
    EXPECT_EQ(SheetOfPayee(25, BudgetStatement), 3);
    EXPECT_EQ(SheetOfPayee(3, CashOrders), 2);
    EXPECT_EQ(CountPayeesOnSheets(amounts, PaymentStatement, 0, 0), 60);
    EXPECT_EQ(CountPayeesOnSheets(amounts, PaymentStatement, 3, 3), 25);
    EXPECT_EQ(CountPayeesOnSheets(amounts, PaymentStatement, 4, 0), 10);
    EXPECT_EQ(CountPayeesOnSheets(amounts, PaymentStatement, 1, 1), 0);
    EXPECT_EQ(CountPayeesOnSheets(amounts, CashOrders, 2, 3), 4);
    EXPECT_EQ(CountPayeesOnSheets(amounts, TransferOrders1C, 30, 0), 2);
}

TEST_F(PayrollPrintRuns, OutOfRangeVariantsAreReadAsZero)
{
    EXPECT_EQ(PrintFormatInRange(2), 2);
    EXPECT_EQ(PrintFormatInRange(3), 0);
    EXPECT_EQ(PrintFormatInRange(-1), 0);
    EXPECT_EQ(StatementKindInRange(3), 3);
    EXPECT_EQ(StatementKindInRange(4), 0);
    EXPECT_EQ(OutputModeInRange(5), 5);
    EXPECT_EQ(OutputModeInRange(6), 0);
}

TEST_F(PayrollPrintRuns, PersonnelNumberDecidesTheWritersSelectionAndTheStripStillFilters)
{
    platform::TaskThreadParams strip;
    strip.shop = 2;
    strip.brigade = 3;
    strip.personnelNumber = 101;
    const StatementPrintParams writer = WriterSelection(strip, 1);
    EXPECT_EQ(writer.personnelNumber, 101);
    EXPECT_EQ(writer.shop, 0);
    EXPECT_EQ(writer.variant, 1);
    // 101 works in shop 1: the shop of the strip leaves nobody to count.
    EXPECT_FALSE(TakenForPrint(doc, 0, strip));
    strip.shop = 1;
    strip.brigade = 0;
    EXPECT_TRUE(TakenForPrint(doc, 0, strip));
    EXPECT_FALSE(TakenForPrint(doc, 1, strip));
}

TEST_F(PayrollPrintRuns, BadAndEmptySelectionsEndWithTheirResults)
{
    PrintPlatVedParams pay = PayParams(TransferOrders1C);
    pay.firstSheet = 3;
    pay.lastSheet = 2;
    EXPECT_EQ(RunWorker(pay, PrintPlatVedThreadProc).result, platform::TASK_BAD_CONDITION);
    pay = PayParams(TransferOrders1C);
    pay.shop = 9;
    EXPECT_EQ(RunWorker(pay, PrintPlatVedThreadProc).result, platform::TASK_NO_DATA);
    // The third employee has nothing to pay: alone he prints nothing.
    pay.shop = 2;
    EXPECT_EQ(RunWorker(pay, PrintPlatVedThreadProc).result, platform::TASK_NO_DATA);

    PrintLicschetParams accounts;
    accounts.document = &doc;
    accounts.shop = 9;
    EXPECT_EQ(RunWorker(accounts, PrintLicschetThreadProc).result, platform::TASK_NO_DATA);
    PrintRaschVedParams settlement;
    settlement.document = &doc;
    settlement.personnelNumber = 555;
    EXPECT_EQ(RunWorker(settlement, PrintRaschVedThreadProc).result, platform::TASK_NO_DATA);
}

TEST_F(PayrollPrintRuns, UnfilteredOrdersRunStoresTheAmountsToPay)
{
    MakeTransferFile();
    const RunEnd end = RunWorker(PayParams(TransferOrders1C), PrintPlatVedThreadProc);
    ASSERT_EQ(end.result, platform::TASK_DONE) << end.message.toStdString();
    EXPECT_DOUBLE_EQ(base().zar1Of(1), 2'607'700.0);
    EXPECT_DOUBLE_EQ(base().zar1Of(2), 2'607'700.0);
    EXPECT_DOUBLE_EQ(base().zar1Of(3), 0.0);
    EXPECT_EQ(StoredAmounts(), EveryPayout(base()));
    const QByteArray records = TransferFile();
    EXPECT_EQ(records.count("\r\n"), 2);
    EXPECT_TRUE(records.contains(",101,")) << records.constData();
    EXPECT_TRUE(records.contains(",26077.00\r\n")) << records.constData();
}

TEST_F(PayrollPrintRuns, FilteredRunLeavesTheDocumentAndTheBaseAmountsAlone)
{
    MakeTransferFile();
    const std::vector<double> before = EveryPayout(base());
    PrintPlatVedParams pay = PayParams(TransferOrders1C);
    pay.payKind = 10;
    const RunEnd end = RunWorker(pay, PrintPlatVedThreadProc);
    ASSERT_EQ(end.result, platform::TASK_DONE) << end.message.toStdString();
    EXPECT_EQ(EveryPayout(base()), before);
    EXPECT_EQ(StoredAmounts(), before);
    // The orders carry the filtered amounts: the salaries alone, 30,000.00
    // twice and 1,000.00.
    const QByteArray records = TransferFile();
    EXPECT_EQ(records.count("\r\n"), 3);
    EXPECT_EQ(records.count(",30000.00\r\n"), 2) << records.constData();
    EXPECT_TRUE(records.contains(",1000.00\r\n")) << records.constData();
}

TEST_F(PayrollPrintRuns, AStatementForOneCostCodePaysOnlyThePartUnderIt)
{
    platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data/")); // the T-53 template
    PrintPlatVedParams pay = PayParams(PaymentStatement);
    pay.costCode = kWorkshopCostCode;
    const RunEnd end = RunWorker(pay, PrintPlatVedThreadProc);
    ASSERT_EQ(end.result, platform::TASK_DONE) << end.message.toStdString();
    // 101 and 102 are paid their salaries under the code, 30,000.00 each, not
    // their whole months (26,077.00); 103 has nothing under it and no line.
    QFile statement(FormFile("T53"));
    ASSERT_TRUE(statement.open(QIODevice::ReadOnly));
    const QByteArray rtf = statement.readAll();
    EXPECT_EQ(rtf.count("30000.00"), 2);
    EXPECT_FALSE(rtf.contains("26077")) << rtf.constData();
    EXPECT_FALSE(rtf.contains("1000.00")) << rtf.constData();
    EXPECT_TRUE(rtf.contains("{60000}")) << rtf.constData(); // the roubles of the total
}

// Each form is written under its own name and month, so that one print
// never overwrites another: the pay statement on form T-53 and on form
// 0504403 of the month stand side by side, each named in its run's line (the
// personal accounts' "-LS-" and the settlement statement's "-T51-" on the
// demo base: UiPayrollPrintViews).
TEST_F(PayrollPrintRuns, EachFormKeepsItsOwnFile)
{
    platform::SetWorkingFolder(QStringLiteral(KALVOR_SOURCE_DIR "/data/"));
    RunEnd end = RunWorker(PayParams(PaymentStatement), PrintPlatVedThreadProc);
    ASSERT_EQ(end.result, platform::TASK_DONE) << end.message.toStdString();
    EXPECT_TRUE(end.message.contains(FormFile("T53"))) << end.message.toStdString();
    const QByteArray statement = ReadFile(FormFile("T53"));
    ASSERT_FALSE(statement.isEmpty());
    end = RunWorker(PayParams(BudgetStatement), PrintPlatVedThreadProc);
    ASSERT_EQ(end.result, platform::TASK_DONE) << end.message.toStdString();
    EXPECT_TRUE(end.message.contains(FormFile("0504403"))) << end.message.toStdString();
    EXPECT_TRUE(ReadFile(FormFile("0504403")).startsWith("{\\rtf"));
    EXPECT_EQ(ReadFile(FormFile("T53")), statement);
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/orders.rtf")));
}

TEST_F(PayrollPrintRuns, FileAndTemplateFailuresAreReportedAsResults)
{
    // No transfer file: it is not made, and the run says why.
    RunEnd end = RunWorker(PayParams(TransferOrders1C), PrintPlatVedThreadProc);
    EXPECT_EQ(end.result, platform::TASK_FILE_ERROR);
    EXPECT_EQ(end.detail, platform::FILE_ERROR_OPEN);
    EXPECT_FALSE(QFile::exists(dir.path() + QStringLiteral("/kassa1c.txt")));
    // No templates in the working folder: the writers' -23 with the reason.
    end = RunWorker(PayParams(PaymentStatement), PrintPlatVedThreadProc);
    EXPECT_EQ(end.result, platform::TASK_BAD_CONDITION);
    EXPECT_EQ(end.detail, -23);
    EXPECT_FALSE(end.message.isEmpty());
    PrintLicschetParams accounts;
    accounts.document = &doc;
    end = RunWorker(accounts, PrintLicschetThreadProc);
    EXPECT_EQ(end.result, platform::TASK_BAD_CONDITION);
    EXPECT_EQ(end.detail, -23);
    PrintRaschVedParams settlement;
    settlement.document = &doc;
    end = RunWorker(settlement, PrintRaschVedThreadProc);
    EXPECT_EQ(end.result, platform::TASK_BAD_CONDITION);
    EXPECT_EQ(end.detail, -23);
}

TEST(SettlementResults, OnlyResultRowsWithAValueCount)
{
    std::array<AccrualRow, EmployeeRecord::RowCount> rows{};
    rows[0] = Row(10, 100'000); // an input row before the results
    rows[3] = Row(0, 5'000); // no code
    rows[4] = Row(720, 0.4); // 0 in whole kopecks
    EXPECT_FALSE(HasSettlementResult(rows.data(), EmployeeRecord::RowCount, 1));
    EXPECT_TRUE(HasSettlementResult(rows.data(), EmployeeRecord::RowCount, 0));
    rows[65] = Row(720, 0.6);
    EXPECT_TRUE(HasSettlementResult(rows.data(), EmployeeRecord::RowCount, 1));
}
