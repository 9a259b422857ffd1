// SPDX-License-Identifier: GPL-3.0-or-later
#include "trafficstamps.h"

#include <algorithm>

#include <QElapsedTimer>

namespace {

const QString TxPrefix = QStringLiteral("TX-->  ");
const QString RxPrefix = QStringLiteral("RX-->  ");

bool isBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

} // namespace

TrafficStamps::Clock TrafficStamps::systemClock()
{
    return { [] { return QTime::currentTime(); },
        [] {
            static QElapsedTimer started = [] {
                QElapsedTimer t;
                t.start();
                return t;
            }();
            return started.elapsed();
        } };
}

TrafficStamps::TrafficStamps(Clock clock)
    : m_clock(std::move(clock))
{
}

QString TrafficStamps::stamp(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral("  ");
}

QString TrafficStamps::replyTime(qint64 milliseconds)
{
    return QStringLiteral("  (%1 ms)").arg(milliseconds);
}

void TrafficStamps::reset()
{
    m_atRowStart = true;
    m_row = Row::Other;
    m_rowLength = 0;
    m_heldPrefix = false;
}

namespace {

// Where a stamp would stand on a reply row that nothing arrived on: the columns stay, no time is claimed.
QString blankStamp()
{
    return QString(TrafficStamps::stamp(QTime(0, 0)).size(), QLatin1Char(' '));
}

} // namespace

QString TrafficStamps::held() const
{
    return m_heldPrefix ? blankStamp() + RxPrefix : QString();
}

QString TrafficStamps::releasePrefix(bool arrived)
{
    m_heldPrefix = false;
    if (!m_enabled)
        return RxPrefix;
    return (arrived ? stamp(m_clock.timeOfDay()) : blankStamp()) + RxPrefix;
}

QString TrafficStamps::process(const QString &text)
{
    // Most calls carry one received character in the middle of a row.
    const qsizetype n = text.size();
    if (!m_atRowStart && std::none_of(text.begin(), text.end(), isBreak)) {
        m_rowLength += n;
        return m_heldPrefix && n > 0 ? releasePrefix(true) + text : text;
    }

    QString out;
    out.reserve(n + 32);
    qsizetype i = 0;
    while (i < n) {
        if (m_atRowStart && !isBreak(text[i])) {
            m_atRowStart = false;
            m_rowLength = 0;
            const QStringView rest = QStringView(text).mid(i);
            m_row = rest.startsWith(TxPrefix) ? Row::Tx : rest.startsWith(RxPrefix) ? Row::Rx : Row::Other;
            if (m_row == Row::Rx)
                m_commandEnd = m_clock.milliseconds(); // the command was echoed just before it goes out
            if (m_row == Row::Tx && m_enabled)
                out += stamp(m_clock.timeOfDay());
            // A reply row is stamped when its first character arrives, which is not yet known.
            if (m_row == Row::Rx && m_enabled) {
                m_heldPrefix = true;
                m_rowLength = RxPrefix.size();
                i += RxPrefix.size();
                continue;
            }
        }
        qsizetype j = i;
        while (j < n && !isBreak(text[j]))
            ++j;
        if (m_heldPrefix)
            out += releasePrefix(j > i);
        out += QStringView(text).mid(i, j - i);
        m_rowLength += j - i;
        if (j == n)
            break;

        const qsizetype breakLength
            = text[j] == QLatin1Char('\r') && j + 1 < n && text[j + 1] == QLatin1Char('\n') ? 2 : 1;
        // A reply row ends complete with the break after its CR; a row cut short by the next
        // command (time-out, resend) gets no reply time.
        const bool cutByCommand = QStringView(text).mid(j + breakLength).startsWith(TxPrefix);
        if (m_row == Row::Rx && m_enabled && m_rowLength > RxPrefix.size() && !cutByCommand)
            out += replyTime(m_clock.milliseconds() - m_commandEnd);
        out += QStringView(text).mid(j, breakLength);
        i = j + breakLength;
        m_atRowStart = true;
        m_row = Row::Other;
        m_rowLength = 0;
    }
    return out;
}
