#pragma once
// The workers of the two transfer-file views. The upload writes the chosen
// employees into the file; the download reads the file into the base and then
// saves every table it touched, whatever the run's outcome, so that the base
// matches memory. Results are shown as exchange message 42 + k (-4, -6, -14,
// -16), an empty file as "нет данных"; file failures as their text.
#include "exchange/ExchangeWorker.h"
#include "payroll/PayrollDocument.h"

#include <QString>

namespace kalvor::exchange {

// The block of a transfer view: the strip (shop, brigade, profession,
// personnel number, marked-only) and the file name as typed.
struct TransferTaskParams : platform::TaskThreadParams {
    QString fileName;
};

platform::TaskOutcome SymvFormatUploadThreadProc(platform::TaskContext& context, const TransferTaskParams& params,
                                                 PayrollDoc& doc, const ExchangeMessenger& messenger);
platform::TaskOutcome SymvFormatDownloadThreadProc(platform::TaskContext& context, const TransferTaskParams& params,
                                                   PayrollDoc& doc, const ExchangeMessenger& messenger);

} // namespace kalvor::exchange
