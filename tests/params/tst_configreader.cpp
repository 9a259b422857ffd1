#include <gtest/gtest.h>

#include <map>
#include <random>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "link/devicestate.h"
#include "params/configreader.h"

using Family = ConfigReader::Family;

namespace {

ConfigReadResult readText(const QByteArray &text, DeviceState &state, Family family = Family::Dravion)
{
    QBuffer buffer;
    buffer.setData(text);
    return ConfigReader::read(buffer, family, state);
}

// Code, limits, type letter (and for the point tables the value) of a record named in a test row.
QString describe(const DeviceState &s, const QString &name)
{
    auto text = [](const auto &r) { return QStringLiteral("%1 %2..%3 %4").arg(r.code).arg(r.minimum).arg(r.maximum).arg(r.typeLetter); };
    const std::map<QString, QString> all{
        {"Damping", text(s.DampingItem)}, {"Spg", text(s.SpgItem)}, {"MinDac", text(s.MinDacItem)},
        {"Kfactor0", text(s.KfactorItems[0])}, {"Kfactor1", text(s.KfactorItems[1])},
        {"PressureComp", text(s.PressureCompItem)}, {"Version", s.ConfigVersion},
        {"LinFreq9", text(s.LinFreqItems[9]) + QStringLiteral(" =%1").arg(s.LinFreqItems[9].value)},
        {"LinFlow9", text(s.LinFlowItems[9]) + QStringLiteral(" =%1").arg(s.LinFlowItems[9].value)},
    };
    return all.at(name);
}

} // namespace

TEST(ConfigReader, LinesFillTheirRecords)
{
    const struct { const char *line; Family family; const char *record; const char *expected; bool syntaxError; } rows[] = {
        {"Damping=11,0,99", Family::Dravion, "Damping", "11 0..99 i", false},
        {"Damping=11,5", Family::Dravion, "Damping", "11 5..5 i", false},
        {"Damping=11,1.5,2.5", Family::Dravion, "Damping", "11 2..2 i", false}, // halves to even
        {"Damping=11,x,5", Family::Dravion, "Damping", "11 0..5 i", true},      // flagged, applied anyway
        {"Damping=11,", Family::Dravion, "Damping", "0 0..0 ", false},
        {"Damping=11,3,", Family::Dravion, "Damping", "0 0..0 ", false},
        {"Name=abc,1,2", Family::Dravion, "Damping", "0 0..0 ", false},
        {"Title=Setup values", Family::Dravion, "Damping", "0 0..0 ", true},
        {"Spg=7,0.5,2.5", Family::Dravion, "Spg", "7 0.5..2.5 f", false},
        {"K factor=9,1,50", Family::Dravion, "Kfactor1", "9 1..50 f", false},
        {"K factor=9,1,50,5", Family::Dravion, "Kfactor1", "9 1..5 f", false},
        {"K factor=9,1,50,2,100", Family::Dravion, "Kfactor1", "9 2..100 f", false},
        {"Freq=101,0,30000", Family::Dravion, "LinFreq9", "119 0..30000 i =-1", false},
        {"Flow=102,0,99.5", Family::Dravion, "LinFlow9", "120 0..99.5 f =-1", false},
        {"Version=-1, 2.10 beta ", Family::Dravion, "Version", "2.10 beta", false},
        {"Pressure=9,1,50,5", Family::MR, "PressureComp", "9 1..50 f", false}, // one pair outside Dravion
        {"Damping=13,0,99", Family::MR, "Damping", "13 0..99 i", false},
        {"Damping=13,0,99", Family::Dravion, "MinDac", "13 0..99 i", false},
    };
    for (const auto &r : rows) {
        DeviceState state;
        const ConfigReadResult result = readText(r.line, state, r.family);
        EXPECT_FALSE(result.readError) << r.line;
        EXPECT_EQ(result.syntaxError, r.syntaxError) << r.line;
        EXPECT_EQ(describe(state, QString::fromLatin1(r.record)), QString::fromLatin1(r.expected)) << r.line;
    }
}

TEST(ConfigReader, ListTextsBecomeListEntries)
{
    const struct { const char *text; Family family; int code; const char *expected; } rows[] = {
        {"Rate Units=3,0,2,A,B,C", Family::Dravion, 3, "A|B|C"},
        {"Rate Units=3,0,2,A,B", Family::Dravion, 3, "A|B"},       // one short
        {"Rate Units=3,0,1,A,B,C", Family::Dravion, 3, "A|B|B,C"}, // one too many
        {"Rate Units=3,0,-1,A,B", Family::Dravion, 3, ""},
        {"Rate Units=3,0,2", Family::Dravion, 3, "2"},              // the maximum is also the list text
        {"R=3,0,1,A,B\r\nR=3,0,1,C,D", Family::Dravion, 3, "A|B|C|D"}, // named twice: both lists
        {"R=4,0,1,Sec,Min\rK=8,0,1,P/G,P/L\n", Family::Dravion, 8, "P/G|P/L"},
        {"Output=14,0,2,4-20mA,0-5V,0-10V", Family::MR, 14, "4-20mA|0-5V|0-10V"},
    };
    for (const auto &r : rows) {
        DeviceState state;
        const ConfigReadResult result = readText(r.text, state, r.family);
        EXPECT_EQ(result.lists.value(r.code).join(QLatin1Char('|')), QString::fromLatin1(r.expected)) << r.text;
    }
}

