// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <stdexcept>

#include <QChar>
#include <QString>

// Number semantics shared by every subsystem: how texts become numbers and numbers become texts
// in fields, commands, configuration lines and data files.
namespace Values {

// A conversion whose result does not fit its type; the caller decides what a failure means.
class OverflowError final : public std::range_error
{
public:
    using std::range_error::range_error;
};

// Leading numeric part of a text as a double: "12.5" -> 12.5, "  7abc" -> 7, "" -> 0, "1.5E3" -> 1500.
double Val(const QString &text);

// Rounds halves to even into a 16-bit integer; throws OverflowError outside -32768..32767 or for NaN.
qint16 CInt(double value);

// Rounds to the nearest 32-bit integer (halves to even); throws OverflowError when out of range.
qint32 CLng(double value);

// Narrows to a single; throws OverflowError when a finite value exceeds the single range.
float CSng(double value);

// CInt and CSng with the failure as a value, for a caller that goes on without the number.
std::optional<qint16> IntOf(double value);
std::optional<float> SingleOf(double value);

// True when the whole text (surrounding spaces allowed) is one decimal number:
// optional sign, digits with at most one decimal point, optional exponent. Empty is not numeric.
bool IsNumeric(const QString &text, QChar decimalPoint = QLatin1Char('.'));

// Shortest general form of a single: at most 7 significant digits, no trailing zeros,
// "0.025", "2.5", "1000", "1E+07". The decimal point is '.' unless another is given.
QString FormatSingle(float value, QChar decimalPoint = QLatin1Char('.'));

// Plain decimal text of a 16-bit integer: "-3", "0", "512".
QString FormatInt(qint32 value);

// A field's number into its record. A number the record cannot hold (only a text the program set can
// carry one) leaves the record as it was and gives false; the field's range check then flags it.
bool StoreSingle(const QString &text, float &target);
bool StoreInt(const QString &text, qint16 &target);
// Whether StoreSingle or StoreInt would store the text's number. The missing-entry checks count a
// field whose number its record cannot hold as not entered, so a screen and a record that differ
// never go unnoticed into a download.
bool FitsSingle(const QString &text);
bool FitsInt(const QString &text);

// Removes leading and trailing spaces only (tabs and other blanks stay), as the file formats trim.
QString TrimSpaces(const QString &text);

} // namespace Values
