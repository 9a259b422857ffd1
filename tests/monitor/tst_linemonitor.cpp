#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "monitor/frmlinemonitor.h"
#include "simulatedport.h"
#include "fakeuserdialogs.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

class LineMonitor : public ::testing::Test
{
protected:
    LineMonitor()
    {
        link.setPortResolver([](int) { return QStringLiteral("memory"); });
        link.setEcho(&monitor);
        state.AutoFrame = state.ReplyReceived = true;
        port.model().setValue(3, 2);
        monitor.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&monitor));
    }
    template<typename T>
    T *get(const char *name) { return monitor.findChild<T *>(QString::fromLatin1(name)); }
    QTabBar *tabs() { return get<QTabBar>("TabStrip1"); }
    QPlainTextEdit *comm() { return get<QPlainTextEdit>("txtComm"); }
    QGroupBox *frame() { return get<QGroupBox>("Frame1"); }
    QStringList rows() { return monitor.trafficText().split(CrLf); }
    QStringList shownRows() // as the text box shows them once the event loop has run
    {
        QCoreApplication::processEvents();
        return comm()->document()->toRawText().split(QChar::ParagraphSeparator);
    }
    // The resize rules take the window's outer height, title bar and borders included.
    void resizeOuter(int width, int height)
    {
        monitor.resize(width, height - (monitor.frameGeometry().height() - monitor.height()));
    }
    void countRow(const QString &text)
    {
        monitor.appendText(text + CrLf);
        monitor.UpdateCommTextboxRows();
    }
    static SimOptions slowDevice()
    {
        SimOptions o;
        o.latencyMs = 30;
        return o;
    }

    DeviceState state;
    FakeUserDialogs dialogs;
    SimulatedPort port{slowDevice()};
    QtReplyTimer timer{100}; // short, so unanswered exchanges end quickly
    LinkEngine link{state, port, timer, dialogs};
    AppContext context{state, &link, dialogs};
    frmLineMonitor monitor{context};
};

TEST_F(LineMonitor, ReadExchangeShowsTransmittedAndReceivedRowsInBothModes)
{
    const struct { int tab; const char *tx; const char *rx; } cases[] = {
        {0, "TX-->  <STX>3i<CR>", "RX-->  <STX>3i2<CR>"},
        {1, "TX-->  02 33 69 0D ", "RX-->  02 33 69 32 0D "},
    };
    for (const auto &c : cases) {
        tabs()->setCurrentIndex(1 - c.tab);
        tabs()->setCurrentIndex(c.tab);
        state.CommandString = QStringLiteral("3i");
        link.SendCommand(false);
        const QStringList expected{QString(), QLatin1String(c.tx), QLatin1String(c.rx), QString()};
        EXPECT_EQ(rows(), expected);
        EXPECT_EQ(shownRows(), expected);
        EXPECT_EQ(state.MonitorRows, 4); // 3 for the transmission, 1 for the reply's CR
    }
}

TEST_F(LineMonitor, EveryCharacterCodeIsShownAsTransmitted)
{
    const QStringList names = QStringLiteral("NUL SOH STX ETX EOT ENQ ACK BEL BS HT LF VT FF CR SO SI DLE DC1 "
                                             "DC2 DC3 DC4 NAK SYN ETB CAN EM SUB ESC FS GS RS US").split(' ');
    QString all, ascii, hex;
    for (int code = 0; code < 256; ++code) {
        all += QChar(ushort(code));
        ascii += code < 32 ? QStringLiteral("<%1>").arg(names.at(code))
                 : code == 127 ? QStringLiteral("<DEL>")
                               : QString(QChar(ushort(code))); // 128 and up as themselves, 0xA0 too
        hex += QStringLiteral("%1 ").arg(code, 2, 16, QLatin1Char('0')).toUpper();
    }
    for (int tab : {1, 0}) {
        tabs()->setCurrentIndex(tab);
        state.AutoFrame = state.CommAbort = false;
        state.CommandString = all;
        link.SendCommand(true);
        EXPECT_EQ(rows().value(1), QStringLiteral("TX-->  ") + (tab ? hex : ascii));
        EXPECT_EQ(shownRows().value(1), rows().value(1));
        EXPECT_TRUE(QTest::qWaitFor([this] { return state.ReplyReceived; }, 2000));
    }
}

