#pragma once

#include <QObject>

#include "app/appcontext.h"

class frmAltMain;

// Live polling of the input frequency while the Frequency frame is switched on.
class FrequencyPoll final : public QObject
{
    Q_OBJECT

public:
    FrequencyPoll(frmAltMain &window, AppContext &context);
    void Option1_Click();
    void Option2_Click();
    void tmrPolling_Timer();

private:
    frmAltMain &m_window;
    AppContext &m_context;
};
