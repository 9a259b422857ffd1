// SPDX-License-Identifier: GPL-3.0-or-later
#include "qrxcli.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

#include "checkcommand.h"
#include "clihistory.h"
#include "clioutput.h"
#include "datafile/datafileformat.h"
#include "datafile/datafilereader.h"
#include "datafile/datafilewriter.h"
#include "datafile/modelloader.h"
#include "link/appcontext.h"
#include "link/atomicfile.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"
#include "params/versioncheck.h"
#include "portname.h"
#include "portwatch.h"
#ifdef QRX_SHEET
#include "sheetcommand.h"
#endif
#include "stderrdialogs.h"
#include "transfer/frequencydigits.h"
#include "transfer/frequencytrend.h"
#include "transfer/setupflow.h"
#include "unitlog.h"

#ifndef QRX_DEVICE_FAMILY
#define QRX_DEVICE_FAMILY "Dravion"
#endif

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

} // namespace

// The serial port and its reply timer, kept together for the link's lifetime.
class QrxCli::Port
{
public:
    PortWatch port { std::make_unique<SerialDevicePort>() };
    QtReplyTimer timer { 500 };
};

QrxCli::QrxCli(StderrDialogs &dialogs)
    : m_dialogs(dialogs)
{
}

QrxCli::~QrxCli()
{
    m_link.reset(); // before the port and timer it refers to
}

bool QrxCli::hasHeader(const QByteArray &bytes)
{
    qsizetype end = 0;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    return QString::fromLatin1(bytes.left(end)).trimmed() == DataFileFormat::header();
}

int QrxCli::comNumber(const QString &port)
{
    static const QRegularExpression com(
        QStringLiteral("^\\s*com\\s*(\\d{1,5})\\s*$"), QRegularExpression::CaseInsensitiveOption);
    const auto match = com.match(port);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool QrxCli::onDevice(const QString &command)
{
    return command == QLatin1String("read") || command == QLatin1String("download")
        || command == QLatin1String("compare") || command == QLatin1String("poll");
}

int QrxCli::run(const Options &options)
{
    if (!onDevice(options.command))
        return runCommand(options);
    m_started = QDateTime::currentDateTimeUtc();
    m_clock.start();
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    // The link waits in event loops, so a timer sees the interrupt within one exchange. A poll ends
    // at an interrupt by itself, as it always has.
    QTimer watch;
    watch.setInterval(20);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!interrupted)
            return;
        watch.stop();
        onInterrupted(options);
    });
    if (options.command != QLatin1String("poll"))
        watch.start();
    int status = runCommand(options);
    watch.stop();
    writeRecord(options, status);
    if (!options.log.isEmpty() && m_recordLost && status < UsageOrFile)
        status = UsageOrFile;
    return status;
}

void QrxCli::onInterrupted(const Options &options)
{
    // Once the store command is out the unit is being programmed: it finishes, and tells how it went.
    if (options.command == QLatin1String("download") && m_port && m_port->port.storeSent()) {
        m_dialogs.line(QStringLiteral("Interrupted after the store command: finishing this unit"));
        return;
    }
    m_dialogs.line(options.command == QLatin1String("download")
            ? QStringLiteral("Interrupted: not programmed")
            : QStringLiteral("Interrupted"));
    if (m_port)
        m_port->port.close();
    writeRecord(options, Interrupted);
    if (options.json)
        CliOutput::printJson(QJsonObject { { QStringLiteral("result"), QStringLiteral("failed") },
            { QStringLiteral("message"), m_dialogs.told().join(QStringLiteral("; ")) },
            { QStringLiteral("exitStatus"), int(Interrupted) } });
    std::fflush(stdout);
    std::fflush(stderr);
    // Inside the link's wait: nothing more may be sent, and nothing was written for a read.
    std::_Exit(Interrupted);
}

