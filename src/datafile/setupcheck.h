// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>

#include "datafile/datafilereader.h"

class SetupModel;

// Checks a setup data file without a device, by loading it into a setup model as Open would and
// then asking the window's own rules: the range checks on leaving a field, the missing-entry check
// of Download, and what the records and point tables can hold.
namespace SetupCheck {

enum class Kind {
    Corrupt, // the entry Open asks about: a name or value that is not a number
    OutOfRange, // the message a field would give on leaving it
    CannotHold, // a number its record, list or point table cannot take
    Missing, // what Download's missing-entry check would flag
    BeyondLinearPoints, // a point entry at or after the number of points
};

struct Problem
{
    Kind kind;
    int line = 0; // the file's line, 0 where the problem is not one line's
    QString parameter; // as the window captions it, "Linear Pt 3" for a point
    QString message;
};

// Loads lines into model (which the caller has made and given its lists) and lists the problems
// in file order, then the missing entries.
std::vector<Problem> check(SetupModel &model, const std::vector<DataFileReader::Line> &lines);

// "corrupt", "outOfRange", "cannotHold", "missing", "beyondLinearPoints"
QString kindName(Kind kind);

// "line 7: Damping:  Field must be between 0 and 99"
QString describe(const Problem &problem);

} // namespace SetupCheck
