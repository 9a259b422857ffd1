// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "link/devicestate.h"

// Command bodies built from an item record: code in decimal, type letter, and for a write the
// value text ('.' as decimal point whatever the user's locale).
namespace ItemCommands {

QString read(const IntItem &item);
QString read(const RealItem &item);
QString write(const IntItem &item, qint16 value);
QString write(const IntItem &item); // the record's own value
QString write(const RealItem &item);

} // namespace ItemCommands
