#include "entries/BonusStatement.h"

#include "entries/BonusEntry.h"
#include "infobase/InfoBaseDb.h"
#include "print/CashOrders.h"
#include "print/PayrollPrintRuns.h"
#include "print/PrintOutput.h"
#include "print/TextStatements.h"

#include <optional>

namespace kalvor {

using platform::TaskOutcome;

namespace {

// Without a dialog of the view, the print command is not run.
struct DecliningPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString&, const QString&) override { return std::nullopt; }
};

// The selection as the bonus writers read it: the personnel number when one
// is given, else the strip unless marks are used; the kind, the sheets and
// the pay kind unless every kind is taken.
print::StatementPrintParams WriterParams(const BonusStatementParams& params)
{
    const int mode = print::OutputModeInRange(params.outputMode);
    print::StatementPrintParams writer = print::WriterSelection(params, 0, mode);
    writer.firstPage = std::int16_t(params.firstSheet);
    writer.lastPage = std::int16_t(params.lastSheet);
    writer.payKind = params.allPayKinds != 0 ? 0 : std::uint16_t(params.payKind);
    return writer;
}

// Whether the employee of the list index is named by the view's selection.
bool SelectedForBonus(const infobase::CInfoBase& base, int index, const BonusStatementParams& params)
{
    const infobase::EmployeeListEntry& entry = base.list[std::size_t(index)];
    if (params.markedOnly != 0)
        return entry.marked();
    if (params.personnelNumber != 0 && entry.tabN() != params.personnelNumber)
        return false;
    return base.EmployeeInGroup(entry.slot, params.shop, params.brigade, params.profession);
}

// The statement or the orders into the work file, over the swap file of
// every listed employee, from which the brigades' shares read their members.
// The writer's result, or nothing when stopped.
std::optional<int> WriteBonusDocument(platform::TaskContext& context, const BonusStatementParams& params,
                                      PayrollDoc& doc, int selector, QString* viewerText)
{
    infobase::CInfoBase& base = doc.infoBase;
    print::SwapCloser closer{base};
    if (!infobase::SelectAllToSwap(base, infobase::Selection{}, context.stopToken()) || context.stopRequested())
        return std::nullopt;
    base.OpenSwapFile();
    const print::StatementPrintParams writer = WriterParams(params);
    const QString path = print::PaymentDocumentPath(doc, writer.outputMode, "Prem");
    if (writer.outputMode == print::PaymentStatement || writer.outputMode == print::BudgetStatement)
        return print::WriteBonusStatementText(writer, doc, path, selector);
    return print::PrintBonusCashOrders(writer, doc, path, selector, viewerText);
}

TaskOutcome RunBonusStatement(platform::TaskContext& context, const BonusStatementParams& params)
{
    PayrollDoc& doc = *params.document;
    infobase::CInfoBase& base = doc.infoBase;
    const BonusSelection selection = SelectForBonusStatement(doc, params);
    if (selection.employees == 0 || (params.payKindsMarked != 0 && selection.payKinds == 0))
        return TaskOutcome(platform::TASK_NO_DATA, 0);
    QString viewerText;
    const std::optional<int> code = WriteBonusDocument(context, params, doc, selection.selector, &viewerText);
    if (!code || context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    if (*code == print::kNothingToPrint)
        return TaskOutcome(platform::TASK_NO_DATA, 0);
    if (*code < 0)
        return TaskOutcome(platform::TASK_BAD_CONDITION, *code);
    StoreBonusLines(base);
    DecliningPrompt decline;
    print::PrintCommandPrompt& prompt = params.prompt != nullptr ? *params.prompt : decline;
    const TaskOutcome output = print::ApplyPrintOutput(
        print::OutputModeInRange(params.outputMode), print::StatementForm::Text, doc,
        print::PaymentDocumentPath(doc, params.outputMode, "Prem"), prompt, params.timing, viewerText);
    if (output.result != platform::TASK_DONE)
        return output;
    infobase::SaveFirm(base);
    return output;
}

} // namespace

BonusSelection SelectForBonusStatement(const PayrollDoc& doc, const BonusStatementParams& params)
{
    const infobase::CInfoBase& base = doc.infoBase;
    BonusSelection selection;
    for (int index = 0; index < base.employeeCount(); ++index)
        if (SelectedForBonus(base, index, params))
            ++selection.employees;
    if (params.payKindsMarked != 0) {
        for (const infobase::PayKind& kind : base.payKinds())
            if (kind.mark())
                ++selection.payKinds;
        selection.selector = -selection.payKinds;
    } else if (params.markedOnly != 0) {
        selection.selector = selection.employees;
    }
    return selection;
}

TaskOutcome BonusStatementWorker(platform::TaskContext& context, const BonusStatementParams& params)
{
    if (params.lastSheet != 0 && params.lastSheet < params.firstSheet)
        return TaskOutcome(platform::TASK_BAD_CONDITION, 0);
    if (context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    return print::RunPrintSteps([&] { return RunBonusStatement(context, params); });
}

} // namespace kalvor
