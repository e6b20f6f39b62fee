// Monthly rates of salaried, piece-rate and hourly employees with permanent
// payments, rule rows and their periods; March 2026 has 22 working days of
// 8 hours (10,560 minutes) on the five-day schedule.
#include "AveragesWorld.h"

#include "payroll/MonthRate.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace averagestest;

namespace {

constexpr double kMinutes = 10560;

PostDoplEntry payment(int code, int tenthsPercent, int baseKind, int timeBasis = 0)
{
    PostDoplEntry p;
    p.kod = std::uint16_t(code);
    p.procent = std::uint32_t(tenthsPercent);
    p.vid = std::uint8_t(baseKind);
    p.zavisOt = std::uint8_t(timeBasis);
    return p;
}

struct Rates {
    int result;
    double base, full;
};

Rates rates(World& w, double start = -1)
{
    Rates r{0, start, start};
    r.result = CalcMonthRate(r.base, r.full, w.doc, 1);
    return r;
}

} // namespace

TEST(CalcMonthRate, SalariedWithPermanentPayments)
{
    World w;
    w.kinds({avgKind(4), avgKind(50, 0, 0, 1), avgKind(51), avgKind(52, 0, 0, 1)});
    w.attr().sistOpl = 4;
    w.head().oklad = 3'000'000;
    auto& pd = w.doc.infoBase.current.postDopl;
    pd[0] = payment(50, 150, 0); // 15 % of the salary, in the rate
    pd[1] = payment(51, 100, 0); // 10 %, a kind outside the sick-leave base
    Rates r = rates(w);
    EXPECT_EQ(r.result, 0);
    EXPECT_DOUBLE_EQ(r.base, 3'000'000);
    EXPECT_DOUBLE_EQ(r.full, 3'450'000);

    pd[2] = payment(52, 0, 0); // percent 0 is 100 %
    r = rates(w);
    EXPECT_DOUBLE_EQ(r.full, 6'450'000);

    // A percent of every component so far (base kind 5, selector above 21).
    pd[3] = payment(52, 100, 5);
    pd[3].mask = 22;
    r = rates(w);
    EXPECT_DOUBLE_EQ(r.full, 6'450'000 + 0.1 * (3'000'000 + 450'000 + 300'000 + 3'000'000));
}

TEST(CalcMonthRate, PieceRateWithRuleRows)
{
    World w;
    w.kinds({avgKind(1, 0, 0, 1), avgKind(60, 0, 0, 1)});
    w.attr().sistOpl = 1;
    w.head().tarifSdel.rub = 150; // 15,000 kopecks an hour
    auto& stag = w.firm().stag;
    stag[0].kod = 60; // an amount for the whole month
    stag[0].sum = 100'000;
    Rates r = rates(w);
    EXPECT_EQ(r.result, 0);
    EXPECT_DOUBLE_EQ(r.base, 15'000);
    EXPECT_DOUBLE_EQ(r.full, (15'000 * kMinutes / 60 + 100'000) / kMinutes * 60);

    // 10 % on the own rate from the day the employee turns 50 (16 March): the
    // planned days 16-31 are 12 of 22.
    w.head().datR = date(16, 3, 1976);
    stag[1].kod = 1;
    stag[1].kak = 1;
    stag[1].sum = 1000;
    stag[1].vozMin = 600;
    r = rates(w);
    const double own = 15'000 * kMinutes / 60;
    EXPECT_NEAR(r.full, (own + own * 12 / 22 * 0.10 + 100'000) / kMinutes * 60, 1e-9);

    // With the time sheet's day mask agreeing with rabDn, the marked days decide:
    // 20 days worked, 8 of them from the 16th on.
    auto& t = w.tabel();
    t.rabDn = 20;
    t.tabel12 = 0;
    for (int d : {2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15}) t.tabel12 |= std::uint16_t(1u << d);
    t.tabel22 = 0;
    for (int d : {16, 17, 18, 19, 20, 23, 24, 25}) t.tabel22 |= std::uint16_t(1u << (d - 16));
    r = rates(w);
    EXPECT_NEAR(r.full, (own + own * 8 / 20 * 0.10 + 100'000) / kMinutes * 60, 1e-9);
}

TEST(CalcMonthRate, HourlyWithPartMonthPayment)
{
    World w;
    w.kinds({avgKind(3, 0, 0, 1), avgKind(70, 0, 0, 1)});
    w.attr().sistOpl = 2;
    w.head().tarifVrem.rub = 200; // 20,000 kopecks an hour
    Rates r = rates(w);
    EXPECT_DOUBLE_EQ(r.base, 20'000);
    EXPECT_DOUBLE_EQ(r.full, 20'000);

    // 50 % of the hourly pay from 16 March, by planned minutes: 12 of 22 days.
    auto& p = w.doc.infoBase.current.postDopl[0];
    p = payment(70, 500, 1, 1);
    p.dBegin = 16;
    p.mBegin = 3;
    p.gBegin = 2026;
    r = rates(w);
    const double own = 20'000 * kMinutes / 60;
    EXPECT_NEAR(r.full, (own + own * 0.5 * 12 / 22) / kMinutes * 60, 1e-9);

    // Ending before it begins within the month: the payment is wrong.
    p.dEnd = 10;
    p.mEnd = 3;
    p.gEnd = 2026;
    EXPECT_EQ(rates(w).result, kCalcBadPermanentPayment);
    // Ended last month: skipped.
    p.mEnd = 2;
    r = rates(w);
    EXPECT_EQ(r.result, 0);
    EXPECT_DOUBLE_EQ(r.full, 20'000);
}

TEST(CalcMonthRate, OtherPaymentSystems)
{
    World w;
    w.kinds({avgKind(3, 0, 0, 1)});
    w.head().oklad = 2'112'000;
    w.attr().sistOpl = 3; // no time rate: the salary per planned hour
    Rates r = rates(w);
    EXPECT_DOUBLE_EQ(r.base, 2'112'000 / kMinutes * 60);

    for (int system : {0, 5, 7}) {
        w.attr().sistOpl = std::uint8_t(system);
        r = rates(w, 77);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.base, 77);
        EXPECT_EQ(r.full, 77);
    }
}

TEST(RateHistory, MonthsBackAndGaps)
{
    World w;
    auto& h = w.doc.infoBase.current.rates;
    h[0].rate = 500; // the month before the reporting month
    h[2].rate = 300;
    EXPECT_EQ(RateMonthsBack(w.doc, 0, 900), 900);
    EXPECT_EQ(RateMonthsBack(w.doc, 1, 900), 500);
    EXPECT_EQ(RateMonthsBack(w.doc, 2, 900), 0);
    EXPECT_EQ(RateMonthsBack(w.doc, 13, 900), 0);
    double filled[13];
    FilledRateHistory(w.doc, 900, filled);
    EXPECT_EQ(filled[1], 500);
    EXPECT_EQ(filled[2], 500);
    EXPECT_EQ(filled[3], 300);
    EXPECT_EQ(filled[12], 300);
}
