#include "reports/social/ui/SocialReportOutputs.h"

#include "reports/social/PensionForm.h"
#include "reports/social/PensionXml.h"
#include "reports/social/SocialInsurance2010.h"
#include "reports/social/SocialInsurance2011.h"
#include "reports/social/ui/ReportChoiceLoop.h"

namespace kalvor::reports {

// The first year of the 4-FSS form from 2011.
constexpr int kForm2011Year = 2011;

platform::TaskOutcome WriteOVPFOutputs(const QString& printPath, const ReportSelection& selection,
                                       const QString& reportFolder, PayrollDoc& doc)
{
    return WriteXmlAndForm(
        printPath, [&](QString* written) { return WriteOVPFXml(selection, reportFolder, doc, written); },
        [&](QString* viewer) { return PrintOVPF(printPath, doc, viewer); });
}

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

} // namespace kalvor::reports
