#pragma once
// The payment statements of the month's entries: the advance, the sick pay
// and the vacation pay, each as the text pay statement (kinds 0 and 3) or as
// cash orders (the other kinds), then the output of the kind (print command,
// 1C transfer file). One run serves the three; they differ in what they
// number and place on the sheets (employees with an advance, or the
// sick-leave sheets and vacation notes to be paid in the month), in their
// writers and in the tables they save after writing.
//
// A run ends with TASK_DONE, TASK_STOPPED, TASK_NO_DATA, TASK_BAD_CONDITION
// (a last sheet before the first, or a writer's negative code as the detail
// with its text), TASK_FILE_ERROR with the file's kind, or TASK_FAILED with
// the text of any other failure. No exception leaves a worker.
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "print/PrintOutput.h"
#include "print/TextStatements.h"

#include <stop_token>

namespace kalvor {

struct PaymentStatementParams : platform::TaskThreadParams {
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

// Whether the employee of the list index is taken by an entry print run:
// in marks mode when his entry has one of its three selection flags,
// otherwise without a personnel number or with his; then a non-zero shop,
// brigade and profession must each be his.
bool TakenForEntryPrint(const PayrollDoc& doc, int index, const platform::TaskThreadParams& selection);

// The selection as the entry writers read it: shop, brigade, profession,
// and the personnel number outside marks mode (0 in it: the writers then take
// the marked employees).
print::StatementPrintParams EntryWriterSelection(const platform::TaskThreadParams& selection);

// What a statement run numbers and places on the sheets before it writes:
// the employees with an advance, or the paid lines (a sick-leave sheet or
// vacation note whose sum rounded by the payout rounding is not 0 and whose
// "Выплатить в м/р" is set) of the employees taken.
struct StatementCount {
    int items = 0; // numbered in list order from 0
    int employees = 0; // employees taken
    bool stopped = false; // the stop event was set
};
StatementCount CountStatementItems(print::StatementKind kind, const PaymentStatementParams& params,
                                   const PayrollDoc& doc, std::stop_token stop = {});

// Whether a sick-leave sheet or vacation note is paid with its statement.
bool IsPaidLine(double sum, int payFlag, const PayrollDoc& doc);

// The whole run of one statement: the sheet check, the count, the writer of
// the kind, the saves of its tables, the output and the firm record.
platform::TaskOutcome RunPaymentStatement(print::StatementKind kind, platform::TaskContext& context,
                                          const PaymentStatementParams& params);

// The sick-pay statement: the sick-leave sheets to be paid in the month;
// then the sheets and their index words are saved.
platform::TaskOutcome SickPayStatementWorker(platform::TaskContext& context, const PaymentStatementParams& params);
// The vacation-pay statement: the vacation notes to be paid in the month;
// then the notes and their index words are saved.
platform::TaskOutcome VacationStatementWorker(platform::TaskContext& context, const PaymentStatementParams& params);

} // namespace kalvor
