#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "fakeecho.h"
#include "fakedeviceport.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "manualreplytimer.h"
#include "support/fakeuserdialogs.h"
#include "wiretext.h"

namespace {

using Icon = UserDialogs::Icon;

// The link wired to a fake port and a hand-fired timer, with the state as the main window leaves it.
struct Rig
{
    DeviceState state;
    FakeDevicePort port;
    ManualReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link{state, port, timer, dialogs};

    Rig()
    {
        state.ReplyReceived = true;
        state.AutoFrame = true;
        link.setPortResolver([](int n) { return QStringLiteral("/dev/fake%1").arg(n); });
    }

    void send(const QString &body)
    {
        state.CommandString = body;
        link.SendCommand();
    }
};

// One reaction per transmission, separated by '|': text arrives as received bytes, '~' fires the timer.
void runScript(Rig &rig, const QString &reactions)
{
    for (const QString &r : reactions.split(QLatin1Char('|'))) {
        rig.port.reactions.push_back([&rig, r] {
            const QStringList steps = r.split(QLatin1Char('~'));
            for (int i = 0; i < steps.size(); ++i) {
                if (!steps[i].isEmpty())
                    rig.port.feed(wireBytes(steps[i]));
                if (i + 1 < steps.size())
                    rig.timer.fire();
            }
        });
    }
}

struct ExchangeRow
{
    const char *name;
    const char *body;
    const char *replies; // per transmission, '|' separated, '~' = the timer expires
    const char *wire;    // everything the link transmitted
    const char *value;   // ReplyValue at the end
    bool abort;
    const char *box;     // the one message box, empty for none
    Icon icon;
};

const QString kTimeout = LinkEngine::timeoutMessage();

class Exchange : public ::testing::TestWithParam<int>
{
};

TEST_P(Exchange, EndsWithTheDefinedOutcome)
{
    const ExchangeRow rows[] = {
        {"read", "3i", "<STX>3i2<CR>", "<STX>3i<CR>", "2", false, "", Icon::None},
        {"write echo within tolerance", "15f2.5", "<STX>15f2.500<CR>", "<STX>15f2.5<CR>", "2.500", false, "",
         Icon::None},
        {"plain without value", "F", "<STX>F<CR>", "<STX>F<CR>", "", false, "", Icon::None},
        {"plain with value", "V", "<STX>V1.03<CR>", "<STX>V<CR>", "1.03", false, "", Icon::None},
        {"leading code zero", "3i", "<STX>03i2<CR>", "<STX>3i<CR>", "2", false, "", Icon::None},
        {"noise before STX dropped", "3i", "xx9<CR><STX>3i2<CR>", "<STX>3i<CR>", "2", false, "", Icon::None},
        {"other code then valid", "3i", "<STX>4i2<CR>|<STX>3i2<CR>", "<STX>3i<CR><STX>3i<CR>", "2", false, "",
         Icon::None},
        {"other letter, empty value, then valid", "3i", "<STX>3f2<CR>|<STX>3i<CR>|<STX>3i1<CR>",
         "<STX>3i<CR><STX>3i<CR><STX>3i<CR>", "1", false, "", Icon::None},
        {"three invalid replies", "15f2.5", "<STX>15f2.52<CR>|<STX>15fx<CR>|<STX>15f9<CR>",
         "<STX>15f2.5<CR><STX>15f2.5<CR><STX>15f2.5<CR>", "Inval", true, "Error", Icon::Critical},
        {"time-out then reply", "3i", "~|<STX>3i2<CR>", "<STX>3i<CR><STX>3i<CR>", "2", false, "", Icon::None},
        {"no reply", "3i", "~|~", "<STX>3i<CR><STX>3i<CR>", "NoRsp", true, "TIMEOUT", Icon::Exclamation},
        {"half frame is no reply", "3i", "<STX>3i~|<STX>3~", "<STX>3i<CR><STX>3i<CR>", "NoRsp", true, "TIMEOUT",
         Icon::Exclamation},
        {"device error", "11i5", "<STX>E13<CR>~", "<STX>11i5<CR>", "", true,
         "Device Error 13, VALUE TOO LOW\rIssued for Damping", Icon::Critical},
        {"device error on a plain command", "W", "<STX>E10<CR>~", "<STX>W<CR>", "", true,
         "Device Error 10, INVALID COMMAND\rIssued for Unknown Item", Icon::Critical},
        {"device error without text", "3i", "<STX>E9<CR>~", "<STX>3i<CR>", "", true, "", Icon::None},
    };
    for (const ExchangeRow &row : rows) {
        Rig rig;
        rig.port.chunk = GetParam();
        runScript(rig, QLatin1String(row.replies));
        rig.send(QLatin1String(row.body));
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(rig.state.ReplyReceived);
        EXPECT_FALSE(rig.link.exchangeOutstanding());
        EXPECT_EQ(wireMarkup(rig.port.wire), QLatin1String(row.wire));
        EXPECT_EQ(rig.state.ReplyValue, QLatin1String(row.value));
        EXPECT_EQ(rig.state.CommAbort, row.abort);
        const QString box = QLatin1String(row.box) == QLatin1String("TIMEOUT") ? kTimeout : QLatin1String(row.box);
        if (box.isEmpty()) {
            EXPECT_TRUE(rig.dialogs.messages.empty());
        } else {
            ASSERT_EQ(rig.dialogs.messages.size(), 1u);
            EXPECT_EQ(rig.dialogs.messages[0].text, box);
            EXPECT_EQ(rig.dialogs.messages[0].icon, row.icon);
            EXPECT_EQ(rig.dialogs.messages[0].title, "QRX Programming Utility");
        }
        EXPECT_FALSE(rig.timer.isActive());
    }
}

// Whole chunks and one character per receive event must behave the same.
INSTANTIATE_TEST_SUITE_P(Chunking, Exchange, ::testing::Values(0, 1, 3));

TEST(LinkEngine, NoReplySwitchesPollingOffAndInvalidResetsThePort)
{
    Rig rig;
    rig.state.PollingOn = true;
    runScript(rig, "~|~");
    rig.send("F");
    EXPECT_FALSE(rig.state.PollingOn);
    EXPECT_EQ(rig.timer.starts, 2);

    Rig inval;
    runScript(inval, "<STX>3x<CR>|<STX>3x<CR>|<STX>3x<CR>");
    inval.send("3i");
    EXPECT_EQ(inval.port.opens, 2); // the first open, then the reset after the third invalid reply
    EXPECT_TRUE(inval.port.isOpen());
    EXPECT_EQ(inval.link.ReplyRetries(), 0);
}

TEST(LinkEngine, CommAbortSkipsWithoutTrafficOrEcho)
{
    Rig rig;
    FakeEcho echo;
    rig.link.setEcho(&echo);
    rig.state.CommAbort = true;
    rig.state.ReplyValue = "old";
    int finished = 0;
    QObject::connect(&rig.link, &LinkEngine::exchangeFinished, [&] { ++finished; });
    rig.send("3i");
    EXPECT_TRUE(rig.state.ReplyReceived);
    EXPECT_EQ(rig.state.ReplyValue, "old");
    EXPECT_TRUE(rig.port.wire.isEmpty());
    EXPECT_TRUE(echo.text.isEmpty());
    EXPECT_EQ(rig.state.MonitorRows, 0);
    EXPECT_EQ(finished, 1);
}

TEST(LinkEngine, AutoFrameOffSendsAsTypedAndResendsStripped)
{
    Rig rig;
    rig.state.AutoFrame = false;
    runScript(rig, "~|~");
    rig.send(QString::fromLatin1("\x02" "3i\r"));
    EXPECT_EQ(wireMarkup(rig.port.wire), "<STX>3i<CR>3i");
    EXPECT_EQ(rig.state.ReplyValue, "NoRsp");

    Rig raw;
    raw.state.AutoFrame = false;
    runScript(raw, "<STX>hel<CR>|<STX>x<CR>|<STX>y<CR>");
    raw.send("hello");
    EXPECT_EQ(wireMarkup(raw.port.wire), "helloelll"); // each invalid reply strips one more "frame"
}

TEST(LinkEngine, EchoesTrafficRowsInTheMonitorsMode)
{
    Rig rig;
    FakeEcho echo;
    rig.link.setEcho(&echo);
    runScript(rig, "<STX>3i2<CR>");
    rig.send("3i");
    EXPECT_EQ(echo.text, "\r\nTX-->  <STX>3i<CR>\r\nRX-->  <STX>3i2<CR>\r\n");
    EXPECT_EQ(echo.rowUpdates, 3);
    EXPECT_EQ(rig.state.MonitorRows, 1);

    echo.text.clear();
    echo.shownMode = TrafficEcho::Mode::Hex;
    runScript(rig, "<STX>W<CR>");
    rig.send("W");
    EXPECT_EQ(echo.text, "\r\nTX-->  02 57 0D \r\nRX-->  02 57 0D \r\n");

    echo.text.clear();
    echo.showing = false;
    runScript(rig, "<STX>W<CR>");
    rig.send("W");
    EXPECT_TRUE(echo.text.isEmpty());
    EXPECT_EQ(rig.state.MonitorRows, 2);
}

TEST(LinkEngine, TimeoutResentSurvivesADeviceError)
{
    // After a device error the next silent command already ends at its first expiry.
    Rig rig;
    runScript(rig, "<STX>E11<CR>~");
    rig.send("3i");
    EXPECT_TRUE(rig.link.TimeoutResent());
    rig.state.CommAbort = false;
    rig.dialogs.clear();
    runScript(rig, "~");
    rig.send("4i");
    EXPECT_EQ(rig.state.ReplyValue, "NoRsp");
    EXPECT_EQ(wireMarkup(rig.port.wire), "<STX>3i<CR><STX>4i<CR>");
}

TEST(LinkEngine, SelectPortReportsEachOpenOutcome)
{
    using K = DevicePort::ErrorKind;
    const struct
    {
        K kind;
        int number;
        const char *status;
    } rows[] = {
        {K::None, 0, "Status:  Com3"},
        {K::NoSuchPort, 8002, "Status:  ERROR - Invalid Com Port"},
        {K::InUse, 8005, "Status:  ERROR - Port in use"},
        {K::Other, 7, "Status:  Internal Error 7"},
    };
    for (const auto &r : rows) {
        Rig rig;
        QStringList statuses;
        QObject::connect(&rig.link, &LinkEngine::statusTextChanged, [&](const QString &s) { statuses << s; });
        rig.port.openError = {r.kind, r.number, QString()};
        rig.link.selectPort(3);
        EXPECT_EQ(statuses, QStringList{QLatin1String(r.status)});
        EXPECT_EQ(rig.link.portNumber(), 3);
        EXPECT_EQ(rig.port.lastPath, "/dev/fake3");
        EXPECT_FALSE(rig.port.isOpen());
        EXPECT_TRUE(rig.dialogs.messages.empty());
    }
}

TEST(LinkEngine, PortErrorWhileTransmittingEndsTheExchangeAsFailed)
{
    using K = DevicePort::ErrorKind;
    const struct
    {
        bool onOpen;
        K kind;
        int number;
        const char *status;
        const char *box;
    } rows[] = {
        {true, K::NoSuchPort, 8002, "Status:  ERROR - Invalid Com Port", "ERROR - Invalid Com Port"},
        {true, K::InUse, 8005, "Status:  ERROR - Port in use", "ERROR - Port in use"},
        {true, K::Other, 7, "Status:  Internal Error 7", "ERROR - Internal Error 7\rUnsupported operation"},
        {false, K::Other, 4, "Status:  Internal Error 4", "ERROR - Internal Error 4\rUnsupported operation"},
    };
    for (const auto &r : rows) {
        Rig rig;
        QStringList statuses;
        QObject::connect(&rig.link, &LinkEngine::statusTextChanged, [&](const QString &s) { statuses << s; });
        const DevicePort::Error e{r.kind, r.number, QStringLiteral("Unsupported operation")};
        (r.onOpen ? rig.port.openError : rig.port.writeError) = e;
        rig.send("3i");
        EXPECT_TRUE(rig.state.ReplyReceived) << r.status;
        EXPECT_TRUE(rig.state.CommAbort);
        EXPECT_FALSE(rig.timer.isActive());
        EXPECT_EQ(statuses, QStringList{QLatin1String(r.status)});
        ASSERT_EQ(rig.dialogs.messages.size(), 1u);
        EXPECT_EQ(rig.dialogs.messages[0].text, QLatin1String(r.box));
        EXPECT_EQ(rig.dialogs.messages[0].icon, Icon::None);
    }
}

TEST(LinkEngine, UnpluggedDeviceEndsTheWaitAndTheNextSendReopens)
{
    Rig rig;
    rig.port.reactions.push_back(
        [&] { rig.port.vanish({DevicePort::ErrorKind::Other, 6, QStringLiteral("Resource error")}); });
    rig.send("3i");
    EXPECT_TRUE(rig.state.ReplyReceived);
    EXPECT_TRUE(rig.state.CommAbort);
    EXPECT_FALSE(rig.timer.isActive());
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "ERROR - Internal Error 6\rResource error");

