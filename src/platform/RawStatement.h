#pragma once
// A statement run directly on the connection's SQLite handle, for the
// statements whose values are many: the savers, the loaders of every employee
// and the reads of the firm-wide tables. Values are bound and read by position
// as they are, without the QVariant and the per-value parameter name that
// QtSql builds for each of them; what runs once or reads a few rows stays on
// db::Recordset.
//
// - Prepared once per connection and kept with it (closed with it), like
//   db::Statement; it takes part in the connection's transactions.
// - On a server base it runs on the connection's own libpq session behind
//   the same calls: prepared once per session, its rows read from the result.
// - A failure is thrown as DbError with the codes and texts of every other
//   statement; the test hook InjectFailureAfter counts its runs too.
// - A query whose rows are to come in order names the columns of its result
//   that order them (sortColumns, from 0, each an integer column, ascending),
//   its text without an ORDER BY: a base file's engine sorts them (ORDER BY
//   the columns' places); on a server they are sorted here as they are read,
//   a missing value last and rows of equal keys in the server's order, since
//   the server's sort of a whole table spills to disk and costs more than
//   the transfer of its rows.
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <QtGlobal>

#include <memory>
#include <vector>

struct sqlite3_stmt;

namespace kalvor::db {

namespace detail {
class ServerQuery;
}

class RawStatement {
public:
    RawStatement(const QSqlDatabase& db, const QString& sql, const std::vector<int>& sortColumns = {});
    ~RawStatement();
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    // Binds the value of the index-th "?" (from 0).
    RawStatement& bind(int index, qint64 value);
    RawStatement& bind(int index, double value);
    RawStatement& bind(int index, int value) { return bind(index, qint64(value)); }
    // A null text binds NULL, as QtSql binds it.
    RawStatement& bind(int index, const QString& value);
    // Null, integers, floating point, text and bytes, as QtSql binds them.
    RawStatement& bind(int index, const QVariant& value);
    // Runs a statement without result rows; the values stay bound.
    void exec();
    // Runs a query and gives the first column of its first row as an integer,
    // or 0 when it has no row.
    qint64 selectInt64();
    // The row id of the last row that the connection inserted.
    qint64 lastInsertId() const;

    // Rows of a query: each call steps to the next row (the first call runs
    // the query with the values bound); false after the last one, when the
    // statement is ready to run again.
    bool next();
    // The current row's columns (from 0), converted as QtSql converts them.
    int toInt(int column) const;
    qint64 toInt64(int column) const;
    double toDouble(int column) const;
    QString toString(int column) const;
    // An integer, a floating-point number, a text, bytes, or an invalid value for NULL.
    QVariant value(int column) const;
    // Ends a query whose rows were not all read; the values stay bound.
    void reset();
    // Runs the queries (of one connection) with their values bound: on a
    // server all in one round trip, their rows kept for next(); on a base
    // file each runs at its first next(), as it does alone.
    static void startTogether(const std::vector<RawStatement*>& queries);

private:
    // One step: true when it gave a row; throws DbError on failure.
    bool step();

    QSqlDatabase db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::unique_ptr<detail::ServerQuery> server_; // in place of stmt_ on a server
    QString sql_;
    bool running_ = false; // a query between its first row and its end
};

// The raw statement of that text and order kept for the connection (prepared
// on first use).
RawStatement& RawStatementFor(const QSqlDatabase& db, const QString& sql, const std::vector<int>& sortColumns = {});

} // namespace kalvor::db
