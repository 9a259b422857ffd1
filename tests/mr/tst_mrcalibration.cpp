#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "calibration/frmcalibration.h"
#include "mrrig.h"

namespace {

struct Seen
{
    QString output, low, high, test;
};

// Opens the calibration window from the menu, presses Output Max and closes it again.
Seen calibrateAndPressMax(MrRig &rig)
{
    Seen seen;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto *calibration = qobject_cast<frmCalibration *>(QApplication::activeModalWidget());
        if (!calibration || !calibration->loaded())
            return;
        watcher.stop();
        seen.output = calibration->findChild<QLabel *>(QStringLiteral("lblOutput"))->text();
        seen.low = calibration->findChild<QLabel *>(QStringLiteral("lblLowDAC"))->text();
        seen.high = calibration->findChild<QLabel *>(QStringLiteral("lblHiDAC"))->text();
        calibration->findChild<QPushButton *>(QStringLiteral("btnMax"))->click();
        seen.test = calibration->findChild<QLabel *>(QStringLiteral("lblTest"))->text();
        calibration->close();
    });
    watcher.start(10);
    rig.c().mnuCalibrate->trigger();
    return seen;
}

} // namespace

TEST(MrCalibrationTest, OutputModeDecidesTheCalibrationRange)
{
    const struct { int mode; const char *output; const char *low; const char *high; const char *max; } rows[] = {
        {2, "0-10V", "0V", "10V", "99f100"},
        {1, "0-5V", "0V", "5V", "99f100"},
        {0, "4-20mA", "4mA", "20mA", "99f100"},
    };
    for (const auto &r : rows) {
        MrRig rig({{15, 812}, {16, 3990}});
        rig.c().cboOutputMode->setCurrentIndex(r.mode);
        rig.forget();
        const Seen seen = calibrateAndPressMax(rig);
        EXPECT_EQ(seen.output, r.output) << r.mode;
        EXPECT_EQ(seen.low, r.low) << r.mode;
        EXPECT_EQ(seen.high, r.high) << r.mode;
        // The MR family keeps its converter values under items 15 and 16.
        EXPECT_EQ(rig.receivedSinceForget(), frames({"V", "15i", "16i", r.max, "W", "F"})) << r.mode;
        EXPECT_EQ(rig.state.MinDacItem.value, 812);
        EXPECT_EQ(rig.state.MaxDacItem.value, 3990);
        EXPECT_TRUE(rig.dialogs.messages.empty()) << rig.dialogs.texts().join('|').toStdString();
    }
}
