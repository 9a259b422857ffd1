// The calibration window's own controls, with a scripted device in place of the link.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "calibration/frmcalibration.h"
#include "calibration/updowncontrol.h"
#include "fakesender.h"
#include "fakeuserdialogs.h"

namespace {

struct WindowFixture : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    FakeSender device { state };
    AppContext context { state, nullptr, dialogs };
    frmCalibration window { context };

    void SetUp() override
    {
        state.MinDacItem = IntItem { 13, 100, 4095, QStringLiteral("i"), 0 };
        state.MaxDacItem = IntItem { 14, 0, 4095, QStringLiteral("i"), 0 };
        device.reply = [echo = device.reply](const QString &command) {
            return command == "13i" ? QStringLiteral("800")
                : command == "14i"  ? QStringLiteral("4000")
                                    : echo(command);
        };
        window.logic().setSender(device.sender());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        device.sent.clear();
    }

    // The box with the focus, all its text selected or the cursor at its end.
    QLineEdit *focus(const char *name, bool selectAll)
    {
        QLineEdit *edit = window.findChild<QLineEdit *>(QString::fromLatin1(name));
        window.activateWindow();
        edit->setFocus();
        selectAll ? edit->selectAll() : edit->end(false);
        return edit;
    }
};

} // namespace

TEST_F(WindowFixture, DacBoxesTakeOnlyDigitsTypedOrPasted)
{
    QLineEdit *hi = focus("txtHiDAC", true);
    QTest::keyClicks(hi, QStringLiteral("1a-2.3 "));
    EXPECT_EQ(hi->text(), QStringLiteral("123"));
    QGuiApplication::clipboard()->setText(QStringLiteral(" 4x\n"));
    QTest::keyClick(hi, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(hi->text(), QStringLiteral("1234"));
    QTest::keyClick(hi, Qt::Key_Backspace);
    EXPECT_EQ(device.sent, QStringList({ "14i1", "14i12", "14i123", "14i1234", "14i123" }));
    hi->selectAll();
    QTest::keyClicks(hi, QStringLiteral("0000000"));
    EXPECT_EQ(hi->text(), QStringLiteral("000000")); // six characters at most
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(WindowFixture, EachKeystrokeMustBeInRangeWhileTyping)
{
    QLineEdit *low = focus("txtLowDAC", true);
    QTest::keyClick(low, Qt::Key_5); // 5 is below the minimum of 100
    EXPECT_EQ(dialogs.texts(), QStringList { "Invalid entry, value must be between 100 and 4095" });
    EXPECT_EQ(low->text(), QStringLiteral("800"));
    low->setSelection(0, 1); // overtyping one digit keeps every intermediate value in range
    QTest::keyClick(low, Qt::Key_5);
    EXPECT_EQ(device.sent, QStringList({ "13i800", "13i500" }));
    EXPECT_EQ(window.findChild<UpDownControl *>(QStringLiteral("UpDownLowDAC"))->value(), 500);
}

TEST_F(WindowFixture, ReplyTextCanBeErasedAndReturnPressesNoButton)
{
    window.hide();
    device.reply = [](const QString &) { return QStringLiteral("NoRsp"); };
    window.show();
    window.findChild<UpDownControl *>(QStringLiteral("UpDownTest"))->setValue(6);
    device.sent.clear();
    QTest::keyClick(focus("txtLowDAC", false), Qt::Key_Return); // a pressed "Output Min" would send 99f0
    EXPECT_TRUE(device.sent.isEmpty());
    EXPECT_TRUE(window.isVisible());
    QLineEdit *hi = focus("txtHiDAC", false);
    QTest::keyClick(hi, Qt::Key_Backspace);
    EXPECT_EQ(hi->text(), QStringLiteral("NoRs"));
}

TEST_F(WindowFixture, StoreRunsOnceAndReopeningReadsAgain)
{
    window.reject();
    window.close();
    EXPECT_EQ(device.sent, QStringList({ "W", "F" }));
    device.sent.clear();
    window.show();
    EXPECT_EQ(device.sent, QStringList({ "13i", "14i" }));
}

TEST(UpDownControl, SignalsExactlyWhenTheValueChanges)
{
    UpDownControl upDown;
    upDown.setRange(0, 3);
    QSignalSpy changes(&upDown, &UpDownControl::valueChanged);
    upDown.setValue(0); // already 0
    upDown.stepDown(); // at the minimum
    QTest::mouseClick(upDown.upButton(), Qt::LeftButton);
    upDown.setValue(3);
    upDown.stepUp(); // at the maximum
    upDown.setValue(99); // pulled to 3, unchanged
    upDown.setRange(0, 2); // pulls the value down: a change
    upDown.setRange(5, 1); // swapped limits: 1 to 5, and 2 stays
    upDown.setRange(3, 5);
    QList<int> seen;
    for (const QList<QVariant> &c : changes)
        seen << c.at(0).toInt();
    EXPECT_EQ(seen, QList<int>({ 1, 3, 2, 3 }));
    EXPECT_EQ(upDown.minimum(), 3);
    EXPECT_EQ(upDown.maximum(), 5);
}
