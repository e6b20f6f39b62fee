// Sick-leave sheets as the entry screen reads and shows them (field rules,
// full years, the year range of the two-year period), one employee's sheets
// spliced into the sheet array, the child-care allowance kept as a permanent
// payment, and the texts of the three grids from tables worked by hand under
// the twelve-month and the two-year rule.
#include "entries/SickLeaveEntry.h"

#include <gtest/gtest.h>

namespace en = kalvor::entries;
namespace ib = kalvor::infobase;

namespace {

ib::SickLeaveSheet Sheet(int startDay, int endDay, int year = 2011)
{
    ib::SickLeaveSheet sheet;
    sheet.dBegin = std::uint8_t(startDay);
    sheet.mBegin = 4;
    sheet.gBegin = std::uint16_t(year);
    sheet.dEnd = std::uint8_t(endDay);
    sheet.mEnd = endDay == 0 ? 0 : 4;
    sheet.gEnd = endDay == 0 ? 0 : std::uint16_t(year);
    return sheet;
}

std::vector<int> StartDays(const ib::LineArray<ib::SickLeaveSheet>& array)
{
    std::vector<int> days;
    for (const ib::SickLeaveSheet& sheet : array.lines) days.push_back(sheet.dBegin);
    return days;
}

} // namespace

TEST(SickLeaveFields, TypedTextsFollowTheFieldsRules)
{
    ib::SickLeaveSheet sheet = Sheet(4, 12);
    sheet.alg = 1;
    sheet.dn = 7 * 60 + 30;
    en::SickLeaveSheetForm form = en::ShowSickLeaveSheet(sheet);
    EXPECT_EQ(form.dn, QStringLiteral("7,30")) << "hours and minutes for algorithm 1";
    EXPECT_EQ(form.vid, QString());
    EXPECT_EQ(form.procent, QString());
    EXPECT_EQ(form.start, QDate(2011, 4, 4));
    EXPECT_FALSE(en::ReadSickLeaveSheet(form, sheet, 2011)) << "the form as shown changes nothing";
    sheet.alg = 0;
    sheet.dn = 5 * 60;
    EXPECT_EQ(en::ShowSickLeaveSheet(sheet).dn, QStringLiteral("5"));

    form.vid = QStringLiteral("12");
    form.procent = QStringLiteral("150");
    form.budg = QStringLiteral("9");
    form.firstMes = QStringLiteral("13");
    form.firstYear = QStringLiteral("2012");
    form.secondYear = QStringLiteral("2010");
    form.dn = QStringLiteral("99"); // shown only
    form.mrp = true;
    form.from12Months = true;
    sheet.vid = 3;
    sheet.procent = 60;
    sheet.firstMes = 5;
    EXPECT_TRUE(en::ReadSickLeaveSheet(form, sheet, 2011));
    // A number its field refuses keeps what is stored, never 0 (a percent of
    // 0 would pay the sheet at 100 %).
    EXPECT_EQ(sheet.vid, 3);
    EXPECT_EQ(sheet.procent, 60) << "150 % is refused";
    EXPECT_EQ(sheet.budg, 9);
    EXPECT_EQ(sheet.firstMes, 5);
    EXPECT_EQ(sheet.firstYear, 0) << "a year after the reporting one";
    form.vid = QStringLiteral("4x");
    form.procent = QStringLiteral("");
    EXPECT_TRUE(en::ReadSickLeaveSheet(form, sheet, 2011));
    EXPECT_EQ(sheet.vid, 3);
    EXPECT_EQ(sheet.procent, 0) << "an emptied percent is none";
    EXPECT_EQ(sheet.secondYear, 2010);
    EXPECT_EQ(sheet.dn, 5 * 60);
    EXPECT_EQ(sheet.mrp, 255);
    EXPECT_EQ(sheet.from12Months, 1);

    // The two-year period's years run from 1999 to the reporting year, 2026 included.
    form.firstYear = QStringLiteral("2025");
    form.secondYear = QStringLiteral("1998");
    EXPECT_TRUE(en::ReadSickLeaveSheet(form, sheet, 2026));
    EXPECT_EQ(sheet.firstYear, 2025);
    EXPECT_EQ(sheet.secondYear, 2010) << "1998 is refused";

    // Dates keep their full years: a sheet of 2026 is not shown as 2018.
    form.start = QDate(2026, 3, 30);
    form.end = QDate(2026, 4, 7);
    EXPECT_TRUE(en::ReadSickLeaveSheet(form, sheet, 2026));
    EXPECT_EQ(sheet.gBegin, 2026);
    EXPECT_EQ(en::ShowSickLeaveSheet(sheet).start, QDate(2026, 3, 30));
    // A year that the stored code cannot bring back is refused.
    form.start = QDate(2015, 3, 30);
    EXPECT_FALSE(en::ReadSickLeaveSheet(form, sheet, 2026));
    EXPECT_EQ(sheet.gBegin, 2026);
    // A cleared picker clears the date.
    form.start = QDate();
    EXPECT_TRUE(en::ReadSickLeaveSheet(form, sheet, 2026));
    EXPECT_EQ(sheet.dBegin, 0);
    EXPECT_FALSE(en::IsKeptSickLeaveSheet(sheet));

    // Filled fields only: empty texts, unticked boxes and no date leave the sheet.
    ib::SickLeaveSheet group = Sheet(4, 12);
    group.vid = 4;
    group.procent = 80;
    en::SickLeaveSheetForm filled;
    filled.procent = QStringLiteral("60");
    EXPECT_TRUE(en::ReadSickLeaveSheet(filled, group, 2011, true));
    EXPECT_EQ(group.vid, 4);
    EXPECT_EQ(group.procent, 60);
    EXPECT_EQ(group.dBegin, 4);
}

