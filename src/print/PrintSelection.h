#pragma once
// The row cursors of the print writers and the 8-bit employee record they read.
//
// A cursor walks the current employee list in its order and stops at the
// employees whose shop (the slot's shop byte), brigade and profession (from
// the slot's dbo.comp record) match; 0 matches any. The sick-leave and
// vacation cursors go on through the employee's sheets or notes: their
// cursor is the employee's list index × 16 + the entry's number (1-based),
// and an entry counts when any byte of its record is not 0. Every cursor
// starts from -1 and gives -1 at the end.
#include "infobase/EmployeeRecord.h"
#include "payroll/PayrollDocument.h"
#include "print/PrintOutput.h"

namespace kalvor::print {

// Entries per employee in the sick-leave and vacation cursors.
inline constexpr int kEntryCursorStride = 16;
// Bonus lines per employee in the bonus cursor: its cursor is the employee's
// list index × 8 + the line's index (0-7) among his bonus lines.
inline constexpr int kBonusCursorStride = 8;

int NextEmployeeInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession);
int NextSickSheetInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession);
int NextVacationEntryInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession);
// The employee's lines first to last, then the next matching employee's; an
// employee without bonus lines is passed over. Lines beyond the eighth are
// not reached (the bonus calculation refuses such an employee).
int NextBonusLineInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession);

// Whether the employee (list index) takes part in a statement: marked in the
// list when markedOnly is not 0, else of the parameters' personnel number
// when it is set.
bool EmployeeInStatement(const infobase::CInfoBase& base, int employee, const StatementPrintParams& params,
                         int markedOnly);

// The employee's list index and the entry's number (1-based) of an entry cursor.
inline int CursorEmployee(int cursor) { return cursor / kEntryCursorStride; }
inline int CursorEntry(int cursor) { return cursor % kEntryCursorStride; }

// The document's current employee in the 8-bit form that the print writers
// read (the information base's EmployeeRecordToAnsi under the writers' name).
void PackEmployeeForPrint(const PayrollDoc& doc, infobase::PackedEmployeeRecord& out);

} // namespace kalvor::print
