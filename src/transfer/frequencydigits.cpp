// SPDX-License-Identifier: GPL-3.0-or-later
#include "frequencydigits.h"

#include "link/values.h"

namespace FrequencyDigits {

std::optional<QString> padded(const QString &reply)
{
    if (!Values::IsNumeric(reply) || Values::Val(reply) >= 9999)
        return std::nullopt;
    QString text = reply;
    const QLatin1Char zero('0');
    // Each test reads the text as it stands after the previous pad.
    if (Values::Val(text) < 1000)
        text.prepend(zero);
    if (Values::Val(text) < 100)
        text.prepend(zero);
    if (Values::Val(text) < 10)
        text.prepend(zero);
    return text;
}

QString digit(const QString &padded, int i)
{
    return padded.mid(i, 1);
}

double shownHz(const QString &padded)
{
    return Values::Val(padded.left(4));
}

} // namespace FrequencyDigits
