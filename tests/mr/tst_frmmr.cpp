#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "../transfer/rigsupport.h"
#include "app/application.h"
#include "app/frmsplash.h"
#include "app/settingsstore.h"
#include "monitor/frmlinemonitor.h"
#include "link/devicestate.h"
#include "mr/frmmr.h"
#include "mr/mrfields.h"
#include "fakeuserdialogs.h"

namespace {

const QString ShippedConfig = QStringLiteral(QRX_CONFIG_DIR "/mr");

struct MrWindowTest : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context { state, nullptr, dialogs, QStringLiteral("MR") };

    void SetUp() override { SettingsStore::open()->clear(); }

    template <typename T> static T *child(QWidget &w, const char *name)
    {
        T *found = w.findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    static QColor base(QLineEdit *field) { return field->palette().color(QPalette::Base); }
    static bool flagged(QWidget &w, const char *marker) { return !child<QLabel>(w, marker)->isHidden(); }
    static QString texts(const QList<QAction *> &actions)
    {
        QStringList out;
        for (QAction *a : actions)
            out << a->text();
        return out.join('|');
    }
};

} // namespace

TEST_F(MrWindowTest, WindowHasItsMenusFramesAndDesignState)
{
    frmMR w(context, ShippedConfig);
    EXPECT_EQ(w.objectName() + "|" + w.windowTitle(), "frmMR|MR Sensor Array");
    EXPECT_EQ(texts(w.menuBar()->actions()), "&File|&Options|&Tools"); // no About
    EXPECT_EQ(texts(child<QMenu>(w, "mnuSerialPort")->actions()), "Com &1|Com &2|Com &3|Com &4");
    EXPECT_EQ(texts(child<QMenu>(w, "mnuOptions")->actions()), "Serial &Port|&Assign Serial Ports...");
    auto *frame2 = child<QGroupBox>(w, "Frame2");
    QStringList lists;
    for (QComboBox *box : frame2->findChildren<QComboBox *>())
        lists << box->objectName();
    lists.sort();
    EXPECT_EQ(lists.join('|'),
        "cboDisplayExp|cboDisplayMode|cboMeterType|cboOutputMode|cboRateInterval|cboRateUnits|"
        "cboTotalUnits");
    EXPECT_EQ(frame2->findChildren<QLineEdit *>().size(), 2);
    EXPECT_TRUE(frame2->findChild<QLineEdit *>(QStringLiteral("txtFlowLow")));
    EXPECT_TRUE(frame2->findChild<QLineEdit *>(QStringLiteral("txtFlowHi")));
    EXPECT_EQ(child<QGroupBox>(w, "Frame1")->findChildren<QLineEdit *>().size(), 9);
    EXPECT_EQ(child<QLabel>(w, "lblSPGcomp")->text(), "SPG Comp");
    // Low Flow Cutoff shows .025 on light grey, and that is also its value before any edit.
    EXPECT_EQ(child<QLineEdit>(w, "txtLowFlowCutoff")->text(), ".025");
    EXPECT_EQ(base(child<QLineEdit>(w, "txtLowFlowCutoff")), QColor(192, 192, 192));
    EXPECT_FLOAT_EQ(state.LowFlowCutoffItem.value, 0.025f);
    EXPECT_EQ(base(child<QLineEdit>(w, "txtSpg")), QColor(255, 255, 255));
    EXPECT_TRUE(child<QRadioButton>(w, "Option2")->isChecked());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MrWindowTest, ConfigurationComesFromConfigInfOnly)
{
    QTemporaryDir dir; // an alternative parameter set beside it is not the MR window's business
    writeFile(dir.filePath(QStringLiteral("ConfigK.inf")), "Meter Type=8,0,1,Alt,Other\n");
    ASSERT_TRUE(QFile::copy(
        ShippedConfig + QStringLiteral("/Config.inf"), dir.filePath(QStringLiteral("Config.inf"))));

    frmMR w(context, dir.path());
    EXPECT_EQ(w.fields().configurationPath(), dir.filePath(QStringLiteral("Config.inf")));
    auto entries = [&](const char *name) {
        QStringList list;
        auto *box = child<QComboBox>(w, name);
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        EXPECT_EQ(box->currentIndex(), -1) << name;
        return list;
    };
    EXPECT_EQ(entries("cboMeterType"), QStringList({ "Oil", "Water", "Gas", "Steam" }));
    EXPECT_EQ(entries("cboOutputMode"), QStringList({ "4-20mA", "0-5V", "0-10V" }));
    EXPECT_TRUE(entries("cboRateUnits").contains("Kgs"));
    EXPECT_EQ(state.PasswordItem.code, 19);
    EXPECT_EQ(state.LinFreqItems[9].code, 119);
    EXPECT_EQ(state.ConfigVersion, "1.00");
    EXPECT_TRUE(dialogs.messages.empty());

    QTemporaryDir empty;
    DeviceState other;
    AppContext otherContext { other, nullptr, dialogs, QStringLiteral("MR") };
    frmMR missing(otherContext, empty.path());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Configuration File Missing or Read Error!");
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
}

