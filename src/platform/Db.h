#pragma once
// The database layer's engine and errors, its connections and recordsets,
// over QtSql: what nearly every caller of the layer needs. An information base
// is one SQLite file; each connection opens an empty main database and
// attaches the base file as the schema "dbo", so that statements name the
// tables as dbo.konst, dbo.entree ...
//
// - One connection per thread and base file: Connection::forThread() opens it
//   on first use and closes it when the thread ends. A worker thread therefore
//   never shares the user-interface thread's connection.
// - Every failure is thrown as DbError, which carries what the error box of the
//   screens shows: a code of eight hexadecimal digits, the message, the
//   description and the source.
// - SQL takes values as bound parameters; statements stay portable. The few
//   SQLite-only statements (ATTACH, PRAGMA, VACUUM INTO) live in Db.cpp alone.
// - A base may instead be a database on a PostgreSQL server (a firm whose
//   payroll several workstations keep). Its name is then a server locator
//   ("pgsql:<database>", see ServerBaseLocator) in place of the file name; the
//   server's own schema "dbo" holds the tables under the same names. The
//   server's own statements live in five files: platform/DbServer.cpp (the
//   connections, the databases, the base lock and its lease, the outcome of a
//   COMMIT whose answer was lost), platform/DbServerStatements.cpp (the
//   statements run on libpq sessions, prepared once, and the rows of an
//   INSERT joined), platform/Db.cpp (its part of the transactions and of the
//   schema's checks and constraints), platform/DbInternal.h (a write
//   transaction's id) and infobase/Schema.cpp (the column types and the
//   statements that store rows as column arrays).
//
// The rest of the layer is declared by concern, each in a header of its own:
// DbTransaction.h (the guard of a base's writes, transactions, batches and
// the answers read later, the views of a server's transaction),
// DbServerWork.h (the stop and the silence bound of server work, the outcome
// of a COMMIT whose answer was cut, the end of the program's server work),
// DbSchema.h (a base's tables, columns and unique keys, its file's journal,
// checkpoint and page check), DbBases.h (backups, a server's dumps and
// restores, its databases made, renamed and dropped), DbServerLock.h (the
// base lock on a server and its lease) and DbTestHooks.h (the hooks of the
// tests).
#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>

class QThread;

