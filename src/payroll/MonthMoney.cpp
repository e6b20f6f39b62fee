#include "payroll/MonthMoney.h"

#include "infobase/EmployeeRecord.h"
#include "infobase/PayKindCodes.h"
#include "payroll/PayKinds.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor {

namespace {

// The month's rows of an employee's record; those behind them wait for later
// months and are none of this month's money.
constexpr int kMonthRows = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

bool Passes(const infobase::AccrualRow& row, const MonthMoneyFilter& filter)
{
    if (filter.payKind != 0 && row.kod != filter.payKind)
        return false;
    return filter.costCode == 0 || Packed12DigitsValue(row.spzCh, row.spzSc, row.spzAu) == filter.costCode;
}

} // namespace

bool IsAccruedCode(int code) { return code > 0 && IsPaidAccrualCode(code); }

bool IsDeductedCode(int code) { return IsMonthDeductionCode(code); }

MonthMoney MonthMoneyOf(const infobase::AccrualRow* rows, int count, const MonthMoneyFilter& filter)
{
    MonthMoney money;
    for (int i = 0; i < count; ++i) {
        const infobase::AccrualRow& row = rows[i];
        if (!Passes(row, filter))
            continue;
        if (IsAccruedCode(row.kod))
            money.accrued += RoundWhole(row.sum);
        else if (filter.deducts(row.kod))
            money.deducted += RoundWhole(row.sum);
    }
    return money;
}

MonthMoney MonthMoneyOfRecord(const infobase::EmployeeRecord& record, int firstRow, const MonthMoneyFilter& filter)
{
    const int first = std::clamp(firstRow, 0, kMonthRows);
    return MonthMoneyOf(record.rows.data() + first, kMonthRows - first, filter);
}

double AmountToPay(const MonthMoney& money, const PayrollDoc& doc)
{
    const double pay = RoundPayout(RoundByPayKind(money.net(), kCodePayout, doc), doc);
    return pay > 0 ? pay : 0.0;
}

} // namespace kalvor
