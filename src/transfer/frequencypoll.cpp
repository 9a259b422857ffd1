#include "frequencypoll.h"

#include "app/frmaltmain.h"

FrequencyPoll::FrequencyPoll(frmAltMain &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
}

void FrequencyPoll::Option1_Click()
{
}

void FrequencyPoll::Option2_Click()
{
}

void FrequencyPoll::tmrPolling_Timer()
{
}
