// SPDX-License-Identifier: GPL-3.0-or-later
#include "portname.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/settingsstore.h"
#include "qrxcli.h"

namespace PortName {

QString path(const QString &port)
{
    const int number = port.isEmpty() ? SettingsStore::rememberedPort() : QrxCli::comNumber(port);
    if (number > 0)
        return SettingsStore::portPath(number);
#ifdef Q_OS_UNIX
    // The serial port takes a bare name for one under /dev ("ttyUSB0"); one that is only here, as a
    // simulator's link, is meant as it is written.
    if (!port.contains(QLatin1Char('/')) && !QFileInfo::exists(QLatin1String("/dev/") + port)
        && QFileInfo::exists(port))
        return QLatin1String("./") + port;
#endif
    return port;
}

QString device(const QString &port)
{
    QString p = path(port);
#ifdef Q_OS_UNIX
    // As the serial port takes a bare name: "ttyUSB0" is /dev/ttyUSB0.
    if (!p.startsWith(QLatin1Char('/')) && !p.startsWith(QLatin1String("./"))
        && !p.startsWith(QLatin1String("../")))
        p.prepend(QLatin1String("/dev/"));
#endif
    const QString canonical = QFileInfo(p).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(p) : canonical;
}

QString fileSafe(const QString &port)
{
    if (const int number = QrxCli::comNumber(port))
        return QStringLiteral("Com%1").arg(number);
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]+"));
    // Under /dev the folders say what the port is (pts_3, serial_by-id_usb-...); elsewhere, as
    // for a simulator's link, the name alone does.
    QString name = QDir::cleanPath(port.trimmed());
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    else
        name = QFileInfo(name).fileName();
    name.replace(unsafe, QStringLiteral("_"));
    // No hidden files and no names that climb out of the folder.
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('_')))
        name.remove(0, 1);
    return name.isEmpty() ? QStringLiteral("port") : name;
}

QString fileFor(const QString &file, const QString &port)
{
    QString name = file;
    return name.replace(QLatin1String("{port}"), fileSafe(port));
}

QString byId(const QString &port)
{
    const QString target = device(port);
    const QDir folder(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo &link : folder.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.fileName();
    }
    return QString();
}

} // namespace PortName
