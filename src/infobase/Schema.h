#pragma once
// The tables of an information base (schema dbo) and their numbered upgrade
// steps. Every table is made from its declaration (StoredTables.h, whose
// SchemaTables lists them); the loaders and savers build their statements
// from the same column lists (TableDef.h), so a statement and its table
// cannot drift apart.
//
// The version row (dbo.version, id 1) holds the number of the last step run.
// Opening a base runs every later step, each in its own transaction together
// with the new version number, so an interrupted upgrade leaves the base at the
// last complete step.
#include "infobase/TableDef.h"

#include <QSqlDatabase>
#include <QString>

#include <vector>

namespace kalvor::infobase {

// The INSERT of every column of a table and the DELETE of one employee's rows
// (by id_konst), their texts built once for every table.
const QString& TableInsertSql(const TableDef& table);
const QString& TableDeleteByEmployeeSql(const TableDef& table);
// ReplaceRowsOnServerSql of every row of the table, or of the rows whose
// first column has the value given after the arrays (byFirstKey).
const QString& TableReplaceOnServerSql(const TableDef& table, bool byFirstKey);

// The server's statement that leaves the table's rows of `scope` (a
// condition on the stored row "z", every row when empty) exactly the new rows
// given as one array per column, writing only what changed: the stored rows
// whose key no new row has go, a stored row unlike the new row of its key
// takes its values in place, the new rows of keys not stored come. The first
// column's value comes from the query `firstFrom` when one is given (one row,
// or none for no rows at all), the others from the arrays. Its values: those
// of `firstFrom`, the arrays, those of `scope`.
// The stored row is found by the table's primary key; empty for a table
// without one or with a row id.
QString ReplaceRowsOnServerSql(const TableDef& table, const QString& firstFrom, const QString& scope);
// ReplaceRowsOnServerSql for the rows of several owners at once (the
// computed rows of a group of employees): each new row comes with its
// owner's key, and the query `firstOf` ("%1" standing for that key) gives
// its first column. Its values: the owners' keys of the rows, the arrays of
// the columns after the first, then the keys of every owner whose rows are
// replaced (an owner without new rows keeps none).
QString ReplaceOwnedRowsOnServerSql(const TableDef& table, const QString& firstOf);
// The server's statement that writes rows given as one array per column (the
// table's columns from `key` on, the key's first) over the stored rows of
// the same key value, each only where it differs; a key not stored gets no
// row.
QString UpdateRowsOnServerSql(const TableDef& table, qsizetype key);

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
// Makes the key that keeps a personnel number once in each employee list
// (ListNumberKey) where it is missing and no list holds a number twice; a
// base whose list does keeps its rows and gets the key at an opening after
// they are mended. Creation and every opening call it.
void KeepListNumbersUnique(const QSqlDatabase& db);

} // namespace kalvor::infobase
