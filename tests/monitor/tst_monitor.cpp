// SPDX-License-Identifier: GPL-3.0-or-later
// The line monitor: its traffic text driven through the link, and the window where the widget is the point.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>

#include <gtest/gtest.h>

#include "app/mainwindowshell.h"
#include "calibration/frmcalibration.h"
#include "monitor/frmlinemonitor.h"
#include "monitor/trafficstamps.h"
#include "monitor/traffictext.h"
#include "rig.h"
#include "rigcase.h"
#include "table.h"

namespace {

const QString Table = QStringLiteral("monitor/traffic.txt");
using Mode = TrafficEcho::Mode;

struct Monitor : ::testing::Test
{
    Rig rig { QStringLiteral("Dravion"), { { 3, 2 } } };
    TrafficText traffic { rig.state, rig.dialogs }; // the echo, unless a window takes its place
    bool onPty = false;
    void SetUp() override
    {
        rig.options.latencyMs = 30;
        ASSERT_TRUE(rig.start(onPty)) << rig.error.toStdString();
        rig.link->setEcho(&traffic);
    }
    QStringList rows() const { return traffic.shownText().split(QLatin1Char('\n')); }
    void TearDown() override { rig.link->setEcho(nullptr); }
    // Framed as usual, or, starting with a control character or in wire markup, sent as it stands.
    void send(const QString &command, bool wait = true)
    {
        const bool framed = command.at(0).isLetterOrNumber();
        rig.state.CommAbort = false;
        rig.state.AutoFrame = framed;
        rig.state.CommandString = framed ? command : QString::fromLatin1(wireBytes(command));
        rig.link->SendCommand(!wait);
        rig.state.AutoFrame = true;
    }
};

struct Traffic : Monitor
{
};

TABLE_TEST_F(Traffic, ExchangesShowTransmittedAndReceivedRowsInEitherDisplay, Table, "exchange")
{
    traffic.selectDisplay(row["display"] == QLatin1String("hex") ? Mode::Hex : Mode::Ascii);
    send(row["command"]);
    EXPECT_EQ(traffic.shownText(), row.text("text shown"));
    EXPECT_EQ(rig.state.MonitorRows, row.number("counted rows"));
}

// All the characters of the table in one command, in both displays.
TEST_F(Traffic, CharactersShowByNameOrCodeInEitherDisplay)
{
    QString command, ascii, hex;
    for (const TableRow &row : tableRows(Table, QStringLiteral("characters"))) {
        command += QChar(ushort(row.number("code")));
        ascii += row.text("shown in ASCII");
        hex += row.text("shown in hex");
    }
    for (const auto mode : { Mode::Hex, Mode::Ascii }) {
        traffic.selectDisplay(mode);
        send(command, false);
        EXPECT_EQ(rows().value(1), QStringLiteral("TX-->  ") + (mode == Mode::Hex ? hex : ascii));
        EXPECT_TRUE(Rig::waitFor([this] { return rig.state.ReplyReceived; }, 2000));
    }
}

// On, rows start with the time of day and a reply the device completed ends with its time since the
// command, while a row cut short by a resend does not.
TEST_F(Traffic, TimeStampsMarkRowsAndCompleteRepliesOnly)
{
    QTime timeOfDay(10, 15, 2, 345);
    qint64 ms = 5000;
    traffic.setClock({ [&] { return timeOfDay; }, [&] { return ms; } });
    traffic.setTimeStamps(true);
    send(QStringLiteral("3i"), false);
    timeOfDay = timeOfDay.addMSecs(18);
    ms += 18;
    EXPECT_TRUE(Rig::waitFor([this] { return rig.state.ReplyReceived; }, 2000));
    send(QStringLiteral("<STX>3i"));
    // Regression: the reply row carried the time of its command, not of its first character.
    EXPECT_EQ(rows(),
        (QStringList { QString(), "10:15:02.345  TX-->  <STX>3i<CR>",
            "10:15:02.363  RX-->  <STX>3i2<CR>  (18 ms)", QString(), "10:15:02.363  TX-->  <STX>3i",
            "              RX-->  ", "10:15:02.363  TX-->  3", QString() }));
    EXPECT_TRUE(traffic.text().endsWith("TX-->  3\r\n              RX-->  ")); // what a save holds
}

TABLE_TEST(Traffic, StampsMarkEachRowWhenItsFirstCharacterArrives, Table, "stamps")
{
    qint64 ms = 0;
    TrafficStamps stamps({ [&] { return QTime(10, 0).addMSecs(int(ms)); }, [&] { return ms; } });
    stamps.setEnabled(row["stamps"] == QLatin1String("on"));
    QString out;
    for (const QString &chunk : row.text("chunks").split(QLatin1Char('^'))) {
        out += stamps.process(chunk);
        ms += 10;
    }
    EXPECT_EQ(out, row.text("passed on"));
}

TEST_F(Traffic, SaveTrafficWritesTheTextWithCrLfOrNothing)
{
    traffic.setOrigin(rig.link.get(), QStringLiteral("Dravion"));
    send(QStringLiteral("3i"));
    const QString good = rig.dir.filePath(QStringLiteral("traffic.txt"));
    const QString bad = rig.dir.filePath(QStringLiteral("no such folder/traffic.txt"));
    rig.dialogs.fileAnswers = { good, bad, std::nullopt };
    for (int i = 0; i < 3; ++i)
        traffic.btnSaveTraffic_Click();
    QFile saved(good);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(saved.readAll());
    EXPECT_TRUE(QRegularExpression("^Traffic of \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d, port Com 1 "
                                   "\\(simulated\\), family Dravion\r\n\r\nTX-->  <STX>3i<CR>\r\n"
                                   "RX-->  <STX>3i2<CR>\r\n$")
                    .match(content)
                    .hasMatch())
        << content.toStdString();
    EXPECT_TRUE(rig.dialogs.fileDialogs.at(0).overwritePrompt);
    ASSERT_EQ(rig.dialogs.messages.size(), 1u); // the failure only; a cancel says nothing
    EXPECT_TRUE(rig.dialogs.messages[0].text.startsWith("Unable to save the traffic to " + bad + ":\r"));
    EXPECT_EQ(rig.dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    EXPECT_FALSE(QFile::exists(bad));
}

struct Window : Monitor
{
    std::unique_ptr<frmLineMonitor> monitor;
    void SetUp() override
    {
        Monitor::SetUp();
        monitor = std::make_unique<frmLineMonitor>(*rig.context);
        rig.link->setEcho(monitor.get());
        monitor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(monitor.get()));
    }
    template <typename T> T *get(const char *name)
    {
        return monitor->findChild<T *>(QString::fromLatin1(name));
    }
    QTabBar *tabs() { return get<QTabBar>("TabStrip1"); }
    QPlainTextEdit *comm() { return get<QPlainTextEdit>("txtComm"); }
    QGroupBox *frame() { return get<QGroupBox>("Frame1"); }
    QPushButton *closeTest() { return get<QPushButton>("btnCloseTest"); }
    // What the text box shows once the event loop has run, rows separated by '\n'.
    QString shown()
    {
        QCoreApplication::processEvents();
        return comm()->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    }
    // The resize rules take the window's outer height, title bar and borders included.
    void resizeOuter(int width, int height)
    {
        monitor->resize(width, height - (monitor->frameGeometry().height() - monitor->height()));
    }
};

// The text box mirrors the traffic text, at first without stamps.
TEST_F(Window, TheTextBoxShowsTheTrafficAndStampsOnceTheyAreTicked)
{
    send(QStringLiteral("3i"));
    EXPECT_EQ(shown(), QStringLiteral("\nTX-->  <STX>3i<CR>\nRX-->  <STX>3i2<CR>\n"));
    QTest::mouseClick(get<QCheckBox>("ckbTimeStamps"), Qt::LeftButton);
    send(QStringLiteral("3i"));
    EXPECT_EQ(shown().split(QLatin1Char('\n')).value(4).mid(12), QStringLiteral("  TX-->  <STX>3i<CR>"));
}

// Part of the text may still be pending when rows are trimmed.
TABLE_TEST_F(Window, BeyondTheRowLimitEachCountDeletesTheOldestRow, Table, "trim")
{
    monitor->appendText(QStringLiteral("before\r")); // a display tab clears the text and its CR
    tabs()->setCurrentIndex(1);
    EXPECT_EQ(rig.state.MonitorRows, 0);
    EXPECT_EQ(shown(), QString());
    monitor->appendText(row.text("text in the box"));
    QCoreApplication::processEvents();
    monitor->appendText(row.text("text still pending"));
    const QString before = monitor->traffic().shownText();
    rig.state.MonitorRows = 150;
    monitor->UpdateCommTextboxRows(); // the 151st counted row stays
    EXPECT_EQ(monitor->traffic().shownText(), before);
    monitor->UpdateCommTextboxRows();
    EXPECT_EQ(rig.state.MonitorRows, 151);
    EXPECT_EQ(monitor->traffic().shownText(), row.text("text left"));
    EXPECT_EQ(shown(), row.text("text left"));
}

// The Test tab opens the frame in place of itself and keeps the display and its text.
TABLE_TEST_F(Window, TestFrameOpensClosesAndResizesWithoutANegativeHeight, Table, "resize")
{
    for (int i = 0; i < 60; ++i)
        monitor->appendText(QStringLiteral("row\r\n"));
    resizeOuter(339, 440);
    const bool open = row["test frame"] == QLatin1String("open");
    QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(2).center());
    if (!open)
        closeTest()->click();
    EXPECT_EQ(frame()->isVisible(), open);
    EXPECT_EQ(tabs()->count(), open ? 2 : 3);
    EXPECT_EQ(tabs()->tabText(2), open ? QString() : QStringLiteral("  Test   "));
    EXPECT_EQ(monitor->mode(), Mode::Ascii);
    EXPECT_EQ(shown().size(), 240);
    EXPECT_EQ(comm()->verticalScrollBar()->value(), comm()->verticalScrollBar()->maximum())
        << "not at the end";
    resizeOuter(row.number("width"), row.number("height"));
    QCoreApplication::processEvents();
    const int width = row.number("widths");
    EXPECT_EQ((QList<int> { comm()->width(), tabs()->width(), frame()->width(), comm()->height(),
                  frame()->y(), closeTest()->x() }),
        (QList<int> { width, width, width, row.number("text box height"), row.number("frame top"),
            row.number("close button left") }));
}

