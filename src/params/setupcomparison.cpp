// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupcomparison.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "link/devicestate.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/fieldcaptions.h"
#include "params/setupmodel.h"

namespace SetupComparison {

namespace {

    constexpr double Tolerance = 0.01;

    struct Value
    {
        QString shown;
        std::optional<double> number; // none for an empty field or no selection
    };

    // A real as the link would send and check it: its shortest text, read back in double
    // precision, so that 1.01 against 1 differs exactly when the device's echo would be refused.
    Value realValue(float v)
    {
        const QString text = Values::FormatSingle(v);
        return { text, Values::Val(text) };
    }

    bool same(const Value &a, const Value &b)
    {
        if (!a.number || !b.number)
            return a.number.has_value() == b.number.has_value();
        return std::fabs(*a.number - *b.number) <= Tolerance;
    }

    Value listValue(const Parameter &p, const SetupModel &side)
    {
        const int position = side.listPosition(p);
        if (position < 0)
            return {};
        const QString entry = side.listText(p);
        return { entry.isEmpty() ? QString::number(position) : entry, position };
    }

    Value textValue(const Parameter &p, const SetupModel &side)
    {
        const QString text = side.text(p);
        if (Values::TrimSpaces(text).isEmpty())
            return {};
        const DeviceState &r = side.records();
        if (p.rule == Parameter::Rule::KfactorUnits)
            return realValue(r.KfactorItems[0].value); // the field stores one number into both entries
        if (p.realRecord)
            return realValue((r.*p.realRecord).value);
        const qint16 v = (r.*p.intRecord).value;
        return { p.kind == Parameter::Kind::Password ? text : Values::FormatInt(v), v };
    }

    Value pointValue(float value, bool integer)
    {
        if (value == -1.0f)
            return {}; // never entered
        if (!integer)
            return realValue(value);
        return { Values::FormatInt(qint32(value)), value };
    }

} // namespace

std::vector<Row> compare(const SetupModel &left, const SetupModel &right)
{
    const DeviceFamily &family = left.family();
    std::vector<Row> rows;
    auto add = [&rows](const QString &name, const Value &a, const Value &b) {
        rows.push_back({ name, a.shown, b.shown, !same(a, b) });
    };
    for (const Parameter &p : family.parameters.rows()) {
        if (p.switchable() && !(left.isActive(p) && right.isActive(p)))
            continue;
        const QString name = FieldCaptions::name(p);
        if (p.kind == Parameter::Kind::List)
            add(name, listValue(p, left), listValue(p, right));
        else
            add(name, textValue(p, left), textValue(p, right));
    }

    // The points a download of the left side would write.
    const int points = left.pointRowsInUse();
    for (int i = 0; i < points; ++i) {
        const size_t k = size_t(i);
        add(QStringLiteral("%1 Linear Pt %2").arg(family.pointColumns[0]).arg(i + 1),
            pointValue(float(left.records().LinFreqItems[k].value), true),
            pointValue(float(right.records().LinFreqItems[k].value), true));
        add(QStringLiteral("%1 Linear Pt %2").arg(family.pointColumns[1]).arg(i + 1),
            pointValue(left.records().LinFlowItems[k].value, false),
            pointValue(right.records().LinFlowItems[k].value, false));
    }
    return rows;
}

std::vector<Row> differences(const std::vector<Row> &rows)
{
    std::vector<Row> result;
    std::copy_if(
        rows.begin(), rows.end(), std::back_inserter(result), [](const Row &r) { return r.differs; });
    return result;
}

} // namespace SetupComparison
