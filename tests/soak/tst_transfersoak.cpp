// SPDX-License-Identifier: GPL-3.0-or-later
// Read Setup and Download Setup over and over on a bad line (virtual time): a read either lands
// the device's whole setup in the window or leaves the window empty, and a download reports
// success only when the device holds every value it was sent.
#include <cmath>
#include <random>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/frmaltmain.h"
#include "clockedport.h"
#include "fakeuserdialogs.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "params/devicefamily.h"
#include "params/dravionfields.h"
#include "table.h"
#include "wire.h"

namespace {

struct TransferSoakRig
{
    SoakClock clock;
    ClockedReplyTimer timer { clock };
    ClockedPort port;
    DeviceState state;
    FakeUserDialogs dialogs;
    LinkEngine link { state, port, timer, dialogs };
    AppContext context { state, &link, dialogs, DeviceFamily::dravion() };
    frmAltMain window { context };
    AltMainControls &c = window.controls();
    QTimer pump;

    explicit TransferSoakRig(const SimOptions &options)
        : port(options, clock, timer)
    {
        link.setPortResolver([](int) { return QStringLiteral("soak"); });
        window.fields().loadConfigurationFrom(QStringLiteral(QRX_CONFIG_DIR "/dravion"));
        QObject::connect(&pump, &QTimer::timeout, [this] { port.step(); });
        pump.start();
        dialogs.clear();
    }

    // Clicks the button; the texts of the transfer's own endings among the boxes it showed.
    QStringList run(QPushButton *button, const QStringList &known)
    {
        const qsizetype from = dialogs.texts().size();
        button->click();
        QStringList out = dialogs.texts().mid(from);
        out.removeIf([&](const QString &text) { return !known.contains(text); });
        return out;
    }

    // What the records hold after a read, against the device: one text per difference.
    QString readMismatches()
    {
        const DeviceState &s = state;
        std::vector<std::pair<int, double>> held { { 3, s.RateUnits }, { 4, s.RateInterval },
            { 8, s.KfactorUnits }, { 9, s.KfactorItems[std::size_t(s.KfactorUnits == 1)].value },
            { 11, s.DampingItem.value }, { 15, s.FlowLowItem.value }, { 16, s.FlowHiItem.value },
            { 100, s.LinearPtsItem.value } };
        for (std::size_t i = 0; i < 10; ++i)
            held.insert(held.end(),
                { { int(101 + 2 * i), s.LinFreqItems[i].value },
                    { int(102 + 2 * i), s.LinFlowItems[i].value } });
        QStringList out;
        for (const auto &[code, value] : held) {
            const double device = port.model().value(code);
            if (std::fabs(value - device) > 1e-3 * std::max(1.0, std::fabs(device)))
                out << QStringLiteral("item %1 holds %2, the device %3").arg(code).arg(value).arg(device);
        }
        return out.join("; ");
    }

    // The controls that still show something after a failed read.
    QString leftovers()
    {
        QStringList out;
        for (QComboBox *list : { c.cboRateUnits, c.cboRateInterval, c.cboKfactorUnits })
            out << (list->currentIndex() != -1 ? list->objectName() : QString());
        for (QLineEdit *field :
            { c.txtKfactor, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtLinearPts, c.txtSpg })
            out << (field->text().isEmpty() ? QString() : field->objectName());
        out.removeAll(QString());
        return out.join(", ");
    }
};

} // namespace

TEST(TransferSoak, ReadsAndDownloadsOnABadLineNeverHalfSucceed)
{
    // The window reads the alternative set from that folder, so the device takes its ranges too.
    const QString config = QStringLiteral(QRX_CONFIG_DIR "/dravion/ConfigK.inf");
    QString error;
    const auto o = SimOptions::parse(words("--no-pacing --drop 0.08 --garble 0.08 --wrong-code 0.05 "
                                           "--delay 0.04 --seed 21 --config ")
            << config,
        &error);
    ASSERT_TRUE(o) << error.toStdString();
    TransferSoakRig rig(*o);
    DeviceModel &device = rig.port.model();
    for (const QString &item : tableRows("soak/transfer.txt", "device").value(0).words("items"))
        device.setValue(item.section('=', 0, 0).toInt(), item.section('=', 1).toDouble());
    std::mt19937 random(5);
    const int runs = 60;
    int readsOk = 0, downloadsOk = 0; // every successful read is followed by a download
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const bool pull = run % 7 == 3;
        if (pull)
            rig.port.unplugAfterFrames(1 + int(random() % 25));
        const QStringList read = rig.run(rig.c.btnRead, { "Read Successful", "Unable to perform Read!" });
        ASSERT_EQ(read.size(), 1) << read.join(", ").toStdString();
        rig.port.plugIn();
        if (read[0] != "Read Successful") {
            EXPECT_EQ(rig.window.statusText(), "Status:  Unable to perform Read");
            EXPECT_EQ(rig.leftovers(), "");
            continue;
        }
        ++readsOk;
        EXPECT_EQ(rig.window.statusText(), "Status:  Read Successful");
        EXPECT_EQ(rig.readMismatches(), "");

        // A changed setup goes back to the device.
        const int damping = int(random() % 100);
        const int rateUnits = int(random() % unsigned(rig.c.cboRateUnits->count()));
        const double flowHi = 100 + int(random() % 9000);
        rig.c.txtDamping->setText(QString::number(damping));
        rig.c.cboRateUnits->setCurrentIndex(rateUnits);
        rig.c.txtFlowHi->setText(QString::number(flowHi));
        if (rig.c.txtSpg->text().isEmpty())
            rig.c.txtSpg->setText("1.15"); // shown for some units only
        if (pull)
            rig.port.unplugAfterFrames(1 + int(random() % 12));
        const int storesBefore = device.stores();
        const QStringList download = rig.run(rig.c.btnDownload,
            { "Programming Successful", "Unable to complete Download!", "Download Error" });
        ASSERT_EQ(download.size(), 1) << rig.dialogs.texts().join(", ").toStdString();
        if (download[0] == "Programming Successful") {
            ++downloadsOk;
            EXPECT_EQ(device.value(11), damping);
            EXPECT_EQ(device.value(3), rateUnits);
            EXPECT_NEAR(device.value(16), flowHi, 1e-3);
            EXPECT_GT(device.stores(), storesBefore) << "success without the store command";
        }
        rig.port.plugIn();
    }
    std::cout << "[ soak     ] " << readsOk << "/" << runs << " reads, " << downloadsOk << " downloads ok\n";
    EXPECT_GT(readsOk, 0);
    EXPECT_LT(readsOk, runs);
    EXPECT_GT(downloadsOk, 0);
    EXPECT_LT(downloadsOk, readsOk);
}
