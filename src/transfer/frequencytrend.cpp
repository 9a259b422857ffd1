// SPDX-License-Identifier: GPL-3.0-or-later
#include "frequencytrend.h"

#include <algorithm>
#include <cmath>

#include <QDateTime>
#include <QIODevice>

#include "link/exportfile.h"
#include "link/userdialogs.h"

FrequencyTrend::FrequencyTrend(UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_dialogs(dialogs)
    , m_clock([] { return QDateTime::currentMSecsSinceEpoch(); })
{
}

void FrequencyTrend::add(qint64 atMs, double hz)
{
    Reading r { atMs, hz, m_breakPending };
    m_breakPending = false;
    if (m_readings.empty()) {
        r.startsLine = true;
    } else {
        // A clock set back must not unsort the readings, which the spans are searched in.
        const Reading &last = m_readings.back();
        r.atMs = std::max(r.atMs, last.atMs);
        r.startsLine = r.startsLine || r.atMs - last.atMs > GapMs;
    }
    if (m_firstMs < 0)
        m_firstMs = r.atMs;
    m_readings.push_back(r);
    while (!m_readings.empty()
        && (m_readings.front().atMs < r.atMs - KeptMs || int(m_readings.size()) > MaxReadings))
        m_readings.pop_front();
    emit readingAdded();
}

void FrequencyTrend::clear()
{
    m_readings.clear();
    m_firstMs = -1;
    m_breakPending = false;
    emit changed();
}

void FrequencyTrend::setSpanMinutes(int minutes)
{
    m_spanMinutes = minutes <= 1 ? 1 : minutes <= 10 ? 10 : 60;
    emit changed();
}

void FrequencyTrend::setPaused(bool paused)
{
    if (paused && !m_paused)
        m_pausedAtMs = now();
    m_paused = paused;
    emit changed();
}

std::pair<size_t, size_t> FrequencyTrend::indexRange(qint64 fromMs, qint64 toMs) const
{
    const auto first = std::lower_bound(m_readings.begin(), m_readings.end(), fromMs,
        [](const Reading &r, qint64 ms) { return r.atMs < ms; });
    const auto last = std::upper_bound(
        first, m_readings.end(), toMs, [](qint64 ms, const Reading &r) { return ms < r.atMs; });
    return { size_t(first - m_readings.begin()), size_t(last - m_readings.begin()) };
}

FrequencyTrend::Statistics FrequencyTrend::statistics(qint64 endMs) const
{
    Statistics s;
    const auto [from, to] = indexRange(endMs - spanMs(), endMs);
    if (from == to)
        return s;
    s.count = int(to - from);
    s.now = m_readings[to - 1].hz;
    s.min = s.max = m_readings[from].hz;
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) {
        const double hz = m_readings[i].hz;
        s.min = std::min(s.min, hz);
        s.max = std::max(s.max, hz);
        sum += hz;
    }
    s.mean = sum / s.count;
    // Deviations from the mean, not the difference of two large sums, which loses the jitter.
    double squares = 0.0;
    for (size_t i = from; i < to; ++i)
        squares += (m_readings[i].hz - s.mean) * (m_readings[i].hz - s.mean);
    s.stdDev = std::sqrt(squares / s.count);
    return s;
}

QList<QList<QPointF>> FrequencyTrend::lines(qint64 endMs, int columns) const
{
    QList<QList<QPointF>> result;
    const qint64 fromMs = endMs - spanMs();
    const auto [from, to] = indexRange(fromMs, endMs);
    columns = std::max(columns, 1);
    const bool thin = int(to - from) > 2 * columns;
    const double columnMs = double(spanMs()) / columns;

    QList<QPointF> line;
    // The lowest and highest reading of the column being filled, kept in time order.
    qint64 column = -1;
    size_t low = 0;
    size_t high = 0;
    auto point = [this](size_t i) { return QPointF(double(m_readings[i].atMs), m_readings[i].hz); };
    auto flushColumn = [&] {
        if (column < 0)
            return;
        line << point(std::min(low, high));
        if (low != high)
            line << point(std::max(low, high));
        column = -1;
    };
    for (size_t i = from; i < to; ++i) {
        if (i != from && m_readings[i].startsLine) {
            flushColumn();
            result << line;
            line.clear();
        }
        if (!thin) {
            line << point(i);
            continue;
        }
        const qint64 c = qint64((m_readings[i].atMs - fromMs) / columnMs);
        if (c != column) {
            flushColumn();
            column = c;
            low = high = i;
        } else if (m_readings[i].hz < m_readings[low].hz) {
            low = i;
        } else if (m_readings[i].hz > m_readings[high].hz) {
            high = i;
        }
    }
    flushColumn();
    if (!line.isEmpty())
        result << line;
    return result;
}

QString FrequencyTrend::digitsText(const Statistics &s, double value)
{
    if (s.count == 0)
        return QStringLiteral("-");
    return QString::number(qint64(value)).rightJustified(4, QLatin1Char('0'));
}

QString FrequencyTrend::decimalText(const Statistics &s, double value)
{
    if (s.count == 0)
        return QStringLiteral("-");
    return QString::number(value, 'f', 2);
}

QString FrequencyTrend::csvHeader()
{
    return QStringLiteral("Time,Seconds,Hz\r\n");
}

QString FrequencyTrend::csvRow(qint64 atMs, qint64 firstMs, double hz)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(atMs);
    const QString time = local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
    return QStringLiteral("%1,%2,%3\r\n")
        .arg(time, QString::number(double(atMs - firstMs) / 1000.0, 'f', 3), QString::number(hz));
}

QString FrequencyTrend::csv() const
{
    QString text = csvHeader();
    for (const Reading &r : m_readings)
        text += csvRow(r.atMs, m_firstMs, r.hz);
    return text;
}

void FrequencyTrend::exportCsv()
{
    const QByteArray bytes = csv().toUtf8();
    ExportFile::saveAs(m_dialogs,
        { QStringLiteral("Export CSV"), QStringLiteral("CSV File (*.csv)"), QStringLiteral("csv"),
            QStringLiteral("Unable to export the readings to %1:\r%2") },
        [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); });
}
