// SPDX-License-Identifier: GPL-3.0-or-later
#include "versioncheck.h"

#include "link/appcontext.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/userdialogs.h"
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

void VersionCheck::CheckDeviceVersion(AppContext &context)
{
    if (!context.link)
        return;
    DeviceState &state = context.state;
    state.CommandString = QStringLiteral("V");
    context.link->SendCommand();
    if (state.CommAbort)
        return;
    const Outcome outcome = compare(state.ConfigVersion, state.ReplyValue);
    if (outcome != Outcome::Equal)
        context.dialogs.message(message(outcome), UserDialogs::Icon::Critical);
}
