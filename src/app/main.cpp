// Kalvor: payroll accounting workstation. Program entry point.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kalvor"));
    QMainWindow frame;
    frame.setWindowTitle(QStringLiteral("Kalvor"));
    frame.resize(1024, 700);
    frame.show();
    return app.exec();
}
