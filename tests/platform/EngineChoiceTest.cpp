// The engine of the bases as the configuration's section "SQL" chooses it.
#include "platform/Db.h"

#include <gtest/gtest.h>

#include <QSysInfo>

#include <utility>

using namespace kalvor;

TEST(EngineChoice, LocalNamesKeepTheFilesAndOthersNameAServer)
{
    for (const QString& local : {QString(), QStringLiteral("local"), QStringLiteral("LOCAL"), QStringLiteral("  "),
                                 QSysInfo::machineHostName()}) {
        db::ChooseEngine(local, QStringLiteral("KVR"));
        EXPECT_FALSE(db::ServerInUse()) << local.toStdString();
    }

    db::ChooseEngine(QStringLiteral("db.firm.ru:5433"), QStringLiteral("KVR"));
    ASSERT_TRUE(db::ServerInUse());
    EXPECT_EQ(db::Server().host, QStringLiteral("db.firm.ru"));
    EXPECT_EQ(db::Server().port, 5433);
    EXPECT_EQ(db::Server().service, QString());

    // The engine names a libpq service unless it is the default; a host
    // without a port keeps the server's own.
    db::ChooseEngine(QStringLiteral("10.0.0.7"), QStringLiteral("payroll"));
    EXPECT_EQ(db::Server().host, QStringLiteral("10.0.0.7"));
    EXPECT_EQ(db::Server().port, 0);
    EXPECT_EQ(db::Server().service, QStringLiteral("payroll"));

    // A base of the server is named by its locator wherever a file name stands.
    const QString locator = db::ServerBaseLocator(QStringLiteral("Фирма 1"));
    EXPECT_TRUE(db::IsServerLocator(locator));
    EXPECT_FALSE(db::IsServerLocator(QStringLiteral("/work/data/demo.sqlite")));
    EXPECT_EQ(db::ServerDatabaseOf(locator), QStringLiteral("Фирма 1"));

    db::UseServer({});
    EXPECT_FALSE(db::ServerInUse());
}

// A server older than PostgreSQL 13 lacks what the program asks of it after a
// COMMIT whose answer was lost (pg_current_xact_id, xid8): it is refused at
// connecting with both versions named; 13 and later are taken.
TEST(EngineChoice, AServerOlderThanThirteenIsRefusedNamingBothVersions)
{
    db::ChooseEngine(QStringLiteral("db.firm.ru:5433"), QStringLiteral("KVR"));
    const std::pair<int, const char*> refused[] = {
        {120022, "Сервер базы данных db.firm.ru:5433 — PostgreSQL 12.22, программе нужен PostgreSQL 13 или новее"},
        {100000, "Сервер базы данных db.firm.ru:5433 — PostgreSQL 10.0, программе нужен PostgreSQL 13 или новее"},
        {90624, "Сервер базы данных db.firm.ru:5433 — PostgreSQL 9.6.24, программе нужен PostgreSQL 13 или новее"},
    };
    for (const auto& [version, text] : refused) {
        try {
            db::RequireServerVersion(version);
            ADD_FAILURE() << version << " taken";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.code(), db::E_DB_FAIL) << version;
            EXPECT_EQ(e.message(), QString::fromUtf8(text)) << version;
        }
    }
    for (const int version : {130000, 130004, 170002})
        EXPECT_NO_THROW(db::RequireServerVersion(version)) << version;
    db::UseServer({});
}
