#include "fieldfilter.h"

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
