// SPDX-License-Identifier: GPL-3.0-or-later
#include "readerprobes.h"

#include <cmath>
#include <cstring>
#include <exception>

#include <QBuffer>

#include "datafile/datafilereader.h"
#include "datafile/datafiletargets.h"
#include "link/devicestate.h"
#include "link/values.h"
#include "params/configreader.h"
#include "params/parameterset.h"

namespace ReaderProbes {

namespace {

    // Every line end (CR LF, CR, LF) as a single LF: the readers must not care which one a file uses.
    QByteArray withLfLineEnds(const QByteArray &bytes)
    {
        QByteArray out;
        out.reserve(bytes.size());
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r') {
                out += '\n';
                if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                    ++i;
            } else {
                out += bytes[i];
            }
        }
        return out;
    }

    int lineCount(const QByteArray &lfBytes)
    {
        if (lfBytes.isEmpty())
            return 0;
        return int(lfBytes.count('\n')) + (lfBytes.endsWith('\n') ? 0 : 1);
    }

    bool sameInt(const IntItem &a, const IntItem &b)
    {
        return a.code == b.code && a.minimum == b.minimum && a.maximum == b.maximum
            && a.typeLetter == b.typeLetter && a.value == b.value;
    }

    // Bitwise, so that two NaN limits compare equal.
    bool sameReal(const RealItem &a, const RealItem &b)
    {
        auto same = [](float x, float y) { return std::memcmp(&x, &y, sizeof x) == 0; };
        return a.code == b.code && same(a.minimum, b.minimum) && same(a.maximum, b.maximum)
            && a.typeLetter == b.typeLetter && same(a.value, b.value);
    }

    template <typename Record, std::size_t N, typename Same>
    bool sameTable(const std::array<Record, N> &a, const std::array<Record, N> &b, Same same)
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (!same(a[i], b[i]))
                return false;
        }
        return true;
    }

    bool sameRecords(const DeviceState &a, const DeviceState &b)
    {
        const IntItem DeviceState::*ints[] = {
            &DeviceState::RateUnitsItem,
            &DeviceState::RateIntervalItem,
            &DeviceState::KfactorUnitsItem,
            &DeviceState::DampingItem,
            &DeviceState::MinDacItem,
            &DeviceState::MaxDacItem,
            &DeviceState::LinearPtsItem,
            &DeviceState::DisplayModeItem,
            &DeviceState::TotalUnitsItem,
            &DeviceState::DisplayExpItem,
            &DeviceState::MeterTypeItem,
            &DeviceState::OutputModeItem,
            &DeviceState::PasswordItem,
        };
        const RealItem DeviceState::*reals[] = {
            &DeviceState::SpgItem,
            &DeviceState::FlowLowItem,
            &DeviceState::FlowHiItem,
            &DeviceState::ScaleFactorItem,
            &DeviceState::PressureCompItem,
            &DeviceState::TempCompItem,
            &DeviceState::SpgCompItem,
            &DeviceState::LowFlowCutoffItem,
        };
        for (auto item : ints) {
            if (!sameInt(a.*item, b.*item))
                return false;
        }
        for (auto item : reals) {
            if (!sameReal(a.*item, b.*item))
                return false;
        }
        return a.ConfigVersion == b.ConfigVersion && sameTable(a.KfactorItems, b.KfactorItems, sameReal)
            && sameTable(a.LinFreqItems, b.LinFreqItems, sameInt)
            && sameTable(a.LinFlowItems, b.LinFlowItems, sameReal);
    }

    bool sameResult(const ConfigReadResult &a, const ConfigReadResult &b)
    {
        return a.syntaxError == b.syntaxError && a.readError == b.readError && a.errorLine == b.errorLine
            && a.syntaxErrorLine == b.syntaxErrorLine && a.lists == b.lists;
    }

    ConfigReadResult readConfig(const QByteArray &bytes, ConfigReader::Family family, DeviceState &state)
    {
        QByteArray copy = bytes;
        QBuffer buffer(&copy);
        return ConfigReader::read(buffer, family, state);
    }

    QString checkConfigFamily(const QByteArray &bytes, ConfigReader::Family family)
    {
        const QString name
            = family == ConfigReader::Family::MR ? QStringLiteral("MR: ") : QStringLiteral("Dravion: ");
        DeviceState state;
        const ConfigReadResult result = readConfig(bytes, family, state);

        const QByteArray lf = withLfLineEnds(bytes);
        const int lines = lineCount(lf);
        if (result.readError && (result.errorLine < 1 || result.errorLine > lines))
            return name + QStringLiteral("read error on line %1 of %2").arg(result.errorLine).arg(lines);
        if (!result.readError && result.errorLine != 0)
            return name + QStringLiteral("error line without a read error");
        if (!result.readError && result.syntaxError != (result.syntaxErrorLine > 0))
            return name + QStringLiteral("syntax error flag and line disagree");
        if (result.syntaxErrorLine > lines)
            return name
                + QStringLiteral("syntax error on line %1 of %2").arg(result.syntaxErrorLine).arg(lines);

        static const QList<int> dravionLists = { 3, 4, 8 };
        static const QList<int> mrLists = { 1, 2, 3, 4, 5, 8, 14 };
        const QList<int> &listCodes = family == ConfigReader::Family::MR ? mrLists : dravionLists;
        for (auto it = result.lists.cbegin(); it != result.lists.cend(); ++it) {
            if (!listCodes.contains(it.key()))
                return name + QStringLiteral("list entries for code %1, which has no list").arg(it.key());
            // Every entry but the last one of each fill ends at a comma of the file.
            if (it.value().size() > bytes.count(',') + lines)
                return name + QStringLiteral("more list entries than the file has fields");
        }
        for (std::size_t i = 0; i < state.LinFreqItems.size(); ++i) {
            const int expected = i < 10 ? int(101 + 2 * i) : 0;
            if (state.LinFreqItems[i].code != 0 && state.LinFreqItems[i].code != expected)
                return name
                    + QStringLiteral("linear frequency entry %1 has code %2")
                          .arg(i)
                          .arg(state.LinFreqItems[i].code);
            if (state.LinFlowItems[i].code != 0 && state.LinFlowItems[i].code != expected + 1)
                return name
                    + QStringLiteral("linear flow entry %1 has code %2")
                          .arg(i)
                          .arg(state.LinFlowItems[i].code);
        }

        // The same bytes read again give the same records: nothing depends on stale or uninitialised state.
        DeviceState again;
        if (!sameResult(result, readConfig(bytes, family, again)) || !sameRecords(state, again))
            return name + QStringLiteral("a second read of the same bytes differs");

        // Line ends do not matter.
        DeviceState lfState;
        if (!sameResult(result, readConfig(lf, family, lfState)) || !sameRecords(state, lfState))
            return name + QStringLiteral("the result depends on the kind of line end");

        // A remark line at the end changes nothing.
        DeviceState remarked;
        QByteArray withRemark = lf;
        if (!withRemark.isEmpty() && !withRemark.endsWith('\n'))
            withRemark += '\n';
        withRemark += "remark without an equals sign\n";
        if (!sameResult(result, readConfig(withRemark, family, remarked)) || !sameRecords(state, remarked))
            return name + QStringLiteral("a trailing remark line changed the result");
        return {};
    }

    QString checkDataFileWith(const QByteArray &bytes, QChar decimalPoint)
    {
        const std::vector<DataFileReader::Line> lines = DataFileReader::parse(bytes, decimalPoint);
        const QByteArray lf = withLfLineEnds(bytes);
        if (int(lines.size()) != lineCount(lf))
            return QStringLiteral("%1 lines parsed, the bytes hold %2").arg(lines.size()).arg(lineCount(lf));

        const std::vector<DataFileReader::Line> lfLines = DataFileReader::parse(lf, decimalPoint);
        if (lfLines.size() != lines.size())
            return QStringLiteral("line count depends on the kind of line end");

        for (std::size_t i = 0; i < lines.size(); ++i) {
            const DataFileReader::Line &line = lines[i];
            const QString where = QStringLiteral("line %1: ").arg(i + 1);
            if (line.number != int(i) + 1)
                return where + QStringLiteral("numbered %1").arg(line.number);
            if (line.isEntry != lfLines[i].isEntry || line.name != lfLines[i].name
                || line.value != lfLines[i].value || line.sound != lfLines[i].sound)
                return where + QStringLiteral("differs with LF line ends");
            if (!line.isEntry) {
                if (!line.name.isEmpty() || !line.value.isEmpty() || line.sound)
                    return where + QStringLiteral("not an entry but carries a name or value");
                continue;
            }
            if (line.name.contains(QLatin1Char('=')) || line.name.startsWith(QLatin1Char(' '))
                || line.name.endsWith(QLatin1Char(' ')))
                return where + QStringLiteral("name not cut at the first '=' or not trimmed");
            if (line.value.contains(QLatin1Char('\r')) || line.value.contains(QLatin1Char('\n')))
                return where + QStringLiteral("value runs over a line end");
            const bool nameOk = line.name.isEmpty() || DataFileReader::isNumeric(line.name, decimalPoint);
            const bool valueOk = line.value.isEmpty() || DataFileReader::isNumeric(line.value, decimalPoint);
            if (line.sound != (nameOk && valueOk))
                return where
                    + QStringLiteral("judged %1").arg(QLatin1String(line.sound ? "sound" : "corrupt"));
            if (!line.sound)
                continue;

            // What the window does with a sound entry must be defined for any number in it.
            const double code = DataFileReader::code(line.name);
            for (const ParameterSet *family : { &ParameterSet::dravion(), &ParameterSet::mr() }) {
                const auto target = DataFileTargets::lookup(*family, code);
                if (target && (target->row < -1 || target->row > 9))
                    return where + QStringLiteral("target row %1").arg(target->row);
            }
            for (int count : { 0, 1, 3, 40 }) {
                const std::optional<int> index
                    = DataFileReader::selectionIndex(line.value, count, decimalPoint);
                if (index && (*index < -1 || *index >= count))
                    return where + QStringLiteral("selection %1 of %2 entries").arg(*index).arg(count);
            }
            const QString text = DataFileReader::fieldText(line.value, decimalPoint);
            if (Values::IsNumeric(line.value) && text != line.value)
                return where + QStringLiteral("a '.' number was rewritten for the field");
            if (valueOk && !line.value.isEmpty() && !Values::IsNumeric(text)
                && !Values::IsNumeric(text, decimalPoint))
                return where + QStringLiteral("the field text of a number is no number");
            const QString password = DataFileReader::passwordText(line.value, decimalPoint);
            if (password.size() > 400)
                return where + QStringLiteral("password text of %1 characters").arg(password.size());
        }
        return {};
    }

    template <typename Check> QString guarded(Check check)
    {
        try {
            return check();
        } catch (const std::exception &e) {
            return QStringLiteral("exception escaped: ") + QString::fromLocal8Bit(e.what());
        } catch (...) {
            return QStringLiteral("unknown exception escaped");
        }
    }

} // namespace

QString checkConfigReader(const QByteArray &bytes)
{
    return guarded([&] {
        QString problem = checkConfigFamily(bytes, ConfigReader::Family::Dravion);
        if (problem.isEmpty())
            problem = checkConfigFamily(bytes, ConfigReader::Family::MR);
        return problem;
    });
}

QString checkDataFileReader(const QByteArray &bytes)
{
    return guarded([&] {
        QString problem = checkDataFileWith(bytes, QLatin1Char('.'));
        if (problem.isEmpty())
            problem = checkDataFileWith(bytes, QLatin1Char(','));
        return problem;
    });
}

} // namespace ReaderProbes
