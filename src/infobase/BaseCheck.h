#pragma once
// The checks that a base passes before anything of it is used. A file that is
// not a base of this program, or a base whose stored values cannot be
// trusted, is refused with a db::DbError that says what is wrong; the checks
// themselves write nothing.
#include <QSqlDatabase>
#include <QString>

namespace kalvor::infobase {

// Throws E_DB_NOT_A_BASE "Файл не является базой данных программы." when the
// file is empty or not a database file at all (read without opening it as a
// database, so nothing can touch it).
void RequireDatabaseFile(const QString& file);

// Reads every page of a base file (SQLite's quick check): a copy cut short or
// damaged on its way throws E_DB_DAMAGED with what SQLite found. Nothing for
// a server base.
void CheckFilePages(const QSqlDatabase& db);

// Throws E_DB_DAMAGED "База данных повреждена." with `what` as the description.
[[noreturn]] void ThrowDamaged(const QString& what);
// The same for a base without its configuration's row.
[[noreturn]] void ThrowNoConfigRow();

// Every table of the schema with every one of its columns.
void CheckSchemaTables(const QSqlDatabase& db);

// The configuration row: present, numbers where numbers belong, a capacity of
// 1 to CInfoBase::MaxCapacity, an employee count within it and a reporting
// month 1-12 of a year the month key can hold; and the master rows of the
// employees fit that capacity.
void CheckConfiguration(const QSqlDatabase& db);

} // namespace kalvor::infobase
