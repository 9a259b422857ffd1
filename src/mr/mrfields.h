// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "params/setupfields.h"

class QLabel;
class QLineEdit;
struct MrControls;

// The MR setup fields: the shared field view, plus fields greyed by another field's choice and the
// output mode that relabels the flow fields.
class MrFields final : public SetupFields
{
    Q_OBJECT

public:
    MrFields(SetupModel &model, MrControls &controls, const std::vector<Controls> &fields,
        AppContext &context, Points points, QObject *parent);

    // Reads Config.inf of the folder into the records and lists; only that file is ever read.
    void loadConfiguration(const QString &folder) { loadConfigurationFrom(folder); }

    // Enabled: white and editable with its caption enabled; disabled: both greyed, light grey box.
    static void EnableField(QLineEdit *field, QLabel *caption, bool enabled);

protected:
    void showActive(const Parameter &parameter) override;
    void showPosition(const Parameter &parameter) override;

private:
    MrControls &m_controls;
};
