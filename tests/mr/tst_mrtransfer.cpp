#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "linear/frmlinearpoints.h"
#include "link/serialdeviceport.h"
#include "mrrig.h"
#include "simulateddevice.h"
#include "transfer/frmprogress.h"
#include "transfer/setuptransfer.h"

namespace {

// A device set up as an operator would leave it: Kgs, Gas (so every field is in use), 0-10 V.
const std::map<int, double> FullDevice = { { 1, 1 }, { 2, 3 }, { 3, 2 }, { 4, 1 }, { 5, 3 }, { 6, 0.85 },
    { 7, 2.5 }, { 8, 2 }, { 9, 100 }, { 10, 20.5 }, { 11, 1.25 }, { 12, 0.5 }, { 13, 12 }, { 14, 2 },
    { 17, 1.5 }, { 18, 250 }, { 19, 7 }, { 100, 2 }, { 101, 10 }, { 102, 1.5 }, { 103, 250 }, { 104, 0.75 } };

struct Percents : QStringList
{
    explicit Percents(MrRig &rig)
    {
        QObject::connect(rig.window->transfer().progressWindow(), &frmProgress::percentChanged,
            [this](const QString &t) { *this << t; });
    }
};

// Fills the window through its controls, as the user would: the rate unit and meter type given.
void enterSetup(MrRig &rig, int rateUnit, int meterType)
{
    MrControls &c = rig.c();
    const int lists[] = { 1, rateUnit, 2, 1, 0, meterType, 1 };
    int i = 0;
    for (QComboBox *box : { c.cboDisplayMode, c.cboRateUnits, c.cboRateInterval, c.cboTotalUnits,
             c.cboDisplayExp, c.cboMeterType, c.cboOutputMode })
        box->setCurrentIndex(lists[i++]);
    const char *texts[] = { "2.5", "1.25", "0.5", "12", "1.5", "250", "7", "2" };
    i = 0;
    for (QLineEdit *field : { c.txtScaleFactor, c.txtSPGcomp, c.txtLowFlowCutoff, c.txtDamping, c.txtFlowLow,
             c.txtFlowHi, c.txtPassword, c.txtLinearPts })
        field->setText(QString::fromLatin1(texts[i++]));
    frmLinearPoints *points = rig.window->linearPointsWindow();
    points->txtFreq(0)->setText(QStringLiteral("10"));
    points->txtCoef(0)->setText(QStringLiteral("1.5"));
    points->txtFreq(1)->setText(QStringLiteral("250"));
    points->txtCoef(1)->setText(QStringLiteral("0.75"));
}

} // namespace

TEST(MrTransferTest, ReadTakesTheMrOrderInThirtySevenStepsAndSkipsGreyedFields)
{
    std::map<int, double> galOil = FullDevice;
    galOil[2] = 0; // Gal and Oil grey Specific Gravity and both compensations
    galOil[8] = 0;
    const struct
    {
        std::map<int, double> device;
        const char *wire, *shown;
    } rows[] = { { FullDevice, "V I 1i 2i 3i 4i 5i 6f 7f 8i 9f 10f 11f 12f 13i 14i 17f 18f 19i 100i",
                     "Kgs|Gas|2|Flow at 10V|0.85|100|20.5|0.5|0007|2" },
        { galOil, "V I 1i 2i 3i 4i 5i 7f 8i 11f 12f 13i 14i 17f 18f 19i 100i",
            "Gal|Oil|2|Flow at 10V||||0.5|0007|2" } };
    for (const auto &r : rows) {
        MrRig rig(r.device, 1); // the "I" answer selects nothing
        Percents percents(rig);
        rig.c().btnRead->click();
        QString wire = QString::fromLatin1(r.wire);
        for (int i = 0; i < 10; ++i)
            wire += QStringLiteral(" %1i %2f").arg(101 + 2 * i).arg(102 + 2 * i);
        EXPECT_EQ(rig.received(), frames(wire));
        EXPECT_EQ(rig.dialogs.texts(), QStringList { "Read Successful" });
        EXPECT_EQ(rig.window->statusText(), "Status:  Read Successful");
        EXPECT_EQ(percents.mid(0, 3), words("3% 5% 8%")); // 2N + 17 equal steps with N = 10: 2.7 % each
        EXPECT_EQ(percents.last(), "100%");
        MrControls &c = rig.c();
        const QStringList shown { c.cboRateUnits->currentText(), c.cboMeterType->currentText(),
            QString::number(c.cboOutputMode->currentIndex()), c.lblFlowHi->text(), c.txtSpg->text(),
            c.txtPressureComp->text(), c.txtTempComp->text(), c.txtLowFlowCutoff->text(),
            c.txtPassword->text(), c.txtLinearPts->text() };
        EXPECT_EQ(shown.join(QLatin1Char('|')), QString::fromLatin1(r.shown));
        EXPECT_EQ(c.txtPressureComp->isEnabled(), r.device.at(8) == 2);
        EXPECT_EQ(rig.state.OutputType, 2);
        EXPECT_EQ(rig.state.PasswordItem.value, 7);
        EXPECT_EQ(rig.state.LinFreqItems[1].value, 250);
        EXPECT_FLOAT_EQ(rig.state.LinFlowItems[1].value, 0.75f);
        EXPECT_TRUE(c.btnRead->isEnabled());
        EXPECT_FALSE(rig.state.CommAbort);
    }
}

