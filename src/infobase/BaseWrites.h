#pragma once
// The guard of an open base's writes: whatever writes it, nothing is written
// from a memory that no longer follows the base.
//
// - The base's configuration row keeps a generation number that every write
//   transaction of the program raises by one, in the same transaction (one
//   row a transaction). Memory keeps the generation of the base it last read
//   or wrote; a write transaction begun while the base holds another one is
//   refused (the base moved under memory: another program, or a write whose
//   outcome memory did not learn).
// - A write whose COMMIT was cut with its outcome not known (a server's
//   db::DbError::commitInDoubt) is settled before the next write begins: the
//   server is asked again (db::AskCommitOutcome). Not known yet, the write is
//   refused; made, memory is brought to it; undone, memory already is.
// - The writer of the doubtful write leaves memory as the write made it
//   unless it says otherwise (MemoryPutBackInDoubt: memory went back to
//   before the write; a way to bring it to the write may come with it).
#include "infobase/InfoBase.h"
#include "platform/Db.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>

class QThread;

namespace kalvor::infobase {

struct BaseWrites {
    ~BaseWrites(); // ends the guard
    std::mutex mutex;
    const CInfoBase* base = nullptr; // its owner, whose month memory holds
    qint64 generation = 0; // the base's generation that memory follows
    std::optional<db::CommitInDoubt> doubt; // the last write, its outcome not known yet
    bool memoryPutBack = false; // memory went back to before that write
    std::function<void()> follow; // brings memory to that write
    bool followAnywhere = false; // on any thread that settles, not only the owner's
    QThread* owner = nullptr; // the thread that opened the base
    int guardKey = 0;
};

// Said when a write is refused because the base moved under memory.
inline constexpr const char* kBaseMovedText =
    "База данных изменена после того, как была прочитана программой: то, что в памяти программы, в нее не "
    "записывается. Закройте базу и откройте ее снова.";
// Said when a write is refused because an earlier write's outcome is not known yet.
inline constexpr const char* kEarlierWriteNotKnownText =
    "Сохранены ли предыдущие изменения, пока не известно: сервер базы данных не ответил. Ничего не записано. "
    "Повторите, когда сервер ответит, или закройте базу и откройте ее снова.";

// Reads the base's generation and guards every write transaction of the
// process on the base from now on (OpenBase, once the configuration is read).
void GuardBaseWrites(CInfoBase& base);
// Ends the guard (CloseBase).
void UnguardBaseWrites(const CInfoBase& base);
// Settles a write whose outcome was not known (see above); throws
// db::DbError with kEarlierWriteNotKnownText while the server does not say.
void SettleBaseWrites(CInfoBase& base);
// The same, saying what became of the write: nothing when no write was in
// doubt; NotKnown (nothing thrown) while the server does not say.
std::optional<db::CommitOutcome> SettleWriteInDoubt(CInfoBase& base);
// The transaction of the write whose outcome is not known yet; empty when
// no write is in doubt.
QByteArray WriteInDoubt(const CInfoBase& base);
// Before a month change, a calculation or a screen builds on what memory
// holds: an earlier write settled first, then empty when the base is the one
// memory follows; else the refusal: the two months when the stored reporting
// month is not the one in memory, kBaseMovedText otherwise. Read on the
// calling thread's connection, outside a write transaction.
QString StoredBaseMismatch(CInfoBase& base);
// Where the follow of a write in doubt may run: on the thread that opened
// the base only (it changes what the screens and a run's selection read), or
// on whichever thread settles the write first (it changes only what that
// writer alone changes in memory).
enum class FollowOn { OwnerThread, AnyThread };
// Said by a writer whose write was cut with its outcome not known and which
// put memory back as it was before the write: `follow` (may be empty) brings
// memory to the write should the server have made it.
void MemoryPutBackInDoubt(CInfoBase& base, std::function<void()> follow, FollowOn on = FollowOn::OwnerThread);

} // namespace kalvor::infobase
