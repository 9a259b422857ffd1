// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <utility>

#include <QByteArray>
#include <QList>

#include "deviceresponder.h"
#include "link/deviceport.h"
#include "link/replytimer.h"

// Virtual milliseconds shared by the clocked port and its reply timer.
struct SoakClock
{
    qint64 now = 0;
};

// A reply timer that expires at a virtual time; the clocked port decides when that time has come.
class ClockedReplyTimer final : public ReplyTimer
{
public:
    explicit ClockedReplyTimer(SoakClock &clock, int intervalMs = 500)
        : m_clock(clock)
        , m_interval(intervalMs)
    {
    }

    void start() override
    {
        m_deadline = m_clock.now + m_interval;
        m_active = true;
    }
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    qint64 deadline() const { return m_deadline; }
    void expire()
    {
        m_active = false;
        emit expired();
    }

private:
    SoakClock &m_clock;
    int m_interval;
    bool m_active = false;
    qint64 m_deadline = 0;
};

// The simulated device behind an in-memory line with virtual time: replies (late ones included)
// arrive at their virtual moment, the reply timer expires at its own, and step() jumps straight to
// whichever comes first, so faults that cost seconds on a real line cost nothing here. The line
// can be unplugged and plugged in again. Every delivered frame remembers the command it answers
// and the fault injected into it, so a test can tell what the link accepted.
class ClockedPort final : public DevicePort
{
public:
    struct Delivered
    {
        QByteArray command; // the body it answers
        QByteArray reply; // the reply body
        QString fault; // "", "garble", "wrong-code", "delay"
    };

    ClockedPort(const SimOptions &options, SoakClock &clock, ClockedReplyTimer &timer)
        : m_responder(options)
        , m_clock(clock)
        , m_timer(timer)
    {
    }

    Error open(const QString &) override
    {
        if (m_unplugged)
            return { ErrorKind::NoSuchPort, NoSuchPortNumber, QStringLiteral("No such file or directory") };
        m_open = true;
        return {};
    }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    void discardInput() override { m_in.clear(); }
    QByteArray readAll() override { return std::exchange(m_in, QByteArray()); }

    Error write(const QByteArray &data) override
    {
        if (!m_open)
            return { ErrorKind::Other, 12, QStringLiteral("Device not open") };
        for (const char c : data) {
            if (c == '\x02')
                m_frame.clear();
            m_frame += c;
            if (c == '\x0d' && m_frame.startsWith('\x02'))
                onFrame(std::exchange(m_frame, QByteArray()));
        }
        return {};
    }

    // The cable is pulled while the next command is on its way; the port closes itself.
    void unplugAtNextCommand() { m_unplugNext = true; }
    // The same, once count more frames have gone out.
    void unplugAfterFrames(int count) { m_unplugAt = m_written + count; }
    void plugIn() { m_unplugged = false; }
    // Ends whatever waits: the line is lost now (a hang's way out).
    void loseLineNow()
    {
        m_open = false;
        emit connectionLost({ ErrorKind::Other, 5, QStringLiteral("Input/output error") });
    }
    bool unplugged() const { return m_unplugged; }

    // Moves virtual time to the next event and handles it; false when nothing at all is due.
    bool step()
    {
        const bool arrival = !m_arrivals.empty();
        if (!arrival && !m_timer.isActive())
            return false;
        if (arrival && (!m_timer.isActive() || m_arrivals.begin()->first.first <= m_timer.deadline())) {
            const auto first = m_arrivals.begin();
            m_clock.now = std::max(m_clock.now, first->first.first);
            const Arrival item = first->second;
            m_arrivals.erase(first);
            if (item.lost) {
                m_open = false;
                emit connectionLost({ ErrorKind::Other, 6, QStringLiteral("Resource error") });
            } else if (m_open) {
                m_last = item.delivered;
                if (item.delivered.reply.startsWith('E'))
                    ++m_errorFrames;
                m_in += '\x02' + item.delivered.reply + '\x0d';
                emit dataReceived();
            }
            return true;
        }
        m_clock.now = std::max(m_clock.now, m_timer.deadline());
        m_timer.expire();
        return true;
    }

    int framesWritten() const { return m_written; }
    int errorFramesDelivered() const { return m_errorFrames; }
    // Bodies of the frames written since the last call.
    QList<QByteArray> takeWritten() { return std::exchange(m_writtenBodies, {}); }
    const Delivered &lastDelivered() const { return m_last; }
    DeviceModel &model() { return m_responder.model(); }

private:
    struct Arrival
    {
        Delivered delivered;
        bool lost = false; // the line goes away instead
    };

    void onFrame(const QByteArray &frame)
    {
        ++m_written;
        m_writtenBodies << frame.mid(1, frame.size() - 2);
        if (m_unplugNext || m_written == m_unplugAt) {
            m_unplugNext = false;
            m_unplugAt = -1;
            m_unplugged = true;
            schedule(1, { {}, true });
            return;
        }
        const DeviceResponder::Response r = m_responder.respond(frame);
        if (r.frame.isEmpty())
            return; // dropped
        schedule(1 + r.delayMs,
            { { frame.mid(1, frame.size() - 2), r.frame.mid(1, r.frame.size() - 2), r.fault }, false });
    }

    void schedule(qint64 afterMs, Arrival arrival)
    {
        m_arrivals.emplace(std::make_pair(m_clock.now + afterMs, m_sequence++), std::move(arrival));
    }

    DeviceResponder m_responder;
    SoakClock &m_clock;
    ClockedReplyTimer &m_timer;
    bool m_open = false;
    bool m_unplugged = false;
    bool m_unplugNext = false;
    int m_unplugAt = -1;
    QByteArray m_frame;
    QByteArray m_in;
    std::map<std::pair<qint64, quint64>, Arrival> m_arrivals; // by time, then by order of sending
    quint64 m_sequence = 0;
    int m_written = 0;
    int m_errorFrames = 0;
    QList<QByteArray> m_writtenBodies;
    Delivered m_last;
};