TEST(ConfigReader, OverflowStopsReadingAndKeepsWhatWasFilled)
{
    const struct { const char *overflowing; } rows[] = {
        {"Damping=11,0,40000"}, {"Spg=7,0,1e39"}, {"Spg=7,0,1e999"}, {"Freq=101,0,99999"}, {"K=9,1,2,3,1e40"},
    };
    for (const auto &r : rows) {
        DeviceState state;
        const QByteArray text = "Rate Units=3,0,1,Gal,Ltr\nBad=1\n" + QByteArray(r.overflowing) + "\nLinear=100,0,10\n";
        const ConfigReadResult result = readText(text, state);
        EXPECT_TRUE(result.readError) << r.overflowing;
        EXPECT_EQ(result.errorLine, 3) << r.overflowing;
        EXPECT_EQ(result.lists.value(3), QStringList({"Gal", "Ltr"})) << r.overflowing;
        EXPECT_EQ(state.LinearPtsItem.code, 0) << "lines after the error are lost: " << r.overflowing;
        EXPECT_EQ(state.LinFreqItems[0].code + state.SpgItem.maximum, 0) << "the line's own record stays: " << r.overflowing;
    }
}

// Each row: the files (a trailing "/" makes a folder) in the program's folder, and the one chosen.
TEST(ConfigReader, ChoosesTheFirstAlternativeThatExistsAndReadsIt)
{
    const struct { const char *present; Family family; const char *chosen; } rows[] = {
        {"", Family::Dravion, "Config.inf"},
        {"Config.inf ConfigM.inf", Family::Dravion, "ConfigM.inf"},
        {"ConfigT.inf ConfigM.inf", Family::Dravion, "ConfigM.inf"},
        {"ConfigT.inf Config.inf", Family::Dravion, "ConfigT.inf"},
        {"ConfigK.inf/ ConfigM.inf", Family::Dravion, "ConfigK.inf"}, // a folder counts as well
        {"ConfigK.inf Config.inf", Family::MR, "Config.inf"},
    };
    for (const auto &r : rows) {
        QTemporaryDir dir;
        for (const QString &name : QString::fromLatin1(r.present).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(name.endsWith(QLatin1Char('/')) ? QDir(dir.path()).mkdir(name.chopped(1))
                                                         : file.open(QIODevice::WriteOnly));
        }
        const QString chosen = ConfigReader::chooseFile(dir.path(), r.family);
        EXPECT_EQ(chosen, dir.filePath(QString::fromLatin1(r.chosen))) << r.present;
        DeviceState state; // a missing file or a folder cannot be read
        const bool unreadable = !QFileInfo(chosen).isFile();
        EXPECT_EQ(ConfigReader::readFile(chosen, r.family, state).readError, unreadable) << r.present;
    }
}

TEST(ConfigReader, ShippedFilesReadCleanly)
{
    const struct { const char *file; Family family; int rateUnitsCode; } rows[] = {
        {"dravion/Config.inf", Family::Dravion, 3},
        {"dravion/ConfigK.inf", Family::Dravion, 3},
        {"mr/Config.inf", Family::MR, 2},
    };
    for (const auto &r : rows) {
        DeviceState s;
        const QString path = QStringLiteral(QRX_CONFIG_DIR "/") + QString::fromLatin1(r.file);
        const ConfigReadResult result = ConfigReader::readFile(path, r.family, s);
        ASSERT_FALSE(result.readError || result.syntaxError) << r.file << " line " << result.syntaxErrorLine;
        EXPECT_FALSE(s.ConfigVersion.isEmpty()) << r.file;
        EXPECT_TRUE(s.LinearPtsItem.maximum >= 1 && s.LinearPtsItem.maximum <= 10) << r.file;
        EXPECT_LT(s.LinFreqItems[9].maximum, 32000) << r.file; // frequencies from 32000 up are never stored
        for (const QStringList &list : result.lists)
            EXPECT_FALSE(list.join(QString()).contains(QLatin1Char(','))) << r.file << ": too many entries";
        EXPECT_EQ(result.lists.value(r.rateUnitsCode).size(), s.RateUnitsItem.maximum + 1) << r.file;
        const QStringList units = result.lists.value(3), fluids = result.lists.value(8);
        if (r.family == Family::Dravion) {
            EXPECT_TRUE(units.contains("Kgs") && units.contains("Lbs")) << r.file;
            EXPECT_NE(s.KfactorItems[0].maximum, s.KfactorItems[1].maximum) << r.file;
        } else {
            EXPECT_TRUE(fluids.contains("Oil") && fluids.contains("Water"));
            EXPECT_EQ(result.lists.value(14), QStringList({"4-20mA", "0-5V", "0-10V"}));
        }
    }
}

TEST(ConfigReader, MalformedInputNeverCrashes)
{
    const QByteArray pieces[] = {
        "=", ",", ",,", "3", "9", "-1", "101", "102", "11", "7", "8", "1e400", "-1e400", "99999999999999999999",
        "32767", "-32768", "40000", "1.5.5", " ", "\r", "\n", "\r\n", QByteArray(1, '\0'), "\xff\xfe", "\xc3(", "abc",
        "Kgs", QByteArray(5000, ','), QByteArray(20000, '9'), ".", "E", "+", "nan", "inf",
    };
    std::mt19937 random(20261207);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    for (int file = 0; file < 300; ++file) {
        QByteArray text;
        const int parts = int(random() % 60);
        for (int k = 0; k < parts; ++k)
            text += (random() % 8 == 0) ? QByteArray(1, char(random() % 256)) : pieces[pick(random)];
        for (Family family : {Family::Dravion, Family::MR}) {
            DeviceState state;
            const ConfigReadResult result = readText(text, state, family);
            if (result.readError) {
                EXPECT_GT(result.errorLine, 0);
            }
            EXPECT_LE(state.LinFreqItems[9].code, 119);
        }
    }
    DeviceState state; // one very long line with a large list count
    const ConfigReadResult result = readText("L=3,0,32767," + QByteArray(2'000'000, 'x') + ",y", state);
    EXPECT_EQ(result.lists.value(3).size(), 2);
}
