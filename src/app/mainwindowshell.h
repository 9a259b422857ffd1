// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QMainWindow>
#include <QPointer>

#include "link/appcontext.h"
#include "params/setupfields.h"
#include "transfer/frequencypoll.h"

class QAction;
class QLayout;
class DataFileCommands;
class LinearPoints;
class SetupModel;
class SetupTransfer;
class SetupSheetCommands;
class FrequencyTrend;
class HistoryKeeper;
class SetupHistoryList;
class frmFrequencyTrend;
class frmSetupHistory;
class frmCalibration;
struct DeviceFamily;
struct MainWindowControls;

// What every family's main window is built on: the menus, the status bar, the frequency frame with
// its poll, the three buttons, the port menu, calibration, the line monitor, and the load, resize
// and closing of the window. A family window adds its setup fields and controllers.
class MainWindowShell : public QMainWindow
{
    Q_OBJECT

public:
    // Where the family windows differ in the shell's own parts.
    struct Traits
    {
        bool monitorBeside = true; // "Comm &Debug" places the line monitor against the right edge
        int minimumWidth = 420; // the width the window opens with at least
        FrequencyPoll::Rules pollRules = FrequencyPoll::Rules::UsePollingOn;
    };

    ~MainWindowShell() override;

    const DeviceFamily &family() const { return m_family; }
    AppContext &context() { return m_context; }
    // The window's setup, which its fields show and every command works on.
    SetupModel &setup() { return *m_setup; }

    void setStatusText(const QString &text);
    QString statusText() const;

    void mnuComPort_Click(int index);
    void mnuAssignPorts_Click();
    void mnuCalibrate_Click();
    void mnuCommDebug_Click();
    void mnuFrequencyTrend_Click();
    void mnuSetupHistory_Click();
    virtual void mnuExit_Click();

    FrequencyPoll &poll() { return *m_poll; }
    // The poll's readings, recorded from the start whether or not the trend window is open.
    FrequencyTrend &trend() { return *m_trend; }
    frmFrequencyTrend *trendWindow() const; // once it was opened
    // The family's controllers of the shared controls, created by the family window.
    LinearPoints &linearPoints() { return *m_linearPointsButton; }
    DataFileCommands &dataFiles() { return *m_dataFiles; }
    SetupSheetCommands &sheets() { return *m_sheets; }
    SetupTransfer &transfer() { return *m_transfer; }
    // The menu commands a running transfer disables, besides the two transfer buttons.
    std::vector<QAction *> guardedCommands() const;

    frmCalibration *calibrationWindow() const; // while it is open

    // The setups kept without being asked, and the window that lists them.
    HistoryKeeper &history() { return *m_history; }
    SetupHistoryList &historyList() { return *m_historyList; }
    frmSetupHistory *historyWindow() const; // once it was opened
    // A kept setup loaded as Open Data File loads one, or compared with the device.
    void openKeptSetup(const QString &path);
    void compareKeptSetup(const QString &path);

    // Companion windows that follow the main window when it is resized.
    void setLinearPointsWindow(QWidget *window) { m_linearPoints = window; }
    void setLineMonitorWindow(QWidget *window) { m_lineMonitor = window; }

Q_SIGNALS:
    // Emitted once after the window stored its settings on closing; the application then ends.
    void closed();

protected:
    MainWindowShell(const DeviceFamily &family, AppContext context, Traits traits, QWidget *parent);

    // Builds the shared controls into controls, which the family window owns, and the poll.
    void buildShell(MainWindowControls &controls);
    // The central widget: the family's setup area above the frequency frame and the buttons.
    void placeCentral(QLayout *setupArea);
    // The linear points window as the setup fields use it.
    SetupFields::Points setupPoints();
    // Open, Save, Compare and the three buttons to the family's controllers.
    void connectCommands();
    // Link flags, the link's status texts, the remembered port, the family's configuration, and
    // the window centred on the screen.
    void Form_Load(const std::function<void()> &readConfiguration);
    virtual void CheckDeviceVersion() = 0;
    // Around every discard of the window's setup: edits neither downloaded nor saved are kept
    // first, and what is left afterwards is nothing to keep.
    void setupDiscarding();
    void setupSettled();

    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

    AppContext m_context;
    QPointer<QWidget> m_linearPoints;
    QPointer<QWidget> m_lineMonitor;
    LinearPoints *m_linearPointsButton = nullptr;
    DataFileCommands *m_dataFiles = nullptr;
    SetupTransfer *m_transfer = nullptr;

private:
    void buildMenus();
    void buildButtons();
    void connectHistory();
    void Form_Resize();
    void Form_Unload();

    const DeviceFamily &m_family;
    std::unique_ptr<SetupModel> m_setup;
    Traits m_traits;
    MainWindowControls *m_controls = nullptr;
    FrequencyPoll *m_poll = nullptr;
    FrequencyTrend *m_trend = nullptr;
    QPointer<frmFrequencyTrend> m_trendWindow;
    SetupSheetCommands *m_sheets = nullptr;
    QAction *m_exportSheet = nullptr;
    QAction *m_printSetup = nullptr;
    QPointer<frmCalibration> m_calibration;
    HistoryKeeper *m_history = nullptr;
    SetupHistoryList *m_historyList = nullptr;
    QPointer<frmSetupHistory> m_historyWindow;
    QAction *m_keepHistory = nullptr;
    QAction *m_backUp = nullptr;
    bool m_unloaded = false;
};
