#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTextDocument>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "monitor/frmlinemonitor.h"
#include "scriptedport.h"
#include "support/fakeuserdialogs.h"

namespace {

QString chars(std::initializer_list<int> codes)
{
    QString s;
    for (int c : codes)
        s += QChar(ushort(c));
    return s;
}

class LineMonitor : public ::testing::Test
{
protected:
    LineMonitor()
    {
        link.setPortResolver([](int) { return QStringLiteral("scripted"); });
        link.setEcho(&monitor);
        state.AutoFrame = true;
        state.ReplyReceived = true;
    }

    template<typename T>
    T *control(const char *name)
    {
        T *widget = monitor.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTabBar *tabs() { return control<QTabBar>("TabStrip1"); }
    QPlainTextEdit *comm() { return control<QPlainTextEdit>("txtComm"); }
    QGroupBox *frame() { return control<QGroupBox>("Frame1"); }

    void showMonitor()
    {
        monitor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
    }
    // Rows as the text box shows them, once the event loop has run.
    QStringList shownRows()
    {
        QCoreApplication::processEvents();
        return comm()->document()->toRawText().split(QChar::ParagraphSeparator);
    }
    void countRow(const QString &text)
    {
        monitor.appendText(text + QStringLiteral("\r\n"));
        monitor.UpdateCommTextboxRows();
    }
    // Sends the test string and ends the exchange by two reply time-outs, unless answered first.
    void sendTest(const QString &typed, bool stx, bool cr)
    {
        control<QCheckBox>("ckbAutoSTX")->setChecked(stx);
        control<QCheckBox>("ckbAutoCR")->setChecked(cr);
        control<QLineEdit>("txtOutput")->setText(typed);
        QTimer::singleShot(0, &timer, [this] {
            timer.fire();
            timer.fire();
        });
        control<QPushButton>("btnSend")->click();
    }

    DeviceState state;
    FakeUserDialogs dialogs;
    ScriptedPort port;
    HandTimer timer;
    LinkEngine link{state, port, timer, dialogs};
    AppContext context{state, &link, dialogs};
    frmLineMonitor monitor{context};
};

TEST_F(LineMonitor, ReadExchangeShowsTransmittedAndReceivedRowsInBothModes)
{
    struct Row
    {
        int tab;
        QString tx;
        QString rx;
    };
    const Row rows[] = {
        {0, QStringLiteral("TX-->  <STX>3i<CR>"), QStringLiteral("RX-->  <STX>3i2<CR>")},
        {1, QStringLiteral("TX-->  02 33 69 0D "), QStringLiteral("RX-->  02 33 69 32 0D ")},
    };
    showMonitor();
    for (const Row &row : rows) {
        tabs()->setCurrentIndex(row.tab);
        ASSERT_EQ(state.MonitorRows, 0);
        port.replies.push_back(QByteArray("\x02" "3i2\r"));
        state.CommandString = QStringLiteral("3i");
        link.SendCommand(false);
        EXPECT_EQ(state.ReplyValue, QStringLiteral("2"));
        const QStringList expected{QString(), row.tx, row.rx, QString()};
        EXPECT_EQ(monitor.trafficText().split(QStringLiteral("\r\n")), expected) << row.tab;
        EXPECT_EQ(shownRows(), expected) << row.tab;
        EXPECT_EQ(state.MonitorRows, 4); // 3 for the transmission, 1 for the reply's CR
        tabs()->setCurrentIndex(row.tab == 0 ? 1 : 0);
    }
}

TEST_F(LineMonitor, EveryCharacterCodeIsShownAsTheLinkSendsIt)
{
    static const char *const names[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                          "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                          "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                          "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    QString all, ascii, hex;
    for (int code = 0; code < 256; ++code) {
        all += QChar(ushort(code));
        if (code < 32)
            ascii += QStringLiteral("<%1>").arg(QLatin1String(names[code]));
        else if (code == 127)
            ascii += QStringLiteral("<DEL>");
        else
            ascii += QChar(ushort(code)); // 128 and above as themselves, no-break space included
        hex += QStringLiteral("%1 ").arg(code, 2, 16, QLatin1Char('0')).toUpper();
    }
    showMonitor();
    for (int tab : {0, 1}) {
        tabs()->setCurrentIndex(tab);
        state.CommAbort = false;
        state.AutoFrame = false;
        state.CommandString = all;
        link.SendCommand(true);
        timer.fire();
        timer.fire(); // no reply: ends with the time-out box
        const QStringList rows = shownRows();
        ASSERT_GE(rows.size(), 2);
        EXPECT_EQ(rows.at(1), QStringLiteral("TX-->  ") + (tab == 0 ? ascii : hex)) << tab;
        EXPECT_EQ(monitor.trafficText().split(QStringLiteral("\r\n")).at(1), rows.at(1));
    }
}

TEST_F(LineMonitor, BeyondCountedRowLimitEachCountDeletesExactlyTheOldestRow)
{
    // Part of the text has reached the text box, the rest is still pending: trimming sees both.
    for (int i = 1; i <= 151; ++i) {
        countRow(QStringLiteral("row %1").arg(i));
        if (i % 50 == 0)
            QCoreApplication::processEvents();
    }
    EXPECT_EQ(state.MonitorRows, 151);
    QStringList rows = monitor.trafficText().split(QStringLiteral("\r\n"));
    EXPECT_EQ(rows.size(), 152);
    EXPECT_EQ(rows.first(), QStringLiteral("row 1"));

    for (int extra = 1; extra <= 4; ++extra) {
        if (extra % 2 == 0)
            QCoreApplication::processEvents();
        countRow(QStringLiteral("row %1").arg(151 + extra));
        EXPECT_EQ(state.MonitorRows, 151);
        rows = monitor.trafficText().split(QStringLiteral("\r\n"));
        EXPECT_EQ(rows.size(), 152) << extra;
        EXPECT_EQ(rows.first(), QStringLiteral("row %1").arg(1 + extra));
        EXPECT_EQ(rows.at(150), QStringLiteral("row %1").arg(151 + extra));
    }
    EXPECT_EQ(shownRows(), rows);

    // A text without a row break loses only its first character; an empty one nothing.
    tabs()->setCurrentIndex(1);
    monitor.UpdateCommTextboxRows();
    state.MonitorRows = 151;
    monitor.UpdateCommTextboxRows();
    EXPECT_EQ(monitor.trafficText(), QString());
    monitor.appendText(QStringLiteral("abc"));
    monitor.UpdateCommTextboxRows();
    EXPECT_EQ(monitor.trafficText(), QStringLiteral("bc"));
    EXPECT_EQ(state.MonitorRows, 151);
    QCoreApplication::processEvents();
    monitor.appendText(QStringLiteral("de\r\nfg"));
    monitor.UpdateCommTextboxRows();
    EXPECT_EQ(monitor.trafficText(), QStringLiteral("fg"));
    EXPECT_EQ(shownRows(), QStringList{QStringLiteral("fg")});
}

TEST_F(LineMonitor, RowBreakSplitAcrossAppendsIsOneBreak)
{
    monitor.appendText(QStringLiteral("TX-->  a\r"));
    QCoreApplication::processEvents();
    monitor.appendText(QStringLiteral("\nRX-->  b"));
    EXPECT_EQ(monitor.trafficText(), QStringLiteral("TX-->  a\r\nRX-->  b"));
    EXPECT_EQ(shownRows(), (QStringList{QStringLiteral("TX-->  a"), QStringLiteral("RX-->  b")}));
}

TEST_F(LineMonitor, DisplayTabsSwitchModeClearTextAndRestartCount)
{
    struct Row
    {
        int from;
        int to;
        TrafficEcho::Mode mode;
    };
    const Row rows[] = {{0, 1, TrafficEcho::Mode::Hex}, {1, 0, TrafficEcho::Mode::Ascii}};
    for (const Row &row : rows) {
        ASSERT_EQ(tabs()->currentIndex(), row.from);
        countRow(QStringLiteral("shown"));
        QCoreApplication::processEvents();
        monitor.appendText(QStringLiteral("still pending"));
        state.MonitorRows = 77;
        tabs()->setCurrentIndex(row.to);
        EXPECT_EQ(monitor.mode(), row.mode);
        EXPECT_EQ(state.MonitorRows, 0);
        EXPECT_EQ(monitor.trafficText(), QString());
        QCoreApplication::processEvents();
        EXPECT_TRUE(comm()->toPlainText().isEmpty()) << "a pending append survived the clear";
    }
}

TEST_F(LineMonitor, TestTabOpensFrameKeepsDisplayAndCloseButtonBringsTabBack)
{
    showMonitor();
    monitor.resize(339, 440); // 5085 x 6600 twips
    tabs()->setCurrentIndex(1);
    tabs()->setCurrentIndex(0);
    countRow(QStringLiteral("kept"));
    QTest::mouseClick(tabs(), Qt::LeftButton, {}, tabs()->tabRect(2).center());

    EXPECT_TRUE(frame()->isVisible());
    ASSERT_EQ(tabs()->count(), 2);
    EXPECT_EQ(monitor.mode(), TrafficEcho::Mode::Ascii);
    EXPECT_EQ(monitor.trafficText(), QStringLiteral("kept\r\n"));
    EXPECT_EQ(comm()->height(), 220); // 6600 - 3300 twips
    EXPECT_EQ(frame()->y(), 250);     // 6600 - 2850 twips

    QTest::mouseClick(control<QPushButton>("btnCloseTest"), Qt::LeftButton);
    EXPECT_FALSE(frame()->isVisible());
    ASSERT_EQ(tabs()->count(), 3);
    EXPECT_EQ(tabs()->tabText(2), QStringLiteral("  Test   "));
    EXPECT_EQ(comm()->height(), 380); // 6600 - 900 twips
    EXPECT_EQ(monitor.mode(), TrafficEcho::Mode::Ascii);
}

TEST_F(LineMonitor, ResizeRulesNeverSetANegativeHeight)
{
    struct Row
    {
        bool frameOpen;
        int width;
        int height;
        int commWidth;
        int commHeight;
        int frameTop;
        int closeLeft;
    };
    // Each row starts from 339 x 440 pixels: text box 380 (frame closed) or 220 high, frame top 250.
    const Row rows[] = {
        {false, 339, 440, 332, 380, 250, 309},
        {false, 400, 61, 393, 1, 250, 370},  // 915 twips
        {false, 400, 60, 393, 0, 250, 370},  // 900 twips
        {false, 400, 20, 393, 0, 250, 370},
        {false, 6, 440, 332, 380, 250, 309}, // 90 twips wide: widths stay
        {true, 339, 440, 332, 220, 250, 309},
        {true, 339, 300, 332, 80, 110, 309},
        {true, 339, 200, 332, 220, 10, 309}, // 3000 twips: text box stays, frame moves
        {true, 339, 150, 332, 220, 250, 309}, // 2250 twips: both stay
    };
    showMonitor();
    for (const Row &row : rows) {
        monitor.resize(339, 440);
        if (row.frameOpen != frame()->isVisible()) {
            if (row.frameOpen)
                tabs()->setCurrentIndex(2);
            else
                control<QPushButton>("btnCloseTest")->click();
        }
        monitor.resize(row.width, row.height);
        QCoreApplication::processEvents();
        const QString where = QStringLiteral("%1 x %2 frame %3").arg(row.width).arg(row.height).arg(row.frameOpen);
        EXPECT_EQ(comm()->width(), row.commWidth) << where.toStdString();
        EXPECT_EQ(tabs()->width(), row.commWidth) << where.toStdString();
        EXPECT_EQ(frame()->width(), row.commWidth) << where.toStdString();
        EXPECT_EQ(comm()->height(), row.commHeight) << where.toStdString();
        EXPECT_EQ(frame()->y(), row.frameTop) << where.toStdString();
        EXPECT_EQ(control<QPushButton>("btnCloseTest")->x(), row.closeLeft) << where.toStdString();
    }
}

TEST_F(LineMonitor, PickerAndCheckBoxesEditTheTestString)
{
    tabs()->setCurrentIndex(2);
    showMonitor();
    auto *picker = control<QComboBox>("Combo1");
    auto *output = control<QLineEdit>("txtOutput");
    EXPECT_EQ(picker->currentText(), QStringLiteral("0 - NUL"));

    output->setText(QStringLiteral("3i"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(picker, Qt::Key_Down); // entries 1, 2, 3: NUL, SOH, STX
    EXPECT_EQ(output->text(), QStringLiteral("3i") + chars({0, 1, 2}));
    picker->setCurrentIndex(13);
    QTest::keyClick(picker, Qt::Key_Down); // entry 14: CR
    EXPECT_EQ(output->text().right(1), chars({13}));
    picker->setCurrentIndex(1);
    QTest::keyClick(picker, Qt::Key_Up); // entry 0 inserts nothing
    EXPECT_EQ(output->text().size(), 6);

    auto *stx = control<QCheckBox>("ckbAutoSTX");
    auto *cr = control<QCheckBox>("ckbAutoCR");
    auto *stxLabel = control<QLabel>("lblSTX");
    auto *crLabel = control<QLabel>("lblCR");
    EXPECT_TRUE(stx->isChecked() && cr->isChecked());
    EXPECT_TRUE(stxLabel->isVisible() && crLabel->isVisible());
    QTest::mouseClick(stx, Qt::LeftButton);
    EXPECT_FALSE(stxLabel->isVisible());
    EXPECT_TRUE(crLabel->isVisible());
    QTest::mouseClick(cr, Qt::LeftButton);
    EXPECT_FALSE(crLabel->isVisible());
    QTest::mouseClick(stx, Qt::LeftButton);
    EXPECT_TRUE(stxLabel->isVisible());
}

TEST_F(LineMonitor, SendTransmitsTheTestStringUnframedUnlessTheBoxesAddTheFrame)
{
    struct Row
    {
        QString typed;
        bool stx;
        bool cr;
        QByteArray wire;
    };
    const Row rows[] = {
        {QStringLiteral("3i"), false, false, QByteArray("3i")},
        {QStringLiteral("3i"), true, true, QByteArray("\x02" "3i\r")},
        {chars({2, 'V', 13}), false, false, QByteArray("\x02V\r")},
        {chars({'A', 0xE9}), true, false, QByteArray("\x02" "A\xE9")},
    };
    for (const Row &row : rows) {
        port.writes.clear();
        state.CommAbort = true; // left over from an earlier failure
        sendTest(row.typed, row.stx, row.cr);
        ASSERT_FALSE(port.writes.isEmpty()) << row.typed.toStdString();
        EXPECT_EQ(port.writes.first(), row.wire);
        EXPECT_TRUE(state.AutoFrame);
        EXPECT_TRUE(state.ReplyReceived);
        EXPECT_FALSE(link.exchangeOutstanding());
    }
}

TEST_F(LineMonitor, SendWhileAnotherExchangeWaitsLeavesThatExchangeAlone)
{
    state.CommandString = QStringLiteral("3i");
    link.SendCommand(true);
    ASSERT_TRUE(link.exchangeOutstanding());
    tabs()->setCurrentIndex(2);
    control<QLineEdit>("txtOutput")->setText(QStringLiteral("W"));
    control<QPushButton>("btnSend")->click();

    EXPECT_EQ(port.writes.size(), 1);
    EXPECT_EQ(state.CommandString, QStringLiteral("\x02" "3i\r"));
    EXPECT_TRUE(state.AutoFrame);
    EXPECT_FALSE(state.CommAbort);
    port.feed(QByteArray("\x02" "3i5\r"));
    EXPECT_EQ(state.ReplyValue, QStringLiteral("5"));
}

TEST_F(LineMonitor, ClosingWhileAnExchangeWaitsHidesAndTheExchangeEnds)
{
    showMonitor();
    tabs()->setCurrentIndex(2);
    port.replies.push_back(QByteArray()); // the device answers only after the close
    QPointer<frmLineMonitor> alive(&monitor);
    QTimer::singleShot(0, &monitor, [this] {
        monitor.close();
        port.feed(QByteArray("\x02V1.2\r"));
    });
    control<QLineEdit>("txtOutput")->setText(QStringLiteral("V"));
    control<QPushButton>("btnSend")->click();

    EXPECT_TRUE(alive);
    EXPECT_FALSE(monitor.isVisible());
    EXPECT_TRUE(state.ReplyReceived);
    EXPECT_EQ(state.ReplyValue, QStringLiteral("1.2"));
    EXPECT_FALSE(state.CommAbort);
    EXPECT_TRUE(dialogs.messages.empty());
    // Hidden, it echoes nothing more; what it showed stays.
    EXPECT_EQ(monitor.trafficText(), QStringLiteral("\r\nTX-->  <STX>V<CR>\r\nRX-->  "));
}

} // namespace
