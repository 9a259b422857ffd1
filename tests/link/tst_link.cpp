// SPDX-License-Identifier: GPL-3.0-or-later
// The link: frames, numbers and exchanges, with port and timer faked and over a pty (rows in data/link).

#include <cmath>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSerialPort>
#include <QThread>

#include <gtest/gtest.h>

#include "app/settingsstore.h"
#include "link/echoformat.h"
#include "link/frames.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "link/trafficecho.h"
#include "link/values.h"
#include "linkfixture.h"
#include "simulateddevice.h"
#include "table.h"

namespace {

using Fixture = LinkFixture<FakeDevicePort, ManualReplyTimer>;

const QString TimeoutText
    = QString(13, ' ') + "Communications Timeout\rCheck Serial Connection or Com Port Setting";
const QStringList IconNames { "none", "critical", "exclamation", "information", "question" };

// The boxes (as "icon text", "timeout" for the time-out text) or statuses a cell gives, ';' between.
QStringList boxes(const QString &cell)
{
    QStringList out;
    for (const QString &box : cell.split(';', Qt::SkipEmptyParts))
        out << QString::fromLatin1(wireBytes(box.trimmed())).replace(" timeout", " " + TimeoutText);
    return out;
}

QStringList shown(const FakeUserDialogs &dialogs)
{
    QStringList out;
    for (const auto &m : dialogs.messages)
        out << IconNames[int(m.icon)] + ' ' + m.text
                + (m.title == "QRX Programming Utility" ? "" : " titled " + m.title);
    return out;
}

// The exchange has ended: nothing outstanding, the timer stopped, no resend pending.
bool atRest(Fixture &f)
{
    return f.state.ReplyReceived && !f.link.exchangeOutstanding() && !f.timer.isActive()
        && f.link.ReplyRetries() == 0;
}

TABLE_TEST(Frames, SplitIntoCodeLetterAndValue, "link/frames.txt", "split")
{
    const char *kinds[] = { "plain", "read", "write" };
    const Frames::Parts p = Frames::split(QString::fromLatin1(wireBytes(row["text"])));
    EXPECT_EQ(QStringList({ p.codeText, p.letter, p.valueText, kinds[int(p.kind)] }),
        QStringList({ row["code"], row["letter"], row["value"], row["kind"] }));
}

TABLE_TEST(Frames, ReplyMatchesItsCommand, "link/frames.txt", "reply")
{
    EXPECT_EQ(Frames::replyMatches(QString::fromLatin1(wireBytes(row["command"])),
                  QString::fromLatin1(wireBytes(row["reply"]))),
        row.number("valid") == 1);
}

TABLE_TEST(Frames, ItemNames, "link/frames.txt", "item-names")
{
    EXPECT_EQ(Frames::itemName(row["code"]), row["name"]);
}

TABLE_TEST(Frames, DeviceErrorTexts, "link/frames.txt", "device-errors")
{
    EXPECT_EQ(Frames::deviceErrorText(row["number"].toDouble()), row["text"]);
}

TEST(Frames, EchoShowsControlCharactersByNameOrHex)
{
    using M = TrafficEcho::Mode;
    const QString cmd = QString::fromLatin1("\x02"
                                            "3i\r\x7f\xe9\x1f\x00",
        8);
    EXPECT_EQ(EchoFormat::text(cmd, M::Ascii), QString::fromUtf8("<STX>3i<CR><DEL>\u00e9<US><NUL>"));
    EXPECT_EQ(EchoFormat::text(cmd, M::Hex), "02 33 69 0D 7F E9 1F 00 ");
    EXPECT_EQ(EchoFormat::text(cmd, M::None), "");
    EXPECT_EQ(EchoFormat::controlName(10), "<LF>");
    EXPECT_EQ(EchoFormat::controlName(32), "");
}

TABLE_TEST(Values, ValReadsTheLeadingNumber, "link/frames.txt", "val")
{
    EXPECT_DOUBLE_EQ(Values::Val(row.text("text")), row["leading number"].toDouble());
}

TABLE_TEST(Values, ConversionsRoundOrOverflow, "link/frames.txt", "convert")
{
    using namespace Values;
    const QString function = row["function"], result = row["result"];
    const double value = row["value"] == "nan" ? std::nan("") : row["value"].toDouble();
    const auto convert = [&]() -> double {
        return function == "CInt" ? double(CInt(value))
            : function == "CLng"  ? double(CLng(value))
                                  : double(CSng(value));
    };
    if (result == "overflow")
        EXPECT_THROW(convert(), OverflowError);
    else
        EXPECT_EQ(convert(), result.toDouble());
    // The conversions that give their failure as a value agree with the throwing ones.
    if (function == "CInt") {
        EXPECT_EQ(IntOf(value).has_value(), result != "overflow");
    } else if (function == "CSng") {
        EXPECT_EQ(SingleOf(value).has_value(), result != "overflow");
    }
}

TABLE_TEST(Values, IsNumericTakesOneWholeNumber, "link/frames.txt", "numeric")
{
    const QString point = row["decimal point"];
    EXPECT_EQ(Values::IsNumeric(row.text("text"), point.isEmpty() ? QChar('.') : point[0]),
        row.number("numeric") == 1);
}

TABLE_TEST(Values, FormatSingleIsShortAndReadsBack, "link/frames.txt", "format-single")
{
    using namespace Values;
    const float value = row["value"].toFloat();
    const QString point = row["decimal point"];
    EXPECT_EQ(FormatSingle(value, point.isEmpty() ? QChar('.') : point[0]), row["text"]);
    EXPECT_TRUE(row["reads back"] == "rounded" || float(Val(FormatSingle(value))) == value);
}

TEST(Values, FormatInt)
{
    EXPECT_EQ(Values::FormatInt(-32768), "-32768");
}

namespace {

