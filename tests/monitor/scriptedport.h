#pragma once

#include <deque>

#include <QList>
#include <QTimer>

#include "link/deviceport.h"
#include "link/replytimer.h"

// A device port in memory: records the wire and answers each write with the next scripted
// reply from the event loop, as a device answers later. An empty reply stays silent.
class ScriptedPort final : public DevicePort
{
    Q_OBJECT
public:
    QList<QByteArray> writes;
    std::deque<QByteArray> replies;

    Error open(const QString &) override
    {
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void discardInput() override { m_in.clear(); }
    Error write(const QByteArray &data) override
    {
        writes << data;
        if (!replies.empty()) {
            const QByteArray reply = replies.front();
            replies.pop_front();
            if (!reply.isEmpty())
                QTimer::singleShot(0, this, [this, reply] { feed(reply); });
        }
        return {};
    }
    QByteArray readAll() override { return std::exchange(m_in, QByteArray()); }

    void feed(const QByteArray &bytes)
    {
        m_in += bytes;
        emit dataReceived();
    }

private:
    bool m_open = false;
    QByteArray m_in;
};

// A reply timer that expires only when the test says so.
class HandTimer final : public ReplyTimer
{
    Q_OBJECT
public:
    void start() override { m_active = true; }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    void fire()
    {
        if (m_active)
            emit expired();
    }

private:
    bool m_active = false;
};
