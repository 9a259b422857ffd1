// Read Setup and Download Setup through the main window, against the simulated device on a pty.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "calibration/frmcalibration.h"
#include "datafile/datafilecommands.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "monitor/frmlinemonitor.h"
#include "transfer/frequencypoll.h"
#include "transferrig.h"

namespace {

using Icon = UserDialogs::Icon;

const std::map<int, double> knownSetup { { 3, 2 }, { 4, 1 }, { 8, 1 }, { 9, 1234.5 }, { 11, 7 }, { 15, 1.5 },
    { 16, 250 }, { 100, 3 }, { 7, 0.85 }, { 101, 100 }, { 102, 10.5 }, { 103, 200 }, { 104, 20.25 },
    { 105, 300 }, { 106, 30 } };

QStringList readFrames(bool withSpg)
{
    QString bodies = withSpg ? "V I 3i 4i 8i 9f 11i 15f 16f 100i 7f" : "V I 3i 4i 8i 9f 11i 15f 16f 100i";
    for (int i = 0; i < 10; ++i)
        bodies += QStringLiteral(" %1i %2f").arg(101 + 2 * i).arg(102 + 2 * i);
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
    EXPECT_EQ(
        snapshot(rig).mid(3), words("txtKfactor= txtDamping= txtFlowLow= txtFlowHi= txtLinearPts= txtSpg="));
    for (QComboBox *list : { rig.c().cboRateUnits, rig.c().cboRateInterval, rig.c().cboKfactorUnits })
        EXPECT_EQ(list->currentIndex(), -1) << list->objectName().toStdString();
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(rig.state.LinFreqItems[i].value == -1 && rig.state.LinFlowItems[i].value == -1.0f) << i;
}

// Fills the window as the source says: "read C=V" reads a device holding the known setup with item C
// at V, "open C=V" opens the example data file with that line in place of its own.
void load(TransferRig &rig, const char *source)
{
    const QStringList how = words(source);
    const QString line = how.at(1);
    if (how.at(0) == QLatin1String("read")) {
        rig.c().btnRead->click();
        return;
    }
    QFile example(QStringLiteral(QRX_TEST_DATA_DIR "/transfer/setup.dat"));
    example.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromLatin1(example.readAll()).split(QLatin1Char('\n'));
    for (QString &l : lines) {
        if (l.section(QLatin1Char('='), 0, 0) == line.section(QLatin1Char('='), 0, 0))
            l = line;
    }
    const QString path = rig.dir.filePath(QStringLiteral("edited.dat"));
    writeFile(path, lines.join(QLatin1Char('\n')).toLatin1());
    rig.dialogs.fileAnswers.push_back(path);
    rig.window->dataFiles().mnuOpen_Click();
}

TransferRig rigFor(const char *source)
{
    std::map<int, double> setup = knownSetup;
    const QString line = words(source).at(1);
    if (QString::fromLatin1(source).startsWith(QLatin1String("read")))
        setup[line.section(QLatin1Char('='), 0, 0).toInt()] = line.section(QLatin1Char('='), 1).toDouble();
    return TransferRig(setup);
}

} // namespace

