// SPDX-License-Identifier: GPL-3.0-or-later
#include "altmainhosts.h"

#include "app/frmaltmain.h"
#include "linear/frmlinearpoints.h"
#include "params/dravionfields.h"
#include "transfer/frequencypoll.h"

namespace AltMainHosts {

LinearPoints::Host linearPoints(frmAltMain &window)
{
    AltMainControls &c = window.controls();
    return { &window, &window.setup(), c.txtLinearPts, c.Option2,
        [&window] { window.poll().Option2_Click(); },
        [&window](QWidget *points) { window.setLinearPointsWindow(points); } };
}

ClearAllData::Host clearAll(frmAltMain &window)
{
    return { &window.setup(), [&window] { return window.linearPoints().window(); },
        [&window](const QString &text) { window.setStatusText(text); } };
}

DataFileCommands::Host dataFiles(frmAltMain &window)
{
    return { &window.setup(), [&window] { window.clearAll().mnuClear_Click(); },
        [&window](const QString &text) { window.setStatusText(text); } };
}

SetupTransfer::Host transfer(frmAltMain &window)
{
    AltMainControls &c = window.controls();
    SetupTransfer::Host h;
    h.mainWindow = &window;
    h.buttons = { c.btnRead, c.btnDownload };
    h.commands = window.guardedCommands();
    h.setup = &window.setup();
    h.linearPointsWindow = [&window]() -> QWidget * { return window.linearPoints().window(); };
    h.mnuClear_Click = [&window] { window.clearAll().mnuClear_Click(); };
    h.setStatusText = [&window](const QString &text) { window.setStatusText(text); };
    h.CheckDeviceVersion = [&window] { window.fields().CheckDeviceVersion(); };
    h.CheckMissingFields = [&window] { return window.fields().CheckMissingFields(); };
    return h;
}

} // namespace AltMainHosts