TEST(MrTransferTest, DownloadSendsExactlyTheEnabledItemsPasswordUnderItsFourDigitCode)
{
    const struct
    {
        int rateUnit, meterType, points;
        const char *wire, *firstPercents;
    } rows[] = { // Gal and Oil: items 6, 9 and 10 stay off the wire.
        { 0, 0, 2,
            "V 1i1 2i0 3i2 4i1 5i0 7f2.5 8i0 11f1.25 12f0.5 13i12 14i1 17f1.5 18f250 0019i7 100i2 "
            "101i10 102f1.5 103i250 104f0.75 W",
            "5% 10%" }, // 100 / (2 x 2 + 17) each
        { 3, 2, 2,
            "V 1i1 2i3 3i2 4i1 5i0 6f0.9 7f2.5 8i2 9f50 10f20 11f1.25 12f0.5 13i12 14i1 17f1.5 18f250 0019i7 "
            "100i2 101i10 102f1.5 103i250 104f0.75 W",
            "5% 10%" },
        { 0, 0, 0, "V 1i1 2i0 3i2 4i1 5i0 7f2.5 8i0 11f1.25 12f0.5 13i12 14i1 17f1.5 18f250 0019i7 100i0 W",
            "6% 12%" }
    };
    for (const auto &r : rows) {
        MrRig rig;
        enterSetup(rig, r.rateUnit, r.meterType);
        rig.c().txtLinearPts->setText(QString::number(r.points));
        if (rig.c().txtSpg->isEnabled()) {
            rig.c().txtSpg->setText(QStringLiteral("0.9"));
            rig.c().txtPressureComp->setText(QStringLiteral("50"));
            rig.c().txtTempComp->setText(QStringLiteral("20"));
        }
        Percents percents(rig);
        rig.c().btnDownload->click();
        EXPECT_EQ(rig.received(), frames(r.wire)) << r.rateUnit << r.points;
        EXPECT_EQ(rig.dialogs.texts(), QStringList { "Programming Successful" });
        EXPECT_EQ(rig.window->statusText(), "Status:  Complete");
        EXPECT_EQ(percents.last(), "100%");
        EXPECT_EQ(percents.mid(0, 2), words(r.firstPercents));
        EXPECT_EQ(rig.device->model().value(19), 7.0);
    }
}

TEST(MrTransferTest, MissingEntriesOrADeviceErrorStopTheDownload)
{
    MrRig rig;
    enterSetup(rig, 3, 2); // Kgs and Gas: Specific Gravity and both compensations are required
    rig.c().btnDownload->click();
    EXPECT_TRUE(rig.received().isEmpty());
    EXPECT_EQ(rig.dialogs.texts(), QStringList { "Plese enter missing information" });
    for (QLabel *marker : { rig.c().lblSpgE, rig.c().lblPressureCompE, rig.c().lblTempCompE })
        EXPECT_FALSE(marker->isHidden()) << marker->objectName().toStdString();

    rig.dialogs.clear();
    rig.c().cboRateUnits->setCurrentIndex(0);
    rig.c().cboMeterType->setCurrentIndex(0);
    rig.c().txtDamping->setText(QStringLiteral("40000")); // shown, but no 16-bit record holds it
    EXPECT_FALSE(rig.c().lblDampingE->isHidden());
    rig.c().btnDownload->click();
    EXPECT_TRUE(rig.received().isEmpty());
    EXPECT_EQ(rig.dialogs.texts(), QStringList { "Plese enter missing information" });

    rig.dialogs.clear();
    rig.c().txtDamping->setText(QStringLiteral("120")); // above the device's 99: named by the Dravion table
    rig.c().btnDownload->click();
    EXPECT_EQ(rig.dialogs.texts(),
        QStringList(
            { "Device Error 14, VALUE TOO HIGH\rIssued for Min DAC Value", "Unable to complete Download!" }));
    EXPECT_EQ(rig.received().last(), "<STX>13i120<CR>"); // nothing after the failure, no "W"
}

TEST(MrTransferTest, PollResumesAfterATimeOutOnceASequenceClearsTheLatch)
{
    MrRig rig;
    MrControls &c = rig.c();
    const auto polls = [&] { return rig.receivedSinceForget().count(QStringLiteral("<STX>F<CR>")); };
    c.Option1->click();
    ASSERT_TRUE(MrRig::waitFor(
        [&] { return polls() >= 1 && c.lblInputHz[0]->text() == "0" && c.lblInputHz[1]->text() == "2"; },
        2000));
    rig.device->setMuted(true); // the cable is pulled: the next poll times out twice
    ASSERT_TRUE(MrRig::waitFor([&] { return !rig.dialogs.messages.empty(); }, 3000));
    EXPECT_EQ(rig.dialogs.messages[0].text, LinkEngine::timeoutMessage());
    EXPECT_TRUE(rig.state.CommAbort);
    rig.device->setMuted(false);
    rig.forget();
    QTest::qWait(1000); // the latch holds the poll back, although the switch still says On
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
    AppContext context { state, &link, dialogs, QStringLiteral("MR") };
    {
        frmMR window(context, QStringLiteral(QRX_CONFIG_DIR "/mr"));
        window.mnuClear_Click();
        window.controls().txtPassword->setText(QStringLiteral("0042"));
        window.transfer().btnRead_Click(); // reads the device's own setup, password 0 included
        EXPECT_EQ(window.controls().txtPassword->text(), "0000");
        window.controls().txtPassword->setText(QStringLiteral("42"));
        window.controls().btnDownload->click();
        EXPECT_EQ(dialogs.texts(), QStringList({ "Read Successful", "Programming Successful" }));
    }
    port.close();
    EXPECT_EQ(device.itemValue(19), 42.0);
    EXPECT_TRUE(device.received().contains(QStringLiteral("<STX>0019i42<CR>")));
}
