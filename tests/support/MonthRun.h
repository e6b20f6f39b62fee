#pragma once
// The month of every employee the calculation worker selects, computed and
// stored by the calculation's own run, for the tests that print from
// computed results.
#include "payroll/CalcThread.h"

#include <gtest/gtest.h>

namespace kalvor::testsupport {

inline void ComputeAndStoreMonth(PayrollDoc& doc)
{
    const CalcInPlaceRun run = CalcWholeMonthInPlace(doc);
    ASSERT_EQ(run.outcome.result, platform::TASK_DONE) << run.outcome.message.toStdString();
    ASSERT_EQ(run.outcome.detail, 0) << "employee " << run.failedTabN << ", error " << run.failedCode;
}

} // namespace kalvor::testsupport
