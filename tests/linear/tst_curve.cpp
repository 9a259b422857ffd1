// SPDX-License-Identifier: GPL-3.0-or-later
// The linearisation curve beside the points table: which points break the increasing order
// (rows in tests/data/linear/curve.txt), and the plot following the user's edits.

#include <QCoreApplication>
#include <QPushButton>
#include <QScatterSeries>

#include <gtest/gtest.h>

#include "app/mainwindowshell.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearcurve.h"
#include "linear/linearcurveview.h"
#include "linear/linearpoints.h"
#include "params/mainwindowcontrols.h"
#include "rig.h"
#include "table.h"

TABLE_TEST(LinearCurve, MarksThePointsThatBreakTheIncreasingOrder, "linear/curve.txt", "order")
{
    QList<LinearCurve::Point> points;
    for (const QString &w : row.words("points"))
        points << LinearCurve::Point { int(points.size()), w.section(QLatin1Char(':'), 0, 0).toDouble(),
            w.section(QLatin1Char(':'), 1).toDouble() };
    LinearCurve::mark(points);
    QStringList red;
    for (const LinearCurve::Point &p : points) {
        if (p.outOfOrder())
            red << QString::number(p.row + 1);
    }
    EXPECT_EQ(red.isEmpty() ? QStringLiteral("-") : red.join(QLatin1Char(' ')), row["red"]);
}

// Typing a wrong frequency turns its point red at once, with no message; mending it clears the red.
TEST(LinearCurve, TheWindowsPlotFollowsEveryEdit)
{
    for (const QString &family : { QStringLiteral("Dravion"), QStringLiteral("MR") }) {
        SCOPED_TRACE(family.toStdString());
        Rig r(family);
        ASSERT_TRUE(r.start()) << r.error.toStdString();
        r.set(QStringLiteral("txtLinearPts"), QStringLiteral("5"));
        r.c().btnLinear->click();
        frmLinearPoints *w = r.window->linearPoints().window();
        ASSERT_TRUE(w->isVisible());
        r.enter(QStringLiteral("txtFreq0=100 txtCoef0=1 txtFreq1=200 txtCoef1=2 txtFreq2=3000 txtCoef2=3 "
                               "txtFreq3=400 txtCoef3=4 txtFreq4=500 txtCoef4=5 txtFreq5=50 txtCoef5=9"));
        QCoreApplication::processEvents();
        LinearCurveView *curve = w->curve();
        ASSERT_EQ(curve->points().size(), 5); // the inactive sixth row is not drawn
        ASSERT_EQ(curve->redPoints()->count(), 1);
        EXPECT_EQ(curve->redPoints()->at(0), QPointF(3000, 3));
        const QString x
            = family == QLatin1String("MR") ? QStringLiteral("Position") : QStringLiteral("Frequency");
        const QString y
            = family == QLatin1String("MR") ? QStringLiteral("Coefficient") : QStringLiteral("Flow");
        EXPECT_EQ(curve->toolTipAt(QPointF(2900, 3.1)),
            QStringLiteral("Row 3: %1 3000, %2 3\n%1 out of increasing order").arg(x, y));
        EXPECT_EQ(curve->toolTipAt(QPointF(110, 1)), QStringLiteral("Row 1: %1 100, %2 1").arg(x, y));
        EXPECT_TRUE(r.dialogs.messages.empty());

        r.set(QStringLiteral("txtFreq2"), QStringLiteral("300"));
        QCoreApplication::processEvents();
        EXPECT_EQ(curve->redPoints()->count(), 0);
        EXPECT_EQ(curve->points().at(2).x, 300);
    }
}
