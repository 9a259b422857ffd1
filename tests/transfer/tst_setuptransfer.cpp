// Read Setup and Download Setup through the main window, against the simulated device on a pty.

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QTest>

#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "monitor/frmlinemonitor.h"
#include "transferrig.h"

namespace {

using Icon = UserDialogs::Icon;

const std::map<int, double> knownSetup{
    {3, 2}, {4, 1}, {8, 1}, {9, 1234.5}, {11, 7}, {15, 1.5}, {16, 250}, {100, 3}, {7, 0.85},
    {101, 100}, {102, 10.5}, {103, 200}, {104, 20.25}, {105, 300}, {106, 30},
};

QStringList readFrames(bool withSpg)
{
    QStringList bodies{"V", "I", "3i", "4i", "8i", "9f", "11i", "15f", "16f", "100i"};
    if (withSpg)
        bodies << "7f";
    for (int i = 0; i < 10; ++i)
        bodies << QStringLiteral("%1i").arg(101 + 2 * i) << QStringLiteral("%1f").arg(102 + 2 * i);
    return frames(bodies);
}

// The entries a technician typed for a download: Ltr (no Specific Gravity), no points.
void enterPlainSetup(TransferRig &rig, int kfactorUnits = 0, const char *kfactor = "16.5")
{
    rig.c().cboRateUnits->setCurrentIndex(0);
    rig.c().cboRateInterval->setCurrentIndex(2);
    rig.c().cboKfactorUnits->setCurrentIndex(kfactorUnits);
    rig.c().txtKfactor->setText(QString::fromLatin1(kfactor));
    rig.c().txtDamping->setText(QStringLiteral("3"));
    rig.c().txtFlowLow->setText(QStringLiteral("0"));
    rig.c().txtFlowHi->setText(QStringLiteral("500.25"));
    rig.c().txtLinearPts->setText(QStringLiteral("0"));
}

void expectIdle(TransferRig &rig)
{
    EXPECT_TRUE(rig.c().btnRead->isEnabled());
    EXPECT_TRUE(rig.c().btnDownload->isEnabled());
    EXPECT_FALSE(rig.progress()->isVisible());
    EXPECT_FALSE(rig.state.CommAbort);
    EXPECT_FALSE(rig.state.TransferRunning);
}

void expectEverythingEmpty(TransferRig &rig)
{
    AltMainControls &c = rig.c();
    for (QComboBox *list : {c.cboRateUnits, c.cboRateInterval, c.cboKfactorUnits})
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
    for (QLineEdit *field : {c.txtKfactor, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtLinearPts, c.txtSpg})
        EXPECT_EQ(field->text(), "") << field->objectName().toStdString();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(rig.state.LinFreqItems[i].value, -1) << i;
        EXPECT_EQ(rig.state.LinFlowItems[i].value, -1.0f) << i;
    }
}

#define START_RIG(rig)                                                                                        \
    do {                                                                                                      \
        QString error;                                                                                        \
        ASSERT_TRUE((rig).start(&error)) << error.toStdString();                                              \
    } while (0)

} // namespace

TEST(ReadSetup, AKnownSetupLandsInEveryFieldAndPoint)
{
    TransferRig rig(knownSetup);
    START_RIG(rig);
    rig.c().txtDamping->setText(QStringLiteral("55")); // whatever was there before is replaced
    frmLinearPoints *points = rig.window->linearPoints().window();
    points->show();
    rig.c().btnRead->click();

    EXPECT_FALSE(points->isVisible());
    EXPECT_EQ(rig.received(), readFrames(true));
    EXPECT_EQ(snapshot(rig), (QStringList{"Kgs", "Min", "Pulses/M3", "txtKfactor=1234.5", "txtDamping=7",
                                          "txtFlowLow=1.5", "txtFlowHi=250", "txtLinearPts=3", "txtSpg=0.85",
                                          "pt0=100/10.5", "pt1=200/20.25", "pt2=300/30"}));
    EXPECT_FALSE(rig.c().txtSpg->isHidden());
    // The change handlers stored what the fields show; the unused points are as the device has them.
    const DeviceState &s = rig.state;
    EXPECT_EQ(s.RateUnits, 2);
    EXPECT_EQ(s.KfactorItems[1].value, 1234.5f);
    EXPECT_EQ(s.SpgItem.value, 0.85f);
    for (int i = 3; i < 10; ++i)
        EXPECT_TRUE(s.LinFreqItems[i].value == 0 && s.LinFlowItems[i].value == 0.0f) << i;
    ASSERT_EQ(rig.percents.size(), 29); // one per exchange
    EXPECT_EQ(rig.percents.mid(0, 3), (QStringList{"3%", "7%", "10%"}));
    EXPECT_EQ(rig.percents.last(), "100%");
    EXPECT_EQ(rig.dialogs.texts(), QStringList{"Read Successful"});
    EXPECT_EQ(rig.dialogs.messages.at(0).icon, Icon::None);
    EXPECT_EQ(rig.window->statusText(), "Status:  Read Successful");
    expectIdle(rig);
}

