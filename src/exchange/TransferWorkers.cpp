#include "exchange/TransferWorkers.h"

#include "exchange/TransferFile.h"

namespace kalvor::exchange {

using platform::TaskContext;
using platform::TaskOutcome;

namespace {

TransferSelection TransferSelectionOf(const TransferTaskParams& params)
{
    TransferSelection selection;
    selection.shop = static_cast<unsigned char>(params.shop);
    selection.brigade = static_cast<unsigned char>(params.brigade);
    selection.profession = static_cast<unsigned short>(params.profession);
    selection.tabN = static_cast<unsigned short>(params.personnelNumber);
    return selection;
}

// A run's result as the worker's outcome: an empty file is "нет данных"
// (the no-employees code), other negative results pass as they are.
TaskOutcome OutcomeOf(int result)
{
    if (result == kTransferEmptyFile)
        return TaskOutcome(kTransferNoEmployees);
    return TaskOutcome(result < 0 ? result : int(platform::TASK_DONE));
}

int RunTransfer(int mode, const TransferTaskParams& params, PayrollDoc& doc)
{
    return TransferFileRun(doc, mode, params.fileName, TransferSelectionOf(params),
                           CountMarkedEmployees(doc.infoBase, params));
}

} // namespace

TaskOutcome SymvFormatUploadThreadProc(TaskContext& context, const TransferTaskParams& params, PayrollDoc& doc,
                                       const ExchangeMessenger& messenger)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::FilePart,
                             [&](TaskContext&) { return OutcomeOf(RunTransfer(TransferExport, params, doc)); });
}

TaskOutcome SymvFormatDownloadThreadProc(TaskContext& context, const TransferTaskParams& params, PayrollDoc& doc,
                                         const ExchangeMessenger& messenger)
{
    return RunExchangeWorker(context, messenger, ExchangeCodeFamily::FilePart, [&](TaskContext&) {
        int result = 0;
        try {
            result = RunTransfer(TransferImport, params, doc);
        } catch (...) {
            // Employees taken before the failure are stored already: the
            // lists and line tables follow them.
            SaveTransferImport(doc.infoBase);
            throw;
        }
        SaveTransferImport(doc.infoBase);
        return OutcomeOf(result);
    });
}

} // namespace kalvor::exchange
