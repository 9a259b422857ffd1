// SPDX-License-Identifier: GPL-3.0-or-later
#include "unitprocess.h"

#include <QJsonDocument>
#include <QJsonObject>

#ifdef Q_OS_LINUX
#include <csignal>

#include <sys/prctl.h>
#endif

UnitProcess::UnitProcess(
    const QString &program, const QStringList &arguments, const QString &port, bool json, QObject *parent)
    : QObject(parent)
    , m_arguments(arguments)
    , m_program(program)
    , m_port(port)
    , m_prefix((port + QStringLiteral(": ")).toLocal8Bit())
    , m_json(json)
{
    m_process.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
    // A run that is itself killed outright takes its units with it rather than leaving them sending.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] {
        m_out += m_process.readAllStandardOutput();
        forward(m_out, stdout, m_json);
    });
    connect(&m_process, &QProcess::readyReadStandardError, this, [this] {
        m_err += m_process.readAllStandardError();
        forward(m_err, stderr, false);
    });
    connect(&m_process, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        end(status == QProcess::NormalExit, code,
            status == QProcess::NormalExit ? QString() : QStringLiteral("its program ended abnormally"));
    });
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(false, -1, QStringLiteral("its program could not start: ") + m_process.errorString());
    });
}

void UnitProcess::start()
{
    m_clock.start();
    m_process.start(m_program, m_arguments);
}

void UnitProcess::terminate()
{
    if (m_process.state() != QProcess::NotRunning)
        m_process.terminate();
}

void UnitProcess::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_killed = true;
        m_process.kill();
    }
}

void UnitProcess::forward(QByteArray &pending, FILE *out, bool json)
{
    qsizetype end = 0;
    while ((end = pending.indexOf('\n')) >= 0) {
        QByteArray line = pending.left(end);
        pending.remove(0, end + 1);
        const QJsonDocument object = json ? QJsonDocument::fromJson(line) : QJsonDocument();
        if (object.isObject()) {
            QJsonObject o = object.object();
            o.insert(QStringLiteral("port"), m_port);
            line = QJsonDocument(o).toJson(QJsonDocument::Compact);
        } else {
            line.prepend(m_prefix);
        }
        line += '\n';
        std::fwrite(line.constData(), 1, size_t(line.size()), out);
    }
    std::fflush(out);
}

void UnitProcess::end(bool normal, int exitCode, const QString &failure)
{
    if (m_ended)
        return;
    m_ended = true;
    m_elapsedMs = m_clock.elapsed();
    m_out += m_process.readAllStandardOutput();
    m_err += m_process.readAllStandardError();
    // A last line without its line end still belongs to the unit.
    for (QByteArray *rest : { &m_out, &m_err }) {
        if (!rest->isEmpty())
            *rest += '\n';
    }
    forward(m_out, stdout, m_json);
    forward(m_err, stderr, false);
    m_normal = normal;
    m_exitCode = exitCode;
    m_failure = failure;
    emit finished();
}
