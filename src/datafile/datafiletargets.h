// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>

class ParameterSet;

// Where a data file entry goes in a main window: which control, and how its value is applied.
// Both device families have a table; controls are named by their object names so a window can
// find them without the core knowing any widget type.
namespace DataFileTargets {

enum class Kind {
    Selection, // a choice list: the value's number becomes the selected index
    Text, // a text field: the value text as read
    Password, // a text field showing the value with at least four digits
    PointFrequency, // first column of the linear points window
    PointCoefficient, // second column of the linear points window
};

struct Target
{
    Kind kind = Kind::Text;
    QString control; // object name, e.g. "cboRateUnits" or "txtFreq3"
    int row = -1; // linear point row 0..9, -1 for main window controls
};

// The target of an entry whose name reads as the number code, or nothing when the family's table
// has no such code (code 0, the eleventh point table entry, the converter values, other families').
std::optional<Target> lookup(const ParameterSet &family, double code);

} // namespace DataFileTargets
