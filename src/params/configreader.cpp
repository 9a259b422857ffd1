// SPDX-License-Identifier: GPL-3.0-or-later
#include "configreader.h"

#include <algorithm>
#include <cmath>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "link/devicestate.h"
#include "link/values.h"

namespace {

// Anything this large is not a configuration file; refusing it keeps a wrong file from eating memory.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

// The code no case uses: a line whose fields run out early gets it.
const QString UnusedCode = QStringLiteral("1000");

qint16 toInt(const QString &text)
{
    return Values::CInt(Values::Val(text));
}

float toSingle(const QString &text)
{
    const double value = Values::Val(text);
    if (!std::isfinite(value))
        throw Values::OverflowError("value does not fit a single");
    return Values::CSng(value);
}

// The leading-number value of a code as an exact integer, or 1000 when it is none.
int selectorOf(const QString &code)
{
    const double value = Values::Val(code);
    if (!std::isfinite(value) || value != std::floor(value) || std::fabs(value) > 100000.0)
        return 1000;
    return int(value);
}

// Limits are converted before anything is stored, so a line that overflows leaves its record untouched.
void fillInt(IntItem &item, int code, const QString &min, const QString &max)
{
    const qint16 minimum = toInt(min);
    const qint16 maximum = toInt(max);
    item.code = qint16(code);
    item.minimum = minimum;
    item.maximum = maximum;
    item.typeLetter = QStringLiteral("i");
}

void fillReal(RealItem &item, int code, const QString &min, const QString &max)
{
    const float minimum = toSingle(min);
    const float maximum = toSingle(max);
    item.code = qint16(code);
    item.minimum = minimum;
    item.maximum = maximum;
    item.typeLetter = QStringLiteral("f");
}

// One record per code; list records also fill a list box.
struct Slot
{
    int code;
    IntItem DeviceState::*intItem;
    RealItem DeviceState::*realItem;
    bool list;
};

constexpr IntItem DeviceState::*NoInt = nullptr;
constexpr RealItem DeviceState::*NoReal = nullptr;

const Slot DravionSlots[] = {
    { 3, &DeviceState::RateUnitsItem, NoReal, true },
    { 4, &DeviceState::RateIntervalItem, NoReal, true },
    { 7, NoInt, &DeviceState::SpgItem, false },
    { 8, &DeviceState::KfactorUnitsItem, NoReal, true },
    { 11, &DeviceState::DampingItem, NoReal, false },
    { 13, &DeviceState::MinDacItem, NoReal, false },
    { 14, &DeviceState::MaxDacItem, NoReal, false },
    { 15, NoInt, &DeviceState::FlowLowItem, false },
    { 16, NoInt, &DeviceState::FlowHiItem, false },
    { 100, &DeviceState::LinearPtsItem, NoReal, false },
};

const Slot MrSlots[] = {
    { 1, &DeviceState::DisplayModeItem, NoReal, true },
    { 2, &DeviceState::RateUnitsItem, NoReal, true },
    { 3, &DeviceState::RateIntervalItem, NoReal, true },
    { 4, &DeviceState::TotalUnitsItem, NoReal, true },
    { 5, &DeviceState::DisplayExpItem, NoReal, true },
    { 6, NoInt, &DeviceState::SpgItem, false },
    { 7, NoInt, &DeviceState::ScaleFactorItem, false },
    { 8, &DeviceState::MeterTypeItem, NoReal, true },
    { 9, NoInt, &DeviceState::PressureCompItem, false },
    { 10, NoInt, &DeviceState::TempCompItem, false },
    { 11, NoInt, &DeviceState::SpgCompItem, false },
    { 12, NoInt, &DeviceState::LowFlowCutoffItem, false },
    { 13, &DeviceState::DampingItem, NoReal, false },
    { 14, &DeviceState::OutputModeItem, NoReal, true },
    { 15, &DeviceState::MinDacItem, NoReal, false },
    { 16, &DeviceState::MaxDacItem, NoReal, false },
    { 17, NoInt, &DeviceState::FlowLowItem, false },
    { 18, NoInt, &DeviceState::FlowHiItem, false },
    { 19, &DeviceState::PasswordItem, NoReal, false },
    { 100, &DeviceState::LinearPtsItem, NoReal, false },
};

template <std::size_t N> const Slot *findSlot(const Slot (&table)[N], int code)
{
    for (const Slot &slot : table) {
        if (slot.code == code)
            return &slot;
    }
    return nullptr;
}

// Takes the next comma-separated field of T into field; false when T holds no comma.
bool takeField(QString &T, QString &field)
{
    const qsizetype comma = T.indexOf(QLatin1Char(','));
    if (comma < 0)
        return false;
    field = Values::TrimSpaces(T.left(comma));
    T = T.mid(comma + 1);
    return true;
}

// Applies one line; throws Values::OverflowError when a limit does not fit its record.
void processLine(const QString &line, ConfigReader::Family family, DeviceState &state,
    ConfigReadResult &result, bool &syntaxError)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return;
    QString T = line.mid(equals + 1);

    QString Code;
    if (!takeField(T, Code))
        Code = UnusedCode;
    const QString Rest = Values::TrimSpaces(T);

    QString Min;
    QString Max;
    for (QString *field : { &Min, &Max }) {
        if (takeField(T, *field))
            continue;
        if (!T.isEmpty())
            *field = Values::TrimSpaces(T);
        else
            Code = UnusedCode;
    }

    auto malformed = [](const QString &text) { return !text.isEmpty() && !Values::IsNumeric(text); };
    if (Values::Val(Code) > 0 && (malformed(Code) || malformed(Min) || malformed(Max)))
        syntaxError = true;

