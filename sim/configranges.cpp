// SPDX-License-Identifier: GPL-3.0-or-later
#include "configranges.h"

#include <QFile>
#include <QTextStream>

#include "link/values.h"

bool ConfigRanges::read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Latin1);
    while (!in.atEnd())
        parseLine(in.readLine());
    return true;
}

void ConfigRanges::parseLine(const QString &line)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return;
    const QString rest = line.mid(eq + 1);
    QStringList fields = rest.split(QLatin1Char(','));
    for (QString &f : fields)
        f = f.trimmed();
    if (fields.size() < 2)
        return;
    const double code = Values::Val(fields[0]);
    if (code == -1) {
        m_version = rest.mid(rest.indexOf(QLatin1Char(',')) + 1).trimmed();
        return;
    }
    if (code <= 0 || fields[1].isEmpty())
        return;
    Range first { Values::Val(fields[1]), Values::Val(fields.value(2, fields[1])) };
    if (fields.size() >= 3 && fields[2].isEmpty())
        return; // "code,min," names no range
    std::vector<Range> ranges { first };
    if (int(code) == 9 && fields.size() >= 4) {
        Range second { Values::Val(fields[3]), fields.size() >= 5 ? Values::Val(fields[4]) : first.maximum };
        ranges.push_back(second);
    }
    m_ranges[int(code)] = ranges;
}

const ConfigRanges::Range *ConfigRanges::range(int code, int pair) const
{
    // Every linear point shares the range of the first one.
    if (code > 102 && code <= 120)
        code = (code % 2) ? 101 : 102;
    const auto it = m_ranges.find(code);
    if (it == m_ranges.end() || it->second.empty())
        return nullptr;
    const auto &r = it->second;
    return &r[std::min<size_t>(size_t(std::max(pair, 0)), r.size() - 1)];
}
