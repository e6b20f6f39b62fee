#include "infobase/BaseWrites.h"

#include "infobase/BaseCheck.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/StoredTables.h"
#include "platform/RawStatement.h"
#include "values/Values.h"

#include <QThread>

namespace kalvor::infobase {

namespace {

const QString kSource = QStringLiteral("Kalvor.Base");

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

// Raises the base's generation from the one memory follows, within the
// write transaction just begun; refuses the write when the base holds
// another one.
void markWrite(BaseWrites& w, const QSqlDatabase& db)
{
    qint64 held = 0;
    {
        std::lock_guard lock(w.mutex);
        held = w.generation;
    }
    const TableDef& g = GenerationColumn();
    db::Recordset bump(db, QStringLiteral("UPDATE %1 SET %2 = %2 + 1 WHERE %3 AND %2 = ?")
                               .arg(Qualified(g.name), g.columns[1], ColumnEqualsSql(g, 0)));
    bump.run(kConfigRowId, held);
    if (bump.numRowsAffected() == 1)
        return;
    const auto [month, generation] = storedMonthAndGeneration(db);
    QString why = mismatchText(month, generation, w.base->config.tekMes, held);
    if (why.isEmpty())
        why = QString::fromUtf8(kBaseMovedText);
    throw db::DbError(db::E_DB_FAIL, why, QString(), kSource);
}

void writeEnded(BaseWrites& w, const db::CommitInDoubt* doubt)
{
    std::lock_guard lock(w.mutex);
    if (doubt == nullptr) {
        ++w.generation;
        return;
    }
    w.doubt = *doubt;
    w.memoryPutBack = false;
    w.follow = nullptr;
    w.followAnywhere = false;
}

// Settles the write in doubt: what the server made of it, or nothing when
// no write was in doubt. NotKnown leaves it in doubt.
std::optional<db::CommitOutcome> settle(BaseWrites& w)
{
    std::optional<db::CommitInDoubt> doubt;
    {
        std::lock_guard lock(w.mutex);
        doubt = w.doubt;
    }
    if (!doubt)
        return std::nullopt;
    const db::CommitOutcome outcome = db::AskCommitOutcome(*doubt);
    if (outcome == db::CommitOutcome::NotKnown)
        return outcome;
    std::function<void()> follow;
    bool putBack = false, anywhere = false;
    {
        std::lock_guard lock(w.mutex);
        w.doubt.reset();
        putBack = w.memoryPutBack;
        anywhere = w.followAnywhere;
        follow = std::exchange(w.follow, nullptr);
    }
    if (outcome != db::CommitOutcome::Committed)
        return outcome; // memory went back with the write, or holds what was typed for the next one
    // Made: memory that holds the write follows the base. Memory put back is
    // brought to it where its writer allows; otherwise it stays behind, and
    // the generation refuses every write until the base is read again.
    if (putBack && (!follow || (!anywhere && QThread::currentThread() != w.owner)))
        return outcome;
    if (putBack)
        follow();
    std::lock_guard lock(w.mutex);
    ++w.generation;
    return outcome;
}

// Settles the write in doubt; refuses what comes next while its outcome is
// not known.
void settleOrRefuse(BaseWrites& w)
{
    QString database;
    {
        std::lock_guard lock(w.mutex);
        if (w.doubt)
            database = w.doubt->database;
    }
    if (settle(w) == db::CommitOutcome::NotKnown)
        throw db::DbError(db::E_DB_FAIL, QString::fromUtf8(kEarlierWriteNotKnownText), database, kSource);
}

} // namespace

BaseWrites::~BaseWrites() { db::UnguardWrites(guardKey); }

void GuardBaseWrites(CInfoBase& base)
{
    auto w = std::make_shared<BaseWrites>();
    w->base = &base;
    w->generation = storedMonthAndGeneration(Db(base)).second;
    w->owner = QThread::currentThread();
    // The guard outlives no base: it holds memory's state only weakly.
    const std::weak_ptr<BaseWrites> weak = w;
    w->guardKey = db::GuardWrites(BaseFile(base), db::WriteGuard{[weak] {
                                                                      if (const auto held = weak.lock())
                                                                          settleOrRefuse(*held);
                                                                  },
                                                                  [weak](const QSqlDatabase& db) {
                                                                      if (const auto held = weak.lock())
                                                                          markWrite(*held, db);
                                                                  },
                                                                  [weak](const db::CommitInDoubt* doubt) {
                                                                      if (const auto held = weak.lock())
                                                                          writeEnded(*held, doubt);
                                                                  }});
    base.writes = std::move(w);
}

void UnguardBaseWrites(const CInfoBase& base)
{
    if (base.writes)
        db::UnguardWrites(base.writes->guardKey);
}

void SettleBaseWrites(CInfoBase& base)
{
    if (base.writes)
        settleOrRefuse(*base.writes);
}

std::optional<db::CommitOutcome> SettleWriteInDoubt(CInfoBase& base)
{
    return base.writes ? settle(*base.writes) : std::nullopt;
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
    SettleBaseWrites(base);
    const auto [month, generation] = storedMonthAndGeneration(Db(base));
    qint64 held = generation;
    if (base.writes) {
        std::lock_guard lock(base.writes->mutex);
        held = base.writes->generation;
    }
    return mismatchText(month, generation, base.config.tekMes, held);
}

void MemoryPutBackInDoubt(CInfoBase& base, std::function<void()> follow, FollowOn on)
{
    if (!base.writes)
        return;
    std::lock_guard lock(base.writes->mutex);
    base.writes->memoryPutBack = true;
    base.writes->follow = std::move(follow);
    base.writes->followAnywhere = on == FollowOn::AnyThread;
}

} // namespace kalvor::infobase
