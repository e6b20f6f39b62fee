#include "reports/social/ui/RunRVedFSSReport.h"

#include "reports/social/ui/CGenrRVedFSSEditDlg.h"
#include "reports/social/ui/ReportChoiceLoop.h"
#include "reports/social/ui/SocialReportOutputs.h"

namespace kalvor::reports {

platform::TaskOutcome RunRVedFSSReport(const QString& printPath, const QString& exportFolder, PayrollDoc& doc)
{
    return RunReportChoiceLoop(
        printPath, {
                       [&](const QString& path) { CGenrRVedFSSEditDlg(path, exportFolder, doc).DoModal(); },
                       [&](const QString& path) { CGenrRVedFSSEditDlg2(path, exportFolder, doc).DoModal(); },
                       [&](const QString& path) { return WriteRVedFSSOutputs(path, exportFolder, doc); },
                       QStringLiteral("Редактировать таблицы 1, 2 и 7"),
                       QStringLiteral("Редактировать таблицу 4.1"),
                   });
}

} // namespace kalvor::reports
