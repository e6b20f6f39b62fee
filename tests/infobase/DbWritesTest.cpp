// The writes of a base as one program makes them, on a base file and (run by
// tools/test.sh) on a server: a line array's index words and lines go in
// together or not at all; a write begun inside a read transaction is
// refused; a base file that cannot be opened is named. On a server that
// holds its COMMITs: workers that meet one write in doubt leave it to the
// interface thread, which settles it once, and a write that takes the
// base's lock while another's COMMIT ends is not refused as a base that
// moved.
#include "DbTestBase.h"

#include "infobase/BaseWrites.h"
#include "infobase/StoredTables.h"
#include "platform/Db.h"
#include "platform/DbServerWork.h"
#include "platform/DbTestHooks.h"
#include "platform/DbTransaction.h"
#include "platform/GuiBridge.h"
#include "support/HangingServer.h"

#include <QDir>

#include <atomic>
#include <chrono>
#include <latch>
#include <optional>
#include <thread>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::infobase::test;

namespace {

using DbWrites = DbTestBase;

qint64 StoredGeneration(CInfoBase& base)
{
    const TableDef& g = GenerationColumn();
    db::Recordset q(Db(base), SelectColumnsSql(g, {g.columns[1]}));
    q.exec();
    return q.next() ? q.toInt64(0) : -1;
}

} // namespace

// The sick sheets' index words are written and then their lines refused (a
// full disk, say): the base keeps both as they were, and so nothing read
// next puts one employee's sheet onto another.
TEST_F(DbWrites, ALineArraySavedWithItsLinesRefusedKeepsItsOldIndexWordsToo)
{
    Fill(40);
    CInfoBase stored;
    const auto storedSheets = [&] {
        Reopen(stored);
        std::vector<u16> words;
        for (int slot = 1; slot <= stored.slotCount(); ++slot) words.push_back(stored.bln.word(slot));
        const auto sheets = std::make_pair(stored.bln.lines, words);
        CloseBase(stored);
        OpenBase(base);
        LoadAll(base);
        return sheets;
    };
    const auto before = storedSheets();
    // The first employee with sheets loses them: every later run moves up.
    int slot = 1;
    while (slot < base.slotCount() && base.bln.count(slot) == 0) ++slot;
    ASSERT_GT(base.bln.count(slot), 0);
    ASSERT_TRUE(base.bln.replaceRun(slot, std::vector<SickLeaveSheet>()));
    db::CallBeforeStatement(Qualified(BlnTable().def().name), 1, [] {
        throw db::DbError(db::E_DB_ENGINE | 13, QStringLiteral("database or disk is full"),
                          QStringLiteral("database or disk is full (injected)"), QStringLiteral("test"));
    });
    EXPECT_THROW(SaveLines(base, LineKind::Bln), db::DbError);
    db::CallBeforeStatement(QString(), 0, {});
    EXPECT_EQ(storedSheets(), before);
}

// A write transaction or a batch begun while the connection's read
// transaction is open is refused with its own words, and nothing is
// written; once the read has ended, the same write goes through.
TEST_F(DbWrites, AWriteInsideAReadTransactionIsRefused)
{
#ifndef QT_NO_DEBUG
    GTEST_SKIP() << "a debug build stops at such a write";
#endif
    const qint64 generation = StoredGeneration(base);
    {
        db::Transaction reading(Db(base), db::Transaction::Read);
        try {
            SaveConfig(base);
            ADD_FAILURE() << "a write inside a read was taken";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(db::kWriteInReadText));
        }
        try {
            db::Batch batch(Db(base));
            ADD_FAILURE() << "a batch inside a read was taken";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(db::kWriteInReadText));
        }
        reading.commit();
    }
    EXPECT_EQ(StoredGeneration(base), generation);
    SaveConfig(base);
    EXPECT_EQ(StoredGeneration(base), generation + 1);
}

// A base file that the engine cannot open (here a folder stands where the
// file should be) is named in the message the box shows.
TEST_F(DbWrites, ABaseFileThatCannotBeOpenedIsNamedInTheMessage)
{
    if (db::ServerInUse())
        GTEST_SKIP() << "a base file only";
    const QString file = dir.path() + QStringLiteral("/folder.db");
    ASSERT_TRUE(QDir().mkpath(file));
    try {
        db::Connection::forThread(file);
        ADD_FAILURE() << "a folder was opened as a base file";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(file))) << e.what();
    }
}

namespace {

// The server holds the COMMIT of each session that asks for a synchronous
// one, as a synchronous standby that does not exist must confirm it.
class ServerWrites : public DbTestBase {
protected:
    void SetUp() override
    {
        if (!db::ServerInUse())
            GTEST_SKIP() << "no PostgreSQL server for the tests";
        DbTestBase::SetUp();
        ASSERT_TRUE(servertest::HoldAskedCommitsOnceHeld(Db(base), BaseFile(base)));
    }
    void TearDown() override
    {
        if (!db::ServerInUse())
            return;
        EXPECT_TRUE(servertest::HoldSynchronousCommits(Db(base), false, false));
        EXPECT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(base)));
        DbTestBase::TearDown();
    }
};

} // namespace

