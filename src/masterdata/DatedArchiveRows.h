#pragma once
// The rows of the archive with dates as text: one dated entry (start and end
// date, month of the archive, pay-kind code, sum, continuation mark) per grid
// row, and the rebuild of the employee's dated-archive block from the rows.
//
// Years: the entry keeps two-digit years (a typed 2011 is kept as 11).
#include "infobase/EmployeeRecord.h"
#include "masterdata/EmployeeDetailRows.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kalvor::masterdata {

using infobase::WarDatBlock;
using infobase::WarDatEntry;

inline constexpr int kWarDatColumns = 6;
inline constexpr int kWarDatMaxCode = 995;

// Start and end date "DD.MM.YY", archive month "MM.YY" (empty when the month
// is 0), code "%d", sum "%.2f" and continuation "1" (zeros empty).
QStringList WarDatRowTexts(const WarDatEntry& entry);

// The columns' titles, as the grid heads them and the refusals name them;
// the rules of the code, the sum and the continuation mark. The dates are
// typed dates and the month a typed month, their years through the sliding
// window (TwoDigitYearSpan).
QString WarDatColumnTitle(int column);
FigureRule WarDatColumnRule(int column);

// The six cells of a row as an entry, each read by its column (ReadDateDMY
// for the dates). A row is read afresh: a cell that does not read leaves its
// field empty, and CheckWarDatRow refuses such a row before it is stored.
WarDatEntry ReadWarDatRow(const QStringList& cells);
// Whether a row may be stored: a date that is typed but does not exist
// ("31.02.11"), a start after the end, a month that is not one ("13.11"), or
// a code, sum or mark its column refuses is refused, with the cell to correct
// and the message naming it.
RowRefusal CheckWarDatRow(const QStringList& cells);

// Whether a row typed anew is not yet an entry: something is typed into it,
// but its code, its start or its end date is missing. Such a row is given up
// by Esc rather than stored as a half of an entry (an empty row holds
// nothing and is dropped on saving).
bool IsUnfinishedWarDatRow(const QStringList& cells);

// Rebuilds the block from the rows in grid order: every row whose code reads
// as 0 is dropped, the others close up at the front, the count is theirs and
// the rest of the block is cleared. At most the block's capacity of rows is read.
void RebuildWarDat(const std::vector<QStringList>& rows, WarDatBlock& block);

} // namespace kalvor::masterdata
