// SPDX-License-Identifier: GPL-3.0-or-later
#include "dravionfields.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>

#include "link/devicestate.h"
#include "params/altmaincontrols.h"

namespace {

std::vector<SetupFields::Controls> setupControls(const AltMainControls &c)
{
    return { { c.cboRateUnits, c.lblRateUnits, c.lblRateUnitsE },
        { c.cboRateInterval, c.lblRateInterval, c.lblRateIntervalE },
        { c.cboKfactorUnits, c.lblKfactorUnits, c.lblKfactorUnitsE },
        { c.txtKfactor, c.lblKFactor, c.lblKfactorE }, { c.txtDamping, c.lblDamping, c.lblDampingE },
        { c.txtFlowLow, c.lblFlowLow, c.lblFlowLowE }, { c.txtFlowHi, c.lblFlowHi, c.lblFlowHiE },
        { c.txtLinearPts, c.lblLinearPts, c.lblLinearPtsE }, { c.txtSpg, c.lblSpg, c.lblSpgE } };
}

} // namespace

DravionFields::DravionFields(
    SetupModel &model, AltMainControls &controls, AppContext &context, Points points, QObject *parent)
    : SetupFields(model, setupControls(controls), context, std::move(points), parent)
    , m_controls(controls)
{
    for (int i = 0; i < 2; ++i) {
        connect(m_controls.optType[std::size_t(i)], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                optType_Click(i);
        });
    }
}

void DravionFields::loadConfiguration()
{
    loadConfigurationFrom(QCoreApplication::applicationDirPath());
}

void DravionFields::showActive(const Parameter &parameter)
{
    const bool active = model().isActive(parameter);
    field(parameter)->setVisible(active);
    caption(parameter)->setVisible(active);
}

void DravionFields::outputTypeReplied(qint16 reply)
{
    if (reply == 0)
        optType_Click(0);
    else if (reply == 2)
        optType_Click(1);
}

void DravionFields::optType_Click(int Index)
{
    // The device may report a type this window has no option for; that leaves the choice as it is.
    if (Index != 0 && Index != 1)
        return;
    AltMainControls &c = m_controls;
    if (!m_settingType) {
        const QScopedValueRollback<bool> guard(m_settingType, true);
        c.optType[std::size_t(Index)]->setChecked(true);
    }
    c.lblFlowLow->setText(Index == 0 ? QStringLiteral("Flow at 4mA") : QStringLiteral("Flow at 0V"));
    c.lblFlowHi->setText(Index == 0 ? QStringLiteral("Flow at 20mA") : QStringLiteral("Flow at 5V"));
    m_context.state.OutputType = qint16(Index);
}
