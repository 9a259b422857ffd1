// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include <QDateTime>
#include <QList>
#include <QString>

#include "linear/linearcurve.h"

class SetupModel;

// What a setup sheet shows of a setup, as texts, before anything is painted: the window's fields
// with their captions and values, and the linear points with their curve.
struct SetupSheet
{
    // Where a Read Setup took the setup from.
    struct Origin
    {
        QString port; // "Com 1 (/dev/ttyUSB0)"
        QString deviceVersion; // the answer to "V"; empty when it gave none
    };

    struct Row
    {
        QString name; // the caption as the window shows it, without its colon
        QString value; // the text or the selected entry as the window shows it
        bool used = true; // false for a field greyed or hidden by another field's choice
    };

    struct Point
    {
        int number = 0; // 1 to 10
        QString x; // empty for a value never entered
        QString y;
    };

    QString title;
    QString family;
    QDateTime made;
    std::optional<Origin> origin;
    QString file; // the data file the setup came from, when it did
    std::vector<Row> rows;
    QString pointHeadings[2]; // "Frequency", "Flow"
    std::vector<Point> points; // the points in use
    QList<LinearCurve::Point> curve; // the entered points in use, the out-of-order ones marked

    static SetupSheet make(
        const SetupModel &setup, const QDateTime &made, const std::optional<Origin> &origin = std::nullopt);

    // "Family: Dravion", "Date: ...", "Port: ...": the lines under the title.
    QStringList headerLines() const;
    static QString notUsed() { return QStringLiteral("not used"); }
};
