#include "entries/PaymentStatements.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/PayKinds.h"
#include "print/CashOrders.h"
#include "print/PayrollPrintRuns.h"
#include "print/PrintOutput.h"

#include <algorithm>
#include <optional>

namespace kalvor {

using platform::TaskOutcome;
using print::StatementKind;

namespace {

// Without a dialog of the view, the print command is not run.
struct DecliningPrompt : print::PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString&, const QString&) override { return std::nullopt; }
};

// The paid lines among one employee's sheets or notes.
template <class Line>
int PaidLinesOf(const infobase::LineArray<Line>& lines, int slot, const PayrollDoc& doc)
{
    if (slot < 1 || slot > lines.slotCount())
        return 0;
    int paid = 0;
    const int first = lines.first(slot);
    const int end = std::min(first + lines.count(slot), lines.lineCapacity());
    for (int line = first; line < end; ++line) {
        const Line& entry = lines.lines[std::size_t(line)];
        if (IsPaidLine(entry.sum, int(entry.mrp), doc))
            ++paid;
    }
    return paid;
}

// What the statement of the kind numbers for the employee of the slot: his
// advance (1 when there is one), or his paid lines.
int ItemsOfEmployee(StatementKind kind, const PayrollDoc& doc, int slot)
{
    const infobase::CInfoBase& base = doc.infoBase;
    switch (kind) {
    case StatementKind::Advance:
        return base.holdsSlot(slot) && base.avOf(slot) != 0 ? 1 : 0;
    case StatementKind::SickPay: return PaidLinesOf(base.bln, slot, doc);
    case StatementKind::Vacation: return PaidLinesOf(base.otp, slot, doc);
    }
    return 0;
}

// The selection, the kind and the sheets as the statement writers read them.
print::StatementPrintParams WriterParams(const PaymentStatementParams& params)
{
    print::StatementPrintParams writer = EntryWriterSelection(params);
    writer.outputMode = std::uint8_t(print::OutputModeInRange(params.outputMode));
    writer.firstPage = std::int16_t(params.firstSheet);
    writer.lastPage = std::int16_t(params.lastSheet);
    return writer;
}

int WriteStatementText(StatementKind kind, const print::StatementPrintParams& writer, const PayrollDoc& doc,
                       const QString& path, int markedCount)
{
    const int rows = print::CountStatementRowsInRange(kind, writer, doc, markedCount);
    switch (kind) {
    case StatementKind::Advance: return print::WriteAdvanceStatementText(writer, doc, path, markedCount, rows);
    case StatementKind::SickPay: return print::WriteSickPayStatementText(writer, doc, path, markedCount, rows);
    case StatementKind::Vacation: return print::WriteVacationStatementText(writer, doc, path, markedCount, rows);
    }
    return 0;
}

int PrintCashOrders(StatementKind kind, const print::StatementPrintParams& writer, PayrollDoc& doc, const QString& path,
                    int markedCount, QString* viewerText)
{
    switch (kind) {
    case StatementKind::Advance: return print::PrintAdvanceCashOrders(writer, doc, path, markedCount, viewerText);
    case StatementKind::SickPay: return print::PrintSickPayCashOrders(writer, doc, path, markedCount, viewerText);
    case StatementKind::Vacation: return print::PrintVacationCashOrders(writer, doc, path, markedCount, viewerText);
    }
    return 0;
}

// What each statement pays, by which its documents are named.
const char* PaymentOf(StatementKind kind)
{
    switch (kind) {
    case StatementKind::SickPay: return "Bol";
    case StatementKind::Vacation: return "Otp";
    default: return "Avans";
    }
}

// The statement or the orders into the work file; a negative writer code.
// The bank form leaves why its viewer did not start in viewerText.
int WriteStatementDocument(StatementKind kind, const PaymentStatementParams& params, PayrollDoc& doc, int markedCount,
                           QString* viewerText)
{
    const print::StatementPrintParams writer = WriterParams(params);
    const int mode = writer.outputMode;
    const QString path = print::PaymentDocumentPath(doc, mode, PaymentOf(kind));
    if (mode == print::PaymentStatement || mode == print::BudgetStatement)
        return WriteStatementText(kind, writer, doc, path, markedCount);
    return PrintCashOrders(kind, writer, doc, path, markedCount, viewerText);
}

// The tables a statement keeps after writing: the advances, or the sheets or
// notes with their index words.
void SaveStatementTables(StatementKind kind, infobase::CInfoBase& base)
{
    switch (kind) {
    case StatementKind::Advance: infobase::SaveAvZar1(base); break;
    case StatementKind::SickPay: infobase::SaveLines(base, infobase::LineKind::Bln); break;
    case StatementKind::Vacation: infobase::SaveLines(base, infobase::LineKind::Otp); break;
    }
}

