#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/frmaltmain.h"
#include "app/qtuserdialogs.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "params/dravionfields.h"
#include "params/fieldchecks.h"
#include "simulateddevice.h"
#include "fakeuserdialogs.h"

namespace {

bool isRed(const QLabel *label) { return label->palette().color(QPalette::WindowText) == QColor(255, 0, 0); }
QStringList one(const char *text) { return text ? QStringList{QString::fromLatin1(text)} : QStringList(); }

// A shown main window that read the configuration file installed beside the test executable.
struct DravionFieldsTest : ::testing::Test
{
    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QLineEdit *edit(const char *name) { return window.findChild<QLineEdit *>(QString::fromLatin1(name)); }
    QLabel *label(const char *name) { return window.findChild<QLabel *>(QString::fromLatin1(name)); }
    QComboBox *combo(const char *name) { return window.findChild<QComboBox *>(QString::fromLatin1(name)); }
    // Replaces a field's text by typing, then leaves it with Tab.
    void typeAndLeave(QLineEdit *field, const char *text)
    {
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, QString::fromLatin1(text));
        QTest::keyClick(field, Qt::Key_Tab);
    }
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context{state, nullptr, dialogs};
    frmAltMain window{context};
};

} // namespace

// Each row types keys (k), pastes with Ctrl+V (v) or the context menu (m), or sets the text as the program
// does (s).
TEST_F(DravionFieldsTest, KeyFiltersRefuseWhatTheFieldCannotHold)
{
    const struct { const char *field; char how; const char *input, *expected; } rows[] = {
        {"txtKfactor", 'k', "-a1.2x", "1.2"},
        {"txtFlowLow", 'k', "1..5", "1..5"}, // any number of points passes the filter
        {"txtDamping", 'k', "1.2-e", "12"},
        {"txtLinearPts", 'k', "+3", "3"},
        {"txtKfactor", 'k', "1234567890", "123456789"}, // typing stops at the maximum length
        {"txtKfactor", 'v', "ab-1.5x", "1.5"},          // pasting inserts only what typing could
        {"txtLinearPts", 'v', "12345", "123"},          // and within the maximum length
        {"txtKfactor", 'm', "-2.5 pulses", "2.5"},      // the same cleaning for the menu (and a drop)
        {"txtKfactor", 's', "12345.67891", "12345.67891"}, // a device reply or file entry arrives whole
    };
    for (const auto &r : rows) {
        QLineEdit *field = edit(r.field);
        const QString input = QString::fromLatin1(r.input);
        field->clear();
        field->setFocus();
        QGuiApplication::clipboard()->setText(input);
        if (r.how == 'k')
            QTest::keyClicks(field, input);
        else if (r.how == 'v')
            QTest::keySequence(field, QKeySequence::Paste);
        else if (r.how == 'm')
            field->paste();
        else
            field->setText(input);
        EXPECT_EQ(field->text(), QString::fromLatin1(r.expected)) << r.field << " " << r.input;
    }
    EXPECT_FLOAT_EQ(state.KfactorItems[0].value, 12345.67891f);
}

TEST_F(DravionFieldsTest, EditsAreStoredAtOnce)
{
    const auto stored = [this](const QString &field) -> double {
        if (field == QLatin1String("txtDamping")) return state.DampingItem.value;
        if (field == QLatin1String("txtLinearPts")) return state.LinearPtsItem.value;
        if (field == QLatin1String("txtFlowHi")) return state.FlowHiItem.value;
        if (field == QLatin1String("txtSpg")) return state.SpgItem.value;
        EXPECT_EQ(state.KfactorItems[0].value, state.KfactorItems[1].value); // both entries, always
        return state.KfactorItems[1].value;
    };
    const struct { const char *field; const char *text; double expected; } rows[] = {
        {"txtDamping", "2.5", 2}, {"txtDamping", "3.5", 4}, // set by another part: halves to even
        {"txtDamping", "", 0}, {"txtLinearPts", "7", 7}, {"txtKfactor", "12.5", 12.5}, {"txtFlowHi", "1E3", 1000},
        {"txtSpg", "1.2.3", 1.2}, {"txtKfactor", "1E39", 99}, // does not fit a single: the record keeps its value
    };
    for (const auto &r : rows) {
        const QString field = QString::fromLatin1(r.field);
        edit(r.field)->setText(QStringLiteral("99"));
        edit(r.field)->setText(QString::fromLatin1(r.text));
        EXPECT_FLOAT_EQ(float(stored(field)), float(r.expected)) << r.field << " " << r.text;
    }
}

