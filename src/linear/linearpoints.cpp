#include "linearpoints.h"

#include "app/frmaltmain.h"

LinearPoints::LinearPoints(frmAltMain &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
}

void LinearPoints::btnLinear_Click()
{
}

QWidget *LinearPoints::window()
{
    return nullptr;
}
