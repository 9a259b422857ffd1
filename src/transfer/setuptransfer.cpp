#include "setuptransfer.h"

#include "app/frmaltmain.h"

SetupTransfer::SetupTransfer(frmAltMain &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
}

void SetupTransfer::btnRead_Click()
{
}

void SetupTransfer::btnDownload_Click()
{
}

void SetupTransfer::StepProgress(bool Start)
{
    Q_UNUSED(Start);
}
