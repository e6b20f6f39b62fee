// Sick-leave benefits: a certificate over the turn of the year averaged over
// two calendar years and capped by the daily maximum, a kind counted at most
// its per-kind amount a month over two years, a low earner raised to the
// minimum wage's average with no tick on the sheet (and not under the
// twelve-month rule), a twelve-month average paid at 100 %; the limits by
// date, the checks of the sheet's dates.
#include "AveragesWorld.h"

#include "payroll/AverageEarnings.h"
#include "payroll/SickLeave.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace averagestest;

namespace {

struct SickWorld : World {
    SickWorld(int year, int month, double monthly, int fromYear, int toYear, int toMonth = 12) : World(year, month)
    {
        kinds({avgKind(4, 0, 0, 1)}); // salary, in the sick-leave base
        attr().sistOpl = 4;
        head().oklad = monthly;
        head().stavka = 100;
        head().datPr1 = date(1, 1, 2015);
        for (int y = fromYear; y <= toYear; ++y)
            for (int m = 1; m <= (y == toYear ? toMonth : 12); ++m) addArchive(archive(4, monthly, y, m, 20));
    }

    SickLeaveSheet sheet(int d1, int m1, int y1, int d2, int m2, int y2, int percent)
    {
        SickLeaveSheet s = payrolltest::sickSheetOver(d1, m1, y1, d2, m2, y2);
        s.procent = std::uint8_t(percent);
        return s;
    }
};

} // namespace

