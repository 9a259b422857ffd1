#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "deviceresponder.h"
#include "devicemodel.h"
#include "simoptions.h"
#include "trafficlog.h"

namespace {

ConfigRanges ranges(const char *text)
{
    ConfigRanges r;
    for (const QString &line : QString::fromLatin1(text).split(QLatin1Char('\n')))
        r.parseLine(line);
    return r;
}

const char *const kConfig = "[Dravion]\n"
                            "Version=-1, 2.10\n"
                            "Rate Units=3,0,2,Gal,Ltr,Bbl\n"
                            "K factor=9,1,50,100,500\n"
                            "Damping=11,0,40\n"
                            "Min Flow=15,0.5,10\n"
                            "Freq=101,0,5000\n"
                            "Flow=102,0,99\n"
                            "Cut=12,1\n";

TEST(DeviceModel, AnswersDravionCommands)
{
    DeviceModel m(DeviceModel::Family::Dravion, ranges(kConfig));
    const struct
    {
        const char *body;
        const char *reply;
    } rows[] = {
        {"V", "V2.10"},       {"I", "I0"},         {"W", "W"},          {"3i", "3i1"},
        {"3i2", "3i2"},       {"3i3", "E14"},      {"3i-1", "E13"},     {"3f", "E12"},
        {"3?", "E15"},        {"77i", "E11"},      {"1i", "E11"},       {"X", "E10"},
        {"", "E15"},          {"12", "E15"},       {"Wx", "E15"},       {"11ix", "E15"},
        {"9f60", "E14"},      {"8i1", "8i1"},      {"9f400", "9f400"},  {"9f60", "E13"}, // pair 2
        {"15f0.25", "E13"},   {"15f2.5", "15f2.500"}, {"15f3", "15f3"}, {"15f", "15f3"},
        {"119i5001", "E14"},  {"119i4000", "119i4000"}, {"120f98.5", "120f98.500"},
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

TEST(DeviceModel, StoreSurvivesARestart)
{
    QTemporaryDir dir;
    const QString state = dir.filePath("device.ini");
    {
        DeviceModel m;
        m.setStatePath(state);
        EXPECT_EQ(m.answer("11i9"), "11i9");
        EXPECT_EQ(m.answer("16f12.5"), "16f12.5");
        EXPECT_EQ(m.answer("W"), "W");
        EXPECT_EQ(m.answer("11i3"), "11i3"); // not stored
    }
    DeviceModel again;
    again.setStatePath(state);
    ASSERT_TRUE(again.loadState());
    EXPECT_EQ(again.answer("11i"), "11i9");
    EXPECT_EQ(again.answer("16f"), "16f12.5");
}

TEST(ConfigRanges, ReadsTheUtilitysLineFormat)
{
    const ConfigRanges r = ranges(kConfig);
    EXPECT_EQ(r.version(), "2.10");
    ASSERT_TRUE(r.range(11));
    EXPECT_EQ(r.range(11)->maximum, 40);
    EXPECT_EQ(r.range(9, 1)->minimum, 100);
    EXPECT_EQ(r.range(12)->minimum, 1); // a single value is both limits
    EXPECT_EQ(r.range(12)->maximum, 1);
    EXPECT_EQ(r.range(117)->maximum, 5000);
    EXPECT_EQ(r.range(118)->maximum, 99);
    EXPECT_EQ(r.range(4), nullptr);
}

TEST(DeviceResponder, InjectsFaultsDeterministically)
{
    SimOptions o;
    o.garble = 1.0;
    EXPECT_EQ(DeviceResponder(o).respond("\x02" "3i\r").frame, "\x02" "3i?1\r");
    o.garble = 0;
    o.wrongCode = 1.0;
    EXPECT_EQ(DeviceResponder(o).respond("\x02" "3i\r").frame, "\x02" "4i1\r");
    EXPECT_EQ(DeviceResponder(o).respond("\x02W\r").frame, "\x02" "F\r");
    o.wrongCode = 0;
    o.errorCode = 13;
    o.errorItem = "11";
    DeviceResponder err(o);
    EXPECT_EQ(err.respond("\x02" "11i5\r").frame, "\x02" "E13\r");
    EXPECT_EQ(err.respond("\x02" "3i\r").frame, "\x02" "3i1\r");
    EXPECT_EQ(err.model().value(11), 5.0); // the rejected write left the default
    o.errorCode = 0;
    o.vanishAfter = 1;
    DeviceResponder v(o);
    EXPECT_FALSE(v.respond("\x02" "3i\r").vanish);
    EXPECT_TRUE(v.respond("\x02" "3i\r").vanish);

    // The same seed gives the same faults.
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
    EXPECT_TRUE(first.contains("drop"));
    EXPECT_TRUE(first.contains("garble"));
    EXPECT_TRUE(first.contains(""));
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
    EXPECT_EQ(o->garble, 0.25);
    const auto again = SimOptions::parse(o->toArguments(), &error);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->toArguments(), o->toArguments());
    for (const QStringList &bad : {QStringList{"--family", "X"}, QStringList{"--error", "13"},
                                   QStringList{"--latency", "soon"}, QStringList{"stray"}})
        EXPECT_FALSE(SimOptions::parse(bad, &error)) << bad.join(' ').toStdString();
}

TEST(TrafficLog, MarksUpControlAndHighBytes)
{
    EXPECT_EQ(TrafficLog::markup("\x02" "3i\r\xe9\x7f"), "<STX>3i<CR><xE9><DEL>");
}

} // namespace
