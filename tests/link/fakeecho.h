#pragma once

#include "link/trafficecho.h"

// Collects the traffic echo as the monitor's text would.
class FakeEcho final : public TrafficEcho
{
public:
    bool showing = true;
    Mode shownMode = Mode::Ascii;
    QString text;
    int rowUpdates = 0;

    bool isShowing() const override { return showing; }
    Mode mode() const override { return shownMode; }
    void appendText(const QString &t) override { text += t; }
    void UpdateCommTextboxRows() override { ++rowUpdates; }
};
