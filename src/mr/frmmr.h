#pragma once

#include <QMainWindow>
#include <QPointer>

#include "link/appcontext.h"
#include "mr/mrcontrols.h"

class DataFileCommands;
class FrequencyPoll;
class LinearPoints;
class MrFields;
class SetupTransfer;
class frmCalibration;
class frmLinearPoints;

// Main window of the MR sensor array family: its lists and fields, the transfer buttons, the
// frequency display, menus and status bar. Behaviour lives in the controllers, which connect to
// controls().
class frmMR final : public QMainWindow
{
    Q_OBJECT

public:
    // Builds the window hidden and runs its load: link flags, remembered port, configuration.
    // The configuration is Config.inf of configFolder, the program's folder when empty.
    explicit frmMR(AppContext context, const QString &configFolder = QString(), QWidget *parent = nullptr);
    ~frmMR() override;

    MrControls &controls() { return m_controls; }
    AppContext &context() { return m_context; }

    void setStatusText(const QString &text);
    QString statusText() const;

    void mnuComPort_Click(int index);
    void mnuAssignPorts_Click();
    void mnuCalibrate_Click();
    void mnuCommDebug_Click();
    void mnuExit_Click();
    // Empties every field and point; Low Flow Cutoff keeps "0.025".
    void mnuClear_Click();

    MrFields &fields() { return *m_fields; }
    FrequencyPoll &poll() { return *m_poll; }
    LinearPoints &linearPoints() { return *m_linearPointsButton; }
    DataFileCommands &dataFiles() { return *m_dataFiles; }
    SetupTransfer &transfer() { return *m_transfer; }
    frmLinearPoints *linearPointsWindow(); // created on first use
    frmCalibration *calibrationWindow() const; // while it is open

    void setLineMonitorWindow(QWidget *window) { m_lineMonitor = window; }
    // The splash is closed with this window.
    void setSplashWindow(QWidget *window) { m_splash = window; }

Q_SIGNALS:
    // Emitted once after the window stored its settings on closing; the application then ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    void buildListFrame();
    void buildTextFrame();
    void Form_Load(const QString &configFolder);
    void Form_Resize();
    void Form_Unload();

    AppContext m_context;
    MrControls m_controls;
    MrFields *m_fields = nullptr;
    FrequencyPoll *m_poll = nullptr;
    LinearPoints *m_linearPointsButton = nullptr;
    DataFileCommands *m_dataFiles = nullptr;
    SetupTransfer *m_transfer = nullptr;
    QPointer<QWidget> m_linearPoints;
    QPointer<frmCalibration> m_calibration;
    QPointer<QWidget> m_lineMonitor;
    QPointer<QWidget> m_progress;
    QPointer<QWidget> m_splash;
    bool m_unloaded = false;
};
