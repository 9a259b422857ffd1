// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QString>
#include <QTime>

// Time stamps for the monitor's traffic text: while switched on, each "TX-->  " row starts with
// the time of day, each "RX-->  " row with the time its first character arrived, and a reply row
// that the device completed ends with the time from the command to the end of the reply.
// Switched off, the text passes through unchanged.
class TrafficStamps final
{
public:
    struct Clock
    {
        std::function<QTime()> timeOfDay;
        std::function<qint64()> milliseconds; // monotonic, for the reply times
    };

    static Clock systemClock();

    explicit TrafficStamps(Clock clock = systemClock());

    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setEnabled(bool on) { m_enabled = on; }
    bool enabled() const { return m_enabled; }

    // The text as it goes on to the traffic text, stamps inserted. Rows are told apart by the
    // breaks the link writes: CR LF after a received CR, CR LF before each "TX-->  ".
    QString process(const QString &text);
    // The traffic text was emptied: the next text starts a row.
    void reset();
    // A reply row's start that waits for its first character, as it would show if cut now.
    QString held() const;

    static QString stamp(const QTime &time); // "12:04:09.125  "
    static QString replyTime(qint64 milliseconds); // "  (18 ms)"

private:
    enum class Row { Other, Tx, Rx };

    QString releasePrefix(bool arrived);

    Clock m_clock;
    bool m_enabled = false;
    bool m_atRowStart = true;
    Row m_row = Row::Other;
    qsizetype m_rowLength = 0;
    qint64 m_commandEnd = 0;
    bool m_heldPrefix = false; // "RX-->  " is held back until its row's first character
};
