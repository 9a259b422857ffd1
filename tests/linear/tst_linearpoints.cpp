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

bool isRed(const QLabel *label) { return label->palette().color(QPalette::WindowText) == QColor(255, 0, 0); }

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
        // The configured ranges, set here so the test does not depend on the file.
        state.LinearPtsItem = IntItem{100, 1, 10, QStringLiteral("i"), 0};
        for (int i = 0; i < 10; ++i) {
            state.LinFreqItems[i] = IntItem{qint16(101 + 2 * i), 0, 30000, QStringLiteral("i"), -1};
            state.LinFlowItems[i] = RealItem{qint16(102 + 2 * i), 0.0f, 1000.0f, QStringLiteral("f"), -1.0f};
        }
        dialogs.clear();
    }

    frmLinearPoints *points() { return main->linearPoints().window(); }
    QLineEdit *freq(int i) { return points()->txtFreq(i); }
    QLineEdit *coef(int i) { return points()->txtCoef(i); }
    void clickLinear() { QTest::mouseClick(main->controls().btnLinear, Qt::LeftButton); }

    // Opens the window for a count of points, on screen so that focus and keys work.
    void openWith(const char *count)
    {
        main->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        main->controls().txtLinearPts->setText(QString::fromLatin1(count));
        clickLinear();
        if (!main->linearPoints().hasWindow() || !points()->isVisible())
            return;
        EXPECT_TRUE(QTest::qWaitForWindowExposed(points()));
        QApplication::setActiveWindow(points());
    }

    void type(QLineEdit *edit, const char *keys)
    {
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(edit, QString::fromLatin1(keys));
    }

    // Leaves the focused box with Tab and lets the deferred leave check run.
    void tabAway()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(LinearPointsTest, ButtonOpensWithTheCountOfPointsOrAsksForIt)
{
    const struct { const char *count; const char *textAfter; int active; } rows[] = {
        {"", "", 0}, {"0", "0", 0}, {"3", "3", 3}, {"12", "10", 10} /* above the maximum */,
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.count);
        build(QStringLiteral("Dravion"));
        state.LinFreqItems[0].value = 120;
        state.LinFlowItems[0].value = 2.5f;
        openWith(r.count);
        const AltMainControls &c = main->controls();
        EXPECT_EQ(c.txtLinearPts->text(), r.textAfter);
        if (r.active == 0) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, "Please Enter Number of Linear Points First");
            EXPECT_EQ(dialogs.messages[0].title, "Note!");
            EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::None);
            EXPECT_FALSE(main->linearPoints().hasWindow());
            EXPECT_FALSE(c.lblLinearPtsE->isHidden());
            EXPECT_FALSE(isRed(c.lblLinearPts));
            EXPECT_EQ(QApplication::focusWidget(), c.txtLinearPts);
            EXPECT_EQ(c.txtLinearPts->cursorPosition(), 0);
            continue;
        }
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(c.Option2->isChecked());
        EXPECT_EQ(points()->frameGeometry().topLeft(), main->frameGeometry().topLeft() + QPoint(7, 42));
        EXPECT_EQ(freq(0)->text(), "120");
        EXPECT_EQ(coef(0)->text(), "2.5");
        for (int i = 0; i < frmLinearPoints::Rows; ++i) {
            const bool active = i < r.active;
            EXPECT_EQ(freq(i)->isEnabled(), active) << i;
            EXPECT_EQ(coef(i)->isEnabled(), active) << i;
            EXPECT_EQ(points()->lblPoints(i)->isVisible(), active) << i;
            EXPECT_EQ(coef(i)->palette().color(QPalette::Base),
                      active ? QColor(Qt::white) : points()->palette().color(QPalette::Button)) << i;
        }
        clickLinear(); // closes what it opened
        EXPECT_FALSE(points()->isVisible());
    }
}

TEST_F(LinearPointsTest, OpeningLeavesBoxesOfUnenteredEntriesAlone)
{
    freq(1)->setText(QStringLiteral("77"));
    state.LinFreqItems[1].value = -1;
    state.LinFlowItems[1].value = 0.025f;
    state.LinFlowItems[0].value = 0.0001234f; // longer than the eight characters a user may type
    openWith("2");
    EXPECT_EQ(freq(1)->text(), "77");
    EXPECT_EQ(coef(1)->text(), "0.025");
    EXPECT_EQ(coef(0)->text(), "0.0001234");
    EXPECT_EQ(state.LinFlowItems[0].value, 0.0001234f);
    EXPECT_EQ(points()->lblFreq()->text(), "Freqency");
}

TEST_F(LinearPointsTest, DecimalFilterAndTheLonePointRule)
{
    openWith("2");
    type(coef(0), ".");
    EXPECT_EQ(coef(0)->text(), "0.");
    EXPECT_EQ(coef(0)->cursorPosition(), 2);
    QTest::keyClicks(coef(0), QStringLiteral("5x-"));
    EXPECT_EQ(coef(0)->text(), "0.5");
    EXPECT_EQ(state.LinFlowItems[0].value, 0.5f);

    // The frequency column keeps a lone point, which reads as 0.
    type(freq(1), " .a");
    EXPECT_EQ(freq(1)->text(), ".");
    EXPECT_EQ(state.LinFreqItems[1].value, 0);

    // Pasting passes the same filter; the stored frequency rounds halves to even.
    QApplication::clipboard()->setText(QStringLiteral("-1a2.5 Hz"));
    freq(1)->selectAll();
    QTest::keySequence(freq(1), QKeySequence::Paste);
    EXPECT_EQ(freq(1)->text(), "12.5");
    EXPECT_EQ(state.LinFreqItems[1].value, 12);

    type(coef(1), "1234567890");
    EXPECT_EQ(coef(1)->text(), "12345678");
}

