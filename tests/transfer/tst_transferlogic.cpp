#include <gtest/gtest.h>

#include <QStringList>

#include "link/devicestate.h"
#include "link/values.h"
#include "transfer/frequencydigits.h"
#include "transfer/itemcommands.h"
#include "transfer/progresscounter.h"

namespace {

QStringList percents(double points, int steps)
{
    ProgressCounter counter;
    counter.start(points);
    QStringList out;
    for (int i = 0; i < steps; ++i)
        out << ProgressCounter::percentText(counter.step());
    return out;
}

} // namespace

TEST(ProgressCounter, StepsInSinglePrecisionAndRoundHalvesToEven)
{
    EXPECT_EQ(percents(3, 15), (QStringList{"7%", "13%", "20%", "27%", "33%", "40%", "47%", "53%", "60%", "67%",
                                            "73%", "80%", "87%", "93%", "100%"}));
    EXPECT_EQ(percents(0, 9), (QStringList{"11%", "22%", "33%", "44%", "56%", "67%", "78%", "89%", "100%"}));
    // Ten points without the Specific Gravity: 28 of 29 steps leave the bar short of full.
    EXPECT_EQ(percents(10, 28).last(), "97%");
    // 100 / 8 = 12.5 exactly: halves go to the even neighbour (12, then 25, 38 ... 62, 75, 88, 100).
    ProgressCounter counter;
    counter.start(-0.5);
    EXPECT_EQ(counter.step(), 12);
    EXPECT_EQ(counter.step(), 25);
    EXPECT_EQ(counter.step(), 38);
    counter.step();
    EXPECT_EQ(counter.step(), 62);
}

TEST(ProgressCounter, AZeroDivisorFailsInsteadOfShowingNonsense)
{
    ProgressCounter counter;
    counter.start(-4.5); // 2n + 9 = 0
    EXPECT_THROW(counter.step(), Values::OverflowError);
}

TEST(ItemCommands, BodiesCarryCodeLetterAndPlainValueText)
{
    IntItem damping{11, 0, 99, QStringLiteral("i"), 5};
    RealItem flow{15, 0, 99999, QStringLiteral("f"), 2.5f};
    RealItem small{7, 0, 5, QStringLiteral("f"), 0.025f};
    RealItem big{9, 0, 1e7f, QStringLiteral("f"), 1000.0f};
    IntItem point{101, 0, 30000, QStringLiteral("i"), -1};
    IntItem unconfigured;
    EXPECT_EQ(ItemCommands::read(damping), "11i");
    EXPECT_EQ(ItemCommands::read(flow), "15f");
    EXPECT_EQ(ItemCommands::write(damping), "11i5");
    EXPECT_EQ(ItemCommands::write(damping, 3), "11i3");
    EXPECT_EQ(ItemCommands::write(flow), "15f2.5");
    EXPECT_EQ(ItemCommands::write(small), "7f0.025");
    EXPECT_EQ(ItemCommands::write(big), "9f1000");
    EXPECT_EQ(ItemCommands::write(point), "101i-1");
    EXPECT_EQ(ItemCommands::read(unconfigured), "0"); // no configuration line: code 0, no letter
}

TEST(FrequencyDigits, PadsToFourDigitsOrKeepsTheDisplay)
{
    const struct
    {
        const char *reply;
        const char *padded; // nullptr: the display keeps its digits
        const char *shown;
    } rows[] = {
        {"5", "0005", "0005"},       {"42", "0042", "0042"},   {"987", "0987", "0987"},
        {"12.5", "0012.5", "0012"},  {"0", "0000", "0000"},    {"1234", "1234", "1234"},
        {"9998.9", "9998.9", "9998"}, {"9999", nullptr, ""},   {"12000", nullptr, ""},
        {"NoRsp", nullptr, ""},      {"Inval", nullptr, ""},   {"", nullptr, ""},
        {"12a", nullptr, ""},
    };
    for (const auto &r : rows) {
        const std::optional<QString> padded = FrequencyDigits::padded(QString::fromLatin1(r.reply));
        if (!r.padded) {
            EXPECT_FALSE(padded.has_value()) << r.reply;
            continue;
        }
        ASSERT_TRUE(padded.has_value()) << r.reply;
        EXPECT_EQ(*padded, QString::fromLatin1(r.padded)) << r.reply;
        QString shown;
        for (int i = 0; i < 4; ++i)
            shown += FrequencyDigits::digit(*padded, i);
        EXPECT_EQ(shown, QString::fromLatin1(r.shown)) << r.reply;
    }
    EXPECT_EQ(FrequencyDigits::digit(QStringLiteral("12"), 3), ""); // short texts leave empty captions
}
