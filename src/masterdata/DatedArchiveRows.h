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

// The six cells of a row as an entry: dates "%u.%u.%u" (0 when they do not
// read as a date), month "%u.%u" (0 unless a month 1-12 and a year read), code
// "%d" (0 outside 1-995), sum roubles to the nearest kopeck (a point or a
// comma before the kopecks), and the low bit of "%d" as the continuation
// mark. Texts that are no numbers read as 0.
WarDatEntry ReadWarDatRow(const QStringList& cells);
// Whether a row may be stored: a date that is typed but does not exist
// ("31.02.11"), a start after the end, a month that is not one ("13.11"), or a sum that does not read in full is
// refused, with the cell to correct and the message.
RowRefusal CheckWarDatRow(const QStringList& cells);

// Rebuilds the block from the rows in grid order: every row whose code reads
// as 0 is dropped, the others close up at the front, the count is theirs and
// the rest of the block is cleared. At most the block's capacity of rows is read.
void RebuildWarDat(const std::vector<QStringList>& rows, WarDatBlock& block);

} // namespace kalvor::masterdata
