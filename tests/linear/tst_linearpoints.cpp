#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/frmaltmain.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "link/devicestate.h"
#include "support/fakeuserdialogs.h"

namespace {

using Icon = UserDialogs::Icon;

bool isRed(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
}

struct LinearPointsTest : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context{state, nullptr, dialogs};
    std::unique_ptr<frmAltMain> main;

    void SetUp() override { build(QStringLiteral("Dravion")); }

    void build(const QString &family)
    {
        main.reset();
        context.DeviceFamily = family;
        main = std::make_unique<frmAltMain>(context);
        // The ranges the configuration gives, set here so the test does not depend on the file.
        state.LinearPtsItem = IntItem{100, 1, 10, QStringLiteral("i"), 0};
        for (int i = 0; i < 10; ++i) {
            state.LinFreqItems[i] = IntItem{qint16(101 + 2 * i), 0, 30000, QStringLiteral("i"), -1};
            state.LinFlowItems[i] = RealItem{qint16(102 + 2 * i), 0.0f, 1000.0f, QStringLiteral("f"), -1.0f};
        }
        dialogs.clear();
    }

    QLineEdit *linearPts() { return main->controls().txtLinearPts; }
    frmLinearPoints *points() { return main->linearPoints().window(); }
    QLineEdit *freq(int i) { return points()->txtFreq(i); }
    QLineEdit *coef(int i) { return points()->txtCoef(i); }

    // Opens the window for a count of points, shown on screen so that focus and keys work.
    void openWith(const char *count)
    {
        main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        linearPts()->setText(QString::fromLatin1(count));
        QTest::mouseClick(main->controls().btnLinear, Qt::LeftButton);
        if (!main->linearPoints().hasWindow() || !points()->isVisible())
            return;
        EXPECT_TRUE(QTest::qWaitForWindowExposed(points()));
        QApplication::setActiveWindow(points());
    }

    void focusInto(QLineEdit *edit)
    {
        edit->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
    }

    // Leaves the focused box with Tab and lets the deferred leave check run.
    void tabAway()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(LinearPointsTest, ButtonOpensWithTheCountOfPointsOrAsksForIt)
{
    const struct { const char *count; bool opens; const char *textAfter; int active; } rows[] = {
        {"", false, "", 0},
        {"0", false, "0", 0},
        {"3", true, "3", 3},
        {"12", true, "10", 10}, // above the configured maximum
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.count);
        build(QStringLiteral("Dravion"));
        openWith(r.count);
        EXPECT_EQ(linearPts()->text(), r.textAfter);
        if (!r.opens) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, "Please Enter Number of Linear Points First");
            EXPECT_EQ(dialogs.messages[0].title, "Note!");
            EXPECT_EQ(dialogs.messages[0].icon, Icon::None);
            EXPECT_FALSE(main->linearPoints().hasWindow() && points()->isVisible());
            EXPECT_FALSE(main->controls().lblLinearPtsE->isHidden());
            EXPECT_FALSE(isRed(main->controls().lblLinearPts));
            EXPECT_EQ(linearPts()->cursorPosition(), 0);
            continue;
        }
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(points()->isVisible());
        EXPECT_TRUE(main->controls().Option2->isChecked());
        const QPoint expected = main->frameGeometry().topLeft() + QPoint(7, 42);
        EXPECT_EQ(points()->frameGeometry().topLeft(), expected);
        for (int i = 0; i < frmLinearPoints::Rows; ++i) {
            const bool active = i < r.active;
            EXPECT_EQ(points()->isRowActive(i), active) << i;
            EXPECT_EQ(freq(i)->isEnabled(), active) << i;
            EXPECT_EQ(coef(i)->isEnabled(), active) << i;
            EXPECT_EQ(points()->lblPoints(i)->isVisible(), active) << i;
            const QColor base = coef(i)->palette().color(QPalette::Base);
            EXPECT_EQ(base, active ? QColor(Qt::white) : points()->palette().color(QPalette::Button)) << i;
        }
        // The button closes what it opened.
        QTest::mouseClick(main->controls().btnLinear, Qt::LeftButton);
        EXPECT_FALSE(points()->isVisible());
    }
}

TEST_F(LinearPointsTest, OpeningShowsEnteredPointsAndLeavesUnenteredBoxesAlone)
{
    state.LinFreqItems[0].value = 120;
    state.LinFlowItems[0].value = 2.5f;
    state.LinFlowItems[1].value = 0.025f;
    freq(1)->setText(QStringLiteral("77")); // entry 1's frequency stays -1 below
    state.LinFreqItems[1].value = -1;
    state.LinFreqItems[5].value = 900; // beyond the count: not shown
    openWith("3");
    EXPECT_EQ(freq(0)->text(), "120");
    EXPECT_EQ(coef(0)->text(), "2.5");
    EXPECT_EQ(freq(1)->text(), "77");
    EXPECT_EQ(coef(1)->text(), "0.025");
    EXPECT_EQ(freq(2)->text(), "");
    EXPECT_EQ(freq(5)->text(), "");
    EXPECT_EQ(points()->lblFreq()->text(), "Freqency");
    EXPECT_EQ(points()->lblCoef()->text(), "Coefficient");
    EXPECT_EQ(points()->windowTitle(), "Linear Point Configuration");
}