TEST(ReadSetup, AKnownSetupLandsInEveryFieldAndPoint)
{
    TransferRig rig(knownSetup);
    ASSERT_TRUE(rig.start()) << rig.error.toStdString();
    rig.c().txtDamping->setText(QStringLiteral("55")); // whatever was there before is replaced
    frmLinearPoints *points = rig.window->linearPoints().window();
    points->show();
    rig.c().btnRead->click();

    EXPECT_FALSE(points->isVisible());
    EXPECT_EQ(rig.received(), readFrames(true));
    EXPECT_EQ(snapshot(rig),
        (QStringList { "Kgs", "Min", "Pulses/M3", "txtKfactor=1234.5", "txtDamping=7", "txtFlowLow=1.5",
            "txtFlowHi=250", "txtLinearPts=3", "txtSpg=0.85", "pt0=100/10.5", "pt1=200/20.25",
            "pt2=300/30" }));
    EXPECT_FALSE(rig.c().txtSpg->isHidden());
    for (int i = 3; i < 10; ++i) // the unused points are as the device has them
        EXPECT_TRUE(rig.state.LinFreqItems[i].value == 0 && rig.state.LinFlowItems[i].value == 0.0f) << i;
    ASSERT_EQ(rig.percents.size(), 29); // one per exchange
    EXPECT_EQ(rig.percents.mid(0, 3), words("3% 7% 10%"));
    EXPECT_EQ(rig.percents.last(), "100%");
    EXPECT_EQ(rig.dialogs.texts(), QStringList { "Read Successful" });
    EXPECT_EQ(rig.dialogs.messages.at(0).icon, Icon::None);
    EXPECT_EQ(rig.window->statusText(), "Status:  Read Successful");
    expectIdle(rig);
}

// Read Setup closes the linear points window through its checks also while it is hidden: the message
// and the marker apply, the focus does not go to the hidden window.
TEST(ReadSetup, AHiddenLinearPointsWindowIsCheckedBeforeReading)
{
    TransferRig rig(knownSetup);
    ASSERT_TRUE(rig.start()) << rig.error.toStdString();
    frmLinearPoints *points = rig.window->linearPoints().window();
    points->txtFreq(1)->setText(QStringLiteral("99999"));
    rig.window->show();
    QApplication::setActiveWindow(rig.window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(rig.window.get()));
    rig.c().btnRead->click();

    ASSERT_EQ(rig.dialogs.texts().size(), 2);
    EXPECT_TRUE(rig.dialogs.texts().at(0).startsWith(QStringLiteral("Freqency  Field must be between ")));
    EXPECT_EQ(rig.dialogs.texts().at(1), "Read Successful");
    EXPECT_FALSE(points->lblErr(1)->isHidden());
    EXPECT_FALSE(points->isVisible());
    EXPECT_FALSE(QApplication::focusWidget() && QApplication::focusWidget()->window() == points);
}

