// SPDX-License-Identifier: GPL-3.0-or-later
// Main windows of both families, the splash and About window, the port menu's device paths and
// the setup sheet.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>

#include <gtest/gtest.h>

#include "app/frmassignports.h"
#include "app/frmsplash.h"
#include "app/mainwindowshell.h"
#include "app/portassignments.h"
#include "app/settingsstore.h"
#include "app/setupsheetcommands.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "monitor/frmlinemonitor.h"
#include "params/mainwindowcontrols.h"
#include "pdftext.h"
#include "programrun.h"
#include "rig.h"
#include "rigcase.h"
#include "table.h"

namespace {

const QString Table = QStringLiteral("app/mainwindow.txt");
const QString Ports = QStringLiteral("app/ports.txt");

QString texts(const QList<QAction *> &actions)
{
    QStringList list;
    for (const QAction *a : actions)
        list << a->text();
    return list.join(QStringLiteral(", "));
}

QStringList stored()
{
    auto settings = SettingsStore::open();
    QStringList values;
    for (const char *key : { "ComPort", "MainLeft", "MainTop" })
        values << settings->value(QLatin1String("Settings/") + QLatin1String(key)).toString();
    return values;
}

// The made-up machine of the table file, built in a temporary folder.
struct PortAssignmentsTest : ::testing::Test
{
    QTemporaryDir root;
    PortAssignments::Machine machine;
    QString at(const QString &relative) const
    {
        return relative.isEmpty() ? relative : root.filePath(relative);
    }
    QString rooted(QString text) const { return text.replace("@", root.path() + '/'); }

    void SetUp() override
    {
        SettingsStore::open()->clear();
        for (const char *folder : { "dev", "by-id" })
            QDir(root.path()).mkpath(QLatin1String(folder));
        QList<PortAssignments::FoundPort> found;
        for (const TableRow &row : tableRows(Ports, QStringLiteral("machine"))) {
            QFile node(at(row["path"]));
            ASSERT_TRUE(node.open(QIODevice::WriteOnly));
            if (row["listed"] == QLatin1String("listed"))
                found.append({ at(row["path"]), row["description"], row["manufacturer"], row["serial"] });
        }
        for (const TableRow &row : tableRows(Ports, QStringLiteral("links")))
            ASSERT_TRUE(QFile::link(at(row["node it points to"]), at(row["stable name"])));
        machine.ports = [found] { return found; };
        machine.byIdFolder = at("by-id");
        machine.mayOpen = [this](const QString &path) { return path != at("dev/ttyACM0"); };
    }
};

TEST_F(PortAssignmentsTest, OffersFoundPortsByTheirStableNamesAndNamesMissingOnes)
{
    PortAssignments model(12, machine);
    model.load();
    QStringList offered, expected;
    for (const auto &c : model.choices())
        offered << c.path + " | " + c.details;
    for (const TableRow &row : tableRows(Ports, QStringLiteral("offered")))
        expected << at(row["path"]) + " | " + rooted(row["details"]);
    EXPECT_EQ(offered, expected);
}

TABLE_TEST_F(PortAssignmentsTest, EachPathShowsItsPresenceAndANote, Ports, "presence")
{
    const std::map<QString, PortAssignments::Presence> presences {
        { "present", PortAssignments::Presence::Present }, { "missing", PortAssignments::Presence::Missing },
        { "denied", PortAssignments::Presence::NoPermission }
    };
    PortAssignments model(12, machine);
    model.load();
    EXPECT_EQ(model.presence(at(row["path"])), presences.at(row["presence"]));
    EXPECT_EQ(model.note(at(row["path"])), rooted(row["note"]));
}

TEST_F(PortAssignmentsTest, StoreWritesOnlyChangesAndCancelWritesNothing)
{
    auto settings = SettingsStore::open();
    settings->setValue("Ports/Com1", "/dev/old");
    settings->setValue("Ports/Com4", "/dev/ttyUSB3");
    settings->sync();
    {
        PortAssignments cancelled(4, machine); // a dialog closed with Cancel never stores
        cancelled.load();
        cancelled.setPath(1, at("by-id/usb-sim"));
    }
    EXPECT_EQ(SettingsStore::portPath(1), "/dev/old");

    PortAssignments model(4, machine);
    model.load();
    EXPECT_EQ(model.path(1), "/dev/old");
    EXPECT_EQ(model.path(2), SettingsStore::portPath(2)); // the default
    model.setPath(1, " " + at("by-id/usb-sim") + " ");
    model.setPath(4, ""); // back to the default
    model.store();
    settings = SettingsStore::open();
    EXPECT_EQ(settings->value("Ports/Com1").toString(), at("by-id/usb-sim"));
    EXPECT_FALSE(settings->contains("Ports/Com2")) << "an unchanged default is not written";
    EXPECT_FALSE(settings->contains("Ports/Com4"));
    EXPECT_EQ(SettingsStore::portPath(4), "/dev/ttyS3");
}

// Picking an entry puts its bare path in the box, for the first and the last entry and the last Com.
TABLE_TEST_F(PortAssignmentsTest, PickedEntriesGiveTheirPathsToTheModel, Ports, "dialog")
{
    PortAssignments model(12, machine);
    model.load();
    frmAssignPorts dialog(model);
    auto *port = dialog.findChild<QComboBox *>("cboPort" + row["Com n"]);
    ASSERT_TRUE(port);
    port->setCurrentIndex(row.number("entry picked"));
    EXPECT_EQ(port->currentText(), at(row["path in its box"]));
    EXPECT_EQ(dialog.findChild<QLabel *>("lblCom" + row["Com n"])->text(), row["caption"]);
    dialog.collect();
    EXPECT_EQ(model.path(row.number("Com n")), at(row["path in its box"]));
}

} // namespace

