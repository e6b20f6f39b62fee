// The demo firm's statements: its sick-leave sheet and vacation note carry
// the amounts the engine computes, and its advance statement goes through
// the default print command "e.sh" to the document opener.
#include "DemoFirm.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/AverageEarnings.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcOptions.h"
#include "payroll/SickLeave.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "print/BonusCalculation.h"
#include "print/CashOrders.h"
#include "print/TextStatements.h"
#include "support/DemoDocument.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;

#ifdef KALVOR_DATA_DIR

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct AcceptingPrompt : PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString&, const QString& command) override
    {
        offered = command;
        return command;
    }
    QString offered;
};

class DemoPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/e.sh"), folder + QStringLiteral("e.sh")));
        platform::SetWorkingFolder(folder);
    }
    void TearDown() override
    {
        CloseBase(base());
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }
    CInfoBase& base() { return doc.infoBase; }
    int slotOf(int personnelNumber) { return base().list[std::size_t(base().FindEmployee(personnelNumber))].slot; }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
};

} // namespace

TEST_F(DemoPrint, SickLeaveAndVacationCarryTheEngineAmounts)
{
    // Пахомов, ill from 28 March to 8 April: the sheet's benefit.
    const int sickSlot = slotOf(122);
    ASSERT_EQ(base().bln.count(sickSlot), 1);
    SickLeaveSheet sheet = base().bln.run(sickSlot)[0];
    EXPECT_EQ(sheet.mrp, 1);
    LoadEmployee(base(), sickSlot);
    SickLeaveTables tables;
    ASSERT_GT(CalcSickLeaveBenefit(doc, sheet, tables, nullptr, 0), 0);
    EXPECT_DOUBLE_EQ(sheet.sum, tools::DemoSickLeaveAmount);
    EXPECT_DOUBLE_EQ(base().bln.run(sickSlot)[0].sum, tools::DemoSickLeaveAmount);

    // Сазонов, 14 days of vacation from 11 April: the amount to pay that the
    // engine writes into the note in its display mode.
    ASSERT_TRUE(SelectAllToSwap(base(), Selection{}));
    base().OpenSwapFile();
    const int vacationIndex = base().FindEmployee(112);
    const int vacationSlot = slotOf(112);
    // His second note, three additional days from 25 April, is paid with the month's pay.
    ASSERT_EQ(base().otp.count(vacationSlot), 2);
    std::array<VacationNote, 5> notes{};
    notes[0] = base().otp.run(vacationSlot)[0];
    notes[0].sum = 0;
    CalcOptions options;
    options.vacationNotes = notes;
    options.currentNote = 0;
    options.vacationNoteOnly = 0;
    options.vacationCalcKind = 2;
    CalcWorkBuffer work;
    CalcResultBuffer result{};
    const int rows = CalcEmployeeMonth(doc, result.data(), vacationIndex, &work, CalcDisplay, options);
    base().CloseSwapFile();
    ASSERT_GE(rows, 0);
    EXPECT_EQ(base().otp.run(vacationSlot)[0].mrp, 1);
    EXPECT_DOUBLE_EQ(notes[0].sum, tools::DemoVacationAmount);
    EXPECT_DOUBLE_EQ(base().otp.run(vacationSlot)[0].sum, tools::DemoVacationAmount);

    // Their statements have one row each; the compensation note of the one
    // who leaves is not paid before the month's pay and has none.
    const std::vector<StatementRow> sick = SelectStatementRows(StatementKind::SickPay, {}, doc, 0);
    ASSERT_EQ(sick.size(), 1u);
    EXPECT_EQ(sick[0].personnelNumber, 122);
    const std::vector<StatementRow> vacation = SelectStatementRows(StatementKind::Vacation, {}, doc, 0);
    ASSERT_EQ(vacation.size(), 1u);
    EXPECT_EQ(vacation[0].personnelNumber, 112);
    EXPECT_EQ(base().otp.count(slotOf(126)), 1);
}

