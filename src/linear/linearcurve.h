// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

class DeviceState;
class LinearPointsLogic;

// The points of the linearisation curve and which of them break the increasing order.
class LinearCurve final
{
public:
    struct Point
    {
        int row = 0; // 0 to 9
        double x = 0.0; // frequency or position
        double y = 0.0; // flow or coefficient
        bool xOutOfOrder = false;
        bool yOutOfOrder = false;
        bool outOfOrder() const { return xOutOfOrder || yOutOfOrder; }
    };

    // The entered points of the active rows, in row order, marked.
    static QList<Point> points(const LinearPointsLogic &logic, const DeviceState &state);
    // Marks the points outside the longest increasing run of each column, so that one mistyped
    // point is the one marked rather than its neighbour; of equal runs the earlier rows are kept.
    static void mark(QList<Point> &points);
    // "Row 3: Frequency 200, Flow 2.5" and, for a marked point, what is out of order.
    static QString toolTip(const Point &point, const QString &xName, const QString &yName);
};
