#pragma once

#include <QByteArray>
#include <QString>

// Test markup for bytes on the wire: "<STX>3i<CR>" stands for 02 '3' 'i' 0D.
inline QByteArray wireBytes(const QString &markup)
{
    QString s = markup;
    s.replace(QStringLiteral("<STX>"), QString(QChar(2)));
    s.replace(QStringLiteral("<CR>"), QString(QChar(13)));
    return s.toLatin1();
}

inline QString wireMarkup(const QByteArray &bytes)
{
    QString s = QString::fromLatin1(bytes);
    s.replace(QChar(2), QStringLiteral("<STX>"));
    s.replace(QChar(13), QStringLiteral("<CR>"));
    return s;
}

#include <ostream>

// Readable QString values in GoogleTest failure output.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << wireMarkup(s.toLatin1()).replace(QChar(13), QStringLiteral("\\r")).toStdString() << '"';
}
