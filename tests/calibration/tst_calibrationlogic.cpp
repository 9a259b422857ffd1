#include <gtest/gtest.h>

#include <QSignalSpy>

#include "calibration/calibrationlogic.h"
#include "fakesender.h"
#include "support/fakeuserdialogs.h"

using End = CalibrationLogic::End;

namespace {

struct LogicFixture : ::testing::Test
{
    DeviceState state;
    FakeUserDialogs dialogs;
    FakeSender device{state};
    CalibrationLogic logic{state, dialogs, device.sender()};

    void SetUp() override
    {
        state.MinDacItem = IntItem{13, 100, 4095, QStringLiteral("i"), 0};
        state.MaxDacItem = IntItem{14, 0, 4095, QStringLiteral("i"), 0};
        device.reply = [](const QString &command) {
            if (command == QLatin1String("13i"))
                return QStringLiteral("800");
            if (command == QLatin1String("14i"))
                return QStringLiteral("4000");
            return FakeSender::echoValue(command);
        };
    }
};

} // namespace

TEST(CalibrationLevels, TestCommandFollowsTheOutputCaption)
{
    struct Row
    {
        const char *caption;
        int level;
        const char *command;
    };
    const Row rows[] = {
        {"4-20mA", 4, "99f0"},    {"4-20mA", 5, "99f6.25"}, {"4-20mA", 6, "99f12.5"},
        {"4-20mA", 12, "99f50"},  {"4-20mA", 20, "99f100"}, {"0-5V", 3, "99f60"},
        {"0-5V", 5, "99f100"},    {"0-10V", 7, "99f70"},    {"0-10V", 10, "99f100"},
        {"4-20", 12, "99f0"},     {"", 3, "99f0"},
    };
    for (const Row &r : rows)
        EXPECT_EQ(CalibrationLogic::testCommand(QString::fromLatin1(r.caption), r.level),
                  QString::fromLatin1(r.command))
            << r.caption << " " << r.level;
}

TEST(CalibrationLevels, OutputTypesGiveCaptionsAndTestRange)
{
    struct Row
    {
        qint16 type;
        const char *low, *high, *output;
        int minimum, maximum, start;
    };
    const Row rows[] = {
        {0, "4mA", "20mA", "4-20mA", 4, 20, 4},
        {1, "0V", "5V", "0-5V", 0, 5, 0},
        {2, "0V", "10V", "0-10V", 0, 10, 0},
    };
    for (const Row &r : rows) {
        const auto levels = CalibrationLogic::levelsFor(r.type);
        ASSERT_TRUE(levels) << r.type;
        EXPECT_EQ(levels->lowCaption, QLatin1String(r.low));
        EXPECT_EQ(levels->highCaption, QLatin1String(r.high));
        EXPECT_EQ(levels->outputCaption, QLatin1String(r.output));
        EXPECT_EQ(levels->minimum, r.minimum);
        EXPECT_EQ(levels->maximum, r.maximum);
        EXPECT_EQ(levels->start, r.start);
        // Min and Max drive the output to the ends of the same range.
        EXPECT_EQ(CalibrationLogic::minLevelFor(levels->outputCaption), r.minimum);
        EXPECT_EQ(CalibrationLogic::maxLevelFor(levels->outputCaption), r.maximum);
    }
    EXPECT_FALSE(CalibrationLogic::levelsFor(3));
    EXPECT_FALSE(CalibrationLogic::levelsFor(-1));
    EXPECT_FALSE(CalibrationLogic::minLevelFor(QStringLiteral("Label1")));
    EXPECT_FALSE(CalibrationLogic::maxLevelFor(QString()));
}

TEST(CalibrationLevels, DacRangeIncludesBothLimits)
{
    const IntItem item{13, 100, 4095, QStringLiteral("i"), 0};
    struct Row
    {
        double value;
        bool accepted;
    };
    const Row rows[] = {{99, false}, {100, true}, {512, true}, {4095, true}, {4096, false}, {0, false},
                        {999999, false}, {-100, false}};
    for (const Row &r : rows)
        EXPECT_EQ(CalibrationLogic::accepts(item, r.value), r.accepted) << r.value;
    EXPECT_EQ(CalibrationLogic::refusalText(item),
              QStringLiteral("Invalid entry, value must be between 100 and 4095"));
    EXPECT_EQ(CalibrationLogic::writeCommand(item, 512), QStringLiteral("13i512"));
}

TEST(CalibrationLevels, ReplyNumbersForTheUpDown)
{
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("800")), 800);
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("NoRsp")), 0);
    EXPECT_EQ(CalibrationLogic::upDownNumber(QString()), 0);
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("12.5")), 12); // halves to even
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("1E300")), 2147483647);
    EXPECT_EQ(CalibrationLogic::upDownNumber(QStringLiteral("-1E300")), -2147483647 - 1);
}

