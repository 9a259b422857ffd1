// Keyboard and screen-reader access to the windows: every field is named by its caption label (its
// buddy), every button takes focus by Tab, every menu entry is reachable by an access key, and the
// port menu tells which device path each "Com n" stands for.
#include <gtest/gtest.h>

#include <set>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "app/frmaltmain.h"
#include "app/settingsstore.h"
#include "calibration/frmcalibration.h"
#include "calibration/updowncontrol.h"
#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "monitor/frmlinemonitor.h"
#include "mr/frmmr.h"
#include "fakeuserdialogs.h"

namespace {

bool inputField(QWidget *w)
{
    // The line edit inside a combo box belongs to the combo box.
    return (qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w->parentWidget())) || qobject_cast<QComboBox *>(w);
}

// The fields of the window itself (not those of its separate windows).
QList<QWidget *> fieldsOf(QWidget &window)
{
    QList<QWidget *> out;
    for (QWidget *w : window.findChildren<QWidget *>()) {
        if (w->window() == &window && (inputField(w) || qobject_cast<UpDownControl *>(w)))
            out << w;
    }
    return out;
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name) : QStringLiteral("<no accessible interface>");
}

QString buddyCaption(QWidget &window, QWidget *field)
{
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (label->buddy() == field)
            return label->text();
    }
    return QString();
}

// Every field has a caption label as its buddy; the accessible name is that caption.
void expectCaptionBuddies(QMainWindow &window, const std::map<QString, QString> &captions)
{
    QMap<QWidget *, QString> buddies;
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (label->buddy())
            buddies[label->buddy()] = label->text().remove(QLatin1Char('&'));
    }
    for (QWidget *field : fieldsOf(window)) {
        const QString name = field->objectName();
        ASSERT_TRUE(buddies.contains(field)) << name.toStdString() << " has no caption label as buddy";
        EXPECT_FALSE(buddies[field].isEmpty()) << name.toStdString();
        EXPECT_EQ(accessibleName(field), buddies[field]) << name.toStdString();
        const auto caption = captions.find(name);
        if (caption != captions.end()) {
            EXPECT_EQ(buddies[field], caption->second) << name.toStdString();
        }
    }
    for (const auto &[name, caption] : captions)
        EXPECT_TRUE(window.findChild<QWidget *>(name)) << name.toStdString() << " missing";
}

// Tab from the window reaches every enabled field and button.
void expectTabReachesEverything(QMainWindow &window)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QApplication::processEvents();
    std::set<QWidget *> reached;
    for (int i = 0; i < 80; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (focus)
            reached.insert(qobject_cast<QComboBox *>(focus->parentWidget()) ? focus->parentWidget() : focus);
        QTest::keyClick(focus ? focus : &window, Qt::Key_Tab);
    }
    QList<QWidget *> wanted = fieldsOf(window);
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        if (button->window() == &window)
            wanted << button;
    }
    for (QWidget *w : wanted) {
        if (w->isEnabled() && w->isVisibleTo(&window)) {
            EXPECT_TRUE(reached.count(w)) << w->objectName().toStdString() << " is never reached by Tab";
        }
    }
}

// Top-level entries carry an access key; entries inside a menu that opens by its access key are
// reached with the arrow keys.
void expectMenusReachable(QMainWindow &window)
{
    std::function<void(QMenu *, const QString &)> walk = [&](QMenu *menu, const QString &path) {
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            EXPECT_FALSE(action->text().isEmpty()) << path.toStdString();
            if (action->menu())
                walk(action->menu(), path + QLatin1Char('/') + action->text());
        }
    };
    for (QAction *top : window.menuBar()->actions()) {
        EXPECT_TRUE(top->text().contains(QLatin1Char('&'))) << top->text().toStdString() << " has no access key";
        if (top->menu())
            walk(top->menu(), top->text());
    }
}

struct AccessibilityTest : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context{state, nullptr, dialogs};

    void SetUp() override { SettingsStore::open()->clear(); }
};

} // namespace

TEST_F(AccessibilityTest, DravionMainWindowIsNamedAndReachableByKeyboard)
{
    frmAltMain window(context);
    expectCaptionBuddies(window, {{"cboRateUnits", "Rate Units:"}, {"cboRateInterval", "Rate Interval:"},
                                  {"cboKfactorUnits", "K Factor Units:"}, {"txtKfactor", "K Factor:"},
                                  {"txtDamping", "Damping:"}, {"txtFlowLow", "Flow at 4mA:"},
                                  {"txtFlowHi", "Flow at 20mA:"}, {"txtLinearPts", "Linear Points:"},
                                  {"txtSpg", "Specific Gravity:"}});
    expectMenusReachable(window);
    expectTabReachesEverything(window);
}

