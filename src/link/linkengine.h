#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "deviceport.h"

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
    // Returns false when refused because another exchange is still outstanding; the refused
    // caller then finds CommAbort set and the outstanding command and reply untouched.
    bool SendCommand(bool NoWait = false);

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

    void transmit(bool NoWait);
    void waitForEnd(quint64 serial);
    void finish();
    void failOnPortError(const DevicePort::Error &error);
    void onDataReceived();
    void onConnectionLost(const DevicePort::Error &error);
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
    quint64 m_serial = 0;         // number of the current (or last) exchange
    quint64 m_finishedSerial = 0; // number of the last exchange that ended
    QEventLoop *m_waitLoop = nullptr;
    QString m_sentCommand;        // the outstanding command as transmitted
    bool m_transmitting = false;
    DevicePort::Error m_transmitError;

    QByteArray m_pending; // arrived but not yet taken by MSComm1_OnComm
    QString m_rxBuffer;
    int m_replyRetries = 0;
    bool m_timeoutResent = false;
};
