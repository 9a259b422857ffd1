// SPDX-License-Identifier: GPL-3.0-or-later
#include "serialdeviceport.h"

SerialDevicePort::SerialDevicePort(QObject *parent)
    : DevicePort(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &DevicePort::dataReceived);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialDevicePort::onErrorOccurred);
}

DevicePort::Error SerialDevicePort::translate(QSerialPort::SerialPortError error, const QString &text)
{
    switch (error) {
    case QSerialPort::NoError:
        return {};
    case QSerialPort::DeviceNotFoundError:
        return { ErrorKind::NoSuchPort, NoSuchPortNumber, text };
    case QSerialPort::PermissionError:
        // A lock held by another program and a device we may not open both read "in use".
        return { ErrorKind::InUse, InUseNumber, text };
    default:
        return { ErrorKind::Other, int(error), text };
    }
}

DevicePort::Error SerialDevicePort::open(const QString &path)
{
    if (m_port.isOpen())
        return {};
    m_port.setPortName(path);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.clearError();
    if (m_port.open(QIODevice::ReadWrite))
        return {};
    Error e = translate(m_port.error(), m_port.errorString());
    if (!e)
        e = { ErrorKind::Other, int(QSerialPort::UnknownError), m_port.errorString() };
    m_port.clearError();
    return e;
}

void SerialDevicePort::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

void SerialDevicePort::discardInput()
{
    m_port.readAll();
    m_port.clear(QSerialPort::Input);
}

DevicePort::Error SerialDevicePort::write(const QByteArray &data)
{
    if (m_port.write(data) != data.size()) {
        Error e = translate(m_port.error(), m_port.errorString());
        if (!e)
            e = { ErrorKind::Other, int(QSerialPort::WriteError), m_port.errorString() };
        return e;
    }
    // Hand the bytes to the driver now rather than on the next turn of the event loop.
    m_port.flush();
    return {};
}

void SerialDevicePort::onErrorOccurred(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError
        && error != QSerialPort::WriteError)
        return; // NoError comes with every open; open failures are returned by open()
    if (!m_port.isOpen())
        return;
    // Qt keeps a vanished device open and repeats the error in a tight loop: close on the first.
    const Error e = translate(error, m_port.errorString());
    m_port.close();
    m_port.clearError();
    emit connectionLost(e);
}
