// The postings for BEST: the account and amount fields, the posting date,
// the contribution base selectors, and whole files of a small base with two
// shops, a disabled employee, contributions of their own rows and by tax
// table spread over three accrual rows, and a deduction for each cost-code
// rule; once for all shops and once for one shop.
#include "exchange/BestPostings.h"
#include "exchange/PostingsExport.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/Contributions.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "platform/Db.h"
#include "summaries/SummaryHelpers.h"
#include "support/DemoDocument.h"
#include "support/MonthRun.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <map>
#include <vector>

using namespace kalvor;
using namespace kalvor::exchange;
using namespace kalvor::infobase;

namespace {

QByteArray Ansi(const QString& text) { return codepage::toCp1251(text); }

// ---------------------------------------------------------------- fields

TEST(BestFields, AccountGroupsLoseLeadingZerosAndTheThirdIsSixDigits)
{
    EXPECT_EQ(FormatBestAccount("0070", "0000", "0012"), QByteArray("70        000012"));
    EXPECT_EQ(FormatBestAccount("0070", "0005", "0005"), QByteArray("705       000005"));
    EXPECT_EQ(FormatBestAccount("2000", "0015", "    "), QByteArray("200015          "));
    EXPECT_EQ(FormatBestAccount("0020", "0001", "0000"), QByteArray("201             "));
    EXPECT_EQ(FormatBestAccount("    ", "    ", "    "), QByteArray(16, ' '));
    EXPECT_EQ(FormatBestAccount("0000", "0000", "0000"), QByteArray(16, ' '));
    EXPECT_EQ(FormatBestAccount("9999", "9999", "9999"), QByteArray("99999999  009999"));
    EXPECT_EQ(BestGroup(70), QByteArray("0070"));
}

TEST(BestFields, AmountsHaveThreeDecimalsAndTheSignBeforeTheFirstDigit)
{
    EXPECT_EQ(FormatBestAmount(0), QByteArray("              0.000"));
    EXPECT_EQ(FormatBestAmount(5), QByteArray("              0.050"));
    EXPECT_EQ(FormatBestAmount(50), QByteArray("              0.500"));
    EXPECT_EQ(FormatBestAmount(123456), QByteArray("           1234.560"));
    EXPECT_EQ(FormatBestAmount(100), QByteArray("              1.000"));
    EXPECT_EQ(FormatBestAmount(-123456), QByteArray("          -1234.560"));
    // Below a rouble the sign stands before the "0" of the roubles.
    EXPECT_EQ(FormatBestAmount(-50), QByteArray("             -0.500"));
    EXPECT_EQ(FormatBestAmount(123456789012), QByteArray("     1234567890.120"));
}

TEST(BestFields, PostingDateIsTheLastDayOfTheMonth)
{
    EXPECT_EQ(BestPostingDate(2024, 2), QByteArray("20240229"));
    EXPECT_EQ(BestPostingDate(2023, 2), QByteArray("20230228"));
    EXPECT_EQ(BestPostingDate(2011, 4), QByteArray("20110430"));
    EXPECT_EQ(BestPostingDate(2026, 12), QByteArray("20261231"));
}

TEST(BestFields, RecordIsTwoHundredSixteenBytesWithTheFieldsAtTheirColumns)
{
    const BestAccount debit{"2000", "0001", "0005"};
    const BestAccount credit{"0069", "0000", "0000"};
    const QByteArray line =
        FormatBestRecord("20260331", debit, credit, Ansi(QStringLiteral("Пенсионный фонд")), 40, 440000);
    ASSERT_EQ(line.size(), kBestLineLength);
    EXPECT_EQ(line.left(19), QByteArray(10, ' ') + "       14");
    EXPECT_EQ(line.mid(19, 8), QByteArray("20260331"));
    EXPECT_EQ(line.mid(27, 6), QByteArray("000001"));
    EXPECT_EQ(line.mid(33, 16), QByteArray("20001     000005"));
    EXPECT_EQ(line.mid(49, 16), QByteArray("69              "));
    EXPECT_EQ(line.mid(65, 19), QByteArray("           4400.000"));
    EXPECT_EQ(line.mid(84, 50), Ansi(QStringLiteral("Пенсионный фонд")) + QByteArray(35, ' '));
    EXPECT_EQ(line.mid(134, 3), Ansi(QStringLiteral("РУБ")));
    EXPECT_EQ(line.mid(137, 19), QByteArray("           4400.000"));
    EXPECT_EQ(line.mid(156, 14), QByteArray("      1.00000 "));
    EXPECT_EQ(line.mid(170, 8), QByteArray("20260331"));
    EXPECT_EQ(line.mid(178), QByteArray("        0      0         0   0      \r\n"));
}

// ---------------------------------------------------------------- a small base

PayKind Kind(int code, const QString& name, int group, bool exported = false, bool second = false)
{
    PayKind kind;
    kind.kod = u16(code);
    kind.name = name;
    kind.fond = u8(group);
    // Bit 8 of the flag word exports a deduction to accounting, bit 9 too
    // (with the analytics of the employee's own cost code 4).
    kind.flags = u16((exported ? 0x100 : 0) | (second ? 0x200 : 0));
    return kind;
}

// A deduction marked in the other flag bytes but not exported to accounting.
PayKind HrKind(int code, const QString& name)
{
    PayKind kind = Kind(code, name, 0);
    kind.hr1 = kind.hr2 = 1;
    return kind;
}

AccrualRow Row(int code, double kopecks, int account, int subaccount, int analytics, int shop = 0)
{
    AccrualRow row;
    row.kod = u16(code);
    row.sum = kopecks;
    row.spzCh = u16(account);
    row.spzSc = u16(subaccount);
    row.spzAu = u16(analytics);
    row.otd = u8(shop);
    return row;
}

// Three employees in list order: Ш1 of shop 1 with three accrual rows under
// three cost codes, contributions of his own rows (990, 995) and the income
// tax; Ш2 of shop 2, disabled since June 2025, with sick-leave pay, a union
// fee (922) and alimony taking the analytics of his own cost code 4; Ш1's
// second employee paid under shop 2, with a second tax (919) whose analytics
// stays the row's although his own cost code 5 has one. March 2026.
class BestPostings : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("best");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 3, 5);
        BuildFixtureRefFiles(doc.refFiles);
        base.config.tekMes = u16(MonthKey(2026, 3).value());
        SetKinds();
        SetContributions();

        Employee(fx, 0, 1,
                 {Row(1, 3'000'000, 2000, 1, 0), Row(35, 1'000'000, 2000, 2, 0), Row(35, 2'000'000, 2000, 3, 0),
                  Row(990, 880'000, 0, 0, 0), Row(995, 8'000, 0, 0, 0), Row(902, 520'000, 68, 1, 3),
                  Row(150, 999'900, 2000, 1, 0), Row(905, 300'000, 50, 1, 0)});
        EmployeeRecord& disabled =
            Employee(fx, 1, 2,
                     {Row(1, 2'000'000, 2600, 1, 5), Row(110, 300'000, 2600, 1, 5), Row(990, 440'000, 0, 0, 0),
                      Row(922, 20'000, 76, 0, 9), Row(760, 500'000, 76, 1, 0)});
        disabled.head.invDat1Begin = u16(MonthKey(2025, 6).value());
        disabled.head.spz[4] = {0, 0, 44};
        EmployeeRecord& third = Employee(
            fx, 2, 1, {Row(1, 1'500'000, 2600, 1, 5, 2), Row(919, 45'000, 68, 2, 7), Row(995, 3'000, 0, 0, 0)});
        third.head.spz[5] = {0, 0, 55};
        SaveAll(base, fx.records);
    }
    void TearDown() override { CloseBase(doc.infoBase); }

    void SetKinds()
    {
        CInfoBase& base = doc.infoBase;
        base.setPayKinds(
            {Kind(1, QStringLiteral("Оклад"), 1), Kind(35, QStringLiteral("Премия"), 1),
             Kind(110, QStringLiteral("Больничный лист"), 2), Kind(150, QStringLiteral("Аванс"), 0),
             Kind(760, QStringLiteral("Алименты"), 0, false, true),
             Kind(902, QStringLiteral("Налог на доходы"), 0, true), HrKind(905, QStringLiteral("Через кассу")),
             Kind(919, QStringLiteral("Налог с нерезидентов"), 0, true),
             Kind(922, QStringLiteral("Профсоюзные взносы"), 0, true),
             Kind(990, QStringLiteral("Пенсионный фонд"), 0, true), Kind(995, QStringLiteral("Травматизм"), 0)});
    }
    void SetContributions()
    {
        CRefFiles& ref = doc.refFiles;
        TaxTable& table = ref.nalog[2];
        table = TaxTable{};
        table.variants[0].first = u16((2026 - 1900) * 12 + 1);
        table.variants[0].last = u16((2026 - 1900) * 12 + 12);
        table.variants[0].scale[0] = {0, 0, 10, 0, 0};
        ref.sbor = {};
        ref.sbor[0] = {QStringLiteral("Пенсионный фонд (006900010000)"), 990, 3, 0};
        ref.sbor[1] = {QStringLiteral("Социальное страхование (006900020000)"), 0, 3, 0};
        ref.sbor[2] = {QStringLiteral("Больничные без счета"), 0, 3, 1};
        ref.sbor[3] = {QStringLiteral("Травматизм (006900032010)"), 995, 0, 0};
        ref.sborCount = 4;
    }
    EmployeeRecord& Employee(FixtureBase& fx, int position, int shop, std::initializer_list<AccrualRow> rows)
    {
        CInfoBase& base = doc.infoBase;
        const int slot = base.list[std::size_t(position)].slot;
        base.shopOf(slot) = u8(shop);
        EmployeeRecord& record = fx.records[std::size_t(slot - 1)];
        record.head.invDat1Begin = record.head.invDat1End = 0;
        record.head.invDat2Begin = record.head.invDat2End = 0;
        for (auto& code : record.head.spz) code = {0, 0, 0};
        record.rows.fill(AccrualRow{});
        std::copy(rows.begin(), rows.end(), record.rows.begin());
        base.attributesOf(slot).kvProizv = 0; // all of them the month's computed rows
        return record;
    }
    int Export(QByteArray& written, int shop = 0, std::stop_token stop = {})
    {
        QBuffer buffer(&written);
        buffer.open(QIODevice::WriteOnly);
        PostingsSelection selection;
        selection.shop = u8(shop);
        return ExportPostingsBest(stop, doc, buffer, selection);
    }

    QTemporaryDir dir;
    PayrollDoc doc;
};

