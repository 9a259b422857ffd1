// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

// The percentage arithmetic of a transfer: equal single-precision steps, rounded halves to even.
class ProgressCounter final
{
public:
    // n points: 2n + fixed equal steps (fixed exchanges besides the points, two per point).
    void start(double points, int fixed = 9);
    // Adds one step and returns the rounded percentage; nothing when the total is not a 16-bit
    // number (a step count of zero gives an infinite step).
    std::optional<qint16> step();

    float stepSize() const { return m_step; }
    float total() const { return m_total; }

    static QString percentText(qint16 percent);

private:
    float m_step = 0.0f;
    float m_total = 0.0f;
};
