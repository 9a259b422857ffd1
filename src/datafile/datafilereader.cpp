// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafilereader.h"

#include <QFile>
#include <QFileInfo>

#include "link/values.h"
#include "params/parameterset.h"

namespace DataFileReader {

namespace {

    double number(const QString &value, QChar decimalPoint)
    {
        return Values::Val(fieldText(value, decimalPoint));
    }

} // namespace

std::optional<QByteArray> load(const QString &path)
{
    // Only regular files: opening a pipe could block and a device could stream without end.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > MaxFileSize)
        return std::nullopt;
    return bytes;
}

std::vector<Line> parse(const QByteArray &bytes, QChar decimalPoint)
{
    const QString text = QString::fromLocal8Bit(bytes);
    std::vector<Line> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        Line line;
        line.number = int(lines.size()) + 1;
        const QString content = text.mid(start, end - start);
        const qsizetype p = content.indexOf(QLatin1Char('='));
        if (p >= 0) {
            line.isEntry = true;
            line.name = Values::TrimSpaces(content.left(p));
            line.value = content.mid(p + 1);
            line.sound = (line.value.isEmpty() || isNumeric(line.value, decimalPoint))
                && (line.name.isEmpty() || isNumeric(line.name, decimalPoint));
        }
        lines.push_back(std::move(line));
        if (end < n && text[end] == QLatin1Char('\r') && end + 1 < n && text[end + 1] == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
    return lines;
}

bool isNumeric(const QString &text, QChar decimalPoint)
{
    return Values::IsNumeric(text) || Values::IsNumeric(text, decimalPoint);
}

double code(const QString &name)
{
    return Values::Val(name);
}

QString fieldText(const QString &value, QChar decimalPoint)
{
    if (decimalPoint == QLatin1Char('.') || Values::IsNumeric(value)
        || !Values::IsNumeric(value, decimalPoint))
        return value;
    QString text = value;
    text.replace(decimalPoint, QLatin1Char('.'));
    return text;
}

std::optional<int> selectionIndex(const QString &value, int count, QChar decimalPoint)
{
    qint16 index = 0;
    try {
        index = Values::CInt(number(value, decimalPoint));
    } catch (const Values::OverflowError &) {
        return std::nullopt;
    }
    if (index < -1 || index >= count)
        return std::nullopt;
    return index;
}

QString passwordText(const QString &value, QChar decimalPoint)
{
    return ParameterSet::passwordText(value, number(value, decimalPoint));
}

} // namespace DataFileReader
