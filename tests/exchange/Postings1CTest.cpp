// The postings for 1C: the posting date, the chart lookup with a repeated
// account, the analytics values of each option and their texts, and whole
// files of a small base of two employees whose rows make every kind of line
// (accruals with analytics of every kind and option, 600, a deduction with a
// subaccount, a contribution, the income tax split 84 / 16, tax shares with
// and without a withheld-row code): with the accruals apart, joined, and for
// one shop. Missing input files stop the run before anything is written; a
// tax without a scale number ends it with -32.
#include "exchange/Postings1C.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "support/TestFixture.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::exchange;
using namespace kalvor::infobase;

namespace {

QByteArray Ansi(const QString& text) { return codepage::toCp1251(text); }

// One analytics slot of a chart line: kind, option, number.
struct Slot {
    int kind = 0;
    int option = 0;
    int number = 0;
};

// A chart line written from the layout: account, subaccount, eight slots.
ChartLine PlanLine(int account, int subaccount, std::initializer_list<Slot> given)
{
    QByteArray text = QByteArray::number(account).rightJustified(3, ' ') + ' ' +
                      QByteArray::number(subaccount).rightJustified(3, ' ') + ' ';
    std::vector<Slot> all(given);
    all.resize(8);
    for (const Slot& slot : all)
        text += QByteArray::number(slot.kind) + QByteArray::number(slot.option) +
                QByteArray::number(slot.number).rightJustified(4, ' ') + ' ';
    return ChartLine{text};
}

// A transition line of number N with its shop and brigade fields.
TransitionLine PerehLine(int number, int shop1, int shop2, int brigade1, int brigade2)
{
    const auto field = [](int value) { return QByteArray::number(value).rightJustified(4, ' '); };
    const QByteArray text =
        field(number) + ' ' + field(shop1) + ' ' + field(shop2) + ' ' + field(brigade1) + ' ' + field(brigade2);
    return TransitionLine{text.leftJustified(kTransitionLineText, ' '), number};
}

// ---------------------------------------------------------------- pieces

TEST(Postings1CPieces, LastDayOfTheMonthForLeapAndCommonFebruaries)
{
    EXPECT_EQ(LastDayText(2008, 2), QByteArray("29.02.08"));
    EXPECT_EQ(LastDayText(2009, 2), QByteArray("28.02.09"));
    EXPECT_EQ(LastDayText(2009, 1), QByteArray("31.01.09"));
    EXPECT_EQ(LastDayText(2011, 4), QByteArray("30.04.11"));
    EXPECT_EQ(LastDayText(2000, 12), QByteArray("31.12.00"));
}

TEST(Postings1CPieces, RepeatedAccountIsFoundByItsSubaccount)
{
    const Chart1C chart{PlanLine(76, 0, {{4, 0, 0}}), PlanLine(76, 5, {{1, 0, 0}, {0, 0, 0}, {3, 1, 0}}),
                        PlanLine(20, 1, {{2, 1, 0}, {0, 0, 0}, {1, 0, 0}})};
    SubcontoKindsPresent present{};
    EXPECT_EQ(FindPlanAccount(76, 5, chart, &present), 1);
    EXPECT_EQ(present, (SubcontoKindsPresent{true, false, true, false}));
    EXPECT_EQ(FindPlanAccount(76, 0, chart, &present), 0);
    EXPECT_EQ(present, (SubcontoKindsPresent{false, false, false, true}));
    EXPECT_EQ(FindPlanAccount(76, 3, chart, &present), -1);
    EXPECT_EQ(present, (SubcontoKindsPresent{}));
    // The only line of an account is its line whatever the subaccount.
    EXPECT_EQ(FindPlanAccount(20, 7, chart, &present), 2);
    EXPECT_EQ(present, (SubcontoKindsPresent{true, true, false, false}));
    EXPECT_EQ(FindPlanAccount(99, 0, chart), -1);
}

TEST(Postings1CPieces, SlotValueOfEachOption)
{
    TransitionLines lines;
    lines[0] = PerehLine(3, 301, 302, 311, 312);
    lines[1] = PerehLine(5, 0, 502, 0, 0);
    EXPECT_EQ(PickSubcontoValue(3, ' ', SubcontoShop, "  88", lines), 0);
    EXPECT_EQ(PickSubcontoValue(3, '\0', SubcontoShop, "  88", lines), 0);
    EXPECT_EQ(PickSubcontoValue(3, 'x', SubcontoShop, "  88", lines), -1);
    // Option 0: the value, or the slot's own number for no value.
    EXPECT_EQ(PickSubcontoValue(3, '0', SubcontoShop, "  88", lines), 3);
    EXPECT_EQ(PickSubcontoValue(0, '0', SubcontoAnalytics, "  88", lines), 88);
    // Options 1 and 2 translate shops and brigades only.
    EXPECT_EQ(PickSubcontoValue(3, '1', SubcontoShop, "  88", lines), 301);
    EXPECT_EQ(PickSubcontoValue(3, '2', SubcontoShop, "  88", lines), 302);
    EXPECT_EQ(PickSubcontoValue(3, '1', SubcontoBrigade, "  88", lines), 311);
    EXPECT_EQ(PickSubcontoValue(3, '2', SubcontoBrigade, "  88", lines), 312);
    EXPECT_EQ(PickSubcontoValue(3, '1', SubcontoAnalytics, "  88", lines), 3);
    EXPECT_EQ(PickSubcontoValue(3, '2', SubcontoPersonnelNumber, "  88", lines), 3);
    // The line's field of 0 is what is written; a number without a line or
    // no value at all gives the slot's own number.
    EXPECT_EQ(PickSubcontoValue(5, '1', SubcontoShop, "  88", lines), 0);
    EXPECT_EQ(PickSubcontoValue(5, '2', SubcontoShop, "  88", lines), 502);
    EXPECT_EQ(PickSubcontoValue(7, '1', SubcontoShop, "  88", lines), 88);
    EXPECT_EQ(PickSubcontoValue(0, '2', SubcontoBrigade, "  88", lines), 88);
    EXPECT_EQ(PickSubcontoValue(7, '1', SubcontoBrigade, "    ", lines), 0);
}

TEST(Postings1CPieces, AnalyticsTextsOfBothOneAndNoValues)
{
    TransitionLines lines;
    lines[0] = PerehLine(3, 301, 302, 311, 312);
    const ChartLine line =
        PlanLine(20, 1, {{2, 1, 0}, {3, 2, 0}, {1, 0, 0}, {5, 0, 77}, {4, 0, 0}, {0, 0, 9}, {6, 0, 18}, {7, 0, 14}});
    const SubcontoValues values{12, 3, 3, 1042};
    EXPECT_EQ(FormatSubconto(line, values, lines), (SubcontoTexts{"301:312", "12:77", "1042", ""}));
    // Shop 4 and brigade 9 have no transition line: the slots' own numbers,
    // 0 for the brigade.
    const SubcontoValues other{0, 4, 9, 0};
    EXPECT_EQ(FormatSubconto(line, other, lines), (SubcontoTexts{"", "77", "", ""}));
    // Values longer than eight characters together are written whole: the
    // field is quoted and has no fixed width.
    const ChartLine wide = PlanLine(20, 1, {{1, 0, 0}, {5, 0, 9999}, {4, 0, 0}});
    EXPECT_EQ(FormatSubconto(wide, SubcontoValues{16000, 3, 3, 8191}, lines),
              (SubcontoTexts{"16000:9999", "8191", "", ""}));
    EXPECT_EQ(FormatSubconto(ChartLine{}, values, lines), (SubcontoTexts{}));
}

TEST(Postings1CPieces, TreeSumsEqualPathsAndCodesInKeyOrder)
{
    PostingsTree1C tree;
    const PostingKey1C second{20, 1, {12, 4, 7, 1042}};
    const PostingKey1C first{20, 1, {12, 3, 9, 2000}};
    tree.AddPosting(second, 35, 100);
    tree.AddPosting(first, 1000, 7);
    tree.AddPosting(second, 1, 50);
    tree.AddPosting(second, 35, 25.5);
    ASSERT_EQ(tree.paths().size(), 2u);
    EXPECT_EQ(tree.paths().begin()->first, first);
    const PostingsTree1C::Codes& codes = tree.paths().at(second);
    EXPECT_EQ(codes, (PostingsTree1C::Codes{{1, 50.0}, {35, 125.5}}));

    // Far more key paths than the 3,000 nodes of a fixed pool are kept.
    for (int number = 1; number <= 4000; ++number) tree.AddPosting(PostingKey1C{20, 1, {0, 0, 0, number}}, 1, 100);
    EXPECT_EQ(tree.paths().size(), 4002u);
}

// ---------------------------------------------------------------- a small base

PayKind Kind(int code, const QString& name, int flags, int account = 0, int subaccount = 0)
{
    PayKind kind;
    kind.kod = u16(code);
    kind.name = name;
    kind.flags = u16(flags);
    kind.spzCh = u16(account);
    kind.spzSc = u16(subaccount);
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

constexpr int kWages = 0x0101; // kind group 1, posted to accounting
constexpr int kPosted = 0x0100;

// Two employees, March 2026. The first, of shop 3 and brigade 3, earns a
// salary and a bonus on 20.1 with analytics 12, pays income tax (902) and has
// a pension contribution row (990); his carried balance (150) is left out,
// and so is his alimony of 1,234.00 recorded for a later month (row 60),
// none of March's.
// The second, of shop 4 and brigade 7, has a salary, a bonus paid in shop 3,
// unpaid leave (600), alimony on 73.2 with analytics 9 and income tax; his
// bonus row of no amount is left out.
class Postings1CFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path());
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("onec");
        CreateSchemaBase(dir.path(), base.baseName);
        OpenBase(base);
        FixtureBase fx = BuildFixtureBase(base, 2, 3);
        BuildFixtureRefFiles(doc.refFiles);
        base.config.tekMes = u16(MonthKey(2026, 3).value());
        base.firm.c1Ch70 = 70;
        base.firm.c1Word = 0;
        SetKinds();
        SetTaxes();
        first = QByteArray::number(
            Employee(fx, 0, 3, 3,
                     {Row(1, 3'000'000, 20, 1, 12), Row(35, 1'000'050, 20, 1, 12), Row(902, 390'000, 68, 1, 0),
                      Row(150, 500'000, 20, 1, 12), Row(990, 660'000, 69, 2, 0)}));
        AccrualRow later = Row(760, 123'400, 73, 2, 9);
        later.mes = 4;
        fx.records[std::size_t(doc.infoBase.list[0].slot - 1)].rows[60] = later;
        second = QByteArray::number(
            Employee(fx, 1, 4, 7,
                     {Row(1, 2'000'000, 20, 1, 12), Row(35, 150'000, 20, 1, 12, 3), Row(600, 100'000, 20, 1, 12),
                      Row(760, 500'000, 73, 2, 9), Row(902, 260'000, 68, 1, 0), Row(35, 0, 20, 1, 12)}));
        SaveAll(base, fx.records);
        WriteInputFiles();
    }
    void TearDown() override { CloseBase(doc.infoBase); }

    void SetKinds()
    {
        CInfoBase& base = doc.infoBase;
        base.setPayKinds({Kind(1, QStringLiteral("Оклад"), kWages), Kind(35, QStringLiteral("Премия"), kWages),
                          Kind(150, QStringLiteral("Остаток с прошлого месяца"), kWages),
                          Kind(600, QStringLiteral("Отпуск без содержания"), kPosted),
                          Kind(760, QStringLiteral("Алименты"), kPosted),
                          Kind(902, QStringLiteral("НДФЛ"), kPosted, 68, 1),
                          Kind(990, QStringLiteral("Пенсионный фонд"), kPosted)});
    }
    // Income tax withheld in rows 902; a social-insurance charge of 2 %
    // computed by its scale.
    void SetTaxes()
    {
        CRefFiles& ref = doc.refFiles;
        ref.nalog.fill(TaxTable{});
        TaxTable& income = ref.nalog[0];
        income.name = QStringLiteral("НДФЛ 13% (006800010004)");
        income.taxRowCode = 902;
        income.scaleNumber = 1;
        TaxTable& social = ref.nalog[1];
        social.name = QStringLiteral("Взносы ФСС (006900010000)");
        social.scaleNumber = 2;
        social.variants[0].first = u16((2026 - 1900) * 12 + 1);
        social.variants[0].scale[0] = {0, 0, 2, 0, 0};
    }
    int Employee(FixtureBase& fx, int position, int shop, int brigade, std::initializer_list<AccrualRow> rows)
    {
        CInfoBase& base = doc.infoBase;
        const EmployeeListEntry entry = base.list[std::size_t(position)];
        base.shopOf(entry.slot) = u8(shop);
        base.attributesOf(entry.slot).brig = i8(brigade);
        base.attributesOf(entry.slot).kvProizv = 0;
        EmployeeRecord& record = fx.records[std::size_t(entry.slot - 1)];
        record.rows.fill(AccrualRow{});
        std::copy(rows.begin(), rows.end(), record.rows.begin());
        return entry.tabN();
    }
    void WriteInputFiles()
    {
        const Chart1C chart{
            PlanLine(20, 1,
                     {{2, 1, 88}, {3, 2, 0}, {1, 0, 0}, {5, 0, 77}, {4, 0, 0}, {0, 0, 0}, {2, 0, 0}, {3, 1, 55}}),
            PlanLine(70, 0, {{4, 0, 0}}),
            PlanLine(68, 1, {{5, 0, 1}, {0, 0, 0}, {1, 0, 0}, {}, {}, {}, {6, 0, 18}, {0, 0, 14}}),
            PlanLine(69, 2, {{5, 0, 2}, {0, 0, 0}, {2, 0, 0}})};
        QByteArray plan;
        for (const ChartLine& line : chart) plan += line.text + "\r\n";
        WriteFile(QStringLiteral("plan_1c.txt"), plan);
        WriteFile(QStringLiteral("pereh_1c.txt"), PerehLine(3, 301, 302, 311, 312).text + "\r\n");
    }
    void WriteFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    int Export(QByteArray& written, int shop = 0)
    {
        QBuffer buffer(&written);
        buffer.open(QIODevice::WriteOnly);
        PostingsSelection selection;
        selection.shop = u8(shop);
        selection.program = 1;
        return ExportPostings1C(selection, {}, buffer, doc);
    }
    // The file as text, line by line, for a readable failure.
    static void ExpectLines(const QByteArray& written, const QByteArray& expected)
    {
        const QList<QByteArray> lines = written.split('\n');
        const QList<QByteArray> expectedLines = expected.split('\n');
        for (qsizetype i = 0; i < std::min(lines.size(), expectedLines.size()); ++i)
            ASSERT_EQ(codepage::fromCp1251(lines[i]).toStdString(),
                      codepage::fromCp1251(expectedLines[i]).toStdString())
                << "line " << i + 1;
        EXPECT_EQ(written, expected);
    }

    QTemporaryDir dir;
    PayrollDoc doc;
    QByteArray first, second; // personnel numbers
};

const QByteArray kHeader = "\"31.03.26\",\"31.03.26\",\"zp\" \r\n";

// A posting line of the quoted fields between "zp","date", and the blank.
QByteArray Line(const QString& fields) { return "\"zp\",\"31.03.26\"," + Ansi(fields) + " \r\n"; }

// The second employee's analytics: shop 4 has no transition line (the slot's
// number 88), brigade 7 neither (nothing at level 2, 55 for option 1 of the
// last slot).
QString SecondTexts(const QByteArray& number)
{
    return QStringLiteral("\"88\",\"%1\",,,,,\"12:77\",\"%1\",\"4:55\",\"\",\"\",\"\"").arg(QLatin1String(number));
}

// A tax share of the second employee: on 68.1 (with the analytics 4 of the
// tax's name) or on 69.1 (its only line 69.2 carries the shop).
QByteArray SecondTaxShare(const QByteArray& number, bool income, const char* amount)
{
    const QString account = income ? QStringLiteral("68.1.1") : QStringLiteral("69.1.2");
    const QString name =
        income ? QStringLiteral("НДФЛ 13% (006800010004)") : QStringLiteral("Взносы ФСС (006900010000)");
    return Line(
        QStringLiteral("\" 20\",\"  1\",\" %1\",%2,\"%3\",\"88\",\"\",,,,,\"12:77\",\"%4\",\"4:55\",\"4\",\"\",\"\"")
            .arg(account, QLatin1String(amount), name, QLatin1String(number)));
}

// The first employee's four lines: shop 3 and brigade 3 translated (301,
// 312, 311), the bonus of 10,000.50 apart; his tax shares add up to the
// 3,900.00 of income tax withheld and to 2 % of his 40,000.50.
QByteArray FirstEmployeeLines(const QByteArray& number)
{
    const QString one = QString::fromLatin1(number);
    const QString texts = QStringLiteral("\"301:312\",\"%1\",,,,,\"12:77\",\"%1\",\"3:311\",\"\",\"\",\"\"").arg(one);
    return Line(QStringLiteral("\" 20\",\"  1\",\" 70\",\"   \",30000.00,\"Оклад\",") + texts) +
           Line(QStringLiteral("\" 20\",\"  1\",\" 70\",\"   \",10000.50,\"Премия\",") + texts) +
           Line(QStringLiteral("\" 20\",\"  1\",\" 68.1.1\",3900.00,\"НДФЛ 13% (006800010004)\","
                               "\"301:312\",\"\",,,,,\"12:77\",\"%1\",\"3:311\",\"4\",\"\",\"\"")
                    .arg(one)) +
           Line(QStringLiteral("\" 20\",\"  1\",\" 69.1.2\",800.01,\"Взносы ФСС (006900010000)\","
                               "\"301:312\",\"\",,,,,\"12:77\",\"%1\",\"3:311\",\"3\",\"\",\"\"")
                    .arg(one));
}

// The income tax of the run split 84 / 16 by the seventh and eighth slots of
// 68.1, then the first employee's pension contribution: 69.2 and its first
// analytics text in the account.
QByteArray TaxSplitAndPension(const char* federal, const char* regional)
{
    QByteArray lines;
    for (const auto& [amount, slot] : {std::pair{federal, "18"}, std::pair{regional, "14"}})
        lines += Line(QStringLiteral("\" 70\",\"   \",\" 68\",\"  1\",%1,\"НДФЛ\",\"\",\"1\",,,,,\"\",\"\",\"\","
                                     "\"%2\",\"\",\"\"")
                          .arg(QLatin1String(amount), QLatin1String(slot)));
    return lines + Line(QStringLiteral("\" 70\",\"   \",\" 69.2.2\",6600.00,\"Пенсионный фонд\",\"\",\"\",,,,,"
                                       "\"\",\"\",\"\",\"3\",\"\",\"\""));
}

TEST_F(Postings1CFile, EveryKindOfLine)
{
    QByteArray written;
    ASSERT_EQ(Export(written), 0);
    QByteArray expected = kHeader + FirstEmployeeLines(first);
    expected += Line(QStringLiteral("\" 20\",\"  1\",\" 70\",\"   \",20000.00,\"Оклад\",") + SecondTexts(second));
    expected += Line(QStringLiteral("\" 20\",\"  1\",\" 70\",\"   \",1500.00,\"Премия\",") + SecondTexts(second));
    // Unpaid leave: the settings side first, the name cut at 20 characters.
    expected += Line(QStringLiteral("\" 70\",\"   \",\" 20.1\",1000.00,\"Отпуск без содержани\","
                                    "\"88\",\"%1\",,,,,\"\",\"\",\"\",\"12:77\",\"%1\",\"4:55\"")
                         .arg(QLatin1String(second)));
    // 2,600.00 of tax over 21,500.00 and 2 % of it.
    expected += SecondTaxShare(second, true, "2600.00") + SecondTaxShare(second, false, "430.00");
    // Both employees' income tax of 6,500.00.
    expected += TaxSplitAndPension("5460.00", "1040.00");
    // Alimony on an account missing from the chart: its own analytics only.
    expected += Line(QStringLiteral("\" 70\",\"   \",\" 73.2\",5000.00,\"Алименты\",\"9\",\"\",,,,,"
                                    "\"\",\"\",\"\",\"\",\"\",\"\""));
    ExpectLines(written, expected);
}

TEST_F(Postings1CFile, JoinedAccrualsAreOneSalaryLine)
{
    doc.infoBase.firm.c1Word = 0x80;
    QByteArray written;
    ASSERT_EQ(Export(written), 0);
    const QList<QByteArray> lines = written.split('\n');
    ASSERT_EQ(lines.size(), 13); // the header, eleven lines and the empty end
    const QString texts =
        QStringLiteral("\"301:312\",\"%1\",,,,,\"12:77\",\"%1\",\"3:311\",\"\",\"\",\"\"").arg(QLatin1String(first));
    EXPECT_EQ(lines[1] + '\n', Line(QStringLiteral("\" 20\",\"  1\",\" 70\",\"   \",40000.50,\"Зарплата\",") + texts));
    EXPECT_TRUE(lines[2].contains(Ansi(QStringLiteral(",3900.00,\"НДФЛ 13% (006800010004)\""))));
    EXPECT_TRUE(lines[4].contains(Ansi(QStringLiteral(",21500.00,\"Зарплата\""))));
    // Unpaid leave is no accrual: it keeps its own name.
    EXPECT_TRUE(lines[5].contains(Ansi(QStringLiteral(",1000.00,\"Отпуск без содержани\""))));
}

TEST_F(Postings1CFile, OneShopTakesItsEmployeesRowsAndRowsMarkedWithIt)
{
    QByteArray written;
    ASSERT_EQ(Export(written, 3), 0);
    // The second employee gives only his bonus paid in shop 3: no tax
    // withheld there, so no income-tax share; 2 % of 1,500.00 by the scale.
    const QByteArray expected =
        kHeader + FirstEmployeeLines(first) +
        Line(QStringLiteral("\" 20\",\"  1\",\" 70\",\"   \",1500.00,\"Премия\",") + SecondTexts(second)) +
        SecondTaxShare(second, false, "30.00") + TaxSplitAndPension("3276.00", "624.00");
    ExpectLines(written, expected);
}

TEST_F(Postings1CFile, TheRowAccountOfTheWithheldKindGivesItsSubaccountAndAnalytics)
{
    // With the income tax's own kind on account 20, the income-tax shares of
    // accruals on 20 take its subaccount 4 and analytics value 6.
    doc.infoBase.payKindAt(6).spzCh = 20;
    doc.infoBase.payKindAt(6).spzSc = 4;
    doc.infoBase.payKindAt(6).spzAu = 6;
    QByteArray written;
    ASSERT_EQ(Export(written), 0);
    const QList<QByteArray> lines = written.split('\n');
    ASSERT_GT(lines.size(), 3);
    EXPECT_EQ(lines[3] + '\n', Line(QStringLiteral("\" 20\",\"  4\",\" 68.1.1\",3900.00,\"НДФЛ 13% (006800010004)\","
                                                   "\"301:312\",\"\",,,,,\"6:77\",\"%1\",\"3:311\",\"4\",\"\",\"\"")
                                        .arg(QLatin1String(first))));
}

TEST_F(Postings1CFile, MissingInputFilesStopTheRunBeforeAnyLine)
{
    for (const char* name : {"pereh_1c.txt", "plan_1c.txt"}) {
        ASSERT_TRUE(QFile::remove(dir.filePath(QLatin1String(name))));
        QByteArray written;
        try {
            Export(written);
            ADD_FAILURE() << "no exception for " << name;
        } catch (const TextError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("Не найден файл %1").arg(QLatin1String(name)));
        }
        EXPECT_TRUE(written.isEmpty());
        EXPECT_FALSE(QFile::exists(dir.filePath(QLatin1String(name))));
    }
}

TEST_F(Postings1CFile, TaxWithoutScaleNumberAndStopEndTheRun)
{
    doc.refFiles.nalog[1].scaleNumber = 0;
    QByteArray written;
    EXPECT_EQ(Export(written), -32);
    EXPECT_EQ(written, kHeader);

    // No variant of the scale holds in the month.
    doc.refFiles.nalog[1].scaleNumber = 2;
    doc.refFiles.nalog[1].variants[0].first = u16((2027 - 1900) * 12 + 1);
    written.clear();
    EXPECT_EQ(Export(written), -21);

    doc.refFiles.nalog[1].variants[0].first = u16((2026 - 1900) * 12 + 1);
    std::stop_source stop;
    stop.request_stop();
    written.clear();
    QBuffer buffer(&written);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_EQ(ExportPostings1C(PostingsSelection{}, stop.get_token(), buffer, doc), 1);
}

} // namespace
