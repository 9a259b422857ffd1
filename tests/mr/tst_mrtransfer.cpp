#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "linear/frmlinearpoints.h"
#include "link/serialdeviceport.h"
#include "mrrig.h"
#include "simulateddevice.h"
#include "transfer/frmprogress.h"
#include "transfer/setuptransfer.h"

namespace {

// A device set up as an operator would leave it: Kgs, Gas (so every field is in use), 0-10 V.
const std::map<int, double> FullDevice = {
    {1, 1},     {2, 3},     {3, 2},    {4, 1},    {5, 3},    {6, 0.85}, {7, 2.5},  {8, 2},
    {9, 100},   {10, 20.5}, {11, 1.25}, {12, 0.5}, {13, 12},  {14, 2},   {17, 1.5}, {18, 250},
    {19, 7},    {100, 2},   {101, 10}, {102, 1.5}, {103, 250}, {104, 0.75},
};

QStringList readTraffic()
{
    QStringList bodies{"V", "I", "1i", "2i", "3i", "4i", "5i", "6f", "7f", "8i", "9f", "10f", "11f", "12f", "13i",
                       "14i", "17f", "18f", "19i", "100i"};
    for (int i = 0; i < 10; ++i)
        bodies << QStringLiteral("%1i").arg(101 + 2 * i) << QStringLiteral("%1f").arg(102 + 2 * i);
    return frames(bodies);
}

struct Recorder
{
    QStringList percents;
    explicit Recorder(MrRig &rig)
    {
        frmProgress *progress = rig.window->transfer().progressWindow();
        QObject::connect(progress, &frmProgress::percentChanged, [this](const QString &t) { percents << t; });
    }
};

// Fills the window through its controls, as the user would.
void enterSetup(MrRig &rig, int rateUnit, int meterType)
{
    MrControls &c = rig.c();
    c.cboDisplayMode->setCurrentIndex(1);
    c.cboRateUnits->setCurrentIndex(rateUnit);
    c.cboRateInterval->setCurrentIndex(2);
    c.cboTotalUnits->setCurrentIndex(1);
    c.cboDisplayExp->setCurrentIndex(0);
    c.cboMeterType->setCurrentIndex(meterType);
    c.cboOutputMode->setCurrentIndex(1);
    c.txtScaleFactor->setText(QStringLiteral("2.5"));
    c.txtSPGcomp->setText(QStringLiteral("1.25"));
    c.txtLowFlowCutoff->setText(QStringLiteral("0.5"));
    c.txtDamping->setText(QStringLiteral("12"));
    c.txtFlowLow->setText(QStringLiteral("1.5"));
    c.txtFlowHi->setText(QStringLiteral("250"));
    c.txtPassword->setText(QStringLiteral("7"));
    c.txtLinearPts->setText(QStringLiteral("2"));
    frmLinearPoints *points = rig.window->linearPointsWindow();
    points->txtFreq(0)->setText(QStringLiteral("10"));
    points->txtCoef(0)->setText(QStringLiteral("1.5"));
    points->txtFreq(1)->setText(QStringLiteral("250"));
    points->txtCoef(1)->setText(QStringLiteral("0.75"));
}

} // namespace

TEST(MrTransferTest, ReadTakesTheMrOrderInThirtySevenStepsAndFillsTheWindow)
{
    MrRig rig(FullDevice, 1);
    Recorder recorder(rig);
    rig.c().btnRead->click();

    EXPECT_EQ(rig.received(), readTraffic());
    EXPECT_EQ(rig.dialogs.texts(), QStringList{"Read Successful"});
    EXPECT_EQ(rig.window->statusText(), "Status:  Read Successful");
    // 2N + 17 equal steps with N = 10: 2.7 % each.
    EXPECT_EQ(recorder.percents.mid(0, 3), QStringList({"3%", "5%", "8%"}));
    EXPECT_EQ(recorder.percents.last(), "100%");

    MrControls &c = rig.c();
    EXPECT_EQ(c.cboRateUnits->currentText(), "Kgs");
    EXPECT_EQ(c.cboMeterType->currentText(), "Gas");
    EXPECT_EQ(c.cboOutputMode->currentIndex(), 2); // from item 14; the "I" answer selects nothing
    EXPECT_EQ(rig.state.OutputType, 2);
    EXPECT_EQ(c.lblFlowHi->text(), "Flow at 10V");
    EXPECT_EQ(c.txtSpg->text(), "0.85");
    EXPECT_EQ(c.txtPressureComp->text(), "100");
    EXPECT_EQ(c.txtTempComp->text(), "20.5");
    EXPECT_EQ(c.txtLowFlowCutoff->text(), "0.5");
    EXPECT_EQ(c.txtPassword->text(), "0007");
    EXPECT_EQ(rig.state.PasswordItem.value, 7);
    EXPECT_EQ(c.txtLinearPts->text(), "2");
    EXPECT_EQ(rig.state.LinFreqItems[1].value, 250);
    EXPECT_FLOAT_EQ(rig.state.LinFlowItems[1].value, 0.75f);
    EXPECT_TRUE(c.btnRead->isEnabled());
    EXPECT_FALSE(rig.state.CommAbort);
}

