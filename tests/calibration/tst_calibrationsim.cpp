// The calibration window against the simulated device over a real pseudo-terminal.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include "calibration/frmcalibration.h"
#include "calibration/updowncontrol.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "simulateddevice.h"
#include "support/fakeuserdialogs.h"

namespace {

struct SimRig
{
    SimulatedDevice sim;
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link{state, port, timer, dialogs};
    AppContext context{state, &link, dialogs};
    std::unique_ptr<frmCalibration> window;

    explicit SimRig(SimOptions options = {}, qint16 lowCode = 13, qint16 highCode = 14)
        : sim(unpaced(options))
    {
        QString error;
        EXPECT_TRUE(sim.start(&error)) << error.toStdString();
        state.ReplyReceived = true;
        state.AutoFrame = true;
        state.MinDacItem = IntItem{lowCode, 0, 4095, QStringLiteral("i"), 0};
        state.MaxDacItem = IntItem{highCode, 0, 4095, QStringLiteral("i"), 0};
        const QString path = sim.path();
        link.setPortResolver([path](int) { return path; });
    }

    static SimOptions unpaced(SimOptions o)
    {
        o.pacing = false;
        return o;
    }

    // Opens the window the way the menu does, but without a modal loop.
    frmCalibration &open()
    {
        window = std::make_unique<frmCalibration>(context);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return *window;
    }

