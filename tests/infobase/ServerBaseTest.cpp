// Bases on a PostgreSQL server (run by tools/test.sh against a throw-away
// cluster; skipped without one): the base lock, the messages of a server that
// cannot be reached or refuses the login, a connection dropped in the middle
// of a save, bases made from the template, and the archive copy; a failed
// dump, which needs no server, leaves no file.
#include "DbTestBase.h"

#include "infobase/Schema.h"
#include "infobase/StoredTables.h"
#include "platform/BaseLock.h"
#include "platform/ColumnArrays.h"
#include "platform/Db.h"
#include "platform/DbBases.h"
#include "platform/DbServerLock.h"
#include "platform/DbServerWork.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"
#include "platform/RawStatement.h"
#include "platform/WorkerThread.h"
#include "platform/WorkingFolder.h"
#include "support/DelayingProxy.h"
#include "support/EmptyServerBase.h"
#include "support/HangingServer.h"
#include "support/SilentPort.h"
#include "support/SlotArrays.h"
#include "support/Slowness.h"
#include "support/StoredBase.h"
#include "support/TableRows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlError>
#include <QSysInfo>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include <signal.h>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::infobase::test;
using kalvor::testsupport::TableRows;
using kalvor::testsupport::ValueText;

namespace {

class ServerBase : public DbTestBase {
protected:
    void SetUp() override
    {
        if (!db::ServerInUse())
            GTEST_SKIP() << "no PostgreSQL server for the tests";
        DbTestBase::SetUp();
    }
    void TearDown() override
    {
        if (!db::ServerInUse())
            return;
        db::InjectDisconnectAfter(0);
        DbTestBase::TearDown();
    }

    // A base of the test's own beside its base (TestBaseName).
    QString OwnBase(const char* name) const { return testsupport::TestBaseName(dir.path(), QString::fromLatin1(name)); }

    // The connection is tried with another server or user for the length of a call.
    template <class F>
    void withServer(const db::ServerAddress& other, F&& call)
    {
        const db::ServerAddress mine = db::Server();
        db::UseServer(other);
        call();
        db::UseServer(mine);
    }
};

db::DbError OpenFails(CInfoBase& base)
{
    try {
        OpenBase(base);
    } catch (const db::DbError& e) {
        return e;
    }
    return db::DbError(0, QString(), QString(), QString());
}

// A write of the open base after the restart: the connection the restart
// ended is found out before the write and opened anew, so the write goes
// through at the first try.
void SaveConfigAfterRestart(CInfoBase& base)
{
    try {
        SaveConfig(base);
    } catch (const db::DbError& e) {
        ADD_FAILURE() << "refused at the first try after the restart: " << e.what();
    }
}

// A second workstation's opening of the base, on a thread (and so a
// connection) of its own, its lease on that clock, closed again at once when
// it opened: the error that refused it, code 0 when it opened.
db::DbError SecondOpening(const CInfoBase& first, const std::shared_ptr<const db::LeaseClock>& clock)
{
    db::DbError refused(0, QString(), QString(), QString());
    std::thread([&] {
        CInfoBase second;
        second.lock = platform::BaseLock(clock);
        second.workFolder = first.workFolder;
        second.baseName = first.baseName;
        refused = OpenFails(second);
        if (refused.code() == 0)
            CloseBase(second);
    }).join();
    return refused;
}

// The leases of the base locks timed by a clock the test moves: the base is
// opened again with its lock on it, and the other workstations of the test
// take theirs on it too. The lease is long beside the test's steps however
// loaded the machine is; the test moves the clock past it, and asks the
// watcher for its rounds instead of waiting for them.
struct MovedClock {
    static constexpr std::chrono::milliseconds kLease{30000};
    CInfoBase& base;
    std::shared_ptr<db::LeaseClock> clock = std::make_shared<db::LeaseClock>();
    explicit MovedClock(CInfoBase& b) : base(b)
    {
        db::SetServerLease(int(kLease.count()));
        CloseBase(base);
        base.lock = platform::BaseLock(clock);
        OpenBase(base);
    }
    ~MovedClock()
    {
        db::HoldServerLeaseRenewals(false);
        db::SetServerLease(0);
    }
    platform::BaseLock lock() const { return platform::BaseLock(clock); }
    void moveOn(std::chrono::milliseconds by) { clock->moveOn(by); }
    void pastTheLease() { clock->moveOn(kLease + std::chrono::seconds(1)); }
};

// A lock of one of the base's tables that another session holds for a time
// (one statement that takes it and sleeps, on a thread of its own and under
// no bound), held once the constructor returns; the session is cancelled,
// and the lock let go, by letGo() or at the latest when the object goes.
class LockHeldElsewhere {
public:
    LockHeldElsewhere(const QString& locator, const QString& table, const QString& mode, int seconds)
        : locator_(locator), thread_([this, table, mode, seconds] {
              {
                  std::stop_source never;
                  const db::ServerStopScope unbounded(never.get_token());
                  try {
                      db::Execute(db::Connection::forThread(locator_),
                                  QStringLiteral("DO $$ BEGIN LOCK TABLE dbo.%1 IN %2 MODE; PERFORM pg_sleep(%3); "
                                                 "END $$")
                                      .arg(table, mode)
                                      .arg(seconds));
                  } catch (const db::DbError&) {
                      // cancelled by letGo()
                  }
              }
              db::Connection::closeAllForThread();
          })
    {
        QElapsedTimer clock;
        clock.start();
        while (!held(table, mode) && clock.elapsed() < servertest::kHelperReadyMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ~LockHeldElsewhere() { letGo(); }
    LockHeldElsewhere(const LockHeldElsewhere&) = delete;
    LockHeldElsewhere& operator=(const LockHeldElsewhere&) = delete;
    void letGo()
    {
        if (!thread_.joinable())
            return;
        db::Execute(db::Connection::forThread(locator_),
                    QStringLiteral("SELECT pg_cancel_backend(pid) FROM pg_stat_activity WHERE datname = "
                                   "current_database() AND pid <> pg_backend_pid() AND query LIKE 'DO $$ BEGIN "
                                   "LOCK TABLE%'"));
        thread_.join();
    }

private:
    bool held(const QString& table, const QString& mode)
    {
        db::Recordset q(db::Connection::forThread(locator_),
                        QStringLiteral("SELECT COUNT(*) FROM pg_locks l JOIN pg_class c ON c.oid = l.relation "
                                       "WHERE c.relname = ? AND lower(l.mode) = ? AND l.granted"));
        q.run(table.toLower(), mode.split(QLatin1Char(' ')).join(QString()).toLower() + QStringLiteral("lock"));
        return q.next() && q.toInt(0) == 1;
    }

    QString locator_;
    std::thread thread_;
};

// The server process of the calling thread's session on the base stopped,
// as when the server's machine stalls for it: continued by letGo(), or at
// the latest after `seconds`.
class SessionStopped {
public:
    SessionStopped(const QString& locator, int seconds)
    {
        db::Recordset q(db::Connection::forThread(locator), QStringLiteral("SELECT pg_backend_pid()"));
        q.exec();
        pid_ = q.next() ? pid_t(q.toInt64(0)) : 0;
        if (pid_ > 0)
            ::kill(pid_, SIGSTOP);
        thread_ = std::thread([this, seconds] {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; });
            if (pid_ > 0)
                ::kill(pid_, SIGCONT);
        });
    }
    ~SessionStopped() { letGo(); }
    SessionStopped(const SessionStopped&) = delete;
    SessionStopped& operator=(const SessionStopped&) = delete;
    void letGo()
    {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

private:
    pid_t pid_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread thread_;
};

} // namespace

TEST_F(ServerBase, TheSecondOpeningOfABaseIsRefusedUntilTheFirstEnds)
{
    const QString locator = BaseFile(base);
    ASSERT_TRUE(db::IsServerLocator(locator));
    // The open base holds its lock.
    EXPECT_TRUE(base.lock.held());
    platform::BaseLock second, other;
    EXPECT_EQ(second.acquire(locator), platform::BaseLock::Result::HeldElsewhere);
    EXPECT_FALSE(second.held());
    // The administrator sees which program and workstation holds it: the
    // lock lives in the base's own database.
    {
        db::Recordset holder(Db(base), QStringLiteral("SELECT a.application_name FROM pg_locks l "
                                                      "JOIN pg_stat_activity a ON a.pid = l.pid "
                                                      "JOIN pg_database d ON d.oid = l.database "
                                                      "WHERE l.locktype = 'advisory' AND d.datname = ?"));
        holder.run(db::ServerDatabaseOf(locator));
        ASSERT_TRUE(holder.next());
        EXPECT_EQ(holder.toString(0), QStringLiteral("Kalvor (%1)").arg(QSysInfo::machineHostName()));
        EXPECT_FALSE(holder.next());
    }
    // Another base's lock is its own; a base that does not exist has none.
    const QString another = db::ServerBaseLocator(OwnBase("another"));
    EXPECT_EQ(other.acquire(another), platform::BaseLock::Result::Failed);
    EXPECT_EQ(other.errorText(), QStringLiteral("База данных не найдена."));
    db::DropServerBase(OwnBase("another"));
    testsupport::MakeEmptyServerBase(OwnBase("another"));
    EXPECT_EQ(other.acquire(another), platform::BaseLock::Result::Taken);
    other.release();
    db::DropServerBase(OwnBase("another"));
    CloseBase(base);
    EXPECT_EQ(second.acquire(locator), platform::BaseLock::Result::Taken);
    second.release();
    OpenBase(base);
}

// A hardened server lets the workstations' login connect to its bases alone,
// not to the maintenance database "postgres": the existence check, the
// opening, the base lock and the writes need no more; making a base is what
// is refused, with its reason.
TEST_F(ServerBase, ALoginThatMayNotConnectToTheMaintenanceDatabaseOpensAndLocksItsBase)
{
    for (const char* statement :
         {"DO $$BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'kalvor_desk') THEN "
          "CREATE ROLE kalvor_desk LOGIN; END IF; END$$",
          "REVOKE CONNECT ON DATABASE postgres FROM PUBLIC", "REVOKE CONNECT ON DATABASE postgres FROM kalvor_desk",
          "GRANT USAGE ON SCHEMA dbo TO kalvor_desk",
          "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA dbo TO kalvor_desk",
          "GRANT USAGE ON ALL SEQUENCES IN SCHEMA dbo TO kalvor_desk"})
        db::Execute(Db(base), QString::fromUtf8(statement));
    CloseBase(base);
    // The login and the right come back also when a check throws.
    struct Hardened {
        QByteArray user = qgetenv("PGUSER");
        Hardened() { qputenv("PGUSER", "kalvor_desk"); }
        ~Hardened()
        {
            qputenv("PGUSER", user);
            try {
                db::Execute(db::Connection::forThread(QStringLiteral("pgsql:postgres")),
                            QStringLiteral("GRANT CONNECT ON DATABASE postgres TO PUBLIC"));
            } catch (const db::DbError& e) {
                ADD_FAILURE() << e.what();
            }
            db::Connection::closeForThread(QStringLiteral("pgsql:postgres"));
        }
    };
    auto hardened = std::make_unique<Hardened>();
    try {
        testsupport::MakeEmptyServerBase(QStringLiteral("never-made"));
        ADD_FAILURE() << "the login connected to the maintenance database";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_NO_RIGHT);
    }
    EXPECT_TRUE(BaseExists(base.workFolder, base.baseName));
    EXPECT_FALSE(BaseExists(base.workFolder, QStringLiteral("no-such-base")));
    CInfoBase desk;
    desk.workFolder = base.workFolder;
    desk.baseName = base.baseName;
    OpenBase(desk);
    LoadAll(desk);
    desk.config.kolMax = 700;
    SaveConfig(desk);
    platform::BaseLock second;
    EXPECT_EQ(second.acquire(BaseFile(desk)), platform::BaseLock::Result::HeldElsewhere);
    CloseBase(desk);
    EXPECT_EQ(second.acquire(BaseFile(desk)), platform::BaseLock::Result::Taken);
    second.release();
    hardened.reset();
    OpenBase(base);
    EXPECT_EQ(base.config.kolMax, 700);
}

