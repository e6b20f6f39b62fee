#include "reports/social/ui/SocialReportOutputs.h"

#include "reports/social/FigureRelations.h"
#include "reports/social/PensionForm.h"
#include "reports/social/PensionXml.h"
#include "reports/social/SocialInsurance2010.h"
#include "reports/social/SocialInsurance2011.h"
#include "reports/social/ui/ReportChoiceLoop.h"
#include "shell/ui/KalvorMessageBox.h"

namespace kalvor::reports {

namespace {

// The first year of the 4-FSS form from 2011.
constexpr int kForm2011Year = 2011;

// A report whose figures break a relation of its lines is not written: the
// relation is said naming both lines, and the run's end line says it too.
std::optional<platform::TaskOutcome> RefusedFigures(const std::vector<FigureRelation>& relations)
{
    const std::optional<FigureRelation> broken = BrokenRelation(relations);
    if (!broken)
        return std::nullopt;
    const QString said = broken->refusal() + QStringLiteral("\nОтчет не сформирован.");
    KalvorMessageBox(said, MB_OK | MB_ICONERROR);
    return platform::TaskOutcome(platform::TASK_DONE, 0, said);
}

} // namespace

platform::TaskOutcome WriteOVPFOutputs(const QString& printPath, const ReportSelection& selection,
                                       const QString& reportFolder, PayrollDoc& doc)
{
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kPensionReport.period);
    if (auto refused = RefusedFigures(PensionFigureRelations(doc.GenrValues, period)))
        return *refused;
    return WriteXmlAndForm(
        printPath, [&](QString* written) { return WriteOVPFXml(selection, reportFolder, doc, written); },
        [&](QString* viewer) { return PrintOVPF(printPath, doc, viewer); });
}

platform::TaskOutcome WriteRVedFSSOutputs(const QString& printPath, const QString& exportFolder, PayrollDoc& doc)
{
    const int year = ResolveReportPeriod(doc.infoBase.config).year;
    if (auto refused = RefusedFigures(Fss4FigureRelations(doc.GenrValues, year)))
        return *refused;
    if (year < kForm2011Year)
        return WriteXmlAndForm(
            printPath, [&](QString* written) { return WriteRVedFSSXml2010(exportFolder, doc, written); },
            [&](QString* viewer) { return PrintRVedFSS2010(printPath, doc, viewer); });
    return WriteXmlAndForm(
        printPath, [&](QString* written) { return WriteRVedFSSXml2011(exportFolder, doc, written); },
        [&](QString* viewer) { return PrintRVedFSS2011(printPath, doc, viewer); });
}

} // namespace kalvor::reports
