#pragma once
// The values of many rows gathered column by column, for a statement on a
// server that takes each column's values as one array parameter, e.g.
// "INSERT ... SELECT * FROM unnest(CAST(? AS BIGINT[]), CAST(? AS TEXT[]))":
// its text is the same whatever the number of rows, so it is prepared once.
// Each value is written as the server takes it as a single parameter
// (numbers in the same shortest form), so the rows stored are the same.
// Every row binds every column once: a row that leaves a column unbound, or
// binds one twice, is refused with a DbError (its values would land in
// another row's place).
#include <QByteArray>
#include <QString>
#include <QVariant>

#include <QtGlobal>

#include <vector>

namespace kalvor::db {

class ColumnArrays {
public:
    // Starts the next row; its values follow in column order, from column 0.
    // Refused when the row before left a column unbound.
    void row();
    // The value of the current row's index-th column. A null text is NULL.
    void bind(int column, qint64 value);
    void bind(int column, int value) { bind(column, qint64(value)); }
    void bind(int column, double value);
    void bind(int column, const QString& value);
    void bind(int column, const QVariant& value);

    int rows() const { return rows_; }
    int columns() const { return int(columns_.size()); }
    // The column's values as the server's array literal ("{...}"). Refused
    // when the last row left a column unbound.
    QString literal(int column) const;

private:
    struct Values {
        QByteArray elements; // comma-separated
        int count = 0;
    };
    void put(int column, const QByteArray& element);
    void requireFullRows() const;

    std::vector<Values> columns_;
    int rows_ = 0;
};

} // namespace kalvor::db
