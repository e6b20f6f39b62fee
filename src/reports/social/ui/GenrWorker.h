#pragma once
// The worker of the report generator's task views: what every report's thread
// does around its builder. It counts the marked employees, refuses a period
// before 2010 where the report asks for it (after the period's defaults), runs
// the builder, shows a builder's failure in a message box with the caption
// "Kalvor", and, when no report data file was asked for and the builder did
// not fail, goes on to the report's choice loop or closing step.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "reports/social/ReportRun.h"

#include <QString>

#include <functional>
#include <optional>
#include <stop_token>

namespace kalvor::reports {

// What a builder is run with.
struct GenrRun {
    PayrollDoc& doc;
    ReportSelection selection;
    int markedCount = 0;
    QString dataFilePath; // empty: no report data file
    QString workFilePath; // the form's work file (GenrJob::form), whose document ends in .rtf
    std::stop_token stop;
};

struct GenrJob {
    // Every job names the form it writes: the run's work file is the form's
    // (ReportFormPath, with the selected employee where the form is one
    // employee's), so that no report's file is another's.
    explicit GenrJob(const ReportForm& reportForm) : form(reportForm) {}
    ReportForm form;
    // The pension-fund and 4-FSS reports are not made for years before 2010.
    bool from2010 = false;
    // The run's end line names the period the form computes first
    // (ReportPeriodLine), then what the run wrote.
    bool namesPeriod = false;
    // The builder: a GenrRunResult or a negative ReportErrorTexts code.
    std::function<int(const GenrRun&, GenrRunDetail&)> build;
    // After a builder result of 0 or more without a data file: the choice
    // loop, which says what it wrote (without a loop the run's line names the
    // form the builder wrote at the work file); after a result of exactly 0 (with or
    // without a data file): the closing step (the base configuration saved).
    // Either may be empty.
    std::function<platform::TaskOutcome(const GenrRun&)> loop;
    std::function<void(const GenrRun&)> closing;
};

// The text shown for a period before 2010.
QString ReportYearNotBuiltText();

// The number of employees of the current list that have one of their three
// selection marks: the count a builder takes for "marked employees only".
int CountMarkedEmployees(const infobase::CInfoBase& base);

// Runs a worker's work with the failures every generator thread handles
// alike: a text exception (a read error of a builder) shown in an error box,
// then TASK_DONE; a database error shown in its own box, then TASK_FAILED.
platform::TaskOutcome RunGenrGuarded(platform::TaskContext& context,
                                     const std::function<platform::TaskOutcome()>& work);

// Shows a report's failure in an error box with the caption "Kalvor".
void ShowGenrError(const QString& text);

// Runs the job on the worker: TASK_DONE after a run or a failure already
// shown (with the files written and where: the data file, or what the loop
// wrote), TASK_FILE_ERROR with the FileErrorKind when the data file could not
// be written, TASK_FAILED after a database error (shown in its own box).
platform::TaskOutcome RunGenrWorker(platform::TaskContext& context, PayrollDoc& doc, const ReportSelection& selection,
                                    int markedOnly, const QString& dataFilePath, const GenrJob& job);

} // namespace kalvor::reports
