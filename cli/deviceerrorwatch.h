// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "link/deviceport.h"

// A port that hands everything through to another and notes whether a device error reply
// (STX "E" ...) arrived, so that a refused value is told apart from a device that did not answer;
// it also notes a port that would not open or went away, and whether the store command went out.
class DeviceErrorWatch final : public DevicePort
{
    Q_OBJECT
public:
    explicit DeviceErrorWatch(std::unique_ptr<DevicePort> port, QObject *parent = nullptr);

    bool errorReplySeen() const { return m_seen; }
    void forget() { m_seen = false; }
    bool portFailed() const { return m_portFailed; }
    bool storeSent() const { return m_storeSent; }

    Error open(const QString &path) override;
    void close() override { m_port->close(); }
    bool isOpen() const override { return m_port->isOpen(); }
    void discardInput() override { m_port->discardInput(); }
    Error write(const QByteArray &data) override;
    QByteArray readAll() override;

private:
    std::unique_ptr<DevicePort> m_port;
    bool m_afterStx = false; // a frame's first character is next, possibly in the next read
    bool m_seen = false;
    bool m_portFailed = false;
    bool m_storeSent = false;
};
