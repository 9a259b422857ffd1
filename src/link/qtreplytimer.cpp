// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtreplytimer.h"

QtReplyTimer::QtReplyTimer(int intervalMs, QObject *parent)
    : ReplyTimer(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &ReplyTimer::expired);
}
