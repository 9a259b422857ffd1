// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafileformat.h"

#include <QLocale>

namespace DataFileFormat {

QChar userDecimalPoint()
{
    // A separator of more than one character cannot be written by the number format; fall back.
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point.front() : QLatin1Char('.');
}

} // namespace DataFileFormat
