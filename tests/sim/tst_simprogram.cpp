// The qrx-sim program as the demo and other tests run it: link symlink, traffic log, stored state.

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "simprocess.h"
#include "simulatedport.h"
#include "support/fakeuserdialogs.h"

namespace {

QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

struct Utility
{
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link{state, port, timer, dialogs};

    explicit Utility(const QString &path)
    {
        state.ReplyReceived = true;
        state.AutoFrame = true;
        link.setPortResolver([path](int) { return path; });
    }
    QString send(const QString &body)
    {
        state.CommandString = body;
        link.SendCommand();
        return state.ReplyValue;
    }
};

TEST(SimProgram, ServesLogsAndStoresAcrossRestarts)
{
    QTemporaryDir dir;
    const QString link = dir.filePath("device");
    const QString log = dir.filePath("traffic.log");
    const QString state = dir.filePath("state.ini");
    const QString config = dir.filePath("Config.inf");
    {
        QFile f(config);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Version=-1,3.04\nDamping=11,0,40\n");
    }
    const QStringList args{"--family", "Dravion", "--config", config, "--state", state, "--link", link,
                           "--log", log, "--no-pacing"};
    {
        SimProcess sim(QStringLiteral(QRX_SIM_PATH));
        ASSERT_TRUE(sim.start(args)) << sim.errorText().toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        Utility u(link);
        EXPECT_EQ(u.send("V"), "3.04");
        EXPECT_EQ(u.send("11i12"), "12");
        EXPECT_EQ(u.send("W"), "");
        EXPECT_FALSE(u.state.CommAbort);
        u.port.close();
        sim.stop();
        EXPECT_FALSE(QFileInfo::exists(link)); // the program removes its link when it ends
    }
    EXPECT_EQ(readLines(log), (QStringList{"recv <STX>V<CR>", "send <STX>V3.04<CR>", "recv <STX>11i12<CR>",
                                           "send <STX>11i12<CR>", "recv <STX>W<CR>", "send <STX>W<CR>"}));

    SimProcess again(QStringLiteral(QRX_SIM_PATH));
    ASSERT_TRUE(again.start(args)) << again.errorText().toStdString();
    Utility u(again.path());
    EXPECT_EQ(u.send("11i"), "12");
}

TEST(SimProgram, RefusesBadOptions)
{
    SimProcess sim(QStringLiteral(QRX_SIM_PATH));
    EXPECT_FALSE(sim.start(QStringList{"--family", "Other"}, 2000));
    EXPECT_EQ(sim.process().exitCode(), 2);
}

TEST(SimulatedPort, RunsExchangesInMemory)
{
    SimOptions o;
    o.latencyMs = 1;
    SimulatedPort port(o);
    DeviceState state;
    state.ReplyReceived = state.AutoFrame = true;
    QtReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link(state, port, timer, dialogs);
    for (const char *body : {"3i", "11i9", "11i"}) {
        state.CommandString = QLatin1String(body);
        link.SendCommand();
    }
    EXPECT_EQ(state.ReplyValue, "9");
    EXPECT_EQ(port.received(), (QStringList{"<STX>3i<CR>", "<STX>11i9<CR>", "<STX>11i<CR>"}));
    EXPECT_EQ(port.model().value(11), 9.0);
}

} // namespace
