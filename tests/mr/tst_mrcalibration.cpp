#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "calibration/frmcalibration.h"
#include "mrrig.h"

// Output Mode decides the calibration window's range; MR keeps its converter values in items 15 and 16.
TEST(MrCalibrationTest, OutputModeDecidesTheCalibrationRange)
{
    const char *captions[][3]
        = { { "4-20mA", "4mA", "20mA" }, { "0-5V", "0V", "5V" }, { "0-10V", "0V", "10V" } };
    for (int mode : { 2, 1, 0 }) {
        MrRig rig({ { 15, 812 }, { 16, 3990 } });
        rig.c().cboOutputMode->setCurrentIndex(mode);
        rig.forget();
        QStringList seen; // the window's output, low and high captions, once loaded; then Output Max
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            auto *calibration = qobject_cast<frmCalibration *>(QApplication::activeModalWidget());
            if (!calibration || !calibration->loaded())
                return;
            watcher.stop();
            for (const char *name : { "lblOutput", "lblLowDAC", "lblHiDAC" })
                seen << calibration->findChild<QLabel *>(QString::fromLatin1(name))->text();
            calibration->findChild<QPushButton *>(QStringLiteral("btnMax"))->click();
            calibration->close();
        });
        watcher.start(10);
        rig.c().mnuCalibrate->trigger();
        EXPECT_EQ(seen, QStringList({ captions[mode][0], captions[mode][1], captions[mode][2] })) << mode;
        EXPECT_EQ(rig.receivedSinceForget(), frames("V 15i 16i 99f100 W F")) << mode;
        EXPECT_EQ(rig.state.MinDacItem.value, 812);
        EXPECT_EQ(rig.state.MaxDacItem.value, 3990);
        EXPECT_TRUE(rig.dialogs.messages.empty()) << rig.dialogs.texts().join('|').toStdString();
    }
}
