// The link under a bad line: thousands of exchanges with injected faults, each of which must end in
// one of the defined ways, without a hang, a crash or two commands mixed on the line.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <vector>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "link/serialdeviceport.h"
#include "linkfixture.h"
#include "simulateddevice.h"
#include "soakrun.h"

namespace {

SimOptions dravion(const std::function<void(SimOptions &)> &faults = {})
{
    SimOptions o;
    o.configPath = QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
    o.pacing = false;
    if (faults)
        faults(o);
    return o;
}

SoakCounts soak(const char *name, const SimOptions &o, int exchanges, quint32 seed, int unplugEvery = 0)
{
    const SoakCounts counts = runClockedSoak(o, exchanges, seed, unplugEvery, 3);
    std::cout << "[ soak     ] " << name << ": " << counts.summary().toStdString() << ", " << counts.virtualMs / 1000
              << " s of line time" << std::endl;
    for (qsizetype i = 0; i < std::min<qsizetype>(counts.problems.size(), 10); ++i)
        ADD_FAILURE() << counts.problems[i].toStdString();
    return counts;
}

// The link on the real serial port over a pty against the in-process simulator. The reply timer
// is fired by hand once the line has been quiet for a while, so lost replies cost milliseconds.
struct PtySoak : LinkFixture<SerialDevicePort, ManualReplyTimer>
{
    QElapsedTimer quiet;
    QTimer clock;

    explicit PtySoak(const QString &path)
    {
        usePath(path);
        QObject::connect(&port, &DevicePort::dataReceived, [this] { quiet.restart(); });
        clock.setInterval(2);
        QObject::connect(&clock, &QTimer::timeout, [this] {
            if (timer.isActive() && quiet.elapsed() > 40) {
                quiet.restart();
                timer.fire();
            }
        });
    }

    // One exchange: "valid", "Inval", "NoRsp", or "failed" (device or port error).
    QString exchange(const QString &body)
    {
        state.CommAbort = false;
        const std::size_t boxesBefore = dialogs.messages.size();
        quiet.restart();
        clock.start();
        send(body);
        clock.stop();
        if (!state.CommAbort)
            return QStringLiteral("valid");
        if (state.ReplyValue.isEmpty() || state.ReplyValue == "Inval" || state.ReplyValue == "NoRsp")
            return state.ReplyValue.isEmpty() ? QStringLiteral("failed") : state.ReplyValue;
        // A late error frame of a timed-out command lands in this exchange and sets the latch;
        // this command's own reply then still ends the wait with its value.
        for (std::size_t i = boxesBefore; i < dialogs.messages.size(); ++i) {
            if (dialogs.messages[i].text.startsWith("Device Error 1"))
                return QStringLiteral("failed");
        }
        return state.ReplyValue;
    }
};

} // namespace

TEST(LinkSoak, MixedFaultsAndPulledCableEndEveryExchangeInADefinedWay)
{
    const SoakCounts counts = soak("mixed faults", dravion([](SimOptions &o) {
        o.drop = 0.06; o.garble = o.wrongCode = 0.07; o.delay = 0.05; o.seed = 11;
    }), 10000, 2024, 400);
    EXPECT_EQ(counts.exchanges, 10000);
    for (const int outcome : {counts.valid, counts.inval, counts.noRsp, counts.deviceError, counts.portError, counts.skipped})
        EXPECT_GT(outcome, 0) << counts.summary().toStdString();
}

