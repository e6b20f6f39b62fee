#pragma once
// What the caller of one employee's calculation asks for beyond the mode.
// The calculation thread, the personal account and the month change pass the
// defaults (an ordinary month); the vacation screens pass the note they
// compute for display.
#include "infobase/Records.h"

#include <array>
#include <cstdint>
#include <span>

namespace kalvor {

class BrigadeMeasures;
struct IncomeTaxRun;
struct RegionalRun;
struct ScheduleMonthsRun;
namespace infobase {
class ComputedRowsGroup;
}

// The rows of a calculation's result buffer.
inline constexpr int kCalcResultRows = 66;
using CalcResultBuffer = std::array<infobase::AccrualRow, kCalcResultRows>;

struct CalcOptions {
    // VacationCalcKind: 0 an ordinary month; 1 or 2 a vacation or dismissal
    // note computed for display. While set, the bases may reach up to two
    // months ahead; with 2 the current note receives the amount to pay.
    std::uint8_t vacationCalcKind = 0;
    // VacationNoteOnly: with a vacation kind set, 0 computes the note alone
    // (the month's other inputs are skipped); 1 the month with its notes.
    std::uint8_t vacationNoteOnly = 0;
    // Leaves the employee's pension contribution out of a display run (the
    // value 99 of the callers' third flag byte).
    bool withoutEmployeePension = false;
    // The caller's copy of the employee's vacation notes (at most five) and
    // the one being computed (-1 none).
    std::span<infobase::VacationNote> vacationNotes;
    int currentNote = -1;
    // The brigade members' measures that one run over many employees keeps
    // (see BrigadeShare.h); nullptr measures the members at every share.
    BrigadeMeasures* brigades = nullptr;
    // The group that one run over many employees stores their computed rows
    // in (see MonthResultSaver.h); nullptr stores each employee's at once.
    infobase::ComputedRowsGroup* rowsGroup = nullptr;
    // What the income tax keeps from employee to employee in one run over
    // many (see IncomeTax.h); nullptr keeps nothing.
    IncomeTaxRun* incomeTax = nullptr;
    // The same for the regional coefficient (see Regional.h) and for the
    // schedules' months beyond their stored rows (see ScheduleNorm.h).
    RegionalRun* regional = nullptr;
    ScheduleMonthsRun* scheduleMonths = nullptr;

    bool vacationNote() const { return vacationCalcKind != 0; }
    // A display run of the note alone: the month's other inputs are skipped.
    bool noteAlone() const { return vacationCalcKind != 0 && vacationNoteOnly == 0; }
    // The note being computed, or nullptr.
    infobase::VacationNote* current() const
    {
        return currentNote >= 0 && currentNote < int(vacationNotes.size()) ? &vacationNotes[std::size_t(currentNote)]
                                                                           : nullptr;
    }
};

// The request of a vacation note computed for display: "Только отпускные"
// (tolkOtp) computes the note alone; "Выплатить в м/р" (mrp) leaves the
// note's amount as it is (kind 1), otherwise the note takes it (kind 2).
inline CalcOptions VacationNoteRequest(std::span<infobase::VacationNote> notes, int currentNote)
{
    CalcOptions request;
    request.vacationNotes = notes;
    request.currentNote = currentNote;
    const infobase::VacationNote* note = request.current();
    request.vacationNoteOnly = note && note->tolkOtp ? 0 : 1;
    request.vacationCalcKind = note && note->mrp ? 1 : 2;
    request.withoutEmployeePension = false;
    return request;
}

} // namespace kalvor
