// The rows built from the month's inputs, one builder at a time on a
// salaried employee of March 2026 (22 working days of 8 hours, 10,560
// minutes, salary 44,000 roubles): the time sheet's surcharges, holidays,
// days off, overtime and study; the alternative time sheet's tariff, amount,
// worked-days and reversal lines and its refusals; the permanent payments of
// every base kind, their periods, recalculations and payouts.
#include "AveragesWorld.h"

#include "payroll/CalendarMath.h"
#include "payroll/MonthInputRows.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace averagestest;

namespace {

constexpr double kSalary = 4'400'000; // kopecks

struct InputWorld : World {
    std::array<AccrualRow, 66> rows{};
    CalcPass p{doc};

    InputWorld()
    {
        kinds({avgKind(1), avgKind(3), avgKind(4)});
        firm().procNgt = 40;
        head().oklad = kSalary;
        tabel().rabDn = 22;
        attr().sistOpl = 4;
        p.rows = rows.data();
        p.year = 2026;
        p.month = 3;
        p.nextMonth = 4;
        p.monthAfter = 5;
        p.monthLengths = MonthLengthsForYear(2026);
        p.slot = 1;
        p.paymentSystem = 4;
        p.plannedDays = 22;
        p.plannedMinutes = 10'560;
        p.dayLength = 480;
    }
    // code, amount, month, days, minutes of each row in order.
    std::vector<std::array<double, 5>> built() const
    {
        std::vector<std::array<double, 5>> out;
        for (int i = 0; i < p.count; ++i) {
            const AccrualRow& r = rows[std::size_t(i)];
            out.push_back({double(r.kod), r.sum, double(r.mes), double(r.dn), double(RowMinutes(r))});
        }
        return out;
    }
    void altLines(std::vector<AltTabelEntry> lines) { ASSERT_TRUE(doc.infoBase.altTabel.replaceRun(1, lines)); }
};

AltTabelEntry altLine(int code, int days, int minutes, double amount, int tariffRoubles = 0)
{
    AltTabelEntry e;
    e.kod = std::uint16_t(code);
    e.dn = std::uint16_t(days) & 63;
    e.hr = std::uint8_t(minutes / 60);
    e.min = std::uint16_t(minutes % 60) & 63;
    e.sumOklad = amount;
    e.tarif.rub = std::uint16_t(tariffRoubles) & 0x3FFF;
    return e;
}

} // namespace