TEST_F(LineMonitor, BeyondCountedRowLimitEachCountDeletesExactlyTheOldestRow)
{
    // Part of the text reaches the text box, the rest is still pending: trimming sees both.
    for (int i = 1; i <= 155; ++i) {
        countRow(QStringLiteral("row %1").arg(i));
        if (i % 50 == 0 || i == 154)
            QCoreApplication::processEvents();
        EXPECT_EQ(state.MonitorRows, std::min(i, 151));
        EXPECT_EQ(rows().first(), QStringLiteral("row %1").arg(std::max(1, i - 150)));
        EXPECT_EQ(rows().size(), std::min(i, 151) + 1);
    }
    EXPECT_EQ(shownRows(), rows());

    // Without a row break only the first character goes; a break still pending counts as one.
    const struct { const char *shown; const char *pending; const char *left; } cases[] = {
        {"", "", ""}, {"", "abc", "bc"}, {"abc", "", "bc"}, {"ab", "c\r\nd", "d"}, {"", "a\r\nb\r\n", "b\r\n"},
    };
    for (const auto &c : cases) {
        tabs()->setCurrentIndex(1 - tabs()->currentIndex());
        monitor.appendText(QLatin1String(c.shown));
        QCoreApplication::processEvents();
        monitor.appendText(QLatin1String(c.pending));
        state.MonitorRows = 151;
        monitor.UpdateCommTextboxRows();
        EXPECT_EQ(monitor.trafficText(), QLatin1String(c.left)) << c.shown << "|" << c.pending;
        EXPECT_EQ(shownRows().join(CrLf), QLatin1String(c.left));
    }
}

TEST_F(LineMonitor, DisplayTabsClearTextAndCountAndTestTabKeepsTheDisplay)
{
    for (int tab : {1, 0}) {
        countRow(QStringLiteral("shown"));
        QCoreApplication::processEvents();
        monitor.appendText(QStringLiteral("pending\r"));
        tabs()->setCurrentIndex(tab);
        EXPECT_EQ(monitor.mode(), tab ? TrafficEcho::Mode::Hex : TrafficEcho::Mode::Ascii);
        EXPECT_EQ(state.MonitorRows, 0);
        monitor.appendText(QStringLiteral("\nx")); // the LF of a cleared CR is a row break of its own
        EXPECT_EQ(shownRows(), (QStringList{QString(), QStringLiteral("x")}));
    }
    resizeOuter(339, 440); // 5085 x 6600 twips
    for (int i = 0; i < 60; ++i)
        countRow(QStringLiteral("row"));
    QCoreApplication::processEvents();
    QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(2).center());
    EXPECT_TRUE(frame()->isVisible());
    EXPECT_EQ(tabs()->count(), 2);
    EXPECT_EQ(monitor.mode(), TrafficEcho::Mode::Ascii);
    EXPECT_TRUE(monitor.trafficText().startsWith(QStringLiteral("\r\nxrow\r\n")));
    QCoreApplication::processEvents();
    EXPECT_EQ(comm()->verticalScrollBar()->value(), comm()->verticalScrollBar()->maximum()) << "not kept at the end";
    EXPECT_EQ(comm()->height(), 220); // 6600 - 3300 twips

    QTest::mouseClick(get<QPushButton>("btnCloseTest"), Qt::LeftButton);
    EXPECT_FALSE(frame()->isVisible());
    EXPECT_EQ(tabs()->count(), 3);
    EXPECT_EQ(tabs()->tabText(2), QStringLiteral("  Test   "));
    EXPECT_EQ(comm()->height(), 380); // 6600 - 900 twips
}

