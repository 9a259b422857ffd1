#include <gtest/gtest.h>

#include "datafile/datafilereader.h"
#include "datafile/datafiletargets.h"
#include "datafile/datafilewriter.h"
#include "link/devicestate.h"

namespace {

const QChar Dot = QLatin1Char('.');
const QChar Comma = QLatin1Char(',');

// The records as the configuration load leaves them, with a setup typed in.
DeviceState dravionSetup()
{
    DeviceState s;
    s.RateUnitsItem.code = 3;
    s.RateIntervalItem.code = 4;
    s.SpgItem.code = 7;
    s.KfactorUnitsItem.code = 8;
    s.KfactorItems[0].code = 9;
    s.KfactorItems[1].code = 9;
    s.DampingItem.code = 11;
    s.FlowLowItem.code = 15;
    s.FlowHiItem.code = 16;
    s.LinearPtsItem.code = 100;
    for (int i = 0; i < 10; ++i) {
        s.LinFreqItems[i].code = qint16(101 + 2 * i);
        s.LinFreqItems[i].value = -1;
        s.LinFlowItems[i].code = qint16(102 + 2 * i);
        s.LinFlowItems[i].value = -1.0f;
    }
    s.RateUnits = 2;
    s.RateInterval = 0;
    s.KfactorUnits = 1;
    s.KfactorItems[0].value = 12.5f;
    s.KfactorItems[1].value = 7.25f; // differs from entry 0 to show which record is written
    s.DampingItem.value = 5;
    s.FlowLowItem.value = 0.025f;
    s.FlowHiItem.value = 1234567.0f;
    s.LinearPtsItem.value = 3;
    s.SpgItem.value = 1.0f;
    s.LinFreqItems[0].value = 100;
    s.LinFlowItems[0].value = 1.5f;
    s.LinFreqItems[2].value = 31999;
    s.LinFlowItems[2].value = 1e-7f;
    return s;
}

QByteArray dravionBytes(const DeviceState &s, int kfactorUnits, const char *points, QChar point = Dot)
{
    const auto entries = DataFileWriter::dravionEntries(s, kfactorUnits, QString::fromLatin1(points), point);
    return entries ? DataFileWriter::toBytes(*entries) : QByteArray("<failed>");
}

} // namespace

TEST(DataFileWriter, WritesTheDravionSetByteForByte)
{
    const DeviceState s = dravionSetup();
    EXPECT_EQ(dravionBytes(s, 1, "3"),
              QByteArray("Parameter <Equals> Value\r\n3=2\r\n4=0\r\n8=1\r\n9=7.25\r\n11=5\r\n15=0.025\r\n"
                         "16=1234567\r\n100=3\r\n7=1\r\n101=100\r\n102=1.5\r\n103=-1\r\n104=-1\r\n"
                         "105=31999\r\n106=1E-07\r\n"));
}

TEST(DataFileWriter, KfactorAndPointVariants)
{
    DeviceState s = dravionSetup();
    const QByteArray head = "Parameter <Equals> Value\r\n3=2\r\n4=0\r\n8=1\r\n";
    const QByteArray tail = "11=5\r\n15=0.025\r\n16=1234567\r\n100=3\r\n7=1\r\n";
    EXPECT_EQ(dravionBytes(s, 0, ""), head + "9=12.5\r\n" + tail);
    // The list's own selection decides, not the stored index.
    EXPECT_EQ(dravionBytes(s, -1, ""), head + tail);
    EXPECT_EQ(dravionBytes(s, 2, "0"), head + tail);
    EXPECT_EQ(dravionBytes(s, -1, "1.4"), head + tail + "101=100\r\n102=1.5\r\n");
    EXPECT_TRUE(dravionBytes(s, -1, "11").endsWith("119=-1\r\n120=-1\r\n0=0\r\n0=0\r\n"));
    EXPECT_EQ(dravionBytes(s, 0, "", Comma), head + "9=12,5\r\n" + "11=5\r\n15=0,025\r\n16=1234567\r\n100=3\r\n7=1\r\n");
    s.SpgItem.code = 0; // its configuration line was missing
    EXPECT_TRUE(dravionBytes(s, -1, "").endsWith("100=3\r\n0=1\r\n"));
}

