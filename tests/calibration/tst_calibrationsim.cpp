// The calibration window against the simulated device over a real pseudo-terminal.

#include <gtest/gtest.h>

#include <functional>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "calibration/frmcalibration.h"
#include "calibration/updowncontrol.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "simulateddevice.h"
#include "fakeuserdialogs.h"

namespace {

struct SimRig
{
    SimulatedDevice sim;
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link { state, port, timer, dialogs };
    AppContext context { state, &link, dialogs };
    std::unique_ptr<frmCalibration> window;
    int seen = 0;

    // Opens the window as the menu does, without the modal loop; latched: an earlier sequence failed.
    explicit SimRig(SimOptions options = {}, qint16 lowCode = 13, qint16 outputType = 0, bool latched = false)
        : sim((options.pacing = false, options))
    {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        state.ReplyReceived = state.AutoFrame = true;
        state.OutputType = outputType;
        state.CommAbort = latched;
        state.MinDacItem = IntItem { lowCode, 0, 4095, QStringLiteral("i"), 0 };
        state.MaxDacItem = IntItem { qint16(lowCode + 1), 0, 4095, QStringLiteral("i"), 0 };
        link.setPortResolver([path = sim.path()](int) { return path; });
        window = std::make_unique<frmCalibration>(context);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T = QLineEdit> T *child(const char *name)
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    QString text(const char *name)
    {
        const QLabel *label = child<QLabel>(name);
        return label ? label->text() : child(name)->text();
    }
    void click(const char *name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void arrowUp(const char *name)
    {
        QTest::mouseClick(child<UpDownControl>(name)->upButton(), Qt::LeftButton);
    }
    void setLevel(int level) { child<UpDownControl>("UpDownTest")->setValue(level); }

    // Bodies of the frames the device took since the last call.
    QStringList sent()
    {
        QThread::msleep(20);
        const QStringList all = sim.received();
        QStringList bodies = all.mid(seen);
        seen = int(all.size());
        return bodies.replaceInStrings(QStringLiteral("<STX>"), QString())
            .replaceInStrings(QStringLiteral("<CR>"), QString());
    }
};

} // namespace

TEST(CalibrationOnDevice, OpeningReadsBothEndsThenTestLevelsFollowTheOutputType)
{
    struct Row
    {
        const char *family;
        qint16 outputType, lowCode;
        const char *opening, *output, *high;
        std::function<void(SimRig &)> steps;
        QStringList wire;
    };
    const Row rows[]
        = { { "Dravion", 0, 13, "13i 14i", "4-20mA", "20mA",
                [](SimRig &r) { r.setLevel(12), r.setLevel(20), r.setLevel(4), r.arrowUp("UpDownTest"); },
                { "99f50", "99f100", "99f0", "99f6.25" } },
              { "Dravion", 1, 13, "13i 14i", "0-5V", "5V",
                  [](SimRig &r) {
                      r.setLevel(3), r.click("btnMax"), r.click("btnMax"), r.click("btnMin"),
                          r.click("btnMin");
                  },
                  { "99f60", "99f100", "99f0" } },
              { "MR", 2, 15, "15i 16i", "0-10V", "10V",
                  [](SimRig &r) { r.setLevel(7), r.click("btnMax"), r.arrowUp("UpDownHiDAC"); },
                  { "99f70", "99f100", "16i4001" } } };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.output);
        SimOptions o;
        o.family = QString::fromLatin1(row.family);
        SimRig rig(o, row.lowCode, row.outputType);
        EXPECT_EQ(rig.sent(), QString::fromLatin1(row.opening).split(' ')); // and no test command
        EXPECT_EQ(rig.text("txtLowDAC"), QStringLiteral("800"));
        EXPECT_EQ(rig.text("txtHiDAC"), QStringLiteral("4000"));
        EXPECT_EQ(rig.child<UpDownControl>("UpDownLowDAC")->value(), 800);
        EXPECT_EQ(rig.state.MaxDacItem.value, 4000);
        EXPECT_EQ(rig.text("lblOutput"), QLatin1String(row.output));
        EXPECT_EQ(rig.text("lblHiDAC"), QLatin1String(row.high));
        row.steps(rig);
        EXPECT_EQ(rig.sent(), row.wire);
        EXPECT_TRUE(rig.dialogs.messages.empty());
    }
}

TEST(CalibrationOnDevice, ArrowClickWritesOnceAndTypingFollowsEachDigit)
{
    SimRig rig;
    rig.sent();
    rig.arrowUp("UpDownLowDAC");
    EXPECT_EQ(rig.sent(), QStringList { "13i801" });
    EXPECT_EQ(rig.text("txtLowDAC"), QStringLiteral("801"));
    EXPECT_DOUBLE_EQ(rig.sim.itemValue(13), 801);
    QLineEdit *box = rig.child("txtLowDAC");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("512"));
    EXPECT_EQ(rig.sent(), QStringList({ "13i5", "13i51", "13i512" }));
    EXPECT_EQ(rig.child<UpDownControl>("UpDownLowDAC")->value(), 512);
    EXPECT_EQ(rig.state.MinDacItem.value, 512);
}

