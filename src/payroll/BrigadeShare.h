#pragma once
// The share of a brigade's bonus fund that falls to one member by the firm's
// labour-participation rules (КТУ). The month's calculation and the bonus
// statement share a fund through the same routine, so both give the same
// amounts.
//
// A variant of the rules (FirmInfo::ktu) is four rule words: bits 0-6 the
// percent of the fund the rule shares, bit 7 the rate, bit 8 the worked
// time, bits 9-10 and 11-12 the first and second coefficient (1 multiplies,
// 2 divides); bits 13-15 of the first word are the scale (the fund is given
// in kopecks, roubles, tens or hundreds of roubles), of the second word the
// formula (1: the brigade's time-rate earnings come off the fund first).
#include "payroll/PayrollDocument.h"

namespace kalvor {

// The share in kopecks (whole kopecks) of the employee in record slot `slot`
// of the fund of bonus line `line`, a line of type 3-5 (rule variant
// type - 3; any other type shares nothing). The brigade is every listed
// employee with a line of the same type, code, amount and group key. A
// member's worked time is the month's time sheet, or, with a group key, the
// time of the line's base (mask selector) over the four months before the
// reporting month. 0 when the employee is no member of the brigade.
// The members' records are read from the swap file; the information base's
// current record is the same on return. Returns 0 or a negative
// CalcErrorTexts code (-1 a member without payment system, -12 without a
// day length, -16 without working days, -38 a record that cannot be read, or
// the base's own codes).
int BrigadeBonusShare(PayrollDoc& doc, int slot, const infobase::BonusLine& line, double& share);

} // namespace kalvor
