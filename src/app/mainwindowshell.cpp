// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowshell.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/frmsetuphistory.h"
#include "app/historykeeper.h"
#include "app/mainwindowparts.h"
#include "app/settingsstore.h"
#include "app/setuphistorylist.h"
#include "app/setupsheetcommands.h"
#include "calibration/frmcalibration.h"
#include "datafile/datafilecommands.h"
#include "datafile/datafileformat.h"
#include "datafile/datafilereader.h"
#include "datafile/modelloader.h"
#include "datafile/setuphistory.h"
#include "linear/linearpoints.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/userdialogs.h"
#include "params/devicefamily.h"
#include "params/mainwindowcontrols.h"
#include "params/screenfit.h"
#include "params/setupmodel.h"
#include "params/twips.h"
#include "transfer/frequencytrend.h"
#include "transfer/frmfrequencytrend.h"
#include "transfer/setuptransfer.h"

namespace {

QAction *namedAction(QMenu *menu, const QString &caption, const char *name)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

MainWindowShell::MainWindowShell(
    const DeviceFamily &family, AppContext context, Traits traits, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
    , m_family(family)
    , m_setup(SetupModel::over(family, m_context.state))
    , m_traits(traits)
{
    setWindowTitle(family.caption);
}

MainWindowShell::~MainWindowShell()
{
    // The fields and the other controllers work on the setup, so they go before it does; the
    // widgets and the layout are the window's own to take down.
    std::vector<QPointer<QObject>> controllers;
    for (QObject *child : children()) {
        if (!child->isWidgetType() && !qobject_cast<QLayout *>(child))
            controllers.emplace_back(child);
    }
    for (const QPointer<QObject> &controller : controllers)
        delete controller.data();
}

void MainWindowShell::buildShell(MainWindowControls &controls)
{
    m_controls = &controls;
    controls.window = this;
    buildMenus();
    MainWindowParts::buildFrequencyFrame(this,
        { controls.Frame4, controls.Label2, controls.Option1, controls.Option2, controls.lblInputHz,
            controls.Label4, controls.tmrPolling });
    buildButtons();
    MainWindowParts::buildStatusBar(
        this, { controls.StatusBar1, controls.statusPanel1, controls.statusPanel2, controls.statusPanel3 });

    m_poll = new FrequencyPoll(m_context, controls.tmrPolling, controls.lblInputHz, m_traits.pollRules, this);
    connect(controls.Option1, &QRadioButton::clicked, m_poll, &FrequencyPoll::Option1_Click);
    connect(controls.Option2, &QRadioButton::clicked, m_poll, &FrequencyPoll::Option2_Click);
    connect(controls.tmrPolling, &QTimer::timeout, m_poll, &FrequencyPoll::tmrPolling_Timer);

    m_trend = new FrequencyTrend(m_context.dialogs, this);
    connect(m_poll, &FrequencyPoll::frequencyShown, m_trend, &FrequencyTrend::addNow);
    connect(m_poll, &FrequencyPoll::frequencyMissed, m_trend, &FrequencyTrend::breakLine);
    connect(m_poll, &FrequencyPoll::pollingSwitched, m_trend, [this](bool on) {
        if (!on)
            m_trend->breakLine();
    });
}

void MainWindowShell::buildMenus()
{
    MainWindowControls &c = *m_controls;
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
    connect(c.mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });

    c.mnuOptions = menuBar()->addMenu(QStringLiteral("&Options"));
    c.mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    c.mnuSerialPort = c.mnuOptions->addMenu(QStringLiteral("Serial &Port"));
    c.mnuSerialPort->setObjectName(QStringLiteral("mnuSerialPort"));
    const int ports = m_family.portCount;
    for (int i = 1; i <= ports; ++i) {
        const QString caption = i <= 9 ? QStringLiteral("Com &%1").arg(i) : QStringLiteral("Com %1").arg(i);
        QAction *action = c.mnuSerialPort->addAction(caption);
        action->setObjectName(QStringLiteral("mnuComPort%1").arg(i));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, i] { mnuComPort_Click(i); });
        c.mnuComPort[std::size_t(i)] = action;
    }
    // The captions stay "Com n"; each entry's tooltip names the device path behind it, read again
    // whenever the menu opens, so a mapping edited in the settings file shows without a restart.
    c.mnuSerialPort->setToolTipsVisible(true);
    auto showPortPaths = [this, ports] {
        for (int i = 1; i <= ports; ++i)
            m_controls->mnuComPort[std::size_t(i)]->setToolTip(SettingsStore::portPath(i));
    };
    showPortPaths();
    connect(c.mnuSerialPort, &QMenu::aboutToShow, this, showPortPaths);
    c.mnuAssignPorts = namedAction(c.mnuOptions, QStringLiteral("&Assign Serial Ports..."), "mnuAssignPorts");
    connect(c.mnuAssignPorts, &QAction::triggered, this, &MainWindowShell::mnuAssignPorts_Click);
    m_keepHistory = namedAction(c.mnuOptions, QStringLiteral("Keep Setup &History"), "mnuKeepHistory");
    m_keepHistory->setCheckable(true);
    m_backUp = namedAction(c.mnuOptions, QStringLiteral("&Back Up Before Download"), "mnuBackUp");
    m_backUp->setCheckable(true);

    c.mnuTools = menuBar()->addMenu(QStringLiteral("&Tools"));
    c.mnuTools->setObjectName(QStringLiteral("mnuTools"));
    c.mnuCalibrate = namedAction(c.mnuTools, QStringLiteral("&Calibrate"), "mnuCalibrate");
    c.mnuCommDebug = namedAction(c.mnuTools, QStringLiteral("Comm &Debug"), "mnuCommDebug");
    c.mnuCompare = namedAction(c.mnuTools, QStringLiteral("Com&pare with Device..."), "mnuCompare");
    // Additions go after the described entries, each with a letter of its own.
    QAction *trend = namedAction(c.mnuTools, QStringLiteral("&Frequency Trend..."), "mnuFrequencyTrend");
    connect(trend, &QAction::triggered, this, &MainWindowShell::mnuFrequencyTrend_Click);
    QAction *history = namedAction(c.mnuTools, QStringLiteral("Setup &History..."), "mnuSetupHistory");
    connect(history, &QAction::triggered, this, &MainWindowShell::mnuSetupHistory_Click);
    m_exportSheet = namedAction(c.mnuTools, QStringLiteral("&Export Setup Sheet..."), "mnuExportSheet");
    m_printSetup = namedAction(c.mnuTools, QStringLiteral("P&rint Setup..."), "mnuPrintSetup");
    connect(c.mnuCalibrate, &QAction::triggered, this, &MainWindowShell::mnuCalibrate_Click);
    connect(c.mnuCommDebug, &QAction::triggered, this, &MainWindowShell::mnuCommDebug_Click);
}

