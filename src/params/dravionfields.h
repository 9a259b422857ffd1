#pragma once

#include <QObject>

#include "app/appcontext.h"

class frmAltMain;

// Behaviour of the Dravion setup fields: configuration, key filters, change handlers, range checks.
class DravionFields final : public QObject
{
    Q_OBJECT

public:
    DravionFields(frmAltMain &window, AppContext &context);
    void loadConfiguration();          // load step 4: the configuration file into records and lists
    bool CheckMissingFields();         // true when nothing required is missing
    void CheckDeviceVersion();

private:
    frmAltMain &m_window;
    AppContext &m_context;
};
