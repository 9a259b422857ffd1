// SPDX-License-Identifier: GPL-3.0-or-later
#include "linkengine.h"

#include <algorithm>
#include <utility>

#include <QEventLoop>
#include <QScopeGuard>

#include "devicestate.h"
#include "echoformat.h"
#include "frames.h"
#include "link/userdialogs.h"
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

LinkEngine::LinkEngine(
    DeviceState &state, DevicePort &port, ReplyTimer &timer, UserDialogs &dialogs, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_port(port)
    , m_timer(timer)
    , m_dialogs(dialogs)
    , m_resolver(&LinkEngine::defaultPortPath)
{
    connect(&m_port, &DevicePort::dataReceived, this, &LinkEngine::onDataReceived);
    connect(&m_timer, &ReplyTimer::expired, this, &LinkEngine::tmrTimeOut_Timer);
}

LinkEngine::~LinkEngine()
{
    for (Waiter *waiter : m_queue) {
        waiter->done = true;
        if (waiter->loop)
            waiter->loop->quit();
    }
    if (m_current) {
        m_current->done = true;
        if (m_current->loop)
            m_current->loop->quit();
    }
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

ExchangeOutcome LinkEngine::SendCommand(bool NoWait)
{
    DeviceState &s = m_state;
    if (NoWait) {
        transmit(true, s.AutoFrame);
        return {};
    }
    // AutoFrame False belongs to the monitor's own call, and the monitor sets it back only when that
    // call returns. A call made meanwhile (a Read clicked during the monitor's wait) comes from
    // elsewhere and is framed as it would be alone.
    const bool frame = s.AutoFrame || m_unframedCalls > 0;
    m_unframedCalls += !frame;
    const auto uncount = qScopeGuard([this, frame] { m_unframedCalls -= !frame; });
    Waiter waiter;
    if (m_phase == Phase::Idle && m_queue.empty()) {
        m_current = &waiter;
        transmit(false, frame);
    } else if (s.CommAbort) {
        // A failed sequence sends nothing, and the outstanding exchange keeps its command.
        s.CommandString = m_sentCommand;
        s.ReplyReceived = true;
        return {};
    } else {
        // Wait for our turn; the outstanding exchange still checks its reply against its command.
        waiter.command = s.CommandString;
        waiter.autoFrame = frame;
        s.CommandString = m_sentCommand;
        m_queue.push_back(&waiter);
    }
    waitFor(waiter);
    // Callers that came later may have run their exchanges while this one sat below them. An exchange
    // still outstanding (a port that failed to open returns at once) keeps its command.
    if (m_phase == Phase::Idle)
        s.CommandString = waiter.commandString;
    s.ReplyValue = waiter.replyValue;
    s.ReplyReceived = waiter.replyReceived;
    s.CommAbort = waiter.commAbort;
    if (waiter.outcome.kind != ExchangeOutcome::Kind::NotSent)
        m_lastExchange = waiter.outcome;
    return waiter.outcome;
}

void LinkEngine::transmit(bool resend, bool frame)
{
    DeviceState &s = m_state;
    const bool fresh = m_phase == Phase::Idle;
    if (fresh) {
        m_exchangeFailed = m_openFailed = false;
        m_outcome = {};
    }
    // A resend of an exchange that has already failed ends it, also when another caller's sequence
    // has cleared the latch meanwhile.
    if (s.CommAbort || (!fresh && m_exchangeFailed)) {
        finish();
        return;
    }
    const bool showing = echoShowing();
    if (showing)
        s.MonitorRows += 1;
    s.ReplyReceived = false;
    s.ReplyValue.clear();
    m_phase = Phase::Waiting;
    if (fresh)
        m_framed = frame; // resends keep the framing of the exchange's own command
    if (frame)
        s.CommandString = Stx() + s.CommandString + Cr();
    m_sentCommand = s.CommandString;
    if (showing) {
        m_echo->appendText(QStringLiteral("\r\nTX-->  ") + EchoFormat::text(s.CommandString, m_echo->mode())
            + QStringLiteral("\r\nRX-->  "));
        m_echo->UpdateCommTextboxRows();
        m_echo->UpdateCommTextboxRows();
    }
    m_timer.stop();

    DevicePort::Error error;
    if (!m_port.isOpen())
        error = m_port.open(portPath());
    if (!error) {
        m_port.discardInput();
        m_pending.clear();
        m_timer.start();
        error = m_port.write(s.CommandString.toLatin1());
        if (!error)
            noteOutcome(ExchangeOutcome::Kind::NoResponse); // until a reply ends it otherwise
    }
    if (error)
        portErrorOnTransmit(error, resend);
}

void LinkEngine::portErrorOnTransmit(const DevicePort::Error &error, bool resend)
{
    // Whatever failed, the reply timer ends the exchange: one resend (which reopens the port), then
    // the time-out. A device lost while waiting needs nothing here at all: the port has closed
    // itself, and the resend finds out whether the device is back.
    if (!m_timer.isActive())
        m_timer.start();
    if (error.kind != DevicePort::ErrorKind::NoSuchPort && error.kind != DevicePort::ErrorKind::InUse)
        return;
    const bool missing = error.kind == DevicePort::ErrorKind::NoSuchPort;
    const QString text
        = missing ? QStringLiteral("ERROR - Invalid Com Port") : QStringLiteral("ERROR - Port in use");
    latchFailure();
    noteOutcome(ExchangeOutcome::Kind::PortError);
    emit statusTextChanged(QStringLiteral("Status:  ") + text);
    // The caller of a first transmission returns at once; one whose command is being resent waits
    // for the time-out.
    if (!resend) {
        m_openFailed = true;
        if (Waiter *waiter = std::exchange(m_current, nullptr))
            release(*waiter);
    }
    m_dialogs.message(text);
}

void LinkEngine::waitFor(Waiter &waiter)
{
    QEventLoop loop;
    while (!waiter.done) {
        waiter.loop = &loop;
        // -1: the application is quitting and no event will be delivered any more, so the reply can
        // never arrive. End the wait as failed instead of spinning.
        if (loop.exec() != -1)
            continue;
        waiter.loop = nullptr;
        if (m_current == &waiter) {
            m_timer.stop();
            latchFailure();
            finish();
        } else {
            m_queue.erase(std::remove(m_queue.begin(), m_queue.end(), &waiter), m_queue.end());
            waiter.commandString = waiter.command;
            waiter.replyValue.clear();
            waiter.commAbort = true;
            waiter.done = true;
        }
    }
    waiter.loop = nullptr;
}

void LinkEngine::release(Waiter &waiter)
{
    waiter.commandString = m_state.CommandString;
    waiter.replyValue = m_state.ReplyValue;
    waiter.replyReceived = m_state.ReplyReceived;
    waiter.commAbort = m_state.CommAbort || m_exchangeFailed;
    waiter.outcome = m_outcome;
    waiter.outcome.value = m_state.ReplyValue;
    waiter.done = true;
    if (waiter.loop)
        waiter.loop->quit();
}

void LinkEngine::finish()
{
    m_state.ReplyReceived = true;
    m_phase = Phase::Idle;
    if (Waiter *waiter = std::exchange(m_current, nullptr))
        release(*waiter);
    emit exchangeFinished();
    startQueued();
}

void LinkEngine::startQueued()
{
    if (m_startingQueued)
        return; // the loop below goes on with the next caller
    m_startingQueued = true;
    while (m_phase == Phase::Idle && !m_queue.empty()) {
        Waiter *waiter = m_queue.front();
        m_queue.pop_front();
        // The failure of the exchange ahead belongs to its own caller; this caller's sequence had
        // not failed when it called, unless something set the latch while it waited.
        if (m_exchangeFailed && !m_latchBeforeFailure)
            m_state.CommAbort = false;
        m_state.CommandString = waiter->command;
        m_current = waiter;
        transmit(false, waiter->autoFrame);
    }
    m_startingQueued = false;
}

void LinkEngine::latchFailure()
{
    if (!m_exchangeFailed)
        m_latchBeforeFailure = m_state.CommAbort;
    m_exchangeFailed = true;
    m_state.CommAbort = true;
}

void LinkEngine::noteOutcome(ExchangeOutcome::Kind kind)
{
    using Kind = ExchangeOutcome::Kind;
    if (m_outcome.kind == Kind::NotSent || m_outcome.kind == Kind::NoResponse)
        m_outcome.kind = kind;
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
        noteOutcome(ExchangeOutcome::Kind::Ok); // after a refusal it stays a refusal
        finish();
        return;
    }
    if (m_replyRetries < 2) {
        ++m_replyRetries;
        m_timer.stop();
        m_rxBuffer.clear();
        if (s.CommandString.size() >= 2)
            s.CommandString = s.CommandString.mid(1, s.CommandString.size() - 2);
        transmit(true, m_framed);
        return;
    }
    if (m_port.isOpen())
        m_port.close();
    if (!m_port.isOpen())
        m_port.open(portPath()); // a failed reopen shows at the next transmission
    m_timer.stop();
    m_replyRetries = 0;
    m_rxBuffer.clear();
    latchFailure();
    m_phase = Phase::Ending;
    m_dialogs.message(QStringLiteral("Error"), UserDialogs::Icon::Critical);
    s.ReplyValue = QStringLiteral("Inval");
    noteOutcome(ExchangeOutcome::Kind::Invalid);
    finish();
}

void LinkEngine::deviceErrorReply()
{
    const QString name = Frames::itemName(Frames::split(m_state.CommandString).codeText);
    latchFailure();
    const double number = Values::Val(m_rxBuffer.mid(2));
    if (m_outcome.kind == ExchangeOutcome::Kind::NoResponse) {
        m_outcome.kind = ExchangeOutcome::Kind::DeviceError;
        m_outcome.deviceError = Values::IntOf(number).value_or(0); // numbers beyond 16 bits are none
    }
    const QString text = Frames::deviceErrorText(number);
    // The timer keeps running: its next expiry ends the exchange, even while this box is open.
    if (!text.isEmpty())
        m_dialogs.message(text + Cr() + QStringLiteral("Issued for ") + name, UserDialogs::Icon::Critical);
}

void LinkEngine::tmrTimeOut_Timer()
{
    m_timer.stop();
    if (m_phase != Phase::Waiting)
        return; // nothing outstanding: an expiry must not resend an ended command
    if (m_openFailed) {
        // Nothing went out and the caller has its answer: end quietly, and leave the resend flag
        // to the commands that did reach the device.
        finish();
        return;
    }
    DeviceState &s = m_state;
    if (!m_timeoutResent) {
        m_timeoutResent = true;
        if (s.CommandString.size() > 2)
            s.CommandString = s.CommandString.mid(1, s.CommandString.size() - 2);
        transmit(true, m_framed);
        return;
    }
    m_timeoutResent = false;
    latchFailure();
    m_phase = Phase::Ending;
    m_dialogs.message(timeoutMessage(), UserDialogs::Icon::Exclamation);
    s.PollingOn = false;
    s.ReplyValue = QStringLiteral("NoRsp");
    finish();
}
