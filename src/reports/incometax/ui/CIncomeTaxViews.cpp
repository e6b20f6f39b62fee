#include "reports/incometax/ui/CIncomeTaxViews.h"

#include "infobase/InfoBaseDb.h"
#include "platform/SavedFile.h"
#include "print/ui/CPrnEditPrompt.h"
#include "reports/incometax/IncomeRegisterText.h"
#include "reports/incometax/ui/CGenrNalRegEditDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CommandRegistry.h"


using kalvor::reports::GenrJob;
using kalvor::reports::GenrRun;
using kalvor::reports::GenrRunDetail;

namespace {

// The working panel of the generator's reports.
constexpr int kGeneratorPanel = 16;

void SaveConfiguration(const GenrRun& run) { kalvor::infobase::SaveConfig(run.doc.infoBase); }

} // namespace

CGenrNalRegistrView::CGenrNalRegistrView(CKalvorDoc* doc, QWidget* parent)
    : CGenrTaskView(FormId, QStringLiteral("Налоговый регистр по НДФЛ"), StripLabels::WithDefaults, doc, parent)
{
    AddPeriodLine([this] {
        return kalvor::reports::ReportPeriodLine(Document()->infoBase.config, kalvor::reports::kTaxRegisterReport);
    });
    FinishForm(false);
}

GenrJob CGenrNalRegistrView::Job() const
{
    GenrJob job(kalvor::reports::kTaxRegisterReport);
    // The run needs its work file, beside which the register's form is written.
    job.build = [](const GenrRun& run, GenrRunDetail& detail) {
        if (!kalvor::platform::WriteWholeFile(run.workFilePath, QByteArray())) {
            detail.fileError = kalvor::platform::FILE_ERROR_OPEN;
            return int(kalvor::reports::GenrFileFailed);
        }
        return int(kalvor::reports::GenrDone);
    };
    job.loop = [](const GenrRun& run) {
        return kalvor::reports::RunNalRegReport(run.workFilePath, run.selection, run.markedCount, run.doc, run.stop);
    };
    job.closing = SaveConfiguration;
    return job;
}

CGenrRegisterTextView::CGenrRegisterTextView(CKalvorDoc* doc, QWidget* parent)
    : CGenrTaskView(FormId, QStringLiteral("Печать реестра доходов и подоходного налога"), StripLabels::WithDefaults,
                    doc, parent)
{
    AddPeriodLine([this] {
        return kalvor::reports::ReportPeriodLine(Document()->infoBase.config, kalvor::reports::kIncomeRegisterReport);
    });
    FinishForm(false);
}

GenrJob CGenrRegisterTextView::Job() const
{
    GenrJob job(kalvor::reports::kIncomeRegisterReport);
    job.build = [](const GenrRun& run, GenrRunDetail&) {
        return kalvor::reports::PrintRegisterText(run.stop, run.selection, run.workFilePath, run.markedCount, run.doc);
    };
    job.loop = [](const GenrRun& run) {
        kalvor::print::CPrnEditPrompt prompt;
        return kalvor::print::PrintedReportOutcome(run.workFilePath,
                                                   kalvor::print::PrintTextFile(run.doc, run.workFilePath, prompt));
    };
    job.closing = SaveConfiguration;
    return job;
}

void RegisterIncomeTaxScreens(CommandRegistry& registry)
{
    const QStringList menu = {QStringLiteral("Главные панели"), QStringLiteral("Генератор налоговых отчетов")};
    const struct {
        int id;
        const char* caption;
        ViewFactory makeView;
    } commands[] = {
        {CGenrNalRegistrView::CommandId, "Налоговый регистр по НДФЛ",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrNalRegistrView(doc); }},
        {CGenrRegisterTextView::CommandId, "Печать реестра доходов и подоходного налога",
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrRegisterTextView(doc); }},
    };
    for (const auto& entry : commands) {
        CommandInfo command;
        command.id = entry.id;
        command.caption = QString::fromUtf8(entry.caption);
        command.menuPath = menu;
        command.panel = kGeneratorPanel;
        command.makeView = entry.makeView;
        registry.AddCommand(command);
    }
}
