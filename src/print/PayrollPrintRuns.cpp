#include "print/PayrollPrintRuns.h"

#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/MonthMoney.h"
#include "payroll/PayKinds.h"
#include "payroll/Rounding.h"
#include "platform/Db.h"
#include "platform/DbTransaction.h"
#include "print/CTree.h"
#include "print/CashOrders.h"
#include "print/SettlementStatement.h"
#include "values/Values.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace kalvor::print {

using infobase::AccrualRow;
using infobase::CInfoBase;
using infobase::EmployeeRecord;
using platform::TaskContext;
using platform::TaskOutcome;
using platform::TaskThreadParams;

namespace {

constexpr int kStoppedCount = -1;
// The month's rows of the record; later slots wait for future months.
constexpr int kMonthRows = ::kalvor::infobase::EmployeeRecord::MonthRowCount;

infobase::Selection SwapSelection(const TaskThreadParams& params)
{
    infobase::Selection selection;
    selection.shop = params.shop;
    selection.brigade = params.brigade;
    selection.profession = params.profession;
    selection.tabN = params.personnelNumber;
    selection.flag = params.markedOnly;
    return selection;
}

// Without a dialog of the view, the print command is not run.
struct DecliningPrompt : PrintCommandPrompt {
    std::optional<QString> ConfirmCommand(const QString&, const QString&) override { return std::nullopt; }
};

int SlotOf(const CInfoBase& base, int index) { return base.list[std::size_t(index)].slot; }

// The employees taken by the run and passing the test, counted with the stop
// event polled after each one; kStoppedCount when it was set.
int CountTaken(TaskContext& context, const PayrollDoc& doc, const TaskThreadParams& params,
               const std::function<bool(int slot)>& passes)
{
    int count = 0;
    for (int index = 0; index < doc.infoBase.employeeCount(); ++index) {
        if (TakenForPrint(doc, index, params) && passes(SlotOf(doc.infoBase, index)))
            ++count;
        if (context.stopRequested())
            return kStoppedCount;
    }
    return count;
}

// The marked-only value of the writers: the number of employees taken when
// only marked ones are, else 0.
int MarkedOnlyValue(const TaskThreadParams& params, int count) { return params.markedOnly != 0 ? count : 0; }

// A writer's result as the run's: a negative code with its reason; done, the
// line naming the RTF document written and whether its viewer started (the
// reason is the viewer's text when it did not); any other code (a question
// declined) done with nothing written.
TaskOutcome WriterOutcome(int code, const QString& reason, const QString& outputPath)
{
    if (code < 0)
        return TaskOutcome(platform::TASK_BAD_CONDITION, code, reason);
    if (code > 0)
        return TaskOutcome(platform::TASK_DONE, 0);
    return platform::ViewedDocumentOutcome(RtfOutputPath(outputPath), reason);
}

// The pay-statement run's amounts: the document's table for an unfiltered
// run, a table of the run's own for a run filtered by pay kind or cost code.
struct PayAmounts {
    infobase::BySlot<double> runTable;
    bool filtered = false;
    double& of(CInfoBase& base, int slot) { return filtered ? runTable[slot] : base.zar1Of(slot); }
    // The amount to pay the writers print; 0 for a slot the base does not hold.
    double printed(const CInfoBase& base, int slot) const
    {
        if (!base.holdsSlot(slot))
            return 0.0;
        return filtered ? runTable[slot] : base.zar1Of(slot);
    }
};

// Works out the amount to pay of every employee the run takes, in list
// order; the amounts in list order go to `payees`. False when stopped.
bool ComputeAmounts(TaskContext& context, PayrollDoc& doc, const PrintPlatVedParams& params, PayAmounts& amounts,
                    std::vector<double>& payees)
{
    CInfoBase& base = doc.infoBase;
    for (int index = 0; index < base.employeeCount(); ++index) {
        if (TakenForPrint(doc, index, params)) {
            const int slot = SlotOf(base, index);
            infobase::LoadProizvZarpByMass(base, slot, 2, infobase::kResultRowsTable);
            infobase::LoadSber(base, slot);
            const double amount = AmountToPay(
                MonthMoneyOfRecord(base.current, 0, MonthMoneyFilter{params.payKind, params.costCode}), doc);
            if (base.holdsSlot(slot))
                amounts.of(base, slot) = amount;
            payees.push_back(amount);
        }
        if (context.stopRequested())
            return false;
    }
    return true;
}

// The pay documents: the statements under their forms' names, the others
// as the month's pay documents of their kind.
QString PayDocumentPath(const PayrollDoc& doc, int mode)
{
    if (mode == PaymentStatement)
        return MonthFormPath(doc, "T53");
    if (mode == BudgetStatement)
        return MonthFormPath(doc, "0504403");
    return PaymentDocumentPath(doc, mode, "Zarp");
}

// The settlement statement of kinds 0 and 2 (T-51), 1 (T-49) and 3 (0504401).
const char* SettlementFormName(int kind)
{
    switch (StatementKindInRange(kind)) {
    case 1: return "T49";
    case 3: return "0504401";
    default: return "T51";
    }
}

// Steps 6 to 9 of the pay run: the writer, the computed data, the output of
// the mode and the firm's settings.
TaskOutcome WritePayDocuments(TaskContext& context, PayrollDoc& doc, const PrintPlatVedParams& params,
                              PayAmounts& amounts, int lineCount)
{
    CInfoBase& base = doc.infoBase;
    const int mode = OutputModeInRange(params.outputMode);
    StatementPrintParams writer = WriterSelection(params, 0, mode);
    writer.firstPage = std::int16_t(params.firstSheet);
    writer.lastPage = std::int16_t(params.lastSheet);
    const int markedOnly = MarkedOnlyValue(params, lineCount);
    const QString path = PayDocumentPath(doc, mode);
    if (context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    QString reason;
    const AmountOfSlot payOf = [&](int slot) { return amounts.printed(base, slot); };
    const int code = IsStatementMode(mode)
                         ? PrintPayStatement(writer, doc, path, markedOnly, lineCount, params.options, &reason, payOf)
                         : PrintPayCashOrders(writer, doc, path, markedOnly, &reason, payOf);
    if (code < 0)
        return WriterOutcome(code, reason, path);
    if (context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    db::WriteTogether(infobase::Db(base), [&] {
        infobase::SaveComp(base);
        if (!amounts.filtered)
            infobase::SaveAvZar1(base);
    });
    if (context.stopRequested())
        return TaskOutcome(platform::TASK_STOPPED, 0);
    DecliningPrompt decline;
    PrintCommandPrompt& prompt = params.prompt != nullptr ? *params.prompt : decline;
    const TaskOutcome output = ApplyPrintOutput(mode, StatementForm::Rtf, doc, path, prompt, params.timing, reason);
    if (output.result != platform::TASK_DONE)
        return output;
    infobase::SaveFirm(base);
    return output;
}

} // namespace

// ------------------------------------------------------------ ranges

int PrintFormatInRange(int format) { return format >= AccountPortrait && format <= AccountText ? format : 0; }

int StatementKindInRange(int kind) { return kind >= SettlementT51 && kind <= SettlementBudget ? kind : 0; }

int OutputModeInRange(int mode) { return mode >= 0 && mode < kPrintOutputModeCount ? mode : 0; }

// --------------------------------------------------------- selection

bool TakenForPrint(const PayrollDoc& doc, int index, const TaskThreadParams& selection)
{
    const CInfoBase& base = doc.infoBase;
    if (index < 0 || index >= base.employeeCount())
        return false;
    const infobase::EmployeeListEntry& entry = base.list[std::size_t(index)];
    if (selection.personnelNumber != 0) {
        if (entry.tabN() != selection.personnelNumber)
            return false;
    } else if (selection.markedOnly != 0 && !entry.marked()) {
        return false;
    }
    return base.EmployeeInGroup(entry.slot, selection.shop, selection.brigade, selection.profession);
}

StatementPrintParams WriterSelection(const TaskThreadParams& selection, int variant, int outputMode)
{
    StatementPrintParams params;
    params.outputMode = std::uint8_t(outputMode);
    params.variant = std::uint8_t(variant);
    if (selection.personnelNumber != 0) {
        params.personnelNumber = std::uint16_t(selection.personnelNumber);
        return params;
    }
    if (selection.markedOnly != 0)
        return params;
    params.shop = std::uint8_t(selection.shop);
    params.brigade = std::int8_t(selection.brigade);
    params.profession = std::int16_t(selection.profession);
    return params;
}

// ------------------------------------------------------------ amounts

bool HasSettlementResult(const AccrualRow* rows, int count, int firstRow)
{
    for (int i = std::max(firstRow, 0); i < count; ++i)
        if (rows[i].kod != 0 && RoundWhole(rows[i].sum) != 0)
            return true;
    return false;
}

// ------------------------------------------------------------ workers

TaskOutcome RunPrintSteps(const std::function<TaskOutcome()>& steps)
{
    try {
        return steps();
    } catch (const PrintFileError& error) {
        return TaskOutcome(platform::TASK_FILE_ERROR, error.kind());
    } catch (const TransferFileError& error) {
        return TaskOutcome(platform::TASK_FILE_ERROR, error.kind());
    } catch (const db::DbError& error) {
        return TaskOutcome(platform::TASK_FAILED, 0,
                           error.description().isEmpty() ? error.message()
                                                         : error.message() + QLatin1Char('\n') + error.description());
    } catch (...) {
        return TaskOutcome(platform::TASK_FAILED, 0, platform::TaskThread::describeException(std::current_exception()));
    }
}

TaskOutcome PrintLicschetThreadProc(TaskContext& context, const PrintLicschetParams& params)
{
    return RunPrintSteps([&]() -> TaskOutcome {
        PayrollDoc& doc = *params.document;
        CInfoBase& base = doc.infoBase;
        SwapCloser closer{base};
        if (!infobase::SelectMonthToSwap(base, context.stopToken(), SwapSelection(params)) || context.stopRequested())
            return TaskOutcome(platform::TASK_STOPPED, 0);
        base.OpenSwapFile();
        const int count = CountTaken(context, doc, params, [](int) { return true; });
        if (count == kStoppedCount)
            return TaskOutcome(platform::TASK_STOPPED, 0);
        if (count == 0)
            return TaskOutcome(platform::TASK_NO_DATA, 0);
        StatementPrintParams writer = WriterSelection(params, PrintFormatInRange(params.printFormat));
        QString reason;
        // One employee's accounts (his personnel number typed) are a file of
        // his own.
        const QString path = MonthFormPath(doc, "LS", params.personnelNumber);
        const int code = PrintPersonalAccounts(doc, path, writer, MarkedOnlyValue(params, count), &reason);
        // The text accounts are a file of their own, shown by no viewer.
        if (code == 0 && writer.variant == AccountText)
            return TaskOutcome(platform::TASK_DONE, 0, platform::WrittenFileLine(path));
        return WriterOutcome(code, reason, path);
    });
}

TaskOutcome PrintRaschVedThreadProc(TaskContext& context, const PrintRaschVedParams& params)
{
    return RunPrintSteps([&]() -> TaskOutcome {
        PayrollDoc& doc = *params.document;
        CInfoBase& base = doc.infoBase;
        SwapCloser closer{base};
        if (!infobase::SelectKonstProizvToSwap(base, context.stopToken(), SwapSelection(params)) ||
            context.stopRequested())
            return TaskOutcome(platform::TASK_STOPPED, 0);
        base.OpenSwapFile();
        const int count = CountTaken(context, doc, params, [&base](int slot) {
            std::array<AccrualRow, EmployeeRecord::RowCount> rows{};
            if (!base.swap.readRows(slot, rows.data(), EmployeeRecord::RowCount))
                throw PrintFileError(platform::FILE_ERROR_READ);
            return HasSettlementResult(rows.data(), kMonthRows, base.attributesOf(slot).kvProizv);
        });
        if (count == kStoppedCount)
            return TaskOutcome(platform::TASK_STOPPED, 0);
        if (count == 0)
            return TaskOutcome(platform::TASK_NO_DATA, 0);
        StatementPrintParams writer = WriterSelection(params, StatementKindInRange(params.statementKind));
        QString reason;
        const QString path = MonthFormPath(doc, SettlementFormName(params.statementKind));
        const int code = PrintSettlementStatement(writer, doc, path, MarkedOnlyValue(params, count), &reason);
        return WriterOutcome(code, reason, path);
    });
}

TaskOutcome PrintPlatVedThreadProc(TaskContext& context, const PrintPlatVedParams& params)
{
    if (params.lastSheet != 0 && params.lastSheet < params.firstSheet)
        return TaskOutcome(platform::TASK_BAD_CONDITION, 0);
    return RunPrintSteps([&]() -> TaskOutcome {
        PayrollDoc& doc = *params.document;
        PayAmounts amounts;
        amounts.filtered = params.payKind != 0 || params.costCode != 0;
        if (amounts.filtered)
            amounts.runTable = infobase::BySlot<double>(doc.infoBase.slotCount());
        std::vector<double> payees;
        if (!ComputeAmounts(context, doc, params, amounts, payees))
            return TaskOutcome(platform::TASK_STOPPED, 0);
        const int mode = OutputModeInRange(params.outputMode);
        const int counted = CountPayeesOnSheets(payees, mode, params.firstSheet, params.lastSheet);
        const bool titleOnly =
            mode == PaymentStatement && params.lastSheet == 1 && CountPayeesOnSheets(payees, mode, 0, 0) > 0;
        if (counted == 0 && !titleOnly)
            return TaskOutcome(platform::TASK_NO_DATA, 0);
        return WritePayDocuments(context, doc, params, amounts, counted);
    });
}

} // namespace kalvor::print
