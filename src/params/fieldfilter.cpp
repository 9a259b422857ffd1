// SPDX-License-Identifier: GPL-3.0-or-later
#include "fieldfilter.h"

#include <algorithm>

namespace {

constexpr char16_t Backspace = 8;

bool isTextCharacter(FieldFilter::Class filter, QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    return filter == FieldFilter::Class::Decimal && c == QLatin1Char('.');
}

} // namespace

bool FieldFilter::accepts(Class filter, QChar key)
{
    return key.unicode() == Backspace || isTextCharacter(filter, key);
}

QString FieldFilter::strip(Class filter, const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (QChar c : text) {
        if (isTextCharacter(filter, c))
            clean += c;
    }
    return clean;
}

QString FieldFilter::keepInserted(
    const QString &before, const QString &after, int &cursor, std::optional<Class> filter, int limit)
{
    const qsizetype oldSize = before.size();
    const qsizetype newSize = after.size();
    // The caret ends where the insertion ends, which settles where a run of equal characters was
    // typed into.
    qsizetype suffixMax = std::min(oldSize, newSize);
    if (cursor >= 0 && cursor <= newSize)
        suffixMax = std::min(suffixMax, newSize - cursor);
    qsizetype suffix = 0;
    while (suffix < suffixMax && before.at(oldSize - 1 - suffix) == after.at(newSize - 1 - suffix))
        ++suffix;
    const qsizetype prefixMax = std::min(oldSize, newSize) - suffix;
    qsizetype prefix = 0;
    while (prefix < prefixMax && before.at(prefix) == after.at(prefix))
        ++prefix;

    const QString inserted = after.mid(prefix, newSize - prefix - suffix);
    QString kept = filter ? strip(*filter, inserted) : inserted;
    if (limit > 0)
        kept.truncate(std::max<qsizetype>(0, limit - prefix - suffix));
    if (kept == inserted)
        return after;
    cursor = int(prefix + kept.size());
    return after.left(prefix) + kept + after.right(suffix);
}
