#pragma once

#include <QObject>

#include "app/appcontext.h"

class frmAltMain;

// Opens and closes the linear points window from the main window's button.
class LinearPoints final : public QObject
{
    Q_OBJECT

public:
    LinearPoints(frmAltMain &window, AppContext &context);
    void btnLinear_Click();
    QWidget *window(); // the linear points window, created on first use

private:
    frmAltMain &m_window;
    AppContext &m_context;
};
