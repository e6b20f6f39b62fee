// Kalvor: payroll accounting workstation. Program entry point.
#include "app/RegisterScreens.h"
#include "platform/DbServerWork.h"
#include "shell/ui/CKalvorApp.h"
#include "shell/ui/TypedInput.h"

#include <QApplication>

#include <cstdio>
#include <sys/stat.h>

int main(int argc, char** argv)
{
    // Without a display the login would wait where nobody can see it: say so
    // and end. (QT_QPA_PLATFORM=offscreen still runs it on purpose.)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs("Kalvor: нет дисплея (DISPLAY и WAYLAND_DISPLAY не заданы).\n"
                   "Запустите программу в графическом сеансе.\n",
                   stderr);
        return 1;
    }
    // Whatever the program writes holds payroll (exports, printed forms, work
    // files): its owner's alone, whatever umask it was started with.
    ::umask(077);
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvor"));
    // A debug build stops on an input shown without a kind.
    InstallInputKindGuard(qtApp);

    CKalvorApp app;
    RegisterScreens(app.Registry());
    int rc = 0;
    if (app.InitInstance(QApplication::arguments().mid(1)))
        rc = qtApp.exec();
    app.ExitInstance();
    // Before the program's static objects go: the server work's threads
    // and sessions, in their order.
    kalvor::db::EndServerWork();
    return rc;
}
