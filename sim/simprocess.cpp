// SPDX-License-Identifier: GPL-3.0-or-later
#include "simprocess.h"

#include <QDeadlineTimer>

SimProcess::SimProcess(const QString &program)
    : m_program(program)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

SimProcess::~SimProcess()
{
    stop();
}

bool SimProcess::start(const SimOptions &options, int timeoutMs)
{
    return start(options.toArguments(), timeoutMs);
}

bool SimProcess::start(const QStringList &arguments, int timeoutMs)
{
    m_process.start(m_program, arguments);
    QDeadlineTimer deadline(timeoutMs);
    QByteArray out;
    // The program announces itself with one line: "port /dev/pts/N".
    while (!deadline.hasExpired()) {
        if (!m_process.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        out += m_process.readAllStandardOutput();
        const int nl = out.indexOf('\n');
        if (nl >= 0 && out.startsWith("port ")) {
            m_path = QString::fromLocal8Bit(out.mid(5, nl - 5));
            return true;
        }
    }
    m_error = QStringLiteral("qrx-sim did not start: ") + m_process.errorString() + QLatin1Char(' ')
        + QString::fromLocal8Bit(out);
    stop();
    return false;
}

void SimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}
