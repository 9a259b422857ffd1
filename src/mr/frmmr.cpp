#include "frmmr.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "linear/markerlabel.h"
#include "app/mainwindowparts.h"
#include "app/settingsstore.h"
#include "calibration/frmcalibration.h"
#include "datafile/clearalldata.h"
#include "datafile/datafilecommands.h"
#include "datafile/datafileformat.h"
#include "datafile/datafilewriter.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "mr/mrfields.h"
#include "params/devicefamily.h"
#include "transfer/frequencypoll.h"
#include "transfer/setuptransfer.h"
#include "transfer/widgetsetupview.h"

namespace {

constexpr int PortCount = 4;

template<typename T>
T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QAction *namedAction(QMenu *menu, const QString &caption, const char *name)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// Adds rows of caption, control and marker to a frame's grid.
class RowAdder
{
public:
    explicit RowAdder(QGroupBox *frame)
        : m_grid(new QGridLayout(frame))
    {
        m_grid->setHorizontalSpacing(8);
        m_grid->setColumnStretch(1, 1);
    }

    void add(QLabel *&caption, const char *captionName, const QString &text, QWidget *field, QLabel *&marker)
    {
        caption = named(new QLabel(text), QString::fromLatin1(captionName));
        caption->setBuddy(field);
        marker = named(new MarkerLabel, QString::fromLatin1(captionName) + QLatin1Char('E'));
        m_grid->addWidget(caption, m_row, 0);
        m_grid->addWidget(field, m_row, 1);
        m_grid->addWidget(marker, m_row, 2);
        ++m_row;
    }

    void finish() { m_grid->setRowStretch(m_row, 1); }

private:
    QGridLayout *m_grid;
    int m_row = 0;
};

QComboBox *combo(const char *name)
{
    auto *box = named(new QComboBox, QString::fromLatin1(name));
    box->setEditable(false);
    return box;
}

QLineEdit *edit(const char *name)
{
    return named(new QLineEdit, QString::fromLatin1(name));
}

} // namespace

