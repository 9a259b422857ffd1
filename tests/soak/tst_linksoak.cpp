// The link under a bad line: thousands of exchanges with injected faults, each of which must end in
// one of the defined ways, without a hang, a crash or two commands mixed on the line.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "manualreplytimer.h"
#include "simulateddevice.h"
#include "soakrun.h"
#include "fakeuserdialogs.h"

namespace {

SimOptions dravion()
{
    SimOptions o;
    o.configPath = QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
    o.pacing = false;
    return o;
}

void report(const char *name, const SoakCounts &counts)
{
    std::cout << "[ soak     ] " << name << ": " << counts.summary().toStdString() << ", " << counts.virtualMs / 1000
              << " s of line time" << std::endl;
    for (qsizetype i = 0; i < std::min<qsizetype>(counts.problems.size(), 10); ++i)
        ADD_FAILURE() << counts.problems[i].toStdString();
}

} // namespace

TEST(LinkSoak, MixedFaultsAndPulledCableEndEveryExchangeInADefinedWay)
{
    SimOptions o = dravion();
    o.drop = 0.06;
    o.garble = 0.07;
    o.wrongCode = 0.07;
    o.delay = 0.05;
    o.seed = 11;
    const SoakCounts counts = runClockedSoak(o, 10000, 2024, 400, 3);
    report("mixed faults", counts);
    EXPECT_EQ(counts.exchanges, 10000);
    for (const int outcome : {counts.valid, counts.inval, counts.noRsp, counts.deviceError, counts.portError, counts.skipped})
        EXPECT_GT(outcome, 0) << counts.summary().toStdString();
}

// One kind of fault at a time, each with the outcomes it allows (besides skipped commands).
TEST(LinkSoak, EachFaultAloneGivesItsOwnOutcome)
{
    struct Row
    {
        const char *name;
        std::function<void(SimOptions &)> fault;
        std::function<int(const SoakCounts &)> allowed;
    };
    // Garbling or misaddressing an error frame leaves it an error frame.
    auto invalid = [](const SoakCounts &c) { return c.inval + c.deviceError; };
    const Row rows[] = {
        {"silent device", [](SimOptions &o) { o.silent = true; }, [](const SoakCounts &c) { return c.noRsp; }},
        {"every reply garbled", [](SimOptions &o) { o.garble = 1.0; }, invalid},
        {"every reply for the wrong code", [](SimOptions &o) { o.wrongCode = 1.0; }, invalid},
        {"device error without a text", [](SimOptions &o) { o.errorCode = 9; o.errorItem = QStringLiteral("11"); },
         [](const SoakCounts &c) { return c.valid + c.deviceError; }},
    };
    for (const Row &row : rows) {
        SimOptions o = dravion();
        row.fault(o);
        const SoakCounts counts = runClockedSoak(o, 300, 77);
        report(row.name, counts);
        EXPECT_EQ(row.allowed(counts) + counts.skipped, counts.exchanges) << row.name << ": " << counts.summary().toStdString();
    }
}

// Every reply late: within the resend's wait (700 ms) the late first reply ends the exchange and
// the resend's reply then lands in the next one; past both time-outs (1200 ms) every reply lands in
// a later exchange. Stray replies must never end an exchange in an undefined way.
TEST(LinkSoak, LateRepliesLandingInLaterExchangesStayDefined)
{
    for (const int delayMs : {700, 1200}) {
        SimOptions o = dravion();
        o.delay = 1.0;
        o.delayMs = delayMs;
        const SoakCounts counts = runClockedSoak(o, 500, 5);
        report(delayMs == 700 ? "late replies" : "replies past both time-outs", counts);
        EXPECT_GT(delayMs == 700 ? counts.valid : counts.noRsp, 0);
    }
}

namespace {

// The link on the real serial port over a pty against the in-process simulator. The reply timer
// is fired by hand once the line has been quiet for a while, so lost replies cost milliseconds.
struct PtySoakRig
{
    DeviceState state;
    SerialDevicePort port;
    ManualReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link{state, port, timer, dialogs};
    QElapsedTimer quiet;
    QTimer clock;

    explicit PtySoakRig(const QString &path)
    {
        state.ReplyReceived = true;
        state.AutoFrame = true;
        link.setPortResolver([path](int) { return path; });
        QObject::connect(&port, &DevicePort::dataReceived, [this] { quiet.restart(); });
        clock.setInterval(2);
        QObject::connect(&clock, &QTimer::timeout, [this] {
            if (timer.isActive() && quiet.elapsed() > 40) {
                quiet.restart();
                timer.fire();
            }
        });
    }

