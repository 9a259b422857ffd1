// SPDX-License-Identifier: GPL-3.0-or-later
#include "soakrun.h"

#include <algorithm>

#include <QTimer>

#include "clockedport.h"
#include "fakeuserdialogs.h"
#include "link/devicestate.h"
#include "link/frames.h"
#include "link/linkengine.h"
#include "link/values.h"

namespace {

quint32 next(quint32 &state)
{
    // xorshift: the same seed gives the same commands on every platform.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int below(quint32 &state, int n)
{
    return int(next(state) % quint32(n));
}

} // namespace

QString randomDravionCommand(quint32 &state)
{
    static const char *const reads[] = { "3i", "4i", "7f", "8i", "9f", "11i", "13i", "14i", "15f", "16f",
        "100i", "101i", "102f", "119i", "120f" };
    static const char *const plain[] = { "V", "I", "F", "W" };
    const int kind = below(state, 10);
    if (kind < 5)
        return QString::fromLatin1(reads[below(state, int(std::size(reads)))]);
    if (kind < 7)
        return QString::fromLatin1(plain[below(state, int(std::size(plain)))]);
    switch (below(state, 6)) {
    case 0:
        return QStringLiteral("3i%1").arg(below(state, 6));
    case 1:
        return QStringLiteral("11i%1").arg(below(state, 100));
    case 2:
        return QStringLiteral("11i%1").arg(100 + below(state, 100)); // above range: E14
    case 3:
        return QStringLiteral("7f") + Values::FormatSingle(0.1f + float(below(state, 4900)) / 1000.0f);
    case 4:
        return QStringLiteral("7f0.01"); // below range: E13
    default:
        return QStringLiteral("15f") + Values::FormatSingle(float(below(state, 9999999)) / 100.0f);
    }
}

SoakCounts &SoakCounts::operator+=(const SoakCounts &o)
{
    exchanges += o.exchanges;
    valid += o.valid;
    inval += o.inval;
    noRsp += o.noRsp;
    deviceError += o.deviceError;
    portError += o.portError;
    skipped += o.skipped;
    transmissions += o.transmissions;
    virtualMs += o.virtualMs;
    problems += o.problems;
    return *this;
}

QString SoakCounts::summary() const
{
    return QStringLiteral("%1 exchanges, %2 transmissions: valid %3, Inval %4, NoRsp %5, device error %6, "
                          "port error %7, skipped after a failure %8; %9 problems")
        .arg(exchanges)
        .arg(transmissions)
        .arg(valid)
        .arg(inval)
        .arg(noRsp)
        .arg(deviceError)
        .arg(portError)
        .arg(skipped)
        .arg(problems.size());
}

SoakCounts runClockedSoak(
    const SimOptions &options, int exchanges, quint32 commandSeed, int unplugEvery, int unpluggedFor)
{
    SoakClock clock;
    ClockedReplyTimer timer(clock);
    ClockedPort port(options, clock, timer);
    DeviceState state;
    FakeUserDialogs dialogs;
    LinkEngine link(state, port, timer, dialogs);
    link.setPortResolver([](int) { return QStringLiteral("soak"); });
    QString status;
    QObject::connect(&link, &LinkEngine::statusTextChanged, [&status](const QString &s) { status = s; });
    state.ReplyReceived = true;
    state.AutoFrame = true;

    // One virtual event per turn of the nested wait; a wait with nothing left to happen is a hang.
    int idleTurns = 0;
    bool hung = false;
    QTimer pump;
    pump.setInterval(0);
    QObject::connect(&pump, &QTimer::timeout, [&] {
        if (port.step()) {
            idleTurns = 0;
            return;
        }
        if (link.exchangeOutstanding() && ++idleTurns > 100) {
            hung = true;
            port.loseLineNow();
        }
    });

    SoakCounts counts;
    quint32 random = commandSeed | 1u;
    int sequenceLeft = 0;
    int unpluggedTurns = 0;
    for (int i = 0; i < exchanges; ++i) {
        if (sequenceLeft == 0) {
            sequenceLeft = 1 + below(random, 5);
            state.CommAbort = false;
        }
        --sequenceLeft;
        if (unplugEvery > 0 && i > 0 && i % unplugEvery == 0)
            port.unplugAtNextCommand();
        if (port.unplugged() && ++unpluggedTurns > unpluggedFor) {
            port.plugIn();
            unpluggedTurns = 0;
        }

        const QString body = randomDravionCommand(random);
        const bool latched = state.CommAbort;
        const std::size_t messagesBefore = dialogs.messages.size();
        const qint64 startMs = clock.now;
        // Both counters outlive an exchange: a time-out resend already made, invalid replies seen.
        const bool resentBefore = link.TimeoutResent();
        const int retriesBefore = link.ReplyRetries();
        const int errorFramesBefore = port.errorFramesDelivered();
        status.clear();
        hung = false;
        idleTurns = 0;
        port.takeWritten();

        state.CommandString = body;
        pump.start();
        link.SendCommand();
        pump.stop();

        const QList<QByteArray> written = port.takeWritten();
        ++counts.exchanges;
        counts.transmissions += int(written.size());
        const QString where = QStringLiteral("exchange %1 (%2): ").arg(i).arg(body);
        auto problem = [&](const QString &text) { counts.problems << where + text; };
        const std::vector<UserDialogs::Message> boxes(
            dialogs.messages.begin() + qsizetype(messagesBefore), dialogs.messages.end());
        if (hung)
            problem(QStringLiteral("hung with nothing left to happen"));
        // Only a port that cannot be opened returns at once (its exchange ends at the timer's expiry),
        // and a latched sequence skips at once even while such an exchange is still outstanding.
        const bool portBox = std::any_of(boxes.begin(), boxes.end(),
            [](const UserDialogs::Message &m) { return m.text.startsWith(QLatin1String("ERROR - ")); });
        if ((!state.ReplyReceived || link.exchangeOutstanding()) && !portBox && !latched)
            problem(QStringLiteral("returned while still outstanding"));
        for (const QByteArray &frame : written) {
            if (frame != body.toLatin1())
                problem(
                    QStringLiteral("another command on the line meanwhile: ") + QString::fromLatin1(frame));
        }
        if (written.size() > 6)
            problem(QStringLiteral("%1 transmissions").arg(written.size()));
        if (clock.now - startMs > 3500)
            problem(QStringLiteral("took %1 ms").arg(clock.now - startMs));

        if (latched) {
            ++counts.skipped;
            if (!written.isEmpty() || !boxes.empty())
                problem(QStringLiteral("transmitted or told something after the sequence had failed"));
            continue;
        }
        if (!state.CommAbort) {
            ++counts.valid;
            const ClockedPort::Delivered &last = port.lastDelivered();
            if (!boxes.empty())
                problem(QStringLiteral("valid, but a box was shown: ") + boxes.front().text);
            // The reply must answer this command's item, whichever command it was sent for (the
            // protocol has no sequence numbers: a late or misaddressed reply to an earlier command
            // that names this item is a valid answer on the wire). A garbled reply never is.
            const Frames::Parts sent = Frames::split(QLatin1Char('\x02') + body + QLatin1Char('\x0d'));
            const Frames::Parts reply
                = Frames::split(QLatin1Char('\x02') + QString::fromLatin1(last.reply) + QLatin1Char('\x0d'));
            const bool sameItem = sent.kind == Frames::Kind::Plain
                ? last.reply.startsWith(body.left(1).toLatin1())
                : Values::Val(sent.codeText) == Values::Val(reply.codeText) && sent.letter == reply.letter;
            if (!sameItem || last.fault == QLatin1String("garble"))
                problem(
                    QStringLiteral("accepted the reply %1 (%2) to %3")
                        .arg(QString::fromLatin1(last.reply), last.fault, QString::fromLatin1(last.command)));
            const QString frame = QLatin1Char('\x02') + QString::fromLatin1(last.reply) + QLatin1Char('\x0d');
            if (state.ReplyValue != Frames::split(frame).valueText)
                problem(QStringLiteral("reply value %1 is not the reply's").arg(state.ReplyValue));
            continue;
        }
        // Each device error frame shows its box (a late one from the first transmission too), and so
        // does a resend that finds the port gone; the exchange's own ending adds at most one more.
        std::vector<UserDialogs::Message> endings;
        for (const UserDialogs::Message &box : boxes) {
            if (!box.text.startsWith(QLatin1String("Device Error 1"))
                && !box.text.startsWith(QLatin1String("ERROR - ")))
                endings.push_back(box);
        }
        const bool errorFrame = port.errorFramesDelivered() > errorFramesBefore;
        const bool oneEnding = endings.size() == 1;
        if (state.ReplyValue == QLatin1String("Inval")) {
            ++counts.inval;
            if (!oneEnding || endings[0].text != QLatin1String("Error")
                || endings[0].icon != UserDialogs::Icon::Critical)
                problem(QStringLiteral("Inval without exactly the Error box"));
            if (written.size() < 3 - retriesBefore)
                problem(QStringLiteral("Inval after %1 transmissions").arg(written.size()));
        } else if (state.ReplyValue == QLatin1String("NoRsp")) {
            ++counts.noRsp;
            if (!oneEnding || endings[0].text != LinkEngine::timeoutMessage())
                problem(QStringLiteral("NoRsp without exactly the time-out box"));
            if (written.size() < (resentBefore || portBox ? 1 : 2)) // a resend may find the port gone
                problem(QStringLiteral("NoRsp without the resend"));
        } else if (state.ReplyValue.isEmpty() && !status.isEmpty()) {
            ++counts.portError;
            if (!endings.empty() || boxes.size() != 1 || !portBox)
                problem(QStringLiteral("port failure without exactly its box"));
        } else if (errorFrame) {
            // The latch came from an error frame; a valid reply may still have ended the wait.
            ++counts.deviceError;
            if (!endings.empty())
                problem(QStringLiteral("device error with another box: ") + endings[0].text);
        } else {
            problem(QStringLiteral("failed with the value %1 and no error frame").arg(state.ReplyValue));
        }
    }
    counts.virtualMs = clock.now;
    return counts;
}
