// SPDX-License-Identifier: GPL-3.0-or-later
#include <climits>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

#include "app/mainwindowshell.h"
#include "calibration/calibrationlogic.h"
#include "calibration/frmcalibration.h"
#include "calibration/updowncontrol.h"
#include "params/mainwindowcontrols.h"
#include "rig.h"
#include "table.h"

namespace {

// The calibration window on a family's rig, opened as the menu does but without the modal loop.
struct Calibration : Rig
{
    std::unique_ptr<frmCalibration> window;

    explicit Calibration(const QString &family = QStringLiteral("Dravion"), const QString &fault = QString())
        : Rig(family)
    {
        options.silent = fault == "silent";
        options.garble = fault == "garble" ? 1.0 : 0.0;
        if (fault == "error") {
            options.errorCode = 11;
            options.errorItem = QString::number(lowCode());
        }
    }
    void open(qint16 outputType = 0, bool latched = false)
    {
        EXPECT_TRUE(start());
        state.OutputType = outputType;
        state.CommAbort = latched;
        window = std::make_unique<frmCalibration>(*context);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    int lowCode() const { return isMr() ? 15 : 13; }
    template <class T = QLineEdit> T *child(const QString &name) { return window->findChild<T *>(name); }
    QString text(const QString &name)
    {
        if (auto *upDown = child<UpDownControl>(name))
            return QString::number(upDown->value());
        const QLabel *label = child<QLabel>(name);
        return label ? label->text() : child(name)->text();
    }
    void arrowUp(const QString &name)
    {
        QTest::mouseClick(child<UpDownControl>(name)->upButton(), Qt::LeftButton);
    }
    // The bodies of the frames the device took since the last call.
    QStringList sent()
    {
        QStringList bodies = receivedSinceMark();
        mark();
        return bodies.replaceInStrings("<STX>", "").replaceInStrings("<CR>", "");
    }
    void step(const QString &step)
    {
        const QString what = step.section('=', 0, 0), arg = step.section('=', 1);
        const QString name = arg.section(':', 0, 0), value = arg.section(':', 1);
        if (what == "level")
            child<UpDownControl>("UpDownTest")->setValue(arg.toInt());
        else if (what == "up")
            arrowUp(arg);
        else if (what == "click")
            QTest::mouseClick(child<QPushButton>(arg), Qt::LeftButton);
        else if (what == "type") {
            child(name)->setFocus();
            child(name)->selectAll();
            QTest::keyClicks(child(name), value);
        } else if (what == "ime") {
            child(name)->setFocus();
            child(name)->selectAll();
            QInputMethodEvent commit;
            commit.setCommitString(value);
            QCoreApplication::sendEvent(child(name), &commit);
        } else if (what == "set")
            child(name)->setText(value);
    }
};

} // namespace

TABLE_TEST(CalibrationLogic, EachLevelDrivesTheOutputThere, "calibration/calibration.txt", "levels")
{
    EXPECT_EQ(CalibrationLogic::testCommand(row["output caption"], row.number("test level")), row["command"]);
}

TEST(CalibrationLogic, LevelsRangesAndReplies)
{
    EXPECT_FALSE(CalibrationLogic::levelsFor(3));
    EXPECT_FALSE(CalibrationLogic::minLevelFor(QStringLiteral("Label1")));
    const IntItem item { 13, 100, 4095, QStringLiteral("i"), 0 };
    for (const double v : { 99.0, 100.0, 4095.0, 4096.0, 999999.0 })
        EXPECT_EQ(CalibrationLogic::accepts(item, v), v == 100 || v == 4095) << v;
    const std::pair<const char *, int> replies[]
        = { { "NoRsp", 0 }, { "12.5", 12 }, { "1E300", 2147483647 }, { "-1E300", -2147483647 - 1 } };
    for (const auto &[reply, number] : replies)
        EXPECT_EQ(CalibrationLogic::upDownNumber(reply), number) << reply; // halves to even

    // A reply beyond 16 bits keeps the last value; an unknown output type shows the designed caption;
    // closing stores even after an earlier failure.
    DeviceState state;
    FakeUserDialogs dialogs;
    QStringList sent;
    CalibrationLogic logic(state, dialogs, [&] {
        state.ReplyReceived = true;
        if (state.CommAbort)
            return;
        sent << state.CommandString;
        state.ReplyValue = QStringLiteral("70000");
    });
    state.MinDacItem = IntItem { 13, 0, 4095, QStringLiteral("i"), 321 };
    state.OutputType = 7;
    logic.Form_Load();
    EXPECT_EQ(state.MinDacItem.value, 321);
    EXPECT_EQ(logic.outputCaption(), "4-20mA");
    state.CommAbort = true;
    sent.clear();
    logic.Form_Unload();
    EXPECT_EQ(sent, QStringList({ "W", "F" }));
}

TABLE_TEST(
    CalibrationWindow, OpeningReadsBothEndsThenStepsReachTheDevice, "calibration/calibration.txt", "run")
{
    Calibration c(row["family"]);
    c.open(qint16(row.number("output type")));
    EXPECT_EQ(c.sent(),
        QStringList({ QStringLiteral("%1i").arg(c.lowCode()), QStringLiteral("%1i").arg(c.lowCode() + 1) }));
    EXPECT_EQ(c.text("txtLowDAC") + ' ' + c.text("txtHiDAC") + ' ' + c.text("UpDownLowDAC"), "800 4000 800");
    EXPECT_EQ(c.state.MaxDacItem.value, 4000);
    EXPECT_EQ(c.text("lblOutput") + ' ' + c.text("lblHiDAC"), row["output and high end captions"]);
    for (const QString &step : row.words("steps"))
        c.step(step);
    EXPECT_EQ(c.sent(), row.words("frames sent by the steps"));
    for (const QString &shown : row.words("shows")) {
        const QString name = shown.section('=', 0, 0), value = shown.section('=', 1);
        if (name.startsWith("device:"))
            EXPECT_EQ(c.deviceValue(name.mid(7).toInt()), value.toDouble()) << name.toStdString();
        else
            EXPECT_EQ(c.text(name), value);
    }
    EXPECT_EQ(c.dialogs.texts(), row["message"] == "-" ? QStringList() : QStringList { row["message"] });
    for (const auto &m : c.dialogs.messages)
        EXPECT_TRUE(m.icon == UserDialogs::Icon::Exclamation && m.title == UserDialogs::defaultTitle());
}

TABLE_TEST(CalibrationWindow, FailedOpeningShowsTheReplyAndAnArrowResumesTraffic,
    "calibration/calibration.txt", "failure")
{
    const QString fault = row["device fault"], shown = row["what both boxes show"];
    Calibration c(row["family"], fault);
    c.open(0, fault == "latched");
    EXPECT_EQ(c.sent(), row.words("frames of the opening"));
    EXPECT_EQ(c.text("txtLowDAC") + '|' + c.text("txtHiDAC"), shown + '|' + shown);
    EXPECT_TRUE(c.state.MinDacItem.value == 0 && c.state.CommAbort);
    c.arrowUp("UpDownHiDAC");
    EXPECT_EQ(c.sent().value(0), QStringLiteral("%1i1").arg(c.lowCode() + 1));
}

TEST(CalibrationWindow, KeysPasteAndReturnInTheBoxes)
{
    Calibration c;
    c.open();
    c.state.MinDacItem.minimum = 100;
    c.sent();
    QLineEdit *low = c.child("txtLowDAC");
    low->setFocus();
    low->selectAll();
    QTest::keyClick(low, Qt::Key_5); // 5 is below the minimum of 100
    EXPECT_EQ(c.dialogs.texts(), QStringList { "Invalid entry, value must be between 100 and 4095" });
    EXPECT_EQ(low->text(), "800");
    low->setSelection(0, 1); // overtyping one digit keeps every intermediate value in range
    QTest::keyClick(low, Qt::Key_5);
    EXPECT_EQ(c.sent(), QStringList({ "13i800", "13i500" }));
    EXPECT_EQ(c.text("UpDownLowDAC"), "500");

    QLineEdit *hi = c.child("txtHiDAC");
    hi->setFocus();
    hi->selectAll();
    QTest::keyClick(hi, Qt::Key_9); // the digits at both ends of the range pass, typed and pasted
    QGuiApplication::clipboard()->setText(QStringLiteral(" 0x9\n")); // only digits are pasted
    QTest::keyClick(hi, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(hi->text(), "909");
    QTest::keyClick(hi, Qt::Key_Backspace);
    QTest::keyClick(hi, Qt::Key_0);
    QTest::keyClicks(hi, "/:"); // the characters beside the digits are refused
    EXPECT_EQ(hi->text(), "900");
    EXPECT_EQ(c.sent(), QStringList({ "14i9", "14i909", "14i90", "14i900" }));
    QTest::keyClick(hi, Qt::Key_Return); // a pressed "Output Min" would send 99f0
    EXPECT_TRUE(c.sent().isEmpty());
    EXPECT_TRUE(c.window->isVisible());
}

// Regression: clicks and closing during a write were refused, leaving the device behind the screen.
TEST(CalibrationWindow, WhatHappensDuringAWriteFollowsItInOrder)
{
    const struct
    {
        const char *name;
        std::function<void(Calibration &)> meanwhile; // while the first write waits for its reply
        QStringList sent;
        double stored;
    } rows[] = {
        { "nine more clicks, each while the last one waits",
            [](Calibration &c) {
                for (int i = 0; i < 9; ++i)
                    QTimer::singleShot(2 * i, [&c] { c.arrowUp("UpDownLowDAC"); });
            },
            words("13i801 13i802 13i803 13i804 13i805 13i806 13i807 13i808 13i809 13i810"), 810 },
        { "closing", [](Calibration &c) { c.window->close(); }, words("13i801 W F"), 801 },
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        Calibration c;
        c.options.latencyMs = 40;
        c.open();
        c.sent();
        QTimer::singleShot(5, [&] { r.meanwhile(c); });
        c.arrowUp("UpDownLowDAC");
        QTest::qWait(100);
        EXPECT_EQ(c.sent(), r.sent);
        EXPECT_FALSE(c.link->exchangeOutstanding());
        EXPECT_EQ(QList<double>({ c.deviceValue(13), c.text("txtLowDAC").toDouble(),
                      double(c.state.MinDacItem.value) }),
            QList<double>(3, r.stored));
        EXPECT_TRUE(c.dialogs.messages.empty());
    }
}

TEST(CalibrationWindow, ClosingStoresOnceOnEveryWayOutAndReopeningReadsAgain)
{
    const std::function<void(Calibration &)> ways[] = {
        [](Calibration &c) { c.window->close(); }, [](Calibration &c) { c.window->reject(); },
        [](Calibration &c) { QTest::keyClick(c.window.get(), Qt::Key_Escape); },
        [](Calibration &c) { c.window.reset(); }, // released while shown
    };
    for (const auto &closeIt : ways) {
        Calibration c;
        c.open();
        c.sent();
        closeIt(c);
        EXPECT_TRUE(!c.window || !c.window->isVisible());
        EXPECT_EQ(c.sent(), QStringList({ "W", "F" }));
    }
    Calibration c;
    c.open();
    c.window->hide();
    c.sent();
    c.window->show();
    EXPECT_EQ(c.sent(), QStringList({ "13i", "14i" }));
}

// Through the Calibrate menu, for both families: the version check, then the window on its ends.
TEST(CalibrationWindow, MenuChecksTheVersionAndOpensTheModalWindow)
{
    for (const QString family : { "Dravion", "MR" }) {
        Calibration c(family);
        c.setDeviceValue(c.lowCode(), 812);
        c.setDeviceValue(c.lowCode() + 1, 3990);
        ASSERT_TRUE(c.start());
        c.mark();
        QStringList seen;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            auto *window = qobject_cast<frmCalibration *>(QApplication::activeModalWidget());
            if (!window || !window->loaded())
                return;
            watcher.stop();
            for (const char *name : { "lblOutput", "lblLowDAC", "lblHiDAC", "txtLowDAC" })
                seen << window->findChild<QWidget *>(name)->property("text").toString();
            window->findChild<QPushButton *>(QStringLiteral("btnMax"))->click();
            window->close();
        });
        watcher.start(10);
        c.c().mnuCalibrate->trigger();
        EXPECT_EQ(seen, QStringList({ "4-20mA", "4mA", "20mA", "812" }));
        EXPECT_EQ(
            c.sent(), words(QStringLiteral("V %1i %2i 99f100 W F").arg(c.lowCode()).arg(c.lowCode() + 1)));
        EXPECT_EQ(c.state.MinDacItem.value + c.state.MaxDacItem.value, 812 + 3990);
        EXPECT_TRUE(c.dialogs.messages.empty()) << c.dialogs.texts().join('|').toStdString();
    }
}

