// The link over a real pseudo-terminal against the simulated device, with the real port and timer.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include "app/settingsstore.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "link/values.h"
#include "simulateddevice.h"
#include "support/fakeuserdialogs.h"
#include "wiretext.h"

namespace {

using Icon = UserDialogs::Icon;

struct PtyRig
{
    SimulatedDevice sim;
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link{state, port, timer, dialogs};
    QStringList statuses;

    explicit PtyRig(SimOptions options = noPacing())
        : sim(options)
    {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        state.ReplyReceived = true;
        state.AutoFrame = true;
        const QString path = sim.path();
        link.setPortResolver([path](int) { return path; });
        QObject::connect(&link, &LinkEngine::statusTextChanged, [this](const QString &s) { statuses << s; });
    }

    static SimOptions noPacing()
    {
        SimOptions o;
        o.pacing = false;
        return o;
    }

    QString send(const QString &body)
    {
        state.CommandString = body;
        link.SendCommand();
        return state.ReplyValue;
    }

    // Frames the device saw, as markup; waits briefly for the log to catch up with the wire.
    QStringList received(int atLeast = 0)
    {
        for (int i = 0; i < 100 && sim.received().size() < atLeast; ++i)
            QThread::msleep(5);
        return sim.received();
    }
};

TEST(LinkOverPty, CleanExchangeOfEachKind)
{
    SimOptions o = PtyRig::noPacing();
    o.version = QStringLiteral("2.10");
    o.outputType = 1;
    PtyRig rig(o);
    const struct
    {
        const char *body;
        const char *value;
    } rows[] = {
        {"V", "2.10"}, {"I", "1"}, {"3i", "1"}, {"15f2.5", "2.5"}, {"15f2.5", "2.500"}, {"15f", "2.5"},
        {"11i7", "7"}, {"11i", "7"}, {"99f50", "50"}, {"13i", "800"}, {"W", ""},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(rig.send(QLatin1String(r.body)), QLatin1String(r.value)) << r.body;
        EXPECT_FALSE(rig.state.CommAbort) << r.body;
    }
    EXPECT_TRUE(Values::IsNumeric(rig.send("F")));
    EXPECT_TRUE(rig.dialogs.messages.empty());
    const QStringList wire = rig.received(12);
    ASSERT_EQ(wire.size(), 12);
    EXPECT_EQ(wire[0], "<STX>V<CR>");
    EXPECT_EQ(wire[3], "<STX>15f2.5<CR>");
}

TEST(LinkOverPty, InvalidRepliesAreResentTwiceThenFail)
{
    for (const char *fault : {"garble", "wrong-code"}) {
        SimOptions o = PtyRig::noPacing();
        (QLatin1String(fault) == QLatin1String("garble") ? o.garble : o.wrongCode) = 1.0;
        PtyRig rig(o);
        EXPECT_EQ(rig.send("3i"), "Inval") << fault;
        EXPECT_TRUE(rig.state.CommAbort);
        EXPECT_EQ(rig.received(3), QStringList(3, "<STX>3i<CR>")) << fault;
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_EQ(rig.dialogs.messages[0].text, "Error");
        EXPECT_EQ(rig.dialogs.messages[0].icon, Icon::Critical);
        EXPECT_TRUE(rig.port.isOpen()); // reset: closed and opened again
    }
}

TEST(LinkOverPty, SilentDeviceGetsOneResendAndNoRspAfterAboutOneSecond)
{
    SimOptions o = PtyRig::noPacing();
    o.silent = true;
    PtyRig rig(o);
    rig.state.PollingOn = true;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(rig.send("F"), "NoRsp");
    const qint64 ms = clock.elapsed();
    EXPECT_GE(ms, 950);
    EXPECT_LE(ms, 1200);
    EXPECT_EQ(rig.received(2), QStringList(2, "<STX>F<CR>"));
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, LinkEngine::timeoutMessage());
    EXPECT_EQ(rig.dialogs.messages[0].icon, Icon::Exclamation);
    EXPECT_FALSE(rig.state.PollingOn);
}

