#pragma once
// An employee's pay rate in the reporting month, and the history of the
// rates of the twelve months before it.
//
// CalcMonthRate gives two rates: the base rate (the salary, or the hourly
// tariff) and the full rate, which adds the permanent payments and the firm's
// rule rows that belong to the rate (kinds with the sick-leave-base flag).
// For payment systems 1-3 both are hourly rates, for system 4 monthly amounts.
//
// Rate history. EmployeeRecord::rates holds twelve entries; entry k - 1
// (k = 1 to 12) is the month k months before the reporting month: rates[0] is
// the month just before it, rates[11] the month a year before it. Its rate is
// the base rate of CalcMonthRate for that month and its second value the full
// rate: the month change shifts the history by one place (the oldest dropped)
// and puts the two results of CalcMonthRate of the month being closed in
// rates[0]; the rate-correction dialog shows and edits rates[0..11] as the
// months 1 to 12 before the reporting month. The reporting month's own rate
// is never stored: it is CalcMonthRate's result. The averages therefore
// number the months "k months back" (0 = the reporting month) and read them
// through RateMonthsBack, which gives CalcMonthRate's base rate for k = 0 and
// rates[k - 1].rate for k = 1 to 12. Numbered instead from 1 = the reporting
// month up to 13 (as the absence averages count it), number i is
// RateMonthsBack(i - 1): twelve stored months and the computed current one.
#include "payroll/CalcErrors.h"
#include "payroll/PayrollDocument.h"

namespace kalvor {

// The base and full rate of the employee with 0-based record number slot
// (its EmployeeRecord must be the current one). Returns 0, or a negative
// CalcErrorTexts code: -16 no working time in the month, -26 a permanent
// payment with an empty period in the month, a schedule error - 10 (-11,
// -12). For payment systems 0 and 5-7 the outputs are left as they are and
// the result is 0.
// Permanent payments by base kind: 0 a percent of the salary, 1 of the hourly
// tariff times the planned hours, 2 a daily amount times the calendar days
// (time basis 0) or the planned days (time basis 1), 3 a percent of the
// month's minimum wage; 5-7 a percent of the components collected before
// them (selector 0-7 a mask column, 8-21 a kind flag, above 21 all). An
// amount in the payment replaces the base of kinds 0, 1 and 3.
// slot: the employee's record slot (1-based); 0 for a slot outside the base.
int CalcMonthRate(double& outBaseRate, double& outFullRate, PayrollDoc& doc, int slot);

// The base rate of the month monthsBack months before the reporting month
// from the current record's history (1-12); currentRate for 0; 0 outside.
double RateMonthsBack(const PayrollDoc& doc, int monthsBack, double currentRate);

// The history rates of months 0-12 back with the gaps filled: a month whose
// rate is 0 takes the rate of the month after it (month 0 is currentRate).
void FilledRateHistory(const PayrollDoc& doc, double currentRate, double out[13]);

// The book number of the employee's work schedule (1 .. the schedule count):
// the attribute graph of record slot `slot` (1-based), 0 read as 1 and a
// number past the book as its last; 1 for a slot outside the base.
int EmployeeScheduleNumber(const PayrollDoc& doc, int slot);

} // namespace kalvor
