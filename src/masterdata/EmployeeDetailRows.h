#pragma once
// The rows of the three employee detail grids as text: the tax deductions,
// the permanent payments and the archive of past months. Each block has its
// cell texts and its read-back rules (cell texts into the record's fields),
// and the block-wide steps the screens and their group operations share:
// compaction and the search for the row that equals an entered one.
//
// Years: the records keep full years; a date or month cell takes a two-digit
// year (read through the clock's window) or a four-digit one.
#include "infobase/Records.h"
#include "infobase/RefFiles.h"
#include "values/TypedFigure.h"
#include "values/Values.h"

#include <QString>
#include <QStringList>

#include <array>

namespace kalvor::masterdata {

using infobase::DeductionKindBook;
using infobase::NalvichEntry;
using infobase::PostDoplEntry;
using infobase::WariaEntry;

// The three grids declare their columns from the functions below: each
// column's title (as the grid heads it and the refusals name it) and the rule
// its figures are typed and read by, so that a cell is read back by the rule
// it was typed by and a range is written once.

// A column's title as the refusals name it: its lines joined by a blank.
QString ColumnName(const QString& title);

// What a read-back of one row gives: the row, or the reason it is refused.
struct RowRefusal {
    int column = -1; // the cell to correct
    QString message; // empty when the row is accepted
    bool refused() const { return !message.isEmpty(); }
};

// ---------------------------------------------------------------- compaction

// Used slots (any field not zero) to the front in their order, the rest zero.
template <class Entry, std::size_t N>
void CompactSlots(std::array<Entry, N>& block)
{
    std::size_t next = 0;
    for (std::size_t i = 0; i < N; ++i) {
        if (block[i] == Entry{})
            continue;
        if (i != next)
            block[next] = block[i];
        ++next;
    }
    for (std::size_t i = next; i < N; ++i) block[i] = Entry{};
}

// Index of the first slot whose code is 0 (a free slot for an appended row); -1 when none.
template <class Entry, std::size_t N>
int FirstFreeSlot(const std::array<Entry, N>& block)
{
    for (std::size_t i = 0; i < N; ++i)
        if (block[i].kod == 0)
            return int(i);
    return -1;
}

// Index of the first used slot (code not 0) equal to the row in every field; -1 when none.
template <class Entry, std::size_t N>
int FirstEqualSlot(const std::array<Entry, N>& block, const Entry& row)
{
    for (std::size_t i = 0; i < N; ++i)
        if (block[i].kod != 0 && block[i] == row)
            return int(i);
    return -1;
}

// ---------------------------------------------------------------- tax deductions

inline constexpr int kNalvichColumns = 6;
inline constexpr int kNalvichMaxCode = 699;
// The years a deduction's month is typed within.
inline constexpr YearSpan kDeductionMonthYears{1900, 2099};

// Name of a deduction kind: the first record of the book with that code, or
// "Нет в справочнике".
QString DeductionKindName(const DeductionKindBook& book, int code);
// Code "%d", name, start and end month "MM.YY", sum "%.2f", multiplicity "%d";
// zeros empty.
QStringList NalvichRowTexts(const NalvichEntry& entry, const DeductionKindBook& book);
// What the calculation takes monthly for a deduction of the code left
// without an amount: the book's monthly amount times the multiplicity (0 as
// 1), "%.2f"; empty for a code not in the book or one without a monthly amount.
QString DeductionDefaultAmountText(const DeductionKindBook& book, int code, int times);
// The columns' titles; the rules of the code, the sum and the multiplicity
// (the months are typed months of kDeductionMonthYears, the name only shows).
QString NalvichColumnTitle(int column);
FigureRule NalvichColumnRule(int column);
// The six cells into a slot read afresh, each by its column: a cell its
// column refuses refuses the row naming the column, as do a month that is not
// one ("13.10", "10.01.2030"), a start month after the end month, and a code
// 0 in a row that holds anything else (or typed as "0").
RowRefusal ReadNalvichRow(const QStringList& cells, NalvichEntry& entry);

// ---------------------------------------------------------------- permanent payments

inline constexpr int kPostDoplColumns = 13;
inline constexpr int kPostDoplMaxCode = 995;
inline constexpr int kPostDoplDateStart = 10;
inline constexpr int kPostDoplDateEnd = 11;
// The years a payment's date keeps.
inline constexpr YearSpan kPaymentDateYears{2000, 2255};

QStringList PostDoplRowTexts(const PostDoplEntry& entry);
// The columns' titles; the rules of the figure columns, each within what its
// field keeps (the percent in tenths); the two dates are typed dates of
// kPaymentDateYears where day 0 clears (ReadPaymentDate).
QString PostDoplColumnTitle(int column);
FigureRule PostDoplColumnRule(int column);
// The thirteen cells into a slot read afresh, each by its column. Refused,
// naming the column: a cell its column refuses, a date that does not exist or
// whose year the record cannot keep, a start after the end, and a code 0 in a
// row that holds anything else.
RowRefusal ReadPostDoplRow(const QStringList& cells, PostDoplEntry& entry);
// A typed date (ReadTypedDate, years 2000-2255) into a payment date: day 0
// ("0.1.11") or an empty text clears it. Returns false for a text that is
// refused.
bool ReadPaymentDate(const QString& text, int& day, int& month, int& year);

// ---------------------------------------------------------------- archive of past months

inline constexpr int kWariaColumns = 6;
inline constexpr int kWariaMaxCode = 995;
inline constexpr int kWariaHoursColumn = 4;
// The most hours an entry keeps (nine bits).
inline constexpr int kWariaMaxHours = 511;
// The years an archive month is typed within, and those of a month of
// payment (an earlier one is not kept).
inline constexpr YearSpan kArchiveMonthYears{1900, 2099};
inline constexpr YearSpan kArchivePaidMonthYears{1990, 2099};

QStringList WariaRowTexts(const WariaEntry& entry);
// The columns' titles; the rules of the code, the sum, the days and the hours
// (the months are typed months of kArchiveMonthYears and
// kArchivePaidMonthYears). The grid's hours carry minutes of 60 or more into
// the hours as they are typed, and its cell keeps hours and minutes as this
// rule reads them.
QString WariaColumnTitle(int column);
FigureRule WariaColumnRule(int column);
// Updates the entry field by field from the six cells, each read by its
// column (only fields that read differently change; a cell its column
// refuses keeps its field, as a stored value no column takes does); a row
// whose six cells are all empty zeroes the whole entry. True when anything
// changed.
bool ApplyWariaRow(const QStringList& cells, WariaEntry& entry);
// True when the entry is in use and the six cells read back to what it holds.
bool WariaRowMatches(const QStringList& cells, const WariaEntry& entry);
// Number of entries up to the last one in use (the archive count the
// calculation walks).
int WariaCount(const std::vector<WariaEntry>& entries);

} // namespace kalvor::masterdata
