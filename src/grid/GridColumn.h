// What a grid column edited in place takes, declared where the grid's columns
// are made: its title (the messages name the column by it), and the kind of
// its cells, a figure rule (values/TypedFigure.h) with, for a number that
// must name a record, its book; a month or a date; or no editing at all (a
// column that only shows). A cell's typed text is read by its column when the
// cell is left (ReadGridCell); a column of an editable grid with no
// declaration cannot be edited (a debug build stops when one would be).
#pragma once

#include "values/TypedFigure.h"
#include "values/Values.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// What a text typed into a cell of the column gives: read, the text the cell
// keeps (a figure in its plain form: "1 500" is "1500", "12,5" of money
// "12.50"; any other text as typed); refused, the message naming the column.
struct GridCellReading {
    bool read = false;
    QString text;
    QString refusal;
};
struct GridColumn {
    QString title; // the heading; a line break in it reads as a blank in messages
    kalvor::FigureRule rule = {};
    kalvor::BookCheck book = {};
    // Texts a cell takes as they are beside the rule's figures ("**": the
    // main time sheet's days).
    QStringList alsoTakes = {};
    // The reader of a column whose texts are no figure (a month, a date):
    // what the text gives (ReadGridCell), the refusal naming the column.
    std::function<GridCellReading(const QString& name, const QString& text)> reads = {};
    bool edited = true; // false: the column shows and is never edited in place
    // What a cell asks of its row beyond the column's kind (a book's own
    // number unique in it, a number whose meaning the row's other cells
    // decide): given the row and the text as read, the refusal naming the
    // column, or an empty text.
    std::function<QString(int row, const QString& read)> rowRefusal = {};

    // The column as the messages name it.
    QString Name() const;
};

// A column of figures of the rule (and of the book's numbers).
GridColumn FigureColumn(QString title, kalvor::FigureRule rule, kalvor::BookCheck book = {});
// A column that shows and is not edited.
GridColumn ShownColumn(QString title);
// A month typed "ММ.ГГ" or "ММ.ГГГГ" (ReadTypedMonth) within the years.
GridColumn MonthColumn(QString title, kalvor::YearSpan years);
// A date typed "ДД.ММ.ГГ" or "ДД.ММ.ГГГГ" (ReadTypedDate) within the years;
// day 0 ("0.1.11") where `dayZeroClears`, which a payment date takes as none.
GridColumn DateColumn(QString title, kalvor::YearSpan years, bool dayZeroClears = false);
// Hours typed "hours,minutes" where minutes of 60 or more carry into the
// hours ("7,75" is 8 h 15 min), at most maxHours with the carry; digits
// alone: the cells read by ReadCarriedHours (values/TypedFigure.h).
GridColumn CarriedHoursColumn(QString title, int maxHours);
// The titles of the columns in order.
QStringList GridColumnTitles(const std::vector<GridColumn>& columns);
// The widest text a column of amounts, percents or rates shows: its rule's
// largest value in its plain form, with a sign where the rule takes one
// ("999999999999.99", "100.0"); empty for any other column.
QString WidestFigureText(const GridColumn& column);

GridCellReading ReadGridCell(const GridColumn& column, const QString& text);
// The value of a cell's text as its column's rule reads it, in units of the
// rule's last place (kopecks of money); nullopt when the text does not read.
// A screen's save takes a cell's value by it, never by a reading of its own.
std::optional<double> GridCellUnits(const GridColumn& column, const QString& text);
// ReadGridCell, then the column's check of the cell's row.
GridCellReading ReadGridCell(const GridColumn& column, int row, const QString& text);
