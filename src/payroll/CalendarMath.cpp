#include "payroll/CalendarMath.h"

#include <algorithm>

namespace kalvor {

namespace {

// Days of a common year before months 1-12 begin; entry 0 holds 0.
const int kMonthStarts[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// Floor division for the leap-day count of years before 1989.
int floorDiv(int a, int b)
{
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

std::array<int, 13> MonthLengthsForYear(int year)
{
    std::array<int, 13> t{};
    for (int m = 1; m <= 12; ++m) t[std::size_t(m)] = DaysInMonth(year, m);
    return t;
}

int DaysSince1989(int day, int month, int fullYear)
{
    if (month < 1 || month > 12)
        month = month < 1 ? 1 : 12;
    const int y = fullYear - 1989;
    // Leap days between 1 January 1989 and 1 January of fullYear: the years
    // divisible by 4 from 1992 on (or, before 1989, minus those from 1988 down).
    int days = kMonthStarts[month] + y * 365 + floorDiv(y, 4) + day - 1;
    if (month > 2 && fullYear % 4 == 0)
        ++days;
    return days;
}

int DayOfWeekDMY(int day, int month, int twoDigitYear)
{
    const int days = DaysSince1989(day, month, WidenTwoDigitYear(twoDigitYear));
    return ((days % 7) + 7) % 7;
}

int ShiftCyclePosition(int startDay, int startMonth, int startYear, int month, int year, int cycleLength)
{
    if (cycleLength < 1)
        return 1;
    const int start = DaysSince1989(startDay, startMonth, WidenTwoDigitYear(startYear));
    const int first = DaysSince1989(1, month, WidenTwoDigitYear(year));
    const int d = first - start;
    return ((d % cycleLength) + cycleLength) % cycleLength + 1;
}

bool DayMarked(const infobase::TabelRecord& t, int day)
{
    if (day < 1 || day > 31)
        return false;
    return day < 16 ? (t.tabel12 >> day) & 1u : (t.tabel22 >> (day - 16)) & 1u;
}

bool SetDayMark(infobase::TabelRecord& t, int day, bool on)
{
    if (day < 1 || day > 31 || DayMarked(t, day) == on)
        return false;
    std::uint16_t& word = day < 16 ? t.tabel12 : t.tabel22;
    const unsigned bit = 1u << (day < 16 ? day : day - 16);
    word = std::uint16_t(on ? word | bit : word & ~bit);
    return true;
}

MonthDayFlags MarkedDayFlags(const infobase::TabelRecord& t)
{
    MonthDayFlags out{};
    for (int d = 1; d <= 31; ++d) out[std::size_t(d)] = DayMarked(t, d);
    return out;
}

int CountDayBitsInMasks(std::uint16_t tabel12, std::uint16_t tabel22, int lastDay, int firstDay)
{
    infobase::TabelRecord t;
    t.tabel12 = tabel12;
    t.tabel22 = tabel22;
    int count = 0;
    for (int day = std::max(firstDay, 1); day <= std::min(lastDay, 31); ++day) count += DayMarked(t, day) ? 1 : 0;
    return count;
}

int MonthKeyAdd(int key, int months) { return MonthKey::of(key).plus(months).value(); }

int MonthKeyDiff(int a, int b) { return MonthKey::of(a).monthsTo(MonthKey::of(b)); }

} // namespace kalvor
