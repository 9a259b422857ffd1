#include "frmlinemonitor.h"

frmLineMonitor::frmLineMonitor(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmLineMonitor"));
    setWindowTitle(QStringLiteral("Serial Line Monitor"));
}
