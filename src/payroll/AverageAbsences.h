#pragma once
// Absences of the time sheet paid at average rates: other paid working days
// (65), days of a special allowance (154), business trips (66), qualification
// courses (72), idle time at the firm's percent (62), and the unpaid-time
// marker (600).
//
// The averages come from the twelve months before the reporting month
// (CalcBaseBySelector selector 12, the enSrZar kinds), a twelfth of the
// yearly bonuses added in proportion to the time of each month, and the
// months before a general pay rise raised by the rate ratio. The rate of the
// month k months back is RateMonthsBack(k) (MonthRate.h), the reporting
// month's own rate CalcMonthRate's base rate; the indexation of month k takes
// rate(k - 1) / rate(k) when the rise flag (korr) of the month k - 1 months
// back is set, and the ratios multiply up towards the earlier months.
#include "payroll/CalcTypes.h"

namespace kalvor {

struct AverageRates {
    double daily = 0; // kopecks per day
    double hourly = 0; // kopecks per hour
};

// The daily and hourly averages of the employee (0 and 0 when the time sheet
// has no absence paid at an average, or the twelve months have no time).
// 0 or a negative CalcErrorTexts code (a schedule error - 10, a negative count
// of CalcBaseBySelector, an error of CalcMonthRate).
int CalcAbsenceAverageRates(CalcPass& p, AverageRates& out);

// Appends the absence rows of the reporting month; 0 or a negative code.
int AbsenceAverageRows(CalcPass& p);

} // namespace kalvor
