// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the link writes its traffic echo; the line monitor window implements it.
class TrafficEcho
{
public:
    enum class Mode { Ascii, Hex, None };

    virtual ~TrafficEcho() = default;

    virtual bool isShowing() const = 0; // echo only while the monitor is visible
    virtual Mode mode() const = 0; // follows the selected tab
    virtual void appendText(const QString &text) = 0; // appends at the end, keeps the view at the end
    virtual void UpdateCommTextboxRows() = 0; // counts one row, trims beyond 151
};