// A worker bears the connecting: the connection it opens for another thread
// is that thread's next one to the base, taken without connecting again (the
// server is out of reach meanwhile), and a connection not taken is closed
// with the thread's closing of the base.
TEST_F(ServerBase, AConnectionOpenedOnAWorkerServesTheThreadItWasOpenedFor)
{
    const QString locator = BaseFile(base);
    CloseBase(base);
    QThread* self = QThread::currentThread();
    std::thread([&] { db::Connection::openForThread(locator, self); }).join();
    withServer({QStringLiteral("/nonexistent-socket-folder"), 0, QString()}, [&] {
        db::Recordset q(db::Connection::forThread(locator), QStringLiteral("SELECT kolMax FROM dbo.config"));
        q.exec();
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.toInt(0), 1000);
    });
    db::Connection::closeForThread(locator);
    std::thread([&] { db::Connection::openForThread(locator, self); }).join();
    db::Connection::closeForThread(locator);
    withServer({QStringLiteral("/nonexistent-socket-folder"), 0, QString()},
               [&] { EXPECT_THROW(db::Connection::forThread(locator), db::DbError); });
    OpenBase(base);
}

// The server restarted under an open base: its lock is taken again before the
// next write, so a second opening is refused. When the server was away longer
// than the holder's lease and another workstation took the lock meanwhile, the
// holder is told which base at once (once), and its write is refused and
// leaves the base as it was.
TEST_F(ServerBase, TheLockOfAnOpenBaseOutlivesAServerRestart)
{
    MovedClock lease(base);
    const QString locator = BaseFile(base);
    platform::BaseLock second = lease.lock();
    ASSERT_TRUE(base.lock.held()); // the opening took it
    std::mutex toldMutex;
    QStringList told;
    base.lock.onHeldElsewhere([&](const QString& database) {
        std::lock_guard<std::mutex> guard(toldMutex);
        told << database;
    });

    servertest::RestartServer();
    base.config.kolMax = 900;
    SaveConfigAfterRestart(base);
    EXPECT_EQ(second.acquire(locator), platform::BaseLock::Result::HeldElsewhere);
    EXPECT_TRUE(base.lock.held());

    db::HoldServerLeaseRenewals(true);
    servertest::RestartServer();
    lease.pastTheLease(); // the holder's lease runs out
    ASSERT_EQ(second.acquire(locator), platform::BaseLock::Result::Taken);
    db::HoldServerLeaseRenewals(false);
    auto toldSoFar = [&] {
        std::lock_guard<std::mutex> guard(toldMutex);
        return told;
    };
    db::AwaitServerLeaseRound(); // the watcher finds the base taken
    EXPECT_EQ(toldSoFar(), QStringList{db::ServerDatabaseOf(locator)});
    db::AwaitServerLeaseRound(); // and says it no more
    db::AwaitServerLeaseRound();
    EXPECT_EQ(toldSoFar(), QStringList{db::ServerDatabaseOf(locator)});
    base.config.kolMax = 800;
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            SaveConfig(base);
            ADD_FAILURE() << "a write went through without the base lock";
        } catch (const db::DbError& e) {
            if (e.code() == db::E_DB_CONNECTION_LOST)
                continue; // the connection the restart ended
            EXPECT_EQ(e.code(), db::E_DB_BUSY);
            EXPECT_EQ(e.message(),
                      QStringLiteral("База данных %1 уже открыта другим пользователем. Изменения не сохранены.")
                          .arg(db::ServerDatabaseOf(locator)));
            break;
        }
    }
    CloseBase(base);
    CInfoBase stored;
    stored.workFolder = base.workFolder;
    stored.baseName = base.baseName;
    OpenStoredBase(stored); // the other workstation holds the lock
    EXPECT_EQ(stored.config.kolMax, 900);
    CloseBase(stored);
    // Once the other workstation lets go, the first opens and writes again.
    second.release();
    OpenBase(base);
    SaveConfig(base);
}

// The holder keeps its base through a server restart whichever workstation
// comes first after it: its lease, recorded in the base, outlives the
// sessions the restart ended, and its watcher takes the lock again and renews
// the lease as soon as the server answers.
TEST_F(ServerBase, TheHolderKeepsItsBaseThroughAServerRestartInBothOrders)
{
    MovedClock lease(base);
    const QString held = QStringLiteral("База данных %1 уже открыта другим пользователем.").arg(base.baseName);

    // The holder reconnects first: a round of its watcher after the restart.
    servertest::RestartServer();
    db::AwaitServerLeaseRound();
    db::DbError refused = SecondOpening(base, lease.clock);
    EXPECT_EQ(refused.code(), db::E_DB_BUSY);
    EXPECT_EQ(refused.message(), held);

    // The second workstation comes first, the holder not reconnected yet:
    // the holder's lease refuses it although no session holds the lock.
    db::HoldServerLeaseRenewals(true);
    servertest::RestartServer();
    refused = SecondOpening(base, lease.clock);
    EXPECT_EQ(refused.code(), db::E_DB_BUSY);
    EXPECT_EQ(refused.message(), held);
    // Past the lease it had before the restart, only the holder's own
    // renewal (half a lease later) keeps the base.
    lease.moveOn(MovedClock::kLease / 2);
    db::HoldServerLeaseRenewals(false);
    db::AwaitServerLeaseRound();
    lease.moveOn(MovedClock::kLease / 2 + std::chrono::seconds(1));
    EXPECT_EQ(SecondOpening(base, lease.clock).code(), db::E_DB_BUSY);
    base.config.kolMax = 900;
    SaveConfigAfterRestart(base);

    // A clean close leaves no holder behind: the second opens at once.
    CloseBase(base);
    EXPECT_EQ(SecondOpening(base, lease.clock).code(), 0u);
    OpenBase(base);
    EXPECT_EQ(base.config.kolMax, 900);
}

