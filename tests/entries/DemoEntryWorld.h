// The demo-base screen fixture under the name the entry screens' tests use.
#pragma once

#include "masterdata/DemoScreenWorld.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/PayrollDocument.h"

#ifdef KALVOR_DATA_DIR

namespace entrytest {

using namespace employeetest;
using DemoEntryWorld = employeetest::DemoScreenWorld;

// The month's calculation of one employee, stored, as the month's run does
// it: his slot selected into the work file, computed, the file closed.
// Returns the engine's row count or its error.
inline int StoreMonthOf(kalvor::PayrollDoc& doc, int tabN, kalvor::CalcResultBuffer& rows)
{
    kalvor::infobase::CInfoBase& base = doc.infoBase;
    kalvor::infobase::Selection selection;
    selection.tabN = tabN;
    EXPECT_TRUE(kalvor::infobase::SelectAllToSwap(base, selection));
    base.OpenSwapFile();
    kalvor::CalcWorkBuffer work;
    const int result = kalvor::CalcEmployeeMonth(doc, rows.data(), base.FindEmployee(tabN), &work, kalvor::CalcStore);
    base.CloseSwapFile();
    return result;
}

} // namespace entrytest

#endif
