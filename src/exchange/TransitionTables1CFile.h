#pragma once
// "pereh_1c.txt", the transition tables of the 1C postings: for each number
// N from 1 to 99 two fields that replace shop N and two that replace brigade
// N. Lines of 50 characters of 8-bit text and CR LF, at most 100, in
// ascending order of N, no header:
//
//   columns 0-3 N; 5-8 shop field 1; 10-13 shop field 2; 15-18 brigade field
//   1; 20-23 brigade field 2; blanks between and after. Numbers are
//   right-aligned; a field of 0 or blanks means no value. Readers take each
//   field with the blank after it.
//
// The dialog edits one table at a time: rows of the number in two characters,
// a blank, field 1 in four, a blank, field 2 in four and a blank.
#include "values/TypedFigure.h"
#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace kalvor::exchange {

inline constexpr int kTransitionLineText = 50;
inline constexpr int kTransitionLineSize = 52;
inline constexpr int kTransitionMaxLines = 100;
inline constexpr int kTransitionEntryText = 13;

// One line of the file with its number (columns 0-3 read as a number).
struct TransitionLine {
    QByteArray text = QByteArray(kTransitionLineText, ' ');
    int number = 0;
};

// One row of a shop or brigade table with its number (used for sorting).
struct TransitionEntry {
    QByteArray text = QByteArray(kTransitionEntryText, ' ');
    int number = 0;
};

using TransitionLines = std::array<TransitionLine, kTransitionMaxLines>;
using TransitionTable = std::array<TransitionEntry, kTransitionMaxLines>;

// The modes of BuildTransitionTables.
enum TransitionMode {
    BuildShopTable = 1,
    BuildBrigadeTable = 2,
    MergeShopTable = 3,
    MergeBrigadeTable = 4,
};

// Modes 1 and 2 fill the table with the rows of the lines whose shop (or
// brigade) fields are not both 0 and whose number is below 100, and return
// their count. Modes 3 and 4 merge the table into the lines as shop (or
// brigade) fields: rows sorted by number, of equal numbers the last in table
// order kept, rows of number 0 dropped; a number without a line gets one
// inserted in its place. When the lines have no room for a new number they
// throw TextError("Таблицы перехода переполнены") and are left as they were.
// Modes 3 and 4 return 0.
int BuildTransitionTables(TransitionLines& lines, int mode, TransitionTable& table);

// The table row of the grid's three cells: the number read as a decimal
// number and limited to 0-99, the fields to 0-9999 (0 outside, and for a text
// that is not a number).
// What a typed cell takes: the number 0-99, a field 0-9999.
inline constexpr FigureRule kTransitionNumberRule = WholeFigure(0, 99);
inline constexpr FigureRule kTransitionFieldRule = WholeFigure(0, 9999);
TransitionEntry TransitionEntryFromCells(const QString& number, const QString& field1, const QString& field2);
// The cells of field 1 and field 2 of a row: each field with its following
// blank as it stands, or empty when it does not read as a non-zero number.
QString TransitionEntryField(const TransitionEntry& entry, int field);

// Sets the shop (or brigade) fields of the lines of those numbers to 0, and
// removes the lines whose four fields are then all 0, so that a row deleted
// in the dialog does not come back from the file.
void ClearTransitionNumbers(TransitionLines& lines, bool shops, const std::vector<int>& numbers);

class TransitionTables1CFile {
public:
    static constexpr const char* kFileName = "pereh_1c.txt";

    // The file in the folder (found without regard to case).
    static QString PathIn(const QString& folder);
    // The lines of the folder's file in 100 slots (blank after the last line
    // read); a missing file is created empty. Throws
    // TextError("Ошибка при открытии файла").
    static TransitionLines Load(const QString& folder);
    // Writes the lines from the first up to the first whose number is 0,
    // under a temporary name. Throws TextError("Ошибка записи в файл").
    static void Save(const QString& folder, const TransitionLines& lines);
};

} // namespace kalvor::exchange
