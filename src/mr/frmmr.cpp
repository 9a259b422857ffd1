// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmmr.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "calibration/frmcalibration.h"
#include "datafile/clearalldata.h"
#include "datafile/datafilecommands.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "linear/markerlabel.h"
#include "link/devicestate.h"
#include "mr/mrfields.h"
#include "params/devicefamily.h"
#include "transfer/setuptransfer.h"

namespace {

template <typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QComboBox *combo(const QString &name)
{
    auto *box = named(new QComboBox, name);
    box->setEditable(false);
    return box;
}

// Adds rows of caption, control and marker to a frame's grid, each named after its stem: caption
// "lbl<stem>", control "cbo<stem>" or "txt<stem>", marker "lbl<stem>E".
class RowAdder
{
public:
    RowAdder(QGroupBox *frame, std::vector<SetupFields::Controls> &fields)
        : m_grid(new QGridLayout(frame))
        , m_fields(fields)
    {
        m_grid->setHorizontalSpacing(8);
        m_grid->setColumnStretch(1, 1);
    }

    void add(QLabel *&caption, const char *stem, const QString &text, QComboBox *&list, QLabel *&marker)
    {
        list = combo(QStringLiteral("cbo") + QLatin1String(stem));
        addRow(caption, stem, text, list, marker);
    }

    void add(QLabel *&caption, const char *stem, const QString &text, QLineEdit *&field, QLabel *&marker)
    {
        field = named(new QLineEdit, QStringLiteral("txt") + QLatin1String(stem));
        addRow(caption, stem, text, field, marker);
    }

    void finish() { m_grid->setRowStretch(m_row, 1); }

private:
    void addRow(QLabel *&caption, const char *stem, const QString &text, QWidget *field, QLabel *&marker)
    {
        const QString name = QStringLiteral("lbl") + QLatin1String(stem);
        caption = named(new QLabel(text), name);
        caption->setBuddy(field);
        marker = named(new MarkerLabel, name + QLatin1Char('E'));
        m_grid->addWidget(caption, m_row, 0);
        m_grid->addWidget(field, m_row, 1);
        m_grid->addWidget(marker, m_row, 2);
        m_fields.push_back({ field, caption, marker });
        ++m_row;
    }

    QGridLayout *m_grid;
    std::vector<SetupFields::Controls> &m_fields;
    int m_row = 0;
};

} // namespace

frmMR::frmMR(AppContext context, const QString &configFolder, QWidget *parent)
    : MainWindowShell(
        DeviceFamily::mr(), context, Traits { false, 560, FrequencyPoll::Rules::TimerOnly }, parent)
{
    setObjectName(QStringLiteral("frmMR"));
    buildShell(m_controls);
    buildListFrame();
    buildTextFrame();
    MrControls &c = m_controls;
    auto *frames = new QHBoxLayout;
    frames->addWidget(c.Frame2, 1);
    frames->addWidget(c.Frame1, 1);
    placeCentral(frames);

    m_fields = new MrFields(setup(), c, m_fieldControls, m_context, setupPoints(), this);
    m_linearPointsButton = new LinearPoints(
        LinearPoints::Host { this, &setup(), c.txtLinearPts, c.Option2, [this] { poll().Option2_Click(); },
            [this](QWidget *points) { setLinearPointsWindow(points); } },
        m_context, this);
    m_dataFiles = new DataFileCommands(DataFileCommands::Host { &setup(), [this] { mnuClear_Click(); },
                                           [this](const QString &text) { setStatusText(text); } },
        m_context, this);

    SetupTransfer::Host transfer;
    transfer.mainWindow = this;
    transfer.buttons = { c.btnRead, c.btnDownload };
    transfer.commands = guardedCommands();
    // The Output Mode list is read as an item of its own; the answer to "I" selects nothing.
    transfer.setup = &setup();
    transfer.linearPointsWindow = [this]() -> QWidget * { return linearPointsWindow(); };
    transfer.mnuClear_Click = [this] { mnuClear_Click(); };
    transfer.setStatusText = [this](const QString &text) { setStatusText(text); };
    transfer.CheckDeviceVersion = [this] { m_fields->CheckDeviceVersion(); };
    transfer.CheckMissingFields = [this] { return m_fields->CheckMissingFields(); };
    m_transfer = new SetupTransfer(std::move(transfer), m_context, this);
    m_progress = m_transfer->progressWindow();

    connectCommands();
    connect(c.mnuClear, &QAction::triggered, this, &frmMR::mnuClear_Click);

    const QString folder = configFolder.isEmpty() ? QCoreApplication::applicationDirPath() : configFolder;
    Form_Load([this, folder] { m_fields->loadConfiguration(folder); });
}

