#pragma once

#include <QObject>

#include "app/appcontext.h"

class frmAltMain;

// Empties every setup field and linear point through the controls, so every handler runs.
class ClearAllData final : public QObject
{
    Q_OBJECT

public:
    ClearAllData(frmAltMain &window, AppContext &context);
    void mnuClear_Click();

private:
    frmAltMain &m_window;
    AppContext &m_context;
};
