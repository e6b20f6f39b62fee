// The sick-pay and vacation-pay statements and the two registers on a fixture
// base of 32 employees: the paid lines counted and placed on the sheets of a
// statement and of cash orders, a first sheet above the last, no paid line,
// the head sheet alone, the sheets and notes saved after a run, and the
// registers' count and their empty result.
#include "entries/EntryRegisters.h"
#include "entries/PaymentStatements.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "support/StoredBase.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

constexpr double kSheetSum = 1'000'000; // 10,000.00 roubles
constexpr int kPaidSheets = 30;

struct RecordingPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString& report, const QString&) override
    {
        reports << report;
        return std::nullopt;
    }
    QStringList reports;
};

ib::SickLeaveSheet Sheet(double sum, int payFlag)
{
    ib::SickLeaveSheet sheet;
    sheet.dBegin = 2;
    sheet.mBegin = 3;
    sheet.gBegin = 2026;
    sheet.dEnd = 6;
    sheet.mEnd = 3;
    sheet.gEnd = 2026;
    sheet.procent = 100;
    sheet.mrp = std::uint8_t(payFlag);
    sheet.sum = sum;
    return sheet;
}

ib::VacationNote Note(double sum, int payFlag)
{
    ib::VacationNote note;
    note.dBegin = 10;
    note.mBegin = 3;
    note.gBegin = 2026;
    note.dlin = 14;
    note.kalend = 1;
    note.mrp = std::uint16_t(payFlag);
    note.sum = sum;
    return note;
}

class EntryPrintWorkers : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(dir.path() + QLatin1Char('/'));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = QStringLiteral("entries");
        ib::CreateSchemaBase(base().workFolder, base().baseName);
        ib::OpenBase(base());
        const ib::FixtureBase fixture = ib::BuildFixtureBase(base(), 32, 7);
        base().firm.texts[ib::FirmInfo::file1C] = dir.path() + QStringLiteral("/kassa1c.txt");
        ib::SaveAll(base(), fixture.records);
        ClearLines();
        // Employees 0-14 of the list have two paid sheets each; the 16th a
        // sheet without the pay flag, the 17th a paid one of 0.
        for (int index = 0; index < kPaidSheets / 2; ++index)
            SetSheets(index, {Sheet(kSheetSum, 1), Sheet(kSheetSum, 1)});
        SetSheets(15, {Sheet(kSheetSum, 0)});
        SetSheets(16, {Sheet(0, 1)});
    }
    void TearDown() override
    {
        ib::CloseBase(base());
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }

    void ClearLines()
    {
        for (int slot = 1; slot <= base().bln.slotCount(); ++slot) base().bln.removeRun(slot);
        for (int slot = 1; slot <= base().otp.slotCount(); ++slot) base().otp.removeRun(slot);
    }
    int SlotAt(int index) const { return doc.infoBase.list[std::size_t(index)].slot; }
    int NumberAt(int index) const { return doc.infoBase.list[std::size_t(index)].tabN(); }
    void SetSheets(int index, const std::vector<ib::SickLeaveSheet>& sheets)
    {
        ASSERT_TRUE(base().bln.replaceRun(SlotAt(index), sheets));
    }
    void SetNotes(int index, const std::vector<ib::VacationNote>& notes)
    {
        ASSERT_TRUE(base().otp.replaceRun(SlotAt(index), notes));
    }

    PaymentStatementParams Params(int mode)
    {
        PaymentStatementParams params;
        params.document = &doc;
        params.outputMode = mode;
        params.prompt = &prompt;
        params.timing = {100, 0};
        return params;
    }
    EntryRegisterParams RegisterParams()
    {
        EntryRegisterParams params;
        params.document = &doc;
        params.prompt = &prompt;
        return params;
    }
    template <class Params, class Worker>
    platform::TaskOutcome Run(const Params& params, Worker worker)
    {
        platform::TaskThread thread;
        platform::TaskOutcome outcome(-1);
        QEventLoop loop;
        QObject::connect(&thread, &platform::TaskThread::done, &loop, [&](int r, int detail, const QString& text) {
            outcome = platform::TaskOutcome(r, detail, text);
            loop.quit();
        });
        EXPECT_TRUE(thread.start(params, worker));
        loop.exec();
        return outcome;
    }
    int RunSickPay(const PaymentStatementParams& params) { return Run(params, SickPayStatementWorker).result; }
    int RunVacation(const PaymentStatementParams& params) { return Run(params, VacationStatementWorker).result; }
    QByteArray ReadFile(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void MakeTransferFile()
    {
        QFile transfer(dir.path() + QStringLiteral("/kassa1c.txt"));
        ASSERT_TRUE(transfer.open(QIODevice::WriteOnly));
    }
    ib::CInfoBase& base() { return doc.infoBase; }

    QTemporaryDir dir;
    // The work file of a document of the reporting month, named after it.
    QString FormFile(const char* form) const
    {
        return doc.FormWorkFile(QString::fromLatin1(form), doc.infoBase.config.reportingKey());
    }
    PayrollDoc doc;
    RecordingPrompt prompt;
};

} // namespace

