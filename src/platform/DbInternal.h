#pragma once
// What the two engines of the database layer share inside it: the calling
// thread's connections and the translation of an engine's error. It knows
// the layer's own types (DbError, Recordset) by name only, so that what the
// layer shares does not depend on the layer it serves.
#include "platform/DbServerWork.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <stop_token>
#include <vector>

struct pg_conn;
struct pg_result;

namespace kalvor::db {

class DbError;
class RawStatement;
class Recordset;

namespace detail {

inline const QString kSource = QStringLiteral("Kalvor.Db");

// A step of a connection's transaction held to go to the server with the
// next statement sent on the connection, in its round trip (its failure is
// that statement's): the BEGIN of a write or of a read, the write lock, the
// reading of the write's id (for a COMMIT whose answer is lost), a
// savepoint's mark, its release and its undoing. The savepoint's steps are
// also those of a base file, run there at once.
struct HeldStep {
    enum Kind { Begin, BeginRead, WriteLock, TransactionId, Savepoint, Release, RollbackTo };
    Kind kind;
    int depth = 0; // the savepoint's (its steps only)
    bool operator==(const HeldStep&) const = default;
};
// The statement of the step.
QString stepSql(HeldStep step);

// The steps held on a connection, taken off it to go ahead of its next
// statement in the same round trip. The one sender and reader of held steps:
// every way a statement is sent (a text run alone, queries sent together, a
// batch) sends them first and reads their answers first, in their order,
// keeping the write's id on the connection.
class HeldSteps {
public:
    HeldSteps() = default;
    // Takes the steps held on the connection (none are left on it).
    explicit HeldSteps(const QSqlDatabase& db);
    bool empty() const { return steps_.empty(); }
    // The text of the steps ahead of `sql`, for a query of several
    // statements sent outside a pipeline.
    QByteArray aheadOf(const QByteArray& sql) const;
    // Sends each step into the session's pipeline as a command of its own;
    // false when the session refused one.
    bool send(pg_conn* session) const;
    // Reads the steps' answers in their order (in a pipeline, each command's
    // result and its end; outside one, each statement's result), keeping the
    // write's id on the connection. A failed answer (or none, the session
    // gone) is given to `fail` with the step's statement; the first failure
    // is the one that counts.
    void read(pg_conn* session, const std::function<void(const pg_result* r, const QString& sql)>& fail) const;

private:
    QSqlDatabase db_;
    std::vector<HeldStep> steps_;
};

// A batch sent to a server whose answer is still to be read (AnswersLater).
struct SentBatch {
    QSqlDatabase db;
    HeldSteps held; // sent ahead of the batch, answered first
    std::vector<QString> steps; // the statement of each of the batch's own steps queued
    int savepoint = 0; // the depth of the batch's savepoint
    QString refused; // what the batch writes, said with its refusal (Batch::naming)
    std::function<void()> taken; // called when its answer is read sound (Batch::whenTaken)
    // Texts first prepared by the batch (key, name): forgotten when it fails.
    std::vector<std::pair<QString, QByteArray>> prepared;
};

// The batches of a connection whose answers are read later.
struct LaterAnswers {
    int scopes = 0; // AnswersLater scopes open on the connection
    int sent = 0; // batches sent without waiting since the first scope began
    int answered = 0; // of them, those whose answer was read and sound
    bool failed = false; // an answer read later failed
    std::deque<SentBatch> due; // the batches whose answers are still to be read, oldest first
    std::function<void()> heldBack; // sends the batch its owner still fills (AnswersLater::holdBack)
};

// The server sessions of one thread and the stop of its work in force
// (ServerStopScope), shared with the watcher that shuts the sessions when the
// stop is not answered in time (which keeps it by a weak pointer). A session
// is shut only under the mutex and leaves the list before it is closed, so
// that no socket is shut after its session has gone.
struct StopCut {
    std::mutex mutex;
    std::map<QString, pg_conn*> sessions; // by connection name, or the key of a libpq session
    std::stop_token stop; // of the scope in force; never set outside one
    std::uint64_t scope = 0; // the scope in force, 0 none
    bool cut = false; // the sessions were shut for the scope's stop
    bool saidAsLost = false; // the scope's cut is said as a lost connection
    // When the thread last sent a server a statement (the steady clock's
    // count): the one before it had been answered by then.
    std::atomic<std::int64_t> lastSent{0};
};

// A statement text prepared on a server session: its name there and, once the
// server described it, the form its rows are asked in.
struct PreparedText {
    QByteArray name;
    bool described = false;
    bool binary = false; // every column's type is read in binary form
};

// What the layer keeps of one connection of the thread, from its opening
// to its closing.
struct ConnectionState {
    int depth = 0; // transaction depth
    bool reading = false; // its outermost transaction is a read
    bool lost = false; // the server dropped it
    // The statements kept for it (Statement).
    std::map<QString, std::unique_ptr<Recordset>> statements;
    // The raw statements kept for it (RawStatementFor), finalized first.
    std::map<QString, std::unique_ptr<RawStatement>> rawStatements;
    // On a server: statement text -> the session's prepared statement of
    // that text, prepared once per session whichever statement object or
    // batch runs it.
    std::map<QString, PreparedText> serverPrepared;
    // The steps of its transaction that go to the server with the next
    // statement sent on it (HeldSteps).
    std::vector<HeldStep> held;
    // The id of its open write transaction on a server, as its held step
    // read it.
    QByteArray transactionId;
    // Its batches answered later, while an AnswersLater scope is open on it.
    std::optional<LaterAnswers> later;
    ~ConnectionState();
};

// The calling thread's open connections by base; closed when the thread ends.
struct ThreadConnections {
    std::map<QString, QString> names; // base file or locator -> connection name
    std::map<QString, QString> paths; // base as given -> absolute file name or locator
    std::map<QString, ConnectionState> connections; // by connection name
    // the sessions to shut on the stop of the thread's work
    std::shared_ptr<StopCut> stopCut = std::make_shared<StopCut>();
    ~ThreadConnections();
};

ThreadConnections& threadConnections();
// The state of the calling thread's connection (made on first use).
ConnectionState& connectionState(const QSqlDatabase& db);
// Marks the thread's connection of that name, if it has one, as dropped by
// the server: it is opened anew once its transactions have ended.
void markLost(const QString& connectionName);
// Refuses a write inside the connection's read transaction (Transaction):
// a debug build stops, a release build throws DbError (kWriteInReadText).
void RefuseWriteInRead(const QSqlDatabase& db);

// The server sessions the calling thread works on, for the stop of its work:
// a session joins under a key (a connection's name) and must leave before it
// is closed. A session that joins after the thread's sessions were shut is
// shut at once.
void watchSession(const QString& key, pg_conn* session);
void unwatchSession(const QString& key);
// A libpq session of the calling thread's for the object's lifetime (none for null).
class WatchedSession {
public:
    WatchedSession(QString key, pg_conn* session);
    ~WatchedSession();
    WatchedSession(const WatchedSession&) = delete;
    WatchedSession& operator=(const WatchedSession&) = delete;

private:
    QString key_;
};
// Notes that the calling thread sends a statement now (ServerWaitBound).
void noteStatementSent();
// The server as the messages name it.
QString serverName();
// Whether the calling thread's sessions were shut by the stop of its work.
bool sessionsCut();
// The error of work on a server stopped by the worker's stop.
DbError stoppedError();
// Throws stoppedError() once the stop of the calling thread's work is set:
// before anything that would wait for a server anew (a connection).
void refuseWhenStopped();

// A statement on a server that no worker's stop nor bounded transaction
// governs (a screen's read on the user-interface thread) is bounded by the
// server's silence as a write transaction is (ServerWaitBound); nothing for a
// base file or inside a worker's or a transaction's bound.
std::optional<ServerWaitBound> boundOutsideWork(const QSqlDatabase& db);

// Before a statement runs on the connection: reads the answers of the
// batches still due on it (throwing a failure), then counts the statement.
void beforeStatement(const QSqlDatabase& db, const QString& sql);
// Counts one statement against the test hooks and notes it sent
// (noteStatementSent); throws the injected failure, or has the server end
// the connection first.
void countStatement(const QSqlDatabase& db, const QString& sql);

// Reads the answers of the batches still due on the connection, if any;
// throws a failure, its batch and those after it undone.
void readDueAnswer(const QSqlDatabase& db);

// The error of a failed statement or opening on that connection, in the
// system's words; a server connection that was dropped is marked lost, so
// that the thread's next use opens it anew.
DbError failure(const QSqlDatabase& db, const QSqlError& e, const QString& what);
// The same for a server connection.
DbError serverFailure(const QSqlDatabase& db, const QSqlError& e, const QString& what);
// The error of a lost connection to the database: "open elsewhere" (E_DB_BUSY)
// when another workstation has taken the base whose lock this program held,
// else the lost connection.
DbError lostConnectionError(const QString& database);

// Whether the server or the line ended the connection's session while it
// was idle (a restart's farewell, a socket closed): seen from what came on
// its socket, read without waiting; no round trip. False for a base file and
// for a session that is not idle.
bool idleSessionEnded(const QSqlDatabase& db);
// The next write into the database asks the lock's session first, and
// takes the lock again on a new one when it has ended, as the opening takes
// it (after one of the thread's sessions to it was found ended).
void askServerLockBeforeNextWrite(const QString& database);

// Ends the thread that shuts stopped sessions and bounds silences; what it
// was to do is dropped (EndServerWork).
void endCutWatcher();

// Opens a connection of that name to a database of the chosen server and
// sets it up (schema dbo first, the short wait for locks); throws DbError.
QSqlDatabase openServerConnection(const QString& connectionName, const QString& database);

// Before a write transaction into a server base: the base lock that this
// program holds on it (if any) still holds, taken again when the server
// dropped its session; throws DbError when it cannot be.
void requireServerLock(const QString& database);

// The write lock that a write transaction on a server takes first.
QString serverWriteLockSql();

// Holds a step of the connection's transaction for its next statement; a
// release that follows its savepoint's mark with nothing sent between them
// takes the mark back instead.
void holdStep(const QSqlDatabase& db, HeldStep step);
// Forgets what the connection keeps of its transaction, the steps held and
// the write's id (a transaction begun anew, or ended: by its ROLLBACK, or
// before anything of it was sent).
void forgetTransaction(const QSqlDatabase& db);
// Whether the transaction's BEGIN is still held, nothing of it sent.
bool beginHeld(const QSqlDatabase& db);
// The id of the connection's open write transaction that its held step
// read, taken off the connection.
QByteArray takeTransactionId(const QSqlDatabase& db);
// Runs a text of one or more statements on a server connection's session in
// one round trip, the statements held for it first; throws the first
// failure as DbError.
void runOnServer(const QSqlDatabase& db, const QString& sql);

// What a bound value is to both engines.
enum class ValueKind { Null, Integer, Unsigned, Float, Bytes, Text };
inline ValueKind KindOfValue(const QVariant& value)
{
    switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
    case QMetaType::UnknownType: return ValueKind::Null;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::UChar:
    case QMetaType::LongLong: return ValueKind::Integer;
    case QMetaType::ULongLong: return ValueKind::Unsigned;
    case QMetaType::Double:
    case QMetaType::Float: return ValueKind::Float;
    case QMetaType::QByteArray: return ValueKind::Bytes;
    default: return ValueKind::Text;
    }
}

// The values of a server statement as libpq sends them: text, bytes sent in
// binary form, or NULL. Values are set by position from `base` on.
struct ServerValues {
    std::vector<QByteArray> text;
    std::vector<char> null, binary;
    int base = 0;
    void set(int index, qint64 value);
    void set(int index, double value);
    // A null text sets NULL.
    void set(int index, const QString& value);
    void set(int index, const QVariant& value);
    void clear();

private:
    void put(int index, QByteArray value, bool isNull = false, bool isBinary = false);
};

// A statement run on a server connection's own libpq session: prepared once
// per session, its rows read from the result as QtSql would convert them.
// Rows come in the server's binary form where every column's type allows it
// (no number is written out as text and parsed back). A query whose caller
// names the integer columns of its result that order its rows (its text has
// no ORDER BY) is sorted here as its rows are kept: the server's sort of a
// whole table spills to disk and costs more than the transfer of its rows.
class ServerQuery {
public:
    ServerQuery(const QSqlDatabase& db, const QString& sql, std::vector<int> sortColumns = {});
    ~ServerQuery();
    ServerQuery(const ServerQuery&) = delete;
    ServerQuery& operator=(const ServerQuery&) = delete;