TEST(SickLeaveSplice, SheetsWithoutAnEndVanishAndTheArrayStaysWhole)
{
    ib::CInfoBase base;
    base.AllocateTables(3);
    base.bln.allocate(3, 6);
    base.bln.replaceRun(1, en::SickLeaveSheets{Sheet(1, 2), Sheet(3, 4)});
    base.bln.replaceRun(2, en::SickLeaveSheets{Sheet(5, 6)});
    base.bln.replaceRun(3, en::SickLeaveSheets{Sheet(7, 8)});

    // First slot: a sheet whose end was cleared goes; a new one joins.
    ASSERT_TRUE(en::StoreSickLeaveSheets(base, 1, {Sheet(1, 2), Sheet(3, 0), Sheet(9, 10), Sheet(11, 12)}, {}));
    EXPECT_EQ(StartDays(base.bln), (std::vector<int>{1, 9, 11, 5, 7, 0}));
    EXPECT_EQ(base.bln.first(2), 3);
    EXPECT_EQ(base.bln.first(3), 4);
    // Middle slot grows into the last free row.
    ASSERT_TRUE(en::StoreSickLeaveSheets(base, 2, {Sheet(5, 6), Sheet(13, 14)}, {}));
    EXPECT_EQ(StartDays(base.bln), (std::vector<int>{1, 9, 11, 5, 13, 7}));
    // The array is full.
    const auto full = base.bln;
    EXPECT_FALSE(en::StoreSickLeaveSheets(base, 3, {Sheet(7, 8), Sheet(15, 16)}, {}));
    EXPECT_EQ(base.bln.lines, full.lines);
    EXPECT_EQ(base.bln.index, full.index);
    // The last slot loses its sheet: its count becomes 0 and the row is zeroed.
    ASSERT_TRUE(en::StoreSickLeaveSheets(base, 3, {Sheet(7, 0)}, {}));
    EXPECT_EQ(base.bln.count(3), 0);
    EXPECT_EQ(StartDays(base.bln), (std::vector<int>{1, 9, 11, 5, 13, 0}));

    // More than ten sheets: the ten are shown, the rest kept on saving.
    ib::CInfoBase many;
    many.AllocateTables(1);
    many.bln.allocate(1, 14);
    en::SickLeaveSheets twelve;
    for (int day = 1; day <= 12; ++day) twelve.push_back(Sheet(day, day));
    many.bln.replaceRun(1, twelve);
    en::EmployeeLines<ib::SickLeaveSheet> taken = en::TakeSickLeaveSheets(many, 1);
    ASSERT_EQ(taken.shown.size(), 10u);
    taken.shown[0].dEnd = 0;
    ASSERT_TRUE(en::StoreSickLeaveSheets(many, 1, taken.shown, taken.beyond));
    EXPECT_EQ(many.bln.count(1), 11);
    EXPECT_EQ(many.bln.run(1).back().dBegin, 12);
}

