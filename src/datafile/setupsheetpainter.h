// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>
#include <QString>

class QPainter;
struct SetupSheet;

// Lays a setup sheet out on one page, for a PDF file or a printer.
namespace SetupSheetPainter {

// page: where to paint, in device pixels; dpi: the device's resolution.
void paint(const SetupSheet &sheet, QPainter &painter, const QRectF &page, double dpi);

// Writes the sheet as a one-page A4 PDF. Empty on success, otherwise the reason; a file that
// could not be written completely is not left behind, and one that was there stays as it was.
QString writePdf(const SetupSheet &sheet, const QString &path);

} // namespace SetupSheetPainter
