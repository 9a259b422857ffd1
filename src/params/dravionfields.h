// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "params/setupfields.h"

struct AltMainControls;

// Behaviour of the Dravion setup fields: the shared field behaviour, plus Specific Gravity shown
// only for mass units and the output type options that relabel the flow fields.
class DravionFields final : public SetupFields
{
    Q_OBJECT

public:
    // What the fields need of the main window they sit on.
    struct Host
    {
        AltMainControls *controls = nullptr;
        std::function<bool(double)> markMissingPoints; // the linear points window's check of the first n rows
    };

    DravionFields(Host host, AppContext &context, QObject *parent);
    void loadConfiguration(); // load step 4: the configuration file into records and lists
    void optType_Click(int Index); // also called by Read Setup with the device's output type
    void cboRateUnits_Click();

protected:
    void listChanged(const Parameter &parameter) override;

private:
    AltMainControls &m_controls;
    bool m_settingType = false;
};
