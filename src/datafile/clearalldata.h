#pragma once

#include <functional>
#include <initializer_list>

#include <QObject>

#include "link/appcontext.h"

class DeviceState;
class QComboBox;
class QLineEdit;
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

    // Each list: entry 0, then no selection. A list without entries just stays unselected.
    static void clearLists(std::initializer_list<QComboBox *> lists);
    // Each text: "0", then empty, so the change handler has run even for an empty field.
    static void clearTexts(std::initializer_list<QLineEdit *> texts);
    // High "1" above low "0" unflags the pair before both are emptied.
    static void clearFlowPair(QLineEdit *flowHi, QLineEdit *flowLow);
    // Every row emptied, then both table entries set to "never entered".
    static void clearLinearPoints(frmLinearPoints &points, DeviceState &state);

    static QString clearedStatus() { return QStringLiteral("Status:  All Data Cleared"); }

private:
    Host m_host;
    AppContext &m_context;
};