TEST_F(LinearPointsTest, KeysArePassedByTheDecimalFilterAndALonePointBecomesZeroPoint)
{
    openWith("2");
    focusInto(coef(0));
    QTest::keyClicks(coef(0), QStringLiteral("."));
    EXPECT_EQ(coef(0)->text(), "0.");
    EXPECT_EQ(coef(0)->cursorPosition(), 2);
    EXPECT_EQ(state.LinFlowItems[0].value, 0.0f);
    QTest::keyClicks(coef(0), QStringLiteral("5x-"));
    EXPECT_EQ(coef(0)->text(), "0.5");
    EXPECT_EQ(state.LinFlowItems[0].value, 0.5f);

    // The first column of this family keeps a lone point; it reads as 0.
    focusInto(freq(1));
    QTest::keyClicks(freq(1), QStringLiteral(" .a"));
    EXPECT_EQ(freq(1)->text(), ".");
    EXPECT_EQ(state.LinFreqItems[1].value, 0);
    QTest::keyClick(freq(1), Qt::Key_Backspace);
    EXPECT_EQ(freq(1)->text(), "");

    // Pasting passes through the same filter, replacing the selection.
    QApplication::clipboard()->setText(QStringLiteral("-1a2.5 Hz"));
    focusInto(freq(1));
    QTest::keyClicks(freq(1), QStringLiteral("99"));
    freq(1)->selectAll();
    QTest::keySequence(freq(1), QKeySequence::Paste);
    EXPECT_EQ(freq(1)->text(), "12.5");
    EXPECT_EQ(state.LinFreqItems[1].value, 12); // halves round to even

    // Eight characters at most.
    focusInto(coef(1));
    QTest::keyClicks(coef(1), QStringLiteral("1234567890"));
    EXPECT_EQ(coef(1)->text(), "12345678");
}

TEST_F(LinearPointsTest, PositionColumnOfTheMrFamilyTakesTheLonePointRuleIntoTheIntegerTable)
{
    build(QStringLiteral("MR"));
    openWith("1");
    EXPECT_EQ(points()->lblFreq()->text(), "Position");
    focusInto(freq(0));
    QTest::keyClicks(freq(0), QStringLiteral(".7"));
    EXPECT_EQ(freq(0)->text(), "0.7");
    EXPECT_EQ(state.LinFreqItems[0].value, 1);
    EXPECT_EQ(state.LinPosItems[0].value, 0.0f);
}

TEST_F(LinearPointsTest, FrequencyOf32000OrMoreIsNotStored)
{
    const struct { const char *text; qint16 stored; } rows[] = {
        {"31999", 31999}, {"32000", 500}, {"40000", 500}, {"99999999", 500}, {"31999.6", 32000},
        {"-40000", 500}, // only a text set by the program can carry a sign
        {"", 0},
    };
    for (const auto &r : rows) {
        state.LinFreqItems[0].value = 500;
        freq(0)->setText(QString::fromLatin1(r.text));
        EXPECT_EQ(state.LinFreqItems[0].value, r.stored) << r.text;
    }
    // Typed digit by digit, the last keystroke is the one refused.
    openWith("1");
    focusInto(freq(0));
    QTest::keyClicks(freq(0), QStringLiteral("40000"));
    EXPECT_EQ(state.LinFreqItems[0].value, 4000);
}

TEST_F(LinearPointsTest, FlowBeyondTheSingleRangeKeepsThePreviousValue)
{
    state.LinFlowItems[0].value = 3.0f;
    coef(0)->setText(QStringLiteral("1E+39"));
    EXPECT_EQ(state.LinFlowItems[0].value, 3.0f);
}

TEST_F(LinearPointsTest, MissingRowStaysMarkedUntilBothEntriesHoldValues)
{
    openWith("2");
    points()->setRowMarked(1, true); // as the missing-entry check leaves it
    focusInto(freq(1));
    QTest::keyClicks(freq(1), QStringLiteral("250"));
    EXPECT_FALSE(points()->lblErr(1)->isHidden());
    EXPECT_TRUE(isRed(points()->lblPoints(1)));
    focusInto(coef(1));
    QTest::keyClicks(coef(1), QStringLiteral("4"));
    EXPECT_TRUE(points()->lblErr(1)->isHidden());
    EXPECT_FALSE(isRed(points()->lblPoints(1)));

    // The other order: a flow first, then the frequency clears it.
    points()->setRowMarked(0, true);
    coef(0)->setText(QStringLiteral("1"));
    EXPECT_FALSE(points()->lblErr(0)->isHidden());
    freq(0)->setText(QStringLiteral("10"));
    EXPECT_TRUE(points()->lblErr(0)->isHidden());
}

