#include "frmcalibration.h"

frmCalibration::frmCalibration(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("frmCalibration"));
    setWindowTitle(QStringLiteral("Calibration"));
}
