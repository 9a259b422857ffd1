// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsstore.h"

#include "link/linkengine.h"

std::unique_ptr<QSettings> SettingsStore::open()
{
    return std::make_unique<QSettings>(
        QSettings::IniFormat, QSettings::UserScope, QString::fromLatin1(ApplicationName));
}

QString SettingsStore::portPath(int comNumber)
{
    auto settings = open();
    const QString fallback = LinkEngine::defaultPortPath(comNumber);
    return settings->value(QStringLiteral("Ports/Com%1").arg(comNumber), fallback).toString();
}

int SettingsStore::rememberedPort()
{
    bool ok = false;
    const int port = open()
                         ->value(QStringLiteral("Settings/ComPort"), QStringLiteral("1"))
                         .toString()
                         .trimmed()
                         .toInt(&ok);
    return ok ? port : 1;
}
