#pragma once
// The database layer: connections, recordsets, transactions and the database
// error, over QtSql. An information base is one SQLite file; each connection
// opens an empty main database and attaches the base file as the schema "dbo",
// so that statements name the tables as dbo.konst, dbo.entree ...
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
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>

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
inline constexpr std::uint32_t E_DB_NO_SERVER = 0x80004005; // the server cannot be reached
inline constexpr std::uint32_t E_DB_LOGIN = 0x80040E4E; // the server refused the login
inline constexpr std::uint32_t E_DB_CONNECTION_LOST = 0x80040E4F; // the server dropped the connection
inline constexpr std::uint32_t E_DB_NO_RIGHT = 0x80040E09; // the login may not connect to the base
inline constexpr std::uint32_t E_DB_STOPPED = 0x80040E50; // work on a server stopped by the calling worker's stop

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
};

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
    // message kCommitNotKnownText, its code kept).
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

// What the server made of a transaction whose COMMIT was cut.
enum class CommitOutcome { Committed, RolledBack, NotKnown };
// How long AskCommitOutcome waits for the server: short, as it follows a
// stop that must end the work within a few seconds.
inline constexpr int kCommitQuestionMilliseconds = 1500;
inline constexpr const char* kCommitNotKnownText =
    "Связь с сервером базы данных прервана, когда запись уже была отправлена. Сохранены ли изменения, пока не "
    "известно: сервер не ответил.";
// Said of a temporary base's rename to the base's name (%1) cut before its
// answer came, while the server does not say whether it made it.
inline constexpr const char* kRenameNotKnownText =
    "Связь с сервером базы данных прервана, когда переименование восстановленной базы данных в %1 уже было "
    "отправлено. Восстановлена ли база данных, пока не известно: сервер не ответил. Когда сервер ответит, "
    "выберите базу данных снова: если ее нет, восстановите ее еще раз.";
// Asks the server on a session of its own, within kCommitQuestionMilliseconds
// and also after the calling worker's stop: NotKnown while the server does
// not answer, or while the transaction has not ended yet (a COMMIT that
// waits for a synchronous standby is still in progress; it is asked again
// until the time is up).
CommitOutcome AskCommitOutcome(const CommitInDoubt& doubt);

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

// ------------------------------------------------------------------ the stop of a worker's server work

// How long a worker's work on a server may go on after its stop before the
// thread's sessions are shut: enough for a server that answers to let the
// work end on its own (commit what it keeps, roll back the rest), and well
// within the 5 s in which a stop must have ended the work.
inline constexpr int kServerStopCutMilliseconds = 2000;

// While it lives on a thread, the stop event governs the thread's work on
// servers (every task worker's body runs in one, and the helper threads of
// such work take their worker's stop):
// - once the stop is set, no new connection to a server is opened from the
//   thread: E_DB_STOPPED at once, so that no wait for a server that does
//   not answer begins;
// - when the scope still lives kServerStopCutMilliseconds after the stop, the
//   sockets of the thread's server sessions are shut (its connections to
//   bases, the base lock's session while the thread checks it, the session of
//   a temporary base it builds): a statement waiting on a server that does
//   not answer ends at once, and every failure of those sessions is thrown as
//   E_DB_STOPPED (kServerWorkStoppedText). The server rolls back the open
//   transaction of a session it finds shut; the thread's connections are
//   opened anew by its next work.
// Outside a scope nothing is ever stopped.
class ServerStopScope {
public:
    explicit ServerStopScope(std::stop_token stop);
    ~ServerStopScope();
    ServerStopScope(const ServerStopScope&) = delete;
    ServerStopScope& operator=(const ServerStopScope&) = delete;
    // The stop of the calling thread's scope, for helper threads of its work.
    static std::stop_token current();

private:
    friend class ServerWaitBound;
    // `saidAsLost`: what the cut ends is thrown as a lost connection
    // (E_DB_CONNECTION_LOST, kConnectionLostText), as nobody stopped it.
    ServerStopScope(std::stop_token stop, bool saidAsLost);
    struct Armed;
    std::unique_ptr<Armed> d;
};

