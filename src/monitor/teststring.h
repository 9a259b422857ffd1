// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// What the monitor's Test frame sends: the control character picker and the optional frame.
namespace TestString {

// Entries of the picker. Entry 0 (the resting text "0 - NUL") inserts nothing; entry n inserts
// the character of code n - 1, so each label also names that character and its code.
QStringList pickerEntries();

// The character entry index inserts, or an empty text for entry 0 and unknown indexes.
QString pickerInsertion(int index);

// The exact text to transmit: the typed string as 8-bit characters (a character the line
// cannot carry becomes "?", as it goes on the wire), with STX in front and CR behind on request.
QString compose(const QString &typed, bool autoStx, bool autoCr);

} // namespace TestString