void QrxCli::writeRecord(const Options &options, int status)
{
    if (options.log.isEmpty() && options.unitRecord.isEmpty())
        return;
    UnitLog::Record r;
    r.time = m_started;
    r.command = options.command;
    r.port = options.port;
    r.portId = PortName::byId(options.port);
    r.family = m_family ? m_family->name : options.family;
    r.deviceVersion = m_deviceVersion;
    if (!options.file.isEmpty())
        r.file = QFileInfo(options.file).absoluteFilePath();
    if (!m_fileBytes.isEmpty())
        r.sha256 = QCryptographicHash::hash(m_fileBytes, QCryptographicHash::Sha256).toHex();
    r.result = UnitLog::resultName(options.command, status, m_port && m_port->port.portFailed());
    r.exitStatus = status;
    r.durationMs = m_clock.elapsed();
    r.differences = m_differences;
    r.message = m_dialogs.told().join(QStringLiteral("; "));
    if (!options.log.isEmpty()) {
        if (const QString error = UnitLog::append(options.log, r); !error.isEmpty()) {
            m_dialogs.line(QStringLiteral("Cannot write the log %1: %2").arg(options.log, error));
            m_recordLost = true;
            // The unit's own result stands; the run still fails, as its trace is lost.
            r.exitStatus = std::max(status, int(UsageOrFile));
            r.message = m_dialogs.told().join(QStringLiteral("; "));
        }
    }
    if (!options.unitRecord.isEmpty())
        AtomicFile::write(options.unitRecord, UnitLog::line(r) + '\n');
}

int QrxCli::runCommand(const Options &options)
{
    if (const int status = setUp(options); status != Success)
        return status;
    if (options.command == QLatin1String("read"))
        return read(options);
    if (options.command == QLatin1String("download"))
        return download(options);
    if (options.command == QLatin1String("compare"))
        return compare(options);
    if (options.command == QLatin1String("check"))
        return CheckCommand::check(*m_family, m_state, m_config.lists, options.file, options.json, m_dialogs);
    if (options.command == QLatin1String("diff"))
        return diff(options);
#ifdef QRX_SHEET
    if (options.command == QLatin1String("sheet")) {
        return SheetCommand::sheet(
            *m_family, m_state, m_config.lists, options.file, options.second, options.skipCorrupt, m_dialogs);
    }
#endif
    return poll(options);
}

int QrxCli::setUp(const Options &options)
{
    m_family
        = DeviceFamily::byName(options.family.isEmpty() ? QStringLiteral(QRX_DEVICE_FAMILY) : options.family);
    if (!m_family) {
        m_dialogs.line(QStringLiteral("Unknown family \"%1\": Dravion or MR").arg(options.family));
        return UsageOrFile;
    }

    const QString configPath = options.config.isEmpty()
        ? m_family->configurationPath(QCoreApplication::applicationDirPath())
        : options.config;
    m_config = ConfigReader::readFile(configPath, m_family->config, m_state);
    if (m_config.readError) {
        m_dialogs.message(ConfigReader::readErrorText(), UserDialogs::Icon::Critical);
        return UsageOrFile;
    }
    if (m_config.syntaxError) // the window goes on after telling; so does the programmer
        m_dialogs.message(ConfigReader::syntaxErrorText(), UserDialogs::Icon::Critical);

    // The port as the window would take it: a Com number through the same per-user settings.
    const QString path = PortName::path(options.port);
    m_portName = CliHistory::portName(options.port);

    m_port = std::make_unique<Port>();
    m_link = std::make_unique<LinkEngine>(m_state, m_port->port, m_port->timer, m_dialogs);
    m_link->setPortResolver([path](int) { return path; });
    m_context = std::make_unique<AppContext>(AppContext { m_state, m_link.get(), m_dialogs, *m_family });
    m_state.ReplyReceived = true;
    m_state.AutoFrame = true;
    return Success;
}

SetupFlow QrxCli::flow(SetupFlow::Hooks hooks)
{
    hooks.sequenceStarting = [this](const QString &) { m_progressShown = true; };
    // The percentage only while the exchanges run: a terminal keeps its last figure.
    hooks.setPercent = [this](const QString &percent) {
        if (m_progressShown)
            m_dialogs.progress(percent);
    };
    hooks.sequenceEnded = [this] {
        m_progressShown = false;
        m_dialogs.endProgress();
    };
    hooks.CheckDeviceVersion = [this] {
        VersionCheck::CheckDeviceVersion(*m_context);
        if (!m_state.CommAbort)
            m_deviceVersion = m_state.ReplyValue;
    };
    return SetupFlow(*m_context, std::move(hooks));
}

int QrxCli::status(const SetupFlow::Result &result) const
{
    switch (result.outcome) {
    case SetupFlow::Outcome::Succeeded:
        return Success;
    case SetupFlow::Outcome::Missing:
    case SetupFlow::Outcome::Error:
    case SetupFlow::Outcome::NotKept:
        return UsageOrFile;
    case SetupFlow::Outcome::Failed:
        break;
    }
    return refusedOrLost();
}

