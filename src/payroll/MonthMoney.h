#pragma once
// An employee's month as money: what was accrued, what was deducted and what
// is left to pay, from the month's stored result rows. Every document and
// screen that shows or pays an amount to pay takes it from here, so that they
// all agree to the kopeck.
//
// Accrued: the rows of codes below 700, code 600 (unpaid time) counting 0.
// Deducted: the rows of codes 700 to 939, except 865 to 890 (the tax
// deductions granted, shown for information). Codes from 940 on (the
// cost-allocation groups, the employer's contributions 990-995) are neither:
// they are the employer's, never the employee's.
#include "infobase/PayKindCodes.h"
#include "payroll/PayrollDocument.h"

#include <cstdint>

namespace kalvor {

struct MonthMoney {
    double accrued = 0; // kopecks
    double deducted = 0; // kopecks
    double net() const { return accrued - deducted; }
};

// Only the rows of one pay kind and of one production cost code, where given
// (0: every kind, every cost code), with the deductions of a class (the
// month's deductions unless another is given).
struct MonthMoneyFilter {
    int payKind = 0;
    std::uint64_t costCode = 0;
    bool (*deducts)(int code) = IsMonthDeductionCode;
};

// Whether a code is accrued, deducted, or neither.
bool IsAccruedCode(int code);
bool IsDeductedCode(int code);

// The totals of `count` rows, each amount taken in whole kopecks (RoundWhole).
MonthMoney MonthMoneyOf(const infobase::AccrualRow* rows, int count, const MonthMoneyFilter& filter = {});

// The month's result rows of the current employee record: from the row after
// the month's input rows (`firstRow`, the slot's kvProizv) to the last of the
// month's rows (the rows behind them wait for later months).
MonthMoney MonthMoneyOfRecord(const infobase::EmployeeRecord& record, int firstRow,
                              const MonthMoneyFilter& filter = {});

// The amount paid out: the net rounded by pay kind 904 and by the payout
// rounding of the base; 0 when the deductions reach the accruals.
double AmountToPay(const MonthMoney& money, const PayrollDoc& doc);

} // namespace kalvor
