// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <mutex>

#include <QByteArray>
#include <QString>
#include <QStringList>

// The simulator's record of the wire: "recv <STX>3i<CR>" for what the utility sent,
// "send <STX>3i2<CR>" for the answer, "fault drop" and the like for injected faults.
// Kept in memory and, when a path is given, flushed to a file line by line.
class TrafficLog final
{
public:
    TrafficLog() = default;
    ~TrafficLog();
    TrafficLog(const TrafficLog &) = delete;
    TrafficLog &operator=(const TrafficLog &) = delete;

    bool openFile(const QString &path);
    void add(const QString &line);
    QStringList lines() const;

    // Bytes as log text: control characters by name (<STX>), bytes from 128 as <xE9>.
    static QString markup(const QByteArray &bytes);

private:
    mutable std::mutex m_mutex;
    QStringList m_lines;
    std::FILE *m_file = nullptr;
};