// A write of a holder whose base another workstation took: refused with
// the message every time, also on the first try, which meets the connection
// a restart ended (said as the base open elsewhere, not as a lost connection).
static void ExpectSaveRefused(CInfoBase& base)
{
    try {
        SaveConfig(base);
        ADD_FAILURE() << "a write went through into a base another workstation took";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_BUSY);
        EXPECT_EQ(e.message(),
                  QStringLiteral("База данных %1 уже открыта другим пользователем. Изменения не сохранены.")
                      .arg(base.baseName));
    }
}

// The base taken by another workstation during a long outage: the record
// card read and saved next meets the connection the restart ended, and is
// refused with the message that the base is open elsewhere, not that the
// connection was lost.
TEST_F(ServerBase, ACardRefusedAfterTheBaseWasTakenSaysTheBaseIsOpenElsewhere)
{
    Fill(2);
    MovedClock lease(base);
    db::HoldServerLeaseRenewals(true);
    servertest::RestartServer();
    lease.pastTheLease(); // the holder's lease runs out
    platform::BaseLock second = lease.lock();
    ASSERT_EQ(second.acquire(BaseFile(base)), platform::BaseLock::Result::Taken);
    db::HoldServerLeaseRenewals(false);
    try {
        LoadEmployee(base, 1);
        base.current.head.fio = QStringLiteral("Иванов Иван");
        SaveEmployee(base, 1);
        ADD_FAILURE() << "the card was saved into a base another workstation took";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_BUSY);
        EXPECT_EQ(e.message(), QStringLiteral("База данных %1 уже открыта другим пользователем. Изменения не сохранены.")
                                   .arg(base.baseName));
    }
    second.release();
}

// The server is away longer than the holder's lease (the holder's watcher
// held back as if it were still reconnecting): a second workstation takes
// the base, writes and lets it go. The first never writes into it again in that
// opening, whether it was told while the other held the base or not at all:
// the other's change stands. A new opening reads it.
TEST_F(ServerBase, AfterALongOutageTheHolderNeverWritesOverTheOtherWorkstationsChange)
{
    MovedClock lease(base);
    std::mutex toldMutex;
    int told = 0;
    auto listen = [&] {
        base.lock.onHeldElsewhere([&](const QString&) {
            std::lock_guard<std::mutex> guard(toldMutex);
            ++told;
        });
    };
    auto toldSoFar = [&] {
        std::lock_guard<std::mutex> guard(toldMutex);
        return told;
    };
    auto outage = [&] {
        db::HoldServerLeaseRenewals(true);
        servertest::RestartServer();
        lease.pastTheLease(); // the holder's lease runs out
    };
    // The second workstation: its own lock (session and lease), and a write
    // on a connection of its own.
    const QString locator = BaseFile(base);
    platform::BaseLock second = lease.lock();
    platform::WorkerThread other;
    auto secondWrites = [&](int kolMax) {
        ASSERT_EQ(second.acquire(locator), platform::BaseLock::Result::Taken);
        other.run([&] {
            db::Execute(db::Connection::forThread(locator),
                        QStringLiteral("UPDATE dbo.config SET kolMax = %1 WHERE id = 1").arg(kolMax));
            db::Connection::closeForThread(locator);
        });
    };
    auto secondCloses = [&] { second.release(); };

    // Told while the other holds the base; refused then, and after it closed.
    listen();
    outage();
    secondWrites(700);
    db::HoldServerLeaseRenewals(false);
    db::AwaitServerLeaseRound();
    EXPECT_EQ(toldSoFar(), 1);
    base.config.kolMax = 900;
    ExpectSaveRefused(base);
    secondCloses();
    db::AwaitServerLeaseRound(); // a few rounds of the watcher
    db::AwaitServerLeaseRound();
    ExpectSaveRefused(base);
    ExpectSaveRefused(base);
    EXPECT_EQ(toldSoFar(), 1);

    // Not told before the other had closed: its watcher comes back only then.
    CloseBase(base);
    OpenBase(base);
    EXPECT_EQ(base.config.kolMax, 700);
    outage();
    secondWrites(600);
    secondCloses();
    db::HoldServerLeaseRenewals(false);
    db::AwaitServerLeaseRound();
    base.config.kolMax = 900;
    ExpectSaveRefused(base);

    CloseBase(base);
    OpenBase(base);
    EXPECT_EQ(base.config.kolMax, 600);
    SaveConfig(base); // a new opening writes again
}

// The watcher takes a lost lock again on a new session outside the table of
// locks: while it waits for a server that does not answer (up to the
// connection's 5 s), the writes into another base whose lock stands go on,
// and that base is closed without waiting for it.
TEST_F(ServerBase, AWriteIsNotHeldUpWhileTheWatcherReconnectsAnotherLock)
{
    kalvor::testsupport::SilentPort silent;
    ASSERT_GT(silent.port(), 0);
    MovedClock lease(base);
    const QString another = OwnBase("another");
    db::DropServerBase(another);
    testsupport::MakeEmptyServerBase(another);
    platform::BaseLock anotherLock;
    ASSERT_EQ(anotherLock.acquire(db::ServerBaseLocator(another)), platform::BaseLock::Result::Taken);
    // The other base's lock session ends; its watcher then connects anew, to
    // a server that never answers.
    const db::ServerAddress mine = db::Server();
    db::Recordset(Db(base), QStringLiteral("SELECT pg_terminate_backend(l.pid, 60000) FROM pg_locks l "
                                           "JOIN pg_database d ON d.oid = l.database "
                                           "WHERE l.locktype = 'advisory' AND l.objid = 1 AND d.datname = ?"))
        .run(another);
    db::UseServer({QStringLiteral("127.0.0.1"), silent.port(), QString()});
    std::thread round([] { db::AwaitServerLeaseRound(); });
    const auto joinRound = qScopeGuard([&] { round.join(); });
    ASSERT_TRUE(silent.knockedOn(60000)); // the watcher connects
    servertest::Slowness slowness;
    QElapsedTimer clock;
    for (int write = 0; write < 3; ++write) {
        slowness.restart();
        clock.start();
        base.config.kolMax = 700 + write;
        SaveConfig(base);
        EXPECT_TRUE(slowness.within("write " + std::to_string(write), clock.elapsed(), 2000));
    }
    slowness.restart();
    clock.start();
    CloseBase(base);
    EXPECT_TRUE(slowness.within("the close", clock.elapsed(), 2000));
    db::UseServer(mine);
    anotherLock.release();
    db::DropServerBase(another);
    OpenBase(base);
    EXPECT_EQ(base.config.kolMax, 702);
}

// The watcher renews every base this program holds: letting go of one of two
// keeps the other's lease running past its length.
TEST_F(ServerBase, ReleasingOneOfTwoHeldBasesKeepsTheOthersLeaseRenewed)
{
    MovedClock lease(base);
    db::DropServerBase(OwnBase("another"));
    testsupport::MakeEmptyServerBase(OwnBase("another"));
    platform::BaseLock other = lease.lock();
    ASSERT_EQ(other.acquire(db::ServerBaseLocator(OwnBase("another"))), platform::BaseLock::Result::Taken);
    other.release();
    db::DropServerBase(OwnBase("another"));
    lease.moveOn(MovedClock::kLease / 2);
    db::AwaitServerLeaseRound(); // none when the watcher had stopped
    lease.moveOn(MovedClock::kLease / 2 + std::chrono::seconds(1)); // past the lease had it not been renewed
    db::Recordset live(Db(base), QStringLiteral("SELECT until > clock_timestamp() + ? * interval '1 millisecond' "
                                                "FROM dbo.lock_holder WHERE id = 1"));
    live.run(lease.clock->aheadMilliseconds());
    ASSERT_TRUE(live.next());
    EXPECT_TRUE(live.value(0).toBool());
}

