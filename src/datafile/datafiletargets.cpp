// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafiletargets.h"

#include "params/parameterset.h"

namespace DataFileTargets {

namespace {

    constexpr int FirstPointCode = 101;
    constexpr int LastPointCode = 120;

    std::optional<Target> find(const ParameterSet &set, double code)
    {
        for (const Parameter &p : set.rows()) {
            if (code != double(p.code))
                continue;
            const Kind kind = p.kind == Parameter::Kind::List ? Kind::Selection
                : p.kind == Parameter::Kind::Password         ? Kind::Password
                                                              : Kind::Text;
            return Target { kind, p.controlName(), -1 };
        }
        return std::nullopt;
    }

} // namespace

std::optional<Target> lookup(const ParameterSet &family, double code)
{
    // Point codes are shared by both families: odd codes the first column, even the second.
    for (int c = FirstPointCode; c <= LastPointCode; ++c) {
        if (code != double(c))
            continue;
        const int offset = c - FirstPointCode;
        const int row = offset / 2;
        if (offset % 2 == 0)
            return Target { Kind::PointFrequency, QStringLiteral("txtFreq%1").arg(row), row };
        return Target { Kind::PointCoefficient, QStringLiteral("txtCoef%1").arg(row), row };
    }
    return find(family, code);
}

} // namespace DataFileTargets
