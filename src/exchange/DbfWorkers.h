#pragma once
// The workers of the four dBASE exchange views. Each shows its failures and
// results itself (ExchangeWorker.h, the codes as message 42 + k) and ends with
// a result the view shows nothing more for:
// - the table workers write a table of their kind (constant information,
//   archive data, accrued pay) or read one into the base; after a read
//   "Прочитано %u записей" and, for constant information, "Новых сотрудников
//   в базе: %u "; when names changed the lists are brought into name order;
// - the kinds worker writes the base's pay kinds into "kod.dbf" of the
//   working folder or reads them from it.
#include "exchange/ExchangeWorker.h"
#include "payroll/PayrollDocument.h"

#include <QString>

#include <functional>

namespace kalvor::exchange {

// Radio 1445 of the forms: write from the base into the file, or read back.
enum DbfOperation : int { DbfOperationWrite = 0, DbfOperationRead = 1 };

// The block a table view hands its worker: the strip (shop, brigade and
// personnel number, SelectedOnly), the chosen file and the operation.
struct DbfTaskParams : platform::TaskThreadParams {
    QString path;
    int operation = DbfOperationWrite;
};

// The worker's progress: the list position of the employee at hand and the
// count of marked employees; -1 at the end.
using DbfProgress = std::function<void(int position, int count)>;

platform::TaskOutcome DbfCInfThreadProc(platform::TaskContext& context, const DbfTaskParams& params, PayrollDoc& doc,
                                        const ExchangeMessenger& messenger, const DbfProgress& progress);
platform::TaskOutcome DbfArchThreadProc(platform::TaskContext& context, const DbfTaskParams& params, PayrollDoc& doc,
                                        const ExchangeMessenger& messenger, const DbfProgress& progress);
platform::TaskOutcome DbfZarpThreadProc(platform::TaskContext& context, const DbfTaskParams& params, PayrollDoc& doc,
                                        const ExchangeMessenger& messenger, const DbfProgress& progress);
platform::TaskOutcome DbfNUThreadProc(platform::TaskContext& context, int operation, PayrollDoc& doc,
                                      const ExchangeMessenger& messenger);

// After names changed: a list in name order is sorted again; in
// personnel-number order the stored name-order list is sorted and saved and
// the current list stays as it was.
void SortListsAfterNameChange(infobase::CInfoBase& base);

} // namespace kalvor::exchange
