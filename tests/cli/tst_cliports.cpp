// SPDX-License-Identifier: GPL-3.0-or-later
// qrx-cli on several simulated units at once: each unit on its own, a record of every unit, and
// interrupts and crashes that never pass for success.

#include <csignal>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "simulateddevice.h"
#include "table.h"
#include "wire.h"

namespace {

const QByteArray soundSetup = "Parameter <Equals> Value\r\n3=2\r\n4=1\r\n8=1\r\n9=12.5\r\n11=5\r\n15=0\r\n"
                              "16=100\r\n100=0\r\n7=0.85\r\n";

// The children of a process, by the kernel's own list.
QList<qint64> children(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    QList<qint64> out;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray &word : f.readAll().split(' '))
            if (!word.trimmed().isEmpty())
                out << word.trimmed().toLongLong();
    }
    return out;
}

bool waitUntil(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(10);
    }
    return true;
}

} // namespace

TABLE_TEST(CliPorts, EachUnitRunsOnItsOwnAndLeavesItsRecord, "cli/ports.txt", "runs")
{
    const QStringList fields { "time", "command", "port", "portId", "family", "deviceVersion", "file",
        "sha256", "result", "exitStatus", "durationMs", "differences", "message" };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString setup = dir.filePath(QStringLiteral("setup.dat"));
    writeFile(setup, soundSetup);
    const QString log = dir.filePath(QStringLiteral("units.jsonl"));

    std::vector<std::unique_ptr<SimulatedDevice>> devices; // none for a missing port or a repeated one
    QStringList ports;
    for (const QString &unit : row.words("units")) {
        const QStringList parts = unit.split(',');
        const QString port = dir.filePath(QStringLiteral("P%1").arg(ports.size() + 1));
        ports << (parts[0] == "same" ? ports.first()
                : parts[0] == "bare" ? QFileInfo(port).fileName()
                                     : port);
        devices.emplace_back();
        if (parts[0] == "missing" || parts[0] == "same")
            continue;
        SimOptions o;
        o.configPath = QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
        o.linkPath = port;
        o.pacing = false;
        o.silent = parts[0] == "silent";
        o.latencyMs = parts[0] == "slow" ? 150 : 0;
        devices.back() = std::make_unique<SimulatedDevice>(o);
        QString error;
        ASSERT_TRUE(devices.back()->start(&error)) << error.toStdString();
        for (const QString &item : parts.mid(1))
            devices.back()->setItemValue(item.section('=', 0, 0).toInt(), item.section('=', 1).toDouble());
    }
    const auto expand
        = [&](QString text) { return text.replace("SETUP", setup).replace("{dir}", dir.path()); };
    QStringList arguments;
    for (const QString &a : row.words("arguments"))
        arguments << expand(a);
    arguments << "--family"
              << "Dravion"
              << "--config" << QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf") << "--port"
              << ports.join(',');
    if (!arguments.contains("--log"))
        arguments << "--log" << log;

    QProcess cli;
    cli.setWorkingDirectory(dir.path());
    cli.start(QStringLiteral(QRX_CLI_PATH), arguments);
    ASSERT_TRUE(cli.waitForStarted());
    const QStringList action = row.words("meanwhile");
    if (action[0] == "interrupt" || action[0] == "change") {
        // Once every unit is talking, and long before a slow one reaches its store command.
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const auto &d : devices)
                    if (d && d->received().isEmpty())
                        return false;
                return children(cli.processId()).size() == ports.size();
            },
            10000));
        if (action[0] == "change")
            writeFile(setup, "Parameter <Equals> Value\r\n3=1\r\n");
        else
            ::kill(pid_t(cli.processId()), SIGINT);
    } else if (action[0] == "crash") {
        const int n = action[1].toInt() - 1;
        qint64 unit = 0;
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const qint64 child : children(cli.processId()))
                    if (readAll(QStringLiteral("/proc/%1/cmdline").arg(child))
                            .split('\0')
                            .contains(ports[n].toLocal8Bit()))
                        unit = child;
                return unit && !devices[size_t(n)]->received().isEmpty();
            },
            10000));
        ::kill(pid_t(unit), SIGKILL); // a sanitizer would catch SIGSEGV and exit normally
    }
    ASSERT_TRUE(cli.waitForFinished(30000));
    const QString out = QString::fromLocal8Bit(cli.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(cli.readAllStandardError());
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), row.number("status")) << err.toStdString() << out.toStdString();
    if (row["stderr"] != "-") {
        const QString told
            = expand(row["stderr"]).replace(QRegularExpression("\\bP(\\d)"), dir.path() + "/P\\1");
        EXPECT_TRUE(err.contains(told)) << err.toStdString();
    }

    // One record per unit, in whatever order the units ended, with every field.
    QMap<QString, QJsonObject> records;
    QFile file(log);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject r = QJsonDocument::fromJson(line).object();
            EXPECT_EQ(r.keys().size(), fields.size()) << line.toStdString();
            for (const QString &f : fields)
                EXPECT_TRUE(r.contains(f)) << f.toStdString();
            records.insert(r.value("port").toString(), r);
        }
    }
    const QStringList results = row["results"] == "-" ? QStringList() : row.words("results");
    EXPECT_EQ(records.size(), results.size());
    const QString command = row.words("arguments")[0];
    for (int i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(ports[i].toStdString());
        const QJsonObject r = records.value(ports[i]);
        EXPECT_EQ(r.value("result").toString(), results[i]) << r.value("message").toString().toStdString();
        EXPECT_EQ(r.value("command").toString(), command);
        EXPECT_EQ(r.value("family").toString(), "Dravion");
        EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z$")
                        .match(r.value("time").toString())
                        .hasMatch())
            << r.value("time").toString().toStdString();
        EXPECT_GE(r.value("durationMs").toInt(), 0);
        const QString file = r.value("file").toString();
        EXPECT_TRUE(QDir::isAbsolutePath(file)) << file.toStdString();
        if (results[i] == "success" || results[i] == "differences") {
            EXPECT_EQ(r.value("deviceVersion").toString(), "2.10");
            const QByteArray bytes = command == "read" ? readAll(file) : soundSetup;
            EXPECT_EQ(r.value("sha256").toString(),
                QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        }
        // Only a comparison has differences to give: a list, even an empty one.
        const bool compared = command == "compare" || row["arguments"].contains("--verify");
        EXPECT_EQ(r.value("differences").isArray(), compared && results[i] != "portError");
        if (command == "compare") {
            EXPECT_TRUE(r.value("differences")
                            .toArray()
                            .contains(QJsonObject {
                                { "name", "K Factor" }, { "file", "12.5" }, { "device", "1234.5" } }))
                << QJsonDocument(r).toJson().toStdString();
        }
        // The summary names every unit with its result and seconds.
        if (ports.size() > 1) {
            const QString shown
                = results[i] == "interrupted" && command == "download" ? "not programmed" : results[i];
            EXPECT_TRUE(QRegularExpression('^' + QRegularExpression::escape(ports[i]) + "\\s+"
                    + QRegularExpression::escape(shown) + "\\s+\\d+\\.\\d\\d$",
                QRegularExpression::MultilineOption)
                            .match(out)
                            .hasMatch())
                << out.toStdString();
        }
    }

    QStringList stored;
    bool sent = false;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (devices[i] && devices[i]->receivedCount("<STX>W<CR>") > 0)
            stored << QString::number(i + 1);
        sent = sent || (devices[i] && !devices[i]->received().isEmpty());
    }
    EXPECT_EQ(stored, row["stored"] == "-" ? QStringList() : row.words("stored"));
    // A usage error is found before anything is sent.
    if (row.number("status") == 2) {
        EXPECT_FALSE(sent);
        EXPECT_FALSE(QFile::exists(log));
    }
    const QStringList left = QDir(dir.path()).entryList({ "unit-*" }, QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, row["left"] == "-" ? QStringList() : row.words("left"));
}