// One kind of fault at a time, each with the outcomes it allows (besides skipped commands).
// Garbling or misaddressing an error frame leaves it an error frame.
TEST(LinkSoak, EachFaultAloneGivesItsOwnOutcome)
{
    using C = SoakCounts;
    const struct { const char *name; std::function<void(SimOptions &)> fault; std::vector<int C::*> allowed; } rows[] = {
        {"silent device", [](SimOptions &o) { o.silent = true; }, {&C::noRsp}},
        {"every reply garbled", [](SimOptions &o) { o.garble = 1.0; }, {&C::inval, &C::deviceError}},
        {"every reply for the wrong code", [](SimOptions &o) { o.wrongCode = 1.0; }, {&C::inval, &C::deviceError}},
        {"device error without a text", [](SimOptions &o) { o.errorCode = 9; o.errorItem = "11"; },
         {&C::valid, &C::deviceError}},
    };
    for (const auto &r : rows) {
        const SoakCounts c = soak(r.name, dravion(r.fault), 300, 77);
        int allowed = c.skipped;
        for (int C::*outcome : r.allowed)
            allowed += c.*outcome;
        EXPECT_EQ(allowed, c.exchanges) << r.name << ": " << c.summary().toStdString();
    }
}

// Every reply late: within the resend's wait (700 ms) the late first reply ends the exchange and
// the resend's reply then lands in the next one; past both time-outs (1200 ms) every reply lands in
// a later exchange. Stray replies must never end an exchange in an undefined way.
TEST(LinkSoak, LateRepliesLandingInLaterExchangesStayDefined)
{
    for (const int delayMs : {700, 1200}) {
        const SoakCounts c = soak(delayMs == 700 ? "late replies" : "replies past both time-outs",
                                  dravion([&](SimOptions &o) { o.delay = 1.0; o.delayMs = delayMs; }), 500, 5);
        EXPECT_GT(delayMs == 700 ? c.valid : c.noRsp, 0);
    }
}

TEST(LinkSoakOverPty, FaultsOnARealPortEndInDefinedOutcomes)
{
    // A delay past the 40 ms of quiet that stand for the time-out here.
    SimulatedDevice device(dravion([](SimOptions &o) {
        o.drop = o.garble = o.wrongCode = 0.08; o.delay = 0.05; o.delayMs = 100; o.seed = 3;
    }));
    QString error;
    ASSERT_TRUE(device.start(&error)) << error.toStdString();
    PtySoak rig(device.path());
    std::map<QString, int> outcomes;
    quint32 random = 99;
    for (int i = 0; i < 200; ++i) {
        const QString body = randomDravionCommand(random);
        const QString outcome = rig.exchange(body);
        ++outcomes[outcome];
        ASSERT_TRUE(rig.state.ReplyReceived) << i;
        ASSERT_FALSE(rig.link.exchangeOutstanding()) << i;
        ASSERT_TRUE(QStringList({"valid", "Inval", "NoRsp", "failed"}).contains(outcome))
            << i << " " << body.toStdString() << " -> " << outcome.toStdString();
    }
    std::cout << "[ soak     ] pty:";
    for (const auto &[outcome, count] : outcomes)
        std::cout << ' ' << outcome.toStdString() << ' ' << count;
    std::cout << std::endl;
    EXPECT_GT(outcomes["valid"], 80);
    EXPECT_GT(outcomes["Inval"] + outcomes["NoRsp"], 0);
}

// The device vanishes (pty closed) in the middle of the traffic and comes back on the same path.
TEST(LinkSoakOverPty, VanishingDeviceFailsCleanlyAndIsUsedAgainWhenBack)
{
    QTemporaryDir dir;
    SimOptions o = dravion([&](SimOptions &o) { o.linkPath = dir.filePath("device"); o.vanishAfter = 5; });
    auto device = std::make_unique<SimulatedDevice>(o);
    QString error;
    ASSERT_TRUE(device->start(&error)) << error.toStdString();
    PtySoak rig(o.linkPath);
    QStringList outcomes;
    for (int i = 0; i < 8; ++i)
        outcomes << rig.exchange("11i");
    EXPECT_EQ(outcomes.mid(0, 6), words("valid valid valid valid valid NoRsp")); // then its time-out
    EXPECT_FALSE(rig.port.isOpen());
    device.reset(); // gone for good: the path no longer leads anywhere
    EXPECT_EQ(rig.exchange("11i"), "failed");
    o.vanishAfter = -1;
    device = std::make_unique<SimulatedDevice>(o);
    ASSERT_TRUE(device->start(&error)) << error.toStdString();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rig.exchange("11i"), "valid") << i;
}
