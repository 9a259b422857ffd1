#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
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
#include "params/dravionfields.h"
#include "params/fieldchecks.h"
#include "support/fakeuserdialogs.h"

namespace {

bool isRed(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
}

// A shown main window that read the configuration file installed beside the test executable.
class DravionFieldsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    QLineEdit *edit(const char *name) { return window.findChild<QLineEdit *>(QString::fromLatin1(name)); }
    QLabel *label(const char *name) { return window.findChild<QLabel *>(QString::fromLatin1(name)); }
    QComboBox *combo(const char *name) { return window.findChild<QComboBox *>(QString::fromLatin1(name)); }

    // Types into a field, then leaves it with Tab.
    void typeAndLeave(QLineEdit *field, const QString &text)
    {
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context{state, nullptr, dialogs};
    frmAltMain window{context};
};

} // namespace

TEST_F(DravionFieldsTest, LoadFillsRecordsAndListsWithNothingSelected)
{
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.texts().join(QLatin1Char('|')).toStdString();
    QComboBox *units = combo("cboRateUnits");
    ASSERT_EQ(units->count(), 6);
    EXPECT_EQ(units->itemText(3), QStringLiteral("Kgs"));
    EXPECT_EQ(units->currentIndex(), -1);
    EXPECT_EQ(combo("cboRateInterval")->count(), 4);
    EXPECT_EQ(combo("cboKfactorUnits")->count(), 2);
    EXPECT_EQ(combo("cboKfactorUnits")->currentIndex(), -1);
    EXPECT_EQ(state.DampingItem.code, 11);
    EXPECT_EQ(state.KfactorItems[1].code, 9);
    EXPECT_EQ(state.ConfigVersion, QStringLiteral("2.10"));
    EXPECT_TRUE(window.fields().configurationPath().endsWith(QStringLiteral("/Config.inf")));
    EXPECT_TRUE(edit("txtSpg")->isHidden());
}

TEST_F(DravionFieldsTest, KeyFiltersRefuseWhatTheFieldCannotHold)
{
    const struct { const char *field; const char *typed; const char *pasted; const char *expected; } rows[] = {
        {"txtKfactor", "-a1.2x", "", "1.2"},
        {"txtFlowLow", "1..5", "", "1..5"},      // any number of points passes the filter
        {"txtDamping", "1.2-e", "", "12"},
        {"txtLinearPts", "+3", "", "3"},
        {"txtSpg", "0.9", "", "0.9"},
        {"txtKfactor", "7", "ab-1.5x", "71.5"},   // Ctrl+V inserts only what typing could
        {"txtDamping", "", "4.2kg", "42"},
        {"txtLinearPts", "", "12345", "123"},    // and within the maximum length
    };
    for (const auto &r : rows) {
        QLineEdit *field = edit(r.field);
        field->clear();
        field->setFocus();
        QTest::keyClicks(field, QString::fromLatin1(r.typed));
        QTest::keyClick(field, Qt::Key_Return);
        if (*r.pasted) {
            QGuiApplication::clipboard()->setText(QString::fromLatin1(r.pasted));
            QTest::keySequence(field, QKeySequence::Paste);
        }
        EXPECT_EQ(field->text(), QString::fromLatin1(r.expected)) << r.field << " " << r.typed << r.pasted;
    }
    // Paste from the context menu or a drop goes through the same cleaning.
    QLineEdit *field = edit("txtKfactor");
    field->clear();
    QGuiApplication::clipboard()->setText(QStringLiteral("-2.5 pulses"));
    field->paste();
    EXPECT_EQ(field->text(), QStringLiteral("2.5"));
    EXPECT_FLOAT_EQ(state.KfactorItems[0].value, 2.5f);
}

