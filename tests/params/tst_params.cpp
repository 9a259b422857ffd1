// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "app/frmaltmain.h"
#include "app/qtuserdialogs.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "params/configreader.h"
#include "params/devicefamily.h"
#include "params/dravionfields.h"
#include "params/fieldchecks.h"
#include "params/setupmodel.h"
#include "params/versioncheck.h"
#include "rig.h"
#include "table.h"

using Family = ConfigReader::Family;

namespace {

const QString Table = QStringLiteral("params/fields.txt");

Family familyOf(const QString &name)
{
    return name == "MR" ? Family::MR : Family::Dravion;
}

ConfigReadResult readText(const QString &text, DeviceState &state, Family family)
{
    QBuffer buffer;
    buffer.setData(QString(text).replace("\\n", "\n").toLatin1());
    return ConfigReader::read(buffer, family, state);
}

QString describe(const DeviceState &s, const QString &name)
{
    auto text = [](const auto &r) {
        return QStringLiteral("%1 %2..%3 %4")
            .arg(r.code)
            .arg(r.minimum)
            .arg(r.maximum)
            .arg(r.typeLetter)
            .trimmed();
    };
    const std::map<QString, QString> all {
        { "Damping", text(s.DampingItem) },
        { "Spg", text(s.SpgItem) },
        { "MinDac", text(s.MinDacItem) },
        { "Kfactor0", text(s.KfactorItems[0]) },
        { "Kfactor1", text(s.KfactorItems[1]) },
        { "PressureComp", text(s.PressureCompItem) },
        { "Version", s.ConfigVersion },
        { "LinearPts", text(s.LinearPtsItem) },
        { "LinFreq9", text(s.LinFreqItems[9]) + QStringLiteral(" =%1").arg(s.LinFreqItems[9].value) },
        { "LinFlow9", text(s.LinFlowItems[9]) + QStringLiteral(" =%1").arg(s.LinFlowItems[9].value) },
    };
    return all.at(name);
}

double stored(const DeviceState &s, const QString &field)
{
    const std::map<QString, double> all {
        { "txtDamping", s.DampingItem.value },
        { "txtLinearPts", s.LinearPtsItem.value },
        { "txtFlowHi", s.FlowHiItem.value },
        { "txtSpg", s.SpgItem.value },
        { "txtScaleFactor", s.ScaleFactorItem.value },
        { "txtPassword", s.PasswordItem.value },
        { "cboRateInterval", s.RateInterval },
        { "cboKfactorUnits", s.KfactorUnits },
        { "cboOutputMode", s.OutputModeItem.value },
    };
    if (field != "txtKfactor")
        return all.at(field);
    EXPECT_EQ(s.KfactorItems[0].value, s.KfactorItems[1].value); // both entries, always
    return s.KfactorItems[1].value;
}

bool isRed(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
}

// A family's main window shown and active, so that typing and focus behave as for the user.
struct Fields : Rig
{
    explicit Fields(const QString &family = QStringLiteral("Dravion"))
        : Rig(family)
    {
        EXPECT_TRUE(start());
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QLineEdit *edit(const QString &name) const { return control<QLineEdit>(name); }
    QLabel *label(const QString &name) const { return control<QLabel>(name); }
    frmAltMain &dravion() { return *static_cast<frmAltMain *>(window.get()); }
    // Replaces a field's text by typing, then leaves it with Tab.
    void typeAndLeave(const QString &name, const QString &text)
    {
        QLineEdit *field = edit(name);
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }
};

} // namespace

TABLE_TEST(ConfigReader, LinesFillTheirRecords, Table, "config")
{
    DeviceState state;
    const ConfigReadResult result = readText(row["line"], state, familyOf(row["family"]));
    EXPECT_FALSE(result.readError);
    EXPECT_EQ(result.syntaxError, row.number("syntax error") == 1);
    EXPECT_EQ(describe(state, row["record"]), row["gets"]);
}

TABLE_TEST(ConfigReader, LinesFillTheirLists, Table, "lists")
{
    DeviceState state;
    QStringList entries
        = readText(row["text"], state, familyOf(row["family"])).lists.value(row.number("code"));
    for (QString &entry : entries)
        entry = entry.isEmpty() ? QStringLiteral("-") : entry;
    EXPECT_EQ(entries.join(' '), row["entries"]);
}

TABLE_TEST(ConfigReader, ALimitThatFitsNoRecordStopsTheReading, Table, "overflow")
{
    DeviceState state;
    const ConfigReadResult result = readText(
        "Rate Units=3,0,1,Gal,Ltr\nBad=1\n" + row["line"] + "\nLinear=100,0,10\n", state, Family::Dravion);
    EXPECT_TRUE(result.readError);
    EXPECT_EQ(result.errorLine, 3);
    EXPECT_EQ(result.lists.value(3), QStringList({ "Gal", "Ltr" }));
    EXPECT_EQ(state.LinearPtsItem.code, 0) << "lines after the error are lost";
    EXPECT_EQ(state.LinFreqItems[0].code + state.SpgItem.maximum + state.DampingItem.code, 0)
        << "the line's own record stays";
}

TEST(ConfigReader, OneLongLineWithALargeListCount)
{
    DeviceState state;
    EXPECT_EQ(readText("L=3,0,32767," + QString(2'000'000, 'x') + ",y", state, Family::Dravion)
                  .lists.value(3)
                  .size(),
        2);
}

// What qrx-cli checks before a download: a count the point tables cannot hold is missing itself.
TABLE_TEST(SetupModel, PointCountAndFrequencyLimitOfTheLinearPoints, Table, "model")
{
    DeviceState configured;
    configured.LinearPtsItem.maximum = 20;
    SetupModel model(DeviceFamily::dravion(), configured);
    model.setText(*model.family().parameters.find("txtLinearPts"), row["points"]);
    model.setPointText(0, 0, "100");
    model.setPointText(0, 1, "1.5");
    model.setPointText(0, 0, row["typed"]);
    EXPECT_EQ(model.records().LinFreqItems[0].value, row.number("stored"));
    QStringList linear;
    for (const QString &name : model.missing())
        if (name == "Number of Linear Points" || name == "Linear Pt 1" || name == "Linear Pt 2")
            linear << name;
    EXPECT_EQ(linear.join(", "), row["missing"]);
}

TEST(SetupModel, AListTakesOnlyPositionsItHas)
{
    SetupModel model(DeviceFamily::dravion(), DeviceState());
    const Parameter &units = *model.family().parameters.find("cboKfactorUnits");
    model.setLists({ { units.code, { "Pulse/Ltr", "Pulse/Gal" } } });
    model.setListPosition(units, 1);
    for (int refused : { 2, -2, 99 })
        model.setListPosition(units, refused);
    EXPECT_EQ(model.listPosition(units), 1);
    model.setListPosition(units, -1);
    EXPECT_EQ(model.listPosition(units), -1);
}

TEST(SetupModel, PointsPastTheTablesChangeNothing)
{
    DeviceState configured;
    configured.LinFlowItems[0].typeLetter = "R";
    configured.LinPosItems[0].value = 7;
    SetupModel model(DeviceFamily::dravion(), configured);
    for (int row : { -1, DeviceState::LinearTableSize }) {
        model.setPointText(row, 0, "5");
        model.setPointText(row, 1, "2.5");
    }
    EXPECT_EQ(model.records().LinFlowItems[0].typeLetter, "R");
    EXPECT_EQ(model.records().LinPosItems[0].value, 7);
}

TABLE_TEST(ConfigReader, ChoosesTheFirstAlternativeThatExistsAndReadsIt, Table, "choose")
{
    QTemporaryDir dir;
    for (const QString &name : row.words("files")) {
        if (name.endsWith('/'))
            QDir(dir.path()).mkdir(name.chopped(1));
        else
            writeFile(dir.filePath(name), "");
    }
    const QString chosen = ConfigReader::chooseFile(dir.path(), familyOf(row["family"]));
    EXPECT_EQ(chosen, dir.filePath(row["read"]));
    DeviceState state; // a missing file or a folder cannot be read
    EXPECT_EQ(ConfigReader::readFile(chosen, familyOf(row["family"]), state).readError,
        !QFileInfo(chosen).isFile());
}

TABLE_TEST(EntryFields, KeyFiltersRefuseWhatTheFieldCannotHold, Table, "keys")
{
    Fields f(row["family"]);
    QLineEdit *field = f.edit(row["field"]);
    field->setFocus();
    QGuiApplication::clipboard()->setText(row["input"]);
    if (row["how"] == "k")
        QTest::keyClicks(field, row["input"]);
    else if (row["how"] == "v")
        QTest::keySequence(field, QKeySequence::Paste);
    else if (row["how"] == "m")
        field->paste();
    else
        field->setText(row["input"]);
    EXPECT_EQ(field->text(), row["text"]);
}

TABLE_TEST(EntryFields, EditsAreStoredAtOnce, Table, "stored")
{
    Fields f(row["family"]);
    f.set(row["field"], "99");
    f.set(row["field"], row["text"]);
    EXPECT_FLOAT_EQ(float(stored(f.state, row["field"])), row["stored"].toFloat());
}

TABLE_TEST(EntryFields, RulesSwitchFields, Table, "switch")
{
    Fields f(row["family"]);
    const QString list = row["list"], ruled = row["field"];
    FlagField(f.label("lbl" + list.mid(3)), f.label("lbl" + list.mid(3) + "E"));
    f.set(list, row["entry"]);
    const QString caption = "lbl" + ruled.mid(3);
    const bool on = f.isMr() ? f.edit(ruled)->isEnabled() && f.label(caption)->isEnabled()
                             : !f.edit(ruled)->isHidden() && !f.label(caption)->isHidden();
    EXPECT_EQ(on, row.number("on") == 1);
    EXPECT_FALSE(IsFieldFlagged(f.label("lbl" + list.mid(3) + "E"))); // a choice clears the list's flag
    if (!f.isMr() && list == "cboRateUnits") {
        EXPECT_EQ(f.state.RateUnits, row.number("entry"));
    }
}

TEST(EntryFields, OutputTypeRelabelsTheFlowFieldsAndTheirMessages)
{
    Fields f;
    QTest::mouseClick(f.control<QRadioButton>("optType1"), Qt::LeftButton);
    EXPECT_EQ(f.shown("lblFlowLow") + f.shown("lblFlowHi"), "Flow at 0VFlow at 5V");
    EXPECT_EQ(f.state.OutputType, 1);
    f.typeAndLeave("txtFlowLow", "123456");
    EXPECT_EQ(f.dialogs.texts(), QStringList { "Flow at 0V  Field must be between 0 and 99999" });
    f.dravion().fields().optType_Click(0);
    EXPECT_TRUE(f.control<QRadioButton>("optType0")->isChecked());
    EXPECT_EQ(f.shown("lblFlowLow") + f.shown("lblFlowHi"), "Flow at 4mAFlow at 20mA");
    EXPECT_EQ(f.state.OutputType, 0);
}

TEST(EntryFields, LeavingAnOutOfRangeFieldFlagsItOnce)
{
    Fields f;
    QLineEdit *damping = f.edit("txtDamping");
    f.typeAndLeave("txtDamping", "100");
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].text, "Damping:  Field must be between 0 and 99");
    EXPECT_EQ(f.dialogs.messages[0].title, "Error");
    EXPECT_EQ(f.dialogs.messages[0].icon, UserDialogs::Icon::Exclamation);
    EXPECT_TRUE(isRed(f.label("lblDamping")) && IsFieldFlagged(f.label("lblDampingE")));
    EXPECT_TRUE(damping->hasFocus());
    EXPECT_EQ(damping->selectedText(), "100");
    QTest::keyClick(damping, Qt::Key_Tab); // flagged: not checked again
    EXPECT_EQ(f.dialogs.messages.size(), 1u);
    damping->setFocus();
    QTest::keyClick(damping, Qt::Key_End);
    QTest::keyClick(damping, Qt::Key_Backspace); // an edit clears the flag, the next leave checks again
    EXPECT_FALSE(isRed(f.label("lblDamping")) || IsFieldFlagged(f.label("lblDampingE")));
    QTest::keyClicks(damping, "0");
    QTest::keyClick(damping, Qt::Key_Tab);
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
}

