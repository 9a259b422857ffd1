// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include <QString>

// Record of one device parameter: item code, configured limits, type letter, value. An integer
// record holds 16-bit numbers, a real record singles.
template <typename Number> struct Item
{
    qint16 code = 0;
    Number minimum = 0;
    Number maximum = 0;
    QString typeLetter;
    Number value = 0;
};
using IntItem = Item<qint16>;
using RealItem = Item<float>;

// The one shared device state: the link flags of the current exchange and the item records of
// both device families. The application owns the single instance and hands it to every window.
class DeviceState final
{
public:
    static constexpr int LinearTableSize = 11; // the configuration fills entries 0 to 9
    static constexpr int LinearPointRows = 10; // the most points in use: the rows of the points window

    DeviceState();

    // Link flags. Names follow the protocol's own vocabulary so the code reads like its description.
    QString CommandString;
    bool ReplyReceived = false; // true while no exchange is outstanding
    QString ReplyValue;
    bool CommAbort = false; // error latch for a whole command sequence
    bool AutoFrame = false;
    qint16 MonitorRows = 0;
    bool PollingOn = false;
    qint16 OutputType = 0; // 0 = 4-20 mA, 1 = 0-5 V, 2 = 0-10 V

    // True while Read Setup or Download Setup runs: commands that talk to the device or change the
    // setup are unavailable meanwhile, so nothing interleaves with the sequence.
    bool TransferRunning = false;

    // Version text of the configuration file, compared with the device's by the version check.
    QString ConfigVersion;

    // Dravion items. The three lists keep their selected index beside the record.
    IntItem RateUnitsItem;
    IntItem RateIntervalItem;
    RealItem SpgItem;
    IntItem KfactorUnitsItem;
    std::array<RealItem, 2> KfactorItems; // entry 0 for K factor units 0, entry 1 for units 1
    IntItem DampingItem;
    IntItem MinDacItem;
    IntItem MaxDacItem;
    RealItem FlowLowItem;
    RealItem FlowHiItem;
    IntItem LinearPtsItem;
    qint16 RateUnits = 0;
    qint16 RateInterval = 0;
    qint16 KfactorUnits = 0;

    // MR items (the MR family also uses RateUnits..LinearPts records above under its own codes).
    IntItem DisplayModeItem;
    IntItem TotalUnitsItem;
    IntItem DisplayExpItem;
    RealItem ScaleFactorItem;
    IntItem MeterTypeItem;
    RealItem PressureCompItem;
    RealItem TempCompItem;
    RealItem SpgCompItem;
    RealItem LowFlowCutoffItem;
    IntItem OutputModeItem;
    IntItem PasswordItem;

    // Linear points; a value of -1 means the point was never entered.
    std::array<IntItem, LinearTableSize> LinFreqItems;
    std::array<RealItem, LinearTableSize> LinFlowItems;
    std::array<RealItem, LinearTableSize> LinPosItems;
};