TEST(ReadSetup, MenusThatTouchTheDeviceAreOffWhileATransferRuns)
{
    TransferRig rig(knownSetup);
    ASSERT_TRUE(rig.start()) << rig.error.toStdString();
    AltMainControls &c = rig.c();
    const std::vector<QAction *> guarded { c.mnuOpen, c.mnuClear, c.mnuCalibrate, c.mnuComPort[1],
        c.mnuComPort[12], c.mnuSerialPort->menuAction() };
    frmLineMonitor monitor(*rig.context);
    monitor.findChild<QLineEdit *>(QStringLiteral("txtOutput"))->setText(QStringLiteral("F"));
    int offDuring = 0;
    bool viewingOn = true;
    QObject::connect(rig.progress(), &frmProgress::percentChanged, [&](const QString &) {
        for (QAction *a : guarded)
            offDuring += a->isEnabled() ? 0 : 1;
        viewingOn = viewingOn && c.mnuCommDebug->isEnabled() && c.btnLinear->isEnabled()
            && rig.state.TransferRunning;
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
    ASSERT_TRUE(rig.start()) << rig.error.toStdString();
    rig.c().txtDamping->setText(QStringLiteral("55"));
    rig.c().btnRead->click();

    EXPECT_EQ(rig.received(), frames("V V")); // one resend, then nothing more
    EXPECT_EQ(rig.dialogs.texts(), (QStringList { LinkEngine::timeoutMessage(), "Unable to perform Read!" }));
    EXPECT_EQ(rig.dialogs.messages.at(1).icon, Icon::Critical);
    EXPECT_EQ(rig.window->statusText(), "Status:  Unable to perform Read");
    expectEverythingEmpty(rig);
    expectIdle(rig);
}

TEST(ReadSetup, ARateUnitBeyondTheListLeavesItUnselectedAndTheReadSucceeds)
{
    TransferRig rig({ { 3, 9 }, { 11, 12 } });
    ASSERT_TRUE(rig.start()) << rig.error.toStdString();
    rig.c().btnRead->click();
    EXPECT_EQ(rig.c().cboRateUnits->currentIndex(), -1);
    EXPECT_EQ(rig.c().txtDamping->text(), "12");
    EXPECT_EQ(rig.received(), readFrames(false));
    EXPECT_EQ(rig.dialogs.texts(), QStringList { "Read Successful" });
}

TEST(ReadSetup, OutputTypeReplySelectsTheOption)
{
    const struct
    {
        int reply, before, after; // option selected before and after the read
        const char *flowLowCaption;
    } rows[] = { { 0, 1, 0, "Flow at 4mA" }, { 1, 1, 1, "Flow at 0V" }, { 1, 0, 0, "Flow at 4mA:" },
        { 2, 0, 1, "Flow at 0V" } };
    for (const auto &r : rows) {
        TransferRig rig;
        rig.options.outputType = r.reply;
        ASSERT_TRUE(rig.start()) << rig.error.toStdString();
        if (r.before == 1)
            rig.window->fields().optType_Click(1);
        rig.c().btnRead->click();
        EXPECT_TRUE(rig.c().optType[size_t(r.after)]->isChecked()) << r.reply;
        EXPECT_EQ(rig.state.OutputType, r.after) << r.reply;
        EXPECT_EQ(rig.c().lblFlowLow->text(), r.flowLowCaption) << r.reply;
    }
}

// Regression: a units position above 1 repeated the previous command in place of the K factor.
TEST(ReadSetup, KfactorUnitsWithoutAKfactorRecordExchangeNoKfactor)
{
    const QString units = QStringLiteral("K Factor Units=8,0,2,Pulses/Ltr,Pulses/M3,Pulses/Gal");
    for (const int position : { 1, 2 }) { // positions 0 and 1 have a K factor record each, 2 has none
        TransferRig rig({ { 8, double(position) }, { 9, 77.5 } }, { units });
        ASSERT_TRUE(rig.start()) << rig.error.toStdString();
        rig.c().btnRead->click();
        EXPECT_EQ(rig.received().mid(4, 3), frames(position == 1 ? "8i 9f 11i" : "8i 11i 15f")) << position;
        EXPECT_EQ(rig.c().txtKfactor->text(), position == 1 ? "77.5" : "") << position;
        EXPECT_EQ(rig.c().txtDamping->text(), "5") << position;
        EXPECT_EQ(rig.percents.last(), "100%") << position;
        EXPECT_EQ(rig.dialogs.texts(), QStringList { "Read Successful" }) << position;
    }
}

TEST(DownloadSetup, WritesTheEntriesByteForByteOrStopsAtTheFirstFault)
{
    const std::function<void(TransferRig &)> plain = [](TransferRig &) {};
    const auto kfactorUnits = [](int position) {
        return [position](TransferRig &r) {
            r.c().cboKfactorUnits->setCurrentIndex(position);
            r.c().txtKfactor->setText(QStringLiteral("77.5"));
        };
    };
    const QString units = QStringLiteral("K Factor Units=8,0,2,Pulses/Ltr,Pulses/M3,Pulses/Gal");
    const QStringList programmed { "Programming Successful" };
    const struct
    {
        const char *name;
        std::function<void(TransferRig &)> enter; // changes to the plain setup
        QStringList configEdit;
        int errorCode; // the device refuses item 11 with it
        const char *wire, *percents; // percents nullptr: only the last one is checked
        QStringList texts;
        Icon icon;
    } rows[] = { { "plain", plain, {}, 0, "V 3i0 4i2 8i0 9f16.5 11i3 15f0 16f500.25 100i0 W",
                     "11% 22% 33% 44% 56% 67% 78% 100%", programmed, Icon::None },
        { "three points with Specific Gravity",
            [](TransferRig &r) {
                r.c().cboRateUnits->setCurrentIndex(3); // Lbs shows the Specific Gravity
                r.c().txtSpg->setText(QStringLiteral("1.25"));
                r.c().txtLinearPts->setText(QStringLiteral("3"));
                const qint16 freq[] = { 150, 1500, 15000 };
                const float flow[] = { 1.5f, 15.75f, 157.5f };
                for (int i = 0; i < 3; ++i) {
                    r.state.LinFreqItems[i].value = freq[i];
                    r.state.LinFlowItems[i].value = flow[i];
                }
            },
            {}, 0,
            "V 3i3 4i2 8i0 9f16.5 11i3 15f0 16f500.25 100i3 7f1.25 101i150 102f1.5 103i1500 104f15.75 "
            "105i15000 "
            "106f157.5 W",
            "7% 13% 20% 27% 33% 40% 47% 53% 60% 67% 73% 80% 87% 93% 100%", programmed, Icon::None },
        { "device error at step 5", plain, {}, 13, "V 3i0 4i2 8i0 9f16.5 11i3", "11% 22% 33% 44% 0%",
            { "Device Error 13, VALUE TOO LOW\rIssued for Damping", "Unable to complete Download!" },
            Icon::Critical },
        { "missing entry", [](TransferRig &r) { r.c().txtFlowHi->clear(); }, {}, 0, "", "",
            { "Plese enter missing information" }, Icon::Exclamation },
        // Regression: a units position above 1 repeated the units write and never wrote a K factor.
        { "units 1", kfactorUnits(1), { units }, 0, "V 3i0 4i2 8i1 9f77.5 11i3 15f0 16f500.25 100i0 W",
            nullptr, programmed, Icon::None },
        { "units 2 without a record", kfactorUnits(2), { units }, 0,
            "V 3i0 4i2 8i2 11i3 15f0 16f500.25 100i0 W", nullptr, programmed, Icon::None } };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        TransferRig rig({}, r.configEdit);
        rig.options.errorCode = r.errorCode;
        rig.options.errorItem = QStringLiteral("11");
        ASSERT_TRUE(rig.start()) << rig.error.toStdString();
        enterPlainSetup(rig);
        r.enter(rig);
        rig.c().btnDownload->click();
        EXPECT_EQ(rig.received(), frames(r.wire));
        if (r.percents) {
            EXPECT_EQ(rig.percents, words(r.percents));
        }
        EXPECT_EQ(rig.dialogs.texts(), r.texts);
        EXPECT_EQ(rig.dialogs.messages.back().icon, r.icon);
        if (r.texts == programmed) {
            EXPECT_EQ(rig.percents.last(), "100%");
            EXPECT_EQ(rig.device->itemValue(16), 500.25);
        }
        if (!rig.received().isEmpty()) {
            EXPECT_EQ(rig.window->statusText(), "Status:  Complete");
        }
        EXPECT_EQ(rig.c().lblFlowHiE->isHidden(), !rig.received().isEmpty());
        expectIdle(rig);
    }
}

TEST(DownloadSetup, APointCountBeyondThePointTablesEndsInDownloadError)
{
    TransferRig rig({}, { QStringLiteral("Number of Linear Points=100,0,20") });
    ASSERT_TRUE(rig.start()) << rig.error.toStdString();
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
    for (const Way way : { Way::CancelRead, Way::CancelDownload, Way::CloseBoxDuringRead }) {
        const bool reading = way != Way::CancelDownload;
        TransferRig rig(knownSetup);
        ASSERT_TRUE(rig.start()) << rig.error.toStdString();
        if (!reading)
            enterPlainSetup(rig);
        QObject::connect(rig.progress(), &frmProgress::percentChanged, [&rig, way] {
            if (rig.percents.size() == 3 && way == Way::CloseBoxDuringRead)
                rig.progress()->close();
            else if (rig.percents.size() == 3)
                rig.progress()->btnCancel()->click();
        });
        (reading ? rig.c().btnRead : rig.c().btnDownload)->click();
        if (reading) {
            EXPECT_EQ(rig.received(), frames("V I 3i 4i 8i")) << int(way);
            EXPECT_EQ(rig.dialogs.texts(), QStringList { "Unable to perform Read!" }) << int(way);
            expectEverythingEmpty(rig);
        } else {
            EXPECT_EQ(rig.received(), frames("V 3i0 4i2 8i0"));
            EXPECT_EQ(rig.dialogs.texts(), QStringList { "Unable to complete Download!" });
            EXPECT_EQ(rig.progress()->percent(), "0%");
        }
        expectIdle(rig);
    }
}

// Regression: every edit filtered and cut the whole text, so a key changed a loaded value elsewhere.
TEST(LoadedValues, AKeyChangesOnlyWhatItInserts)
{
    const struct { const char *source, *field, *keys, *shown; } rows[] = {
        {"open 9=1.5E3", "txtKfactor", "Home Del", ".5E3"},
        {"open 15=-5", "txtFlowLow", "End 1", "-51"},
        {"read 7=0.876543", "txtSpg", "End BS", "0.87654"}, // beyond the typing limit of 6
        {"open 102=-2.5E1", "txtCoef0", "End 0", "-2.5E10"},
        {"open 101=1234567890", "txtFreq0", "Home Del", "234567890"}, // beyond the typing limit of 8
    };
    for (const auto &r : rows) {
        TransferRig rig = rigFor(r.source);
        ASSERT_TRUE(rig.start()) << rig.error.toStdString();
        load(rig, r.source);
        auto *field = rig.window->findChild<QLineEdit *>(QString::fromLatin1(r.field));
        ASSERT_TRUE(field) << r.field;
        for (const QString &key : words(r.keys)) {
            if (key == QLatin1String("Home") || key == QLatin1String("End"))
                QTest::keyClick(field, key == QLatin1String("Home") ? Qt::Key_Home : Qt::Key_End);
            else if (key == QLatin1String("Del") || key == QLatin1String("BS"))
                QTest::keyClick(field, key == QLatin1String("Del") ? Qt::Key_Delete : Qt::Key_Backspace);
            else
                QTest::keyClicks(field, key);
        }
        EXPECT_EQ(field->text(), r.shown) << r.source;
    }
}

// Regression: the field showed the number while its record kept the previous value, unflagged.
TEST(LoadedValues, ANumberItsRecordCannotHoldIsFlaggedAndNeverDownloaded)
{
    const struct { const char *source, *field; } rows[] = {
        {"open 11=40000", "Damping"}, {"read 11=40000", "Damping"}, {"open 16=1E39", "FlowHi"},
        {"open 15=-1E39", "FlowLow"}, {"open 9=4E38", "Kfactor"},
    };
    for (const auto &r : rows) {
        TransferRig rig = rigFor(r.source);
        ASSERT_TRUE(rig.start()) << rig.error.toStdString();
        load(rig, r.source);
        const QString name = QString::fromLatin1(r.field);
        auto *marker = rig.window->findChild<QLabel *>(QStringLiteral("lbl%1E").arg(name));
        ASSERT_TRUE(marker) << r.field;
        EXPECT_FALSE(marker->isHidden()) << r.source;
        const int sent = int(rig.received().size());
        rig.dialogs.clear();
        rig.c().btnDownload->click();
        EXPECT_EQ(rig.dialogs.texts(), QStringList { "Plese enter missing information" }) << r.source;
        EXPECT_EQ(rig.received().size(), sent) << r.source;

        auto *field = rig.window->findChild<QLineEdit *>(QStringLiteral("txt%1").arg(name));
        field->setText(QStringLiteral("7")); // an edit that fits clears the flag
        EXPECT_TRUE(marker->isHidden()) << r.source;
    }
}

// Regression: a Read, Download or Calibrate started while a poll's "F" waited was refused and failed.
TEST(Transfer, StartedWhileAPollWaitsRunsWholeAfterThePoll)
{
    const struct
    {
        const char *name;
        std::function<void(TransferRig &)> start;
        QStringList wire;
        QStringList texts;
    } rows[] = {
        { "Read", [](TransferRig &r) { r.c().btnRead->click(); }, frames("F") + readFrames(true),
            { "Read Successful" } },
        { "Download", [](TransferRig &r) { r.c().btnDownload->click(); },
            frames("F V 3i0 4i2 8i0 9f16.5 11i3 15f0 16f500.25 100i0 W"), { "Programming Successful" } },
        { "Calibrate", [](TransferRig &r) { r.c().mnuCalibrate->trigger(); }, frames("F V 13i 14i W F"),
            {} },
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        TransferRig rig(knownSetup);
        rig.options.latencyMs = 40; // slower than the click that follows the poll
        ASSERT_TRUE(rig.start()) << rig.error.toStdString();
        enterPlainSetup(rig);
        rig.c().Option1->click();
        rig.c().tmrPolling->stop(); // one poll, by hand
        QString lowDac;
        QTimer watcher; // closes the calibration window once it has read both ends
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            auto *calibration = qobject_cast<frmCalibration *>(QApplication::activeModalWidget());
            if (calibration && calibration->loaded()) {
                watcher.stop();
                lowDac = calibration->findChild<QLineEdit *>(QStringLiteral("txtLowDAC"))->text();
                calibration->close();
            }
        });
        watcher.start(10);
        QTimer::singleShot(10, [&] { r.start(rig); });
        rig.window->poll().tmrPolling_Timer();
        EXPECT_EQ(rig.received(), r.wire);
        EXPECT_EQ(rig.dialogs.texts(), r.texts);
        EXPECT_EQ(lowDac, r.texts.isEmpty() ? "800" : "");
        QString shown; // the poll shows its own reply, not the last one of what ran meanwhile
        for (QLabel *digit : rig.c().lblInputHz)
            shown += digit->text();
        EXPECT_TRUE(shown >= "0200" && shown <= "0300") << shown.toStdString();
        expectIdle(rig);
    }
}

