#pragma once

#include <array>

#include "link/devicestate.h"
#include "mr/mrcontrols.h"
#include "params/fieldfilter.h"

// One parameter of the MR set: its control, labels, record and field rules. The table is in the
// device's item order, which Read Setup, Download Setup and the missing-entry check all follow.
struct MrParameter
{
    enum class Kind { List, Real, Int };

    int code; // the item code the shipped configuration gives the record
    Kind kind;
    QComboBox *MrControls::*list;   // set for lists
    QLineEdit *MrControls::*text;   // set for text fields
    QLabel *MrControls::*caption;
    QLabel *MrControls::*marker;
    IntItem DeviceState::*intRecord;   // lists and integer fields
    RealItem DeviceState::*realRecord; // real fields
    bool switchable;  // greyed by another field's choice, and then neither sent nor required
    int typingLimit;  // characters a user may type
    bool password;    // shown with at least four digits, written with a four-digit item code

    FieldFilter::Class filter() const
    {
        return kind == Kind::Real ? FieldFilter::Class::Decimal : FieldFilter::Class::Digits;
    }
};

namespace MrParameters {

constexpr int Count = 18;
const std::array<MrParameter, Count> &table();

} // namespace MrParameters
