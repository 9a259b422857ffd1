// SPDX-License-Identifier: GPL-3.0-or-later
// The link under a bad line: thousands of exchanges with injected faults, each of which must end in
// one of the defined ways, without a hang, a crash or two commands mixed on the line.
#include <iostream>
#include <map>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "link/serialdeviceport.h"
#include "linkfixture.h"
#include "simulateddevice.h"
#include "soakrun.h"
#include "table.h"

namespace {

// The Dravion device without pacing, with the simulator's own options ("--drop 0.1 --seed 3").
SimOptions dravion(const QString &arguments)
{
    QString error;
    SimOptions o = SimOptions::parse(words(arguments), &error).value_or(SimOptions {});
    EXPECT_EQ(error, "") << arguments.toStdString();
    o.configPath = QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
    o.pacing = false;
    return o;
}

// Each row's soak ends only in its allowed outcomes (besides skipped commands) and sees the ones
// it must; runClockedSoak lists any exchange that ended in no defined way.
void soakRow(const TableRow &row)
{
    using C = SoakCounts;
    const std::map<QString, int C::*> named { { "valid", &C::valid }, { "inval", &C::inval },
        { "noRsp", &C::noRsp }, { "deviceError", &C::deviceError }, { "portError", &C::portError },
        { "skipped", &C::skipped } };
    const C c = runClockedSoak(dravion(row["options"]), row.number("exchanges"), quint32(row.number("seed")),
        row.number("unplug"), 3);
    std::cout << "[ soak     ] " << row["name"].toStdString() << ": " << c.summary().toStdString() << '\n';
    for (qsizetype i = 0; i < std::min<qsizetype>(c.problems.size(), 10); ++i)
        ADD_FAILURE() << c.problems[i].toStdString();
    EXPECT_EQ(c.exchanges, row.number("exchanges"));
    int allowed = c.skipped;
    const QStringList mayEnd = row.words("may end");
    for (const auto &[name, outcome] : named)
        allowed += name != "skipped" && (mayEnd.contains("all") || mayEnd.contains(name)) ? c.*outcome : 0;
    EXPECT_EQ(allowed, c.exchanges) << c.summary().toStdString();
    for (const QString &name : row.words("must see"))
        EXPECT_GT(c.*named.at(name), 0) << name.toStdString() << ": " << c.summary().toStdString();
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

TABLE_TEST(LinkSoak, MixedFaultsAndPulledCableEndEveryExchangeInADefinedWay, "soak/link.txt", "mixed-faults")
{
    soakRow(row);
}
TABLE_TEST(LinkSoak, EachFaultAloneGivesItsOwnOutcome, "soak/link.txt", "single-faults")
{
    soakRow(row);
}
TABLE_TEST(LinkSoak, LateRepliesLandingInLaterExchangesStayDefined, "soak/link.txt", "late-replies")
{
    soakRow(row);
}

TEST(LinkSoakOverPty, FaultsOnARealPortEndInDefinedOutcomes)
{
    // A delay past the 40 ms of quiet that stand for the time-out here.
    SimulatedDevice device(
        dravion("--drop 0.08 --garble 0.08 --wrong-code 0.08 --delay 0.05 --delay-ms 100 --seed 3"));
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
        ASSERT_TRUE(words("valid Inval NoRsp failed").contains(outcome))
            << i << " " << body.toStdString() << " -> " << outcome.toStdString();
    }
    EXPECT_GT(outcomes["valid"], 80);
    EXPECT_GT(outcomes["Inval"] + outcomes["NoRsp"], 0) << outcomes["failed"] << " failed";
}

// The device vanishes (pty closed) in the middle of the traffic and comes back on the same path.
TEST(LinkSoakOverPty, VanishingDeviceFailsCleanlyAndIsUsedAgainWhenBack)
{
    QTemporaryDir dir;
    SimOptions o = dravion("--vanish-after 5 --link " + dir.filePath("device"));
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