    const int code = selectorOf(Code);
    if (code == -1) {
        state.ConfigVersion = Rest;
        return;
    }
    if (code == 101) {
        const qint16 minimum = toInt(Min);
        const qint16 maximum = toInt(Max);
        for (int i = 0; i < 10; ++i) {
            IntItem &item = state.LinFreqItems[std::size_t(i)];
            item.code = qint16(101 + 2 * i);
            item.minimum = minimum;
            item.maximum = maximum;
            item.typeLetter = QStringLiteral("i");
            item.value = -1;
        }
        return;
    }
    if (code == 102) {
        const float minimum = toSingle(Min);
        const float maximum = toSingle(Max);
        for (int i = 0; i < 10; ++i) {
            RealItem &item = state.LinFlowItems[std::size_t(i)];
            item.code = qint16(102 + 2 * i);
            item.minimum = minimum;
            item.maximum = maximum;
            item.typeLetter = QStringLiteral("f");
            item.value = -1.0f;
        }
        return;
    }
    if (family == ConfigReader::Family::Dravion && code == 9) {
        fillReal(state.KfactorItems[0], 9, Min, Max);
        // The second pair falls back field by field on the first pair: without a comma Min keeps its value.
        takeField(T, Min);
        if (!takeField(T, Max) && !T.isEmpty())
            Max = Values::TrimSpaces(T);
        fillReal(state.KfactorItems[1], 9, Min, Max);
        return;
    }

    const Slot *slot
        = family == ConfigReader::Family::Dravion ? findSlot(DravionSlots, code) : findSlot(MrSlots, code);
    if (!slot)
        return;
    if (slot->realItem) {
        fillReal(state.*(slot->realItem), code, Min, Max);
        return;
    }
    IntItem &item = state.*(slot->intItem);
    fillInt(item, code, Min, Max);
    // More points than the window has rows would reach the device under item codes the tables lack.
    if (slot->intItem == &DeviceState::LinearPtsItem)
        item.maximum = std::min<qint16>(item.maximum, DeviceState::LinearPointRows);
    if (slot->list)
        ConfigReader::FillComboList(result.lists[code], T, item.maximum);
}

QString decode(const QByteArray &bytes)
{
    // Stateless: a sequence cut off by the end of the file is an error too, not held back unseen.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    // Files written by older editors are 8-bit; Latin-1 keeps every byte as one character.
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

} // namespace

bool ConfigReader::FileExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString ConfigReader::chooseFile(const QString &folder, Family family)
{
    const QDir dir(folder);
    if (family == Family::Dravion) {
        for (const char *name : { "ConfigK.inf", "ConfigM.inf", "ConfigT.inf" }) {
            const QString path = dir.filePath(QString::fromLatin1(name));
            if (FileExists(path))
                return path;
        }
    }
    return dir.filePath(QStringLiteral("Config.inf"));
}

ConfigReadResult ConfigReader::readFile(const QString &path, Family family, DeviceState &state)
{
    QFile file(path);
    ConfigReadResult result = read(file, family, state);
    result.path = path;
    return result;
}

ConfigReadResult ConfigReader::read(QIODevice &device, Family family, DeviceState &state)
{
    ConfigReadResult result;
    if (!device.isOpen() && !device.open(QIODevice::ReadOnly)) {
        result.readError = true;
        return result;
    }
    // In pieces: a single read of the limit reserves all 16 MiB for every file, however small.
    QByteArray bytes;
    while (bytes.size() <= MaxFileSize) {
        const QByteArray piece = device.read(64 * 1024);
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    device.close();
    if (bytes.size() > MaxFileSize) {
        result.readError = true;
        return result;
    }

    const QString text = decode(bytes);
    bool syntaxError = false;
    int lineNumber = 0;
    qsizetype pos = 0;
    const qsizetype size = text.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QString line = text.mid(pos, end - pos);
        // CR LF, CR and LF all end a line.
        pos = end;
        if (pos < size && text[pos] == QLatin1Char('\r'))
            ++pos;
        if (pos < size && text[pos] == QLatin1Char('\n'))
            ++pos;
        ++lineNumber;

        const bool hadSyntaxError = syntaxError;
        try {
            processLine(line, family, state, result, syntaxError);
        } catch (const Values::OverflowError &) {
            result.readError = true;
            result.errorLine = lineNumber;
            return result;
        }
        if (syntaxError && !hadSyntaxError)
            result.syntaxErrorLine = lineNumber;
    }
    result.syntaxError = syntaxError;
    return result;
}

void ConfigReader::FillComboList(QStringList &List, QString &Text, qint16 Count)
{
    // Works on an offset instead of cutting Text each round, so a long line with a large Count stays cheap.
    qsizetype pos = 0;
    for (int i = 0; i <= Count; ++i) {
        const qsizetype p = Text.indexOf(QLatin1Char(','), pos);
        const qsizetype n = Text.size() - pos;
        if (p >= 0)
            List << Values::TrimSpaces(Text.mid(pos, p - pos));
        if (i == Count && n > 0)
            List << Values::TrimSpaces(Text.mid(pos));
        if (p < 0) {
            // Without a further comma Text no longer changes: only the last round adds it.
            if (i < Count && n > 0)
                List << Values::TrimSpaces(Text.mid(pos));
            break;
        }
        pos = p + 1;
    }
    Text = Text.mid(pos);
}

QString ConfigReader::syntaxErrorTitle()
{
    return QStringLiteral("Arlex Error");
}

QString ConfigReader::syntaxErrorText()
{
    return QStringLiteral("Error Reading Configuration File\r\nMay have problems using Software\r\n"
                          "Contact Manufacture for Help or new Configuration File");
}

QString ConfigReader::readErrorText()
{
    return QStringLiteral("Configuration File Missing or Read Error!");
}