    template <typename T>
    T *child(const char *name)
    {
        T *w = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    void click(const char *button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    void arrowUp(const char *upDown) { QTest::mouseClick(child<UpDownControl>(upDown)->upButton(), Qt::LeftButton); }
    QString text(const char *name) { return child<QLineEdit>(name)->text(); }

    // Frames the device saw since the last call, as "13i" style bodies.
    QStringList sent()
    {
        QThread::msleep(20); // the device thread logs a frame as it takes it
        QStringList bodies;
        const QStringList all = sim.received();
        for (int i = m_seen; i < all.size(); ++i) {
            QString b = all[i];
            b.remove(QStringLiteral("<STX>")).remove(QStringLiteral("<CR>"));
            bodies << b;
        }
        m_seen = int(all.size());
        return bodies;
    }

private:
    int m_seen = 0;
};

} // namespace

TEST(CalibrationOnDevice, OpeningReadsBothEndsAndMovesNoOutput)
{
    SimRig rig;
    rig.open();
    EXPECT_EQ(rig.sent(), QStringList({"13i", "14i"}));
    EXPECT_EQ(rig.text("txtLowDAC"), QStringLiteral("800"));
    EXPECT_EQ(rig.text("txtHiDAC"), QStringLiteral("4000"));
    EXPECT_EQ(rig.child<UpDownControl>("UpDownLowDAC")->value(), 800);
    EXPECT_EQ(rig.child<UpDownControl>("UpDownHiDAC")->value(), 4000);
    EXPECT_EQ(rig.state.MinDacItem.value, 800);
    EXPECT_EQ(rig.state.MaxDacItem.value, 4000);
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(CalibrationOnDevice, TestLevelsOfFourToTwentyMilliamps)
{
    SimRig rig;
    rig.open();
    rig.sent();
    auto *upDown = rig.child<UpDownControl>("UpDownTest");
    EXPECT_EQ(rig.child<QLabel>("lblOutput")->text(), QStringLiteral("4-20mA"));
    EXPECT_EQ(upDown->minimum(), 4);
    EXPECT_EQ(upDown->maximum(), 20);
    upDown->setValue(12);
    upDown->setValue(20);
    upDown->setValue(4);
    rig.arrowUp("UpDownTest");
    EXPECT_EQ(rig.sent(), QStringList({"99f50", "99f100", "99f0", "99f6.25"}));
    EXPECT_EQ(rig.child<QLabel>("lblTest")->text(), QStringLiteral("5"));
    EXPECT_DOUBLE_EQ(rig.sim.itemValue(99), 6.25);
    EXPECT_TRUE(rig.dialogs.messages.empty());
}

TEST(CalibrationOnDevice, ZeroToFiveVoltsAndOutputMinMax)
{
    SimRig rig;
    rig.state.OutputType = 1;
    rig.open();
    rig.sent();
    EXPECT_EQ(rig.child<QLabel>("lblLowDAC")->text(), QStringLiteral("0V"));
    EXPECT_EQ(rig.child<QLabel>("lblHiDAC")->text(), QStringLiteral("5V"));
    EXPECT_EQ(rig.child<QLabel>("lblTest")->text(), QStringLiteral("0"));
    rig.child<UpDownControl>("UpDownTest")->setValue(3);
    rig.click("btnMax");
    rig.click("btnMax");
    rig.click("btnMin");
    rig.click("btnMin");
    EXPECT_EQ(rig.sent(), QStringList({"99f60", "99f100", "99f0"}));
}

TEST(CalibrationOnDevice, SensorArrayDeviceInZeroToTenVolts)
{
    SimOptions o;
    o.family = QStringLiteral("MR");
    o.outputType = 2;
    SimRig rig(o, 15, 16);
    rig.state.OutputType = 2;
    rig.open();
    EXPECT_EQ(rig.sent(), QStringList({"15i", "16i"}));
    EXPECT_EQ(rig.child<QLabel>("lblOutput")->text(), QStringLiteral("0-10V"));
    EXPECT_EQ(rig.child<QLabel>("lblHiDAC")->text(), QStringLiteral("10V"));
    rig.child<UpDownControl>("UpDownTest")->setValue(7);
    rig.click("btnMax");
    rig.arrowUp("UpDownHiDAC");
    EXPECT_EQ(rig.sent(), QStringList({"99f70", "99f100", "16i4001"}));
    EXPECT_DOUBLE_EQ(rig.sim.itemValue(16), 4001);
}

TEST(CalibrationOnDevice, ArrowClickWritesOnceAndTypingFollowsEachDigit)
{
    SimRig rig;
    rig.open();
    rig.sent();
    rig.arrowUp("UpDownLowDAC");
    EXPECT_EQ(rig.sent(), QStringList{"13i801"});
    EXPECT_EQ(rig.text("txtLowDAC"), QStringLiteral("801"));
    EXPECT_DOUBLE_EQ(rig.sim.itemValue(13), 801);

    auto *box = rig.child<QLineEdit>("txtLowDAC");
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("512"));
    EXPECT_EQ(rig.sent(), QStringList({"13i5", "13i51", "13i512"}));
    EXPECT_EQ(rig.child<UpDownControl>("UpDownLowDAC")->value(), 512);
    EXPECT_EQ(rig.state.MinDacItem.value, 512);
}

TEST(CalibrationOnDevice, EntryAboveTheMaximumIsRefusedAndTheLastValueResent)
{
    SimRig rig;
    rig.open();
    rig.sent();
    rig.child<QLineEdit>("txtHiDAC")->setText(QStringLiteral("4096"));
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, QStringLiteral("Invalid entry, value must be between 0 and 4095"));
    EXPECT_EQ(rig.dialogs.messages[0].icon, UserDialogs::Icon::Exclamation);
    EXPECT_EQ(rig.text("txtHiDAC"), QStringLiteral("4000"));
    EXPECT_EQ(rig.sent(), QStringList{"14i4000"});
    EXPECT_EQ(rig.state.MaxDacItem.value, 4000);
}

TEST(CalibrationOnDevice, ClosingStoresThenAsksFrequencyOnEveryWayOut)
{
    const std::function<void(frmCalibration &)> ways[] = {
        [](frmCalibration &w) { w.close(); },
        [](frmCalibration &w) { w.reject(); },
        [](frmCalibration &w) { QTest::keyClick(&w, Qt::Key_Escape); },
    };
    for (const auto &closeIt : ways) {
        SimRig rig;
        frmCalibration &w = rig.open();
        rig.sent();
        closeIt(w);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(rig.sent(), QStringList({"W", "F"}));
    }
}

TEST(CalibrationOnDevice, FailedOpeningShowsTheReplyAndAnArrowResumesTraffic)
{
    struct Row
    {
        const char *name;
        SimOptions options;
        bool latched; // an earlier sequence left the error latch set
        const char *boxText;
        QStringList openingWire;
    };
    SimOptions silent;
    silent.silent = true;
    SimOptions garbled;
    garbled.garble = 1.0;
    SimOptions rejecting;
    rejecting.errorCode = 11;
    rejecting.errorItem = QStringLiteral("13");
    const Row rows[] = {
        {"no reply", silent, false, "NoRsp", {"13i", "13i"}},
        {"invalid reply", garbled, false, "Inval", {"13i", "13i", "13i"}},
        {"device error", rejecting, false, "", {"13i"}},
        {"latched", SimOptions{}, true, "", {}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        SimRig rig(r.options);
        rig.state.CommAbort = r.latched;
        rig.state.ReplyValue.clear();
        rig.open();
        EXPECT_EQ(rig.sent(), r.openingWire);
        EXPECT_EQ(rig.text("txtLowDAC"), QLatin1String(r.boxText));
        EXPECT_EQ(rig.text("txtHiDAC"), QLatin1String(r.boxText));
        EXPECT_EQ(rig.state.MinDacItem.value, 0);
        EXPECT_TRUE(rig.state.CommAbort);
        rig.arrowUp("UpDownHiDAC");
        const QStringList resumed = rig.sent();
        ASSERT_FALSE(resumed.isEmpty());
        EXPECT_EQ(resumed.first(), QStringLiteral("14i1"));
    }
}
