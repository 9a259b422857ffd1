// SPDX-License-Identifier: GPL-3.0-or-later
// Read Setup, Download Setup, Compare with Device and the frequency poll of both families, driven
// through the main window against the simulated device; rows in tests/data/transfer/transfer.txt.

#include <QApplication>
#include <QElapsedTimer>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include "calibration/frmcalibration.h"
#include "datafile/datafilecommands.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "link/values.h"
#include "monitor/frmlinemonitor.h"
#include "params/configreader.h"
#include "params/devicefamily.h"
#include "params/setupcomparison.h"
#include "params/setupmodel.h"
#include "rigcase.h"
#include "transfer/frequencydigits.h"
#include "transfer/frmcompare.h"
#include "transfer/progresscounter.h"
#include "transfer/setupflow.h"

namespace {

UserDialogs::Icon icon(const QString &name)
{
    const QStringList names { "None", "Critical", "Exclamation", "Information", "Question" };
    return UserDialogs::Icon(names.indexOf(name));
}

// Hooks a row's options put on the progress: Cancel or closing the window after N percentages,
// and a poll whose "F" is still waiting when the row's command starts.
void hook(RigCase &t, const QStringList &options)
{
    Rig &r = *t;
    frmProgress *progress = r.window->transfer().progressWindow();
    for (const QString &o : options) {
        const int n = o.section(QLatin1Char('='), 1).toInt();
        if (o.startsWith(QLatin1String("cancelAt=")))
            QObject::connect(progress, &frmProgress::percentChanged, [&r, progress, n] {
                if (r.percents.size() == n)
                    progress->btnCancel()->click();
            });
        if (o.startsWith(QLatin1String("closeAt=")))
            QObject::connect(progress, &frmProgress::percentChanged, [&r, progress, n] {
                if (r.percents.size() == n)
                    progress->close();
            });
    }
}

// One row of [transfer]: the entries, the command pressed (after a poll when the row says
// "pollFirst"), then the frames, messages, status and what the window shows.
void runTransferRow(const TableRow &row)
{
    const QStringList options = row.words("options");
    RigCase t(row["family"], row.words("device"), options);
    Rig &r = *t;
    if (r.options.family.isEmpty() || !r.window)
        return;
    t.enter(row.words("entries"));
    hook(t, options);
    r.mark();
    if (options.contains(QStringLiteral("pollFirst"))) {
        r.c().Option1->click();
        r.c().tmrPolling->stop(); // one poll, by hand
        QTimer watcher; // closes the calibration window once it has read both ends
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            auto *calibration = qobject_cast<frmCalibration *>(QApplication::activeModalWidget());
            if (calibration && calibration->loaded()) {
                watcher.stop();
                t.seen[QStringLiteral("lowDac")]
                    = calibration->findChild<QLineEdit *>(QStringLiteral("txtLowDAC"))->text();
                calibration->close();
            }
        });
        watcher.start(10);
        QTimer::singleShot(10, [&] { t.press(row["pressed"]); });
        r.window->poll().tmrPolling_Timer();
    } else {
        t.press(row["pressed"]);
    }
    EXPECT_EQ(r.receivedSinceMark(), frameList(row.words("frames")));
    EXPECT_EQ(r.dialogs.texts(), RigCase::texts(row["messages"]));
    if (!r.dialogs.messages.empty()) {
        EXPECT_EQ(r.dialogs.messages.back().icon, icon(row["icon"]));
    }
    if (!row["status"].isEmpty()) {
        EXPECT_EQ(r.window->statusText(), row["status"]);
    }
    t.expect(row.words("afterwards"));
    t.expectIdle();
}

} // namespace

TABLE_TEST(Transfer, ReadAndDownloadRows, "transfer/transfer.txt", "transfer")
{
    runTransferRow(row);
}

// Regression: a Read, Download or Calibrate started while a poll's "F" waited was refused and failed.
TABLE_TEST(Transfer, StartedWhileAPollWaitsRunsWholeAfterThePoll, "transfer/transfer.txt", "afterPoll")
{
    runTransferRow(row);
}

