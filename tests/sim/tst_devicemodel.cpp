#include <gtest/gtest.h>

#include "deviceresponder.h"
#include "devicemodel.h"
#include "simoptions.h"
#include "trafficlog.h"

namespace {

TEST(DeviceModel, AnswersDravionCommandsWithinTheConfiguredRanges)
{
    ConfigRanges ranges;
    for (const char *line : {"[Dravion]", "Version=-1, 2.10", "Rate Units=3,0,2,Gal,Ltr,Bbl", "Cut=4,1",
                             "Damping=11,0,40", "K factor=9,1,50,100,500", "Min Flow=15,0.5,10",
                             "Freq=101,0,5000", "Flow=102,0,99"})
        ranges.parseLine(line);
    DeviceModel m(DeviceModel::Family::Dravion, ranges);
    const struct { const char *body; const char *reply; } rows[] = {
        {"V", "V2.10"},       {"I", "I0"},         {"W", "W"},          {"3i", "3i1"},
        {"3i2", "3i2"},       {"3i3", "E14"},      {"3i-1", "E13"},     {"3f", "E12"},
        {"3?", "E15"},        {"77i", "E11"},      {"1i", "E11"},       {"X", "E10"},
        {"", "E15"},          {"12", "E15"},       {"Wx", "E15"},       {"11ix", "E15"},
        {"11i41", "E14"},     {"11i40", "11i40"},  {"4i0", "E13"},      {"4i2", "E14"}, // "4,1": both limits
        {"9f60", "E14"},      {"8i1", "8i1"},      {"9f400", "9f400"},  {"9f60", "E13"}, // pair 2
        {"15f0.25", "E13"},   {"15f2.5", "15f2.500"}, {"15f3", "15f3"}, {"15f", "15f3"},
        {"119i5001", "E14"},  {"119i4000", "119i4000"}, {"120f98.5", "120f98.500"}, {"118f99.5", "E14"},
        {"03i", "3i2"},       {"13i", "13i800"},   {"14i4100", "E14"},  {"99f50", "99f50"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(m.answer(r.body), QByteArray(r.reply)) << r.body;
    EXPECT_TRUE(QByteArray(m.answer("F")).startsWith('F'));
}

TEST(DeviceModel, KnowsTheMrItems)
{
    DeviceModel m(DeviceModel::Family::MR);
    for (int code : {1, 2, 5, 8, 12, 14, 15, 16, 17, 18, 19, 100, 101, 120})
        EXPECT_TRUE(m.hasItem(code)) << code;
    EXPECT_EQ(m.answer("0019i7"), "19i7"); // the password goes out with four digits
    EXPECT_EQ(m.answer("12f"), "12f0.025");
    EXPECT_EQ(m.answer("14i2"), "14i2");
    EXPECT_EQ(m.answer("14i3"), "E14");
    EXPECT_EQ(m.answer("9f"), "9f0");
}

TEST(DeviceResponder, InjectsEachFault)
{
    const struct
    {
        const char *options; // program arguments
        const char *command;
        const char *frame; // the reply with '<' for STX and '>' for CR, empty for none
        int delayMs;
        bool vanish;
    } rows[] = {
        {"--garble 1", "3i", "<3i?1>", 0, false},     {"--wrong-code 1", "3i", "<4i1>", 0, false},
        {"--wrong-code 1", "W", "<F>", 0, false},     {"--drop 1", "3i", "", 0, false},
        {"--silent", "3i", "", 0, false},             {"--delay 1 --delay-ms 650", "3i", "<3i1>", 650, false},
        {"--error 13:11", "11i5", "<E13>", 0, false}, {"--error 13:11", "3i", "<3i1>", 0, false},
        {"--vanish-after 0", "3i", "", 0, true},
    };
    for (const auto &r : rows) {
        QString error;
        const auto options = SimOptions::parse(QString(r.options).split(' '), &error);
        ASSERT_TRUE(options) << error.toStdString();
        DeviceResponder d(*options);
        const auto reply = d.respond("\x02" + QByteArray(r.command) + "\r");
        EXPECT_EQ(reply.frame, QByteArray(r.frame).replace('<', '\x02').replace('>', '\r')) << r.options;
        EXPECT_EQ(reply.delayMs, r.delayMs) << r.options;
        EXPECT_EQ(reply.vanish, r.vanish) << r.options;
        EXPECT_EQ(d.model().value(11), 5.0); // a rejected write leaves the default
    }
}

TEST(DeviceResponder, SameSeedGivesTheSameFaults)
{
    SimOptions mixed;
    mixed.drop = 0.3;
    mixed.garble = 0.3;
    mixed.seed = 42;
    const auto run = [&] {
        DeviceResponder d(mixed);
        QStringList faults;
        for (int i = 0; i < 40; ++i)
            faults << d.respond("\x02" "3i\r").fault;
        return faults;
    };
    const QStringList first = run();
    EXPECT_EQ(first, run());
    EXPECT_TRUE(first.contains("drop") && first.contains("garble") && first.contains(""));
}

TEST(SimOptions, ParsesAndReproducesTheCommandLine)
{
    QString error;
    const auto o = SimOptions::parse({"--family", "MR", "--latency", "5", "--no-pacing", "--error", "13:11",
                                      "--vanish-after", "3", "--seed", "7", "--garble", "0.25"},
                                     &error);
    ASSERT_TRUE(o) << error.toStdString();
    EXPECT_EQ(o->family, "MR");
    EXPECT_EQ(o->latencyMs, 5);
    EXPECT_FALSE(o->pacing);
    EXPECT_EQ(o->errorCode, 13);
    EXPECT_EQ(o->errorItem, "11");
    EXPECT_EQ(o->vanishAfter, 3);
    EXPECT_EQ(o->seed, 7u);
    EXPECT_EQ(o->garble, 0.25);
    EXPECT_EQ(SimOptions::parse(o->toArguments(), &error)->toArguments(), o->toArguments());
    for (const QStringList &bad : {QStringList{"--family", "X"}, QStringList{"--error", "13"},
                                   QStringList{"--latency", "soon"}, QStringList{"stray"}})
        EXPECT_FALSE(SimOptions::parse(bad, &error)) << bad.join(' ').toStdString();
}

TEST(TrafficLog, MarksUpControlAndHighBytes)
{
    EXPECT_EQ(TrafficLog::markup("\x02" "3i\r\xe9\x7f"), "<STX>3i<CR><xE9><DEL>");
}

} // namespace