frmMR::~frmMR() = default;

void frmMR::buildListFrame()
{
    MrControls &c = m_controls;
    c.Frame2 = named(new QGroupBox(QStringLiteral("Display and Output")), QStringLiteral("Frame2"));

    RowAdder rows(c.Frame2, m_fieldControls);
    rows.add(c.lblDisplayMode, "DisplayMode", QStringLiteral("Display Mode:"), c.cboDisplayMode,
        c.lblDisplayModeE);
    rows.add(c.lblRateUnits, "RateUnits", QStringLiteral("Rate Units:"), c.cboRateUnits, c.lblRateUnitsE);
    rows.add(c.lblRateInterval, "RateInterval", QStringLiteral("Rate Interval:"), c.cboRateInterval,
        c.lblRateIntervalE);
    rows.add(
        c.lblTotalUnits, "TotalUnits", QStringLiteral("Total Units:"), c.cboTotalUnits, c.lblTotalUnitsE);
    rows.add(c.lblDisplayExp, "DisplayExp", QStringLiteral("Display Exponent:"), c.cboDisplayExp,
        c.lblDisplayExpE);
    rows.add(c.lblMeterType, "MeterType", QStringLiteral("Meter Type:"), c.cboMeterType, c.lblMeterTypeE);
    rows.add(
        c.lblOutputMode, "OutputMode", QStringLiteral("Output Mode:"), c.cboOutputMode, c.lblOutputModeE);
    rows.add(c.lblFlowLow, "FlowLow", QStringLiteral("Flow at 4mA:"), c.txtFlowLow, c.lblFlowLowE);
    rows.add(c.lblFlowHi, "FlowHi", QStringLiteral("Flow at 20mA:"), c.txtFlowHi, c.lblFlowHiE);
    rows.finish();
}

void frmMR::buildTextFrame()
{
    MrControls &c = m_controls;
    c.Frame1 = named(new QGroupBox(QStringLiteral("Measurement")), QStringLiteral("Frame1"));

    RowAdder rows(c.Frame1, m_fieldControls);
    rows.add(c.lblSpg, "Spg", QStringLiteral("Specific Gravity:"), c.txtSpg, c.lblSpgE);
    rows.add(c.lblScaleFactor, "ScaleFactor", QStringLiteral("Scale Factor:"), c.txtScaleFactor,
        c.lblScaleFactorE);
    rows.add(c.lblPressureComp, "PressureComp", QStringLiteral("Pressure Comp:"), c.txtPressureComp,
        c.lblPressureCompE);
    rows.add(c.lblTempComp, "TempComp", QStringLiteral("Temp Comp:"), c.txtTempComp, c.lblTempCompE);
    rows.add(c.lblSPGcomp, "SPGcomp", QStringLiteral("SPG Comp"), c.txtSPGcomp, c.lblSPGcompE);
    rows.add(c.lblLowFlowCutoff, "LowFlowCutoff", QStringLiteral("Low Flow Cutoff:"), c.txtLowFlowCutoff,
        c.lblLowFlowCutoffE);
    rows.add(c.lblDamping, "Damping", QStringLiteral("Damping:"), c.txtDamping, c.lblDampingE);
    rows.add(c.lblPassword, "Password", QStringLiteral("Password:"), c.txtPassword, c.lblPasswordE);
    rows.add(c.lblLinearPts, "LinearPts", QStringLiteral("Linear Points:"), c.txtLinearPts, c.lblLinearPtsE);
    rows.finish();

    c.txtLowFlowCutoff->setText(QStringLiteral(".025"));
    QPalette grey = c.txtLowFlowCutoff->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    c.txtLowFlowCutoff->setPalette(grey);
    QPalette white = c.txtSpg->palette();
    white.setColor(QPalette::Base, QColor(255, 255, 255));
    c.txtSpg->setPalette(white);
}

void frmMR::CheckDeviceVersion()
{
    m_fields->CheckDeviceVersion();
}

void frmMR::mnuExit_Click()
{
    if (frmCalibration *calibration = calibrationWindow())
        calibration->reject();
    for (QWidget *companion :
        { m_linearPoints.data(), m_lineMonitor.data(), m_progress.data(), m_splash.data() }) {
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
    setupDiscarding();
    ClearAllData::clearSetup(setup(), *linearPointsWindow());
    setStatusText(ClearAllData::clearedStatus());
    setupSettled();
    if (m_transfer)
        m_transfer->forgetRead();
}
