#pragma once

#include <QObject>

#include "app/appcontext.h"

class frmAltMain;

// Read Setup and Download Setup under the progress window.
class SetupTransfer final : public QObject
{
    Q_OBJECT

public:
    SetupTransfer(frmAltMain &window, AppContext &context);
    void btnRead_Click();
    void btnDownload_Click();
    void StepProgress(bool Start);

private:
    frmAltMain &m_window;
    AppContext &m_context;
};
