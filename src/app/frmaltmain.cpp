// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmaltmain.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/altmainhosts.h"
#include "app/frmsplash.h"
#include "datafile/clearalldata.h"
#include "datafile/datafilecommands.h"
#include "linear/linearpoints.h"
#include "linear/markerlabel.h"
#include "params/devicefamily.h"
#include "params/dravionfields.h"
#include "transfer/setuptransfer.h"

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

frmAltMain::frmAltMain(AppContext context, QWidget *parent)
    : MainWindowShell(DeviceFamily::dravion(), context, Traits {}, parent)
{
    setObjectName(QStringLiteral("frmAltMain"));
    buildShell(m_controls);
    // A top-level entry that acts by itself, without a drop-down.
    m_controls.mnuAbout = menuBar()->addAction(QStringLiteral("&About"));
    m_controls.mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(m_controls.mnuAbout, &QAction::triggered, this, &frmAltMain::mnuAbout_Click);
    buildSetupFrame();
    auto *setupArea = new QVBoxLayout;
    setupArea->addWidget(m_controls.fraSetup);
    placeCentral(setupArea);

    m_fields = new DravionFields(setup(), m_controls, m_context, setupPoints(), this);
    m_linearPointsButton = new LinearPoints(AltMainHosts::linearPoints(*this), m_context, this);
    m_clearAll = new ClearAllData(AltMainHosts::clearAll(*this), m_context, this);
    m_dataFiles = new DataFileCommands(AltMainHosts::dataFiles(*this), m_context, this);
    m_transfer = new SetupTransfer(AltMainHosts::transfer(*this), m_context, this);

    connectCommands();
    connect(m_controls.mnuClear, &QAction::triggered, m_clearAll, &ClearAllData::mnuClear_Click);
    connect(m_clearAll, &ClearAllData::aboutToClear, this, &frmAltMain::setupDiscarding);
    connect(m_clearAll, &ClearAllData::cleared, this, &frmAltMain::setupSettled);
    connect(m_clearAll, &ClearAllData::cleared, m_transfer, &SetupTransfer::forgetRead);

    Form_Load([this] { m_fields->loadConfiguration(); });
}

frmAltMain::~frmAltMain() = default;

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

    addRow(c.lblRateUnits, "lblRateUnits", QStringLiteral("Rate Units:"), c.cboRateUnits, c.lblRateUnitsE,
        "lblRateUnitsE");
    addRow(c.lblRateInterval, "lblRateInterval", QStringLiteral("Rate Interval:"), c.cboRateInterval,
        c.lblRateIntervalE, "lblRateIntervalE");
    addRow(c.lblKfactorUnits, "lblKfactorUnits", QStringLiteral("K Factor Units:"), c.cboKfactorUnits,
        c.lblKfactorUnitsE, "lblKfactorUnitsE");
    addRow(
        c.lblKFactor, "lblKFactor", QStringLiteral("K Factor:"), c.txtKfactor, c.lblKfactorE, "lblKfactorE");
    addRow(
        c.lblDamping, "lblDamping", QStringLiteral("Damping:"), c.txtDamping, c.lblDampingE, "lblDampingE");
    addRow(c.lblFlowLow, "lblFlowLow", QStringLiteral("Flow at 4mA:"), c.txtFlowLow, c.lblFlowLowE,
        "lblFlowLowE");
    addRow(
        c.lblFlowHi, "lblFlowHi", QStringLiteral("Flow at 20mA:"), c.txtFlowHi, c.lblFlowHiE, "lblFlowHiE");
    addRow(c.lblLinearPts, "lblLinearPts", QStringLiteral("Linear Points:"), c.txtLinearPts, c.lblLinearPtsE,
        "lblLinearPtsE");
    addRow(c.lblSpg, "lblSpg", QStringLiteral("Specific Gravity:"), c.txtSpg, c.lblSpgE, "lblSpgE");
    c.txtSpg->hide();
    c.lblSpg->hide();
}

void frmAltMain::mnuAbout_Click()
{
    if (m_splash)
        m_splash->showAbout();
}

void frmAltMain::CheckDeviceVersion()
{
    m_fields->CheckDeviceVersion();
}

void frmAltMain::setSplash(frmSplash *splash)
{
    m_splash = splash;
}
