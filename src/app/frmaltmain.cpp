#include "frmaltmain.h"

#include <QCloseEvent>
#include <QComboBox>
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

#include "app/altmainhosts.h"
#include "app/frmsplash.h"
#include "app/mainwindowparts.h"
#include "calibration/frmcalibration.h"
#include "datafile/clearalldata.h"
#include "datafile/datafilecommands.h"
#include "linear/linearpoints.h"
#include "params/dravionfields.h"
#include "transfer/frequencypoll.h"
#include "transfer/setuptransfer.h"
#include "linear/markerlabel.h"
#include "app/settingsstore.h"
#include "params/twips.h"
#include "link/devicestate.h"
#include "link/linkengine.h"

namespace {

template<typename T>
T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QAction *namedAction(QMenu *menu, const QString &caption, const char *name)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

frmAltMain::frmAltMain(AppContext context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmAltMain"));
    setWindowTitle(QStringLiteral("QRX Programming Utility"));
    m_controls.window = this;

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    buildMenus();
    buildSetupFrame();
    MainWindowParts::buildFrequencyFrame(this, {m_controls.Frame4, m_controls.Label2, m_controls.Option1,
                                                m_controls.Option2, m_controls.lblInputHz, m_controls.Label4,
                                                m_controls.tmrPolling});
    layout->addWidget(m_controls.fraSetup);
    layout->addWidget(m_controls.Frame4);

    auto *buttons = new QHBoxLayout;
    m_controls.btnRead = named(new QPushButton(QStringLiteral("Read Setup"), central), "btnRead");
    m_controls.btnDownload = named(new QPushButton(QStringLiteral("Download Setup"), central), "btnDownload");
    m_controls.btnLinear = named(new QPushButton(QStringLiteral("Linear Points"), central), "btnLinear");
    for (QPushButton *b : {m_controls.btnRead, m_controls.btnDownload, m_controls.btnLinear}) {
        b->setMinimumHeight(32);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    setCentralWidget(central);
    MainWindowParts::buildStatusBar(this, {m_controls.StatusBar1, m_controls.statusPanel1, m_controls.statusPanel2,
                                           m_controls.statusPanel3});

    m_fields = new DravionFields(AltMainHosts::fields(*this), m_context, this);
    m_linearPointsButton = new LinearPoints(AltMainHosts::linearPoints(*this), m_context, this);
    m_clearAll = new ClearAllData(AltMainHosts::clearAll(*this), m_context, this);
    m_dataFiles = new DataFileCommands(AltMainHosts::dataFiles(*this, m_context), m_context, this);
    m_transfer = new SetupTransfer(AltMainHosts::transfer(*this), m_context, this);
    m_poll = new FrequencyPoll(m_context, m_controls.tmrPolling, m_controls.lblInputHz,
                               FrequencyPoll::Rules::UsePollingOn, this);

    AltMainControls &c = m_controls;
    connect(c.mnuOpen, &QAction::triggered, m_dataFiles, &DataFileCommands::mnuOpen_Click);
    connect(c.mnuSave, &QAction::triggered, m_dataFiles, &DataFileCommands::mnuSave_Click);
    connect(c.mnuClear, &QAction::triggered, m_clearAll, &ClearAllData::mnuClear_Click);
    connect(c.mnuCalibrate, &QAction::triggered, this, &frmAltMain::mnuCalibrate_Click);
    connect(c.mnuCommDebug, &QAction::triggered, this, &frmAltMain::mnuCommDebug_Click);
    connect(c.btnRead, &QPushButton::clicked, m_transfer, &SetupTransfer::btnRead_Click);
    connect(c.btnDownload, &QPushButton::clicked, m_transfer, &SetupTransfer::btnDownload_Click);
    connect(c.mnuCompare, &QAction::triggered, m_transfer, &SetupTransfer::mnuCompare_Click);
    connect(c.btnLinear, &QPushButton::clicked, m_linearPointsButton, &LinearPoints::btnLinear_Click);
    connect(c.Option1, &QRadioButton::clicked, m_poll, &FrequencyPoll::Option1_Click);
    connect(c.Option2, &QRadioButton::clicked, m_poll, &FrequencyPoll::Option2_Click);
    connect(c.tmrPolling, &QTimer::timeout, m_poll, &FrequencyPoll::tmrPolling_Timer);

    Form_Load();
}

frmAltMain::~frmAltMain() = default;

void frmAltMain::buildMenus()
{
    AltMainControls &c = m_controls;
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
    connect(c.mnuExit, &QAction::triggered, this, &QWidget::close);

    c.mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    c.mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    c.mnuSerialPort = c.mnuOptions->addMenu(QStringLiteral("Serial &Port"));
    c.mnuSerialPort->setObjectName(QStringLiteral("mnuSerialPort"));
    for (int i = 1; i <= 12; ++i) {
        const QString caption = i <= 9 ? QStringLiteral("Com &%1").arg(i) : QStringLiteral("Com %1").arg(i);
        QAction *action = c.mnuSerialPort->addAction(caption);
        action->setObjectName(QStringLiteral("mnuComPort%1").arg(i));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] { mnuComPort_Click(i); });
        c.mnuComPort[i] = action;
    }
    // The captions stay "Com n"; each entry's tooltip names the device path behind it, read again
    // whenever the menu opens, so a mapping edited in the settings file shows without a restart.
    c.mnuSerialPort->setToolTipsVisible(true);
    auto showPortPaths = [this] {
        for (int i = 1; i <= 12; ++i)
            m_controls.mnuComPort[i]->setToolTip(SettingsStore::portPath(i));
    };
    showPortPaths();
    connect(c.mnuSerialPort, &QMenu::aboutToShow, this, showPortPaths);
    c.mnuAssignPorts = namedAction(c.mnuOptions, QStringLiteral("&Assign Serial Ports..."), "mnuAssignPorts");
    connect(c.mnuAssignPorts, &QAction::triggered, this, &frmAltMain::mnuAssignPorts_Click);

