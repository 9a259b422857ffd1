// SPDX-License-Identifier: GPL-3.0-or-later
#include <random>

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "link/devicestate.h"
#include "params/configreader.h"
#include "readerprobes.h"
#include "table.h"

// A seeded sweep of random and mutated inputs through both file readers: what the libFuzzer
// harnesses check, without clang.
namespace {

// A list of pieces from tests/data/soak/sweep.txt.
QList<QByteArray> pieces(const QString &name)
{
    QList<QByteArray> out;
    for (const TableRow &row : tableRows("soak/sweep.txt", "pieces")) {
        for (const QString &w : row["list"] == name ? row.words("pieces") : QStringList())
            out << (w == "<empty>" ? QByteArray() : w.toLatin1().replace('~', ' '));
    }
    EXPECT_FALSE(out.isEmpty()) << name.toStdString();
    return out;
}

// Random inputs for one reader: raw bytes, mutated corpus files, and lines of its format.
struct Sweep
{
    std::mt19937 random;
    QList<QByteArray> seeds;
    QList<QByteArray> numbers = pieces("numbers"), configCodes = pieces("config-codes"),
                      dataCodes = pieces("data-codes");

    QByteArray pick(const QList<QByteArray> &l) { return l[qsizetype(random() % std::size_t(l.size()))]; }

    QByteArray configLine()
    {
        QByteArray line = QByteArray("Label") + QByteArray::number(int(random() % 10)) + '=';
        line += pick(configCodes); // after the label's number, as the seeds were drawn
        const int fields = int(random() % 7);
        for (int i = 0; i < fields; ++i) {
            line += ',';
            line += random() % 3 == 0 ? QByteArray("Entry") + QByteArray::number(i) : pick(numbers);
        }
        return line;
    }

    QByteArray dataLine()
    {
        const auto kind = random() % 8;
        if (kind == 0)
            return "Parameter <Equals> Value";
        if (kind == 1)
            return pick(numbers); // no equals sign
        QByteArray line = pick(dataCodes) + '=' + pick(numbers);
        if (random() % 10 == 0)
            line += QByteArray("=") + pick(numbers);
        return line;
    }

    // Flips, inserts, deletes and copies bytes, favouring the characters the formats give meaning to.
    QByteArray mutate(QByteArray bytes)
    {
        static const char special[]
            = { '=', ',', '\r', '\n', ' ', '-', '.', 'E', '\0', '\xff', '\xe9', '\xc3', '9', '0' };
        for (int e = 1 + int(random() % 8); e > 0; --e) {
            const qsizetype at = bytes.isEmpty() ? 0 : qsizetype(random() % std::size_t(bytes.size()));
            const auto kind = random() % 5;
            if (kind == 0 && !bytes.isEmpty())
                bytes[at] = char(random() % 256);
            else if (kind == 1)
                bytes.insert(at, special[random() % sizeof special]);
            else if (kind == 2)
                bytes.remove(at, qsizetype(random() % 12));
            else if (kind == 3) {
                const QByteArray slice = bytes.mid(at, qsizetype(random() % 40));
                bytes.insert(qsizetype(random() % std::size_t(bytes.size() + 1)), slice);
            } else if (kind == 4)
                bytes.insert(at, pick(numbers));
        }
        return bytes;
    }

    QByteArray input(bool config)
    {
        static const char *const lineEnds[] = { "\r\n", "\r\n", "\n", "\r", "" };
        const auto kind = random() % 4;
        if (kind == 0) { // raw bytes
            QByteArray bytes(qsizetype(random() % 200), '\0');
            for (char &c : bytes)
                c = char(random() % 256);
            return bytes;
        }
        if (kind == 1)
            return mutate(pick(seeds));
        QByteArray bytes;
        for (int lines = int(random() % 25); lines > 0; --lines)
            bytes += (config ? configLine() : dataLine()) + lineEnds[random() % 5];
        return random() % 3 == 0 ? mutate(bytes) : bytes;
    }
};

QList<QByteArray> corpus(const QString &folder)
{
    QList<QByteArray> files;
    const QDir dir(QStringLiteral(QRX_FUZZ_CORPUS_DIR "/") + folder);
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files << file.readAll();
    }
    return files;
}

ConfigReadResult readBytes(const QByteArray &bytes, DeviceState &state)
{
    QBuffer buffer;
    buffer.setData(bytes);
    return ConfigReader::read(buffer, ConfigReader::Family::Dravion, state);
}

} // namespace

TEST(ReaderSweep, CorpusFilesPassEveryCheck)
{
    for (const char *folder : { "config", "datafile" }) {
        const QList<QByteArray> files = corpus(QString::fromLatin1(folder));
        ASSERT_FALSE(files.isEmpty()) << folder;
        for (const QByteArray &bytes : files) {
            EXPECT_EQ(ReaderProbes::checkConfigReader(bytes).toStdString(), "") << bytes.toStdString();
            EXPECT_EQ(ReaderProbes::checkDataFileReader(bytes).toStdString(), "") << bytes.toStdString();
        }
    }
}

// Same seed, same inputs: a failure names the input number to replay.
TABLE_TEST(ReaderSweep, RandomFilesPassEveryCheck, "soak/sweep.txt", "sweeps")
{
    const bool config = row["reader"] == "config";
    const auto check = config ? ReaderProbes::checkConfigReader : ReaderProbes::checkDataFileReader;
    Sweep sweep { std::mt19937(quint32(row["seed"].toUInt())), corpus(row["reader"]) };
    for (int i = 0; i < row.number("inputs"); ++i) {
        const QByteArray bytes = sweep.input(config);
        ASSERT_EQ(check(bytes).toStdString(), "") << "input " << i << "\n" << bytes.toHex().toStdString();
    }
}

// An 8-bit file whose last character is not ASCII and has no line end after it.
TEST(ReaderSweep, ConfigurationFileEndingInAn8BitCharacterKeepsIt)
{
    DeviceState state;
    const ConfigReadResult result = readBytes("Rate Units=3,0,1,Gal,Ltr\xe9", state);
    EXPECT_FALSE(result.readError);
    EXPECT_EQ(result.lists.value(3), QStringList({ QStringLiteral("Gal"), QString::fromLatin1("Ltr\xe9") }));
}

TABLE_TEST(ReaderSweep, ConfigurationFileIsReadWholeUpToItsLimit, "soak/sweep.txt", "sizes")
{
    const QByteArray last = "Damping=11,0,99\n";
    const bool readError = row["read error"] == "yes";
    QByteArray bytes(row.number("bytes") - last.size(), ' ');
    for (qsizetype at = 79; at < bytes.size(); at += 80)
        bytes[at] = '\n'; // remark lines of spaces
    bytes += last;
    DeviceState state;
    const ConfigReadResult result = readBytes(bytes, state);
    EXPECT_EQ(result.readError, readError);
    EXPECT_EQ(state.DampingItem.maximum, readError ? 0 : 99);
}
