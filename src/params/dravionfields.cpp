#include "dravionfields.h"

#include "app/frmaltmain.h"

DravionFields::DravionFields(frmAltMain &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
}

void DravionFields::loadConfiguration()
{
}

bool DravionFields::CheckMissingFields()
{
    return true;
}

void DravionFields::CheckDeviceVersion()
{
}
