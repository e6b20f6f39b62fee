#pragma once
// The workers of the month's payroll print views: personal accounts, the pay
// statement or its cash orders, and the settlement statement. Each takes the
// employees of the document's list that the view's selection names, hands
// them to its writer and ends with a TaskResult:
//   TASK_DONE, TASK_STOPPED (the stop event), TASK_NO_DATA (nothing to
//   print), TASK_BAD_CONDITION (a last sheet before the first; with a
//   negative detail, the writer's CalcErrorTexts code and its reason as the
//   message), TASK_FILE_ERROR (a file failed; the detail is its kind), or
//   TASK_FAILED with the text of any other failure (a database error, say).
// No exception leaves a worker, and the swap work file is closed however a
// run ends.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "print/PayStatement.h"
#include "print/PersonalAccounts.h"
#include "print/PrintOutput.h"

#include <cstdint>
#include <functional>
#include <stop_token>
#include <vector>

namespace kalvor::print {

// What every print view hands its worker: the selection strip (shop,
// brigade, profession, personnel number, marked-only) and the document.
struct PayrollPrintParams : platform::TaskThreadParams {
    PayrollDoc* document = nullptr;
};

// Personal accounts: the print format (0 portrait, 1 landscape, 2 text).
struct PrintLicschetParams : PayrollPrintParams {
    int printFormat = AccountPortrait;
};

// Settlement statement: the statement kind (0 and 2 T-51, 1 T-49, 3 0504401).
struct PrintRaschVedParams : PayrollPrintParams {
    int statementKind = 0;
};

// Pay statement or cash orders.
struct PrintPlatVedParams : PayrollPrintParams {
    int outputMode = PaymentStatement; // PrintOutputMode 0-5
    int firstSheet = 0; // 0: from the first
    int lastSheet = 0; // 0: to the end
    PayStatementOptions options; // the form's two check boxes
    int payKind = 0; // 0: every pay kind
    std::uint64_t costCode = 0; // production cost code, 0: every entry
    PrintCommandPrompt* prompt = nullptr; // the print command's dialog (modes 1, 2)
    TransferFileTiming timing;
};

// A print format outside 0-2 or a statement kind outside 0-3 is read as 0,
// as the forms read numbers out of range, so no unknown variant reaches a
// writer. The same for a payment document kind outside 0-5.
int PrintFormatInRange(int format);
int StatementKindInRange(int kind);
int OutputModeInRange(int mode);

// Whether the employee of the list index is taken by the run: the personnel
// number when it is set, otherwise a mark when only marked employees are
// taken; and then the shop, brigade and profession where they are set.
bool TakenForPrint(const PayrollDoc& doc, int index, const platform::TaskThreadParams& selection);

// The selection as the writers read it: the personnel number when it is set;
// otherwise, unless only marked employees are taken, the shop, brigade and
// profession; the variant byte as given.
StatementPrintParams WriterSelection(const platform::TaskThreadParams& selection, int variant, int outputMode = 0);

// Whether one of the rows from firstRow to the last has a code and a value
// that is not 0 in whole kopecks: the employee has a result to settle.
bool HasSettlementResult(const infobase::AccrualRow* rows, int count, int firstRow);

platform::TaskOutcome PrintLicschetThreadProc(platform::TaskContext& context, const PrintLicschetParams& params);
platform::TaskOutcome PrintRaschVedThreadProc(platform::TaskContext& context, const PrintRaschVedParams& params);
platform::TaskOutcome PrintPlatVedThreadProc(platform::TaskContext& context, const PrintPlatVedParams& params);

// Closes the swap work file however the run ends, so that its lock never
// outlives the run.
struct SwapCloser {
    infobase::CInfoBase& base;
    ~SwapCloser() { base.CloseSwapFile(); }
};

// Runs a worker's steps and turns whatever they throw into the run's
// result: a print file's or the transfer file's failure TASK_FILE_ERROR with
// its kind, any other TASK_FAILED with its text.
platform::TaskOutcome RunPrintSteps(const std::function<platform::TaskOutcome()>& steps);

} // namespace kalvor::print