frmMR::frmMR(AppContext context, const QString &configFolder, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmMR"));
    setWindowTitle(QStringLiteral("MR Sensor Array"));
    m_controls.window = this;

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    buildMenus();
    buildListFrame();
    buildTextFrame();
    MainWindowParts::buildFrequencyFrame(this, {m_controls.Frame4, m_controls.Label2, m_controls.Option1,
                                                m_controls.Option2, m_controls.lblInputHz, m_controls.Label4,
                                                m_controls.tmrPolling});
    auto *frames = new QHBoxLayout;
    frames->addWidget(m_controls.Frame2, 1);
    frames->addWidget(m_controls.Frame1, 1);
    layout->addLayout(frames);
    layout->addWidget(m_controls.Frame4);

    auto *buttons = new QHBoxLayout;
    MrControls &c = m_controls;
    c.btnRead = named(new QPushButton(QStringLiteral("Read Setup"), central), QStringLiteral("btnRead"));
    c.btnDownload = named(new QPushButton(QStringLiteral("Download Setup"), central), QStringLiteral("btnDownload"));
    c.btnLinear = named(new QPushButton(QStringLiteral("Linear Points"), central), QStringLiteral("btnLinear"));
    for (QPushButton *b : {c.btnRead, c.btnDownload, c.btnLinear}) {
        b->setMinimumHeight(32);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    setCentralWidget(central);
    MainWindowParts::buildStatusBar(this, {m_controls.StatusBar1, m_controls.statusPanel1, m_controls.statusPanel2,
                                           m_controls.statusPanel3});

    m_fields = new MrFields(*this, m_context);
    m_poll = new FrequencyPoll(m_context, c.tmrPolling, c.lblInputHz, FrequencyPoll::Rules::TimerOnly, this);
    m_linearPointsButton = new LinearPoints(
        LinearPoints::Host{this, c.txtLinearPts, c.lblLinearPtsE, c.Option2, [this] { m_poll->Option2_Click(); },
                           [this](QWidget *points) { m_linearPoints = points; }},
        m_context, this);
    m_dataFiles = new DataFileCommands(
        DataFileCommands::Host{this, QStringLiteral("MR"),
                               [this] {
                                   return DataFileWriter::mrEntries(m_context.state, m_controls.txtLinearPts->text(),
                                                                    DataFileFormat::userDecimalPoint());
                               },
                               [this]() -> QWidget * { return linearPointsWindow(); },
                               [this] { mnuClear_Click(); },
                               [this](const QString &text) { setStatusText(text); }},
        m_context, this);

    SetupTransfer::Host transfer;
    transfer.mainWindow = this;
    transfer.buttons = {c.btnRead, c.btnDownload};
    transfer.commands = {c.mnuOpen, c.mnuClear, c.mnuCalibrate, c.mnuCompare, c.mnuSerialPort->menuAction(),
                         c.mnuAssignPorts};
    for (int i = 1; i <= PortCount; ++i)
        transfer.commands.push_back(c.mnuComPort[std::size_t(i)]);
    transfer.family = &DeviceFamily::mr();
    // The Output Mode list is read as an item of its own; the answer to "I" selects nothing.
    transfer.view = std::make_shared<WidgetSetupView>(*this);
    transfer.linearPointsWindow = [this]() -> QWidget * { return linearPointsWindow(); };
    transfer.mnuClear_Click = [this] { mnuClear_Click(); };
    transfer.setStatusText = [this](const QString &text) { setStatusText(text); };
    transfer.CheckDeviceVersion = [this] { m_fields->CheckDeviceVersion(); };
    transfer.CheckMissingFields = [this] { return m_fields->CheckMissingFields(); };
    m_transfer = new SetupTransfer(std::move(transfer), m_context, this);
    m_progress = m_transfer->progressWindow();

    connect(c.mnuOpen, &QAction::triggered, m_dataFiles, &DataFileCommands::mnuOpen_Click);
    connect(c.mnuSave, &QAction::triggered, m_dataFiles, &DataFileCommands::mnuSave_Click);
    connect(c.mnuClear, &QAction::triggered, this, &frmMR::mnuClear_Click);
    connect(c.btnLinear, &QPushButton::clicked, m_linearPointsButton, &LinearPoints::btnLinear_Click);
    connect(c.btnRead, &QPushButton::clicked, m_transfer, &SetupTransfer::btnRead_Click);
    connect(c.btnDownload, &QPushButton::clicked, m_transfer, &SetupTransfer::btnDownload_Click);
    connect(c.mnuCompare, &QAction::triggered, m_transfer, &SetupTransfer::mnuCompare_Click);

    connect(c.mnuCalibrate, &QAction::triggered, this, &frmMR::mnuCalibrate_Click);
    connect(c.mnuCommDebug, &QAction::triggered, this, &frmMR::mnuCommDebug_Click);
    connect(c.mnuExit, &QAction::triggered, this, &frmMR::mnuExit_Click);
    connect(c.Option1, &QRadioButton::clicked, m_poll, &FrequencyPoll::Option1_Click);
    connect(c.Option2, &QRadioButton::clicked, m_poll, &FrequencyPoll::Option2_Click);
    connect(c.tmrPolling, &QTimer::timeout, m_poll, &FrequencyPoll::tmrPolling_Timer);

    Form_Load(configFolder.isEmpty() ? QCoreApplication::applicationDirPath() : configFolder);
}

frmMR::~frmMR() = default;

void frmMR::buildMenus()
{
    MrControls &c = m_controls;
    c.mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    c.mnuFile->setObjectName(QStringLiteral("mnuFile"));
    c.mnuOpen = namedAction(c.mnuFile, QStringLiteral("&Open Data File..."), "mnuOpen");
    c.mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    c.mnuSave = namedAction(c.mnuFile, QStringLiteral("&Save Data File as..."), "mnuSave");
    c.mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    c.mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuSep"));
    c.mnuClear = namedAction(c.mnuFile, QStringLiteral("&Clear all Data"), "mnuClear");
    c.mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    c.mnuExit = namedAction(c.mnuFile, QStringLiteral("E&xit"), "mnuExit");
    c.mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    c.mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    c.mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    c.mnuSerialPort = c.mnuOptions->addMenu(QStringLiteral("Serial &Port"));
    c.mnuSerialPort->setObjectName(QStringLiteral("mnuSerialPort"));
    for (int i = 1; i <= PortCount; ++i) {
        QAction *action = c.mnuSerialPort->addAction(QStringLiteral("Com &%1").arg(i));
        action->setObjectName(QStringLiteral("mnuComPort%1").arg(i));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] { mnuComPort_Click(i); });
        c.mnuComPort[std::size_t(i)] = action;
    }
    // The captions stay "Com n"; each entry's tooltip names the device path behind it, read again
    // whenever the menu opens, so a mapping edited in the settings file shows without a restart.
    c.mnuSerialPort->setToolTipsVisible(true);
    auto showPortPaths = [this] {
        for (int i = 1; i <= PortCount; ++i)
            m_controls.mnuComPort[std::size_t(i)]->setToolTip(SettingsStore::portPath(i));
    };
    showPortPaths();
    connect(c.mnuSerialPort, &QMenu::aboutToShow, this, showPortPaths);
    c.mnuAssignPorts = namedAction(c.mnuOptions, QStringLiteral("&Assign Serial Ports..."), "mnuAssignPorts");
    connect(c.mnuAssignPorts, &QAction::triggered, this, &frmMR::mnuAssignPorts_Click);

    c.mnuTools = menuBar()->addMenu(QStringLiteral("&Tools"));
    c.mnuTools->setObjectName(QStringLiteral("mnuTools"));
    c.mnuCalibrate = namedAction(c.mnuTools, QStringLiteral("&Calibrate"), "mnuCalibrate");
    c.mnuCommDebug = namedAction(c.mnuTools, QStringLiteral("Comm &Debug"), "mnuCommDebug");
    c.mnuCompare = namedAction(c.mnuTools, QStringLiteral("Compare with &Device..."), "mnuCompare");
}

