// Whole setups going to the device and coming back: the qrx-sim program keeps what "W" stored
// across a restart, and a data file survives download and read field by field.

#include <gtest/gtest.h>

#include <QLocale>

#include "datafile/clearalldata.h"
#include "datafile/datafilecommands.h"
#include "simprocess.h"
#include "transferrig.h"

namespace {

void readInto(TransferRig &rig)
{
    rig.window->clearAll().mnuClear_Click();
    rig.dialogs.clear();
    rig.c().btnRead->click();
    EXPECT_EQ(rig.dialogs.texts(), QStringList { "Read Successful" });
}

} // namespace

TEST(TransferRoundTrip, ChangesDownloadedSurviveASimulatorRestart)
{
    TransferRig rig({ { 3, 2 }, { 4, 1 }, { 8, 0 }, { 9, 250 }, { 11, 7 }, { 15, 1.5 }, { 16, 900 },
        { 100, 2 }, { 7, 0.9 }, { 101, 100 }, { 102, 10.5 }, { 103, 200 }, { 104, 20.25 } });
    SimProcess sim(QStringLiteral(QRX_SIM_PATH));
    ASSERT_TRUE(sim.start(rig.options)) << sim.errorText().toStdString();
    QString path = sim.path();
    rig.startWindow([&path] { return path; });
    readInto(rig);
    QStringList expected = snapshot(rig);
    rig.c().cboRateInterval->setCurrentIndex(3);
    rig.c().txtDamping->setText(QStringLiteral("42"));
    rig.c().txtFlowHi->setText(QStringLiteral("750.5"));
    rig.dialogs.clear();
    rig.c().btnDownload->click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList { "Programming Successful" });

    rig.port.close();
    sim.stop();
    ASSERT_TRUE(sim.start(rig.options)) << sim.errorText().toStdString();
    path = sim.path();
    readInto(rig);
    expected[1] = QStringLiteral("Day");
    expected[4] = QStringLiteral("txtDamping=42");
    expected[6] = QStringLiteral("txtFlowHi=750.5");
    EXPECT_EQ(snapshot(rig), expected);
    rig.port.close();
}

TEST(TransferRoundTrip, AnOpenedDataFileComesBackFromTheDeviceFieldByField)
{
    QLocale::setDefault(QLocale::c());
    TransferRig rig;
    ASSERT_TRUE(rig.start()) << rig.error.toStdString();
    rig.dialogs.fileAnswers.push_back(QStringLiteral(QRX_TEST_DATA_DIR "/transfer/setup.dat"));
    rig.window->dataFiles().mnuOpen_Click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList {});
    const QStringList opened = snapshot(rig);
    ASSERT_EQ(opened.size(), 3 + 6 + 4);
    ASSERT_EQ(opened.at(0), "Lbs");
    rig.c().btnDownload->click();
    ASSERT_EQ(rig.dialogs.texts(), QStringList { "Programming Successful" });
    readInto(rig);
    EXPECT_EQ(snapshot(rig), opened);
}
