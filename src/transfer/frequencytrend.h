// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <utility>

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>

class UserDialogs;

// The frequency poll's readings of the last hour, for the trend window and the CSV export: the
// rolling span's statistics, the chart's lines with their gaps, Pause and Clear.
class FrequencyTrend final : public QObject
{
    Q_OBJECT

public:
    struct Reading
    {
        qint64 atMs = 0; // milliseconds since the epoch
        double hz = 0.0; // as the four digits show it
        bool startsLine = false; // the poll stopped or missed before it: the chart leaves a gap
    };

    struct Statistics
    {
        int count = 0;
        double now = 0.0; // the latest reading of the span
        double min = 0.0;
        double max = 0.0;
        double mean = 0.0;
        double stdDev = 0.0; // of the readings themselves (divided by their count)
    };

    // Readings older than the longest span are dropped; the count cap bounds memory also if
    // readings ever come faster than the 400 ms poll.
    static constexpr qint64 KeptMs = 60 * 60 * 1000;
    static constexpr int MaxReadings = 2 * int(KeptMs / 400);
    // Readings further apart than this are not joined by a line, whatever the poll told.
    static constexpr qint64 GapMs = 2000;

    explicit FrequencyTrend(UserDialogs &dialogs, QObject *parent = nullptr);

    // The time source of addNow() and now(); tests give their own.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    qint64 now() const { return m_clock(); }

    void add(qint64 atMs, double hz);
    void addNow(double hz) { add(now(), hz); }
    // The next reading starts a new line: a poll gave nothing, or polling stopped.
    void breakLine() { m_breakPending = true; }
    void clear();

    const std::deque<Reading> &readings() const { return m_readings; }

    int spanMinutes() const { return m_spanMinutes; }
    void setSpanMinutes(int minutes); // 1, 10 or 60
    qint64 spanMs() const { return qint64(m_spanMinutes) * 60 * 1000; }

    // Pause freezes what is shown at the moment of the pause; readings go on being recorded.
    bool isPaused() const { return m_paused; }
    void setPaused(bool paused);
    // The end of the shown span: now, or the moment of the pause.
    qint64 viewEnd() const { return m_paused ? m_pausedAtMs : now(); }

    Statistics statistics(qint64 endMs) const;
    // The readings of the span ending at endMs as lines, one per stretch without a gap. A line with
    // more points than two per column keeps each column's lowest and highest reading.
    QList<QList<QPointF>> lines(qint64 endMs, int columns) const;

    // Now, Min and Max as the display shows them (four digits), Mean and Std Dev to 0.01 Hz;
    // "-" while the span holds no reading.
    static QString digitsText(const Statistics &s, double value);
    static QString decimalText(const Statistics &s, double value);

    // The CSV of every reading kept: a header row, then the time (ISO 8601, local time with its
    // offset, to the millisecond), seconds since the first reading and Hz, CR LF rows.
    static QString csvHeader();
    static QString csvRow(qint64 atMs, qint64 firstMs, double hz);
    QString csv() const;
    // "Export CSV...": asks for a file and writes csv() there whole, or says why it could not.
    void exportCsv();

Q_SIGNALS:
    void readingAdded();
    void changed(); // cleared, or the span or the pause changed

private:
    std::pair<size_t, size_t> indexRange(qint64 fromMs, qint64 toMs) const;

    UserDialogs &m_dialogs;
    std::function<qint64()> m_clock;
    std::deque<Reading> m_readings;
    qint64 m_firstMs = -1; // the first reading since the start or the last Clear
    bool m_breakPending = false;
    int m_spanMinutes = 10;
    bool m_paused = false;
    qint64 m_pausedAtMs = 0;
};
