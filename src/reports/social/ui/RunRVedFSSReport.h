#pragma once
// The choice loop after the 4-FSS settlement has been built or merged: the
// choice dialog "Обработка отчета" again and again, the two editors, and at
// the end the XML file and the print form of the form the period's year
// calls for (up to 2010, or from 2011).
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"

#include <QString>

namespace kalvor::reports {

// Runs on the report's worker thread: every dialog and message goes through
// the user-interface thread, the writers run here. The loop ends on
// "Сформировать отчет" (after writing) or on "Отмена" (nothing written).
// exportFolder is the XML file's folder (the working folder when empty).
// Returns what the writing said (WriteRVedFSSOutputs), a plain done after "Отмена".
platform::TaskOutcome RunRVedFSSReport(const QString& printPath, const QString& exportFolder, PayrollDoc& doc);

} // namespace kalvor::reports
