// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QObject>

#include "link/appcontext.h"

class DeviceState;
class ParameterSet;
class QWidget;
class frmLinearPoints;
struct AltMainControls;

// Empties every setup field and linear point through the controls, so every handler runs.
// The steps are public so that each main window can run them over its own controls.
class ClearAllData final : public QObject
{
    Q_OBJECT

public:
    // What the Dravion command needs of its main window.
    struct Host
    {
        AltMainControls *controls = nullptr;
        std::function<frmLinearPoints *()> linearPointsWindow; // created on first use
        std::function<void(const QString &)> setStatusText;
    };

    ClearAllData(Host host, AppContext &context, QObject *parent);
    void mnuClear_Click();

    // Every field in the family's clearing order, then every linear point. A list gets entry 0, then
    // no selection (one without entries just stays unselected); a text gets "0", then its cleared
    // text, so its change handler has run even for an empty field; the flow pair gets high "1" above
    // low "0", which unflags both, before both are emptied.
    static void clearSetup(
        const ParameterSet &set, QWidget &window, frmLinearPoints &points, DeviceState &state);
    static QString clearedStatus() { return QStringLiteral("Status:  All Data Cleared"); }

Q_SIGNALS:
    void aboutToClear(); // what the window holds is about to go
    void cleared(); // the window's setup was emptied

private:
    Host m_host;
    AppContext &m_context;
};