TEST(DataFileWriter, RefusesCountsPastThePointTables)
{
    const DeviceState s = dravionSetup();
    for (const char *count : {"12", "999", "40000", "1E9"})
        EXPECT_FALSE(DataFileWriter::dravionEntries(s, 0, QString::fromLatin1(count), Dot)) << count;
    EXPECT_EQ(DataFileWriter::pointCount(QStringLiteral("11")), 11);
    EXPECT_EQ(DataFileWriter::pointCount(QString()), 0);
}

TEST(DataFileWriter, WritesTheMrSetInItsOrder)
{
    DeviceState s;
    IntItem *ints[] = {&s.DisplayModeItem, &s.RateUnitsItem, &s.RateIntervalItem, &s.TotalUnitsItem,
                       &s.DisplayExpItem, &s.MeterTypeItem, &s.DampingItem, &s.OutputModeItem,
                       &s.PasswordItem, &s.LinearPtsItem};
    const qint16 intCodes[] = {1, 2, 3, 4, 5, 8, 13, 14, 19, 100};
    for (int i = 0; i < 10; ++i) {
        ints[i]->code = intCodes[i];
        ints[i]->value = qint16(i);
    }
    RealItem *reals[] = {&s.SpgItem, &s.ScaleFactorItem, &s.PressureCompItem, &s.TempCompItem,
                         &s.SpgCompItem, &s.LowFlowCutoffItem, &s.FlowLowItem, &s.FlowHiItem};
    const qint16 realCodes[] = {6, 7, 9, 10, 11, 12, 17, 18};
    for (int i = 0; i < 8; ++i) {
        reals[i]->code = realCodes[i];
        reals[i]->value = 0.5f + float(i);
    }
    s.LinFreqItems[0] = {101, 0, 0, QStringLiteral("i"), 40};
    s.LinFlowItems[0] = {102, 0, 0, QStringLiteral("f"), 0.75f};
    const auto entries = DataFileWriter::mrEntries(s, QStringLiteral("1"), Dot);
    ASSERT_TRUE(entries);
    EXPECT_EQ(DataFileWriter::toBytes(*entries),
              QByteArray("Parameter <Equals> Value\r\n1=0\r\n2=1\r\n3=2\r\n4=3\r\n5=4\r\n6=0.5\r\n7=1.5\r\n8=5\r\n"
                         "9=2.5\r\n10=3.5\r\n11=4.5\r\n12=5.5\r\n13=6\r\n14=7\r\n17=6.5\r\n18=7.5\r\n19=8\r\n"
                         "100=9\r\n101=40\r\n102=0.75\r\n"));
}

TEST(DataFileReader, JudgesEachLine)
{
    const struct {
        const char *line;
        bool isEntry;
        const char *name;
        const char *value;
        bool sound;
    } rows[] = {
        {"Parameter <Equals> Value", false, "", "", false},
        {"3=2", true, "3", "2", true},
        {"  9  = 12.5 ", true, "9", " 12.5 ", true},
        {"3=", true, "3", "", true},
        {"=5", true, "", "5", true},
        {"=", true, "", "", true},
        {"9=1.5E3", true, "9", "1.5E3", true},
        {"9=1,5", true, "9", "1,5", false}, // a comma is no separator under a "." locale
        {"word=1", true, "word", "1", false},
        {"3=abc", true, "3", "abc", false},
        {"3=1=2", true, "3", "1=2", false},
        {"3=-1", true, "3", "-1", true},
        {"", false, "", "", false},
    };
    for (const auto &r : rows) {
        const auto lines = DataFileReader::parse(QByteArray(r.line), Dot);
        if (!*r.line) {
            EXPECT_TRUE(lines.empty());
            continue;
        }
        ASSERT_EQ(lines.size(), 1u) << r.line;
        const DataFileReader::Line &l = lines[0];
        EXPECT_EQ(l.isEntry, r.isEntry) << r.line;
        EXPECT_EQ(l.name, QString::fromLatin1(r.name)) << r.line;
        EXPECT_EQ(l.value, QString::fromLatin1(r.value)) << r.line;
        EXPECT_EQ(l.sound, r.sound) << r.line;
    }
    // Under a comma locale both separators are accepted, so files from either locale open.
    EXPECT_TRUE(DataFileReader::parse("9=1,5", Comma)[0].sound);
    EXPECT_TRUE(DataFileReader::parse("9=1.5", Comma)[0].sound);
}

