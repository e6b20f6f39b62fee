// Base files and the schema: creation from the template, the version row and
// its upgrade steps, opening, copying, deleting; transactions and connections.
#include "DbTestBase.h"

#include "infobase/Schema.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <thread>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::infobase::test;

class DbSchema : public DbTestBase {};

TEST_F(DbSchema, NewBaseHasEveryTableAtTheNewestStep)
{
    const QSqlDatabase d = Db(base);
    EXPECT_EQ(StoredSchemaVersion(d), SchemaVersion());
    for (const TableDef& t : SchemaTables()) EXPECT_TRUE(db::TableExists(d, t.name)) << t.name.toStdString();
    // The seed rows: capacity 1,000, no employees, today's month.
    EXPECT_EQ(base.config.kolMax, 1000);
    EXPECT_EQ(base.config.kolRab, 0);
    EXPECT_EQ(int(base.tabel.size()), 1000);
    EXPECT_GT(base.config.reportingYear(), 2000);
    EXPECT_EQ(base.config.dosStr, QStringLiteral("kalvor-print %s"));
    // The base file keeps a write-ahead journal beside it (a server its own).
    if (!db::ServerInUse()) {
        db::Recordset mode(d, QStringLiteral("PRAGMA dbo.journal_mode"));
        mode.exec();
        ASSERT_TRUE(mode.next());
        EXPECT_EQ(mode.toString(0), QStringLiteral("wal"));
        mode.finish();
    }
    // Opening again runs no step and changes nothing.
    UpgradeSchema(d);
    EXPECT_EQ(StoredSchemaVersion(d), SchemaVersion());
}

TEST_F(DbSchema, OldBaseIsUpgradedAndNewerBaseRefused)
{
    // A base left at step 1: the one-row tables are missing.
    for (const char* sql : {"DELETE FROM dbo.config", "DELETE FROM dbo.infFirm", "DELETE FROM dbo.infPar",
                            "UPDATE dbo.version SET step = 1"})
        db::Execute(Db(base), QString::fromLatin1(sql));
    CloseBase(base);
    CInfoBase again;
    again.workFolder = base.workFolder;
    again.baseName = base.baseName;
    OpenBase(again);
    EXPECT_EQ(StoredSchemaVersion(Db(again)), SchemaVersion());
    EXPECT_EQ(again.config.kolMax, 1000);

    db::Execute(Db(again), QStringLiteral("UPDATE dbo.version SET step = 99"));
    CloseBase(again);
    try {
        OpenBase(again);
        ADD_FAILURE() << "a newer base was opened";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_VERSION);
    }
}

TEST_F(DbSchema, CreateFromTemplateCopyAndDelete)
{
    Fill(5);
    base.config.parol = QStringLiteral("секрет");
    SaveConfig(base);

    // The template of a new base is a base file named "empty.bak" (the
    // server's bases are made from it in ServerBaseTest).
    if (db::ServerInUse())
        GTEST_SKIP();
    CopyBase(dir.path(), QStringLiteral("test"), QStringLiteral("tmpl"));
    ASSERT_TRUE(
        QFile::rename(BaseFilePath(dir.path(), QStringLiteral("tmpl")), dir.path() + QStringLiteral("/empty.bak")));
    CreateBase(dir.path(), QStringLiteral("fromTemplate"));
    CInfoBase made;
    made.workFolder = base.workFolder;
    made.baseName = QStringLiteral("fromTemplate");
    OpenBase(made);
    EXPECT_EQ(made.config.parol, QStringLiteral("секрет"));
    EXPECT_THROW(CreateBase(dir.path(), QStringLiteral("fromTemplate")), db::DbError);
    EXPECT_THROW(CreateBase(dir.path(), QStringLiteral("../x")), db::DbError);
    EXPECT_FALSE(QFile::exists(BaseFilePath(dir.path(), QStringLiteral("fromTemplate")) + QStringLiteral(".new")));

    // A copy holds the employees; deleting removes the file.
    CopyBase(dir.path(), QStringLiteral("test"), QStringLiteral("copy"));
    CInfoBase copy;
    copy.workFolder = base.workFolder;
    copy.baseName = QStringLiteral("copy");
    OpenBase(copy);
    LoadAll(copy);
    EXPECT_EQ(copy.list, base.list);
    DeleteBase(dir.path(), QStringLiteral("copy"));
    EXPECT_FALSE(BaseExists(dir.path(), QStringLiteral("copy")));
    try {
        OpenBase(copy);
        ADD_FAILURE() << "a deleted base was opened";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_NOT_FOUND);
        EXPECT_EQ(e.message(), QStringLiteral("База данных не найдена."));
    }
    CloseBase(made);
}