// How long a server may say nothing to work that no worker's stop governs
// (a screen's load or save on the user-interface thread) before that work's
// sessions are shut: a stop's bound. Work the server answers, however long
// it takes, is never cut.
inline constexpr int kServerSilenceMilliseconds = 5000;

// A bound on the waits of server work that no worker's stop governs (a
// screen's save on the user-interface thread) by the server's silence: while
// it lives, the thread's server sessions are shut, as a worker's stop shuts
// them (ServerStopScope), once the server has said nothing to the thread for
// kServerSilenceMilliseconds, or kServerStopCutMilliseconds after stopNow()
// (a COMMIT sent); what the cut ends is said as a lost connection
// (kConnectionLostText). The server's last word is the latest of: the
// bound's start; each statement the thread sends (it sends one only once
// the one before was answered); and, on a TCP connection, the last bytes
// the server's answers brought to a session's socket (the kernel's time of
// the last data received), so that a long answer that keeps coming is not
// cut either. A server on a Unix socket has only the first two.
class ServerWaitBound {
public:
    ServerWaitBound();
    ~ServerWaitBound();
    ServerWaitBound(const ServerWaitBound&) = delete;
    ServerWaitBound& operator=(const ServerWaitBound&) = delete;
    void stopNow() { stop_.request_stop(); }

    struct Silence; // what the watcher's checks of the silence share with it

private:
    std::stop_source stop_;
    ServerStopScope scope_;
    std::shared_ptr<Silence> silence_;
};

// Whether the stop of the calling thread's scope is set.
bool WorkStopped();
// Throws E_DB_STOPPED when it is: for long work between its steps, so that a
// stop ends it (and rolls back its transaction) at once on a server that answers.
void ThrowWhenStopped();

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
class TransactionEngine;
} // namespace detail

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

// ------------------------------------------------------------------ the guard of a base's writes

// What the program that holds a base in memory does around every write
// transaction of the process on the base (the outermost one; its savepoints
// are part of it), so that nothing is written over the base from a memory
// that no longer follows it. Each part may be empty.
struct WriteGuard {
    // Before the transaction begins, no lock of the base taken yet: throws
    // DbError to refuse the write (while an earlier write's outcome is not
    // known, say).
    std::function<void()> before;
    // First in the transaction, on its connection: throws DbError to refuse
    // it (it is then rolled back).
    std::function<void(const QSqlDatabase&)> begun;
    // Runs the transaction's COMMIT (`commit`, which throws DbError when it
    // fails, a commit in doubt among them) and learns what became of it, so
    // that the program's next write meets the base as that COMMIT left it.
    std::function<void(const std::function<void()>& commit)> commit;
};
// Sets the guard of the base's writes; the key it returns ends it
// (UnguardWrites). While several are set on one base, the last one guards.
int GuardWrites(const QString& baseFile, WriteGuard guard);
void UnguardWrites(int key);

// Said of a write begun inside a read transaction, which no guard of the
// base's writes would see.
inline constexpr const char* kWriteInReadText =
    "Запись в базу данных начата внутри транзакции чтения: ничего не записано (ошибка программы).";

