// SPDX-License-Identifier: GPL-3.0-or-later
#include "fieldrange.h"

#include <cmath>

#include "link/values.h"

namespace {

QString between(const QString &caption, const QString &minimum, const QString &maximum)
{
    return caption + QStringLiteral("  Field must be between ") + minimum + QStringLiteral(" and ") + maximum;
}

} // namespace

bool FieldRange::refusesInt(const QString &text, const IntItem &range)
{
    if (text.isEmpty())
        return false;
    // Not rounded: 12.5 passes a range of 0 to 20.
    const double number = Values::Val(text);
    return !Values::IsNumeric(text) || number > range.maximum || number < range.minimum;
}

bool FieldRange::refusesReal(const QString &text, const RealItem &range)
{
    if (text.isEmpty())
        return false;
    // A number beyond the single range (possible only through a set text) counts as out of range.
    float number = 0.0f;
    const double value = Values::Val(text);
    try {
        if (!std::isfinite(value))
            return true;
        number = Values::CSng(value);
    } catch (const Values::OverflowError &) {
        return true;
    }
    return !Values::IsNumeric(text) || number > range.maximum || number < range.minimum;
}

QString FieldRange::message(const QString &caption, const IntItem &range)
{
    return between(caption, Values::FormatInt(range.minimum), Values::FormatInt(range.maximum));
}

QString FieldRange::message(const QString &caption, const RealItem &range)
{
    return between(caption, Values::FormatSingle(range.minimum), Values::FormatSingle(range.maximum));
}
