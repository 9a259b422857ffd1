#include "datafiletargets.h"

namespace DataFileTargets {

namespace {

struct Row
{
    int code;
    Kind kind;
    const char *control;
};

constexpr Row DravionRows[] = {
    {3, Kind::Selection, "cboRateUnits"},
    {4, Kind::Selection, "cboRateInterval"},
    {7, Kind::Text, "txtSpg"},
    {8, Kind::Selection, "cboKfactorUnits"},
    {9, Kind::Text, "txtKfactor"},
    {11, Kind::Text, "txtDamping"},
    {15, Kind::Text, "txtFlowLow"},
    {16, Kind::Text, "txtFlowHi"},
    {100, Kind::Text, "txtLinearPts"},
};

constexpr Row MrRows[] = {
    {1, Kind::Selection, "cboDisplayMode"},
    {2, Kind::Selection, "cboRateUnits"},
    {3, Kind::Selection, "cboRateInterval"},
    {4, Kind::Selection, "cboTotalUnits"},
    {5, Kind::Selection, "cboDisplayExp"},
    {6, Kind::Text, "txtSpg"},
    {7, Kind::Text, "txtScaleFactor"},
    {8, Kind::Selection, "cboMeterType"},
    {9, Kind::Text, "txtPressureComp"},
    {10, Kind::Text, "txtTempComp"},
    {11, Kind::Text, "txtSPGcomp"},
    {12, Kind::Text, "txtLowFlowCutoff"},
    {13, Kind::Text, "txtDamping"},
    {14, Kind::Selection, "cboOutputMode"},
    {17, Kind::Text, "txtFlowLow"},
    {18, Kind::Text, "txtFlowHi"},
    {19, Kind::Password, "txtPassword"},
    {100, Kind::Text, "txtLinearPts"},
};

constexpr int FirstPointCode = 101;
constexpr int LastPointCode = 120;

template<std::size_t N>
std::optional<Target> find(const Row (&rows)[N], double code)
{
    for (const Row &row : rows) {
        if (code == double(row.code))
            return Target{row.kind, QString::fromLatin1(row.control), -1};
    }
    return std::nullopt;
}

} // namespace

std::optional<Target> lookup(const QString &family, double code)
{
    // Point codes are shared by both families: odd codes the first column, even the second.
    for (int c = FirstPointCode; c <= LastPointCode; ++c) {
        if (code != double(c))
            continue;
        const int offset = c - FirstPointCode;
        const int row = offset / 2;
        if (offset % 2 == 0)
            return Target{Kind::PointFrequency, QStringLiteral("txtFreq%1").arg(row), row};
        return Target{Kind::PointCoefficient, QStringLiteral("txtCoef%1").arg(row), row};
    }
    if (family == QLatin1String("MR"))
        return find(MrRows, code);
    return find(DravionRows, code);
}

} // namespace DataFileTargets
