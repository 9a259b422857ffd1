#include <gtest/gtest.h>

#include "calibration/calibrationlogic.h"
#include "fakesender.h"
#include "support/fakeuserdialogs.h"

TEST(CalibrationLevels, TestCommandFollowsTheOutputCaption)
{
    const struct
    {
        const char *caption;
        int level;
        const char *command;
    } rows[] = {
        {"4-20mA", 4, "99f0"}, {"4-20mA", 5, "99f6.25"}, {"4-20mA", 6, "99f12.5"}, {"4-20mA", 20, "99f100"},
        {"0-5V", 3, "99f60"},  {"0-10V", 7, "99f70"},    {"4-20", 12, "99f0"},    {"", 3, "99f0"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(CalibrationLogic::testCommand(QString::fromLatin1(r.caption), r.level),
                  QString::fromLatin1(r.command))
            << r.caption << " " << r.level;
}

TEST(CalibrationLevels, MinAndMaxDriveTheEndsOfEachOutputType)
{
    for (const qint16 type : {0, 1, 2}) {
        const auto levels = CalibrationLogic::levelsFor(type);
        ASSERT_TRUE(levels) << type;
        EXPECT_EQ(CalibrationLogic::minLevelFor(levels->outputCaption), levels->minimum);
        EXPECT_EQ(CalibrationLogic::maxLevelFor(levels->outputCaption), levels->maximum);
        EXPECT_EQ(CalibrationLogic::percentFor(levels->outputCaption, levels->maximum), 100.0);
    }
    EXPECT_FALSE(CalibrationLogic::levelsFor(3));
    EXPECT_FALSE(CalibrationLogic::minLevelFor(QStringLiteral("Label1")));
    EXPECT_FALSE(CalibrationLogic::maxLevelFor(QString()));
}

TEST(CalibrationLevels, DacRangeIncludesBothLimits)
{
    const IntItem item{13, 100, 4095, QStringLiteral("i"), 0};
    const struct
    {
        double value;
        bool accepted;
    } rows[] = {{99, false}, {100, true}, {4095, true}, {4096, false}, {0, false}, {999999, false}};
    for (const auto &r : rows)
        EXPECT_EQ(CalibrationLogic::accepts(item, r.value), r.accepted) << r.value;
}

TEST(CalibrationLevels, ReplyNumbersForTheUpDownNeverOverflow)
{
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("NoRsp")), 0);
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("12.5")), 12); // halves to even
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("1E300")), 2147483647);
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("-1E300")), -2147483647 - 1);
}

struct LogicFixture : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    FakeSender device{state};
    CalibrationLogic logic{state, dialogs, device.sender()};
};

TEST_F(LogicFixture, ReplyBeyondSixteenBitsKeepsTheLastValue)
{
    state.MinDacItem = IntItem{13, 0, 4095, QStringLiteral("i"), 321};
    device.reply = [](const QString &) { return QStringLiteral("70000"); };
    logic.Form_Load();
    EXPECT_EQ(state.MinDacItem.value, 321);
}

TEST_F(LogicFixture, UnknownOutputTypeKeepsTheDesignedCaption)
{
    state.OutputType = 7;
    logic.Form_Load();
    EXPECT_EQ(logic.outputCaption(), QStringLiteral("4-20mA"));
}

TEST_F(LogicFixture, ClosingStoresEvenAfterAnEarlierFailure)
{
    state.CommAbort = true;
    logic.Form_Unload();
    EXPECT_EQ(device.sent, QStringList({"W", "F"}));
}
