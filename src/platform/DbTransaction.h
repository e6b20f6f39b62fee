#pragma once
// The database layer's transactions: the guard that the program holding a
// base in memory sets around every write transaction (WriteGuard), the
// transaction itself (Transaction), statements written together (Batch), the
// answers of a server's batches read later (AnswersLater, WriteTogether), and
// the view of the base that a server's transaction has, shared with another
// session (ExportedView, TakeView), and its reads by index lookups.
#include "platform/DbServerWork.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace kalvor::db {

namespace detail {
class TransactionEngine;
} // namespace detail

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
    // What the batch writes, one sentence for the user ("Не записаны строки:
    // справочник цехов."): the base's refusal of it (IsRefusal) is thrown
    // naming that (DbError::refused), whenever and wherever its answer is
    // read, whatever else was sent beside it.
    Batch& naming(QString refused);
    // Called once the base has taken the batch's next run: when it ran
    // (SQLite, or outside an AnswersLater scope), or when its answer is
    // read sound inside one. It only takes note (a count of what was
    // written): it is called while answers are read and uses no connection.
    Batch& whenTaken(std::function<void()> taken);
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
    // Reads the oldest answers still due until at most `left` are (0: as
    // collect()), so that a caller can tell how far the server has got
    // between them; throws a failure.
    void collectDownTo(int left);
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

} // namespace kalvor::db