TEST_F(EntryPrintWorkers, PaidLinesAreFlaggedSheetsWithAPayoutAboveZero)
{
    StatementCount count = CountStatementItems(print::StatementKind::SickPay, Params(0), doc);
    EXPECT_EQ(count.items, kPaidSheets);
    EXPECT_EQ(count.employees, 32);
    EXPECT_FALSE(count.stopped);

    // Half a kopeck rounds to one under whole kopecks, and to nothing when
    // the payout is cut to whole roubles.
    const std::uint16_t payout = base().config.okrugVypWord;
    base().config.okrugVypWord = std::uint16_t(payout & ~7);
    EXPECT_TRUE(IsPaidLine(0.5, 1, doc));
    base().config.okrugVypWord = std::uint16_t((payout & ~7) | 2);
    EXPECT_FALSE(IsPaidLine(99, 1, doc));
    EXPECT_TRUE(IsPaidLine(100, 1, doc));
    EXPECT_FALSE(IsPaidLine(100, 0, doc));
    base().config.okrugVypWord = payout;

    // Marks: the first employee and the one whose sheet is not paid.
    base().list[0].setFlag(0, true);
    base().list[15].setFlag(2, true);
    PaymentStatementParams marked = Params(0);
    marked.markedOnly = 1;
    marked.personnelNumber = NumberAt(3); // not looked at in marks mode
    count = CountStatementItems(print::StatementKind::SickPay, marked, doc);
    EXPECT_EQ(count.items, 2);
    EXPECT_EQ(count.employees, 2);

    // The stop event is seen after the first employee taken.
    std::stop_source stop;
    stop.request_stop();
    count = CountStatementItems(print::StatementKind::SickPay, Params(0), doc, stop.get_token());
    EXPECT_TRUE(count.stopped);
    EXPECT_EQ(count.employees, 1);
}

TEST_F(EntryPrintWorkers, ThirtyPaidSheetsFillStatementSheetsTwoAndThree)
{
    PaymentStatementParams params = Params(print::PaymentStatement);
    params.firstSheet = 3;
    params.lastSheet = 3;
    ASSERT_EQ(RunSickPay(params), platform::TASK_DONE);
    ASSERT_EQ(prompt.reports, QStringList{FormFile("Bol-Ved")});
    // Lines 26-30 (numbered from 1) stand on sheet 3; nothing of sheet 2.
    const QByteArray text = ReadFile(FormFile("Bol-Ved"));
    for (int row = 26; row <= 30; ++row) EXPECT_TRUE(text.contains(QByteArray::number(row).rightJustified(5) + '|'));
    EXPECT_FALSE(text.contains("   25|"));
    EXPECT_EQ(text.count("    10000.00|"), 5);

    // Sheet 4 holds no line.
    params.firstSheet = 4;
    params.lastSheet = 0;
    EXPECT_EQ(RunSickPay(params), platform::TASK_NO_DATA);
}