    // The outcome a send returns, as the tables write it (in the order of its kinds).
    QString outcomeText(const ExchangeOutcome &o)
    {
        const char *const names[] = { "notSent", "ok", "noResponse", "invalid", "deviceError", "portError" };
        const QString name = names[int(o.kind)];
        return o.kind == ExchangeOutcome::Kind::DeviceError ? name + ' ' + QString::number(o.deviceError)
                                                            : name;
    }

} // namespace

TABLE_TEST(LinkEngine, EveryExchangeEndsWithItsDefinedOutcome, "link/exchanges.txt", "endings")
{
    for (int chunk : { 0, 1, 3 }) { // whole chunks and one character per receive event behave the same
        SCOPED_TRACE("in chunks of " + std::to_string(chunk));
        Fixture f;
        f.port.chunk = chunk;
        f.state.PollingOn = true;
        f.script(row.words("reactions"));
        f.send(row["body"]);
        const int sends = row.number("sends");
        const QString value = row["value"];
        EXPECT_EQ(wireMarkup(f.port.wire), QString("<STX>%1<CR>").arg(row["body"]).repeated(sends));
        EXPECT_EQ(f.timer.starts, sends);
        EXPECT_EQ(f.state.ReplyValue, value);
        EXPECT_EQ(outcomeText(f.outcome), row["outcome"]);
        EXPECT_EQ(f.outcome.value, value);
        EXPECT_EQ(f.state.CommAbort, row.number("abort") == 1);
        EXPECT_EQ(f.state.PollingOn, value != "NoRsp");
        EXPECT_EQ(f.port.opens, value == "Inval" ? 2 : 1); // reset after invalid replies
        EXPECT_TRUE(f.port.isOpen() && atRest(f));
        EXPECT_EQ(shown(f.dialogs), boxes(row["box"]));
        // A late frame after the end starts nothing.
        f.port.feed(wireBytes("<STX>4i2<CR><STX>E13<CR>"));
        EXPECT_EQ(f.port.writes, sends);
        EXPECT_EQ(shown(f.dialogs), boxes(row["box"]));
        EXPECT_TRUE(atRest(f));
        EXPECT_EQ(f.state.ReplyValue, value);
    }
}

TABLE_TEST(LinkEngine, AutoFrameOffSendsAsTypedAndResendsStripped, "link/exchanges.txt", "autoframe-off")
{
    Fixture f;
    f.state.AutoFrame = false;
    f.script(row.words("reactions"));
    EXPECT_EQ(f.send(QString::fromLatin1(wireBytes(row["typed as is"]))), row["value"]);
    EXPECT_EQ(wireMarkup(f.port.wire), row["wire"]);
}

TEST(LinkEngine, EchoesTrafficRowsInTheMonitorsModeAndNothingWhenSkipped)
{
    struct Echo final : TrafficEcho
    {
        bool showing = true;
        Mode shown = Mode::Ascii;
        QString text;
        int rows = 0;
        bool isShowing() const override { return showing; }
        Mode mode() const override { return shown; }
        void appendText(const QString &t) override { text += t; }
        void UpdateCommTextboxRows() override { ++rows; }
    } echo;
    Fixture f;
    f.link.setEcho(&echo);
    int finished = 0;
    QObject::connect(&f.link, &LinkEngine::exchangeFinished, [&] { ++finished; });
    for (const TableRow &row : tableRows("link/exchanges.txt", "echo")) {
        SCOPED_TRACE(row.where());
        echo.text.clear();
        echo.showing = row["monitor"] != "hidden";
        echo.shown = row["monitor"] == "hex" ? TrafficEcho::Mode::Hex : TrafficEcho::Mode::Ascii;
        f.state.CommAbort = row.number("latch") == 1;
        f.state.ReplyValue = "old";
        f.script(row.words("reactions"));
        const int writes = f.port.writes;
        EXPECT_EQ(f.send(row["body"]), row["value"]);
        EXPECT_TRUE(f.state.ReplyReceived);
        EXPECT_EQ(f.port.writes - writes, int(row.words("reactions").size()));
        EXPECT_EQ(echo.text,
            row["TX echoed"].isEmpty() ? ""
                                       : QString("\r\nTX-->  %1\r\nRX-->  %2\r\n")
                                             .arg(row.text("TX echoed"), row.text("RX echoed")));
        EXPECT_EQ(QStringList({ QString::number(f.state.MonitorRows), QString::number(echo.rows),
                      QString::number(finished) }),
            row.words("counts"));
    }
}

TEST(LinkEngine, TimeoutResentSurvivesADeviceError)
{
    // After a device error the next silent command already ends at its first expiry.
    Fixture f;
    f.script({ "<STX>E11<CR>~", "~" });
    f.send("3i");
    EXPECT_TRUE(f.link.TimeoutResent());
    f.state.CommAbort = false;
    EXPECT_EQ(f.send("4i"), "NoRsp");
    EXPECT_EQ(wireMarkup(f.port.wire), "<STX>3i<CR><STX>4i<CR>");
}

TABLE_TEST(LinkEngine, PortFailuresEndThroughTheReplyTimerAndOnlyMissingOrBusyPortsAreTold,
    "link/exchanges.txt", "port-faults")
{
    using K = DevicePort::ErrorKind;
    const DevicePort::Error missing { K::NoSuchPort, 8002, "No such file" }, busy { K::InUse, 8005, "Busy" },
        other { K::Other, 7, "Resource error" };
    Fixture f;
    const QString fault = row["fault"];
    if (fault.startsWith("open"))
        f.port.openError = fault.endsWith("missing") ? missing : fault.endsWith("busy") ? busy : other;
    if (fault.startsWith("write"))
        f.port.writeError = other;
    if (fault.endsWith("other")) // nothing got out, so the timer ends the wait
        QTimer::singleShot(0, [&f] { f.timer.fire(); });
    if (fault.startsWith("lost")) {
        f.port.reactions.push_back([&, gone = fault.endsWith("good")] {
            f.port.vanish(other);
            if (gone)
                f.port.openError = missing; // the resend cannot reopen the port
            f.timer.fire();
            if (gone)
                f.timer.fire();
        });
    }
    f.script(row.words("reactions"));
    EXPECT_EQ(f.send("3i"), row["value"]);
    EXPECT_EQ(outcomeText(f.outcome), row["outcome"]);
    const QStringList expected = boxes(row["boxes"]);
    EXPECT_EQ(shown(f.dialogs), expected);
    EXPECT_EQ(f.statuses, boxes(row["statuses"]));
    EXPECT_EQ(f.port.opens, row.number("opens"));
    EXPECT_EQ(f.state.CommAbort, !expected.isEmpty());
    const bool returnsAtOnce = row.number("returns") == 1;
    EXPECT_EQ(f.link.exchangeOutstanding(), returnsAtOnce);
    EXPECT_EQ(f.state.ReplyReceived, !returnsAtOnce);
    if (returnsAtOnce) { // the exchange ends at the timer's expiry, without a resend or another box
        f.timer.fire();
        EXPECT_FALSE(f.link.exchangeOutstanding());
        EXPECT_EQ(shown(f.dialogs), expected);
        EXPECT_EQ(f.port.writes, 0);
    }
    f.state.CommAbort = false;
    f.script({ "<STX>4i1<CR>" });
    EXPECT_EQ(f.send("4i"), "1"); // the next exchange opens the port again where needed
}

TABLE_TEST(LinkEngine, CallsDuringAWaitTakeTheirTurnInCallOrderAndEachSeesItsOwnOutcome, "link/exchanges.txt",
    "queued")
{
    Fixture f;
    QStringList outcomes;
    const auto call = [&](const QString &body) {
        outcomes << QString("%1=%2/%3").arg(body, f.send(body)).arg(int(f.state.CommAbort));
    };
    QStringList reactions = row.words("reactions");
    const QString first = reactions.takeFirst();
    const bool cancel = row.number("cancel V") == 1;
    f.port.reactions.push_back([&] {
        QTimer::singleShot(0, [&] {
            QTimer::singleShot(0, [&] { f.react(first); });
            if (cancel)
                f.state.CommAbort = true;
            call("3i");
        });
        call("V");
    });
    f.script(reactions);
    call("F");
    EXPECT_EQ(f.port.wire, wireBytes(frames(row["wire"]).join("")));
    EXPECT_EQ(outcomes.join(' '), row["outcomes"]);
    EXPECT_TRUE(atRest(f));
}

// Regression: calls queued behind the monitor's unframed send, and their resends, went out unframed.
TABLE_TEST(LinkEngine, CallsDuringAnUnframedSendGoOutFramedAfterIt, "link/exchanges.txt", "during-unframed")
{
    Fixture f;
    QStringList outcomes;
    const auto outcome = [&](const QString &body) {
        outcomes << body + '=' + f.state.ReplyValue + '/' + wireMarkup(f.state.CommandString.toLatin1());
    };
    QStringList reactions = row.words("reactions");
    const QString first = reactions.takeFirst();
    f.port.reactions.push_back([&] {
        QTimer::singleShot(0, [&] { f.react(first); }); // only the loops of the waits wake the link
        for (const char *body : { "V", "I", "3i" }) {
            f.send(body);
            outcome(body);
        }
    });
    f.script(reactions);
    f.state.AutoFrame = false;
    f.state.CommandString = QString::fromLatin1(wireBytes("<STX>77i<CR>"));
    f.link.SendCommand();
    f.state.AutoFrame = true;
    outcome("monitor");
    EXPECT_EQ(wireMarkup(f.port.wire), row.words("wire").join(""));
    EXPECT_EQ(outcomes.join(' '), row["outcomes"]);
    EXPECT_TRUE(f.state.CommAbort && atRest(f));
    EXPECT_EQ(shown(f.dialogs), boxes("exclamation timeout"));
}

TEST(LinkEngine, NextExchangeMayStartFromTheFinishedSignal)
{
    Fixture f;
    QStringList values;
    QObject::connect(&f.link, &LinkEngine::exchangeFinished, [&] {
        values << f.state.ReplyValue;
        if (values.size() == 1)
            f.send("4i");
    });
    f.script({ "<STX>3i2<CR>", "<STX>4i1<CR>" });
    f.send("3i");
    EXPECT_EQ(values, (QStringList { "2", "1" }));
}

TEST(LinkEngine, QuittingTheApplicationDuringAWaitEndsTheExchange)
{
    // Regression: after quit() every nested loop returns at once, so the wait used to spin forever.
    Fixture f;
    f.port.reactions.push_back([] { QCoreApplication::quit(); });
    bool returned = false;
    QTimer::singleShot(0, [&] {
        f.send("3i");
        returned = true;
    });
    QObject scope; // the guard goes with the test
    QTimer::singleShot(
        5000, &scope, [] { QCoreApplication::exit(1); }); // ends the run only if the wait spins again
    QCoreApplication::exec();
    EXPECT_TRUE(returned && f.state.CommAbort && atRest(f));
}

// The simulated device started with these program arguments; the link reaches its pty by any Com number.
struct PtyFixture : LinkFixture<SerialDevicePort, QtReplyTimer>
{
    SimulatedDevice sim;

