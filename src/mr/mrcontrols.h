#pragma once

#include <array>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;

// The controls of the MR main window, named as the system knows them. The window builds them;
// its controllers connect to them. Each widget's objectName is its member name.
struct MrControls
{
    QMainWindow *window = nullptr;

    // Menus. mnuComPort is indexed 1 to 4; entry 0 is unused.
    QMenu *mnuFile = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuClear = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuOptions = nullptr;
    QMenu *mnuSerialPort = nullptr;
    std::array<QAction *, 5> mnuComPort {};
    QAction *mnuAssignPorts = nullptr; // after the port menu, not among the described entries
    QMenu *mnuTools = nullptr;
    QAction *mnuCalibrate = nullptr;
    QAction *mnuCommDebug = nullptr;
    QAction *mnuCompare = nullptr;

    // Status bar: panel 1 status text, panel 2 date, panel 3 time.
    QStatusBar *StatusBar1 = nullptr;
    QLabel *statusPanel1 = nullptr;
    QLabel *statusPanel2 = nullptr;
    QLabel *statusPanel3 = nullptr;

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

    // Frequency frame.
    QGroupBox *Frame4 = nullptr;
    QLabel *Label2 = nullptr; // "Monitor"
    QRadioButton *Option1 = nullptr; // "On"
    QRadioButton *Option2 = nullptr; // "Off"
    std::array<QLabel *, 4> lblInputHz {};
    QLabel *Label4 = nullptr; // "Hz"
    QTimer *tmrPolling = nullptr;

    QPushButton *btnRead = nullptr;
    QPushButton *btnDownload = nullptr;
    QPushButton *btnLinear = nullptr;
};
