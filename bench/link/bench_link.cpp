// SPDX-License-Identifier: GPL-3.0-or-later
// 1,000 read exchanges against the paced simulator (a separate process, so only the utility's side
// is measured): wall time against the line time of the bytes exchanged, and the utility's CPU time.

#include <cstdio>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include "fakeuserdialogs.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "simprocess.h"

namespace {

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int exchanges = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int latency = argc > 2 ? std::atoi(argv[2]) : 0;

    SimProcess sim(QStringLiteral(QRX_SIM_PATH));
    SimOptions options;
    options.latencyMs = latency;
    if (!sim.start(options)) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.errorText()));
        return 1;
    }
    DeviceState state;
    state.ReplyReceived = state.AutoFrame = true;
    SerialDevicePort port;
    QtReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link(state, port, timer, dialogs);
    const QString path = sim.path();
    link.setPortResolver([path](int) { return path; });

    const char *const bodies[] = { "3i", "4i", "7f", "8i", "9f", "11i", "15f", "16f", "100i", "101i" };
    qint64 bytes = 0;
    int failures = 0;
    // One exchange first so the port is open and the simulator warm.
    state.CommandString = QStringLiteral("3i");
    link.SendCommand();

    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    for (int i = 0; i < exchanges; ++i) {
        const QString body = QLatin1String(bodies[i % std::size(bodies)]);
        state.CommandString = body;
        link.SendCommand();
        if (state.CommAbort || state.ReplyValue == QLatin1String("NoRsp")
            || state.ReplyValue == QLatin1String("Inval"))
            ++failures;
        // STX body CR out, STX body value CR back.
        bytes += (body.size() + 2) + (body.size() + state.ReplyValue.size() + 2);
    }
    const double wallS = wall.nsecsElapsed() / 1e9;
    const double cpuS = cpuSeconds() - cpu0;
    const double lineS = bytes * 10.0 / 9600.0;

    std::printf("exchanges      %d (failures %d, boxes %d), reply latency %d ms\n", exchanges, failures,
        int(dialogs.messages.size()), latency);
    std::printf("bytes on wire  %lld\n", static_cast<long long>(bytes));
    std::printf("line time      %.3f s (9600 baud, 10 bits per character)\n", lineS);
    std::printf("wall time      %.3f s\n", wallS);
    std::printf("ratio          %.3f (target <= 1.10 at zero latency)\n", wallS / lineS);
    std::printf("utility CPU    %.3f s = %.2f %% of wall (target <= 5 %%)\n", cpuS, 100.0 * cpuS / wallS);
    port.close();
    sim.stop();
    return failures == 0 ? 0 : 1;
}