TEST_F(EntryPrintWorkers, CashOrdersOfTheSheetRangeGoToTheTransferFile)
{
    MakeTransferFile();
    PaymentStatementParams params = Params(print::TransferOrders1C);
    params.firstSheet = 2; // orders 3-6 of the 30
    params.lastSheet = 3;
    ASSERT_EQ(RunSickPay(params), platform::TASK_DONE);
    const QByteArray records = ReadFile(dir.path() + QStringLiteral("/kassa1c.txt"));
    EXPECT_EQ(records.count("\r\n"), 4) << records.constData();
    EXPECT_EQ(records.count(",10000.00\r\n"), 4);
    // The second employee's two sheets are orders 3 and 4.
    EXPECT_EQ(records.count(',' + QByteArray::number(NumberAt(1)) + ','), 2);
    EXPECT_TRUE(prompt.reports.isEmpty());

    // Marked employees are printed, they alone, whatever number the
    // personnel-number field holds: the first one's two sheets.
    ASSERT_TRUE(QFile::resize(dir.path() + QStringLiteral("/kassa1c.txt"), 0));
    base().list[0].setFlag(0, true);
    base().list[15].setFlag(0, true);
    params = Params(print::TransferOrders1C);
    params.markedOnly = 1;
    params.personnelNumber = NumberAt(3);
    ASSERT_EQ(RunSickPay(params), platform::TASK_DONE);
    const QByteArray marked = ReadFile(dir.path() + QStringLiteral("/kassa1c.txt"));
    EXPECT_EQ(marked.count("\r\n"), 2) << marked.constData();
    EXPECT_EQ(marked.count(',' + QByteArray::number(NumberAt(0)) + ','), 2);
}

TEST_F(EntryPrintWorkers, BadSheetsNoPaidLinesAndTheHeadSheetAlone)
{
    PaymentStatementParams params = Params(print::PaymentStatement);
    params.firstSheet = 5;
    params.lastSheet = 2;
    EXPECT_EQ(RunSickPay(params), platform::TASK_BAD_CONDITION);
    EXPECT_EQ(RunVacation(params), platform::TASK_BAD_CONDITION);

    // A sheet with an amount but without "Выплатить в м/р" is not paid.
    params = Params(print::PaymentStatement);
    params.personnelNumber = NumberAt(15);
    EXPECT_EQ(RunSickPay(params), platform::TASK_NO_DATA);
    // Nobody has a vacation note yet.
    EXPECT_EQ(RunVacation(Params(print::CashOrders)), platform::TASK_NO_DATA);

    // Up to sheet 1 a statement still gives its head sheet; the budget one not.
    params = Params(print::PaymentStatement);
    params.lastSheet = 1;
    EXPECT_EQ(RunSickPay(params), platform::TASK_DONE);
    EXPECT_TRUE(ReadFile(FormFile("Bol-Ved")).contains(codepage::toCp1251(QStringLiteral("Расчетный период"))));
    params.outputMode = print::BudgetStatement;
    EXPECT_EQ(RunSickPay(params), platform::TASK_NO_DATA);

    // Without a transfer file the 1C orders end with a file error.
    EXPECT_EQ(RunSickPay(Params(print::TransferOrders1C)), platform::TASK_FILE_ERROR);
}

