// Test entry point: every test program runs inside a QApplication (offscreen
// platform, set by CTest) so that widgets and queued calls work in tests.
#include "platform/Db.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // The same tests against a PostgreSQL server (see tools/pgtest.sh): the
    // bases are then databases of that server.
    if (!qEnvironmentVariableIsEmpty("KALVOR_TEST_SERVER"))
        kalvor::db::UseServer({qEnvironmentVariable("KALVOR_TEST_SERVER"), 0, QString()});
    return RUN_ALL_TESTS();
}
