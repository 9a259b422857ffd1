#include "linkengine.h"

#include <utility>

#include <QEventLoop>

#include "link/userdialogs.h"
#include "devicestate.h"
#include "echoformat.h"
#include "frames.h"
#include "replytimer.h"
#include "trafficecho.h"
#include "values.h"

namespace {

QLatin1Char Stx()
{
    return QLatin1Char(Frames::STX);
}

QLatin1Char Cr()
{
    return QLatin1Char(Frames::CR);
}

} // namespace

LinkEngine::LinkEngine(DeviceState &state, DevicePort &port, ReplyTimer &timer, UserDialogs &dialogs,
                       QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_port(port)
    , m_timer(timer)
    , m_dialogs(dialogs)
    , m_resolver(&LinkEngine::defaultPortPath)
{
    connect(&m_port, &DevicePort::dataReceived, this, &LinkEngine::onDataReceived);
    connect(&m_port, &DevicePort::connectionLost, this, &LinkEngine::onConnectionLost);
    connect(&m_timer, &ReplyTimer::expired, this, &LinkEngine::tmrTimeOut_Timer);
}

LinkEngine::~LinkEngine()
{
    if (m_waitLoop)
        m_waitLoop->quit();
}

void LinkEngine::setEcho(TrafficEcho *echo)
{
    m_echo = echo;
}

void LinkEngine::setPortResolver(std::function<QString(int)> resolver)
{
    m_resolver = std::move(resolver);
}

QString LinkEngine::defaultPortPath(int comNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
#endif
}

QString LinkEngine::portPath() const
{
    return m_resolver(m_portNumber);
}

QString LinkEngine::timeoutMessage()
{
    return QStringLiteral("             Communications Timeout") + Cr()
        + QStringLiteral("Check Serial Connection or Com Port Setting");
}

bool LinkEngine::echoShowing() const
{
    return m_echo && m_echo->isShowing();
}

void LinkEngine::selectPort(int index)
{
    if (m_port.isOpen())
        m_port.close();
    m_portNumber = index;
    const DevicePort::Error error = m_port.open(portPath());
    m_port.close();
    switch (error.kind) {
    case DevicePort::ErrorKind::None:
        emit statusTextChanged(QStringLiteral("Status:  Com%1").arg(index));
        break;
    case DevicePort::ErrorKind::NoSuchPort:
        emit statusTextChanged(QStringLiteral("Status:  ERROR - Invalid Com Port"));
        break;
    case DevicePort::ErrorKind::InUse:
        emit statusTextChanged(QStringLiteral("Status:  ERROR - Port in use"));
        break;
    case DevicePort::ErrorKind::Other:
        emit statusTextChanged(QStringLiteral("Status:  Internal Error %1").arg(error.number));
        break;
    }
}

bool LinkEngine::SendCommand(bool NoWait)
{
    if (m_phase != Phase::Idle) {
        // A second exchange would overwrite the outstanding command and its reply: refuse it,
        // and let the refused caller's sequence see a failure through the latch.
        m_state.CommandString = m_sentCommand;
        m_state.CommAbort = true;
        return false;
    }
    transmit(NoWait);
    return true;
}

void LinkEngine::transmit(bool NoWait)
{
    DeviceState &s = m_state;
    if (m_phase == Phase::Idle)
        ++m_serial;
    const quint64 serial = m_serial;
    if (s.CommAbort) {
        finish();
        return;
    }
    const bool showing = echoShowing();
    if (showing)
        s.MonitorRows += 1;
    s.ReplyReceived = false;
    s.ReplyValue.clear();
    m_phase = Phase::Waiting;
    if (s.AutoFrame)
        s.CommandString = Stx() + s.CommandString + Cr();
    m_sentCommand = s.CommandString;
    if (showing) {
        m_echo->appendText(QStringLiteral("\r\nTX-->  ") + EchoFormat::text(s.CommandString, m_echo->mode())
                           + QStringLiteral("\r\nRX-->  "));
        m_echo->UpdateCommTextboxRows();
        m_echo->UpdateCommTextboxRows();
    }
    m_timer.stop();

    m_transmitting = true;
    m_transmitError = {};
    DevicePort::Error error;
    if (!m_port.isOpen())
        error = m_port.open(portPath());
    if (!error) {
        m_port.discardInput();
        m_pending.clear();
        m_timer.start();
        error = m_port.write(s.CommandString.toLatin1());
    }
    m_transmitting = false;
    if (!error && m_transmitError)
        error = m_transmitError;
    if (error) {
        failOnPortError(error);
        return;
    }
    if (!NoWait)
        waitForEnd(serial);
}

void LinkEngine::waitForEnd(quint64 serial)
{
    QEventLoop loop;
    while (m_finishedSerial < serial) {
        m_waitLoop = &loop;
        // -1: the application is quitting and no event will be delivered any more, so the reply can
        // never arrive. End the exchange as failed instead of spinning.
        if (loop.exec() == -1) {
            m_waitLoop = nullptr;
            m_timer.stop();
            m_state.CommAbort = true;
            finish();
        }
    }
}

void LinkEngine::finish()
{
    m_state.ReplyReceived = true;
    m_phase = Phase::Idle;
    m_finishedSerial = m_serial;
    if (QEventLoop *loop = std::exchange(m_waitLoop, nullptr))
        loop->quit();
    emit exchangeFinished();
}

void LinkEngine::failOnPortError(const DevicePort::Error &error)
{
    // Every port failure ends the exchange at once; a running sequence sees CommAbort.
    m_timer.stop();
    m_phase = Phase::Ending;
    m_state.CommAbort = true;
    QString status;
    QString text;
    switch (error.kind) {
    case DevicePort::ErrorKind::NoSuchPort:
        text = QStringLiteral("ERROR - Invalid Com Port");
        status = QStringLiteral("Status:  ") + text;
        break;
    case DevicePort::ErrorKind::InUse:
        text = QStringLiteral("ERROR - Port in use");
        status = QStringLiteral("Status:  ") + text;
        break;
    case DevicePort::ErrorKind::None:
    case DevicePort::ErrorKind::Other:
        status = QStringLiteral("Status:  Internal Error %1").arg(error.number);
        text = QStringLiteral("ERROR - Internal Error %1").arg(error.number);
        if (!error.text.isEmpty())
            text += Cr() + error.text;
        break;
    }
    emit statusTextChanged(status);
    m_dialogs.message(text);
    finish();
}

void LinkEngine::onConnectionLost(const DevicePort::Error &error)
{
    if (m_transmitting) {
        if (!m_transmitError)
            m_transmitError = error;
        return;
    }
    if (m_phase == Phase::Waiting)
        failOnPortError(error);
}

void LinkEngine::onDataReceived()
{
    m_pending += m_port.readAll();
    // One event per character; a handler may resend and discard the rest, or nest another wait.
    while (!m_pending.isEmpty())
        MSComm1_OnComm();
}

void LinkEngine::MSComm1_OnComm()
{
    if (m_pending.isEmpty())
        return;
    const uchar a = uchar(m_pending.at(0));
    m_pending.remove(0, 1);

    if (echoShowing()) {
        m_echo->appendText(EchoFormat::character(a, m_echo->mode()));
        if (a == 13) {
            m_echo->appendText(QStringLiteral("\r\n"));
            m_echo->UpdateCommTextboxRows();
        }
    }
    if (a == 2)
        m_rxBuffer.clear();
    m_rxBuffer += QLatin1Char(char(a));
    if (a != 13 || !m_rxBuffer.startsWith(Stx()))
        return;
    // A frame nobody waits for (late reply after an ending) must not start resends or set the latch.
    if (m_phase != Phase::Waiting)
        return;
    onCompleteFrame();
}

void LinkEngine::onCompleteFrame()
{
    DeviceState &s = m_state;
    m_timeoutResent = false;
    if (m_rxBuffer.size() > 1 && m_rxBuffer.at(1) == QLatin1Char('E')) {
        deviceErrorReply();
        return;
    }
    if (Frames::replyMatches(s.CommandString, m_rxBuffer)) {
        m_timer.stop();
        m_replyRetries = 0;
        const QString value = Frames::split(m_rxBuffer).valueText;
        m_rxBuffer.clear();
        s.ReplyValue = value;
        finish();
        return;
    }
    if (m_replyRetries < 2) {
        ++m_replyRetries;
        m_timer.stop();
        m_rxBuffer.clear();
        if (s.CommandString.size() >= 2)
            s.CommandString = s.CommandString.mid(1, s.CommandString.size() - 2);
        transmit(true);
        return;
    }
    if (m_port.isOpen())
        m_port.close();
    if (!m_port.isOpen())
        m_port.open(portPath()); // a failed reopen shows at the next transmission
    m_timer.stop();
    m_replyRetries = 0;
    m_rxBuffer.clear();
    s.CommAbort = true;
    m_phase = Phase::Ending;
    m_dialogs.message(QStringLiteral("Error"), UserDialogs::Icon::Critical);
    s.ReplyValue = QStringLiteral("Inval");
    finish();
}

void LinkEngine::deviceErrorReply()
{
    const QString name = Frames::itemName(Frames::split(m_state.CommandString).codeText);
    m_state.CommAbort = true;
    const QString text = Frames::deviceErrorText(Values::Val(m_rxBuffer.mid(2)));
    // The timer keeps running: its next expiry ends the exchange, even while this box is open.
    if (!text.isEmpty())
        m_dialogs.message(text + Cr() + QStringLiteral("Issued for ") + name, UserDialogs::Icon::Critical);
}

void LinkEngine::tmrTimeOut_Timer()
{
    m_timer.stop();
    if (m_phase != Phase::Waiting)
        return; // nothing outstanding: an expiry must not resend an ended command
    DeviceState &s = m_state;
    if (!m_timeoutResent) {
        m_timeoutResent = true;
        if (s.CommandString.size() > 2)
            s.CommandString = s.CommandString.mid(1, s.CommandString.size() - 2);
        transmit(true);
        return;
    }
    m_timeoutResent = false;
    s.CommAbort = true;
    m_phase = Phase::Ending;
    m_dialogs.message(timeoutMessage(), UserDialogs::Icon::Exclamation);
    s.PollingOn = false;
    s.ReplyValue = QStringLiteral("NoRsp");
    finish();
}
