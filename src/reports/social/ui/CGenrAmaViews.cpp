#include "reports/social/ui/CGenrAmaViews.h"

#include "print/CTree.h"
#include "reports/social/Headcount.h"
#include "reports/social/InjuryReport.h"
#include "reports/social/ui/GenrWorker.h"
#include "reports/social/ui/RunOVPFReport.h"
#include "reports/social/ui/RunRVedFSSReport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/TaskView.h"

#include <QKeyEvent>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;
using kalvor::reports::GenrMerged;
using kalvor::reports::GenrReadStatus;

namespace {

// The outcome of a merge that failed on a file.
TaskOutcome FailedMerge(GenrReadStatus status, const GenrMerged& merged)
{
    using namespace kalvor::platform;
    switch (status) {
    case GenrReadStatus::OpenFailed: return TaskOutcome(TASK_FILE_ERROR, FILE_ERROR_OPEN);
    case GenrReadStatus::ReadFailed: return TaskOutcome(TASK_FILE_ERROR, FILE_ERROR_READ);
    case GenrReadStatus::BadValue: kalvor::reports::ShowGenrError(merged.refusal); return TaskOutcome(TASK_DONE);
    default: kalvor::reports::ShowGenrError(kalvor::reports::GenrReadStatusText(status)); return TaskOutcome(TASK_DONE);
    }
}

// A merged print form's end: its failure as the report's own print shows
// it, or the line naming the document.
TaskOutcome PrintedFormOutcome(int result, const QString& path, const QString& errorText)
{
    if (result < 0) {
        if (!errorText.isEmpty())
            kalvor::reports::ShowGenrError(errorText);
        return TaskOutcome(kalvor::platform::TASK_DONE);
    }
    return kalvor::platform::ViewedDocumentOutcome(kalvor::print::RtfOutputPath(path), errorText);
}

} // namespace

CGenrAmaView::CGenrAmaView(int tag, CKalvorDoc* doc, QWidget* parent) : CAmaSvodView(doc, parent), m_tag(tag) {}

void CGenrAmaView::StartMerge()
{
    CAmaSvodView::StartMerge();
    kalvor::infobase::KalvorDocData& doc = *Document();
    StartMergeWorker([&doc, files = FileNames(), tag = m_tag, make = MakeReport()](TaskContext& context) {
        return kalvor::reports::RunGenrGuarded(context, [&]() -> TaskOutcome {
            GenrMerged merged;
            const GenrReadStatus status = kalvor::reports::MergeGenrDataFiles(files, tag, doc, merged);
            if (status != GenrReadStatus::Done)
                return FailedMerge(status, merged);
            const kalvor::reports::MergedReportPeriod period(doc, merged);
            return make(doc, merged);
        });
    });
}

void CGenrAmaView::OnMergeDone(int result, int detail, const QString& failure)
{
    ShowTaskResult(this, result, detail, QStringLiteral("Нет данных для печати"));
    CAmaSvodView::OnMergeDone(result, detail, failure);
}

void CGenrAmaView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape || Editing()) {
        CAmaSvodView::keyPressEvent(event);
        return;
    }
    if (auto* frame = qobject_cast<CMainFrame*>(window())) {
        StopMergeWorker();
        frame->OnMainPanelTaxReports();
    }
}

// ---------------------------------------------------------------- the four

CGenrAmaOVPFView::CGenrAmaOVPFView(CKalvorDoc* doc, QWidget* parent)
    : CGenrAmaView(kalvor::reports::GENR_TAG_PF, doc, parent)
{}

CGenrAmaView::ReportMaker CGenrAmaOVPFView::MakeReport() const
{
    return [](kalvor::infobase::KalvorDocData& doc, const GenrMerged& merged) {
        return kalvor::reports::RunOVPFReport(kalvor::reports::ReportFormPath(doc, kalvor::reports::kPensionReport),
                                              merged.selection, QString(), doc);
    };
}

CGenrAmaRVedFSSView::CGenrAmaRVedFSSView(CKalvorDoc* doc, QWidget* parent)
    : CGenrAmaView(kalvor::reports::GENR_TAG_FSS4, doc, parent)
{}

CGenrAmaView::ReportMaker CGenrAmaRVedFSSView::MakeReport() const
{
    return [](kalvor::infobase::KalvorDocData& doc, const GenrMerged&) {
        return kalvor::reports::RunRVedFSSReport(kalvor::reports::ReportFormPath(doc, kalvor::reports::kFss4Report),
                                                 QString(), doc);
    };
}

CGenrAmaSSChislRabsView::CGenrAmaSSChislRabsView(CKalvorDoc* doc, QWidget* parent)
    : CGenrAmaView(kalvor::reports::GENR_TAG_HEADCOUNT, doc, parent)
{}

CGenrAmaView::ReportMaker CGenrAmaSSChislRabsView::MakeReport() const
{
    return [](kalvor::infobase::KalvorDocData& doc, const GenrMerged& merged) {
        const QString path = kalvor::reports::ReportFormPath(doc, kalvor::reports::kHeadcountReport);
        QString errorText;
        return PrintedFormOutcome(kalvor::reports::PrintSSChislRabs(path, doc, merged.headcount, &errorText), path,
                                  errorText);
    };
}

CGenrAmaProfTravmOtchFSSView::CGenrAmaProfTravmOtchFSSView(CKalvorDoc* doc, QWidget* parent)
    : CGenrAmaView(kalvor::reports::GENR_TAG_INJURY, doc, parent)
{}

CGenrAmaView::ReportMaker CGenrAmaProfTravmOtchFSSView::MakeReport() const
{
    return [](kalvor::infobase::KalvorDocData& doc, const GenrMerged&) {
        const QString path = kalvor::reports::ReportFormPath(doc, kalvor::reports::kInjuryReport);
        QString errorText;
        return PrintedFormOutcome(kalvor::reports::PrintProfTravmOtchFSS(path, doc, &errorText), path, errorText);
    };
}
