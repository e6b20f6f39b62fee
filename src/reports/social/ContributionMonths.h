#pragma once
// The contribution arithmetic of the current employee as the report builders
// read it: ContributionsByMonths from January to a month, with the amounts of
// each row rounded to whole kopecks, per "sbor" record one row of the months
// before it and one of the month itself.
#include "infobase/EmployeeRecord.h"
#include "payroll/Payroll.h"
#include "payroll/PayrollDocument.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kalvor::reports {

struct MonthContributions {
    std::vector<infobase::ContributionRow> rows;
    std::array<double, kContributionTotals> totals{};
    int kindCount = 0;

    const infobase::ContributionRow& prior(int kind) const { return rows[std::size_t(kind)]; }
    const infobase::ContributionRow& own(int kind) const { return rows[std::size_t(kindCount + kind)]; }
};

// The part of an amount above zero (a base or an excess over a cap never
// goes below it).
inline double Positive(double value) { return std::max(value, 0.0); }

// Output rows come first in the month's row block; the rows that the
// contribution arithmetic reads end before index 60.
inline constexpr int kLastAccrualRow = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

// Runs the arithmetic for the current record from January of the month's
// year to the month (year * 16 + month), reading the month's rows from
// firstRow on. Returns 0 or the arithmetic's negative code.
int ContributionsThrough(int month, int firstRow, const PayrollDoc& doc, MonthContributions& out);

} // namespace kalvor::reports
