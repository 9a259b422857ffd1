// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// The red "!" beside a field that marks it as flagged; hidden until a check flags the field.
class MarkerLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit MarkerLabel(QWidget *parent = nullptr);

    // The marker font, or the nearest bold font where it is not installed.
    static QFont markerFont();
};
