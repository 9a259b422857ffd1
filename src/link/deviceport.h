// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial line as the link sees it: open by path, discard input, write, read what has arrived.
// The real one wraps QSerialPort; tests use a fake or the simulator's in-memory port.
class DevicePort : public QObject
{
    Q_OBJECT
public:
    enum class ErrorKind { None, NoSuchPort, InUse, Other };

    struct Error
    {
        ErrorKind kind = ErrorKind::None;
        int number = 0; // 8002 no such port, 8005 in use, otherwise the port's own error number
        QString text;
        explicit operator bool() const { return kind != ErrorKind::None; }
    };

    static constexpr int NoSuchPortNumber = 8002;
    static constexpr int InUseNumber = 8005;

    using QObject::QObject;

    virtual Error open(const QString &path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void discardInput() = 0;
    virtual Error write(const QByteArray &data) = 0;
    virtual QByteArray readAll() = 0;

signals:
    void dataReceived();
    // The device went away while the port was open; the port has already closed itself.
    void connectionLost(const DevicePort::Error &error);
};
