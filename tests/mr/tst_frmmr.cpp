// SPDX-License-Identifier: GPL-3.0-or-later
// The MR main window's own look and field behaviour; its transfers run in tests/transfer.

#include <QGroupBox>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/frmsplash.h"
#include "app/settingsstore.h"
#include "monitor/frmlinemonitor.h"
#include "mr/frmmr.h"
#include "mr/mrfields.h"
#include "params/devicefamily.h"
#include "rigcase.h"

namespace {

const QString Table = QStringLiteral("mr/window.txt");

} // namespace

TEST(MrWindow, ConfigurationComesFromConfigInfOnly)
{
    Rig r(QStringLiteral("MR"));
    ASSERT_TRUE(r.start());
    const QString folder = QFileInfo(r.options.configPath).absolutePath();
    writeFile(folder + QStringLiteral("/ConfigK.inf"), "Meter Type=8,0,1,Alt,Other\n"); // not the MR window's
    DeviceState state;
    AppContext context { state, r.link.get(), r.dialogs, DeviceFamily::mr() };
    frmMR w(context, folder);
    EXPECT_EQ(w.fields().configurationPath(), r.options.configPath);
    const std::pair<const char *, const char *> lists[]
        = { { "cboMeterType", "Oil|Water|Gas|Steam" }, { "cboOutputMode", "4-20mA|0-5V|0-10V" } };
    for (const auto &[name, entries] : lists) {
        auto *box = w.findChild<QComboBox *>(QString::fromLatin1(name));
        QStringList shown;
        for (int i = 0; i < box->count(); ++i)
            shown << box->itemText(i);
        EXPECT_EQ(shown.join('|'), entries);
        EXPECT_EQ(box->currentIndex(), -1);
    }
    EXPECT_EQ(state.PasswordItem.code, 19);
    EXPECT_EQ(state.LinFreqItems[9].code, 119);
    EXPECT_EQ(state.ConfigVersion, "1.00");
    EXPECT_TRUE(r.dialogs.messages.empty());

    QTemporaryDir empty;
    DeviceState other;
    AppContext otherContext { other, r.link.get(), r.dialogs, DeviceFamily::mr() };
    frmMR missing(otherContext, empty.path());
    EXPECT_EQ(RigCase::texts(QStringLiteral("Configuration File Missing or Read Error!")), r.dialogs.texts());
    EXPECT_EQ(r.dialogs.messages.back().icon, UserDialogs::Icon::Critical);
}

// The menus are checked with the Dravion window's (tests/app).
TEST(MrWindow, DesignStateThenChoicesGreyAndRelabelTheirFields)
{
    RigCase t(QStringLiteral("MR"), {}, {});
    Rig &r = *t;
    auto base = [](QLineEdit *field) { return field->palette().color(QPalette::Base); };
    EXPECT_EQ(r.window->objectName(), "frmMR");
    QStringList lists;
    for (QWidget *o : r.window->findChild<QGroupBox *>(QStringLiteral("Frame2"))->findChildren<QWidget *>())
        if (qobject_cast<QComboBox *>(o) || qobject_cast<QLineEdit *>(o))
            lists << o->objectName();
    lists.sort();
    EXPECT_EQ(lists.join('|'),
        "cboDisplayExp|cboDisplayMode|cboMeterType|cboOutputMode|cboRateInterval|cboRateUnits|"
        "cboTotalUnits|txtFlowHi|txtFlowLow");
    EXPECT_EQ(
        r.window->findChild<QGroupBox *>(QStringLiteral("Frame1"))->findChildren<QLineEdit *>().size(), 9);
    // Low Flow Cutoff shows .025 on light grey, and that is also its value before any edit.
    t.expect(words(QStringLiteral("lblSPGcomp=SPG_Comp txtLowFlowCutoff=.025 Option2.checked=1")));
    EXPECT_EQ(base(r.control<QLineEdit>(QStringLiteral("txtLowFlowCutoff"))), QColor(192, 192, 192));
    EXPECT_FLOAT_EQ(r.state.LowFlowCutoffItem.value, 0.025f);
    EXPECT_TRUE(r.dialogs.messages.empty());

    r.set(QStringLiteral("txtSpg"), QStringLiteral("1")); // its change handler unflags the caption
    for (const TableRow &row : tableRows(Table, QStringLiteral("choices"))) { // a sequence on one window
        SCOPED_TRACE(row.where());
        t.enter(row.words("choice"));
        t.expect(row.words("shows"));
        for (const char *name : { "txtSpg", "txtPressureComp", "txtTempComp" }) {
            auto *field = r.control<QLineEdit>(QString::fromLatin1(name));
            EXPECT_EQ(base(field), field->isEnabled() ? QColor(255, 255, 255) : QColor(192, 192, 192))
                << name;
        }
        // Regression: unflagging painted disabled captions black, so greyed fields looked editable.
        EXPECT_NE(r.control<QLabel>(QStringLiteral("lblSpg"))
                      ->palette()
                      .color(QPalette::Disabled, QPalette::WindowText),
            Qt::black);
    }
    EXPECT_EQ(
        r.state.RateUnitsItem.value, r.c().window->findChild<QComboBox *>("cboRateUnits")->currentIndex());
    EXPECT_EQ(r.state.MeterTypeItem.value, 3);
    EXPECT_EQ(r.state.OutputModeItem.value, 0);
}

