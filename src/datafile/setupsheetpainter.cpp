// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupsheetpainter.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include "datafile/setupsheet.h"
#include "link/atomicfile.h"
#include "link/values.h"

namespace {

// The layout is measured in points (1/72 inch), whatever the device.
constexpr double Points = 72.0;
constexpr double RowHeight = 15.0;
const QColor Grey(120, 120, 120);
const QColor Shade(238, 238, 238);
const QColor Red(220, 0, 0);
const QColor Grid(200, 200, 200);

QFont sheetFont(int size, bool bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(size); // the painter's scale turns these into points
    font.setBold(bold);
    // Any letter spacing turns the shaper's ligatures off, so "fi" stays two letters a PDF reader
    // or a search finds.
    font.setLetterSpacing(QFont::PercentageSpacing, 100.001);
    return font;
}

void drawCell(QPainter &p, const QRectF &box, const QString &s, int flags = Qt::AlignLeft | Qt::AlignVCenter)
{
    const QString shown = QFontMetricsF(p.font()).elidedText(s, Qt::ElideRight, box.width());
    p.drawText(box, flags, shown);
}

// Tick values from a to b, about `count` of them, on round steps.
QList<double> axisTicks(double a, double b, int count)
{
    const double raw = (b - a) / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude;
    for (double m : { 1.0, 2.0, 2.5, 5.0, 10.0 }) {
        step = m * magnitude;
        if (raw <= step)
            break;
    }
    QList<double> values;
    for (int i = 0; i <= 2 * count; ++i) { // bounded, whatever rounding does at the range's ends
        const double v = (std::ceil(a / step) + i) * step;
        if (v > b + step * 1e-9)
            break;
        values << (std::fabs(v) < step * 1e-9 ? 0.0 : v);
    }
    return values;
}

// The range of one axis with a margin, never empty.
std::pair<double, double> axisSpan(double lo, double hi)
{
    if (hi - lo <= 0.0) {
        const double pad = lo == 0.0 ? 1.0 : std::fabs(lo) * 0.1;
        return { lo - pad, hi + pad };
    }
    const double pad = (hi - lo) * 0.05;
    return { lo - pad, hi + pad };
}

void paintCurve(QPainter &p, const SetupSheet &sheet, const QRectF &area)
{
    p.setFont(sheetFont(8));
    const QFontMetricsF metrics(p.font());
    const QRectF plot = area.adjusted(42, 6, -8, -30);
    p.setPen(QPen(Qt::black, 0.6));
    p.drawRect(plot);

    double xlo = sheet.curve.front().x, xhi = xlo, ylo = sheet.curve.front().y, yhi = ylo;
    for (const LinearCurve::Point &pt : sheet.curve) {
        xlo = std::min(xlo, pt.x);
        xhi = std::max(xhi, pt.x);
        ylo = std::min(ylo, pt.y);
        yhi = std::max(yhi, pt.y);
    }
    const auto [x0, x1] = axisSpan(xlo, xhi);
    const auto [y0, y1] = axisSpan(ylo, yhi);
    auto at = [&](double x, double y) {
        return QPointF(plot.left() + (x - x0) / (x1 - x0) * plot.width(),
            plot.bottom() - (y - y0) / (y1 - y0) * plot.height());
    };

    for (double x : axisTicks(x0, x1, 5)) {
        const QPointF a = at(x, y0);
        p.setPen(QPen(Grid, 0.3));
        p.drawLine(a, at(x, y1));
        p.setPen(Qt::black);
        p.drawText(QRectF(a.x() - 30, plot.bottom() + 2, 60, 10), Qt::AlignHCenter | Qt::AlignTop,
            Values::FormatSingle(float(x)));
    }
    for (double y : axisTicks(y0, y1, 6)) {
        const QPointF a = at(x0, y);
        p.setPen(QPen(Grid, 0.3));
        p.drawLine(a, at(x1, y));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), a.y() - 5, 39, 10), Qt::AlignRight | Qt::AlignVCenter,
            Values::FormatSingle(float(y)));
    }
    p.setPen(Qt::black);
    p.drawText(
        QRectF(plot.left(), plot.bottom() + 14, plot.width(), 12), Qt::AlignHCenter, sheet.pointHeadings[0]);
    p.save();
    p.translate(area.left() + 4, plot.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-plot.height() / 2, -6, plot.height(), 12), Qt::AlignHCenter, sheet.pointHeadings[1]);
    p.restore();

    // In row order, so a mistyped point shows as the kink it makes.
    QPainterPath line;
    for (qsizetype i = 0; i < sheet.curve.size(); ++i) {
        const QPointF a = at(sheet.curve[i].x, sheet.curve[i].y);
        if (i == 0)
            line.moveTo(a);
        else
            line.lineTo(a);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 70, 160), 1.0));
    p.drawPath(line);
    for (const LinearCurve::Point &pt : sheet.curve) {
        const QPointF a = at(pt.x, pt.y);
        const QColor colour = pt.outOfOrder() ? Red : QColor(0, 70, 160);
        p.setPen(QPen(colour, 0.8));
        p.setBrush(colour);
        p.drawEllipse(a, 2.2, 2.2);
        if (pt.outOfOrder()) {
            const QString label = QString::number(pt.row + 1);
            // Beside the point, where the top of the plot cannot cut it off, on white over the line.
            const QRectF box(a.x() + 4, a.y() - 5, metrics.horizontalAdvance(label) + 2, 10);
            p.fillRect(box, Qt::white);
            p.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, label);
        }
    }
    p.setBrush(Qt::NoBrush);
    bool marked = false;
    for (const LinearCurve::Point &pt : sheet.curve)
        marked = marked || pt.outOfOrder();
    if (marked) {
        p.setPen(Red);
        p.drawText(QRectF(plot.left(), area.bottom() + 2, plot.width(), 12), Qt::AlignLeft,
            QStringLiteral("Red: a point out of increasing order"));
    }
}

} // namespace