// Texts with backslashes and quotes reach the server through column arrays
// as they were typed, in their order, NULL as NULL.
TEST_F(ServerBase, TextsGoThroughColumnArraysAsTyped)
{
    const QStringList texts = {QStringLiteral("C:\\Зарплата\\2011"), QStringLiteral("ООО \"Ромашка\""), QString(),
                               QStringLiteral("{a,b} \\\""), QStringLiteral("NULL")};
    db::ColumnArrays arrays;
    for (const QString& t : texts) {
        arrays.row();
        arrays.bind(0, t);
    }
    db::Recordset q(Db(base), QStringLiteral("SELECT x FROM unnest(CAST(? AS TEXT[])) WITH ORDINALITY AS v (x, n) "
                                             "ORDER BY n"));
    q.run(arrays.literal(0));
    QStringList back;
    QList<bool> nulls;
    while (q.next()) {
        back << q.toString(0);
        nulls << q.value(0).isNull();
    }
    EXPECT_EQ(back, texts);
    EXPECT_EQ(nulls, (QList<bool>{false, false, true, false, false}));
}

// A holder that crashed holds the base only until its lease runs out.
TEST_F(ServerBase, ALeaseThatRanOutLetsTheSecondWorkstationIn)
{
    MovedClock lease(base);
    const QString locator = BaseFile(base);
    CloseBase(base);
    {
        // What a workstation killed while it held the base leaves behind.
        db::Recordset none(db::Connection::forThread(locator), QStringLiteral("SELECT count(*) FROM dbo.lock_holder"));
        none.exec();
        ASSERT_TRUE(none.next());
        EXPECT_EQ(none.toInt(0), 0); // the clean close removed its row
        db::Execute(db::Connection::forThread(locator),
                    QStringLiteral("INSERT INTO dbo.lock_holder (id, token, until) "
                                   "VALUES (1, 'killed', clock_timestamp() + interval '%1 milliseconds')")
                        .arg(MovedClock::kLease.count()));
    }
    db::Connection::closeForThread(locator);
    const db::DbError refused = SecondOpening(base, lease.clock);
    EXPECT_EQ(refused.code(), db::E_DB_BUSY);
    EXPECT_EQ(refused.message(), QStringLiteral("База данных %1 уже открыта другим пользователем.").arg(base.baseName));
    lease.pastTheLease();
    EXPECT_EQ(SecondOpening(base, lease.clock).code(), 0u);

    OpenBase(base);
}

// A holder's row with a live lease left naming an opening of this program
// that has ended (a renewal in flight at its close, made once the server
// let it go) is this workstation's own: the next opening takes the base
// over. A row of the same kind naming an opening this program never made is
// another workstation's, and refuses.
TEST_F(ServerBase, ARowLeftNamingAnEndedOpeningOfThisProgramNeverRefusesIt)
{
    const QString locator = BaseFile(base);
    auto heldToken = [&] {
        db::Recordset q(Db(base), QStringLiteral("SELECT token FROM dbo.lock_holder"));
        q.exec();
        return q.next() ? q.toString(0) : QString();
    };
    struct Row {
        const char* what;
        bool ours;
    };
    for (const Row row : {Row{"an ended opening of this program", true}, Row{"another workstation's", false}}) {
        SCOPED_TRACE(row.what);
        const QString token = row.ours ? heldToken() : QStringLiteral("0123456789abcdef0123456789abcdef");
        ASSERT_FALSE(token.isEmpty());
        CloseBase(base);
        {
            db::Recordset lease(db::Connection::forThread(locator),
                                QStringLiteral("INSERT INTO dbo.lock_holder (id, token, until) VALUES "
                                               "(1, ?, clock_timestamp() + interval '45 seconds')"));
            lease.run(token);
        }
        db::Connection::closeForThread(locator);
        const db::DbError e = OpenFails(base);
        if (row.ours) {
            EXPECT_EQ(e.code(), 0u) << e.what();
            EXPECT_NE(heldToken(), token);
        } else {
            EXPECT_EQ(e.code(), db::E_DB_BUSY);
            EXPECT_EQ(e.message(), QStringLiteral("База данных %1 уже открыта другим пользователем.").arg(base.baseName));
            db::Execute(db::Connection::forThread(locator), QStringLiteral("DELETE FROM dbo.lock_holder"));
            db::Connection::closeForThread(locator);
            OpenBase(base);
        }
    }
}

// Each reason that a server cannot open a base is said as it is, naming the
// server (a refused login through a server's address names ~/.pgpass too);
// only a server that answered that there is no such base makes it missing.
TEST_F(ServerBase, AnUnreachableServerOrARefusedLoginIsToldInPlainWords)
{
    const QString server = db::Server().host;
    for (const char* statement :
         {"DROP ROLE IF EXISTS kalvor_password", "CREATE ROLE kalvor_password LOGIN SUPERUSER PASSWORD 'верный'",
          "DROP ROLE IF EXISTS kalvor_clerk", "CREATE ROLE kalvor_clerk LOGIN",
          "REVOKE CONNECT ON DATABASE \"%1\" FROM PUBLIC"})
        db::Execute(Db(base), QString::fromUtf8(statement).replace(QStringLiteral("%1"), base.baseName));
    CloseBase(base);
    CInfoBase again;
    again.workFolder = base.workFolder;
    again.baseName = base.baseName;
    // Why the base cannot be asked for, thrown by the existence check and by
    // the opening alike.
    auto expectRefused = [&](std::uint32_t code, const QString& message) {
        try {
            BaseExists(base.workFolder, base.baseName);
            ADD_FAILURE() << "no error: " << message.toStdString();
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.code(), code);
            EXPECT_EQ(e.message(), message);
        }
        const db::DbError e = OpenFails(again);
        EXPECT_EQ(e.code(), code);
        EXPECT_EQ(e.message(), message);
    };
    withServer({QStringLiteral("/nonexistent-socket-folder"), 0, QString()}, [&] {
        expectRefused(db::E_DB_NO_SERVER,
                      QStringLiteral("Нет связи с сервером базы данных /nonexistent-socket-folder"));
    });

    // A port that takes the connection and never answers: the wait ends.
    kalvor::testsupport::SilentPort silent;
    const int port = silent.port();
    ASSERT_NE(port, 0);
    withServer({QStringLiteral("127.0.0.1"), port, QString()}, [&] {
        expectRefused(db::E_DB_NO_SERVER, QStringLiteral("Сервер базы данных 127.0.0.1:%1 не отвечает").arg(port));
    });

    const QByteArray user = qgetenv("PGUSER");
    qputenv("PGUSER", "kalvor_password");
    qputenv("PGPASSWORD", "неверный");
    expectRefused(db::E_DB_LOGIN, QStringLiteral("Сервер базы данных %1 отказал во входе").arg(server));
    qputenv("PGPASSWORD", "верный");
    EXPECT_TRUE(BaseExists(base.workFolder, base.baseName));
    qunsetenv("PGPASSWORD");
    qputenv("PGUSER", "nobody-of-kalvor");
    expectRefused(db::E_DB_LOGIN, QStringLiteral("Сервер базы данных %1 отказал во входе").arg(server));
    {
        // Through a server's address the login's password comes from
        // ~/.pgpass, which the refusal names.
        servertest::DelayingProxy proxy(server, 1);
        ASSERT_NE(proxy.port(), 0) << "the delaying proxy did not start";
        proxy.use();
        expectRefused(db::E_DB_LOGIN, QStringLiteral("Сервер базы данных 127.0.0.1:%1 отказал во входе. Проверьте имя "
                                                     "пользователя и пароль этого сервера в файле ~/.pgpass (строка "
                                                     "\"сервер:порт:база:пользователь:пароль\").")
                                          .arg(proxy.port()));
    }
    qputenv("PGUSER", "kalvor_clerk");
    expectRefused(db::E_DB_NO_RIGHT,
                  QStringLiteral("Нет права на подключение к базе данных %1 на сервере %2").arg(base.baseName, server));
    qputenv("PGUSER", user);

    again.baseName = QStringLiteral("no-such-base");
    EXPECT_FALSE(BaseExists(base.workFolder, again.baseName));
    EXPECT_EQ(OpenFails(again).code(), db::E_DB_NOT_FOUND);
    // The program goes on with the base as before.
    again.baseName = base.baseName;
    OpenBase(again);
    db::Execute(Db(again), QStringLiteral("GRANT CONNECT ON DATABASE \"%1\" TO PUBLIC").arg(base.baseName));
    EXPECT_EQ(again.config.kolMax, 1000);
    CloseBase(again);
}

