// The MR main window's own look and field behaviour; its transfers run in tests/transfer.

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QMenuBar>

#include "app/application.h"
#include "app/frmsplash.h"
#include "app/settingsstore.h"
#include "monitor/frmlinemonitor.h"
#include "mr/frmmr.h"
#include "mr/mrfields.h"
#include "rigcase.h"

namespace {

QString texts(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << a->text();
    return out.join('|');
}

QColor base(QLineEdit *field)
{
    return field->palette().color(QPalette::Base);
}

} // namespace

TEST(MrWindow, HasItsMenusFramesAndDesignState)
{
    Rig r(QStringLiteral("MR"));
    ASSERT_TRUE(r.start());
    QMainWindow &w = *r.window;
    EXPECT_EQ(w.objectName() + "|" + w.windowTitle(), "frmMR|MR Sensor Array");
    EXPECT_EQ(texts(w.menuBar()->actions()), "&File|&Options|&Tools"); // no About
    EXPECT_EQ(texts(r.c().mnuSerialPort->actions()), "Com &1|Com &2|Com &3|Com &4");
    EXPECT_EQ(texts(r.c().mnuOptions->actions()), "Serial &Port|&Assign Serial Ports...");
    auto *frame2 = w.findChild<QGroupBox *>(QStringLiteral("Frame2"));
    ASSERT_TRUE(frame2);
    QStringList lists;
    for (QWidget *o : frame2->findChildren<QWidget *>())
        if (qobject_cast<QComboBox *>(o) || qobject_cast<QLineEdit *>(o)) lists << o->objectName();
    lists.sort();
    EXPECT_EQ(lists.join('|'), "cboDisplayExp|cboDisplayMode|cboMeterType|cboOutputMode|cboRateInterval|cboRateUnits|"
                               "cboTotalUnits|txtFlowHi|txtFlowLow");
    EXPECT_EQ(w.findChild<QGroupBox *>(QStringLiteral("Frame1"))->findChildren<QLineEdit *>().size(), 9);
    EXPECT_EQ(r.shown(QStringLiteral("lblSPGcomp")), "SPG Comp");
    // Low Flow Cutoff shows .025 on light grey, and that is also its value before any edit.
    EXPECT_EQ(r.shown(QStringLiteral("txtLowFlowCutoff")), ".025");
    EXPECT_EQ(base(r.control<QLineEdit>(QStringLiteral("txtLowFlowCutoff"))), QColor(192, 192, 192));
    EXPECT_FLOAT_EQ(r.state.LowFlowCutoffItem.value, 0.025f);
    EXPECT_EQ(base(r.control<QLineEdit>(QStringLiteral("txtSpg"))), QColor(255, 255, 255));
    EXPECT_TRUE(r.c().Option2->isChecked());
    EXPECT_TRUE(r.dialogs.messages.empty());
}

TEST(MrWindow, ConfigurationComesFromConfigInfOnly)
{
    Rig r(QStringLiteral("MR"));
    ASSERT_TRUE(r.start());
    const QString folder = QFileInfo(r.options.configPath).absolutePath();
    writeFile(folder + QStringLiteral("/ConfigK.inf"), "Meter Type=8,0,1,Alt,Other\n"); // not the MR window's
    DeviceState state;
    AppContext context { state, r.link.get(), r.dialogs, QStringLiteral("MR") };
    frmMR w(context, folder);
    EXPECT_EQ(w.fields().configurationPath(), r.options.configPath);
    const std::pair<const char *, const char *> lists[] = { { "cboMeterType", "Oil|Water|Gas|Steam" },
        { "cboOutputMode", "4-20mA|0-5V|0-10V" } };
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
    AppContext otherContext { other, r.link.get(), r.dialogs, QStringLiteral("MR") };
    frmMR missing(otherContext, empty.path());
    EXPECT_EQ(RigCase::texts(QStringLiteral("Configuration File Missing or Read Error!")), r.dialogs.texts());
    EXPECT_EQ(r.dialogs.messages.back().icon, UserDialogs::Icon::Critical);
}

// Each row: a choice, then what the fields it rules show (enabled, background, caption, record).
TEST(MrWindow, ChoicesGreyAndRelabelTheirFields)
{
    RigCase t(QStringLiteral("MR"), {}, {});
    Rig &r = *t;
    r.set(QStringLiteral("txtSpg"), QStringLiteral("1")); // its change handler unflags the caption
    const struct
    {
        const char *choice, *expect;
    } rows[] = {
        { "cboRateUnits=Gal", "txtSpg.enabled=0 lblSpg.enabled=0" },
        { "cboRateUnits=Kgs", "txtSpg.enabled=1 lblSpg.enabled=1" },
        { "cboRateUnits=M3", "txtSpg.enabled=0" },
        { "cboRateUnits=Lbs", "txtSpg.enabled=1" },
        { "cboRateUnits=Bbl", "txtSpg.enabled=0" },
        { "cboMeterType=Oil", "txtPressureComp.enabled=0 txtTempComp.enabled=0 lblTempComp.enabled=0" },
        { "cboMeterType=Gas", "txtPressureComp.enabled=1 txtTempComp.enabled=1 lblTempComp.enabled=1" },
        { "cboMeterType=Water", "txtPressureComp.enabled=0 txtTempComp.enabled=0" },
        { "cboMeterType=Steam", "txtPressureComp.enabled=1 txtTempComp.enabled=1" },
        { "cboOutputMode=2", "lblFlowLow=Flow_at_0V lblFlowHi=Flow_at_10V OutputType=2" },
        { "cboOutputMode=1", "lblFlowLow=Flow_at_0V lblFlowHi=Flow_at_5V OutputType=1" },
        { "cboOutputMode=0", "lblFlowLow=Flow_at_4mA lblFlowHi=Flow_at_20mA OutputType=0" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.choice);
        t.enter(words(QString::fromLatin1(row.choice)));
        t.expect(words(QString::fromLatin1(row.expect)));
        for (const char *name : { "txtSpg", "txtPressureComp", "txtTempComp" }) {
            auto *field = r.control<QLineEdit>(QString::fromLatin1(name));
            EXPECT_EQ(base(field), field->isEnabled() ? QColor(255, 255, 255) : QColor(192, 192, 192)) << name;
        }
        // Regression: unflagging painted disabled captions black, so greyed fields looked editable.
        EXPECT_NE(r.control<QLabel>(QStringLiteral("lblSpg"))->palette().color(QPalette::Disabled, QPalette::WindowText),
            Qt::black);
    }
    EXPECT_EQ(r.state.RateUnitsItem.value, r.c().window->findChild<QComboBox *>("cboRateUnits")->currentIndex());
    EXPECT_EQ(r.state.MeterTypeItem.value, 3);
    EXPECT_EQ(r.state.OutputModeItem.value, 0);
}