// "Comm Debug" places the monitor by its outer frame, like the main window's own figures; its text
// box follows the outer height.
TABLE_TEST(MainWindow, CaptionMenuBarAndCommDebugOfEachFamily, Table, "window")
{
    Rig rig(row["family"]);
    ASSERT_TRUE(rig.start());
    EXPECT_EQ(rig.window->windowTitle(), row["caption"]);
    EXPECT_EQ(texts(rig.window->menuBar()->actions()), row.words("menu bar").join(QStringLiteral(", ")));
    EXPECT_EQ(rig.c().mnuSerialPort->actions().size(), row.number("entries of Serial Port"));
    frmLineMonitor monitor(*rig.context);
    monitor.move(20, 30);
    rig.window->setLineMonitorWindow(&monitor);
    rig.window->setGeometry(40, 80, 400, 400); // room for the monitor beside it
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    for (const int height : { 400, 300 }) { // before and after the monitor has a frame of its own
        rig.window->resize(400, height);
        rig.c().mnuCommDebug->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
        const QRect main = rig.window->frameGeometry();
        if (row["Comm Debug places the monitor"] == QLatin1String("beside")) {
            EXPECT_EQ(
                monitor.frameGeometry(), QRect(main.left() + main.width(), main.top(), 339, main.height()));
            EXPECT_EQ(
                monitor.findChild<QPlainTextEdit *>(QStringLiteral("txtComm"))->height(), main.height() - 60);
        } else {
            EXPECT_EQ(monitor.frameGeometry().topLeft(), QPoint(20, 30));
        }
    }
}

TABLE_TEST(MainWindow, MenusEntriesAndShortcutsOfEachFamily, Table, "menus")
{
    for (const QString &family : row.words("families")) {
        SCOPED_TRACE(family.toStdString());
        Rig rig(family);
        ASSERT_TRUE(rig.start());
        if (auto *menu = rig.window->findChild<QMenu *>(row["control"])) {
            EXPECT_EQ(texts(menu->actions()), row["caption"]);
            // Alt and a letter must reach every entry: no two share one.
            QStringList keys;
            for (const QAction *entry : menu->actions()) {
                if (!QKeySequence::mnemonic(entry->text()).isEmpty())
                    keys << QKeySequence::mnemonic(entry->text()).toString();
            }
            EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size())
                << keys.join(' ').toStdString();
        } else if (auto *action = rig.window->findChild<QAction *>(row["control"]); action) {
            EXPECT_EQ(action->text(), row["caption"]);
            EXPECT_EQ(action->shortcut().toString(), row["shortcut"]);
            EXPECT_EQ(action->menu(), nullptr); // About acts by itself
        } else {
            ADD_FAILURE() << "no " << row["control"].toStdString();
        }
    }
}

