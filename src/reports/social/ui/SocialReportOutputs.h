#pragma once
// The outputs of the pension-fund report and of the 4-FSS settlement: the XML
// file and the print form, written at the end of the choice loop and by the
// editors' "Сформировать отчет" alike.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "reports/social/ReportRun.h"

#include <QString>

namespace kalvor::reports {

// Writes the pension-fund report's XML file into the folder and the print
// form beside the print path, reporting a failure of either in a message box.
// Figures that break a relation of the report's lines (FigureRelations.h)
// are said in a box and nothing is written; so for the 4-FSS.
platform::TaskOutcome WriteOVPFOutputs(const QString& printPath, const ReportSelection& selection,
                                       const QString& reportFolder, PayrollDoc& doc);

// Writes the 4-FSS XML file into the folder and the print form beside the
// print path, the 2010 pair for a period of 2010 or earlier, else the 2011
// pair; a failure of either is reported in a message box, and a failed XML
// file does not keep the print form from being made.
platform::TaskOutcome WriteRVedFSSOutputs(const QString& printPath, const QString& exportFolder, PayrollDoc& doc);

} // namespace kalvor::reports