TEST(MrWindow, TypingIsFilteredLimitedAndCheckedOnLeaving)
{
    Rig r(QStringLiteral("MR"));
    ASSERT_TRUE(r.start());
    r.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(r.window.get()));
    // field | typed | shown | message on leaving ("" none) | marker flagged
    const struct
    {
        const char *field, *typed, *shown, *message;
    } rows[] = { { "txtPassword", "12345", "1234", "" }, { "txtPassword", "-7a", "7", "" },
        { "txtDamping", "1.5", "15", "" }, { "txtLinearPts", "1234", "123", "Linear Points:  Field must be between 0 and 10" },
        { "txtSpg", "1.2345678", "1.2345", "" }, { "txtScaleFactor", "-2.5e3", "2.53", "" },
        { "txtFlowHi", "99999.5", "99999.5", "Flow at 20mA:  Field must be between 0 and 99999" }, { "txtDamping", "100", "100", "Damping:  Field must be between 0 and 99" },
        { "txtScaleFactor", "0.0001", "0.0001", "Scale Factor:  Field must be between 0.001 and 9999" },
        { "txtSPGcomp", "5.5", "5.5", "SPG Comp  Field must be between 0 and 5" },
        { "txtLinearPts", "11", "11", "Linear Points:  Field must be between 0 and 10" } };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.field) + " typed " + row.typed);
        auto *field = r.control<QLineEdit>(QString::fromLatin1(row.field));
        field->clear();
        field->setFocus();
        r.dialogs.clear();
        QTest::keyClicks(field, QString::fromLatin1(row.typed));
        EXPECT_EQ(field->text(), row.shown);
        r.c().btnRead->setFocus(); // leave the field
        EXPECT_EQ(r.dialogs.texts(), RigCase::texts(QString::fromLatin1(row.message)));
        if (!r.dialogs.messages.empty()) {
            EXPECT_EQ(r.dialogs.messages[0].title, "Error");
        }
        const QString marker = QStringLiteral("lbl%1E").arg(QString::fromLatin1(row.field).mid(3));
        EXPECT_EQ(r.control<QLabel>(marker)->isHidden(), !*row.message);
    }
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

TEST(MrWindow, StoredPortAboveFourKeepsItsNumberWithoutACheckMark)
{
    Rig r(QStringLiteral("MR"));
    ASSERT_TRUE(r.start());
    SettingsStore::open()->setValue(QStringLiteral("Settings/ComPort"), QStringLiteral("7"));
    frmMR w(*r.context, QFileInfo(r.options.configPath).absolutePath());
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(w.controls().mnuComPort[std::size_t(i)]->isChecked()) << i;
    EXPECT_EQ(w.statusText(), "Status:  Com7");
    w.controls().mnuComPort[3]->trigger();
    EXPECT_TRUE(w.controls().mnuComPort[3]->isChecked());
    EXPECT_EQ(w.statusText(), "Status:  Com3");
}

TEST(MrWindow, StartUpCreatesTheMrWindowBehindTheSplashAndExitEndsTheProgram)
{
    SettingsStore::open()->clear();
    FakeUserDialogs dialogs;
    Application app(&dialogs);
    bool finished = false;
    QObject::connect(&app, &Application::finished, [&] { finished = true; });
    app.Main(QStringLiteral("MR"));
    auto *w = qobject_cast<frmMR *>(app.mainWindow());
    ASSERT_TRUE(w);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(app.splash()->isVisible());
    app.splash()->Label1_Click();
    EXPECT_TRUE(w->isVisible());

    app.lineMonitor()->move(5, 7); // the monitor shows where it was, not beside the main window
    const QPoint before = app.lineMonitor()->pos();
    w->controls().mnuCommDebug->trigger();
    EXPECT_TRUE(app.lineMonitor()->isVisible());
    EXPECT_EQ(app.lineMonitor()->pos(), before);

    w->controls().mnuExit->trigger();
    EXPECT_TRUE(finished);
    EXPECT_FALSE(app.lineMonitor()->isVisible());
    EXPECT_EQ(SettingsStore::open()->value(QStringLiteral("Settings/ComPort")).toString(), "1");
}