// The Test frame's picker appends control characters to the test string.
TEST_F(Window, TheTestFramesPickerAppendsControlCharacters)
{
    QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(2).center());
    auto *picker = get<QComboBox>("Combo1");
    auto *output = get<QLineEdit>("txtOutput");
    EXPECT_EQ(picker->currentText(), QStringLiteral("0 - NUL"));
    output->setText(QStringLiteral("3i"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(picker, Qt::Key_Down); // entries 1, 2, 3 insert codes 0, 1, 2
    picker->setCurrentIndex(31);
    QTest::keyClick(picker, Qt::Key_Down); // the last entry, 32: code 31
    QTest::keyClick(picker, Qt::Key_Home); // entry 0 inserts nothing
    EXPECT_EQ(output->text(), QStringLiteral("3i") + QChar(0) + QChar(1) + QChar(2) + QChar(31));
}

// What the device receives over a real line.
struct WindowOnPty : Window
{
    WindowOnPty() { onPty = true; }
};

TABLE_TEST_F(WindowOnPty, TestSendReachesTheDeviceExactlyAsComposed, Table, "send")
{
    tabs()->setCurrentIndex(2);
    rig.mark();
    rig.dialogs.clear();
    for (const auto &[column, box, label] : { std::tuple { "auto STX", "ckbAutoSTX", "lblSTX" },
             std::tuple { "auto CR", "ckbAutoCR", "lblCR" } }) {
        EXPECT_EQ(get<QCheckBox>(box)->isChecked(), get<QLabel>(label)->isVisible()); // checked when it opens
        if (get<QCheckBox>(box)->isChecked() != (row[column] == QLatin1String("yes")))
            QTest::mouseClick(get<QCheckBox>(box), Qt::LeftButton);
        EXPECT_EQ(get<QLabel>(label)->isVisible(), row[column] == QLatin1String("yes"));
    }
    get<QLineEdit>("txtOutput")->setText(row.text("typed"));
    get<QPushButton>("btnSend")->click();
    Rig::waitFor([this] { return !rig.receivedSinceMark().isEmpty(); }, 500);
    const QString received = row["device received"], message = row["message box"];
    EXPECT_EQ(rig.receivedSinceMark().value(0), received);
    const QStringList rows = monitor->trafficText().split(QStringLiteral("\r\n"));
    EXPECT_EQ(rows.value(rows.lastIndexOf("TX-->  " + received) + 1), row.text("reply row"));
    EXPECT_TRUE(rig.state.AutoFrame);
    EXPECT_EQ(rig.state.CommAbort, !message.isEmpty());
    EXPECT_EQ(
        rig.dialogs.messages.empty() ? QString() : rig.dialogs.texts().last().trimmed().section('\r', 0, 0),
        message);
}

// A device that never answers item 77: the test send times out, and what was clicked meanwhile runs.
struct WindowOnPtyIgnoring77 : Window
{
    WindowOnPtyIgnoring77()
    {
        onPty = true;
        rig.options.ignoreItem = QStringLiteral("77");
    }
};

// Regression: a Read, Download or Calibrate started during a test send went out without its frames
// and failed.
TABLE_TEST_F(WindowOnPtyIgnoring77, WhatIsStartedDuringATestSendGoesOutFramedAfterIt, Table, "queued")
{
    tabs()->setCurrentIndex(2);
    get<QLineEdit>("txtOutput")->setText(QStringLiteral("77i"));
    QTimer closer; // closes the calibration window once it has read both ends
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto *calibration = qobject_cast<frmCalibration *>(QApplication::activeModalWidget());
            calibration && calibration->loaded())
            calibration->close();
    });
    closer.start(10);
    if (row["read first"] == "yes")
        rig.window->transfer().btnRead_Click();
    rig.mark();
    rig.dialogs.clear();
    QTimer::singleShot(100, monitor.get(), [this, name = row["pressed"]] {
        if (auto *action = rig.window->findChild<QAction *>(name))
            action->trigger();
        else
            rig.control<QPushButton>(name)->click();
    });
    get<QPushButton>("btnSend")->click();
    const QStringList expected = QStringList { "<STX>77i<CR>", "77i" } + frameList(row.words("frames"));
    Rig::waitFor([&] { return rig.receivedSinceMark().size() >= expected.size(); }, 2000);
    EXPECT_EQ(rig.receivedSinceMark(), expected);
    EXPECT_EQ(rig.dialogs.texts().join("; ").replace(QLatin1Char('\r'), QLatin1Char(' ')).simplified(),
        row["messages"].simplified());
    EXPECT_TRUE(rig.state.AutoFrame);
    const QStringList rows = monitor->trafficText().split(QStringLiteral("\r\n"));
    EXPECT_TRUE(rows.contains("TX-->  <STX>77i<CR>") && rows.contains("TX-->  77i")
        && rows.contains("TX-->  <STX>" + row["frames"].section(' ', 0, 0) + "<CR>"));
}