TABLE_TEST(EntryFields, LeavingAFieldChecksItsRange, Table, "range")
{
    Fields f(row["family"]);
    if (!f.isMr())
        f.set("cboKfactorUnits", row["units"]);
    f.typeAndLeave(row["field"], row["typed"]);
    const QString message = row["message"];
    EXPECT_EQ(f.dialogs.texts(), message == "-" ? QStringList() : QStringList { message });
    EXPECT_EQ(f.edit(row["field"])->hasFocus(), message != "-");
    EXPECT_EQ(IsFieldFlagged(f.label("lbl" + row["field"].mid(3) + "E")), message != "-");
}

TABLE_TEST(EntryFields, FlowPairIsClearedTogetherWhileHighExceedsLow, Table, "flowpair")
{
    Fields f(row["family"]);
    f.enter("txtFlowLow=10 txtFlowHi=5");
    FlagField(f.label("lblFlowLow"), f.label("lblFlowLowE"));
    FlagField(f.label("lblFlowHi"), f.label("lblFlowHiE"));
    f.set(row["field"], row["text"]);
    EXPECT_EQ(
        IsFieldFlagged(f.label("lblFlowLowE")) && isRed(f.label("lblFlowLow")), row.number("cleared") == 0);
    EXPECT_EQ(IsFieldFlagged(f.label("lblFlowHiE")), row.number("cleared") == 0);
}

