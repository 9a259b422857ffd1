// SPDX-License-Identifier: GPL-3.0-or-later
#include "deviceerrorwatch.h"

DeviceErrorWatch::DeviceErrorWatch(std::unique_ptr<DevicePort> port, QObject *parent)
    : DevicePort(parent)
    , m_port(std::move(port))
{
    connect(m_port.get(), &DevicePort::dataReceived, this, &DevicePort::dataReceived);
    connect(m_port.get(), &DevicePort::connectionLost, this, &DevicePort::connectionLost);
}

QByteArray DeviceErrorWatch::readAll()
{
    const QByteArray bytes = m_port->readAll();
    for (const char c : bytes) {
        if (m_afterStx && c == 'E')
            m_seen = true;
        m_afterStx = c == '\x02';
    }
    return bytes;
}
