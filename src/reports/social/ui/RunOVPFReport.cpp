#include "reports/social/ui/RunOVPFReport.h"

#include "reports/social/PensionForm.h"
#include "reports/social/PensionXml.h"
#include "reports/social/ui/CGenrOVPFEditDlg.h"
#include "reports/social/ui/ReportChoiceLoop.h"

namespace kalvor::reports {

void WriteOVPFOutputs(const QString& printPath, const ReportSelection& selection, const QString& reportFolder,
                      PayrollDoc& doc)
{
    WriteXmlAndForm([&] { return WriteOVPFXml(selection, reportFolder, doc); },
                    [&] { return PrintOVPF(printPath, doc); });
}

void RunOVPFReport(const QString& printPath, const ReportSelection& selection, const QString& reportFolder,
                   PayrollDoc& doc)
{
    RunReportChoiceLoop(printPath, {
                                       [&] { CGenrOVPFEditDlg(selection, printPath, reportFolder, doc).DoModal(); },
                                       [&] { CGenrOVPFEditDlg2(selection, printPath, reportFolder, doc).DoModal(); },
                                       [&] { WriteOVPFOutputs(printPath, selection, reportFolder, doc); },
                                   });
}

} // namespace kalvor::reports
