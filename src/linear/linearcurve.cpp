// SPDX-License-Identifier: GPL-3.0-or-later
#include "linearcurve.h"

#include <algorithm>
#include <vector>

#include "linear/linearpointslogic.h"
#include "link/devicestate.h"
#include "link/values.h"

namespace {

// Flags the values outside the longest strictly increasing subsequence that keeps the earliest rows.
std::vector<bool> outOfOrder(const std::vector<double> &v)
{
    const int n = int(v.size());
    std::vector<int> longest(size_t(n), 1); // the longest run starting at i
    for (int i = n - 1; i >= 0; --i) {
        for (int j = i + 1; j < n; ++j) {
            if (v[size_t(j)] > v[size_t(i)])
                longest[size_t(i)] = std::max(longest[size_t(i)], longest[size_t(j)] + 1);
        }
    }
    std::vector<bool> flagged(size_t(n), true);
    int want = n == 0 ? 0 : *std::max_element(longest.begin(), longest.end());
    double last = 0.0;
    bool any = false;
    for (int i = 0; i < n && want > 0; ++i) {
        if (longest[size_t(i)] == want && (!any || v[size_t(i)] > last)) {
            flagged[size_t(i)] = false;
            last = v[size_t(i)];
            any = true;
            --want;
        }
    }
    return flagged;
}

} // namespace

QList<LinearCurve::Point> LinearCurve::points(const LinearPointsLogic &logic, const DeviceState &state)
{
    QList<Point> result;
    for (int row = 0; row < LinearPointsLogic::Rows; ++row) {
        const qint16 x = state.LinFreqItems.at(size_t(row)).value;
        const float y = state.LinFlowItems.at(size_t(row)).value;
        if (logic.isRowActive(row) && x != -1 && y != -1.0f)
            result << Point { row, double(x), double(y) };
    }
    mark(result);
    return result;
}

void LinearCurve::mark(QList<Point> &points)
{
    std::vector<double> xs;
    std::vector<double> ys;
    for (const Point &p : points) {
        xs.push_back(p.x);
        ys.push_back(p.y);
    }
    const std::vector<bool> badX = outOfOrder(xs);
    const std::vector<bool> badY = outOfOrder(ys);
    for (qsizetype i = 0; i < points.size(); ++i) {
        points[i].xOutOfOrder = badX[size_t(i)];
        points[i].yOutOfOrder = badY[size_t(i)];
    }
}

QString LinearCurve::toolTip(const Point &point, const QString &xName, const QString &yName)
{
    QString text
        = QStringLiteral("Row %1: %2 %3, %4 %5")
              .arg(point.row + 1)
              .arg(xName, Values::FormatSingle(float(point.x)), yName, Values::FormatSingle(float(point.y)));
    QStringList broken;
    if (point.xOutOfOrder)
        broken << xName;
    if (point.yOutOfOrder)
        broken << yName;
    if (!broken.isEmpty())
        text += QStringLiteral("\n%1 out of increasing order").arg(broken.join(QStringLiteral(" and ")));
    return text;
}