// A line built from the field table, independently of FormatBestRecord.
QByteArray Line(const char* debit, const char* credit, const QString& text, int textLength, const char* amount)
{
    const QByteArray date = "20260331";
    const QByteArray amountField = QByteArray(amount).rightJustified(19, ' ');
    const QByteArray textField = Ansi(text).leftJustified(textLength, ' ').leftJustified(50, ' ');
    return QByteArray(10, ' ') + "       14" + date + "000001" + debit + credit + amountField + textField +
           Ansi(QStringLiteral("РУБ")) + amountField + "      1.00000 " + date + "        0      0         0   0" +
           "     " + " \r\n";
}

const QString kPension = QStringLiteral("Пенсионный фонд (006900010000)");
const QString kSocial = QStringLiteral("Социальное страхование (006900020000)");
const QString kSickLeave = QStringLiteral("Больничные без счета");
const QString kInjury = QStringLiteral("Травматизм (006900032010)");
const QString kPay = QStringLiteral("ШПЗ");

QByteArray Accruals(const char* debit, const char* injuryDebit, const char* credit69, const char* credit70,
                    const char* pension, const char* social, const char* injury, const char* pay)
{
    return Line(debit, credit69, kPension, 40, pension) + Line(debit, credit69, kSocial, 40, social) +
           Line(injuryDebit, credit69, kInjury, 40, injury) + Line(debit, credit70, kPay, 40, pay);
}

