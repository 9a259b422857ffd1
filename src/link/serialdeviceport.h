// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>

#include "deviceport.h"

// The device port on a QSerialPort at 9600 8N1, no flow control; the modem lines are never touched.
class SerialDevicePort final : public DevicePort
{
    Q_OBJECT
public:
    explicit SerialDevicePort(QObject *parent = nullptr);

    Error open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }
    void discardInput() override;
    Error write(const QByteArray &data) override;
    QByteArray readAll() override { return m_port.readAll(); }

    // Maps a QSerialPort error to the link's kinds (8002, 8005, or the enum value).
    static Error translate(QSerialPort::SerialPortError error, const QString &text);

private:
    void onErrorOccurred(QSerialPort::SerialPortError error);

    QSerialPort m_port;
};