// The device vanishes under a Read (a USB adapter pulled) and is back later on the same path.
TEST(ReadSetup, AVanishedDeviceEndsThroughTheTimeOutAndANewPortAtThePathReadsAgain)
{
    TransferRig rig(knownSetup);
    rig.options.linkPath = rig.dir.filePath(QStringLiteral("device"));
    rig.options.vanishAfter = 3;
    ASSERT_TRUE(rig.start()) << rig.error.toStdString();
    rig.link->setPortResolver([path = rig.options.linkPath](int) { return path; });
    QElapsedTimer clock;
    QList<qint64> shownAt;
    rig.dialogs.onMessage = [&](const UserDialogs::Message &) { shownAt << clock.elapsed(); };
    QObject::connect(rig.progress(), &frmProgress::percentChanged, [&](const QString &) {
        if (rig.percents.size() == 1)
            clock.start(); // 3i has been read: 4i goes out next and meets no device
    });
    rig.c().btnRead->click();
    EXPECT_EQ(rig.received(), frames("V I 3i 4i"));
    // The resend finds the port gone; the time-out ends the exchange and the Read fails.
    EXPECT_EQ(rig.dialogs.texts(),
        (QStringList { "ERROR - Invalid Com Port", LinkEngine::timeoutMessage(), "Unable to perform Read!" }));
    ASSERT_EQ(shownAt.size(), 3);
    EXPECT_GE(shownAt[1], 950);
    EXPECT_LE(shownAt[1], 1300);
    EXPECT_EQ(rig.window->statusText(), "Status:  Unable to perform Read");
    expectEverythingEmpty(rig);

    rig.options.vanishAfter = -1;
    rig.device = std::make_unique<SimulatedDevice>(rig.options);
    ASSERT_TRUE(rig.device->start(&rig.error)) << rig.error.toStdString();
    rig.dialogs.clear();
    rig.c().btnRead->click();
    EXPECT_EQ(rig.dialogs.texts(), QStringList { "Read Successful" });
    EXPECT_EQ(snapshot(rig).at(4), "txtDamping=7");
    expectIdle(rig);
}
