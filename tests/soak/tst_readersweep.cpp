#include <gtest/gtest.h>

#include <random>

#include <QBuffer>
#include <QDir>
#include <QFile>

#include "link/devicestate.h"
#include "params/configreader.h"
#include "readerprobes.h"

// A seeded sweep of random and mutated inputs through both file readers, so the suite covers what
// the libFuzzer harnesses check without needing clang. Same seed, same inputs: a failure names the
// input number to replay.
namespace {

using Random = std::mt19937;

template<typename T, std::size_t N>
const T &pick(Random &random, const T (&items)[N])
{
    return items[random() % N];
}

const char *const LineEnds[] = {"\r\n", "\r\n", "\n", "\r", ""};
const char *const Numbers[] = {"0", "1", "-1", "2", "5", "32767", "32768", "-32768", "-32769", "99999", "1.5", "2.5",
                               "0.025", "-0", "+.5e-3", "1e38", "3.4e38", "1e39", "-1e39", "1e400", "1e-45", "nan",
                               "inf", "1,5", "0,75", " 7 ", "", " ", "x", "1e", "0x10", "1.2.3", "--1", "12abc"};
const char *const ConfigCodes[] = {"-1", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "11", "13", "14", "15",
                                   "16", "17", "18", "19", "100", "101", "102", "1000", "-2", "03", " 3 ", "3.5",
                                   "1e2", "abc", "", "65539", "1e300"};
const char *const DataCodes[] = {"3", "4", "7", "8", "9", "11", "15", "16", "100", "101", "102", "119", "120", "121",
                                 "0", "", "1", "2", "5", "14", "19", "-1", "word", "3.0", "1e2", " 101 ", "1e400"};

QByteArray randomConfigLine(Random &random)
{
    QByteArray line = QByteArray("Label") + QByteArray::number(int(random() % 10)) + '=';
    line += pick(random, ConfigCodes);
    const int fields = int(random() % 7);
    for (int i = 0; i < fields; ++i) {
        line += ',';
        line += random() % 3 == 0 ? QByteArray("Entry") + QByteArray::number(i) : QByteArray(pick(random, Numbers));
    }
    return line;
}

QByteArray randomDataLine(Random &random)
{
    switch (random() % 8) {
    case 0:
        return "Parameter <Equals> Value";
    case 1:
        return QByteArray(pick(random, Numbers)); // no equals sign
    default: {
        QByteArray line = QByteArray(pick(random, DataCodes)) + '=' + pick(random, Numbers);
        if (random() % 10 == 0)
            line += QByteArray("=") + pick(random, Numbers);
        return line;
    }
    }
}

// Flips, inserts, deletes and copies bytes, favouring the characters the formats give meaning to.
QByteArray mutate(QByteArray bytes, Random &random)
{
    static const char special[] = {'=', ',', '\r', '\n', ' ', '-', '.', 'E', '\0', '\xff', '\xe9', '\xc3', '9', '0'};
    const int edits = 1 + int(random() % 8);
    for (int e = 0; e < edits; ++e) {
        const qsizetype at = bytes.isEmpty() ? 0 : qsizetype(random() % std::size_t(bytes.size()));
        switch (random() % 5) {
        case 0:
            if (!bytes.isEmpty())
                bytes[at] = char(random() % 256);
            break;
        case 1:
            bytes.insert(at, pick(random, special));
            break;
        case 2:
            bytes.remove(at, qsizetype(random() % 12));
            break;
        case 3: {
            const QByteArray slice = bytes.mid(at, qsizetype(random() % 40));
            bytes.insert(qsizetype(random() % std::size_t(bytes.size() + 1)), slice);
            break;
        }
        default:
            bytes.insert(at, pick(random, Numbers));
            break;
        }
    }
    return bytes;
}

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

QByteArray randomInput(Random &random, const QList<QByteArray> &seeds, QByteArray (*line)(Random &))
{
    switch (random() % 4) {
    case 0: { // raw bytes
        QByteArray bytes(qsizetype(random() % 200), '\0');
        for (char &c : bytes)
            c = char(random() % 256);
        return bytes;
    }
    case 1:
        return mutate(seeds[qsizetype(random() % std::size_t(seeds.size()))], random);
    default: { // lines of the format with random parts
        QByteArray bytes;
        const int lines = int(random() % 25);
        for (int i = 0; i < lines; ++i)
            bytes += line(random) + pick(random, LineEnds);
        return random() % 3 == 0 ? mutate(bytes, random) : bytes;
    }
    }
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
    for (const char *folder : {"config", "datafile"}) {
        const QList<QByteArray> files = corpus(QString::fromLatin1(folder));
        ASSERT_FALSE(files.isEmpty()) << folder;
        for (const QByteArray &bytes : files) {
            EXPECT_EQ(ReaderProbes::checkConfigReader(bytes).toStdString(), "") << bytes.toStdString();
            EXPECT_EQ(ReaderProbes::checkDataFileReader(bytes).toStdString(), "") << bytes.toStdString();
        }
    }
}

TEST(ReaderSweep, RandomConfigurationFilesPassEveryCheck)
{
    const QList<QByteArray> seeds = corpus(QStringLiteral("config"));
    Random random(20240611);
    for (int i = 0; i < 1500; ++i) {
        const QByteArray bytes = randomInput(random, seeds, randomConfigLine);
        const QString problem = ReaderProbes::checkConfigReader(bytes);
        ASSERT_TRUE(problem.isEmpty()) << "input " << i << ": " << problem.toStdString() << "\n" << bytes.toHex().toStdString();
    }
}

TEST(ReaderSweep, RandomDataFilesPassEveryCheck)
{
    const QList<QByteArray> seeds = corpus(QStringLiteral("datafile"));
    Random random(7331);
    for (int i = 0; i < 3000; ++i) {
        const QByteArray bytes = randomInput(random, seeds, randomDataLine);
        const QString problem = ReaderProbes::checkDataFileReader(bytes);
        ASSERT_TRUE(problem.isEmpty()) << "input " << i << ": " << problem.toStdString() << "\n" << bytes.toHex().toStdString();
    }
}

// An 8-bit file whose last character is not ASCII and has no line end after it.
TEST(ReaderSweep, ConfigurationFileEndingInAn8BitCharacterKeepsIt)
{
    DeviceState state;
    const ConfigReadResult result = readBytes("Rate Units=3,0,1,Gal,Ltr\xe9", state);
    EXPECT_FALSE(result.readError);
    EXPECT_EQ(result.lists.value(3), QStringList({QStringLiteral("Gal"), QString::fromLatin1("Ltr\xe9")}));
}

// The reader takes large files in pieces; everything up to its 16 MiB limit counts.
TEST(ReaderSweep, ConfigurationFileIsReadWholeUpToItsLimit)
{
    const QByteArray last = "Damping=11,0,99\n";
    constexpr qsizetype limit = 16 * 1024 * 1024;
    struct Row { qsizetype size; bool readError; };
    for (const Row row : {Row{200, false}, Row{64 * 1024 + 3, false}, Row{limit, false}, Row{limit + 1, true}}) {
        QByteArray bytes(row.size - last.size(), ' ');
        for (qsizetype at = 79; at < bytes.size(); at += 80)
            bytes[at] = '\n'; // remark lines of spaces
        bytes += last;
        DeviceState state;
        const ConfigReadResult result = readBytes(bytes, state);
        EXPECT_EQ(result.readError, row.readError) << row.size;
        EXPECT_EQ(state.DampingItem.maximum, row.readError ? 0 : 99) << row.size;
    }
}