// A server installed in Russian answers in Russian: a missing base, a
// refused login and a missing right keep their own messages all the same.
TEST_F(ServerBase, AServerThatAnswersInRussianIsUnderstood)
{
    const QString server = db::Server().host;
    const QString russian = QStringLiteral("ru_RU.UTF-8");
    auto speak = [&](bool inRussian) {
        db::Execute(Db(base), inRussian ? QStringLiteral("ALTER SYSTEM SET lc_messages = '%1'").arg(russian)
                                        : QStringLiteral("ALTER SYSTEM RESET lc_messages"));
        db::Execute(Db(base), QStringLiteral("SELECT pg_reload_conf()"));
        // The server takes the setting for its next sessions once it has read it.
        for (int wait = 0; wait < 100; ++wait) {
            db::Connection::closeForThread(BaseFile(base));
            db::Recordset q(Db(base), QStringLiteral("SELECT current_setting('lc_messages')"));
            q.exec();
            if (q.next() && (q.toString(0) == russian) == inRussian)
                break;
            q.finish();
            QThread::msleep(20);
        }
    };
    for (const char* statement : {"DROP ROLE IF EXISTS kalvor_clerk", "CREATE ROLE kalvor_clerk LOGIN",
                                  "REVOKE CONNECT ON DATABASE \"%1\" FROM PUBLIC"})
        db::Execute(Db(base), QString::fromUtf8(statement).replace(QStringLiteral("%1"), base.baseName));
    speak(true);
    const QByteArray user = qgetenv("PGUSER");
    auto refusal = [&](const char* login, const QString& name) {
        qputenv("PGUSER", login);
        try {
            BaseExists(base.workFolder, name);
        } catch (const db::DbError& e) {
            qputenv("PGUSER", user);
            return e;
        }
        qputenv("PGUSER", user);
        return db::DbError(0, QString(), QString(), QString());
    };
    EXPECT_FALSE(BaseExists(base.workFolder, QStringLiteral("no-such-base")));
    const db::DbError login = refusal("nobody-of-kalvor", base.baseName);
    EXPECT_EQ(login.code(), db::E_DB_LOGIN) << login.what();
    const db::DbError right = refusal("kalvor_clerk", base.baseName);
    EXPECT_EQ(right.code(), db::E_DB_NO_RIGHT) << right.what();
    EXPECT_EQ(right.message(),
              QStringLiteral("Нет права на подключение к базе данных %1 на сервере %2").arg(base.baseName, server));
    db::Execute(Db(base), QStringLiteral("GRANT CONNECT ON DATABASE \"%1\" TO PUBLIC").arg(base.baseName));
    speak(false);
}

TEST_F(ServerBase, AConnectionDroppedInASaveLeavesTheBaseAsItWasAndIsOpenedAnew)
{
    Fill(12);
    CInfoBase stored;
    Reopen(stored);

    // Every name changed, and the connection dropped halfway through the save.
    for (std::size_t i = 0; i < fx.records.size(); ++i) {
        fx.records[i].head.fio = QStringLiteral("Новиков %1").arg(i);
        base.shortNameOf(NumberOfPlace(int(i))) = fx.records[i].head.fio;
    }
    db::InjectDisconnectAfter(40);
    try {
        SaveEverything();
        ADD_FAILURE() << "a save went through a dropped connection";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_CONNECTION_LOST);
    }
    db::InjectDisconnectAfter(0);

    CloseBase(stored);
    CInfoBase after;
    Reopen(after);
    EXPECT_EQ(EveryShortName(after), EveryShortName(stored));
    EXPECT_NE(after.shortNameOf(1), QStringLiteral("Новиков 0"));
    EXPECT_EQ(after.list, stored.list);
    // And the next save goes through on the new connection.
    SaveFio(after);
    CloseBase(after);
}

// A screen's wait on the server (a statement or a transaction on the
// user-interface thread, under no worker's stop) is cut by the server's
// silence, never by the work's length: an answer whose rows keep coming for
// longer than the bound (through a proxy that holds every packet 25 ms each
// way, a TCP connection whose socket tells when data last came) and a
// transaction of statements each answered in turn stand whole; a server that
// says nothing is cut once it has said nothing for the bound, counted from
// its last rows, and said as a lost connection. Each cut comes within a
// window past the bound that the machine's measured slowness stretches.
TEST_F(ServerBase, AScreensWaitIsCutByTheServersSilenceNeverByTheWorksLength)
{
    Fill(3);
    const qint64 bound = db::kServerSilenceMilliseconds;
    servertest::DelayingProxy proxy(qEnvironmentVariable("KALVOR_TEST_SERVER"), 25);
    ASSERT_NE(proxy.port(), 0) << "the delaying proxy did not start";
    // Rows of 20 kB, one a `pause`, each sent on as it is made; after
    // `speaking` of them the server says nothing for 15 s.
    auto rows = [](double pause, int count, int speaking) {
        return QStringLiteral("SELECT g, repeat('x', 20000) FROM generate_series(1, %1) g WHERE "
                              "pg_sleep(CASE WHEN g <= %2 THEN %3 ELSE 15 END) IS NOT NULL")
            .arg(count)
            .arg(speaking)
            .arg(pause);
    };
    struct Row {
        const char* what;
        bool proxied;
        std::function<int()> work; // the rows or statements it had answered
        int rows; // -1: cut
        qint64 fromMs, toMs; // how long it took
    };
    const Row table[] = {
        {"rows that keep coming through the proxy", true,
         [&] { return db::Execute(Db(base), rows(0.7, 10, 10)), 10; },
         10, bound + 1000, 12000},
        {"a transaction of statements answered one by one", false,
         [&] {
             db::Transaction t(Db(base));
             for (int i = 0; i < 14; ++i) db::Execute(Db(base), QStringLiteral("SELECT pg_sleep(0.5)"));
             base.shortNameOf(1) = QStringLiteral("Терпеливый Работник");
             SaveFio(base);
             t.commit();
             return 14;
         },
         14, bound + 1000, 12000},
        {"a silent server", false, [&] { return db::Execute(Db(base), QStringLiteral("SELECT pg_sleep(15)")), 0; }, -1,
         bound - 100, bound + 1500},
        {"a silent server through the proxy", true,
         [&] { return db::Execute(Db(base), QStringLiteral("SELECT pg_sleep(15)")), 0; }, -1, bound - 100,
         bound + 1500},
        {"rows that stop coming through the proxy", true,
         [&] { return db::Execute(Db(base), rows(0.7, 5, 4)), 5; },
         -1, bound + 2500, bound + 4500},
    };
    servertest::Slowness slowness;
    for (const Row& row : table) {
        SCOPED_TRACE(row.what);
        db::Connection::closeForThread(BaseFile(base));
        if (row.proxied)
            proxy.use();
        else
            db::UseServer({qEnvironmentVariable("KALVOR_TEST_SERVER"), 0, QString()});
        Db(base);
        QElapsedTimer clock;
        slowness.restart();
        clock.start();
        int read = -1;
        try {
            read = row.work();
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.code(), db::E_DB_CONNECTION_LOST) << e.what();
            EXPECT_EQ(e.message(), QString::fromUtf8(db::kConnectionLostText));
        }
        const qint64 ms = clock.elapsed();
        EXPECT_EQ(read, row.rows);
        // Never before the server's silence reached the bound; after it, as
        // soon as the machine lets the program see it: the window's width is
        // stretched by the slowness measured meanwhile.
        const qint64 width = row.toMs - row.fromMs;
        EXPECT_GE(ms, row.fromMs);
        EXPECT_TRUE(slowness.within(std::string(row.what) + ", past " + std::to_string(row.fromMs) + " ms",
                                    ms - row.fromMs, width));
    }
    db::Connection::closeForThread(BaseFile(base));
    db::UseServer({qEnvironmentVariable("KALVOR_TEST_SERVER"), 0, QString()});
    // The server ends the sessions that were cut (they still sleep); the
    // base answers whole.
    db::Execute(Db(base), QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                                         "current_database() AND pid <> pg_backend_pid() AND state = 'active'"));
    CInfoBase after;
    Reopen(after);
    EXPECT_EQ(after.shortNameOf(1), QStringLiteral("Терпеливый Работник"));
    CloseBase(after);
}

