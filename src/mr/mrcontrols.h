// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "params/mainwindowcontrols.h"

class QComboBox;
class QLineEdit;

// The controls of the MR main window, named as the system knows them: the shared ones and the two
// frames. The window builds them; its controllers connect to them. Each widget's objectName is its
// member name.
struct MrControls : MainWindowControls
{
    // Frame2: the seven lists and the two flow fields.
    QGroupBox *Frame2 = nullptr;
    QComboBox *cboDisplayMode = nullptr;
    QComboBox *cboRateUnits = nullptr;
    QComboBox *cboRateInterval = nullptr;
    QComboBox *cboTotalUnits = nullptr;
    QComboBox *cboDisplayExp = nullptr;
    QComboBox *cboMeterType = nullptr;
    QComboBox *cboOutputMode = nullptr;
    QLineEdit *txtFlowLow = nullptr;
    QLineEdit *txtFlowHi = nullptr;
    QLabel *lblDisplayMode = nullptr;
    QLabel *lblRateUnits = nullptr;
    QLabel *lblRateInterval = nullptr;
    QLabel *lblTotalUnits = nullptr;
    QLabel *lblDisplayExp = nullptr;
    QLabel *lblMeterType = nullptr;
    QLabel *lblOutputMode = nullptr;
    QLabel *lblFlowLow = nullptr;
    QLabel *lblFlowHi = nullptr;
    QLabel *lblDisplayModeE = nullptr;
    QLabel *lblRateUnitsE = nullptr;
    QLabel *lblRateIntervalE = nullptr;
    QLabel *lblTotalUnitsE = nullptr;
    QLabel *lblDisplayExpE = nullptr;
    QLabel *lblMeterTypeE = nullptr;
    QLabel *lblOutputModeE = nullptr;
    QLabel *lblFlowLowE = nullptr;
    QLabel *lblFlowHiE = nullptr;

    // Frame1: the other text fields.
    QGroupBox *Frame1 = nullptr;
    QLineEdit *txtSpg = nullptr;
    QLineEdit *txtScaleFactor = nullptr;
    QLineEdit *txtPressureComp = nullptr;
    QLineEdit *txtTempComp = nullptr;
    QLineEdit *txtSPGcomp = nullptr;
    QLineEdit *txtLowFlowCutoff = nullptr;
    QLineEdit *txtDamping = nullptr;
    QLineEdit *txtPassword = nullptr;
    QLineEdit *txtLinearPts = nullptr;
    QLabel *lblSpg = nullptr;
    QLabel *lblScaleFactor = nullptr;
    QLabel *lblPressureComp = nullptr;
    QLabel *lblTempComp = nullptr;
    QLabel *lblSPGcomp = nullptr;
    QLabel *lblLowFlowCutoff = nullptr;
    QLabel *lblDamping = nullptr;
    QLabel *lblPassword = nullptr;
    QLabel *lblLinearPts = nullptr;
    QLabel *lblSpgE = nullptr;
    QLabel *lblScaleFactorE = nullptr;
    QLabel *lblPressureCompE = nullptr;
    QLabel *lblTempCompE = nullptr;
    QLabel *lblSPGcompE = nullptr;
    QLabel *lblLowFlowCutoffE = nullptr;
    QLabel *lblDampingE = nullptr;
    QLabel *lblPasswordE = nullptr;
    QLabel *lblLinearPtsE = nullptr;
};