// The position is stored in twips, by the outer frame; start-up does not read it back.
TABLE_TEST(MainWindow, StartUpSelectsTheStoredPortAndClosingStoresPortAndPosition, Table, "ports")
{
    Rig rig(row["family"]);
    if (row["stored"] != QLatin1String("none"))
        SettingsStore::open()->setValue(QStringLiteral("Settings/ComPort"), row["stored"]);
    ASSERT_TRUE(rig.start());
    QStringList checked;
    for (QAction *a : rig.c().mnuSerialPort->actions())
        if (a->isChecked())
            checked << a->objectName().mid(10);
    EXPECT_EQ(checked.isEmpty() ? QStringLiteral("none") : checked.join(' '), row["checked"]);
    EXPECT_TRUE(rig.state.ReplyReceived && rig.state.AutoFrame);
    EXPECT_EQ(rig.c().statusPanel1->text(), row["status"]);
    EXPECT_FALSE(
        rig.c().statusPanel2->text().isEmpty() || rig.c().statusPanel3->text().isEmpty()); // date, time
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->move(100, 60);
    QTest::qWait(20);
    rig.window->close();
    const QRect frame = rig.window->frameGeometry();
    EXPECT_EQ(stored(),
        (QStringList { row["stored on closing"], QString::number(frame.left() * 15),
            QString::number(frame.top() * 15) }));
}

TEST(MainWindow, AMinimisedWindowStoresNothingOnClosing)
{
    Rig rig;
    SettingsStore::open()->setValue(QStringLiteral("Settings/ComPort"), "3");
    ASSERT_TRUE(rig.start());
    rig.window->showMinimized();
    QTest::qWait(20);
    if (!rig.window->isMinimized())
        GTEST_SKIP() << "this platform plugin cannot minimise";
    rig.window->close();
    EXPECT_EQ(stored(), (QStringList { "3", "", "" })) << "a minimised window writes nothing";
}

TEST(Splash, PictureVersionTimerAndHotSpots)
{
    EXPECT_EQ(frmSplash::versionText(1, 0, 3), "Software Version 1.03");
    EXPECT_EQ(frmSplash::versionText(2, 1, 0), "Software Version 2.10");
    frmSplash splash;
    EXPECT_EQ(splash.findChild<QLabel *>("lblVersion")->text(), "Software Version 1.03");
    const QPixmap picture = splash.findChild<QLabel *>("Image1")->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(splash.size(), picture.size());
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    auto *timer = splash.findChild<QTimer *>("tmrSplash");
    EXPECT_TRUE(timer->isActive() && timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 4000);

    QList<QUrl> opened;
    splash.setUrlOpener([&](const QUrl &url) { opened << url; });
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    for (int i = 0; i < 7; ++i) {
        auto *spot = splash.findChild<QLabel *>(QStringLiteral("lblHotSpot%1").arg(i));
        EXPECT_EQ(spot->toolTip(), frmSplash::hotSpots()[i].address.toString());
        EXPECT_TRUE(spot->text().isEmpty());
        QTest::mouseClick(spot, Qt::LeftButton);
    }
    ASSERT_EQ(opened.size(), 7);
    EXPECT_EQ(QSet<QUrl>(opened.begin(), opened.end()).size(), 7);
}

