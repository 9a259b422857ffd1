// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "datafile/setupsheet.h"
#include "link/appcontext.h"

class QPrinter;
class QWidget;
class SetupTransfer;

// "Export Setup Sheet..." and "Print Setup...": the window's setup on one page, as a PDF file or
// through the print dialog.
class SetupSheetCommands final : public QObject
{
    Q_OBJECT

public:
    SetupSheetCommands(QWidget &window, SetupTransfer &transfer, AppContext &context, QObject *parent);

    SetupSheet sheet() const; // the window's setup as it stands
    void mnuExportSheet_Click();
    void mnuPrintSetup_Click();
    // The page on a printer the print dialog has set up.
    bool print(QPrinter &printer);

private:
    QWidget &m_window;
    SetupTransfer &m_transfer;
    AppContext &m_context;
};