TEST_F(DemoPrint, AdvanceStatementIsShownThroughTheDefaultPrintScript)
{
    ScopedToday today(QDate(2011, 4, 20));
    // The viewer of this test keeps a copy of what e.sh hands it.
    const QString viewer = folder + QStringLiteral("viewer.sh");
    const QString viewed = folder + QStringLiteral("viewed.txt");
    {
        QFile script(viewer);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$*\" > \"" + QFile::encodeName(folder) +
                     "viewer-args.txt\"\ncp \"$1\" \"" + QFile::encodeName(viewed) + "\"\n");
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    platform::DocumentOpener::SetCommand(viewer);

    const QString report = doc.TypWorkFile();
    const StatementPrintParams params;
    const int rows = CountStatementRowsInRange(StatementKind::Advance, params, doc, 0);
    // Everybody but the two who came or leave this month and Кузнецов, who
    // left in March without an advance; Федотова, who left with one, is paid.
    EXPECT_EQ(rows, 49);
    ASSERT_EQ(WriteAdvanceStatementText(params, doc, report, 0, rows), 0);
    const QString statement = codepage::fromCp1251(ReadFile(report));
    EXPECT_TRUE(statement.contains(QStringLiteral("ООО «Северная механика»")));
    EXPECT_TRUE(statement.contains(QStringLiteral("| 01.04.11 | 30.04.11 |")));

    // The base stores the command that new bases were made with, which names
    // no program: the program's own script is offered in its place.
    AcceptingPrompt prompt;
    EXPECT_EQ(doc.infoBase.config.dosStr, QStringLiteral("kalvor-print %s"));
    const platform::TaskOutcome outcome = ApplyPrintOutput(PaymentStatement, StatementForm::Text, doc, report, prompt);
    EXPECT_EQ(outcome.result, platform::TASK_DONE);
    EXPECT_EQ(outcome.message, QStringLiteral("Записан файл %1, выполнена команда печати").arg(report));
    EXPECT_EQ(prompt.offered, QDir(folder).absoluteFilePath(QStringLiteral("e.sh")) + QStringLiteral(" %s"));
    // The report went to the command in cp866, which has no «»: they became
    // plain quotes. e.sh showed it as UTF-8.
    const QByteArray oem = ReadFile(report);
    EXPECT_EQ(oem, codepage::toCp866(statement));
    const QString shown = codepage::fromCp866(oem);
    EXPECT_TRUE(shown.contains(QStringLiteral("ООО \"Северная механика\"")));
    QElapsedTimer waited;
    waited.start();
    while (QString::fromUtf8(ReadFile(viewed)) != shown && waited.elapsed() < 10'000) QThread::msleep(50);
    EXPECT_EQ(QString::fromUtf8(ReadFile(viewed)), shown);
    // The viewer got the shown copy of the report, by its real path.
    EXPECT_EQ(QFile::decodeName(ReadFile(folder + QStringLiteral("viewer-args.txt"))), report + QStringLiteral(".txt"));
    // The command is kept in the base settings.
    LoadConfig(base());
    EXPECT_EQ(base().config.dosStr, prompt.offered);
}

TEST_F(DemoPrint, OrdersGoToTheFirmsTransferFile)
{
    // The build makes the demo firm's transfer file empty in the working folder.
    EXPECT_EQ(ReadFile(QStringLiteral(KALVOR_DATA_DIR "/kassa1c.txt")), QByteArray());
    EXPECT_EQ(TransferFilePath(doc), folder + QStringLiteral("kassa1c.txt"));
    AcceptingPrompt prompt;
    const QString report = doc.TypWorkFile();
    ASSERT_EQ(WriteSickPayStatementText({}, doc, report, 0, 1), 0);
    EXPECT_EQ(ApplyPrintOutput(TransferOrders1C, StatementForm::Text, doc, report, prompt, {1000, 0}).detail,
              platform::FILE_ERROR_OPEN);
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/kassa1c.txt"), folder + QStringLiteral("kassa1c.txt")));
    EXPECT_EQ(ApplyPrintOutput(TransferOrders1C, StatementForm::Text, doc, report, prompt, {1000, 0}).result,
              platform::TASK_DONE);
    EXPECT_EQ(ReadFile(folder + QStringLiteral("kassa1c.txt")), ReadFile(report));
}

TEST_F(DemoPrint, BonusStatementOrdersAndTheAdvancesRecordLines)
{
    ScopedToday today(QDate(2011, 4, 20));
    // Every listed employee in the swap file, as the statement thread writes
    // it: the brigade's sharing reads its members there.
    ASSERT_TRUE(SelectAllToSwap(base(), Selection{}));
    base().OpenSwapFile();
    infobase::BySlot<double> amounts;
    ASSERT_EQ(CalcBonusAmounts({}, doc, -1, amounts), 0);
    auto amountOf = [&](int personnelNumber) { return amounts[slotOf(personnelNumber)]; };
    // Воронцов: 10 % of his salary of 45,000; Тихонов: 25 % of March's
    // salary of 21,000; the fixed bonuses paid with the settlement are not
    // the statement's.
    EXPECT_EQ(amountOf(101), 450'000);
    EXPECT_EQ(amountOf(110), 525'000);
    EXPECT_EQ(amountOf(112), 0);
    // The assembly brigade shares its fund of 60,000 roubles; the member with
    // the highest coefficient and a full month gets more than the one with 0.8.
    double fund = 0;
    for (int member = 129; member <= 133; ++member) {
        EXPECT_GT(amountOf(member), 0) << member;
        fund += amountOf(member);
    }
    EXPECT_NEAR(fund, 6'000'000, 3);
    EXPECT_GT(amountOf(130), amountOf(133));

    const QString report = doc.TypWorkFile();
    ASSERT_EQ(WriteBonusStatementText({}, doc, report, -1), 0);
    const QString statement = codepage::fromCp1251(ReadFile(report));
    EXPECT_TRUE(statement.contains(QStringLiteral("|   110 |        Тихонов В. А.|      5250.00|")));
    EXPECT_EQ(statement.count(QRegularExpression(QStringLiteral("\\n +\\d+\\|"))), 7); // the seven rows

    StatementPrintParams orders;
    orders.outputMode = SignedCashOrders;
    ASSERT_EQ(PrintBonusCashOrders(orders, doc, report, -1), 0);
    EXPECT_EQ(codepage::fromCp1251(ReadFile(report)).count(QStringLiteral("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР")), 7);

    // The advance's record lines, appended to the firm's 1C transfer file.
    orders.outputMode = TransferOrders1C;
    ASSERT_EQ(PrintAdvanceCashOrders(orders, doc, report, 0), 0);
    base().CloseSwapFile();
    const QByteArray lines = ReadFile(report);
    EXPECT_EQ(lines.count("\r\n"), qsizetype(SelectStatementRows(StatementKind::Advance, {}, doc, 0).size()));
    EXPECT_TRUE(lines.startsWith(codepage::toCp1251(QStringLiteral(
        "0,\"70 \",\"0  \",\"20.04.11\",101,\"Воронцов Андрей Викторович\",\"Межрасчетные выплаты\",\"21,"))));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/kassa1c.txt"), folder + QStringLiteral("kassa1c.txt")));
    AcceptingPrompt prompt;
    EXPECT_EQ(ApplyPrintOutput(TransferOrders1C, StatementForm::Text, doc, report, prompt, {1000, 0}).result,
              platform::TASK_DONE);
    EXPECT_EQ(ReadFile(folder + QStringLiteral("kassa1c.txt")), lines);
}

#endif
