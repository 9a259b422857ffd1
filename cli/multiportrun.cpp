// SPDX-License-Identifier: GPL-3.0-or-later
#include "multiportrun.h"

#include <algorithm>
#include <csignal>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <QTimer>

#include "clioutput.h"
#include "portname.h"
#include "unitlog.h"
#include "unitprocess.h"

#ifndef QRX_DEVICE_FAMILY
#define QRX_DEVICE_FAMILY "Dravion"
#endif

namespace {

volatile std::sig_atomic_t stopRequests = 0;

void onStopRequest(int)
{
    stopRequests = stopRequests + 1;
}

} // namespace

MultiPortRun::MultiPortRun(const QrxCli::Options &options, const QStringList &ports)
    : m_options(options)
    , m_ports(ports)
{
}

MultiPortRun::~MultiPortRun() = default;

QString MultiPortRun::problem(const QrxCli::Options &options, const QStringList &ports)
{
    if (ports.size() > 1 && !QrxCli::onDevice(options.command))
        return QStringLiteral("'%1' takes no port").arg(options.command);
    // Rows of several units in one CSV would need a column the trend window's rows do not have.
    if (ports.size() > 1 && options.csv)
        return QStringLiteral("--csv takes one port");
    const bool read = options.command == QLatin1String("read");
    if (ports.size() > 1 && read && !options.file.contains(QLatin1String("{port}")))
        return QStringLiteral("Reading from several ports needs {port} in the file name (unit-{port}.dat)");
    QMap<QString, QString> byDevice, byFile;
    for (const QString &port : ports) {
        const QString device = PortName::device(port);
        if (byDevice.contains(device)) {
            return byDevice[device] == port
                ? QStringLiteral("Port '%1' is given twice").arg(port)
                : QStringLiteral("Ports '%1' and '%2' are the same port").arg(byDevice[device], port);
        }
        byDevice.insert(device, port);
        const QString file = PortName::fileFor(options.file, port);
        if (read && byFile.contains(file))
            return QStringLiteral("Ports '%1' and '%2' would read into the same file %3")
                .arg(byFile[file], port, file);
        byFile.insert(file, port);
    }
    return QString();
}

QStringList MultiPortRun::arguments(const QrxCli::Options &o, const QString &port, const QString &record)
{
    QStringList a { o.command };
    if (!o.file.isEmpty())
        a << PortName::fileFor(o.file, port);
    a << QStringLiteral("--port") << port << QStringLiteral("--unit-record") << record;
    if (!o.family.isEmpty())
        a << QStringLiteral("--family") << o.family;
    if (!o.config.isEmpty())
        a << QStringLiteral("--config") << o.config;
    if (!o.log.isEmpty())
        a << QStringLiteral("--log") << o.log;
    if (o.count >= 0)
        a << QStringLiteral("--count") << QString::number(o.count);
    if (!o.backup.isEmpty())
        a << QStringLiteral("--backup") << o.backup; // one folder: the port names each file
    const std::pair<bool, const char *> flags[] = { { o.json, "--json" }, { o.verify, "--verify" },
        { o.skipCorrupt, "--skip-corrupt" }, { o.csv, "--csv" } };
    for (const auto &[set, flag] : flags) {
        if (set)
            a << QString::fromLatin1(flag);
    }
    return a;
}

int MultiPortRun::run()
{
    QTemporaryDir records;
    if (!records.isValid()) {
        std::fprintf(stderr, "Cannot make a temporary folder: %s\n", qPrintable(records.errorString()));
        return QrxCli::UsageOrFile;
    }
    std::signal(SIGINT, onStopRequest);
    std::signal(SIGTERM, onStopRequest);

    QEventLoop loop;
    std::vector<std::unique_ptr<UnitProcess>> units;
    int running = 0;
    for (qsizetype i = 0; i < m_ports.size(); ++i) {
        const QString record = records.filePath(QStringLiteral("%1.json").arg(i));
        units.push_back(std::make_unique<UnitProcess>(QCoreApplication::applicationFilePath(),
            arguments(m_options, m_ports[i], record), m_ports[i], m_options.json));
        QObject::connect(units.back().get(), &UnitProcess::finished, &loop, [&] {
            if (--running == 0)
                loop.quit();
        });
    }
    // The first interrupt asks every unit to stop; another one stops them outright.
    int stopsSeen = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (stopRequests == stopsSeen)
            return;
        for (auto &unit : units)
            stopsSeen == 0 ? unit->terminate() : unit->kill();
        stopsSeen = stopRequests;
        m_stopping = true;
    });
    watch.start(20);
    for (auto &unit : units) {
        ++running;
        unit->start();
    }
    if (running > 0)
        loop.exec();
    watch.stop();
    m_stopping = m_stopping || stopRequests != 0; // also when the units ended before the watch looked

    std::vector<Outcome> outcomes;
    int status = QrxCli::Success;
    for (qsizetype i = 0; i < m_ports.size(); ++i) {
        outcomes.push_back(outcome(*units[size_t(i)], records.filePath(QStringLiteral("%1.json").arg(i))));
        status = std::max(status, outcomes.back().status);
    }
    printSummary(outcomes, status);
    return status;
}

