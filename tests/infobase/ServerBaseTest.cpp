// Bases on a PostgreSQL server (run by tools/test.sh against a throw-away
// cluster; skipped without one): the base lock, the messages of a server that
// cannot be reached or refuses the login, a connection dropped in the middle
// of a save, bases made from the template, and the archive copy.
#include "DbTestBase.h"

#include "platform/BaseLock.h"

#include <QFile>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::infobase::test;

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
    // Another base's lock is its own.
    EXPECT_EQ(other.acquire(db::ServerBaseLocator(QStringLiteral("another"))), platform::BaseLock::Result::Taken);
    CloseBase(base);
    EXPECT_EQ(second.acquire(locator), platform::BaseLock::Result::Taken);
    second.release();
    OpenBase(base);
}

TEST_F(ServerBase, AnUnreachableServerOrARefusedLoginIsToldInPlainWords)
{
    CloseBase(base);
    CInfoBase again;
    again.workFolder = base.workFolder;
    again.baseName = base.baseName;
    withServer({QStringLiteral("/nonexistent-socket-folder"), 0, QString()}, [&] {
        const db::DbError e = OpenFails(again);
        EXPECT_EQ(e.code(), db::E_DB_NO_SERVER);
        EXPECT_EQ(e.message(), QStringLiteral("Нет связи с сервером базы данных"));
    });
    const QByteArray user = qgetenv("PGUSER");
    qputenv("PGUSER", "nobody-of-kalvor");
    const db::DbError refused = OpenFails(again);
    qputenv("PGUSER", user);
    EXPECT_EQ(refused.code(), db::E_DB_LOGIN);
    EXPECT_EQ(refused.message(), QStringLiteral("Сервер базы данных отказал во входе"));
    again.baseName = QStringLiteral("no-such-base");
    EXPECT_EQ(OpenFails(again).code(), db::E_DB_NOT_FOUND);
    // The program goes on with the base as before.
    again.baseName = base.baseName;
    OpenBase(again);
    EXPECT_EQ(again.config.kolMax, 1000);
    CloseBase(again);
}

TEST_F(ServerBase, AConnectionDroppedInASaveLeavesTheBaseAsItWasAndIsOpenedAnew)
{
    Fill(12);
    CInfoBase stored;
    Reopen(stored);

    // Every name changed, and the connection dropped halfway through the save.
    for (std::size_t i = 0; i < fx.records.size(); ++i) {
        fx.records[i].head.fio = QStringLiteral("Новиков %1").arg(i);
        base.shortNames[i] = fx.records[i].head.fio;
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
    EXPECT_EQ(after.shortNames, stored.shortNames);
    EXPECT_NE(after.shortNames[0], QStringLiteral("Новиков 0"));
    EXPECT_EQ(after.list, stored.list);
    // And the next save goes through on the new connection.
    SaveFio(after);
    CloseBase(after);
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
    DeleteBase(folder, QStringLiteral("made"));
    CreateBase(folder, QStringLiteral("made"));
    EXPECT_FALSE(db::ServerBaseExists(QStringLiteral("made.new")));
    EXPECT_THROW(CreateBase(folder, QStringLiteral("made")), db::DbError);
    CInfoBase made;
    made.workFolder = base.workFolder;
    made.baseName = QStringLiteral("made");
    OpenBase(made);
    EXPECT_EQ(made.config.parol, QStringLiteral("шаблон"));
    CloseBase(made);
    DeleteBase(folder, QStringLiteral("made"));
    EXPECT_FALSE(BaseExists(folder, QStringLiteral("made")));

    // The archive copy is the server's dump; restored, it holds the base.
    const QString archive = folder + QStringLiteral("/test.dump");
    db::BackupFileTo(BaseFile(base), archive);
    ASSERT_TRUE(QFile::exists(archive));
    DeleteBase(folder, QStringLiteral("restored"));
    db::CreateServerBase(QStringLiteral("restored"));
    db::RestoreServerBase(archive, QStringLiteral("restored"));
    CInfoBase restored;
    restored.workFolder = base.workFolder;
    restored.baseName = QStringLiteral("restored");
    OpenBase(restored);
    LoadAll(restored);
    EXPECT_EQ(restored.config.parol, QStringLiteral("секрет"));
    EXPECT_EQ(restored.list, base.list);
    CloseBase(restored);
    DeleteBase(folder, QStringLiteral("restored"));
}
