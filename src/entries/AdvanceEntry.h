#pragma once
// The month's advances as the entry screen shows and totals them.
#include "payroll/PayrollDocument.h"

#include <QString>

#include <vector>

namespace kalvor {

// The state of an employee who is shown only when an advance is entered.
inline constexpr int kShownOnlyWithAdvance = 4;
// The pay kind whose rounding the advance total takes.
inline constexpr int kAdvanceRoundingKind = 901;

// Whether the employee of the list index is shown: his advance is not 0, or
// his state is not 4.
bool AdvanceShown(const PayrollDoc& doc, int index);

// The total of advances (kopecks), each rounded by pay kind 901: the
// entry screen's total of the advances its rows show.
double AdvanceTotal(const PayrollDoc& doc, const std::vector<double>& advances);

// The question asked before an advance of `kopecks` larger than what the
// employee of the slot can earn in the month by his card and his payment
// system (MonthEarningsOf) is taken; empty when it is not larger, and when
// the card cannot be read (the save that follows says what is wrong with the
// base).
QString AdvanceAboveMonthPayQuestion(PayrollDoc& doc, int slot, double kopecks);

} // namespace kalvor
