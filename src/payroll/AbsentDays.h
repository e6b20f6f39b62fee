#pragma once
// The days of a month that sick-leave sheets and vacations keep an employee
// away, and the day marks of his time sheet. The month change takes the
// absent days off the new month's sheet, the calculation takes off those the
// sheet still marks, and the entry screens keep the marks, the days and the
// hours of a sheet in agreement.
#include "payroll/PayrollDocument.h"

#include <array>
#include <vector>

namespace kalvor {

// Flags by day of the month (index 1-31; index 0 unused).
using MonthDayFlags = std::array<bool, 32>;

// The days of month/year that the sheets and the vacation notes cover (the
// holidays within a vacation apart: they lengthen it).
MonthDayFlags AbsentDays(const std::vector<infobase::SickLeaveSheet>& sheets,
                         const std::vector<infobase::VacationNote>& notes, const infobase::FirmInfo& firm, int year,
                         int month);

bool DayMarked(const infobase::TabelRecord& t, int day);
void SetDayMark(infobase::TabelRecord& t, int day, bool on);
int MarkedDays(const infobase::TabelRecord& t);

// The planned days and minutes of the days of the reporting month that the
// flags hold (schedule row ReportingMonth of the schedule).
void PlannedTimeOfDays(const MonthDayFlags& days, infobase::WorkSchedule& schedule, const PayrollDoc& doc, int& outDays,
                       int& outMinutes);

// The sheet's marks as flags.
MonthDayFlags MarkedDayFlags(const infobase::TabelRecord& t);

// Whether a sheet's days are its marked days and its hours are none, the
// planned hours of those days or its days of dayLength minutes each.
bool SheetAgreesWithMarks(const infobase::TabelRecord& t, infobase::WorkSchedule& schedule, int dayLength,
                          const PayrollDoc& doc);

} // namespace kalvor