// A transaction: begun by the constructor, ended by commit(); a transaction
// left without commit (an exception, an early return) is rolled back, so the
// base is as it was before. Nested transactions on the same connection become
// savepoints of the outer one.
class Transaction {
public:
    enum Kind { Write, Read };
    // A write transaction takes the base's write lock at once; a read
    // transaction only gives its statements one consistent view of the base
    // (and saves taking the file locks statement by statement). A write
    // inside a read transaction (a write transaction or a batch) is a fault
    // of the program: a debug build stops, a release build throws DbError
    // (kWriteInReadText) and writes nothing.
    explicit Transaction(const QSqlDatabase& db, Kind kind = Write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    // Ends the transaction, its changes kept. On a server, a COMMIT whose
    // answer the stop or a lost connection cut is settled by asking the
    // server (AskCommitOutcome): made, it returns as a commit does; undone,
    // the cut's own error is thrown; not known yet, that error is thrown as
    // a commit in doubt (DbError::commitInDoubt). A write transaction on a
    // server outside a worker's stop (ServerStopScope: the user-interface
    // thread's saves) is bounded (ServerWaitBound): its statements wait while
    // the server says nothing for kServerSilenceMilliseconds at most, its
    // COMMIT kServerStopCutMilliseconds at most for its answer; the session is then
    // shut, a COMMIT settled the same way, and the cut said as a lost
    // connection (kConnectionLostText, or kCommitNotKnownText).
    void commit();

private:
    QSqlDatabase db_;
    // What the transaction does on the connection's engine (a base file's
    // or a server's).
    const detail::TransactionEngine* engine_;
    Kind kind_ = Write;
    int depth_ = 0;
    bool done_ = false;
    std::shared_ptr<const WriteGuard> guard_; // of the outermost write transaction
    // The outermost transaction's bound on a server outside a worker's
    // stop; lives until the transaction has ended.
    std::unique_ptr<ServerWaitBound> bound_;
};

// Statements written together, all of them or none. On SQLite each one runs
// as it is added (prepared once per connection) inside a savepoint that run()
// releases. On a server nothing is sent before run(), which sends them all in
// one round trip: each statement prepared once per connection, the rows added
// one after another for the same "INSERT INTO t (...) VALUES (?, ...)" joined
// into multi-row inserts, the whole wrapped in a savepoint. Inside a
// transaction the batch is a savepoint of it; outside one it is a write
// transaction of its own. A batch left without run() writes nothing.
class Batch {
public:
    explicit Batch(const QSqlDatabase& db);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Starts the next statement; its values follow in the order of its "?" marks.
    Batch& add(const QString& sql);
    // A statement on a server that does the work of `counted` statements of
    // a base file (e.g. rows given as column arrays): the test hooks
    // (InjectFailureAfter and the like) count it as that many.
    Batch& add(const QString& sql, int counted);
    // The value of the current statement's index-th "?" (from 0); values are
    // bound in order.
    Batch& bind(int index, qint64 value);
    Batch& bind(int index, int value) { return bind(index, qint64(value)); }
    Batch& bind(int index, double value);
    // A null text binds NULL.
    Batch& bind(int index, const QString& value);
    // Null, integers, floating point, text and bytes.
    Batch& bind(int index, const QVariant& value);
    // Runs what was added; throws DbError, and then nothing of it stays.
    // While an AnswersLater scope lives on the connection, a batch inside a
    // transaction on a server is only sent.
    void run();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// While it lives, a batch run inside a transaction on a server connection
// is sent and run() returns without waiting for the server's answer, so that
// the caller computes on while the server writes. The answers are read, oldest
// first, before anything else runs on the connection (any statement, a batch
// outside the scope, the transaction's end), by collect(), and when too many
// are due. A failure is thrown there: its batch and every batch sent after it
// are undone (the server refuses them with the transaction), those before it
// stand. On a base file nothing changes.
class AnswersLater {
public:
    explicit AnswersLater(const QSqlDatabase& db);
    // An answer still due is read; its failure is dropped, so collect()
    // before the scope ends whenever the transaction is to be committed.
    ~AnswersLater();
    AnswersLater(const AnswersLater&) = delete;
    AnswersLater& operator=(const AnswersLater&) = delete;
    // Reads the answers still due, if any; throws a failure.
    void collect();
    // The batches sent without waiting since the scope began, and of them
    // those whose answer was read and sound.
    int sent() const;
    int answered() const;
    // Whether an answer read since the scope began failed.
    bool failed() const;
    // Holds back a batch that its owner is still filling: `send` sends it
    // before anything else runs or is sent on the connection, and by
    // collect(), so that the batches keep their order. Once an answer has
    // failed it is dropped instead, as it comes after the failure. One at a
    // time: a second one while one is held is refused (DbError, E_DB_FAIL);
    // an empty function lets go of the one held.
    void holdBack(std::function<void()> send);

private:
    QSqlDatabase db_;
};

// Runs `writes` in one write transaction in which, on a server, each batch is
// sent without waiting for its answer, and all the answers are read together
// before the COMMIT: a save of several tables waits one round trip for all
// their rows, not one for each table. A failure is thrown, and nothing of the
// writes stays, as with a transaction left without its commit.
void WriteTogether(const QSqlDatabase& db, const std::function<void()>& writes);

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

// Copies the whole base behind the connection into a new file (a consistent
// snapshot, also while other connections write). The target must not exist.
// A server base is written by the server's pg_dump in its own archive format.
// A disk that fills throws "Ошибка записи в файл <target>" with
// "Недостаточно места на диске" as the description; nothing of the copy stays.
void BackupTo(const QSqlDatabase& db, const QString& targetFile);
// The same for the base file: through the calling thread's connection to it,
// which is closed again afterwards (also after a failure) unless it was open
// before.
void BackupFileTo(const QString& baseFile, const QString& targetFile);

// Whether the server has the database: asked by connecting to it, so that
// no other database need be reachable; every failure but the server's answer
// that there is no such database is thrown.
bool ServerBaseExists(const QString& database);
// The columns of a table of a server base (in lower case, as the server keeps them).
QStringList ServerTableColumns(const QSqlDatabase& db, const QString& table);
// pg_dump of the database into an archive file; pg_restore of such a file
// into a new database. A missing tool or its failure is a DbError. The tool
// runs as the print commands do (platform::RunConsoleProgram: a process group
// of its own, waited in slices): the calling worker's stop ends it at once,
// also while the server does not answer, with E_DB_STOPPED; a dump stopped or
// failed leaves no file.
void DumpServerBase(const QString& database, const QString& targetFile);
void RestoreServerBase(const QString& archiveFile, const QString& database);
// A new, empty database for a base of that name to be built in before it
// takes the name: "~<eight random hex digits>~" and the base's name cut to
// the server's 63 bytes. "~" is not a letter of a base's name, so no base can
// have such a name, and the database is this object's own. From before the
// database is made until it is renamed or dropped, the object holds a lock
// of the server's (an advisory lock on the maintenance database, its key the
// eight digits) on a session of its own, so that no other workstation's
// cleanup drops it meanwhile, also while no session is connected to it (a
// restore's tool not started yet, or ended before the rename). The session
// is the building thread's (shut by its stop, ServerStopScope).
class TemporaryServerBase {
public:
    // Makes the database; throws DbError.
    explicit TemporaryServerBase(const QString& database);
    // Lets the lock go; a database neither renamed nor dropped stays on the
    // server, for a later cleanup (DropLeftoverServerBases).
    ~TemporaryServerBase();
    TemporaryServerBase(const TemporaryServerBase&) = delete;
    TemporaryServerBase& operator=(const TemporaryServerBase&) = delete;

