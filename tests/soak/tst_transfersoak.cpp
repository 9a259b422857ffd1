// Read Setup and Download Setup over and over on a bad line (virtual time): a read either lands
// the device's whole setup in the window or leaves the window empty, and a download reports
// success only when the device holds every value it was sent.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/frmaltmain.h"
#include "clockedport.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "params/dravionfields.h"
#include "fakeuserdialogs.h"

namespace {

struct TransferSoakRig
{
    SoakClock clock;
    ClockedReplyTimer timer{clock};
    ClockedPort port;
    DeviceState state;
    FakeUserDialogs dialogs;
    LinkEngine link{state, port, timer, dialogs};
    AppContext context{state, &link, dialogs};
    frmAltMain window{context};
    QTimer pump;

    explicit TransferSoakRig(const SimOptions &options)
        : port(options, clock, timer)
    {
        link.setPortResolver([](int) { return QStringLiteral("soak"); });
        AltMainControls &c = window.controls();
        for (QComboBox *list : {c.cboRateUnits, c.cboRateInterval, c.cboKfactorUnits})
            list->clear();
        window.fields().loadConfigurationFrom(QStringLiteral(QRX_CONFIG_DIR "/dravion"));
        pump.setInterval(0);
        QObject::connect(&pump, &QTimer::timeout, [this] { port.step(); });
        pump.start();
        dialogs.clear();
    }

    AltMainControls &c() { return window.controls(); }

    // The texts of the transfer's own ending among the boxes shown since `from`.
    QStringList endings(std::size_t from, const QStringList &known)
    {
        QStringList out;
        for (std::size_t i = from; i < dialogs.messages.size(); ++i) {
            if (known.contains(dialogs.messages[i].text))
                out << dialogs.messages[i].text;
        }
        return out;
    }
};

SimOptions badLine(quint32 seed)
{
    SimOptions o;
    // The window reads the alternative set from that folder, so the device takes its ranges too.
    o.configPath = QStringLiteral(QRX_CONFIG_DIR "/dravion/ConfigK.inf");
    o.pacing = false;
    o.drop = 0.08;
    o.garble = 0.08;
    o.wrongCode = 0.05;
    o.delay = 0.04;
    o.seed = seed;
    return o;
}

// What the window holds after a read, through the records its fields fill, against the device.
QStringList readMismatches(TransferSoakRig &rig)
{
    DeviceModel &device = rig.port.model();
    const DeviceState &s = rig.state;
    QStringList out;
    auto expect = [&](const char *what, double shown, int code) {
        if (std::fabs(shown - device.value(code)) > 1e-3 * std::max(1.0, std::fabs(device.value(code))))
            out << QStringLiteral("%1 shows %2, the device holds %3").arg(what).arg(shown).arg(device.value(code));
    };
    expect("Rate Units", s.RateUnits, 3);
    expect("Rate Interval", s.RateInterval, 4);
    expect("K Factor Units", s.KfactorUnits, 8);
    expect("K Factor", s.KfactorItems[std::size_t(s.KfactorUnits == 1)].value, 9);
    expect("Damping", s.DampingItem.value, 11);
    expect("Flow at 4mA", s.FlowLowItem.value, 15);
    expect("Flow at 20mA", s.FlowHiItem.value, 16);
    expect("Linear Points", s.LinearPtsItem.value, 100);
    for (std::size_t i = 0; i < 10; ++i) {
        expect("point frequency", s.LinFreqItems[i].value, int(101 + 2 * i));
        expect("point flow", s.LinFlowItems[i].value, int(102 + 2 * i));
    }
    return out;
}

QStringList leftovers(TransferSoakRig &rig)
{
    QStringList out;
    AltMainControls &c = rig.c();
    for (QComboBox *list : {c.cboRateUnits, c.cboRateInterval, c.cboKfactorUnits}) {
        if (list->currentIndex() != -1)
            out << list->objectName();
    }
    for (QLineEdit *field : {c.txtKfactor, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtLinearPts, c.txtSpg}) {
        if (!field->text().isEmpty())
            out << field->objectName() + QLatin1Char('=') + field->text();
    }
    return out;
}

} // namespace

