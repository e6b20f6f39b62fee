#include "reports/social/ContributionMonths.h"

#include "values/Values.h"

#include <algorithm>

namespace kalvor::reports {

int ContributionsThrough(int month, int firstRow, const PayrollDoc& doc, MonthContributions& out)
{
    out.kindCount = std::clamp<int>(doc.refFiles.sborCount, 0, int(doc.refFiles.sbor.size()));
    out.rows.assign(std::size_t(2 * out.kindCount), infobase::ContributionRow{});
    out.totals.fill(0);
    const infobase::AccrualRow* entries = doc.infoBase.current.rows.data() + firstRow;
    const int result =
        ContributionsByMonths(MonthKey(MonthKey::of(month).year(), 1).value(), month, doc.refFiles.sbor.data(), out.kindCount,
                              out.rows.data(), entries, kLastAccrualRow - firstRow, 0, 0, out.totals.data(), doc);
    if (result < 0)
        return result;
    for (infobase::ContributionRow& row : out.rows) {
        row.base = RoundWhole(row.base);
        row.baseLessAllowance = RoundWhole(row.baseLessAllowance);
        row.allowance = RoundWhole(row.allowance);
        row.disabilityIncome = RoundWhole(row.disabilityIncome);
        row.last = RoundWhole(row.last);
    }
    return 0;
}

} // namespace kalvor::reports