// The server holds the program's statement and says nothing meanwhile: a
// plain read outside any transaction (the configuration's, as an opening
// reads it) whose session's server process is stopped is cut once the server
// has said nothing for a screen's bound, said as a lost connection; the
// removal of the holder's row at the base's close, waiting for a lock that
// another session holds on the holder's table, is cut within the close's
// bound, said as not known, and the row goes once the lock is let go.
// Neither waits for the server to go on.
TEST_F(ServerBase, AHeldReadOrReleaseOfTheClosesLockIsCutWithinItsBound)
{
    Fill(3);
    const QString locator = BaseFile(base);
    // No renewal of the lease meets the held lock of the holder's table.
    db::HoldServerLeaseRenewals(true);
    const auto holders = [&] {
        db::Recordset q(db::Connection::forThread(locator), QStringLiteral("SELECT COUNT(*) FROM dbo.lock_holder"));
        q.exec();
        return q.next() ? q.toInt(0) : -1;
    };
    ASSERT_EQ(holders(), 1);
    struct Row {
        const char* what;
        // Holds the work on the server well past its bound (a wait without
        // the bound would end only then); gives the way to let it go.
        std::function<std::function<void()>(int seconds)> hold;
        std::function<QString()> work; // what it said
        qint64 fromMs, toMs;
        QString said;
    };
    const Row rows[] = {
        {"a plain read",
         [&](int seconds) {
             auto stopped = std::make_shared<SessionStopped>(locator, seconds);
             return [stopped] { stopped->letGo(); };
         },
         [&] {
             try {
                 LoadConfig(base);
             } catch (const db::DbError& e) {
                 EXPECT_EQ(e.code(), db::E_DB_CONNECTION_LOST) << e.what();
                 return e.message();
             }
             return QString();
         },
         db::kServerSilenceMilliseconds - 100, db::kServerSilenceMilliseconds + 1500,
         QString::fromUtf8(db::kConnectionLostText)},
        {"the close's release",
         [&](int seconds) {
             auto lock = std::make_shared<LockHeldElsewhere>(locator, QStringLiteral("lock_holder"),
                                                             QStringLiteral("EXCLUSIVE"), seconds);
             return [lock] { lock->letGo(); };
         },
         [&] { return CloseBase(base); }, db::kServerStopCutMilliseconds - 100, 2 * db::kServerStopCutMilliseconds,
         QString::fromUtf8(db::kReleaseNotKnownText).arg(db::ServerDatabaseOf(locator))},
    };
    servertest::Slowness slowness;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        // Held past any bound a loaded machine stretches the window's to.
        const std::function<void()> letGo = row.hold(int(row.toMs / 1000) + 60);
        QElapsedTimer clock;
        slowness.restart();
        clock.start();
        const QString said = row.work();
        const qint64 ms = clock.elapsed();
        letGo();
        EXPECT_EQ(said, row.said);
        // Never before the bound; after it, as soon as the machine lets the
        // program see it: the window's width stretched by the slowness.
        EXPECT_GE(ms, row.fromMs);
        EXPECT_TRUE(slowness.within(std::string(row.what) + ", past " + std::to_string(row.fromMs) + " ms",
                                    ms - row.fromMs, row.toMs - row.fromMs));
    }
    db::HoldServerLeaseRenewals(false);
    QElapsedTimer clock;
    clock.start();
    while (holders() != 0 && clock.elapsed() < servertest::kHelperReadyMs) db::AwaitServerLeaseRound();
    EXPECT_EQ(holders(), 0);
    OpenBase(base);
    LoadAll(base);
    EXPECT_EQ(base.list.size(), 3u);
}

// The raw statements of the loaders read their rows in the server's binary
// form and sort them themselves by the integer columns their caller names,
// the server sent no ORDER BY; every value must come back as QtSql reads it
// from the server's own sort (negative and large numbers, NULL keys last,
// NaN and infinities, Cyrillic text, bytes with zeros, dates). A numeric
// column keeps the text form. Queries started together give the same rows
// as alone; a refusal among them leaves the session working.
TEST_F(ServerBase, RowsReadInBinaryAndSortedHereAreTheServersOwn)
{
    const QSqlDatabase db = Db(base);
    db::Execute(db, QStringLiteral("CREATE TABLE dbo.probe (a BIGINT, b INTEGER, s SMALLINT, r DOUBLE PRECISION, "
                                   "f REAL, t TEXT, y BYTEA, d DATE, n NUMERIC)"));
    db::Execute(db, QStringLiteral(
                        "INSERT INTO dbo.probe VALUES "
                        "(2, -1, 7, 'NaN', 1.5, 'Иванов', '\\x00ff10', '2024-02-29', 12.5), "
                        "(-9000000000000, 3, -7, 'Infinity', -0.25, '', '\\x', '1999-12-31', NULL), "
                        "(2, -5, NULL, '-Infinity', 0, NULL, NULL, NULL, -1), "
                        "(NULL, 1, 1, 0.1, 2, 'x', '\\x00', '2000-01-01', 0), "
                        "(9000000000000000000, NULL, 2, -1e300, 3, 'ё', '\\x41', '2100-06-30', 3.25), "
                        "(2, NULL, 3, 5e-324, 4, 'последний', '\\x0000', '1970-01-01', 1)"));
    for (const QString& columns : {QStringLiteral("a, b, s, r, f, t, y, d"), QStringLiteral("a, b, s, r, t, n")}) {
        const QString sql = QStringLiteral("SELECT %1 FROM dbo.probe p").arg(columns);
        const int width = int(columns.count(QLatin1Char(','))) + 1;
        QStringList server, here;
        db::Recordset q(db, sql + QStringLiteral(" ORDER BY p.a, b"));
        q.exec();
        while (q.next()) {
            QStringList row;
            for (int i = 0; i < width; ++i) row << ValueText(q.value(i));
            server << row.join(QLatin1Char('|'));
        }
        db::RawStatement& raw = db::RawStatementFor(db, sql, {0, 1});
        for (int run = 0; run < 2; ++run) // the second run on the statement as prepared
            while (raw.next()) {
                QStringList row;
                for (int i = 0; i < width; ++i) row << ValueText(raw.value(i));
                here << row.join(QLatin1Char('|'));
            }
        EXPECT_EQ(here, server + server) << qPrintable(columns);
        EXPECT_EQ(server.size(), 6);
        EXPECT_TRUE(server.last().startsWith(QStringLiteral("<null>|1|"))) << qPrintable(server.last());
    }
    // Started together (one round trip), each query gives its own rows in
    // its own order, read in any order.
    auto rowsOf = [](db::RawStatement& q) {
        QStringList rows;
        while (q.next()) rows << ValueText(q.value(0)) + QLatin1Char('|') + ValueText(q.value(1));
        return rows;
    };
    db::RawStatement& byA = db::RawStatementFor(db, QStringLiteral("SELECT a, b FROM dbo.probe p"), {0, 1});
    db::RawStatement& byS = db::RawStatementFor(db, QStringLiteral("SELECT s, t FROM dbo.probe WHERE s > ?"), {0});
    byS.bind(0, 0);
    db::RawStatement::startTogether({&byA, &byS});
    EXPECT_EQ(rowsOf(byS), QStringList({QStringLiteral("1|x"), QStringLiteral("2|ё"), QStringLiteral("3|последний"),
                                        QStringLiteral("7|Иванов")}));
    EXPECT_EQ(rowsOf(byA), QStringList({QStringLiteral("-9000000000000|3"), QStringLiteral("2|-5"),
                                        QStringLiteral("2|-1"), QStringLiteral("2|<null>"),
                                        QStringLiteral("9000000000000000000|<null>"), QStringLiteral("<null>|1")}));
    // The session prepared the sorted reads without an ORDER BY: only the
    // recordsets' texts have one.
    db::Recordset prepared(db, QStringLiteral("SELECT statement FROM pg_prepared_statements WHERE "
                                              "strpos(statement, 'dbo.' || 'probe') > 0"));
    prepared.exec();
    QStringList texts;
    while (prepared.next()) texts << prepared.toString(0);
    texts.sort();
    EXPECT_EQ(texts, QStringList({QStringLiteral("SELECT a, b FROM dbo.probe p"),
                                  QStringLiteral("SELECT a, b, s, r, f, t, y, d FROM dbo.probe p"),
                                  QStringLiteral("SELECT a, b, s, r, f, t, y, d FROM dbo.probe p ORDER BY p.a, b"),
                                  QStringLiteral("SELECT a, b, s, r, t, n FROM dbo.probe p"),
                                  QStringLiteral("SELECT a, b, s, r, t, n FROM dbo.probe p ORDER BY p.a, b"),
                                  QStringLiteral("SELECT s, t FROM dbo.probe WHERE s > $1")}));
    // One of them refused: its failure is thrown, neither keeps rows, and the
    // session takes the next statement (each query then runs alone).
    db::RawStatement& refused =
        db::RawStatementFor(db, QStringLiteral("SELECT 1 / (b - b), b FROM dbo.probe WHERE b = 3"));
    byS.bind(0, 2);
    EXPECT_THROW(db::RawStatement::startTogether({&byS, &refused}), db::DbError);
    EXPECT_EQ(rowsOf(byS), QStringList({QStringLiteral("3|последний"), QStringLiteral("7|Иванов")}));
    EXPECT_THROW(refused.next(), db::DbError);
    EXPECT_EQ(db::RawStatementFor(db, QStringLiteral("SELECT COUNT(*) FROM dbo.probe")).selectInt64(), 6);
    db::Execute(db, QStringLiteral("DROP TABLE dbo.probe"));
}

