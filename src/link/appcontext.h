// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

struct DeviceFamily;
class DeviceState;
class LinkEngine;
class UserDialogs;

// What every window is handed: the one device state, the link to the device, the dialog door.
struct AppContext
{
    DeviceState &state;
    LinkEngine *link; // null only in tests that need no device
    UserDialogs &dialogs;
    const DeviceFamily &family; // fixed by the build (the command line may choose another)
};