    // One exchange; its outcome as the caller of SendCommand sees it.
    QString exchange(const QString &body)
    {
        state.CommAbort = false;
        state.CommandString = body;
        const std::size_t boxesBefore = dialogs.messages.size();
        quiet.restart();
        clock.start();
        link.SendCommand();
        clock.stop();
        if (!state.CommAbort)
            return QStringLiteral("valid");
        if (state.ReplyValue.isEmpty() || state.ReplyValue == QLatin1String("Inval") || state.ReplyValue == QLatin1String("NoRsp"))
            return state.ReplyValue.isEmpty() ? QStringLiteral("failed") : state.ReplyValue;
        // A late error frame of a timed-out command lands in this exchange and sets the latch;
        // this command's own reply then still ends the wait with its value.
        for (std::size_t i = boxesBefore; i < dialogs.messages.size(); ++i) {
            if (dialogs.messages[i].text.startsWith(QLatin1String("Device Error 1")))
                return QStringLiteral("failed");
        }
        return state.ReplyValue;
    }
};

} // namespace

TEST(LinkSoakOverPty, FaultsOnARealPortEndInDefinedOutcomes)
{
    SimOptions o = dravion();
    o.drop = 0.08;
    o.garble = 0.08;
    o.wrongCode = 0.08;
    o.delay = 0.05;
    o.delayMs = 100; // past the 40 ms of quiet that stand for the time-out here
    o.seed = 3;
    SimulatedDevice device(o);
    QString error;
    ASSERT_TRUE(device.start(&error)) << error.toStdString();
    PtySoakRig rig(device.path());

    std::map<QString, int> outcomes;
    quint32 random = 99;
    for (int i = 0; i < 200; ++i) {
        const QString body = randomDravionCommand(random);
        const QString outcome = rig.exchange(body);
        ++outcomes[outcome];
        ASSERT_TRUE(rig.state.ReplyReceived) << i;
        ASSERT_FALSE(rig.link.exchangeOutstanding()) << i;
        ASSERT_TRUE(outcome == QLatin1String("valid") || outcome == QLatin1String("Inval")
                    || outcome == QLatin1String("NoRsp") || outcome == QLatin1String("failed"))
            << i << " " << body.toStdString() << " -> " << outcome.toStdString();
    }
    std::cout << "[ soak     ] pty:";
    for (const auto &[outcome, count] : outcomes)
        std::cout << ' ' << outcome.toStdString() << ' ' << count;
    std::cout << std::endl;
    EXPECT_GT(outcomes[QStringLiteral("valid")], 80);
    EXPECT_GT(outcomes[QStringLiteral("Inval")] + outcomes[QStringLiteral("NoRsp")], 0);
}

// The device vanishes (pty closed) in the middle of the traffic and comes back on the same path.
TEST(LinkSoakOverPty, VanishingDeviceFailsCleanlyAndIsUsedAgainWhenBack)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("device"));
    SimOptions o = dravion();
    o.linkPath = link;
    o.vanishAfter = 5;
    auto device = std::make_unique<SimulatedDevice>(o);
    QString error;
    ASSERT_TRUE(device->start(&error)) << error.toStdString();
    PtySoakRig rig(link);

    QStringList outcomes;
    for (int i = 0; i < 8; ++i)
        outcomes << rig.exchange(QStringLiteral("11i"));
    EXPECT_EQ(outcomes.mid(0, 5), QStringList(5, QStringLiteral("valid")));
    EXPECT_EQ(outcomes[5], QStringLiteral("NoRsp")); // the line went away under the exchange: its time-out
    EXPECT_FALSE(rig.port.isOpen());

    device.reset(); // gone for good: the path no longer leads anywhere
    EXPECT_EQ(rig.exchange(QStringLiteral("11i")), QStringLiteral("failed"));

    o.vanishAfter = -1;
    device = std::make_unique<SimulatedDevice>(o);
    ASSERT_TRUE(device->start(&error)) << error.toStdString();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rig.exchange(QStringLiteral("11i")), QStringLiteral("valid")) << i;
}

// A few exchanges with the real 500 ms reply timer: a lost reply is resent after the interval,
// a silent device gives "NoRsp" after about one second.
TEST(LinkSoakOverPty, RealTimerResendsAndTimesOut)
{
    SimOptions o = dravion();
    o.drop = 0.5;
    o.seed = 8;
    SimulatedDevice device(o);
    QString error;
    ASSERT_TRUE(device.start(&error)) << error.toStdString();
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer(500);
    FakeUserDialogs dialogs;
    LinkEngine link(state, port, timer, dialogs);
    const QString path = device.path();
    link.setPortResolver([path](int) { return path; });
    state.ReplyReceived = true;
    state.AutoFrame = true;

    int valid = 0;
    int noRsp = 0;
    for (int i = 0; i < 4; ++i) {
        state.CommAbort = false;
        state.CommandString = QStringLiteral("3i");
        QElapsedTimer took;
        took.start();
        link.SendCommand();
        EXPECT_LT(took.elapsed(), 1300) << i;
        if (!state.CommAbort)
            ++valid;
        else if (state.ReplyValue == QLatin1String("NoRsp"))
            ++noRsp;
        EXPECT_TRUE(state.ReplyReceived);
    }
    EXPECT_EQ(valid + noRsp, 4);
    EXPECT_GT(valid, 0);
}