TEST_F(LinearPointsTest, PositionColumnOfTheMrFamilyTakesTheLonePointRuleIntoTheIntegerTable)
{
    build(QStringLiteral("MR"));
    openWith("1");
    EXPECT_EQ(points()->lblFreq()->text(), "Position");
    type(freq(0), ".7");
    EXPECT_EQ(freq(0)->text(), "0.7");
    EXPECT_EQ(state.LinFreqItems[0].value, 1);
}

TEST_F(LinearPointsTest, EntriesThatDoNotFitKeepThePreviousValue)
{
    const struct { const char *text; qint16 stored; } rows[] = {
        {"31999", 31999}, {"32000", 500}, {"40000", 500}, {"31999.6", 32000}, {"", 0},
        {"-40000", 500}, // a sign can only come from a text set by the program
    };
    for (const auto &r : rows) {
        state.LinFreqItems[0].value = 500;
        freq(0)->setText(QString::fromLatin1(r.text));
        EXPECT_EQ(state.LinFreqItems[0].value, r.stored) << r.text;
    }
    state.LinFlowItems[0].value = 3.0f;
    coef(0)->setText(QStringLiteral("1E+39"));
    EXPECT_EQ(state.LinFlowItems[0].value, 3.0f);

    openWith("1");
    type(freq(0), "40000"); // the last keystroke is the one refused
    EXPECT_EQ(state.LinFreqItems[0].value, 4000);
}

TEST_F(LinearPointsTest, MissingRowStaysMarkedUntilBothEntriesHoldValues)
{
    openWith("2");
    points()->setRowMarked(1, true); // as the missing-entry check leaves it
    type(freq(1), "250");
    EXPECT_FALSE(points()->lblErr(1)->isHidden());
    EXPECT_TRUE(isRed(points()->lblPoints(1)));
    type(coef(1), "4");
    EXPECT_TRUE(points()->lblErr(1)->isHidden());
    EXPECT_FALSE(isRed(points()->lblPoints(1)));

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
    type(freq(0), "31000");
    tabAway();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Freqency  Field must be between 0 and 30000");
    EXPECT_EQ(dialogs.messages[0].title, "Error");
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Exclamation);
    EXPECT_TRUE(isRed(points()->lblFreq()));
    EXPECT_FALSE(points()->lblErr(0)->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), freq(0));
    EXPECT_EQ(freq(0)->selectedText(), "31000");

    // While the row is flagged neither of its boxes is checked on leaving.
    tabAway();
    tabAway();
    EXPECT_EQ(QApplication::focusWidget(), freq(1));
    EXPECT_EQ(dialogs.messages.size(), 1u);

    // An edit with both entries set clears the row and the heading; the next leave checks again.
    type(coef(0), "1001");
    EXPECT_TRUE(points()->lblErr(0)->isHidden());
    tabAway();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, "Coefficient  Field must be between 0 and 1000");
    EXPECT_TRUE(isRed(points()->lblCoef()));
    QTest::keyClick(coef(0), Qt::Key_Backspace);
    EXPECT_FALSE(isRed(points()->lblCoef()));
}

TEST_F(LinearPointsTest, CloseBoxChecksEveryActiveRowButOkChecksNothing)
{
    freq(0)->setText(QStringLiteral("30001"));
    points()->Form_Unload(); // hidden, as Read Setup closes it: nothing the user could see is checked
    EXPECT_TRUE(dialogs.messages.empty());

    openWith("3");
    coef(2)->setText(QStringLiteral("2000"));
    freq(3)->setText(QStringLiteral("99999")); // inactive row
    QTest::mouseClick(points()->btnOK(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(points()->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());

    clickLinear();
    points()->close();
    EXPECT_FALSE(points()->isVisible());
    EXPECT_EQ(dialogs.texts(), QStringList({"Freqency  Field must be between 0 and 30000",
                                            "Coefficient  Field must be between 0 and 1000"}));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(points()->lblErr(i)->isHidden(), i == 1 || i == 3) << i;
}

TEST_F(LinearPointsTest, CloseAndReopenKeepsWhatWasTyped)
{
    openWith("2");
    type(freq(0), "1500");
    type(coef(0), "12.75");
    type(coef(1), "3");
    points()->setRowMarked(1, true); // frequency 1 still missing
    points()->close();
    frmLinearPoints *before = points();

    clickLinear();
    EXPECT_EQ(points(), before);
    EXPECT_EQ(freq(0)->text(), "1500");
    EXPECT_EQ(coef(0)->text(), "12.75");
    EXPECT_EQ(freq(1)->text(), "");
    EXPECT_EQ(coef(1)->text(), "3");
    EXPECT_FALSE(points()->lblErr(1)->isHidden());
    EXPECT_TRUE(isRed(points()->lblPoints(1)));
}
