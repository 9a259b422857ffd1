#include "versioncheck.h"

#include "link/values.h"

VersionCheck::Outcome VersionCheck::compare(const QString &configVersion, const QString &deviceVersion)
{
    const double file = Values::Val(configVersion);
    const double device = Values::Val(deviceVersion);
    if (file < device)
        return Outcome::DeviceNewer;
    if (device < file)
        return Outcome::ConfigNewer;
    return Outcome::Equal;
}

QString VersionCheck::message(Outcome outcome)
{
    switch (outcome) {
    case Outcome::DeviceNewer:
        return QStringLiteral("Device version is newer then configuration file\r"
                              "   Contact Manufacturer for updated software");
    case Outcome::ConfigNewer:
        return QStringLiteral("Configuration file is newer then the device version\r"
                              "    Contact Manufacturer for Device upgrade");
    case Outcome::Equal:
        break;
    }
    return QString();
}
