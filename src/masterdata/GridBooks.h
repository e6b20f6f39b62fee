#pragma once
// The simple reference books edited as tables in a grid, without their
// screen: shops (the base's dbo.ceh), positions, professions, ranks, tax
// deductions and contributions (reference files), and the masks of pay kinds
// (the firm record). For each book: its form (columns, capacity, buttons),
// the rows its grid shows, the rules by which the rows go back into the table,
// and the writer that saves it.
#include "infobase/KalvorDocData.h"
#include "values/TypedFigure.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kalvor::masterdata {

enum class GridBook { Shops, Positions, Professions, Ranks, Deductions, Contributions };

struct GridBookForm {
    int formId = 0;
    int command = 0; // the frame's command that opens the book
    QString caption; // the command's caption
    QString viewName; // the screen's class name
    QStringList titles; // column headings
    std::vector<double> shares; // column widths as shares of the grid's width
    int capacity = 0; // most rows; 0 = the book has no add and delete buttons
    QString addText, deleteText;
};
const GridBookForm& GridBookFormOf(GridBook book);
// What a typed cell of each column takes, in the columns' order: numbers
// within what their fields keep (a shop 1-250, a code of a 16-bit field),
// names within their fields' widths, amounts as money.
std::vector<FigureRule> GridBookRules(GridBook book);

// The rows the grid shows, one list of cell texts per stored record, in
// stored order: numbers "%d" and amounts as roubles "%.2f", 0 as an empty
// cell (a shop's number is shown even when 0).
std::vector<QStringList> GridBookRows(GridBook book, const infobase::KalvorDocData& doc);

// The grid's rows back into the book's table, each cell read by its column's
// rule (GridBookRules; a cell the rule refuses reads 0): shops with a number,
// sorted by number; positions, professions, ranks and
// deductions with a non-zero code, sorted by code; every contribution row in
// grid order. Names are cut to their fields' widths; the count becomes the
// number of stored rows.
void StoreGridBookRows(GridBook book, const std::vector<QStringList>& rows, infobase::KalvorDocData& doc);

// Saves the book's table as memory holds it: SaveCeh for the shops (throws
// db::DbError), the reference file's writer for the others (throws
// InfoBaseError; the old file stays). The shops' COMMIT cut in doubt puts
// memory back to `before` (the rows the base held) at once, and brings it to
// the rows written should the server have made the write.
void WriteGridBook(GridBook book, const std::vector<QStringList>& before, infobase::KalvorDocData& doc);

// ------------------------------------------------------------------ masks

constexpr int kMaskCount = 8;

// Whether the pay kind with that code belongs to the mask (0-7).
bool KindInMask(const infobase::FirmInfo& firm, int mask, int code);
// The kind enters the mask or leaves it; codes outside 0-999 are ignored.
void ToggleKindInMask(infobase::FirmInfo& firm, int mask, int code);

} // namespace kalvor::masterdata
