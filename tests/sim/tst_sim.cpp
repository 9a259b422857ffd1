// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated device: its model and fault injection, its options, and the qrx-sim program.

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "deviceresponder.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "linkfixture.h"
#include "programrun.h"
#include "simprocess.h"
#include "table.h"
#include "trafficlog.h"

namespace {

using Utility = LinkFixture<SerialDevicePort, QtReplyTimer>;

TEST(DeviceModel, AnswersWithinTheConfiguredRangesAndHasEachMrItem)
{
    ConfigRanges ranges;
    for (const TableRow &row : tableRows("sim/device.txt", "dravion-config"))
        ranges.parseLine(row["line"]);
    DeviceModel dravion(DeviceModel::Family::Dravion, ranges), mr(DeviceModel::Family::MR);
    // a sequence: each row's command finds the device as the rows before left it
    for (const TableRow &row : tableRows("sim/device.txt", "dravion"))
        EXPECT_EQ(dravion.answer(row["command"].toLatin1()), row["reply"].toLatin1()) << row.where();
    EXPECT_TRUE(dravion.answer("F").startsWith('F'));
    for (int code : { 1, 2, 5, 8, 12, 14, 15, 16, 17, 18, 19, 100, 101, 120 })
        EXPECT_TRUE(mr.hasItem(code)) << code;
}

TABLE_TEST(DeviceModel, AnswersTheMrCommands, "sim/device.txt", "mr")
{
    EXPECT_EQ(
        DeviceModel(DeviceModel::Family::MR).answer(row["command"].toLatin1()), row["reply"].toLatin1());
}

TABLE_TEST(DeviceResponder, InjectsEachFault, "sim/device.txt", "faults")
{
    QString error;
    const auto options = SimOptions::parse(row.words("arguments"), &error);
    ASSERT_TRUE(options) << error.toStdString();
    DeviceResponder d(*options);
    const auto reply = d.respond(wireBytes(frames(row["command"]).first()));
    EXPECT_EQ(reply.frame, row["reply"].toLatin1().replace('<', '\x02').replace('>', '\r'));
    EXPECT_EQ(reply.delayMs, row.number("delay"));
    EXPECT_EQ(reply.vanish, row.number("vanishes") == 1);
    EXPECT_EQ(d.model().value(11), 5.0); // a rejected write leaves the default
}

TEST(DeviceResponder, TheSameSeedGivesTheSameFaults)
{
    SimOptions mixed;
    mixed.drop = mixed.garble = 0.3;
    mixed.seed = 42;
    const auto run = [&] {
        DeviceResponder d(mixed);
        QStringList faults;
        for (int i = 0; i < 40; ++i)
            faults << d.respond("\x02"
                                "3i\r")
                          .fault;
        return faults;
    };
    const QStringList first = run();
    EXPECT_EQ(first, run());
    EXPECT_TRUE(first.contains("drop") && first.contains("garble") && first.contains(""));
}

TEST(DeviceResponder, JittersTheFrequencyByAtMostTheGivenAmount)
{
    for (const double jitter : { 0.0, 5.0 }) {
        SimOptions o;
        o.jitterHz = jitter;
        DeviceResponder device(o);
        double lo = 1e9, hi = -1e9;
        for (int i = 0; i < 50; ++i) {
            const double hz = device
                                  .respond("\x02"
                                           "F\r")
                                  .frame.mid(2)
                                  .chopped(1)
                                  .toDouble();
            lo = std::min(lo, hz);
            hi = std::max(hi, hz);
        }
        EXPECT_LE(hi - lo, 2 * jitter + 0.3); // the drift adds little within a few milliseconds
        EXPECT_GE(hi - lo, jitter); // fifty draws spread over most of the range
    }
}

TEST(SimOptions, ParsesAndReproducesTheCommandLine)
{
    QString error;
    const auto o
        = SimOptions::parse(words("--family MR --latency 5 --no-pacing --error 13:11 --vanish-after 3 "
                                  "--seed 7 --garble 0.25"),
            &error);
    ASSERT_TRUE(o) << error.toStdString();
    EXPECT_EQ(o->toArguments().join(' '),
        "--family MR --output-type 0 --latency 5 --no-pacing --drop 0 --garble 0.25 "
        "--wrong-code 0 --delay 0 --delay-ms 700 --error 13:11 --vanish-after 3 --seed 7");
    EXPECT_EQ(SimOptions::parse(o->toArguments(), &error)->toArguments(), o->toArguments());
    EXPECT_EQ(TrafficLog::markup("\x02"
                                 "3i\r\xe9\x7f"),
        "<STX>3i<CR><xE9><DEL>");
}

TEST(SimProgram, ServesLogsAndStoresAcrossRestarts)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("device");
    writeFile(dir.filePath("Config.inf"), "Version=-1,3.04\nDamping=11,0,40\n");
    const QStringList args { "--family", "Dravion", "--config", dir.filePath("Config.inf"), "--link", link,
        "--state", dir.filePath("state.ini"), "--log", dir.filePath("traffic.log"), "--no-pacing" };
    {
        SimProcess sim(QStringLiteral(QRX_SIM_PATH));
        ASSERT_TRUE(sim.start(args)) << sim.errorText().toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        Utility u;
        u.usePath(link);
        for (const char *body : { "V", "11i12", "W", "11i3" }) // the last write is not stored
            u.send(body);
        EXPECT_EQ(u.state.ReplyValue, "3");
        EXPECT_FALSE(u.state.CommAbort);
        u.port.close();
        sim.stop();
        EXPECT_FALSE(QFileInfo::exists(link)); // the program removes its link when it ends
    }
    QFile log(dir.filePath("traffic.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly | QIODevice::Text));
    EXPECT_EQ(QString(log.readAll()).split('\n', Qt::SkipEmptyParts),
        (QStringList { "recv <STX>V<CR>", "send <STX>V3.04<CR>", "recv <STX>11i12<CR>", "send <STX>11i12<CR>",
            "recv <STX>W<CR>", "send <STX>W<CR>", "recv <STX>11i3<CR>", "send <STX>11i3<CR>" }));
    SimProcess again(QStringLiteral(QRX_SIM_PATH));
    ASSERT_TRUE(again.start(args)) << again.errorText().toStdString();
    Utility u;
    u.usePath(again.path());
    EXPECT_EQ(u.send("11i"), "12");
}

TABLE_TEST(SimProgram, HelpAndBadOptionsEndWithoutServing, "sim/device.txt", "program")
{
    const ProgramRun sim = ProgramRun::of(QStringLiteral(QRX_SIM_PATH), row.words("arguments"), 5000);
    EXPECT_EQ(sim.status, row.number("status")); // ended by itself: no pty served
    const QString &out = sim.out, &err = sim.err;
    EXPECT_TRUE(out.contains(row["output"]) && err.contains(row["errors"]))
        << out.toStdString() << err.toStdString();
    EXPECT_FALSE(out.startsWith("port "));
}

} // namespace