void frmMR::buildListFrame()
{
    MrControls &c = m_controls;
    c.Frame2 = named(new QGroupBox(QStringLiteral("Display and Output")), QStringLiteral("Frame2"));
    c.cboDisplayMode = combo("cboDisplayMode");
    c.cboRateUnits = combo("cboRateUnits");
    c.cboRateInterval = combo("cboRateInterval");
    c.cboTotalUnits = combo("cboTotalUnits");
    c.cboDisplayExp = combo("cboDisplayExp");
    c.cboMeterType = combo("cboMeterType");
    c.cboOutputMode = combo("cboOutputMode");
    c.txtFlowLow = edit("txtFlowLow");
    c.txtFlowHi = edit("txtFlowHi");

    RowAdder rows(c.Frame2);
    rows.add(c.lblDisplayMode, "lblDisplayMode", QStringLiteral("Display Mode:"), c.cboDisplayMode, c.lblDisplayModeE);
    rows.add(c.lblRateUnits, "lblRateUnits", QStringLiteral("Rate Units:"), c.cboRateUnits, c.lblRateUnitsE);
    rows.add(c.lblRateInterval, "lblRateInterval", QStringLiteral("Rate Interval:"), c.cboRateInterval,
             c.lblRateIntervalE);
    rows.add(c.lblTotalUnits, "lblTotalUnits", QStringLiteral("Total Units:"), c.cboTotalUnits, c.lblTotalUnitsE);
    rows.add(c.lblDisplayExp, "lblDisplayExp", QStringLiteral("Display Exponent:"), c.cboDisplayExp, c.lblDisplayExpE);
    rows.add(c.lblMeterType, "lblMeterType", QStringLiteral("Meter Type:"), c.cboMeterType, c.lblMeterTypeE);
    rows.add(c.lblOutputMode, "lblOutputMode", QStringLiteral("Output Mode:"), c.cboOutputMode, c.lblOutputModeE);
    rows.add(c.lblFlowLow, "lblFlowLow", QStringLiteral("Flow at 4mA:"), c.txtFlowLow, c.lblFlowLowE);
    rows.add(c.lblFlowHi, "lblFlowHi", QStringLiteral("Flow at 20mA:"), c.txtFlowHi, c.lblFlowHiE);
    rows.finish();
}

