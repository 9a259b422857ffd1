// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct AppContext;

// Compares the configuration file's parameter-set version with the version the device reports.
class VersionCheck final
{
public:
    enum class Outcome { Equal, DeviceNewer, ConfigNewer };

    // Both texts are read by their leading number, so "1.1" and "1.10" are the same version.
    static Outcome compare(const QString &configVersion, const QString &deviceVersion);
    // The text of the message box for an outcome; empty for Equal.
    static QString message(Outcome outcome);

    // Asks the device for its version with "V" and shows the message for a difference. A failed
    // exchange returns silently: the link has reported it already. Nothing is sent without a link.
    static void CheckDeviceVersion(AppContext &context);
};
