#pragma once
// "plan_1c.txt", the chart of accounts for the 1C postings: for every ledger
// account and subaccount that a posting may name, the analytics ("субконто")
// the account carries. Lines of 64 characters of 8-bit text and CR LF, at most
// 100 of them, no header; numbers right-aligned in their fields with blanks:
//
//   columns 0-2 account (1-999), 4-6 subaccount (0-999), then for each of the
//   eight analytics slots g = 0..7: 8 + 7g the kind (0-6, 0 = none), 9 + 7g
//   the option (0-2), 10 + 7g .. 13 + 7g the slot's number (0-9999).
//
// Slots pair up as four analytics of two levels each (slots 0 and 1 are
// "Субконто 1" "Уровень 1" and "Уровень 2", and so on). In a grid the chart
// has 26 columns: account, subaccount, then kind, option and number of each
// slot.
#include "values/TypedFigure.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace kalvor::exchange {

inline constexpr int kChartLineText = 64;
inline constexpr int kChartLineSize = 66;
inline constexpr int kChartMaxLines = 100;
inline constexpr int kChartColumns = 26;
inline constexpr int kChartSlots = 8;

// One line of the chart: its 64 characters (blanks where nothing is written).
struct ChartLine {
    QByteArray text = QByteArray(kChartLineText, ' ');

    int account() const;
    int subaccount() const;
    // Slot g (0-7): its kind digit as a number (0 for anything else) and its
    // number.
    int kind(int slot) const;
    int number(int slot) const;
};

using ChartCells = std::array<QString, kChartColumns>;

class ChartOfAccounts1CFile {
public:
    static constexpr const char* kFileName = "plan_1c.txt";

    // The file in the folder (found without regard to case).
    static QString PathIn(const QString& folder);
    // The lines of the folder's file, at most 100; a missing file is created
    // empty. Throws TextError("Ошибка при открытии файла").
    static std::vector<ChartLine> Load(const QString& folder);
    // Writes the lines whose account is not 0 (at most the first 100), in
    // order, under a temporary name. Throws TextError("Ошибка записи в файл").
    static void Save(const QString& folder, const std::vector<ChartLine>& lines);

    // The grid's cells of a line: account and subaccount as they stand
    // (leading blanks kept), kind and option digits empty when "0", numbers
    // as they stand but empty when they do not read as a non-zero number.
    static ChartCells Cells(const ChartLine& line);
    // The line of the grid's cells: each cell read as a decimal number (0 when
    // it is not one), 0 when outside its column's range, written in its field.
    static ChartLine FromCells(const ChartCells& cells);
    // What a typed cell of the column takes: a whole number within the
    // column's range.
    static FigureRule ColumnRule(int column);
};

} // namespace kalvor::exchange
