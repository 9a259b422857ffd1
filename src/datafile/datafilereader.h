// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QChar>
#include <QString>

// Reads the lines of a setup data file into entries and judges each one; what an entry does to a
// window is decided by the window through DataFileTargets.
namespace DataFileReader {

// No setup file comes near this; anything larger is refused rather than loaded for minutes.
constexpr qint64 MaxFileSize = 1024 * 1024;

struct Line
{
    int number = 0; // counted from 1
    bool isEntry = false; // the line holds an "="; other lines (the header, blanks) are passed over
    QString name; // text before the first "=", spaces trimmed
    QString value; // text after the first "=", untouched
    bool sound = false; // name and value are each empty or numeric
};

// The whole content of a regular file, or nothing when it is missing, not a regular file (a folder,
// a device, a pipe), unreadable or larger than MaxFileSize.
std::optional<QByteArray> load(const QString &path);

// Lines end in CR LF, CR or LF; a final line end does not start another line.
std::vector<Line> parse(const QByteArray &bytes, QChar decimalPoint);

// A decimal number with "." or the user's separator, optional sign and exponent, spaces around.
bool isNumeric(const QString &text, QChar decimalPoint);

// The item code an entry names: the name's leading number, 0 for an empty name.
double code(const QString &name);

// The text a field receives. Values written under a locale whose separator is not "." are given
// back with "." so the fields' number parse reads them whole; every other text stays as read.
QString fieldText(const QString &value, QChar decimalPoint);

// The index a choice list of count entries is set to, or nothing when the number does not fit a
// 16-bit integer or names no entry (-1 removes the selection).
std::optional<int> selectionIndex(const QString &value, int count, QChar decimalPoint);

// The password field's text: the number with at least four digits (7 -> "0007").
QString passwordText(const QString &value, QChar decimalPoint);

} // namespace DataFileReader