TEST_F(DravionFieldsTest, ListsStoreTheIndexAndMassUnitsShowSpecificGravity)
{
    FlagField(label("lblRateUnits"), label("lblRateUnitsE"));
    const struct { int index; bool spgShown; } rows[] = {{3, true}, {0, false}, {4, true}, {5, false}, {-1, false}};
    for (const auto &r : rows) {
        combo("cboRateUnits")->setCurrentIndex(r.index);
        EXPECT_EQ(state.RateUnits, r.index);
        EXPECT_EQ(!edit("txtSpg")->isHidden() && !label("lblSpg")->isHidden(), r.spgShown) << r.index;
        EXPECT_FALSE(IsFieldFlagged(label("lblRateUnitsE")) || isRed(label("lblRateUnits")));
    }
    combo("cboRateInterval")->setCurrentIndex(2);
    combo("cboKfactorUnits")->setCurrentIndex(1);
    EXPECT_EQ(state.RateInterval, 2);
    EXPECT_EQ(state.KfactorUnits, 1);
}

TEST_F(DravionFieldsTest, OutputTypeRelabelsTheFlowFieldsAndTheirMessages)
{
    QTest::mouseClick(window.findChild<QRadioButton *>(QStringLiteral("optType1")), Qt::LeftButton);
    EXPECT_EQ(label("lblFlowLow")->text() + label("lblFlowHi")->text(), QStringLiteral("Flow at 0VFlow at 5V"));
    EXPECT_EQ(state.OutputType, 1);
    typeAndLeave(edit("txtFlowLow"), "123456");
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Flow at 0V  Field must be between 0 and 99999")});

    window.fields().optType_Click(0);
    EXPECT_TRUE(window.findChild<QRadioButton *>(QStringLiteral("optType0"))->isChecked());
    EXPECT_EQ(label("lblFlowLow")->text() + label("lblFlowHi")->text(), QStringLiteral("Flow at 4mAFlow at 20mA"));
    EXPECT_EQ(state.OutputType, 0);
}

TEST_F(DravionFieldsTest, LeavingAnOutOfRangeFieldFlagsItOnce)
{
    QLineEdit *damping = edit("txtDamping");
    typeAndLeave(damping, "100");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Damping:  Field must be between 0 and 99"));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Exclamation);
    EXPECT_TRUE(isRed(label("lblDamping")) && IsFieldFlagged(label("lblDampingE")));
    EXPECT_TRUE(damping->hasFocus());
    EXPECT_EQ(damping->selectedText(), QStringLiteral("100"));

    QTest::keyClick(damping, Qt::Key_Tab); // flagged: not checked again
    EXPECT_EQ(dialogs.messages.size(), 1u);
    damping->setFocus();
    QTest::keyClick(damping, Qt::Key_End);
    QTest::keyClick(damping, Qt::Key_Backspace); // an edit clears the flag, the next leave checks again
    EXPECT_FALSE(isRed(label("lblDamping")) || IsFieldFlagged(label("lblDampingE")));
    QTest::keyClick(damping, Qt::Key_0);
    QTest::keyClick(damping, Qt::Key_Tab);
    EXPECT_EQ(dialogs.messages.size(), 2u);

    const struct { const char *field; int units; const char *text; const char *message; } rows[] = {
        {"txtDamping", -1, "99", nullptr}, {"txtDamping", -1, "", nullptr}, {"txtLinearPts", -1, "11", "Linear Points:  Field must be between 0 and 10"},
        {"txtFlowLow", -1, ".", "Flow at 4mA:  Field must be between 0 and 99999"},
        {"txtFlowHi", -1, "99999", nullptr}, // the raised high end also cleared the low end
        {"txtFlowHi", -1, "1..5", "Flow at 20mA:  Field must be between 0 and 99999"},
        {"txtKfactor", -1, "0.5", nullptr}, // no K factor units: nothing checked
        {"txtKfactor", 0, "0.5", "K Factor:  Field must be between 1 and 60000"},
        {"txtKfactor", 1, "0.5", nullptr}, {"txtKfactor", 0, "60000", nullptr},
        {"txtKfactor", 1, "20000", "K Factor:  Field must be between 0.25 and 16000"},
    };
    for (const auto &r : rows) {
        dialogs.clear();
        combo("cboKfactorUnits")->setCurrentIndex(r.units);
        edit(r.field)->clear();
        typeAndLeave(edit(r.field), r.text);
        EXPECT_EQ(dialogs.texts(), one(r.message)) << r.field << " " << r.text;
        EXPECT_EQ(edit(r.field)->hasFocus(), r.message != nullptr) << r.field << " " << r.text;
    }
}

