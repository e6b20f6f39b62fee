// The day marks of a time sheet and the days of a month that sick-leave
// sheets and vacations keep an employee away, in March 2026 (the 1st a
// Sunday; working days Monday to Friday).
#include "payroll/AbsentDays.h"

#include "PayrollWorld.h"

#include <gtest/gtest.h>

#include <vector>

using namespace kalvor;
using namespace kalvor::infobase;
using payrolltest::sickSheet;

namespace {

VacationNote Vacation(int day, int month, int days)
{
    VacationNote v;
    v.dBegin = u8(day);
    v.mBegin = u8(month);
    v.gBegin = 2026;
    v.dlin = u16(days);
    return v;
}

std::vector<int> FlaggedDays(const MonthDayFlags& flags)
{
    std::vector<int> days;
    for (int d = 1; d <= 31; ++d)
        if (flags[std::size_t(d)])
            days.push_back(d);
    return days;
}

} // namespace

// Days 1-15 are bits 1-15 of the first word, days 16-31 bits 0-15 of the
// second: day 16 is the second word's lowest bit, not a sixteenth bit of the
// first.
TEST(DayMarks, EachDayIsItsOwnBitOfItsWord)
{
    TabelRecord t;
    t.tabel22 = 0x0001;
    EXPECT_TRUE(DayMarked(t, 16));
    EXPECT_FALSE(DayMarked(t, 15));
    EXPECT_FALSE(DayMarked(t, 17));
    t = TabelRecord{};
    t.tabel12 = 0x8002;
    t.tabel22 = 0x8000;
    EXPECT_EQ(FlaggedDays(MarkedDayFlags(t)), (std::vector<int>{1, 15, 31}));
    EXPECT_EQ(MarkedDays(t), 3);
    t.tabel12 = 0x0001; // bit 0 of the first word is no day
    EXPECT_FALSE(DayMarked(t, 0));
    EXPECT_FALSE(DayMarked(t, 32));

    TabelRecord set;
    EXPECT_TRUE(SetDayMark(set, 16, true));
    EXPECT_FALSE(SetDayMark(set, 16, true)); // already so
    EXPECT_EQ(set.tabel12, 0);
    EXPECT_EQ(set.tabel22, 0x0001);
    EXPECT_TRUE(SetDayMark(set, 15, true));
    EXPECT_EQ(set.tabel12, 0x8000);
    EXPECT_TRUE(SetDayMark(set, 16, false));
    EXPECT_EQ(set.tabel22, 0);
    EXPECT_FALSE(SetDayMark(set, 32, true));
    EXPECT_EQ(set.tabel12, 0x8000);
}

// A sheet covers the month from its first day to its last: 12-14 March
// (Thursday to Saturday); one from February covers March from the 1st; one
// into April covers March to the 31st.
TEST(AbsentDays, ASheetCoversFromItsFirstDayToItsLast)
{
    FirmInfo firm;
    EXPECT_EQ(FlaggedDays(AbsentDays({sickSheet(12, 3, 14, 3)}, {}, firm, 2026, 3)), (std::vector<int>{12, 13, 14}));
    EXPECT_EQ(FlaggedDays(AbsentDays({sickSheet(20, 2, 3, 3)}, {}, firm, 2026, 3)), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(FlaggedDays(AbsentDays({sickSheet(29, 3, 2, 4)}, {}, firm, 2026, 3)), (std::vector<int>{29, 30, 31}));
    EXPECT_EQ(FlaggedDays(AbsentDays({sickSheet(29, 3, 2, 4)}, {}, firm, 2026, 4)), (std::vector<int>{1, 2}));
}

// A vacation of 7 calendar days from Thursday 5 March over the firm's holiday
// on Monday 9 March: the holiday lengthens it to the 12th and is no day of it.
TEST(AbsentDays, AHolidayInsideAVacationIsNoDayOfIt)
{
    FirmInfo firm;
    firm.fete[0] = u16(9 * 256 + 3);
    firm.feteKv = 1;
    EXPECT_EQ(FlaggedDays(AbsentDays({}, {Vacation(5, 3, 7)}, firm, 2026, 3)),
              (std::vector<int>{5, 6, 7, 8, 10, 11, 12}));
}
