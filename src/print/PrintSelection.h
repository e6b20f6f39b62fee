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

namespace kalvor::print {

// Entries per employee in the sick-leave and vacation cursors.
inline constexpr int kEntryCursorStride = 16;

int NextEmployeeInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession);
int NextSickSheetInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession);
int NextVacationEntryInSelection(int cursor, const PayrollDoc& doc, int shop, int brigade, int profession);

// The employee's list index and the entry's number (1-based) of an entry cursor.
inline int CursorEmployee(int cursor) { return cursor / kEntryCursorStride; }
inline int CursorEntry(int cursor) { return cursor % kEntryCursorStride; }

// The document's current employee in the 8-bit form that the print writers
// read (the information base's EmployeeRecordToAnsi under the writers' name).
void PackEmployeeForPrint(const PayrollDoc& doc, infobase::PackedEmployeeRecord& out);

} // namespace kalvor::print
