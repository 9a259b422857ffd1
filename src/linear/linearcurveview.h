// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QChartView>
#include <QList>

#include "linear/linearcurve.h"

class QLineSeries;
class QScatterSeries;
class QValueAxis;

// The linearisation curve beside the points table: the active points joined in row order, those
// that break the increasing order in red, each point's tooltip naming its row.
class LinearCurveView final : public QChartView
{
    Q_OBJECT

public:
    LinearCurveView(const QString &xName, const QString &yName, QWidget *parent = nullptr);

    void setPoints(const QList<LinearCurve::Point> &points);
    const QList<LinearCurve::Point> &points() const { return m_points; }
    QScatterSeries *redPoints() const { return m_red; }
    // The tooltip of the point nearest to a value position, empty without points.
    QString toolTipAt(const QPointF &value) const;

private:
    QString m_xName;
    QString m_yName;
    QList<LinearCurve::Point> m_points;
    QLineSeries *m_line = nullptr;
    QScatterSeries *m_ok = nullptr;
    QScatterSeries *m_red = nullptr;
    QValueAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
};