// Batches whose answers are read later: a statement reads the answers due
// before it runs; a refusal is thrown once, undoing its batch and those sent
// after it, while the batches before it stand and the transaction goes on.
TEST_F(ServerBase, BatchesAnsweredLaterStandUntilTheFirstRefusedOne)
{
    const QSqlDatabase db = Db(base);
    db::Execute(db, QStringLiteral("CREATE TABLE dbo.probe (a BIGINT PRIMARY KEY CHECK (a <> 4))"));
    const QString insert = QStringLiteral("INSERT INTO dbo.probe (a) VALUES (?)");
    auto count = [&] {
        db::Recordset q(db, QStringLiteral("SELECT COUNT(*), COALESCE(SUM(a), 0) FROM dbo.probe"));
        q.exec();
        return q.next() ? std::make_pair(q.toInt(0), q.toInt(1)) : std::make_pair(-1, -1);
    };
    {
        db::Transaction run(db);
        db::AnswersLater later(db);
        for (int a = 1; a <= 6; ++a) {
            db::Batch b(db);
            b.add(insert).bind(0, a).add(insert).bind(0, a * 100);
            b.run();
            if (a == 2) {
                EXPECT_EQ(count(), std::make_pair(4, 303)); // read before the query ran
            }
        }
        EXPECT_EQ(later.sent(), 6);
        EXPECT_THROW(later.collect(), db::DbError);
        EXPECT_TRUE(later.failed());
        EXPECT_EQ(later.answered(), 3);
        EXPECT_NO_THROW(later.collect()); // said once
        db::Batch after(db);
        after.add(insert).bind(0, 7);
        after.run();
        later.collect();
        EXPECT_EQ(later.answered(), 4);
        run.commit();
    }
    EXPECT_EQ(count(), std::make_pair(7, 1 + 2 + 3 + 100 + 200 + 300 + 7));
    db::Execute(db, QStringLiteral("DROP TABLE dbo.probe"));
}

// The steps a write holds to go with its first statement (its BEGIN, the
// base's write lock, the reading of its id, a nested savepoint's mark) are
// answered one by one in their order: the step that fails (here the write
// lock, which another workstation's write holds) is the one said, not a step
// beside it, and every answer of the write is read, so that the statements
// after it read their own.
TEST_F(ServerBase, AWritesHeldStepsAreAnsweredInTheirOrderStepByStep)
{
    const QSqlDatabase db = Db(base);
    const QString locator = BaseFile(base);
    db::Execute(db, QStringLiteral("CREATE TABLE dbo.probe (a BIGINT PRIMARY KEY)"));
    auto rows = [&] {
        db::Recordset q(db, QStringLiteral("SELECT COUNT(*), COALESCE(SUM(a), 0) FROM dbo.probe"));
        q.exec();
        return q.next() ? std::make_pair(q.toInt(0), q.toInt(1)) : std::make_pair(-1, -1);
    };
    auto write = [&](int a) {
        db::Transaction outer(db);
        db::Transaction inner(db);
        db::Batch b(db);
        b.add(QStringLiteral("INSERT INTO dbo.probe (a) VALUES (?)")).bind(0, a);
        b.run();
        inner.commit();
        outer.commit();
    };

    // Another workstation's write holds the base's write lock until let go.
    std::mutex mutex;
    std::condition_variable changed;
    bool holding = false, letGo = false;
    std::thread other([&] {
        {
            const QSqlDatabase own = db::Connection::forThread(locator);
            db::Transaction held(own);
            db::Execute(own, QStringLiteral("SELECT 1"));
            std::unique_lock lock(mutex);
            holding = true;
            changed.notify_all();
            changed.wait(lock, [&] { return letGo; });
        }
        db::Connection::closeAllForThread();
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return holding; });
    }
    db::DbError busy(0, QString(), QString(), QString());
    try {
        write(1);
    } catch (const db::DbError& e) {
        busy = e;
    }
    {
        std::lock_guard lock(mutex);
        letGo = true;
    }
    changed.notify_all();
    other.join();
    EXPECT_EQ(busy.code(), db::E_DB_BUSY) << busy.what();
    EXPECT_TRUE(busy.statement().startsWith(QStringLiteral("SELECT pg_advisory_xact_lock("))) << busy.what();
    EXPECT_EQ(rows(), std::make_pair(0, 0));

    // Once it is let go, the same write goes through, and each statement
    // after it reads its own answer. The write's id came with its held steps
    // (the third answer): its COMMIT asks the server for nothing more.
    int idAsked = 0;
    db::CallBeforeStatement(QStringLiteral("pg_current_xact_id"), 1, [&] { ++idAsked; });
    EXPECT_NO_THROW(write(2));
    db::CallBeforeStatement(QString(), 0, {});
    EXPECT_EQ(idAsked, 0);
    EXPECT_EQ(rows(), std::make_pair(1, 2));
    EXPECT_NO_THROW(write(5));
    EXPECT_EQ(rows(), std::make_pair(2, 7));
    db::Execute(db, QStringLiteral("DROP TABLE dbo.probe"));
}

