#pragma once
// The document that every payroll function takes: the information base, the
// reference files and the calculation fields shared through the document
// (infobase::KalvorDocData; the shell's CKalvorDoc holds one). One argument of
// this type stands where the calculation's descriptions say "document".
#include "infobase/KalvorDocData.h"
#include "values/Values.h"

namespace kalvor {

using PayrollDoc = infobase::KalvorDocData;

// Month index ((year - 1900) * 12 + month) of the base's reporting month.
inline int ReportingMonthIndex(const PayrollDoc& doc)
{
    return MonthIndex(doc.infoBase.config.reportingYear(), doc.infoBase.config.reportingMonth());
}

} // namespace kalvor