void SetupSheetPainter::paint(const SetupSheet &sheet, QPainter &p, const QRectF &page, double dpi)
{
    p.save();
    const double scale = dpi / Points;
    p.translate(page.topLeft());
    p.scale(scale, scale);
    const double width = page.width() / scale;
    double y = 0.0;

    p.setPen(Qt::black);
    p.setFont(sheetFont(18, true));
    drawCell(p, QRectF(0, y, width, 24), sheet.title);
    p.setFont(sheetFont(13, true));
    drawCell(p, QRectF(0, y, width, 24), QStringLiteral("Setup Sheet"), Qt::AlignRight | Qt::AlignVCenter);
    y += 30;
    p.setFont(sheetFont(10));
    for (const QString &line : sheet.headerLines()) {
        drawCell(p, QRectF(0, y, width, 14), line);
        y += 14;
    }
    y += 6;
    p.setPen(QPen(Qt::black, 0.8));
    p.drawLine(QPointF(0, y), QPointF(width, y));
    y += 10;

    const double valueX = width * 0.42;
    const double notUsedX = width * 0.78;
    p.setFont(sheetFont(10, true));
    drawCell(p, QRectF(4, y, valueX, RowHeight), QStringLiteral("Parameter"));
    drawCell(p, QRectF(valueX, y, notUsedX - valueX, RowHeight), QStringLiteral("Value"));
    y += RowHeight + 2;
    p.setFont(sheetFont(10));
    for (size_t i = 0; i < sheet.rows.size(); ++i) {
        const SetupSheet::Row &row = sheet.rows[i];
        if (i % 2 == 0)
            p.fillRect(QRectF(0, y, width, RowHeight), Shade);
        p.setPen(row.used ? Qt::black : Grey);
        drawCell(p, QRectF(4, y, valueX - 8, RowHeight), row.name);
        drawCell(p, QRectF(valueX, y, notUsedX - valueX - 4, RowHeight), row.value);
        if (!row.used) {
            QFont italic = sheetFont(10);
            italic.setItalic(true);
            p.setFont(italic);
            drawCell(p, QRectF(notUsedX, y, width - notUsedX, RowHeight), SetupSheet::notUsed());
            p.setFont(sheetFont(10));
        }
        y += RowHeight;
    }
    y += 14;

    p.setPen(Qt::black);
    p.setFont(sheetFont(12, true));
    drawCell(p, QRectF(0, y, width, 18), QStringLiteral("Linear Points"));
    y += 22;
    p.setFont(sheetFont(10));
    if (sheet.points.empty()) {
        drawCell(p, QRectF(0, y, width, RowHeight), QStringLiteral("No linear points in use"));
        p.restore();
        return;
    }

    const double numberW = 28, columnW = 90;
    const double top = y;
    p.setFont(sheetFont(10, true));
    drawCell(p, QRectF(4, y, numberW, RowHeight), QStringLiteral("#"));
    drawCell(
        p, QRectF(numberW, y, columnW, RowHeight), sheet.pointHeadings[0], Qt::AlignRight | Qt::AlignVCenter);
    drawCell(p, QRectF(numberW + columnW, y, columnW, RowHeight), sheet.pointHeadings[1],
        Qt::AlignRight | Qt::AlignVCenter);
    y += RowHeight + 2;
    p.setFont(sheetFont(10));
    for (const SetupSheet::Point &pt : sheet.points) {
        if (pt.number % 2 == 1)
            p.fillRect(QRectF(0, y, numberW + 2 * columnW + 6, RowHeight), Shade);
        bool marked = false;
        for (const LinearCurve::Point &c : sheet.curve)
            marked = marked || (c.row + 1 == pt.number && c.outOfOrder());
        p.setPen(marked ? Red : Qt::black);
        drawCell(p, QRectF(4, y, numberW, RowHeight), QString::number(pt.number));
        drawCell(p, QRectF(numberW, y, columnW, RowHeight), pt.x, Qt::AlignRight | Qt::AlignVCenter);
        drawCell(
            p, QRectF(numberW + columnW, y, columnW, RowHeight), pt.y, Qt::AlignRight | Qt::AlignVCenter);
        y += RowHeight;
    }
    const double curveLeft = numberW + 2 * columnW + 24;
    if (!sheet.curve.isEmpty() && width - curveLeft > 120) {
        const double height = std::max(y - top, 190.0);
        paintCurve(p, sheet, QRectF(curveLeft, top, width - curveLeft, height));
    }
    p.restore();
}

bool SetupSheetPainter::writePdf(const SetupSheet &sheet, QIODevice &file)
{
    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setTitle(QStringLiteral("Setup Sheet"));
    writer.setCreator(sheet.title);
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    // The painter starts at the margins' corner.
    const QRectF area(QPointF(), writer.pageLayout().paintRectPixels(writer.resolution()).size());
    paint(sheet, painter, area, writer.resolution());
    return painter.end();
}

QString SetupSheetPainter::writePdf(const SetupSheet &sheet, const QString &path)
{
    return AtomicFile::write(path, [&sheet](QIODevice &file) { return writePdf(sheet, file); });
}
