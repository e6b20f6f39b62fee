#pragma once
// What the two engines of the database layer share inside it: the calling
// thread's connections and the translation of an engine's error.
#include "platform/Db.h"

#include <QSqlError>

#include <map>
#include <memory>
#include <set>

namespace kalvor::db {

class RawStatement;

namespace detail {

inline const QString kSource = QStringLiteral("Kalvor.Db");

// The calling thread's open connections by base; closed when the thread ends.
struct ThreadConnections {
    std::map<QString, QString> names; // base file or locator -> connection name
    std::map<QString, QString> paths; // base as given -> absolute file name or locator
    std::map<QString, int> depth; // connection name -> transaction depth
    std::set<QString> lost; // connections that the server dropped
    // connection name -> statements kept for it
    std::map<QString, std::map<QString, std::unique_ptr<Recordset>>> statements;
    // connection name -> raw statements kept for it (finalized before it closes)
    std::map<QString, std::map<QString, std::unique_ptr<RawStatement>>> rawStatements;
    ~ThreadConnections();
};

ThreadConnections& threadConnections();

// Counts one statement against the test hooks; throws the injected failure,
// or has the server end the connection first.
void checkInjectedFailure(const QSqlDatabase& db, const QString& sql);

// The error of a failed statement or opening on that connection, in the
// system's words; a server connection that was dropped is marked lost, so
// that the thread's next use opens it anew.
DbError failure(const QSqlDatabase& db, const QSqlError& e, const QString& what);
// The same for a server connection.
DbError serverFailure(const QSqlDatabase& db, const QSqlError& e, const QString& what);

// Opens a connection of that name to a database of the chosen server and
// sets it up (schema dbo first, the short wait for locks); throws DbError.
QSqlDatabase openServerConnection(const QString& connectionName, const QString& database);

// Before a write transaction into a server base: the base lock that this
// program holds on it (if any) still holds, taken again when the server
// dropped its session; throws DbError when it cannot be.
void requireServerLock(const QString& database);

// The statements that start, keep and end a transaction on a server.
QStringList serverBeginStatements(bool write);

} // namespace detail
} // namespace kalvor::db
