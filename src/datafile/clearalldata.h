// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QObject>

#include "link/appcontext.h"

class SetupModel;
class frmLinearPoints;

// Empties every setup field and linear point through their handlers, as a user emptying each would.
// The steps are public so that each main window can run them over its own setup.
class ClearAllData final : public QObject
{
    Q_OBJECT

public:
    // What the Dravion command needs of its main window.
    struct Host
    {
        SetupModel *setup = nullptr;
        std::function<frmLinearPoints *()> linearPointsWindow; // created on first use
        std::function<void(const QString &)> setStatusText;
    };

    ClearAllData(Host host, AppContext &context, QObject *parent);
    void mnuClear_Click();

    // Every field in the family's clearing order (see SetupModel::clearFields), then every linear
    // point.
    static void clearSetup(SetupModel &setup, frmLinearPoints &points);
    static QString clearedStatus() { return QStringLiteral("Status:  All Data Cleared"); }

Q_SIGNALS:
    void aboutToClear(); // what the window holds is about to go
    void cleared(); // the window's setup was emptied

private:
    Host m_host;
    AppContext &m_context;
};
