// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames.h"

#include <cmath>

#include "values.h"

namespace Frames {

namespace {

    bool isDigit(QChar c)
    {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }

} // namespace

Parts split(const QString &text)
{
    Parts parts;
    int k = 1;
    while (k < text.size() && isDigit(text[k]))
        ++k;
    if (k >= text.size())
        return parts; // no letter at all: everything empty, a plain command
    parts.codeText = text.mid(1, k - 1);
    parts.letter = text.mid(k, 1);
    if (text.size() - 1 > k + 1)
        parts.valueText = text.mid(k + 1, text.size() - 1 - (k + 1));
    if (k == 1)
        parts.kind = Kind::Plain;
    else if (k + 2 == text.size())
        parts.kind = Kind::Read;
    else
        parts.kind = Kind::Write;
    return parts;
}

bool replyMatches(const QString &command, const QString &reply)
{
    using Values::IsNumeric;
    using Values::Val;
    const Parts c = split(command);
    const Parts r = split(reply);
    switch (c.kind) {
    case Kind::Plain: {
        if (!r.valueText.isEmpty() && !IsNumeric(r.valueText))
            return false;
        const int n = command.size() - 1;
        return n < 1 || reply.left(n) == command.left(n);
    }
    case Kind::Read:
        return Val(c.codeText) == Val(r.codeText) && c.letter == r.letter && IsNumeric(r.valueText);
    case Kind::Write:
        return std::fabs(Val(c.valueText) - Val(r.valueText)) <= 0.01 && Val(c.codeText) == Val(r.codeText)
            && c.letter == r.letter && IsNumeric(r.valueText) && IsNumeric(c.valueText);
    }
    return false;
}

QString itemName(const QString &codeText)
{
    static const struct
    {
        const char *code;
        const char *name;
    } names[] = {
        { "3", "Rate Units" },
        { "4", "Rate Interval" },
        { "7", "Specific Gravity" },
        { "8", "K factor Units" },
        { "9", "K factor" },
        { "11", "Damping" },
        { "13", "Min DAC Value" },
        { "14", "Max DAC Value" },
        { "15", "Min Flow" },
        { "16", "Max Flow" },
        { "99", "Analog Output Test" },
        { "100", "Number of Linear Points" },
    };
    for (const auto &n : names) {
        if (codeText == QLatin1String(n.code))
            return QLatin1String(n.name);
    }
    // Linear points: 101, 103 ... 119 frequencies and 102 ... 120 flows, compared as exact texts.
    for (int i = 0; i < 10; ++i) {
        if (codeText == QString::number(101 + 2 * i))
            return QStringLiteral("Frequency Linear Pt %1").arg(i + 1);
        if (codeText == QString::number(102 + 2 * i))
            return QStringLiteral("Flow Linear Pt %1").arg(i + 1);
    }
    return QStringLiteral("Unknown Item");
}

QString deviceErrorText(double number)
{
    static const char *const texts[] = { "INVALID COMMAND", "INVALID PARAMETER", "INVALID PARAMETER TYPE",
        "VALUE TOO LOW", "VALUE TOO HIGH", "INVALID MESSAGE FORMAT" };
    for (int n = 10; n <= 15; ++n) {
        if (number == n)
            return QStringLiteral("Device Error %1, %2").arg(n).arg(QLatin1String(texts[n - 10]));
    }
    return QString();
}

} // namespace Frames
