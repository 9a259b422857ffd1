#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>

#include "qrxcli.h"
#include "stderrdialogs.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qrx-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QRX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Programs a flow meter's setup from the command line.\n\n"
        "Commands:\n"
        "  read FILE.dat            read the device's setup into a data file\n"
        "  download FILE.dat        write a data file's setup into the device (ending with \"W\")\n"
        "  compare FILE.dat         list each parameter whose value differs between file and device\n"
        "  poll                     print the input frequency every 400 ms\n\n"
        "Exit status: 0 success (compare: no difference), 1 differences or a failed verify,\n"
        "2 usage or file error, 3 communication failure."));
    parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("command"), QStringLiteral("read, download, compare or poll"));
    parser.addPositionalArgument(
        QStringLiteral("file"), QStringLiteral("the data file (read, download, compare)"));
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("Device path, or \"Com n\" as mapped in the utility's settings."),
        QStringLiteral("port"));
    const QCommandLineOption family(QStringLiteral("family"),
        QStringLiteral("Dravion or MR (default: this build's)."), QStringLiteral("family"));
    const QCommandLineOption config(QStringLiteral("config"),
        QStringLiteral("Configuration file (default: as the utility chooses it)."), QStringLiteral("file"));
    const QCommandLineOption json(QStringLiteral("json"),
        QStringLiteral("Machine-readable output of read, download, compare and poll."));
    const QCommandLineOption verify(
        QStringLiteral("verify"), QStringLiteral("download: read the device back and compare."));
    const QCommandLineOption skipCorrupt(QStringLiteral("skip-corrupt"),
        QStringLiteral("download, compare: pass over corrupt entries of the file."));
    const QCommandLineOption count(
        QStringLiteral("count"), QStringLiteral("poll: stop after N readings."), QStringLiteral("N"));
    parser.addOptions({ port, family, config, json, verify, skipCorrupt, count });

    StderrDialogs dialogs;
    if (!parser.parse(QCoreApplication::arguments())) {
        dialogs.line(parser.errorText());
        return QrxCli::UsageOrFile;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return QrxCli::Success;
    }
    if (parser.isSet(version)) {
        std::printf("qrx-cli (QRX Programming Utility) %s\n", QRX_VERSION);
        return QrxCli::Success;
    }

    QrxCli::Options o;
    const QStringList args = parser.positionalArguments();
    o.command = args.value(0);
    o.file = args.value(1);
    const bool needsFile = o.command != QLatin1String("poll");
    const bool known = o.command == QLatin1String("read") || o.command == QLatin1String("download")
        || o.command == QLatin1String("compare") || o.command == QLatin1String("poll");
    if (!known || args.size() != (needsFile ? 2 : 1)) {
        dialogs.line(
            QStringLiteral("Usage: qrx-cli read|download|compare FILE.dat | poll [options]; see --help"));
        return QrxCli::UsageOrFile;
    }
    o.port = parser.value(port);
    o.family = parser.value(family);
    o.config = parser.value(config);
    o.json = parser.isSet(json);
    o.verify = parser.isSet(verify);
    o.skipCorrupt = parser.isSet(skipCorrupt);
    if (parser.isSet(count)) {
        bool ok = false;
        o.count = parser.value(count).toInt(&ok);
        if (!ok || o.count < 0) {
            dialogs.line(QStringLiteral("--count takes a whole number"));
            return QrxCli::UsageOrFile;
        }
    }

    QrxCli cli(dialogs);
    return cli.run(o);
}
