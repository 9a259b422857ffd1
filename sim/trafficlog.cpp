// SPDX-License-Identifier: GPL-3.0-or-later
#include "trafficlog.h"

#include <QFile>

#include "link/echoformat.h"

TrafficLog::~TrafficLog()
{
    if (m_file)
        std::fclose(m_file);
}

bool TrafficLog::openFile(const QString &path)
{
    m_file = std::fopen(QFile::encodeName(path).constData(), "w");
    return m_file != nullptr;
}

void TrafficLog::add(const QString &line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lines << line;
    if (m_file) {
        std::fputs(line.toUtf8().constData(), m_file);
        std::fputc('\n', m_file);
        std::fflush(m_file);
    }
}

QStringList TrafficLog::lines() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lines;
}

QString TrafficLog::markup(const QByteArray &bytes)
{
    QString out;
    for (const char ch : bytes) {
        const uchar c = uchar(ch);
        if (c >= 128)
            out += QStringLiteral("<x") + QString::number(c, 16).toUpper().rightJustified(2, QLatin1Char('0'))
                + QLatin1Char('>');
        else if (const QString name = EchoFormat::controlName(c); !name.isEmpty())
            out += name;
        else
            out += QLatin1Char(ch);
    }
    return out;
}
