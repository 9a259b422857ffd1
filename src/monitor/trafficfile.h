// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Writes the monitor's traffic text to a text file, whole or not at all.
namespace TrafficFile {

// Empty on success, otherwise what went wrong; a failed save leaves no partial file behind.
QString save(const QString &path, const QString &text);

} // namespace TrafficFile
