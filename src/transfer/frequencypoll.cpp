// SPDX-License-Identifier: GPL-3.0-or-later
#include "frequencypoll.h"

#include <QLabel>
#include <QTimer>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "transfer/frequencydigits.h"

FrequencyPoll::FrequencyPoll(
    AppContext &context, QTimer *timer, std::array<QLabel *, 4> digits, Rules rules, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_timer(timer)
    , m_rules(rules)
{
    for (size_t i = 0; i < digits.size(); ++i)
        m_digits[i] = digits[i];
}

void FrequencyPoll::Option1_Click()
{
    if (m_rules == Rules::UsePollingOn)
        m_context.state.PollingOn = true;
    m_context.state.CommAbort = false;
    if (m_timer)
        m_timer->start();
    emit pollingSwitched(true);
}

void FrequencyPoll::Option2_Click()
{
    if (m_rules == Rules::UsePollingOn)
        m_context.state.PollingOn = false;
    if (m_timer)
        m_timer->stop();
    emit pollingSwitched(false);
}

bool FrequencyPoll::isPolling() const
{
    return m_timer && m_timer->isActive() && (m_rules == Rules::TimerOnly || m_context.state.PollingOn);
}

void FrequencyPoll::tmrPolling_Timer()
{
    DeviceState &s = m_context.state;
    if (m_rules == Rules::UsePollingOn && !s.PollingOn)
        return;
    // A poll between two steps of a transfer (under one of its message boxes) would mix an "F"
    // into the sequence; a tick that finds an exchange outstanding skips rather than queue behind it.
    if (!s.ReplyReceived || s.TransferRunning || !m_context.link || m_context.link->exchangeOutstanding())
        return;
    s.ReplyReceived = false;
    s.CommandString = QStringLiteral("F");
    m_context.link->SendCommand(false);
    // With the latch set nothing was sent and ReplyValue is some earlier exchange's answer.
    const std::optional<QString> padded = s.CommAbort ? std::nullopt : FrequencyDigits::padded(s.ReplyValue);
    if (!padded) {
        emit frequencyMissed();
        return;
    }
    s.ReplyValue = *padded;
    for (int i = 0; i < int(m_digits.size()); ++i) {
        if (m_digits[size_t(i)])
            m_digits[size_t(i)]->setText(FrequencyDigits::digit(*padded, i));
    }
    emit frequencyShown(FrequencyDigits::shownHz(*padded));
}
