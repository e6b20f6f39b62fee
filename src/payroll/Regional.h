#pragma once
// The regional coefficient and the northern allowance of one employee's
// month, as rows of the accrual pass.
//
// Both are computed twice by the pass: on the month's own accruals
// (onAverages false: codes 83 and 104 for the regional coefficient, 82 and
// 103 for the northern allowance) and, after the vacation pay, on the
// payments at average earnings (onAverages true: codes 102 and 101). Each
// computation tops up what the rows already hold for the month, so running
// the calculation again never doubles a supplement.
//
// A kind counts when it is in the pay-kind table with enKoefRS set. The
// payments at average earnings are the codes 85-91, 95-98 and 601-634; the
// benefits 155-159 and 195-197 carry their own codes 104 and 103. Bases come
// from CalcBaseBySelector; the caller opens the pass's month window
// (vacationWindow) around the call. The employee's northern-service date is read with EmployeeDateYear
// (Criteria.h).
#include "payroll/CalcTypes.h"

#include <vector>

namespace kalvor {

// What the supplements of one run over many employees keep from employee to
// employee: the counting kinds among the payments at average earnings,
// ascending, listed from the pay-kind table at the first employee (the table
// does not change during a run).
struct RegionalRun {
    std::vector<int> averageCodes;
    bool listed = false; // averageCodes holds the list
    std::vector<double> averageSums; // room for their bases, one month at a time
};

// Appends the supplement rows; returns 0 or a negative CalcErrorTexts code
// (-25 when the time sheet's day mask disagrees with rabDn in a month that
// the allowance splits, or a negative count of CalcBaseBySelector). Each of
// the two supplements checks its own conditions (procRaj; procSev with a
// northern-service date; on averages also that kind 83 or 82 does not enter
// the vacation average), so the pass may call this whenever the rows exist.
int RegionalNorthernRows(CalcPass& p, bool onAverages);

// The northern allowance's steps for a month of service n: before and after
// the anniversary day within the month (equal when the month is not split).
void NorthernSteps(int n, int periodSevNad, int maxKvSevNad, int& before, int& after);

// Appends a computed row of the accrual pass (the supplements, the absences
// at average earnings, the employee's pension contribution): AppendRow, then
// the row stays only when KindActiveInMonth accepts it (a permanent payment
// of the same code may take the amount off an earlier row or keep the
// earlier row instead). Code 600 rows carry the fixed amount 100. 1 kept,
// 0 dropped, or kCalcTooManyRows (only for a row that would be kept).
int AppendComputedRow(CalcPass& p, int code, double amount, int month, int days = 0, int minutes = 0);

} // namespace kalvor
