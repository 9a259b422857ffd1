#include "mrparameters.h"

namespace MrParameters {

namespace {

using K = MrParameter::Kind;
using C = MrControls;
using S = DeviceState;

constexpr IntItem S::*NoInt = nullptr;
constexpr RealItem S::*NoReal = nullptr;
constexpr QComboBox *C::*NoList = nullptr;
constexpr QLineEdit *C::*NoText = nullptr;

MrParameter list(int code, QComboBox *C::*box, QLabel *C::*caption, QLabel *C::*marker, IntItem S::*record)
{
    return {code, K::List, box, NoText, caption, marker, record, NoReal, false, 0, false};
}

MrParameter real(int code, QLineEdit *C::*field, QLabel *C::*caption, QLabel *C::*marker, RealItem S::*record,
                 int limit, bool switchable = false)
{
    return {code, K::Real, NoList, field, caption, marker, NoInt, record, switchable, limit, false};
}

MrParameter integer(int code, QLineEdit *C::*field, QLabel *C::*caption, QLabel *C::*marker, IntItem S::*record,
                    int limit, bool password = false)
{
    return {code, K::Int, NoList, field, caption, marker, record, NoReal, false, limit, password};
}

} // namespace

const std::array<MrParameter, Count> &table()
{
    static const std::array<MrParameter, Count> rows = {
        list(1, &C::cboDisplayMode, &C::lblDisplayMode, &C::lblDisplayModeE, &S::DisplayModeItem),
        list(2, &C::cboRateUnits, &C::lblRateUnits, &C::lblRateUnitsE, &S::RateUnitsItem),
        list(3, &C::cboRateInterval, &C::lblRateInterval, &C::lblRateIntervalE, &S::RateIntervalItem),
        list(4, &C::cboTotalUnits, &C::lblTotalUnits, &C::lblTotalUnitsE, &S::TotalUnitsItem),
        list(5, &C::cboDisplayExp, &C::lblDisplayExp, &C::lblDisplayExpE, &S::DisplayExpItem),
        real(6, &C::txtSpg, &C::lblSpg, &C::lblSpgE, &S::SpgItem, 6, true),
        real(7, &C::txtScaleFactor, &C::lblScaleFactor, &C::lblScaleFactorE, &S::ScaleFactorItem, 9),
        list(8, &C::cboMeterType, &C::lblMeterType, &C::lblMeterTypeE, &S::MeterTypeItem),
        real(9, &C::txtPressureComp, &C::lblPressureComp, &C::lblPressureCompE, &S::PressureCompItem, 9, true),
        real(10, &C::txtTempComp, &C::lblTempComp, &C::lblTempCompE, &S::TempCompItem, 9, true),
        real(11, &C::txtSPGcomp, &C::lblSPGcomp, &C::lblSPGcompE, &S::SpgCompItem, 9),
        real(12, &C::txtLowFlowCutoff, &C::lblLowFlowCutoff, &C::lblLowFlowCutoffE, &S::LowFlowCutoffItem, 9),
        integer(13, &C::txtDamping, &C::lblDamping, &C::lblDampingE, &S::DampingItem, 3),
        list(14, &C::cboOutputMode, &C::lblOutputMode, &C::lblOutputModeE, &S::OutputModeItem),
        real(17, &C::txtFlowLow, &C::lblFlowLow, &C::lblFlowLowE, &S::FlowLowItem, 12),
        real(18, &C::txtFlowHi, &C::lblFlowHi, &C::lblFlowHiE, &S::FlowHiItem, 12),
        integer(19, &C::txtPassword, &C::lblPassword, &C::lblPasswordE, &S::PasswordItem, 4, true),
        integer(100, &C::txtLinearPts, &C::lblLinearPts, &C::lblLinearPtsE, &S::LinearPtsItem, 3),
    };
    return rows;
}

} // namespace MrParameters
