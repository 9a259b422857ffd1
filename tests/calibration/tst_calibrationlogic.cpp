#include <gtest/gtest.h>

#include "calibration/calibrationlogic.h"
#include "fakesender.h"
#include "fakeuserdialogs.h"

TEST(CalibrationLevels, TestCommandFollowsTheOutputCaption)
{
    const struct
    {
        const char *caption;
        int level;
        const char *command;
    } rows[] = { { "4-20mA", 4, "99f0" }, { "4-20mA", 5, "99f6.25" }, { "4-20mA", 6, "99f12.5" },
        { "4-20mA", 20, "99f100" }, { "0-5V", 3, "99f60" }, { "0-10V", 7, "99f70" }, { "4-20", 12, "99f0" },
        { "", 3, "99f0" } };
    for (const auto &r : rows)
        EXPECT_EQ(CalibrationLogic::testCommand(r.caption, r.level), r.command)
            << r.caption << " " << r.level;
    for (const qint16 type : { 0, 1, 2 }) {
        const auto levels = CalibrationLogic::levelsFor(type);
        ASSERT_TRUE(levels) << type;
        EXPECT_EQ(CalibrationLogic::minLevelFor(levels->outputCaption), levels->minimum);
        EXPECT_EQ(CalibrationLogic::maxLevelFor(levels->outputCaption), levels->maximum);
    }
    EXPECT_FALSE(CalibrationLogic::levelsFor(3));
    EXPECT_FALSE(CalibrationLogic::minLevelFor(QStringLiteral("Label1")));
}

TEST(CalibrationLevels, DacRangeIncludesBothLimitsAndReplyNumbersNeverOverflow)
{
    const IntItem item { 13, 100, 4095, QStringLiteral("i"), 0 };
    for (const double v : { 99.0, 100.0, 4095.0, 4096.0, 999999.0 })
        EXPECT_EQ(CalibrationLogic::accepts(item, v), v == 100 || v == 4095) << v;
    const std::pair<const char *, int> replies[]
        = { { "NoRsp", 0 }, { "12.5", 12 }, { "1E300", 2147483647 }, { "-1E300", -2147483647 - 1 } };
    for (const auto &[reply, number] : replies)
        EXPECT_EQ(CalibrationLogic::upDownNumber(reply), number) << reply; // halves to even
}

struct LogicFixture : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    FakeSender device { state };
    CalibrationLogic logic { state, dialogs, device.sender() };
};

TEST_F(LogicFixture, AReplyBeyondSixteenBitsKeepsTheLastValueAndAnUnknownTypeTheDesignedCaption)
{
    state.MinDacItem = IntItem { 13, 0, 4095, QStringLiteral("i"), 321 };
    state.OutputType = 7;
    device.reply = [](const QString &) { return QStringLiteral("70000"); };
    logic.Form_Load();
    EXPECT_EQ(state.MinDacItem.value, 321);
    EXPECT_EQ(logic.outputCaption(), QStringLiteral("4-20mA"));
}

TEST_F(LogicFixture, ClosingStoresEvenAfterAnEarlierFailure)
{
    state.CommAbort = true;
    logic.Form_Unload();
    EXPECT_EQ(device.sent, QStringList({ "W", "F" }));
}
