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

TEST(ConfigReader, LinesFillTheirRecordsAndLists)
{
    for (const TableRow &row : tableRows(Table, QStringLiteral("config"))) {
        SCOPED_TRACE(row.where());
        DeviceState state;
        const ConfigReadResult result = readText(row[0], state, familyOf(row[1]));
        EXPECT_FALSE(result.readError);
        EXPECT_EQ(result.syntaxError, row.number(4) == 1);
        EXPECT_EQ(describe(state, row[2]), row[3]);
    }
    for (const TableRow &row : tableRows(Table, QStringLiteral("lists"))) {
        SCOPED_TRACE(row.where());
        DeviceState state;
        EXPECT_EQ(readText(row[0], state, familyOf(row[1])).lists.value(row.number(2)).join('|'),
            row.cells.mid(3).join('|'));
    }
    for (const TableRow &row : tableRows(Table, QStringLiteral("overflow"))) {
        SCOPED_TRACE(row.where());
        DeviceState state;
        const ConfigReadResult result = readText(
            "Rate Units=3,0,1,Gal,Ltr\nBad=1\n" + row[0] + "\nLinear=100,0,10\n", state, Family::Dravion);
        EXPECT_TRUE(result.readError);
        EXPECT_EQ(result.errorLine, 3);
        EXPECT_EQ(result.lists.value(3), QStringList({ "Gal", "Ltr" }));
        EXPECT_EQ(state.LinearPtsItem.code, 0) << "lines after the error are lost";
        EXPECT_EQ(state.LinFreqItems[0].code + state.SpgItem.maximum + state.DampingItem.code, 0)
            << "the line's own record stays";
    }
    DeviceState state; // one very long line with a large list count
    EXPECT_EQ(readText("L=3,0,32767," + QString(2'000'000, 'x') + ",y", state, Family::Dravion)
                  .lists.value(3)
                  .size(),
        2);
}

// What qrx-cli checks before a download: a count the point tables cannot hold is missing itself.
TEST(SetupModel, PointCountAndFrequencyLimitOfTheLinearPoints)
{
    for (const TableRow &row : tableRows(Table, QStringLiteral("model"))) {
        SCOPED_TRACE(row.where());
        DeviceState configured;
        configured.LinearPtsItem.maximum = 20;
        SetupModel model(DeviceFamily::dravion(), configured);
        model.setText(*model.family().parameters.find("txtLinearPts"), row[0]);
        model.setPointText(0, 0, "100");
        model.setPointText(0, 1, "1.5");
        model.setPointText(0, 0, row[1]);
        EXPECT_EQ(model.records().LinFreqItems[0].value, row.number(2));
        QStringList linear;
        for (const QString &name : model.missing())
            if (name == "Number of Linear Points" || name == "Linear Pt 1" || name == "Linear Pt 2")
                linear << name;
        EXPECT_EQ(linear.join(", "), row[3]);
    }
}

TEST(ConfigReader, ChoosesTheFirstAlternativeThatExistsAndReadsIt)
{
    for (const TableRow &row : tableRows(Table, QStringLiteral("choose"))) {
        SCOPED_TRACE(row.where());
        QTemporaryDir dir;
        for (const QString &name : row.words(0)) {
            if (name.endsWith('/'))
                QDir(dir.path()).mkdir(name.chopped(1));
            else
                writeFile(dir.filePath(name), "");
        }
        const QString chosen = ConfigReader::chooseFile(dir.path(), familyOf(row[1]));
        EXPECT_EQ(chosen, dir.filePath(row[2]));
        DeviceState state; // a missing file or a folder cannot be read
        EXPECT_EQ(
            ConfigReader::readFile(chosen, familyOf(row[1]), state).readError, !QFileInfo(chosen).isFile());
    }
}

TEST(EntryFields, KeyFiltersRefuseWhatTheFieldCannotHold)
{
    for (const TableRow &row : tableRows(Table, QStringLiteral("keys"))) {
        SCOPED_TRACE(row.where());
        Fields f(row[0]);
        QLineEdit *field = f.edit(row[1]);
        field->setFocus();
        QGuiApplication::clipboard()->setText(row[3]);
        if (row[2] == "k")
            QTest::keyClicks(field, row[3]);
        else if (row[2] == "v")
            QTest::keySequence(field, QKeySequence::Paste);
        else if (row[2] == "m")
            field->paste();
        else
            field->setText(row[3]);
        EXPECT_EQ(field->text(), row[4]);
    }
}