TEST_F(BestPostings, WholeFileOfAllShops)
{
    QByteArray written;
    ASSERT_EQ(Export(written), 0);
    const char* c69 = "69              ";
    const char* c70 = "70              ";
    const char* d70 = "70              ";
    // 990 of 8,800.00 over 30,000, 10,000 and 20,000: 4,400, 1,466.67 and
    // 2,933.33, written in whole roubles; 10 % by table of 60,000; 995 of 80.00.
    QByteArray expected =
        Accruals("20001           ", "20101           ", c69, c70, "4400.000", "3000.000", "40.000", "30000.000") +
        Accruals("20002           ", "20102           ", c69, c70, "1467.000", "1000.000", "13.000", "10000.000") +
        Accruals("20003           ", "20103           ", c69, c70, "2933.000", "2000.000", "27.000", "20000.000");
    // Shop 2's cost code: the disabled employee's 10 % of 20,000 at 0.6 and the
    // other's 10 % of 15,000; the sick-leave contribution of 3,000 at 0.6 with
    // no account; the injury account keeps debit 2600.
    const char* d26 = "26001     000005";
    expected += Line(d26, c69, kPension, 40, "4400.000") + Line(d26, c69, kSocial, 40, "2700.000") +
                Line(d26, "                ", kSickLeave, 40, "180.000") + Line(d26, c69, kInjury, 40, "30.000") +
                Line(d26, c70, kPay, 40, "38000.000");
    // Deductions: 902 without analytics, 919 with the row's, 922 with the
    // selected shop (none), alimony with the own cost code 4's; 905, with
    // neither bit 8 nor bit 9, is not posted, nor the contribution 990,
    // exported too, whose rows are the employer's cost posted above.
    expected += Line(d70, "681             ", QStringLiteral("Налог на доходы"), 20, "5200.000") +
                Line(d70, "682       000007", QStringLiteral("Налог с нерезидентов"), 20, "450.000") +
                Line(d70, "76              ", QStringLiteral("Профсоюзные взносы"), 20, "200.000") +
                Line(d70, "761       000044", QStringLiteral("Алименты"), 20, "5000.000");
    const QList<QByteArray> lines = written.split('\n');
    const QList<QByteArray> expectedLines = expected.split('\n');
    for (qsizetype i = 0; i < std::min(lines.size(), expectedLines.size()); ++i)
        ASSERT_EQ(codepage::fromCp1251(lines[i]).toStdString(), codepage::fromCp1251(expectedLines[i]).toStdString())
            << "line " << i + 1;
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written.size(), 21 * kBestLineLength);
}

