// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "params/setupfields.h"

struct AltMainControls;

// The Dravion setup fields: the shared field view, plus Specific Gravity shown only for mass units
// and the output type options that relabel the flow fields.
class DravionFields final : public SetupFields
{
    Q_OBJECT

public:
    DravionFields(
        SetupModel &model, AltMainControls &controls, AppContext &context, Points points, QObject *parent);
    void loadConfiguration(); // load step 4: the configuration file into records and lists
    void optType_Click(int Index); // also called by Read Setup with the device's output type

protected:
    void showActive(const Parameter &parameter) override;
    void outputTypeReplied(qint16 reply) override;

private:
    AltMainControls &m_controls;
    bool m_settingType = false;
};
