#pragma once
// A small document for the statement tests: a firm, two shops, employees
// with short names, shops, brigades and advances, and their sick-leave
// sheets and vacation notes. Reporting month April 2011; no pay kinds, so
// amounts round by the base settings (whole kopecks, payout in kopecks).
#include "payroll/PayrollDocument.h"

#include <vector>

namespace kalvor::printtest {

struct StatementEmployee {
    int personnelNumber = 0;
    int shop = 1;
    int brigade = 0;
    double advance = 0; // kopecks
};

// Employees get slots 1, 2, ... in the given order and stand in the list in it.
void BuildStatementDoc(PayrollDoc& doc, const std::vector<StatementEmployee>& employees);
// count employees numbered 101, 102 ... with advances of 1,000.50, 1,001.50 ...
// roubles, all in shop 1.
std::vector<StatementEmployee> NumberedEmployees(int count);

} // namespace kalvor::printtest