TEST_F(ServerBase, ANewBaseIsMadeFromTheTemplateAndTheArchiveCopyRestores)
{
    Fill(6);
    base.config.parol = QStringLiteral("секрет");
    SaveConfig(base);

    // The template of new bases is a base file, made here by the file engine.
    const QString folder = dir.path();
    withServer({}, [&] {
        CreateSchemaBase(folder, QStringLiteral("tmpl"));
        CInfoBase t;
        t.workFolder = base.workFolder;
        t.baseName = QStringLiteral("tmpl");
        OpenBase(t);
        t.config.parol = QStringLiteral("шаблон");
        SaveConfig(t);
        CloseBase(t);
        ASSERT_TRUE(QFile::rename(BaseFilePath(folder, QStringLiteral("tmpl")), TemplateFilePath(folder)));
    });
    // A server's base is named so that neither the server nor its tools
    // read anything of the name as a setting.
    for (const char* unsafe : {"a=b", "зарплата 2026", "a'b", "a\"b", "-x", "a;b"})
        EXPECT_FALSE(ValidBaseName(QString::fromUtf8(unsafe))) << unsafe;
    EXPECT_TRUE(ValidBaseName(QStringLiteral("Зарплата_2026.03-a")));
    EXPECT_FALSE(ValidBaseName(QString(32, QChar(0x0416)))); // 64 bytes
    EXPECT_THROW(CreateBase(folder, QStringLiteral("a=b")), db::DbError);

    DeleteBase(folder, OwnBase("made"));
    CreateBase(folder, OwnBase("made"));
    EXPECT_FALSE(db::ServerBaseExists(OwnBase("made") + QStringLiteral(".new")));
    EXPECT_THROW(CreateBase(folder, OwnBase("made")), db::DbError);
    CInfoBase made;
    made.workFolder = base.workFolder;
    made.baseName = OwnBase("made");
    OpenBase(made);
    EXPECT_EQ(made.config.parol, QStringLiteral("шаблон"));
    CloseBase(made);
    DeleteBase(folder, OwnBase("made"));
    EXPECT_FALSE(BaseExists(folder, OwnBase("made")));

    // The archive copy is the server's dump; restored, it holds the base.
    const QString archive = folder + QStringLiteral("/test.dump");
    db::BackupFileTo(BaseFile(base), archive);
    ASSERT_TRUE(QFile::exists(archive));
    // It holds the whole payroll: readable by its owner alone.
    EXPECT_EQ(QFile::permissions(archive) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    DeleteBase(folder, OwnBase("restored"));
    testsupport::MakeEmptyServerBase(OwnBase("restored"));
    db::RestoreServerBase(archive, OwnBase("restored"));
    CInfoBase restored;
    restored.workFolder = base.workFolder;
    restored.baseName = OwnBase("restored");
    OpenBase(restored);
    LoadAll(restored);
    EXPECT_EQ(restored.config.parol, QStringLiteral("секрет"));
    EXPECT_EQ(restored.list, base.list);
    CloseBase(restored);
    DeleteBase(folder, OwnBase("restored"));
}

// A server's dump that fails half-way (here a pg_dump that writes the start
// of an archive and ends with an error, as when the server goes in the middle
// of the copy) is a DbError naming the tool and what it said, and leaves
// nothing in the copy's folder: no partial archive that a later restore would
// take for a copy. Needs no server.
TEST(ServerArchive, AFailedDumpLeavesNoFile)
{
    QTemporaryDir tools, target, logs;
    ASSERT_TRUE(tools.isValid() && target.isValid() && logs.isValid());
    QFile dump(tools.filePath(QStringLiteral("pg_dump")));
    ASSERT_TRUE(dump.open(QIODevice::WriteOnly));
    dump.write("#!/bin/sh\n"
               "for arg; do case \"$arg\" in --file=*) printf 'PGDMP partial' >\"${arg#--file=}\";; esac; done\n"
               "echo 'pg_dump: error: connection lost'\n"
               "exit 1\n");
    dump.close();
    dump.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(tools.path()) + ':' + path);
    platform::SetWorkingFolder(logs.path());

    const QString archive = target.filePath(QStringLiteral("base.dump"));
    db::DbError failed(0, QString(), QString(), QString());
    try {
        db::DumpServerBase(QStringLiteral("payroll"), archive);
    } catch (const db::DbError& e) {
        failed = e;
    }
    qputenv("PATH", path);
    platform::SetWorkingFolder(QString());
    EXPECT_EQ(failed.code(), db::E_DB_FAIL);
    EXPECT_EQ(failed.message(), QStringLiteral("Ошибка программы pg_dump"));
    EXPECT_EQ(failed.description(), QStringLiteral("pg_dump: error: connection lost"));
    EXPECT_EQ(QDir(target.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
}

namespace {

// Makes the base file "firm" in `folder` and opens it into `file`, filled
// with nine employees of the fixture and their rows.
void OpenFilledFirmFile(CInfoBase& file, const QString& workFolder, const QString& folder)
{
    file.workFolder = workFolder;
    file.baseName = QStringLiteral("firm");
    CreateSchemaBase(folder, file.baseName);
    OpenBase(file);
    const FixtureBase filled = BuildFixtureBase(file, 9, 11);
    std::vector<WarDatBlock> none(filled.records.size());
    SaveAll(file, filled.records, &none);
}

} // namespace

// A firm moves its base file onto the server: a month change's copy of the
// file, restored with the server in use, becomes a server base with every
// row of every table, built under a temporary name; the copy is only read,
// and a new employee gets an id after the copied ones.
TEST_F(ServerBase, ABaseFilesCopyRestoredOntoTheServerHoldsTheSameRows)
{
    const QString folder = dir.path();
    std::map<QString, QStringList> fileRows;
    withServer({}, [&] {
        CInfoBase file;
        OpenFilledFirmFile(file, base.workFolder, folder);
        fileRows = TableRows(Db(file));
        CloseBase(file);
    });
    const QString copyFile = folder + QStringLiteral("/firm.sqlite");
    ASSERT_TRUE(QFile::exists(copyFile));
    const QByteArray before = [&] {
        QFile f(copyFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    ASSERT_GT(fileRows[QStringLiteral("konst")].size(), 8);

    DeleteBase(folder, OwnBase("moved"));
    RestoreBaseFile(folder, OwnBase("moved"), copyFile);
    EXPECT_FALSE(db::ServerBaseExists(OwnBase("moved") + QStringLiteral(".new")));
    EXPECT_THROW(RestoreBaseFile(folder, OwnBase("moved"), copyFile), db::DbError);
    QFile after(copyFile);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);

    CInfoBase moved;
    moved.workFolder = base.workFolder;
    moved.baseName = OwnBase("moved");
    OpenBase(moved);
    const std::map<QString, QStringList> serverRows = TableRows(Db(moved));
    for (const auto& [table, rows] : fileRows) EXPECT_EQ(serverRows.at(table), rows) << table.toStdString();
    // The id of a new employee, and the greatest copied one.
    auto number = [&](const char* sql) {
        db::Recordset q(Db(moved), QString::fromUtf8(sql));
        q.exec();
        return q.next() ? q.value(0).toLongLong() : -1;
    };
    const qint64 last = number("SELECT MAX(id) FROM dbo.konst");
    db::Execute(Db(moved), QStringLiteral("INSERT INTO dbo.konst (rec) VALUES (9999)"));
    EXPECT_EQ(number("SELECT id FROM dbo.konst WHERE rec = 9999"), last + 1);
    CloseBase(moved);
    DeleteBase(folder, OwnBase("moved"));
}

namespace {

// Grows the table of a base file by copies of its rows (each copy's numbers
// after the greatest one) until it holds at least `rows` rows.
void GrowRows(const QSqlDatabase& file, const TableDef& t, int rows)
{
    const QString columns = t.columns.join(QStringLiteral(", "));
    QStringList copied = t.columns;
    copied[copied.indexOf(QStringLiteral("num"))] =
        QStringLiteral("num + (SELECT MAX(num) + 1 FROM %1)").arg(Qualified(t.name));
    for (;;) {
        db::Recordset count(file, QStringLiteral("SELECT COUNT(*) FROM %1").arg(Qualified(t.name)));
        count.exec();
        if (!count.next() || count.toInt(0) >= rows || count.toInt(0) == 0)
            return;
        db::Execute(file, QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %1")
                              .arg(Qualified(t.name), columns, copied.join(QStringLiteral(", "))));
    }
}

} // namespace

// A base file's copy whose tables of accruals hold several groups of 1,000
// rows each restores every row of every table, as the server itself then
// holds them (read back there, not counted as sent). A row the server
// refuses (a text where a number goes), in the last group of the last of
// them, is said with its own table even when other batches were sent on the
// same connection between the groups (here by the report of how far the copy
// is), and leaves no base behind.
TEST_F(ServerBase, ABaseFilesCopyOfSeveralGroupsOfRowsRestoresEveryRowOrNamesTheRefusedTable)
{
    const QString folder = dir.path();
    const QString copyFile = folder + QStringLiteral("/firm.sqlite");
    std::map<QString, QStringList> fileRows;
    withServer({}, [&] {
        CInfoBase file;
        OpenFilledFirmFile(file, base.workFolder, folder);
        for (const TableDef* t : {&ProizvTable().def(), &ZarpTable().def()}) GrowRows(Db(file), *t, 3'500);
        fileRows = TableRows(Db(file));
        // The last row of the accruals in the order they are copied.
        db::Execute(Db(file), QStringLiteral("UPDATE dbo.zarp SET kod = 'x' WHERE id_konst = (SELECT MAX(id_konst) "
                                             "FROM dbo.zarp) AND num = (SELECT MAX(num) FROM dbo.zarp WHERE id_konst "
                                             "= (SELECT MAX(id_konst) FROM dbo.zarp))"));
        CloseBase(file);
    });
    for (const char* table : {"proizv", "zarp"}) ASSERT_GT(fileRows[QString::fromLatin1(table)].size(), 3'000) << table;

    DeleteBase(folder, OwnBase("moved"));
    int groups = 0;
    // The base being built, under the temporary name its building gave it.
    auto building = [&] {
        db::Recordset q(Db(base), QStringLiteral("SELECT datname FROM pg_database WHERE datname LIKE '~%~' || ?"));
        q.run(OwnBase("moved"));
        return db::ServerBaseLocator(q.next() ? q.value(0).toString() : QString());
    };
    db::DbError refused(0, QString(), QString(), QString());
    try {
        RestoreBaseFile(folder, OwnBase("moved"), copyFile, [&](const RowsCopied& done) {
            if (done.stage != RowsCopied::Stage::CopyingRows)
                return; // the base being built is there while its rows are copied
            ++groups;
            db::Batch other(db::Connection::forThread(building()));
            other.add(QStringLiteral("UPDATE dbo.konst SET rec = rec WHERE rec < 0"));
            other.run();
        });
    } catch (const db::DbError& e) {
        refused = e;
    }
    EXPECT_TRUE(db::IsRefusal(refused)) << refused.what();
    EXPECT_EQ(refused.refused(),
              QStringLiteral("Не записаны строки: %1.").arg(TableContentText(QStringLiteral("zarp"))));
    EXPECT_GT(groups, 8);
    EXPECT_FALSE(db::ServerBaseExists(OwnBase("moved")));
    EXPECT_FALSE(db::ServerBaseExists(OwnBase("moved") + QStringLiteral(".new")));

    // The row mended, the copy restores.
    withServer({}, [&] {
        db::Execute(db::Connection::forThread(copyFile),
                    QStringLiteral("UPDATE dbo.zarp SET kod = 1 WHERE typeof(kod) = 'text'"));
        fileRows = TableRows(db::Connection::forThread(copyFile));
        db::Connection::closeForThread(copyFile);
    });
    RestoreBaseFile(folder, OwnBase("moved"), copyFile);
    CInfoBase moved;
    moved.workFolder = base.workFolder;
    moved.baseName = OwnBase("moved");
    OpenBase(moved);
    const std::map<QString, QStringList> serverRows = TableRows(Db(moved));
    for (const auto& [table, rows] : fileRows) EXPECT_EQ(serverRows.at(table), rows) << table.toStdString();
    CloseBase(moved);
    DeleteBase(folder, OwnBase("moved"));
}
