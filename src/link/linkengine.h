// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>

#include <QObject>
#include <QString>

#include "deviceport.h"
#include "exchangeoutcome.h"

class DeviceState;
class QEventLoop;
class ReplyTimer;
class TrafficEcho;
class UserDialogs;

// The device link: frames and transmits commands, waits for and checks the replies, resends,
// times out and reports device errors, all through the shared device state.
class LinkEngine final : public QObject
{
    Q_OBJECT
public:
    LinkEngine(DeviceState &state, DevicePort &port, ReplyTimer &timer, UserDialogs &dialogs,
        QObject *parent = nullptr);
    ~LinkEngine() override;

    void setEcho(TrafficEcho *echo); // nullptr = no echo
    // Maps "Com n" to a device path; the program hands in the settings store's mapping.
    void setPortResolver(std::function<QString(int)> resolver);
    // The system's own name of "Com n": /dev/ttyS<n-1>, COM<n> on Windows.
    static QString defaultPortPath(int comNumber);

    // Transmits state.CommandString and, unless NoWait, returns when the exchange has ended.
    // A call made while another exchange is outstanding waits for its turn (calls are served in
    // the order they were made), and every caller returns to the outcome of its own exchange.
    // NoWait is for resends only: it transmits at once and never waits (its outcome is NotSent).
    ExchangeOutcome SendCommand(bool NoWait = false);
    // The outcome of the last exchange that went out and ended; NotSent before the first.
    const ExchangeOutcome &lastExchange() const { return m_lastExchange; }

    // The link part of the port menu: close, take the number, test-open, report the status.
    void selectPort(int index);
    int portNumber() const { return m_portNumber; }
    QString portPath() const;
    bool exchangeOutstanding() const { return m_phase != Phase::Idle; }

    // Receive state, visible for the monitor and for tests.
    const QString &RxBuffer() const { return m_rxBuffer; }
    int ReplyRetries() const { return m_replyRetries; }
    bool TimeoutResent() const { return m_timeoutResent; }

    // The two handlers: one received character taken from the port, and the reply timer's expiry.
    void MSComm1_OnComm();
    void tmrTimeOut_Timer();

    static QString timeoutMessage();

signals:
    void statusTextChanged(const QString &text);
    void exchangeFinished();

private:
    enum class Phase { Idle, Waiting, Ending };

    // One caller of SendCommand: its command while it waits for its turn, then its outcome.
    struct Waiter
    {
        QString command;
        bool autoFrame = true;
        bool done = false;
        QEventLoop *loop = nullptr;
        QString commandString;
        QString replyValue;
        bool replyReceived = true;
        bool commAbort = false;
        ExchangeOutcome outcome;
    };

    void transmit(bool resend, bool frame);
    void waitFor(Waiter &waiter);
    void release(Waiter &waiter);
    void startQueued();
    void finish();
    void latchFailure();
    // A failure once noted stays the exchange's outcome (a refusal then a time-out is a refusal).
    void noteOutcome(ExchangeOutcome::Kind kind);
    void portErrorOnTransmit(const DevicePort::Error &error, bool resend);
    void onDataReceived();
    void onCompleteFrame();
    void deviceErrorReply();
    bool echoShowing() const;

    DeviceState &m_state;
    DevicePort &m_port;
    ReplyTimer &m_timer;
    UserDialogs &m_dialogs;
    TrafficEcho *m_echo = nullptr;
    std::function<QString(int)> m_resolver;

    int m_portNumber = 1;
    Phase m_phase = Phase::Idle;
    Waiter *m_current = nullptr; // the caller waiting for the outstanding exchange, if any
    std::deque<Waiter *> m_queue; // callers waiting for their turn, in call order
    bool m_startingQueued = false;
    QString m_sentCommand; // the outstanding command as transmitted
    bool m_framed = true; // the outstanding command went out framed
    int m_unframedCalls = 0; // calls made with AutoFrame False that have not returned yet
    bool m_exchangeFailed = false; // the link latched a failure of the outstanding exchange
    bool m_latchBeforeFailure = false;
    bool m_openFailed = false; // the first transmission could not open the port
    ExchangeOutcome m_outcome; // of the outstanding exchange
    ExchangeOutcome m_lastExchange;

    QByteArray m_pending; // arrived but not yet taken by MSComm1_OnComm
    QString m_rxBuffer;
    int m_replyRetries = 0;
    bool m_timeoutResent = false;
};
