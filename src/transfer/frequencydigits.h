// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

// What the four-digit frequency display shows for the reply to "F".
namespace FrequencyDigits {

// The reply padded with leading zeros (5 -> "0005", 12.5 -> "0012.5"), or nothing when the
// display keeps its digits: not numeric, 9999 or more, "NoRsp", "Inval" or empty.
std::optional<QString> padded(const QString &reply);

// Character i of the padded text, empty past its end.
QString digit(const QString &padded, int i);

// The number the four digits show ("0012.5" shows 0012, so 12): the value a trend records.
double shownHz(const QString &padded);

} // namespace FrequencyDigits
