#pragma once
// The advance statement's worker: the month's advances (CInfoBase::av) of
// the employees the statement view names, as the text pay statement (kinds 0
// and 3) or as cash orders (the other kinds), then the output of the kind
// (print command, 1C transfer file). It ends with TASK_DONE, TASK_STOPPED,
// TASK_NO_DATA, TASK_BAD_CONDITION (a last sheet before the first, or a
// writer's negative code as the detail), TASK_FILE_ERROR with the file's
// kind, or TASK_FAILED with the text of any other failure.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "print/PrintOutput.h"

namespace kalvor {

struct AdvanceStatementParams : platform::TaskThreadParams {
    int outputMode = print::PaymentStatement; // 0-5
    int firstSheet = 0;
    int lastSheet = 0; // 0: to the end
    int withoutPause = 0;
    int newEmployeesOnly = 0;
    int allPayKinds = 1; // the pay-kind field was empty or "*"
    int payKind = 0;
    PayrollDoc* document = nullptr;
    print::PrintCommandPrompt* prompt = nullptr; // the print command's dialog
    print::TransferFileTiming timing;
};

// Whether the employee of the list index is taken into the advance
// statement: considered in marks mode, without a personnel number, or with
// his; taken when his advance is not 0, in marks mode he is marked, and a
// non-zero shop, brigade and profession are his.
bool TakenForAdvance(const PayrollDoc& doc, int index, const platform::TaskThreadParams& selection);

platform::TaskOutcome AdvanceStatementWorker(platform::TaskContext& context, const AdvanceStatementParams& params);

} // namespace kalvor
