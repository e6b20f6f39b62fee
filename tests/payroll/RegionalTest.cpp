// The regional coefficient and the northern allowance on a month's salary:
// the allowance capped at its maximum number of steps, a month split on the
// anniversary of northern service, the top-up on a second run, and the
// supplements on vacation pay.
#include "AveragesWorld.h"

#include "payroll/CalendarMath.h"
#include "payroll/Regional.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace averagestest;

namespace {

struct PassWorld : World {
    std::array<AccrualRow, 66> rows{};
    CalcPass p{doc};

    PassWorld()
    {
        PayKind salary = avgKind(4);
        salary.enKoefRS = 1;
        PayKind vacation = avgKind(85);
        vacation.enKoefRS = 1;
        kinds({salary, vacation, avgKind(82), avgKind(83), avgKind(101), avgKind(102), avgKind(103), avgKind(104)});
        p.rows = rows.data();
        p.year = 2026;
        p.month = 3;
        p.nextMonth = 4;
        p.monthAfter = 5;
        p.monthLengths = MonthLengthsForYear(2026);
        p.slot = 1;
        p.dayLength = 480;
        rows[p.count++] = row(4, 5'000'000, 3, 22);
    }
    const AccrualRow* find(int code, int month = 3) const
    {
        for (int i = 0; i < p.count; ++i)
            if (rows[std::size_t(i)].kod == code && rows[std::size_t(i)].mes == month)
                return &rows[std::size_t(i)];
        return nullptr;
    }
    double sum(int code, int month = 3) const
    {
        double s = 0;
        for (int i = 0; i < p.count; ++i)
            if (rows[std::size_t(i)].kod == code && rows[std::size_t(i)].mes == month)
                s += rows[std::size_t(i)].sum;
        return s;
    }
};

} // namespace

TEST(RegionalNorthernRows, NorthernAllowanceReachesItsMaximum)
{
    PassWorld w;
    w.firm().procRaj = 15;
    w.firm().procSev = 10;
    w.firm().periodSevNad = 12;
    w.firm().maxKvSevNad = 5;
    w.head().datSevStag = date(10, 1, 2015); // eleven years: twelve steps, five allowed
    ASSERT_EQ(RegionalNorthernRows(w.p, false), 0);
    EXPECT_DOUBLE_EQ(w.sum(83), 750'000);
    EXPECT_DOUBLE_EQ(w.sum(82), 2'500'000);
    EXPECT_EQ(w.find(104), nullptr);
    EXPECT_EQ(w.find(103), nullptr);

    // A second run tops up nothing.
    const int count = w.p.count;
    ASSERT_EQ(RegionalNorthernRows(w.p, false), 0);
    EXPECT_EQ(w.p.count, count);

    // A raise of the salary is topped up by the difference only.
    w.rows[0].sum = 6'000'000;
    ASSERT_EQ(RegionalNorthernRows(w.p, false), 0);
    EXPECT_DOUBLE_EQ(w.sum(83), 900'000);
    EXPECT_DOUBLE_EQ(w.sum(82), 3'000'000);
}

TEST(RegionalNorthernRows, MonthSplitOnTheAnniversary)
{
    PassWorld w;
    w.firm().procSev = 10;
    w.firm().periodSevNad = 12;
    w.head().datSevStag = date(15, 3, 2023); // 36 months: 3 steps before the 15th, 4 from it
    ASSERT_EQ(RegionalNorthernRows(w.p, false), 0);
    EXPECT_EQ(w.find(83), nullptr) << "no regional coefficient without procRaj";
    const double share = 14.0 / 31;
    EXPECT_DOUBLE_EQ(w.sum(82), RoundWhole(5'000'000 * (1 - share) * 0.4 + 5'000'000 * share * 0.3));

    // With the time sheet's days: 20 worked days, 9 of them before the 15th.
    PassWorld v;
    v.firm().procSev = 10;
    v.firm().periodSevNad = 12;
    v.head().datSevStag = date(15, 3, 2023);
    auto& t = v.tabel();
    t.rabDn = 20;
    for (int d : {2, 3, 4, 5, 6, 9, 10, 11, 12}) t.tabel12 |= std::uint16_t(1u << d);
    for (int d : {16, 17, 18, 19, 20, 23, 24, 25, 26, 27, 30}) t.tabel22 |= std::uint16_t(1u << (d - 16));
    ASSERT_EQ(RegionalNorthernRows(v.p, false), 0);
    EXPECT_DOUBLE_EQ(v.sum(82), RoundWhole(5'000'000 * 0.55 * 0.4 + 5'000'000 * 0.45 * 0.3));

    // A day mask that disagrees with rabDn cannot split the month.
    v.tabel().rabDn = 21;
    EXPECT_EQ(RegionalNorthernRows(v.p, false), kCalcDayMaskMismatch);

    // With the maximum at 3 steps the month is not split.
    v.firm().maxKvSevNad = 3;
    v.p.count = 1;
    ASSERT_EQ(RegionalNorthernRows(v.p, false), 0);
    EXPECT_DOUBLE_EQ(v.sum(82), 1'500'000);
}

TEST(RegionalNorthernRows, ServiceStartsAndOnAverages)
{
    PassWorld w;
    w.firm().procSev = 10;
    w.head().datSevStag = date(10, 3, 2026); // no period: full percent from the 10th
    ASSERT_EQ(RegionalNorthernRows(w.p, false), 0);
    EXPECT_DOUBLE_EQ(w.sum(82), RoundWhole(5'000'000 * (22.0 / 31) * 0.1));

    PassWorld later;
    later.firm().procSev = 10;
    later.head().datSevStag = date(1, 4, 2026); // starts next month
    ASSERT_EQ(RegionalNorthernRows(later.p, false), 0);
    EXPECT_EQ(later.find(82), nullptr);

    // Vacation pay of March and April: the supplements on averages.
    PassWorld v;
    v.firm().procRaj = 20;
    v.firm().procSev = 10;
    v.head().datSevStag = date(10, 1, 2020);
    v.p.vacationWindow = true; // as the accrual pass opens it: April is next month
    v.rows[v.p.count++] = row(85, 1'000'000, 3, 10);
    v.rows[v.p.count++] = row(85, 500'000, 4, 5);
    ASSERT_EQ(RegionalNorthernRows(v.p, true), 0);
    EXPECT_DOUBLE_EQ(v.sum(102, 3), 200'000);
    EXPECT_DOUBLE_EQ(v.sum(102, 4), 100'000);
    EXPECT_DOUBLE_EQ(v.sum(101, 3), 100'000);
    EXPECT_DOUBLE_EQ(v.sum(101, 4), 50'000);
    EXPECT_EQ(v.find(83), nullptr);

    // Kind 83 entering the vacation average: no regional row on averages.
    PassWorld in;
    in.firm().procRaj = 20;
    auto kinds = in.doc.infoBase.payKinds();
    for (auto& k : kinds)
        if (k.kod == 83)
            k.enOtp = 1;
    in.kinds(kinds);
    in.rows[in.p.count++] = row(85, 1'000'000, 3, 10);
    ASSERT_EQ(RegionalNorthernRows(in.p, true), 0);
    EXPECT_EQ(in.find(102), nullptr);
}
