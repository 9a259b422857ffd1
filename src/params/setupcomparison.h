// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>

class SetupModel;

// Compares two setups of one family parameter by parameter: a window's or a file's against what a
// device holds. Numbers count as equal within 0.01, as the link accepts a written value.
namespace SetupComparison {

struct Row
{
    QString parameter; // "Damping", "Flow Linear Pt 3"
    QString left; // the window's or the file's value, as shown
    QString right; // the device's value
    bool differs = false;
};

// Every parameter both sides use (a field greyed or hidden on either side has no value to compare),
// then the linear points the left side uses. Both sides are of the left side's family.
std::vector<Row> compare(const SetupModel &left, const SetupModel &right);

std::vector<Row> differences(const std::vector<Row> &rows);

} // namespace SetupComparison
