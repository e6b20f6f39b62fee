#pragma once
// What a run says about an employee's month that does not stop his
// calculation: a dismissal date without the dismissal status, a time sheet
// holding more days than he was employed, a salary or tariff with no worked
// time and nothing else to pay, a piece or hourly worker's days without hours,
// a sick-leave sheet with days in the month computed to nothing, a bank
// transfer with no amount under a code that does not send the rest, a free
// row among the month's entered rows.
// The status stays the switch: these only warn.
#include "payroll/PayrollDocument.h"

#include <QStringList>

#include <utility>

namespace kalvor {

// The dismissal date of the employee's current employment (the second one
// when he was hired again) when it falls in or before the month and his status
// is not a dismissal (1, 2 or 4); 0 otherwise.
infobase::u16 DismissalWithoutStatus(const infobase::EmployeeHead& head, const infobase::EmployeeAttributes& attr,
                                     int year, int month);

// The days of the month from the hire to the dismissal of the current
// employment: first and last day, or first > last when he was not employed
// in the month at all. The whole month when neither falls in it.
std::pair<int, int> EmployedDaysOfMonth(const infobase::EmployeeHead& head, int year, int month, int length);

// "Указана дата увольнения 20.05.2011, но не указан признак увольнения".
QString DismissalWithoutStatusText(infobase::u16 dismissal);

// The free rows (no pay-kind code) among the month's entered rows, which the
// calculation passes over: "среди введенных начислений и удержаний месяца
// пустая строка 2: она пропущена", empty when there is none.
QString FreeEnteredRowsText(const infobase::EmployeeRecord& record, int entered);

// The warnings about the month just computed for the employee of the slot
// (the base's current record is his): his rows are `rows`, `count` of them;
// his time sheet is the one entered, which the calculation gives back.
QStringList EmployeeMonthWarnings(PayrollDoc& doc, int slot, const infobase::AccrualRow* rows, int count);

} // namespace kalvor