TEST_F(LineMonitor, ResizeRulesNeverSetANegativeHeight)
{
    // From 339 x 440 pixels outside: text box 332 wide, 380 high (220 with the frame), frame top 250.
    const struct { bool open; int width, height, inner, commHeight, frameTop, closeLeft; } cases[] = {
        {false, 400, 61, 393, 1, 250, 370}, // 915 twips high
        {false, 400, 60, 393, 0, 250, 370}, // 900
        {false, 400, 20, 393, 0, 250, 370},
        {false, 6, 440, 332, 380, 250, 309}, // 90 twips wide: widths stay
        {true, 339, 300, 332, 80, 110, 309},
        {true, 339, 200, 332, 220, 10, 309}, // 3000 twips: text box stays, frame moves
        {true, 339, 150, 332, 220, 250, 309}, // 2250: both stay
    };
    for (const auto &c : cases) {
        resizeOuter(339, 440);
        if (c.open)
            tabs()->setCurrentIndex(2);
        else
            get<QPushButton>("btnCloseTest")->click();
        resizeOuter(c.width, c.height);
        QCoreApplication::processEvents();
        const auto actual = {comm()->width(), tabs()->width(), frame()->width(), comm()->height(),
                             frame()->y(), get<QPushButton>("btnCloseTest")->x()};
        EXPECT_EQ(std::vector<int>(actual),
                  std::vector<int>({c.inner, c.inner, c.inner, c.commHeight, c.frameTop, c.closeLeft}))
            << c.width << " x " << c.height << " frame " << c.open;
    }
}

