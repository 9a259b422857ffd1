// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard and screen-reader access to the windows: every field is named by its caption label (its
// buddy), every button takes focus by Tab, every menu entry is reachable by an access key, and the
// port menu tells which device path each "Com n" stands for.
#include <set>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include "app/mainwindowshell.h"
#include "app/settingsstore.h"
#include "calibration/frmcalibration.h"
#include "calibration/updowncontrol.h"
#include "linear/frmlinearpoints.h"
#include "monitor/frmlinemonitor.h"
#include "rig.h"
#include "table.h"

namespace {

// The fields (and buttons) of the window itself, not those of its separate windows; the line edit
// inside a combo box belongs to the combo box.
QList<QWidget *> fieldsOf(QWidget &window, bool withButtons = false)
{
    QList<QWidget *> out;
    for (QWidget *w : window.findChildren<QWidget *>()) {
        const bool edit = qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w->parentWidget());
        const bool button = withButtons && qobject_cast<QPushButton *>(w);
        const bool field = edit || button || qobject_cast<QComboBox *>(w) || qobject_cast<UpDownControl *>(w);
        if (w->window() == &window && field)
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
            return label->text().remove('&');
    }
    return QString();
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
    for (QWidget *w : fieldsOf(window, true)) {
        EXPECT_TRUE(!w->isEnabled() || !w->isVisibleTo(&window) || reached.count(w))
            << w->objectName().toStdString() << " is never reached by Tab";
    }
}

// Top-level entries carry an access key; entries inside a menu that opens by its access key are
// reached with the arrow keys, so they need only a text.
void expectMenusReachable(QMainWindow &window)
{
    for (QAction *top : window.menuBar()->actions())
        EXPECT_TRUE(top->text().contains('&')) << top->text().toStdString() << " has no access key";
    for (QMenu *menu : window.menuBar()->findChildren<QMenu *>()) {
        for (QAction *action : menu->actions())
            EXPECT_TRUE(action->isSeparator() || !action->text().isEmpty()) << menu->title().toStdString();
    }
}

} // namespace

TEST(Accessibility, MainWindowsAreNamedAndReachableByKeyboard)
{
    for (const QString &family : words("Dravion MR")) {
        SCOPED_TRACE(family.toStdString());
        Rig rig(family);
        ASSERT_TRUE(rig.start());
        QMainWindow &window = *rig.window;
        for (QWidget *field : fieldsOf(window)) {
            const QString caption = buddyCaption(window, field);
            EXPECT_FALSE(caption.isEmpty())
                << field->objectName().toStdString() << " has no caption label as buddy";
            EXPECT_EQ(accessibleName(field), caption) << field->objectName().toStdString();
        }
        expectMenusReachable(window);
        expectTabReachesEverything(window);
    }
}

TABLE_TEST(Accessibility, MainWindowFieldsAreCaptionedByTheirBuddies, "soak/access.txt", "captions")
{
    Rig rig(row["family"]);
    ASSERT_TRUE(rig.start());
    EXPECT_EQ(buddyCaption(*rig.window, rig.control(row["control"])), row["caption"]);
}

TEST(Accessibility, MonitorCalibrationAndLinearPointsNameEveryControlByItsCaption)
{
    Rig rig;
    ASSERT_TRUE(rig.start());
    frmLineMonitor monitor(*rig.context);
    frmCalibration calibration(*rig.context);
    frmLinearPoints points(*rig.context);
    std::map<QString, QString> names;
    for (const TableRow &row : tableRows("soak/access.txt", "companion-names")) { // a lookup for the walk
        const QString name = row["name"], label = name.startsWith("label ") ? name.mid(6) : QString();
        names[row["control"]] = label.isEmpty() ? name : calibration.findChild<QLabel *>(label)->text();
        EXPECT_FALSE(names[row["control"]].isEmpty()) << row.where();
    }
    for (QWidget *window : QList<QWidget *> { &monitor, &calibration, &points }) {
        for (QWidget *control : fieldsOf(*window)) {
            // On this platform a list is named by its value and linked to its caption as its label.
            const QString name = qobject_cast<QComboBox *>(control) ? buddyCaption(*window, control)
                                                                    : accessibleName(control);
            EXPECT_FALSE(name.isEmpty()) << control->objectName().toStdString();
            const QString wanted = names.count(control->objectName()) ? names[control->objectName()] : name;
            EXPECT_EQ(name, wanted) << control->objectName().toStdString();
        }
    }
}

// The captions stay "Com n"; the tooltip shows the mapped path, also after the mapping changes.
TEST(Accessibility, PortMenuEntriesShowTheirDevicePaths)
{
    for (const QString &family : words("Dravion MR")) {
        SCOPED_TRACE(family.toStdString());
        Rig rig(family);
        SettingsStore::open()->setValue("Ports/Com3", "/dev/ttyUSB0");
        ASSERT_TRUE(rig.start());
        auto *menu = rig.window->findChild<QMenu *>("mnuSerialPort");
        ASSERT_TRUE(menu && menu->toolTipsVisible());
        auto entry
            = [&](int n) { return rig.window->findChild<QAction *>(QStringLiteral("mnuComPort%1").arg(n)); };
        EXPECT_EQ(entry(3)->text(), "Com &3");
        EXPECT_EQ(entry(3)->toolTip(), "/dev/ttyUSB0");
        for (const int n : { 4, family == "Dravion" ? 12 : 4 }) // the MR menu has fewer ports
            EXPECT_EQ(entry(n) ? entry(n)->toolTip() : "no entry", SettingsStore::portPath(n)) << n;
        SettingsStore::open()->setValue("Ports/Com1", "/tmp/qrx-device");
        emit menu->aboutToShow();
        EXPECT_EQ(entry(1)->toolTip(), "/tmp/qrx-device");
        EXPECT_EQ(entry(1)->text(), "Com &1");
    }
}
