#pragma once
// The bonus calculation of the bonus statement and the bonus cash orders:
// what each employee receives of the month's bonus lines.
//
// A line counts when its amount is not 0 and its payment period is set
// (lines paid with the settlement are left to the month's calculation). Its
// type says how the amount is read:
//   0  the amount itself;
//   1  a percent (in hundredths) of a calculation base of the employee: the
//      base of the firm's mask (selector 20 + the line's mask) over the month
//      of the line's month basis (0 the reporting month with its rows, k the
//      k-th month before); code 7 takes the previous quarter, code 172 one
//      twelfth of the year's archive (YearlyBonusBase);
//   2  a percent (in hundredths) of the employee's salary (oklad);
//   3-5 the employee's share of a brigade's fund by the labour-participation
//      rules of variant type - 3 (BrigadeBonusShare, the same routine as the
//      month's calculation); the brigade is every listed employee with a line
//      of the same type, code, amount and month basis;
//   above 5 nothing.
// Each line's amount is rounded by pay kind 904 and the payout rounding and
// added to the employee's amount. The amounts belong to the run: the
// document's advance and pay arrays are left as they are.
//
// The employees' full records are loaded from the base (LoadEmployee); the
// brigade members' records are read from the swap file, which the caller has
// written with every listed employee (SelectAllToSwap) and opened.
#include "payroll/PayrollDocument.h"
#include "infobase/BySlot.h"
#include "print/PrintOutput.h"

#include <vector>

namespace kalvor::print {

// Fills amounts (one per record slot, kopecks) for the employees of the
// selection (shop, brigade and profession of the parameters, then the marked
// ones or the parameters' personnel number). Returns 0, or the first failing
// line's CalcErrorTexts code: -5 a pay kind not in the book, -1 a brigade
// member without payment system, -12 without day length, -16 without working
// days in the month, or a base's own code; amounts are then meaningless.
// Throws TextError naming an employee with more than eight bonus lines: the
// writers' cursor cannot reach the ninth, so the run stops rather than leave
// it out.
// The selector of the bonus writers: 0 or positive, the marked-only flag
// with the parameters' pay kind (0 all); negative, every employee and every
// line of a pay kind that carries the statement mark (PayKind::mark).
int CalcBonusAmounts(const StatementPrintParams& params, PayrollDoc& doc, int selector,
                     infobase::BySlot<double>& amounts);

// The amount of one line of the employee in record slot `slot` before the
// payout rounding (kopecks); the employee's record is loaded first when the
// line needs it. Returns 0 or a negative CalcErrorTexts code.
int BonusLineAmount(PayrollDoc& doc, int slot, const infobase::BonusLine& line, double& amount);

} // namespace kalvor::print
