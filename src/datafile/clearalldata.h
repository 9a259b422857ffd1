#pragma once

#include <initializer_list>

#include <QObject>

#include "link/appcontext.h"

class DeviceState;
class QComboBox;
class QLineEdit;
class frmAltMain;
class frmLinearPoints;

// Empties every setup field and linear point through the controls, so every handler runs.
// The steps are public so that each main window can run them over its own controls.
class ClearAllData final : public QObject
{
    Q_OBJECT

public:
    ClearAllData(frmAltMain &window, AppContext &context);
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
    frmAltMain &m_window;
    AppContext &m_context;
};
