#pragma once
// The database layer's upkeep of a base: its file's journal, checkpoint and
// page check, the storage class of a column's value, the base's tables and
// their columns, its unique keys, and a server's counter of row ids.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <map>

namespace kalvor::db {

// Turns the base file to the write-ahead journal (kept in the file from then
// on). Done when a base is made and when a checked base is opened; it writes
// nothing when the base keeps that journal already.
void UseWriteAheadJournal(const QSqlDatabase& db);

// Writes the journal back into the base file, so that the file alone holds
// the whole base (before it is renamed or copied as a file).
void Checkpoint(const QSqlDatabase& db);

// What is wrong with the pages of the base file (each page read, each index
// against its table), a line each, about 500 characters at most; empty when
// every page is sound. A server keeps its own pages: empty there.
QString FilePageFaults(const QSqlDatabase& db);

// The storage class of a column's value as SQLite's typeof() names it
// ("null", "integer", "real", "text", "blob"), as an SQL expression. A server's
// columns always hold their declared type, so there only NULL is told apart.
QString StorageClassSql(const QSqlDatabase& db, const QString& column, const QString& declaredType);

// Whether the base (schema dbo) has a table of that name.
bool TableExists(const QSqlDatabase& db, const QString& table);
// The column names of a table of the base, in their order; empty when there
// is no such table.
QStringList TableColumns(const QSqlDatabase& db, const QString& table);
// Every table of the base with its column names in their order, by the
// table's name in lower case, read by one statement (an opening's check of
// the whole schema costs one round trip on a server).
std::map<QString, QStringList> EveryTableColumns(const QSqlDatabase& db);
// Whether the base has the unique key of that name.
bool HasUniqueKey(const QSqlDatabase& db, const QString& name);
// Makes the unique key of that name over columns of a table of the base. On a
// server it is checked at the end of each statement, so that a statement
// that moves values among the rows of the key passes.
void MakeUniqueKey(const QSqlDatabase& db, const QString& name, const QString& table, const QStringList& columns);

// The columns of a table of a server base (in lower case, as the server keeps them).
QStringList ServerTableColumns(const QSqlDatabase& db, const QString& table);

// After rows were written with their own values into a table whose column
// takes its values from the server's counter (the row id of the employees),
// the counter goes on after the greatest value. Nothing for a base file.
void ContinueServerCounter(const QSqlDatabase& db, const QString& table, const QString& column);

} // namespace kalvor::db
