#pragma once
// Which employees a rule or a selection concerns.
//
//  - RuleAppliesToEmployee tests a length-of-service allowance rule (a firm
//    rule row, infobase::SeniorityRule) against an employee for a month and
//    gives the days of the month on which it applies.
//  - MatchEmployeeCriteria (infobase/EmployeeSelection.h) tests an employee
//    against the document's SelectionKeys (the dialog "Ключи выбора
//    работников"); the shell's employee filter calls it for every employee.
//  - FormatProfessionName gives the 26-byte 8-bit name of a profession code.
//
// Employee dates. The employee's dates (birth datR, hire datPr1, northern
// service datSevStag ...) are PackedDate values with a two-digit year. Every
// calculation here reads them through one rule, EmployeeDateYear: a year not
// after the current year's last two digits is 20yy, a later one 19yy (the
// program clock's window). Fixed windows such as "birth always 19yy" or
// "northern service 20yy only below 20" would give wrong service lengths for
// people born after 1999 or in the north since 2020.
//
// Employee index: the 0-based record number (slot - 1) throughout, as for
// CalcMonthRate; the employee's EmployeeRecord must be the current one where
// its dates are read.
#include "infobase/EmployeeSelection.h"
#include "payroll/CalendarMath.h" // MonthLengthsForYear
#include "payroll/PayrollDocument.h"

#include <array>
#include <cstdint>

namespace kalvor {

// Full year of an employee's packed date (see above); 0 for no date.
int EmployeeDateYear(std::uint16_t packedDate);

// 1 when the rule applies to the employee in the month (0 = the reporting
// month, else a month number placed within six months of the reporting
// month), with outDays = first and last day of the month on which it applies;
// 0 otherwise. monthLengths: MonthLengthsForYear of the reporting year.
int RuleAppliesToEmployee(const infobase::SeniorityRule& rule, int month, int slot, int outDays[2],
                          const int* monthLengths, const PayrollDoc& doc);

// MatchEmployeeCriteria reads only the information base and lives with it.
using infobase::MatchEmployeeCriteria;

// Width of a profession name field.
inline constexpr int kProfessionNameWidth = 26;

// Fills a 26-byte 8-bit field with the name of a profession code from the
// "profi" book: 0 when found (the name, windows-1251, blank-padded); 1 when the
// code is 0, the book is empty or the code is not in it (the code as "%u",
// a zero byte, the rest blanks).
int FormatProfessionName(char* field, int code, const PayrollDoc& doc);

} // namespace kalvor
