#pragma once

#include <QObject>

#include "app/appcontext.h"

class frmAltMain;

// Saving and opening setup data files from the File menu.
class DataFileCommands final : public QObject
{
    Q_OBJECT

public:
    DataFileCommands(frmAltMain &window, AppContext &context);
    void mnuSave_Click();
    void mnuOpen_Click();

private:
    void showOpenError();

    frmAltMain &m_window;
    AppContext &m_context;
};
