// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupsheetcommands.h"

#include <QDateTime>
#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "datafile/datafilefolders.h"
#include "datafile/setupsheetpainter.h"
#include "link/devicestate.h"
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
    return SetupSheet::make(
        m_context.family, m_transfer.view(), m_context.state, QDateTime::currentDateTime(), origin);
}

void SetupSheetCommands::mnuExportSheet_Click()
{
    UserDialogs::FileDialog dialog;
    dialog.title = QStringLiteral("Export Setup Sheet");
    dialog.filter = QStringLiteral("PDF files (*.pdf)");
    dialog.folder = DataFileFolders::initialFolder(QStringLiteral("File Path"));
    dialog.defaultSuffix = QStringLiteral("pdf");
    dialog.overwritePrompt = true;
    const std::optional<QString> path = m_context.dialogs.saveFileName(dialog);
    if (!path)
        return;
    const QString error = SetupSheetPainter::writePdf(sheet(), *path);
    if (!error.isEmpty()) {
        m_context.dialogs.message(QStringLiteral("The setup sheet could not be written to %1: %2")
                                      .arg(QDir::toNativeSeparators(*path), error),
            UserDialogs::Icon::Critical, QStringLiteral("Export Setup Sheet"));
    }
}

void SetupSheetCommands::mnuPrintSetup_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, &m_window);
    dialog.setWindowTitle(QStringLiteral("Print Setup"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_context.dialogs.message(QStringLiteral("The setup sheet could not be printed"),
            UserDialogs::Icon::Critical, QStringLiteral("Print Setup"));
        return;
    }
    // The painter starts at the printable area's corner.
    const QRectF area(QPointF(), printer.pageRect(QPrinter::DevicePixel).size());
    SetupSheetPainter::paint(sheet(), painter, area, printer.resolution());
    painter.end();
}
