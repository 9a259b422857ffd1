// SPDX-License-Identifier: GPL-3.0-or-later
#include "mrfields.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "linear/linearpoints.h"
#include "link/devicestate.h"
#include "mr/frmmr.h"
#include "params/devicefamily.h"

namespace {

const QColor White(255, 255, 255);
const QColor LightGrey(192, 192, 192);

void setBase(QLineEdit *field, const QColor &colour)
{
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour);
    field->setPalette(p);
}

} // namespace

MrFields::MrFields(frmMR &window, AppContext &context)
    : SetupFields(
        DeviceFamily::mr(), window, context,
        [&window](double points) { return window.linearPoints().markMissingPoints(points); }, &window)
    , m_window(window)
{
    // The design text of Low Flow Cutoff is its value too, so a setup sent or saved before any
    // edit carries what the window shows.
    textChanged(row("txtLowFlowCutoff"));
}

void MrFields::EnableField(QLineEdit *field, QLabel *caption, bool enabled)
{
    field->setEnabled(enabled);
    setBase(field, enabled ? White : LightGrey);
    caption->setEnabled(enabled);
}

void MrFields::listChanged(const Parameter &parameter)
{
    if (&parameter == &row("cboRateUnits"))
        cboRateUnits_Click();
    else if (&parameter == &row("cboMeterType"))
        cboMeterType_Click();
    else if (&parameter == &row("cboOutputMode"))
        cboOutputMode_Click();
    else
        listClicked(parameter);
}

void MrFields::cboRateUnits_Click()
{
    listClicked(row("cboRateUnits"));
    MrControls &c = m_window.controls();
    const QString unit = c.cboRateUnits->currentText();
    EnableField(c.txtSpg, c.lblSpg, unit == QLatin1String("Kgs") || unit == QLatin1String("Lbs"));
}

void MrFields::cboMeterType_Click()
{
    listClicked(row("cboMeterType"));
    MrControls &c = m_window.controls();
    const QString type = c.cboMeterType->currentText();
    const bool liquid = type == QLatin1String("Oil") || type == QLatin1String("Water");
    EnableField(c.txtPressureComp, c.lblPressureComp, !liquid);
    EnableField(c.txtTempComp, c.lblTempComp, !liquid);
}

void MrFields::cboOutputMode_Click()
{
    MrControls &c = m_window.controls();
    const int index = c.cboOutputMode->currentIndex();
    switch (index) {
    case 0:
        c.lblFlowLow->setText(QStringLiteral("Flow at 4mA"));
        c.lblFlowHi->setText(QStringLiteral("Flow at 20mA"));
        break;
    case 1:
        c.lblFlowLow->setText(QStringLiteral("Flow at 0V"));
        c.lblFlowHi->setText(QStringLiteral("Flow at 5V"));
        break;
    case 2:
        c.lblFlowLow->setText(QStringLiteral("Flow at 0V"));
        c.lblFlowHi->setText(QStringLiteral("Flow at 10V"));
        break;
    default:
        break;
    }
    m_context.state.OutputType = qint16(index);
    listClicked(row("cboOutputMode"));
}