namespace kalvor::db {

// Codes of the errors that this layer raises itself (the engine's own errors
// carry 0x80040E00 plus the engine's primary error number, 0-255).
inline constexpr std::uint32_t E_DB_FAIL = 0x80004005; // unspecified failure
inline constexpr std::uint32_t E_DB_ENGINE = 0x80040E00; // + engine error number (low 8 bits)
inline constexpr std::uint32_t E_DB_NOT_FOUND = 0x80040E4D; // base file not found
inline constexpr std::uint32_t E_DB_VERSION = 0x80040E1D; // base made by a newer program
inline constexpr std::uint32_t E_DB_BUSY = E_DB_ENGINE | 5; // another connection holds the lock
inline constexpr std::uint32_t E_DB_DAMAGED = 0x80040E21; // the base's contents cannot be trusted
inline constexpr std::uint32_t E_DB_NOT_A_BASE = 0x80040E37; // the file is not a base of this program
inline constexpr std::uint32_t E_DB_NO_SERVER = 0x80040E52; // the server cannot be reached
inline constexpr std::uint32_t E_DB_LOGIN = 0x80040E4E; // the server refused the login
inline constexpr std::uint32_t E_DB_CONNECTION_LOST = 0x80040E4F; // the server dropped the connection
inline constexpr std::uint32_t E_DB_NO_RIGHT = 0x80040E09; // the login may not connect to the base
inline constexpr std::uint32_t E_DB_STOPPED = 0x80040E50; // work on a server stopped by the calling worker's stop
inline constexpr std::uint32_t E_DB_COMMITS_HELD = 0x80040E51; // the server holds COMMITs: the base lock not renewed

// How long a statement waits for a lock that another connection holds before
// it fails with "База данных занята другим пользователем". Short, so that the
// user-interface thread is never held up for long by another user's write.
inline constexpr int kBusyWaitMilliseconds = 2000;

// The system's texts of the errors above.
inline constexpr const char* kBusyText = "База данных занята другим пользователем";
inline constexpr const char* kDamagedText = "База данных повреждена.";
inline constexpr const char* kNoServerText = "Нет связи с сервером базы данных";
inline constexpr const char* kLoginText = "Сервер базы данных отказал во входе";
inline constexpr const char* kConnectionLostText = "Связь с сервером базы данных прервана. Изменения не сохранены.";
inline constexpr const char* kServerWorkStoppedText =
    "Работа с сервером базы данных остановлена. Изменения не сохранены.";
// A write refused while the server answers but holds every COMMIT (a
// synchronous standby that does not answer): the base lock's lease could
// not be renewed, and without it another workstation might take the base.
// %1 the server.
inline constexpr const char* kCommitsHeldText =
    "Сервер базы данных %1 не подтверждает запись: он ждет ответа резервного сервера, который не отвечает. Пока "
    "запись не подтверждается, программа ничего не записывает в базу данных. Изменения не сохранены.";

// ------------------------------------------------------------------ the engine

// Where the bases are: the SQLite files of the working folder (no host, the
// default) or a PostgreSQL server. The host is a name or address, with an
// optional ":port", or the folder of the server's Unix socket; the service is
// the libpq service name (empty for none). The login's user and password come
// from the usual PostgreSQL places (the environment, the password file, the
// service file), never from the program's configuration.
struct ServerAddress {
    QString host;
    int port = 0;
    QString service;
};

// Chooses the engine from the configuration's section "SQL": a server empty,
// "local" or the computer's own name keeps the SQLite files; any other server
// is a PostgreSQL host[:port], and an engine other than the default "KVR" is
// the libpq service name.
void ChooseEngine(const QString& server, const QString& engine);
void UseServer(const ServerAddress& address);
// The server chosen (an empty host: the SQLite files).
ServerAddress Server();
bool ServerInUse();
// The locator that names a database of the chosen server where a base file
// name stands otherwise.
QString ServerBaseLocator(const QString& database);
bool IsServerLocator(const QString& base);
// The database that a locator names.
QString ServerDatabaseOf(const QString& locator);
// Whether the connection is to a server base.
bool IsServer(const QSqlDatabase& db);
// The oldest server the bases work on, as the server gives its version
// (server_version_num): PostgreSQL 13, the first with pg_current_xact_id()
// and the type xid8, by which a COMMIT whose answer was lost is asked after.
inline constexpr int kOldestServerVersion = 130000;
// Refuses a server of an older version at connecting: throws DbError
// (E_DB_FAIL) naming the version needed and the one found.
void RequireServerVersion(int serverVersion);

// A write transaction on a server whose COMMIT was sent but whose answer
// never came (its session shut by the worker's stop, or lost on the way):
// the server may have made it or not. Its id, taken before the COMMIT, lets
// the server be asked afterwards (AskCommitOutcome). A base file never has one.
struct CommitInDoubt {
    QString database; // the server's database
    QByteArray transaction; // the id as pg_current_xact_id() gives it
    // The server answered, when last asked, that the COMMIT waits for a
    // synchronous standby to confirm it: the line is not what was lost.
    bool held = false;
};
// Why the outcome of a COMMIT in doubt is not known yet, as the end of a
// sentence ("…, пока не известно: <why>").
inline constexpr const char* kServerSilentReason = "сервер базы данных не ответил";
inline constexpr const char* kCommitHeldReason =
    "сервер базы данных ждет ответа резервного сервера, который не отвечает, и не подтверждает запись";
// `held`: CommitInDoubt::held, or an outcome CommitOutcome::Held.
QString NotKnownReason(bool held);

class DbError : public std::exception {
public:
    // `statement`: the text of the statement that failed, kept apart from
    // what the engine said of it (the description), so that no box shows
    // it; what() carries it, for the console log.
    DbError(std::uint32_t code, QString message, QString description, QString source, QString statement = QString());
    std::uint32_t code() const { return code_; }
    const QString& message() const { return message_; }
    // What the engine or the program says of the failure, never a statement.
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }
    const QString& statement() const { return statement_; }
    const char* what() const noexcept override { return utf8_.constData(); }
    // The transaction whose COMMIT the error cut, when the server could not
    // yet tell whether it made it; null for every other error.
    const CommitInDoubt* commitInDoubt() const { return doubt_ ? &*doubt_ : nullptr; }
    // The same error of a cut COMMIT whose outcome is not known yet (its
    // message kCommitNotKnownText, or kCommitHeldText when the server holds
    // the COMMIT; its code kept).
    DbError inDoubt(CommitInDoubt doubt) const;
    // What the write refused was, as the code that met the refusal names it
    // (the employee whose rows, the table whose rows), one sentence for the
    // user; empty when nothing named it.
    const QString& refused() const { return refused_; }
    // The same error naming what was refused.
    DbError naming(QString refused) const;

private:
    std::uint32_t code_;
    QString message_, description_, source_, statement_, refused_;
    QByteArray utf8_;
    std::optional<CommitInDoubt> doubt_;
};

