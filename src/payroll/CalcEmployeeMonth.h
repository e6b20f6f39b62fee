#pragma once
// The monthly calculation of one employee.
//
// CalcEmployeeMonth takes the employee at position `index` of the base's
// current employee list, reads the record from the swap work file (which the
// caller has filled and opened), builds the month's accrual rows from the
// record, the time sheet and the month's entries in two passes (the first
// finds the sick-leave and vacation time that the second takes off the time
// sheet), and hands them to CalcAccrualsAndTaxes, which adds the rows that
// depend on them and, in CalcStore mode, stores the result.
//
// CalcStore stores the rows, the amount to pay and the foreign worker's day
// count through the information base's savers; CalcDisplay stores nothing.
// `options` carries the vacation note of a display run (CalcOptions.h).
//
// Returns the number of rows in `result` (at least kCalcResultRows rows), or
// -k for message k of CalcErrorTexts. A failed employee stores nothing.
#include "payroll/CalcTypes.h"

namespace kalvor {

int CalcEmployeeMonth(PayrollDoc& doc, CalcResult result, int index, CalcWorkBuffer* workBuffer, CalcMode mode,
                      const CalcOptions& options = CalcOptions{});

// Days that a foreign worker has spent in the country from the entry date to
// the end of the month before the reporting month (at most 999); 0 when the
// entry lies in the reporting month or later. A departure date ends the count;
// without one, the dismissal date of the current employment does.
int ForeignWorkerDays(const infobase::EmployeeHead& head, int year, int month);

} // namespace kalvor
