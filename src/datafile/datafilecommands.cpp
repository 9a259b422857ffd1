#include "datafilecommands.h"

#include "app/frmaltmain.h"

DataFileCommands::DataFileCommands(frmAltMain &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
}

void DataFileCommands::mnuSave_Click()
{
}

void DataFileCommands::mnuOpen_Click()
{
}