    rig.state.CommAbort = false;
    runScript(rig, "<STX>3i2<CR>");
    rig.send("3i");
    EXPECT_EQ(rig.port.opens, 2);
    EXPECT_EQ(rig.state.ReplyValue, "2");
}

TEST(LinkEngine, SecondExchangeDuringAWaitIsRefused)
{
    Rig rig;
    bool accepted = true;
    rig.port.reactions.push_back([&] {
        rig.state.CommandString = "W"; // a user action from inside the nested wait
        accepted = rig.link.SendCommand();
        rig.port.feed(wireBytes("<STX>3i2<CR>"));
    });
    rig.send("3i");
    EXPECT_FALSE(accepted);
    EXPECT_EQ(wireMarkup(rig.port.wire), "<STX>3i<CR>");
    EXPECT_EQ(rig.state.ReplyValue, "2");
    EXPECT_TRUE(rig.state.CommAbort); // the refused caller's sequence must see a failure
    EXPECT_EQ(wireMarkup(rig.state.CommandString.toLatin1()), "<STX>3i<CR>");
}

TEST(LinkEngine, LateFrameAfterTheEndStartsNothing)
{
    Rig rig;
    runScript(rig, "~|~");
    rig.send("3i");
    rig.dialogs.clear();
    rig.port.feed(wireBytes("<STX>4i2<CR><STX>E13<CR>"));
    EXPECT_EQ(rig.port.writes, 2);
    EXPECT_TRUE(rig.dialogs.messages.empty());
    EXPECT_FALSE(rig.timer.isActive());
    EXPECT_EQ(rig.state.ReplyValue, "NoRsp");
}