TEST(MrTransferTest, GreyedFieldsAreNeitherReadNorRequired)
{
    // Gal and Oil: Specific Gravity and both compensations are greyed by the replies to 2 and 8.
    std::map<int, double> device = FullDevice;
    device[2] = 0;
    device[8] = 0;
    MrRig rig(device);
    rig.c().btnRead->click();
    QStringList expected = readTraffic();
    for (const char *skipped : {"<STX>6f<CR>", "<STX>9f<CR>", "<STX>10f<CR>"})
        expected.removeOne(QString::fromLatin1(skipped));
    EXPECT_EQ(rig.received(), expected);
    EXPECT_EQ(rig.c().txtSpg->text(), "");
    EXPECT_FALSE(rig.c().txtPressureComp->isEnabled());
    EXPECT_EQ(rig.dialogs.texts(), QStringList{"Read Successful"});
}

TEST(MrTransferTest, DownloadSendsExactlyTheEnabledItemsPasswordUnderItsFourDigitCode)
{
    const struct { int rateUnit; int meterType; QStringList middle; } rows[] = {
        // Gal and Oil: items 6, 9 and 10 stay off the wire.
        {0, 0, {"7f2.5", "8i0", "11f1.25"}},
        // Kgs and Gas: all three are sent.
        {3, 2, {"6f0.9", "7f2.5", "8i2", "9f50", "10f20", "11f1.25"}},
    };
    for (const auto &r : rows) {
        MrRig rig;
        enterSetup(rig, r.rateUnit, r.meterType);
        if (rig.c().txtSpg->isEnabled()) {
            rig.c().txtSpg->setText(QStringLiteral("0.9"));
            rig.c().txtPressureComp->setText(QStringLiteral("50"));
            rig.c().txtTempComp->setText(QStringLiteral("20"));
        }
        Recorder recorder(rig);
        rig.c().btnDownload->click();

        QStringList bodies{"V", "1i1", QStringLiteral("2i%1").arg(r.rateUnit), "3i2", "4i1", "5i0"};
        bodies << r.middle;
        bodies << QStringList{"12f0.5", "13i12", "14i1", "17f1.5", "18f250", "0019i7", "100i2",
                              "101i10", "102f1.5", "103i250", "104f0.75", "W"};
        EXPECT_EQ(rig.received(), frames(bodies)) << r.rateUnit;
        EXPECT_EQ(rig.dialogs.texts(), QStringList{"Programming Successful"});
        EXPECT_EQ(rig.window->statusText(), "Status:  Complete");
        EXPECT_EQ(recorder.percents.last(), "100%");
        EXPECT_EQ(recorder.percents.mid(0, 2), QStringList({"5%", "10%"})); // 100 / (2 x 2 + 17) each
        EXPECT_EQ(rig.device->model().value(19), 7.0);
        EXPECT_EQ(rig.device->model().value(104), 0.75);
    }
}

TEST(MrTransferTest, DownloadWithoutPointsEndsFullAfterTheNumberOfPoints)
{
    MrRig rig;
    enterSetup(rig, 0, 0);
    rig.c().txtLinearPts->setText(QStringLiteral("0"));
    Recorder recorder(rig);
    rig.c().btnDownload->click();
    EXPECT_EQ(rig.received().mid(rig.received().size() - 3), frames({"0019i7", "100i0", "W"}));
    EXPECT_EQ(recorder.percents.last(), "100%");
    EXPECT_EQ(rig.dialogs.texts(), QStringList{"Programming Successful"});
}

