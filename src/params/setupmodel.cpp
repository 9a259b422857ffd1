// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupmodel.h"

#include <algorithm>
#include <cmath>

#include "link/values.h"
#include "params/devicefamily.h"

namespace {

constexpr double FrequencyLimit = 32000.0; // a frequency cell stores nothing from this number up

} // namespace

SetupModel::SetupModel(const DeviceFamily &family, const DeviceState &configured)
    : m_family(family)
    , m_records(configured)
    , m_fields(family.parameters.rows().size())
{
    clear();
}

void SetupModel::setLists(const QMap<int, QStringList> &lists)
{
    const auto &rows = m_family.parameters.rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].kind == Parameter::Kind::List && lists.contains(rows[i].code))
            m_fields[i].entries = lists.value(rows[i].code);
    }
}

void SetupModel::setListEntries(const Parameter &parameter, const QStringList &entries)
{
    m_fields.at(size_t(m_family.parameters.indexOf(parameter))).entries = entries;
}

void SetupModel::clear()
{
    for (const Parameter &p : m_family.parameters.rows()) {
        if (p.kind == Parameter::Kind::List)
            setListPosition(p, -1);
        else
            setText(p, QString::fromLatin1(p.cleared));
    }
    for (size_t i = 0; i < DeviceState::LinearTableSize; ++i) {
        m_records.LinFreqItems[i].value = -1;
        m_records.LinFlowItems[i].value = -1.0f;
    }
}

const SetupModel::Field &SetupModel::field(const Parameter &parameter) const
{
    return m_fields.at(size_t(m_family.parameters.indexOf(parameter)));
}

QString SetupModel::listTextOf(const char *control) const
{
    const Parameter *p = m_family.parameters.find(QString::fromLatin1(control));
    return p ? listText(*p) : QString();
}

QString SetupModel::listText(const Parameter &parameter) const
{
    const Field &f = field(parameter);
    return f.position >= 0 && f.position < f.entries.size() ? f.entries.at(f.position) : QString();
}

bool SetupModel::isActive(const Parameter &parameter) const
{
    switch (parameter.rule) {
    case Parameter::Rule::MassUnit: {
        const QString unit = listTextOf("cboRateUnits");
        return unit == QLatin1String("Kgs") || unit == QLatin1String("Lbs");
    }
    case Parameter::Rule::NotLiquid: {
        const QString type = listTextOf("cboMeterType");
        return type != QLatin1String("Oil") && type != QLatin1String("Water");
    }
    case Parameter::Rule::Always:
    case Parameter::Rule::KfactorUnits:
        break;
    }
    return true;
}

int SetupModel::listPosition(const Parameter &parameter) const
{
    return field(parameter).position;
}

int SetupModel::listCount(const Parameter &parameter) const
{
    return int(field(parameter).entries.size());
}

void SetupModel::setListPosition(const Parameter &parameter, int position)
{
    // A list takes no position it does not have; -1 removes the selection.
    if (position < -1 || position >= listCount(parameter))
        return;
    m_fields[size_t(m_family.parameters.indexOf(parameter))].position = position;
    if (parameter.position)
        m_records.*parameter.position = qint16(position);
    else if (parameter.intRecord)
        (m_records.*parameter.intRecord).value = qint16(position);
    if (QLatin1String(parameter.control) == QLatin1String("cboOutputMode"))
        m_records.OutputType = qint16(position);
}

QString SetupModel::text(const Parameter &parameter) const
{
    return field(parameter).text;
}

void SetupModel::setText(const Parameter &parameter, const QString &text)
{
    m_fields[size_t(m_family.parameters.indexOf(parameter))].text = text;
    if (parameter.rule == Parameter::Rule::KfactorUnits) {
        // One K factor text stands for both units' entries.
        float value = m_records.KfactorItems[0].value;
        Values::StoreSingle(text, value);
        for (RealItem &item : m_records.KfactorItems)
            item.value = value;
    } else if (parameter.realRecord) {
        Values::StoreSingle(text, (m_records.*parameter.realRecord).value);
    } else if (parameter.intRecord) {
        Values::StoreInt(text, (m_records.*parameter.intRecord).value);
    }
}

bool SetupModel::holdsNumber(const Parameter &parameter) const
{
    // A text whose number its record cannot hold was never entered as far as the device goes.
    const QString &t = text(parameter);
    qint16 intValue = 0;
    float realValue = 0.0f;
    return !t.isEmpty()
        && (parameter.intRecord ? Values::StoreInt(t, intValue) : Values::StoreSingle(t, realValue));
}

QStringList SetupModel::missing() const
{
    QStringList names;
    for (const Parameter &p : m_family.parameters.rows()) {
        const bool empty = p.kind == Parameter::Kind::List ? listPosition(p) == -1 : !holdsNumber(p);
        if (empty && (!p.switchable() || isActive(p)))
            names << QString::fromLatin1(p.name);
    }
    const Parameter &count = m_family.parameters.linearPts();
    if (text(count).isEmpty())
        return names;
    const double points = Values::Val(text(count));
    if (ParameterSet::unusablePoints(text(count)) || points < m_records.LinearPtsItem.minimum
        || points > m_records.LinearPtsItem.maximum)
        return names << QString::fromLatin1(count.name);
    const int rows = std::clamp(int(std::floor(points)), 0, 10);
    for (int i = 0; i < rows; ++i) {
        if (m_records.LinFlowItems[size_t(i)].value == -1.0f || m_records.LinFreqItems[size_t(i)].value == -1)
            names << QStringLiteral("Linear Pt %1").arg(i + 1);
    }
    return names;
}

void SetupModel::setPointText(int row, int column, const QString &text)
{
    if (row < 0 || row >= DeviceState::LinearTableSize)
        return;
    if (column == 0) {
        if (Values::Val(text) < FrequencyLimit)
            Values::StoreInt(text, m_records.LinFreqItems[size_t(row)].value);
    } else {
        Values::StoreSingle(text, m_records.LinFlowItems[size_t(row)].value);
    }
}