TEST(TransferSoak, ReadsAndDownloadsOnABadLineNeverHalfSucceed)
{
    TransferSoakRig rig(badLine(21));
    DeviceModel &device = rig.port.model();
    const std::pair<int, double> setup[] = {{3, 2}, {4, 1}, {8, 0}, {9, 48.25}, {11, 9}, {15, 2.5}, {16, 1200},
                                            {100, 3}, {7, 1.15}};
    for (const auto &[code, value] : setup)
        device.setValue(code, value);
    for (int i = 0; i < 10; ++i) {
        device.setValue(101 + 2 * i, 100 * (i + 1));
        device.setValue(102 + 2 * i, 1.5 * (i + 1));
    }

    std::mt19937 random(5);
    int reads = 0, readsOk = 0, downloads = 0, downloadsOk = 0;
    for (int run = 0; run < 60; ++run) {
        const bool pull = run % 7 == 3;
        if (pull)
            rig.port.unplugAfterFrames(1 + int(random() % 25));

        const std::size_t before = rig.dialogs.messages.size();
        rig.c().btnRead->click();
        ++reads;
        const QStringList read = rig.endings(before, {QStringLiteral("Read Successful"), QStringLiteral("Unable to perform Read!")});
        ASSERT_EQ(read.size(), 1) << "run " << run << ": " << read.join(QLatin1String(", ")).toStdString();
        if (read[0] == QLatin1String("Read Successful")) {
            ++readsOk;
            EXPECT_EQ(rig.window.statusText(), "Status:  Read Successful");
            EXPECT_EQ(readMismatches(rig).join(QLatin1String("; ")).toStdString(), "") << "run " << run;
        } else {
            EXPECT_EQ(rig.window.statusText(), "Status:  Unable to perform Read");
            EXPECT_EQ(leftovers(rig).join(QLatin1String(", ")).toStdString(), "") << "run " << run;
        }
        rig.port.plugIn();
        if (read[0] != QLatin1String("Read Successful"))
            continue;

        // A changed setup goes back to the device.
        const int damping = int(random() % 100);
        const int rateUnits = int(random() % unsigned(rig.c().cboRateUnits->count()));
        const double flowHi = 100 + int(random() % 9000);
        rig.c().txtDamping->setText(QString::number(damping));
        rig.c().cboRateUnits->setCurrentIndex(rateUnits);
        rig.c().txtFlowHi->setText(QString::number(flowHi));
        if (rig.c().txtSpg->text().isEmpty())
            rig.c().txtSpg->setText(QStringLiteral("1.15")); // shown for some units only
        if (pull)
            rig.port.unplugAfterFrames(1 + int(random() % 12));
        const int storesBefore = device.stores();
        const std::size_t downloadBefore = rig.dialogs.messages.size();
        rig.c().btnDownload->click();
        ++downloads;
        const QStringList download = rig.endings(downloadBefore, {QStringLiteral("Programming Successful"),
                                                                  QStringLiteral("Unable to complete Download!"),
                                                                  QStringLiteral("Download Error")});
        ASSERT_EQ(download.size(), 1) << "run " << run << ": " << rig.dialogs.texts().mid(int(downloadBefore)).join(QLatin1String(", ")).toStdString();
        if (download[0] == QLatin1String("Programming Successful")) {
            ++downloadsOk;
            EXPECT_EQ(device.value(11), damping) << "run " << run;
            EXPECT_EQ(device.value(3), rateUnits) << "run " << run;
            EXPECT_NEAR(device.value(16), flowHi, 1e-3) << "run " << run;
            EXPECT_GT(device.stores(), storesBefore) << "run " << run << ": success without the store command";
        }
        rig.port.plugIn();
    }
    std::cout << "[ soak     ] transfers: " << reads << " reads (" << readsOk << " successful), " << downloads
              << " downloads (" << downloadsOk << " successful), " << rig.port.framesWritten() << " frames, "
              << rig.clock.now / 1000 << " s of line time" << std::endl;
    EXPECT_GT(readsOk, 0);
    EXPECT_LT(readsOk, reads);
    EXPECT_GT(downloadsOk, 0);
    EXPECT_LT(downloadsOk, downloads);
}
