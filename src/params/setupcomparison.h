// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>

struct DeviceFamily;
class DeviceState;
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

struct Side
{
    const SetupModel &view;
    const DeviceState &records;
};

// Every parameter both sides use (a field greyed or hidden on either side has no value to compare),
// then the linear points the left side uses.
std::vector<Row> compare(const DeviceFamily &family, const Side &left, const Side &right);

std::vector<Row> differences(const std::vector<Row> &rows);

} // namespace SetupComparison