TEST(MrTransferTest, MissingEntriesStopTheDownloadBeforeAnythingIsSent)
{
    MrRig rig;
    enterSetup(rig, 3, 2); // Kgs and Gas: Specific Gravity and both compensations are required
    rig.c().btnDownload->click();
    EXPECT_TRUE(rig.received().isEmpty());
    EXPECT_EQ(rig.dialogs.texts(), QStringList{"Plese enter missing information"});
    for (QLabel *marker : {rig.c().lblSpgE, rig.c().lblPressureCompE, rig.c().lblTempCompE})
        EXPECT_FALSE(marker->isHidden()) << marker->objectName().toStdString();
}

TEST(MrTransferTest, DeviceErrorNamesTheItemByTheDravionTable)
{
    MrRig rig;
    enterSetup(rig, 0, 0);
    rig.c().txtDamping->setText(QStringLiteral("120")); // above the device's 99
    rig.c().btnDownload->click();
    const QStringList texts = rig.dialogs.texts();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], "Device Error 14, VALUE TOO HIGH\rIssued for Min DAC Value");
    EXPECT_EQ(texts[1], "Unable to complete Download!");
    EXPECT_EQ(rig.received().last(), "<STX>13i120<CR>"); // nothing after the failure, no "W"
}

TEST(MrTransferTest, PollResumesAfterATimeOutOnceASequenceClearsTheLatch)
{
    MrRig rig;
    MrControls &c = rig.c();
    const auto polls = [&] { return rig.receivedSinceForget().count(QStringLiteral("<STX>F<CR>")); };
    c.Option1->click();
    ASSERT_TRUE(MrRig::waitFor([&] { return polls() >= 1 && c.lblInputHz[0]->text() == "0"
                                             && c.lblInputHz[1]->text() == "2"; }, 2000));

    rig.port->muted = true; // the cable is pulled: the next poll times out twice
    ASSERT_TRUE(MrRig::waitFor([&] { return !rig.dialogs.messages.empty(); }, 3000));
    EXPECT_EQ(rig.dialogs.messages[0].text, LinkEngine::timeoutMessage());
    EXPECT_TRUE(rig.state.CommAbort);
    rig.port->muted = false;

    // The latch holds the poll back, although the switch still says On.
    rig.forget();
    QTest::qWait(1000);
    EXPECT_EQ(polls(), 0);
    EXPECT_TRUE(c.Option1->isChecked());

    c.btnRead->click();
    EXPECT_EQ(rig.dialogs.texts().last(), "Read Successful");
    rig.forget();
    EXPECT_TRUE(MrRig::waitFor([&] { return polls() >= 2; }, 2000)) << "the poll did not resume by itself";
    EXPECT_TRUE(c.tmrPolling->isActive());
}

// The same download over a real pseudo-terminal, as the demo runs it.
TEST(MrTransferTest, PasswordReachesTheDeviceOverAPty)
{
    SimOptions o;
    o.family = QStringLiteral("MR");
    o.configPath = QStringLiteral(QRX_CONFIG_DIR "/mr/Config.inf");
    o.pacing = false;
    SimulatedDevice device(o);
    QString error;
    ASSERT_TRUE(device.start(&error)) << error.toStdString();

    SettingsStore::open()->clear();
    DeviceState state;
    FakeUserDialogs dialogs;
    SerialDevicePort port;
    QtReplyTimer timer(500);
    LinkEngine link(state, port, timer, dialogs);
    link.setPortResolver([path = device.path()](int) { return path; });
    AppContext context{state, &link, dialogs, QStringLiteral("MR")};
    {
        frmMR window(context, QStringLiteral(QRX_CONFIG_DIR "/mr"));
        MrControls &c = window.controls();
        window.mnuClear_Click();
        c.txtPassword->setText(QStringLiteral("0042"));
        window.transfer().btnRead_Click(); // reads the device's own setup, password 0 included
        EXPECT_EQ(c.txtPassword->text(), "0000");
        c.txtPassword->setText(QStringLiteral("42"));
        c.btnDownload->click();
        EXPECT_EQ(dialogs.texts(), QStringList({"Read Successful", "Programming Successful"}));
    }
    port.close();
    EXPECT_EQ(device.itemValue(19), 42.0);
    EXPECT_TRUE(device.received().contains(QStringLiteral("<STX>0019i42<CR>")));
}
