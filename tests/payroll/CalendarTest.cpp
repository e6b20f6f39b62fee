// Calendar arithmetic: weekdays, shift-cycle positions, time-sheet day masks.
#include "payroll/CalendarMath.h"

#include "values/Clock.h"

#include <gtest/gtest.h>

using namespace kalvor;

TEST(DayOfWeek, KnownDates)
{
    ScopedToday today(QDate(2026, 12, 7)); // two-digit years 00-46 are 20yy
    EXPECT_EQ(DayOfWeekDMY(1, 1, 89), 0); // Sunday, day 0
    EXPECT_EQ(DayOfWeekDMY(29, 2, 24), 4); // Thursday
    EXPECT_EQ(DayOfWeekDMY(6, 12, 24), 5); // Friday
    EXPECT_EQ(DayOfWeekDMY(1, 3, 24), 5); // the day after 29 February
    EXPECT_EQ(DayOfWeekDMY(31, 12, 99), 5);
    EXPECT_EQ(DayOfWeekDMY(1, 1, 0), 6); // 2000
    EXPECT_EQ(DayOfWeekDMY(1, 1, 46), 1); // 2046, the last year of the window
    EXPECT_EQ(DayOfWeekDMY(1, 1, 47), 3); // 1947
    EXPECT_EQ(DayOfWeekDMY(7, 12, 26), 1);
}

TEST(ShiftCyclePosition, StartDateIsOneAndMonthsBeforeWrapAround)
{
    // Two working days and two days off from 15 March 2024.
    EXPECT_EQ(ShiftCyclePosition(15, 3, 24, 3, 24, 4), 3);
    EXPECT_EQ(ShiftCyclePosition(15, 3, 24, 4, 24, 4), 2);
    EXPECT_EQ(ShiftCyclePosition(1, 3, 24, 3, 24, 4), 1);
    EXPECT_EQ(ShiftCyclePosition(2, 3, 24, 3, 24, 4), 4); // the day before the start: position L
    // Across a leap February and a year end: start 1 December 2023, cycle 3.
    // 1 March 2024 lies 91 days later: 91 mod 3 = 1.
    EXPECT_EQ(ShiftCyclePosition(1, 12, 23, 3, 24, 3), 2);
    // A start in the 1990s and a month in the 2000s.
    EXPECT_EQ(ShiftCyclePosition(1, 1, 99, 1, 0, 7), 365 % 7 + 1);
}

TEST(CountDayBitsInMasks, ClampsTheRange)
{
    const std::uint16_t t12 = 0b1000'0000'0000'0110; // days 1, 2, 15
    const std::uint16_t t22 = 0b1000'0000'0000'0011; // days 16, 17, 31
    EXPECT_EQ(CountDayBitsInMasks(t12, t22, 31, 1), 6);
    EXPECT_EQ(CountDayBitsInMasks(t12, t22, 31, 0), 6); // firstDay 0 counts from day 1
    EXPECT_EQ(CountDayBitsInMasks(t12, t22, 40, 16), 3); // lastDay 40 counts to day 31
    EXPECT_EQ(CountDayBitsInMasks(t12, t22, 15, 2), 2);
    EXPECT_EQ(CountDayBitsInMasks(t12, t22, 1, 2), 0);
    EXPECT_EQ(CountDayBitsInMasks(0x0001, 0, 31, 0), 0); // bit 0 of tabel12 is no day
}

TEST(MonthKeys, AddAcrossYears)
{
    EXPECT_EQ(MonthKeyAdd(MonthKey(2024, 3).value(), -15), MonthKey(2022, 12).value());
    EXPECT_EQ(MonthKeyAdd(MonthKey(2024, 11).value(), 2), MonthKey(2025, 1).value());
    EXPECT_EQ(MonthKeyDiff(MonthKey(2023, 11).value(), MonthKey(2024, 2).value()), 3);
    EXPECT_EQ(MonthIndexOfKey(MonthKey(2024, 1).value()), 1489);
}
