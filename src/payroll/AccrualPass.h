#pragma once
// The second half of one employee's monthly calculation: the rows that depend
// on the month's own accruals or on the employee's history (regional and
// northern supplements, absences and vacation at average earnings, the
// employee's pension contribution, loans, transfers, income tax and union
// dues, the advance, writs, contributions, the amount to pay), the compaction
// and cost codes of the rows, the days check of earlier months and, in
// CalcStore mode, the storing of the rows into the employee's record and base.
#include "infobase/MonthResultSaver.h"
#include "payroll/CalcTypes.h"

#include <vector>

namespace kalvor {

// Works on p.rows[0 .. p.count) (room for p.capacity rows) and returns the
// new row count, or a negative CalcErrorTexts code. Rows appended before an
// error stay in the buffer; nothing is stored for a failed employee.
int CalcAccrualsAndTaxes(CalcPass& p);

// The row of later months the store records as a result of the month: the
// standing deductions' rest, the next month's debt (915 of origin
// StandingDebt). A month that keeps no results loses it with them
// (ClearCalculatedMonth).
infobase::RunRecordedRow StandingDebtRecord();

// The month's rows gathered for one cost-allocation kind (940-964): the rows
// whose cost codes equal the kind's non-zero ones, accruals added (code 600
// left out) and deductions taken off, the parts of the kinds with oblProf and
// with oblPodoh, and the income tax at the employee's marginal rate on the
// oblPodoh part.
struct CostAllocation {
    int kind = 0;
    double total = 0, profBase = 0, taxBase = 0, tax = 0;
};
// Every allocation kind of the pay-kind table that carries a cost code.
std::vector<CostAllocation> CostAllocationSums(const CalcPass& p);

// The deduction of a writ of execution on a base less tax (kopecks) in the
// reporting month: its fixed sum, or its percent of the pay after tax (kind 2
// less the bases of its own codes); a writ of kind 1 is cut by its end date.
// Of any kind, it is at most WritShare of the base and tax.
double WritDeduction(const infobase::IspolBlock::Writ& writ, double base, double tax, double secondBases, int year,
                     int month);
// The most the month's writs take together: half of the pay after tax (base
// less tax, kopecks), 0 when nothing is left after the tax.
double WritShare(double base, double tax);

} // namespace kalvor
