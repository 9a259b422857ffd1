// SPDX-License-Identifier: GPL-3.0-or-later
#include "progresscounter.h"

#include "link/values.h"

void ProgressCounter::start(double points, int fixed)
{
    m_step = float(100.0 / (2.0 * points + fixed));
    m_total = 0.0f;
}

std::optional<qint16> ProgressCounter::step()
{
    // Single arithmetic on purpose: the sum of 29 steps of 100/29 must land where the device's
    // users have always seen it, not where a double would.
    m_total = m_total + m_step;
    return Values::IntOf(double(m_total));
}

QString ProgressCounter::percentText(qint16 percent)
{
    return Values::FormatInt(percent) + QLatin1Char('%');
}
