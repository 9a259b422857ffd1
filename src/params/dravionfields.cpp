// SPDX-License-Identifier: GPL-3.0-or-later
#include "dravionfields.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QRadioButton>
#include <QScopedValueRollback>

#include "link/devicestate.h"
#include "params/altmaincontrols.h"
#include "params/devicefamily.h"

DravionFields::DravionFields(Host host, AppContext &context, QObject *parent)
    : SetupFields(
        DeviceFamily::dravion(), *host.controls->window, context, std::move(host.markMissingPoints), parent)
    , m_controls(*host.controls)
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

void DravionFields::listChanged(const Parameter &parameter)
{
    if (&parameter == &row("cboRateUnits"))
        cboRateUnits_Click();
    else
        listClicked(parameter);
}

void DravionFields::cboRateUnits_Click()
{
    listClicked(row("cboRateUnits"));
    AltMainControls &c = m_controls;
    const QString unit = c.cboRateUnits->currentText();
    const bool mass = unit == QLatin1String("Kgs") || unit == QLatin1String("Lbs");
    c.txtSpg->setVisible(mass);
    c.lblSpg->setVisible(mass);
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
