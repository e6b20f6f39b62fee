#pragma once
// The accrual rows built from the month's inputs of one employee: salary and
// time-sheet pay, the alternative time sheet, permanent payments, the firm's
// rule rows, bonuses and the rule-row corrections. Each step appends rows to
// the pass's buffer and returns 0 or a negative CalcErrorTexts code.
#include "payroll/CalcTypes.h"

namespace kalvor {

int SalaryAndTimeSheetRows(CalcPass& p);
int AltTimeSheetRows(CalcPass& p);
// Permanent payments of base kinds 0-4 (highKinds false) or 5 and above (true).
int PermanentPaymentRows(CalcPass& p, bool highKinds);
int RuleRows(CalcPass& p);
int BonusRows(CalcPass& p);
int RuleRowCorrections(CalcPass& p);

// Percent of the length-of-service scale for a number of months of service:
// 0 below a year, 10 % from 12 months, 20 % from three years, then rising
// by steps to 70 % from 25 years on.
double ServiceYearsPercentScale(int months);

} // namespace kalvor
