// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QPointer>

#include "app/mainwindowshell.h"
#include "mr/mrcontrols.h"
#include "params/setupfields.h"

class MrFields;
class frmLinearPoints;

// Main window of the MR sensor array family: the shared shell with its lists and fields in two
// frames, no About entry, four ports, and an Exit that closes every companion. Behaviour lives in
// the controllers, which connect to controls().
class frmMR final : public MainWindowShell
{
    Q_OBJECT

public:
    // Builds the window hidden and runs its load: link flags, remembered port, configuration.
    // The configuration is Config.inf of configFolder, the program's folder when empty.
    explicit frmMR(AppContext context, const QString &configFolder = QString(), QWidget *parent = nullptr);
    ~frmMR() override;

    MrControls &controls() { return m_controls; }

    void mnuExit_Click() override;
    // Empties every field and point; Low Flow Cutoff keeps "0.025".
    void mnuClear_Click();

    MrFields &fields() { return *m_fields; }
    frmLinearPoints *linearPointsWindow(); // created on first use

    // The splash is closed with this window.
    void setSplashWindow(QWidget *window) { m_splash = window; }

protected:
    void CheckDeviceVersion() override;

private:
    void buildListFrame();
    void buildTextFrame();

    MrControls m_controls;
    std::vector<SetupFields::Controls> m_fieldControls; // as the frames' rows are built
    MrFields *m_fields = nullptr;
    QPointer<QWidget> m_progress;
    QPointer<QWidget> m_splash;
};