TEST_F(DravionFieldsTest, EditsAreStoredAtOnce)
{
    const struct { const char *field; const char *text; double damping, points, kfactor, low, high, spg; } rows[] = {
        {"txtDamping", "2.5", 2, 0, 0, 0, 0, 0}, // set by another part: halves to even
        {"txtDamping", "3.5", 4, 0, 0, 0, 0, 0},
        {"txtDamping", "", 0, 0, 0, 0, 0, 0},
        {"txtLinearPts", "7", 0, 7, 0, 0, 0, 0},
        {"txtKfactor", "12.5", 0, 0, 12.5, 0, 0, 0},
        {"txtFlowLow", "0.25", 0, 0, 0, 0.25, 0, 0},
        {"txtFlowHi", "1E3", 0, 0, 0, 0, 1000, 0},
        {"txtSpg", "1.2.3", 0, 0, 0, 0, 0, 1.2},
        {"txtKfactor", "1E39", 0, 0, 0, 0, 0, 0}, // does not fit a single: the record keeps its value
    };
    for (const auto &r : rows) {
        state = DeviceState();
        edit(r.field)->setText(QStringLiteral("x")); // make sure the next text is a change
        state = DeviceState();
        edit(r.field)->setText(QString::fromLatin1(r.text));
        EXPECT_EQ(state.DampingItem.value, r.damping) << r.field << " " << r.text;
        EXPECT_EQ(state.LinearPtsItem.value, r.points) << r.field << " " << r.text;
        EXPECT_FLOAT_EQ(state.KfactorItems[0].value, float(r.kfactor)) << r.field << " " << r.text;
        EXPECT_FLOAT_EQ(state.KfactorItems[1].value, float(r.kfactor)) << r.field << " " << r.text;
        EXPECT_FLOAT_EQ(state.FlowLowItem.value, float(r.low)) << r.field << " " << r.text;
        EXPECT_FLOAT_EQ(state.FlowHiItem.value, float(r.high)) << r.field << " " << r.text;
        EXPECT_FLOAT_EQ(state.SpgItem.value, float(r.spg)) << r.field << " " << r.text;
        edit(r.field)->clear();
    }
}

TEST_F(DravionFieldsTest, ListsStoreTheIndexAndMassUnitsShowSpecificGravity)
{
    QComboBox *units = combo("cboRateUnits");
    FlagField(label("lblRateUnits"), label("lblRateUnitsE"));
    const struct { int index; bool spgShown; } rows[] = {{3, true}, {0, false}, {4, true}, {5, false}, {-1, false}};
    for (const auto &r : rows) {
        units->setCurrentIndex(r.index);
        EXPECT_EQ(state.RateUnits, r.index);
        EXPECT_EQ(!edit("txtSpg")->isHidden(), r.spgShown) << r.index;
        EXPECT_EQ(!label("lblSpg")->isHidden(), r.spgShown) << r.index;
        EXPECT_FALSE(IsFieldFlagged(label("lblRateUnitsE")));
        EXPECT_FALSE(isRed(label("lblRateUnits")));
    }
    combo("cboRateInterval")->setCurrentIndex(2);
    combo("cboKfactorUnits")->setCurrentIndex(1);
    EXPECT_EQ(state.RateInterval, 2);
    EXPECT_EQ(state.KfactorUnits, 1);
}