// Focus moved while the message is up (by the box itself, or another window) starts no second check.
TEST(EntryFields, FocusTakenDuringTheMessageStartsNoSecondCheck)
{
    Fields f;
    // A popup taking the focus (a list's, a context menu) is not leaving the field either.
    f.edit("txtDamping")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("txtDamping"), "500");
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(f.edit("txtDamping"), &popup);
    EXPECT_TRUE(f.dialogs.messages.empty());
    f.set("txtFlowLow", "123456"); // invalid too: a cascade would report it
    f.dialogs.onMessage = [&](const UserDialogs::Message &) {
        f.edit("txtFlowLow")->setFocus(Qt::TabFocusReason);
        f.edit("txtDamping")->setFocus(Qt::MouseFocusReason);
        f.edit("txtFlowLow")->setFocus(Qt::TabFocusReason);
    };
    f.typeAndLeave("txtDamping", "500");
    EXPECT_EQ(f.dialogs.texts(), QStringList { "Damping:  Field must be between 0 and 99" });

    QtUserDialogs real; // a real modal box, closed by a polling timer
    AppContext realContext { f.state, nullptr, real, DeviceFamily::dravion() };
    frmAltMain realWindow { realContext };
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
    EXPECT_EQ(boxes, QStringList { "Damping:  Field must be between 0 and 99" });
    EXPECT_EQ(realWindow.focusWidget(), damping); // nothing reactivates the window without a window manager
}

