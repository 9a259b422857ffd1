#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>

#include "app/frmaltmain.h"
#include "app/settingsstore.h"
#include "link/devicestate.h"
#include "monitor/frmlinemonitor.h"
#include "fakeuserdialogs.h"

namespace {

struct MainWindowTest : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context{state, nullptr, dialogs};

    void SetUp() override { SettingsStore::open()->clear(); }
    QString stored(const char *key) { return SettingsStore::open()->value(QString::fromLatin1(key)).toString(); }
};

QString actionText(QWidget *root, const char *name)
{
    auto *a = root->findChild<QAction *>(QString::fromLatin1(name));
    return a ? a->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
}

} // namespace

TEST_F(MainWindowTest, MenusCarryTheirExactCaptionsAndShortcuts)
{
    frmAltMain w(context);
    EXPECT_EQ(w.windowTitle(), "QRX Programming Utility");
    const struct { const char *name; const char *caption; const char *shortcut; } rows[] = {
        {"mnuOpen", "&Open Data File...", "Ctrl+O"},
        {"mnuSave", "&Save Data File as...", "Ctrl+S"},
        {"mnuClear", "&Clear all Data", ""},
        {"mnuExit", "E&xit", "Ctrl+X"},
        {"mnuCalibrate", "&Calibrate", ""},
        {"mnuCommDebug", "Comm &Debug", ""},
        {"mnuAbout", "&About", ""},
        {"mnuComPort1", "Com &1", ""},
        {"mnuComPort9", "Com &9", ""},
        {"mnuComPort10", "Com 10", ""},
        {"mnuComPort12", "Com 12", ""},
    };
    for (const auto &r : rows) {
        EXPECT_EQ(actionText(&w, r.name), r.caption) << r.name;
        auto *a = w.findChild<QAction *>(QString::fromLatin1(r.name));
        ASSERT_TRUE(a) << r.name;
        EXPECT_EQ(a->shortcut().toString(), r.shortcut) << r.name;
    }
    QStringList top;
    for (QAction *a : w.menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, QStringList({"&File", "&Options", "&Tools", "&About"}));
    // About acts by itself: no drop-down behind it.
    EXPECT_EQ(w.findChild<QAction *>("mnuAbout")->menu(), nullptr);
    EXPECT_EQ(w.controls().mnuSerialPort->title(), "Serial &Port");
    EXPECT_EQ(w.controls().mnuSerialPort->actions().size(), 12);
    QStringList options;
    for (QAction *a : w.controls().mnuOptions->actions())
        options << a->text();
    EXPECT_EQ(options, QStringList({"Serial &Port", "&Assign Serial Ports..."})); // the addition goes last
}

TEST_F(MainWindowTest, FirstRunSelectsPortOneAndAStatusAppears)
{
    frmAltMain w(context);
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(w.controls().mnuComPort[i]->isChecked(), i == 1) << i;
    EXPECT_EQ(w.statusText(), "Status:  Com1");
    EXPECT_TRUE(state.ReplyReceived);
    EXPECT_TRUE(state.AutoFrame);
}

TEST_F(MainWindowTest, AStoredPortThatIsNoNumberFallsBackToPortOne)
{
    SettingsStore::open()->setValue("Settings/ComPort", "abc");
    frmAltMain w(context);
    EXPECT_TRUE(w.controls().mnuComPort[1]->isChecked());
    SettingsStore::open()->setValue("Settings/ComPort", "7");
    frmAltMain w7(context);
    EXPECT_TRUE(w7.controls().mnuComPort[7]->isChecked());
    EXPECT_FALSE(w7.controls().mnuComPort[1]->isChecked());
}

TEST_F(MainWindowTest, ClosingStoresPositionInTwipsAndPort)
{
    frmAltMain w(context);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.move(100, 60);
    QTest::qWait(20);
    w.close();
    EXPECT_EQ(stored("Settings/ComPort"), "1");
    EXPECT_EQ(stored("Settings/MainLeft"), QString::number(w.frameGeometry().left() * 15));
    EXPECT_EQ(stored("Settings/MainTop"), QString::number(w.frameGeometry().top() * 15));
}

TEST_F(MainWindowTest, AMinimisedWindowWritesNothingOnClosing)
{
    SettingsStore::open()->setValue("Settings/ComPort", "3");
    frmAltMain w(context);
    w.showMinimized();
    QTest::qWait(20);
    if (!w.isMinimized())
        GTEST_SKIP() << "this platform plugin cannot minimise";
    w.close();
    EXPECT_EQ(stored("Settings/ComPort"), "3");
    EXPECT_TRUE(stored("Settings/MainLeft").isEmpty());
    EXPECT_TRUE(stored("Settings/MainTop").isEmpty());
}

TEST_F(MainWindowTest, EveryCaptionLabelNamesItsField)
{
    frmAltMain w(context);
    const AltMainControls &c = w.controls();
    using Pair = std::pair<QLabel *, QWidget *>;
    const Pair pairs[] = {
        Pair(c.lblRateUnits, c.cboRateUnits), Pair(c.lblRateInterval, c.cboRateInterval),
        Pair(c.lblKfactorUnits, c.cboKfactorUnits), Pair(c.lblKFactor, c.txtKfactor), Pair(c.lblDamping, c.txtDamping),
        Pair(c.lblFlowLow, c.txtFlowLow), Pair(c.lblFlowHi, c.txtFlowHi), Pair(c.lblLinearPts, c.txtLinearPts),
        Pair(c.lblSpg, c.txtSpg),
    };
    for (const auto &[label, field] : pairs)
        EXPECT_EQ(label->buddy(), field) << label->objectName().toStdString();
    EXPECT_EQ(c.statusPanel1->text().left(7), "Status:");
    EXPECT_FALSE(c.statusPanel2->text().isEmpty());
    EXPECT_FALSE(c.statusPanel3->text().isEmpty());
}

// Placed by its outer frame, like the main window's own figures; its text box follows the outer height.
TEST_F(MainWindowTest, CommDebugPlacesTheMonitorFrameBesideTheWindow)
{
    frmAltMain w(context);
    frmLineMonitor monitor(context);
    w.setLineMonitorWindow(&monitor);
    w.setGeometry(100, 80, 500, 400);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    for (const int height : {400, 300}) { // before and after the monitor has a frame of its own
        w.resize(500, height);
        w.controls().mnuCommDebug->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
        const QRect main = w.frameGeometry();
        EXPECT_EQ(monitor.frameGeometry(), QRect(main.left() + main.width(), main.top(), 339, main.height()));
        EXPECT_EQ(monitor.findChild<QPlainTextEdit *>(QStringLiteral("txtComm"))->height(), main.height() - 60);
    }
}
