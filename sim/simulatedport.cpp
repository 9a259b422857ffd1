// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulatedport.h"

#include <QTimer>

#include "trafficlog.h"

SimulatedPort::SimulatedPort(const SimOptions &options, QObject *parent)
    : DevicePort(parent)
    , m_options(options)
    , m_responder(options)
{
}

DevicePort::Error SimulatedPort::open(const QString &)
{
    if (m_openError)
        return m_openError;
    if (m_vanished)
        return { ErrorKind::NoSuchPort, NoSuchPortNumber, QStringLiteral("No such file or directory") };
    m_open = true;
    return {};
}

DevicePort::Error SimulatedPort::write(const QByteArray &data)
{
    if (!m_open)
        return { ErrorKind::Other, 12, QStringLiteral("Device not open") };
    if (m_muted)
        return {};
    for (const char c : data) {
        if (c == '\x02')
            m_frame.clear();
        m_frame += c;
        if (c == '\x0d' && m_frame.startsWith('\x02')) {
            m_received << TrafficLog::markup(m_frame);
            deliver(m_frame);
            m_frame.clear();
        }
    }
    return {};
}

void SimulatedPort::deliver(const QByteArray &frame)
{
    const DeviceResponder::Response r = m_responder.respond(frame);
    if (r.vanish) {
        m_vanished = true;
        QTimer::singleShot(0, this, [this] {
            if (!m_open)
                return;
            m_open = false;
            emit connectionLost({ ErrorKind::Other, int(6),
                QStringLiteral("Resource error") }); // as QSerialPort::ResourceError
        });
        return;
    }
    if (r.frame.isEmpty())
        return;
    QTimer::singleShot(m_options.latencyMs + r.delayMs, this, [this, reply = r.frame] {
        if (!m_open)
            return;
        m_in += reply;
        emit dataReceived();
    });
}

QByteArray SimulatedPort::readAll()
{
    return std::exchange(m_in, QByteArray());
}
