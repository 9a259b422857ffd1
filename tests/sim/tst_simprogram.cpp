// The qrx-sim program as the demo and other tests run it: link symlink, traffic log, stored state.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "link/linkrig.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "simprocess.h"
#include "simulatedport.h"

namespace {

using Utility = LinkRig<SerialDevicePort, QtReplyTimer>;

TEST(SimProgram, ServesLogsAndStoresAcrossRestarts)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("device");
    QFile config(dir.filePath("Config.inf"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("Version=-1,3.04\nDamping=11,0,40\n");
    config.close();
    const QStringList args{"--family", "Dravion", "--config", config.fileName(), "--link", link,
                           "--state", dir.filePath("state.ini"), "--log", dir.filePath("traffic.log"),
                           "--no-pacing"};
    {
        SimProcess sim(QStringLiteral(QRX_SIM_PATH));
        ASSERT_TRUE(sim.start(args)) << sim.errorText().toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        Utility u;
        u.usePath(link);
        for (const char *body : {"V", "11i12", "W", "11i3"}) // the last write is not stored
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
              (QStringList{"recv <STX>V<CR>", "send <STX>V3.04<CR>", "recv <STX>11i12<CR>",
                           "send <STX>11i12<CR>", "recv <STX>W<CR>", "send <STX>W<CR>", "recv <STX>11i3<CR>",
                           "send <STX>11i3<CR>"}));
    SimProcess again(QStringLiteral(QRX_SIM_PATH));
    ASSERT_TRUE(again.start(args)) << again.errorText().toStdString();
    Utility u;
    u.usePath(again.path());
    EXPECT_EQ(u.send("11i"), "12");
}

TEST(SimProgram, HelpAndBadOptionsEndWithoutServing)
{
    const struct { QStringList args; int status; const char *out, *err; } rows[] = {
        {{"--help"}, 0, "--vanish-after", ""},
        {{"--bogus"}, 2, "", "--vanish-after"}, // the usage follows the complaint
        {{"--family", "Other"}, 2, "", "--family must be Dravion or MR"},
    };
    for (const auto &r : rows) {
        QProcess sim;
        sim.start(QStringLiteral(QRX_SIM_PATH), r.args);
        ASSERT_TRUE(sim.waitForFinished(5000)) << r.args.join(' ').toStdString(); // no pty served
        EXPECT_EQ(sim.exitCode(), r.status);
        const QString out = sim.readAllStandardOutput(), err = sim.readAllStandardError();
        EXPECT_TRUE(out.contains(r.out) && err.contains(r.err)) << out.toStdString() << err.toStdString();
        EXPECT_FALSE(out.startsWith("port "));
    }
}

TEST(SimulatedPort, RunsExchangesInMemory)
{
    SimOptions o;
    o.latencyMs = 1;
    LinkRig<SimulatedPort, QtReplyTimer> rig(o);
    for (const char *body : {"3i", "11i9", "11i"})
        rig.send(body);
    EXPECT_EQ(rig.state.ReplyValue, "9");
    EXPECT_EQ(rig.port.received(), (QStringList{"<STX>3i<CR>", "<STX>11i9<CR>", "<STX>11i<CR>"}));
    EXPECT_EQ(rig.port.model().value(11), 9.0);
}

} // namespace