TEST(UpDownControl, SignalsExactlyWhenTheValueChanges)
{
    UpDownControl upDown;
    upDown.setRange(0, 3);
    QSignalSpy changes(&upDown, &UpDownControl::valueChanged);
    upDown.setValue(0); // already 0
    upDown.stepDown(); // at the minimum
    QTest::mouseClick(upDown.upButton(), Qt::LeftButton);
    upDown.setValue(3);
    upDown.stepUp(); // at the maximum
    EXPECT_FALSE(upDown.upButton()->isEnabled());
    EXPECT_TRUE(upDown.downButton()->isEnabled());
    upDown.stepDown();
    upDown.stepDown();
    upDown.stepDown(); // reaches the minimum: only the up arrow is left
    EXPECT_TRUE(upDown.upButton()->isEnabled() && !upDown.downButton()->isEnabled());
    upDown.setValue(3);
    upDown.setValue(99); // pulled to 3, unchanged
    upDown.setRange(0, 2); // pulls the value down: a change
    upDown.setRange(5, 1); // swapped limits: 1 to 5, and 2 stays
    upDown.setRange(3, 5);
    QList<int> seen;
    for (const QList<QVariant> &c : changes)
        seen << c.at(0).toInt();
    EXPECT_EQ(seen, QList<int>({ 1, 3, 2, 1, 0, 3, 2, 3 }));
    EXPECT_EQ(upDown.minimum() * 10 + upDown.maximum(), 35);

    // A step at the ends of the whole range stays there rather than wrap round.
    upDown.setRange(INT_MIN, INT_MAX);
    upDown.setValue(INT_MAX);
    upDown.stepUp();
    EXPECT_EQ(upDown.value(), INT_MAX);
    upDown.setValue(INT_MIN);
    upDown.stepDown();
    EXPECT_EQ(upDown.value(), INT_MIN);
}
