#pragma once
// Small routines that the report builders share: the months an employee was
// on the staff, an employee's share of the reporting period, the test for a disability period still open after
// a month, and the joining of a blank-padded name or address into a field
// with its words separated by commas.
#include "payroll/PayrollDocument.h"
#include "reports/social/ReportRun.h"

#include <array>
#include <cstdint>

namespace kalvor::reports {

// One byte per month (index 1-12; index 0 unused): a builder's own count of
// the employees it has taken into a month. A month of 0 before a hire month
// leaves the period.
using MonthCounted = std::array<std::uint8_t, 13>;

// The months of the period that a builder's first pass counts for one
// employee: from the period's first month, or a later hire month of the
// report year, up to (not including) the period's last month or an earlier
// dismissal month of the report year; 1 is added to each. An employee
// dismissed before the report year counts in no month; one hired after it
// counts from the first month when `laterHireCounts`, else in none.
void CountStaffMonths(const infobase::EmployeeHead& head, const ReportPeriod& period, bool laterHireCounts,
                      MonthCounted& counters);

// The current employee's share of the period begin..end (year * 16 + month,
// one year), as a percentage of one full-time employee present all period:
// 100 for a full-time employee paid for days in every month, 50 at half rate
// or for half the period. Reads the document's current record (archive rows
// of the period's year, and the month rows when the base's reporting month
// lies in the period), the pay kinds (rows of a kind with hr4 set are
// absence) and the output-row count of record slot `slot`.
float CalcPeriodTotals(const PayrollDoc& doc, int begin, int end, int slot, const MonthCounted& monthCounted);

// True when an employee of the selection (read from the swap work file into
// the current record) has a disability period still open after month
// (year * 16 + month). A short read throws TextError "Ошибка чтения файла".
bool ReadGenrRecord(PayrollDoc& doc, int month, const ReportSelection& selection, int markedCount);

// Copies the words of a blank-padded text (at least 51 characters) into a
// 50-character field, the first two word breaks written as ','; a double
// blank or a third break ends the copy. The field is blank-filled first and
// not terminated. Returns the position at which copying stopped.
int JoinAddressWords(char* target, const char* source);

} // namespace kalvor::reports