// Made without a parent, so that they join the focus chain after the setup area and the frame.
void MainWindowShell::buildButtons()
{
    MainWindowControls &c = *m_controls;
    auto button = [](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption);
        b->setObjectName(QString::fromLatin1(name));
        b->setMinimumHeight(32);
        return b;
    };
    c.btnRead = button(QStringLiteral("Read Setup"), "btnRead");
    c.btnDownload = button(QStringLiteral("Download Setup"), "btnDownload");
    c.btnLinear = button(QStringLiteral("Linear Points"), "btnLinear");
}

void MainWindowShell::placeCentral(QLayout *setupArea)
{
    MainWindowControls &c = *m_controls;
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addLayout(setupArea);
    layout->addWidget(c.Frame4);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : { c.btnRead, c.btnDownload, c.btnLinear })
        buttons->addWidget(b);
    layout->addLayout(buttons);
    setCentralWidget(central);
}

SetupFields::Points MainWindowShell::setupPoints()
{
    SetupFields::Points points;
    points.markMissing = [this](double count) { return m_linearPointsButton->markMissingPoints(count); };
    points.enter = [this](int row, int column, const QString &text) {
        m_linearPointsButton->enterPoint(row, column, text);
    };
    return points;
}

void MainWindowShell::connectCommands()
{
    const MainWindowControls &c = *m_controls;
    connect(c.mnuOpen, &QAction::triggered, m_dataFiles, &DataFileCommands::mnuOpen_Click);
    connect(c.mnuSave, &QAction::triggered, m_dataFiles, &DataFileCommands::mnuSave_Click);
    connect(c.btnRead, &QPushButton::clicked, m_transfer, &SetupTransfer::btnRead_Click);
    connect(c.btnDownload, &QPushButton::clicked, m_transfer, &SetupTransfer::btnDownload_Click);
    connect(c.mnuCompare, &QAction::triggered, m_transfer, &SetupTransfer::mnuCompare_Click);
    connect(c.btnLinear, &QPushButton::clicked, m_linearPointsButton, &LinearPoints::btnLinear_Click);
    m_sheets = new SetupSheetCommands(*this, *m_transfer, m_context, this);
    connect(m_exportSheet, &QAction::triggered, m_sheets, &SetupSheetCommands::mnuExportSheet_Click);
    connect(m_printSetup, &QAction::triggered, m_sheets, &SetupSheetCommands::mnuPrintSetup_Click);
    connectHistory();
}