TEST_F(LinearPointsTest, LeavingAnOutOfRangeBoxFlagsTheRowUntilAnEditClearsIt)
{
    openWith("2");
    coef(0)->setText(QStringLiteral("2000")); // out of range too, but not left yet
    focusInto(freq(0));
    QTest::keyClicks(freq(0), QStringLiteral("31000"));
    tabAway();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Freqency  Field must be between 0 and 30000");
    EXPECT_EQ(dialogs.messages[0].title, "Error");
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Exclamation);
    EXPECT_TRUE(isRed(points()->lblFreq()));
    EXPECT_FALSE(points()->lblErr(0)->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), freq(0));
    EXPECT_EQ(freq(0)->selectedText(), "31000");

    // While the row is flagged neither of its boxes is checked on leaving.
    tabAway();
    EXPECT_EQ(QApplication::focusWidget(), coef(0));
    tabAway();
    EXPECT_EQ(QApplication::focusWidget(), freq(1));
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // An edit with both entries set clears the row, and the next leave checks again.
    focusInto(coef(0));
    QTest::keyClicks(coef(0), QStringLiteral("1001"));
    EXPECT_TRUE(points()->lblErr(0)->isHidden());
    EXPECT_FALSE(isRed(points()->lblCoef()));
    tabAway();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, "Coefficient  Field must be between 0 and 1000");
    EXPECT_TRUE(isRed(points()->lblCoef()));
    EXPECT_FALSE(points()->lblErr(0)->isHidden());
    // Editing the column turns its heading black again.
    QTest::keyClick(coef(0), Qt::Key_Backspace);
    EXPECT_FALSE(isRed(points()->lblCoef()));
}

TEST_F(LinearPointsTest, CloseBoxChecksEveryActiveRowButOkChecksNothing)
{
    openWith("3");
    freq(0)->setText(QStringLiteral("30001"));
    coef(2)->setText(QStringLiteral("2000"));
    freq(3)->setText(QStringLiteral("99999")); // inactive row: never checked
    main->controls().btnLinear->setFocus(); // keep the focus out of the rows

    QTest::mouseClick(points()->btnOK(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(points()->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());

    QTest::mouseClick(main->controls().btnLinear, Qt::LeftButton);
    ASSERT_TRUE(points()->isVisible());
    points()->close();
    EXPECT_FALSE(points()->isVisible());
    EXPECT_EQ(dialogs.texts(), QStringList({"Freqency  Field must be between 0 and 30000",
                                            "Coefficient  Field must be between 0 and 1000"}));
    EXPECT_FALSE(points()->lblErr(0)->isHidden());
    EXPECT_TRUE(points()->lblErr(1)->isHidden());
    EXPECT_FALSE(points()->lblErr(2)->isHidden());
    EXPECT_TRUE(points()->lblErr(3)->isHidden());
}

TEST_F(LinearPointsTest, HiddenWindowIsClosedWithoutChecks)
{
    freq(0)->setText(QStringLiteral("30001"));
    points()->Form_Unload();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(points()->lblErr(0)->isHidden());
    EXPECT_FALSE(points()->isVisible());
}

TEST_F(LinearPointsTest, CloseAndReopenKeepsWhatWasTyped)
{
    openWith("2");
    focusInto(freq(0));
    QTest::keyClicks(freq(0), QStringLiteral("1500"));
    focusInto(coef(0));
    QTest::keyClicks(coef(0), QStringLiteral("12.75"));
    focusInto(coef(1));
    QTest::keyClicks(coef(1), QStringLiteral("3"));
    points()->setRowMarked(1, true); // frequency 1 still missing
    points()->close();
    ASSERT_FALSE(points()->isVisible());
    frmLinearPoints *before = points();

    QTest::mouseClick(main->controls().btnLinear, Qt::LeftButton);
    EXPECT_EQ(points(), before);
    EXPECT_EQ(freq(0)->text(), "1500");
    EXPECT_EQ(coef(0)->text(), "12.75");
    EXPECT_EQ(freq(1)->text(), "");
    EXPECT_EQ(coef(1)->text(), "3");
    EXPECT_FALSE(points()->lblErr(1)->isHidden());
    EXPECT_TRUE(isRed(points()->lblPoints(1)));
    EXPECT_EQ(state.LinFlowItems[0].value, 12.75f);
}

TEST_F(LinearPointsTest, TabRunsRowByRowAndFocusSelectsTheText)
{
    openWith("3");
    freq(1)->setText(QStringLiteral("42"));
    focusInto(freq(0));
    const QLineEdit *expected[] = {coef(0), freq(1), coef(1), freq(2)};
    for (const QLineEdit *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    freq(1)->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(freq(1)->selectedText(), "42");
}

TEST_F(LinearPointsTest, ResizingTheMainWindowMovesTheOpenWindow)
{
    openWith("1");
    main->resize(main->size() + QSize(20, 20));
    QCoreApplication::processEvents();
    EXPECT_EQ(points()->frameGeometry().topLeft(), main->frameGeometry().topLeft() + QPoint(12, 53));
}
