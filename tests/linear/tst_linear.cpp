// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "app/mainwindowshell.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/mainwindowcontrols.h"
#include "rig.h"
#include "table.h"

using Column = LinearPointsLogic::Column;

static bool isRed(const QLabel *l)
{
    return l->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
}

static Column column(QChar letter)
{
    return letter.toLower() == 'f' ? Column::Freq : Column::Coef;
}

// What the rows show beyond their texts, in the markup of the table's flags column.
static QString flags(const LinearPointsLogic &logic)
{
    QStringList out;
    int active = 0;
    for (int i = 0; i < LinearPointsLogic::Rows; ++i) {
        active += logic.isRowActive(i);
        out << (logic.isMarkerShown(i) ? QString("!%1").arg(i) : QString())
            << (logic.isNumberRed(i) ? QString("#%1").arg(i) : QString());
    }
    out << (logic.isHeadingRed(Column::Freq) ? "^f" : "") << (logic.isHeadingRed(Column::Coef) ? "^c" : "")
        << (active < LinearPointsLogic::Rows ? QString("rows=%1").arg(active) : QString());
    return out.join(' ').simplified();
}

// A family's main window on screen, so that focus and keys work, with its linear points window.
struct Screen : Rig
{
    explicit Screen(const QString &family)
        : Rig(family)
    {
        start();
    }
    frmLinearPoints *points() { return window->linearPoints().window(); }
    QLineEdit *edit(const QString &name) { return control<QLineEdit>(name); }
    void click() { QTest::mouseClick(c().btnLinear, Qt::LeftButton); }
    void open(const QString &count)
    {
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        set("txtLinearPts", count);
        click();
        if (window->linearPoints().hasWindow())
            QApplication::setActiveWindow(points());
    }
    void type(const QString &name, const QString &keys)
    {
        edit(name)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit(name), keys);
    }
    // Leaves the focused box with Tab and lets the deferred leave check run.
    void tabAway()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
    }
};

TABLE_TEST(LinearPointsLogic, EditsStoreChecksAndMarksAsTheTableSays, "linear/points.txt", "table")
{
    DeviceState state;
    FakeUserDialogs dialogs;
    for (int i = 0; i < LinearPointsLogic::Rows; ++i) {
        state.LinFreqItems[i] = IntItem { qint16(101 + 2 * i), 0, 30000, "i", -1 };
        state.LinFlowItems[i] = RealItem { qint16(102 + 2 * i), 0.0f, 1000.0f, "f", -1.0f };
    }
    LinearPointsLogic logic(state, dialogs, *DeviceFamily::byName(row["family"]));
    QStringList events, after;
    QObject::connect(&logic, &LinearPointsLogic::focusReturned,
        [&](Column c, int i) { events << QString("focus:%1%2").arg(c == Column::Freq ? 'f' : 'c').arg(i); });
    QObject::connect(&logic, &LinearPointsLogic::hideRequested, [&] { events << "hidden"; });
    for (const QString &action : row.words("actions")) {
        const QString key = action.section('=', 0, 0), value = action.section('=', 1);
        const int i = key.right(1).toInt();
        if (key == "show") {
            logic.showRows(value.toDouble());
        } else if (key == "mark") {
            logic.setRowMarked(value.toInt(), true);
        } else if (key == "missing") {
            for (int r : LinearPointsLogic::missingRows(state, value.toDouble()))
                events << QString("missing:%1").arg(r);
        } else if (key == "unload" || key == "ok") {
            key == "ok" ? logic.btnOK_Click() : logic.Form_Unload();
        } else if (key.startsWith("leave:")) {
            key[6] == 'f' ? logic.txtFreq_LostFocus(i) : logic.txtCoef_LostFocus(i);
        } else if (key[0] == 'F' || key[0] == 'C') {
            key[0] == 'F' ? Values::StoreInt(value, state.LinFreqItems[i].value)
                          : Values::StoreSingle(value, state.LinFlowItems[i].value);
        } else {
            logic.setText(column(key[0]), i, value);
        }
    }
    for (const QString &expected : row.words("after")) {
        const QString key = expected.section('=', 0, 0);
        const int i = key.mid(1).toInt();
        after << key + '='
                + (key[0] == 'F'        ? QString::number(state.LinFreqItems[i].value)
                        : key[0] == 'C' ? Values::FormatSingle(state.LinFlowItems[i].value)
                                        : logic.text(column(key[0]), i));
    }
    EXPECT_EQ(after, row.words("after"));
    EXPECT_EQ(flags(logic), row["flags"]);
    EXPECT_EQ(dialogs.texts().join("; "), row["messages"]);
    for (const auto &m : dialogs.messages)
        EXPECT_TRUE(m.title == "Error" && m.icon == UserDialogs::Icon::Exclamation);
    EXPECT_EQ(events, row.words("events"));
}

