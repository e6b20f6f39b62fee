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

// The month's pay an advance is measured against: the salary and the
// personal allowance of the employee's card in the slot (kopecks); 0 when the
// card holds neither (a tariff or piece worker's pay is known only once the
// month is run) or cannot be read.
double MonthPayOfCard(PayrollDoc& doc, int slot);
// The question asked before an advance of `kopecks` larger than the month's
// pay (MonthPayOfCard) is taken; empty when it is not larger. The advance is
// taken all the same on a yes: what the pay does not cover stays a debt.
QString AdvanceAboveMonthPayQuestion(PayrollDoc& doc, int slot, double kopecks);

} // namespace kalvor
