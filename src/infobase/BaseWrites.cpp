#include "infobase/BaseWrites.h"

#include "infobase/BaseCheck.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"
#include "platform/DbTransaction.h"
#include "platform/GuiBridge.h"
#include "platform/RawStatement.h"
#include "values/Values.h"

#include <QScopeGuard>

#include <memory>
#include <tuple>
#include <utility>

namespace kalvor::infobase {

namespace {

const QString kSource = QStringLiteral("Kalvor.Base");

// The refusal of a write while an earlier write's outcome is not known yet.
db::DbError earlierWriteNotKnown(const db::CommitInDoubt& doubt)
{
    return db::DbError(db::E_DB_FAIL, QString::fromUtf8(kEarlierWriteNotKnownText).arg(db::NotKnownReason(doubt.held)),
                       doubt.database, kSource);
}

// The stored reporting month and generation.
std::pair<int, qint64> storedMonthAndGeneration(const QSqlDatabase& db)
{
    const TableDef& config = ConfigTable().def();
    const TableDef& g = GenerationColumn();
    db::RawStatement& q = db::RawStatementFor(
        db, QStringLiteral("SELECT %1, %2 FROM %3 %4")
                .arg(DeclaredColumn(config, QStringLiteral("tekMes")), g.columns[1], Qualified(g.name),
                     WhereColumnSql(config)));
    q.bind(0, kConfigRowId);
    if (!q.next())
        ThrowNoConfigRow();
    const std::pair<int, qint64> stored{q.toInt(0), q.toInt64(1)};
    q.reset();
    return stored;
}

// The refusal of a base whose month or generation is not memory's; empty
// when both are.
QString mismatchText(int storedMonth, qint64 storedGeneration, int heldMonth, qint64 heldGeneration)
{
    const auto month = [](int key) { return MonthOfYearText(MonthKey::of(key)); };
    if (storedMonth != heldMonth)
        return QStringLiteral("Отчетный месяц базы данных (%1) не тот, что в программе (%2): база изменена после "
                              "того, как была прочитана. Закройте базу и откройте ее снова.")
            .arg(month(storedMonth), month(heldMonth));
    return storedGeneration == heldGeneration ? QString() : QString::fromUtf8(kBaseMovedText);
}

// What memory knows of the base at a write's start.
struct Held {
    qint64 generation = 0;
    int month = 0;
    std::optional<db::CommitInDoubt> doubt;
};
Held held(BaseWrites& w)
{
    const std::lock_guard lock(w.mutex);
    return {w.generation, w.month, w.doubt};
}

// Raises the base's generation from the one memory follows, within the
// write transaction just begun; refuses the write when the base holds
// another one. Compared first with what memory holds; when that fails, a
// COMMIT of the program's that the base's lock, now held, has let through
// may not have raised memory's generation yet: that COMMIT's end is waited
// for and the generation compared again.
void markWrite(BaseWrites& w, const QSqlDatabase& db)
{
    const TableDef& g = GenerationColumn();
    db::Recordset bump(db, QStringLiteral("UPDATE %1 SET %2 = %2 + 1 WHERE %3 AND %2 = ?")
                               .arg(Qualified(g.name), g.columns[1], ColumnEqualsSql(g, 0)));
    const auto raised = [&](qint64 generation) {
        bump.run(kConfigRowId, generation);
        return bump.numRowsAffected() == 1;
    };
    const Held first = held(w);
    if (raised(first.generation))
        return;
    Held now;
    {
        const std::lock_guard end(w.ending);
        now = held(w);
    }
    if (now.generation != first.generation && raised(now.generation))
        return;
    // A write cut in doubt while this one waited for the base: its outcome first.
    if (now.doubt)
        throw earlierWriteNotKnown(*now.doubt);
    const auto [storedMonth, generation] = storedMonthAndGeneration(db);
    QString why = mismatchText(storedMonth, generation, now.month, now.generation);
    if (why.isEmpty())
        why = QString::fromUtf8(kBaseMovedText);
    throw db::DbError(db::E_DB_FAIL, why, QString(), kSource);
}

// The put-back handed over for the write about to commit, taken (nothing
// when its writer handed none).
const InDoubtPutBack* takePutBack(BaseWrites& w)
{
    const std::lock_guard lock(w.mutex);
    return std::exchange(w.putBackInDoubt, nullptr);
}

// Keeps the write whose COMMIT was cut in doubt to be settled. With its
// writer's put-back, the way to bring memory to the write is kept first,
// then memory goes back, under the lock by which a settle reads it.
void keepInDoubt(BaseWrites& w, const db::CommitInDoubt& doubt, const InDoubtPutBack* inDoubt)
{
    const std::lock_guard lock(w.mutex);
    w.doubt = doubt;
    w.memoryPutBack = inDoubt != nullptr;
    w.follow = inDoubt && inDoubt->follow ? inDoubt->follow() : nullptr;
    if (inDoubt)
        inDoubt->putBack();
}

// Runs a write's COMMIT; memory's generation follows a COMMIT made, and a
// COMMIT in doubt is kept to be settled, memory put back when its writer
// handed over what to put back.
void commitWrite(BaseWrites& w, const std::function<void()>& commit)
{
    const std::lock_guard end(w.ending);
    const InDoubtPutBack* inDoubt = takePutBack(w);
    try {
        commit();
    } catch (const db::DbError& e) {
        if (const db::CommitInDoubt* doubt = e.commitInDoubt())
            keepInDoubt(w, *doubt, inDoubt);
        throw;
    }
    // Memory holds what the base holds now, its month too; read under the
    // lock by which the guard alone puts memory back or brings it forward.
    const std::lock_guard lock(w.mutex);
    ++w.generation;
    w.month = w.base->config.tekMes;
}

// Settles the write in doubt on the calling thread, the interface thread
// (settle): what the server made of it, or nothing when no write was in
// doubt. NotKnown and Held leave it in doubt.
std::optional<db::CommitOutcome> settleHere(BaseWrites& w)
{
    std::optional<db::CommitInDoubt> doubt;
    {
        const std::lock_guard lock(w.mutex);
        doubt = w.doubt;
    }
    if (!doubt)
        return std::nullopt;
    const db::CommitOutcome outcome = db::AskCommitOutcome(*doubt);
    const std::lock_guard lock(w.mutex);
    // A later write cut in doubt while the server was asked is its own.
    if (!w.doubt || w.doubt->transaction != doubt->transaction)
        return outcome;
    if (db::NotKnownYet(outcome)) {
        // The refusals while it is not known say the server's latest word.
        w.doubt->held = outcome == db::CommitOutcome::Held;
        return outcome;
    }
    w.doubt.reset();
    const bool putBack = std::exchange(w.memoryPutBack, false);
    const std::function<void()> follow = std::exchange(w.follow, nullptr);
    if (outcome != db::CommitOutcome::Committed)
        return outcome; // memory went back with the write, or holds what was typed for the next one
    // Made: memory that holds the write follows the base; memory put back
    // is brought to it, or stays behind when its writer said so, and the
    // generation refuses every write until the base is read again.
    if (putBack && !follow)
        return outcome;
    if (follow)
        follow();
    ++w.generation;
    w.month = w.base->config.tekMes;
    return outcome;
}

// Settles the write in doubt on the interface thread: at once when called
// there; a worker hands it over (platform::GuiBridge) and waits, and learns
// nothing (NotKnown) when stopped meanwhile. Nothing is handed over when no
// write is in doubt.
std::optional<db::CommitOutcome> settle(const std::shared_ptr<BaseWrites>& w)
{
    {
        const std::lock_guard lock(w->mutex);
        if (!w->doubt)
            return std::nullopt;
    }
    // The outcome outlives a worker that stops waiting before it is given.
    const auto outcome = std::make_shared<std::optional<db::CommitOutcome>>();
    const int answer = platform::GuiBridge::runBlocking([w, outcome] {
        *outcome = settleHere(*w);
        return 0;
    });
    return answer == platform::GuiBridge::Cancel ? db::CommitOutcome::NotKnown : *outcome;
}

// Throws the refusal of what comes next while the write in doubt is not known.
[[noreturn]] void refuseNotKnown(BaseWrites& w)
{
    db::CommitInDoubt doubt;
    {
        std::lock_guard lock(w.mutex);
        if (w.doubt)
            doubt = *w.doubt;
    }
    throw earlierWriteNotKnown(doubt);
}

// Settles the write in doubt; refuses what comes next while its outcome is
// not known.
void settleOrRefuse(const std::shared_ptr<BaseWrites>& w)
{
    if (const auto outcome = settle(w); outcome && db::NotKnownYet(*outcome))
        refuseNotKnown(*w);
}

} // namespace

BaseWrites::~BaseWrites() { db::UnguardWrites(guardKey); }

void GuardBaseWrites(CInfoBase& base)
{
    auto w = std::make_shared<BaseWrites>();
    w->base = &base;
    std::tie(w->month, w->generation) = storedMonthAndGeneration(Db(base));
    // The guard outlives no base: it holds memory's state only weakly.
    const std::weak_ptr<BaseWrites> weak = w;
    w->guardKey = db::GuardWrites(BaseFile(base), db::WriteGuard{[weak] {
                                                                     if (const auto guard = weak.lock())
                                                                         settleOrRefuse(guard);
                                                                 },
                                                                 [weak](const QSqlDatabase& db) {
                                                                     if (const auto guard = weak.lock())
                                                                         markWrite(*guard, db);
                                                                 },
                                                                 [weak](const std::function<void()>& commit) {
                                                                     if (const auto guard = weak.lock())
                                                                         commitWrite(*guard, commit);
                                                                     else
                                                                         commit();
                                                                 }});
    base.writes = std::move(w);
}

void UnguardBaseWrites(const CInfoBase& base)
{
    if (base.writes)
        db::UnguardWrites(base.writes->guardKey);
}

std::optional<db::CommitOutcome> SettleWriteInDoubt(CInfoBase& base)
{
    return base.writes ? settle(base.writes) : std::nullopt;
}

void SettleBeforeInput(CInfoBase& base)
{
    if (const auto outcome = base.writes ? settle(base.writes) : std::nullopt; !outcome || !db::NotKnownYet(*outcome))
        return;
    bool putBack = false;
    {
        std::lock_guard lock(base.writes->mutex);
        putBack = base.writes->memoryPutBack;
    }
    if (putBack)
        refuseNotKnown(*base.writes);
}

QByteArray WriteInDoubt(const CInfoBase& base)
{
    if (!base.writes)
        return {};
    std::lock_guard lock(base.writes->mutex);
    return base.writes->doubt ? base.writes->doubt->transaction : QByteArray();
}

QString StoredBaseMismatch(CInfoBase& base)
{
    if (base.writes)
        settleOrRefuse(base.writes);
    const auto [month, generation] = storedMonthAndGeneration(Db(base));
    if (!base.writes)
        return mismatchText(month, generation, base.config.tekMes, generation);
    std::lock_guard lock(base.writes->mutex);
    return mismatchText(month, generation, base.writes->month, base.writes->generation);
}

void CommitPuttingBackInDoubt(CInfoBase& base, const InDoubtPutBack& inDoubt, const std::function<void()>& commit)
{
    const std::shared_ptr<BaseWrites> w = base.writes;
    if (!w) {
        commit();
        return;
    }
    {
        const std::lock_guard lock(w->mutex);
        w->putBackInDoubt = &inDoubt;
    }
    // Not taken by a COMMIT (a savepoint's, of a transaction inside
    // another; a base no longer guarded), it is taken back.
    const auto takeBack = qScopeGuard([&] {
        const std::lock_guard lock(w->mutex);
        if (w->putBackInDoubt == &inDoubt)
            w->putBackInDoubt = nullptr;
    });
    commit();
}

} // namespace kalvor::infobase
