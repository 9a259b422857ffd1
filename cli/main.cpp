// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <memory>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonObject>

#include "clioutput.h"
#include "multiportrun.h"
#include "portname.h"
#include "qrxcli.h"
#ifdef QRX_SHEET
#include "sheetcommand.h"
#endif
#include "stderrdialogs.h"
#include "unitlog.h"

namespace {

// Each command's own form; --help starts with it and a usage error repeats it.
QString usage()
{
    return QStringLiteral(
        "Usage: qrx-cli read FILE.dat [options]\n"
        "   or: qrx-cli download FILE.dat [--verify] [--backup DIR] [--skip-corrupt] [options]\n"
        "   or: qrx-cli compare FILE.dat [--skip-corrupt] [options]\n"
        "   or: qrx-cli poll [--count N] [options]\n"
        "   or: qrx-cli check FILE.dat [options]\n"
        "   or: qrx-cli diff A.dat B.dat [--skip-corrupt] [options]"
#ifdef QRX_SHEET
        "\n   or: qrx-cli sheet FILE.dat OUT.pdf [--skip-corrupt] [options]"
#endif
    );
}

// A scripted caller reading --json gets one object even when the command failed.
void printFailure(int status, const QStringList &told)
{
    const QJsonObject failure { { QStringLiteral("result"), QStringLiteral("failed") },
        { QStringLiteral("message"), told.join(QStringLiteral("; ")) },
        { QStringLiteral("exitStatus"), status } };
    CliOutput::printJson(failure);
}

int usageError(StderrDialogs &dialogs, const QString &what, bool json)
{
    dialogs.line(what);
    for (const QString &line : usage().split(QLatin1Char('\n')))
        dialogs.line(line);
    if (json)
        printFailure(QrxCli::UsageOrFile, { what });
    return QrxCli::UsageOrFile;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef QRX_SHEET
    const std::unique_ptr<QCoreApplication> app = SheetCommand::application(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    QCoreApplication::setApplicationName(QStringLiteral("qrx-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QRX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Programs a flow meter's setup from the command line.\n\n"
        "Commands:\n"
        "  read FILE.dat            read the device's setup into a data file\n"
        "  download FILE.dat        write a data file's setup into the device (ending with \"W\")\n"
        "  compare FILE.dat         list each parameter whose value differs between file and device\n"
        "                           (name, file value, device value; equal within 0.01)\n"
        "  poll                     print the input frequency every 400 ms, one line per reading\n"
        "  check FILE.dat           check a data file against the configuration without a device:\n"
        "                           corrupt entries, values out of range, numbers too large,\n"
        "                           missing entries, points beyond Linear Points (exit 1: problems)\n"
        "  diff A.dat B.dat         list each parameter whose value differs between two files\n"
        "                           (name, A's value, B's value; the rules of compare)\n"
#ifdef QRX_SHEET
        "  sheet FILE.dat OUT.pdf   write a data file's setup sheet as a one-page PDF: every\n"
        "                           parameter as the window shows it, the linear points and curve\n"
#endif
        "\n"
        "Messages go to standard error, results to standard output. A data file for download or\n"
        "compare must begin with the line \"Parameter <Equals> Value\".\n\n"
        "read and download keep each setup they read or sent in the utility's setup history\n"
        "(unless its \"Keep Setup History\" is off).\n\n"
        "Exit status: 0 success (compare: no difference), 1 differences or a failed verify,\n"
        "2 usage or file error, 3 communication failure (no answer, no port), 4 the device\n"
        "refused a command (a device error reply), 5 a unit's program crashed (several ports),\n"
        "130 interrupted (poll: 0; a download stopped before its store command: not programmed)."));
    parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("command"), QStringLiteral("read, download, compare, poll, check, diff or sheet"));
    parser.addPositionalArgument(QStringLiteral("file"),
        QStringLiteral("the data file (read, download, compare, check; diff takes two; sheet a data file "
                       "and a PDF; poll none)"));
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("Device path, or \"Com n\" as mapped in the utility's settings. Given several "
                       "times or as a comma-separated list, read, download, compare and poll run on "
                       "every port at once, each line marked with its port, and end with a summary of "
                       "port, result and seconds; the exit status is the highest of the units'. read "
                       "then needs {port} in the file name (unit-{port}.dat)."),
        QStringLiteral("port"));
    const QCommandLineOption log(QStringLiteral("log"),
        QStringLiteral("read, download, compare, poll: append one JSON object per unit to the file "
                       "(JSON Lines): time, command, port, portId, family, deviceVersion, file, sha256, "
                       "result, exitStatus, durationMs, differences, message."),
        QStringLiteral("file"));
    // One unit's record handed back to the run on several ports that started it.
    QCommandLineOption unitRecord(QStringLiteral("unit-record"), QString(), QStringLiteral("file"));
    unitRecord.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption family(QStringLiteral("family"),
        QStringLiteral("Dravion or MR (default: this build's)."), QStringLiteral("family"));
    const QCommandLineOption config(QStringLiteral("config"),
        QStringLiteral("Configuration file (default: as the utility chooses it)."), QStringLiteral("file"));
    const QCommandLineOption json(QStringLiteral("json"),
        QStringLiteral("Machine-readable output: one JSON object on standard output (poll: one per "
                       "reading, JSON Lines); a failure prints {\"result\": \"failed\", \"message\", "
                       "\"exitStatus\"}."));
    const QCommandLineOption verify(
        QStringLiteral("verify"), QStringLiteral("download: read the device back and compare."));
    const QCommandLineOption skipCorrupt(QStringLiteral("skip-corrupt"),
        QStringLiteral("download, compare, diff, sheet: pass over corrupt entries of the file."));
    const QCommandLineOption count(QStringLiteral("count"),
        QStringLiteral("poll: stop after N readings (default: until interrupted)."), QStringLiteral("N"));
    const QCommandLineOption csv(QStringLiteral("csv"),
        QStringLiteral("poll: CSV rows of time, seconds since the first reading and Hz."));
    const QCommandLineOption backup(QStringLiteral("backup"),
        QStringLiteral("download: first read the device's whole setup into a data file in DIR, named "
                       "by date, time and port; if that read fails nothing is written (exit 3)."),
        QStringLiteral("DIR"));
    parser.addOptions(
        { port, family, config, json, verify, skipCorrupt, count, csv, log, unitRecord, backup });

