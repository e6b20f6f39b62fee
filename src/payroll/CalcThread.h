#pragma once
// The worker of the calculation screen: picks the employees to compute,
// writes the members of their brigades into the swap work file (the sharing
// of a brigade's fund reads the other members' records there), and computes
// each employee's month (CalcEmployeeMonth, storing the results) from his
// record read straight from the base, reporting through the task-thread
// protocol:
//   stage()                 (WM_CALC_STAGE) at the start, before the loading stage;
//   progress(0, n)          the number of employees to compute (the progress range);
//   calcProgress(i, errors) (WM_CALC_PROGRESS) after an employee, i its index in
//                           the employee list, just after progress(position, n) with
//                           the number of employees computed so far; at most about
//                           sixty a second: the first employee, then one a pacing
//                           interval later, and always the last one computed (also
//                           when stopped or failed);
//   done(result, errors)    (WM_TASK_DONE) TASK_DONE with the number of employees that
//                           failed (and, for a year without its own tax tables,
//                           TaxTablesYearWarning as the message), TASK_STOPPED, or
//                           TASK_FAILED with the reason when the loading stage or a
//                           database write failed.
// What the run did by employee goes into the caller's RunOutcome when one is
// given (read it once the run has ended): those computed, those the selection
// leaves out by their status (skipped), the warnings about a computed month,
// and each failure with its text. An employee skipped or failed keeps no
// results of the month: his computed rows are removed in the run's
// transaction and his amount to pay is 0, so that no document shows an
// earlier run's figures as current.
// An employee that fails gets the error code (k of -k) in the status word of
// its attribute record (err, bits 4-9), one computed cleanly gets 0; each
// employee's status word and amount to pay are stored with his results,
// together or not at all.
//
// A store that the base refuses (at any of its tables) ends the run at the
// employee it belongs to: those before him keep their new results, status
// words and amounts to pay, he and those after him their old ones, in the
// base and in memory; TASK_FAILED with a few lines that name him and what
// the engine said. A refusal to clear the month of one the selection leaves
// out ends the run before anyone is computed, nothing of it stored.
//
// A stop ends the run after the employee being computed, keeping those stored.
// A run whose server session is lost, or shut because the server did not
// answer its stop in time (db::ServerStopScope), keeps nothing: the run's
// transaction is gone, the status words and amounts in memory go back as
// they were, and the run ends with TASK_FAILED and a message that says so;
// when its COMMIT was cut and the server cannot tell yet whether it made it
// (db::DbError::commitInDoubt), the message says that this is not known.
// A base that moved under memory (its stored month, or its generation, not
// memory's: infobase::StoredBaseMismatch) is refused, nothing written.
// An earlier write whose outcome was not known is settled first, by the
// interface thread while the run waits (infobase/BaseWrites.h); while the
// server does not say, the run is refused.
//
// Without a reference file that it needs ("nalog", "vichet", "sbor") the run
// refuses to start: TASK_FAILED with the files' problems, nothing written.
#include "payroll/PayrollDocument.h"
#include "payroll/RunOutcome.h"
#include "platform/TaskThread.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace kalvor {

// The reference files that the calculation reads.
QStringList CalculationReferenceFiles();

struct CalcThreadParams : platform::TaskThreadParams {
    int reservedSelector = 0; // always 0; any other value selects nobody
    PayrollDoc* document = nullptr;
    RunOutcome* outcome = nullptr; // filled by the run when given
    // Called on the worker after each employee is computed and reported,
    // before the run looks at its stop (a test holds the run there); the
    // program sets none.
    std::function<void(int index)> afterEmployee;
};

// The employee-list indexes to compute, in list order: the employee of the
// personnel number when one is given (nobody when it is not in the list or
// negative); nobody for a non-zero reserved selector; otherwise every employee
// whose shop, brigade and profession equal the non-zero keys, those of
// dismissal status 4 only when they have bonus lines this month; those left
// out so go into `skipped` when given.
void SelectEmployeesForCalculation(const CalcThreadParams& filter, const PayrollDoc& doc, std::vector<int>& list,
                                   std::vector<int>* skipped = nullptr);

// The whole firm's month computed and stored on this thread by the worker
// body below, run to its end: for building the demo firm's months and for
// tests that print from computed results (the screen runs the body on a
// worker). `outcome` is the run's; `failedTabN` the personnel number of the
// first employee in the list whose calculation failed, with his error code
// (negative) in `failedCode`, or 0; `report` what it did by employee.
struct CalcInPlaceRun {
    platform::TaskOutcome outcome;
    int failedTabN = 0;
    int failedCode = 0;
    RunOutcome report;
};
CalcInPlaceRun CalcWholeMonthInPlace(PayrollDoc& doc);

// The worker body (run it with platform::TaskThread::start).
platform::TaskOutcome CalculationThreadProc(platform::TaskContext& ctx, const CalcThreadParams& params);

} // namespace kalvor