TEST(SalaryAndTimeSheetRows, EverySurchargeOfTheSheetOnASalary)
{
    InputWorld w;
    TabelRecord& t = w.tabel();
    t.nHr = 120; // two night hours at the firm's 40 %
    t.prDn = 1; // a holiday worked, not planned
    t.vyhDn = 2; // two days off worked
    t.uchHr = 240; // four hours of study
    t.sverhHr = 180; // three hours of overtime, one of them at double pay
    t.sverhDvaHr = 60;
    t.uchDn = 2; // two study days at half the daily salary
    ASSERT_EQ(SalaryAndTimeSheetRows(w.p), 0);
    // Salary 44,000 / 22 days = 2,000 a day, / 176 hours = 250 an hour.
    const std::vector<std::array<double, 5>> expected = {
        {4, kSalary, 3, 22, 0},   {22, 20'000, 3, 0, 120}, // 250 x 2 h x 40 %
        {16, 200'000, 3, 1, 480}, // one day's salary
        {17, 200'000, 3, 0, 0},   {18, 400'000, 3, 2, 960}, // two days' salary, twice
        {19, 400'000, 3, 0, 0},   {61, 100'000, 3, 0, 240}, // 250 x 4 h
        {40, 75'000, 3, 0, 180}, // 250 x 3 h
        {41, 50'000, 3, 0, 0}, // 2 h at half, 1 h at the whole hourly rate
        {64, 200'000, 3, 2, 960}, // 1,000 a day
    };
    EXPECT_EQ(w.built(), expected);

    // The minimum wage raises the study days: 33,000 roubles / 22 = 1,500 a day.
    InputWorld low;
    low.tabel().uchDn = 2;
    low.doc.infoBase.config.mrot[2] = 33'000;
    ASSERT_EQ(SalaryAndTimeSheetRows(low.p), 0);
    ASSERT_EQ(low.p.count, 2);
    EXPECT_DOUBLE_EQ(low.rows[1].sum, 300'000);

    // A part of the month: the salary and the second part by the days worked.
    InputWorld part;
    part.tabel().rabDn = 11;
    part.head().nadbav = 440'000;
    ASSERT_EQ(SalaryAndTimeSheetRows(part.p), 0);
    const std::vector<std::array<double, 5>> half = {{4, kSalary / 2, 3, 11, 0}, {53, 220'000, 3, 0, 0}};
    EXPECT_EQ(part.built(), half);
}

TEST(SalaryAndTimeSheetRows, HourlyPayAndTheEmployeesOwnPercents)
{
    InputWorld w;
    w.p.paymentSystem = 2;
    w.head().tarifVrem.rub = 200; // 200 roubles an hour
    w.head().procVech = 25;
    w.tabel().rabHr = 8'400; // 140 hours
    w.tabel().vHr = 600; // 10 evening hours at the employee's own 25 %
    w.firm().procEvn = 50;
    ASSERT_EQ(SalaryAndTimeSheetRows(w.p), 0);
    const std::vector<std::array<double, 5>> expected = {
        {3, 2'800'000, 3, 22, 8'400},
        {21, 50'000, 3, 0, 600},
    };
    EXPECT_EQ(w.built(), expected);
}

TEST(AltTimeSheetRows, TariffAmountWorkedDaysAndReversal)
{
    InputWorld w;
    w.tabel().rabDn = 20;
    AltTabelEntry amount = altLine(1, 11, 0, 2'200'000);
    amount.procOpl = 50;
    amount.otd = 2;
    amount.storno = 1;
    AltTabelEntry earlier = altLine(1, 5, 0, 1'100'000);
    earlier.mes = 2;
    w.altLines({altLine(3, 0, 150, 0, 150), amount, altLine(1, 32, 0, 0), altLine(0, 3, 0, 100), earlier});
    ASSERT_EQ(AltTimeSheetRows(w.p), 0);
    const std::vector<std::array<double, 5>> expected = {
        {3, 37'500, 3, 0, 0}, // 150 roubles an hour x 2.5 h
        {1, -550'000, 3, 11, 0}, // 22,000 x 11 / 22 days at 50 %, reversed, with the shop's time
        {1, 4'000'000, 3, 0, 0}, // the salary for the 20 days worked
        {1, 1'100'000 * 5 / 20.0, 2, 0, 0}, // February: 20 working days
    };
    EXPECT_EQ(w.built(), expected);
    EXPECT_EQ(w.rows[1].otd, 2);
}

TEST(AltTimeSheetRows, LinesThatCannotBePaidAreRefused)
{
    InputWorld w;
    w.altLines({altLine(1, 2, 0, 100'000, 100)});
    EXPECT_EQ(AltTimeSheetRows(w.p), kCalcMeaningMismatch); // an amount and a tariff
    InputWorld unknown;
    unknown.altLines({altLine(55, 2, 0, 100'000)});
    EXPECT_EQ(AltTimeSheetRows(unknown.p), kCalcUnknownCode);
    InputWorld noMonth;
    AltTabelEntry line = altLine(1, 2, 0, 100'000);
    line.mes = 13;
    noMonth.altLines({line});
    EXPECT_EQ(AltTimeSheetRows(noMonth.p), kCalcRowWithoutMonth);
    // Nothing to pay and nothing worked: the line is passed over.
    InputWorld idle;
    idle.tabel().rabDn = 0;
    idle.altLines({altLine(1, 32, 0, 0)});
    EXPECT_EQ(AltTimeSheetRows(idle.p), 0);
    EXPECT_EQ(idle.p.count, 0);
}

namespace {

PostDoplEntry payment(int code, int kind, int tenthsPercent, double amount, int timeBasis)
{
    PostDoplEntry e;
    e.kod = std::uint16_t(code);
    e.vid = std::uint8_t(kind) & 7;
    e.procent = std::uint32_t(tenthsPercent);
    e.sum = amount;
    e.zavisOt = std::uint8_t(timeBasis) & 15;
    return e;
}

} // namespace

TEST(PermanentPaymentRows, EveryBaseKindPeriodRecalculationAndPayout)
{
    InputWorld w;
    std::vector<PayKind> kinds = {avgKind(1), avgKind(3), avgKind(4)};
    for (int code = 30; code <= 39; ++code) kinds.push_back(avgKind(code));
    w.kinds(kinds);
    w.tabel().rabDn = 11;
    w.tabel().nHr = 90;
    w.tabel().komDn = 3;
    w.head().tarifVrem.rub = 100;
    w.doc.infoBase.config.mrot[2] = 33'000;
    w.rows[w.p.count++] = row(36, 20'000, 3);
    w.rows[w.p.count++] = row(37, 10'000, 3, 4);

    auto& pay = w.doc.infoBase.current.postDopl;
    pay[0] = payment(30, 0, 100, 0, 0); // 10 % of the salary
    pay[1] = payment(31, 0, 200, 0, 1); // 20 % of the salary for the days worked
    pay[2] = payment(32, 1, 0, 0, 3); // the hourly tariff for the night hours
    pay[3] = payment(33, 2, 0, 5'000, 12); // 50 roubles a day of business trip
    pay[4] = payment(34, 3, 50, 0, 0); // 5 % of the minimum wage from the 16th
    pay[4].dBegin = 16;
    pay[4].mBegin = 3;
    pay[4].gBegin = 2026;
    pay[5] = payment(35, 0, 0, 100'000, 0); // 1,000 roubles paid out at once
    pay[5].mrp = 1;
    pay[6] = payment(36, 0, 0, 50'000, 0); // less what the month's rows paid already
    pay[6].perer = 1;
    pay[7] = payment(37, 0, 0, 60'000, 1); // replaces the month's rows, taking their days
    pay[7].perer = 2;
    pay[8] = payment(38, 5, 100, 0, 0); // a high kind: left to the second call
    ASSERT_EQ(PermanentPaymentRows(w.p, false), 0);
    const std::vector<std::array<double, 5>> expected = {
        {36, 20'000, 3, 0, 0},  {30, 440'000, 3, 0, 0},  {31, 440'000, 3, 0, 0}, // 880,000 x 11 / 22 days
        {32, 15'000, 3, 0, 0}, // 100 roubles x 1.5 h
        {33, 15'000, 3, 0, 0}, // 50 roubles x 3 days
        {34, 85'161, 3, 0, 0}, // 1,650 roubles x 16 / 31 days
        {35, 100'000, 3, 0, 0}, {904, 100'000, 3, 0, 0}, {36, 30'000, 3, 0, 0},
        {37, 30'000, 3, 4, 0}, // 600 roubles x 11 / 22 days, with the 4 days of the row it replaced
    };
    EXPECT_EQ(w.built(), expected);
}

TEST(PermanentPaymentRows, HighKindsOnTheBaseOfTheMonthsRows)
{
    InputWorld w;
    w.kinds({avgKind(4), avgKind(38), avgKind(39)});
    w.firm().masks[0][4] = 1; // the salary enters mask 1
    w.rows[w.p.count++] = row(4, kSalary, 3, 22);
    auto& pay = w.doc.infoBase.current.postDopl;
    pay[0] = payment(38, 5, 100, 0, 0); // 10 % of mask 1's base
    pay[1] = payment(39, 7, 0, 0, 0); // the service-years scale
    w.head().officerDatStag = date(1, 12, 2020); // six years by the test's today
    ASSERT_EQ(PermanentPaymentRows(w.p, false), 0);
    EXPECT_EQ(w.p.count, 1) << "high kinds wait for their own call";
    ASSERT_EQ(PermanentPaymentRows(w.p, true), 0);
    const std::vector<std::array<double, 5>> expected = {
        {4, kSalary, 3, 22, 0}, {38, 440'000, 3, 0, 0}, {39, 1'320'000, 3, 0, 0}, // 30 % from five years of service
    };
    EXPECT_EQ(w.built(), expected);
}

TEST(PermanentPaymentRows, UnknownCodesAndEmptyPeriodsAreRefused)
{
    InputWorld w;
    w.doc.infoBase.current.postDopl[0] = payment(55, 0, 100, 0, 0);
    EXPECT_EQ(PermanentPaymentRows(w.p, false), kCalcUnknownCode);
    InputWorld empty;
    PostDoplEntry e = payment(4, 0, 100, 0, 0);
    e.dBegin = 20;
    e.mBegin = 3;
    e.gBegin = 2026;
    e.dEnd = 10;
    e.mEnd = 3;
    e.gEnd = 2026;
    empty.doc.infoBase.current.postDopl[0] = e;
    EXPECT_EQ(PermanentPaymentRows(empty.p, false), kCalcBadPermanentPayment);
}
