// SPDX-License-Identifier: GPL-3.0-or-later
#include "portwatch.h"

PortWatch::PortWatch(std::unique_ptr<DevicePort> port, QObject *parent)
    : DevicePort(parent)
    , m_port(std::move(port))
{
    connect(m_port.get(), &DevicePort::dataReceived, this, &DevicePort::dataReceived);
    connect(m_port.get(), &DevicePort::connectionLost, this, [this](const DevicePort::Error &error) {
        m_portFailed = true;
        emit connectionLost(error);
    });
}

DevicePort::Error PortWatch::open(const QString &path)
{
    const Error error = m_port->open(path);
    m_portFailed = m_portFailed || error;
    return error;
}

DevicePort::Error PortWatch::write(const QByteArray &data)
{
    // Counted as sent once handed to the port: the device may store it even if no answer comes.
    if (data == QByteArrayLiteral("\x02W\r"))
        m_storeSent = true;
    const Error error = m_port->write(data);
    m_portFailed = m_portFailed || error;
    return error;
}