    explicit PtyFixture(const QString &arguments = "--no-pacing")
        : sim(*SimOptions::parse(arguments.split(' ', Qt::SkipEmptyParts), nullptr))
    {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        usePath(sim.path());
    }
    ~PtyFixture() { port.close(); }

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
    PtyFixture f("--no-pacing --device-version 2.10 --output-type 1");
    QStringList wire;
    for (const TableRow &row : tableRows("link/exchanges.txt", "pty-clean")) { // a sequence on one line
        EXPECT_EQ(f.send(row["body"]), row["value"]) << row.where();
        EXPECT_FALSE(f.state.CommAbort) << row.where();
        wire << frames(row["body"]);
    }
    EXPECT_TRUE(Values::IsNumeric(f.send("F")));
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(f.received(wire.size() + 1), wire << "<STX>F<CR>");
}

TABLE_TEST(LinkOverPty, EachFaultEndsWithItsOutcomeAndLatchesTheSequence, "link/exchanges.txt", "pty-faults")
{
    PtyFixture f(row["simulator faults"] == "(paced)" ? "" : "--no-pacing " + row["simulator faults"]);
    f.state.PollingOn = true;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(f.send(row["body"]), row["value"]);
    EXPECT_GE(clock.elapsed(), row.number("ms from"));
    EXPECT_LE(clock.elapsed(), row.number("to"));
    EXPECT_EQ(shown(f.dialogs), boxes(row["box"]));
    EXPECT_EQ(f.state.CommAbort, !row["box"].isEmpty());
    EXPECT_EQ(f.state.PollingOn, row["value"] != "NoRsp");
    EXPECT_TRUE(f.port.isOpen()); // after invalid replies: closed and opened again
    const QStringList wire(row.number("sends"), frames(row["body"]).first());
    EXPECT_EQ(f.received(wire.size()), wire);
    if (f.state.CommAbort) {
        f.send("W"); // after a failure the rest of the sequence runs without traffic
        EXPECT_EQ(f.received(wire.size()), wire);
    }
}

TEST(LinkOverPty, PortSelectionAndTransmissionReportEachOpenOutcome)
{
    PtyFixture f;
    const QStringList paths { f.sim.path(), f.sim.path(), "/dev/null", "/nonexistent/tty" };
    for (int n = 2; n <= 5; ++n)
        SettingsStore::open()->setValue(QString("Ports/Com%1").arg(n), paths[n - 2]);
    f.link.setPortResolver(&SettingsStore::portPath);
    f.link.selectPort(2);
    QSerialPort holder;
    holder.setPortName(f.sim.path());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    f.link.selectPort(3);
    holder.close();
    f.link.selectPort(4);
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(f.send("3i"), "NoRsp"); // any other port error: the exchange ends through the time-out
    EXPECT_TRUE(f.state.CommAbort);
    EXPECT_FALSE(f.link.exchangeOutstanding());
    f.link.selectPort(5);
    EXPECT_EQ(f.link.portNumber(), 5);
    EXPECT_FALSE(f.port.isOpen());
    f.state.CommAbort = false;
    f.send("3i");
    EXPECT_EQ(shown(f.dialogs), boxes("exclamation timeout; none ERROR - Invalid Com Port"));
    EXPECT_EQ(f.statuses,
        (QStringList { "Status:  Com2", "Status:  ERROR - Port in use", "Status:  Internal Error 7",
            "Status:  ERROR - Invalid Com Port", "Status:  ERROR - Invalid Com Port" }));
    SettingsStore::open()->remove("Ports");
}

} // namespace
