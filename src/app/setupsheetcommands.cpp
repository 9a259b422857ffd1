// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupsheetcommands.h"

#include <QDateTime>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "datafile/setupsheetpainter.h"
#include "link/devicestate.h"
#include "link/exportfile.h"
#include "link/userdialogs.h"
#include "transfer/setuptransfer.h"

SetupSheetCommands::SetupSheetCommands(
    QWidget &window, SetupTransfer &transfer, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_transfer(transfer)
    , m_context(context)
{
}

SetupSheet SetupSheetCommands::sheet() const
{
    std::optional<SetupSheet::Origin> origin;
    if (const auto &read = m_transfer.lastRead())
        origin = SetupSheet::Origin { read->port, read->deviceVersion };
    return SetupSheet::make(m_transfer.setup(), QDateTime::currentDateTime(), origin);
}

void SetupSheetCommands::mnuExportSheet_Click()
{
    ExportFile::saveAs(m_context.dialogs,
        { QStringLiteral("Export Setup Sheet"), QStringLiteral("PDF File (*.pdf)"), QStringLiteral("pdf"),
            QStringLiteral("Unable to write the setup sheet to %1:\r%2") },
        [this](QIODevice &file) { return SetupSheetPainter::writePdf(sheet(), file); });
}

void SetupSheetCommands::mnuPrintSetup_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, &m_window);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    if (dialog.exec() == QDialog::Accepted)
        print(printer);
}

bool SetupSheetCommands::print(QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_context.dialogs.message(QStringLiteral("Unable to print the setup sheet"),
            UserDialogs::Icon::Critical, QStringLiteral("Print Setup"));
        return false;
    }
    // The painter starts at the printable area's corner.
    const QRectF area(QPointF(), printer.pageRect(QPrinter::DevicePixel).size());
    SetupSheetPainter::paint(sheet(), painter, area, printer.resolution());
    return painter.end();
}
