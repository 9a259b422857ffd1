// The link over a real pseudo-terminal against the simulated device, with the real port and timer.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include "app/settingsstore.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "link/values.h"
#include "linkrig.h"
#include "simulateddevice.h"
#include "wiretext.h"

namespace {

using Icon = UserDialogs::Icon;

// The simulated device started with these program arguments; the link reaches its pty by any Com number.
struct PtyRig : LinkRig<SerialDevicePort, QtReplyTimer>
{
    SimulatedDevice sim;

    explicit PtyRig(const QString &arguments = "--no-pacing")
        : sim(*SimOptions::parse(arguments.split(' ', Qt::SkipEmptyParts), nullptr))
    {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        usePath(sim.path());
    }
    ~PtyRig() { port.close(); }

    // Frames the device saw, as markup; waits briefly for the log to catch up with the wire.
    QStringList received(int atLeast)
    {
        for (int i = 0; i < 100 && sim.received().size() < atLeast; ++i)
            QThread::msleep(5);
        return sim.received();
    }
};

TEST(LinkOverPty, CleanExchangeOfEachKind)
{
    PtyRig rig("--no-pacing --version 2.10 --output-type 1");
    const struct { const char *body; const char *value; } rows[] = {
        {"V", "2.10"}, {"I", "1"}, {"3i", "1"}, {"15f2.5", "2.5"}, {"15f2.5", "2.500"}, {"15f", "2.5"},
        {"11i7", "7"}, {"11i", "7"}, {"99f50", "50"}, {"13i", "800"}, {"W", ""},
    };
    QStringList wire;
    for (const auto &r : rows) {
        EXPECT_EQ(rig.send(r.body), r.value) << r.body;
        EXPECT_FALSE(rig.state.CommAbort) << r.body;
        wire << QString("<STX>%1<CR>").arg(r.body);
    }
    EXPECT_TRUE(Values::IsNumeric(rig.send("F")));
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(rig.received(12), wire << "<STX>F<CR>");
}

TEST(LinkOverPty, EachFaultEndsWithItsOutcomeAndLatchesTheSequence)
{
    const struct
    {
        const char *faults; // simulator arguments
        const char *body;
        const char *value;
        int sends;
        int minMs, maxMs;
        const char *box; // "T" = the time-out box
    } rows[] = {
        {"--garble 1", "3i", "Inval", 3, 0, 400, "Error"},
        {"--wrong-code 1", "3i", "Inval", 3, 0, 400, "Error"},
        {"--silent", "F", "NoRsp", 2, 950, 1200, "T"},
        {"--delay 1 --delay-ms 650", "3i", "1", 2, 600, 900, ""}, // the late reply is taken after the resend
        {"--error 14:11", "11i41", "", 1, 450, 700, "Device Error 14, VALUE TOO HIGH\rIssued for Damping"},
        {"--error 13:15", "15f0.5", "", 1, 450, 700, "Device Error 13, VALUE TOO LOW\rIssued for Min Flow"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.faults);
        PtyRig rig(QString("--no-pacing ") + r.faults);
        rig.state.PollingOn = true;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(rig.send(r.body), r.value);
        EXPECT_GE(clock.elapsed(), r.minMs);
        EXPECT_LE(clock.elapsed(), r.maxMs);
        const bool timeout = QString(r.box) == "T";
        const QString box = timeout ? LinkEngine::timeoutMessage() : QString(r.box);
        EXPECT_EQ(rig.dialogs.texts(), box.isEmpty() ? QStringList() : QStringList{box});
        for (const auto &m : rig.dialogs.messages)
            EXPECT_EQ(m.icon, timeout ? Icon::Exclamation : Icon::Critical);
        EXPECT_EQ(rig.state.CommAbort, !box.isEmpty());
        EXPECT_EQ(rig.state.PollingOn, !timeout);
        EXPECT_TRUE(rig.port.isOpen()); // after invalid replies: closed and opened again
        const QStringList wire(r.sends, QString("<STX>%1<CR>").arg(r.body));
        EXPECT_EQ(rig.received(r.sends), wire);
        if (rig.state.CommAbort) {
            rig.send("W"); // after a failure the rest of the sequence runs without traffic
            EXPECT_EQ(rig.received(r.sends), wire);
        }
    }
}

TEST(LinkOverPty, AutoFrameOffSendsBytesAsTyped)
{
    PtyRig rig;
    rig.state.AutoFrame = false;
    EXPECT_EQ(rig.send(QString::fromLatin1(wireBytes("<STX>4i<CR>"))), "1");
    EXPECT_EQ(rig.send("ab"), "NoRsp"); // no frame: the device stays silent, "ab" is resent as it is
    EXPECT_EQ(rig.received(3), (QStringList{"<STX>4i<CR>", "ab", "ab"}));
}

TEST(LinkOverPty, PortSelectionAndTransmissionReportEachOpenOutcome)
{
    PtyRig rig;
    const QStringList paths{rig.sim.path(), rig.sim.path(), "/dev/null", "/nonexistent/tty"};
    for (int n = 2; n <= 5; ++n)
        SettingsStore::open()->setValue(QString("Ports/Com%1").arg(n), paths[n - 2]);
    rig.link.setPortResolver(&SettingsStore::portPath);
    rig.link.selectPort(2);
    QSerialPort holder;
    holder.setPortName(rig.sim.path());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    rig.link.selectPort(3);
    holder.close();
    rig.link.selectPort(4);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_EQ(rig.send("3i"), "NoRsp"); // any other port error: the exchange ends through the time-out
    EXPECT_TRUE(rig.state.CommAbort);
    EXPECT_FALSE(rig.link.exchangeOutstanding());
    rig.link.selectPort(5);
    EXPECT_EQ(rig.link.portNumber(), 5);
    EXPECT_FALSE(rig.port.isOpen());
    rig.state.CommAbort = false;
    rig.send("3i");
    EXPECT_EQ(rig.dialogs.texts(), (QStringList{LinkEngine::timeoutMessage(), "ERROR - Invalid Com Port"}));
    EXPECT_EQ(rig.statuses, (QStringList{"Status:  Com2", "Status:  ERROR - Port in use",
                                         "Status:  Internal Error 7", "Status:  ERROR - Invalid Com Port",
                                         "Status:  ERROR - Invalid Com Port"}));
    SettingsStore::open()->remove("Ports");
}

TEST(LinkOverPty, PacedExchangeTakesItsLineTime)
{
    PtyRig rig("");
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 10; ++i)
        rig.send("3i");
    EXPECT_GE(clock.elapsed(), 90); // 9 characters of about 1.04 ms per exchange
    EXPECT_LE(clock.elapsed(), 200);
    EXPECT_EQ(rig.state.ReplyValue, "1");
}

} // namespace
