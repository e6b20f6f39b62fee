// The 1C postings from the export view on the demo base after the April 2011
// calculation, driven by keys: without the chart of accounts the run says
// which file is missing and writes nothing; with the demo's chart and
// transition tables program 1 writes the postings (windows-1251, every line
// kind) and offers a copy of them to the print command.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "exchange/Postings1C.h"
#include "exchange/PostingsExport.h"
#include "exchange/ui/CEFuncProvodExportView.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcThread.h"
#include "platform/CodePage.h"
#include "platform/Db.h"
#include "platform/DocumentOpener.h"
#include "shell/ui/CKalvorDoc.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <memory>
#include <vector>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;

namespace {

// Declines the print command and remembers the files offered.
class DecliningPrompt : public kalvor::print::PrintCommandPrompt {
public:
    std::optional<QString> ConfirmCommand(const QString& reportPath, const QString&) override
    {
        offered << reportPath;
        return std::nullopt;
    }
    QStringList offered;
};

class UiPostings1CDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        kalvor::platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::OpenDemoDocument(*doc, folder));
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
    }
    void CalculateApril()
    {
        kalvor::platform::TaskThread calc;
        kalvor::CalcThreadParams params;
        params.document = doc.get();
        ASSERT_TRUE(calc.start(params, &kalvor::CalculationThreadProc));
        ASSERT_TRUE(WaitFor([&] { return !calc.isRunning(); }, 60'000));
        Settle();
    }
    void OpenView()
    {
        view = std::make_unique<CEFuncProvodExportView>(doc.get());
        view->SetPrintPrompt(&prompt);
        view->resize(760, 600);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    // Enter in the program field starts the export; waits for its end.
    void ExportWithEnter()
    {
        QTest::keyClick(view->controlAs<QLineEdit>(CEFuncProvodExportView::IdProgramField), Qt::Key_Return);
        ASSERT_TRUE(WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 60'000));
        Settle();
    }
    QByteArray WorkFile() const
    {
        QFile work(doc->TypWorkFile());
        return work.open(QIODevice::ReadOnly) ? work.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CEFuncProvodExportView> view;
    DecliningPrompt prompt;
    MessageRecorder recorder;
};

// The amount field of a posting line.
double AmountOf(const QByteArray& line)
{
    static const QRegularExpression amount(QStringLiteral("\",(-?\\d+\\.\\d\\d),\""));
    return amount.match(QString::fromLatin1(line)).captured(1).toDouble();
}

// The pay (70 credited, another account debited), the income tax (68.1)
// and the contributions (69.x) that 1C postings carry, in roubles.
struct OneCTotals {
    double pay = 0, tax = 0, contributions = 0;
};
OneCTotals PostedTotals(const QList<QByteArray>& lines)
{
    OneCTotals t;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() > 5 && fields[4] == "\" 70\"" && fields[2] != "\" 70\"")
            t.pay += AmountOf(line);
        if (line.contains("\" 70\",\"   \",\" 68\",\"  1\","))
            t.tax += AmountOf(line);
        else if (line.contains("\" 70\",\"   \",\" 69."))
            t.contributions += AmountOf(line);
    }
    return t;
}

// The same totals of the month's stored computed rows, added up here.
OneCTotals StoredTotals(ib::CInfoBase& base)
{
    OneCTotals t;
    for (int index = 0; index < base.employeeCount(); ++index) {
        ib::LoadProizvZarpByMass(base, base.list[std::size_t(index)].slot, 2, ib::kResultRowsTable);
        for (const ib::AccrualRow& row : base.current.rows) {
            if (row.sum == 0 || row.kod == 150 || row.kod == 151 || row.kod == 600)
                continue;
            t.pay += row.kod < 700 ? row.sum / 100 : 0;
            t.tax += row.kod == 902 ? row.sum / 100 : 0;
            t.contributions += row.kod >= 990 && row.kod <= 995 ? row.sum / 100 : 0;
        }
    }
    return t;
}

void ExpectTotalsEqual(const OneCTotals& posted, const OneCTotals& stored)
{
    EXPECT_GT(stored.tax, 0);
    EXPECT_NEAR(posted.pay, stored.pay, 0.005);
    EXPECT_NEAR(posted.tax, stored.tax, 0.005);
    EXPECT_NEAR(posted.contributions, stored.contributions, 0.005);
}

// January, February and March, as the demo's build computes and stores each
// of them before its month change: the 1C postings of each month carry its
// stored pay, income tax and contributions.
TEST(Postings1CDemoMonths, EachMonthOfTheFirstQuarterPostsItsStoredRows)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    for (const char* name : {"empty.bak", "plan_1c.txt", "pereh_1c.txt"})
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/") + QLatin1String(name), folder + QLatin1String(name)));
    if (kalvor::db::ServerInUse())
        ib::DeleteBase(folder, kalvor::tools::DemoBaseName());
    std::vector<int> months;
    ASSERT_TRUE(kalvor::tools::MakeDemoBase(folder, QStringLiteral(KALVOR_DATA_DIR "/"), [&](kalvor::PayrollDoc& doc) {
        months.push_back(doc.infoBase.config.reportingMonth());
        SCOPED_TRACE(months.back());
        ASSERT_TRUE(ib::SelectAllToSwap(doc.infoBase, ib::Selection{}));
        doc.infoBase.OpenSwapFile();
        QByteArray postings;
        QBuffer out(&postings);
        out.open(QIODevice::WriteOnly);
        const int result = kalvor::exchange::ExportPostings1C({}, {}, out, doc);
        doc.infoBase.CloseSwapFile();
        ASSERT_EQ(result, 0);
        QList<QByteArray> lines = postings.split('\n');
        ASSERT_GT(lines.size(), 2);
        lines.removeFirst(); // the header with the date
        ExpectTotalsEqual(PostedTotals(lines), StoredTotals(doc.infoBase));
    }));
    EXPECT_EQ(months, (std::vector<int>{1, 2, 3}));
}

TEST_F(UiPostings1CDemo, AprilPostingsForOneC)
{
    CalculateApril();
    OpenView();
    TypeText(view->controlAs<QLineEdit>(CEFuncProvodExportView::IdProgramField), QStringLiteral("1"));

    // No chart of accounts in the working folder yet.
    ExportWithEnter();
    EXPECT_EQ(view->Program(), 1);
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Не найден файл plan_1c.txt")});
    EXPECT_EQ(WorkFile(), QByteArray());
    EXPECT_TRUE(prompt.offered.isEmpty());

    for (const char* name : {"plan_1c.txt", "pereh_1c.txt"})
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/") + QLatin1String(name), folder + QLatin1String(name)));
    recorder.boxes.clear();
    ExportWithEnter();
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join('|').toStdString();
    const QString copy = kalvor::exchange::PostingsPrintCopy(*doc);
    EXPECT_EQ(prompt.offered, QStringList{copy});
    const QByteArray postings = WorkFile();
    QFile offered(copy);
    ASSERT_TRUE(offered.open(QIODevice::ReadOnly));
    EXPECT_EQ(offered.readAll(), postings);

    QList<QByteArray> lines = postings.split('\n');
    ASSERT_GT(lines.size(), 2);
    EXPECT_EQ(lines.takeFirst(), QByteArray("\"30.04.11\",\"30.04.11\",\"zp\" \r"));
    EXPECT_EQ(lines.takeLast(), QByteArray());
    const auto ansi = [](const QString& text) { return kalvor::codepage::toCp1251(text); };
    int accruals = 0, deductions = 0, contributions = 0, taxShares = 0;
    double pay = 0, contributed = 0;
    QList<QByteArray> taxSplit;
    for (const QByteArray& line : lines) {
        ASSERT_TRUE(line.startsWith("\"zp\",\"30.04.11\",\"")) << line.constData();
        ASSERT_TRUE(line.endsWith("\" \r")) << line.constData();
        // The pay: 70 credited, a cost account debited.
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() > 5 && fields[4] == "\" 70\"" && fields[2] != "\" 70\"")
            pay += AmountOf(line);
        if (line.contains("\",\"  1\",\" 70\",\"   \","))
            ++accruals;
        else if (line.contains("\" 70\",\"   \",\" 68\",\"  1\","))
            taxSplit << line;
        else if (line.contains("\" 70\",\"   \",\" 69.")) {
            ++contributions;
            contributed += AmountOf(line);
        } else if (line.contains("\" 70\",\"   \","))
            ++deductions;
        else if (line.contains(ansi(QStringLiteral("\"Налог на доходы физических лиц 13%"))))
            ++taxShares;
    }
    EXPECT_GT(accruals, 10);
    EXPECT_GT(deductions, 3);
    EXPECT_GT(contributions, 3);
    EXPECT_GT(taxShares, 3);
    // The income tax of the month in two lines: 84 % and 16 %.
    ASSERT_EQ(taxSplit.size(), 2);
    const double federal = AmountOf(taxSplit[0]), regional = AmountOf(taxSplit[1]);
    EXPECT_GT(federal, 0);
    EXPECT_NEAR(federal / (federal + regional), 0.84, 0.0001);

    // The totals against the month's stored computed rows, added up here:
    // the pay, the income tax and the contributions.
    ExpectTotalsEqual(OneCTotals{pay, federal + regional, contributed}, StoredTotals(doc->infoBase));
}

} // namespace

#endif
