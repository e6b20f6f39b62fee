#pragma once
// The bonus statement's worker: the bonuses of the month's bonus lines
// (labour-participation shares of the brigades included) of the employees
// the statement view names, as the text pay statement (kinds 0 and 3) or as
// cash orders (the other kinds), then the output of the kind (print command,
// 1C transfer file). The amounts belong to the run: the document's advances
// and amounts to pay are left as they are.
//
// It ends with TASK_DONE, TASK_STOPPED, TASK_NO_DATA (nobody selected,
// nothing on the sheets asked for), TASK_BAD_CONDITION (a last sheet before
// the first, or the bonus calculation's negative CalcErrorTexts code as the
// detail), TASK_FILE_ERROR with the file's kind, or TASK_FAILED with the text
// of any other failure (no exception leaves it).
#include "entries/AdvanceStatement.h"

namespace kalvor {

struct BonusStatementParams : AdvanceStatementParams {
    // The bonus lines of the pay kinds marked in the help of the pay-kind
    // field (PayKind::mark) are taken, of every employee of the list.
    int payKindsMarked = 0;
};

// What the writers are handed besides the sheets and the kind: how many
// employees the view's selection names (in marks mode the marked ones) and
// the writers' selector: minus the number of marked pay kinds when pay kinds
// were marked, else in marks mode the number of marked employees, else 0.
struct BonusSelection {
    int employees = 0;
    int payKinds = 0;
    int selector = 0;
};
BonusSelection SelectForBonusStatement(const PayrollDoc& doc, const BonusStatementParams& params);

platform::TaskOutcome BonusStatementWorker(platform::TaskContext& context, const BonusStatementParams& params);

} // namespace kalvor