void frmMR::buildTextFrame()
{
    MrControls &c = m_controls;
    c.Frame1 = named(new QGroupBox(QStringLiteral("Measurement")), QStringLiteral("Frame1"));
    c.txtSpg = edit("txtSpg");
    c.txtScaleFactor = edit("txtScaleFactor");
    c.txtPressureComp = edit("txtPressureComp");
    c.txtTempComp = edit("txtTempComp");
    c.txtSPGcomp = edit("txtSPGcomp");
    c.txtLowFlowCutoff = edit("txtLowFlowCutoff");
    c.txtDamping = edit("txtDamping");
    c.txtPassword = edit("txtPassword");
    c.txtLinearPts = edit("txtLinearPts");

    RowAdder rows(c.Frame1);
    rows.add(c.lblSpg, "lblSpg", QStringLiteral("Specific Gravity:"), c.txtSpg, c.lblSpgE);
    rows.add(c.lblScaleFactor, "lblScaleFactor", QStringLiteral("Scale Factor:"), c.txtScaleFactor, c.lblScaleFactorE);
    rows.add(c.lblPressureComp, "lblPressureComp", QStringLiteral("Pressure Comp:"), c.txtPressureComp,
             c.lblPressureCompE);
    rows.add(c.lblTempComp, "lblTempComp", QStringLiteral("Temp Comp:"), c.txtTempComp, c.lblTempCompE);
    rows.add(c.lblSPGcomp, "lblSPGcomp", QStringLiteral("SPG Comp"), c.txtSPGcomp, c.lblSPGcompE);
    rows.add(c.lblLowFlowCutoff, "lblLowFlowCutoff", QStringLiteral("Low Flow Cutoff:"), c.txtLowFlowCutoff,
             c.lblLowFlowCutoffE);
    rows.add(c.lblDamping, "lblDamping", QStringLiteral("Damping:"), c.txtDamping, c.lblDampingE);
    rows.add(c.lblPassword, "lblPassword", QStringLiteral("Password:"), c.txtPassword, c.lblPasswordE);
    rows.add(c.lblLinearPts, "lblLinearPts", QStringLiteral("Linear Points:"), c.txtLinearPts, c.lblLinearPtsE);
    rows.finish();

    c.txtLowFlowCutoff->setText(QStringLiteral(".025"));
    QPalette grey = c.txtLowFlowCutoff->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    c.txtLowFlowCutoff->setPalette(grey);
    QPalette white = c.txtSpg->palette();
    white.setColor(QPalette::Base, QColor(255, 255, 255));
    c.txtSpg->setPalette(white);
}

void frmMR::setStatusText(const QString &text)
{
    m_controls.statusPanel1->setText(text);
}

QString frmMR::statusText() const
{
    return m_controls.statusPanel1->text();
}

void frmMR::Form_Load(const QString &configFolder)
{
    m_context.state.ReplyReceived = true;
    m_context.state.AutoFrame = true;

    if (m_context.link)
        connect(m_context.link, &LinkEngine::statusTextChanged, this, &frmMR::setStatusText);

    mnuComPort_Click(MainWindowParts::rememberedPort());

    m_fields->loadConfiguration(configFolder);

    MainWindowParts::centreOnScreen(this, 560);
}

// A port beyond the four of the menu (kept from the other family's window) is used as it is;
// no entry carries the check mark then, and the status names the port.
void frmMR::mnuComPort_Click(int index)
{
    for (int i = 1; i <= PortCount; ++i)
        m_controls.mnuComPort[std::size_t(i)]->setChecked(i == index);
    if (m_context.link)
        m_context.link->selectPort(index);
    else
        setStatusText(QStringLiteral("Status:  Com%1").arg(index));
}

// New paths take effect as a port selection does: the current port is closed and test-opened
// again under its possibly new path, and the status says how that went.
void frmMR::mnuAssignPorts_Click()
{
    if (!MainWindowParts::assignPorts(this, PortCount))
        return;
    mnuComPort_Click(m_context.link ? m_context.link->portNumber() : MainWindowParts::rememberedPort());
}

void frmMR::mnuCalibrate_Click()
{
    m_controls.Option2->setChecked(true);
    m_poll->Option2_Click();
    m_context.state.ReplyReceived = false;
    m_fields->CheckDeviceVersion();
    frmCalibration calibration(m_context, this);
    m_calibration = &calibration;
    calibration.exec();
}

// Shown where it was; this window does not move it beside itself.
void frmMR::mnuCommDebug_Click()
{
    if (!m_lineMonitor)
        return;
    m_lineMonitor->show();
    m_lineMonitor->raise();
}

void frmMR::mnuExit_Click()
{
    if (m_calibration)
        m_calibration->reject();
    for (QWidget *companion : {m_linearPoints.data(), m_lineMonitor.data(),
                               m_progress.data(), m_splash.data()}) {
        if (companion)
            companion->hide();
    }
    close();
}

frmLinearPoints *frmMR::linearPointsWindow()
{
    return m_linearPointsButton->window();
}

void frmMR::mnuClear_Click()
{
    ClearAllData::clearSetup(ParameterSet::mr(), *this, *linearPointsWindow(), m_context.state);
    setStatusText(ClearAllData::clearedStatus());
}

void frmMR::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMR::Form_Resize()
{
    MainWindowParts::moveCompanions(this, m_linearPoints, m_lineMonitor);
}

void frmMR::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmMR::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    MainWindowParts::storeSettings(this, m_context.link ? m_context.link->portNumber() : 1);
    Q_EMIT closed();
}

frmCalibration *frmMR::calibrationWindow() const
{
    return m_calibration;
}
