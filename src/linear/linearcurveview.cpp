// SPDX-License-Identifier: GPL-3.0-or-later
#include "linearcurveview.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QLineSeries>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>

LinearCurveView::LinearCurveView(const QString &xName, const QString &yName, QWidget *parent)
    : QChartView(parent)
    , m_xName(xName)
    , m_yName(yName)
{
    setObjectName(QStringLiteral("chtCurve"));
    auto *c = new QChart;
    c->legend()->hide();
    setChart(c);
    m_line = new QLineSeries(c);
    m_line->setColor(QColor(0, 90, 170));
    m_ok = new QScatterSeries(c);
    m_ok->setColor(QColor(0, 90, 170));
    m_ok->setMarkerSize(8);
    m_red = new QScatterSeries(c);
    m_red->setColor(Qt::red);
    m_red->setMarkerSize(11);
    m_axisX = new QValueAxis(c);
    m_axisX->setTitleText(xName);
    // The plot is narrow: three short labels across fit where five were cut to "...".
    m_axisX->setTickCount(3);
    m_axisX->setLabelFormat(QStringLiteral("%g"));
    m_axisY = new QValueAxis(c);
    m_axisY->setTitleText(yName);
    m_axisY->setLabelFormat(QStringLiteral("%g"));
    c->addAxis(m_axisX, Qt::AlignBottom);
    c->addAxis(m_axisY, Qt::AlignLeft);
    for (QXYSeries *s : { static_cast<QXYSeries *>(m_line), static_cast<QXYSeries *>(m_ok),
             static_cast<QXYSeries *>(m_red) }) {
        c->addSeries(s);
        s->attachAxis(m_axisX);
        s->attachAxis(m_axisY);
    }
    for (QScatterSeries *s : { m_ok, m_red }) {
        connect(s, &QScatterSeries::hovered, this, [this](const QPointF &value, bool state) {
            if (state)
                QToolTip::showText(QCursor::pos(), toolTipAt(value), this);
            else
                QToolTip::hideText();
        });
    }
    // Small enough that the window still fits beside the main window on a small screen.
    setMinimumSize(200, 220);
    setPoints({});
}

void LinearCurveView::setPoints(const QList<LinearCurve::Point> &points)
{
    m_points = points;
    QList<QPointF> all;
    QList<QPointF> ok;
    QList<QPointF> red;
    for (const LinearCurve::Point &p : points) {
        all << QPointF(p.x, p.y);
        (p.outOfOrder() ? red : ok) << QPointF(p.x, p.y);
    }
    m_line->replace(all);
    m_ok->replace(ok);
    m_red->replace(red);

    // Axes around the points with a margin, so the end points are not cut in half.
    auto range = [&all](bool x, QValueAxis *axis) {
        if (all.isEmpty()) {
            axis->setRange(0, 1);
            return;
        }
        double lo = x ? all.first().x() : all.first().y();
        double hi = lo;
        for (const QPointF &p : all) {
            lo = std::min(lo, x ? p.x() : p.y());
            hi = std::max(hi, x ? p.x() : p.y());
        }
        const double pad = hi > lo ? (hi - lo) * 0.08 : std::max(1.0, std::abs(lo) * 0.1);
        axis->setRange(lo - pad, hi + pad);
    };
    range(true, m_axisX);
    range(false, m_axisY);
}

QString LinearCurveView::toolTipAt(const QPointF &value) const
{
    const LinearCurve::Point *nearest = nullptr;
    double best = 0.0;
    // Distances in fractions of each axis, so that a flow of 2 and a frequency of 2000 weigh alike.
    const double w = std::max(1e-9, m_axisX->max() - m_axisX->min());
    const double h = std::max(1e-9, m_axisY->max() - m_axisY->min());
    for (const LinearCurve::Point &p : m_points) {
        const double d = std::hypot((p.x - value.x()) / w, (p.y - value.y()) / h);
        if (!nearest || d < best) {
            nearest = &p;
            best = d;
        }
    }
    return nearest ? LinearCurve::toolTip(*nearest, m_xName, m_yName) : QString();
}
