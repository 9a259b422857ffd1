// SPDX-License-Identifier: GPL-3.0-or-later
#include "parameterset.h"

#include <cmath>

#include "link/values.h"

namespace {

using K = Parameter::Kind;
using R = Parameter::Rule;
using S = DeviceState;

Parameter list(int code, const char *name, IntItem S::*record, const char *control, const char *caption,
    const char *marker, qint16 S::*position = nullptr)
{
    return { code, name, K::List, record, nullptr, position, control, caption, marker, 0, R::Always };
}

Parameter real(int code, const char *name, RealItem S::*record, const char *control, const char *caption,
    const char *marker, int limit, R rule = R::Always)
{
    return { code, name, K::Real, nullptr, record, nullptr, control, caption, marker, limit, rule };
}

Parameter integer(int code, const char *name, IntItem S::*record, const char *control, const char *caption,
    const char *marker, int limit, K kind = K::Integer)
{
    return { code, name, kind, record, nullptr, nullptr, control, caption, marker, limit, R::Always };
}

Parameter cleared(Parameter parameter, const char *text)
{
    parameter.cleared = text;
    return parameter;
}

} // namespace

ParameterSet::ParameterSet(std::vector<Parameter> rows, std::vector<const char *> clearing)
    : m_rows(std::move(rows))
    , m_clearing(std::move(clearing))
{
}

std::vector<const Parameter *> ParameterSet::clearingOrder() const
{
    std::vector<const Parameter *> order;
    for (const Parameter &p : m_rows) {
        if (p.kind == K::List)
            order.push_back(&p);
    }
    if (m_clearing.empty()) {
        for (const Parameter &p : m_rows) {
            if (p.isText())
                order.push_back(&p);
        }
    }
    for (const char *control : m_clearing)
        order.push_back(find(QString::fromLatin1(control)));
    return order;
}

bool ParameterSet::isFlowPair(const Parameter &parameter)
{
    const QLatin1String control(parameter.control);
    return control == QLatin1String("txtFlowLow") || control == QLatin1String("txtFlowHi");
}

bool ParameterSet::unusablePoints(const QString &count)
{
    // A fraction is no number of rows: the count sent and the pairs sent would not agree.
    const double points = Values::Val(count);
    return points > DeviceState::LinearPointRows || points != std::floor(points);
}

const Parameter *ParameterSet::find(const QString &control) const
{
    for (const Parameter &p : m_rows) {
        if (control == QLatin1String(p.control))
            return &p;
    }
    return nullptr;
}

int ParameterSet::indexOf(const Parameter &parameter) const
{
    return int(&parameter - m_rows.data());
}

const Parameter &ParameterSet::linearPts() const
{
    return *find(QStringLiteral("txtLinearPts"));
}

const Parameter *ParameterSet::kfactorUnits() const
{
    for (const Parameter &p : m_rows)
        if (p.position == &DeviceState::KfactorUnits)
            return &p;
    return nullptr;
}

const RealItem *ParameterSet::kfactorRecord(const DeviceState &records, int position)
{
    if (position < 0 || position >= int(records.KfactorItems.size()))
        return nullptr;
    return &records.KfactorItems[size_t(position)];
}

QString ParameterSet::passwordText(const QString &value)
{
    return passwordText(value, Values::Val(value));
}

