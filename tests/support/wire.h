// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

// The one markup for bytes on the wire in tests and in the tables under tests/data:
// "<STX>3i<CR>" stands for 02 '3' 'i' 0D.
inline QByteArray wireBytes(const QString &markup)
{
    return QString(markup)
        .replace(QStringLiteral("<STX>"), QChar(2))
        .replace(QStringLiteral("<CR>"), QChar(13))
        .toLatin1();
}

inline QString wireMarkup(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes)
        .replace(QChar(2), QStringLiteral("<STX>"))
        .replace(QChar(13), QStringLiteral("<CR>"));
}

// Frames as the simulator logs them: frames("3i 4i") -> {"<STX>3i<CR>", "<STX>4i<CR>"}.
inline QStringList frames(const QString &bodies)
{
    QStringList out;
    for (const QString &b : bodies.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out << QStringLiteral("<STX>") + b + QStringLiteral("<CR>");
    return out;
}

// A saved setup file: the header line, then one line for each "code=value" entry.
inline QByteArray setupFile(const QStringList &entries)
{
    QString text = QStringLiteral("Parameter <Equals> Value\r\n");
    for (const QString &e : entries)
        text += e + QStringLiteral("\r\n");
    return text.toLatin1();
}

inline QStringList words(const QString &text)
{
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Readable QString values, control characters as markup, in GoogleTest failure output.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << wireMarkup(s.toLatin1()).toStdString() << '"';
}
