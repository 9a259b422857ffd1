// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QObject>
#include <QPointer>

#include "link/appcontext.h"

class QLabel;
class QTimer;

// Live polling of the input frequency while the Frequency frame is switched on.
class FrequencyPoll final : public QObject
{
    Q_OBJECT

public:
    // The Dravion window polls only while PollingOn holds (a second time-out clears it); the MR
    // window's switch only starts and stops the timer.
    enum class Rules { UsePollingOn, TimerOnly };

    FrequencyPoll(
        AppContext &context, QTimer *timer, std::array<QLabel *, 4> digits, Rules rules, QObject *parent);

    void Option1_Click();
    void Option2_Click();
    void tmrPolling_Timer();

    // The timer runs and, where the rules use it, PollingOn holds.
    bool isPolling() const;

Q_SIGNALS:
    void frequencyShown(double hz); // as the digits show it
    void frequencyMissed(); // a poll was due and showed nothing
    void pollingSwitched(bool on); // "On" or "Off" selected

private:
    AppContext &m_context;
    QPointer<QTimer> m_timer;
    std::array<QPointer<QLabel>, 4> m_digits;
    Rules m_rules;
};
