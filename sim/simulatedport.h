// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include "deviceresponder.h"
#include "link/deviceport.h"

// The device port wired straight to the simulated device, in memory: no pty and no line time,
// replies arrive from the event loop after the configured latency. For fast tests of whole
// sequences; received() lists every frame the link transmitted.
class SimulatedPort final : public DevicePort
{
    Q_OBJECT
public:
    explicit SimulatedPort(const SimOptions &options = {}, QObject *parent = nullptr);

    Error open(const QString &path) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void discardInput() override { m_in.clear(); }
    Error write(const QByteArray &data) override;
    QByteArray readAll() override;

    DeviceModel &model() { return m_responder.model(); }
    QStringList received() const { return m_received; }
    void setOpenError(const Error &error) { m_openError = error; }
    // While muted, whatever the utility sends is lost on the way (a pulled cable).
    void setMuted(bool muted) { m_muted = muted; }

private:
    void deliver(const QByteArray &frame);

    SimOptions m_options;
    DeviceResponder m_responder;
    bool m_open = false;
    bool m_vanished = false;
    bool m_muted = false;
    Error m_openError;
    QByteArray m_frame;
    QByteArray m_in;
    QStringList m_received;
};
