// A base whose write lock another connection holds: a write gives up after a
// short wait with the system's message and leaves nothing half done; the
// connection itself writes nothing into a file that is not yet a base.
#include "platform/Db.h"
#include "platform/DbSchema.h"
#include "platform/DbTransaction.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <condition_variable>
#include <mutex>
#include <thread>

using namespace kalvor;

namespace {

int readValue(const QSqlDatabase& db)
{
    db::Recordset q(db, QStringLiteral("SELECT v FROM dbo.t WHERE id = 1"));
    q.exec();
    return q.next() ? q.toInt(0) : -1;
}

// Another connection (its own thread) that takes the base's write lock and
// keeps it until released.
class LockHolder {
public:
    explicit LockHolder(QString file) : file_(std::move(file))
    {
        thread_ = std::thread([this] {
            const QSqlDatabase db = db::Connection::forThread(file_);
            {
                db::Transaction tr(db);
                db::Execute(db, QStringLiteral("UPDATE dbo.t SET v = 99 WHERE id = 1"));
                signal(held_);
                wait(released_);
                // Rolled back: the holder's own write never lands either.
            }
        });
        wait(held_);
    }
    ~LockHolder()
    {
        signal(released_);
        thread_.join();
    }

private:
    void signal(bool& flag)
    {
        std::lock_guard lock(mutex_);
        flag = true;
        cv_.notify_all();
    }
    void wait(bool& flag)
    {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return flag; });
    }
    QString file_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool held_ = false, released_ = false;
};

// A base of two rows; a write is tried while another connection holds the lock.
void writeUnderAnotherConnectionsLock(const QString& file)
{
    const QSqlDatabase db = db::Connection::forThread(file);
    db::UseWriteAheadJournal(db);
    db::Execute(db, QStringLiteral("CREATE TABLE dbo.t (id INTEGER PRIMARY KEY, v INTEGER)"));
    db::Execute(db, QStringLiteral("INSERT INTO dbo.t (id, v) VALUES (1, 1), (2, 2)"));
    {
        LockHolder holder(file);
        // Reading goes on beside the writer (write-ahead journal).
        EXPECT_EQ(readValue(db), 1);

        QElapsedTimer waited;
        waited.start();
        try {
            db::Transaction tr(db);
            db::Execute(db, QStringLiteral("UPDATE dbo.t SET v = 5 WHERE id = 2"));
            tr.commit();
            ADD_FAILURE() << "a write went through another connection's lock";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("База данных занята другим пользователем"));
            EXPECT_EQ(e.code(), db::E_DB_BUSY);
        }
        // A short wait, not the half minute that froze the window.
        EXPECT_GE(waited.elapsed(), db::kBusyWaitMilliseconds - 200);
        EXPECT_LT(waited.elapsed(), db::kBusyWaitMilliseconds + 5000);
        // A statement outside a transaction waits and gives up the same way.
        EXPECT_THROW(db::Execute(db, QStringLiteral("UPDATE dbo.t SET v = 6 WHERE id = 2")), db::DbError);
    }
    // Nothing of the refused writes is in the base, and it takes writes again.
    db::Recordset q(db, QStringLiteral("SELECT v FROM dbo.t ORDER BY id"));
    q.exec();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.toInt(0), 1);
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.toInt(0), 2);
    q.finish();
    db::Transaction tr(db);
    db::Execute(db, QStringLiteral("UPDATE dbo.t SET v = 7 WHERE id = 2"));
    tr.commit();
}

} // namespace

TEST(DbBusy, WriteUnderAnotherConnectionsLockGivesUpWithTheSystemsMessage)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("busy.sqlite"));
    writeUnderAnotherConnectionsLock(file);
    db::Connection::closeForThread(file);
}

TEST(DbBusy, ConnectingWritesNothingIntoAFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A database of another program, in the rollback journal.
    const QString file = dir.filePath(QStringLiteral("foreign.sqlite"));
    {
        const QSqlDatabase db = db::Connection::forThread(file);
        db::Execute(db, QStringLiteral("CREATE TABLE dbo.other (x INTEGER)"));
    }
    db::Connection::closeForThread(file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    {
        const QSqlDatabase db = db::Connection::forThread(file);
        EXPECT_TRUE(db::TableExists(db, QStringLiteral("other")));
        EXPECT_EQ(db::TableColumns(db, QStringLiteral("other")), QStringList{QStringLiteral("x")});
        EXPECT_TRUE(db::TableColumns(db, QStringLiteral("none")).isEmpty());
    }
    db::Connection::closeForThread(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_FALSE(QFile::exists(file + QStringLiteral("-wal")));
}