void MainWindowShell::connectHistory()
{
    const MainWindowControls &c = *m_controls;
    HistoryKeeper::Host host;
    host.setupBytes = [this] { return m_dataFiles->setupBytes(); };
    host.port
        = [this] { return QStringLiteral("Com%1").arg(m_context.link ? m_context.link->portNumber() : 1); };
    host.setStatusText = [this](const QString &text) { setStatusText(text); };
    host.busy = [this] { return m_context.state.TransferRunning; };
    m_history = new HistoryKeeper(std::move(host), SetupHistory(), this);

    m_keepHistory->setChecked(m_history->keepsHistory());
    m_backUp->setChecked(m_history->backsUp());
    connect(m_keepHistory, &QAction::toggled, m_history, &HistoryKeeper::setKeepsHistory);
    connect(m_backUp, &QAction::toggled, m_history, &HistoryKeeper::setBacksUp);

    m_transfer->setTransferred([this](SetupFlow::Step step, const SetupModel &setup) {
        const std::optional<QByteArray> bytes = SetupHistory::bytesOf(setup);
        if (step == SetupFlow::Step::Backup)
            m_history->keepBackup(bytes);
        else
            m_history->keepTransferred(
                step == SetupFlow::Step::Read ? SetupHistory::What::Read : SetupHistory::What::Download,
                bytes);
    });
    m_transfer->setBackUpBeforeDownload([this] { return m_history->backsUp(); });
    // Read Setup discards the window's setup before it reads; a failure is told once it has ended.
    m_transfer->setReadStarting([this] { m_history->discarding(); });
    for (QPushButton *b : { c.btnRead, c.btnDownload })
        connect(b, &QPushButton::clicked, m_history, &HistoryKeeper::showPending);
    connect(m_dataFiles, &DataFileCommands::saved, m_history, &HistoryKeeper::settle);
    connect(m_dataFiles, &DataFileCommands::opened, m_history, &HistoryKeeper::settle);

    SetupHistoryList::Host list;
    list.open = [this](const QString &path) { openKeptSetup(path); };
    list.compare = [this](const QString &path) { compareKeptSetup(path); };
    list.showFolder = [](const QString &folder) { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
    m_historyList
        = new SetupHistoryList(m_history->history(), m_family, m_context.dialogs, std::move(list), this);
    connect(m_history, &HistoryKeeper::kept, m_historyList, [this] {
        if (m_historyWindow && m_historyWindow->isVisible())
            m_historyList->refresh();
    });
}

void MainWindowShell::setupDiscarding()
{
    // During Read Setup the setup was kept as it started; what it clears later is the device's.
    if (m_history && !m_context.state.TransferRunning)
        m_history->discarding();
}

void MainWindowShell::setupSettled()
{
    if (m_history)
        m_history->settle();
}

void MainWindowShell::mnuSetupHistory_Click()
{
    if (!m_historyWindow) {
        m_historyWindow = new frmSetupHistory(*m_historyList, this);
        m_historyWindow->move(frameGeometry().topLeft() + QPoint(40, 60)); // over the window it loads into
    }
    m_historyWindow->show();
    ScreenFit::keepOnScreen(m_historyWindow);
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}

frmSetupHistory *MainWindowShell::historyWindow() const
{
    return m_historyWindow;
}

void MainWindowShell::openKeptSetup(const QString &path)
{
    if (m_context.state.TransferRunning)
        return; // the transfer's sequence owns the window's setup until it ends
    m_dataFiles->openFile(path);
}

void MainWindowShell::compareKeptSetup(const QString &path)
{
    if (m_context.state.TransferRunning)
        return;
    // Loaded as Open loads a file, into a setup of its own: the window does not change.
    const std::optional<QByteArray> bytes = DataFileReader::load(path);
    const std::unique_ptr<SetupModel> setup = m_transfer->emptySetup();
    const ModelLoader::Outcome outcome = bytes
        ? ModelLoader::apply(
            *setup, DataFileReader::parse(*bytes, DataFileFormat::userDecimalPoint()), m_context.dialogs)
        : ModelLoader::Outcome::Failed;
    if (outcome == ModelLoader::Outcome::Failed)
        m_context.dialogs.message(QStringLiteral("Opening File Error!"), UserDialogs::Icon::Critical);
    if (outcome == ModelLoader::Outcome::Loaded)
        m_transfer->compareSetup(*setup, QStringLiteral("Kept Setup"));
}

std::vector<QAction *> MainWindowShell::guardedCommands() const
{
    const MainWindowControls &c = *m_controls;
    std::vector<QAction *> commands { c.mnuOpen, c.mnuClear, c.mnuCalibrate, c.mnuCompare,
        c.mnuSerialPort->menuAction(), c.mnuAssignPorts };
    for (int i = 1; i <= m_family.portCount; ++i)
        commands.push_back(c.mnuComPort[std::size_t(i)]);
    return commands;
}

void MainWindowShell::setStatusText(const QString &text)
{
    m_controls->statusPanel1->setText(text);
}

QString MainWindowShell::statusText() const
{
    return m_controls->statusPanel1->text();
}

void MainWindowShell::Form_Load(const std::function<void()> &readConfiguration)
{
    m_context.state.ReplyReceived = true;
    m_context.state.AutoFrame = true;

    if (m_context.link)
        connect(m_context.link, &LinkEngine::statusTextChanged, this, &MainWindowShell::setStatusText);

    mnuComPort_Click(MainWindowParts::rememberedPort());

    readConfiguration();
    setupSettled(); // what the window starts with is nobody's edit

    MainWindowParts::centreOnScreen(this, m_traits.minimumWidth);
}

// A port beyond the entries of the menu (kept from a family with more ports) is used as it is;
// no entry carries the check mark then, and the status names the port.
void MainWindowShell::mnuComPort_Click(int index)
{
    for (int i = 1; i <= m_family.portCount; ++i)
        m_controls->mnuComPort[std::size_t(i)]->setChecked(i == index);
    if (m_context.link)
        m_context.link->selectPort(index);
    else
        setStatusText(QStringLiteral("Status:  Com%1").arg(index));
}

// New paths take effect as a port selection does: the current port is closed and test-opened
// again under its possibly new path, and the status says how that went.
void MainWindowShell::mnuAssignPorts_Click()
{
    if (!MainWindowParts::assignPorts(this, m_family.portCount))
        return;
    mnuComPort_Click(m_context.link ? m_context.link->portNumber() : MainWindowParts::rememberedPort());
}

void MainWindowShell::mnuCalibrate_Click()
{
    m_controls->Option2->setChecked(true);
    m_poll->Option2_Click();
    m_context.state.ReplyReceived = false;
    CheckDeviceVersion();
    frmCalibration calibration(m_context, this);
    m_calibration = &calibration;
    calibration.exec();
}

frmCalibration *MainWindowShell::calibrationWindow() const
{
    return m_calibration;
}

void MainWindowShell::mnuCommDebug_Click()
{
    if (!m_lineMonitor)
        return;
    if (m_traits.monitorBeside) {
        // Placed by its outer frame, as the main window's figures are. A monitor never shown yet
        // has no frame to measure; it will be decorated like this window.
        const QWidget *decorated = m_lineMonitor->windowHandle() ? m_lineMonitor.data() : this;
        const QRect outer = decorated->frameGeometry();
        const QRect inner = decorated->geometry();
        const int decorationWidth = outer.width() - inner.width();
        const int decorationHeight = outer.height() - inner.height();
        const QRect frame = frameGeometry();
        m_lineMonitor->resize(Twips::toPixels(5085) - decorationWidth, frame.height() - decorationHeight);
        m_lineMonitor->move(frame.left() + frame.width(), frame.top()); // move() places the outer frame
    }
    m_lineMonitor->show();
    ScreenFit::keepOnScreen(m_lineMonitor); // beside a wide main window it may pass the screen's edge
    m_lineMonitor->raise();
}

void MainWindowShell::mnuFrequencyTrend_Click()
{
    if (!m_trendWindow)
        m_trendWindow = new frmFrequencyTrend(m_context, *m_trend, *m_poll, this);
    m_trendWindow->show();
    m_trendWindow->raise();
    m_trendWindow->activateWindow();
}

frmFrequencyTrend *MainWindowShell::trendWindow() const
{
    return m_trendWindow;
}

void MainWindowShell::mnuExit_Click()
{
    close();
}

void MainWindowShell::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void MainWindowShell::Form_Resize()
{
    MainWindowParts::moveCompanions(this, m_linearPoints, m_lineMonitor);
}

void MainWindowShell::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void MainWindowShell::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    setupDiscarding();
    MainWindowParts::storeSettings(this, m_context.link ? m_context.link->portNumber() : 1);
    Q_EMIT closed();
}
