#pragma once

#include <QObject>
#include <QPointer>

#include "app/appcontext.h"

class frmAltMain;
class frmLinearPoints;

// Opens and closes the linear points window from the main window's button.
class LinearPoints final : public QObject
{
    Q_OBJECT

public:
    LinearPoints(frmAltMain &window, AppContext &context);
    void btnLinear_Click();
    frmLinearPoints *window(); // the linear points window, created on first use
    bool hasWindow() const { return !m_linear.isNull(); }

private:
    frmAltMain &m_window;
    AppContext &m_context;
    QPointer<frmLinearPoints> m_linear;
};
