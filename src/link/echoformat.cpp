// SPDX-License-Identifier: GPL-3.0-or-later
#include "echoformat.h"

namespace EchoFormat {

QString controlName(uchar code)
{
    static const char *const names[32] = { "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS", "HT",
        "LF", "VT", "FF", "CR", "SO", "SI", "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN",
        "EM", "SUB", "ESC", "FS", "GS", "RS", "US" };
    if (code < 32)
        return QLatin1Char('<') + QLatin1String(names[code]) + QLatin1Char('>');
    if (code == 127)
        return QStringLiteral("<DEL>");
    return QString();
}

QString character(uchar code, TrafficEcho::Mode mode)
{
    switch (mode) {
    case TrafficEcho::Mode::Ascii: {
        const QString name = controlName(code);
        return name.isEmpty() ? QString(QLatin1Char(char(code))) : name;
    }
    case TrafficEcho::Mode::Hex:
        return QStringLiteral("%1 ").arg(code, 2, 16, QLatin1Char('0')).toUpper();
    case TrafficEcho::Mode::None:
        break;
    }
    return QString();
}

QString text(const QString &latin1, TrafficEcho::Mode mode)
{
    QString out;
    for (const QChar c : latin1)
        out += character(uchar(c.unicode() & 0xFF), mode);
    return out;
}

} // namespace EchoFormat
