// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulateddevice.h"

SimulatedDevice::SimulatedDevice(const SimOptions &options)
    : m_server(std::make_unique<PtyServer>(options))
{
}

SimulatedDevice::~SimulatedDevice()
{
    stop();
}

bool SimulatedDevice::start(QString *error)
{
    QString e;
    if (!m_server->open(&e)) {
        if (error)
            *error = e;
        return false;
    }
    m_thread = std::thread([this] { m_server->run(); });
    return true;
}

void SimulatedDevice::stop()
{
    if (m_thread.joinable()) {
        m_server->stop();
        m_thread.join();
    }
}

QString SimulatedDevice::path() const
{
    return m_server->path();
}

QStringList SimulatedDevice::log() const
{
    return m_server->log().lines();
}

QStringList SimulatedDevice::received() const
{
    QStringList out;
    for (const QString &line : log()) {
        if (line.startsWith(QLatin1String("recv ")))
            out << line.mid(5);
    }
    return out;
}

int SimulatedDevice::receivedCount(const QString &markup) const
{
    return int(received().count(markup));
}

bool SimulatedDevice::vanished() const
{
    return m_server->vanished();
}

double SimulatedDevice::itemValue(int code)
{
    return m_server->withModel([code](DeviceModel &m) { return m.value(code); });
}

void SimulatedDevice::setItemValue(int code, double value)
{
    m_server->withModel([code, value](DeviceModel &m) { m.setValue(code, value); });
}