    const QString& name() const;
    // Gives it the base's name (the calling thread's connection to it closed
    // first), then lets the lock go; throws DbError. A rename whose answer a
    // stop or a lost connection cut is asked of the server (as
    // AskCommitOutcome asks): made, it returns; otherwise it throws, with
    // kRenameNotKnownText while the server does not say.
    void renameTo(const QString& database);
    // Drops it, then lets the lock go; throws DbError. Each throws at once
    // after the calling worker's stop.
    void drop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
// Drops the temporary databases of that naming that a stopped or killed
// making or restoring of a base left on the server: those whose lock it can
// take (nobody builds them any more) and with no session. One still being
// built on another workstation stays, as does one the login may not drop.
// Failures are not thrown: what is left is tried again next time.
void DropLeftoverServerBases();
// Dropping and renaming databases run on the server's maintenance database
// "postgres", as the server requires.
// Drops the database; it must have no connections left (the calling thread's
// own are closed first).
void DropServerBase(const QString& database);
void RenameServerBase(const QString& from, const QString& to);
// After rows were written with their own values into a table whose column
// takes its values from the server's counter (the row id of the employees),
// the counter goes on after the greatest value. Nothing for a base file.
void ContinueServerCounter(const QSqlDatabase& db, const QString& table, const QString& column);

// On a server base: the name of the view of the base that the connection's
// open transaction has (its snapshot), for another session to read the base
// as it sees it while it writes (ended with the transaction).
QString ExportedView(const QSqlDatabase& db);
// Makes the read transaction just begun on the connection see the base in
// that view (before any other statement of it); throws DbError.
void TakeView(const QSqlDatabase& db, const QString& view);

// On a server base, for the rest of the connection's transaction: joins by
// index lookups only, for reads of a few employees at a time (a hash join
// would scan a whole table for each of them).
void PreferIndexLookups(const QSqlDatabase& db);

// The base lock on the server: a session-level advisory lock taken in the
// base's own database (so that a login needs no right to any other one) and
// held by a connection of its own (libpq, usable from any thread). The server
// drops it when that session ends, a restart included; so the holder is also
// recorded in the base (dbo.lock_holder: the opening's token and a lease of
// 45 s by the server's clock), and an opening refuses a live lease that is not
// its own. While a lock is held a watcher thread renews its lease every
// fifteenth of the lease and, when the server dropped the lock's session,
// takes the lock again as soon as the server answers. Every write transaction
// into the base also first makes sure the lock's session lives, takes it
// again when it does not, and is refused when it cannot. A clean release
// removes the holder's row; a crashed holder's lease runs out.
enum class ServerLockResult { Taken, HeldElsewhere, Failed };
// The clock that a lock's lease is written and read by: the server's own
// clock, set ahead by what it was moved on. The program moves none; a test
// moves the clock of its workstations past a lease instead of waiting for it
// to run out.
class LeaseClock {
public:
    void moveOn(std::chrono::milliseconds by) { m_ahead += by.count(); }
    qint64 aheadMilliseconds() const { return m_ahead.load(); }

private:
    std::atomic<qint64> m_ahead{0};
};
// Takes the lock without waiting, its lease timed by clock (null: the
// server's own); on Taken, id names it for the release. The lease's write
// waits as a COMMIT does (kServerStopCutMilliseconds at most for its
// answer), as do its renewals and its removal at the release; a row of an
// ended opening of this program's own is taken over.
ServerLockResult TakeServerLock(const QString& database, std::shared_ptr<const LeaseClock> clock, int& id,
                                QString& errorText);
// notify is called (on the watcher's thread, once) when the lock of that id
// was lost and another opening holds the base: writes into it are refused
// from then on.
void OnServerLockHeldElsewhere(int id, std::function<void(const QString& database)> notify);
// Lets the lock go and removes the holder's row, within about twice
// kServerStopCutMilliseconds also while the server does not answer (the
// watcher's renewal and the removal are cut short then). Empty when done;
// kReleaseNotKnownText of the base when the removal's answer did not come:
// the watcher then removes the row once the server answers and every
// session of this opening has ended (so that a renewal in flight, made when
// the server lets it go, does not keep the base), until the lease such a
// renewal gives has run out. A row left naming an opening of this program
// that has ended never refuses this program's next opening.
QString ReleaseServerLock(int id);
inline constexpr const char* kReleaseNotKnownText =
    "Связь с сервером базы данных прервана, когда база данных %1 закрывалась: сервер не ответил. Сохраненные "
    "изменения остаются в базе данных. Отметку о том, что база данных открыта, программа снимет, когда сервер "
    "ответит, а иначе срок отметки истечет не позже чем через минуту.";
// The table of the base lock's holder, made by the schema's step on a server
// (nothing on a base file).
void MakeServerHolderTable(const QSqlDatabase& db);
// Ends the program's server work as it exits, in this order: the lease
// watcher (its round cut and its thread ended; the sessions of the locks
// still held finished, their leases left to run out, as is a release left to
// it), then the thread that shuts stopped sessions, then every connection of
// the calling thread. Called once the bases are closed.
void EndServerWork();

// Test hooks: the lease of the locks taken or renewed from now on (0: the
// usual 45 s), the watcher's renewals held back (a holder that has not
// reconnected yet) or let go, and a round of the watcher asked for at once
// and waited for (a round begun after the call; none when no lock is held).
void SetServerLease(int milliseconds);
void HoldServerLeaseRenewals(bool held);
void AwaitServerLeaseRound();

// Test hook: the n-th statement executed from now on by the calling thread
// fails with an engine error, as a full disk or a broken constraint would;
// 0 disables the hook.
void InjectFailureAfter(int statements);
// Test hook: the n-th statement executed from now on by the calling thread
// first has the server end the thread's connection, as a network failure
// would; 0 disables the hook. Only for server bases.
void InjectDisconnectAfter(int statements);
// Test hook: before the n-th statement from now on, of any thread, whose
// text contains `part`, `call` runs on that thread (once); an empty call
// disables the hook.
void CallBeforeStatement(const QString& part, int n, std::function<void()> call);

} // namespace kalvor::db
