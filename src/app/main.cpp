// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "app/application.h"
#include "params/devicefamily.h"

namespace {

const char Program[] = "qrx-utility";

QString usage()
{
    return QStringLiteral("Usage: %1 [options]\n"
                          "Configures the electronics of a flow meter over a serial port.\n"
                          "With no options the utility starts its window.\n\n"
                          "Options:\n"
                          "  -h, --help     Displays this help and exits.\n"
                          "  -v, --version  Displays the version and exits.\n\n"
                          "Qt's own options (-platform, -style, ...) are passed to Qt.\n")
        .arg(QLatin1String(Program));
}

// Qt's own options, which QApplication takes off the command line later; they must not count as
// unknown here.
void addQtOptions(QCommandLineParser &parser)
{
    for (const char *name : { "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
             "qwindowicon", "qwindowtitle", "session", "display", "geometry", "name", "style", "stylesheet",
             "qmljsdebugger" }) {
        QCommandLineOption option { QLatin1String(name), QString(), QStringLiteral("value") };
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : { "reverse", "widgetcount", "nograb", "dograb", "sync" }) {
        QCommandLineOption option { QLatin1String(name), QString() };
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// Read before any window exists, so --help and --version work without a display (as help2man
// runs them at build time). Returns the exit status, or -1 to start the utility.
int answerCommandLine(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions); // as Qt reads -platform
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") }, QString());
    const QCommandLineOption version({ QStringLiteral("v"), QStringLiteral("version") }, QString());
    parser.addOptions({ help, version });
    addQtOptions(parser);

    QString complaint;
    if (!parser.parse(arguments))
        complaint = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        complaint
            = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst());
    if (!complaint.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n\n%s", Program, qPrintable(complaint), qPrintable(usage()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(usage()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s (QRX Programming Utility) %s\n", Program, QRX_VERSION);
        return 0;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (const int status = answerCommandLine(argc, argv); status >= 0)
        return status;

    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QRX Programming Utility"));
    QApplication::setApplicationVersion(QStringLiteral(QRX_VERSION));
    QApplication::setQuitOnLastWindowClosed(false); // the main window's closing ends the program
    // The desktop shell matches the windows to qrx-utility.desktop and its icon by this name.
    QGuiApplication::setDesktopFileName(QLatin1String(Program));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/qrx-utility-48.png"));
    icon.addFile(QStringLiteral(":/icons/qrx-utility-256.png"));
    QApplication::setWindowIcon(icon);

    // The build accepts no other family than the two there are.
    Application application(*DeviceFamily::byName(QStringLiteral(QRX_DEVICE_FAMILY)));
    QObject::connect(&application, &Application::finished, &qtApp, &QApplication::quit, Qt::QueuedConnection);
    application.Main();
    return qtApp.exec();
}
