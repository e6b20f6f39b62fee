#include "reports/social/EmployeeContributions.h"

#include "infobase/EmployeeRecord.h"
#include <algorithm>

namespace kalvor::reports {

namespace {
// The month rows that the contribution arithmetic reads end before index 60.
constexpr int kLastAccrualRow = ::kalvor::infobase::EmployeeRecord::MonthRowCount;
} // namespace

double EmployeeContributions::grossAndPaid() const
{
    double sum = 0;
    for (const infobase::ContributionRow& row : rows) sum += row.base + row.last;
    return sum;
}

int ContributionsOfMonths(const PayrollDoc& doc, int firstMonth, int lastMonth, int firstRow, int kindLimit,
                          EmployeeContributions& out, int monthRule)
{
    const int available = std::clamp<int>(doc.refFiles.sborCount, 0, int(doc.refFiles.sbor.size()));
    out.kindCount = std::min(available, kindLimit);
    out.rows.assign(std::size_t(2 * out.kindCount), infobase::ContributionRow{});
    out.totals.fill(0);
    const int start = std::clamp(firstRow, 0, kLastAccrualRow);
    const infobase::AccrualRow* entries = doc.infoBase.current.rows.data() + start;
    return ContributionsByMonths(firstMonth, lastMonth, doc.refFiles.sbor.data(), out.kindCount, out.rows.data(),
                                 entries, kLastAccrualRow - start, monthRule, 0, out.totals.data(), doc);
}

} // namespace kalvor::reports
