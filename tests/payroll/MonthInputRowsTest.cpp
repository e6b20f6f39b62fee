// The rows built from the month's inputs, one builder at a time on a
// salaried employee of March 2026 (22 working days of 8 hours, 10,560
// minutes, salary 44,000 roubles): the time sheet's surcharges, holidays,
// days off, overtime and study; the alternative time sheet's tariff, amount,
// worked-days and reversal lines and its refusals.
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
        p.idx = 0;
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
    void altLines(std::vector<AltTabelEntry> lines)
    {
        ASSERT_TRUE(doc.infoBase.altTabel.replaceRun(1, lines));
    }
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
    t.nHr = 120;      // two night hours at the firm's 40 %
    t.prDn = 1;       // a holiday worked, not planned
    t.vyhDn = 2;      // two days off worked
    t.uchHr = 240;    // four hours of study
    t.sverhHr = 180;  // three hours of overtime, one of them at double pay
    t.sverhDvaHr = 60;
    t.uchDn = 2;      // two study days at half the daily salary
    ASSERT_EQ(SalaryAndTimeSheetRows(w.p), 0);
    // Salary 44,000 / 22 days = 2,000 a day, / 176 hours = 250 an hour.
    const std::vector<std::array<double, 5>> expected = {
        {4, kSalary, 3, 22, 0},
        {22, 20'000, 3, 0, 120},    // 250 x 2 h x 40 %
        {16, 200'000, 3, 1, 480},   // one day's salary
        {17, 200'000, 3, 0, 0},
        {18, 400'000, 3, 2, 960},   // two days' salary, twice
        {19, 400'000, 3, 0, 0},
        {61, 100'000, 3, 0, 240},   // 250 x 4 h
        {40, 75'000, 3, 0, 180},    // 250 x 3 h
        {41, 50'000, 3, 0, 0},      // 2 h at half, 1 h at the whole hourly rate
        {64, 200'000, 3, 2, 960},   // 1,000 a day
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
    w.tabel().rabHr = 8'400;      // 140 hours
    w.tabel().vHr = 600;          // 10 evening hours at the employee's own 25 %
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
        {3, 37'500, 3, 0, 0},         // 150 roubles an hour x 2.5 h
        {1, -550'000, 3, 11, 0},      // 22,000 x 11 / 22 days at 50 %, reversed, with the shop's time
        {1, 4'000'000, 3, 0, 0},      // the salary for the 20 days worked
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