TEST(SickLeaveChildCare, TheAllowanceTakesTheFirstFreePermanentPayment)
{
    ib::EmployeeRecord rec;
    rec.postDopl[0].kod = 30;
    rec.postDopl[1].kod = 45;
    rec.postDopl[2].procent = 77; // a free entry is cleared before it is used
    ib::SickLeaveSheet sheet = Sheet(18, 30, 2008);
    sheet.vid = 5;
    EXPECT_EQ(en::KeepChildCareAllowance(rec, sheet, 456'300), 2);
    EXPECT_EQ(rec.postDopl[2].kod, 169);
    EXPECT_EQ(rec.postDopl[2].sum, 456'300);
    EXPECT_EQ(rec.postDopl[2].procent, 0u);
    sheet.vid = 7;
    EXPECT_EQ(en::KeepChildCareAllowance(rec, sheet, 300'000), 3);
    EXPECT_EQ(rec.postDopl[3].kod, 170);

    // Other kinds, a start before 2007 and a full set change nothing.
    const ib::EmployeeRecord before = rec;
    sheet.vid = 4;
    EXPECT_EQ(en::KeepChildCareAllowance(rec, sheet, 1), -1);
    sheet.vid = 5;
    sheet.gBegin = 2006;
    EXPECT_EQ(en::KeepChildCareAllowance(rec, sheet, 1), -1);
    EXPECT_EQ(rec.postDopl, before.postDopl);
    for (ib::PostDoplEntry& entry : rec.postDopl) entry.kod = 1;
    const auto fullSet = rec.postDopl;
    sheet.gBegin = 2011;
    EXPECT_EQ(en::KeepChildCareAllowance(rec, sheet, 1), -1);
    EXPECT_EQ(rec.postDopl, fullSet);

    // The monthly allowance: 40 % of 30.4 days of 1,000 roubles over April's 30 days, times 30.
    kalvor::SickLeaveTables tables;
    tables.monthRows = 1;
    tables.months[0].from = kalvor::BenefitDateKey(2011, 4, 18);
    tables.months[0].daily = 1'216'000.0 / 30;
    EXPECT_DOUBLE_EQ(en::ChildCareMonthlyAmount(tables), 1'216'000);
}

TEST(SickLeaveGrids, TwelveMonthsAndTwoYearsWorkedByHand)
{
    // Twelve months before a sheet of April 2010: 20 days at 30,000 each.
    ib::SickLeaveSheet sheet = Sheet(5, 9, 2010);
    sheet.procent = 80;
    kalvor::SickLeaveTables tables;
    tables.periodMonths = 12;
    for (int i = 0; i < 12; ++i) {
        const int month = (i + 3) % 12 + 1; // April 2009 .. March 2010
        tables.years[std::size_t(i)] = {month, month >= 4 ? 2009 : 2010, 20, 3'000'000, 0, 0, 0};
    }
    tables.years[12] = {0, 0, 240, 36'000'000, 150'000, 0, 0};
    tables.maximum = 12'000'000;
    tables.monthRows = 1;
    tables.months[0] = {
        kalvor::BenefitDateKey(2010, 4, 5), kalvor::BenefitDateKey(2010, 4, 9), 5, 80, 120'000, 600'000, 0};
    en::SickLeaveGrids grids = en::SickLeaveGridTexts(1, sheet, tables);
    EXPECT_EQ(grids.earnings.headings, (QStringList{"Мес", "Час/Дн", "Заработок", "", "Дн.заработок"}));
    ASSERT_EQ(grids.earnings.rows.size(), 12u);
    EXPECT_EQ(grids.earnings.rows[0], (QStringList{"3", "20", "30000.00"})) << "the latest month first";
    EXPECT_EQ(grids.earnings.rows[11], (QStringList{"4", "20", "30000.00"}));
    EXPECT_TRUE(grids.earnings.summaryRows.empty());
    EXPECT_EQ(grids.average.headings, (QStringList{"Дн.пос", "Дней", "(% оплаты)", "Огран."}));
    EXPECT_EQ(grids.average.rows.at(0), (QStringList{"1500.00", "240", "( 80% )", "120000.00"}));
    ASSERT_EQ(grids.period.rows.size(), 2u);
    EXPECT_EQ(grids.period.rows[0], (QStringList{"05.04.10", "09.04.10", "5", "80", "1200.00", "6000.00"}));
    EXPECT_EQ(grids.period.rows[1], (QStringList{"Итого", "", "5", "", "", "6000.00"}));

    // Two calendar years before a sheet of 2011: 2009 and 2010, the first
    // year above the cap of 415,000.
    sheet = Sheet(4, 12, 2011);
    tables = kalvor::SickLeaveTables{};
    tables.periodMonths = 24;
    for (int i = 0; i < 24; ++i)
        tables.years[std::size_t(i)] = {i % 12 + 1, 2009 + i / 12, 30, i < 12 ? 4'000'000.0 : 2'500'000.0, 0, 0, 0};
    tables.years[11].yearTotal = 48'000'000;
    tables.years[24] = {0, 0, 730, 78'000'000, 97'945, 0, 30'000'000};
    tables.monthRows = 1;
    tables.months[0] = {
        kalvor::BenefitDateKey(2011, 4, 4), kalvor::BenefitDateKey(2011, 4, 12), 9, 100, 97'945, 881'505, 0};
    grids = en::SickLeaveGridTexts(1, sheet, tables);
    EXPECT_EQ(grids.earnings.headings.at(3), QStringLiteral("К расчету"));
    ASSERT_EQ(grids.earnings.rows.size(), 27u);
    EXPECT_EQ(grids.earnings.rows[0], (QStringList{"12.10", "30", "25000.00"}));
    EXPECT_EQ(grids.earnings.rows[23], (QStringList{"1.9", "30", "40000.00"}));
    EXPECT_EQ(grids.earnings.summaryRows, (std::vector<int>{24, 25, 26}));
    EXPECT_EQ(grids.earnings.rows[24], (QStringList{"==2009", "365", "415000.00"}));
    EXPECT_EQ(grids.earnings.rows[25], (QStringList{"==2010", "365", "300000.00"}));
    EXPECT_EQ(grids.earnings.rows[26], (QStringList{"==", "730", "715000.00", "", "979.45"}));

    // A child-care sheet shows the limits; a failure shows the headings alone.
    sheet.vid = 5;
    grids = en::SickLeaveGridTexts(1, sheet, tables);
    EXPECT_EQ(grids.average.headings, (QStringList{"Max", "Min", "(% оплаты)", "Дн.пос", "Дн"}));
    grids = en::SickLeaveGridTexts(-3, sheet, tables);
    EXPECT_TRUE(grids.earnings.rows.empty());
    EXPECT_TRUE(grids.average.rows.empty());
    EXPECT_TRUE(grids.period.rows.empty());
    EXPECT_EQ(grids.period.headings.at(0), QStringLiteral("Начало"));
}
