#pragma once
// The tables of an information base (schema dbo) and their numbered upgrade
// steps. Every table is made from its declaration (StoredTables.h); the
// loaders and savers build their statements from the same column lists, so a
// statement and its table cannot drift apart.
//
// The version row (dbo.version, id 1) holds the number of the last step run.
// Opening a base runs every later step, each in its own transaction together
// with the new version number, so an interrupted upgrade leaves the base at the
// last complete step.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace kalvor::infobase {

struct TableDef {
    QString name; // without the schema: "konst"
    QStringList columns; // names in statement order
    QStringList types; // declared types, same order
    QString constraints; // PRIMARY KEY (...) and the like, may be empty
};

// Every table of the base.
const std::vector<TableDef>& SchemaTables();

// "dbo.<name>"
QString Qualified(const QString& name);
// "a, b, c" of the table's columns (all of them, or those after `skip` leading ones).
QString ColumnList(const TableDef& t, int skip = 0);
// INSERT INTO dbo.t (cols) VALUES (?, ...), of the columns after `skip` leading ones.
QString InsertSql(const TableDef& t, int skip = 0);
// The INSERT of every column of a table and the DELETE of one employee's rows
// (by id_konst), their texts built once for every table.
const QString& TableInsertSql(const TableDef& table);
const QString& TableDeleteByEmployeeSql(const TableDef& table);
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
// "WHERE <column> = ?" of the same.
QString WhereColumnSql(const TableDef& t, int column = 0);
// DELETE FROM dbo.t [WHERE <where>]
QString DeleteRowsSql(const TableDef& t, const QString& where = QString());
// SELECT <columns> FROM dbo.t <tail>
QString SelectColumnsSql(const TableDef& t, const QStringList& columns, const QString& tail = QString());
// UPDATE dbo.t SET a = ?, b = ? WHERE <where>
QString UpdateColumnsSql(const TableDef& t, const QStringList& columns, const QString& where);

// The newest step this program knows.
int SchemaVersion();
// Whether the base holds the version row's table, which every base of this
// program has (a foreign or empty file does not).
bool HasVersionTable(const QSqlDatabase& db);
// The base's step (0 for a file without the version table).
int StoredSchemaVersion(const QSqlDatabase& db);
// Makes the schema of a new base in an empty file: the version table, then
// every step. Only base creation calls it.
void CreateSchema(const QSqlDatabase& db);
// Runs the steps after the stored one. Throws db::DbError when the file has
// no version table (it is not a base of this program: nothing is written) and
// when the base was made by a newer program (its step is above SchemaVersion()).
void UpgradeSchema(const QSqlDatabase& db);

} // namespace kalvor::infobase