// Sending while another exchange waits would break that exchange; closing the window only hides it.
TEST_F(Window, ExchangesWaitingGoOnUndisturbedBySendAndClose)
{
    rig.mark();
    send(QStringLiteral("3i"), false);
    get<QLineEdit>("txtOutput")->setText(QStringLiteral("W"));
    get<QPushButton>("btnSend")->click();
    EXPECT_EQ(rig.state.CommandString,
        QStringLiteral("\x02"
                       "3i\r"));
    EXPECT_TRUE(rig.state.AutoFrame && !rig.state.CommAbort);
    EXPECT_TRUE(Rig::waitFor([this] { return rig.state.ReplyReceived; }, 2000));
    EXPECT_EQ(rig.state.ReplyValue, QStringLiteral("2"));
    EXPECT_EQ(rig.receivedSinceMark(), frames("3i"));

    rig.memory->model().setVersion(QStringLiteral("1.2"));
    tabs()->setCurrentIndex(1);
    tabs()->setCurrentIndex(0);
    QTimer::singleShot(0, monitor.get(), [this] { monitor->close(); }); // the device answers 30 ms later
    rig.state.CommAbort = true; // left over from an earlier failure
    get<QLineEdit>("txtOutput")->setText(QStringLiteral("V"));
    get<QPushButton>("btnSend")->click();
    EXPECT_FALSE(monitor->isVisible());
    EXPECT_TRUE(rig.state.ReplyReceived && rig.state.AutoFrame && !rig.state.CommAbort);
    EXPECT_EQ(rig.state.ReplyValue, QStringLiteral("1.2"));
    EXPECT_TRUE(rig.dialogs.messages.empty());
    // Hidden, it echoes nothing more; what it showed stays.
    EXPECT_EQ(monitor->trafficText(), QStringLiteral("\r\nTX-->  <STX>V<CR>\r\nRX-->  "));
}

} // namespace
