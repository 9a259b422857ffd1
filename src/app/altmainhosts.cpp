// SPDX-License-Identifier: GPL-3.0-or-later
#include "altmainhosts.h"

#include <QComboBox>
#include <QLineEdit>

#include "app/frmaltmain.h"
#include "datafile/datafileformat.h"
#include "datafile/datafilewriter.h"
#include "linear/frmlinearpoints.h"
#include "params/devicefamily.h"
#include "transfer/frequencypoll.h"
#include "transfer/widgetsetupview.h"

namespace AltMainHosts {

DravionFields::Host fields(frmAltMain &window)
{
    return { &window.controls(),
        [&window](double count) { return window.linearPoints().markMissingPoints(count); } };
}

LinearPoints::Host linearPoints(frmAltMain &window)
{
    AltMainControls &c = window.controls();
    return { &window, c.txtLinearPts, c.lblLinearPtsE, c.Option2,
        [&window] { window.poll().Option2_Click(); },
        [&window](QWidget *points) { window.setLinearPointsWindow(points); } };
}

ClearAllData::Host clearAll(frmAltMain &window)
{
    return { &window.controls(), [&window] { return window.linearPoints().window(); },
        [&window](const QString &text) { window.setStatusText(text); } };
}

DataFileCommands::Host dataFiles(frmAltMain &window, AppContext &context)
{
    return { &window,
        [&window, &context] {
            const AltMainControls &c = window.controls();
            return DataFileWriter::dravionEntries(context.state, c.cboKfactorUnits->currentIndex(),
                c.txtLinearPts->text(), DataFileFormat::userDecimalPoint());
        },
        [&window]() -> QWidget * { return window.linearPoints().window(); },
        [&window] { window.clearAll().mnuClear_Click(); },
        [&window](const QString &text) { window.setStatusText(text); } };
}

SetupTransfer::Host transfer(frmAltMain &window)
{
    AltMainControls &c = window.controls();
    SetupTransfer::Host h;
    h.mainWindow = &window;
    h.buttons = { c.btnRead, c.btnDownload };
    h.commands = window.guardedCommands();
    h.family = &DeviceFamily::dravion();
    h.view = std::make_shared<WidgetSetupView>(window, [&window](qint16 r) {
        if (r == 0)
            window.fields().optType_Click(0);
        else if (r == 2)
            window.fields().optType_Click(1);
    });
    h.linearPointsWindow = [&window]() -> QWidget * { return window.linearPoints().window(); };
    h.mnuClear_Click = [&window] { window.clearAll().mnuClear_Click(); };
    h.setStatusText = [&window](const QString &text) { window.setStatusText(text); };
    h.CheckDeviceVersion = [&window] { window.fields().CheckDeviceVersion(); };
    h.CheckMissingFields = [&window] { return window.fields().CheckMissingFields(); };
    return h;
}

} // namespace AltMainHosts
