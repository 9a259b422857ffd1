#include "settingsstore.h"

std::unique_ptr<QSettings> SettingsStore::open()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QString::fromLatin1(ApplicationName));
}

QString SettingsStore::portPath(int comNumber)
{
#ifdef Q_OS_WIN
    const QString fallback = QStringLiteral("COM%1").arg(comNumber);
#else
    const QString fallback = QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
#endif
    auto settings = open();
    return settings->value(QStringLiteral("Ports/Com%1").arg(comNumber), fallback).toString();
}
