#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include "datafile/datafilereader.h"
#include "datafile/datafilewriter.h"
#include "link/devicestate.h"

namespace {

const QChar Dot = QLatin1Char('.');
const QChar Comma = QLatin1Char(',');

// The records as the configuration load leaves them, with a setup typed in.
DeviceState dravionSetup()
{
    DeviceState s;
    IntItem *ints[] = {&s.RateUnitsItem, &s.RateIntervalItem, &s.KfactorUnitsItem, &s.DampingItem, &s.LinearPtsItem};
    const qint16 intCodes[] = {3, 4, 8, 11, 100};
    for (int i = 0; i < 5; ++i)
        ints[i]->code = intCodes[i];
    s.SpgItem.code = 7;
    s.KfactorItems[0].code = s.KfactorItems[1].code = 9;
    s.FlowLowItem.code = 15;
    s.FlowHiItem.code = 16;
    for (int i = 0; i < 10; ++i) {
        s.LinFreqItems[i] = {qint16(101 + 2 * i), 0, 0, QStringLiteral("i"), -1};
        s.LinFlowItems[i] = {qint16(102 + 2 * i), 0, 0, QStringLiteral("f"), -1.0f};
    }
    s.RateUnits = 2;
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

std::string dravionFile(const DeviceState &s, int kfactorUnits, const char *points, QChar point = Dot)
{
    const auto entries = DataFileWriter::dravionEntries(s, kfactorUnits, QString::fromLatin1(points), point);
    return entries ? DataFileWriter::toBytes(*entries).toStdString() : "<failed>";
}

} // namespace

TEST(DataFileWriter, WritesTheDravionSetByteForByte)
{
    DeviceState s = dravionSetup();
    const std::string head = "Parameter <Equals> Value\r\n3=2\r\n4=0\r\n8=1\r\n";
    const std::string tail = "11=5\r\n15=0.025\r\n16=1234567\r\n100=3\r\n7=1\r\n";
    EXPECT_EQ(dravionFile(s, 1, "3"), head + "9=7.25\r\n" + tail +
              "101=100\r\n102=1.5\r\n103=-1\r\n104=-1\r\n105=31999\r\n106=1E-07\r\n");
    EXPECT_EQ(dravionFile(s, 0, ""), head + "9=12.5\r\n" + tail);
    // The list's own selection decides whether the K factor is written, not the stored index.
    EXPECT_EQ(dravionFile(s, -1, "1.4"), head + tail + "101=100\r\n102=1.5\r\n");
    EXPECT_EQ(dravionFile(s, 2, "0"), head + tail);
    EXPECT_EQ(dravionFile(s, 0, "", Comma), head + "9=12,5\r\n11=5\r\n15=0,025\r\n16=1234567\r\n100=3\r\n7=1\r\n");
    EXPECT_EQ(dravionFile(s, -1, "11").substr(dravionFile(s, -1, "10").size()), "0=0\r\n0=0\r\n");
    for (const char *count : {"12", "999", "40000"})
        EXPECT_EQ(dravionFile(s, -1, count), "<failed>") << count;
    s.SpgItem.code = 0; // its configuration line was missing
    EXPECT_EQ(dravionFile(s, -1, ""), head + "11=5\r\n15=0.025\r\n16=1234567\r\n100=3\r\n0=1\r\n");
}

TEST(DataFileWriter, WritesTheMrSetInItsOrder)
{
    DeviceState s;
    IntItem *ints[] = {&s.DisplayModeItem, &s.RateUnitsItem, &s.RateIntervalItem, &s.TotalUnitsItem, &s.DisplayExpItem,
                       &s.MeterTypeItem, &s.DampingItem, &s.OutputModeItem, &s.PasswordItem, &s.LinearPtsItem};
    RealItem *reals[] = {&s.SpgItem, &s.ScaleFactorItem, &s.PressureCompItem, &s.TempCompItem,
                         &s.SpgCompItem, &s.LowFlowCutoffItem, &s.FlowLowItem, &s.FlowHiItem};
    for (qint16 i = 0; i < 10; ++i)
        ints[i]->value = i;
    for (int i = 0; i < 8; ++i)
        reals[i]->value = 0.5f + float(i);
    const auto entries = DataFileWriter::mrEntries(s, QStringLiteral("0"), Dot);
    ASSERT_TRUE(entries);
    QStringList values;
    for (const auto &e : *entries)
        values << e.value;
    EXPECT_EQ(values.join(QLatin1Char(' ')), "0 1 2 3 4 0.5 1.5 5 2.5 3.5 4.5 5.5 6 7 6.5 7.5 8 9");
}

TEST(DataFileReader, JudgesEachLine)
{
    const struct { const char *line; bool isEntry; const char *name, *value; bool sound; } rows[] = {
        {"Parameter <Equals> Value", false, "", "", false}, {"3=2", true, "3", "2", true},
        {"  9  = 12.5 ", true, "9", " 12.5 ", true},         {"3=", true, "3", "", true},
        {"=5", true, "", "5", true},                        {"9=1.5E3", true, "9", "1.5E3", true},
        {"9=1,5", true, "9", "1,5", false},                 {"word=1", true, "word", "1", false},
        {"3=abc", true, "3", "abc", false},                 {"3=1=2", true, "3", "1=2", false},
    };
    for (const auto &r : rows) {
        const auto lines = DataFileReader::parse(QByteArray(r.line), Dot);
        ASSERT_EQ(lines.size(), 1u) << r.line;
        EXPECT_EQ(lines[0].isEntry, r.isEntry) << r.line;
        EXPECT_EQ(lines[0].name, QString::fromLatin1(r.name)) << r.line;
        EXPECT_EQ(lines[0].value, QString::fromLatin1(r.value)) << r.line;
        EXPECT_EQ(lines[0].sound, r.sound) << r.line;
    }
    // Under a comma locale both separators are accepted, so files from either locale open.
    EXPECT_TRUE(DataFileReader::parse("9=1,5", Comma)[0].sound);
    EXPECT_TRUE(DataFileReader::parse("9=1.5", Comma)[0].sound);
    const auto lines = DataFileReader::parse("H\r\n3=1\r4=2\n\n7=3\r\n", Dot);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2].value + lines[4].name, "27");
}