TEST_F(DravionFieldsTest, FlowPairIsClearedTogetherWhileHighExceedsLow)
{
    const struct { const char *field; const char *text; bool cleared; } rows[] = {
        {"txtFlowHi", "11", true}, {"txtFlowLow", "4", true}, {"txtFlowHi", "10", false}, {"txtFlowLow", "12", false},
    };
    for (const auto &r : rows) {
        edit("txtFlowLow")->setText(QStringLiteral("10"));
        edit("txtFlowHi")->setText(QStringLiteral("5"));
        FlagField(label("lblFlowLow"), label("lblFlowLowE"));
        FlagField(label("lblFlowHi"), label("lblFlowHiE"));
        edit(r.field)->setText(QString::fromLatin1(r.text));
        EXPECT_EQ(IsFieldFlagged(label("lblFlowLowE")) && isRed(label("lblFlowLow")), !r.cleared) << r.field << r.text;
        EXPECT_EQ(IsFieldFlagged(label("lblFlowHiE")), !r.cleared) << r.field << " " << r.text;
    }
}

// Focus moved while the message is up (by the box itself, or another window) starts no second check.
TEST_F(DravionFieldsTest, FocusTakenDuringTheMessageStartsNoSecondCheck)
{
    edit("txtFlowLow")->setText(QStringLiteral("123456")); // invalid too: a cascade would report it
    dialogs.onMessage = [&](const UserDialogs::Message &) {
        edit("txtFlowLow")->setFocus(Qt::TabFocusReason);
        edit("txtDamping")->setFocus(Qt::MouseFocusReason);
        edit("txtFlowLow")->setFocus(Qt::TabFocusReason);
    };
    typeAndLeave(edit("txtDamping"), "500");
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Damping:  Field must be between 0 and 99")});

    QtUserDialogs real; // a real modal box, closed by a polling timer
    AppContext realContext{state, nullptr, real};
    frmAltMain realWindow{realContext};
    real.setParentWidget(&realWindow);
    realWindow.show();
    QApplication::setActiveWindow(&realWindow);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&realWindow));
    QStringList boxes;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            boxes << box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start(10);
    auto *damping = realWindow.findChild<QLineEdit *>(QStringLiteral("txtDamping"));
    damping->setFocus();
    QTest::keyClicks(damping, QStringLiteral("250"));
    QTest::keyClick(damping, Qt::Key_Tab);
    QTest::qWait(100);
    EXPECT_EQ(boxes, QStringList{QStringLiteral("Damping:  Field must be between 0 and 99")});
    EXPECT_EQ(realWindow.focusWidget(), damping); // nothing reactivates the window without a window manager
}

TEST_F(DravionFieldsTest, MissingFieldsAreFlagged)
{
    EXPECT_FALSE(window.fields().CheckMissingFields());
    for (const char *marker : {"lblRateUnitsE", "lblRateIntervalE", "lblKfactorUnitsE", "lblKfactorE", "lblDampingE",
                               "lblFlowLowE", "lblFlowHiE", "lblLinearPtsE"})
        EXPECT_TRUE(IsFieldFlagged(label(marker))) << marker;
    EXPECT_FALSE(IsFieldFlagged(label("lblSpgE"))); // hidden, so not missing

    combo("cboRateUnits")->setCurrentIndex(3); // Kgs: Specific Gravity is now required
    combo("cboRateInterval")->setCurrentIndex(0);
    combo("cboKfactorUnits")->setCurrentIndex(0);
    for (const char *name : {"txtKfactor", "txtDamping", "txtFlowLow", "txtFlowHi", "txtLinearPts"})
        edit(name)->setText(QStringLiteral("0"));
    EXPECT_FALSE(window.fields().CheckMissingFields());
    EXPECT_TRUE(IsFieldFlagged(label("lblSpgE")));
    edit("txtSpg")->setText(QStringLiteral("1"));
    EXPECT_TRUE(window.fields().CheckMissingFields());
    edit("txtLinearPts")->setText(QStringLiteral("11")); // beyond the configured 10
    EXPECT_FALSE(window.fields().CheckMissingFields());
    EXPECT_TRUE(IsFieldFlagged(label("lblLinearPtsE")));

    // Two points: the first typed then erased (0, entered), the second never entered.
    edit("txtLinearPts")->setText(QStringLiteral("2"));
    state.LinFreqItems[0].value = 0;
    state.LinFlowItems[0].value = 0.0f;
    EXPECT_FALSE(window.fields().CheckMissingFields());
    frmLinearPoints *points = window.linearPoints().window();
    EXPECT_TRUE(points->isVisible());
    EXPECT_FALSE(IsFieldFlagged(points->lblErr(0)));
    EXPECT_TRUE(IsFieldFlagged(points->lblErr(1)) && isRed(points->lblPoints(1)));
    EXPECT_FALSE(IsFieldFlagged(points->lblErr(2)));
    state.LinFreqItems[1].value = 300;
    state.LinFlowItems[1].value = 2.0f;
    EXPECT_TRUE(window.fields().CheckMissingFields());
}

