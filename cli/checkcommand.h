// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QMap>
#include <QString>
#include <QStringList>

#include "params/setupcomparison.h"

struct DeviceFamily;
class DeviceState;
class StderrDialogs;

// The commands that need no device: check one data file against the configuration, and list the
// differences between two.
namespace CheckCommand {

// 0 when the file would download, 1 when it has problems, 2 when it cannot be read.
int check(const DeviceFamily &family, const DeviceState &configured, const QMap<int, QStringList> &lists,
    const QString &path, bool json, StderrDialogs &dialogs);

// One line per difference (name, A's value, B's value), or one JSON object.
void printDifferences(
    const std::vector<SetupComparison::Row> &rows, const QString &a, const QString &b, bool json);

} // namespace CheckCommand
