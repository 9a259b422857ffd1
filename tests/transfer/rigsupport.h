#pragma once

#include <ostream>

#include <QFile>
#include <QStringList>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// Frames as the simulator logs them: frames("3i 4i") -> {"<STX>3i<CR>", "<STX>4i<CR>"}.
inline QStringList frames(const QString &bodies)
{
    QStringList out;
    for (const QString &b : bodies.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out << QStringLiteral("<STX>") + b + QStringLiteral("<CR>");
    return out;
}

inline QStringList words(const char *text)
{
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}
