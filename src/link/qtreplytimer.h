// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

#include "replytimer.h"

// The reply timer on a precise QTimer; a coarse one fires up to 25 ms early or late.
class QtReplyTimer final : public ReplyTimer
{
    Q_OBJECT
public:
    explicit QtReplyTimer(int intervalMs = 500, QObject *parent = nullptr);

    void start() override { m_timer.start(); }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
};
