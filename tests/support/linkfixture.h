// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <utility>

#include <QStringList>
#include <QTimer>

#include "fakeuserdialogs.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/replytimer.h"
#include "wire.h"

// A reply timer the test fires by hand; like the real one it expires only while running.
class ManualReplyTimer final : public ReplyTimer
{
public:
    int starts = 0;

    void start() override
    {
        m_active = true;
        ++starts;
    }
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

// A port in memory: records writes, runs one reaction per write later, hands out `chunk` bytes (0 = all).
class FakeDevicePort final : public DevicePort
{
public:
    QByteArray wire;
    int writes = 0, opens = 0, chunk = 0;
    Error openError, writeError; // returned by the next open() / write()
    std::deque<std::function<void()>> reactions;

    Error open(const QString &) override
    {
        ++opens;
        m_open = !openError;
        return std::exchange(openError, Error {});
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void discardInput() override { m_in.clear(); }
    Error write(const QByteArray &data) override
    {
        if (writeError)
            return std::exchange(writeError, Error {});
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
        const QByteArray out = m_in.left(chunk > 0 ? chunk : m_in.size());
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

// The link over the given port and reply timer, with the state as the main window leaves it.
template <class Port, class Timer> struct LinkFixture
{
    DeviceState state;
    Port port;
    Timer timer;
    FakeUserDialogs dialogs;
    LinkEngine link { state, port, timer, dialogs };
    ExchangeOutcome outcome; // of the last send
    QStringList statuses;

    template <class... PortArgs>
    explicit LinkFixture(PortArgs &&...args)
        : port(std::forward<PortArgs>(args)...)
    {
        state.ReplyReceived = state.AutoFrame = true;
        QObject::connect(&link, &LinkEngine::statusTextChanged, [this](const QString &s) { statuses << s; });
    }
    void usePath(const QString &path)
    {
        link.setPortResolver([path](int) { return path; });
    }
    QString send(const QString &body)
    {
        state.CommandString = body;
        outcome = link.SendCommand();
        return state.ReplyValue;
    }
    // Markup arrives as received bytes; each '~' fires the reply timer (fake port and timer only).
    void react(const QString &reaction)
    {
        const QStringList steps = reaction.split(QLatin1Char('~'));
        for (int i = 0; i < steps.size(); ++i) {
            port.feed(wireBytes(steps[i]));
            if (i + 1 < steps.size())
                timer.fire();
        }
    }
    // One reaction per transmission, in order.
    void script(const QStringList &reactions)
    {
        for (const QString &r : reactions)
            port.reactions.push_back([this, r] { react(r); });
    }
};