    ServerValues values;
    // Runs with the values set and keeps its rows; throws DbError.
    void exec();
    // Runs the queries (all of one session), each with its values set, in
    // one round trip; each keeps its rows as exec() does. Throws the first
    // failure, after which none of them keeps rows.
    static void execTogether(const std::vector<ServerQuery*>& queries);
    // Steps to the next row of the last run; false after the last one.
    bool next();
    // The rows the last run wrote (an UPDATE's, a DELETE's).
    int affected() const { return affected_; }
    // Drops the rows.
    void reset();
    int toInt(int column) const { return int(toInt64(column)); }
    qint64 toInt64(int column) const;
    double toDouble(int column) const;
    QString toString(int column) const;
    // A null value is an invalid QVariant.
    QVariant value(int column) const;

private:
    // What execTogether sent for each query: whether it was prepared, and
    // whether described, in this pipeline.
    struct SentSteps {
        std::vector<char> prepares, describes;
    };
    // Sends the queries into the pipeline, each prepared and described
    // first where the session has not done so yet; false when the session
    // refused to take them.
    static bool sendQueries(pg_conn* session, std::map<QString, PreparedText>& prepared,
                            const std::vector<ServerQuery*>& queries, SentSteps& steps);
    // Reads each query's answers in the order sent, the first failure kept
    // in `failure`.
    static void readQueries(const QSqlDatabase& db, pg_conn* session, std::map<QString, PreparedText>& prepared,
                            const std::vector<ServerQuery*>& queries, const SentSteps& steps,
                            std::optional<DbError>& failure);
    // Takes the server's description of the prepared statement.
    static void takeShape(PreparedText& p, const pg_result* shape);
    // The values set, as libpq takes them.
    struct Parameters {
        std::vector<const char*> values;
        std::vector<int> lengths, formats;
    };
    Parameters parameters() const;
    // Keeps the rows of a result of the statement (sorted here where they are).
    void take(pg_result* r);
    // The result's row of the current one (the rows sorted here are read in their order).
    int at() const { return order_.empty() ? row_ : order_[std::size_t(row_)]; }
    // The row's integer or floating-point value of the column.
    qint64 integerAt(int row, int column) const;
    double doubleAt(int column) const;
    void sortRows();

    QSqlDatabase db_;
    QString sql_;
    QByteArray text_; // with the server's numbered parameters
    int parameters_ = 0;
    bool binary_ = false; // the rows of the last run came in binary form
    std::vector<int> sortColumns_; // the result columns that the rows are sorted by here, as the caller named them
    std::vector<int> order_; // the result's rows in sorted order
    pg_result* result_ = nullptr;
    int row_ = -1, rows_ = 0, affected_ = 0;
};

// The libpq session under a server connection; null for any other.
pg_conn* serverSession(const QSqlDatabase& db);

} // namespace detail
} // namespace kalvor::db