TEST(DataFileReader, SplitsLinesAtAnyLineEnd)
{
    const auto lines = DataFileReader::parse("H\r\n3=1\r4=2\n\n7=3\r\n", Dot);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1].value, QStringLiteral("1"));
    EXPECT_EQ(lines[2].value, QStringLiteral("2"));
    EXPECT_FALSE(lines[3].isEntry);
    EXPECT_EQ(lines[4].name, QStringLiteral("7"));
    EXPECT_EQ(lines[4].number, 5);
}

TEST(DataFileReader, SelectionIndexRoundsHalvesToEvenAndStaysInTheList)
{
    const struct {
        const char *value;
        int count;
        std::optional<int> expected;
    } rows[] = {
        {"1.5", 3, 2}, {"2.5", 3, 2}, {"0.5", 3, 0}, {"", 3, 0}, {" 1", 3, 1}, {"-1", 3, -1},
        {"-2", 3, std::nullopt}, {"3", 3, std::nullopt}, {"99", 3, std::nullopt},
        {"40000", 3, std::nullopt}, {"1E400", 3, std::nullopt}, {"0", 0, std::nullopt}, {"-1", 0, -1},
    };
    for (const auto &r : rows)
        EXPECT_EQ(DataFileReader::selectionIndex(QString::fromLatin1(r.value), r.count, Dot), r.expected) << r.value;
    EXPECT_EQ(DataFileReader::selectionIndex(QStringLiteral("1,5"), 3, Comma), 2);
}

TEST(DataFileReader, FieldAndPasswordTexts)
{
    const struct {
        const char *value;
        QChar point;
        const char *field;
        const char *password;
    } rows[] = {
        {"1.5E3", Dot, "1.5E3", "1500"}, {" 2.5", Dot, " 2.5", "0003"}, {"2,5", Comma, "2.5", "0003"},
        {"1.5", Comma, "1.5", "0002"}, {"7", Dot, "7", "0007"}, {"123", Dot, "123", "0123"},
        {"12345", Dot, "12345", "12345"}, {"0", Dot, "0", "0000"}, {"", Dot, "", ""}, {"-7", Dot, "-7", "-0007"},
    };
    for (const auto &r : rows) {
        const QString value = QString::fromLatin1(r.value);
        EXPECT_EQ(DataFileReader::fieldText(value, r.point), QString::fromLatin1(r.field)) << r.value;
        EXPECT_EQ(DataFileReader::passwordText(value, r.point), QString::fromLatin1(r.password)) << r.value;
    }
}

TEST(DataFileTargets, CodeTablesOfBothFamilies)
{
    using DataFileTargets::Kind;
    const struct {
        const char *family;
        double code;
        std::optional<Kind> kind;
        const char *control;
    } rows[] = {
        {"Dravion", 3, Kind::Selection, "cboRateUnits"}, {"Dravion", 8, Kind::Selection, "cboKfactorUnits"},
        {"Dravion", 9, Kind::Text, "txtKfactor"}, {"Dravion", 7, Kind::Text, "txtSpg"},
        {"Dravion", 101, Kind::PointFrequency, "txtFreq0"}, {"Dravion", 120, Kind::PointCoefficient, "txtCoef9"},
        {"Dravion", 13, std::nullopt, ""}, {"Dravion", 14, std::nullopt, ""}, {"Dravion", 0, std::nullopt, ""},
        {"Dravion", 1, std::nullopt, ""}, {"Dravion", 3.5, std::nullopt, ""}, {"Dravion", 121, std::nullopt, ""},
        {"MR", 19, Kind::Password, "txtPassword"}, {"MR", 1, Kind::Selection, "cboDisplayMode"},
        {"MR", 14, Kind::Selection, "cboOutputMode"}, {"MR", 12, Kind::Text, "txtLowFlowCutoff"},
        {"MR", 106, Kind::PointCoefficient, "txtCoef2"}, {"MR", 15, std::nullopt, ""}, {"MR", 16, std::nullopt, ""},
    };
    for (const auto &r : rows) {
        const auto t = DataFileTargets::lookup(QString::fromLatin1(r.family), r.code);
        ASSERT_EQ(t.has_value(), r.kind.has_value()) << r.family << " " << r.code;
        if (!t)
            continue;
        EXPECT_EQ(t->kind, *r.kind) << r.code;
        EXPECT_EQ(t->control, QString::fromLatin1(r.control)) << r.code;
    }
}
