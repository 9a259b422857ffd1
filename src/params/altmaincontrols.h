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

// The controls of the Dravion main window, named as the system knows them. The window builds
// them; the subsystems' controllers connect to them. Each widget's objectName is its member name.
struct AltMainControls
{
    QMainWindow *window = nullptr;

    // Menus. mnuComPort is indexed 1 to 12; entry 0 is unused.
    QMenu *mnuFile = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuClear = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuOptions = nullptr;
    QMenu *mnuSerialPort = nullptr;
    std::array<QAction *, 13> mnuComPort {};
    QAction *mnuAssignPorts = nullptr; // after the port menu, not among the described entries
    QMenu *mnuTools = nullptr;
    QAction *mnuCalibrate = nullptr;
    QAction *mnuCommDebug = nullptr;
    QAction *mnuCompare = nullptr;
    QAction *mnuAbout = nullptr;

    // Status bar: panel 1 status text, panel 2 date, panel 3 time.
    QStatusBar *StatusBar1 = nullptr;
    QLabel *statusPanel1 = nullptr;
    QLabel *statusPanel2 = nullptr;
    QLabel *statusPanel3 = nullptr;

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