TEST_F(LineMonitor, PickerAndCheckBoxesEditTheTestString)
{
    tabs()->setCurrentIndex(2);
    auto *picker = get<QComboBox>("Combo1");
    auto *output = get<QLineEdit>("txtOutput");
    EXPECT_EQ(picker->currentText(), QStringLiteral("0 - NUL"));
    EXPECT_EQ(picker->count(), 33);
    EXPECT_EQ(picker->itemText(3), QStringLiteral("3 - STX (code 2)"));
    output->setText(QStringLiteral("3i"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(picker, Qt::Key_Down); // entries 1, 2, 3 insert codes 0, 1, 2
    picker->setCurrentIndex(32);
    QTest::keyClick(picker, Qt::Key_Up); // entry 31: code 30
    QTest::keyClick(picker, Qt::Key_Home); // entry 0 inserts nothing
    EXPECT_EQ(output->text(), QStringLiteral("3i") + QChar(0) + QChar(1) + QChar(2) + QChar(30));

    for (auto [box, label] : {std::pair{"ckbAutoSTX", "lblSTX"}, std::pair{"ckbAutoCR", "lblCR"}}) {
        EXPECT_TRUE(get<QCheckBox>(box)->isChecked() && get<QLabel>(label)->isVisible());
        QTest::mouseClick(get<QCheckBox>(box), Qt::LeftButton);
        EXPECT_FALSE(get<QLabel>(label)->isVisible()) << label;
    }
    QTest::mouseClick(get<QCheckBox>("ckbAutoSTX"), Qt::LeftButton);
    EXPECT_TRUE(get<QLabel>("lblSTX")->isVisible());
    EXPECT_FALSE(get<QLabel>("lblCR")->isVisible());
}

TEST_F(LineMonitor, SendWhileAnotherExchangeWaitsLeavesThatExchangeAlone)
{
    state.CommandString = QStringLiteral("3i");
    link.SendCommand(true);
    get<QLineEdit>("txtOutput")->setText(QStringLiteral("W"));
    get<QPushButton>("btnSend")->click();
    EXPECT_EQ(state.CommandString, QStringLiteral("\x02" "3i\r"));
    EXPECT_TRUE(state.AutoFrame);
    EXPECT_FALSE(state.CommAbort);
    EXPECT_TRUE(QTest::qWaitFor([this] { return state.ReplyReceived; }, 2000));
    EXPECT_EQ(state.ReplyValue, QStringLiteral("2"));
    EXPECT_EQ(port.received(), QStringList{QStringLiteral("<STX>3i<CR>")});
}

TEST_F(LineMonitor, ClosingWhileAnExchangeWaitsHidesAndTheExchangeEnds)
{
    port.model().setVersion(QStringLiteral("1.2"));
    const QPointer<frmLineMonitor> alive(&monitor);
    QTimer::singleShot(0, &monitor, [this] { monitor.close(); }); // the device answers 30 ms later
    state.CommAbort = true; // left over from an earlier failure
    get<QLineEdit>("txtOutput")->setText(QStringLiteral("V"));
    get<QPushButton>("btnSend")->click();

    EXPECT_TRUE(alive && !monitor.isVisible());
    EXPECT_TRUE(state.ReplyReceived && state.AutoFrame && !state.CommAbort);
    EXPECT_EQ(state.ReplyValue, QStringLiteral("1.2"));
    EXPECT_TRUE(dialogs.messages.empty());
    // Hidden, it echoes nothing more; what it showed stays.
    EXPECT_EQ(monitor.trafficText(), QStringLiteral("\r\nTX-->  <STX>V<CR>\r\nRX-->  "));
}

// Stamps are off when the monitor opens; on, rows start with the time of day and a reply the
// device completed ends with its time since the command, while a row cut short by a resend does not.
TEST_F(LineMonitor, TimeStampsMarkRowsAndCompleteRepliesOnly)
{
    QTime timeOfDay(10, 15, 2, 345);
    qint64 ms = 5000;
    monitor.setClock({[&] { return timeOfDay; }, [&] { return ms; }});
    auto *stamps = get<QCheckBox>("ckbTimeStamps");
    EXPECT_FALSE(stamps->isChecked());
    QTest::mouseClick(stamps, Qt::LeftButton);

    state.CommandString = QStringLiteral("3i");
    link.SendCommand(true);
    timeOfDay = timeOfDay.addMSecs(18);
    ms += 18;
    EXPECT_TRUE(QTest::qWaitFor([this] { return state.ReplyReceived; }, 2000));
    state.AutoFrame = false; // no CR: the device ignores it, the link resends once and gives up
    state.CommandString = QStringLiteral("\x02" "3i");
    link.SendCommand(false);
    state.AutoFrame = true;
    EXPECT_EQ(rows(), (QStringList{QString(), QStringLiteral("10:15:02.345  TX-->  <STX>3i<CR>"),
                                   QStringLiteral("10:15:02.345  RX-->  <STX>3i2<CR>  (18 ms)"),
                                   QString(), QStringLiteral("10:15:02.363  TX-->  <STX>3i"),
                                   QStringLiteral("10:15:02.363  RX-->  "), QStringLiteral("10:15:02.363  TX-->  3"),
                                   QStringLiteral("10:15:02.363  RX-->  ")}));
    EXPECT_EQ(shownRows().join(CrLf), monitor.trafficText());

    QTest::mouseClick(stamps, Qt::LeftButton);
    tabs()->setCurrentIndex(1);
    state.CommAbort = false;
    state.CommandString = QStringLiteral("3i");
    link.SendCommand(false);
    EXPECT_EQ(rows(), (QStringList{QString(), QStringLiteral("TX-->  02 33 69 0D "),
                                   QStringLiteral("RX-->  02 33 69 32 0D "), QString()}));
}

TEST_F(LineMonitor, SaveTrafficWritesTheShownTextOrNothing)
{
    QTemporaryDir dir;
    state.CommandString = QStringLiteral("3i");
    link.SendCommand(false);
    const QString good = dir.filePath(QStringLiteral("traffic.txt"));
    const QString bad = dir.filePath(QStringLiteral("no such folder/traffic.txt"));
    dialogs.fileAnswers = {good, bad, std::nullopt};
    for (int i = 0; i < 3; ++i)
        get<QPushButton>("btnSaveTraffic")->click();

    QFile saved(good);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), QStringLiteral("\r\nTX-->  <STX>3i<CR>\r\nRX-->  <STX>3i2<CR>\r\n"));
    EXPECT_TRUE(dialogs.fileDialogs.at(0).overwritePrompt);
    ASSERT_EQ(dialogs.messages.size(), 1u); // the failure only; a cancel says nothing
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Unable to save the traffic to ") + bad));
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"traffic.txt"});
}

} // namespace