TEST(EntryFields, EditsAreStoredAtOnceAndRulesSwitchFields)
{
    for (const TableRow &row : tableRows(Table, QStringLiteral("stored"))) {
        SCOPED_TRACE(row.where());
        Fields f(row[0]);
        f.set(row[1], "99");
        f.set(row[1], row[2]);
        EXPECT_FLOAT_EQ(float(stored(f.state, row[1])), row[3].toFloat());
    }
    for (const TableRow &row : tableRows(Table, QStringLiteral("switch"))) {
        SCOPED_TRACE(row.where());
        Fields f(row[0]);
        FlagField(f.label("lbl" + row[1].mid(3)), f.label("lbl" + row[1].mid(3) + "E"));
        f.set(row[1], row[2]);
        const QString caption = "lbl" + row[3].mid(3);
        const bool on = f.isMr() ? f.edit(row[3])->isEnabled() && f.label(caption)->isEnabled()
                                 : !f.edit(row[3])->isHidden() && !f.label(caption)->isHidden();
        EXPECT_EQ(on, row.number(4) == 1);
        EXPECT_FALSE(IsFieldFlagged(f.label("lbl" + row[1].mid(3) + "E"))); // a choice clears the list's flag
        if (!f.isMr() && row[1] == "cboRateUnits") {
            EXPECT_EQ(f.state.RateUnits, row.number(2));
        }
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

    for (const TableRow &row : tableRows(Table, QStringLiteral("range"))) {
        SCOPED_TRACE(row.where());
        Fields g(row[0]);
        if (!g.isMr())
            g.set("cboKfactorUnits", row[1]);
        g.typeAndLeave(row[2], row[3]);
        EXPECT_EQ(g.dialogs.texts(), row[4] == "-" ? QStringList() : QStringList { row[4] });
        EXPECT_EQ(g.edit(row[2])->hasFocus(), row[4] != "-");
        EXPECT_EQ(IsFieldFlagged(g.label("lbl" + row[2].mid(3) + "E")), row[4] != "-");
    }
}

TEST(EntryFields, FlowPairIsClearedTogetherWhileHighExceedsLow)
{
    for (const TableRow &row : tableRows(Table, QStringLiteral("flowpair"))) {
        SCOPED_TRACE(row.where());
        Fields f(row[0]);
        f.enter("txtFlowLow=10 txtFlowHi=5");
        FlagField(f.label("lblFlowLow"), f.label("lblFlowLowE"));
        FlagField(f.label("lblFlowHi"), f.label("lblFlowHiE"));
        f.set(row[1], row[2]);
        EXPECT_EQ(IsFieldFlagged(f.label("lblFlowLowE")) && isRed(f.label("lblFlowLow")), row.number(3) == 0);
        EXPECT_EQ(IsFieldFlagged(f.label("lblFlowHiE")), row.number(3) == 0);
    }
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
    EXPECT_EQ(
        f.control<QComboBox>("cboRateUnits")->count(), 7); // the lines around a syntax error still apply
    EXPECT_EQ(f.control<QComboBox>("cboRateUnits")->currentIndex(), -1);
}

TEST(VersionCheck, ReportsOnlyADifference)
{
    for (const TableRow &row : tableRows(Table, QStringLiteral("version"))) {
        SCOPED_TRACE(row.where());
        Rig rig(row[0]);
        rig.options.version = row[1];
        rig.options.silent = row.number(4) == 1;
        ASSERT_TRUE(rig.start());
        rig.state.ConfigVersion = row[2];
        VersionCheck::CheckDeviceVersion(*rig.context);
        EXPECT_EQ(rig.received(), QStringList(rig.options.silent ? 2 : 1, "<STX>V<CR>"));
        EXPECT_EQ(rig.state.CommAbort, rig.options.silent);
        const QString message = QString(row[3]).replace("\\r", "\r");
        EXPECT_EQ(rig.dialogs.texts(),
            rig.options.silent   ? QStringList { LinkEngine::timeoutMessage() }
                : message == "-" ? QStringList()
                                 : QStringList { message });
        for (const auto &m : rig.dialogs.messages)
            EXPECT_TRUE(rig.options.silent
                || (m.icon == UserDialogs::Icon::Critical && m.title == UserDialogs::defaultTitle()));
    }
}