TEST(ReadSetup, MenusThatTouchTheDeviceAreOffWhileATransferRuns)
{
    TransferRig rig(knownSetup);
    START_RIG(rig);
    AltMainControls &c = rig.c();
    const std::vector<QAction *> guarded{c.mnuOpen, c.mnuClear, c.mnuCalibrate, c.mnuComPort[1], c.mnuComPort[12],
                                         c.mnuSerialPort->menuAction()};
    frmLineMonitor monitor(*rig.context);
    monitor.findChild<QLineEdit *>(QStringLiteral("txtOutput"))->setText(QStringLiteral("F"));
    int offDuring = 0;
    bool viewingOn = true;
    QObject::connect(rig.progress(), &frmProgress::percentChanged, [&](const QString &) {
        for (QAction *a : guarded)
            offDuring += a->isEnabled() ? 0 : 1;
        viewingOn = viewingOn && c.mnuCommDebug->isEnabled() && c.btnLinear->isEnabled() && rig.state.TransferRunning;
        monitor.findChild<QPushButton *>(QStringLiteral("btnSend"))->click(); // must not join the sequence
    });
    c.btnRead->click();
    EXPECT_EQ(offDuring, int(guarded.size() * rig.percents.size()));
    EXPECT_TRUE(viewingOn);
    EXPECT_EQ(rig.received(), readFrames(true));
    for (QAction *a : guarded)
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

TEST(ReadSetup, AnUnpluggedDeviceFailsOnceAndLeavesEverythingEmpty)
{
    TransferRig rig(knownSetup);
    rig.options.silent = true;
    START_RIG(rig);
    rig.c().txtDamping->setText(QStringLiteral("55"));
    rig.c().btnRead->click();

    EXPECT_EQ(rig.received(), frames({"V", "V"})); // one resend, then nothing more
    ASSERT_EQ(rig.dialogs.messages.size(), 2u);
    EXPECT_EQ(rig.dialogs.messages[0].text, LinkEngine::timeoutMessage());
    EXPECT_EQ(rig.dialogs.messages[1].text, "Unable to perform Read!");
    EXPECT_EQ(rig.dialogs.messages[1].icon, Icon::Critical);
    EXPECT_EQ(rig.window->statusText(), "Status:  Unable to perform Read");
    expectEverythingEmpty(rig);
    expectIdle(rig);
}

TEST(ReadSetup, ARateUnitBeyondTheListLeavesItUnselectedAndTheReadSucceeds)
{
    TransferRig rig({{3, 9}, {11, 12}});
    START_RIG(rig);
    rig.c().btnRead->click();
    EXPECT_EQ(rig.c().cboRateUnits->currentIndex(), -1);
    EXPECT_EQ(rig.c().txtDamping->text(), "12");
    EXPECT_EQ(rig.received(), readFrames(false));
    EXPECT_EQ(rig.dialogs.texts(), QStringList{"Read Successful"});
}

TEST(ReadSetup, OutputTypeReplySelectsTheOption)
{
    const struct
    {
        int reply;
        int before; // option selected before the read
        int after;
        const char *flowLowCaption;
    } rows[] = {{0, 1, 0, "Flow at 4mA"}, {1, 1, 1, "Flow at 0V"}, {1, 0, 0, "Flow at 4mA:"}, {2, 0, 1, "Flow at 0V"}};
    for (const auto &r : rows) {
        TransferRig rig;
        rig.options.outputType = r.reply;
        START_RIG(rig);
        if (r.before == 1)
            rig.window->fields().optType_Click(1);
        rig.c().btnRead->click();
        EXPECT_TRUE(rig.c().optType[size_t(r.after)]->isChecked()) << r.reply;
        EXPECT_EQ(rig.state.OutputType, r.after) << r.reply;
        EXPECT_EQ(rig.c().lblFlowLow->text(), r.flowLowCaption) << r.reply;
    }
}

TEST(DownloadSetup, WritesTheSetupByteForByte)
{
    const struct
    {
        const char *name;
        bool withPoints;
        QStringList bodies;
        QStringList percents;
    } rows[] = {
        {"no points, no Specific Gravity", false,
         {"V", "3i0", "4i2", "8i0", "9f16.5", "11i3", "15f0", "16f500.25", "100i0", "W"},
         {"11%", "22%", "33%", "44%", "56%", "67%", "78%", "100%"}},
        {"three points with Specific Gravity", true,
         {"V", "3i3", "4i2", "8i0", "9f16.5", "11i3", "15f0", "16f500.25", "100i3", "7f1.25", "101i150", "102f1.5",
          "103i1500", "104f15.75", "105i15000", "106f157.5", "W"},
         {"7%", "13%", "20%", "27%", "33%", "40%", "47%", "53%", "60%", "67%", "73%", "80%", "87%", "93%",
          "100%"}},
    };
    for (const auto &r : rows) {
        TransferRig rig;
        START_RIG(rig);
        enterPlainSetup(rig);
        if (r.withPoints) {
            rig.c().cboRateUnits->setCurrentIndex(3); // Lbs shows the Specific Gravity
            rig.c().txtSpg->setText(QStringLiteral("1.25"));
            rig.c().txtLinearPts->setText(QStringLiteral("3"));
            const qint16 freq[] = {150, 1500, 15000};
            const float flow[] = {1.5f, 15.75f, 157.5f};
            for (int i = 0; i < 3; ++i) {
                rig.state.LinFreqItems[i].value = freq[i];
                rig.state.LinFlowItems[i].value = flow[i];
            }
        }
        rig.c().btnDownload->click();
        EXPECT_EQ(rig.received(), frames(r.bodies)) << r.name;
        EXPECT_EQ(rig.percents, r.percents) << r.name;
        EXPECT_EQ(rig.dialogs.texts(), QStringList{"Programming Successful"}) << r.name;
        EXPECT_EQ(rig.window->statusText(), "Status:  Complete") << r.name;
        EXPECT_EQ(rig.device->itemValue(16), 500.25) << r.name;
        expectIdle(rig);
    }
}

TEST(DownloadSetup, ADeviceErrorAtTheFifthStepStopsAllTraffic)
{
    TransferRig rig;
    rig.options.errorCode = 13;
    rig.options.errorItem = QStringLiteral("11");
    START_RIG(rig);
    enterPlainSetup(rig);
    rig.c().btnDownload->click();

    EXPECT_EQ(rig.received(), frames({"V", "3i0", "4i2", "8i0", "9f16.5", "11i3"}));
    EXPECT_EQ(rig.dialogs.texts(), (QStringList{QStringLiteral("Device Error 13, VALUE TOO LOW\rIssued for Damping"),
                                                QStringLiteral("Unable to complete Download!")}));
    EXPECT_EQ(rig.dialogs.messages.at(1).icon, Icon::Critical);
    EXPECT_EQ(rig.percents, (QStringList{"11%", "22%", "33%", "44%", "0%"}));
    EXPECT_EQ(rig.window->statusText(), "Status:  Complete");
    expectIdle(rig);
}

TEST(DownloadSetup, MissingEntriesSendNothing)
{
    TransferRig rig;
    START_RIG(rig);
    enterPlainSetup(rig);
    rig.c().txtFlowHi->clear();
    rig.c().btnDownload->click();
    EXPECT_TRUE(rig.received().isEmpty());
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_EQ(rig.dialogs.messages[0].text, "Plese enter missing information");
    EXPECT_EQ(rig.dialogs.messages[0].icon, Icon::Exclamation);
    EXPECT_FALSE(rig.c().lblFlowHiE->isHidden());
    expectIdle(rig);
}

TEST(Transfer, KfactorUnitsWithoutAKfactorRecordExchangeNoKfactor)
{
    // Positions 0 and 1 have a K factor record each; position 2 has none, so nothing is sent for
    // it and the field stays as it is, while the rest of the sequence goes on.
    const QString units = QStringLiteral("K Factor Units=8,0,2,Pulses/Ltr,Pulses/M3,Pulses/Gal");
    for (const int position : {1, 2}) {
        const bool own = position < 2;
        TransferRig reader({{8, double(position)}, {9, 77.5}}, {units});
        START_RIG(reader);
        reader.c().btnRead->click();
        EXPECT_EQ(reader.received().mid(4, 3), frames({"8i", own ? "9f" : "11i", own ? "11i" : "15f"})) << position;
        EXPECT_EQ(reader.c().txtKfactor->text(), own ? "77.5" : "") << position;
        EXPECT_EQ(reader.c().txtDamping->text(), "5") << position;
        EXPECT_EQ(reader.percents.last(), "100%") << position;
        EXPECT_EQ(reader.dialogs.texts(), QStringList{"Read Successful"}) << position;

        TransferRig writer({}, {units});
        START_RIG(writer);
        enterPlainSetup(writer, position, "77.5");
        writer.c().btnDownload->click();
        const QString written = QStringLiteral("8i%1").arg(position);
        EXPECT_EQ(writer.received().mid(3, 3), frames({written, own ? "9f77.5" : "11i3", own ? "11i3" : "15f0"}));
        EXPECT_EQ(writer.percents.last(), "100%") << position;
        EXPECT_EQ(writer.dialogs.texts(), QStringList{"Programming Successful"}) << position;
    }
}

TEST(DownloadSetup, APointCountBeyondThePointTablesEndsInDownloadError)
{
    TransferRig rig({}, {QStringLiteral("Number of Linear Points=100,0,20")});
    START_RIG(rig);
    enterPlainSetup(rig);
    rig.c().txtLinearPts->setText(QStringLiteral("12"));
    for (size_t i = 0; i < rig.state.LinFreqItems.size(); ++i) {
        rig.state.LinFreqItems[i].value = qint16(10 * (i + 1));
        rig.state.LinFlowItems[i].value = float(i + 1);
    }
    rig.dialogs.onMessage = [](const UserDialogs::Message &) {}; // the linear points window may show rows
    rig.c().btnDownload->click();
    EXPECT_EQ(rig.dialogs.texts().last(), "Download Error");
    EXPECT_FALSE(rig.received().contains(QStringLiteral("<STX>W<CR>")));
    expectIdle(rig);
}

TEST(Transfer, CancelAfterAFewStepsEndsTheTrafficAndFails)
{
    enum class Way { CancelRead, CancelDownload, CloseBoxDuringRead };
    for (const Way way : {Way::CancelRead, Way::CancelDownload, Way::CloseBoxDuringRead}) {
        const bool reading = way != Way::CancelDownload;
        TransferRig rig(knownSetup);
        START_RIG(rig);
        if (!reading)
            enterPlainSetup(rig);
        QObject::connect(rig.progress(), &frmProgress::percentChanged, [&rig, way] {
            if (rig.percents.size() != 3) // three steps
                return;
            if (way == Way::CloseBoxDuringRead)
                rig.progress()->close();
            else
                rig.progress()->btnCancel()->click();
        });
        (reading ? rig.c().btnRead : rig.c().btnDownload)->click();
        if (reading) {
            EXPECT_EQ(rig.received(), frames({"V", "I", "3i", "4i", "8i"})) << int(way);
            EXPECT_EQ(rig.dialogs.texts(), QStringList{"Unable to perform Read!"}) << int(way);
            expectEverythingEmpty(rig);
        } else {
            EXPECT_EQ(rig.received(), frames({"V", "3i0", "4i2", "8i0"}));
            EXPECT_EQ(rig.dialogs.texts(), QStringList{"Unable to complete Download!"});
            EXPECT_EQ(rig.progress()->percent(), "0%");
        }
        expectIdle(rig);
    }
}
