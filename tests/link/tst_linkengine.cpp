#include <gtest/gtest.h>

#include <functional>

#include <QCoreApplication>
#include <QTimer>

#include "fakedeviceport.h"
#include "link/trafficecho.h"
#include "linkrig.h"
#include "manualreplytimer.h"
#include "wiretext.h"

namespace {

using Icon = UserDialogs::Icon;
using Rig = LinkRig<FakeDevicePort, ManualReplyTimer>;

// Markup arrives as received bytes, '~' fires the timer.
void react(Rig &rig, const QString &reaction)
{
    const QStringList steps = reaction.split('~');
    for (int i = 0; i < steps.size(); ++i) {
        rig.port.feed(wireBytes(steps[i]));
        if (i + 1 < steps.size())
            rig.timer.fire();
    }
}

// "F V" as the markup of the frames on the wire.
QString framed(const char *bodies)
{
    QString out;
    for (const QString &b : QString(bodies).split(' '))
        out += "<STX>" + b + "<CR>";
    return out;
}

// One reaction per transmission, separated by '|'.
void script(Rig &rig, const QString &reactions)
{
    for (const QString &r : reactions.split('|'))
        rig.port.reactions.push_back([&rig, r] { react(rig, r); });
}

// Collects the traffic echo as the monitor's text would.
struct FakeEcho final : TrafficEcho
{
    bool showing = true;
    Mode shown = Mode::Ascii;
    QString text;
    int rows = 0;

