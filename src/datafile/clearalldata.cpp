#include "clearalldata.h"

#include "app/frmaltmain.h"

ClearAllData::ClearAllData(frmAltMain &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
}

void ClearAllData::mnuClear_Click()
{
}
