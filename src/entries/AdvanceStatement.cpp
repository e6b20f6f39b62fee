#include "entries/AdvanceStatement.h"

#include "infobase/InfoBaseDb.h"
#include "print/CashOrders.h"
#include "print/PayrollPrintRuns.h"
#include "print/TextStatements.h"

#include <optional>

namespace kalvor {

using platform::TaskOutcome;

namespace {

// Without a dialog of the view, the print command is not run.
struct DecliningPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString&, const QString&) override { return std::nullopt; }
};

// The selection as the statement writers read it: the strip, the personnel
// number outside marks mode, the kind and the sheets.
print::StatementPrintParams WriterParams(const AdvanceStatementParams& params)
{
    print::StatementPrintParams writer;
    writer.outputMode = std::uint8_t(print::OutputModeInRange(params.outputMode));
    writer.shop = std::uint8_t(params.shop);
    writer.brigade = std::int8_t(params.brigade);
    writer.profession = std::int16_t(params.profession);
    writer.firstPage = std::int16_t(params.firstSheet);
    writer.lastPage = std::int16_t(params.lastSheet);
    writer.personnelNumber = params.markedOnly != 0 ? 0 : std::uint16_t(params.personnelNumber);
    return writer;
}

// The statement or the orders into the work file; a negative writer code.
int WriteAdvanceDocument(const AdvanceStatementParams& params, PayrollDoc& doc, int markedCount)
{
    const print::StatementPrintParams writer = WriterParams(params);
    const QString path = doc.TypWorkFile();
    const int mode = writer.outputMode;
    if (mode == print::PaymentStatement || mode == print::BudgetStatement) {
        const int rows = print::CountStatementRowsInRange(print::StatementKind::Advance, writer, doc, markedCount);
        return print::WriteAdvanceStatementText(writer, doc, path, markedCount, rows);
    }
    return print::PrintAdvanceCashOrders(writer, doc, path, markedCount);
}

TaskOutcome RunAdvanceStatement(platform::TaskContext& context, const AdvanceStatementParams& params)
{
    PayrollDoc& doc = *params.document;
    infobase::CInfoBase& base = doc.infoBase;
    const int mode = print::OutputModeInRange(params.outputMode);
    int taken = 0;
    for (int index = 0; index < base.employeeCount(); ++index) {
        if (TakenForAdvance(doc, index, params)) {
            ++taken;
            if (context.stopRequested())
                return TaskOutcome(platform::TASK_STOPPED, 0);
        }
    }
    const int printed = print::CountOnSheets(taken, mode, params.firstSheet, params.lastSheet);
    const bool headSheetAlone = mode == print::PaymentStatement && params.lastSheet == 1 && taken > 0;
    if (printed == 0 && !headSheetAlone)
        return TaskOutcome(platform::TASK_NO_DATA, 0);
    const int markedCount = params.markedOnly != 0 && params.personnelNumber == 0 ? taken : 0;
    if (const int code = WriteAdvanceDocument(params, doc, markedCount); code < 0)
        return TaskOutcome(platform::TASK_BAD_CONDITION, code);
    infobase::SaveAvZar1(base);
    DecliningPrompt decline;
    print::PrintCommandPrompt& prompt = params.prompt != nullptr ? *params.prompt : decline;
    const TaskOutcome output =
        print::ApplyPrintOutput(mode, print::StatementForm::Text, doc, doc.TypWorkFile(), prompt, params.timing);
    if (output.result != platform::TASK_DONE)
        return output;
    infobase::SaveFirm(base);
    return TaskOutcome(platform::TASK_DONE, 0);
}

} // namespace

bool TakenForAdvance(const PayrollDoc& doc, int index, const platform::TaskThreadParams& selection)
{
    const infobase::CInfoBase& base = doc.infoBase;
    if (index < 0 || index >= base.employeeCount())
        return false;
    const infobase::EmployeeListEntry& entry = base.list[std::size_t(index)];
    const bool marksMode = selection.markedOnly != 0;
    if (!marksMode && selection.personnelNumber != 0 && entry.tabN() != selection.personnelNumber)
        return false;
    if (marksMode && !entry.marked())
        return false;
    const std::size_t slot = entry.slot;
    if (slot < 1 || slot > base.av.size() || base.av[slot - 1] == 0)
        return false;
    return base.EmployeeInGroup(entry.slot, selection.shop, selection.brigade, selection.profession);
}

TaskOutcome AdvanceStatementWorker(platform::TaskContext& context, const AdvanceStatementParams& params)
{
    if (params.lastSheet != 0 && params.lastSheet < params.firstSheet)
        return TaskOutcome(platform::TASK_BAD_CONDITION, 0);
    if (context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    return print::RunPrintSteps([&] { return RunAdvanceStatement(context, params); });
}

} // namespace kalvor