// What the engine itself said of a refused write (IsRefusal), without the statement: the first line of its text without its
// severity, e.g. "could not extend file" or a trigger's own text; the
// message for any other error.
QString EngineWords(const DbError& e);
// Whether the error is the engine's refusal of a write: a trigger's error,
// a full disk, a value too big or of the wrong type, a broken constraint.
bool IsRefusal(const DbError& e);
// Whether the error is a lock that another connection held past the wait
// (kBusyText): its message says it, the engine's own English words do not.
bool IsBusy(const DbError& e);
// Whether the error is about a base file itself: a file that is no base of
// this program, a damaged base, a base made by a newer program.
bool IsBaseFileError(const DbError& e);

// Whether the error ended the connection's transaction on the server (the
// connection was lost, or shut by the worker's stop): nothing of it can be
// committed any more, and the server rolls it back.
bool EndsTheTransaction(const DbError& e);

class Connection {
public:
    // The calling thread's connection to the base file, opened (and the file
    // created when missing) on first use; throws DbError when it cannot be opened.
    // Connecting writes nothing into an existing file: a file that turns out not
    // to be a base is left as it was.
    static QSqlDatabase forThread(const QString& baseFile);
    // Opens, on the calling thread, the connection that the thread `owner`
    // will use for the base file, and hands it over: owner's next
    // forThread(baseFile) takes it instead of connecting. A worker thus bears
    // the wait for a server that is slow to answer while the user-interface
    // thread keeps turning. A connection handed over waits for the owner's
    // next new connection to the base (or its closeForThread); while one
    // waits, nothing more is opened. Throws as forThread does.
    static void openForThread(const QString& baseFile, QThread* owner);
    // Closes the calling thread's connection to that file, if open (also one
    // handed over to it and not taken yet).
    static void closeForThread(const QString& baseFile);
    // Whether the calling thread holds a connection to that file.
    static bool isOpenForThread(const QString& baseFile);
    // Closes every connection of the calling thread.
    static void closeAllForThread();
    // Ends every statement still running on the calling thread's connections
    // (a query whose rows were not all read), so that a connection kept
    // between runs holds no snapshot of the base and no lock while it waits.
    // Transactions are not touched.
    static void idleForThread();
};

namespace detail {
class ServerQuery;
}

// A prepared statement and its rows (the recordset of one call). Values are
// bound by position in the order of the statement's "?" marks. On a server
// it runs on the connection's own session (detail::ServerQuery): its text
// prepared once per session and kept, whichever recordset runs it, so that a
// statement costs one round trip, its first run included.
class Recordset {
public:
    Recordset(const QSqlDatabase& db, const QString& sql);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    Recordset& bind(int index, const QVariant& value);
    // Binds every value in order, then executes.
    template <class... T>
    Recordset& run(const T&... values)
    {
        int i = 0;
        (bind(i++, QVariant::fromValue(values)), ...);
        exec();
        return *this;
    }
    // Executes with the values bound so far; throws DbError.
    void exec();
    bool next();
    QVariant value(int i) const;
    int toInt(int i) const { return value(i).toInt(); }
    qint64 toInt64(int i) const { return value(i).toLongLong(); }
    double toDouble(int i) const { return value(i).toDouble(); }
    QString toString(int i) const { return value(i).toString(); }
    int numRowsAffected() const;
    void finish();
    const QString& sql() const { return sql_; }

private:
    QSqlDatabase db_;
    QSqlQuery query_;
    std::unique_ptr<detail::ServerQuery> server_; // in place of query_ on a server
    QString sql_;
};

// A statement prepared once per connection and kept until the connection is
// closed, for statements that run many times (inserts of a saver). Its rows
// must be read before the same statement runs again.
Recordset& Statement(const QSqlDatabase& db, const QString& sql);

// Runs one statement without result rows.
void Execute(const QSqlDatabase& db, const QString& sql);

} // namespace kalvor::db
