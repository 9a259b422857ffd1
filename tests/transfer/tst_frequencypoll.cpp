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
#include "support/fakeuserdialogs.h"
#include "transfer/frequencypoll.h"

namespace {

struct PollRig
{
    DeviceState state;
    FakeDevicePort port;
    ManualReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link{state, port, timer, dialogs};
    AppContext context{state, &link, dialogs};
    std::unique_ptr<frmAltMain> window;

    PollRig()
    {
        link.setPortResolver([](int) { return QStringLiteral("/dev/fake"); });
        window = std::make_unique<frmAltMain>(context);
        dialogs.clear();
    }
    AltMainControls &c() { return window->controls(); }
    QString shown()
    {
        QString s;
        for (QLabel *digit : c().lblInputHz)
            s += digit->text();
        return s;
    }
    // The device answers the next poll with this reply body ("F5"); a trailing "~" then lets the
    // reply timer expire ("~" alone: no answer at all).
    void answer(const QString &script)
    {
        port.reactions.push_back([this, script] {
            QString body = script;
            const bool expire = body.endsWith(QLatin1Char('~'));
            body.chop(expire ? 1 : 0);
            if (!body.isEmpty())
                port.feed('\x02' + body.toLatin1() + '\x0d');
            if (expire)
                timer.fire();
        });
    }
    int polls() const { return int(port.wire.count("\x02" "F\x0d")); }
};

} // namespace

TEST(FrequencyPoll, ShowsTheReplyAsFourDigitsAndKeepsThemOtherwise)
{
    PollRig rig;
    rig.c().Option1->click();
    EXPECT_TRUE(rig.state.PollingOn);
    EXPECT_TRUE(rig.c().tmrPolling->isActive());
    EXPECT_EQ(rig.c().tmrPolling->interval(), 400);
    const struct
    {
        const char *reply;
        const char *shown;
    } rows[] = {
        {"F5", "0005"}, {"F42", "0042"}, {"F12.5", "0012"}, {"F0", "0000"}, {"F9999", "0000"},
        {"F987", "0987"}, {"F", "0987"}, {"E10~", "0987"},
    };
    int polls = 0;
    for (const auto &r : rows) {
        rig.answer(QString::fromLatin1(r.reply)); // a device error ends at the reply timer's expiry
        rig.window->poll().tmrPolling_Timer();
        EXPECT_EQ(rig.polls(), ++polls) << r.reply;
        EXPECT_EQ(rig.shown(), QString::fromLatin1(r.shown)) << r.reply;
    }
}

TEST(FrequencyPoll, TicksThatMustNotTalkToTheDeviceSendNothing)
{
    const struct
    {
        const char *name;
        void (*prepare)(DeviceState &);
    } rows[] = {
        {"switched off", [](DeviceState &s) { s.PollingOn = false; }},
        {"exchange outstanding", [](DeviceState &s) { s.ReplyReceived = false; }},
        {"transfer running", [](DeviceState &s) { s.TransferRunning = true; }},
        // A latched link transmits nothing, and its ReplyValue is an earlier exchange's answer.
        {"latched", [](DeviceState &s) { s.CommAbort = true; s.ReplyValue = QStringLiteral("7"); }},
    };
    for (const auto &r : rows) {
        PollRig rig;
        rig.c().Option1->click();
        r.prepare(rig.state);
        rig.window->poll().tmrPolling_Timer();
        EXPECT_EQ(rig.port.writes, 0) << r.name;
        EXPECT_EQ(rig.shown(), "0000") << r.name;
    }
}

TEST(FrequencyPoll, ASecondTimeoutStopsPollsUntilOffAndOnAgain)
{
    PollRig rig;
    rig.c().Option1->click();
    rig.answer(QStringLiteral("~"));
    rig.answer(QStringLiteral("~"));
    rig.window->poll().tmrPolling_Timer();
    ASSERT_EQ(rig.dialogs.texts(), QStringList{LinkEngine::timeoutMessage()});
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
    rig.answer(QStringLiteral("F42"));
    rig.window->poll().tmrPolling_Timer();
    EXPECT_EQ(rig.shown(), "0042");
}
