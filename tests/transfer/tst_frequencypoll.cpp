// The live frequency display: one "F" per tick while switched on, shown as four digits.

#include <gtest/gtest.h>

#include <QLabel>
#include <QRadioButton>
#include <QTimer>

#include "app/frmaltmain.h"
#include "link/devicestate.h"
#include "link/fakedeviceport.h"
#include "link/linkengine.h"
#include "link/manualreplytimer.h"
#include "fakeuserdialogs.h"
#include "transfer/frequencypoll.h"

namespace {

struct PollRig
{
    DeviceState state;
    FakeDevicePort port;
    ManualReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link { state, port, timer, dialogs };
    AppContext context { state, &link, dialogs };
    std::unique_ptr<frmAltMain> window;

    PollRig()
    {
        link.setPortResolver([](int) { return QStringLiteral("/dev/fake"); });
        window = std::make_unique<frmAltMain>(context);
        dialogs.clear();
        c().Option1->click();
    }
    AltMainControls &c() { return window->controls(); }
    QString shown()
    {
        QString s;
        for (QLabel *digit : c().lblInputHz)
            s += digit->text();
        return s;
    }
    // One tick, the device answering with this reply body; a trailing "~" then lets the reply
    // timer expire ("~" alone: no answer at all).
    void tick(const QString &script)
    {
        port.reactions.push_back([this, script] {
            if (script != QLatin1String("~"))
                port.feed(
                    '\x02' + script.chopped(script.endsWith(QLatin1Char('~')) ? 1 : 0).toLatin1() + '\x0d');
            if (script.endsWith(QLatin1Char('~')))
                timer.fire();
        });
        window->poll().tmrPolling_Timer();
    }
    int polls() const
    {
        return int(port.wire.count("\x02"
                                   "F\x0d"));
    }
};

} // namespace

TEST(FrequencyPoll, ShowsTheReplyAsFourDigitsAndKeepsThemOtherwise)
{
    PollRig rig;
    EXPECT_TRUE(rig.state.PollingOn);
    EXPECT_EQ(rig.c().tmrPolling->interval(), 400);
    const char *rows[][2] = { { "F5", "0005" }, { "F42", "0042" }, { "F12.5", "0012" }, { "F0", "0000" },
        { "F9999", "0000" }, { "F987", "0987" }, { "F", "0987" }, { "E10~", "0987" } };
    int polls = 0;
    for (const auto &r : rows) {
        rig.tick(QString::fromLatin1(r[0])); // a device error ends at the reply timer's expiry
        EXPECT_EQ(rig.polls(), ++polls) << r[0];
        EXPECT_EQ(rig.shown(), QString::fromLatin1(r[1])) << r[0];
    }
}

TEST(FrequencyPoll, TicksThatMustNotTalkToTheDeviceSendNothing)
{
    const std::function<void(DeviceState &)> rows[] = { [](DeviceState &s) { s.PollingOn = false; },
        [](DeviceState &s) { s.ReplyReceived = false; }, // an exchange outstanding
        [](DeviceState &s) { s.TransferRunning = true; },
        [](DeviceState &s) { // latched: its ReplyValue is an earlier exchange's answer
            s.CommAbort = true;
            s.ReplyValue = QStringLiteral("7");
        } };
    for (const auto &prepare : rows) {
        PollRig rig;
        prepare(rig.state);
        rig.window->poll().tmrPolling_Timer();
        EXPECT_EQ(rig.port.writes, 0) << &prepare - rows;
        EXPECT_EQ(rig.shown(), "0000") << &prepare - rows;
    }
}

TEST(FrequencyPoll, ASecondTimeoutStopsPollsUntilOffAndOnAgain)
{
    PollRig rig;
    rig.port.reactions.push_back([&rig] { rig.timer.fire(); });
    rig.tick(QStringLiteral("~"));
    ASSERT_EQ(rig.dialogs.texts(), QStringList { LinkEngine::timeoutMessage() });
    EXPECT_FALSE(rig.state.PollingOn);
    EXPECT_TRUE(rig.state.CommAbort);
    EXPECT_TRUE(rig.c().tmrPolling->isActive()); // the timer stays on, the "On" button selected
    EXPECT_TRUE(rig.c().Option1->isChecked());
    const int before = rig.polls();
    rig.window->poll().tmrPolling_Timer();
    EXPECT_EQ(rig.polls(), before);

    rig.c().Option2->click();
    EXPECT_FALSE(rig.c().tmrPolling->isActive());
    rig.c().Option1->click();
    EXPECT_FALSE(rig.state.CommAbort); // "On" also restarts a link a failed sequence latched
    rig.tick(QStringLiteral("F42"));
    EXPECT_EQ(rig.shown(), "0042");
}
