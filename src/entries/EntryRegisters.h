#pragma once
// The registers of the month's sick leave and vacations: the register of
// sick-leave sheets (the RTF form "bln-reestr", opened in the viewer) and the
// vacation notes with the calculations of their pay (text forms from
// "forms", handed to the print command).
//
// Both take the employees of TakenForEntryPrint. A run ends with TASK_DONE,
// TASK_STOPPED, TASK_NO_DATA (no sheet or note among the employees taken),
// TASK_BAD_CONDITION with the writer's negative code as the detail and its
// message as the text, TASK_FILE_ERROR with the file's kind, or TASK_FAILED
// with the text of any other failure. No exception leaves a worker.
#include "infobase/InfoBase.h"
#include "payroll/PayrollDocument.h"
#include "platform/TaskThread.h"
#include "print/PrintOutput.h"

#include <stop_token>

namespace kalvor {

struct EntryRegisterParams : platform::TaskThreadParams {
    PayrollDoc* document = nullptr;
    print::PrintCommandPrompt* prompt = nullptr; // the print command's dialog
    // The vacation notes also print the note itself ("Печатать первую
    // страницу"); by default only its calculation.
    bool withNote = false;
};

// The lines in use (any field not 0) of the kind ('b' sick-leave sheets, 'o'
// vacation notes) of the employees taken; -1 when the stop event was set,
// which is tested after each employee taken.
int CountRegisterLines(infobase::LineKind kind, const EntryRegisterParams& params, const PayrollDoc& doc,
                       std::stop_token stop = {});

platform::TaskOutcome SickLeaveRegisterWorker(platform::TaskContext& context, const EntryRegisterParams& params);
platform::TaskOutcome VacationNoteCalcWorker(platform::TaskContext& context, const EntryRegisterParams& params);

} // namespace kalvor
