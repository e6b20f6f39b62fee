#pragma once
// A table of the information base as its declaration gives it (its name,
// columns, types and constraints), and the statement texts built from it:
// the loaders, savers and checks name a table and its columns only through
// these, so a statement and its table cannot drift apart.
#include <QString>
#include <QStringList>

#include <vector>

namespace kalvor::infobase {

struct TableDef {
    QString name; // without the schema: "konst"
    QStringList columns; // names in statement order
    QStringList types; // declared types, same order
    QString constraints; // PRIMARY KEY (...) and the like, may be empty
};

// "dbo.<name>"
QString Qualified(const QString& name);
// "a, b, c" of the table's columns (all of them, or those after `skip` leading ones).
QString ColumnList(const TableDef& t, int skip = 0);
// INSERT INTO dbo.t (cols) VALUES (?, ...), of the columns after `skip` leading ones.
QString InsertSql(const TableDef& t, int skip = 0);
// The INSERT of every column, which writes over the other columns of the row
// whose first `keys` columns (its key) it names when there is one
// (ON CONFLICT (keys) DO UPDATE); file bases only. With `rows` > 1 it takes
// that many rows, each handled in turn as one such INSERT would handle it.
QString InsertOrUpdateSql(const TableDef& t, int keys, int rows = 1);
// SELECT cols FROM dbo.t <tail>
QString SelectSql(const TableDef& t, const QString& tail = QString());
// Index of a column in the table's list; -1 when absent.
int ColumnIndex(const TableDef& t, const QString& column);
// The statements below name the table from its declaration; a column named in
// them must be one of the table's (else std::logic_error: a fault of the
// program, met by the first test that runs the statement).
// The name of a declared column, checked to be one of the table's (a
// statement's text puts it in through %N rather than typing it).
QString DeclaredColumn(const TableDef& t, const QString& name);
// "<column> = ?" of the column at that place in the table's list (the keys lead).
QString ColumnEqualsSql(const TableDef& t, int column);
// "<column> BETWEEN ? AND ?" of the same.
QString ColumnBetweenSql(const TableDef& t, int column);
// "ORDER BY a, b" of the named columns.
QString OrderBySql(const TableDef& t, const QStringList& columns);
// The places (from 0) of the named columns among those a SELECT gives
// (`selected`, in their order): the columns a raw statement's rows are
// sorted by (db::RawStatement's sortColumns), its text without ORDER BY.
std::vector<int> SortPlaces(const QStringList& selected, const QStringList& columns);
// "WHERE <column> = ?" of the same.
QString WhereColumnSql(const TableDef& t, int column = 0);
// DELETE FROM dbo.t [WHERE <where>]
QString DeleteRowsSql(const TableDef& t, const QString& where = QString());
// SELECT <columns> FROM dbo.t <tail>
QString SelectColumnsSql(const TableDef& t, const QStringList& columns, const QString& tail = QString());
// UPDATE dbo.t SET a = ?, b = ? WHERE <where>
QString UpdateColumnsSql(const TableDef& t, const QStringList& columns, const QString& where);

} // namespace kalvor::infobase
