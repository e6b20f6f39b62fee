#pragma once
// The import of permanent data: a constant-information table (kind 1 of the
// dBASE exchange, or a table of another program whose columns stand in that
// order) brought into the base row by row. A row whose personnel number the
// employee list holds updates that employee; any other number from 1 to 8191
// creates a new employee in the first free record slot.
//
// Columns are taken by position: 0 the personnel number, 1 to 95 in the order
// of the kind-1 table (grup, otdel, fio, professia ... uv_dat2, then kodvichN,
// datbegN, datendN, sumN, kratN for the ten deductions); later columns are not
// read. An empty value, or one whose first eight characters (fifty for fio)
// are blanks, leaves its field as it is.
#include "exchange/DbfExport.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace kalvor::exchange {

// Results of RebuildIndexAfterImport.
inline constexpr int kImportBaseFull = -1;
inline constexpr int kImportWrongListEntries = -2;

// Reads "day.month.year" (each a number) and returns the year with the day
// and month; the day must lie within the month (February has 29 days in a
// year divisible by 4). A text that is no such date gives 0, day and month 0.
int ParseDbfDate(const QByteArray& text, int& day, int& month);

// Finds the record slot for a new employee: the smallest slot from 1 up that
// no entry of the current list uses. Entries without a valid slot, with a slot
// an earlier entry uses, or without a personnel number are wrong. In
// personnel-number order they are repaired in memory: a missing number
// becomes the neighbour's plus one (1 for the first entry, 8191 for the last),
// and an entry without a slot of its own gets the next free slot above the
// returned one. Returns kImportBaseFull when every slot is used and
// kImportWrongListEntries when wrong entries are found in name order, after
// showing their message through showMessage.
int RebuildIndexAfterImport(infobase::CInfoBase& base, const std::function<void(const QString&)>& showMessage);

// Reads the table at `path` into the base and returns the number of rows
// taken over; kDbfBadExtension for another extension than ".dbf", kDbfNoTable
// when the table is missing or holds no row. Each row is saved whole before
// the next is read (its employee with the short names and the lists, in one
// transaction); a row of a new employee for whom RebuildIndexAfterImport finds
// no slot is skipped and the run goes on. The employee attributes and the
// time-sheet totals are saved at the end. A row holding a number that its
// field cannot hold (not finite, outside the field's range, a shop outside
// 1-250) is refused whole and not counted; the refused rows are named in one
// message at the end (ImportCheck). newEmployees counts the employees
// created; listChanged is set when a name changed. The run reports the list
// position of each employee done (and -1 at the end) and stops between rows
// when asked; table failures are thrown as db::DbError.
int ImportDbfConstInfo(const QString& path, int& newEmployees, int& listChanged, PayrollDoc& doc,
                       const DbfRunControl& control = {});

} // namespace kalvor::exchange
