// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupmodel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "link/values.h"
#include "params/devicefamily.h"
#include "params/fieldrange.h"

namespace {

constexpr double FrequencyLimit = 32000.0; // a frequency cell stores nothing from this number up

} // namespace

SetupModel::SetupModel(const DeviceFamily &family, const DeviceState &configured)
    : m_family(family)
    , m_own(std::make_unique<DeviceState>(configured))
    , m_records(m_own.get())
    , m_fields(family.parameters.rows().size())
{
    clear();
}

SetupModel::SetupModel(const DeviceFamily &family, DeviceState *records)
    : m_family(family)
    , m_records(records)
    , m_fields(family.parameters.rows().size())
{
    const auto &rows = family.parameters.rows();
    for (size_t i = 0; i < rows.size(); ++i)
        m_fields[i].active = !rows[i].switchable() || family.switchablesActiveAtStart;
}

std::unique_ptr<SetupModel> SetupModel::over(const DeviceFamily &family, DeviceState &records)
{
    return std::unique_ptr<SetupModel>(new SetupModel(family, &records));
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
    field(parameter).entries = entries;
}

QStringList SetupModel::listEntries(const Parameter &parameter) const
{
    return field(parameter).entries;
}

void SetupModel::clear()
{
    for (const Parameter &p : m_family.parameters.rows()) {
        if (p.kind == Parameter::Kind::List) {
            applyPosition(p, -1);
            applyRules(p);
        } else
            applyText(p, QString::fromLatin1(p.cleared));
    }
    for (size_t i = 0; i < DeviceState::LinearTableSize; ++i) {
        m_records->LinFreqItems[i].value = -1;
        m_records->LinFlowItems[i].value = -1.0f;
    }
}

void SetupModel::clearFields()
{
    bool flowPairCleared = false;
    for (const Parameter *p : m_family.parameters.clearingOrder()) {
        if (p->kind == Parameter::Kind::List) {
            if (listCount(*p) > 0)
                setListPosition(*p, 0);
            setListPosition(*p, -1);
        } else if (ParameterSet::isFlowPair(*p)) {
            if (std::exchange(flowPairCleared, true))
                continue;
            const Parameter &high = *row("txtFlowHi");
            const Parameter &low = *row("txtFlowLow");
            setText(high, QStringLiteral("1"));
            setText(low, QStringLiteral("0"));
            setText(low, QString());
            setText(high, QString());
        } else {
            setText(*p, QStringLiteral("0"));
            setText(*p, QString::fromLatin1(p->cleared));
        }
    }
}

SetupModel::Field &SetupModel::field(const Parameter &parameter)
{
    return m_fields.at(size_t(m_family.parameters.indexOf(parameter)));
}

const SetupModel::Field &SetupModel::field(const Parameter &parameter) const
{
    return m_fields.at(size_t(m_family.parameters.indexOf(parameter)));
}

const Parameter *SetupModel::row(const char *control) const
{
    return m_family.parameters.find(QString::fromLatin1(control));
}

QString SetupModel::listText(const Parameter &parameter) const
{
    const Field &f = field(parameter);
    return f.position >= 0 && f.position < f.entries.size() ? f.entries.at(f.position) : QString();
}

bool SetupModel::isActive(const Parameter &parameter) const
{
    return field(parameter).active;
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
    if (position < -1 || position >= listCount(parameter) || position == listPosition(parameter))
        return;
    applyPosition(parameter, position);
    unflag(parameter);
    if (m_listener)
        m_listener->positionChanged(parameter);
    applyRules(parameter);
}

void SetupModel::applyPosition(const Parameter &parameter, int position)
{
    field(parameter).position = position;
    if (parameter.position)
        m_records->*parameter.position = qint16(position);
    else if (parameter.intRecord)
        (m_records->*parameter.intRecord).value = qint16(position);
    if (QLatin1String(parameter.control) == QLatin1String("cboOutputMode"))
        m_records->OutputType = qint16(position);
}

// The fields a list's choice greys or hides follow it at once.
void SetupModel::applyRules(const Parameter &list)
{
    const QLatin1String control(list.control);
    const auto &rows = m_family.parameters.rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        bool active = true;
        if (rows[i].rule == Parameter::Rule::MassUnit && control == QLatin1String("cboRateUnits")) {
            const QString unit = listText(list);
            active = unit == QLatin1String("Kgs") || unit == QLatin1String("Lbs");
        } else if (rows[i].rule == Parameter::Rule::NotLiquid && control == QLatin1String("cboMeterType")) {
            const QString type = listText(list);
            active = type != QLatin1String("Oil") && type != QLatin1String("Water");
        } else {
            continue;
        }
        m_fields[i].active = active;
        if (m_listener)
            m_listener->activeChanged(rows[i]);
    }
}

QString SetupModel::text(const Parameter &parameter) const
{
    return field(parameter).text;
}

void SetupModel::setText(const Parameter &parameter, const QString &text)
{
    if (text == field(parameter).text)
        return;
    applyText(parameter, text);
    if (m_listener)
        m_listener->textChanged(parameter);
}

void SetupModel::applyText(const Parameter &parameter, const QString &text)
{
    field(parameter).text = text;
    bool stored = false;
    if (parameter.rule == Parameter::Rule::KfactorUnits) {
        // One K factor text stands for both units' entries.
        float value = m_records->KfactorItems[0].value;
        stored = Values::StoreSingle(text, value);
        for (RealItem &item : m_records->KfactorItems)
            item.value = value;
    } else if (parameter.realRecord) {
        stored = Values::StoreSingle(text, (m_records->*parameter.realRecord).value);
    } else if (parameter.intRecord) {
        stored = Values::StoreInt(text, (m_records->*parameter.intRecord).value);
    }
    if (ParameterSet::isFlowPair(parameter))
        flowPairChanged();
    else if (stored)
        unflag(parameter);
    else
        flag(parameter);
}