TEST_F(AccessibilityTest, MrMainWindowIsNamedAndReachableByKeyboard)
{
    frmMR window(context, QStringLiteral(QRX_CONFIG_DIR "/mr"));
    expectCaptionBuddies(window, {});
    expectMenusReachable(window);
    expectTabReachesEverything(window);
}

// A column heading serves ten boxes, so those are named by heading and row number.
TEST_F(AccessibilityTest, MonitorCalibrationAndLinearPointsNameEveryControlByItsCaption)
{
    frmLineMonitor monitor(context);
    frmCalibration calibration(context);
    frmLinearPoints points(context);
    const auto caption = [&calibration](const char *label) {
        return calibration.findChild<QLabel *>(QString::fromLatin1(label))->text();
    };
    const std::map<QString, QString> names {{"txtOutput", "ASCII Output String"},
        {"Combo1", "Insert Control Character"}, {"txtLowDAC", caption("lblLowDAC")},
        {"UpDownLowDAC", caption("lblLowDAC")}, {"txtHiDAC", caption("lblHiDAC")},
        {"UpDownHiDAC", caption("lblHiDAC")}, {"UpDownTest", "Set Output to:"}, {"txtFreq0", "Freqency 1"},
        {"txtCoef0", "Coefficient 1"}, {"txtFreq9", "Freqency 10"}, {"txtCoef9", "Coefficient 10"}};
    for (QWidget *window : {static_cast<QWidget *>(&monitor), static_cast<QWidget *>(&calibration),
                            static_cast<QWidget *>(&points)}) {
        for (QWidget *control : fieldsOf(*window)) {
            // On this platform a list is named by its value and linked to its caption as its label.
            const QString name = qobject_cast<QComboBox *>(control) ? buddyCaption(*window, control)
                                                                    : accessibleName(control);
            EXPECT_FALSE(name.isEmpty()) << control->objectName().toStdString();
            const auto wanted = names.find(control->objectName());
            if (wanted != names.end())
                EXPECT_EQ(name, wanted->second) << control->objectName().toStdString();
        }
    }
    EXPECT_FALSE(caption("lblLowDAC").isEmpty());
}

// The captions stay "Com n"; the tooltip shows the mapped path, also after the mapping changes.
TEST_F(AccessibilityTest, PortMenuEntriesShowTheirDevicePaths)
{
    SettingsStore::open()->setValue(QStringLiteral("Ports/Com3"), QStringLiteral("/dev/ttyUSB0"));
    frmAltMain dravion(context);
    frmMR mr(context, QStringLiteral(QRX_CONFIG_DIR "/mr"));
    for (QMainWindow *window : {static_cast<QMainWindow *>(&dravion), static_cast<QMainWindow *>(&mr)}) {
        const std::string name = window->objectName().toStdString();
        auto *menu = window->findChild<QMenu *>(QStringLiteral("mnuSerialPort"));
        ASSERT_TRUE(menu) << name;
        EXPECT_TRUE(menu->toolTipsVisible()) << name;
        auto entry = [&](int n) { return window->findChild<QAction *>(QStringLiteral("mnuComPort%1").arg(n)); };
        EXPECT_EQ(entry(3)->text(), QStringLiteral("Com &3")) << name;
        EXPECT_EQ(entry(3)->toolTip(), QStringLiteral("/dev/ttyUSB0")) << name;
        EXPECT_EQ(entry(4)->toolTip(), SettingsStore::portPath(4)) << name;

        SettingsStore::open()->setValue(QStringLiteral("Ports/Com1"), QStringLiteral("/tmp/qrx-device"));
        emit menu->aboutToShow();
        EXPECT_EQ(entry(1)->toolTip(), QStringLiteral("/tmp/qrx-device")) << name;
        EXPECT_EQ(entry(1)->text(), QStringLiteral("Com &1")) << name;
        SettingsStore::open()->remove(QStringLiteral("Ports/Com1"));
    }
    EXPECT_EQ(dravion.findChild<QAction *>(QStringLiteral("mnuComPort12"))->toolTip(), SettingsStore::portPath(12));
}
