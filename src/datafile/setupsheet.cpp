// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupsheet.h"

#include <cstring>

#include "link/devicestate.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/fieldcaptions.h"
#include "params/setupmodel.h"

namespace {

// The flow captions follow the output type as the window's handlers set them.
QString flowCaption(const SetupModel &view, const Parameter &p)
{
    const DeviceFamily &family = view.family();
    const bool low = std::strcmp(p.control, "txtFlowLow") == 0;
    int type = view.records().OutputType;
    if (!family.outputTypeOptions) {
        const Parameter *mode = family.parameters.find(QStringLiteral("cboOutputMode"));
        type = mode ? view.listPosition(*mode) : -1;
    }
    switch (type) {
    case 0:
        return low ? QStringLiteral("Flow at 4mA") : QStringLiteral("Flow at 20mA");
    case 1:
        return low ? QStringLiteral("Flow at 0V") : QStringLiteral("Flow at 5V");
    case 2:
        if (!family.outputTypeOptions)
            return low ? QStringLiteral("Flow at 0V") : QStringLiteral("Flow at 10V");
        break;
    default:
        break;
    }
    return FieldCaptions::name(p);
}

QString shownValue(const SetupModel &view, const Parameter &p)
{
    if (p.kind != Parameter::Kind::List)
        return view.text(p);
    const int position = view.listPosition(p);
    if (position < 0)
        return {};
    const QString entry = view.listText(p);
    return entry.isEmpty() ? QString::number(position) : entry;
}

} // namespace

SetupSheet SetupSheet::make(
    const SetupModel &view, const QDateTime &made, const std::optional<Origin> &origin)
{
    const DeviceFamily &family = view.family();
    const DeviceState &records = view.records();
    SetupSheet sheet;
    sheet.title = QStringLiteral("QRX Programming Utility");
    sheet.family = family.name;
    sheet.made = made;
    sheet.origin = origin;

    if (family.outputTypeOptions) {
        sheet.rows.push_back({ QStringLiteral("Device"),
            records.OutputType == 1 ? QStringLiteral("0-5V") : QStringLiteral("4-20mA"), true });
    }
    for (const Parameter &p : family.parameters.rows()) {
        const QString name = ParameterSet::isFlowPair(p) ? flowCaption(view, p) : FieldCaptions::name(p);
        sheet.rows.push_back({ name, shownValue(view, p), !p.switchable() || view.isActive(p) });
    }

    sheet.pointHeadings[0] = family.pointColumns[0];
    sheet.pointHeadings[1] = family.pointColumns[1];
    const int count = view.pointRowsInUse();
    for (int i = 0; i < count; ++i) {
        const qint16 x = records.LinFreqItems.at(size_t(i)).value;
        const float y = records.LinFlowItems.at(size_t(i)).value;
        sheet.points.push_back({ i + 1, x == -1 ? QString() : Values::FormatInt(x),
            y == -1.0f ? QString() : Values::FormatSingle(y) });
        if (x != -1 && y != -1.0f)
            sheet.curve << LinearCurve::Point { i, double(x), double(y) };
    }
    LinearCurve::mark(sheet.curve);
    return sheet;
}

QStringList SetupSheet::headerLines() const
{
    QStringList lines { QStringLiteral("Family: %1").arg(family),
        QStringLiteral("Date: %1").arg(made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) };
    if (!file.isEmpty())
        lines << QStringLiteral("Data file: %1").arg(file);
    if (origin) {
        lines << QStringLiteral("Port: %1").arg(origin->port);
        if (!origin->deviceVersion.isEmpty())
            lines << QStringLiteral("Device version: %1").arg(origin->deviceVersion);
    }
    return lines;
}
