#pragma once
// The choice loop after the pension-fund report has been built or merged:
// the choice dialog "Обработка отчета" again and again, the two editors, and
// at the end the XML file and the print form.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "reports/social/ReportRun.h"

#include <QString>

namespace kalvor::reports {

// Runs on the report's worker thread: every dialog and message goes through
// the user-interface thread, the writers run here. The loop ends on
// "Сформировать отчет" (after writing) or on "Отмена" (nothing written).
// A failed XML file is reported and the print form is made all the same.
// Returns what the writing said (WriteOVPFOutputs), a plain done after "Отмена".
platform::TaskOutcome RunOVPFReport(const QString& printPath, const ReportSelection& selection,
                                    const QString& reportFolder, PayrollDoc& doc);

} // namespace kalvor::reports
