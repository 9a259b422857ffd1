// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRectF>
#include <QString>

class QIODevice;
class QPainter;
struct SetupSheet;

// Lays a setup sheet out on one page, for a PDF file or a printer.
namespace SetupSheetPainter {

// page: where to paint, in device pixels; dpi: the device's resolution.
void paint(const SetupSheet &sheet, QPainter &painter, const QRectF &page, double dpi);

// Writes the sheet as a one-page A4 PDF; false when the page could not be made.
bool writePdf(const SetupSheet &sheet, QIODevice &file);
// The same into a file, whole or not at all. Empty on success, otherwise the reason.
QString writePdf(const SetupSheet &sheet, const QString &path);

} // namespace SetupSheetPainter
