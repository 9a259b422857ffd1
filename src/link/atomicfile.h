// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes a file whole or not at all: through a temporary file renamed over the target at the end,
// so a failure leaves neither a partial file nor a damaged earlier one.
namespace AtomicFile {

// Empty on success, otherwise what went wrong. `fill` writes the content and says whether it could.
QString write(const QString &path, const std::function<bool(QIODevice &)> &fill);
QString write(const QString &path, const QByteArray &bytes);

} // namespace AtomicFile
