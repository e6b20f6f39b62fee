#pragma once
// What an employee's standing deductions may hold: a writ's size, a loan's
// debt and its stages' sums, a bank transfer's amount. The month's deduction
// screens read what is typed by these rules, and the employee transfer file's
// import checks what a file brings by them, so that a value no screen takes is
// never stored by a file either: one rule a field.
#include "values/TypedFigure.h"

namespace kalvor {

// A writ's fixed size, a loan's debt and its stages' sums, a transfer's
// amount: what is withheld, owed or sent, never below 0.
inline constexpr FigureRule kDeductionAmountRule = AmountFigure();
// A writ's size in percent is a share of the pay: 0 to 100, two places.
inline constexpr FigureRule kWritPercentRule = ShareFigure(2);
// The rule a writ's size is read by: a percent when the writ is in percent
// ("Удержание выражено в процентах", the stored percent flag), an amount
// otherwise.
constexpr FigureRule WritSizeRule(bool percent) { return percent ? kWritPercentRule : kDeductionAmountRule; }

} // namespace kalvor
