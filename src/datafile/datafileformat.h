// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

// Facts of the setup data file shared by the writer and the reader.
namespace DataFileFormat {

// First line of every file; it holds no "=", so the reader passes it over.
inline QString header()
{
    return QStringLiteral("Parameter <Equals> Value");
}

inline QByteArray lineEnd()
{
    return QByteArrayLiteral("\r\n");
}

// Real values are written with the user's decimal separator; stored files rely on it.
QChar userDecimalPoint();

} // namespace DataFileFormat