// The splash time comes from the test; what it does at the end is the same. Once start-up is over
// the same window is the About window.
TEST(Splash, TimerOrTopLeftSpotShowsTheMainWindowOnceThenAboutStaysUntilExit)
{
    QWidget main;
    frmSplash splash(nullptr, 200);
    splash.setMainWindow(&main);
    splash.showSplash();
    QTest::qWait(100);
    EXPECT_TRUE(!main.isVisible() && splash.isVisible() && !splash.isModal());
    QTRY_VERIFY_WITH_TIMEOUT(main.isVisible(), 1000);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.findChild<QTimer *>("tmrSplash")->isActive());
    main.hide();
    QTest::qWait(300); // it fires at most once
    EXPECT_FALSE(main.isVisible());

    frmSplash clicked;
    clicked.setMainWindow(&main);
    clicked.showSplash();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&clicked));
    QTest::mouseClick(clicked.findChild<QLabel *>("Label1"), Qt::LeftButton);
    EXPECT_TRUE(main.isVisible() && !clicked.isVisible());
    EXPECT_FALSE(clicked.findChild<QTimer *>("tmrSplash")->isActive());

    bool watchdog = false;
    for (int round = 0; round < 2; ++round) {
        bool wasOpenLater = false, exitVisible = false;
        QTimer::singleShot(200, [&] {
            wasOpenLater = clicked.isVisible() && QApplication::activeModalWidget() == &clicked;
            auto *exit = clicked.findChild<QPushButton *>("btnExit");
            exitVisible = exit->isVisible();
            QTest::mouseClick(exit, Qt::LeftButton);
        });
        QTimer::singleShot(5000, &clicked, [&] { watchdog = true, clicked.reject(); });
        clicked.showAbout();
        EXPECT_FALSE(watchdog) << "About closed only by the watchdog";
        EXPECT_TRUE(wasOpenLater && exitVisible);
        EXPECT_FALSE(clicked.isVisible());
        EXPECT_EQ(clicked.findChild<QLabel *>("lblVersion")->text(), "Software Version 1.03");
    }
}

// Placed as described, a window that would pass the edge of the screen's available area is moved
// back by the smallest shift; our own dialog is no larger than that area.
TEST(MainWindow, WindowsPlacedBesideTheMainWindowStayOnTheScreen)
{
    Rig rig;
    ASSERT_TRUE(rig.start());
    frmLineMonitor monitor(*rig.context);
    rig.window->setLineMonitorWindow(&monitor);
    rig.window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(rig.window.get()));
    const QRect area = rig.window->screen()->availableGeometry();
    auto inside = [&area](const QWidget &w) { return area.contains(w.frameGeometry()); };

    // Beside a main window near the right edge: as far right as the screen lets it, at the same top.
    rig.window->move(area.right() - rig.window->frameGeometry().width() - 100, area.top() + 20);
    rig.c().mnuCommDebug->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
    EXPECT_TRUE(inside(monitor));
    EXPECT_EQ(
        monitor.frameGeometry().topLeft(), QPoint(area.right() + 1 - 339, rig.window->frameGeometry().top()));

    // The linear points window below the top of a main window near the bottom edge, and after a
    // resize that moves it and the monitor along.
    rig.set("txtLinearPts", "3");
    rig.window->move(area.left() + 10, area.bottom() - 60);
    rig.c().btnLinear->click();
    QWidget *points = rig.window->linearPoints().window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(points));
    EXPECT_TRUE(inside(*points));
    EXPECT_EQ(points->frameGeometry().left(), rig.window->frameGeometry().left() + 7) << "only moved up";
    EXPECT_EQ(points->frameGeometry().bottom(), area.bottom());
    rig.window->resize(rig.window->width() + 300, rig.window->height());
    EXPECT_TRUE(inside(*points));
    EXPECT_TRUE(inside(monitor));

    PortAssignments model(12, PortAssignments::thisMachine());
    model.load();
    frmAssignPorts dialog(model, rig.window.get());
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_TRUE(inside(dialog)) << dialog.frameGeometry().width() << " x " << dialog.frameGeometry().height();
    EXPECT_TRUE(area.contains(
        dialog.findChild<QPushButton *>("btnCancel")
            ->rect()
            .translated(dialog.findChild<QPushButton *>("btnCancel")->mapToGlobal(QPoint(0, 0)))));
}

