// Test entry point: every test program runs inside a QApplication (offscreen
// platform, set by CTest) so that widgets and queued calls work in tests.
// Each program works in a folder of its own beside it, "<program>.work":
// what a test writes into the current folder (a document whose work folder it
// leaves unset, the screenshots kept for a look) stays apart, so two programs
// run at once (ctest -j) never write the same file. A debug build stops on
// an editable line edit shown without a kind, as the program does.
#include "platform/Db.h"
#include "shell/ui/TypedInput.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallInputKindGuard(app);
    ::testing::InitGoogleTest(&argc, argv);
    const QString ownFolder = QCoreApplication::applicationFilePath() + QStringLiteral(".work");
    if (!QDir().mkpath(ownFolder) || !QDir::setCurrent(ownFolder))
        return 2;
    // The user's settings folder of the tests is their own, never the real
    // home's.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(ownFolder + QStringLiteral("/config")));
    // The same tests against a PostgreSQL server (see tools/pgtest.sh): the
    // bases are then databases of that server.
    if (!qEnvironmentVariableIsEmpty("KALVOR_TEST_SERVER"))
        kalvor::db::UseServer({qEnvironmentVariable("KALVOR_TEST_SERVER"), 0, QString()});
    return RUN_ALL_TESTS();
}