MultiPortRun::Outcome MultiPortRun::outcome(const UnitProcess &unit, const QString &recordPath) const
{
    Outcome o { unit.port(), QString(), unit.exitCode(), double(unit.elapsedMs()) / 1000.0 };
    const bool download = m_options.command == QLatin1String("download");
    QFile file(recordPath);
    std::optional<UnitLog::Record> told;
    if (file.open(QIODevice::ReadOnly))
        told = UnitLog::parse(file.readAll().trimmed());
    if (unit.exitedNormally() && told) {
        o.result = told->result;
        o.status = told->exitStatus;
        // A unit that stopped at an interrupt by itself had not sent its store command.
        if (o.status == QrxCli::Interrupted && download)
            o.result = QStringLiteral("not programmed");
        return o;
    }
    // Whatever it said before, a unit whose program did not end by itself, or ended without its
    // record (a sanitizer's report of a crash), is no success. Its own record may be missing, so this
    // one goes to the log in its place. A unit that an interrupt ended outright had not yet set up
    // its own handling, and so had sent nothing.
    const bool beforeStart = !unit.exitedNormally() && m_stopping && !unit.killed()
        && (unit.exitCode() == SIGINT || unit.exitCode() == SIGTERM);
    UnitLog::Record r;
    r.time = QDateTime::currentDateTimeUtc().addMSecs(-unit.elapsedMs());
    r.command = m_options.command;
    r.port = unit.port();
    r.portId = PortName::byId(unit.port());
    r.family = m_options.family.isEmpty() ? QStringLiteral(QRX_DEVICE_FAMILY) : m_options.family;
    if (!m_options.file.isEmpty())
        r.file = QFileInfo(PortName::fileFor(m_options.file, unit.port())).absoluteFilePath();
    r.exitStatus = o.status = unit.killed() || beforeStart ? QrxCli::Interrupted : QrxCli::Crashed;
    r.result = o.result = UnitLog::resultName(m_options.command, r.exitStatus, false);
    r.durationMs = unit.elapsedMs();
    if (unit.killed())
        r.message = QStringLiteral("Stopped outright: whether it was programmed is unknown");
    else if (beforeStart)
        r.message = download ? QStringLiteral("Stopped before it began: not programmed")
                             : QStringLiteral("Stopped before it began");
    else if (unit.exitedNormally())
        r.message
            = QStringLiteral("Failed: its program ended (status %1) without its record").arg(unit.exitCode());
    else
        r.message = QStringLiteral("Failed: ") + unit.failure();
    if (beforeStart && download)
        o.result = QStringLiteral("not programmed");
    std::fprintf(stderr, "%s: %s\n", qPrintable(unit.port()), qPrintable(r.message));
    if (!m_options.log.isEmpty())
        UnitLog::append(m_options.log, r);
    return o;
}

void MultiPortRun::printSummary(const std::vector<Outcome> &outcomes, int status) const
{
    if (m_options.json) {
        QJsonArray list;
        for (const Outcome &o : outcomes)
            list.append(
                QJsonObject { { QStringLiteral("port"), o.port }, { QStringLiteral("result"), o.result },
                    { QStringLiteral("exitStatus"), o.status }, { QStringLiteral("seconds"), o.seconds } });
        CliOutput::printJson(
            QJsonObject { { QStringLiteral("units"), list }, { QStringLiteral("exitStatus"), status } });
        return;
    }
    qsizetype portWidth = 4, resultWidth = 6;
    for (const Outcome &o : outcomes) {
        portWidth = std::max(portWidth, o.port.size());
        resultWidth = std::max(resultWidth, o.result.size());
    }
    CliOutput::printLine(QStringLiteral("%1  %2  %3")
                             .arg(QStringLiteral("port"), -int(portWidth))
                             .arg(QStringLiteral("result"), -int(resultWidth))
                             .arg(QStringLiteral("seconds")));
    for (const Outcome &o : outcomes)
        CliOutput::printLine(QStringLiteral("%1  %2  %3")
                                 .arg(o.port, -int(portWidth))
                                 .arg(o.result, -int(resultWidth))
                                 .arg(o.seconds, 7, 'f', 2));
}
