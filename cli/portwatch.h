// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "link/deviceport.h"

// A port that hands everything through to another and notes a port that would not open or went
// away, and whether the store command went out.
class PortWatch final : public DevicePort
{
    Q_OBJECT
public:
    explicit PortWatch(std::unique_ptr<DevicePort> port, QObject *parent = nullptr);

    bool portFailed() const { return m_portFailed; }
    bool storeSent() const { return m_storeSent; }

    Error open(const QString &path) override;
    void close() override { m_port->close(); }
    bool isOpen() const override { return m_port->isOpen(); }
    void discardInput() override { m_port->discardInput(); }
    Error write(const QByteArray &data) override;
    QByteArray readAll() override { return m_port->readAll(); }

private:
    std::unique_ptr<DevicePort> m_port;
    bool m_portFailed = false;
    bool m_storeSent = false;
};