TABLE_TEST(MrWindow, TypingIsFilteredLimitedAndCheckedOnLeaving, Table, "typing")
{
    Rig r(QStringLiteral("MR"));
    ASSERT_TRUE(r.start());
    r.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(r.window.get()));
    auto *field = r.control<QLineEdit>(row["field"]);
    field->setFocus();
    QTest::keyClicks(field, row["typed"]);
    EXPECT_EQ(field->text(), row["shown"]);
    r.c().btnRead->setFocus(); // leave the field
    EXPECT_EQ(r.dialogs.texts(), RigCase::texts(row["message"]));
    EXPECT_TRUE(r.dialogs.messages.empty() || r.dialogs.messages[0].title == "Error");
    EXPECT_EQ(r.control<QLabel>("lbl" + row["field"].mid(3) + "E")->isHidden(), row["message"].isEmpty());
}

TEST(MrWindow, ReadValuesAreNotCutAndGreyedFieldsNotChecked)
{
    Rig r(QStringLiteral("MR"));
    ASSERT_TRUE(r.start());
    r.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(r.window.get()));
    // A value read from a file or the device is not cut to the typing limit, nor filtered by a later key.
    r.set(QStringLiteral("txtPassword"), QStringLiteral("12345"));
    EXPECT_EQ(r.shown(QStringLiteral("txtPassword")), "12345");
    EXPECT_EQ(r.state.PasswordItem.value, 12345);
    r.set(QStringLiteral("txtScaleFactor"), QStringLiteral("-2.5E3"));
    QTest::keyClick(r.control<QLineEdit>(QStringLiteral("txtScaleFactor")), Qt::Key_1);
    EXPECT_EQ(r.shown(QStringLiteral("txtScaleFactor")), "-2.5E31");
    // A greyed field is not checked on leaving.
    r.set(QStringLiteral("cboMeterType"), QStringLiteral("Gas"));
    r.control<QLineEdit>(QStringLiteral("txtTempComp"))->setFocus();
    QTest::keyClicks(r.control<QLineEdit>(QStringLiteral("txtTempComp")), QStringLiteral("900"));
    r.set(QStringLiteral("cboMeterType"), QStringLiteral("Oil")); // greys it, and the focus leaves it
    r.dialogs.clear();
    r.c().btnRead->setFocus();
    EXPECT_TRUE(r.dialogs.messages.empty());
}

// Start-up with port 7 stored is a row of tests/app; picking an entry then checks it.
TEST(MrWindow, StoredPortAboveFourKeepsItsNumberWithoutACheckMark)
{
    Rig r(QStringLiteral("MR"));
    SettingsStore::open()->setValue(QStringLiteral("Settings/ComPort"), QStringLiteral("7"));
    ASSERT_TRUE(r.start());
    r.c().mnuComPort[3]->trigger();
    EXPECT_TRUE(r.c().mnuComPort[3]->isChecked());
    EXPECT_EQ(r.window->statusText(), "Status:  Com3");
}

TEST(MrWindow, StartUpCreatesTheMrWindowBehindTheSplashAndExitEndsTheProgram)
{
    SettingsStore::open()->clear();
    FakeUserDialogs dialogs;
    Application app(DeviceFamily::mr(), &dialogs);
    bool finished = false;
    QObject::connect(&app, &Application::finished, [&] { finished = true; });
    app.Main();
    auto *w = qobject_cast<frmMR *>(app.mainWindow());
    ASSERT_TRUE(w);
    EXPECT_TRUE(!w->isVisible() && app.splash()->isVisible());
    app.splash()->Label1_Click();
    EXPECT_TRUE(w->isVisible());

    app.lineMonitor()->move(5, 7); // the monitor shows where it was, not beside the main window
    const QPoint before = app.lineMonitor()->pos();
    w->controls().mnuCommDebug->trigger();
    EXPECT_TRUE(app.lineMonitor()->isVisible());
    EXPECT_EQ(app.lineMonitor()->pos(), before);
    // The saved traffic names the family the program runs, not the default one.
    EXPECT_TRUE(app.lineMonitor()->traffic().firstLine().endsWith(", family MR"));

    w->controls().mnuExit->trigger();
    EXPECT_TRUE(finished && !app.lineMonitor()->isVisible());
    EXPECT_EQ(SettingsStore::open()->value(QStringLiteral("Settings/ComPort")).toString(), "1");
}