TEST_F(EntryPrintWorkers, VacationStatementSavesTheNotesAndTheirIndexes)
{
    // Three notes of the 4th employee, the middle one not paid; one of the 9th.
    SetNotes(3, {Note(250'000, 1), Note(70'000, 0), Note(125'050, 1)});
    SetNotes(8, {Note(100'000, 1)});
    const StatementCount count = CountStatementItems(print::StatementKind::Vacation, Params(0), doc);
    EXPECT_EQ(count.items, 3);

    ASSERT_EQ(RunVacation(Params(print::PaymentStatement)), platform::TASK_DONE);
    const QByteArray text = ReadFile(FormFile("Otp-Ved"));
    EXPECT_TRUE(text.contains("     2500.00|"));
    EXPECT_TRUE(text.contains("     1250.50|"));
    EXPECT_FALSE(text.contains("      700.00|"));
    EXPECT_TRUE(text.contains(codepage::toCp1251(QStringLiteral("     4750 рублей 50 копеек"))));

    // The base now holds the notes and sheets of memory.
    PayrollDoc reread;
    reread.setWorkFolder(dir.path() + QLatin1Char('/'));
    reread.infoBase.baseName = base().baseName;
    ib::OpenStoredBase(reread.infoBase);
    ib::LoadAll(reread.infoBase);
    EXPECT_EQ(reread.infoBase.otp.index, base().otp.index);
    EXPECT_EQ(reread.infoBase.otp.run(SlotAt(3)), base().otp.run(SlotAt(3)));
    EXPECT_EQ(reread.infoBase.otp.run(SlotAt(8)), base().otp.run(SlotAt(8)));
    ib::CloseBase(reread.infoBase);
}

TEST_F(EntryPrintWorkers, RegistersCountTheLinesInUseOfTheEmployeesTaken)
{
    EXPECT_EQ(CountRegisterLines(ib::LineKind::Bln, RegisterParams(), doc), kPaidSheets + 2);
    EXPECT_EQ(CountRegisterLines(ib::LineKind::Otp, RegisterParams(), doc), 0);
    EntryRegisterParams one = RegisterParams();
    one.personnelNumber = NumberAt(16);
    EXPECT_EQ(CountRegisterLines(ib::LineKind::Bln, one, doc), 1);
    one.shop = base().shopOf(SlotAt(16)) + 1;
    EXPECT_EQ(CountRegisterLines(ib::LineKind::Bln, one, doc), 0);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(CountRegisterLines(ib::LineKind::Bln, RegisterParams(), doc, stop.get_token()), -1);

    // Employees without notes or sheets: nothing to print.
    EXPECT_EQ(Run(RegisterParams(), VacationNoteCalcWorker).result, platform::TASK_NO_DATA);
    EXPECT_EQ(Run(one, SickLeaveRegisterWorker).result, platform::TASK_NO_DATA);
}

TEST_F(EntryPrintWorkers, AFailingWriterEndsWithItsMessage)
{
    // No template "bln-reestr" in the working folder: the register reports
    // the failure instead of success.
    const platform::TaskOutcome sick = Run(RegisterParams(), SickLeaveRegisterWorker);
    EXPECT_NE(sick.result, platform::TASK_DONE);
    EXPECT_FALSE(sick.message.isEmpty());

    // The work files cannot be written: the writer's code and its text.
    ASSERT_TRUE(QDir().mkpath(FormFile("OtpZap")));
    ASSERT_TRUE(QDir().mkpath(FormFile("Otp-KO")));
    SetNotes(3, {Note(250'000, 1)});
    const platform::TaskOutcome notes = Run(RegisterParams(), VacationNoteCalcWorker);
    EXPECT_EQ(notes.result, platform::TASK_BAD_CONDITION);
    EXPECT_EQ(notes.detail, -23);
    EXPECT_EQ(notes.message, QStringLiteral("Сбой при попытке обращения к файлу печати"));
    const platform::TaskOutcome statement = Run(Params(print::CashOrders), VacationStatementWorker);
    EXPECT_EQ(statement.result, platform::TASK_BAD_CONDITION);
    EXPECT_EQ(statement.detail, -23);
    EXPECT_TRUE(prompt.reports.isEmpty());
}