TaskOutcome WriteAndHandOn(StatementKind kind, platform::TaskContext& context, const PaymentStatementParams& params)
{
    PayrollDoc& doc = *params.document;
    const int mode = print::OutputModeInRange(params.outputMode);
    const StatementCount count = CountStatementItems(kind, params, doc, context.stopToken());
    if (count.stopped)
        return TaskOutcome(platform::TASK_STOPPED, 0);
    const int printed = print::CountOnSheets(count.items, mode, params.firstSheet, params.lastSheet);
    const bool headSheetAlone = mode == print::PaymentStatement && params.lastSheet == 1 && count.items > 0;
    if (printed == 0 && !headSheetAlone)
        return TaskOutcome(platform::TASK_NO_DATA, 0);
    // In marks mode the writers take the marked employees, whatever the
    // personnel number field holds, so that they print what was counted.
    const int markedCount = params.markedOnly != 0 ? count.employees : 0;
    QString viewerText;
    if (const int code = WriteStatementDocument(kind, params, doc, markedCount, &viewerText); code < 0)
        return TaskOutcome(platform::TASK_BAD_CONDITION, code);
    SaveStatementTables(kind, doc.infoBase);
    DecliningPrompt decline;
    print::PrintCommandPrompt& prompt = params.prompt != nullptr ? *params.prompt : decline;
    const TaskOutcome output = print::ApplyPrintOutput(mode, print::StatementForm::Text, doc,
                                                       print::PaymentDocumentPath(doc, mode, PaymentOf(kind)), prompt,
                                                       params.timing, viewerText);
    if (output.result != platform::TASK_DONE)
        return output;
    infobase::SaveFirm(doc.infoBase);
    return output;
}

} // namespace

bool TakenForEntryPrint(const PayrollDoc& doc, int index, const platform::TaskThreadParams& selection)
{
    const infobase::CInfoBase& base = doc.infoBase;
    if (index < 0 || index >= base.employeeCount())
        return false;
    const infobase::EmployeeListEntry& entry = base.list[std::size_t(index)];
    if (selection.markedOnly != 0) {
        if (!entry.marked())
            return false;
    } else if (selection.personnelNumber != 0 && entry.tabN() != selection.personnelNumber) {
        return false;
    }
    return base.EmployeeInGroup(entry.slot, selection.shop, selection.brigade, selection.profession);
}

print::StatementPrintParams EntryWriterSelection(const platform::TaskThreadParams& selection)
{
    print::StatementPrintParams writer;
    writer.shop = std::uint8_t(selection.shop);
    writer.brigade = std::int8_t(selection.brigade);
    writer.profession = std::int16_t(selection.profession);
    writer.personnelNumber = selection.markedOnly != 0 ? 0 : std::uint16_t(selection.personnelNumber);
    return writer;
}

bool IsPaidLine(double sum, int payFlag, const PayrollDoc& doc) { return payFlag != 0 && RoundPayout(sum, doc) != 0; }

StatementCount CountStatementItems(StatementKind kind, const PaymentStatementParams& params, const PayrollDoc& doc,
                                   std::stop_token stop)
{
    const infobase::CInfoBase& base = doc.infoBase;
    StatementCount count;
    for (int index = 0; index < base.employeeCount(); ++index) {
        if (!TakenForEntryPrint(doc, index, params))
            continue;
        const int items = ItemsOfEmployee(kind, doc, base.list[std::size_t(index)].slot);
        // The advance takes only the employees who have one.
        if (kind == StatementKind::Advance && items == 0)
            continue;
        ++count.employees;
        count.items += items;
        if (stop.stop_requested()) {
            count.stopped = true;
            break;
        }
    }
    return count;
}

TaskOutcome RunPaymentStatement(StatementKind kind, platform::TaskContext& context,
                                const PaymentStatementParams& params)
{
    if (params.lastSheet != 0 && params.lastSheet < params.firstSheet)
        return TaskOutcome(platform::TASK_BAD_CONDITION, 0);
    if (context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    return print::RunPrintSteps([&] { return WriteAndHandOn(kind, context, params); });
}

TaskOutcome SickPayStatementWorker(platform::TaskContext& context, const PaymentStatementParams& params)
{
    return RunPaymentStatement(StatementKind::SickPay, context, params);
}

TaskOutcome VacationStatementWorker(platform::TaskContext& context, const PaymentStatementParams& params)
{
    return RunPaymentStatement(StatementKind::Vacation, context, params);
}

} // namespace kalvor
