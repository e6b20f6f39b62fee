#pragma once
// The month of every employee the calculation worker selects, computed and
// stored as the calculation thread does it (the work file written first,
// closed after), for the tests that print from computed results.
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcOptions.h"
#include "payroll/CalcThread.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kalvor::testsupport {

inline void ComputeAndStoreMonth(PayrollDoc& doc)
{
    infobase::CInfoBase& base = doc.infoBase;
    ASSERT_TRUE(infobase::SelectAllToSwap(base, infobase::Selection{}));
    base.OpenSwapFile();
    CalcThreadParams params;
    params.document = &doc;
    std::vector<int> indexes;
    SelectEmployeesForCalculation(params, doc, indexes);
    auto work = std::make_unique<CalcWorkBuffer>();
    auto rows = std::make_unique<CalcResultBuffer>();
    for (const int index : indexes) ASSERT_GE(CalcEmployeeMonth(doc, rows->data(), index, work.get(), CalcStore), 0);
    base.CloseSwapFile();
}

} // namespace kalvor::testsupport
