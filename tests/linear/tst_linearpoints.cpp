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
#include "fakeuserdialogs.h"

namespace {

bool isRed(const QLabel *label) { return label->palette().color(QPalette::WindowText) == QColor(255, 0, 0); }

struct LinearPointsTest : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context{state, nullptr, dialogs};
    std::unique_ptr<frmAltMain> main;

    void SetUp() override { build(false); }
    void build(bool mr)
    {
        main.reset();
        context.DeviceFamily = mr ? QStringLiteral("MR") : QStringLiteral("Dravion");
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
        build(false);
        if (r.active)
            freq(1)->setText(QStringLiteral("77"));
        state.LinFreqItems[0].value = 120;
        state.LinFlowItems[0].value = 0.0001234f; // longer than the eight characters a user may type
        state.LinFreqItems[1].value = -1;         // never entered: its box is left alone
        state.LinFlowItems[1].value = 0.025f;
        openWith(r.count);
        const AltMainControls &c = main->controls();
        EXPECT_EQ(c.txtLinearPts->text(), r.textAfter);
        if (r.active == 0) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, "Please Enter Number of Linear Points First");
            EXPECT_EQ(dialogs.messages[0].title, "Note!");
            EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::None);
            EXPECT_FALSE(main->linearPoints().hasWindow());
            EXPECT_TRUE(!c.lblLinearPtsE->isHidden() && !isRed(c.lblLinearPts));
            EXPECT_EQ(QApplication::focusWidget(), c.txtLinearPts);
            EXPECT_EQ(c.txtLinearPts->cursorPosition(), 0);
            continue;
        }
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(c.Option2->isChecked());
        EXPECT_EQ(points()->frameGeometry().topLeft(), main->frameGeometry().topLeft() + QPoint(7, 42));
        EXPECT_EQ(QStringList({freq(0)->text(), coef(0)->text(), freq(1)->text(), coef(1)->text()}),
                  QStringList({"120", "0.0001234", "77", "0.025"}));
        EXPECT_EQ(state.LinFlowItems[0].value, 0.0001234f);
        for (int i = 0; i < frmLinearPoints::Rows; ++i) {
            const bool active = i < r.active;
            EXPECT_EQ(freq(i)->isEnabled() && coef(i)->isEnabled(), active) << i;
            EXPECT_EQ(points()->lblPoints(i)->isVisible(), active) << i;
            EXPECT_EQ(coef(i)->palette().color(QPalette::Base),
                      active ? QColor(Qt::white) : points()->palette().color(QPalette::Button)) << i;
        }
        clickLinear(); // closes what it opened
        EXPECT_FALSE(points()->isVisible());
    }
}

// Each row types keys into, pastes into or sets the text of the first row's frequency or flow box.
TEST_F(LinearPointsTest, BoxesFilterKeysAndStoreOnlyWhatFits)
{
    const struct {
        bool mr, flow;
        char how; // k: typed, v: pasted, s: set by the program
        const char *input, *text;
        double stored;
    } rows[] = {
        {false, true, 'k', ".5x-", "0.5", 0.5},         // "." becomes "0." with the caret after it
        {false, false, 'k', " .a", ".", 0},             // the frequency column keeps a lone point, read as 0
        {false, false, 'v', "-1a2.5 Hz", "12.5", 12},   // pasting passes the filter; halves round to even
        {false, true, 'k', "1234567890", "12345678", 12345678},
        {false, false, 'k', "40000", "40000", 4000},    // the last keystroke is the one refused
        {true, false, 'k', ".7", "0.7", 1},             // MR positions: the lone point rule, then integers
        {false, false, 's', "31999", "31999", 31999},
        {false, false, 's', "32000", "32000", 500},     // from 32000 up nothing is stored
        {false, false, 's', "31999.6", "31999.6", 32000},
        {false, false, 's', "", "", 0},
        {false, false, 's', "-40000", "-40000", 500},   // a sign can only come from a text set by the program
        {false, true, 's', "1E+39", "1E+39", 500},      // does not fit a single
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.input);
        build(r.mr);
        openWith("1");
        EXPECT_EQ(points()->lblFreq()->text(), r.mr ? "Position" : "Freqency");
        QLineEdit *box = r.flow ? coef(0) : freq(0);
        if (r.how == 's')
            box->setText(QStringLiteral("1"));
        state.LinFreqItems[0].value = 500;
        state.LinFlowItems[0].value = 500.0f;
        QApplication::clipboard()->setText(QString::fromLatin1(r.input));
        if (r.how == 'k')
            type(box, r.input);
        else if (r.how == 'v')
            QTest::keySequence(box, QKeySequence::Paste);
        else
            box->setText(QString::fromLatin1(r.input));
        EXPECT_EQ(box->text(), r.text);
        EXPECT_EQ(r.flow ? double(state.LinFlowItems[0].value) : state.LinFreqItems[0].value, r.stored);
    }
}

TEST_F(LinearPointsTest, MissingRowStaysMarkedUntilBothEntriesHoldValues)
{
    openWith("2");
    points()->setRowMarked(1, true); // as the missing-entry check leaves it
    type(freq(1), "250");
    EXPECT_TRUE(!points()->lblErr(1)->isHidden() && isRed(points()->lblPoints(1)));
    type(coef(1), "4");
    EXPECT_FALSE(!points()->lblErr(1)->isHidden() || isRed(points()->lblPoints(1)));
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
    EXPECT_TRUE(isRed(points()->lblFreq()) && !points()->lblErr(0)->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), freq(0));
    EXPECT_EQ(freq(0)->selectedText(), "31000");
    tabAway(); // while the row is flagged neither of its boxes is checked on leaving
    tabAway();
    EXPECT_EQ(QApplication::focusWidget(), freq(1));
    EXPECT_EQ(dialogs.messages.size(), 1u);
    type(coef(0), "1001"); // both entries set: the row and the heading clear, the next leave checks again
    EXPECT_TRUE(points()->lblErr(0)->isHidden());
    tabAway();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, "Coefficient  Field must be between 0 and 1000");
    EXPECT_TRUE(isRed(points()->lblCoef()));
    QTest::keyClick(coef(0), Qt::Key_Backspace);
    EXPECT_FALSE(isRed(points()->lblCoef()));
}

TEST_F(LinearPointsTest, CloseBoxChecksActiveRowsOkChecksNothingAndReopeningKeepsAll)
{
    freq(0)->setText(QStringLiteral("30001"));
    points()->Form_Unload(); // hidden, as Read Setup closes it: the check, its message and marker apply
    EXPECT_EQ(dialogs.texts(), QStringList({"Freqency  Field must be between 0 and 30000"}));
    EXPECT_FALSE(points()->lblErr(0)->isHidden());
    dialogs.clear();
    coef(0)->setText(QStringLiteral("1")); // both entries set: the row clears
    openWith("3");
    frmLinearPoints *first = points();
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
    clickLinear();
    EXPECT_EQ(points(), first);
    EXPECT_EQ(QStringList({freq(0)->text(), coef(0)->text(), coef(2)->text()}),
              QStringList({"30001", "1", "2000"}));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(points()->lblErr(i)->isHidden(), i == 1 || i == 3) << i;
    EXPECT_TRUE(isRed(points()->lblFreq()) && isRed(points()->lblCoef()));
}