// A flow fails on its last exchange: the device refused it, or it did not answer.
int QrxCli::refusedOrLost() const
{
    return m_link->lastExchange().kind == ExchangeOutcome::Kind::DeviceError ? Refused : Communication;
}

SetupModel QrxCli::emptySetup() const
{
    SetupModel setup(*m_family, m_state);
    setup.setLists(m_config.lists);
    return setup;
}

int QrxCli::loadFile(const QString &path, SetupModel &model)
{
    const std::optional<QByteArray> bytes = readSetupFile(path, m_dialogs);
    if (!bytes)
        return UsageOrFile;
    m_fileBytes = *bytes; // what is sent is what was read here, whatever the file holds later
    return loadSetup(*bytes, model, m_dialogs);
}

std::optional<QByteArray> QrxCli::readSetupFile(const QString &path, StderrDialogs &dialogs)
{
    const std::optional<QByteArray> bytes = DataFileReader::load(path);
    if (bytes && hasHeader(*bytes))
        return bytes;
    dialogs.message(QStringLiteral("Opening File Error!"), UserDialogs::Icon::Critical);
    if (bytes)
        dialogs.line(QStringLiteral("%1 is not a setup data file: its first line is not \"%2\"")
                         .arg(path, DataFileFormat::header()));
    return std::nullopt;
}

int QrxCli::loadSetup(const QByteArray &bytes, SetupModel &model, StderrDialogs &dialogs)
{
    switch (ModelLoader::apply(
        model, DataFileReader::parse(bytes, DataFileFormat::userDecimalPoint()), dialogs)) {
    case ModelLoader::Outcome::Loaded:
        return Success;
    case ModelLoader::Outcome::Stopped:
        dialogs.line(QStringLiteral("Stopped at a corrupt entry (--skip-corrupt passes over it)"));
        return UsageOrFile;
    case ModelLoader::Outcome::Failed:
        dialogs.message(QStringLiteral("Opening File Error!"), UserDialogs::Icon::Critical);
        return UsageOrFile;
    }
    return UsageOrFile;
}

int QrxCli::read(const Options &options)
{
    SetupModel device = emptySetup();
    std::optional<std::vector<DataFileWriter::Entry>> entries;
    // Saved before the success is told: a setup that could not be saved was not read for the user.
    SetupFlow::Hooks hooks;
    hooks.keepRead = [&](const SetupFlow::Result &result) {
        entries = DataFileWriter::entriesOf(device);
        const QByteArray bytes = entries ? DataFileWriter::toBytes(*entries) : QByteArray();
        if (!entries || !DataFileWriter::save(options.file, bytes)) {
            m_dialogs.message(QStringLiteral("Saving File Error!"), UserDialogs::Icon::Critical);
            return false;
        }
        m_fileBytes = bytes;
        if (options.json) {
            QJsonArray list;
            for (const auto &e : *entries)
                list.append(
                    QJsonObject { { QStringLiteral("code"), e.code }, { QStringLiteral("value"), e.value } });
            CliOutput::printJson(QJsonObject { { QStringLiteral("family"), m_family->name },
                { QStringLiteral("file"), options.file }, { QStringLiteral("seconds"), result.seconds },
                { QStringLiteral("entries"), list } });
        }
        return true;
    };
    const SetupFlow::Result result = flow(std::move(hooks)).read(device);
    if (result.succeeded())
        CliHistory::keep(device, SetupHistory::What::Read, m_portName, m_dialogs);
    return status(result);
}