    c.mnuTools = menuBar()->addMenu(QStringLiteral("&Tools"));
    c.mnuTools->setObjectName(QStringLiteral("mnuTools"));
    c.mnuCalibrate = namedAction(c.mnuTools, QStringLiteral("&Calibrate"), "mnuCalibrate");
    c.mnuCommDebug = namedAction(c.mnuTools, QStringLiteral("Comm &Debug"), "mnuCommDebug");
    c.mnuCompare = namedAction(c.mnuTools, QStringLiteral("Compare with &Device..."), "mnuCompare");

    // A top-level entry that acts by itself, without a drop-down.
    c.mnuAbout = menuBar()->addAction(QStringLiteral("&About"));
    c.mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(c.mnuAbout, &QAction::triggered, this, &frmAltMain::mnuAbout_Click);
}

void frmAltMain::buildSetupFrame()
{
    AltMainControls &c = m_controls;
    c.fraSetup = named(new QGroupBox(QStringLiteral("Setup")), "fraSetup");
    auto *grid = new QGridLayout(c.fraSetup);
    grid->setHorizontalSpacing(8);
    grid->setColumnStretch(1, 1);

    c.lblDevice = named(new QLabel(QStringLiteral("Device:")), "lblDevice");
    auto *types = new QHBoxLayout;
    c.optType[0] = named(new QRadioButton(QStringLiteral("4-20mA")), "optType0");
    c.optType[1] = named(new QRadioButton(QStringLiteral("0-5V")), "optType1");
    c.optType[0]->setChecked(true);
    types->addWidget(c.optType[0]);
    types->addWidget(c.optType[1]);
    types->addStretch();
    c.lblDevice->setBuddy(c.optType[0]);
    grid->addWidget(c.lblDevice, 0, 0);
    grid->addLayout(types, 0, 1);

    int row = 1;
    auto addRow = [&](QLabel *&caption, const char *captionName, const QString &text, QWidget *field,
                      QLabel *&marker, const char *markerName) {
        caption = named(new QLabel(text), captionName);
        caption->setBuddy(field);
        marker = named(new MarkerLabel, markerName);
        grid->addWidget(caption, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(marker, row, 2);
        ++row;
    };
    auto combo = [](const char *name) {
        auto *box = named(new QComboBox, name);
        box->setEditable(false);
        return box;
    };
    auto edit = [](const char *name) { return named(new QLineEdit, name); }; // limits come from the fields
    c.cboRateUnits = combo("cboRateUnits");
    c.cboRateInterval = combo("cboRateInterval");
    c.cboKfactorUnits = combo("cboKfactorUnits");
    c.txtKfactor = edit("txtKfactor");
    c.txtDamping = edit("txtDamping");
    c.txtFlowLow = edit("txtFlowLow");
    c.txtFlowHi = edit("txtFlowHi");
    c.txtLinearPts = edit("txtLinearPts");
    c.txtSpg = edit("txtSpg");

    addRow(c.lblRateUnits, "lblRateUnits", QStringLiteral("Rate Units:"), c.cboRateUnits, c.lblRateUnitsE, "lblRateUnitsE");
    addRow(c.lblRateInterval, "lblRateInterval", QStringLiteral("Rate Interval:"), c.cboRateInterval,
           c.lblRateIntervalE, "lblRateIntervalE");
    addRow(c.lblKfactorUnits, "lblKfactorUnits", QStringLiteral("K Factor Units:"), c.cboKfactorUnits,
           c.lblKfactorUnitsE, "lblKfactorUnitsE");
    addRow(c.lblKFactor, "lblKFactor", QStringLiteral("K Factor:"), c.txtKfactor, c.lblKfactorE, "lblKfactorE");
    addRow(c.lblDamping, "lblDamping", QStringLiteral("Damping:"), c.txtDamping, c.lblDampingE, "lblDampingE");
    addRow(c.lblFlowLow, "lblFlowLow", QStringLiteral("Flow at 4mA:"), c.txtFlowLow, c.lblFlowLowE, "lblFlowLowE");
    addRow(c.lblFlowHi, "lblFlowHi", QStringLiteral("Flow at 20mA:"), c.txtFlowHi, c.lblFlowHiE, "lblFlowHiE");
    addRow(c.lblLinearPts, "lblLinearPts", QStringLiteral("Linear Points:"), c.txtLinearPts, c.lblLinearPtsE,
           "lblLinearPtsE");
    addRow(c.lblSpg, "lblSpg", QStringLiteral("Specific Gravity:"), c.txtSpg, c.lblSpgE, "lblSpgE");
    c.txtSpg->hide();
    c.lblSpg->hide();
}

void frmAltMain::setStatusText(const QString &text)
{
    m_controls.statusPanel1->setText(text);
}

QString frmAltMain::statusText() const
{
    return m_controls.statusPanel1->text();
}

void frmAltMain::Form_Load()
{
    m_context.state.ReplyReceived = true;
    m_context.state.AutoFrame = true;

    if (m_context.link)
        connect(m_context.link, &LinkEngine::statusTextChanged, this, &frmAltMain::setStatusText);

    mnuComPort_Click(MainWindowParts::rememberedPort());

    m_fields->loadConfiguration();

    MainWindowParts::centreOnScreen(this, 420);
}

void frmAltMain::mnuComPort_Click(int index)
{
    for (int i = 1; i <= 12; ++i)
        m_controls.mnuComPort[i]->setChecked(i == index);
    if (m_context.link)
        m_context.link->selectPort(index);
    else
        setStatusText(QStringLiteral("Status:  Com%1").arg(index));
}

void frmAltMain::mnuAbout_Click()
{
    if (m_splash)
        m_splash->showAbout();
}

// New paths take effect as a port selection does: the current port is closed and test-opened
// again under its possibly new path, and the status says how that went.
void frmAltMain::mnuAssignPorts_Click()
{
    if (!MainWindowParts::assignPorts(this, 12))
        return;
    mnuComPort_Click(m_context.link ? m_context.link->portNumber() : MainWindowParts::rememberedPort());
}

void frmAltMain::mnuCalibrate_Click()
{
    m_controls.Option2->setChecked(true);
    m_poll->Option2_Click();
    m_context.state.ReplyReceived = false;
    m_fields->CheckDeviceVersion();
    frmCalibration calibration(m_context, this);
    calibration.exec();
}

void frmAltMain::mnuCommDebug_Click()
{
    if (!m_lineMonitor)
        return;
    // Placed by its outer frame, as the main window's figures are. A monitor never shown yet has
    // no frame to measure; it will be decorated like this window.
    const QWidget *decorated = m_lineMonitor->windowHandle() ? m_lineMonitor.data() : this;
    const QRect outer = decorated->frameGeometry();
    const QRect inner = decorated->geometry();
    const int decorationWidth = outer.width() - inner.width();
    const int decorationHeight = outer.height() - inner.height();
    const QRect frame = frameGeometry();
    m_lineMonitor->resize(Twips::toPixels(5085) - decorationWidth, frame.height() - decorationHeight);
    m_lineMonitor->move(frame.left() + frame.width(), frame.top()); // move() places the outer frame
    m_lineMonitor->show();
    m_lineMonitor->raise();
}

void frmAltMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmAltMain::Form_Resize()
{
    MainWindowParts::moveCompanions(this, m_linearPoints, m_lineMonitor);
}

void frmAltMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmAltMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    MainWindowParts::storeSettings(this, m_context.link ? m_context.link->portNumber() : 1);
    Q_EMIT closed();
}

void frmAltMain::setSplash(frmSplash *splash)
{
    m_splash = splash;
}
