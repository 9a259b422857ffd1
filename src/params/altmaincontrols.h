// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "params/mainwindowcontrols.h"

class QComboBox;
class QLineEdit;

// The controls of the Dravion main window, named as the system knows them: the shared ones and the
// setup frame. The window builds them; the subsystems' controllers connect to them. Each widget's
// objectName is its member name.
struct AltMainControls : MainWindowControls
{
    QAction *mnuAbout = nullptr; // the top-level entry, after the shared menus

    // Setup frame.
    QGroupBox *fraSetup = nullptr;
    QLabel *lblDevice = nullptr;
    std::array<QRadioButton *, 2> optType {};
    QComboBox *cboRateUnits = nullptr;
    QComboBox *cboRateInterval = nullptr;
    QComboBox *cboKfactorUnits = nullptr;
    QLineEdit *txtKfactor = nullptr;
    QLineEdit *txtDamping = nullptr;
    QLineEdit *txtFlowLow = nullptr;
    QLineEdit *txtFlowHi = nullptr;
    QLineEdit *txtLinearPts = nullptr;
    QLineEdit *txtSpg = nullptr;
    QLabel *lblRateUnits = nullptr;
    QLabel *lblRateInterval = nullptr;
    QLabel *lblKfactorUnits = nullptr;
    QLabel *lblKFactor = nullptr;
    QLabel *lblDamping = nullptr;
    QLabel *lblFlowLow = nullptr;
    QLabel *lblFlowHi = nullptr;
    QLabel *lblLinearPts = nullptr;
    QLabel *lblSpg = nullptr;
    QLabel *lblRateUnitsE = nullptr;
    QLabel *lblRateIntervalE = nullptr;
    QLabel *lblKfactorUnitsE = nullptr;
    QLabel *lblKfactorE = nullptr;
    QLabel *lblDampingE = nullptr;
    QLabel *lblFlowLowE = nullptr;
    QLabel *lblFlowHiE = nullptr;
    QLabel *lblLinearPtsE = nullptr;
    QLabel *lblSpgE = nullptr;
};
