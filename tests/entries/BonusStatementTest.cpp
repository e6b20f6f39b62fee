// The bonus statement's worker on the demo base: the statement and the cash
// orders of the month's bonuses with the assembly brigade's shares, handed to
// the print command; the advances and amounts to pay left as they were; the
// selectors of marked employees and marked pay kinds; sheets out of order, a
// selection without bonuses and a bonus line of an unknown pay kind.
#include "support/DemoDocument.h"

#include "entries/BonusStatement.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "support/SlotArrays.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#ifdef KALVOR_DATA_DIR

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

class BonusStatement : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, folder, testsupport::DemoRefFiles::None));
        platform::SetWorkingFolder(folder);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    }
    void TearDown() override
    {
        ib::CloseBase(base());
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }
    BonusStatementParams Params(int mode)
    {
        BonusStatementParams params;
        params.document = &doc;
        params.outputMode = mode;
        params.prompt = &prompt;
        params.timing = {100, 0};
        return params;
    }
    std::pair<int, int> Run(const BonusStatementParams& params)
    {
        platform::TaskThread thread;
        std::pair<int, int> outcome{-1, 0};
        QEventLoop loop;
        QObject::connect(&thread, &platform::TaskThread::done, &loop, [&](int result, int detail, const QString&) {
            outcome = {result, detail};
            loop.quit();
        });
        EXPECT_TRUE(thread.start(params, BonusStatementWorker));
        loop.exec();
        return outcome;
    }
    // The document the run wrote, named after what it pays and its kind.
    QString ReportPath(const char* form = "Prem-Ved") const
    {
        return doc.FormWorkFile(QString::fromLatin1(form), doc.infoBase.config.reportingKey());
    }
    QString Report(const char* form = "Prem-Ved") const
    {
        QFile file(ReportPath(form));
        return file.open(QIODevice::ReadOnly) ? codepage::fromCp1251(file.readAll()) : QString();
    }
    ib::CInfoBase& base() { return doc.infoBase; }
    int Slot(int tabN) { return base().list[std::size_t(base().FindEmployee(tabN))].slot; }

    QTemporaryDir dir;
    QString folder;
    PayrollDoc doc;
    RecordingPrompt prompt;
    ScopedToday today{QDate(2011, 4, 29)};
};

} // namespace

TEST_F(BonusStatement, TheStatementPaysTheBrigadesSharesAndLeavesTheAdvancesAlone)
{
    const std::vector<double> advances = EveryAdvance(base()), payouts = EveryPayout(base());
    ASSERT_EQ(Run(Params(print::PaymentStatement)), std::pair(int(platform::TASK_DONE), 0));
    EXPECT_EQ(prompt.reports, QStringList(ReportPath()));
    const QString statement = Report();
    // Воронцов 10 % of his salary, Тихонов 25 % of March's pay, and the five
    // members of the assembly brigade, who share 60,000 roubles.
    EXPECT_EQ(statement.count(QRegularExpression(QStringLiteral("\\n +\\d+\\|"))), 7);
    EXPECT_TRUE(statement.contains(QStringLiteral("|   101 |       Воронцов А. В.|      4500.00|")));
    EXPECT_TRUE(statement.contains(QStringLiteral("|   110 |        Тихонов В. А.|      5250.00|")));
    EXPECT_TRUE(statement.contains(QStringLiteral("Итого|       |                     |     69750.00|")));
    // The run's amounts are its own: nothing of the document's arrays moved,
    // and the base holds them as before.
    EXPECT_EQ(EveryAdvance(base()), advances);
    EXPECT_EQ(EveryPayout(base()), payouts);
    ib::LoadAvZar1(base());
    EXPECT_EQ(EveryAdvance(base()), advances);
    EXPECT_EQ(EveryPayout(base()), payouts);
}

TEST_F(BonusStatement, CashOrdersOfTheSheetRange)
{
    BonusStatementParams params = Params(print::SignedCashOrders);
    ASSERT_EQ(Run(params).first, platform::TASK_DONE);
    EXPECT_EQ(Report("Prem-KOP").count(QStringLiteral("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР")), 7);
    params.firstSheet = 2; // orders 3 and 4
    params.lastSheet = 2;
    ASSERT_EQ(Run(params).first, platform::TASK_DONE);
    EXPECT_EQ(Report("Prem-KOP").count(QStringLiteral("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР")), 2);
    params.firstSheet = 5; // beyond the seventh order
    params.lastSheet = 0;
    EXPECT_EQ(Run(params).first, platform::TASK_NO_DATA);
    EXPECT_EQ(prompt.reports.size(), 2);
}

TEST_F(BonusStatement, SelectorsOfMarkedEmployeesAndMarkedPayKinds)
{
    BonusStatementParams params = Params(print::PaymentStatement);
    EXPECT_EQ(SelectForBonusStatement(doc, params).employees, base().employeeCount());
    EXPECT_EQ(SelectForBonusStatement(doc, params).selector, 0);
    for (int tabN : {110, 129, 150}) base().list[std::size_t(base().FindEmployee(tabN))].setFlag(0, true);
    params.markedOnly = 1;
    EXPECT_EQ(SelectForBonusStatement(doc, params).selector, 3);
    // Marked: Тихонов and one brigade member; the member's share is still
    // worked out over the whole brigade.
    ASSERT_EQ(Run(params).first, platform::TASK_DONE);
    EXPECT_EQ(Report().count(QRegularExpression(QStringLiteral("\\n +\\d+\\|"))), 2);

    params.markedOnly = 0;
    params.payKindsMarked = 1;
    const int count = int(base().payKinds().size());
    for (int number = 1; number <= count; ++number) {
        auto& kind = base().payKindAt(number);
        kind.flags = std::uint16_t(kind.flags & ~0x8000);
    }
    EXPECT_EQ(Run(params).first, platform::TASK_NO_DATA); // none marked
    for (int number = 1; number <= count; ++number)
        if (auto& kind = base().payKindAt(number); kind.kod == 8 || kind.kod == 9)
            kind.flags = std::uint16_t(kind.flags | 0x8000);
    EXPECT_EQ(SelectForBonusStatement(doc, params).selector, -2);
    ASSERT_EQ(Run(params).first, platform::TASK_DONE);
    EXPECT_EQ(Report().count(QRegularExpression(QStringLiteral("\\n +\\d+\\|"))), 7);
}

TEST_F(BonusStatement, BadSheetsNoBonusesAndAnUnknownPayKind)
{
    BonusStatementParams params = Params(print::PaymentStatement);
    params.firstSheet = 3;
    params.lastSheet = 2;
    EXPECT_EQ(Run(params), std::pair(int(platform::TASK_BAD_CONDITION), 0));
    params.firstSheet = params.lastSheet = 0;
    params.personnelNumber = 102; // no bonus of the statement
    EXPECT_EQ(Run(params).first, platform::TASK_NO_DATA);
    params.personnelNumber = 9999;
    EXPECT_EQ(Run(params).first, platform::TASK_NO_DATA);
    EXPECT_TRUE(prompt.reports.isEmpty());

    ib::BonusLine unknown;
    unknown.kod = 555;
    unknown.mrp = 2;
    unknown.sum = 100'000;
    ASSERT_TRUE(base().prem.insertLine(Slot(102), 0, unknown));
    params.personnelNumber = 0;
    EXPECT_EQ(Run(params), std::pair(int(platform::TASK_BAD_CONDITION), -5));
    EXPECT_TRUE(prompt.reports.isEmpty());
}

#endif
