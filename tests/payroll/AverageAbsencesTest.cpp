// Absences paid at the average of the last twelve months: business-trip days
// and course hours by day and by hour averages, idle time at the firm's
// percent, the indexation by a general pay rise, and the unpaid marker.
#include "AveragesWorld.h"

#include "payroll/AverageAbsences.h"
#include "payroll/CalendarMath.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace averagestest;

namespace {

// A salaried employee with twelve months of 30,000 roubles, 20 days and
// `hours` hours each, from March 2025 to February 2026.
struct AbsenceWorld : World {
    std::array<AccrualRow, 66> rows{};
    CalcPass p{doc};

    explicit AbsenceWorld(int hours = 160)
    {
        PayKind salary = avgKind(4);
        salary.enSrZar = 1;
        kinds({salary, avgKind(62), avgKind(65), avgKind(66), avgKind(72), avgKind(154), avgKind(600)});
        attr().sistOpl = 4;
        head().oklad = 3'000'000;
        for (int k = 1; k <= 12; ++k) {
            const int c = MonthIndex(2026, 3) - k;
            addArchive(archive(4, 3'000'000, (c - 1) / 12 + 1900, (c - 1) % 12 + 1, 20, hours));
        }
        p.rows = rows.data();
        p.year = 2026;
        p.month = 3;
        p.nextMonth = 4;
        p.monthAfter = 5;
        p.monthLengths = MonthLengthsForYear(2026);
        p.slot = 1;
        p.dayLength = 480;
    }
    const AccrualRow* find(int code) const
    {
        for (int i = 0; i < p.count; ++i)
            if (rows[std::size_t(i)].kod == code)
                return &rows[std::size_t(i)];
        return nullptr;
    }
};

} // namespace

TEST(AbsenceAverageRows, ByDaysAndByHours)
{
    AbsenceWorld w;
    w.tabel().komDn = 3; // business trip
    w.tabel().kvalHr = 240; // four hours of courses
    ASSERT_EQ(AbsenceAverageRows(w.p), 0);
    // 360,000 roubles over 240 days: 1,500 a day, 187.50 an hour.
    const AccrualRow* trip = w.find(66);
    ASSERT_NE(trip, nullptr);
    EXPECT_DOUBLE_EQ(trip->sum, 450'000);
    EXPECT_EQ(trip->dn, 3);
    const AccrualRow* course = w.find(72);
    ASSERT_NE(course, nullptr);
    EXPECT_DOUBLE_EQ(course->sum, 75'000);
    EXPECT_EQ(course->hr, 4);
    EXPECT_EQ(w.find(600), nullptr);

    // Averages per hour: 150 hours a month give 200 roubles an hour and
    // 1,600 roubles for an 8-hour day.
    AbsenceWorld h(150);
    h.head().flags |= 2u; // srZarabDnChas
    h.tabel().komDn = 3;
    h.tabel().kvalHr = 240;
    AverageRates rates;
    ASSERT_EQ(CalcAbsenceAverageRates(h.p, rates), 0);
    EXPECT_DOUBLE_EQ(rates.hourly, 20'000);
    EXPECT_DOUBLE_EQ(rates.daily, 160'000);
    ASSERT_EQ(AbsenceAverageRows(h.p), 0);
    EXPECT_DOUBLE_EQ(h.find(66)->sum, 480'000);
    EXPECT_DOUBLE_EQ(h.find(72)->sum, 80'000);
}

TEST(AbsenceAverageRows, IdleTimeUnpaidAndIndexation)
{
    AbsenceWorld w;
    w.firm().procProst = 50;
    w.tabel().prostHr = 120;
    w.tabel().bezsodDn = 2;
    ASSERT_EQ(AbsenceAverageRows(w.p), 0);
    EXPECT_DOUBLE_EQ(w.find(62)->sum, 18'750); // half of two hours at 187.50
    const AccrualRow* unpaid = w.find(600);
    ASSERT_NE(unpaid, nullptr);
    EXPECT_DOUBLE_EQ(unpaid->sum, 100);
    EXPECT_EQ(unpaid->dn, 2);

    // A general rise in January 2026 from 30,000 to 33,000: the ten months
    // before it count 10 % more.
    AbsenceWorld r;
    r.head().oklad = 3'300'000;
    auto& history = r.doc.infoBase.current.rates;
    for (int k = 0; k < 12; ++k) history[std::size_t(k)].rate = k < 2 ? 3'300'000 : 3'000'000;
    r.doc.infoBase.config.okrugWord = std::uint16_t(1u << (3 + 1));
    r.tabel().drRabDn = 1;
    ASSERT_EQ(AbsenceAverageRows(r.p), 0);
    EXPECT_DOUBLE_EQ(r.find(65)->sum, RoundWhole((2 * 3'000'000 + 10 * 3'300'000) / 240.0));

    // A ratio above 10 counts as 1.
    history[1].rate = 40'000'000;
    AverageRates rates;
    ASSERT_EQ(CalcAbsenceAverageRates(r.p, rates), 0);
    EXPECT_DOUBLE_EQ(rates.daily, 36'000'000 / 240.0);
}

TEST(AbsenceAverageRows, NoAbsenceOrNoEarnings)
{
    AbsenceWorld w;
    AverageRates rates{1, 1};
    ASSERT_EQ(CalcAbsenceAverageRates(w.p, rates), 0);
    EXPECT_EQ(rates.daily, 0);
    EXPECT_EQ(rates.hourly, 0);

    AbsenceWorld empty;
    empty.doc.infoBase.current.warKv = 0;
    empty.tabel().komDn = 2;
    empty.tabel().bezsodHr = 90;
    ASSERT_EQ(AbsenceAverageRows(empty.p), 0);
    EXPECT_EQ(empty.find(66), nullptr) << "no average, no row";
    const AccrualRow* unpaid = empty.find(600);
    ASSERT_NE(unpaid, nullptr);
    EXPECT_EQ(unpaid->hr, 1);
    EXPECT_EQ(unpaid->min, 30);
}
