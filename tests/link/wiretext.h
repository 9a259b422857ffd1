#pragma once

#include <ostream>

#include <QByteArray>
#include <QString>

// Test markup for bytes on the wire: "<STX>3i<CR>" stands for 02 '3' 'i' 0D.
inline QByteArray wireBytes(const QString &markup)
{
    return QString(markup).replace("<STX>", QChar(2)).replace("<CR>", QChar(13)).toLatin1();
}

inline QString wireMarkup(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes).replace(QChar(2), "<STX>").replace(QChar(13), "<CR>");
}

// Readable QString values in GoogleTest failure output.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << wireMarkup(s.toLatin1()).toStdString() << '"';
}
