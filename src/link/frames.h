// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text parse shared by commands and replies, the reply checks and the texts of device errors.
// Positions follow the protocol: a framed text starts with STX and ends with CR.
namespace Frames {

inline constexpr char STX = '\x02';
inline constexpr char CR = '\x0D';

enum class Kind { Plain, Read, Write };

struct Parts
{
    QString codeText;
    QString letter;
    QString valueText;
    Kind kind = Kind::Plain;
};

// Splits a command or reply: code digits from the second character, the letter after them,
// the value up to (not including) the last character.
Parts split(const QString &text);

// True when the reply frame answers the command frame (both as transmitted / received).
bool replyMatches(const QString &command, const QString &reply);

// Item name of a command's code text, "Unknown Item" when the table has none.
QString itemName(const QString &codeText);

// "Device Error 13, VALUE TOO LOW" for 10 to 15, empty for any other number.
QString deviceErrorText(double number);

} // namespace Frames
