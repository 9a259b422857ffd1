#include <QApplication>

#include "app/application.h"

int main(int argc, char **argv)
{
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QRX Programming Utility"));
    QApplication::setApplicationVersion(QStringLiteral(QRX_VERSION));
    QApplication::setQuitOnLastWindowClosed(false); // the main window's closing ends the program

    Application application;
    QObject::connect(&application, &Application::finished, &qtApp, &QApplication::quit, Qt::QueuedConnection);
    application.Main(QStringLiteral(QRX_DEVICE_FAMILY));
    return qtApp.exec();
}