TEST_F(BestPostings, OneShopTakesItsRowsAndCarriesTheShopInEveryAccount)
{
    QByteArray written;
    ASSERT_EQ(Export(written, 1), 0);
    const char* c69 = "691       000001";
    const char* c70 = "701       000001";
    const char* d70 = "70        000001";
    const QByteArray expected =
        Accruals("20001     000001", "20101     000001", c69, c70, "4400.000", "3000.000", "40.000", "30000.000") +
        Accruals("20002     000001", "20102     000001", c69, c70, "1467.000", "1000.000", "13.000", "10000.000") +
        Accruals("20003     000001", "20103     000001", c69, c70, "2933.000", "2000.000", "27.000", "20000.000") +
        Line(d70, "681             ", QStringLiteral("Налог на доходы"), 20, "5200.000") +
        Line(d70, "682       000007", QStringLiteral("Налог с нерезидентов"), 20, "450.000");
    EXPECT_EQ(codepage::fromCp1251(written).toStdString(), codepage::fromCp1251(expected).toStdString());
}

TEST_F(BestPostings, PartsOfAContributionWithItsOwnRowsAreNotPostedAgain)
{
    QByteArray whole;
    ASSERT_EQ(Export(whole), 0);
    // Two parts of the pension contribution credited to its account 69.1,
    // and a contribution by table on 69.4 that no total covers: 10 % of each
    // cost code's pay, as the social insurance on 69.2.
    CRefFiles& ref = doc.refFiles;
    ref.sbor[4] = {QStringLiteral("Страховая часть (006900010001)"), 0, 3, 0};
    ref.sbor[5] = {QStringLiteral("Накопительная часть (006900010002)"), 0, 3, 0};
    ref.sbor[6] = {QStringLiteral("Прочий взнос (006900040000)"), 0, 3, 0};
    ref.sborCount = 7;
    QByteArray written;
    ASSERT_EQ(Export(written), 0);
    const QString other = QStringLiteral("Прочий взнос (006900040000)");
    const char* c69 = "69              ";
    QByteArray expected = whole;
    for (const auto& [debit, amount] :
         {std::pair{"20001           ", "3000.000"}, std::pair{"20002           ", "1000.000"},
          std::pair{"20003           ", "2000.000"}, std::pair{"26001     000005", "2700.000"}}) {
        const QByteArray pay = Line(debit, "70              ", kPay, 40, "");
        const qsizetype at = expected.indexOf(pay.left(10 + 7 + 2 + 8 + 6 + 32));
        ASSERT_GE(at, 0) << debit;
        expected.insert(at, Line(debit, c69, other, 40, amount));
    }
    EXPECT_EQ(codepage::fromCp1251(written).toStdString(), codepage::fromCp1251(expected).toStdString());
    EXPECT_EQ(written.size(), 25 * kBestLineLength);
}