TEST_F(MrWindowTest, ChoicesGreyAndRelabelTheirFields)
{
    frmMR w(context, ShippedConfig);
    auto *rate = child<QComboBox>(w, "cboRateUnits");
    auto *meter = child<QComboBox>(w, "cboMeterType");
    auto *output = child<QComboBox>(w, "cboOutputMode");
    auto *spg = child<QLineEdit>(w, "txtSpg");
    auto *pressure = child<QLineEdit>(w, "txtPressureComp");
    auto *temp = child<QLineEdit>(w, "txtTempComp");

    spg->setText(QStringLiteral("1")); // its change handler unflags the caption
    const std::pair<const char *, bool> units[]
        = { { "Gal", 0 }, { "Kgs", 1 }, { "M3", 0 }, { "Lbs", 1 }, { "Bbl", 0 } };
    for (const auto &[unit, spgEnabled] : units) {
        rate->setCurrentIndex(rate->findText(QString::fromLatin1(unit)));
        EXPECT_EQ(spg->isEnabled(), spgEnabled) << unit;
        EXPECT_EQ(child<QLabel>(w, "lblSpg")->isEnabled(), spgEnabled) << unit;
        // Regression: unflagging painted disabled captions black, so greyed fields looked editable.
        EXPECT_NE(
            child<QLabel>(w, "lblSpg")->palette().color(QPalette::Disabled, QPalette::WindowText), Qt::black);
        EXPECT_EQ(base(spg), spgEnabled ? QColor(255, 255, 255) : QColor(192, 192, 192)) << unit;
        EXPECT_EQ(state.RateUnitsItem.value, rate->currentIndex()) << unit;
    }

    const std::pair<const char *, bool> types[]
        = { { "Oil", 0 }, { "Gas", 1 }, { "Water", 0 }, { "Steam", 1 } };
    for (const auto &[type, compEnabled] : types) {
        meter->setCurrentIndex(meter->findText(QString::fromLatin1(type)));
        EXPECT_EQ(pressure->isEnabled(), compEnabled) << type;
        EXPECT_EQ(temp->isEnabled(), compEnabled) << type;
        EXPECT_EQ(child<QLabel>(w, "lblTempComp")->isEnabled(), compEnabled) << type;
        EXPECT_EQ(base(pressure), compEnabled ? QColor(255, 255, 255) : QColor(192, 192, 192)) << type;
        EXPECT_EQ(state.MeterTypeItem.value, meter->currentIndex()) << type;
    }

    const char *captions[]
        = { "Flow at 4mA|Flow at 20mA", "Flow at 0V|Flow at 5V", "Flow at 0V|Flow at 10V" };
    for (const int mode : { 2, 1, 0 }) {
        output->setCurrentIndex(mode);
        EXPECT_EQ(child<QLabel>(w, "lblFlowLow")->text() + "|" + child<QLabel>(w, "lblFlowHi")->text(),
            captions[mode]);
        EXPECT_EQ(state.OutputType, mode);
        EXPECT_EQ(state.OutputModeItem.value, mode);
    }
}

