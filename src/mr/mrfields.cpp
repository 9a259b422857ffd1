// SPDX-License-Identifier: GPL-3.0-or-later
#include "mrfields.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "mr/mrcontrols.h"

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

MrFields::MrFields(SetupModel &model, MrControls &controls, const std::vector<Controls> &fields,
    AppContext &context, Points points, QObject *parent)
    : SetupFields(model, fields, context, std::move(points), parent)
    , m_controls(controls)
{
    // The design text of Low Flow Cutoff is its value too, so a setup sent or saved before any
    // edit carries what the window shows.
    model.setText(row("txtLowFlowCutoff"), m_controls.txtLowFlowCutoff->text());
}

void MrFields::EnableField(QLineEdit *field, QLabel *caption, bool enabled)
{
    field->setEnabled(enabled);
    setBase(field, enabled ? White : LightGrey);
    caption->setEnabled(enabled);
}

void MrFields::showActive(const Parameter &parameter)
{
    EnableField(field(parameter), caption(parameter), model().isActive(parameter));
}

void MrFields::showPosition(const Parameter &parameter)
{
    if (&parameter != &row("cboOutputMode"))
        return;
    MrControls &c = m_controls;
    switch (model().listPosition(parameter)) {
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
}
