#pragma once
// The sick-leave rows of one employee's month: the payout rows of marked
// sheets, the benefit of each sheet coded by the month it falls in, and the
// sick-leave time of the reporting month that the first pass takes off the
// time sheet.
#include "payroll/CalcTypes.h"

namespace kalvor {

// One monthly part of a sheet's benefit.
struct SickLeavePart {
    int year = 0, month = 0; // the calendar month of the part
    int firstDay = 0, lastDay = 0;
    double amount = 0; // kopecks
    int days = 0, minutes = 0;
    int percent = 100;
};

// The benefit of a sheet split by months (at most 8 parts); returns the number
// of parts or a negative CalcErrorTexts code. The month's rows so far are
// rows[0 .. count).
int SickLeaveBenefitParts(CalcPass& p, infobase::SickLeaveSheet& sheet, const infobase::AccrualRow* rows, int count,
                          SickLeavePart* parts);

// Appends the rows of the employee's sick-leave sheets; adds the planned days
// and minutes of the sheets' days in the reporting month to outDays/outMinutes
// and sets hasSickLeave when the employee has a sheet. 0 or a negative code.
int SickLeaveRows(CalcPass& p, int& outDays, int& outMinutes, bool& hasSickLeave);

// The row code of a benefit part: family by the sheet's kind (vid) and the
// part's month against the reporting month (earlier, same, later);
// employerDays selects the family of the days paid by the employer. The
// sheet's sub-kind 1-4 (its financing source) gives kinds 0, 2 and 4 codes of
// their own: 561-584 for the employer's days, 641-654 and 661-684 for the
// benefit; kind 10's benefit days are 695-697. The child-care allowance of
// kinds 5 and 7 is 169 and 170 in every month.
int SickLeavePartCode(int vid, int sheetSubKind, int partKey, int reportingKey, bool employerDays);

} // namespace kalvor