    StderrDialogs dialogs;
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(
            dialogs, parser.errorText(), QCoreApplication::arguments().contains(QStringLiteral("--json")));
    if (parser.isSet(QStringLiteral("help"))) {
        // Qt's own first line names one form for all commands; ours names each.
        QString help = parser.helpText();
        help.replace(0, help.indexOf(QLatin1Char('\n')), usage());
        std::fputs(help.toLocal8Bit().constData(), stdout);
        return QrxCli::Success;
    }
    if (parser.isSet(version)) {
        std::printf("qrx-cli (QRX Programming Utility) %s\n", QRX_VERSION);
        return QrxCli::Success;
    }

    QrxCli::Options o;
    o.json = parser.isSet(json);
    const QStringList args = parser.positionalArguments();
    o.command = args.value(0);
    o.file = args.value(1);
    o.second = args.value(2);
    if (o.command.isEmpty())
        return usageError(dialogs, QStringLiteral("No command given"), o.json);
    const bool needsFile = o.command != QLatin1String("poll");
    const bool sheet = o.command == QLatin1String("sheet");
#ifndef QRX_SHEET
    if (sheet)
        return usageError(
            dialogs, QStringLiteral("This build has no 'sheet': it is built without Qt Gui"), o.json);
#endif
    const bool twoFiles = o.command == QLatin1String("diff") || sheet;
    const bool known = o.command == QLatin1String("read") || o.command == QLatin1String("download")
        || o.command == QLatin1String("compare") || o.command == QLatin1String("poll")
        || o.command == QLatin1String("check") || twoFiles;
    if (!known)
        return usageError(dialogs, QStringLiteral("Unknown command '%1'").arg(o.command), o.json);
    if (args.size() != (twoFiles ? 3 : needsFile ? 2 : 1)) {
        return usageError(dialogs,
            sheet           ? QStringLiteral("'sheet' takes a data file and a PDF file")
                : twoFiles  ? QStringLiteral("'diff' takes two data files")
                : needsFile ? QStringLiteral("'%1' takes one data file").arg(o.command)
                            : QStringLiteral("'poll' takes no file"),
            o.json);
    }
    QStringList ports;
    for (const QString &given : parser.values(port)) {
        for (const QString &p : given.split(QLatin1Char(','))) {
            if (!p.trimmed().isEmpty())
                ports << p.trimmed();
        }
    }
    o.log = parser.value(log);
    o.unitRecord = parser.value(unitRecord);
    o.family = parser.value(family);
    o.config = parser.value(config);
    o.verify = parser.isSet(verify);
    o.skipCorrupt = parser.isSet(skipCorrupt);
    if (parser.isSet(count)) {
        bool ok = false;
        o.count = parser.value(count).toInt(&ok);
        if (!ok || o.count < 0)
            return usageError(dialogs, QStringLiteral("--count takes a whole number"), o.json);
    }

    o.backup = parser.value(backup);
    if (parser.isSet(backup) && (o.command != QLatin1String("download") || o.backup.isEmpty()))
        return usageError(dialogs, QStringLiteral("--backup DIR is for download"), o.json);

    o.csv = parser.isSet(csv);
    if (o.csv && (o.json || o.command != QLatin1String("poll")))
        return usageError(dialogs, QStringLiteral("--csv is for poll, without --json"), o.json);

    if (const QString problem = MultiPortRun::problem(o, ports); !problem.isEmpty())
        return usageError(dialogs, problem, o.json);
    // Before anything is sent: a unit programmed without its record is a unit the line cannot trace.
    if (!o.log.isEmpty() && QrxCli::onDevice(o.command)) {
        if (const QString error = UnitLog::checkWritable(o.log); !error.isEmpty()) {
            dialogs.line(QStringLiteral("Cannot write the log %1: %2").arg(o.log, error));
            if (o.json)
                printFailure(QrxCli::UsageOrFile, dialogs.told());
            return QrxCli::UsageOrFile;
        }
    }
    if (ports.size() > 1)
        return MultiPortRun(o, ports).run();
    o.port = ports.value(0);
    if (!o.port.isEmpty() && QrxCli::onDevice(o.command))
        o.file = PortName::fileFor(o.file, o.port);

    QrxCli cli(dialogs);
    const int status = cli.run(o);
    if (o.json && status >= QrxCli::UsageOrFile)
        printFailure(status, dialogs.told());
    return status;
}
