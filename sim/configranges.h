// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <map>
#include <vector>

#include <QString>

// The limits the device enforces, read from the utility's configuration file format:
// label=code,min,max[,list...]; code 9 may carry two pairs; 101/102 cover every linear point;
// -1 carries the version text.
class ConfigRanges final
{
public:
    struct Range
    {
        double minimum = 0.0;
        double maximum = 0.0;
    };

    bool read(const QString &path, QString *error = nullptr);
    void parseLine(const QString &line);

    // The limits of an item code (pair selects the K factor pair), or nothing when not configured.
    const Range *range(int code, int pair = 0) const;
    void setRange(int code, Range range) { m_ranges[code] = { range }; }
    QString version() const { return m_version; }

private:
    std::map<int, std::vector<Range>> m_ranges;
    QString m_version;
};