TEST_F(DbSchema, ASecondOpeningOfAnOpenBaseIsRefused)
{
    CInfoBase second;
    second.workFolder = base.workFolder;
    second.baseName = base.baseName;
    try {
        OpenBase(second);
        ADD_FAILURE() << "an open base was opened a second time";
    } catch (const db::DbError& e) {
        EXPECT_EQ(e.code(), db::E_DB_BUSY);
        EXPECT_EQ(e.message(), QStringLiteral("База данных test уже открыта другим пользователем."));
    }
    EXPECT_FALSE(second.lock.held());
    // Closed by the first, the base opens for the second.
    CloseBase(base);
    OpenBase(second);
    EXPECT_TRUE(second.lock.held());
    CloseBase(second);
    OpenBase(base);

    // A missing base is refused and leaves neither a base file nor a lock file.
    CInfoBase missing;
    missing.workFolder = base.workFolder;
    missing.baseName = QStringLiteral("missing");
    EXPECT_THROW(OpenBase(missing), db::DbError);
    if (!db::ServerInUse()) {
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("missing*")}, QDir::Files), QStringList());
    }
}

TEST_F(DbSchema, ClosingAnotherBaseLeavesTheYearWindowOfTheOpenOne)
{
    ScopedToday today(QDate(2026, 12, 7));
    base.config.tekMes = u16(2011 * 16 + 3);
    SaveConfig(base);
    // Around 2011 "35" is 1935; around 2026 it is 2035.
    EXPECT_EQ(WidenTwoDigitYear(35), 1935);
    if (db::ServerInUse())
        DeleteBase(dir.path(), QStringLiteral("second"));
    CreateSchemaBase(dir.path(), QStringLiteral("second"));
    CInfoBase second;
    second.workFolder = base.workFolder;
    second.baseName = QStringLiteral("second");
    OpenBase(second);
    EXPECT_EQ(second.config.reportingYear(), 2026);
    CloseBase(second);
    EXPECT_EQ(WidenTwoDigitYear(35), 1935);
    EXPECT_EQ(PackedDate::make(1, 1, 35).fullYear(), 1935);
    // A second base object that goes without being closed takes its year with it.
    {
        CInfoBase unclosed;
        unclosed.workFolder = base.workFolder;
        unclosed.baseName = QStringLiteral("second");
        OpenBase(unclosed);
        EXPECT_EQ(WidenTwoDigitYear(35), 2035);
        db::Connection::closeForThread(BaseFile(unclosed));
    }
    EXPECT_EQ(WidenTwoDigitYear(35), 1935);
    EXPECT_EQ(PackedDate::make(1, 1, 35).fullYear(), 1935);
}

TEST_F(DbSchema, NestedTransactionsRollBackToTheirSavepoint)
{
    const QSqlDatabase d = Db(base);
    {
        db::Transaction outer(d);
        db::Execute(d, QStringLiteral("UPDATE dbo.config SET nEnt = 5"));
        try {
            db::Transaction inner(d);
            db::Execute(d, QStringLiteral("UPDATE dbo.config SET nEnt = 6"));
            throw std::runtime_error("inner fails");
        } catch (const std::runtime_error&) {
        }
        outer.commit();
    }
    db::Recordset q(d, QStringLiteral("SELECT nEnt FROM dbo.config"));
    q.exec();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.toInt(0), 5);
}

TEST_F(DbSchema, EachThreadHasItsOwnConnection)
{
    Fill(4);
    const QString mine = Db(base).connectionName();
    QString theirs;
    int workerCount = -1;
    std::thread worker([&] {
        theirs = Db(base).connectionName();
        db::Recordset q(Db(base), QStringLiteral("SELECT COUNT(*) FROM dbo.konst"));
        q.exec();
        workerCount = q.next() ? q.toInt(0) : -1;
        // The worker writes in its own transaction while the other connection stays usable.
        db::Transaction tr(Db(base));
        db::Execute(Db(base), QStringLiteral("UPDATE dbo.config SET nEnt = 77"));
        tr.commit();
    });
    worker.join();
    EXPECT_NE(theirs, mine);
    EXPECT_EQ(workerCount, 4);
    EXPECT_FALSE(QSqlDatabase::contains(theirs)); // closed when its thread ended
    db::Recordset q(Db(base), QStringLiteral("SELECT nEnt FROM dbo.config"));
    q.exec();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.toInt(0), 77);
}

// The base's worker keeps its connection from run to run until the base is
// closed; then it goes too. A base deleted and made again under the same name
// gets the worker's later writes (a connection kept past the closing would
// write them into the deleted file, or hold a server base against its drop).
TEST_F(DbSchema, TheWorkersConnectionLastsUntilTheBaseCloses)
{
    const QString file = BaseFile(base);
    QString first, second;
    base.worker.run([&] { first = Db(base).connectionName(); });
    base.worker.run([&] { second = Db(base).connectionName(); });
    EXPECT_EQ(second, first);
    EXPECT_TRUE(QSqlDatabase::contains(first));

    CloseBase(base);
    bool open = true;
    base.worker.run([&] { open = db::Connection::isOpenForThread(file); });
    EXPECT_FALSE(open);
    EXPECT_FALSE(QSqlDatabase::contains(first));

    DeleteBase(dir.path(), base.baseName);
    CreateSchemaBase(dir.path(), base.baseName);
    OpenBase(base);
    base.worker.run([&] {
        db::Transaction tr(Db(base));
        db::Execute(Db(base), QStringLiteral("UPDATE dbo.config SET nEnt = 55"));
        tr.commit();
    });
    db::Recordset q(Db(base), QStringLiteral("SELECT nEnt FROM dbo.config"));
    q.exec();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.toInt(0), 55);
}