TEST(LinkEngine, NextExchangeMayStartFromTheFinishedSignal)
{
    Rig rig;
    QStringList values;
    int round = 0;
    QObject::connect(&rig.link, &LinkEngine::exchangeFinished, [&] {
        values << rig.state.ReplyValue;
        if (++round == 1) {
            runScript(rig, "<STX>4i1<CR>");
            rig.send("4i");
        }
    });
    runScript(rig, "<STX>3i2<CR>");
    rig.send("3i");
    EXPECT_EQ(values, (QStringList{"2", "1"}));
}

} // namespace

TEST(LinkEngine, QuittingTheApplicationDuringAWaitEndsTheExchange)
{
    // Regression: after quit() every nested loop returns at once, so the wait used to spin forever.
    Rig rig;
    rig.port.reactions.push_back([] { QCoreApplication::quit(); });
    bool returned = false;
    QTimer::singleShot(0, [&] {
        rig.send("3i");
        returned = true;
    });
    QTimer watchdog; // ends the run only if the wait spins again
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(5000);
    QCoreApplication::exec();
    EXPECT_TRUE(returned);
    EXPECT_TRUE(rig.state.CommAbort);
    EXPECT_TRUE(rig.state.ReplyReceived);
    EXPECT_FALSE(rig.link.exchangeOutstanding());
}