// Regression: clicks and closing during a write were refused, leaving the device behind the screen.
TEST(CalibrationOnDevice, WhatHappensDuringAWriteFollowsItInOrder)
{
    const struct
    {
        const char *name;
        std::function<void(SimRig &)> meanwhile; // while the first write waits for its reply
        QStringList sent;
        double stored; // the device's low end afterwards
    } rows[] = {
        { "nine more clicks, each while the last one waits",
            [](SimRig &r) {
                for (int i = 0; i < 9; ++i)
                    QTimer::singleShot(2 * i, [&r] { r.arrowUp("UpDownLowDAC"); });
            },
            { "13i801", "13i802", "13i803", "13i804", "13i805", "13i806", "13i807", "13i808", "13i809",
                "13i810" },
            810 },
        { "closing", [](SimRig &r) { r.window->close(); }, { "13i801", "W", "F" }, 801 },
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        SimOptions slow;
        slow.latencyMs = 40;
        SimRig rig(slow);
        rig.sent();
        QTimer::singleShot(5, [&] { r.meanwhile(rig); });
        rig.arrowUp("UpDownLowDAC");
        QTest::qWait(20);
        EXPECT_EQ(rig.sent(), r.sent);
        EXPECT_FALSE(rig.link.exchangeOutstanding());
        EXPECT_EQ(rig.sim.itemValue(13), r.stored);
        EXPECT_EQ(rig.text("txtLowDAC"), QString::number(r.stored));
        EXPECT_EQ(rig.state.MinDacItem.value, r.stored);
        EXPECT_TRUE(rig.dialogs.messages.empty());
    }
}

TEST(CalibrationOnDevice, EntryAboveTheMaximumIsRefusedAndTheLastValueResent)
{
    SimRig rig;
    rig.sent();
    rig.child("txtHiDAC")->setText(QStringLiteral("4096"));
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(
        rig.dialogs.messages[0].text, QStringLiteral("Invalid entry, value must be between 0 and 4095"));
    EXPECT_EQ(rig.dialogs.messages[0].icon, UserDialogs::Icon::Exclamation);
    EXPECT_EQ(rig.dialogs.messages[0].title, UserDialogs::defaultTitle());
    EXPECT_EQ(rig.text("txtHiDAC"), QStringLiteral("4000"));
    EXPECT_EQ(rig.sent(), QStringList { "14i4000" });
}

TEST(CalibrationOnDevice, ClosingStoresThenAsksFrequencyOnEveryWayOut)
{
    const std::function<void(frmCalibration &)> ways[]
        = { [](frmCalibration &w) { w.close(); }, [](frmCalibration &w) { w.reject(); },
              [](frmCalibration &w) { QTest::keyClick(&w, Qt::Key_Escape); } };
    for (const auto &closeIt : ways) {
        SimRig rig;
        rig.sent();
        closeIt(*rig.window);
        EXPECT_FALSE(rig.window->isVisible());
        EXPECT_EQ(rig.sent(), QStringList({ "W", "F" }));
    }
}

TEST(CalibrationOnDevice, FailedOpeningShowsTheReplyAndAnArrowResumesTraffic)
{
    SimOptions silent, garbled, rejecting;
    silent.silent = true;
    garbled.garble = 1.0;
    rejecting.errorCode = 11;
    rejecting.errorItem = QStringLiteral("13");
    const struct
    {
        SimOptions options;
        bool latched;
        const char *boxText;
        QStringList openingWire;
    } rows[] = { { silent, false, "NoRsp", { "13i", "13i" } },
        { garbled, false, "Inval", { "13i", "13i", "13i" } }, { rejecting, false, "", { "13i" } },
        { SimOptions {}, true, "", {} } };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.boxText);
        SimRig rig(r.options, 13, 0, r.latched);
        EXPECT_EQ(rig.sent(), r.openingWire);
        EXPECT_EQ(rig.text("txtLowDAC"), QLatin1String(r.boxText));
        EXPECT_EQ(rig.text("txtHiDAC"), QLatin1String(r.boxText));
        EXPECT_EQ(rig.state.MinDacItem.value, 0);
        EXPECT_TRUE(rig.state.CommAbort);
        rig.arrowUp("UpDownHiDAC");
        EXPECT_EQ(rig.sent().value(0), QStringLiteral("14i1"));
    }
}
