// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "params/setupfields.h"

class QLabel;
class QLineEdit;
class frmMR;

// Behaviour of the MR setup fields: the shared field behaviour, plus the rules by which one
// choice greys other fields and the output mode relabels the flow fields.
class MrFields final : public SetupFields
{
    Q_OBJECT

public:
    MrFields(frmMR &window, AppContext &context);

    // Reads Config.inf of the folder into the records and lists; only that file is ever read.
    void loadConfiguration(const QString &folder) { loadConfigurationFrom(folder); }

    // Enabled: white and editable with its caption enabled; disabled: both greyed, light grey box.
    static void EnableField(QLineEdit *field, QLabel *caption, bool enabled);

    void cboRateUnits_Click();
    void cboMeterType_Click();
    void cboOutputMode_Click();

protected:
    void listChanged(const Parameter &parameter) override;

private:
    frmMR &m_window;
};
