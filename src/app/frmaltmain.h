#pragma once

#include <QMainWindow>
#include <QPointer>

#include "params/altmaincontrols.h"
#include "link/appcontext.h"

class ClearAllData;
class DataFileCommands;
class DravionFields;
class FrequencyPoll;
class LinearPoints;
class SetupTransfer;
class frmSplash;

// Main window of the Dravion family: the setup fields, the transfer buttons, the frequency display,
// menus and status bar. Behaviour lives in the subsystems' controllers, which connect to controls().
class frmAltMain final : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window hidden and runs its load: link flags, remembered port, configuration.
    explicit frmAltMain(AppContext context, QWidget *parent = nullptr);
    ~frmAltMain() override;

    AltMainControls &controls() { return m_controls; }
    AppContext &context() { return m_context; }

    void setStatusText(const QString &text);
    QString statusText() const;

    void mnuComPort_Click(int index);
    void mnuAssignPorts_Click();
    void mnuAbout_Click();
    void mnuCalibrate_Click();
    void mnuCommDebug_Click();

    // The subsystems' controllers, created with the window.
    DravionFields &fields() { return *m_fields; }
    LinearPoints &linearPoints() { return *m_linearPointsButton; }
    ClearAllData &clearAll() { return *m_clearAll; }
    DataFileCommands &dataFiles() { return *m_dataFiles; }
    SetupTransfer &transfer() { return *m_transfer; }
    FrequencyPoll &poll() { return *m_poll; }

    // Companion windows that follow the main window when it is resized.
    void setLinearPointsWindow(QWidget *window) { m_linearPoints = window; }
    void setLineMonitorWindow(QWidget *window) { m_lineMonitor = window; }
    void setSplash(frmSplash *splash);

Q_SIGNALS:
    // Emitted once after the window stored its settings on closing; the application then ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    void buildSetupFrame();
    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    AppContext m_context;
    AltMainControls m_controls;
    DravionFields *m_fields = nullptr;
    LinearPoints *m_linearPointsButton = nullptr;
    ClearAllData *m_clearAll = nullptr;
    DataFileCommands *m_dataFiles = nullptr;
    SetupTransfer *m_transfer = nullptr;
    FrequencyPoll *m_poll = nullptr;
    QPointer<QWidget> m_linearPoints;
    QPointer<QWidget> m_lineMonitor;
    QPointer<frmSplash> m_splash;
    bool m_unloaded = false;
};
