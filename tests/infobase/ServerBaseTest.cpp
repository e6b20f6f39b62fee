// Bases on a PostgreSQL server (run by tools/test.sh against a throw-away
// cluster; skipped without one): the base lock, the messages of a server that
// cannot be reached or refuses the login, a connection dropped in the middle
// of a save, bases made from the template, and the archive copy.
#include "DbTestBase.h"

#include "platform/BaseLock.h"
#include "support/StoredBase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSysInfo>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

// Restarts the throw-away cluster of tools/pgtest.sh (which runs it as the
// user kalvorpg under root), as an administrator restarts the server.
void RestartServer()
{
    const QString folder = qEnvironmentVariable("KALVOR_TEST_SERVER");
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_FALSE(versions.isEmpty());
    const QString pgCtl = QStringLiteral("/usr/lib/postgresql/%1/bin/pg_ctl").arg(versions.last());
    QStringList arguments = {QStringLiteral("-D"), folder + QStringLiteral("/data"),
                             QStringLiteral("-l"), folder + QStringLiteral("/server.log"),
                             QStringLiteral("-m"), QStringLiteral("fast"),
                             QStringLiteral("-w"), QStringLiteral("restart")};
    QString program = pgCtl;
    if (::geteuid() == 0) {
        arguments =
            QStringList{QStringLiteral("-u"), QStringLiteral("kalvorpg"), QStringLiteral("--"), pgCtl} + arguments;
        program = QStringLiteral("runuser");
    }
    QProcess restart;
    restart.start(program, arguments);
    ASSERT_TRUE(restart.waitForFinished(60000));
    ASSERT_EQ(restart.exitCode(), 0) << restart.readAllStandardError().constData();
}

// A write of the open base that may first meet the connection the restart
// ended; the second try runs on a new connection.
void SaveConfigAfterRestart(CInfoBase& base)
{
    try {
        SaveConfig(base);
    } catch (const db::DbError& e) {
        ASSERT_EQ(e.code(), db::E_DB_CONNECTION_LOST) << e.what();
        SaveConfig(base);
    }
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
    // The administrator sees which program and workstation holds it.
    db::Recordset holder(Db(base), QStringLiteral("SELECT COUNT(*) FROM pg_stat_activity "
                                                  "WHERE datname = 'postgres' AND application_name = ?"));
    holder.run(QStringLiteral("Kalvor (%1)").arg(QSysInfo::machineHostName()));
    ASSERT_TRUE(holder.next());
    EXPECT_EQ(holder.toInt(0), 1);
    holder.finish();
    // Another base's lock is its own.
    EXPECT_EQ(other.acquire(db::ServerBaseLocator(QStringLiteral("another"))), platform::BaseLock::Result::Taken);
    CloseBase(base);
    EXPECT_EQ(second.acquire(locator), platform::BaseLock::Result::Taken);
    second.release();
    OpenBase(base);
}

// The server restarted under an open base: its lock is taken again before the
// next write, so a second opening is refused; a lock that another workstation
// took meanwhile refuses the write and leaves the base as it was.
TEST_F(ServerBase, TheLockOfAnOpenBaseOutlivesAServerRestart)
{
    const QString locator = BaseFile(base);
    platform::BaseLock second;
    ASSERT_TRUE(base.lock.held()); // the opening took it

    RestartServer();
    base.config.kolMax = 900;
    SaveConfigAfterRestart(base);
    EXPECT_EQ(second.acquire(locator), platform::BaseLock::Result::HeldElsewhere);
    EXPECT_TRUE(base.lock.held());

    RestartServer();
    ASSERT_EQ(second.acquire(locator), platform::BaseLock::Result::Taken);
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

// Each reason that a server cannot open a base is said as it is, naming the
// server; only a server that answered that there is no such base makes it
// missing.
TEST_F(ServerBase, AnUnreachableServerOrARefusedLoginIsToldInPlainWords)
{
    const QString server = db::Server().host;
    for (const char* statement :
         {"DROP ROLE IF EXISTS kalvor_password", "CREATE ROLE kalvor_password LOGIN SUPERUSER PASSWORD 'верный'",
          "DROP ROLE IF EXISTS kalvor_clerk", "CREATE ROLE kalvor_clerk LOGIN",
          "REVOKE CONNECT ON DATABASE test FROM PUBLIC"})
        db::Execute(Db(base), QString::fromUtf8(statement));
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
    const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(silent, 4), 0);
    ASSERT_EQ(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const int port = ntohs(address.sin_port);
    withServer({QStringLiteral("127.0.0.1"), port, QString()}, [&] {
        expectRefused(db::E_DB_NO_SERVER, QStringLiteral("Сервер базы данных 127.0.0.1:%1 не отвечает").arg(port));
    });
    ::close(silent);

    const QByteArray user = qgetenv("PGUSER");
    qputenv("PGUSER", "kalvor_password");
    qputenv("PGPASSWORD", "неверный");
    expectRefused(db::E_DB_LOGIN, QStringLiteral("Сервер базы данных %1 отказал во входе").arg(server));
    qputenv("PGPASSWORD", "верный");
    EXPECT_TRUE(BaseExists(base.workFolder, base.baseName));
    qunsetenv("PGPASSWORD");
    qputenv("PGUSER", "nobody-of-kalvor");
    expectRefused(db::E_DB_LOGIN, QStringLiteral("Сервер базы данных %1 отказал во входе").arg(server));
    qputenv("PGUSER", "kalvor_clerk");
    expectRefused(db::E_DB_NO_RIGHT,
                  QStringLiteral("Нет права на подключение к базе данных test на сервере %1").arg(server));
    qputenv("PGUSER", user);

    again.baseName = QStringLiteral("no-such-base");
    EXPECT_FALSE(BaseExists(base.workFolder, again.baseName));
    EXPECT_EQ(OpenFails(again).code(), db::E_DB_NOT_FOUND);
    // The program goes on with the base as before.
    again.baseName = base.baseName;
    OpenBase(again);
    db::Execute(Db(again), QStringLiteral("GRANT CONNECT ON DATABASE test TO PUBLIC"));
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
    // A server's base is named so that neither the server nor its tools
    // read anything of the name as a setting.
    for (const char* unsafe : {"a=b", "зарплата 2026", "a'b", "a\"b", "-x", "a;b"})
        EXPECT_FALSE(ValidBaseName(QString::fromUtf8(unsafe))) << unsafe;
    EXPECT_TRUE(ValidBaseName(QStringLiteral("Зарплата_2026.03-a")));
    EXPECT_FALSE(ValidBaseName(QString(32, QChar(0x0416)))); // 64 bytes
    EXPECT_THROW(CreateBase(folder, QStringLiteral("a=b")), db::DbError);

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
    // It holds the whole payroll: readable by its owner alone.
    EXPECT_EQ(QFile::permissions(archive) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
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
