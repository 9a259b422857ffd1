// SPDX-License-Identifier: GPL-3.0-or-later
#include "values.h"

#include <cfloat>
#include <cmath>

namespace Values {

namespace {

    bool isDigit(QChar c)
    {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }

    bool isBlank(QChar c)
    {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t');
    }

    // Length of the numeric prefix starting at pos (0 when there is none); sign, digits, one point, exponent.
    int numberPrefix(const QString &text, int pos, QChar decimalPoint, bool *hasDigits)
    {
        const int n = text.size();
        int i = pos;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            ++i;
        int digits = 0;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
        if (i < n && text[i] == decimalPoint) {
            ++i;
            while (i < n && isDigit(text[i])) {
                ++i;
                ++digits;
            }
        }
        *hasDigits = digits > 0;
        if (!*hasDigits)
            return 0;
        // An exponent counts only when digits follow it; "2E" reads as 2.
        if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
            int j = i + 1;
            if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
                ++j;
            if (j < n && isDigit(text[j])) {
                while (j < n && isDigit(text[j]))
                    ++j;
                i = j;
            }
        }
        return i - pos;
    }

    double parsePrefix(const QString &prefix, QChar decimalPoint)
    {
        // QString::toDouble is locale-independent, unlike strtod under the user's LC_NUMERIC.
        QString c = prefix;
        if (decimalPoint != QLatin1Char('.'))
            c.replace(decimalPoint, QLatin1Char('.'));
        return c.toDouble();
    }

} // namespace

double Val(const QString &text)
{
    int pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    bool hasDigits = false;
    const int len = numberPrefix(text, pos, QLatin1Char('.'), &hasDigits);
    if (len == 0)
        return 0.0;
    return parsePrefix(text.mid(pos, len), QLatin1Char('.'));
}

std::optional<qint16> IntOf(double value)
{
    if (std::isnan(value))
        return std::nullopt;
    const double r = std::nearbyint(value); // the default rounding mode rounds halves to even
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<qint16>(r);
}

qint16 CInt(double value)
{
    if (std::isnan(value))
        throw OverflowError("not a number");
    if (const std::optional<qint16> n = IntOf(value))
        return *n;
    throw OverflowError("value does not fit a 16-bit integer");
}

qint32 CLng(double value)
{
    if (std::isnan(value))
        throw OverflowError("not a number");
    const double r = std::nearbyint(value);
    if (r < -2147483648.0 || r > 2147483647.0)
        throw OverflowError("value does not fit a 32-bit integer");
    return static_cast<qint32>(r);
}

std::optional<float> SingleOf(double value)
{
    if (std::isnan(value) || (std::isfinite(value) && std::fabs(value) > double(FLT_MAX)))
        return std::nullopt;
    return static_cast<float>(value);
}

float CSng(double value)
{
    if (const std::optional<float> n = SingleOf(value))
        return *n;
    throw OverflowError("value does not fit a single");
}

bool IsNumeric(const QString &text, QChar decimalPoint)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool hasDigits = false;
    const int len = numberPrefix(t, 0, decimalPoint, &hasDigits);
    return hasDigits && len == t.size();
}

QString FormatSingle(float value, QChar decimalPoint)
{
    if (value == 0.0f)
        return QStringLiteral("0"); // also for -0
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    QString text = QString::number(double(value), 'G', 7);
    if (decimalPoint != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), decimalPoint);
    return text;
}

QString FormatInt(qint32 value)
{
    return QString::number(value);
}

bool StoreSingle(const QString &text, float &target)
{
    const double value = Val(text);
    if (!std::isfinite(value) || std::fabs(value) > double(FLT_MAX))
        return false;
    target = static_cast<float>(value);
    return true;
}

bool StoreInt(const QString &text, qint16 &target)
{
    try {
        target = CInt(Val(text));
        return true;
    } catch (const OverflowError &) {
        return false;
    }
}

bool FitsSingle(const QString &text)
{
    float unused = 0.0f;
    return StoreSingle(text, unused);
}

bool FitsInt(const QString &text)
{
    qint16 unused = 0;
    return StoreInt(text, unused);
}

QString TrimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

} // namespace Values