TEST_F(DravionFieldsTest, OutputTypeRelabelsTheFlowFields)
{
    auto *volts = window.findChild<QRadioButton *>(QStringLiteral("optType1"));
    auto *current = window.findChild<QRadioButton *>(QStringLiteral("optType0"));
    QTest::mouseClick(volts, Qt::LeftButton);
    EXPECT_EQ(label("lblFlowLow")->text(), QStringLiteral("Flow at 0V"));
    EXPECT_EQ(label("lblFlowHi")->text(), QStringLiteral("Flow at 5V"));
    EXPECT_EQ(state.OutputType, 1);

    typeAndLeave(edit("txtFlowLow"), QStringLiteral("123456"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Flow at 0V  Field must be between 0 and 99999"));

    window.fields().optType_Click(0);
    EXPECT_TRUE(current->isChecked());
    EXPECT_EQ(label("lblFlowLow")->text(), QStringLiteral("Flow at 4mA"));
    EXPECT_EQ(label("lblFlowHi")->text(), QStringLiteral("Flow at 20mA"));
    EXPECT_EQ(state.OutputType, 0);
    window.fields().optType_Click(7); // no such option: nothing changes
    EXPECT_EQ(state.OutputType, 0);
}

TEST_F(DravionFieldsTest, LeavingAnOutOfRangeFieldFlagsItOnce)
{
    QLineEdit *damping = edit("txtDamping");
    typeAndLeave(damping, QStringLiteral("100"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Damping:  Field must be between 0 and 99"));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Exclamation);
    EXPECT_TRUE(isRed(label("lblDamping")));
    EXPECT_TRUE(IsFieldFlagged(label("lblDampingE")));
    EXPECT_TRUE(damping->hasFocus());
    EXPECT_EQ(damping->selectedText(), QStringLiteral("100"));

    QTest::keyClick(damping, Qt::Key_Tab); // flagged: not checked again
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_FALSE(damping->hasFocus());

    damping->setFocus();
    QTest::keyClick(damping, Qt::Key_End);
    QTest::keyClick(damping, Qt::Key_Backspace); // an edit clears the flag, the next leave checks again
    EXPECT_FALSE(IsFieldFlagged(label("lblDampingE")));
    EXPECT_FALSE(isRed(label("lblDamping")));
    QTest::keyClick(damping, Qt::Key_0);
    QTest::keyClick(damping, Qt::Key_Tab);
    EXPECT_EQ(dialogs.messages.size(), 2u);

    const struct { const char *field; const char *text; bool message; } rows[] = {
        {"txtDamping", "99", false}, {"txtDamping", "0", false}, {"txtDamping", "", false},
        {"txtLinearPts", "11", true}, {"txtLinearPts", "10", false},
        {"txtFlowLow", ".", true}, {"txtFlowHi", "99999", false}, // the raised high end clears the pair
        {"txtFlowHi", "1..5", true},
        {"txtKfactor", "5", false}, // no K factor units selected: nothing checked
    };
    for (const auto &r : rows) {
        dialogs.clear();
        QLineEdit *field = edit(r.field);
        field->clear(); // clears any flag
        typeAndLeave(field, QString::fromLatin1(r.text));
        EXPECT_EQ(dialogs.messages.size(), r.message ? 1u : 0u) << r.field << " " << r.text;
        EXPECT_EQ(field->hasFocus(), r.message) << r.field << " " << r.text;
    }
}

TEST_F(DravionFieldsTest, KfactorIsCheckedAgainstTheRangeOfTheChosenUnits)
{
    QComboBox *units = combo("cboKfactorUnits");
    const struct { int units; const char *text; const char *message; } rows[] = {
        {0, "0.5", "K Factor:  Field must be between 1 and 60000"},
        {1, "0.5", nullptr},
        {1, "0.2", "K Factor:  Field must be between 0.25 and 16000"},
        {0, "60000", nullptr},
        {1, "20000", "K Factor:  Field must be between 0.25 and 16000"},
    };
    for (const auto &r : rows) {
        dialogs.clear();
        units->setCurrentIndex(r.units);
        edit("txtKfactor")->clear();
        typeAndLeave(edit("txtKfactor"), QString::fromLatin1(r.text));
        ASSERT_EQ(dialogs.messages.size(), r.message ? 1u : 0u) << r.units << " " << r.text;
        if (r.message) {
            EXPECT_EQ(dialogs.messages[0].text, QString::fromLatin1(r.message));
        }
    }
}

TEST_F(DravionFieldsTest, FlowPairIsClearedTogetherWhileHighExceedsLow)
{
    const struct { const char *field; const char *text; bool cleared; } rows[] = {
        {"txtFlowHi", "11", true}, {"txtFlowLow", "4", true}, {"txtFlowHi", "10", false},
        {"txtFlowLow", "12", false}, {"txtFlowHi", "", false},
    };
    for (const auto &r : rows) {
        edit("txtFlowLow")->setText(QStringLiteral("10"));
        edit("txtFlowHi")->setText(QStringLiteral("5"));
        FlagField(label("lblFlowLow"), label("lblFlowLowE"));
        FlagField(label("lblFlowHi"), label("lblFlowHiE"));
        edit(r.field)->setText(QString::fromLatin1(r.text));
        EXPECT_EQ(IsFieldFlagged(label("lblFlowLowE")), !r.cleared) << r.field << " " << r.text;
        EXPECT_EQ(IsFieldFlagged(label("lblFlowHiE")), !r.cleared) << r.field << " " << r.text;
        EXPECT_EQ(isRed(label("lblFlowLow")), !r.cleared) << r.field << " " << r.text;
    }
}

// Focus moved by the box itself, or by another window, must not start a second check.
TEST_F(DravionFieldsTest, FocusTakenDuringTheMessageStartsNoSecondCheck)
{
    QLineEdit *flowLow = edit("txtFlowLow");
    QLineEdit *damping = edit("txtDamping");
    flowLow->setText(QStringLiteral("123456")); // invalid too: a cascade would report it
    dialogs.onMessage = [&](const UserDialogs::Message &) {
        flowLow->setFocus(Qt::TabFocusReason);
        damping->setFocus(Qt::MouseFocusReason);
        flowLow->setFocus(Qt::TabFocusReason);
    };
    typeAndLeave(damping, QStringLiteral("500"));
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Damping:  Field must be between 0 and 99")});
    dialogs.onMessage = nullptr;

    // A real modal box over the window.
    QtUserDialogs real;
    AppContext realContext{state, nullptr, real};
    frmAltMain realWindow{realContext};
    real.setParentWidget(&realWindow);
    realWindow.show();
    QApplication::setActiveWindow(&realWindow);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&realWindow));
    int boxes = 0;
    QString boxText;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            ++boxes;
            boxText = box->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start();
    QLineEdit *realDamping = realWindow.findChild<QLineEdit *>(QStringLiteral("txtDamping"));
    realDamping->setFocus();
    QTest::keyClicks(realDamping, QStringLiteral("250"));
    QTest::keyClick(realDamping, Qt::Key_Tab);
    QTest::qWait(100);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(boxText, QStringLiteral("Damping:  Field must be between 0 and 99"));
    // Without a window manager nothing reactivates the window; its focus widget is what returns.
    EXPECT_EQ(realWindow.focusWidget(), realDamping);
}

TEST_F(DravionFieldsTest, MissingFieldsAreFlaggedInOrder)
{
    EXPECT_FALSE(window.fields().CheckMissingFields());
    for (const char *marker : {"lblRateUnitsE", "lblRateIntervalE", "lblKfactorUnitsE", "lblKfactorE", "lblDampingE",
                               "lblFlowLowE", "lblFlowHiE", "lblLinearPtsE"})
        EXPECT_TRUE(IsFieldFlagged(label(marker))) << marker;
    EXPECT_TRUE(isRed(label("lblKfactorUnits")));
    EXPECT_FALSE(IsFieldFlagged(label("lblSpgE"))); // hidden, so not missing

    combo("cboRateUnits")->setCurrentIndex(3); // Kgs: Specific Gravity is now required
    combo("cboRateInterval")->setCurrentIndex(0);
    combo("cboKfactorUnits")->setCurrentIndex(0);
    for (const char *name : {"txtKfactor", "txtDamping", "txtFlowLow", "txtFlowHi"})
        edit(name)->setText(QStringLiteral("5"));
    edit("txtLinearPts")->setText(QStringLiteral("0"));
    EXPECT_FALSE(window.fields().CheckMissingFields());
    EXPECT_TRUE(IsFieldFlagged(label("lblSpgE")));
    edit("txtSpg")->setText(QStringLiteral("1"));
    EXPECT_TRUE(window.fields().CheckMissingFields());

    edit("txtLinearPts")->setText(QStringLiteral("11")); // beyond the configured 10
    EXPECT_FALSE(window.fields().CheckMissingFields());
    EXPECT_TRUE(IsFieldFlagged(label("lblLinearPtsE")));

    // Two points: the first entered, the second never; a typed then erased point reads 0.
    edit("txtLinearPts")->setText(QStringLiteral("2"));
    state.LinFreqItems[0].value = 0;
    state.LinFlowItems[0].value = 0.0f;
    EXPECT_FALSE(window.fields().CheckMissingFields());
    frmLinearPoints *points = window.linearPoints().window();
    EXPECT_TRUE(points->isVisible());
    EXPECT_FALSE(IsFieldFlagged(points->lblErr(0)));
    EXPECT_TRUE(IsFieldFlagged(points->lblErr(1)));
    EXPECT_TRUE(isRed(points->lblPoints(1)));
    EXPECT_FALSE(IsFieldFlagged(points->lblErr(2))); // beyond the number of points
    state.LinFreqItems[1].value = 300;
    state.LinFlowItems[1].value = 2.0f;
    EXPECT_TRUE(window.fields().CheckMissingFields());
}

TEST_F(DravionFieldsTest, ConfigurationFailuresAreReported)
{
    const struct { QByteArray content; QString text; QString title; } rows[] = {
        {QByteArray(), QStringLiteral("Configuration File Missing or Read Error!"), UserDialogs::defaultTitle()},
        {"Damping=11,0,40000\n", QStringLiteral("Configuration File Missing or Read Error!"), UserDialogs::defaultTitle()},
        {"Title=Setup values\nRate Units=3,0,1,Ltr,Kgs\n", QStringLiteral("Error Reading Configuration File\r\n"
            "May have problems using Software\r\nContact Manufacture for Help or new Configuration File"),
         QStringLiteral("Arlex Error")},
    };
    for (const auto &r : rows) {
        QTemporaryDir dir;
        if (!r.content.isNull()) {
            QFile file(dir.filePath(QStringLiteral("Config.inf")));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(r.content);
        }
        dialogs.clear();
        window.fields().loadConfigurationFrom(dir.path());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, r.text);
        EXPECT_EQ(dialogs.messages[0].title, r.title);
        EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    }
    EXPECT_EQ(combo("cboRateUnits")->count(), 8); // the lines around a syntax error still apply
    EXPECT_EQ(combo("cboRateUnits")->currentIndex(), -1);
}
