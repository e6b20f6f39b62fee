// The month's current accruals and deductions of one employee: the leading
// rows of his row block (the first kvProizv rows; the calculated rows of
// dbo.zarp follow them). The grid's texts and read rules, the compaction and
// placement of the rows on saving, the matching of a row and the group
// operations on one record, and the store of the rows with the attributes.
#pragma once

#include "infobase/EmployeeRecord.h"
#include "infobase/InfoBase.h"
#include "infobase/Records.h"
#include "values/TypedFigure.h"

#include <QStringList>

#include <vector>

namespace kalvor::entries {

// The screen keeps at most this many rows per employee.
inline constexpr int kCurnuMaxRows = 28;
// Rows from this one on (the rows of later months) are never moved.
inline constexpr int kMovableRows = ::kalvor::infobase::EmployeeRecord::MonthRowCount;
inline constexpr int kCurnuColumns = 7;
inline constexpr int kCurnuSumColumn = 2;
inline constexpr int kCurnuHoursColumn = 4;
// The most hours a row keeps (nine bits).
inline constexpr int kCurnuMaxHours = 511;

using ProizvRows = std::vector<infobase::ProizvRow>;

// The seven cells of a row: month, code, amount, days, hours, cost code,
// shop; zero values show as empty cells.
QStringList ShowProizvRow(const infobase::ProizvRow& row);
// A row read back from its cells, each by its column's rule (ProizvColumnRule;
// the hours by ReadCarriedHours up to kCurnuMaxHours, as their column reads
// them): a cell the rule refuses reads 0, as a row read afresh has nothing
// stored (the grid refuses such a cell when it is left); the amount is
// kopecks.
infobase::ProizvRow ReadProizvRow(const QStringList& cells);
// What each of the seven cells takes when typed, the ranges the row keeps:
// month 0-12, code 0-65535, amount (money), days 0-63, cost code of up to
// twelve digits, shop 0-255 (the hours, kCurnuHoursColumn, carry their
// minutes: CarriedHoursColumn with kCurnuMaxHours).
FigureRule ProizvColumnRule(int column);

// The employee's current rows (the first kvProizv of the block).
ProizvRows CurrentRows(const infobase::EmployeeRecord& rec, const infobase::EmployeeAttributes& attr);
// The rows that hold anything, in their order.
ProizvRows CompactRows(const ProizvRows& rows);

// Whether rows can take the place of the current ones.
enum class RowPlacement {
    Fits,
    TooManyRows, // more than kCurnuMaxRows
    ComputedRowsPastLimit, // a calculated row would be pushed past the 60th row
};
RowPlacement CheckRowPlacement(const infobase::EmployeeRecord& rec, int kvProizv, int newCount);
// Puts the rows at the head of the block: the rows that followed the first
// kvProizv within the first 60 now follow the new ones in their order, rows
// freed before the 60th are cleared, and kvProizv becomes their number. The
// caller has checked the placement.
void PlaceRows(infobase::EmployeeRecord& rec, infobase::EmployeeAttributes& attr, const ProizvRows& rows);

// Month, code, amount, days, hours, minutes, the three cost-code groups and
// shop all equal.
bool RowsMatch(const infobase::ProizvRow& a, const infobase::ProizvRow& b);
// The index of the first row equal to the model; -1 when none.
int FirstMatchingRow(const ProizvRows& rows, const infobase::ProizvRow& model);

// The group operations on one employee's current rows (a delete takes out
// the row FirstMatchingRow finds).
// Append: the model first, then the rows.
ProizvRows RowsWithModelFirst(const ProizvRows& rows, const infobase::ProizvRow& model);
// Correct: the row at index replaced by the model in every field (unchanged
// for an index outside the rows).
ProizvRows RowsWithCorrected(const ProizvRows& rows, int index, const infobase::ProizvRow& model);

// What storing the rows came to.
struct RowStore {
    RowPlacement placement = RowPlacement::Fits;
    bool written = false; // false: refused, or the rows were already so
};
// Compacts the rows and, when they fit and differ from the current employee's
// (slot), places them and saves the employee and the attributes in one
// transaction. When the base refuses, the record and the attributes are put
// back as they were and the DbError goes on to the caller.
RowStore StoreCurrentRows(infobase::CInfoBase& base, int slot, const ProizvRows& rows);

} // namespace kalvor::entries
