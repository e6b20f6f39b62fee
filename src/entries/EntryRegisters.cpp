#include "entries/EntryRegisters.h"

#include "entries/PaymentStatements.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcErrors.h"
#include "platform/DbTransaction.h"
#include "print/CTree.h"
#include "print/PayrollPrintRuns.h"
#include "print/PrintOutput.h"
#include "print/PrintSelection.h"
#include "print/SickLeaveRegister.h"
#include "print/VacationNoteForm.h"

#include <functional>
#include <optional>

namespace kalvor {

using infobase::LineKind;
using platform::TaskOutcome;

namespace {

constexpr int kStoppedCount = -1;

// Without a dialog of the view, the print command is not run.
struct DecliningPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString&, const QString&) override { return std::nullopt; }
};

// The employee's lines in use: the cursor of the writers passes over the
// unused ones, so the count agrees with what they print.
int LinesInUse(LineKind kind, const PayrollDoc& doc, int employee)
{
    const auto next = kind == LineKind::Bln ? print::NextSickSheetInSelection : print::NextVacationEntryInSelection;
    int count = 0;
    for (int cursor = next(employee * print::kEntryCursorStride, doc, 0, 0, 0);
         cursor >= 0 && print::CursorEmployee(cursor) == employee; cursor = next(cursor, doc, 0, 0, 0))
        ++count;
    return count;
}

// A writer's negative code as the run's result, with its text and reason.
TaskOutcome WriterFailure(int code, const QString& reason)
{
    QString text = CalcErrorText(code);
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    return TaskOutcome(platform::TASK_BAD_CONDITION, code, text);
}

// The writers take the marked employees when the run does (the number of
// lines counted stands for the marks), else the personnel number.
int MarkedCount(const EntryRegisterParams& params, int lines) { return params.markedOnly != 0 ? lines : 0; }

TaskOutcome WriteSickLeaveRegister(platform::TaskContext& context, const EntryRegisterParams& params)
{
    PayrollDoc& doc = *params.document;
    const int lines = CountRegisterLines(LineKind::Bln, params, doc, context.stopToken());
    if (lines == kStoppedCount)
        return TaskOutcome(platform::TASK_STOPPED, 0);
    if (lines == 0)
        return TaskOutcome(platform::TASK_NO_DATA, 0);
    QString reason;
    // Named after the form and the reporting month, beside the other forms.
    const QString path = print::MonthFormPath(doc, "BolReg");
    const int code =
        print::PrintSickLeaveRegister(doc, path, EntryWriterSelection(params), MarkedCount(params, lines), &reason);
    if (code < 0)
        return WriterFailure(code, reason);
    db::WriteTogether(infobase::Db(doc.infoBase), [&] {
        infobase::SaveLines(doc.infoBase, LineKind::Bln);
        infobase::SaveConfig(doc.infoBase);
    });
    return platform::ViewedDocumentOutcome(print::RtfOutputPath(path), reason);
}

TaskOutcome WriteVacationNotes(platform::TaskContext& context, const EntryRegisterParams& params)
{
    PayrollDoc& doc = *params.document;
    const int lines = CountRegisterLines(LineKind::Otp, params, doc, context.stopToken());
    if (lines == kStoppedCount)
        return TaskOutcome(platform::TASK_STOPPED, 0);
    if (lines == 0)
        return TaskOutcome(platform::TASK_NO_DATA, 0);
    const QString path = print::MonthFormPath(doc, "OtpZap");
    const int code = print::WriteVacationNoteCalc(EntryWriterSelection(params), params.withNote,
                                                  MarkedCount(params, lines), doc, path, context.stopToken());
    if (code < 0)
        return WriterFailure(code, QString());
    infobase::SaveLines(doc.infoBase, LineKind::Otp);
    DecliningPrompt decline;
    const print::PrintCommandResult printed =
        print::PrintTextFile(doc, path, params.prompt != nullptr ? *params.prompt : decline);
    infobase::SaveConfig(doc.infoBase);
    return print::PrintedReportOutcome(path, printed);
}

// Runs the steps so that whatever they throw becomes the run's result; a
// writer that gave up because the stop event was set ends as stopped.
TaskOutcome RunRegisterSteps(platform::TaskContext& context, const std::function<TaskOutcome()>& steps)
{
    if (context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    const TaskOutcome outcome = print::RunPrintSteps(steps);
    if (outcome.result == platform::TASK_FAILED && context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    return outcome;
}

} // namespace

int CountRegisterLines(LineKind kind, const EntryRegisterParams& params, const PayrollDoc& doc, std::stop_token stop)
{
    int count = 0;
    for (int index = 0; index < doc.infoBase.employeeCount(); ++index) {
        if (!TakenForEntryPrint(doc, index, params))
            continue;
        count += LinesInUse(kind, doc, index);
        if (stop.stop_requested())
            return kStoppedCount;
    }
    return count;
}

TaskOutcome SickLeaveRegisterWorker(platform::TaskContext& context, const EntryRegisterParams& params)
{
    return RunRegisterSteps(context, [&] { return WriteSickLeaveRegister(context, params); });
}

TaskOutcome VacationNoteCalcWorker(platform::TaskContext& context, const EntryRegisterParams& params)
{
    return RunRegisterSteps(context, [&] { return WriteVacationNotes(context, params); });
}

} // namespace kalvor
