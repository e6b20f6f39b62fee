#pragma once
// The sick-leave benefit of one sick-leave sheet (illness, injury,
// maternity, child care and the other kinds of infobase::SickLeaveSheet::vid).
//
// CalcSickLeaveBenefit checks the sheet's dates, builds the table of the
// accounting period's earnings month by month (twelve months, or from 2011 on
// two calendar years), finds the average daily earnings, applies the
// percentage, the minimum and the maximum of the sheet's kind and start
// date, and splits the benefit over the calendar months of the sick leave.
// The monthly calculation, the sick-leave entry screen and the sick-leave
// register call it; the screens show the two tables it fills.
//
// Years: the sheet keeps full years (gBegin, gEnd), so sheets of any year are
// computed; the month tables keep full years too (BenefitMonthRow keys are
// 32-bit), where a 16-bit key would stop in 2027.
//
// Averages: the number of days that divides the period's earnings can be 0 or
// negative (a period without employment, or more excluded days than days);
// the average is then 0, never a division by zero. Over two calendar years
// the average is never below the minimum wage's: a period without earnings,
// or with less than the minimum wage, is averaged at the minimum wage of the
// sheet's start month, with no tick on the sheet (the law of 2011 on).
#include "payroll/CalcErrors.h"
#include "payroll/PayrollDocument.h"

#include <array>
#include <cstdint>

namespace kalvor {

struct ScheduleMonthsRun;

// The legal yearly cap of the earnings of one calendar year in the two-year
// average, kopecks.
inline constexpr double kTwoYearEarningsCap = 41'500'000;

// One month of the accounting period, or the total row after them.
struct BenefitYearRow {
    int month = 0; // month number 1-12 (0 in the total row)
    int year = 0; // full year (0 in the total row)
    int days = 0; // days counted (hours for the hourly variants)
    double earnings = 0; // the month's earnings; the period's in the total row
    double average = 0; // total row: average daily (hourly) earnings
    double dailyMax = 0; // total row: the daily maximum of the reporting year
    double yearTotal = 0; // two-year mode: the year's total in the middle row and the total row
};

// One calendar month of the sick leave (a month split at the eleventh day or
// at the simplified ceiling takes two rows).
struct BenefitMonthRow {
    int from = 0, to = 0; // ((year - 1900) x 16 + month) x 32 + day
    int days = 0; // days paid (hours for the hourly variants)
    int percent = 0;
    double daily = 0; // daily benefit
    double amount = 0; // the month's benefit
    int contin = 0; // the sheet's continuation mark
};

// What CalcSickLeaveBenefit fills besides the sheet.
struct SickLeaveTables {
    static constexpr int YearRows = 25;
    static constexpr int MonthRows = 13;
    std::array<BenefitYearRow, YearRows> years{};
    int periodMonths = 0; // 12 or 24; the total row is years[periodMonths]
    std::array<BenefitMonthRow, MonthRows> months{};
    int monthRows = 0;
    double tariffDaily = 0; // the tariff daily pay (the average-daily out)
    double maximum = 0; // the maximum M after the raises
    double minimum = 0; // the minimum m after the raises
    // Two-year mode: the average of the minimum wage of the sheet's start
    // month (W x 24 / 730, by the rate share, with the raises) when it took
    // the place of a lower average of the period, none at all included; 0
    // when the period's average stood.
    double minimumWageAverage = 0;
    // Two-year mode: set when they come in as 0.
    double firstOut = 0; // average daily earnings
    double secondOut = 0; // minimum daily earnings
};

// Date key of the month rows: ((year - 1900) x 16 + month) x 32 + day, the
// month key counted from that of 1900 with the day below it.
inline constexpr int kBenefitKeyFirstMonth = MonthKey(1900, 0).value();
inline int BenefitDateKey(int year, int month, int day)
{
    return (MonthKey(year, month).value() - kBenefitKeyFirstMonth) * 32 + day;
}
// The month and the day of such a key.
inline MonthKey BenefitKeyMonth(int key) { return MonthKey::of(key / 32 + kBenefitKeyFirstMonth); }
inline int BenefitKeyDay(int key) { return key % 32; }

// Whether the sheet's dates can be computed: both given, real dates, the end
// not before the start (else the calculation answers kCalcSickLeaveDates).
bool SickLeaveSheetDatesValid(const infobase::SickLeaveSheet& line);

// Computes the sheet; returns the variant used (1-4) or a negative
// CalcErrorTexts code. Writes the sheet's sum (the benefit) and oklad (minus
// the tariff daily pay) on success only. rows/rowCount: the month's rows so
// far. The employee is the base's current record (slot currentSlot). A run
// over many employees passes the schedule rows it keeps (see ScheduleNorm.h).
int CalcSickLeaveBenefit(PayrollDoc& doc, infobase::SickLeaveSheet& line, SickLeaveTables& tables,
                         const infobase::AccrualRow* rows, int rowCount, ScheduleMonthsRun* scheduleMonths = nullptr);

// Days of the month counter ((year - 1900) x 12 + month); for 0 the days of
// the reporting year (366 when it is divisible by 4).
int DaysInMonthOrYear(const PayrollDoc& doc, int month);

// Working days and minutes of twelve months from the month counter
// firstMonth on the schedule of book number scheduleNumber (each month's
// place against the reporting month limited to -15..+21).
void YearScheduleNorm(const PayrollDoc& doc, int scheduleNumber, int firstMonth, int& outDays, int& outMinutes);

} // namespace kalvor
