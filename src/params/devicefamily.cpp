// SPDX-License-Identifier: GPL-3.0-or-later
#include "devicefamily.h"

const DeviceFamily &DeviceFamily::dravion()
{
    static const DeviceFamily family { QStringLiteral("Dravion"), QStringLiteral("QRX Programming Utility"),
        ParameterSet::dravion(), 12, 9, true, ConfigReader::Family::Dravion,
        { QStringLiteral("Frequency"), QStringLiteral("Flow") }, QStringLiteral("Freqency"), false, false };
    return family;
}

const DeviceFamily &DeviceFamily::mr()
{
    static const DeviceFamily family { QStringLiteral("MR"), QStringLiteral("MR Sensor Array"),
        ParameterSet::mr(), 4, 17, false, ConfigReader::Family::MR,
        { QStringLiteral("Position"), QStringLiteral("Coefficient") }, QStringLiteral("Position"), true,
        true };
    return family;
}

const DeviceFamily *DeviceFamily::byName(const QString &name)
{
    if (name == QLatin1String("Dravion"))
        return &dravion();
    if (name == QLatin1String("MR"))
        return &mr();
    return nullptr;
}