TEST_F(BestPostings, ContributionByTableWithoutNumberAndAStopEndTheRun)
{
    QByteArray written;
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(Export(written, 0, stop.get_token()), 1);
    EXPECT_TRUE(written.isEmpty());

    doc.refFiles.sbor[1].table = 0;
    EXPECT_EQ(Export(written), -32);
    EXPECT_TRUE(written.isEmpty());
}

TEST_F(BestPostings, SummaryOfTheOtherProgramsWritesTheRecordFile)
{
    // Турбо-бухгалтер: account, sub-account, analytics and pay kind, one
    // 35-byte record per pay kind under each cost code.
    PostingsTaskParams params;
    params.program = 3;
    ASSERT_EQ(BuildPostingsSummary({}, doc, params), 0);
    QFile records(doc.SummaryFile());
    ASSERT_TRUE(records.open(QIODevice::ReadOnly));
    const QByteArray bytes = records.readAll();
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.size() % 35, 0);
    EXPECT_TRUE(bytes.contains("2000 0001 0000 0001 000000030000.00")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("2000 0003 0000 0035 000000020000.00")) << bytes.constData();
}

TEST_F(BestPostings, ContributionsBeyondTheSeventhRowOfTheFileArePosted)
{
    // The file allows fifteen contribution kinds: the ninth is posted too.
    CRefFiles& ref = doc.refFiles;
    for (int k = 4; k < 8; ++k) ref.sbor[std::size_t(k)] = {QStringLiteral("Пусто"), 0, 3, 17};
    ref.sbor[8] = {QStringLiteral("Девятый взнос (007300000000)"), 0, 3, 1};
    ref.sborCount = 9;
    QByteArray written;
    ASSERT_EQ(Export(written), 0);
    // 10 % of the disabled employee's sick-leave pay of 3,000 at 0.6, as for
    // the third kind, now also credited to account 73.
    EXPECT_TRUE(written.contains(
        Line("26001     000005", "73              ", QStringLiteral("Девятый взнос (007300000000)"), 40, "180.000")));
    EXPECT_EQ(written.size(), 22 * kBestLineLength);
}

#ifdef KALVOR_DATA_DIR
// The totals posted per account for the base's month, computed and stored,
// against its stored computed rows, added up here: the pay to 70, every
// deduction exported to accounting to its own account (the income tax 902
// to 68.1), each contribution of its own rows once (its parts by table, the
// insurance and funded pension parts, not again), a contribution rounded to
// whole roubles under each cost code.
void ExpectBestTotalsAreTheStoredRows(PayrollDoc& doc)
{
    CInfoBase& base = doc.infoBase;

    std::int64_t pay = 0;
    std::map<QByteArray, std::int64_t> deductions; // by credit account and sub-account
    std::map<int, std::int64_t> contributions; // by code
    for (int index = 0; index < base.employeeCount(); ++index) {
        const int slot = base.list[std::size_t(index)].slot;
        LoadProizvZarpByMass(base, slot, 2, kResultRowsTable);
        for (const AccrualRow& row : base.current.rows) {
            const auto kopecks = std::int64_t(std::llround(row.sum));
            if (row.sum == 0 || row.kod == 150 || row.kod == 151)
                continue;
            if (row.kod >= 990 && row.kod <= 995)
                contributions[row.kod] += kopecks;
            else if (row.kod < 700 && row.kod != 600)
                pay += kopecks;
            else if (const PayKind* kind = PayKindOf(doc, row.kod); kind && (kind->flags & 0x300) != 0)
                deductions[FormatBestAccount(BestGroup(row.spzCh), BestGroup(row.spzSc), "    ").left(10)] += kopecks;
        }
    }

    QByteArray written;
    QBuffer buffer(&written);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_EQ(ExportPostingsBest({}, doc, buffer, PostingsSelection{}), 0);
    std::int64_t postedPay = 0;
    std::map<QByteArray, std::int64_t> postedDeductions;
    std::map<QByteArray, std::pair<std::int64_t, int>> postedContributions; // by text: sum, lines
    for (const QByteArray& line : written.split('\n')) {
        if (line.isEmpty())
            continue;
        const QByteArray debit = line.mid(33, 16), credit = line.mid(49, 16);
        const auto kopecks = std::int64_t(std::llround(line.mid(65, 19).trimmed().toDouble() * 100));
        const QString text = codepage::fromCp1251(line.mid(84, 40)).trimmed();
        if (debit.startsWith("70 "))
            postedDeductions[credit.left(10)] += kopecks;
        else if (text == QStringLiteral("ШПЗ"))
            postedPay += kopecks;
        else {
            postedContributions[text.toUtf8()].first += kopecks;
            ++postedContributions[text.toUtf8()].second;
        }
    }
    EXPECT_EQ(postedPay, pay);
    EXPECT_EQ(postedDeductions, deductions);
    EXPECT_GT(deductions[QByteArray("681       ")], 0);
    // The contributions of their own rows, each on its own account; no
    // other contribution line.
    const std::map<int, QString> accountOf = {
        {990, QStringLiteral("Пенсионный фонд РФ (006900020000)")},
        {992, QStringLiteral("Фонд социального страхования (006900010000)")},
        {993, QStringLiteral("Территориальный фонд ОМС (006900030002)")},
        {994, QStringLiteral("Федеральный фонд ОМС (006900030001)")},
        {995, QStringLiteral("Страхование от несчастных случаев (006900110000)")}};
    EXPECT_EQ(postedContributions.size(), accountOf.size());
    for (const auto& [code, text] : accountOf) {
        const auto& [posted, lines] = postedContributions[text.left(40).trimmed().toUtf8()];
        EXPECT_GT(lines, 0) << code;
        EXPECT_LE(std::abs(posted - contributions[code]), 50 * lines) << code;
    }
}

