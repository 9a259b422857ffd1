// Whole setups going to the device and coming back: the qrx-sim program keeps what "W" stored
// across a restart, and a data file survives download and read field by field.

#include <gtest/gtest.h>

#include <QLocale>

#include "datafile/clearalldata.h"
#include "datafile/datafilecommands.h"
#include "simprocess.h"
#include "transferrig.h"

TEST(TransferRoundTrip, ChangesDownloadedSurviveASimulatorRestart)
{
    TransferRig rig({{3, 2}, {4, 1}, {8, 0}, {9, 250}, {11, 7}, {15, 1.5}, {16, 900}, {100, 2}, {7, 0.9},
                     {101, 100}, {102, 10.5}, {103, 200}, {104, 20.25}});
    SimProcess sim(QStringLiteral(QRX_SIM_PATH));
    ASSERT_TRUE(sim.start(rig.options)) << sim.errorText().toStdString();
    QString path = sim.path();
    rig.startWindow([&path] { return path; });

    rig.c().btnRead->click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList{"Read Successful"});
    const QStringList before = snapshot(rig);
    rig.c().cboRateInterval->setCurrentIndex(3);
    rig.c().txtDamping->setText(QStringLiteral("42"));
    rig.c().txtFlowHi->setText(QStringLiteral("750.5"));
    rig.dialogs.clear();
    rig.c().btnDownload->click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList{"Programming Successful"});

    rig.port.close();
    sim.stop();
    ASSERT_TRUE(sim.start(rig.options)) << sim.errorText().toStdString();
    path = sim.path();
    rig.window->clearAll().mnuClear_Click();
    rig.dialogs.clear();
    rig.c().btnRead->click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList{"Read Successful"});

    QStringList expected = before;
    expected[1] = QStringLiteral("Day");
    expected.replaceInStrings(QStringLiteral("txtDamping=7"), QStringLiteral("txtDamping=42"));
    expected.replaceInStrings(QStringLiteral("txtFlowHi=900"), QStringLiteral("txtFlowHi=750.5"));
    EXPECT_EQ(snapshot(rig), expected);
    EXPECT_NE(snapshot(rig), before);
    rig.port.close();
}

TEST(TransferRoundTrip, AnOpenedDataFileComesBackFromTheDeviceFieldByField)
{
    QLocale::setDefault(QLocale::c());
    TransferRig rig;
    QString error;
    ASSERT_TRUE(rig.start(&error)) << error.toStdString();
    rig.dialogs.fileAnswers.push_back(QStringLiteral(QRX_TEST_DATA_DIR "/transfer/setup.dat"));
    rig.window->dataFiles().mnuOpen_Click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList{}) << rig.dialogs.texts().join(QLatin1Char('|')).toStdString();
    const QStringList opened = snapshot(rig);
    ASSERT_EQ(opened.at(0), "Lbs");
    ASSERT_EQ(opened.size(), 3 + 6 + 4);

    rig.c().btnDownload->click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList{"Programming Successful"});
    rig.window->clearAll().mnuClear_Click();
    ASSERT_NE(snapshot(rig), opened);
    rig.dialogs.clear();
    rig.c().btnRead->click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList{"Read Successful"});
    EXPECT_EQ(snapshot(rig), opened);
}
