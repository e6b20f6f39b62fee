// The summary in an arbitrary breakdown: sums of mixed-sign kopecks, days
// past 100 and minutes; typed periods and the form's values and checks; the
// tree's order; the report of a period over three levels and the record file
// byte for byte; totals files written, read back and merged.
#include "exchange/ArbitrarySummary.h"
#include "exchange/SummaryWorkers.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "support/TestFixture.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace kalvor;
using namespace kalvor::exchange;
using namespace kalvor::infobase;

namespace {

SummaryAmount Amount(double roubles, int days = 0, int minutes = 0)
{
    return SummaryAmount::Of(roubles * 100, days, minutes);
}

// ---------------------------------------------------------------- amounts

TEST(SummaryAmountSums, KopecksOfMixedSignsCarryTowardsZero)
{
    SummaryAmount sum = Amount(-0.30);
    EXPECT_EQ(sum.roubles, 0);
    EXPECT_EQ(sum.kopecks, 128 + 30);
    sum.Add(Amount(0.10));
    EXPECT_EQ(sum.roubles, 0);
    EXPECT_EQ(sum.kopecks, 128 + 20);
    EXPECT_EQ(sum.TotalKopecks(), -20);

    SummaryAmount mixed = Amount(5.30);
    mixed.Add(Amount(-7.45));
    EXPECT_EQ(mixed.roubles, -2);
    EXPECT_EQ(mixed.kopecks, 128 + 15);
    EXPECT_EQ(mixed.TotalKopecks(), -215);

    SummaryAmount carry = Amount(0.75);
    carry.Add(Amount(0.60));
    EXPECT_EQ(carry.roubles, 1);
    EXPECT_EQ(carry.kopecks, 35);
}

TEST(SummaryAmountSums, DaysCarryAtHundredAndMinutesAdd)
{
    SummaryAmount sum = Amount(1, 60, 90);
    sum.Add(Amount(1, 55, 45));
    EXPECT_EQ(sum.days, 15);
    EXPECT_EQ(sum.daysHundreds, 1);
    EXPECT_EQ(sum.TotalDays(), 115);
    EXPECT_EQ(sum.minutes, 135);
}

TEST(SummaryAmountSums, NegationAndBytes)
{
    SummaryAmount deduction = Amount(12.34, 3, 70);
    deduction.Negate();
    EXPECT_EQ(deduction.roubles, -12);
    EXPECT_EQ(deduction.kopecks, 128 + 34);
    char bytes[SummaryAmount::Size];
    deduction.Write(bytes);
    EXPECT_EQ(QByteArray(bytes, SummaryAmount::Size), QByteArray::fromHex("f4ffffffa2030000"
                                                                          "46000000"));
    EXPECT_EQ(SummaryAmount::Read(bytes), deduction);
    // Half a kopeck rounds away from zero through the rounding helper.
    EXPECT_EQ(SummaryAmount::Of(100.5, 0, 0).TotalKopecks(), 101);
    EXPECT_EQ(SummaryAmount::Of(-100.5, 0, 0).TotalKopecks(), -101);
    // 12.999 roubles: the rouble that the rounding makes is kept.
    const SummaryAmount carried = SummaryAmount::Of(1299.9, 0, 0);
    EXPECT_EQ(carried.roubles, 13);
    EXPECT_EQ(carried.kopecks, 0);
}

// ------------------------------------------------------------ the form

SummaryFormTexts EmptyForm() { return SummaryFormTexts{}; }

TEST(SummaryForm, TypedPeriodsAndMonths)
{
    EXPECT_EQ(TypedMonthValue("1", "07"), 1 + 12 * 107);
    EXPECT_EQ(TypedMonthValue("3", "07"), 3 + 12 * 107);
    EXPECT_EQ(TypedMonthValue("4", "2011"), 4 + 12 * 111);
    EXPECT_EQ(TypedMonthValue("", "07"), 0);
    EXPECT_EQ(TypedMonthValue("12", "98"), 12 + 12 * 98);

    SummaryFormTexts form = EmptyForm();
    form.firstMonth = "1";
    form.firstYear = "07";
    form.lastMonth = "3";
    form.lastYear = "07";
    const SummaryBlock block = ReadSummaryForm(form, false, false);
    EXPECT_EQ(block.periodStart, 1285);
    EXPECT_EQ(block.periodEnd, 1287);

    form = EmptyForm();
    form.monthYear = "*";
    EXPECT_EQ(ReadSummaryForm(form, false, false).levels[LevelMonth], kGroupingLevel);
    form.monthYear = "11";
    form.values[LevelMonth] = "4";
    EXPECT_EQ(ReadSummaryForm(form, false, false).levels[LevelMonth], 4 + 12 * 111);
    form.values[LevelMonth] = "0";
    EXPECT_EQ(ReadSummaryForm(form, false, false).levels[LevelMonth], kWrongEntry);
}

TEST(SummaryForm, LevelValuesRangesAndWrongEntries)
{
    SummaryFormTexts form = EmptyForm();
    form.values[LevelShop] = "*";
    form.values[LevelBrigade] = "150"; // out of range: 0
    form.values[LevelCategory] = "7";
    form.values[LevelEmployee] = "0";
    form.values[LevelSign] = "0";
    form.values[LevelCode] = "902";
    form.fromHireDate = "1";
    form.daysAndHours = "2";
    SummaryBlock block = ReadSummaryForm(form, false, false);
    EXPECT_EQ(block.levels[LevelShop], kGroupingLevel);
    EXPECT_EQ(block.levels[LevelBrigade], 0);
    EXPECT_EQ(block.levels[LevelCategory], 7);
    EXPECT_EQ(block.levels[LevelEmployee], kWrongEntry);
    EXPECT_EQ(block.levels[LevelSign], kWrongEntry);
    EXPECT_EQ(block.levels[LevelCode], 902);
    EXPECT_EQ(block.levels[LevelAccount], kNoCondition);
    EXPECT_EQ(block.fromHireDate, 1);
    EXPECT_EQ(block.daysAndHours, 0);

    form.values[LevelEmployee] = "125";
    form.values[LevelSign] = "2";
    EXPECT_EQ(ReadSummaryForm(form, false, false).levels[LevelEmployee], 125);
    // A typed number while a marked list is in force.
    block = ReadSummaryForm(form, true, true);
    EXPECT_EQ(block.levels[LevelEmployee], kWrongEntry);
    EXPECT_EQ(block.levels[LevelCode], kWrongEntry);
}

TEST(SummaryForm, EachCheckOfTheWorker)
{
    auto valid = [](const std::function<void(SummaryFormTexts&)>& fill) {
        SummaryFormTexts form = EmptyForm();
        fill(form);
        return SummaryFormValid(ReadSummaryForm(form, false, false));
    };
    auto period = [](SummaryFormTexts& f, const char* m1, const char* m2) {
        f.firstMonth = m1;
        f.firstYear = "11";
        f.lastMonth = m2;
        f.lastYear = "11";
    };
    EXPECT_TRUE(valid([](SummaryFormTexts&) {}));
    EXPECT_TRUE(valid([&](SummaryFormTexts& f) { period(f, "1", "3"); }));
    EXPECT_FALSE(valid([&](SummaryFormTexts& f) { period(f, "1", ""); }));
    EXPECT_FALSE(valid([&](SummaryFormTexts& f) { period(f, "", "3"); }));
    EXPECT_FALSE(valid([&](SummaryFormTexts& f) { period(f, "4", "3"); }));
    EXPECT_FALSE(valid([&](SummaryFormTexts& f) {
        period(f, "1", "3");
        f.values[LevelMonth] = "2";
        f.monthYear = "11";
    }));
    EXPECT_TRUE(valid([&](SummaryFormTexts& f) {
        period(f, "1", "3");
        f.values[LevelMonth] = "*";
    }));
    EXPECT_FALSE(valid([&](SummaryFormTexts& f) {
        period(f, "1", "3");
        f.values[LevelAccount] = "*";
    }));
    EXPECT_FALSE(valid([](SummaryFormTexts& f) {
        f.values[LevelMonth] = "2";
        f.monthYear = "11";
        f.values[LevelAnalytics] = "0";
    }));
    EXPECT_TRUE(valid([](SummaryFormTexts& f) { f.values[LevelAccount] = "*"; }));
    EXPECT_FALSE(valid([](SummaryFormTexts& f) { f.values[LevelEmployee] = "0"; }));
    EXPECT_FALSE(valid([](SummaryFormTexts& f) { f.values[LevelSign] = "0"; }));
}

// --------------------------------------------------------------- the tree

TEST(SummaryTreeOrder, SiblingsAscendAndTheFirstLevelStartsAtNodeZero)
{
    SummaryTree tree;
    ASSERT_TRUE(tree.Reserve(8));
    const std::int32_t a[] = {5, 1};
    const std::int32_t b[] = {2, 7};
    const std::int32_t c[] = {5, 0};
    EXPECT_EQ(tree.Insert(a, 2, Amount(1)), 1);
    EXPECT_EQ(tree.Insert(b, 2, Amount(2)), 1);
    EXPECT_EQ(tree.Insert(c, 2, Amount(3)), 1);
    EXPECT_EQ(tree.Insert(a, 2, Amount(4)), 0);
    std::vector<std::pair<int, int>> walk;
    const auto& nodes = tree.Nodes();
    for (int top = 0; top >= 0; top = nodes[std::size_t(top)].next)
        for (int leaf = nodes[std::size_t(top)].down; leaf >= 0; leaf = nodes[std::size_t(leaf)].next)
            walk.emplace_back(nodes[std::size_t(top)].key * 10 + nodes[std::size_t(leaf)].key,
                              int(nodes[std::size_t(leaf)].amount.TotalKopecks()));
    EXPECT_EQ(walk, (std::vector<std::pair<int, int>>{{27, 200}, {50, 300}, {51, 500}}));

    SummaryTree flat;
    EXPECT_EQ(flat.Insert(nullptr, 0, Amount(1.5)), 1);
    EXPECT_EQ(flat.Insert(nullptr, 0, Amount(2.25)), 0);
    ASSERT_EQ(flat.Nodes().size(), 1u);
    EXPECT_EQ(flat.Nodes()[0].amount.TotalKopecks(), 375);
}

// ------------------------------------------------------- runs on a base

AccrualRow MonthRow(int code, double roubles, int account, int subAccount, int days = 0, int hours = 0)
{
    AccrualRow row;
    row.kod = u16(code);
    row.sum = roubles * 100;
    row.mes = 4;
    row.dn = u16(days);
    row.hr = u16(hours);
    row.spzCh = u16(account);
    row.spzSc = u16(subAccount);
    return row;
}

WariaEntry ArchiveRow(int code, int month, double roubles, int days = 0, int hours = 0, int minutes = 0)
{
    WariaEntry e;
    e.kod = u16(code);
    e.mes = u16(month);
    e.god = 2011;
    e.sum = roubles * 100;
    e.dn = u16(days);
    e.hr = u16(hours);
    e.min = u16(minutes);
    return e;
}

// Three employees of April 2011 with known shops, names, month rows and
// archive rows: 101 in shop 1, 102 and 103 in shop 3.
class SummaryOnBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        CInfoBase& base = doc.infoBase;
        base.baseName = QStringLiteral("svod");
        fixture = BuildFixtureBase(base, 3, 11);
        FixtureBase& fx = fixture;
        base.config.tekMes = u16(2011 * 16 + 4);
        const char16_t* names[] = {u"Иванов  Иван   Иванович", u"Петров Петр Петрович", u"Сидоров Сидор Сидорович"};
        const int shops[] = {1, 3, 3};
        for (int i = 0; i < 3; ++i) {
            EmployeeListEntry& entry = base.list[std::size_t(i)];
            entry.setTabN(u16(101 + i));
            EmployeeRecord& rec = fx.records[std::size_t(entry.slot - 1)];
            rec.head.fio = QString::fromUtf16(names[i]);
            rec.head.datPr1 = PackedDate::make(1, 1, 2005).value;
            rec.rows = {};
            rec.waria.assign(rec.waria.size(), WariaEntry{});
            base.shopOf(entry.slot) = u8(shops[i]);
            base.attributesOf(entry.slot).brig = i8(i + 1);
        }
        Record(0).rows[0] = MonthRow(1, 30'000, 20, 1, 21, 168);
        Record(0).rows[1] = MonthRow(902, 3'900, 70, 0);
        Record(1).rows[0] = MonthRow(4, 25'000.30, 20, 1, 20, 160);
        Record(2).rows[0] = MonthRow(4, 20'000.10, 20, 1, 18, 144);
        Record(2).rows[1] = MonthRow(992, 1'500, 69, 0);
        const WariaEntry first[] = {ArchiveRow(1, 1, 30'000, 21, 168), ArchiveRow(902, 1, 3'900),
                                    ArchiveRow(1, 2, 30'000, 19, 152), ArchiveRow(1, 3, 31'000, 23, 184)};
        const WariaEntry second[] = {ArchiveRow(4, 1, 25'000.30, 20, 160), ArchiveRow(4, 2, 26'000.25, 19, 152),
                                     ArchiveRow(902, 2, 3'380)};
        const WariaEntry third[] = {ArchiveRow(4, 1, 20'000.10, 18, 144, 30), ArchiveRow(992, 1, 1'500)};
        std::copy(std::begin(first), std::end(first), Record(0).waria.begin());
        std::copy(std::begin(second), std::end(second), Record(1).waria.begin());
        std::copy(std::begin(third), std::end(third), Record(2).waria.begin());
        WriteFixtureToSwap(base, fixture);
    }

    EmployeeRecord& Record(int index)
    {
        return fixture.records[std::size_t(doc.infoBase.list[std::size_t(index)].slot - 1)];
    }

    // A run of the form's texts with the grouping levels in form order.
    SummaryRun RunOf(const SummaryFormTexts& form)
    {
        SummaryRun run;
        run.block = ReadSummaryForm(form, false, false);
        run.currentMonth = MonthIndex(2011, 4);
        return run;
    }

    QTemporaryDir dir;
    KalvorDocData doc;
    FixtureBase fixture;
};

QStringList Lines(const QByteArray& cp1251)
{
    QStringList lines = codepage::fromCp1251(cp1251).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.last().isEmpty());
    lines.removeLast();
    return lines;
}

TEST_F(SummaryOnBase, ReportOfAPeriodByShopMonthAndCode)
{
    SummaryFormTexts form;
    form.values[LevelShop] = "*";
    form.values[LevelMonth] = "*";
    form.values[LevelCode] = "*";
    form.firstMonth = "1";
    form.firstYear = "11";
    form.lastMonth = "2";
    form.lastYear = "11";
    form.daysAndHours = "1";
    const SummaryRun run = RunOf(form);
    ASSERT_TRUE(SummaryFormValid(run.block));
    SummaryTree tree;
    ASSERT_EQ(BuildArbitrarySummary(run, tree, doc, nullptr), SUMMARY_DONE);
    QFile report(SummaryReportPath(doc));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    // Columns: shop 30, month 6, code 25, then amount 14, days 8, hours 12.
    auto row = [](const QString& shop, const QString& month, const QString& code, const QString& sums) {
        return shop.leftJustified(30) + month.leftJustified(6) + code.leftJustified(25) + sums;
    };
    const QStringList expected = {
        "",
        "за период :  Январь 2011 г.   -   Февраль 2011 г.",
        "     наименование__цеха        месяц код_начисления/удержания         сумма     дни        часы",
        row("Администрация", "", "", "      56100.00      40      320:00"),
        row("", " 01.11", "", "      26100.00      21      168:00"),
        row("", "", "   1.Оклад по дням", "      30000.00      21      168:00"),
        row("", "", " 902.Налог на доходы физи", "      -3900.00                    "),
        row("", " 02.11", "", "      30000.00      19      152:00"),
        row("", "", "   1.Оклад по дням", "      30000.00      19      152:00"),
        row("Механический цех", "", "", "      67620.65      57      456:30"),
        row("", " 01.11", "", "      45000.40      38      304:30"),
        row("", "", "   4.Сдельная оплата", "      45000.40      38      304:30"),
        row("", " 02.11", "", "      22620.25      19      152:00"),
        row("", "", "   4.Сдельная оплата", "      26000.25      19      152:00"),
        row("", "", " 902.Налог на доходы физи", "      -3380.00                    "),
        QStringLiteral(" Итого:").leftJustified(62) + "    123720.65      97      776:30",
    };
    EXPECT_EQ(Lines(report.readAll()), expected);
}

TEST_F(SummaryOnBase, FiltersNameTheirLevelsAndCutTheEntries)
{
    SummaryFormTexts form;
    form.values[LevelEmployee] = "*";
    form.values[LevelShop] = "3";
    form.values[LevelSign] = "1";
    const SummaryRun run = RunOf(form);
    SummaryTree tree;
    ASSERT_EQ(BuildArbitrarySummary(run, tree, doc, nullptr), SUMMARY_DONE);
    QFile report(SummaryReportPath(doc));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QStringList expected = {
        "",
        QStringLiteral("наименование цеха: Механический цех").leftJustified(50),
        QStringLiteral("+/-: Только начисления").leftJustified(50),
        QString(20, ' ') + "табельный_номер" + QString(30, ' ') + "сумма",
        QStringLiteral("  102.Петров Петр Петрович").leftJustified(56) + "      25000.30",
        QStringLiteral("  103.Сидоров Сидор Сидорович").leftJustified(56) + "      20000.10",
        QStringLiteral(" Итого:").leftJustified(57) + "     45000.40",
    };
    EXPECT_EQ(Lines(report.readAll()), expected);
}

// The shop book keeps its shops in number order from its first place on:
// with shop 2 gone, shop 3 stands second. A shop is named by its number,
// both as a filter and as a level of the report.
TEST_F(SummaryOnBase, AShopIsNamedByItsNumberNotByItsPlaceInTheBook)
{
    CInfoBase& base = doc.infoBase;
    for (int number = 1; number <= CInfoBase::ShopCount; ++number) base.shopAt(number) = ShopRecord{};
    base.shopAt(1) = {1, QStringLiteral("Администрация")};
    base.shopAt(2) = {3, QStringLiteral("Механический цех")};
    SummaryFormTexts filtered;
    filtered.values[LevelShop] = "3";
    SummaryTree tree;
    ASSERT_EQ(BuildArbitrarySummary(RunOf(filtered), tree, doc, nullptr), SUMMARY_DONE);
    QFile report(SummaryReportPath(doc));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QStringList filteredLines = Lines(report.readAll());
    ASSERT_GE(filteredLines.size(), 2);
    EXPECT_EQ(filteredLines[1], QStringLiteral("наименование цеха: Механический цех").leftJustified(50));
    report.close();

    SummaryFormTexts grouped;
    grouped.values[LevelShop] = "*";
    ASSERT_EQ(BuildArbitrarySummary(RunOf(grouped), tree, doc, nullptr), SUMMARY_DONE);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    // Shop 1: 30,000.00 less 3,900.00 of tax; shop 3: 25,000.30 and 20,000.10.
    const QStringList expected = {
        "",
        "     наименование__цеха                сумма",
        QStringLiteral("Администрация").leftJustified(30) + "      26100.00",
        QStringLiteral("Механический цех").leftJustified(30) + "      45000.40",
        QStringLiteral(" Итого:").leftJustified(30) + "      71100.40",
    };
    EXPECT_EQ(Lines(report.readAll()), expected);
}

TEST_F(SummaryOnBase, NothingTakenIsNoDataButWithoutLevelsOneTotal)
{
    SummaryFormTexts form;
    form.values[LevelShop] = "*";
    form.values[LevelCode] = "600";
    SummaryTree tree;
    EXPECT_EQ(BuildArbitrarySummary(RunOf(form), tree, doc, nullptr), SUMMARY_NO_DATA);

    form.values[LevelShop].clear();
    form.values[LevelCode] = "4";
    ASSERT_EQ(BuildArbitrarySummary(RunOf(form), tree, doc, nullptr), SUMMARY_DONE);
    QFile report(SummaryReportPath(doc));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QStringList lines = Lines(report.readAll());
    EXPECT_EQ(lines.last(), QStringLiteral(" Итого:     45000.40"));
}

TEST_F(SummaryOnBase, RecordFileOfTheLastLevelsNodes)
{
    SummaryFormTexts form;
    form.values[LevelAccount] = "*";
    form.values[LevelCostItem] = "*";
    form.values[LevelCode] = "*";
    SummaryRun run = RunOf(form);
    run.noPrint = true;
    SummaryTree tree;
    ASSERT_EQ(BuildArbitrarySummary(run, tree, doc, nullptr), SUMMARY_DONE);
    QFile fin(doc.SummaryFile());
    ASSERT_TRUE(fin.open(QIODevice::ReadOnly));
    EXPECT_EQ(fin.readAll(), QByteArray("0020 0001 0000 0001 000000030000.00"
                                        "0020 0001 0000 0004 000000045000.40"
                                        "0070 0000 0000 0902 000000003900.00"));
    EXPECT_FALSE(tree.Empty()); // the postings export reads the tree after the file
}

// The totals file of the form into the path; its bytes.
QByteArray WriteTotals(SummaryOnBase& test, KalvorDocData& doc, SummaryRun run, const QString& path)
{
    (void)test;
    run.block.outputPath = path;
    SummaryTree tree;
    EXPECT_EQ(BuildArbitrarySummary(run, tree, doc, nullptr), SUMMARY_DONE);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST_F(SummaryOnBase, TotalsFileWrittenAndReadBack)
{
    SummaryFormTexts form;
    form.values[LevelShop] = "*";
    form.values[LevelEmployee] = "*";
    form.values[LevelCode] = "*";
    form.daysAndHours = "1";
    SummaryRun run = RunOf(form);
    std::swap(run.block.order[LevelShop], run.block.order[LevelCode]); // code above shop on the form
    const QString path = dir.filePath("shop.itg");
    const QByteArray bytes = WriteTotals(*this, doc, run, path);
    const QByteArray head = QByteArray::fromHex("11"
                                                "646566"
                                                "10"
                                                "68696a6b"
                                                "08"
                                                "6d6e6f70717273"
                                                "03"
                                                "0100");
    ASSERT_EQ(bytes.left(20), head);
    const int count = 4; // 1, 902, 4, 4; 992 is taken only as a social tax
    EXPECT_EQ(bytes.mid(20, 4), QByteArray::fromHex("04000000"));
    ASSERT_EQ(bytes.size(), 24 + count * (3 * 4 + 12));
    // The first record: code 1, shop 1, personnel number 101, 30,000.00, 21 days, 168 hours.
    EXPECT_EQ(bytes.mid(24, 24), QByteArray::fromHex("01000000"
                                                     "65000000"
                                                     "01000000"
                                                     "30750000"
                                                     "00"
                                                     "15"
                                                     "0000"
                                                     "60270000"));

    SummaryTree merged;
    SummaryBlock block;
    ASSERT_EQ(ReadSummaryFiles({path}, merged, block).result, platform::TASK_DONE);
    EXPECT_EQ(block.GroupingLevels(), (std::vector<int>{LevelCode, LevelEmployee, LevelShop}));
    EXPECT_EQ(block.daysAndHours, 1);
    SummaryRun report;
    report.block = block;
    report.treeFilled = true;
    report.employeeKeysAreNumbers = true;
    const QStringList lines = Lines(SummaryReportText(report, merged, doc));
    // Code 25, personnel number 56 (no name from another base), shop 30.
    EXPECT_EQ(lines[1], QStringLiteral(" код_начисления/удержания") + QString(20, ' ') + "табельный_номер" +
                            QString(26, ' ') + "наименование__цеха       " + "         сумма     дни        часы");
    EXPECT_EQ(lines[2],
              QStringLiteral("   1.Оклад по дням").leftJustified(25 + 56 + 30) + "      30000.00      21      168:00");
    EXPECT_EQ(lines[3], QString(25, ' ') + QStringLiteral("  101.").leftJustified(56 + 30) +
                            "      30000.00      21      168:00");
    EXPECT_EQ(lines[4], QString(25 + 56, ' ') + QStringLiteral("Администрация").leftJustified(30) +
                            "      30000.00      21      168:00");
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("     71100.40      59      472:00")));
}

TEST_F(SummaryOnBase, MergeAddsEqualPathsAndRefusesOtherSummaries)
{
    SummaryFormTexts form;
    form.values[LevelShop] = "*";
    form.values[LevelCode] = "*";
    const SummaryRun run = RunOf(form);
    const QString first = dir.filePath("a.itg");
    const QString second = dir.filePath("b.itg");
    WriteTotals(*this, doc, run, first);
    WriteTotals(*this, doc, run, second);

    SummaryTree tree;
    SummaryBlock block;
    ASSERT_EQ(ReadSummaryFiles({first, second}, tree, block).result, platform::TASK_DONE);
    SummaryRun report;
    report.block = block;
    report.treeFilled = true;
    EXPECT_TRUE(Lines(SummaryReportText(report, tree, doc)).last().endsWith(QStringLiteral("    142200.80")));

    // Another place of a non-grouping level: merged.
    SummaryRun moved = run;
    std::swap(moved.block.order[LevelAccount], moved.block.order[LevelBrigade]);
    const QString movedPath = dir.filePath("moved.itg");
    WriteTotals(*this, doc, moved, movedPath);
    SummaryTree again;
    EXPECT_EQ(ReadSummaryFiles({first, movedPath}, again, block).result, platform::TASK_DONE);

    // The grouping levels in another order: refused.
    SummaryRun swapped = run;
    std::swap(swapped.block.order[LevelShop], swapped.block.order[LevelCode]);
    const QString swappedPath = dir.filePath("swapped.itg");
    WriteTotals(*this, doc, swapped, swappedPath);
    SummaryTree refused;
    try {
        ReadSummaryFiles({first, swappedPath}, refused, block);
        ADD_FAILURE() << "another order was merged";
    } catch (const TextError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Файл не имеет отношения к выбранному Вами своду"));
    }

    // An empty file is skipped before its order is looked at.
    SummaryFormTexts nothing;
    nothing.values[LevelBrigade] = "*";
    nothing.values[LevelCode] = "600";
    const QString emptyPath = dir.filePath("empty.itg");
    const QByteArray empty = WriteTotals(*this, doc, RunOf(nothing), emptyPath);
    EXPECT_EQ(empty.size(), 24);
    SummaryTree skipped;
    EXPECT_EQ(ReadSummaryFiles({emptyPath, first}, skipped, block).result, platform::TASK_DONE);
}

TEST_F(SummaryOnBase, TotalsFileThatCannotBeMadeLeavesNothing)
{
    SummaryFormTexts form;
    form.values[LevelShop] = "*";
    SummaryRun run = RunOf(form);
    run.block.outputPath = dir.filePath("missing/t.itg");
    SummaryTree tree;
    EXPECT_EQ(BuildArbitrarySummary(run, tree, doc, nullptr), SUMMARY_FILE_FAILED);
    EXPECT_FALSE(QFile::exists(run.block.outputPath));
}

TEST_F(SummaryOnBase, MergeFileErrors)
{
    SummaryFormTexts form;
    form.values[LevelShop] = "*";
    const QString path = dir.filePath("t.itg");
    const QByteArray bytes = WriteTotals(*this, doc, RunOf(form), path);
    SummaryTree tree;
    SummaryBlock block;

    EXPECT_EQ(ReadSummaryFiles({dir.filePath("none.itg")}, tree, block).detail, platform::FILE_ERROR_OPEN);

    // A file cut inside its records is a read error, and nothing of it is trusted past the cut.
    QFile cut(dir.filePath("cut.itg"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() - 3));
    cut.close();
    const platform::TaskOutcome cutRead = ReadSummaryFiles({cut.fileName()}, tree, block);
    EXPECT_EQ(cutRead.result, platform::TASK_FILE_ERROR);
    EXPECT_EQ(cutRead.detail, platform::FILE_ERROR_READ);

    QFile empty(dir.filePath("zero.itg"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    EXPECT_EQ(ReadSummaryFiles({empty.fileName()}, tree, block).detail, platform::FILE_ERROR_READ);

    QFile other(dir.filePath("other.itg"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(1, 16) + bytes.mid(1));
    other.close();
    EXPECT_THROW(ReadSummaryFiles({other.fileName()}, tree, block), TextError);
}

} // namespace
