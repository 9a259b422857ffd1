// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QSettings>

// The per-user settings store: one file under the application's name, with the sections
// "Settings" (port, window position) and "Ports" (Com n to device path).
class SettingsStore final
{
public:
    static constexpr const char *ApplicationName = "QRX Programming Utility";

    static std::unique_ptr<QSettings> open();

    // Device path for "Com n": key Com<n> in section Ports, default /dev/ttyS<n-1> (COM<n> on Windows).
    static QString portPath(int comNumber);
    // The Com number stored as the last port used ("Settings/ComPort"); 1 when none is stored or the
    // entry is no number.
    static int rememberedPort();
};
