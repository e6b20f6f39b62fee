#include "reports/social/ui/GenrWorker.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "print/CTree.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Messages.h"

#include <algorithm>

namespace kalvor::reports {

using platform::TaskOutcome;

namespace {

constexpr int kFirstReportYear = 2010;

// The builder's own result as the view learns it; its failures are shown here.
TaskOutcome BuilderOutcome(int result, const GenrRunDetail& detail)
{
    if (result < 0) {
        ShowGenrError(ReportErrorText(result));
        return TaskOutcome(platform::TASK_DONE);
    }
    if (result == GenrFileFailed)
        return TaskOutcome(platform::TASK_FILE_ERROR, detail.fileError);
    if (result == GenrPrintFailed && !detail.text.isEmpty())
        ShowGenrError(detail.text);
    if (result == GenrRefused) {
        // Said in a box and kept in the view's line.
        ShowGenrError(detail.text);
        return TaskOutcome(platform::TASK_DONE, 0, detail.text);
    }
    return TaskOutcome(platform::TASK_DONE);
}

// What the run says when it ends well: the data file, or the loop's own
// words, or the form the builder wrote; the period first where the job names it.
TaskOutcome DoneRunOutcome(const GenrRun& run, const GenrJob& job, const GenrRunDetail& detail)
{
    TaskOutcome outcome;
    if (!run.dataFilePath.isEmpty())
        outcome = TaskOutcome(platform::TASK_DONE, 0, platform::WrittenFileLine(run.dataFilePath));
    else if (job.loop)
        outcome = job.loop(run);
    else
        outcome = platform::ViewedDocumentOutcome(print::RtfOutputPath(run.workFilePath), detail.text);
    if (job.namesPeriod) {
        const QString period = ReportPeriodLine(run.doc.infoBase.config, job.form);
        outcome.message = outcome.message.isEmpty() ? period : period + QLatin1Char('\n') + outcome.message;
    }
    return outcome;
}

TaskOutcome RunJob(const GenrRun& run, const GenrJob& job)
{
    GenrRunDetail detail;
    const int result = job.build(run, detail);
    if (result != GenrDone)
        return BuilderOutcome(result, detail);
    TaskOutcome outcome = DoneRunOutcome(run, job, detail);
    if (job.closing)
        job.closing(run);
    return outcome;
}

} // namespace

void ShowGenrError(const QString& text)
{
    KalvorMessageBox(text, MB_OK | MB_ICONERROR, QString::fromUtf8(kMessageCaption));
}

TaskOutcome RunGenrGuarded(platform::TaskContext& context, const std::function<TaskOutcome()>& work)
{
    try {
        return work();
    } catch (const TextError& error) {
        ShowGenrError(error.message());
        return TaskOutcome(platform::TASK_DONE);
    } catch (const db::DbError& error) {
        context.runOnGui([&] {
            ShowComError(error);
            return 0;
        });
        return TaskOutcome(platform::TASK_FAILED);
    }
}

QString ReportYearNotBuiltText() { return QStringLiteral("Генерация отчета за года до 2010 г. не реализована"); }

int CountMarkedEmployees(const infobase::CInfoBase& base)
{
    return int(std::count_if(base.list.begin(), base.list.end(),
                             [](const infobase::EmployeeListEntry& entry) { return entry.marked(); }));
}

TaskOutcome RunGenrWorker(platform::TaskContext& context, PayrollDoc& doc, const ReportSelection& selection,
                          int markedOnly, const QString& dataFilePath, const GenrJob& job)
{
    // The year is checked after the period's defaults, so that a year of 0
    // (the base's year) passes.
    if (job.from2010 && ResolveReportPeriod(doc.infoBase.config).year < kFirstReportYear) {
        ShowGenrError(ReportYearNotBuiltText());
        return TaskOutcome(platform::TASK_DONE);
    }
    const int markedCount = markedOnly != 0 ? CountMarkedEmployees(doc.infoBase) : 0;
    const QString form = ReportFormPath(doc, job.form, markedCount == 0 ? selection.tabN : 0);
    const GenrRun run{doc, selection, markedCount, dataFilePath, form, context.stopToken()};
    return RunGenrGuarded(context, [&] { return RunJob(run, job); });
}

} // namespace kalvor::reports
