#pragma once
// Working-time norms from the work schedules, the time-sheet day count and the
// compaction of an employee's monthly archive.
//
// A schedule (infobase::WorkSchedule) is either a shift schedule (days off pVyh,
// working days pRab and the cycle-start month begM all non-zero) or a weekday
// schedule (all three 0; a weekday mask rabDnNed of 0 means Monday to Friday).
// Its 22 month rows are indexed from the base's reporting month: row 15 is the
// reporting month, row 15 - k the month k months before it. A row is filled
// from the definition (day length on every working day, 0 on days off and on
// the firm's public holidays) the first time it is needed, and kept: a row that
// holds a day value, or with manual totals (ruchn) any value, is used as it
// stands. The reporting month is the configuration's tekMes; the default day
// length is the firm's dnHr/dnMin; the holidays are the firm's fete words.
// A weekday schedule's row made from the definition follows the Labour Code
// (art. 95 and art. 112 as in force up to 2012): the working day directly
// before a holiday is an hour shorter, and a day off that falls on a holiday
// moves to the next working day after it. Days moved by a government decree
// are the firm's to type into the row.
#include "payroll/CalendarMath.h"
#include "payroll/PayrollDocument.h"

#include <map>
#include <utility>

namespace kalvor {

// The month rows that a run over many employees makes beyond the schedules'
// stored rows (a sick-leave period reaches two years back), kept for the run
// by the schedule's number in the base and the row index: neither the
// schedules nor the reporting month change during a run, and each such row
// would otherwise be made again for every employee. Only the base's own
// schedules keep their rows so; the rows of any other schedule (a copy) are
// made afresh each time.
struct ScheduleMonthsRun {
    std::map<std::pair<int, int>, infobase::ScheduleMonth> made;
};

// CalcScheduleNorm results.
enum ScheduleNormResult : int {
    NormOk = 0,
    NormInconsistentSchedule = -1, // some but not all of pVyh, pRab, begM are set
    NormNoDayLength = -2, // neither the schedule nor the firm gives a day length
    NormNoWorkingTime = -3, // the whole month has no working day or no working minute
};

// Minutes of a working day by the schedule: its own day length, else the
// firm's default (dnHr/dnMin); 0 when neither gives one.
int WorkingDayLength(const infobase::WorkSchedule& schedule, const PayrollDoc& doc);

// Whether a month row is used as it stands (typed by the firm, or made
// before): it holds a day value, or with manual totals any value. A row that
// does not stand is made from the schedule's definition when it is needed.
bool ScheduleMonthStands(const infobase::WorkSchedule& schedule, const infobase::ScheduleMonth& row);

// Whether the day of the month (1-12) is one of the firm's public holidays:
// the twelve fete words hold the day in the high byte and the month in the low
// four bits; a word with day 0 is empty.
bool IsFirmHoliday(const infobase::FirmInfo& firm, int day, int month);

// Planned working days and minutes of days firstDay to lastDay of the month of
// row monthIndex (0-21; the month is tekMes + monthIndex - 15). firstDay below 1
// counts from 1; lastDay 0 means the month's last day, a later day is cut to it;
// firstDay past lastDay gives 0 and 0 with result 0. A whole-month request
// gives the row's stored totals (rDn, rMin) and -3 when either is 0; a part of
// the month counts its days as they stand. A negative monthIndex (or one above
// 21) works on a scratch row that is not kept, for the month tekMes +
// monthIndex - 15. outDays and outMinutes are always written, 0 on every
// failure. Rows computed here are stored into the schedule; with `run`, the
// scratch rows of the base's own schedules are kept in it.
int CalcScheduleNorm(int monthIndex, infobase::WorkSchedule& schedule, int firstDay, int lastDay, int& outDays,
                     int& outMinutes, const PayrollDoc& doc, ScheduleMonthsRun* run = nullptr);
// The same, the days of the range counted as they stand even when the range
// is the whole month (a day edited in the row counts as edited, whatever the
// row's totals say; a month without working time gives 0 and 0, result 0).
int ScheduleNormDayByDay(int monthIndex, infobase::WorkSchedule& schedule, int firstDay, int lastDay, int& outDays,
                         int& outMinutes, const PayrollDoc& doc, ScheduleMonthsRun* run = nullptr);
// The planned working days and minutes of the days of the reporting month
// (row ReportingMonth) that the flags hold, counted as they stand, in one
// walk of the month; CalcScheduleNorm's result (0 and 0, result 0, when the
// flags hold no day).
int PlannedTimeOfDays(const MonthDayFlags& days, infobase::WorkSchedule& schedule, const PayrollDoc& doc, int& outDays,
                      int& outMinutes);

// The days of a vacation note that fall in the month: calendar days counted
// from the start day (day 0 counts as the 1st) over the note's length, the
// firm's public holidays not counted (they lengthen the vacation). Gives the
// first and the last of them in the month; false when none fall in it, and
// for a note without a start or without days (a payout without dates), whose
// time nobody takes off a time sheet. The calculation lowers the reporting
// month's time sheet by these days, the month change the new month's.
bool VacationDaysInMonth(const infobase::VacationNote& note, int year, int month, const infobase::FirmInfo& firm,
                         int& first, int& last);

// Number of days from firstDay to lastDay (clamped to 1 and 31) marked in the
// tabel12/tabel22 masks of the time sheet of record slot `slot` (1-based);
// 0 when firstDay exceeds lastDay or the slot is outside the base.
int CountDayBits(int lastDay, int firstDay, const PayrollDoc& doc, int slot);

// Compacts the current record's monthly archive in place: the entries with a
// pay-kind code and an accrual month move to the front in their order, the
// slots after them are cleared, and warKv becomes the number kept.
void CompactWariaEntries(PayrollDoc& doc);

} // namespace kalvor
