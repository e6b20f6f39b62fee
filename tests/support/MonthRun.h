#pragma once
// The month of every employee the calculation worker selects, computed and
// stored as the calculation thread does it (the work file written first,
// closed after), for the tests that print from computed results.
#include "payroll/CalcThread.h"

#include <gtest/gtest.h>

namespace kalvor::testsupport {

inline void ComputeAndStoreMonth(PayrollDoc& doc)
{
    const CalcInPlaceRun run = CalcWholeMonthInPlace(doc);
    ASSERT_TRUE(run.selected);
    ASSERT_GE(run.result, 0) << "list index " << run.index;
}

} // namespace kalvor::testsupport
