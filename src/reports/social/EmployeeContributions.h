#pragma once
// The contribution arithmetic of the current employee over a run of months,
// as the social-tax cards and the earnings certificate read it: for each
// "sbor" record the months before the last (cumulated) and the last month
// itself.
#include "infobase/RefFiles.h"
#include "payroll/Payroll.h"

#include <array>
#include <vector>

namespace kalvor::reports {

struct EmployeeContributions {
    std::vector<infobase::ContributionRow> rows;
    std::array<double, kContributionTotals> totals{};
    int kindCount = 0;

    const infobase::ContributionRow& prior(int kind) const { return rows[std::size_t(kind)]; }
    const infobase::ContributionRow& own(int kind) const { return rows[std::size_t(kindCount + kind)]; }
    // The sum of the gross amount and the amount paid over every row.
    double grossAndPaid() const;
};

// A kind limit that takes every "sbor" record.
inline constexpr int kAllContributionKinds = infobase::CRefFiles::SborCapacity;

// Runs ContributionsByMonths from firstMonth to lastMonth (year * 16 + month)
// over the first kindLimit "sbor" records (all of them when it is larger) and
// the current record's month rows from firstRow on, with the arithmetic's
// monthRule (0: paid month; otherwise each amount in its own month). Returns
// 0 or the arithmetic's negative code.
int ContributionsOfMonths(const PayrollDoc& doc, int firstMonth, int lastMonth, int firstRow, int kindLimit,
                          EmployeeContributions& out, int monthRule = 0);

} // namespace kalvor::reports