TEST_F(LogicFixture, LoadReadsBothEndsAndSendsNoTestLevel)
{
    state.OutputType = 1;
    QSignalSpy texts(&logic, &CalibrationLogic::dacTextSet);
    QSignalSpy levels(&logic, &CalibrationLogic::outputLevelsSet);
    logic.Form_Load();
    EXPECT_EQ(device.sent, QStringList({"13i", "14i"}));
    ASSERT_EQ(texts.count(), 2);
    EXPECT_EQ(texts.at(0).at(1).toString(), QStringLiteral("800"));
    EXPECT_EQ(texts.at(1).at(1).toString(), QStringLiteral("4000"));
    EXPECT_EQ(state.MinDacItem.value, 800);
    EXPECT_EQ(state.MaxDacItem.value, 4000);
    EXPECT_EQ(levels.count(), 1);
    EXPECT_EQ(logic.outputCaption(), QStringLiteral("0-5V"));
    EXPECT_FALSE(logic.FormLoading());
}

TEST_F(LogicFixture, UnknownOutputTypeKeepsTheDesignedCaptions)
{
    state.OutputType = 7;
    QSignalSpy levels(&logic, &CalibrationLogic::outputLevelsSet);
    logic.Form_Load();
    EXPECT_EQ(levels.count(), 0);
    EXPECT_EQ(logic.outputCaption(), QStringLiteral("4-20mA"));
}

TEST_F(LogicFixture, FailedReadShowsTheReplyTextAndStoresItsNumber)
{
    state.MinDacItem.value = 321;
    state.MaxDacItem.value = 654;
    device.reply = [](const QString &) { return QStringLiteral("NoRsp"); };
    QSignalSpy texts(&logic, &CalibrationLogic::dacTextSet);
    QSignalSpy upDowns(&logic, &CalibrationLogic::dacUpDownSet);
    logic.Form_Load();
    EXPECT_EQ(texts.at(0).at(1).toString(), QStringLiteral("NoRsp"));
    EXPECT_EQ(upDowns.at(0).at(1).toInt(), 0);
    EXPECT_EQ(state.MinDacItem.value, 0);
    EXPECT_EQ(state.MaxDacItem.value, 0);
}

TEST_F(LogicFixture, ReplyBeyondSixteenBitsKeepsTheLastValue)
{
    state.MinDacItem.value = 321;
    device.reply = [](const QString &) { return QStringLiteral("70000"); };
    logic.Form_Load();
    EXPECT_EQ(state.MinDacItem.value, 321);
}

TEST_F(LogicFixture, LoadLeavesALatchedFailureAlone)
{
    state.CommAbort = true;
    state.ReplyValue.clear();
    QSignalSpy texts(&logic, &CalibrationLogic::dacTextSet);
    logic.Form_Load();
    EXPECT_TRUE(device.sent.isEmpty());
    EXPECT_TRUE(state.CommAbort);
    EXPECT_EQ(texts.at(0).at(1).toString(), QString());
    // Changes of the DAC up-downs while loading must not clear the latch either.
    EXPECT_TRUE(state.CommAbort);
}

TEST_F(LogicFixture, AcceptedEntryIsWrittenWithoutSeparators)
{
    QSignalSpy upDowns(&logic, &CalibrationLogic::dacUpDownSet);
    logic.txtDAC_Change(End::Low, QStringLiteral("512"));
    EXPECT_EQ(device.sent, QStringList{"13i512"});
    EXPECT_EQ(state.MinDacItem.value, 512);
    ASSERT_EQ(upDowns.count(), 1);
    EXPECT_EQ(upDowns.at(0).at(1).toInt(), 512);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LogicFixture, RefusedEntryNamesTheLimitsAndRestoresTheLastValue)
{
    state.MaxDacItem.value = 4000;
    QSignalSpy texts(&logic, &CalibrationLogic::dacTextSet);
    logic.txtDAC_Change(End::High, QStringLiteral("4096"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Invalid entry, value must be between 0 and 4095"));
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Exclamation);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("QRX Programming Utility"));
    EXPECT_EQ(dialogs.messages[0].buttons, UserDialogs::Buttons::Ok);
    EXPECT_TRUE(device.sent.isEmpty());
    EXPECT_EQ(state.MaxDacItem.value, 4000);
    ASSERT_EQ(texts.count(), 1);
    EXPECT_EQ(texts.at(0).at(1).toString(), QStringLiteral("4000"));
}

TEST_F(LogicFixture, UpDownChangeClearsTheLatchAndWritesTheText)
{
    state.CommAbort = true;
    QSignalSpy texts(&logic, &CalibrationLogic::dacTextSet);
    logic.UpDownDAC_Change(End::Low, 801);
    EXPECT_FALSE(state.CommAbort);
    ASSERT_EQ(texts.count(), 1);
    EXPECT_EQ(texts.at(0).at(1).toString(), QStringLiteral("801"));
}

TEST_F(LogicFixture, TestLevelIsSentOnlyWhileShown)
{
    logic.UpDownTest_Change(12, false);
    EXPECT_TRUE(device.sent.isEmpty());
    state.CommAbort = true;
    QSignalSpy shown(&logic, &CalibrationLogic::testLevelShown);
    logic.UpDownTest_Change(12, true);
    EXPECT_EQ(device.sent, QStringList{"99f50"});
    EXPECT_EQ(shown.at(0).at(0).toString(), QStringLiteral("12"));
}

TEST_F(LogicFixture, ClosingStoresEvenAfterAnEarlierFailure)
{
    state.CommAbort = true;
    logic.Form_Unload();
    EXPECT_EQ(device.sent, QStringList({"W", "F"}));
}
