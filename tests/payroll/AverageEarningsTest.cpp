// Vacation pay from the average earnings of a worked year: months not fully
// worked, a monthly bonus taken in proportion, a bonus taken in full,
// quarterly bonuses, the rise coefficient of a general pay rise; the split of
// a vacation over months, compensation, and the checks of the line.
#include "AveragesWorld.h"

#include "payroll/AverageEarnings.h"
#include "payroll/CalcErrors.h"
#include "payroll/MonthRate.h"
#include "payroll/Rounding.h"
#include "payroll/SickLeave.h"
#include "support/TestFixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kalvor;
using namespace averagestest;

namespace {

// A salaried employee (system 4) hired in 2020 with a worked year from March
// 2025 to February 2026 in the archive; a general pay rise in January 2026
// took the salary from 50,000 to 55,000 roubles.
struct YearWorld : World {
    YearWorld()
    {
        kinds({avgKind(4, 1, 1), // salary: class 1, indexed
               avgKind(7, 1, 0), // quarterly bonus, not indexed
               avgKind(20, 2, 1), // monthly bonus: class 2, indexed, in proportion
               avgKind(30, 3, 1), // a bonus taken in full, indexed
               avgKind(85), avgKind(87), avgKind(89), avgKind(155), avgKind(600)});
        attr().sistOpl = 4;
        head().oklad = 5'500'000;
        head().datPr1 = date(1, 1, 2020);
        auto& rates = doc.infoBase.current.rates;
        for (int k = 0; k < 12; ++k) rates[std::size_t(k)].rate = k < 2 ? 5'500'000 : 5'000'000;
        doc.infoBase.config.okrugWord = std::uint16_t(1u << (3 + 1)); // korr1: a rise in January

        for (int m = 3; m <= 12; ++m) {
            const bool june = m == 6, november = m == 11;
            addArchive(archive(4,
                               june       ? 3'000'000
                               : november ? 3'500'000
                                          : 5'000'000,
                               2025, m,
                               june       ? 12
                               : november ? 14
                                          : 20));
            addArchive(archive(20, 1'000'000, 2025, m));
        }
        for (int m = 1; m <= 2; ++m) {
            addArchive(archive(4, 5'500'000, 2026, m, 20));
            addArchive(archive(20, 1'000'000, 2026, m));
        }
        addArchive(archive(600, 100, 2025, 6, 10)); // 10 days unpaid in June
        addArchive(archive(155, 200'000, 2025, 11, 9)); // 9 days of sick leave in November
        addArchive(archive(7, 500'000, 2025, 3)); // first quarter, pushed aside by January's
        addArchive(archive(7, 600'000, 2025, 4));
        addArchive(archive(7, 800'000, 2025, 7));
        addArchive(archive(7, 700'000, 2025, 10));
        addArchive(archive(7, 900'000, 2026, 1));
        addArchive(archive(30, 1'200'000, 2025, 12));
    }

    VacationNote vacation(int day, int month, int year, int days)
    {
        VacationNote v;
        v.dBegin = std::uint16_t(day);
        v.mBegin = std::uint16_t(month);
        v.gBegin = std::uint16_t(year);
        v.dlin = std::uint16_t(days);
        v.kalend = 1;
        v.alg = 1;
        return v;
    }

    std::array<AccrualRow, EmployeeRecord::RowCount> rows{};
};

} // namespace

TEST(CalcAverageEarnings, VacationPayOfAWorkedYear)
{
    YearWorld w;
    CalcWorkBuffer detail;
    const int r = CalcAverageEarnings(w.doc, w.vacation(10, 3, 2026, 14), 0, 0, w.rows.data(), 0, &detail);
    ASSERT_EQ(r, 1);

    // Full months: (salary 50,000 + monthly bonus 10,000 + a twelfth of the
    // full bonus 1,000) x 1.1 + a twelfth of the four quarterly bonuses 2,500
    // = 69,600 roubles; June (20 of 30 days counted) 43,566.67; November (21
    // of 30) 49,470; January and February 2026, after the rise, 68,500.
    EXPECT_DOUBLE_EQ(detail.months[4].total, 78'683'667);
    // 10 whole months x 29.4 + 20 x 29.4 / 30 + 21 x 29.4 / 30 days.
    EXPECT_NEAR(detail.months[0].total, 334.18, 1e-9);
    EXPECT_DOUBLE_EQ(detail.months[1].total, 235'453);

    // The latest month first: February 2026 without a coefficient, December
    // 2025 raised by 10 %.
    EXPECT_EQ(detail.months[0].month, 226);
    EXPECT_EQ(detail.months[0].coefficient, 100);
    EXPECT_DOUBLE_EQ(detail.months[2].month, 1225);
    EXPECT_NEAR(detail.months[2].coefficient, 110, 1e-9);
    EXPECT_NEAR(detail.months[8].earnings, 1'100'000 * 2.0 / 3 + 3'000'000 + 250'000, 1e-6); // June

    const AccrualRow& pay = w.rows[0];
    EXPECT_EQ(pay.kod, 85);
    EXPECT_EQ(pay.mes, 3);
    EXPECT_EQ(pay.dn, 14);
    EXPECT_DOUBLE_EQ(pay.sum, 235'453.0 * 14);
    EXPECT_EQ(w.rows[1].kod, 0);
}

TEST(CalcAverageEarnings, VacationOverTwoMonthsAndMarker)
{
    YearWorld w;
    w.firm().parWord = 8; // report the months of a vacation that runs on
    const int r = CalcAverageEarnings(w.doc, w.vacation(25, 3, 2026, 14), 0, 0, w.rows.data(), 0, nullptr);
    ASSERT_GE(r, 0);
    EXPECT_EQ(r & 0xFF, 2);
    EXPECT_EQ(r >> 8, 1) << "ends on 7 April, before the 16th";
    EXPECT_EQ(w.rows[0].kod, 85);
    EXPECT_EQ(w.rows[0].dn, 7);
    EXPECT_EQ(w.rows[1].kod, 87);
    EXPECT_EQ(w.rows[1].mes, 4);
    EXPECT_EQ(w.rows[1].dn, 7);
    EXPECT_DOUBLE_EQ(w.rows[0].sum, w.rows[1].sum);
}

TEST(CalcAverageEarnings, CompensationAndLineChecks)
{
    YearWorld w;
    VacationNote comp;
    comp.dlin = 10;
    comp.dlinHundredths = 50;
    comp.kalend = 1;
    comp.alg = 1;
    int r = CalcAverageEarnings(w.doc, comp, 0, 0, w.rows.data(), 0, nullptr);
    ASSERT_EQ(r, 1);
    EXPECT_EQ(w.rows[0].kod, 89);
    EXPECT_EQ(w.rows[0].mes, 3);
    EXPECT_DOUBLE_EQ(w.rows[0].sum, RoundWhole(235'453 * 10.5));

    EXPECT_EQ(CalcAverageEarnings(w.doc, w.vacation(1, 7, 2025, 14), 0, 0, w.rows.data(), 0, nullptr),
              kCalcBadVacationStart)
        << "eight months before the reporting month";
    EXPECT_EQ(CalcAverageEarnings(w.doc, w.vacation(20, 3, 2026, 100), 0, 0, w.rows.data(), 0, nullptr),
              kCalcBadVacationLength);
    w.doc.infoBase.scheduleAt(1).rdHr = 0;
    EXPECT_EQ(CalcAverageEarnings(w.doc, w.vacation(20, 3, 2026, 5), 0, 0, w.rows.data(), 0, nullptr),
              kCalcNoDayLength);
}

TEST(CalcAverageEarnings, MonthDivisorsByDateAndRule)
{
    // By months (alg 0): the daily average divides the monthly one by 29.6 for
    // a vacation on 5 October 2006, by 29.4 from 6 October 2006.
    for (auto [day, divisor] : {std::pair{5, 29.6}, std::pair{6, 29.4}}) {
        World w(2006, 10);
        w.kinds({avgKind(4, 1, 0), avgKind(85)});
        w.attr().sistOpl = 4;
        w.head().oklad = 1'000'000;
        for (int m = 1; m <= 9; ++m) w.addArchive(archive(4, 1'000'000, 2006, m, 20));
        for (int m = 10; m <= 12; ++m) w.addArchive(archive(4, 1'000'000, 2005, m, 20));
        VacationNote v;
        v.dBegin = std::uint16_t(day);
        v.mBegin = 10;
        v.gBegin = 2006;
        v.dlin = 1;
        v.kalend = 1;
        v.alg = 0;
        CalcWorkBuffer detail;
        std::array<AccrualRow, 66> rows{};
        ASSERT_EQ(CalcAverageEarnings(w.doc, v, 0, 0, rows.data(), 0, &detail), 1);
        EXPECT_DOUBLE_EQ(detail.months[3].total, 12);
        EXPECT_DOUBLE_EQ(rows[0].sum, RoundWhole(1'000'000 / divisor));
    }
}

TEST(SplitVacationDays, CalendarDaysAndWorkingDays)
{
    World w;
    VacationNote v;
    v.dBegin = 20;
    v.mBegin = 3;
    v.gBegin = 2026;
    v.dlin = 28;
    v.kalend = 1;
    VacationSplit split;
    ASSERT_EQ(SplitVacationDays(w.doc, v, 0, MonthIndex(2026, 3), split), 0);
    EXPECT_EQ(split.counts, (std::vector<int>{12, 16}));
    EXPECT_EQ(split.endMarker, 2);

    // Working days of the schedule (kalend 4, and 3 as the entry screen
    // offers it): 20 March is a Friday; ten working days reach 2 April.
    for (std::uint16_t kalend : {3, 4}) {
        v.kalend = kalend;
        v.dlin = 5;
        ASSERT_EQ(SplitVacationDays(w.doc, v, 0, MonthIndex(2026, 3), split), 0);
        EXPECT_EQ(split.counts, (std::vector<int>{5}));
        v.dlin = 10;
        ASSERT_EQ(SplitVacationDays(w.doc, v, 0, MonthIndex(2026, 3), split), 0);
        EXPECT_EQ(split.counts, (std::vector<int>{8, 2})) << "kalend " << kalend;
    }
    // The six-day week (kalend 2) skips Sundays only: 20-31 March less 22 and 29.
    v.kalend = 2;
    ASSERT_EQ(SplitVacationDays(w.doc, v, 0, MonthIndex(2026, 3), split), 0);
    EXPECT_EQ(split.counts, (std::vector<int>{10}));

    // A public holiday on 8 March inside a calendar-day vacation is not counted.
    w.firm().fete[0] = std::uint16_t(8 * 256 + 3);
    v.kalend = 1;
    v.dBegin = 1;
    v.dlin = 10;
    ASSERT_EQ(SplitVacationDays(w.doc, v, 0, MonthIndex(2026, 3), split), 0);
    EXPECT_EQ(split.counts, (std::vector<int>{10}));
    EXPECT_EQ(split.endMarker, 1);

    v.dlin = 120;
    EXPECT_EQ(SplitVacationDays(w.doc, v, 0, MonthIndex(2026, 3), split), kCalcBadVacationLength);
}

TEST(ComparePeriodEntries, DateThenBudget)
{
    auto line = [](int d, int m, int y, int budg) {
        VacationNote v;
        v.dBegin = std::uint16_t(d);
        v.mBegin = std::uint16_t(m);
        v.gBegin = std::uint16_t(y);
        v.budg = std::uint16_t(budg);
        return v;
    };
    EXPECT_EQ(ComparePeriodEntries(line(1, 3, 2026, 0), line(2, 3, 2026, 0)), -1);
    EXPECT_EQ(ComparePeriodEntries(line(1, 1, 2027, 0), line(31, 12, 2026, 0)), 1);
    EXPECT_EQ(ComparePeriodEntries(line(1, 3, 2026, 2), line(1, 3, 2026, 1)), 1);
    EXPECT_EQ(ComparePeriodEntries(line(1, 3, 2026, 0), line(1, 3, 2026, 0)), 0);
}

TEST(AverageHelpers, DaysEmployedAndNorthernFraction)
{
    World w;
    w.head().datPr1 = date(10, 2, 2024);
    w.head().datUv1 = date(20, 3, 2026);
    EXPECT_EQ(DaysEmployedInMonth(w.doc, MonthIndex(2024, 1)), 0);
    EXPECT_EQ(DaysEmployedInMonth(w.doc, MonthIndex(2024, 2)), 20); // 10-29 February 2024
    EXPECT_EQ(DaysEmployedInMonth(w.doc, MonthIndex(2025, 2)), 28);
    EXPECT_EQ(DaysEmployedInMonth(w.doc, MonthIndex(2026, 3)), 19);
    EXPECT_EQ(DaysEmployedInMonth(w.doc, MonthIndex(2026, 4)), 0);

    w.firm().procSev = 10;
    EXPECT_EQ(NorthernAllowancePercent(w.doc, MonthIndex(2026, 3)), 0) << "no northern-service date";
    w.head().datSevStag = date(15, 3, 2023);
    w.firm().periodSevNad = 12;
    EXPECT_DOUBLE_EQ(NorthernAllowancePercent(w.doc, MonthIndex(2026, 3)), 0.4);
    w.firm().maxKvSevNad = 3;
    EXPECT_DOUBLE_EQ(NorthernAllowancePercent(w.doc, MonthIndex(2026, 3)), 0.3);
}

TEST(AveragesOnTheFixtureBase, EveryEmployeeComputesWithoutFault)
{
    // The realistic base of the fixture: every employee's rate, vacation lines
    // and sick-leave sheets give a result code and finite amounts.
    kalvor::ScopedToday today(QDate(2026, 12, 1));
    PayrollDoc doc;
    FixtureBase fixture = BuildFixtureBase(doc.infoBase, 40);
    int vacations = 0, sheets = 0;
    for (int i = 0; i < int(fixture.records.size()); ++i) {
        doc.infoBase.current = fixture.records[std::size_t(i)];
        doc.infoBase.currentSlot = i + 1;
        double base = 0, full = 0;
        const int r = CalcMonthRate(base, full, doc, i + 1);
        EXPECT_LE(r, 0);
        EXPECT_TRUE(std::isfinite(base) && std::isfinite(full));
        for (VacationNote v : doc.infoBase.otp.run(i + 1)) {
            std::array<AccrualRow, 66> rows{};
            const int n = CalcAverageEarnings(doc, v, EmployeeScheduleNumber(doc, i + 1), 0, rows.data(), 0, nullptr);
            if (n >= 0) {
                ++vacations;
                for (int k = 0; k < (n & 0xFF); ++k)
                    EXPECT_TRUE(std::isfinite(rows[std::size_t(k)].sum) && rows[std::size_t(k)].sum > 0);
            } else {
                EXPECT_FALSE(CalcErrorText(n).isEmpty());
            }
        }
        for (SickLeaveSheet s : doc.infoBase.bln.run(i + 1)) {
            SickLeaveTables t;
            const int n = CalcSickLeaveBenefit(doc, s, t, nullptr, 0);
            if (n > 0) {
                ++sheets;
                EXPECT_TRUE(std::isfinite(s.sum) && s.sum >= 0);
            } else {
                EXPECT_FALSE(CalcErrorText(n).isEmpty());
            }
        }
    }
    EXPECT_GT(vacations + sheets, 0);
}
