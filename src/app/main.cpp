// Kalvor: payroll accounting workstation. Program entry point.
#include "app/RegisterScreens.h"
#include "shell/ui/CKalvorApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Without a display the program still starts, on Qt's offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvor"));

    CKalvorApp app;
    RegisterScreens(app.Registry());
    int rc = 0;
    if (app.InitInstance(QApplication::arguments().mid(1)))
        rc = qtApp.exec();
    app.ExitInstance();
    return rc;
}
