// The alternative time sheet: up to fifteen lines of time or money per
// employee, each paid with its own pay kind. The grid's texts and read rules
// of a line, the matching of a line against a model row with empty cells,
// inserting and removing lines within the limits of the line index, the
// group operations over the marked employees, and the store of the index and
// the lines.
#pragma once

#include "infobase/InfoBase.h"
#include "infobase/Records.h"
#include "values/TypedFigure.h"

#include <QStringList>

#include <vector>

namespace kalvor::entries {

inline constexpr int kAltTabelColumns = 10;
// "Дни" of this value take the working days of the main time sheet.
inline constexpr int kMainSheetDays = 32;

// The columns as a typed cell is read: code 0-995 (a pay kind), days 0-31
// (or "*", "**"), hours 0-255 with minutes, salary (money), tariff (three
// places, 0-16383.999), percent 0-255, shop 0-250, cost code of up to twelve
// digits, month 0-12, minus 0-1.
enum AltTabelColumn { AltCode, AltDays, AltHours, AltSalary, AltTariff, AltPercent, AltShop, AltCostCode, AltMonth,
                      AltMinus };
FigureRule AltTabelColumnRule(int column);
// The texts "Дни" takes beside its figures: the main time sheet's days.
QStringList AltTabelMainSheetDays();

// Code, days ("**" for 32), hours "%d,%d", salary, tariff "%.3f", percent,
// shop, cost code, month, minus; zero values show as empty cells.
QStringList ShowAltTabelEntry(const infobase::AltTabelEntry& entry);
// Reads the ten cells into the line, each field stored when it differs;
// true when any changed. Each cell is read by its column's rule
// (AltTabelColumnRule, the rule the grid declares): empty cells read 0, a text
// the rule refuses keeps the field's value; "**" and "*" in Дни read 32.
bool ReadAltTabelEntry(const QStringList& cells, infobase::AltTabelEntry& entry);
// Every non-empty cell, read as above, equals the line's field; empty cells
// match anything.
bool AltTabelEntryMatches(const infobase::AltTabelEntry& entry, const QStringList& cells);
// The employee's lines (slot 1-based).
std::vector<infobase::AltTabelEntry> AltTabelLines(const infobase::CInfoBase& base, int slot);

// ------------------------------------------------------------------ group operations

// What a group operation did: whether any line changed, and the members it
// could not give a line (short names).
struct AltTabelGroupResult {
    bool changed = false;
    QStringList skipped;
};
// The marked employees in list order, by record slot.
std::vector<int> MarkedSlots(const infobase::CInfoBase& base);
// Append: a new last line read from the model row for every member; a member
// whose index or the line array is full is skipped.
AltTabelGroupResult GroupAppendAltTabel(infobase::CInfoBase& base, const QStringList& model);
// The position of each member's first line matching the model (-1 none), by slot.
infobase::BySlot<int> FindAltTabelMatches(const infobase::CInfoBase& base, const QStringList& model);
// Correct: the noted line of each member is read from the model row (empty
// cells give 0); a member that matches does not hold has none.
AltTabelGroupResult GroupCorrectAltTabel(infobase::CInfoBase& base, const infobase::BySlot<int>& matches,
                                         const QStringList& model);
// Delete: each member's first line matching the model goes.
AltTabelGroupResult GroupDeleteAltTabel(infobase::CInfoBase& base, const QStringList& model);

// The 't' index and the three masses of lines, in one transaction. A database
// error (DbError) goes on to the caller with the base as it was.
void StoreAltTabel(infobase::CInfoBase& base);

} // namespace kalvor::entries
