#include "reports/social/ui/RunRVedFSSReport.h"

#include "reports/social/SocialInsurance2010.h"
#include "reports/social/SocialInsurance2011.h"
#include "reports/social/ui/CGenrRVedFSSEditDlg.h"
#include "reports/social/ui/ReportChoiceLoop.h"

namespace kalvor::reports {

// The first year of the form from 2011.
constexpr int kForm2011Year = 2011;

platform::TaskOutcome WriteRVedFSSOutputs(const QString& printPath, const QString& exportFolder, PayrollDoc& doc)
{
    if (ResolveReportPeriod(doc.infoBase.config).year < kForm2011Year)
        return WriteXmlAndForm(
            printPath, [&](QString* written) { return WriteRVedFSSXml2010(exportFolder, doc, written); },
            [&](QString* viewer) { return PrintRVedFSS2010(printPath, doc, viewer); });
    return WriteXmlAndForm(
        printPath, [&](QString* written) { return WriteRVedFSSXml2011(exportFolder, doc, written); },
        [&](QString* viewer) { return PrintRVedFSS2011(printPath, doc, viewer); });
}

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
