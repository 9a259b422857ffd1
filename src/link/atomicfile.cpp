// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomicfile.h"

#include <QSaveFile>

namespace AtomicFile {

QString write(const QString &path, const std::function<bool(QIODevice &)> &fill)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && fill(file) && file.commit())
        return QString();
    // Taken before cancelling, which would otherwise be all the error said.
    const QString error = file.errorString();
    file.cancelWriting();
    return error;
}

QString write(const QString &path, const QByteArray &bytes)
{
    return write(path, [&bytes](QIODevice &file) { return file.write(bytes) == bytes.size(); });
}

} // namespace AtomicFile
