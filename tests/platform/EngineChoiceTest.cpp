// The engine of the bases as the configuration's section "SQL" chooses it.
#include "platform/Db.h"

#include <gtest/gtest.h>

#include <QSysInfo>

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
