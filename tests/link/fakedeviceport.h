#pragma once

#include <deque>
#include <functional>
#include <utility>

#include <QTimer>

#include "link/deviceport.h"

// A port in memory: records the writes, runs one scripted reaction per write from the event loop
// (as a device answers later) and hands received bytes out in chunks of `chunk` bytes (0 = all).
class FakeDevicePort final : public DevicePort
{
    Q_OBJECT
public:
    QByteArray wire;
    int writes = 0;
    int opens = 0;
    int chunk = 0;
    Error openError; // returned by the next open()
    Error writeError; // returned by the next write()
    std::deque<std::function<void()>> reactions;

    Error open(const QString &) override
    {
        ++opens;
        if (openError)
            return std::exchange(openError, Error{});
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void discardInput() override { m_in.clear(); }
    Error write(const QByteArray &data) override
    {
        if (writeError)
            return std::exchange(writeError, Error{});
        wire += data;
        ++writes;
        if (!reactions.empty()) {
            QTimer::singleShot(0, this, reactions.front());
            reactions.pop_front();
        }
        return {};
    }
    QByteArray readAll() override
    {
        const QByteArray out = m_in.left(chunk > 0 ? chunk : int(m_in.size()));
        m_in.remove(0, out.size());
        return out;
    }
    void feed(const QByteArray &bytes)
    {
        m_in += bytes;
        while (!m_in.isEmpty())
            emit dataReceived();
    }
    void vanish(const Error &error)
    {
        m_open = false;
        emit connectionLost(error);
    }

private:
    bool m_open = false;
    QByteArray m_in;
};
