#pragma once
// Average earnings: vacation pay and compensation for vacation not taken,
// and the helpers that the sick-leave benefit shares (month earnings, bonus
// sums, days employed, the northern-allowance fraction).
//
// Month counters are (year - 1900) x 12 + month (MonthIndex). The reporting
// month is the configuration's tekMes. The employee is the base's current
// record (CInfoBase::current, slot currentSlot); its attribute record, time
// sheet and line arrays are those of that slot.
//
// Vacation lines are infobase::VacationNote, which keeps the full start year
// (gBegin), so vacations of any year are averaged; the stored five-bit year
// form is the loader's business only.
//
// Monthly rates: see MonthRate.h for how the twelve-month history is read.
#include "payroll/CalcErrors.h"
#include "payroll/CalcOptions.h"
#include "payroll/PayrollDocument.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kalvor {

// The average-earnings detail shown by the vacation note: twelve month
// records, the latest month first. The totals of records 0-5: 0 the divisor
// (days, months or hours counted; the weeks of an hourly vacation), 1 the
// average (per day; per hour for the hourly rule), 2 the weekly average
// (hourly rule) or the vacation's hours at a 40-hour week, 3 the months
// counted (rule by months), 4 the period's total earnings, 5 the hours counted
// (hourly rule).
struct CalcWorkBuffer {
    struct Month {
        std::uint32_t spare = 0;
        double earnings = 0; // counted earnings of the month, before the rise coefficient
        double coefficient = 0; // rise coefficient in percent, 100 when none
        double month = 0; // month x 100 + two-digit year
        double total = 0;
    };
    std::array<Month, 12> months{};
};

// Days of the vacation in each month from the start month, as
// SplitVacationDays gives them.
struct VacationSplit {
    std::vector<int> counts; // days per month, the start month first
    int endMarker = 0; // 1 the vacation ends before the 16th of its last month, else 2
};

// The result of CalcAverageEarnings: bits 0-7 the rows appended, bits 8 and
// up the end marker of the split (1 or 2) or 0; negative: an error code
// (-22 when the rows are full; the rows appended before stay).
// rows holds rowCapacity rows; new rows go from rowCount on.
// `caller` is the calculation's caller: its vacation kind (VacationCalcKind),
// VacationNoteOnly and note copy decide the pay for days worked before a
// vacation of the next month and the end marker. scheduleNumber is the
// employee's work schedule, its book number (one outside the book reads as
// the nearest schedule, CInfoBase::nearestSchedule).
int CalcAverageEarnings(PayrollDoc& doc, const infobase::VacationNote& line, int scheduleNumber, int rateVariant,
                        infobase::AccrualRow* rows, int rowCount, CalcWorkBuffer* detail,
                        int rowCapacity = infobase::EmployeeRecord::RowCount,
                        const CalcOptions& caller = CalcOptions{});

// The pay kind of a note's vacation pay in a month placed 0-3 months from
// the reporting month, and of its compensation on dismissal.
int VacationPayCode(const infobase::VacationNote& line, int place);
int VacationCompensationCode(const infobase::VacationNote& line);

// Comparator of vacation lines for a quick sort: start date (year, month,
// day) ascending, then budget number ascending. -1, 0 or 1.
int ComparePeriodEntries(const infobase::VacationNote& a, const infobase::VacationNote& b);

// The vacation's days per calendar month from the start month (month counter
// firstMonth), counted on a calendar made from the employee's schedule, of
// book number scheduleNumber (every day of the week for kalend 1, the first
// six for kalend 2; kalend 3 and 4 keep the schedule's working days).
// 0, -18 for a vacation over more than three months, or a schedule error - 10.
int SplitVacationDays(const PayrollDoc& doc, const infobase::VacationNote& line, int scheduleNumber, int firstMonth,
                      VacationSplit& out);

// What a month of the accounting period counts.
struct MonthEarnings {
    double sum = 0;
    int days = 0; // days worked (entries that enter the average)
    int minutes = 0; // time worked
    int excludedDays = 0; // days of time off (kinds that do not enter)
    int excludedMinutes = 0; // time of idle time (code 62)
    // Sick leave over two calendar years: what the kinds earned in the month
    // above their per-kind amount (`sumSkidSoc`); part of `sum`, set apart
    // for the caller to deduct.
    double split = 0;
};

// Which kinds MonthEarningsForAverage sums.
struct MonthEarningsQuery {
    int purpose = 4; // 4 vacation, 3 sick leave
    int kindClass = 1; // vacation: enOtp value 1 or 2
    int indexed = 0; // vacation: koefOtp value
    int budget = 0; // vacation: budgOtp; sick leave: budgBln, negative = any
    bool twoYear = false; // sick leave over two calendar years: fill MonthEarnings::split
};

// The month earnings of month counter `month` from the archive and the
// month's rows. 0, or -4 when a kind of the archive or the rows is unknown
// (sick leave only; the vacation average skips unknown kinds).
int MonthEarningsForAverage(const PayrollDoc& doc, int month, const MonthEarningsQuery& query,
                            const infobase::AccrualRow* rows, int rowCount, MonthEarnings& out);

// Bonus sums over the bonusMonths (0 = 12, 15 = strict: the previous
// calendar year) ending at month counter periodEnd. Vacation: kinds whose
// koefOtp equals `indexed`; sick leave: kinds whose budgBln equals budget
// (any when negative). In strict mode an unknown kind gives -4 in outError.
double SumBonusesForAverage(const PayrollDoc& doc, const infobase::AccrualRow* rows, int rowCount, int periodEnd,
                            int bonusMonths, int indexed, int& outError);
double SumBonusesForSickLeave(const PayrollDoc& doc, const infobase::AccrualRow* rows, int rowCount, int periodEnd,
                              int bonusMonths, int budget, int& outError);

// Calendar days of the month counter on which the current employee was
// employed: the hire month counts from the hire day, the dismissal month up
// to the day before the dismissal day; months outside employment count 0.
int DaysEmployedInMonth(const PayrollDoc& doc, int month);

// The northern allowance as a fraction for the month counter: procSev x steps
// / 100; 0 without procSev or a northern-service date.
double NorthernAllowancePercent(const PayrollDoc& doc, int month);

// Month counter to which a row of the month's rows belongs (its own month
// number placed against the reporting month; payments of later months stay in
// this year).
int RowMonthForAverage(const infobase::AccrualRow& row, const PayrollDoc& doc);

} // namespace kalvor
