#pragma once
// The days of a month that sick-leave sheets and vacations keep an employee
// away, and the day marks of his time sheet. The month change takes the
// absent days off the new month's sheet, the calculation takes off those the
// sheet still marks, and the entry screens keep the marks, the days and the
// hours of a sheet in agreement.
#include "payroll/CalendarMath.h"
#include "payroll/PayrollDocument.h"
#include "payroll/ScheduleNorm.h"

#include <vector>

namespace kalvor {

// The days of month/year that the sheets and the vacation notes cover (the
// holidays within a vacation apart: they lengthen it).
MonthDayFlags AbsentDays(const std::vector<infobase::SickLeaveSheet>& sheets,
                         const std::vector<infobase::VacationNote>& notes, const infobase::FirmInfo& firm, int year,
                         int month);

// The number of days the sheet marks (DayMarked).
int MarkedDays(const infobase::TabelRecord& t);

// Whether a sheet's days are its marked days and its hours are none, the
// planned hours of those days or its days of dayLength minutes each.
bool SheetAgreesWithMarks(const infobase::TabelRecord& t, infobase::WorkSchedule& schedule, int dayLength,
                          const PayrollDoc& doc);

} // namespace kalvor
