#pragma once
// The guard of an open base's writes: whatever writes it, nothing is written
// from a memory that no longer follows the base.
//
// - The base's configuration row keeps a generation number that every write
//   transaction of the program raises by one, in the same transaction (one
//   row a transaction). Memory keeps the generation of the base it last read
//   or wrote; a write transaction begun while the base holds another one is
//   refused (the base moved under memory: another program, or a write whose
//   outcome memory did not learn). The program's writes of a base take
//   their turns: a write's COMMIT and the raise of memory's generation after
//   it end under one lock, which a write that found the generations apart
//   waits for before it compares them again.
// - A write whose COMMIT was cut with its outcome not known (a server's
//   db::DbError::commitInDoubt) is settled before the next write begins: the
//   server is asked again (db::AskCommitOutcome), on the interface thread
//   alone. Not known yet, the write is refused; made, memory is brought to
//   it; undone, memory already is. A worker (a calculation, a month change,
//   any write of its) that meets the write in doubt does not settle it: it
//   hands the settling to the interface thread (platform::GuiBridge) and
//   waits; stopped meanwhile, it learns nothing and is refused as while the
//   outcome is not known. Memory is thus put in step by the one thread that
//   shows it, and never by two threads at once.
// - The writer of the doubtful write leaves memory as the write made it
//   (a screen's save: what was typed), unless it commits through
//   CommitPuttingBackInDoubt (BaseChange), which hands the guard what to put
//   back: memory goes back as it was before the write the moment the COMMIT
//   is known to be in doubt, and the guard keeps the way to bring memory to
//   the write. That way replaces whole tables, so a write in doubt is
//   settled before anything typed enters memory: every screen settles it as
//   it opens (SettleBeforeInput), and the screens that make such a write
//   take no typed input until a settled look-up.
#include "infobase/InfoBase.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <mutex>
#include <optional>

namespace kalvor::infobase {

struct InDoubtPutBack;

struct BaseWrites {
    ~BaseWrites(); // ends the guard
    std::mutex mutex; // held briefly by whatever reads or changes what follows
    // Held by a write's COMMIT until memory's generation follows it; a
    // write whose comparison of the generations fails waits for it and
    // compares again.
    std::mutex ending;
    const CInfoBase* base = nullptr; // its owner, whose memory follows the base
    qint64 generation = 0; // the base's generation that memory follows
    int month = 0; // the reporting month memory held at its last write made (or reading)
    std::optional<db::CommitInDoubt> doubt; // the last write, its outcome not known yet
    bool memoryPutBack = false; // memory went back to before that write
    std::function<void()> follow; // brings memory to that write; empty: memory stays behind
    // What the write about to commit puts back should its COMMIT be cut in
    // doubt: handed over by CommitPuttingBackInDoubt, taken by the COMMIT as
    // it begins (the base's write lock, held until then, lets no other
    // write's COMMIT begin in between).
    const InDoubtPutBack* putBackInDoubt = nullptr;
    int guardKey = 0;
};

// Said when a write is refused because the base moved under memory.
inline constexpr const char* kBaseMovedText =
    "База данных изменена после того, как была прочитана программой: то, что в памяти программы, в нее не "
    "записывается. Закройте базу и откройте ее снова.";
// Said when a write is refused because an earlier write's outcome is not
// known yet; %1 why (db::NotKnownReason).
inline constexpr const char* kEarlierWriteNotKnownText =
    "Сохранены ли предыдущие изменения, пока не известно: %1. Ничего не записано. "
    "Повторите, когда сервер ответит, или закройте базу и откройте ее снова.";

// Reads the base's generation and guards every write transaction of the
// process on the base from now on (OpenBase, once the configuration is read).
void GuardBaseWrites(CInfoBase& base);
// Ends the guard (CloseBase).
void UnguardBaseWrites(const CInfoBase& base);
// Settles a write in doubt (on the interface thread, as every settle),
// saying what became of it: nothing when no write was in doubt; NotKnown or
// Held (nothing thrown) while the server does not say, NotKnown also when
// the calling worker was stopped while it waited for the interface thread.
std::optional<db::CommitOutcome> SettleWriteInDoubt(CInfoBase& base);
// Before a screen takes typed input into memory: a write in doubt is
// settled; while the server does not say, throws db::DbError with
// kEarlierWriteNotKnownText when memory went back to before that write (the
// write settled later would replace what was typed), and lets a doubt whose
// memory holds the write (what a screen's save typed) wait.
void SettleBeforeInput(CInfoBase& base);
// The transaction of the write whose outcome is not known yet; empty when
// no write is in doubt.
QByteArray WriteInDoubt(const CInfoBase& base);
// Before a month change, a calculation or a screen builds on what memory
// holds: an earlier write settled first (by the interface thread, a worker
// waiting for it; refused while not known), then empty when the base is the one
// memory follows; else the refusal: the two months when the stored reporting
// month is not the one in memory, kBaseMovedText otherwise. Read on the
// calling thread's connection, outside a write transaction.
QString StoredBaseMismatch(CInfoBase& base);

// What a writer that keeps its memory apart from its write does should the
// write's COMMIT be cut with its outcome not known.
struct InDoubtPutBack {
    // Gives memory back as it was before the write.
    std::function<void()> putBack;
    // Called first, while memory still holds the write: the way to bring
    // memory to the write should the server have made it. Empty: memory
    // stays behind, and every write is refused until the base is read again.
    std::function<std::function<void()>()> follow;
};
// Runs `commit` (the write transaction's COMMIT on the calling thread),
// having handed the guard `inDoubt`: cut in doubt, memory is put back and
// the follow kept by the COMMIT itself, before the interface thread can
// settle the write.
void CommitPuttingBackInDoubt(CInfoBase& base, const InDoubtPutBack& inDoubt, const std::function<void()>& commit);

} // namespace kalvor::infobase
