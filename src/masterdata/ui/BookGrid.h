#pragma once
// The grid of the reference books edited as tables (length of service, the
// simple books, masks, tax scales): its look (headings bold purple on light
// blue, data cells centred on one line, cells edited in place), appending,
// adding and deleting rows, and reading the rows back.
#include "grid/GridColumn.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace kalvor::infobase {
class CInfoBase;
}
class CCommonFormView;
class CFldHlpGridCtrl;
class CGridCtrl;

// Creates the grid in the view under that control number and gives it the
// books' look with that many heading rows and whole-row selection.
CFldHlpGridCtrl* CreateBookGrid(CCommonFormView* view, int id, int fixedRows);
// The columns with what their cells take, their titles as a one-row
// heading, and column widths as shares of the grid's width (the last column
// takes the rest).
void SetBookGridColumns(CGridCtrl* grid, const std::vector<GridColumn>& columns, const std::vector<double>& shares);
// The book's columns: each title with its rule.
std::vector<GridColumn> BookColumns(const QStringList& titles, const std::vector<kalvor::FigureRule>& rules);
// The check of a book's own number in the column: a number another data row
// of the grid holds already is refused naming the column and the book (0 and
// an empty cell are no number).
std::function<QString(int row, const QString& read)> NumberUniqueInColumn(const CGridCtrl* grid, int col,
                                                                          const QString& name, const QString& book);
// Widens the last column so that the columns fill the grid.
void FitBookGridColumns(CGridCtrl* grid);
// Appends a data row with these texts; returns its index.
int AppendBookRow(CGridCtrl* grid, const QStringList& texts);
// Replaces the data rows by these.
void FillBookGrid(CGridCtrl* grid, const std::vector<QStringList>& rows);
// The texts of every data row, in grid order.
std::vector<QStringList> BookGridRows(const CGridCtrl* grid);
// The add button: nothing when the grid holds `capacity` data rows;
// otherwise a row is appended, selected across its columns, and its first
// cell gets the focus, which the view records for its help. False when
// refused.
bool AddBookRow(CCommonFormView* view, CGridCtrl* grid, int capacity);
// The delete button: the first row of the selection goes, without a
// question; nothing without a selection.
void DeleteSelectedBookRow(CGridCtrl* grid);
// The view's record of the grid's focused cell (the selection-change
// notification), used by the help.
void ConnectBookGridFocus(CCommonFormView* view, CGridCtrl* grid);

// The wait cursor while a book is written.
class BookWaitCursor {
public:
    BookWaitCursor();
    ~BookWaitCursor();
    BookWaitCursor(const BookWaitCursor&) = delete;
    BookWaitCursor& operator=(const BookWaitCursor&) = delete;
};
// Writes the firm record (rules, masks) under the wait cursor; false after a
// database error, which is shown.
bool SaveFirmRecord(kalvor::infobase::CInfoBase& base);