TEST(CalcSickLeaveBenefit, TwoYearsOverTheTurnOfTheYearCappedByTheMaximum)
{
    // 50,000 roubles a month in 2023 and 2024; each year counts at most
    // 415,000 roubles; 2024 has 366 days, so the period has 731.
    SickWorld w(2026, 1, 5'000'000, 2023, 2024);
    w.firm().blnMaxOgr = 36'500'000; // a daily maximum of 1,000 roubles in 2026
    SickLeaveSheet s = w.sheet(25, 12, 2025, 10, 1, 2026, 60);
    SickLeaveTables t;
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);

    ASSERT_EQ(t.periodMonths, 24);
    EXPECT_EQ(t.years[0].month, 1);
    EXPECT_EQ(t.years[0].year, 2023);
    EXPECT_EQ(t.years[23].year, 2024);
    EXPECT_EQ(t.years[23].days, 31);
    EXPECT_DOUBLE_EQ(t.years[11].yearTotal, 60'000'000);
    EXPECT_DOUBLE_EQ(t.years[24].yearTotal, 60'000'000);
    EXPECT_EQ(t.years[24].days, 731);
    EXPECT_DOUBLE_EQ(t.years[24].average, RoundWhole(83'000'000.0 / 731)); // 113,543
    EXPECT_DOUBLE_EQ(t.years[24].dailyMax, 100'000);

    ASSERT_EQ(t.monthRows, 2);
    const BenefitMonthRow& dec = t.months[0];
    EXPECT_EQ(dec.from, BenefitDateKey(2025, 12, 25));
    EXPECT_EQ(dec.to, BenefitDateKey(2025, 12, 31));
    EXPECT_EQ(dec.days, 7);
    EXPECT_EQ(dec.percent, 60);
    EXPECT_DOUBLE_EQ(dec.daily, 60'000); // the maximum, then 60 %
    EXPECT_DOUBLE_EQ(dec.amount, 420'000);
    const BenefitMonthRow& jan = t.months[1];
    EXPECT_EQ(jan.from, BenefitDateKey(2026, 1, 1));
    EXPECT_EQ(jan.to, BenefitDateKey(2026, 1, 10));
    EXPECT_EQ(jan.days, 10);
    EXPECT_DOUBLE_EQ(jan.amount, 600'000);
    EXPECT_DOUBLE_EQ(s.sum, 1'020'000);

    // The two outputs of the two-year mode, given when both came in as 0.
    EXPECT_DOUBLE_EQ(t.firstOut, RoundWhole(83'000'000.0 / 731));
    // Tariff daily pay, negated: the start month (December 2025) is one month
    // back; its empty history rate takes the current salary, over December's
    // 23 working days.
    EXPECT_DOUBLE_EQ(s.oklad, -5'000'000.0 / 23);
    EXPECT_DOUBLE_EQ(t.tariffDaily, s.oklad);
}

TEST(CalcSickLeaveBenefit, LowEarnerRaisedToTheMinimum)
{
    SickWorld w(2026, 2, 500'000, 2024, 2025);
    w.firm().blnMaxOgrBegRab = 1'500'000; // the minimum monthly wage
    SickLeaveSheet s = w.sheet(3, 2, 2026, 12, 2, 2026, 80);
    s.fromMinimumMonthlyEarnings = 1;
    SickLeaveTables t;
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(t.years[24].average, RoundWhole(12'000'000.0 / 731)); // 16,416
    const double minimum = RoundWhole(1'500'000.0 * 24 / 730); // 49,315
    EXPECT_DOUBLE_EQ(t.secondOut, minimum);
    ASSERT_EQ(t.monthRows, 1);
    EXPECT_EQ(t.months[0].days, 10);
    EXPECT_DOUBLE_EQ(t.months[0].daily, RoundWhole(minimum * 0.8));
    EXPECT_DOUBLE_EQ(s.sum, RoundWhole(minimum * 0.8) * 10);

    // Without the flag too (the law from 2011: an average below the minimum
    // wage's is the minimum wage's), and the tables say so; a half rate
    // halves the minimum.
    s.fromMinimumMonthlyEarnings = 0;
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(t.minimumWageAverage, minimum);
    EXPECT_DOUBLE_EQ(t.months[0].daily, RoundWhole(minimum * 0.8));
    EXPECT_DOUBLE_EQ(s.sum, RoundWhole(minimum * 0.8) * 10);
    s.fromMinimumMonthlyEarnings = 1;
    w.head().stavka = 50;
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(t.minimum, 1'500'000.0 * 12 / 730);

    // Under the twelve-month rule no floor raises the average: the child-care
    // allowance of March 2008 is 40 % of the average month, at least 1,627.50
    // roubles. 3,000 a month from March 2007 to February 2008: 36,000 over
    // 366 days, 98.36 a day, 2,990.14 a month, 40 % of it 1,196.06, under
    // the least allowance, which the whole of March takes.
    SickWorld care(2008, 3, 300'000, 2007, 2008, 2);
    care.head().datPr1 = date(1, 1, 2005);
    s = care.sheet(1, 3, 2008, 31, 3, 2008, 100);
    s.vid = 5;
    ASSERT_EQ(CalcSickLeaveBenefit(care.doc, s, t, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(t.years[12].average, 9'836);
    EXPECT_DOUBLE_EQ(t.minimumWageAverage, 0);
    EXPECT_DOUBLE_EQ(s.sum, 162'750);
}

// The least benefit follows the minimum wage of the sheet's start month as
// the base's monthly table holds it: 4,330 roubles to May 2011, 4,611 from
// June; the firm's single figure only where the table holds nothing; a
// sheet of December taken in January the table of the year before.
TEST(CalcSickLeaveBenefit, TheMinimumIsTheMinimumWageOfTheStartMonth)
{
    // 4,000 roubles a month in 2009 and 2010: 96,000 over 730 days, 131.51 a
    // day, under either minimum.
    SickWorld w(2011, 6, 400'000, 2009, 2010);
    w.head().datPr1 = date(1, 1, 2005);
    w.firm().blnMaxOgrBegRab = 433'000;
    for (int m = 0; m < 12; ++m) w.doc.infoBase.config.mrot[std::size_t(m)] = m < 5 ? 4'330 : 4'611;
    auto benefit = [&](int month) {
        SickLeaveSheet s = w.sheet(3, month, 2011, 12, month, 2011, 80);
        SickLeaveTables t;
        EXPECT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
        return s.sum;
    };
    // June: 4,611 x 24 / 730 = 151.59 a day, 80 % of it 121.27, ten days 1,212.70.
    EXPECT_DOUBLE_EQ(benefit(6), 121'270);
    // May: 4,330 x 24 / 730 = 142.36 a day, 80 % of it 113.89, ten days 1,138.90.
    EXPECT_DOUBLE_EQ(benefit(5), 113'890);
    // A table without the month: the firm's figure.
    w.doc.infoBase.config.mrot = {};
    EXPECT_DOUBLE_EQ(benefit(6), 113'890);

    // January 2013, 4,000 a month in 2010 and 2011; 4,611 a month in 2012,
    // 5,205 in 2013. A sheet of 24-28 December 2012 takes December 2012's
    // 4,611: 151.59 a day, five days 757.95 at 100 % (not 5,205's 171.12).
    SickWorld january(2013, 1, 400'000, 2010, 2011);
    january.head().datPr1 = date(1, 1, 2005);
    january.firm().blnMaxOgrBegRab = 520'500;
    auto& config = january.doc.infoBase.config;
    config.mrotPrev.fill(4'611);
    config.mrot.fill(5'205);
    SickLeaveSheet december = january.sheet(24, 12, 2012, 28, 12, 2012, 100);
    SickLeaveTables t;
    ASSERT_EQ(CalcSickLeaveBenefit(january.doc, december, t, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(t.minimumWageAverage, 15'159);
    EXPECT_DOUBLE_EQ(december.sum, 75'795);
}

TEST(CalcSickLeaveBenefit, TwoYearsCountAKindAtMostItsAmountAMonth)
{
    // 20,000 roubles a month in 2024 and 2025; kind 30 counts at most 3,000
    // roubles a month, kind 31 at most 1,000.
    SickWorld w(2026, 2, 2'000'000, 2024, 2025);
    PayKind k30 = avgKind(30, 0, 0, 1), k31 = avgKind(31, 0, 0, 1);
    k30.sumSkidSoc = 300'000;
    k31.sumSkidSoc = 100'000;
    w.kinds({avgKind(4, 0, 0, 1), k30, k31});
    w.addArchive(archive(30, 400'000, 2024, 3)); // March 2024: 6,000 of kind 30
    w.addArchive(archive(30, 200'000, 2024, 3));
    w.addArchive(archive(31, 150'000, 2024, 3)); //   and 1,500 of kind 31
    w.addArchive(archive(30, 250'000, 2025, 6)); // June 2025: 2,500, under the limit

    // March 2024: 20,000 + 6,000 + 1,500 = 27,500, of which 3,000 + 500 set apart.
    MonthEarnings march;
    ASSERT_EQ(
        MonthEarningsForAverage(w.doc, MonthIndex(2024, 3), MonthEarningsQuery{3, 0, 0, -1, true}, nullptr, 0, march),
        0);
    EXPECT_DOUBLE_EQ(march.sum, 2'750'000);
    EXPECT_DOUBLE_EQ(march.split, 350'000);
    MonthEarnings june;
    MonthEarningsForAverage(w.doc, MonthIndex(2025, 6), MonthEarningsQuery{3, 0, 0, -1, true}, nullptr, 0, june);
    EXPECT_DOUBLE_EQ(june.split, 0);
    // Without the two-year flag nothing is set apart.
    MonthEarningsForAverage(w.doc, MonthIndex(2024, 3), MonthEarningsQuery{3, 0, 0, -1, false}, nullptr, 0, march);
    EXPECT_DOUBLE_EQ(march.sum, 2'750'000);
    EXPECT_DOUBLE_EQ(march.split, 0);

    // 2024: 240,000 + 3,000 + 1,000 = 244,000; 2025: 240,000 + 2,500 = 242,500;
    // 486,500 roubles over 366 + 365 days: 665.53 a day, 100 % for 10 days.
    SickLeaveSheet s = w.sheet(3, 2, 2026, 12, 2, 2026, 100);
    SickLeaveTables t;
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(t.years[2].earnings, 2'400'000);
    EXPECT_DOUBLE_EQ(t.years[11].yearTotal, 24'400'000);
    EXPECT_DOUBLE_EQ(t.years[24].yearTotal, 24'250'000);
    EXPECT_EQ(t.years[24].days, 731);
    EXPECT_DOUBLE_EQ(t.years[24].average, 66'553);
    EXPECT_DOUBLE_EQ(s.sum, 665'530);
}

TEST(CalcSickLeaveBenefit, TwelveMonthsAtFullPercentOverTwoMonths)
{
    SickWorld w(2026, 4, 3'000'000, 2025, 2026, 2);
    w.doc.infoBase.current.rates[0].rate = 3'000'000;
    SickLeaveSheet s = w.sheet(25, 3, 2026, 5, 4, 2026, 0); // percent 0 is 100 %
    s.from12Months = 1;
    SickLeaveTables t;
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
    ASSERT_EQ(t.periodMonths, 12);
    EXPECT_EQ(t.years[0].month, 3);
    EXPECT_EQ(t.years[0].year, 2025);
    EXPECT_EQ(t.years[11].month, 2);
    EXPECT_EQ(t.years[12].days, 365);
    const double average = RoundWhole(36'000'000.0 / 365); // 98,630
    EXPECT_DOUBLE_EQ(t.years[12].average, average);
    ASSERT_EQ(t.monthRows, 2);
    EXPECT_EQ(t.months[0].percent, 100);
    EXPECT_EQ(t.months[0].days, 7);
    EXPECT_EQ(t.months[1].days, 5);
    EXPECT_DOUBLE_EQ(s.sum, average * 12);
    // The start month (March) is the month before the reporting month: its
    // salary from the rate history over March's 22 working days.
    EXPECT_DOUBLE_EQ(s.oklad, -3'000'000.0 / 22);

    // Days of employment only: dismissed on 1 April, paid up to 31 March.
    w.head().datUv1 = date(1, 4, 2026);
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
    EXPECT_DOUBLE_EQ(s.sum, average * 7);
}

TEST(CalcSickLeaveBenefit, ReducedPercentFromTheEleventhDay)
{
    // A kind paid at the reduced percentage (50 % when none is set) from the
    // eleventh day of the sick leave: 25 March to 8 April, the eleventh day
    // is 4 April.
    SickWorld w(2026, 4, 3'000'000, 2025, 2026, 2);
    SickLeaveSheet s = w.sheet(25, 3, 2026, 8, 4, 2026, 100);
    s.vid = 4;
    s.from12Months = 1;
    SickLeaveTables t;
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
    const double average = RoundWhole(36'000'000.0 / 365);
    ASSERT_EQ(t.monthRows, 3);
    EXPECT_EQ(t.months[0].days, 7);
    EXPECT_EQ(t.months[0].percent, 100);
    EXPECT_EQ(t.months[1].from, BenefitDateKey(2026, 4, 1));
    EXPECT_EQ(t.months[1].to, BenefitDateKey(2026, 4, 3));
    EXPECT_EQ(t.months[1].days, 3);
    EXPECT_EQ(t.months[2].from, BenefitDateKey(2026, 4, 4));
    EXPECT_EQ(t.months[2].days, 5);
    EXPECT_EQ(t.months[2].percent, 50);
    EXPECT_DOUBLE_EQ(t.months[2].daily, average / 2);
    EXPECT_DOUBLE_EQ(s.sum, average * 10 + average / 2 * 5);
}

TEST(CalcSickLeaveBenefit, NoEmploymentInThePeriodGivesNoAverage)
{
    // Hired on 20 February: the period counts 9 employed days; with 10 days
    // to exclude the divisor is negative and the average is 0 (no negative
    // benefit, no division by zero).
    SickWorld w(2026, 3, 3'000'000, 2026, 2026, 2);
    w.head().datPr1 = date(20, 2, 2026);
    SickLeaveSheet s = w.sheet(10, 3, 2026, 12, 3, 2026, 100);
    s.from12Months = 1;
    s.dn = 10 * 60; // 10 days to exclude
    SickLeaveTables t;
    ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 1);
    EXPECT_EQ(t.years[12].average, 0);
    EXPECT_EQ(s.sum, 0);
}

TEST(CalcSickLeaveBenefit, LimitsByDate)
{
    struct Case {
        int d, m, y, vid;
        double maximum;
    };
    for (const Case c : {Case{31, 8, 2007, 2, 1'612'500}, Case{1, 9, 2007, 2, 2'340'000},
                         Case{15, 6, 2008, 0, 1'725'000}, Case{15, 6, 2008, 5, 651'000}}) {
        SickWorld w(c.y, c.m, 1'000'000, c.y - 1, c.y - 1);
        SickLeaveSheet s = w.sheet(c.d, c.m, c.y, c.d, c.m, c.y, 100);
        s.vid = std::uint8_t(c.vid);
        SickLeaveTables t;
        ASSERT_GT(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 0) << c.d << "." << c.m << "." << c.y;
        EXPECT_DOUBLE_EQ(t.maximum, c.maximum) << c.d << "." << c.m << "." << c.y;
    }
    // Minimum wage of variant 3 (from the minimum wage): 72,000 on 31 August
    // 2005, 80,000 on 1 September 2005 and on 30 April 2006, 230,000 on 1 May 2006.
    struct Wage {
        int d, m, y;
        double w;
    };
    for (const Wage c :
         {Wage{31, 8, 2005, 72'000}, Wage{1, 9, 2005, 80'000}, Wage{30, 4, 2006, 80'000}, Wage{1, 5, 2006, 230'000}}) {
        SickWorld w(c.y, c.m, 1'000'000, c.y - 1, c.y - 1);
        SickLeaveSheet s = w.sheet(c.d, c.m, c.y, c.d, c.m, c.y, 100);
        s.alg = 2;
        SickLeaveTables t;
        ASSERT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), 3);
        EXPECT_DOUBLE_EQ(t.maximum, c.w);
    }
}

TEST(CalcSickLeaveBenefit, SheetChecks)
{
    SickWorld w(2026, 3, 3'000'000, 2025, 2025);
    SickLeaveTables t;
    SickLeaveSheet s = w.sheet(10, 3, 2026, 5, 3, 2026, 100);
    s.sum = 777;
    EXPECT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), kCalcSickLeaveDates);
    EXPECT_EQ(s.sum, 777) << "nothing written on an error";
    s = w.sheet(10, 3, 2026, 0, 0, 0, 100);
    EXPECT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), kCalcSickLeaveDates);
    s = w.sheet(1, 8, 2025, 5, 8, 2025, 100); // seven months before March
    EXPECT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), kCalcSickLeaveMonth);
    s = w.sheet(1, 3, 2026, 5, 11, 2026, 100); // over eight months
    EXPECT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), kCalcSickLeaveMonth);
    w.attr().sistOpl = 0;
    s = w.sheet(1, 3, 2026, 5, 3, 2026, 100);
    EXPECT_EQ(CalcSickLeaveBenefit(w.doc, s, t, nullptr, 0), kCalcNoPaymentSystem);
}

TEST(DaysInMonthOrYear, MonthsAndReportingYear)
{
    World w(2024, 5);
    EXPECT_EQ(DaysInMonthOrYear(w.doc, MonthIndex(2023, 2)), 28);
    EXPECT_EQ(DaysInMonthOrYear(w.doc, MonthIndex(2024, 2)), 29);
    EXPECT_EQ(DaysInMonthOrYear(w.doc, 0), 366);
    World w2(2025, 5);
    EXPECT_EQ(DaysInMonthOrYear(w2.doc, 0), 365);
}
