#pragma once
// The values of many rows gathered column by column, for a statement on a
// server that takes each column's values as one array parameter, e.g.
// "INSERT ... SELECT * FROM unnest(CAST(? AS BIGINT[]), CAST(? AS TEXT[]))":
// its text is the same whatever the number of rows, so it is prepared once.
// Each value is written as the server takes it as a single parameter
// (numbers in the same shortest form), so the rows stored are the same.
#include <QByteArray>
#include <QString>
#include <QVariant>

#include <QtGlobal>

#include <vector>

namespace kalvor::db {

class ColumnArrays {
public:
    // Starts the next row; its values follow in column order, from column 0.
    void row() { ++rows_; }
    // The value of the current row's index-th column. A null text is NULL.
    void bind(int column, qint64 value);
    void bind(int column, int value) { bind(column, qint64(value)); }
    void bind(int column, double value);
    void bind(int column, const QString& value);
    void bind(int column, const QVariant& value);

    int rows() const { return rows_; }
    int columns() const { return int(elements_.size()); }
    // The column's values as the server's array literal ("{...}").
    QString literal(int column) const;

private:
    void put(int column, const QByteArray& element);

    std::vector<QByteArray> elements_; // per column: the elements so far, comma-separated
    int rows_ = 0;
};

} // namespace kalvor::db
