// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>

#include "app/mainwindowshell.h"
#include "params/altmaincontrols.h"

class ClearAllData;
class DravionFields;
class frmSplash;

// Main window of the Dravion family: the shared shell with the setup frame and the About entry.
// Behaviour lives in the subsystems' controllers, which connect to controls().
class frmAltMain final : public MainWindowShell
{
    Q_OBJECT

public:
    // Builds the window hidden and runs its load: link flags, remembered port, configuration.
    explicit frmAltMain(AppContext context, QWidget *parent = nullptr);
    ~frmAltMain() override;

    AltMainControls &controls() { return m_controls; }

    void mnuAbout_Click();

    // The subsystems' controllers, created with the window.
    DravionFields &fields() { return *m_fields; }
    ClearAllData &clearAll() { return *m_clearAll; }

    void setSplash(frmSplash *splash);

protected:
    void CheckDeviceVersion() override;

private:
    void buildSetupFrame();

    AltMainControls m_controls;
    DravionFields *m_fields = nullptr;
    ClearAllData *m_clearAll = nullptr;
    QPointer<frmSplash> m_splash;
};
