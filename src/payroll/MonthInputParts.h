#pragma once
// What the row builders of the month's inputs (MonthInputRows.h) share; not
// for other callers.
#include "payroll/CalcTypes.h"

namespace kalvor::monthinput {

// Month numbers of the pass placed around the reporting month: -6 .. +5.
int MonthOffset(const CalcPass& p, int m);
// Planned days and minutes of days first..last of month m (0 = the reporting
// month) by the schedule of book number scheduleNumber; returns
// CalcScheduleNorm's result.
int PlannedOf(CalcPass& p, int scheduleNumber, int m, int first, int last, int& days, int& minutes);
// The piece and the hourly tariff rates of the employee, kopecks an hour.
double Rate1(const CalcPass& p);
double Rate2(const CalcPass& p);
// The salary, replaced for payment systems 3-7 by the position's salary when
// the positions book gives one.
double Salary(const CalcPass& p);

} // namespace kalvor::monthinput