TABLE_TEST(LinearPointsWindow, ButtonOpensForTheCountOfPointsOrAsksForIt, "linear/window.txt", "button")
{
    Screen s(row["family"]);
    s.state.LinFreqItems[0].value = 120;
    s.state.LinFlowItems[1].value = 0.025f;
    s.open(row["count typed"]);
    EXPECT_EQ(s.shown("txtLinearPts"), row["count after"]);
    const int active = row.number("active rows");
    if (active == 0) {
        EXPECT_EQ(s.dialogs.texts(), QStringList { "Please Enter Number of Linear Points First" });
        const auto &note = s.dialogs.messages.at(0);
        EXPECT_TRUE(note.title == "Note!" && note.icon == UserDialogs::Icon::None);
        EXPECT_TRUE(!s.window->linearPoints().hasWindow() && !s.control("lblLinearPtsE")->isHidden()
            && !isRed(s.control<QLabel>("lblLinearPts")));
        EXPECT_EQ(QApplication::focusWidget(), s.edit("txtLinearPts"));
        EXPECT_EQ(s.edit("txtLinearPts")->cursorPosition(), 0);
        return;
    }
    frmLinearPoints *p = s.points();
    EXPECT_TRUE(s.dialogs.messages.empty() && s.c().Option2->isChecked());
    EXPECT_EQ(p->lblFreq()->text(), row["first column heading"]);
    EXPECT_EQ(p->frameGeometry().topLeft(), s.window->frameGeometry().topLeft() + QPoint(7, 42));
    EXPECT_EQ(s.shown("txtFreq0") + '/' + s.shown("txtCoef0") + '/' + s.shown("txtCoef1"), "120//0.025");
    for (int i = 0; i < frmLinearPoints::Rows; ++i) {
        const bool on = i < active;
        EXPECT_TRUE(p->txtFreq(i)->isEnabled() == on && p->txtCoef(i)->isEnabled() == on
            && p->lblPoints(i)->isVisible() == on)
            << i;
        EXPECT_EQ(p->txtCoef(i)->palette().color(QPalette::Base),
            on ? QColor(Qt::white) : p->palette().color(QPalette::Button))
            << i;
    }
    s.click(); // closes what it opened
    EXPECT_FALSE(p->isVisible());
}

TABLE_TEST(LinearPointsWindow, BoxesFilterTypedAndPastedKeys, "linear/window.txt", "typing")
{
    Screen s(row["family"]);
    s.open("1");
    const QString box = row["box"], keys = row["keys"];
    QApplication::clipboard()->setText(keys);
    s.type(box, row["typed or pasted"] == "typed" ? keys : QString());
    if (row["typed or pasted"] == "pasted")
        QTest::keySequence(s.edit(box), QKeySequence::Paste);
    EXPECT_EQ(s.shown(box), row["text"]);
    EXPECT_EQ(box.contains("Freq") ? s.state.LinFreqItems[0].value : s.state.LinFlowItems[0].value,
        Values::Val(row["stored"]));
}

TEST(LinearPointsWindow, LeavingBoxesChecksThemAndTheFocusComesBack)
{
    Screen s("Dravion");
    s.open("3");
    frmLinearPoints *points = s.points();
    s.set("txtCoef0", "200000"); // out of range too, but not left yet
    s.type("txtFreq0", "31000");
    s.tabAway();
    EXPECT_EQ(s.dialogs.texts(), QStringList { "Freqency  Field must be between 0 and 30000" });
    EXPECT_TRUE(isRed(points->lblFreq()) && !points->lblErr(0)->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), points->txtFreq(0));
    EXPECT_EQ(points->txtFreq(0)->selectedText(), "31000");
    s.tabAway(); // while the row is marked neither of its boxes is checked on leaving
    s.tabAway();
    EXPECT_TRUE(QApplication::focusWidget() == points->txtFreq(1) && s.dialogs.messages.size() == 1u);
    s.type("txtCoef0", "100000"); // both points set: the row clears
    EXPECT_TRUE(points->lblErr(0)->isHidden());
    QCoreApplication::processEvents();
    s.set("txtFreq1", "99999"); // the next row's box, which the focus only passes through
    s.tabAway();
    QCoreApplication::processEvents();
    EXPECT_EQ(s.dialogs.texts().mid(1), QStringList { "Coefficient  Field must be between 0 and 99999" });
    EXPECT_TRUE(isRed(points->lblCoef()) && QApplication::focusWidget() == points->txtCoef(0));
    s.set("txtFreq1", "");
    QTest::keyClick(points->txtCoef(0), Qt::Key_Backspace);
    EXPECT_FALSE(isRed(points->lblCoef()));

    // OK checks nothing; the close box checks the active rows and only hides: reopening keeps all.
    s.dialogs.clear();
    s.enter("txtCoef2=200000 txtFreq3=99999"); // row 3 is inactive
    QTest::mouseClick(points->btnOK(), Qt::LeftButton);
    EXPECT_TRUE(!points->isVisible() && s.dialogs.messages.empty());
    s.click();
    points->close();
    EXPECT_FALSE(points->isVisible());
    EXPECT_EQ(s.dialogs.texts(),
        QStringList({ "Freqency  Field must be between 0 and 30000",
            "Coefficient  Field must be between 0 and 99999" }));
    s.click();
    EXPECT_EQ(s.points(), points);
    EXPECT_EQ(
        s.shown("txtFreq0") + '/' + s.shown("txtCoef2") + '/' + s.shown("txtFreq3"), "31000/200000/99999");
    EXPECT_TRUE(!points->lblErr(0)->isHidden() && !points->lblErr(2)->isHidden() && isRed(points->lblFreq())
        && points->lblErr(1)->isHidden() && isRed(points->lblCoef()));
}
