#pragma once
// Calendar arithmetic of the payroll engine on plain integers.
//
// Years: the calendar helpers read a two-digit year by the one sliding window
// of WidenTwoDigitYear (around the base's reporting year).
// February has 29 days in every year divisible by 4 (DaysInMonth).
// Month keys (year * 16 + month) and month indexes ((year - 1900) * 12 + month)
// are those of values/Values.h, with the month index's inverse and the
// wrapping of month numbers.
#include "infobase/Records.h"
#include "values/Values.h"

#include <array>
#include <cstdint>

namespace kalvor {

// The month-length table with February set for the year: entry 0 is 0,
// entries 1-12 the lengths (DaysInMonth).
std::array<int, 13> MonthLengthsForYear(int year);

// Days from 1 January 1989 (day 0) to the given date; negative before it.
// The day may lie past the month's end (it simply counts on).
int DaysSince1989(int day, int month, int fullYear);

// Weekday of a day, month 1-12 and two-digit year: 0 = Sunday, 1 = Monday
// ... 6 = Saturday. 1 January 1989 was a Sunday.
int DayOfWeekDMY(int day, int month, int twoDigitYear);

// Position (1 to cycleLength) of the first day of month/year in a shift cycle
// whose position 1 falls on the start date; years are two-digit. The start date
// itself has position 1, the day before it position cycleLength. A cycle length
// below 1 gives 1.
int ShiftCyclePosition(int startDay, int startMonth, int startYear, int month, int year, int cycleLength);

// Flags by day of the month (index 1-31; index 0 unused).
using MonthDayFlags = std::array<bool, 32>;

// The day marks of a time sheet, the one place that knows their bits: day d
// of the month is bit d of tabel12 for days 1-15 and bit d - 16 of tabel22
// for days 16-31. A day outside 1-31 is never marked and never set.
bool DayMarked(const infobase::TabelRecord& t, int day);
// Sets or clears the day's mark, the other marks kept; true when it changed.
bool SetDayMark(infobase::TabelRecord& t, int day, bool on);
// The sheet's marks as flags.
MonthDayFlags MarkedDayFlags(const infobase::TabelRecord& t);

// Number of days from firstDay to lastDay (clamped to 1 and 31) marked in the
// two time-sheet day masks (the marks of DayMarked). 0 when firstDay exceeds
// lastDay.
int CountDayBitsInMasks(std::uint16_t tabel12, std::uint16_t tabel22, int lastDay, int firstDay);

// Month key moved by a number of months (either sign), the month kept in 1-12.
int MonthKeyAdd(int key, int months);
// Months from key a to key b (positive when b is later).
int MonthKeyDiff(int a, int b);
// Month index ((year - 1900) * 12 + month) of a month key.
inline int MonthIndexOfKey(int key) { return MonthKey::of(key).index(); }

} // namespace kalvor
