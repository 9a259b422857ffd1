#pragma once

#include <deque>
#include <functional>
#include <utility>

#include <QTimer>

#include "link/deviceport.h"

// A device port in memory: records what is written, runs one scripted reaction per write
// (queued, as a real device answers later) and hands received bytes out in chunks of a set size.
class FakeDevicePort final : public DevicePort
{
    Q_OBJECT
public:
    QByteArray wire;                        // everything written, in order
    int writes = 0;
    int opens = 0;
    int chunk = 0;                          // bytes per readAll(); 0 = all at once
    Error openError;                        // returned by the next open()
    Error writeError;                       // returned by the next write()
    std::deque<std::function<void()>> reactions; // one per write, run from the event loop

    Error open(const QString &path) override
    {
        lastPath = path;
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
        const int n = chunk > 0 ? chunk : int(m_in.size());
        const QByteArray out = m_in.left(n);
        m_in.remove(0, n);
        return out;
    }

    // Bytes arrive from the device.
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

    QString lastPath;

private:
    bool m_open = false;
    QByteArray m_in;
};
