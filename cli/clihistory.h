// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "datafile/setuphistory.h"

class SetupModel;
class StderrDialogs;

// The command line's share of the setup history: read and download keep their setups where the
// window keeps its own, and a download may first back the device up into a folder.
namespace CliHistory {

// "Com3" for a Com number or the remembered port (no --port), otherwise the port as given.
QString portName(const QString &port);

// Kept unless the window's "Keep Setup History" is off; a failure is one line on standard error
// and changes nothing else.
void keep(const SetupModel &setup, SetupHistory::What what, const QString &port, StderrDialogs &dialogs);

// One data file in folder named by date, time and port; false, told, when it cannot be written.
bool keepBackup(const SetupModel &setup, const QString &folder, const QString &port, StderrDialogs &dialogs,
    QString *path);

} // namespace CliHistory
