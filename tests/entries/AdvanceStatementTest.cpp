// The advance statement's worker on a fixture base of 32 employees, 30 of
// whom have an advance: who is taken, the sheets of statements and orders,
// the head sheet alone, and the results of bad and empty selections.
#include "entries/AdvanceStatement.h"
#include "entries/AdvanceEntry.h"
#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

struct RecordingPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString& report, const QString&) override
    {
        reports << report;
        return std::nullopt;
    }
    QStringList reports;
};

class AdvanceStatement : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(dir.path() + QLatin1Char('/'));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = QStringLiteral("advance");
        ib::CreateSchemaBase(base().workFolder, base().baseName);
        ib::OpenBase(base());
        const ib::FixtureBase fixture = ib::BuildFixtureBase(base(), 32, 7);
        for (int slot = 1; slot <= base().slotCount(); ++slot) base().avOf(slot) = 0.0;
        // Every employee but the 6th and the 20th of the list gets 5,000.50.
        for (int index = 0; index < base().employeeCount(); ++index)
            if (index != 5 && index != 19)
                base().avOf(base().list[std::size_t(index)].slot) = 500'050;
        base().firm.texts[ib::FirmInfo::file1C] = dir.path() + QStringLiteral("/kassa1c.txt");
        ib::SaveAll(base(), fixture.records);
    }
    void TearDown() override
    {
        ib::CloseBase(base());
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }

    AdvanceStatementParams Params(int mode)
    {
        AdvanceStatementParams params;
        params.document = &doc;
        params.outputMode = mode;
        params.prompt = &prompt;
        params.timing = {100, 0};
        return params;
    }
    int Run(const AdvanceStatementParams& params)
    {
        platform::TaskThread thread;
        int result = -1;
        QEventLoop loop;
        QObject::connect(&thread, &platform::TaskThread::done, &loop, [&](int r, int, const QString&) {
            result = r;
            loop.quit();
        });
        EXPECT_TRUE(thread.start(params, AdvanceStatementWorker));
        loop.exec();
        return result;
    }
    QByteArray TransferFile() const
    {
        QFile file(dir.path() + QStringLiteral("/kassa1c.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    ib::CInfoBase& base() { return doc.infoBase; }

    QTemporaryDir dir;
    PayrollDoc doc;
    RecordingPrompt prompt;
};

} // namespace

TEST_F(AdvanceStatement, TakesEmployeesWithAnAdvanceByNumberOrByMark)
{
    AdvanceStatementParams selection;
    const auto taken = [&] { return CountStatementItems(print::StatementKind::Advance, selection, doc).employees; };
    EXPECT_EQ(taken(), 30); // all but the two without an advance
    selection.personnelNumber = base().list[5].tabN(); // no advance
    EXPECT_EQ(taken(), 0);
    selection.personnelNumber = base().list[3].tabN();
    EXPECT_EQ(taken(), 1);
    // In marks mode the personnel number is not looked at.
    base().list[0].setFlag(0, true);
    selection.markedOnly = 1;
    EXPECT_EQ(taken(), 1);
    base().list[5].setFlag(0, true); // marked, but no advance
    EXPECT_EQ(taken(), 1);
    selection.shop = base().shopOf(base().list[0].slot) + 1;
    EXPECT_EQ(taken(), 0);
}

TEST_F(AdvanceStatement, OrdersOfTheSheetRangeGoToTheTransferFile)
{
    QFile transfer(dir.path() + QStringLiteral("/kassa1c.txt"));
    ASSERT_TRUE(transfer.open(QIODevice::WriteOnly));
    transfer.close();
    AdvanceStatementParams params = Params(print::TransferOrders1C);
    params.firstSheet = 2; // orders 3-6 of the 30
    params.lastSheet = 3;
    ASSERT_EQ(Run(params), platform::TASK_DONE);
    const QByteArray records = TransferFile();
    EXPECT_EQ(records.count("\r\n"), 4) << records.constData();
    EXPECT_EQ(records.count(",5000.50\r\n"), 4);
    EXPECT_TRUE(prompt.reports.isEmpty());
}

TEST_F(AdvanceStatement, StatementIsPrintedThroughThePrintCommand)
{
    AdvanceStatementParams params = Params(print::PaymentStatement);
    params.firstSheet = 3; // employees 25-29
    ASSERT_EQ(Run(params), platform::TASK_DONE);
    const QString statement = doc.FormWorkFile(QStringLiteral("Avans-Ved"), doc.infoBase.config.reportingKey());
    ASSERT_EQ(prompt.reports, QStringList{statement});
    EXPECT_TRUE(QFile::exists(statement));
    // Sheet 4 holds nobody; kind 0 up to sheet 1 still gives the head sheet.
    params.firstSheet = 4;
    EXPECT_EQ(Run(params), platform::TASK_NO_DATA);
    params.firstSheet = 0;
    params.lastSheet = 1;
    EXPECT_EQ(Run(params), platform::TASK_DONE);
    params.outputMode = print::BudgetStatement;
    EXPECT_EQ(Run(params), platform::TASK_NO_DATA);
}

TEST_F(AdvanceStatement, BadSheetsAndEmptySelectionsEndWithTheirResults)
{
    AdvanceStatementParams params = Params(print::CashOrders);
    params.firstSheet = 3;
    params.lastSheet = 2;
    EXPECT_EQ(Run(params), platform::TASK_BAD_CONDITION);
    params = Params(print::CashOrders);
    params.personnelNumber = base().list[5].tabN(); // no advance
    EXPECT_EQ(Run(params), platform::TASK_NO_DATA);
    // No transfer file: a file error, not a success.
    EXPECT_EQ(Run(Params(print::TransferOrders1C)), platform::TASK_FILE_ERROR);
}

TEST_F(AdvanceStatement, EntryShowsStateFourOnlyWithAnAdvanceAndTotalsBy901)
{
    const auto slotAt = [this](int index) { return base().list[std::size_t(index)].slot; };
    base().attributesOf(slotAt(5)).priznUv = kShownOnlyWithAdvance; // no advance: hidden
    base().attributesOf(slotAt(0)).priznUv = kShownOnlyWithAdvance; // an advance: shown
    EXPECT_FALSE(AdvanceShown(doc, 5));
    EXPECT_TRUE(AdvanceShown(doc, 0));
    EXPECT_TRUE(AdvanceShown(doc, 19)); // no advance, but not in state 4
    for (int number = 1; number <= int(base().payKinds().size()); ++number)
        if (ib::PayKind& kind = base().payKindAt(number); kind.kod == kAdvanceRoundingKind)
            kind.okrug = 2; // whole roubles, cut down
    // Each 5,000.50 counts 5,000.00; 19 has none.
    EXPECT_DOUBLE_EQ(AdvanceTotal(doc, {500'050, 500'050, 0}), 1'000'000.0);
}