    bool isShowing() const override { return showing; }
    Mode mode() const override { return shown; }
    void appendText(const QString &t) override { text += t; }
    void UpdateCommTextboxRows() override { ++rows; }
};

TEST(LinkEngine, EveryExchangeEndsWithItsDefinedOutcome)
{
    const struct
    {
        const char *body;
        const char *replies; // per transmission, '|' separated; '~' = the timer expires
        int sends;
        const char *value;
        bool abort;
        const char *box; // the one message box; "T" = the time-out box
    } rows[] = {
        {"3i", "<STX>3i2<CR>", 1, "2", false, ""},
        {"15f2.5", "<STX>15f2.500<CR>", 1, "2.500", false, ""}, // within the write tolerance
        {"F", "<STX>F<CR>", 1, "", false, ""},
        {"V", "<STX>V1.03<CR>", 1, "1.03", false, ""},
        {"3i", "<STX>03i2<CR>", 1, "2", false, ""},
        {"3i", "xx9<CR><STX>3i2<CR>", 1, "2", false, ""}, // noise before STX is dropped
        {"3i", "<STX>4i2<CR>|<STX>3i2<CR>", 2, "2", false, ""},
        {"3i", "<STX>3f2<CR>|<STX>3i<CR>|<STX>3i1<CR>", 3, "1", false, ""},
        {"15f2.5", "<STX>15f2.52<CR>|<STX>15fx<CR>|<STX>15f9<CR>", 3, "Inval", true, "Error"},
        {"3i", "~|<STX>3i2<CR>", 2, "2", false, ""},
        {"3i", "~|~", 2, "NoRsp", true, "T"},
        {"3i", "<STX>3i~|<STX>3~", 2, "NoRsp", true, "T"}, // a half frame is no reply
        {"11i5", "<STX>E13<CR>~", 1, "", true, "Device Error 13, VALUE TOO LOW\rIssued for Damping"},
        {"W", "<STX>E10<CR>~", 1, "", true, "Device Error 10, INVALID COMMAND\rIssued for Unknown Item"},
        {"3i", "<STX>E9<CR>~", 1, "", true, ""},
    };
    for (int chunk : {0, 1, 3}) { // whole chunks and one character per receive event behave the same
        for (const auto &r : rows) {
            SCOPED_TRACE(std::string(r.replies) + " in chunks of " + std::to_string(chunk));
            Rig rig;
            rig.port.chunk = chunk;
            rig.state.PollingOn = true;
            script(rig, r.replies);
            rig.send(r.body);
            EXPECT_EQ(wireMarkup(rig.port.wire), QString("<STX>%1<CR>").arg(r.body).repeated(r.sends));
            EXPECT_EQ(rig.timer.starts, r.sends);
            EXPECT_EQ(rig.state.ReplyValue, r.value);
            EXPECT_EQ(rig.state.CommAbort, r.abort);
            EXPECT_TRUE(rig.state.ReplyReceived);
            EXPECT_FALSE(rig.link.exchangeOutstanding());
            EXPECT_FALSE(rig.timer.isActive());
            EXPECT_EQ(rig.link.ReplyRetries(), 0);
            EXPECT_EQ(rig.state.PollingOn, QString(r.value) != "NoRsp");
            EXPECT_EQ(rig.port.opens, QString(r.value) == "Inval" ? 2 : 1); // reset after invalid replies
            EXPECT_TRUE(rig.port.isOpen());
            const bool timeout = QString(r.box) == "T";
            const QString box = timeout ? LinkEngine::timeoutMessage() : QString(r.box);
            EXPECT_EQ(rig.dialogs.texts(), box.isEmpty() ? QStringList() : QStringList{box});
            for (const auto &m : rig.dialogs.messages) {
                EXPECT_EQ(m.icon, timeout ? Icon::Exclamation : Icon::Critical);
                EXPECT_EQ(m.title, "QRX Programming Utility");
            }
            // A late frame after the end starts nothing.
            rig.port.feed(wireBytes("<STX>4i2<CR><STX>E13<CR>"));
            EXPECT_EQ(rig.port.writes, r.sends);
            EXPECT_EQ(rig.dialogs.messages.size(), box.isEmpty() ? 0u : 1u);
            EXPECT_FALSE(rig.timer.isActive());
            EXPECT_EQ(rig.state.ReplyValue, r.value);
        }
    }
}

TEST(LinkEngine, AutoFrameOffSendsAsTypedAndResendsStripped)
{
    const struct { const char *typed; const char *replies; const char *wire; const char *value; } rows[] = {
        {"<STX>3i<CR>", "~|~", "<STX>3i<CR>3i", "NoRsp"},
        {"hello", "<STX>hel<CR>|<STX>x<CR>|<STX>y<CR>", "helloelll", ""}, // each resend strips a "frame"
    };
    for (const auto &r : rows) {
        Rig rig;
        rig.state.AutoFrame = false;
        script(rig, r.replies);
        EXPECT_EQ(rig.send(QString::fromLatin1(wireBytes(r.typed))), r.value) << r.typed;
        EXPECT_EQ(wireMarkup(rig.port.wire), r.wire);
    }
}

TEST(LinkEngine, EchoesTrafficRowsInTheMonitorsModeAndNothingWhenSkipped)
{
    Rig rig;
    FakeEcho echo;
    rig.link.setEcho(&echo);
    int finished = 0;
    QObject::connect(&rig.link, &LinkEngine::exchangeFinished, [&] { ++finished; });
    script(rig, "<STX>3i2<CR>|<STX>W<CR>|<STX>W<CR>");
    rig.send("3i");
    EXPECT_EQ(echo.text, "\r\nTX-->  <STX>3i<CR>\r\nRX-->  <STX>3i2<CR>\r\n");
    EXPECT_EQ(echo.rows, 3);
    EXPECT_EQ(rig.state.MonitorRows, 1);
    echo.text.clear();
    echo.shown = TrafficEcho::Mode::Hex;
    rig.send("W");
    EXPECT_EQ(echo.text, "\r\nTX-->  02 57 0D \r\nRX-->  02 57 0D \r\n");
    echo.text.clear();
    rig.state.CommAbort = true; // a failed sequence skips without traffic, echo or reply
    rig.state.ReplyValue = "old";
    EXPECT_EQ(rig.send("4i"), "old");
    EXPECT_TRUE(rig.state.ReplyReceived);
    EXPECT_EQ(rig.port.writes, 2);
    EXPECT_TRUE(echo.text.isEmpty());
    EXPECT_EQ(rig.state.MonitorRows, 2);
    EXPECT_EQ(finished, 3);
    rig.state.CommAbort = false;
    echo.showing = false;
    rig.send("W");
    EXPECT_TRUE(echo.text.isEmpty());
    EXPECT_EQ(rig.state.MonitorRows, 2);
}

TEST(LinkEngine, TimeoutResentSurvivesADeviceError)
{
    // After a device error the next silent command already ends at its first expiry.
    Rig rig;
    script(rig, "<STX>E11<CR>~|~");
    rig.send("3i");
    EXPECT_TRUE(rig.link.TimeoutResent());
    rig.state.CommAbort = false;
    EXPECT_EQ(rig.send("4i"), "NoRsp");
    EXPECT_EQ(wireMarkup(rig.port.wire), "<STX>3i<CR><STX>4i<CR>");
}

TEST(LinkEngine, PortFailuresEndThroughTheReplyTimerAndOnlyMissingOrBusyPortsAreTold)
{
    using K = DevicePort::ErrorKind;
    const DevicePort::Error missing{K::NoSuchPort, 8002, "No such file"}, busy{K::InUse, 8005, "Busy"},
        other{K::Other, 7, "Resource error"};
    const QString invalid = "ERROR - Invalid Com Port", T = LinkEngine::timeoutMessage();
    const auto expireSoon = [](Rig &r) { QTimer::singleShot(0, [&r] { r.timer.fire(); }); }; // nothing got out
    const struct
    {
        const char *name;
        std::function<void(Rig &)> fault; // before the first transmission
        const char *replies; // to the transmissions that reach the wire
        bool returnsAtOnce; // the caller gets control back before the exchange has ended
        const char *value;
        QStringList boxes;
        QStringList statuses;
        int opens;
    } rows[] = {
        {"missing on open", [&](Rig &r) { r.port.openError = missing; }, "", true, "", {invalid},
         {"Status:  " + invalid}, 1},
        {"busy on open", [&](Rig &r) { r.port.openError = busy; }, "", true, "", {"ERROR - Port in use"},
         {"Status:  ERROR - Port in use"}, 1},
        {"other on open", [&](Rig &r) { r.port.openError = other; expireSoon(r); }, "<STX>3i2<CR>", false, "2", {}, {}, 2},
        {"write fails", [&](Rig &r) { r.port.writeError = other; expireSoon(r); }, "~", false, "NoRsp", {T}, {}, 1},
        {"lost while waiting, back for the resend",
         [&](Rig &r) { r.port.reactions.push_back([&r, &other] { r.port.vanish(other); r.timer.fire(); }); },
         "<STX>3i2<CR>", false, "2", {}, {}, 2},
        {"lost while waiting, gone for good",
         [&](Rig &r) {
             r.port.reactions.push_back([&r, &other, &missing] {
                 r.port.vanish(other);
                 r.port.openError = missing;
                 r.timer.fire(); // the resend cannot reopen the port
                 r.timer.fire();
             });
         },
         "", false, "NoRsp", {invalid, T}, {"Status:  " + invalid}, 2},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        Rig rig;
        r.fault(rig);
        if (*r.replies)
            script(rig, r.replies);
        EXPECT_EQ(rig.send("3i"), r.value);
        EXPECT_EQ(rig.dialogs.texts(), r.boxes);
        EXPECT_EQ(rig.statuses, r.statuses);
        EXPECT_EQ(rig.port.opens, r.opens);
        EXPECT_EQ(rig.state.CommAbort, !r.boxes.isEmpty());
        EXPECT_EQ(rig.link.exchangeOutstanding(), r.returnsAtOnce);
        EXPECT_EQ(rig.state.ReplyReceived, !r.returnsAtOnce);
        if (r.returnsAtOnce) { // the exchange ends at the timer's expiry, without a resend or another box
            rig.timer.fire();
            EXPECT_FALSE(rig.link.exchangeOutstanding());
            EXPECT_EQ(rig.dialogs.texts(), r.boxes);
            EXPECT_EQ(rig.port.writes, 0);
        }
        for (const auto &m : rig.dialogs.messages)
            EXPECT_EQ(m.icon, m.text == T ? Icon::Exclamation : Icon::None);
        rig.state.CommAbort = false;
        script(rig, "<STX>4i1<CR>");
        EXPECT_EQ(rig.send("4i"), "1"); // the next exchange opens the port again where needed
    }
}

TEST(LinkEngine, CallsDuringAWaitTakeTheirTurnInCallOrderAndEachSeesItsOwnOutcome)
{
    // F is outstanding; V is called while F waits, and 3i while V waits; then F's reply arrives.
    const struct
    {
        const char *replies; // F's, then one per later transmission
        bool latchWhileQueued; // V's sequence is cancelled while it waits
        const char *wire;
        const char *outcomes; // body=value/latch, in the order the callers get control back
    } rows[] = {
        {"<STX>F12<CR>|<STX>V1.03<CR>|<STX>3i2<CR>", false, "F V 3i", "3i=2/0 V=1.03/0 F=12/0"},
        {"~|~|<STX>V1.03<CR>|<STX>3i2<CR>", false, "F F V 3i", "3i=2/0 V=1.03/0 F=NoRsp/1"}, // resend not queued
        {"<STX>F12<CR>|<STX>E11<CR>~|<STX>3i2<CR>", false, "F V 3i", "3i=2/0 V=/1 F=12/0"},
        // A cancel while V waits latches every sequence (one latch), so V is not sent either.
        {"<STX>F12<CR>", true, "F", "3i=/1 V=12/1 F=12/1"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.replies);
        Rig rig;
        QStringList outcomes;
        const auto call = [&](const QString &body) {
            rig.state.CommandString = body;
            rig.link.SendCommand();
            outcomes << QString("%1=%2/%3").arg(body, rig.state.ReplyValue).arg(int(rig.state.CommAbort));
        };
        QStringList replies = QString(r.replies).split('|');
        const QString first = replies.takeFirst();
        rig.port.reactions.push_back([&] {
            QTimer::singleShot(0, [&] {
                QTimer::singleShot(0, [&] { react(rig, first); });
                if (r.latchWhileQueued)
                    rig.state.CommAbort = true;
                call("3i");
            });
            call("V");
        });
        script(rig, replies.join('|'));
        call("F");
        EXPECT_EQ(wireMarkup(rig.port.wire), framed(r.wire));
        EXPECT_EQ(outcomes.join(' '), r.outcomes);
        EXPECT_FALSE(rig.link.exchangeOutstanding());
        EXPECT_FALSE(rig.timer.isActive());
    }
}

TEST(LinkEngine, NextExchangeMayStartFromTheFinishedSignal)
{
    Rig rig;
    QStringList values;
    QObject::connect(&rig.link, &LinkEngine::exchangeFinished, [&] {
        values << rig.state.ReplyValue;
        if (values.size() == 1)
            rig.send("4i");
    });
    script(rig, "<STX>3i2<CR>|<STX>4i1<CR>");
    rig.send("3i");
    EXPECT_EQ(values, (QStringList{"2", "1"}));
}

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
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // ends the run only if the wait spins again
    QCoreApplication::exec();
    EXPECT_TRUE(returned);
    EXPECT_TRUE(rig.state.CommAbort);
    EXPECT_TRUE(rig.state.ReplyReceived);
    EXPECT_FALSE(rig.link.exchangeOutstanding());
}

} // namespace