TABLE_TEST(Transfer, CommandsThatTouchTheDeviceAreOffWhileATransferRuns, "transfer/transfer.txt", "guarded")
{
    RigCase t(row["family"], row.words("device"), {});
    Rig &r = *t;
    t.enter(row.words("entries"));
    QList<QAction *> guarded;
    for (const QString &name : row.words("off"))
        guarded << r.window->findChild<QAction *>(name);
    ASSERT_FALSE(guarded.contains(nullptr));
    frmLineMonitor monitor(*r.context);
    monitor.findChild<QLineEdit *>(QStringLiteral("txtOutput"))->setText(QStringLiteral("F"));
    int offDuring = 0;
    bool viewingOn = true;
    QObject::connect(r.window->transfer().progressWindow(), &frmProgress::percentChanged, [&] {
        for (QAction *a : guarded)
            offDuring += a->isEnabled() ? 0 : 1;
        viewingOn = viewingOn && r.c().mnuCommDebug->isEnabled() && r.c().btnLinear->isEnabled()
            && r.state.TransferRunning;
        monitor.findChild<QPushButton *>(QStringLiteral("btnSend"))->click(); // must not join the sequence
    });
    r.mark();
    t.press(row["pressed"]);
    EXPECT_EQ(offDuring, int(guarded.size() * r.percents.size()));
    EXPECT_GT(r.percents.size(), 0);
    EXPECT_TRUE(viewingOn);
    EXPECT_FALSE(r.receivedSinceMark().contains(QStringLiteral("<STX>F<CR>")));
    for (QAction *a : guarded)
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

// Read Setup checks the linear points window also while it is hidden: the message and the marker
// apply, the focus does not go to the hidden window.
TEST(Transfer, AHiddenLinearPointsWindowIsCheckedBeforeReading)
{
    RigCase t(QStringLiteral("Dravion"), { QStringLiteral("known") }, {});
    Rig &r = *t;
    frmLinearPoints *points = r.window->linearPoints().window();
    points->txtFreq(1)->setText(QStringLiteral("99999"));
    r.window->show();
    QApplication::setActiveWindow(r.window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(r.window.get()));
    r.c().btnRead->click();
    ASSERT_EQ(r.dialogs.texts().size(), 2);
    EXPECT_TRUE(r.dialogs.texts().at(0).startsWith(QStringLiteral("Freqency  Field must be between ")));
    EXPECT_EQ(r.dialogs.texts().at(1), "Read Successful");
    EXPECT_FALSE(points->lblErr(1)->isHidden());
    EXPECT_FALSE(points->isVisible());
    EXPECT_FALSE(QApplication::focusWidget() && QApplication::focusWidget()->window() == points);
}

// The device vanishes under a Read (a USB adapter pulled) and is back later on the same path.
TABLE_TEST(Transfer, AVanishedDeviceEndsThroughTheTimeOutAndANewPortAtThePathReadsAgain,
    "transfer/transfer.txt", "vanish")
{
    RigCase t(row["family"], row.words("device"),
        { QStringLiteral("--vanish-after=3"), QStringLiteral("linked") }, true);
    Rig &r = *t;
    ASSERT_TRUE(r.pty);
    QElapsedTimer clock;
    QList<qint64> shownAt;
    r.dialogs.onMessage = [&](const UserDialogs::Message &) { shownAt << clock.elapsed(); };
    QObject::connect(r.window->transfer().progressWindow(), &frmProgress::percentChanged, [&] {
        if (r.percents.size() == 1)
            clock.start(); // the first item has been read: the next goes out and meets no device
    });
    r.c().btnRead->click();
    EXPECT_EQ(r.received(), frameList(row.words("frames")));
    EXPECT_EQ(r.dialogs.texts(),
        RigCase::texts(QStringLiteral("ERROR - Invalid Com Port;TIMEOUT;Unable to perform Read!")));
    ASSERT_EQ(shownAt.size(), 3);
    EXPECT_GE(shownAt[1], 950);
    EXPECT_LE(shownAt[1], 1300);
    EXPECT_EQ(r.window->statusText(), "Status:  Unable to perform Read");
    EXPECT_EQ(r.shown(QStringLiteral("txtDamping")), "");
    r.dialogs.onMessage = nullptr;

    r.options.vanishAfter = -1;
    r.pty = std::make_unique<SimulatedDevice>(r.options);
    ASSERT_TRUE(r.pty->start(&r.error)) << r.error.toStdString();
    r.dialogs.clear();
    r.c().btnRead->click();
    EXPECT_EQ(r.dialogs.texts(), QStringList { "Read Successful" });
    EXPECT_EQ(r.shown(QStringLiteral("txtDamping")), row["damping"]);
    t.expectIdle();
}

// Regression: every edit filtered and cut the whole text, so a key changed a loaded value elsewhere;
// and a number the record cannot hold was shown unflagged and downloaded.
TABLE_TEST(Transfer, LoadedValuesKeepTheirTextAndFlagWhatNoRecordHolds, "transfer/transfer.txt", "loaded")
{
    const QString line = row.words("arrives").at(1);
    const bool read = row.words("arrives").at(0) == QLatin1String("read");
    RigCase t(
        QStringLiteral("Dravion"), QStringList { QStringLiteral("known"), read ? line : QString() }, {});
    Rig &r = *t;
    if (read) {
        r.c().btnRead->click();
    } else {
        QFile example(QStringLiteral(QRX_TEST_DATA_DIR "/transfer/setup.dat"));
        example.open(QIODevice::ReadOnly);
        QStringList lines = QString::fromLatin1(example.readAll()).split(QLatin1Char('\n'));
        for (QString &l : lines)
            if (l.section(QLatin1Char('='), 0, 0) == line.section(QLatin1Char('='), 0, 0))
                l = line;
        const QString path = r.dir.filePath(QStringLiteral("edited.dat"));
        writeFile(path, lines.join(QLatin1Char('\n')).toLatin1());
        r.dialogs.fileAnswers.push_back(path);
        r.window->dataFiles().mnuOpen_Click();
    }
    auto *field = r.control<QLineEdit>(row["field"]);
    ASSERT_TRUE(field);
    if (row["keys"] == QLatin1String("flagged")) {
        const QString marker = QStringLiteral("lbl%1E").arg(row["field"].mid(3));
        EXPECT_FALSE(r.control<QLabel>(marker)->isHidden());
        r.mark();
        r.dialogs.clear();
        r.c().btnDownload->click();
        EXPECT_EQ(r.dialogs.texts(), QStringList { "Plese enter missing information" });
        EXPECT_TRUE(r.receivedSinceMark().isEmpty());
        field->setText(QStringLiteral("7")); // an edit that fits clears the flag
        EXPECT_TRUE(r.control<QLabel>(marker)->isHidden());
        return;
    }
    const std::map<QString, Qt::Key> keys { { "Home", Qt::Key_Home }, { "End", Qt::Key_End },
        { "Del", Qt::Key_Delete }, { "BS", Qt::Key_Backspace } };
    for (const QString &key : row.words("keys")) {
        if (keys.count(key))
            QTest::keyClick(field, keys.at(key));
        else
            QTest::keyClicks(field, key);
    }
    EXPECT_EQ(field->text(), row["text"]);
}

// Setups that go to the device and come back field by field, from a data file or typed.
TABLE_TEST(Transfer, RoundTripsGiveBackWhatWasSent, "transfer/transfer.txt", "roundTrip")
{
    RigCase t(row["family"], {}, {});
    Rig &r = *t;
    if (row["data file"] != QLatin1String("-")) {
        r.dialogs.fileAnswers.push_back(QStringLiteral(QRX_TEST_DATA_DIR "/transfer/") + row["data file"]);
        r.window->dataFiles().mnuOpen_Click();
    }
    t.enter(row.words("entries"));
    r.c().btnDownload->click();
    r.c().mnuClear->trigger();
    r.c().btnRead->click();
    EXPECT_EQ(r.dialogs.texts(), (QStringList { "Programming Successful", "Read Successful" }));
    t.expect(row.words("back"));
}

TABLE_TEST(Transfer, CompareMarksExactlyTheChangedItemsAndChangesNothing, "transfer/transfer.txt", "compare")
{
    RigCase t(row["family"], row.words("device"), {});
    Rig &r = *t;
    r.c().btnRead->click();
    const QString saved = r.dir.filePath(QStringLiteral("setup.dat"));
    r.dialogs.fileAnswers.push_back(saved);
    r.window->dataFiles().mnuSave_Click();
    QFile in(saved);
    in.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromLatin1(in.readAll()).split(QStringLiteral("\r\n"));
    for (const QString &edit : row.words("changed"))
        lines.replaceInStrings(
            QRegularExpression(QLatin1Char('^') + edit.section(QLatin1Char('>'), 0, 0) + QLatin1Char('$')),
            edit.section(QLatin1Char('>'), 1));
    writeFile(saved, lines.join(QStringLiteral("\r\n")).toLatin1());
    r.dialogs.fileAnswers.push_back(saved);
    r.window->dataFiles().mnuOpen_Click();
    const QString damping = r.shown(QStringLiteral("txtDamping"));
    r.mark();
    r.c().mnuCompare->trigger();
    EXPECT_FALSE(r.receivedSinceMark().isEmpty());
    auto *compare = r.window->findChild<frmCompare *>(QStringLiteral("frmCompare"));
    ASSERT_TRUE(compare);
    QStringList marked;
    for (int i = 0; i < compare->table()->rowCount(); ++i) {
        if (compare->table()->item(i, 3)->text() == QLatin1String("!"))
            marked << QStringList { compare->table()->item(i, 0)->text(),
                compare->table()->item(i, 1)->text(), compare->table()->item(i, 2)->text() }
                          .join(QLatin1Char('/'));
    }
    EXPECT_EQ(marked, row["marked"].split(QStringLiteral(" ; ")));
    compare->close();
    EXPECT_EQ(r.shown(QStringLiteral("txtDamping")), damping);
    t.expect(row.words("afterwards"));
}

TABLE_TEST(FrequencyPoll, TheReplyShowsAsFourDigitsOrLeavesThem, "transfer/transfer.txt", "digits")
{
    const std::optional<QString> padded
        = FrequencyDigits::padded(row["reply"] == QLatin1String("-") ? QString() : row["reply"]);
    QString shown;
    for (int i = 0; padded && i < 4; ++i)
        shown += FrequencyDigits::digit(*padded, i);
    EXPECT_EQ(padded ? shown : QStringLiteral("kept"), row["digits"]);
}

TABLE_TEST(FrequencyPoll, ATickTalksOnlyWhenTheLinkIsFree, "transfer/transfer.txt", "ticks")
{
    RigCase t(row["family"], {}, row.words("options"));
    Rig &r = *t;
    r.c().Option1->click();
    r.c().tmrPolling->stop();
    EXPECT_EQ(r.c().tmrPolling->interval(), 400);
    for (const QString &w : row.words("before")) {
        if (!w.contains(QLatin1Char('=')))
            t.press(w);
        const bool on = w.section(QLatin1Char('='), 1) == QLatin1String("1");
        const QString flag = w.section(QLatin1Char('='), 0, 0);
        if (flag == QLatin1String("PollingOn"))
            r.state.PollingOn = on;
        if (flag == QLatin1String("ReplyReceived"))
            r.state.ReplyReceived = on;
        if (flag == QLatin1String("TransferRunning"))
            r.state.TransferRunning = on;
        if (flag == QLatin1String("CommAbort"))
            r.state.CommAbort = on;
    }
    r.state.ReplyValue = QStringLiteral("7"); // an earlier exchange's answer is never shown
    r.window->poll().tmrPolling_Timer();
    EXPECT_EQ(r.received(), frameList(row.words("frames")));
    t.expect(row.words("afterwards"));
}

// After a second time-out the Dravion poll waits for Off and On; the MR poll for the next sequence
// that clears the latch, and then resumes by itself.
TABLE_TEST(
    FrequencyPoll, ASecondTimeOutHoldsThePollUntilTheFamilysRestart, "transfer/transfer.txt", "pollTimeout")
{
    RigCase t(row["family"], {}, {});
    Rig &r = *t;
    r.c().Option1->click();
    r.memory->setMuted(true); // the cable is pulled: the next poll times out twice
    ASSERT_TRUE(Rig::waitFor([&] { return !r.dialogs.messages.empty(); }, 3000));
    EXPECT_EQ(r.dialogs.texts(), QStringList { LinkEngine::timeoutMessage() });
    r.memory->setMuted(false);
    t.expect(row.words("after"));
    r.mark();
    QTest::qWait(900); // the switch still says On, the poll stays quiet
    EXPECT_TRUE(r.receivedSinceMark().isEmpty());
    for (const QString &name : row.words("restart"))
        t.press(name);
    r.mark();
    EXPECT_TRUE(
        Rig::waitFor([&] { return r.receivedSinceMark().count(QStringLiteral("<STX>F<CR>")) >= 2; }, 2000));
    EXPECT_TRUE(
        Rig::waitFor([&] { return t.probe(QStringLiteral("hz")).startsWith(QLatin1Char('0')); }, 1000));
    t.expect({ QStringLiteral("hz=0[23]??") });
}

TEST(ProgressCounter, StepsInSinglePrecisionAndRoundHalvesToEven)
{
    ProgressCounter counter;
    counter.start(-0.5); // 100 / 8 = 12.5 a step: halves go to the even neighbour
    QStringList shown;
    for (int i = 0; i < 5; ++i)
        shown << ProgressCounter::percentText(counter.step().value_or(-1));
    EXPECT_EQ(shown, (QStringList { "12%", "25%", "38%", "50%", "62%" }));
    counter.start(10); // ten points without the Specific Gravity: 28 of 29 steps
    for (int i = 0; i < 27; ++i)
        counter.step();
    EXPECT_EQ(counter.step(), std::optional<qint16>(97));
    counter.start(-4.5); // 2n + 9 = 0: a failure, not a nonsense percentage
    EXPECT_EQ(counter.step(), std::nullopt);
}

// The flow's result is what history, backup and the command line act on: a download stopped by a
// missing entry sends nothing, and a verified one reads back and compares what it sent.
TEST(SetupFlow, ResultsTellTheOutcomeAndTheStepItBelongsTo)
{
    for (const QString &family : { QStringLiteral("Dravion"), QStringLiteral("MR") }) {
        SCOPED_TRACE(family.toStdString());
        Rig r(family);
        ASSERT_TRUE(r.start());
        const DeviceFamily &f = *DeviceFamily::byName(family);
        const ConfigReadResult config = ConfigReader::readFile(r.options.configPath, f.config, r.state);
        const auto setup = [&] {
            SetupModel model(f, r.state);
            model.setLists(config.lists);
            return model;
        };
        int ended = 0;
        SetupFlow::Hooks hooks;
        hooks.sequenceEnded = [&] { ++ended; };
        SetupModel empty = setup();
        hooks.CheckMissingFields = [&] { return empty.missing().isEmpty(); };
        r.mark();
        SetupFlow::Result result = SetupFlow(*r.context, hooks).download(empty);
        EXPECT_EQ(result.outcome, SetupFlow::Outcome::Missing);
        EXPECT_TRUE(r.receivedSinceMark().isEmpty());
        EXPECT_EQ(r.dialogs.texts(), QStringList { QStringLiteral("Plese enter missing information") });

        SetupModel device = setup(), again = setup();
        result = SetupFlow(*r.context, hooks).read(device);
        EXPECT_EQ(result.outcome, SetupFlow::Outcome::Succeeded);
        EXPECT_EQ(result.step, SetupFlow::Step::Read);
        hooks.CheckMissingFields = [&] { return device.missing().isEmpty(); };
        r.mark();
        result = SetupFlow(*r.context, hooks).download(device, &again);
        EXPECT_EQ(result.outcome, SetupFlow::Outcome::Succeeded);
        EXPECT_EQ(result.step, SetupFlow::Step::Verify);
        EXPECT_FALSE(result.rows.empty());
        EXPECT_TRUE(SetupComparison::differences(result.rows).empty());
        EXPECT_EQ(r.receivedSinceMark().count(frameList({ QStringLiteral("W") }).front()), 1);
        EXPECT_EQ(ended, 3);
        EXPECT_EQ(r.dialogs.texts().mid(1),
            (QStringList { QStringLiteral("Read Successful"), QStringLiteral("Programming Successful") }));

        // A caller without the missing-entry check and a count past the tables: the ten pairs
        // go out, then the download stops without storing anything.
        hooks.CheckMissingFields = {};
        device.setText(f.parameters.linearPts(), QStringLiteral("12"));
        r.dialogs.clear();
        r.mark();
        result = SetupFlow(*r.context, hooks).download(device);
        EXPECT_EQ(result.outcome, SetupFlow::Outcome::Error);
        EXPECT_EQ(r.dialogs.texts().last(), QStringLiteral("Download Error")); // after the device's refusal
        EXPECT_EQ(r.receivedSinceMark().count(frameList({ QStringLiteral("W") }).front()), 0);
        EXPECT_FALSE(r.state.CommAbort);

        AppContext unlinked { r.state, nullptr, r.dialogs, f }; // no port to talk through: nothing succeeds
        SetupModel none = setup();
        EXPECT_EQ(SetupFlow(unlinked, hooks).read(none).outcome, SetupFlow::Outcome::Failed);
    }
}