TEST(DataFileReader, SelectionIndexRoundsHalvesToEvenAndStaysInTheList)
{
    const struct { const char *value; int count; std::optional<int> expected; } rows[] = {
        {"1.5", 3, 2}, {"2.5", 3, 2}, {"0.5", 3, 0}, {"", 3, 0}, {" 1", 3, 1}, {"-1", 3, -1}, {"-1", 0, -1},
        {"-2", 3, std::nullopt}, {"3", 3, std::nullopt}, {"40000", 3, std::nullopt}, {"1E400", 3, std::nullopt},
    };
    for (const auto &r : rows)
        EXPECT_EQ(DataFileReader::selectionIndex(QString::fromLatin1(r.value), r.count, Dot), r.expected) << r.value;
    EXPECT_EQ(DataFileReader::selectionIndex(QStringLiteral("1,5"), 3, Comma), 2);
}

TEST(DataFileReader, FieldAndPasswordTexts)
{
    const struct { const char *value; QChar point; const char *field, *password; } rows[] = {
        {"1.5E3", Dot, "1.5E3", "1500"}, {" 2.5", Dot, " 2.5", "0003"}, {"2,5", Comma, "2.5", "0003"},
        {"1.5", Comma, "1.5", "0002"},   {"7", Dot, "7", "0007"},       {"12345", Dot, "12345", "12345"},
        {"", Dot, "", ""},               {"-7", Dot, "-7", "-0007"},
    };
    for (const auto &r : rows) {
        const QString value = QString::fromLatin1(r.value);
        EXPECT_EQ(DataFileReader::fieldText(value, r.point), QString::fromLatin1(r.field)) << r.value;
        EXPECT_EQ(DataFileReader::passwordText(value, r.point), QString::fromLatin1(r.password)) << r.value;
    }
}

TEST(DataFileWriter, SaveReachesFilesTheUserMayOnlyOverwriteAndFollowsLinks)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    ASSERT_TRUE(d.mkdir("locked") && d.mkdir("real"));
    for (const char *name : {"locked/setup.dat", "real/setup.dat"}) {
        QFile f(d.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("old\r\n") == 5);
        f.setPermissions(QFile::Permissions(0x6666)); // everyone may overwrite it
    }
    ASSERT_TRUE(QFile::link(d.filePath("real/setup.dat"), d.filePath("link.dat")));
    QFile::setPermissions(dir.path(), QFile::Permissions(0x7755));
    QFile::setPermissions(d.filePath("real"), QFile::Permissions(0x7777));
    QFile::setPermissions(d.filePath("locked"), QFile::Permissions(0x5555)); // nothing new may be created

    const QByteArray bytes = "Parameter <Equals> Value\r\n11=5\r\n";
    const struct { const char *saved, *written; } rows[] = {{"locked/setup.dat", "locked/setup.dat"},
                                                           {"link.dat", "real/setup.dat"}};
    for (const auto &r : rows) {
        bool saved = false;
        if (geteuid() == 0) {
            // Root ignores folder permissions: save as an unprivileged user, or the row proves nothing.
            const pid_t child = fork();
            if (child == 0)
                _exit(setgid(65534) == 0 && setuid(65534) == 0 && DataFileWriter::save(d.filePath(r.saved), bytes) ? 0 : 1);
            int status = -1;
            waitpid(child, &status, 0);
            saved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        } else {
            saved = DataFileWriter::save(d.filePath(r.saved), bytes);
        }
        EXPECT_TRUE(saved) << r.saved;
        QFile f(d.filePath(r.written));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes) << r.saved;
    }
    EXPECT_TRUE(QFileInfo(d.filePath("link.dat")).isSymLink());
    EXPECT_EQ(QDir(d.filePath("locked")).entryList(QDir::Files), QStringList{"setup.dat"});
    QFile::setPermissions(d.filePath("locked"), QFile::Permissions(0x7755)); // so the folder can be removed
}