// A save whose COMMIT the server holds is cut in doubt; the server then lets
// it go. Two workers meet the write in doubt at once, one settling it, one
// saving: neither settles it, both wait for the interface thread while it
// turns no events, the write still in doubt and memory a generation behind
// the base. Once it turns them, it settles the write once: the settling
// worker learns it was made or finds nothing left to settle, memory's
// generation is the base's, and the worker's save goes through.
TEST_F(ServerWrites, WorkersMeetingAWriteInDoubtLeaveItToTheInterfaceThreadWhichSettlesItOnce)
{
    db::Execute(Db(base), QStringLiteral("SET synchronous_commit = on"));
    try {
        SaveConfig(base);
        ADD_FAILURE() << "the COMMIT was not held";
    } catch (const db::DbError& e) {
        ASSERT_NE(e.commitInDoubt(), nullptr) << e.what();
    }
    db::Execute(Db(base), QStringLiteral("SET synchronous_commit = local"));
    ASSERT_TRUE(servertest::HoldSynchronousCommits(Db(base), false, false));
    ASSERT_TRUE(servertest::OnlyIdleSessionsAreLeft(Db(base)));
    const qint64 made = StoredGeneration(base);
    ASSERT_EQ(base.writes->generation, made - 1);

    std::optional<db::CommitOutcome> settled;
    std::optional<db::DbError> saveFailed;
    std::atomic<int> ended{0};
    std::thread settling([&] {
        settled = SettleWriteInDoubt(base);
        ++ended;
    });
    std::thread saving([&] {
        try {
            SaveFirm(base);
        } catch (const db::DbError& e) {
            saveFailed = e;
        }
        db::Connection::closeAllForThread();
        ++ended;
    });
    // No events turned: the workers wait, the write left in doubt.
    for (int waited = 0; platform::GuiBridge::waitingCalls() < 2 && waited < servertest::kHelperReadyMs; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(platform::GuiBridge::waitingCalls(), 2);
    EXPECT_FALSE(WriteInDoubt(base).isEmpty());
    EXPECT_EQ(base.writes->generation, made - 1);

    EXPECT_TRUE(servertest::WaitUntil([&] { return ended == 2; }, servertest::kHelperReadyMs));
    settling.join();
    saving.join();
    EXPECT_EQ(settled.value_or(db::CommitOutcome::Committed), db::CommitOutcome::Committed);
    EXPECT_FALSE(saveFailed) << (saveFailed ? saveFailed->what() : "");
    EXPECT_TRUE(WriteInDoubt(base).isEmpty());
    EXPECT_EQ(StoredGeneration(base), made + 1);
    EXPECT_EQ(base.writes->generation, StoredGeneration(base));
    EXPECT_NO_THROW(SaveFirm(base));
}

// One thread's save waits for the server's COMMIT; it is cut and the server
// asked what became of it. Meanwhile a second thread's save waits for the
// base's write lock; the server makes the first COMMIT while it is asked,
// and the second save takes the lock at once, before the first has learned
// that its COMMIT was made: both go through, and the generation counts both.
TEST_F(ServerWrites, AWriteThatTakesTheLockAsAnotherCommitEndsIsNotRefused)
{
    const qint64 generation = StoredGeneration(base);
    std::optional<db::DbError> failedFirst, failedSecond;
    std::thread first([&] {
        try {
            db::Execute(Db(base), QStringLiteral("SET synchronous_commit = on"));
            SaveConfig(base);
        } catch (const db::DbError& e) {
            failedFirst = e;
        }
    });
    const auto count = [&](const QString& sql) {
        db::Recordset q(Db(base), sql);
        q.exec();
        return q.next() ? q.toInt(0) : -1;
    };
    // The second thread's connection is open before the first is asked
    // after, so that its save begins at once when told.
    std::latch ready(1), go(1);
    std::thread second([&] {
        count(QStringLiteral("SELECT 1"));
        ready.count_down();
        go.wait();
        try {
            SaveFirm(base);
        } catch (const db::DbError& e) {
            failedSecond = e;
        }
    });
    ready.wait();
    const bool asked = servertest::WaitUntil(
        [&] {
            return count(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE query LIKE "
                                        "'SELECT pg_xact_status%'")) > 0;
        },
        servertest::kHelperReadyMs);
    go.count_down();
    ASSERT_TRUE(asked);
    EXPECT_TRUE(servertest::WaitUntil(
        [&] {
            return count(QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity WHERE wait_event_type = 'Lock' AND "
                                        "datname = current_database()")) == 1;
        },
        1200));
    servertest::LetHeldCommitsGo(Db(base));
    first.join();
    second.join();
    EXPECT_FALSE(failedFirst) << (failedFirst ? failedFirst->what() : "");
    EXPECT_FALSE(failedSecond) << (failedSecond ? failedSecond->what() : "");
    EXPECT_EQ(StoredGeneration(base), generation + 2);
    EXPECT_EQ(base.writes->generation, StoredGeneration(base));
    EXPECT_NO_THROW(SaveFirm(base));
}
