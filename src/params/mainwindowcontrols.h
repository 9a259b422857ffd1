// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QMainWindow;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;

// The controls every family's main window has, named as the system knows them: menus, status bar,
// frequency frame and the three buttons. The shared main-window shell builds them; each widget's
// objectName is its member name.
struct MainWindowControls
{
    QMainWindow *window = nullptr;

    // Menus. mnuComPort is indexed 1 to the family's port count; the other entries stay null.
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

    // Status bar: panel 1 status text, panel 2 date, panel 3 time.
    QStatusBar *StatusBar1 = nullptr;
    QLabel *statusPanel1 = nullptr;
    QLabel *statusPanel2 = nullptr;
    QLabel *statusPanel3 = nullptr;

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