TEST(LinkOverPty, LateReplyIsTakenAfterTheTimeoutResend)
{
    SimOptions o = PtyRig::noPacing();
    o.delay = 1.0;
    o.delayMs = 650;
    PtyRig rig(o);
    EXPECT_EQ(rig.send("3i"), "1");
    EXPECT_EQ(rig.received(2), QStringList(2, "<STX>3i<CR>"));
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(LinkOverPty, DeviceErrorNamesTheItemAndLatchesTheSequence)
{
    QTemporaryDir dir;
    const QString config = dir.filePath("Config.inf");
    QFile f(config);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Damping=11,0,40\nMin Flow=15,1,100\n");
    f.close();
    SimOptions o = PtyRig::noPacing();
    o.configPath = config;
    PtyRig rig(o);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(rig.send("11i41"), "");
    EXPECT_GE(clock.elapsed(), 450); // ends at the reply timer's expiry
    EXPECT_TRUE(rig.state.CommAbort);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Device Error 14, VALUE TOO HIGH\rIssued for Damping");
    EXPECT_EQ(rig.dialogs.messages[0].icon, Icon::Critical);

    // The rest of the sequence runs through without traffic.
    for (const char *body : {"15f0.5", "16f9", "W"})
        rig.send(QLatin1String(body));
    EXPECT_TRUE(rig.state.ReplyReceived);
    EXPECT_EQ(rig.received(1), QStringList{"<STX>11i41<CR>"});

    rig.state.CommAbort = false;
    rig.dialogs.clear();
    EXPECT_EQ(rig.send("15f0.5"), "");
    EXPECT_EQ(rig.dialogs.messages.at(0).text, "Device Error 13, VALUE TOO LOW\rIssued for Min Flow");
}

TEST(LinkOverPty, AutoFrameOffSendsBytesAsTyped)
{
    PtyRig rig;
    rig.state.AutoFrame = false;
    EXPECT_EQ(rig.send(QString::fromLatin1("\x02" "4i\r")), "1");
    EXPECT_EQ(rig.send("ab"), "NoRsp"); // no frame: the device stays silent, "ab" is resent as it is
    EXPECT_EQ(rig.received(3), (QStringList{"<STX>4i<CR>", "ab", "ab"}));
}

TEST(LinkOverPty, PortSelectionReportsEachOutcome)
{
    PtyRig rig;
    rig.link.selectPort(2);
    QSerialPort holder;
    holder.setPortName(rig.sim.path());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    rig.link.selectPort(3);
    holder.close();
    rig.link.setPortResolver([](int n) { return n == 4 ? QStringLiteral("/dev/null") : QStringLiteral("/nonexistent/tty"); });
    rig.link.selectPort(4);
    rig.link.selectPort(5);
    EXPECT_EQ(rig.statuses, (QStringList{"Status:  Com2", "Status:  ERROR - Port in use",
                                         "Status:  Internal Error 7", "Status:  ERROR - Invalid Com Port"}));
    EXPECT_EQ(rig.link.portNumber(), 5);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_TRUE(rig.dialogs.messages.empty());

    // The next transmission takes the same error path, with its box.
    EXPECT_EQ(rig.send("3i"), "");
    EXPECT_TRUE(rig.state.CommAbort);
    EXPECT_EQ(rig.dialogs.texts(), QStringList{"ERROR - Invalid Com Port"});
}

TEST(LinkOverPty, ComNumberMapsToTheConfiguredPath)
{
    PtyRig rig;
    SettingsStore::open()->setValue(QStringLiteral("Ports/Com7"), rig.sim.path());
    rig.link.setPortResolver(&SettingsStore::portPath);
    rig.link.selectPort(7);
    EXPECT_EQ(rig.statuses, QStringList{"Status:  Com7"});
    EXPECT_EQ(rig.send("4i"), "1");
    SettingsStore::open()->remove(QStringLiteral("Ports/Com7"));
}

TEST(LinkOverPty, OtherPortErrorWhileTransmittingEndsTheExchangeAsFailed)
{
    PtyRig rig;
    rig.link.setPortResolver([](int) { return QStringLiteral("/dev/null"); });
    EXPECT_EQ(rig.send("3i"), "");
    EXPECT_TRUE(rig.state.ReplyReceived);
    EXPECT_TRUE(rig.state.CommAbort);
    EXPECT_FALSE(rig.link.exchangeOutstanding());
    EXPECT_EQ(rig.statuses, QStringList{"Status:  Internal Error 7"});
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages[0].text.startsWith("ERROR - Internal Error 7\r"));
}

TEST(LinkOverPty, UnpluggedDeviceEndsTheWaitWithoutHanging)
{
    SimOptions o = PtyRig::noPacing();
    o.vanishAfter = 1;
    PtyRig rig(o);
    EXPECT_EQ(rig.send("3i"), "1");
    QElapsedTimer clock;
    clock.start();
    rig.send("4i");
    EXPECT_LT(clock.elapsed(), 450); // ended by the lost connection, not by the time-out
    EXPECT_TRUE(rig.state.ReplyReceived);
    EXPECT_TRUE(rig.state.CommAbort);
    EXPECT_FALSE(rig.port.isOpen());
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages[0].text.startsWith("ERROR - Internal Error "));
    EXPECT_TRUE(rig.sim.vanished());

    // The next transmission tries to open the port again and reports it missing.
    rig.state.CommAbort = false;
    rig.dialogs.clear();
    rig.send("4i");
    EXPECT_EQ(rig.dialogs.texts(), QStringList{"ERROR - Invalid Com Port"});
    EXPECT_EQ(rig.statuses.last(), "Status:  ERROR - Invalid Com Port");
}

TEST(LinkOverPty, SecondExchangeDuringAWaitNeverReachesTheWire)
{
    SimOptions o = PtyRig::noPacing();
    o.latencyMs = 40;
    PtyRig rig(o);
    bool accepted = true;
    QTimer::singleShot(10, [&] {
        rig.state.CommandString = "W";
        accepted = rig.link.SendCommand();
    });
    EXPECT_EQ(rig.send("4i"), "1");
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(rig.state.CommAbort);
    QThread::msleep(60);
    EXPECT_EQ(rig.received(1), QStringList{"<STX>4i<CR>"});
}

TEST(LinkOverPty, PacedExchangeTakesItsLineTime)
{
    PtyRig rig{SimOptions{}};
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 10; ++i)
        rig.send("3i");
    // 9 characters of about 1.04 ms per exchange.
    EXPECT_GE(clock.elapsed(), 90);
    EXPECT_LE(clock.elapsed(), 200);
    EXPECT_EQ(rig.state.ReplyValue, "1");
}

} // namespace
