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
#include "datafile/datafileformat.h"
#include "datafile/datafilewriter.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "linear/markerlabel.h"
#include "link/devicestate.h"
#include "mr/mrfields.h"
#include "params/devicefamily.h"
#include "transfer/setuptransfer.h"
#include "transfer/widgetsetupview.h"

namespace {

template <typename T> T *named(T *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
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

    m_fields = new MrFields(*this, m_context);
    m_linearPointsButton = new LinearPoints(
        LinearPoints::Host { this, c.txtLinearPts, c.lblLinearPtsE, c.Option2,
            [this] { poll().Option2_Click(); }, [this](QWidget *points) { setLinearPointsWindow(points); } },
        m_context, this);
    m_dataFiles = new DataFileCommands(
        DataFileCommands::Host { this,
            [this] {
                return DataFileWriter::mrEntries(
                    m_context.state, m_controls.txtLinearPts->text(), DataFileFormat::userDecimalPoint());
            },
            [this]() -> QWidget * { return linearPointsWindow(); }, [this] { mnuClear_Click(); },
            [this](const QString &text) { setStatusText(text); } },
        m_context, this);

    SetupTransfer::Host transfer;
    transfer.mainWindow = this;
    transfer.buttons = { c.btnRead, c.btnDownload };
    transfer.commands = guardedCommands();
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
    rows.add(c.lblDisplayMode, "lblDisplayMode", QStringLiteral("Display Mode:"), c.cboDisplayMode,
        c.lblDisplayModeE);
    rows.add(c.lblRateUnits, "lblRateUnits", QStringLiteral("Rate Units:"), c.cboRateUnits, c.lblRateUnitsE);
    rows.add(c.lblRateInterval, "lblRateInterval", QStringLiteral("Rate Interval:"), c.cboRateInterval,
        c.lblRateIntervalE);
    rows.add(
        c.lblTotalUnits, "lblTotalUnits", QStringLiteral("Total Units:"), c.cboTotalUnits, c.lblTotalUnitsE);
    rows.add(c.lblDisplayExp, "lblDisplayExp", QStringLiteral("Display Exponent:"), c.cboDisplayExp,
        c.lblDisplayExpE);
    rows.add(c.lblMeterType, "lblMeterType", QStringLiteral("Meter Type:"), c.cboMeterType, c.lblMeterTypeE);
    rows.add(
        c.lblOutputMode, "lblOutputMode", QStringLiteral("Output Mode:"), c.cboOutputMode, c.lblOutputModeE);
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
    rows.add(c.lblScaleFactor, "lblScaleFactor", QStringLiteral("Scale Factor:"), c.txtScaleFactor,
        c.lblScaleFactorE);
    rows.add(c.lblPressureComp, "lblPressureComp", QStringLiteral("Pressure Comp:"), c.txtPressureComp,
        c.lblPressureCompE);
    rows.add(c.lblTempComp, "lblTempComp", QStringLiteral("Temp Comp:"), c.txtTempComp, c.lblTempCompE);
    rows.add(c.lblSPGcomp, "lblSPGcomp", QStringLiteral("SPG Comp"), c.txtSPGcomp, c.lblSPGcompE);
    rows.add(c.lblLowFlowCutoff, "lblLowFlowCutoff", QStringLiteral("Low Flow Cutoff:"), c.txtLowFlowCutoff,
        c.lblLowFlowCutoffE);
    rows.add(c.lblDamping, "lblDamping", QStringLiteral("Damping:"), c.txtDamping, c.lblDampingE);
    rows.add(c.lblPassword, "lblPassword", QStringLiteral("Password:"), c.txtPassword, c.lblPasswordE);
    rows.add(
        c.lblLinearPts, "lblLinearPts", QStringLiteral("Linear Points:"), c.txtLinearPts, c.lblLinearPtsE);
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
    ClearAllData::clearSetup(ParameterSet::mr(), *this, *linearPointsWindow(), m_context.state);
    setStatusText(ClearAllData::clearedStatus());
    setupSettled();
    if (m_transfer)
        m_transfer->forgetRead();
}
