// SPDX-License-Identifier: GPL-3.0-or-later
#include "itemcommands.h"

#include "link/devicestate.h"
#include "link/values.h"

namespace ItemCommands {

QString read(const IntItem &item)
{
    return Values::FormatInt(item.code) + item.typeLetter;
}

QString read(const RealItem &item)
{
    return Values::FormatInt(item.code) + item.typeLetter;
}

QString write(const IntItem &item, qint16 value)
{
    return read(item) + Values::FormatInt(value);
}

QString write(const IntItem &item)
{
    return write(item, item.value);
}

QString write(const RealItem &item)
{
    return read(item) + Values::FormatSingle(item.value);
}

} // namespace ItemCommands