TEST_F(MrWindowTest, TypingIsFilteredAndLimitedButSetTextsArriveWhole)
{
    frmMR w(context, ShippedConfig);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const struct
    {
        const char *field;
        const char *typed;
        const char *shown;
    } rows[] = { { "txtPassword", "12345", "1234" }, { "txtPassword", "-7a", "7" },
        { "txtDamping", "1.5", "15" }, { "txtLinearPts", "1234", "123" }, { "txtSpg", "1.2345678", "1.2345" },
        { "txtScaleFactor", "-2.5e3", "2.53" }, { "txtFlowHi", "99999.5", "99999.5" } };
    for (const auto &r : rows) {
        auto *field = child<QLineEdit>(w, r.field);
        field->clear();
        field->setFocus();
        QTest::keyClicks(field, QString::fromLatin1(r.typed));
        EXPECT_EQ(field->text(), r.shown) << r.field << " typed " << r.typed;
    }
    // A value read from a file or the device is not cut to the typing limit, nor filtered by a later key.
    child<QLineEdit>(w, "txtPassword")->setText(QStringLiteral("12345"));
    EXPECT_EQ(child<QLineEdit>(w, "txtPassword")->text(), "12345");
    EXPECT_EQ(state.PasswordItem.value, 12345);
    child<QLineEdit>(w, "txtScaleFactor")->setText(QStringLiteral("-2.5E3"));
    QTest::keyClick(child<QLineEdit>(w, "txtScaleFactor"), Qt::Key_1);
    EXPECT_EQ(child<QLineEdit>(w, "txtScaleFactor")->text(), "-2.5E31");
}

TEST_F(MrWindowTest, LeavingAFieldOutOfRangeFlagsItWithItsCaption)
{
    frmMR w(context, ShippedConfig);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    MrControls &c = w.controls();
    const struct
    {
        QLineEdit *field;
        const char *typed;
        const char *message;
        const char *marker;
    } rows[] = { { c.txtDamping, "100", "Damping:  Field must be between 0 and 99", "lblDampingE" },
        { c.txtScaleFactor, "0.0001", "Scale Factor:  Field must be between 0.001 and 9999",
            "lblScaleFactorE" },
        { c.txtSPGcomp, "5.5", "SPG Comp  Field must be between 0 and 5", "lblSPGcompE" },
        { c.txtLinearPts, "11", "Linear Points:  Field must be between 0 and 10", "lblLinearPtsE" },
        { c.txtPassword, "99", nullptr, "lblPasswordE" } };
    for (const auto &r : rows) {
        dialogs.clear();
        r.field->setFocus();
        QTest::keyClicks(r.field, QString::fromLatin1(r.typed));
        c.btnRead->setFocus(); // leave the field
        if (r.message) {
            ASSERT_EQ(dialogs.messages.size(), 1u) << r.typed;
            EXPECT_EQ(dialogs.messages[0].text, r.message);
            EXPECT_EQ(dialogs.messages[0].title, "Error");
            EXPECT_TRUE(flagged(w, r.marker));
        } else {
            EXPECT_TRUE(dialogs.messages.empty()) << r.typed;
            EXPECT_FALSE(flagged(w, r.marker));
        }
    }
    // A greyed field is not checked on leaving.
    c.cboMeterType->setCurrentIndex(2); // Gas
    c.txtTempComp->setFocus();
    QTest::keyClicks(c.txtTempComp, QStringLiteral("900"));
    c.cboMeterType->setCurrentIndex(0); // Oil greys it, and the focus leaves it
    dialogs.clear();
    c.btnRead->setFocus();
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MrWindowTest, StoredPortAboveFourKeepsItsNumberWithoutACheckMark)
{
    SettingsStore::open()->setValue(QStringLiteral("Settings/ComPort"), QStringLiteral("7"));
    frmMR w(context, ShippedConfig);
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(w.controls().mnuComPort[std::size_t(i)]->isChecked()) << i;
    EXPECT_EQ(w.statusText(), "Status:  Com7");

    w.controls().mnuComPort[3]->trigger();
    EXPECT_TRUE(w.controls().mnuComPort[3]->isChecked());
    EXPECT_EQ(w.statusText(), "Status:  Com3");
}

TEST_F(MrWindowTest, StartUpCreatesTheMrWindowBehindTheSplashAndExitEndsTheProgram)
{
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

    // The monitor shows where it was, not beside the main window.
    app.lineMonitor()->move(5, 7);
    const QPoint before = app.lineMonitor()->pos();
    w->controls().mnuCommDebug->trigger();
    EXPECT_TRUE(app.lineMonitor()->isVisible());
    EXPECT_EQ(app.lineMonitor()->pos(), before);

    w->controls().mnuExit->trigger();
    EXPECT_TRUE(finished);
    EXPECT_FALSE(app.lineMonitor()->isVisible());
    EXPECT_EQ(SettingsStore::open()->value(QStringLiteral("Settings/ComPort")).toString(), "1");
}