TEST(EntryFields, MissingFieldsAreFlagged)
{
    Fields f;
    DravionFields &fields = f.dravion().fields();
    EXPECT_FALSE(fields.CheckMissingFields());
    for (const char *marker : { "lblRateUnitsE", "lblRateIntervalE", "lblKfactorUnitsE", "lblKfactorE",
             "lblDampingE", "lblFlowLowE", "lblFlowHiE", "lblLinearPtsE" })
        EXPECT_TRUE(IsFieldFlagged(f.label(marker))) << marker;
    EXPECT_FALSE(IsFieldFlagged(f.label("lblSpgE"))); // hidden, so not missing
    f.enter("cboRateUnits=Kgs cboRateInterval=0 cboKfactorUnits=0 txtKfactor=0 txtDamping=0 txtFlowLow=0 "
            "txtFlowHi=0 "
            "txtLinearPts=0"); // Kgs: Specific Gravity is now required
    EXPECT_FALSE(fields.CheckMissingFields());
    EXPECT_TRUE(IsFieldFlagged(f.label("lblSpgE")));
    f.set("txtSpg", "1");
    EXPECT_TRUE(fields.CheckMissingFields());
    f.set("txtLinearPts", "11"); // beyond the configured 10
    EXPECT_FALSE(fields.CheckMissingFields());
    EXPECT_TRUE(IsFieldFlagged(f.label("lblLinearPtsE")));

    // Two points: the first typed then erased (0, entered), the second never entered.
    f.set("txtLinearPts", "2");
    f.state.LinFreqItems[0].value = 0;
    f.state.LinFlowItems[0].value = 0.0f;
    EXPECT_FALSE(fields.CheckMissingFields());
    frmLinearPoints *points = f.window->linearPoints().window();
    EXPECT_TRUE(points->isVisible());
    EXPECT_FALSE(IsFieldFlagged(points->lblErr(0)));
    EXPECT_TRUE(IsFieldFlagged(points->lblErr(1)) && isRed(points->lblPoints(1)));
    EXPECT_FALSE(IsFieldFlagged(points->lblErr(2)));
    f.state.LinFreqItems[1].value = 300;
    f.state.LinFlowItems[1].value = 2.0f;
    EXPECT_TRUE(fields.CheckMissingFields());
    f.set("txtLinearPts", "10"); // the maximum itself is allowed: only its points are missing
    EXPECT_FALSE(fields.CheckMissingFields());
    EXPECT_FALSE(IsFieldFlagged(f.label("lblLinearPtsE")));
}

