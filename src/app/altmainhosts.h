// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "datafile/clearalldata.h"
#include "datafile/datafilecommands.h"
#include "linear/linearpoints.h"
#include "transfer/setuptransfer.h"

class frmAltMain;

// What the Dravion main window hands each of its controllers: its controls and its other controllers.
namespace AltMainHosts {
LinearPoints::Host linearPoints(frmAltMain &window);
ClearAllData::Host clearAll(frmAltMain &window);
DataFileCommands::Host dataFiles(frmAltMain &window);
SetupTransfer::Host transfer(frmAltMain &window);
} // namespace AltMainHosts