int QrxCli::download(const Options &options)
{
    m_dialogs.setQuestionAnswer(options.skipCorrupt ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    SetupModel file = emptySetup();
    if (const int status = loadFile(options.file, file); status != Success)
        return status;
    SetupModel device = emptySetup();
    SetupFlow::Hooks hooks;
    hooks.CheckMissingFields = [&file] { return file.missing().isEmpty(); };
    SetupModel *verify = options.verify ? &device : nullptr;
    SetupModel backup = emptySetup();
    QString backupPath;
    const SetupFlow::Result result = options.backup.isEmpty()
        ? flow(std::move(hooks)).download(file, verify)
        : flow(std::move(hooks))
              .backedUpDownload(
                  file, backup,
                  [&](const SetupModel &b) {
                      return CliHistory::keepBackup(b, options.backup, m_portName, m_dialogs, &backupPath);
                  },
                  verify);
    if (result.outcome == SetupFlow::Outcome::Missing)
        m_dialogs.line(QStringLiteral("Missing: ") + file.missing().join(QStringLiteral(", ")));
    if (result.step == SetupFlow::Step::Backup && result.outcome == SetupFlow::Outcome::Failed)
        return Communication; // whatever the device answered, nothing was written
    if (result.outcome == SetupFlow::Outcome::Succeeded || result.step == SetupFlow::Step::Verify)
        CliHistory::keep(file, SetupHistory::What::Download, m_portName, m_dialogs);
    else if (!backupPath.isEmpty() && result.sent > 0)
        m_dialogs.line(QStringLiteral("The device may hold part of the new setup; its setup before is in %1")
                           .arg(QDir::toNativeSeparators(backupPath)));
    if (!result.succeeded())
        return status(result);
    if (!options.verify) {
        if (options.json)
            CliOutput::printJson(QJsonObject {
                { QStringLiteral("file"), options.file }, { QStringLiteral("seconds"), result.seconds } });
        return Success;
    }
    const auto differences = SetupComparison::differences(result.rows);
    m_differences = differences;
    CliOutput::printRows(differences, QStringLiteral("file"), QStringLiteral("device"), {}, options.json);
    if (!differences.empty()) {
        m_dialogs.line(QStringLiteral("Verify failed: %1 parameter(s) differ").arg(differences.size()));
        return Differences;
    }
    m_dialogs.line(QStringLiteral("Verify Successful"));
    return Success;
}

int QrxCli::compare(const Options &options)
{
    m_dialogs.setQuestionAnswer(options.skipCorrupt ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    SetupModel file = emptySetup();
    if (const int status = loadFile(options.file, file); status != Success)
        return status;
    SetupModel device = emptySetup();
    const SetupFlow::Result result = flow().compare(file, device);
    if (!result.succeeded())
        return status(result);
    const auto differences = SetupComparison::differences(result.rows);
    m_differences = differences;
    CliOutput::printRows(differences, QStringLiteral("file"), QStringLiteral("device"), {}, options.json);
    return differences.empty() ? Success : Differences;
}

int QrxCli::diff(const Options &options)
{
    m_dialogs.setQuestionAnswer(options.skipCorrupt ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    SetupModel a = emptySetup();
    if (const int status = loadFile(options.file, a); status != Success)
        return status;
    SetupModel b = emptySetup();
    if (const int status = loadFile(options.second, b); status != Success)
        return status;
    const auto differences = SetupComparison::differences(SetupComparison::compare(a, b));
    CliOutput::printRows(differences, QStringLiteral("a"), QStringLiteral("b"),
        { { QStringLiteral("a"), options.file }, { QStringLiteral("b"), options.second } }, options.json);
    return differences.empty() ? Success : Differences;
}

int QrxCli::poll(const Options &options)
{
    QElapsedTimer clock;
    qint64 firstMs = -1;
    if (options.csv)
        CliOutput::print(FrequencyTrend::csvHeader().toUtf8());
    for (int n = 0; (options.count < 0 || n < options.count) && !interrupted; ++n) {
        if (n > 0) {
            // One poll every 400 ms, counted from the start of the previous one.
            QEventLoop wait;
            QTimer::singleShot(
                std::max<qint64>(0, 400 - clock.elapsed()), Qt::PreciseTimer, &wait, &QEventLoop::quit);
            wait.exec();
            if (interrupted)
                break;
        }
        clock.start();
        m_state.CommAbort = false;
        m_state.CommandString = QStringLiteral("F");
        m_link->SendCommand();
        if (m_state.CommAbort)
            return refusedOrLost();
        const QString reply = m_state.ReplyValue;
        const QString shown = FrequencyDigits::padded(reply).value_or(reply);
        if (options.csv) {
            // A reply the digits would not show is no reading, as in the trend window.
            if (const std::optional<QString> padded = FrequencyDigits::padded(reply)) {
                const qint64 now = QDateTime::currentMSecsSinceEpoch();
                if (firstMs < 0)
                    firstMs = now;
                CliOutput::print(
                    FrequencyTrend::csvRow(now, firstMs, FrequencyDigits::shownHz(*padded)).toUtf8());
            }
        } else if (options.json)
            CliOutput::printJson(QJsonObject {
                { QStringLiteral("frequency"), Values::Val(reply) }, { QStringLiteral("text"), shown } });
        else
            CliOutput::printLine(shown);
    }
    return Success;
}