TEST_F(DravionFieldsTest, ConfigurationFailuresAreReported)
{
    EXPECT_TRUE(dialogs.messages.empty()); // the shipped file loaded silently
    const struct { QByteArray content; const char *text; const char *title; } rows[] = {
        {QByteArray(), "Configuration File Missing or Read Error!", "QRX Programming Utility"},
        {"Title=Setup values\nRate Units=3,0,1,Ltr,Kgs\n", "Error Reading Configuration File\r\nMay have problems using "
         "Software\r\nContact Manufacture for Help or new Configuration File", "Arlex Error"},
    };
    for (const auto &r : rows) {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("Config.inf")));
        if (!r.content.isNull() && file.open(QIODevice::WriteOnly))
            file.write(r.content);
        file.close();
        dialogs.clear();
        window.fields().loadConfigurationFrom(dir.path());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QString::fromLatin1(r.text));
        EXPECT_EQ(dialogs.messages[0].title, QString::fromLatin1(r.title));
        EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    }
    EXPECT_EQ(combo("cboRateUnits")->count(), 8); // the lines around a syntax error still apply
    EXPECT_EQ(combo("cboRateUnits")->currentIndex(), -1);
}

// The version check through the main window against the simulated device on a pty.
TEST(VersionCheckAgainstDevice, ReportsOnlyADifference)
{
    const char *const deviceNewer =
        "Device version is newer then configuration file\r   Contact Manufacturer for updated software";
    const char *const fileNewer =
        "Configuration file is newer then the device version\r    Contact Manufacturer for Device upgrade";
    const struct { const char *device, *file, *message; bool silent; } rows[] = {
        {"2.10", "2.10", nullptr, false},
        {"2.1", "2.10", nullptr, false}, // the same number
        {"2.05", "2.10", fileNewer, false},
        {"3.0", "2.10", deviceNewer, false},
        {"1.00", "", deviceNewer, false}, // a file without a version line
        {"2.10", "2.10", nullptr, true},  // no reply: the link reports it, the check says nothing more
    };
    for (const auto &r : rows) {
        SimOptions options;
        options.version = QString::fromLatin1(r.device);
        options.configPath = QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
        options.pacing = false;
        options.silent = r.silent;
        SimulatedDevice device(options);
        QString error;
        ASSERT_TRUE(device.start(&error)) << error.toStdString();
        DeviceState state;
        SerialDevicePort port;
        QtReplyTimer timer{500};
        FakeUserDialogs dialogs;
        LinkEngine link(state, port, timer, dialogs);
        link.setPortResolver([path = device.path()](int) { return path; });
        frmAltMain window(AppContext{state, &link, dialogs});
        state.ConfigVersion = QString::fromLatin1(r.file);
        dialogs.clear();

        window.fields().CheckDeviceVersion();
        EXPECT_EQ(device.received(), QStringList(r.silent ? 2 : 1, QStringLiteral("<STX>V<CR>"))) << r.device;
        EXPECT_EQ(state.CommAbort, r.silent) << r.device;
        const QStringList expected = r.silent ? QStringList{LinkEngine::timeoutMessage()} : one(r.message);
        EXPECT_EQ(dialogs.texts(), expected) << r.device;
        for (const auto &m : dialogs.messages)
            EXPECT_TRUE(r.silent || (m.icon == UserDialogs::Icon::Critical
                                     && m.title == UserDialogs::defaultTitle()));
        port.close();
    }
}
