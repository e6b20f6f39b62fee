#include "reports/social/ui/RunOVPFReport.h"

#include "reports/social/ui/CGenrOVPFEditDlg.h"
#include "reports/social/ui/ReportChoiceLoop.h"
#include "reports/social/ui/SocialReportOutputs.h"

namespace kalvor::reports {

platform::TaskOutcome RunOVPFReport(const QString& printPath, const ReportSelection& selection,
                                    const QString& reportFolder, PayrollDoc& doc)
{
    return RunReportChoiceLoop(
        printPath, {
                       [&](const QString& path) { CGenrOVPFEditDlg(selection, path, reportFolder, doc).DoModal(); },
                       [&](const QString& path) { CGenrOVPFEditDlg2(selection, path, reportFolder, doc).DoModal(); },
                       [&](const QString& path) { return WriteOVPFOutputs(path, selection, reportFolder, doc); },
                       QStringLiteral("Редактировать раздел 1 и 5"),
                       QStringLiteral("Редактировать раздел 4"),
                   });
}

} // namespace kalvor::reports
