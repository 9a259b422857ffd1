// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafilewriter.h"

#include <QSaveFile>

#include "datafile/datafileformat.h"
#include "link/devicestate.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/parameterset.h"
#include "params/setupmodel.h"

namespace DataFileWriter {

namespace {

    class EntryList
    {
    public:
        explicit EntryList(QChar decimalPoint)
            : m_decimalPoint(decimalPoint)
        {
        }

        void index(qint16 code, qint16 value) { m_entries.push_back({ code, Values::FormatInt(value) }); }
        void add(const IntItem &item) { m_entries.push_back({ item.code, Values::FormatInt(item.value) }); }
        void add(const RealItem &item)
        {
            m_entries.push_back({ item.code, Values::FormatSingle(item.value, m_decimalPoint) });
        }

        bool addPoints(const DeviceState &state, const QString &linearPtsText)
        {
            const std::optional<int> n = pointCount(linearPtsText);
            if (!n)
                return false;
            for (int k = 0; k < *n; ++k) {
                add(state.LinFreqItems[k]);
                add(state.LinFlowItems[k]);
            }
            return true;
        }

        std::vector<Entry> take() { return std::move(m_entries); }

    private:
        QChar m_decimalPoint;
        std::vector<Entry> m_entries;
    };

} // namespace

std::optional<int> pointCount(const QString &linearPtsText)
{
    qint16 n = 0;
    try {
        n = Values::CInt(Values::Val(linearPtsText));
    } catch (const Values::OverflowError &) {
        return std::nullopt;
    }
    if (n > DeviceState::LinearTableSize)
        return std::nullopt;
    return n < 0 ? 0 : int(n);
}

std::optional<std::vector<Entry>> entries(const ParameterSet &set, const DeviceState &state,
    int kfactorUnitsIndex, const QString &linearPtsText, QChar decimalPoint)
{
    EntryList list(decimalPoint);
    for (const Parameter &p : set.rows()) {
        if (p.position)
            list.index((state.*p.intRecord).code, state.*p.position);
        else if (p.rule == Parameter::Rule::KfactorUnits) {
            if (const RealItem *kfactor = ParameterSet::kfactorRecord(state, kfactorUnitsIndex))
                list.add(*kfactor);
        } else if (p.realRecord)
            list.add(state.*p.realRecord);
        else
            list.add(state.*p.intRecord);
    }
    if (!list.addPoints(state, linearPtsText))
        return std::nullopt;
    return list.take();
}

std::optional<std::vector<Entry>> entriesOf(const SetupModel &setup)
{
    const ParameterSet &set = setup.family().parameters;
    const Parameter *units = set.kfactorUnits();
    return entries(set, setup.records(), units ? setup.listPosition(*units) : -1, setup.text(set.linearPts()),
        DataFileFormat::userDecimalPoint());
}

QByteArray toBytes(const std::vector<Entry> &entries)
{
    QByteArray bytes = DataFileFormat::header().toLocal8Bit() + DataFileFormat::lineEnd();
    for (const Entry &e : entries)
        bytes += (Values::FormatInt(e.code) + QLatin1Char('=') + e.value).toLocal8Bit()
            + DataFileFormat::lineEnd();
    return bytes;
}

bool save(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // A folder where the file may be overwritten but nothing created still takes the save, written
    // in place; a symbolic link is followed, so the file it names is written and the link kept.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace DataFileWriter
