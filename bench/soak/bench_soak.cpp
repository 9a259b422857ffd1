// SPDX-License-Identifier: GPL-3.0-or-later
// Long soak of the link: bench_soak [virtual-exchanges] [pty-exchanges]. Prints the outcome counts
// and fails (exit 1) when any exchange ended in no defined way.
#include <cstdio>
#include <map>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "fakeuserdialogs.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "simprocess.h"
#include "soakrun.h"

namespace {

SimOptions dravion()
{
    SimOptions o;
    o.configPath = QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
    return o;
}

// Virtual-time soak in rounds with different seeds and fault mixes.
bool virtualSoak(int exchanges)
{
    QElapsedTimer took;
    took.start();
    SoakCounts total;
    const int rounds = 10;
    for (int r = 0; r < rounds; ++r) {
        SimOptions o = dravion();
        o.pacing = false;
        o.drop = 0.02 * (r % 4);
        o.garble = 0.03 * ((r + 1) % 4);
        o.wrongCode = 0.03 * ((r + 2) % 4);
        o.delay = 0.02 * ((r + 3) % 4);
        o.delayMs = r % 2 ? 700 : 1200;
        o.seed = quint32(100 + r);
        total += runClockedSoak(o, exchanges / rounds, quint32(7 + r), 250 + 50 * r, 1 + r % 4);
    }
    std::printf("virtual line: %s; %.1f s, %lld s of line time\n", qPrintable(total.summary()),
        took.elapsed() / 1000.0, total.virtualMs / 1000);
    for (qsizetype i = 0; i < std::min<qsizetype>(total.problems.size(), 20); ++i)
        std::printf("  problem: %s\n", qPrintable(total.problems[i]));
    return total.problems.isEmpty();
}

// The qrx-sim program with pacing on a pty, the real port and the real 500 ms timer.
bool ptySoak(int exchanges)
{
    QTemporaryDir dir;
    SimOptions o = dravion();
    o.drop = 0.02;
    o.garble = 0.02;
    o.wrongCode = 0.02;
    o.delay = 0.02;
    o.seed = 5;
    SimProcess sim(QStringLiteral(QRX_SIM_PATH));
    if (!sim.start(o)) {
        std::printf("pty: simulator did not start: %s\n", qPrintable(sim.errorText()));
        return false;
    }
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer(500);
    FakeUserDialogs dialogs;
    LinkEngine link(state, port, timer, dialogs);
    const QString path = sim.path();
    link.setPortResolver([path](int) { return path; });
    state.ReplyReceived = true;
    state.AutoFrame = true;

    std::map<QString, int> outcomes;
    int problems = 0;
    QElapsedTimer took;
    took.start();
    quint32 random = 4242;
    for (int i = 0; i < exchanges; ++i) {
        state.CommAbort = false;
        state.CommandString = randomDravionCommand(random);
        dialogs.clear();
        QElapsedTimer one;
        one.start();
        link.SendCommand();
        // A device error frame sets the latch; a reply after it (a late one from an earlier
        // command, the protocol has no sequence numbers) may still end the wait with its value.
        const bool failed
            = state.ReplyValue == QLatin1String("Inval") || state.ReplyValue == QLatin1String("NoRsp");
        const QString outcome = !state.CommAbort ? QStringLiteral("valid")
            : failed                             ? state.ReplyValue
            : state.ReplyValue.isEmpty()         ? QStringLiteral("device or port error")
                                                 : QStringLiteral("device error, then a reply");
        if (!state.ReplyReceived || link.exchangeOutstanding() || one.elapsed() > 4000) {
            ++problems;
            std::printf(
                "  problem: exchange %d ended %s after %lld ms\n", i, qPrintable(outcome), one.elapsed());
        }
        ++outcomes[outcome];
        if (outcome == QLatin1String("device error, then a reply") && dialogs.messages.empty())
            ++problems; // the latch was set with no error frame at all (E10 to E15 always show a box)
    }
    std::printf("pty line: %d exchanges in %.1f s:", exchanges, took.elapsed() / 1000.0);
    for (const auto &[outcome, count] : outcomes)
        std::printf(" %s %d,", qPrintable(outcome), count);
    std::printf(" %d problems\n", problems);
    return problems == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int virtualExchanges = argc > 1 ? QByteArray(argv[1]).toInt() : 200000;
    const int ptyExchanges = argc > 2 ? QByteArray(argv[2]).toInt() : 2000;
    bool ok = virtualSoak(virtualExchanges);
    if (ptyExchanges > 0)
        ok = ptySoak(ptyExchanges) && ok;
    std::printf(ok ? "soak clean\n" : "soak FOUND PROBLEMS\n");
    return ok ? 0 : 1;
}