QString ParameterSet::passwordText(const QString &value, double number)
{
    if (Values::TrimSpaces(value).isEmpty())
        return value;
    const double rounded = std::round(number); // halves away from zero
    if (!std::isfinite(rounded))
        return value;
    QString digits = QString::number(std::fabs(rounded), 'f', 0);
    if (digits.size() < 4)
        digits = QString(4 - digits.size(), QLatin1Char('0')) + digits;
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

const ParameterSet &ParameterSet::dravion()
{
    // The Specific Gravity comes last: it is read and written after the number of points.
    static const ParameterSet set({
        list(3, "Rate Units", &S::RateUnitsItem, "cboRateUnits", "lblRateUnits", "lblRateUnitsE",
            &S::RateUnits),
        list(4, "Rate Interval", &S::RateIntervalItem, "cboRateInterval", "lblRateInterval",
            "lblRateIntervalE", &S::RateInterval),
        list(8, "K factor Units", &S::KfactorUnitsItem, "cboKfactorUnits", "lblKfactorUnits",
            "lblKfactorUnitsE", &S::KfactorUnits),
        real(9, "K factor", nullptr, "txtKfactor", "lblKFactor", "lblKfactorE", 9, R::KfactorUnits),
        integer(11, "Damping", &S::DampingItem, "txtDamping", "lblDamping", "lblDampingE", 3),
        real(15, "Min Flow", &S::FlowLowItem, "txtFlowLow", "lblFlowLow", "lblFlowLowE", 12),
        real(16, "Max Flow", &S::FlowHiItem, "txtFlowHi", "lblFlowHi", "lblFlowHiE", 12),
        integer(100, "Number of Linear Points", &S::LinearPtsItem, "txtLinearPts", "lblLinearPts",
            "lblLinearPtsE", 3),
        real(7, "Specific Gravity", &S::SpgItem, "txtSpg", "lblSpg", "lblSpgE", 6, R::MassUnit),
    });
    return set;
}

const ParameterSet &ParameterSet::mr()
{
    static const ParameterSet set(
        {
            list(1, "Display Mode", &S::DisplayModeItem, "cboDisplayMode", "lblDisplayMode",
                "lblDisplayModeE"),
            list(2, "Rate Units", &S::RateUnitsItem, "cboRateUnits", "lblRateUnits", "lblRateUnitsE"),
            list(3, "Rate Interval", &S::RateIntervalItem, "cboRateInterval", "lblRateInterval",
                "lblRateIntervalE"),
            list(4, "Total Units", &S::TotalUnitsItem, "cboTotalUnits", "lblTotalUnits", "lblTotalUnitsE"),
            list(5, "Display Exponent", &S::DisplayExpItem, "cboDisplayExp", "lblDisplayExp",
                "lblDisplayExpE"),
            real(6, "Specific Gravity", &S::SpgItem, "txtSpg", "lblSpg", "lblSpgE", 6, R::MassUnit),
            real(7, "Scale Factor", &S::ScaleFactorItem, "txtScaleFactor", "lblScaleFactor",
                "lblScaleFactorE", 9),
            list(8, "Meter Type", &S::MeterTypeItem, "cboMeterType", "lblMeterType", "lblMeterTypeE"),
            real(9, "Pressure Comp", &S::PressureCompItem, "txtPressureComp", "lblPressureComp",
                "lblPressureCompE", 9, R::NotLiquid),
            real(10, "Temp Comp", &S::TempCompItem, "txtTempComp", "lblTempComp", "lblTempCompE", 9,
                R::NotLiquid),
            real(11, "SPG Comp", &S::SpgCompItem, "txtSPGcomp", "lblSPGcomp", "lblSPGcompE", 9),
            cleared(real(12, "Low Flow Cutoff", &S::LowFlowCutoffItem, "txtLowFlowCutoff", "lblLowFlowCutoff",
                        "lblLowFlowCutoffE", 9),
                "0.025"), // its design value
            integer(13, "Damping", &S::DampingItem, "txtDamping", "lblDamping", "lblDampingE", 3),
            list(14, "Output Mode", &S::OutputModeItem, "cboOutputMode", "lblOutputMode", "lblOutputModeE"),
            real(17, "Flow at 4mA", &S::FlowLowItem, "txtFlowLow", "lblFlowLow", "lblFlowLowE", 12),
            real(18, "Flow at 20mA", &S::FlowHiItem, "txtFlowHi", "lblFlowHi", "lblFlowHiE", 12),
            integer(19, "Password", &S::PasswordItem, "txtPassword", "lblPassword", "lblPasswordE", 4,
                K::Password),
            integer(
                100, "Linear Points", &S::LinearPtsItem, "txtLinearPts", "lblLinearPts", "lblLinearPtsE", 3),
        },
        { "txtSpg", "txtSPGcomp", "txtLowFlowCutoff", "txtPressureComp", "txtTempComp", "txtScaleFactor",
            "txtDamping", "txtFlowHi", "txtFlowLow", "txtLinearPts", "txtPassword" });
    return set;
}
