#pragma once
// The month's bonus lines as the bonus entry screen shows, reads, inserts and
// deletes them.
//
// Every employee's lines lie back to back in CInfoBase::prem, reached through
// his 'p' index word. The grid shows one row per line of each employee, the
// employee's rows one under another; an employee without lines (unless his
// state is 4) shows one empty row, which becomes his first line once
// something is typed into it. An employee holds at most eight lines: the
// bonus writers address a line as employee × 8 + line, so a ninth would never
// be paid.
#include "infobase/InfoBase.h"
#include "payroll/PayrollDocument.h"
#include "print/PrintSelection.h"
#include "values/TypedFigure.h"

#include <QStringList>

#include <optional>
#include <vector>

namespace kalvor {

// The most bonus lines one employee may hold.
inline constexpr int kMaxBonusLines = print::kBonusCursorStride;

// The grid's columns: name and personnel number, then the line's fields.
enum BonusColumn : int {
    BonusNameColumn,
    BonusNumberColumn,
    BonusCodeColumn, // "Код" 1-995
    BonusKindColumn, // "%" 0-5
    BonusValueColumn, // "Велич.\nнач-ия" roubles, or hundredths of a percent
    BonusMonthColumn, // "Ме-\nсяц" 0-1
    BonusMaskColumn, // "Мас-\nка" 0-7
    BonusPeriodColumn, // "м/р" 0-2
    BonusNoTaxColumn, // "Без\nналога" 0-1
    BonusCostCodeColumn, // "ШПЗ\nКТУ1" twelve digits
    BonusShopColumn, // "Цех\nКТУ2" 0-127
    kBonusColumnCount
};

// What a typed cell of a line's column takes: the ranges above, the value as
// money (the most it holds under any kind; BonusValueRule narrows it by the
// line's kind), the cost code of up to twelve digits.
FigureRule BonusColumnRule(int column);

// The kind of a line that the total counts: an amount in roubles.
inline constexpr int kBonusInRoubles = 0;
// The kinds 3 to 5 share a brigade's fund by the labour participation
// rates (КТУ): their "ШПЗ\nКТУ1" and "Цех\nКТУ2" hold the line's two rates.
// On the other kinds "Цех\nКТУ2" is the shop of the line's rows.
constexpr bool BonusKindSharesAFund(int kind) { return kind >= 3 && kind <= 5; }

// The kinds whose value is a percent: of the pay the line's mask chooses (1)
// and of the planned salary, paid as an advance (2).
inline constexpr int kBonusPercentOfPay = 1;
inline constexpr int kBonusPercentOfSalary = 2;
// The largest percent of the pay a bonus of kind 1 is: ten times the pay
// (a bonus larger than that is typed in roubles).
inline constexpr double kMaxBonusPercentOfPay = 1000;
// What "Велич.\nнач-ия" of a line of the kind holds: a percent of the pay
// (kind 1, a rate up to kMaxBonusPercentOfPay), a share of the planned salary
// (2, up to 100 %), else roubles (0, and the brigade's fund of 3-5).
FigureRule BonusValueRule(int kind);
// The refusal of the value text under the line's kind (the "%" cell's text),
// naming both columns; empty when the value fits the kind. A kind that does
// not read is left to its own column.
QString BonusValueRefusal(const QString& kindText, const QString& valueText);

// Whether the employee of the list index has a place in the grid: he has
// bonus lines, or his state is not 4.
bool BonusEmployeeShown(const PayrollDoc& doc, int index);

// The texts of the line's fields, from "Код" to "Цех\nКТУ2" (nine cells): a
// field of 0 gives an empty cell, the value "%.2f" of kopecks / 100, the
// cost code "%012llu".
QStringList ShowBonusLine(const infobase::BonusLine& line);
// Reads the nine cells into the line, each by its column's rule
// (BonusColumnRule, the rule the grid declares; a text the rule refuses keeps
// the line's value); true when a field changed.
bool ReadBonusLine(const QStringList& cells, infobase::BonusLine& line);

// The total of the lines of kind 0 of the record slots, each rounded by the
// rounding of its own pay kind (kopecks).
double BonusTotal(const PayrollDoc& doc, const std::vector<int>& employeeSlots);

// Where a grid row's line lies: the employee's record slot and the line's
// position among his lines. A position equal to his line count is the empty
// row of an employee without lines.
struct BonusRowPlace {
    int slot = 0;
    int position = 0;
};
// The place of data row `row` (from 0) of a grid whose data rows show these
// personnel numbers: the employee of the row's number, and as position the
// number of rows directly above that show the same number. Nothing when the
// number is not in the employee list.
std::optional<BonusRowPlace> BonusRowLine(const infobase::CInfoBase& base, const std::vector<int>& rowNumbers, int row);

// Reads a row's cells into the line of its place. The empty row of an
// employee without lines becomes his first line when anything was typed into
// it. True when the base's lines changed.
bool StoreBonusRow(infobase::CInfoBase& base, const BonusRowPlace& place, const QStringList& cells);

// What inserting a line came to.
enum class BonusInsert {
    Done,
    TooManyLines, // the employee holds eight lines already
    ArrayFull, // the base's line array, or its index, has no room left
};
// Inserts an empty line at the position (0 to the employee's count) among the
// employee's lines; the later lines of the array and the first lines of the
// later record slots move up by one. An employee shown by his empty row first
// gets that row's line, so that rows and lines stay one to one.
BonusInsert InsertBonusLine(infobase::CInfoBase& base, int slot, int position);
// Removes the line at the position; false when the employee has no such line.
bool RemoveBonusLine(infobase::CInfoBase& base, int slot, int position);

// The 'p' index words and the bonus lines written to the base (replacing the
// stored rows) in one transaction: a database error leaves the base as it was.
void StoreBonusLines(infobase::CInfoBase& base);

} // namespace kalvor