// The demo firm's April 2011, calculated and stored.
TEST(BestPostingsDemo, AprilTotalsPerAccountAreTheStoredRows)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PayrollDoc doc;
    ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(doc, dir.path() + QLatin1Char('/')));
    ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
    ExpectBestTotalsAreTheStoredRows(doc);
}

// January, February and March, as the demo's build computes and stores each
// of them before its month change.
TEST(BestPostingsDemo, EachMonthOfTheFirstQuarterPostsItsStoredRows)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/empty.bak"), folder + QStringLiteral("empty.bak")));
    if (db::ServerInUse())
        DeleteBase(folder, tools::DemoBaseName());
    std::vector<int> months;
    ASSERT_TRUE(tools::MakeDemoBase(folder, QStringLiteral(KALVOR_DATA_DIR "/"), [&](PayrollDoc& doc) {
        months.push_back(doc.infoBase.config.reportingMonth());
        SCOPED_TRACE(months.back());
        ExpectBestTotalsAreTheStoredRows(doc);
    }));
    EXPECT_EQ(months, (std::vector<int>{1, 2, 3}));
}
#endif

TEST(BestSumsTree, GrowsPastTheFixedPoolsForTheExport)
{
    summaries::CodeSumTree tree;
    tree.growing = true;
    for (int account = 1; account <= 3000; ++account)
        summaries::InsertCodeSum(tree, account, 0, 100, 1, 2); // three nodes and a leaf each
    EXPECT_GT(int(tree.nodes.size()), summaries::CodeSumTree::KeyNodeCapacity);
    EXPECT_GT(int(tree.leaves.size()), summaries::CodeSumTree::LeafCapacity);
}

// ---------------------------------------------------------------- selectors

TEST(BestSelectors, ContributionBaseSelectorsZeroToNineAndAbove)
{
    PayrollDoc doc;
    PayKind kind;
    kind.kod = 35;
    kind.fond = 3;
    for (int selector = 0; selector <= 5; ++selector)
        EXPECT_EQ(ContributionBaseAdmits(selector, kind, doc), selector == 2) << selector;
    EXPECT_FALSE(ContributionBaseAdmits(6, kind, doc));
    kind.hr1 = 1;
    EXPECT_TRUE(ContributionBaseAdmits(6, kind, doc));
    EXPECT_FALSE(ContributionBaseAdmits(7, kind, doc));
    kind.hr2 = 1;
    EXPECT_TRUE(ContributionBaseAdmits(7, kind, doc));
    EXPECT_FALSE(ContributionBaseAdmits(8, kind, doc));
    kind.hr3 = 1;
    EXPECT_TRUE(ContributionBaseAdmits(8, kind, doc));
    EXPECT_FALSE(ContributionBaseAdmits(9, kind, doc));
    doc.infoBase.firm.masks[0][35] = 1;
    doc.infoBase.firm.masks[7][35] = 1;
    EXPECT_TRUE(ContributionBaseAdmits(9, kind, doc));
    EXPECT_FALSE(ContributionBaseAdmits(10, kind, doc));
    EXPECT_TRUE(ContributionBaseAdmits(16, kind, doc));
    EXPECT_FALSE(ContributionBaseAdmits(17, kind, doc));
}

} // namespace
