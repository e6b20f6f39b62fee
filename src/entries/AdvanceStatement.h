#pragma once
// The advance statement's worker: the month's advances (CInfoBase::av) of
// the employees the statement view names, as the text pay statement (kinds 0
// and 3) or as cash orders (the other kinds), then the output of the kind
// (print command, 1C transfer file). It ends with TASK_DONE, TASK_STOPPED,
// TASK_NO_DATA, TASK_BAD_CONDITION (a last sheet before the first, or a
// writer's negative code as the detail), TASK_FILE_ERROR with the file's
// kind, or TASK_FAILED with the text of any other failure.
#include "entries/PaymentStatements.h"

namespace kalvor {

// The advance statement's block is the one of every entry statement.
using AdvanceStatementParams = PaymentStatementParams;

platform::TaskOutcome AdvanceStatementWorker(platform::TaskContext& context, const AdvanceStatementParams& params);

} // namespace kalvor