// Run as from a shell without a display: --help and --version of every program answer at once,
// and a wrong option of the utility gives its usage instead of starting (or failing to start) Qt.
TABLE_TEST(Programs, HelpVersionAndWrongOptionsNeedNoDisplay, "app/programs.txt", "options")
{
    const QMap<QString, QString> programs { { "qrx-utility", QRX_UTILITY_PATH }, { "qrx-cli", QRX_CLI_PATH },
        { "qrx-sim", QRX_SIM_PATH } };
    const ProgramRun p = ProgramRun::of(programs.value(row["program"]), row.words("arguments"), 10000, true);
    const QString &out = p.out, &err = p.err, holds = row["errors hold"];
    EXPECT_EQ(p.status, row.number("exit status")) << err.toStdString();
    const QString begins = row["output begins"].replace("VERSION", QRX_VERSION_TEXT).replace("\\n", "\n");
    EXPECT_TRUE(begins.isEmpty() ? out.isEmpty() : out.startsWith(begins)) << out.toStdString();
    EXPECT_TRUE(holds.isEmpty() ? err.isEmpty() : err.contains(holds)) << err.toStdString();
}

// The sheet tells where a read took the setup from until the setup is cleared; a path it cannot
// write gets one message and leaves the folder as it was.
TABLE_TEST(SetupSheet, ExportNamesTheReadsPortAndVersionAndLeavesNothingWhenItCannotWrite,
    "app/mainwindow.txt", "sheet")
{
    RigCase t(row["family"], row.words("device"), {});
    Rig &r = *t;
    r.window->transfer().btnRead_Click();
    const QString pdf = r.dir.filePath(QStringLiteral("sheet.pdf"));
    r.dialogs.clear();
    r.dialogs.fileAnswers.push_back(pdf);
    t.press(QStringLiteral("mnuExportSheet"));
    EXPECT_EQ(r.dialogs.texts(), QStringList());
    ASSERT_EQ(r.dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(r.dialogs.fileDialogs[0].filter, QStringLiteral("PDF File (*.pdf)"));
    QStringList expected;
    for (const QString &line : row["sheet"].split(';', Qt::SkipEmptyParts)) {
        expected << QString(line.trimmed())
                        .replace("{port}", QStringLiteral("Com 1 (%1)").arg(r.link->portPath()))
                        .replace("{version}", r.state.ConfigVersion);
    }
    QStringList lines = pdfLines(pdf);
    EXPECT_EQ(notInOrder(lines, expected), QStringList()) << lines.join('\n').toStdString();
    // Print Setup lays the same page out on the printer's printable area.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(r.dir.filePath(QStringLiteral("printed.pdf")));
    ASSERT_TRUE(r.window->sheets().print(printer));
    lines = pdfLines(printer.outputFileName());
    EXPECT_EQ(notInOrder(lines, expected), QStringList()) << lines.join('\n').toStdString();

    r.c().mnuClear->trigger();
    r.dialogs.fileAnswers.push_back(pdf);
    t.press(QStringLiteral("mnuExportSheet"));
    lines = pdfLines(pdf);
    EXPECT_TRUE(lines.filter(QRegularExpression("^(Port|Device version):")).isEmpty())
        << lines.join('\n').toStdString();

    QDir folder(r.dir.path());
    ASSERT_TRUE(folder.mkdir(QStringLiteral("taken.pdf")));
    const QStringList before = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    r.dialogs.clear();
    r.dialogs.fileAnswers.push_back(folder.filePath(QStringLiteral("taken.pdf")));
    t.press(QStringLiteral("mnuExportSheet"));
    ASSERT_EQ(r.dialogs.messages.size(), 1u);
    EXPECT_TRUE(r.dialogs.messages[0].text.startsWith(
        QStringLiteral("Unable to write the setup sheet to %1:\r").arg(folder.filePath("taken.pdf"))))
        << r.dialogs.messages[0].text.toStdString();
    EXPECT_EQ(r.dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    EXPECT_EQ(folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), before);
}
