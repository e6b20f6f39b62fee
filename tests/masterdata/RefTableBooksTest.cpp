// The rules of the reference books kept as tables, without their screens:
// length-of-service rules cut to their fields and sorted; each simple book's
// rows stored, dropped and sorted; the tax periods of the shipped "nalog"
// shown and read back unchanged, typed periods and percents, bands sorted with
// their hidden value; masks toggled; recipients cut to their widths.
#include "infobase/KalvorDocData.h"
#include "masterdata/GridBooks.h"
#include "masterdata/RecipientBook.h"
#include "masterdata/SeniorityBook.h"
#include "masterdata/TaxScaleBook.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::masterdata;
namespace ib = kalvor::infobase;

namespace {

QStringList Row(std::initializer_list<const char*> cells)
{
    QStringList row;
    for (const char* c : cells) row << QString::fromUtf8(c);
    return row;
}

// A seniority row: code, then the fourteen range cells, "Что" and "Величина".
QStringList RuleRow(const char* code, const char* kategMin = "", const char* profMin = "", const char* profMax = "",
                    const char* kak = "", const char* sum = "")
{
    return Row({code, "", "", "12", "600", "", "", "1", "4", "", "", profMin, profMax, kategMin, "15", kak, sum});
}

} // namespace

TEST(SeniorityBook, RulesAreCutToTheirFieldsAndSortedByCode)
{
    const std::vector<QStringList> rows = {RuleRow("300", "16", "130", "130", "2", "1500"), RuleRow(""),
                                           RuleRow("100", "4", "", "", "1", "12.5"), RuleRow("abc"), RuleRow("200")};
    const SeniorityRules rules = BuildSeniorityRules(rows);
    ASSERT_EQ(rules[0].kod, 100);
    ASSERT_EQ(rules[1].kod, 200);
    ASSERT_EQ(rules[2].kod, 300);
    for (int i = 3; i < kSeniorityRuleCount; ++i) EXPECT_EQ(rules[std::size_t(i)], ib::SeniorityRule{}) << i;

    // Category 16, profession min 130 and "Что" 2 lie beyond their columns'
    // ranges: refused, they read 0, never their low bits; max holds 130; a
    // sum in roubles.
    const ib::SeniorityRule& cut = rules[2];
    EXPECT_EQ(cut.kategMin, 0);
    EXPECT_EQ(cut.kategMax, 15);
    EXPECT_EQ(cut.profMin, 0);
    EXPECT_EQ(cut.profMax, 130);
    EXPECT_EQ(cut.kak, 0);
    EXPECT_EQ(cut.sum, 150'000);
    EXPECT_EQ(cut.rabMin, 12);
    EXPECT_EQ(cut.rabMax, 600);
    EXPECT_EQ(cut.otdMin, 1);
    EXPECT_EQ(cut.otdMax, 4);
    // "Что" 1: a percentage, 12.5 read as 1250 hundredths.
    EXPECT_EQ(rules[0].kak, 1);
    EXPECT_EQ(rules[0].sum, 1250);

    // Shown again as typed (a cut value as stored).
    EXPECT_EQ(SeniorityRuleTexts(cut),
              Row({"300", "", "", "12", "600", "", "", "1", "4", "", "", "", "130", "", "15", "", "1500.00"}));
    // A sixteenth row has no rule to go to.
    std::vector<QStringList> many(16, RuleRow("50"));
    many.back() = RuleRow("10");
    EXPECT_EQ(BuildSeniorityRules(many)[0].kod, 50);
}

TEST(GridBooks, ShopsAreStoredByNumberAndRowsWithoutANumberDropped)
{
    ib::KalvorDocData doc;
    StoreGridBookRows(GridBook::Shops,
                      {Row({"5", "Цех сборки"}), Row({"", "Без номера"}), Row({"2", "Механический цех"})}, doc);
    EXPECT_EQ(doc.infoBase.shopAt(1), (ib::ShopRecord{2, QStringLiteral("Механический цех")}));
    EXPECT_EQ(doc.infoBase.shopAt(2), (ib::ShopRecord{5, QStringLiteral("Цех сборки")}));
    EXPECT_EQ(doc.infoBase.shopAt(3), ib::ShopRecord{});
    EXPECT_EQ(GridBookRows(GridBook::Shops, doc),
              (std::vector<QStringList>{Row({"2", "Механический цех"}), Row({"5", "Цех сборки"})}));
}

TEST(GridBooks, CodeBooksDropRowsWithoutACodeSortAndCutNames)
{
    ib::KalvorDocData doc;
    StoreGridBookRows(GridBook::Professions,
                      {Row({"30", "Шлифовщик"}), Row({"10", "Токарь"}), Row({"0", "Без кода"}),
                       Row({"20", "Слесарь механосборочных работ 5 разряда"})},
                      doc);
    ASSERT_EQ(doc.refFiles.profiCount, 3);
    EXPECT_EQ(doc.refFiles.profi[0].code, 10);
    EXPECT_EQ(doc.refFiles.profi[1].name, QStringLiteral("Слесарь механосборочных ра")); // 26 bytes
    EXPECT_EQ(doc.refFiles.profi[2].code, 30);
    EXPECT_TRUE(doc.refFiles.profi[3].isEmpty());

    // A salary typed as 1500 is 150,000 kopecks and shows as 1500.00.
    // A third decimal is no amount: the cell reads 0, never rounded.
    StoreGridBookRows(
        GridBook::Positions,
        {Row({"7", "Инженер", "1500"}), Row({"3", "Мастер", "1234.56"}), Row({"4", "Техник", "1234.567"})}, doc);
    ASSERT_EQ(doc.refFiles.postCount, 3);
    EXPECT_EQ(doc.refFiles.post[2].salary, 150'000);
    EXPECT_EQ(doc.refFiles.post[0].salary, 123'456);
    EXPECT_EQ(doc.refFiles.post[1].salary, 0);
    EXPECT_EQ(GridBookRows(GridBook::Positions, doc)[2], Row({"7", "Инженер", "1500.00"}));

    // 130 rows typed: the book holds 128.
    std::vector<QStringList> many;
    for (int code = 130; code > 0; --code)
        many.push_back({QString::number(code), QStringLiteral("Профессия %1").arg(code)});
    StoreGridBookRows(GridBook::Professions, many, doc);
    EXPECT_EQ(doc.refFiles.profiCount, ib::CRefFiles::BookCapacity);
    EXPECT_EQ(doc.refFiles.profi[0].code, 3);
    EXPECT_EQ(doc.refFiles.profi[127].code, 130);

    StoreGridBookRows(GridBook::Ranks, {Row({"2", "Старший лейтенант юстиции", "100"})}, doc);
    EXPECT_EQ(doc.refFiles.title[0].name, QStringLiteral("Старший лейтенант")); // 17 bytes

    StoreGridBookRows(
        GridBook::Deductions,
        {Row({"114", "1-й ребенок 1000 р.", "1000", "280000"}), Row({"", "x"}), Row({"103", "На себя", "400", ""})},
        doc);
    EXPECT_EQ(doc.refFiles.vichet.count, 2);
    EXPECT_EQ(doc.refFiles.vichet.records[0].code, 103);
    EXPECT_EQ(doc.refFiles.vichet.records[1].limit, 28'000'000);
    EXPECT_EQ(GridBookRows(GridBook::Deductions, doc)[0], Row({"103", "На себя", "400.00", ""}));
}

TEST(GridBooks, ContributionsKeepEveryRowInItsPlace)
{
    ib::KalvorDocData doc;
    StoreGridBookRows(GridBook::Contributions,
                      {Row({"990", "6", "Пенсионный фонд РФ", "0"}), Row({"", "11", "Страховая часть", ""}),
                       Row({"995", "x", "Несчастные случаи", "12"})},
                      doc);
    ASSERT_EQ(doc.refFiles.sborCount, 3);
    EXPECT_EQ(doc.refFiles.sbor[1].code, 0);
    EXPECT_EQ(doc.refFiles.sbor[1].table, 11);
    EXPECT_EQ(doc.refFiles.sbor[1].name, QStringLiteral("Страховая часть"));
    EXPECT_EQ(doc.refFiles.sbor[2].table, 0);
    EXPECT_EQ(doc.refFiles.sbor[2].baseSelector, 12);
    EXPECT_EQ(GridBookRows(GridBook::Contributions, doc)[1], Row({"", "11", "Страховая часть", ""}));
}

TEST(TaxScaleBook, EveryPeriodOfTheShippedFileComesBackUnchanged)
{
    const ScopedToday today(QDate(2026, 12, 7));
    ib::CRefFiles files(QStringLiteral(KALVOR_DATA_DIR "/"));
    ASSERT_TRUE(files.ReadNalog());
    int periods = 0;
    for (const ib::TaxTable& table : files.nalog)
        for (const auto& variant : table.variants)
            for (int period : {int(variant.first), int(variant.last)}) {
                const TaxPeriodTexts shown = FormatTaxPeriod(period);
                EXPECT_EQ(ReadTaxPeriod(shown.month, shown.year, period), period);
                // Typed again from nothing, the texts name the same month.
                EXPECT_EQ(ReadTaxPeriod(shown.month, shown.year, 0), period) << shown.month.toStdString();
                periods += period != 0;
            }
    EXPECT_GT(periods, 10);
    // January 2011 as the engine counts it.
    EXPECT_EQ(FormatTaxPeriod(MonthIndex(2011, 1)), (TaxPeriodTexts{QStringLiteral("1"), QStringLiteral("11")}));
}

TEST(TaxScaleBook, TypedPeriodsAndPercents)
{
    const ScopedToday today(QDate(2026, 12, 7));
    // Month 12 of 2005, shown again as 12 and 05.
    const int december = ReadTaxPeriod(u"12", u"05", 0);
    EXPECT_EQ(december, MonthIndex(2005, 12));
    EXPECT_EQ(FormatTaxPeriod(december), (TaxPeriodTexts{QStringLiteral("12"), QStringLiteral("05")}));
    EXPECT_EQ(ReadTaxPeriod(u"1", u"2024", 0), 1489);
    EXPECT_EQ(ReadTaxPeriod(u"3", u"98", 0), MonthIndex(1998, 3));
    // A month or year its field refuses, or a year that is none, keeps the
    // stored period; an empty month is no period.
    EXPECT_EQ(ReadTaxPeriod(u"13", u"05", december), december);
    EXPECT_EQ(ReadTaxPeriod(u"5", u"x", december), december);
    EXPECT_EQ(ReadTaxPeriod(u"5", u"1500", december), december);
    EXPECT_EQ(ReadTaxPeriod(u"", u"", december), 0);
    EXPECT_EQ(ReadTaxPeriod(u"5", u"x", 0), 0);

    ib::u8 whole = 0, hundredths = 0;
    ASSERT_TRUE(ReadTaxPercent(u"13.5", whole, hundredths));
    EXPECT_EQ(FormatTaxPercent(whole, hundredths), QStringLiteral("13.50"));
    ASSERT_TRUE(ReadTaxPercent(u"13.05", whole, hundredths));
    EXPECT_EQ(FormatTaxPercent(whole, hundredths), QStringLiteral("13.05"));
    ASSERT_TRUE(ReadTaxPercent(u"30", whole, hundredths));
    EXPECT_EQ(FormatTaxPercent(whole, hundredths), QStringLiteral("30.00"));
    EXPECT_FALSE(ReadTaxPercent(u"13.505", whole, hundredths));
    EXPECT_EQ(FormatTaxPercent(whole, hundredths), QStringLiteral("30.00"));
    ASSERT_TRUE(ReadTaxPercent(u"13,5", whole, hundredths)); // a decimal comma
    EXPECT_EQ(FormatTaxPercent(whole, hundredths), QStringLiteral("13.50"));
    EXPECT_FALSE(ReadTaxPercent(u"13,5%", whole, hundredths));
    EXPECT_EQ(FormatTaxPercent(whole, hundredths), QStringLiteral("13.50"));
    ASSERT_TRUE(ReadTaxPercent(u"", whole, hundredths));
    EXPECT_EQ(FormatTaxPercent(whole, hundredths), QString());
}

TEST(TaxScaleBook, BandsAreSortedByThresholdAndKeepTheirHiddenValue)
{
    TaxScale scale{};
    scale[0] = {280000, 36400, 20, 0, 7.5};
    scale[1] = {0, 0, 13, 0, 0};
    std::vector<QStringList> rows(kTaxBandCount);
    rows[0] = Row({"600000", "92400", "30"}); // the first band changed
    rows[1] = TaxBandTexts(scale[1]); // the second as it was
    rows[2] = Row({"", "", "35.5"}); // a new band from 0
    ReadTaxBands(rows, scale);
    EXPECT_EQ(scale[0].percent, 13);
    EXPECT_EQ(scale[1].lower, 0);
    EXPECT_EQ(scale[1].percent, 35);
    EXPECT_EQ(scale[1].hundredths, 50);
    EXPECT_EQ(scale[2].lower, 600000);
    EXPECT_EQ(scale[2].fixed, 92400);
    EXPECT_EQ(scale[2].further, 7.5);
    EXPECT_TRUE(scale[3].isEmpty());
    EXPECT_EQ(TaxBandTexts(scale[2]), Row({"600000", "92400", "30.00"}));

    // A row emptied on the screen takes its hidden value with it.
    rows = std::vector<QStringList>(kTaxBandCount, Row({"", "", ""}));
    rows[0] = TaxBandTexts(scale[0]);
    ReadTaxBands(rows, scale);
    EXPECT_EQ(scale[0].percent, 13);
    for (int i = 1; i < kTaxBandCount; ++i) EXPECT_TRUE(scale[std::size_t(i)].isEmpty()) << i;
}

TEST(GridBooks, AMaskToggledTwiceIsAsItWas)
{
    ib::FirmInfo firm;
    firm.masks[3][130] = 1;
    const ib::FirmInfo before = firm;
    ToggleKindInMask(firm, 3, 4);
    EXPECT_TRUE(KindInMask(firm, 3, 4));
    EXPECT_FALSE(KindInMask(firm, 2, 4));
    ToggleKindInMask(firm, 3, 130);
    EXPECT_FALSE(KindInMask(firm, 3, 130));
    ToggleKindInMask(firm, 3, 4);
    ToggleKindInMask(firm, 3, 130);
    EXPECT_EQ(firm, before);
    ToggleKindInMask(firm, 8, 4);
    ToggleKindInMask(firm, 0, 1000);
    EXPECT_EQ(firm, before);
}

TEST(RecipientBook, FieldsAreCutToTheirWidthsAndOnlyChangesCount)
{
    ib::TransferRecipient recipient;
    const QString fifty = QStringLiteral("УФК по Вологодской области (ФССП России, отдел 12)");
    ASSERT_EQ(fifty.size(), 50);
    EXPECT_EQ(StoreRecipientField(recipient, 1, fifty), 1);
    EXPECT_EQ(recipient.recipient, fifty.left(45));
    EXPECT_EQ(StoreRecipientField(recipient, 1, fifty), 0);
    EXPECT_EQ(StoreRecipientField(recipient, 7, QStringLiteral("352501001   ")), 1);
    EXPECT_EQ(recipient.kpp, QStringLiteral("352501001"));
    EXPECT_EQ(StoreRecipientField(recipient, 7, QStringLiteral("352501001")), 0);
    EXPECT_EQ(RecipientField(recipient, 7), QStringLiteral("352501001"));

    Recipients all{};
    all[6].recipient = QStringLiteral("ЗАО \"ВТБ 24\"");
    const QStringList lines = RecipientHelpLines(all);
    ASSERT_EQ(lines.size(), kRecipientCount);
    EXPECT_EQ(lines[6], QStringLiteral("7|ЗАО \"ВТБ 24\"") + QString(45 - 12, QLatin1Char(' ')));
    EXPECT_EQ(lines[147], QStringLiteral("148|") + QString(45, QLatin1Char(' ')));
}