// The flow fields are cleared as a pair, and only while the high end exceeds the low end.
void SetupModel::flowPairChanged()
{
    const Parameter &low = *row("txtFlowLow");
    const Parameter &high = *row("txtFlowHi");
    if (Values::Val(text(high)) > Values::Val(text(low))) {
        unflag(low);
        unflag(high);
    }
    if (!Values::FitsSingle(text(low)))
        flag(low);
    if (!Values::FitsSingle(text(high)))
        flag(high);
}

void SetupModel::outputTypeReply(qint16 reply)
{
    if (m_listener)
        m_listener->outputTypeReplied(reply);
}

bool SetupModel::captionFlagged(const Parameter &parameter) const
{
    return field(parameter).captionFlagged;
}

bool SetupModel::markerShown(const Parameter &parameter) const
{
    return field(parameter).markerShown;
}

void SetupModel::setFlags(const Parameter &parameter, bool caption, bool marker)
{
    Field &f = field(parameter);
    f.captionFlagged = caption;
    f.markerShown = marker;
    if (m_listener)
        m_listener->flagChanged(parameter);
}

void SetupModel::flag(const Parameter &parameter)
{
    setFlags(parameter, true, true);
}

void SetupModel::unflag(const Parameter &parameter)
{
    setFlags(parameter, false, false);
}

void SetupModel::showMarker(const Parameter &parameter)
{
    setFlags(parameter, captionFlagged(parameter), true);
}

std::optional<QString> SetupModel::leaveCheck(const Parameter &parameter, const QString &caption)
{
    if (markerShown(parameter))
        return std::nullopt;
    const QString &t = text(parameter);
    std::optional<QString> refusal;
    if (parameter.rule == Parameter::Rule::KfactorUnits) {
        // The range is the one of the selected units; with none selected nothing is checked.
        const Parameter *units = m_family.parameters.kfactorUnits();
        const RealItem *range
            = units ? ParameterSet::kfactorRecord(*m_records, listPosition(*units)) : nullptr;
        if (range && isActive(parameter) && FieldRange::refusesReal(t, *range))
            refusal = FieldRange::message(caption, *range);
    } else if (parameter.intRecord) {
        const IntItem &range = m_records->*parameter.intRecord;
        if (FieldRange::refusesInt(t, range))
            refusal = FieldRange::message(caption, range);
    } else {
        // A greyed field is passed without looking at it.
        const RealItem &range = m_records->*parameter.realRecord;
        if (isActive(parameter) && FieldRange::refusesReal(t, range))
            refusal = FieldRange::message(caption, range);
    }
    if (refusal)
        flag(parameter);
    return refusal;
}

bool SetupModel::holdsNumber(const Parameter &parameter) const
{
    // A text whose number its record cannot hold was never entered as far as the device goes.
    const QString &t = text(parameter);
    return !t.isEmpty() && (parameter.intRecord ? Values::FitsInt(t) : Values::FitsSingle(t));
}

std::optional<double> SetupModel::pointCount() const
{
    const QString &count = text(m_family.parameters.linearPts());
    const double number = Values::Val(count);
    const IntItem &range = m_records->LinearPtsItem;
    if (count.isEmpty() || !Values::FitsInt(count) || ParameterSet::unusablePoints(count)
        || number < range.minimum || number > range.maximum)
        return std::nullopt;
    return number;
}

int SetupModel::pointRowsInUse() const
{
    const double wanted = Values::Val(text(m_family.parameters.linearPts()));
    return int(std::clamp(std::floor(wanted), 0.0, double(DeviceState::LinearPointRows)));
}

std::vector<const Parameter *> SetupModel::missingFields() const
{
    const Parameter &points = m_family.parameters.linearPts();
    std::vector<const Parameter *> found;
    for (const Parameter &p : m_family.parameters.rows()) {
        // A greyed or hidden field is neither sent nor required.
        const bool lacking = &p == &points    ? !pointCount()
            : p.kind == Parameter::Kind::List ? listPosition(p) == -1
                                              : isActive(p) && !holdsNumber(p);
        if (lacking)
            found.push_back(&p);
    }
    return found;
}

QStringList SetupModel::missing() const
{
    QStringList names;
    for (const Parameter *p : missingFields())
        names << QString::fromLatin1(p->name);
    const int rows = pointCount() ? pointRowsInUse() : 0;
    for (int i = 0; i < rows; ++i) {
        if (m_records->LinFlowItems[size_t(i)].value == -1.0f
            || m_records->LinFreqItems[size_t(i)].value == -1)
            names << QStringLiteral("Linear Pt %1").arg(i + 1);
    }
    return names;
}

bool SetupModel::flagMissing(const std::function<bool(double)> &markMissingPoints)
{
    const std::vector<const Parameter *> fields = missingFields();
    for (const Parameter *p : fields)
        flag(*p);
    // The points are marked only once their number is usable.
    const std::optional<double> points = pointCount();
    return points && markMissingPoints(*points) && fields.empty();
}

void SetupModel::setPointText(int row, int column, const QString &text)
{
    if (row < 0 || row >= DeviceState::LinearTableSize)
        return;
    // A window's points have logic of their own, which stores them as typing would.
    if (m_listener) {
        m_listener->pointEntered(row, column, text);
        return;
    }
    if (column == 0) {
        if (Values::Val(text) < FrequencyLimit)
            Values::StoreInt(text, m_records->LinFreqItems[size_t(row)].value);
    } else {
        Values::StoreSingle(text, m_records->LinFlowItems[size_t(row)].value);
    }
}