TEST(EntryFields, ConfigurationFailuresAreReported)
{
    Fields f;
    const std::pair<QByteArray, const char *> rows[] = {
        { QByteArray(), "Configuration File Missing or Read Error!" },
        { "Title=Setup values\nRate Units=3,0,1,Ltr,Kgs\n",
            "Error Reading Configuration File\r\nMay have problems "
            "using Software\r\nContact Manufacture for Help or new Configuration File" },
    };
    for (const auto &[content, text] : rows) {
        QTemporaryDir dir;
        if (!content.isNull())
            writeFile(dir.filePath("Config.inf"), content);
        f.dialogs.clear();
        f.dravion().fields().loadConfigurationFrom(dir.path());
        ASSERT_EQ(f.dialogs.messages.size(), 1u);
        EXPECT_EQ(f.dialogs.messages[0].text, text);
        EXPECT_EQ(
            f.dialogs.messages[0].title, content.isNull() ? UserDialogs::defaultTitle() : "Arlex Error");
        EXPECT_EQ(f.dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    }
    EXPECT_EQ(f.control<QComboBox>("cboRateUnits")->count(), 2); // lines before a syntax error apply
    EXPECT_EQ(f.control<QComboBox>("cboRateUnits")->currentIndex(), -1);
}

TABLE_TEST(VersionCheck, ReportsOnlyADifference, Table, "version")
{
    Rig rig(row["family"]);
    rig.options.version = row["device"];
    rig.options.silent = row.number("silent") == 1;
    ASSERT_TRUE(rig.start());
    rig.state.ConfigVersion = row["configuration"];
    VersionCheck::CheckDeviceVersion(*rig.context);
    EXPECT_EQ(rig.received(), QStringList(rig.options.silent ? 2 : 1, "<STX>V<CR>"));
    EXPECT_EQ(rig.state.CommAbort, rig.options.silent);
    const QString message = row["message"].replace("\\r", "\r");
    EXPECT_EQ(rig.dialogs.texts(),
        rig.options.silent   ? QStringList { LinkEngine::timeoutMessage() }
            : message == "-" ? QStringList()
                             : QStringList { message });
    for (const auto &m : rig.dialogs.messages)
        EXPECT_TRUE(rig.options.silent
            || (m.icon == UserDialogs::Icon::Critical && m.title == UserDialogs::defaultTitle()));
}
